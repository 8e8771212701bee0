// A new empty library, or a copy of the open one, under a name the user
// chooses; the new file is then opened.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/HistoryEntry.h"
#include "library/InterruptedCopies.h"
#include "library/LibraryUpgrade.h"
#include "library/cFactory.h"
#include "platform/ErrorGuard.h"
#include "platform/HangGuard.h"
#include "platform/LongWork.h"
#include "platform/MountProbe.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/WholeFile.h"
#include "ui/clsDialogs.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

#include <sys/stat.h>

#include <sqlite3.h>

namespace {

QString AskForLibraryName(bool isNew) {
  if (!gDialogs) return QString();
  gDialogs->strInitialDir = gLibrariesFolder;
  gDialogs->strFilter = QStringLiteral("Reelwise Libraries (*.rw2)|*.rw2;|All files (*.*)|*.*");
  gDialogs->strTitle = isNew ? QStringLiteral("Specify a name for this new Library...") : QStringLiteral("Save Library");
  return gDialogs->strGetSaveFileName();
}

// Only the affirmative answer replaces a file.
bool ConfirmReplace() {
  return ShowProgramMessage(QStringLiteral("A Library with that name already exists!\r\n\r\n"
                                           "Do you wish to replace it with this one?"),
                            vbOKCancel | vbQuestion, QStringLiteral("Confirm Library Replace"),
                            ProgramMessageOwner()) == vbOK;
}

// The title of a copy or new library that could not be written, and of one
// whose disk stopped answering as it was put in place.
const QString kNotSaved = QStringLiteral("Library Not Saved");
const QString kNotConfirmed = QStringLiteral("Save Not Confirmed");

QString NoAnswerReason() {
  return QStringLiteral("Its disk did not answer within %1 seconds.").arg(MountProbe::kTimeLimitMs / 1000);
}

// The copy's or new library's failure, naming its file and the reason; a
// full disk is told as the program tells a full disk.
[[noreturn]] void NotWritten(const QString& name, const QString& reason, bool diskFull = false) {
  throw RWError(diskFull ? kErrDiskFull : kErrFileAccess, FileNotWrittenText(name, reason),
                QStringLiteral("clsRWLibrary"), name);
}

// What the chosen name holds, asked away from the window's thread within the
// mount probe's limit: a disk that does not answer holds a helper, not the
// window. Nothing when it did not answer.
struct TargetLook {
  bool exists = false;
  bool sameFile = false;  // the open library's own file under another name
};

std::optional<TargetLook> LookAt(const QString& name, const QString& open) {
  return MountProbe::CallOnPath(name, [name, open] {
    TargetLook look;
    struct stat target {};
    look.exists = ::stat(QFile::encodeName(name).constData(), &target) == 0;
    struct stat library {};
    look.sameFile = look.exists && ::stat(QFile::encodeName(open).constData(), &library) == 0 &&
                    library.st_dev == target.st_dev && library.st_ino == target.st_ino;
    return look;
  });
}

// Which came first: the window giving the work up, or the work's last step,
// which puts its file in place under the chosen name. The one that comes
// second knows it: the work then writes nothing under the name, or the
// window tells that what the name holds is known only once the disk answers.
class PutInPlace {
 public:
  bool ByTheWork() { return Take(kPutting); }
  bool ByTheWindowGivingUp() { return Take(kGivenUp); }

 private:
  enum { kFree, kPutting, kGivenUp };
  bool Take(int state) {
    int free = kFree;
    return state_.compare_exchange_strong(free, state);
  }
  std::atomic<int> state_{kFree};
};

// Runs `write` (which owns what it uses) on a worker within the mount
// probe's quiet limit: a disk that stops answering is given up after it, one
// message names the file, and the work is left to end by itself. It asks
// `place` before it puts its file under the chosen name, so after the
// message nothing under that name changes but what the message says may.
// `write` steps its job as it goes; its own failure is thrown here.
void WriteAway(const QString& name, std::function<void(LongWork::Job&)> write, PutInPlace& place,
               const std::function<void(int)>& report = {}) {
  if (LongWork::Run(std::move(write), {.quietLimitMs = MountProbe::kTimeLimitMs, .report = report})) return;
  if (place.ByTheWindowGivingUp()) NotWritten(name, NoAnswerReason());
  throw RWError(kErrDiskNotReady,
                QStringLiteral("The disk that holds\r\n%1\r\ndid not answer within %2 seconds while the file was being "
                               "put in place under that name, so Reelwise II stopped waiting for it. Whether that name "
                               "holds the new file or what it held before can only be known once the disk answers; "
                               "the Library open now is not changed.")
                    .arg(QDir::toNativeSeparators(name))
                    .arg(MountProbe::kTimeLimitMs / 1000),
                QStringLiteral("clsRWLibrary"), name);
}

}  // namespace

void clsRWLibrary::SaveLibraryAsDialog(bool isNew) {
  QString name = AskForLibraryName(isNew);
  if (name.isEmpty() || (!isNew && name == LibraryPath)) return;
  if (!name.endsWith(QLatin1String(".rw2"))) name += QLatin1String(".rw2");
  // A copy onto the open file itself would replace it with itself.
  if (!isNew && name == LibraryPath) return;
  // A failure of the copy or the new file is told under a title of its own;
  // a full disk as the program tells one.
  const auto tell = [](const RWError& error) {
    const QString title = error.Number() == kErrDiskNotReady ? kNotConfirmed : kNotSaved;
    ErrorGuard({.title = error.Kind() == FaultKind::DiskFull ? QString() : title,
                .owner = ProgramMessageOwner(),
                .text = [](const RWError& e) { return e.Description(); }})
        .Failed(error);
  };
  const RWError silent(kErrFileAccess, FileNotWrittenText(name, NoAnswerReason()), QStringLiteral("clsRWLibrary"), name);
  const std::optional<TargetLook> look = LookAt(name, LibraryPath);
  if (!look) return tell(silent);
  if (look->exists && !look->sameFile) {
    const std::optional<bool> elsewhere = RefusedAsOpenElsewhere(name);
    if (!elsewhere) return tell(silent);
    if (*elsewhere) return;
  }
  if (look->exists && !ConfirmReplace()) return;
  ErrorGuard(Reporting()).Run([&] {
    try {
      if (isNew) {
        OpenNewLibraryFile(name);
        return;
      }
      // The open library stays open until the copy is complete and opened.
      // The copy reads the whole file: long work (LongWork.h) on a worker, on
      // a connection of its own (a connection serves one thread). A note in
      // Temp marks the copy under way, so that one cut short is removed at
      // the next start.
      if (!CopyLibraryTo(name)) return;
    } catch (const RWError& error) {
      if (error.Number() == kErrDatabase) throw;  // the open library's own fault
      tell(error);
      return;
    }
    OpenLibrary(name, false);
    TakeOverWrittenCopy(name);
  });
}

// The copy is made by SQLite's backup on a worker, a megabyte a step, each
// step shown on the progress strip; each call on either disk is a step of
// the job, so a slow disk is not taken for one that stopped answering. The
// worker owns the paths and its connection, so a copy given up ends by
// itself and leaves no file under the chosen name unless it was already
// being put there (its partial file is removed, or removed at the next
// start); until it ends, the chosen name is opened by nothing.
//
// The copy need not be opened as a file another program may have written:
// the backup is one consistent state of the open library under SQLite's
// locks (a commit of another connection meanwhile starts it again), page for
// page, and its pages are checked before it goes under the name. When the
// open library's stamp is the same after the copy as before, and the program
// knew then what that library owed its upkeep (only the program's connection
// wrote it since its last look), the copy owes the same and no more (its
// pages just checked); otherwise every step, as any file. The open of the
// copy takes that only while the copy's stamp is as written.
bool clsRWLibrary::CopyLibraryTo(const QString& name) {
  struct Copy {
    QString from;
    QString to;
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    LibraryFileStamp fromStamp;
    LibraryFileStamp stamp;  // the copy's, as written
    unsigned owed = kEveryUpkeepStep;
  };
  auto copy = std::make_shared<Copy>();
  copy->from = LibraryPath;
  copy->to = name;
  copy->fromStamp = StampOfLibraryFile(LibraryPath);
  copy->owed = WorkLeft(LibraryPath);
  auto place = std::make_shared<PutInPlace>();
  ShowProgress(QStringLiteral("Saving Library..."));
  const auto end = [this] {
    SetProgressMax(0);
    ProgressOff();
  };
  try {
    WriteAway(
        name,
        [copy, place](LongWork::Job& job) {
          const HangGuard::StepEachCall steps([&job] { job.Step(); });
          const HangGuard::HeldOut held(copy->to);
          job.Step();
          const QString partial = PartialCopyOf(copy->to);
          const CopyUnderWay noted(partial);
          job.Step();
          // A copy that reads back damaged took what another program wrote
          // over the open library while it was read: that library is told
          // damaged (and closed), and the copy goes.
          const auto beforeShowing = [&copy, &place, &partial] {
            const DatabaseFileState state = SqlConnection::Examine(partial);
            if (state == DatabaseFileState::Damaged) {
              throw StorageFault(RWError(kErrDatabase,
                                         QStringLiteral("The copy to '%1' read back damaged").arg(copy->to),
                                         QStringLiteral("clsRWLibrary"), copy->from, SQLITE_CORRUPT,
                                         FaultKind::Damaged));
            }
            if (StampOfLibraryFile(copy->from) != copy->fromStamp) copy->owed = kEveryUpkeepStep;
            if (state == DatabaseFileState::Usable) copy->owed &= ~kCheckPages;
            copy->stamp = StampOfLibraryFile(partial);
            return place->ByTheWork();
          };
          try {
            SqlConnection::Open(copy->from)
                ->CopyTo(
                    copy->to, partial,
                    [&job, &copy](int done, int total) {
                      copy->done = done;
                      copy->total = total;
                      job.Step();
                      return !job.Cancelled();
                    },
                    beforeShowing);
          } catch (const RWError& error) {
            if (error.Number() == kErrDatabase) throw;
            NotWritten(copy->to, error.Description(), error.Number() == kErrDiskFull);
          }
        },
        *place,
        [this, copy, started = std::chrono::steady_clock::now()](int) {
          // Until the first pages are copied (the target's disk may not
          // answer) the strip pulses; then it counts the pages.
          if (copy->total == 0) {
            LongWork::Pulse(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                                  started)
                                .count());
            return;
          }
          SetProgressMax(copy->total);
          ShowProgress(QStringLiteral("Saving Library..."), copy->done);
        });
  } catch (const RWError&) {
    end();
    // A copy stopped by a request to end the program says nothing.
    if (LongWork::EndRequested()) return false;
    throw;
  } catch (...) {
    end();
    throw;
  }
  end();
  m_WrittenCopy = {name, copy->stamp, copy->owed, false};
  return true;
}

// The empty library is written and opened with a full reload; the open
// library stays open meanwhile. When the new library replaces the open one's
// very file, that connection is closed first and the scratch library is the
// open one until the new file has opened.
void clsRWLibrary::OpenNewLibraryFile(const QString& name) {
  // The inspected file belongs to the library open before, as do the
  // inspector's edits, which are stored in it now.
  View().ClearInspector();
  if (name == LibraryPath) ReturnToScratchLibrary();
  // The view on show belongs to the library open before: its steps name
  // that library's tags, which the new one has not.
  gViewSpec.clear();
  gViewDescription.clear();
  // Written on a worker: a disk that does not answer is given up.
  auto place = std::make_shared<PutInPlace>();
  WriteAway(
      name,
      [name, place](LongWork::Job& job) {
        const HangGuard::HeldOut held(name);
        job.Step();
        modReelwise::ExtractTemplateLibrary(name, [place] { return place->ByTheWork(); });
        job.Step();
      },
      *place);
  OpenLibrary(name, true);
  // A new library that did not open, or whose first upkeep a fault of the
  // disk undid, holds nothing of the user's: it is closed and removed again,
  // so that a New that failed leaves no file behind.
  if (LibraryPath == name && ErrorGuard::StorageFaultTold()) ErrorGuard(Reporting()).Run([this] { AbandonOpen(); });
  if (LibraryPath != name) {
    HangGuard::CallOnFile(name, [name] {
      QFile::remove(name + QStringLiteral("-journal"));
      QFile::remove(name);
    });
  }
}

// Nothing more is read through the damaged file's connection: the scratch
// library takes its place before the inspector and the view are cleared.
void clsRWLibrary::CloseDamagedLibrary(const QString& path) {
  if (path.isEmpty() || path != LibraryPath || path == gPlaceholderLibraryPath) return;
  gViewSpec.clear();
  gViewDescription.clear();
  AbandonOpen();
  View().ClearInspector();
}

// Once its connection is open the scratch library is the open one, whatever
// fails after (its work tables on a failing disk).
void clsRWLibrary::ReturnToScratchLibrary() {
  ReleaseUpkeptFile();
  UseConnection(gFactory.OpenConnection(gPlaceholderLibraryPath));
  m_Lock.reset();
  ResetLibraryState(gPlaceholderLibraryPath);
  LibraryName.clear();
  View().ShowLibraryCaption(QStringLiteral("No Library Loaded"));
  UseWorkTables();
}
