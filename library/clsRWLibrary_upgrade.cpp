// The upkeep of every full open (schema upgrade, version stamp, orphan
// clean-up, device rebuild) and the compaction of the open file.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "devices/modStorageDevices.h"
#include "library/FormatIndex.h"
#include "library/InterruptedCopies.h"
#include "library/LibraryUpgrade.h"
#include "platform/ErrorGuard.h"
#include "platform/HangGuard.h"
#include "platform/LongWork.h"
#include "platform/MountProbe.h"
#include "platform/RWError.h"
#include "platform/SqlRecordset.h"
#include "platform/WholeFile.h"
#include "ui/CairoContext.h"
#include "ui/CairoImageList.h"
#include "ui/CairoObject.h"
#include "ui/modCairo.h"

#include <QDebug>
#include <QFile>

#include <cerrno>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int kThumbWidth = 100;
constexpr int kThumbHeight = 75;

// SQLite's count of the file's layout changes.
int64_t SchemaVersion(SqlConnection& db) {
  return SqlRecordset(db, QStringLiteral("PRAGMA schema_version")).Value(0).toInt64();
}

// How long the upkeep may go on once the program has been asked to end: an
// upkeep nearly done finishes, a long one (an old library's upgrade) stops.
constexpr int kUpkeepEndGraceMs = 1000;

// For its lifetime, the connection's statement under way stops once the
// program has been asked to end kUpkeepEndGraceMs ago; `stopped` tells.
class UpkeepStop {
 public:
  UpkeepStop(SqlConnection& db, bool& stopped) : db_(db) {
    db_.StopWhen([this, &stopped] { return stopped = stopped || grace_.Over(); });
  }
  ~UpkeepStop() { db_.StopWhen({}); }
  UpkeepStop(const UpkeepStop&) = delete;
  UpkeepStop& operator=(const UpkeepStop&) = delete;

 private:
  SqlConnection& db_;
  LongWork::EndGrace grace_{kUpkeepEndGraceMs};
};

}  // namespace

QString UpgradeBackupPath(const QString& libraryPath) { return libraryPath + QStringLiteral(".bak"); }

// Nothing inside stops the upkeep but a request to end the program that it
// outlasts by a second, which undoes it whole, tells nothing and gives the
// open up (the file stays as it was). A step that fails leaves its part of
// the schema as it was. Only a renumbering that cannot complete undoes the whole
// upkeep, so that the file stays as it was, and the user is told; the answer
// is then false, since the file cannot be used in its old layout. A fault of
// the disk or the file (full, failing, locked, damaged) undoes the upkeep
// and the device rebuild whole and is told once; the open then goes on to
// show what the file holds, unless the file is of the earliest layouts.
//
// The open found which steps have work (m_OpeningWork): a file the program
// left after an upkeep needs none of the upgrade and clean-up, one it alone
// wrote since only the sweeps its writes may have given rows to remove, and
// the version check's survey left out the sweeps with nothing to remove. An
// upgrade that changed the layout brings every sweep back. The device rebuild
// always runs: drives come and go while the library is closed.
bool clsRWLibrary::HouseKeep() {
  ShowProgress(QStringLiteral("Performing Housekeeping..."));
  unsigned work = m_OpeningWork;
  const bool upgrade = work & kUpgradeSchema;
  // A file of the earliest layouts (no version table) can only be used once
  // upgraded; any other can be shown as it is.
  const bool earlierLayout =
      upgrade && SqlRecordset(*m_Connection, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                                            "AND name = 'VersionData'"))
                         .Value(0)
                         .toInt() == 0;
  // A copy that could not be written is told once the open is over
  // (TellUpgradeCopyNote), and not when a fault of the disk (told instead)
  // undid the upkeep.
  QString copyNotWritten;
  const bool backedUp = upgrade && NeedsRenumbering(*m_Connection) && BackUpBeforeRenumbering(copyNotWritten);
  UpgradeReport report;
  // The upkeep and the device rebuild are stored whole or not at all: a
  // fault of the disk or the file met in either leaves the file as it was.
  // An upkeep with nothing to do leaves the rebuild a transaction of its own,
  // which writes nothing when it finds every device as it was.
  std::optional<TransactionGuard> whole;
  bool faulted = false;
  const auto toldOnce = [this, &faulted](const StorageFault& fault) {
    // Told once for the open.
    ErrorGuard(Reporting()).Failed(fault.Error());
    faulted = true;
  };
  // A request to end the program that the upkeep outlasts stops it: the
  // upkeep is undone whole, nothing is told, and the open is given up.
  bool stopped = false;
  std::optional<UpkeepStop> stop(std::in_place, *m_Connection, stopped);
  try {
    if (work != 0) whole.emplace(*m_Connection, QStringLiteral("Upkeep"));
    TransactionGuard guard(*m_Connection, QStringLiteral("HouseKeep"));
    if (upgrade) {
      const int64_t layout = SchemaVersion(*m_Connection);
      report = UpgradeLibrarySchema(*m_Connection);
      if (SchemaVersion(*m_Connection) != layout) work |= kOrphanSweeps | kSweepImpliedTags;
    }
    if (report.renumberingFailed) {
      guard.Rollback();
    } else {
      if (report.resizeThumbnails) ResizeThumbnails();
      if (upgrade) StampLibraryVersion(*m_Connection);
      RemoveOrphanRows(*m_Connection, work);
      if (upgrade) {
        FormatIndex::Add(*m_Connection);
        AddPictureIndex(*m_Connection);
      }
      guard.Commit();
    }
  } catch (const RWError& error) {
    qWarning() << "Housekeeping:" << error.Text();
  } catch (const StorageFault& fault) {
    toldOnce(fault);
  }
  stop.reset();
  if (stopped) return GiveUpStoppedUpkeep(whole);
  if (!report.problem.isEmpty()) {
    const QString copy = backedUp ? QStringLiteral("\r\n\r\nA copy of the Library as it was is kept in:\r\n") +
                                        UpgradeBackupPath(LibraryPath)
                                  : QString();
    ShowProgramMessage(report.problem + copy, vbExclamation, QStringLiteral("Library Upgrade"),
                       ProgramMessageOwner());
  }
  if (!faulted && !report.renumberingFailed) {
    m_PathsMapped = modStorageDevices::EnumStorageDevices(*this, !(work & kMapPaths));
    // The rebuild tells its own faults.
    faulted = ErrorGuard::StorageFaultTold();
  }
  if (!faulted && !report.renumberingFailed && work != 0) {
    // The tags' behaviours, which the upkeep's changes may move, are stored
    // with the rest; the tree the open shows next does not set them again.
    try {
      SetNodeBehaviours(false);
      m_BehavioursStored = true;
    } catch (const RWError& error) {
      qWarning() << "Housekeeping:" << error.Text();
    } catch (const StorageFault& fault) {
      toldOnce(fault);
    }
  }
  if (!faulted && !report.renumberingFailed && whole) {
    try {
      whole->Commit();
    } catch (const StorageFault& fault) {
      toldOnce(fault);
    }
  }
  if (whole && (faulted || report.renumberingFailed)) {
    m_PathsMapped = false;
    try {
      whole->Rollback();
    } catch (const StorageFault&) {
      // SQLite rolls back what it cannot finish when the file is next read.
    }
  }
  if (!faulted) m_UpgradeCopyNote = copyNotWritten;
  ProgressOff();
  // A file left in a layout the program cannot use (its upgrade undone) is
  // not opened; any other goes on to show what it holds, written no more by
  // this open.
  return !report.renumberingFailed && !(faulted && earlierLayout);
}

bool clsRWLibrary::GiveUpStoppedUpkeep(std::optional<TransactionGuard>& whole) {
  try {
    if (whole) whole->Rollback();
  } catch (const StorageFault&) {
    // SQLite rolls back what it cannot finish when the file is next read.
  }
  m_PathsMapped = false;
  ProgressOff();
  return false;
}

// A copy that could not be kept is told once the open is over, unless the
// open told a fault of the disk or the file: a disk that returned wrong bytes
// as the copy was read damages what the open reads next too (one box).
void clsRWLibrary::TellUpgradeCopyNote() {
  const QString note = std::exchange(m_UpgradeCopyNote, QString());
  if (note.isEmpty() || ErrorGuard::StorageFaultTold()) return;
  ShowProgramMessage(note, vbExclamation, QStringLiteral("Library Upgrade"), ProgramMessageOwner());
}

// Renumbering rewrites every file row; a copy of the file is kept first. A
// copy that cannot be written (or reads back damaged: a disk that returned
// wrong bytes as it was read) is removed and `notWritten` says so, naming it;
// the renumbering, undone as a whole when it cannot complete, goes on. False
// without the copy.
bool clsRWLibrary::BackUpBeforeRenumbering(QString& notWritten) {
  const QString copy = UpgradeBackupPath(LibraryPath);
  const auto tell = [&copy, &notWritten](const RWError& error) {
    // SQLite's words are for the log.
    if (error.SqliteCode() != 0) qWarning() << "Upgrade copy:" << error.Text();
    const QString reason = error.Kind() == FaultKind::DiskFull ? QStringLiteral("The disk is full.")
                           : error.SqliteCode() != 0           ? QStringLiteral("Its folder cannot be written.")
                                                               : error.Description();
    notWritten = QStringLiteral("The copy of the Library kept before its upgrade could not be written to\r\n%1"
                                "\r\n\r\n%2\r\n\r\nThe upgrade goes on; if it cannot complete, the Library is "
                                "left as it was.")
                     .arg(copy, reason);
  };
  try {
    // A large library's copy takes seconds: it paints past the grace. It
    // is noted while it is written, as Save As's copy is, so that one cut
    // short is removed at the next start. Its disk is the library's: each
    // call on it is guarded as the library's own.
    LongWork::Pacer own;
    const QString partial = PartialCopyOf(copy);
    const CopyUnderWay noted(partial);
    m_Connection->CopyTo(copy, partial, [this, &own](int done, int total) {
      if (ProgressDue(own)) {
        SetProgressMax(total);
        ShowProgress(QStringLiteral("Performing Housekeeping..."), done);
      }
      return true;
    });
    SetProgressMax(0);
    const std::optional<DatabaseFileState> state =
        HangGuard::OnFile(copy, [copy] { return SqlConnection::Examine(copy); });
    if (state && *state != DatabaseFileState::Damaged) return true;
    HangGuard::CallOnFile(copy, [copy] { QFile::remove(copy); });
    tell(RWError(kErrFileAccess,
                 state ? QStringLiteral("The copy read back damaged.") : FileErrorText(ETIMEDOUT),
                 QStringLiteral("clsRWLibrary"), copy));
  } catch (const RWError& error) {
    tell(error);
  } catch (const StorageFault& fault) {
    tell(fault.Error());
  }
  return false;
}

// Thumbnails of other sizes are scaled, whole, to 100 x 75; those 100 pixels
// wide are left as they are, known by their header without decoding them
// (a picture that is no JPEG is decoded to tell). The rows are read a few at
// a time in key order, so the resizing holds a few pictures however large
// the library, and no read is open while a picture is stored. An error ends
// the resizing.
void clsRWLibrary::ResizeThumbnails() {
  constexpr int kRowsAtOnce = 64;
  try {
    SqlCommand next(*m_Connection, QStringLiteral("SELECT SegmentID, FileID, Thumbnail FROM SegmentThumbnails WHERE "
                                                  "SegmentID > ? ORDER BY SegmentID LIMIT %1")
                                       .arg(kRowsAtOnce));
    std::vector<StoredThumbnail> rows;
    int64_t after = std::numeric_limits<int64_t>::min();
    do {
      rows.clear();
      next.BindInt(1, after);
      while (next.Step()) {
        after = next.ColumnInt(0);
        rows.push_back({static_cast<int32_t>(after), next.toInt(1), next.ColumnBytes(2)});
      }
      for (const StoredThumbnail& row : rows) ResizeThumbnail(row);
    } while (rows.size() == static_cast<size_t>(kRowsAtOnce));
  } catch (const RWError& error) {
    qWarning() << "Thumbnail resizing:" << error.Text();
  }
}

void clsRWLibrary::ResizeThumbnail(const StoredThumbnail& row) {
  if (row.bytes.isEmpty()) return;
  int width = 0;
  int height = 0;
  if (m_JpegCodec->ReadSize(row.bytes, &width, &height) && width == kThumbWidth) return;
  const ImageSurfacePtr picture = DecodePicture(row.bytes);
  if (picture->Width() == kThumbWidth) return;
  auto tile = modCairo::GetCairo()->CreateSurface(kThumbWidth, kThumbHeight);
  tile->Context()->RenderSurface(*picture, 0, 0, kThumbWidth, kThumbHeight);
  tile->Surface().Flush();
  QImage resized = tile->Surface().Image().copy();
  SaveThumbnail(row.segmentId, row.fileId, resized);
}

// Rewriting a large file takes seconds: it runs as long work on a
// connection of its own.
void clsRWLibrary::CompactDatabase() {
  ShowProgress(QStringLiteral("Compacting Library..."));
  View().Repaint();
  // The progress goes however the compaction ends.
  struct ProgressGoes {
    clsRWLibrary& library;
    ~ProgressGoes() { library.ProgressOff(); }
  } const goes{*this};
  // Refused while this connection holds a transaction, as its own compaction is.
  if (m_Connection->InTransaction()) return m_Connection->Compact();
  RunOwnWrites([](SqlConnection& db) { db.Compact(); });
}

// This connection must hold no transaction then, or the work finds the file
// busy; what the work changes, this connection reads afterwards. The upkeep
// takes a change by another connection (data_version) for one by another
// program: these are the program's own, so the count it keeps moves with
// them, unless another program wrote meanwhile. A failure the work throws
// (a busy or damaged file) comes back here.
//
// The work steps as SQLite works (a Ticking), so a compaction of minutes is
// never taken for a disk that stopped answering; a disk that makes no step
// for the mount probe's limit is given up, told as not answering, and the
// work (which owns what it uses) is stopped at its next step, its
// transaction rolled back by SQLite: its later calls on the file are
// refused. Only when it had begun the call that completes its change (its
// journal's removal) may the change still land: that is told as an outcome
// unknown, and the library is closed. A request to end the program stops the
// work's statement the same way, and the work ends there without a word:
// the file stays as it was.
void clsRWLibrary::RunOwnWrites(std::function<void(SqlConnection&)> work) {
  const QString path = LibraryPath;
  const bool noOtherWrites = m_UpkeptStamp.valid && m_Connection->DataVersion() == m_UpkeptDataVersion;
  bool answered = true;
  const auto watched = std::make_shared<HangGuard::WatchedWork>(path);
  try {
    answered = LongWork::Run(
        [path, watched, work = std::move(work)](LongWork::Job& job) {
          const HangGuard::WatchedWork::OnWorker calls(watched);
          job.Step();
          const std::unique_ptr<SqlConnection> db = SqlConnection::Open(path);
          const SqlConnection::Ticking ticking(*db, [&job] {
            job.Step();
            return !job.Cancelled();
          });
          work(*db);
        },
        {.quietLimitMs = MountProbe::kTimeLimitMs});
  } catch (const RWError& error) {
    if (!SqlConnection::IsStopped(error) || !LongWork::EndRequested()) throw;
    return;
  }
  if (!answered) {
    const bool mayBeDone = watched->GivenUp() == HangGuard::GiveUp::MayBeDone;
    StorageFault::Raise(RWError(kErrDatabase, QStringLiteral("The disk did not answer"), QStringLiteral("clsRWLibrary"),
                                path, 0, mayBeDone ? FaultKind::Unconfirmed : FaultKind::NotAnswering));
  }
  if (noOtherWrites) m_UpkeptDataVersion = m_Connection->DataVersion();
}
