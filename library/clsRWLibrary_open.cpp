// Opening a library: the version check, the window's state around a load,
// the full reload with upkeep and tree, and the first view.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/HistoryEntry.h"
#include "library/LibraryFile.h"
#include "library/LibraryLayout.h"
#include "library/LibraryUpgrade.h"
#include "library/ResultItem.h"
#include "library/WorkTables.h"
#include "library/cFactory.h"
#include "platform/FileLock.h"
#include "platform/HangGuard.h"
#include "platform/MountProbe.h"
#include "platform/QuitRequest.h"
#include "platform/RWError.h"
#include "platform/LongWork.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"

#include <QDebug>
#include <QFile>

#include <optional>
#include <utility>

#include <sys/stat.h>

namespace {

// What the open changes of gAppReady is put back on every way out but a
// completed reload, which leaves the program ready.
class AppReadyRestorer {
 public:
  AppReadyRestorer() : previous_(gAppReady) { gAppReady = false; }
  ~AppReadyRestorer() { gAppReady = completed_ || previous_; }
  void Completed() { completed_ = true; }

 private:
  bool previous_;
  bool completed_ = false;
};

// An open is long work (LongWork.h): no event is handled until it is over,
// and once it has run longer than half a second the window's painting is
// done every tenth of a second, so that it shows the open's progress.

// The library's pacer for the life of an open.
class OpenPacing {
 public:
  OpenPacing(LongWork::Pacer*& slot, LongWork::Pacer& pacer) : slot_(slot), previous_(slot) { slot_ = &pacer; }
  ~OpenPacing() { slot_ = previous_; }
  OpenPacing(const OpenPacing&) = delete;
  OpenPacing& operator=(const OpenPacing&) = delete;

 private:
  LongWork::Pacer*& slot_;
  LongWork::Pacer* previous_;
};

// The look at a file before anything is done with it, as long as its disk
// answers: a short one here, its calls guarded (HangGuard::OnFile); one that
// reads every page on a worker, the window painting meanwhile (past the
// grace of the open it is part of), each file call of it a step, given up
// after the mount probe's limit without one. Nothing when the disk did not
// answer.
std::optional<DatabaseFileState> ExamineWithin(const QString& path, bool checkPages, int64_t sinceMs) {
  if (!checkPages) return HangGuard::OnFile(path, [path] { return SqlConnection::Examine(path, false); });
  auto seen = std::make_shared<std::optional<DatabaseFileState>>();
  const bool answered = LongWork::Run(
      [path, seen](LongWork::Job& job) {
        const HangGuard::StepEachCall steps([&job] { job.Step(); });
        seen->emplace(SqlConnection::Examine(path, true));
      },
      {.quietLimitMs = MountProbe::kTimeLimitMs, .sinceMs = sinceMs});
  return answered ? *seen : std::nullopt;
}

// The survey of a file another program may have written reads whole tables:
// it runs on a worker, the window painting meanwhile (past the grace of the
// open it is part of: it has held the window for `sinceMs`), each of its
// steps a step of the job, the connection the worker's until it ends. A disk
// that makes no step for the mount probe's limit is given up: the library
// counts as busy until the survey ends, its later calls refused. Nothing
// then; a short survey runs here.
std::optional<OrphanSurvey> SurveyAway(std::unique_ptr<SqlConnection>& connection, unsigned work, int64_t sinceMs) {
  if (!(work & kOrphanSweeps)) return SurveyOrphans(*connection, work);
  auto held = std::make_shared<std::unique_ptr<SqlConnection>>(std::move(connection));
  auto seen = std::make_shared<OrphanSurvey>();
  const auto watched = std::make_shared<HangGuard::WatchedWork>((*held)->Path());
  bool answered = false;
  try {
    answered = LongWork::Run(
        [held, seen, watched, work](LongWork::Job& job) {
          const HangGuard::WatchedWork::OnWorker calls(watched);
          const SqlConnection::Ticking ticking(**held, [&job] {
            job.Step();
            return true;
          });
          *seen = SurveyOrphans(**held, work);
        },
        {.quietLimitMs = MountProbe::kTimeLimitMs, .sinceMs = sinceMs});
  } catch (...) {
    connection = std::move(*held);
    throw;
  }
  if (!answered) {
    watched->GivenUp();
    return std::nullopt;
  }
  connection = std::move(*held);
  return std::move(*seen);
}

// The window's browser while a library loads: busy, and closed to the user.
void BusyBrowser(ILibraryView& view, bool busy) {
  view.ShowBusyIndicator(busy);
  view.SetBrowserControlsEnabled(!busy);
}

bool HasTable(SqlConnection& db, const QString& table) {
  auto rs = db.OpenRecordset(
      QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = %1").arg(SqlQuote(table)));
  return rs->Value(0).toInt() > 0;
}

// A catalogue table that another program replaced by a view (or any other
// object of that name): empty when every one that exists is a table.
QString ReplacedTable(SqlConnection& db) {
  auto rs = db.OpenRecordset(QStringLiteral(
      "SELECT name FROM sqlite_master WHERE type <> 'table' AND name IN ('FileLocations', 'SegmentTags', "
      "'SegmentThumbnails', 'TagLinks', 'Tags', 'VersionData', 'VideoFiles', 'VideoSegments', 'Views')"));
  return rs->Eof() ? QString() : rs->Value(0).toString();
}

// The first of the catalogue tables that every layout of the library file
// has, the oldest one included, that the file lacks: empty when none is
// missing. A library without one cannot be used (another program dropped it).
QString MissingTable(SqlConnection& db) {
  static const QStringList tables = {QStringLiteral("Tags"),          QStringLiteral("TagLinks"),
                                     QStringLiteral("SegmentTags"),   QStringLiteral("Views"),
                                     QStringLiteral("VideoFiles"),    QStringLiteral("VideoSegments")};
  for (const QString& table : tables) {
    if (!HasTable(db, table)) return table;
  }
  return {};
}

void ShowRefusal(const QString& text, const QString& title = QStringLiteral("Incompatible Library")) {
  ShowProgramMessage(text, vbExclamation, title, ProgramMessageOwner());
}

// A catalogue table another program replaced or dropped: the file is refused
// in one sentence naming the table.
void RefuseChangedTable(const QString& path, const QString& table, const QString& change) {
  ShowRefusal(QStringLiteral(" '%1'\r\n\r\ncannot be opened: its table \"%2\" %3 (another program changed the "
                             "file), so it is not a Library Reelwise II can use.\r\n\r\nNothing in the file was "
                             "changed.")
                  .arg(path, table, change),
              QStringLiteral("Damaged Library"));
}

// Says why a file that exists cannot be opened, found before anything in it
// is changed; false when it can be.
bool RefusedByState(const QString& path, DatabaseFileState state) {
  const QString name = QStringLiteral(" '%1'\r\n\r\n").arg(path);
  // A disk fault the command told already (the open library's file on the
  // same failing disk) stands for the file's state as well.
  if (state != DatabaseFileState::Usable && ErrorGuard::StorageFaultTold()) return true;
  switch (state) {
    case DatabaseFileState::Usable:
      return false;
    case DatabaseFileState::Missing:
      ShowProgramMessage(QStringLiteral("The Library %1 does not exist!").arg(path), vbExclamation,
                         QStringLiteral("Library not found!"), ProgramMessageOwner());
      break;
    case DatabaseFileState::PathTooLong:
      ShowRefusal(name + QStringLiteral("cannot be opened because its path is too long: a Library's full path "
                                        "can have at most %1 bytes.")
                             .arg(SqlConnection::MaxPathBytes() - 1),
                  QStringLiteral("Path too long"));
      break;
    case DatabaseFileState::NotADatabase:
      ShowRefusal(name + QStringLiteral("is not a Reelwise II Library and therefore cannot be opened."));
      break;
    case DatabaseFileState::Damaged:
      ShowRefusal(name + QStringLiteral("is damaged (cut short, or with pages that cannot be read) and therefore "
                                        "cannot be opened.\r\n\r\nNothing in the file was changed."),
                  QStringLiteral("Damaged Library"));
      break;
    case DatabaseFileState::ReadOnly:
      ShowRefusal(name + QStringLiteral("cannot be opened because the file or its folder is read-only (or the "
                                        "file's header asks for a later file format, which can only be read): "
                                        "Reelwise II writes to a Library while it is open."),
                  QStringLiteral("Read-only Library"));
      break;
    case DatabaseFileState::Unreadable:
      ShowRefusal(name + QStringLiteral("cannot be read and therefore cannot be opened."),
                  QStringLiteral("Library not opened"));
      break;
    case DatabaseFileState::Busy:
      ShowRefusal(name + QStringLiteral("is being written by another program and therefore cannot be opened now."),
                  QStringLiteral("Library in use"));
      break;
    case DatabaseFileState::NoFileHandles:
      ShowRefusal(name + QStringLiteral("cannot be opened now: Reelwise II has as many files open as the system "
                                        "allows. The file is not at fault, and nothing in it was changed.\r\n\r\n"
                                        "Close other programs or windows, then open the Library again."),
                  QStringLiteral("Too Many Open Files"));
      break;
    case DatabaseFileState::JournalBlocked:
      ShowRefusal(name + QStringLiteral("cannot be opened: beside it\r\n'%1'\r\nis a folder (or something else "
                                        "that is no file), and that name is kept for the Library's own journal."
                                        "\r\n\r\nRename or move it, then open the Library again. Nothing in the "
                                        "file was changed.")
                             .arg(SqlConnection::TakenJournalName(path)),
                  QStringLiteral("Library not opened"));
      break;
  }
  return true;
}

// A file on a drive or share that does not answer (a server gone away) is
// refused once the mount probe's time limit has passed, before the open
// touches it anywhere a call would wait for as long as the mount is away.
void ShowSilentRefusal(const QString& path) {
  ShowRefusal(QStringLiteral(" '%1'\r\n\r\ncannot be opened: the drive or share that holds it does not answer. Open "
                             "it again once the drive answers; nothing in the file was changed.")
                  .arg(path),
              QStringLiteral("Library not opened"));
}

// A file with a call given up on it still out is not opened either, so
// that the call landing late cannot meet the new connection's work.
bool RefusedAsSilent(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  const auto answered = MountProbe::CallOnPath(path, [name] {
    struct stat info {};
    return ::stat(name.constData(), &info) == 0;
  });
  if (answered && !HangGuard::LibraryStillOut(path)) return false;
  ShowSilentRefusal(path);
  return true;
}

// A library stamped by a later version is refused: true, having said so.
bool RefusedAsLater(SqlConnection& db, const QString& path) {
  auto rs = gFactory.NewRecordset(db, QStringLiteral("Select * FROM VersionData"));
  const int major = rs->Eof() ? 0 : rs->Fields(QStringLiteral("Major")).toInt();
  const int minor = rs->Eof() ? 0 : rs->Fields(QStringLiteral("Minor")).toInt();
  const int revision = rs->Eof() ? 0 : rs->Fields(QStringLiteral("Revision")).toInt();
  const bool accepted = major < kProgramMajor || (major == kProgramMajor && minor < kProgramMinor) ||
                        (major == kProgramMajor && minor == kProgramMinor && revision <= kProgramRevision);
  if (accepted) return false;
  ShowRefusal(QStringLiteral(" '%1'\r\n\r\nwas created by a later version (%2.%3.%4) of \r\n"
                             "Reelwise II and therefore cannot be opened.")
                  .arg(path)
                  .arg(major)
                  .arg(minor)
                  .arg(revision));
  return true;
}

// A reference another program damaged, a row number outside the program's
// range, or an index that does not match its table, is refused: true, having
// said so in one sentence naming the table and column.
bool RefusedAsDamaged(const QString& path, const OrphanSurvey& survey) {
  if (!survey.damagedIndex.isEmpty()) {
    RefuseChangedTable(path, survey.damagedIndex, QStringLiteral("has an index that no longer matches its rows"));
    return true;
  }
  const std::optional<TableColumn>& key = survey.damagedKey ? survey.damagedKey : survey.keyOutOfRange;
  if (!key) return false;
  const QString what =
      survey.damagedKey ? QStringLiteral("a reference that is no row number")
                        : QStringLiteral("a row number outside the range Reelwise II can hold (1 to 2147483647)");
  RefuseChangedTable(path, key->table, QStringLiteral("holds in its column \"%1\" %2").arg(key->column, what));
  return true;
}

void ShowOpenElsewhere(const QString& path) {
  ShowRefusal(QStringLiteral(" '%1'\r\n\r\nis open in another window of Reelwise II. A Library can be open in "
                             "one window at a time.")
                  .arg(path),
              QStringLiteral("Library in use"));
}

}  // namespace

QString LibraryNameOf(const QString& path) {
  const QString file = path.section(QLatin1Char('/'), -1);
  const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? file : file.left(dot);
}

// A library of the current layout, one written by an earlier version (the
// upgrade adds VersionData), or nothing: a missing file, a file that is no
// database, a database that is no library, or one of a later version.
std::unique_ptr<SqlConnection> clsRWLibrary::OpenCheckedConnection(const QString& path,
                                                                   std::unique_ptr<FileLock>& lock) {
  if (RefusedAsSilent(path)) return nullptr;
  // A file only the program wrote since its last upkeep passed the page
  // check then.
  m_OpeningWork = WorkLeft(path);
  const bool checkPages = m_OpeningWork & kCheckPages;
  if (checkPages) ShowProgress(QStringLiteral("Checking Library..."));
  const std::optional<DatabaseFileState> state = ExamineWithin(path, checkPages, OpenElapsedMs());
  if (!state) {
    ShowSilentRefusal(path);
    return nullptr;
  }
  if (RefusedByState(path, *state)) return nullptr;
  // The lock is held from before the first write until the library is closed;
  // reopening the library this object has open keeps the lock it holds.
  if (!m_Lock || !m_Lock->Covers(path)) {
    FileLock::Outcome outcome = FileLock::Outcome::Failed;
    lock = FileLock::TryLock(path, outcome);
    if (outcome == FileLock::Outcome::HeldElsewhere) ShowOpenElsewhere(path);
    if (outcome == FileLock::Outcome::Failed) RefusedByState(path, DatabaseFileState::Unreadable);
    if (outcome == FileLock::Outcome::NotAnswering) ShowSilentRefusal(path);
    if (outcome == FileLock::Outcome::NoFileHandles) RefusedByState(path, DatabaseFileState::NoFileHandles);
    if (!lock) return nullptr;
  }
  std::unique_ptr<SqlConnection> candidate;
  QString replaced;
  QString missing;
  std::optional<LayoutGap> odd;
  OrphanSurvey survey;
  bool earlierLayout = false;
  try {
    candidate = gFactory.OpenConnection(path);
    replaced = ReplacedTable(*candidate);
    missing = MissingTable(*candidate);
    // Only a file whose layout may have changed since its upkeep is looked
    // at: the upgrade runs on no other.
    if (replaced.isEmpty() && missing.isEmpty() && (m_OpeningWork & kUpgradeSchema)) {
      odd = LibraryLayout::NeitherOldNorCurrent(*candidate);
    }
    if (replaced.isEmpty() && missing.isEmpty() && !odd) {
      std::optional<OrphanSurvey> seen = SurveyAway(candidate, m_OpeningWork, OpenElapsedMs());
      if (!seen) {
        lock.reset();
        ShowSilentRefusal(path);
        return nullptr;
      }
      survey = std::move(*seen);
    }
    earlierLayout = !HasTable(*candidate, QStringLiteral("VersionData"));
    if (earlierLayout && !(HasTable(*candidate, QStringLiteral("VideoFiles")) &&
                           HasTable(*candidate, QStringLiteral("Tags")))) {
      throw RWError(kErrDatabase, QStringLiteral("no catalogue tables"));
    }
  } catch (const RWError& error) {
    lock.reset();
    // A damaged file is refused as one; a disk that fails while the file is
    // read is told as what it is, not as a file of another kind.
    if (error.Kind() == FaultKind::Damaged) {
      RefusedByState(path, DatabaseFileState::Damaged);
      return nullptr;
    }
    if (StorageFault::IsStorageKind(error.Kind())) StorageFault::Raise(error);
    RefusedByState(path, DatabaseFileState::NotADatabase);
    return nullptr;
  }
  // A changed table is refused before the upgrade or the upkeep write to the
  // file, which would otherwise stop on it with raw database errors.
  if (!replaced.isEmpty() || !missing.isEmpty()) {
    lock.reset();
    if (!replaced.isEmpty()) {
      RefuseChangedTable(path, replaced, QStringLiteral("was replaced by another kind of object"));
    } else {
      RefuseChangedTable(path, missing, QStringLiteral("is missing"));
    }
    return nullptr;
  }
  // A layout that is neither the program's nor an earlier version's (a
  // column another program renamed) is refused before the upgrade takes it
  // for an old one and copies old values over the file's.
  if (odd) {
    lock.reset();
    RefuseChangedTable(path, odd->table,
                       odd->column.isEmpty() ? QStringLiteral("is missing")
                                             : QStringLiteral("lacks its column \"%1\"").arg(odd->column));
    return nullptr;
  }
  // A reference another program damaged is found by the survey before the
  // clean-up would remove the rows that hold it.
  if ((!earlierLayout && RefusedAsLater(*candidate, path)) || RefusedAsDamaged(path, survey)) {
    lock.reset();
    return nullptr;
  }
  // Only the sweeps that found rows to remove run.
  m_OpeningWork = (m_OpeningWork & ~(kOrphanSweeps | kSweepImpliedTags)) | survey.sweeps;
  return candidate;
}

unsigned clsRWLibrary::WorkLeft(const QString& path) {
  const LibraryFileStamp now = StampOfLibraryFile(path);
  if (!now.valid) return kEveryUpkeepStep;
  // A copy the program wrote and synced itself, as it left it: what it holds
  // is the library it was copied from, as the program knew that one.
  if (path == m_WrittenCopy.path && now == m_WrittenCopy.stamp) {
    m_WrittenCopy.openedAsWritten = true;
    return m_WrittenCopy.owed;
  }
  if (!m_UpkeptStamp.valid || m_UpkeptPath != path) return RememberedWork(path, now);
  if (now == m_UpkeptStamp) return m_UpkeptOwed;
  // The same file, and no other connection committed to it since the upkeep:
  // every change is one of this connection's recorded writes.
  const bool sameFile = now.inode == m_UpkeptStamp.inode && now.device == m_UpkeptStamp.device;
  try {
    if (!sameFile || m_Connection->DataVersion() != m_UpkeptDataVersion) return kEveryUpkeepStep;
  } catch (const RWError&) {
    return kEveryUpkeepStep;
  } catch (const StorageFault&) {
    // A file that cannot be read (damaged, gone) has every step left.
    return kEveryUpkeepStep;
  }
  const unsigned schema = now.schemaCookie != m_UpkeptStamp.schemaCookie ? kUpgradeSchema : 0u;
  return m_UpkeptOwed | UpkeepAfterWrites(m_Connection->Writes()) | schema;
}

void clsRWLibrary::ReleaseUpkeptFile() {
  if (m_UpkeptStamp.valid) {
    RememberUpkeptFile(m_UpkeptPath, StampOfLibraryFile(m_UpkeptPath), WorkLeft(m_UpkeptPath));
  }
  m_UpkeptStamp = LibraryFileStamp();
  m_UpkeptPath.clear();
}

void clsRWLibrary::MarkUpkept() {
  m_UpkeptPath = LibraryPath;
  m_UpkeptStamp = m_PathsMapped ? StampOfLibraryFile(LibraryPath) : LibraryFileStamp();
  m_UpkeptDataVersion = m_Connection->DataVersion();
  m_UpkeptOwed = 0;
  m_Connection->ForgetWrites();
}

void clsRWLibrary::TakeOverWrittenCopy(const QString& name) {
  const WrittenCopy copy = std::exchange(m_WrittenCopy, WrittenCopy());
  if (copy.path != name || !copy.openedAsWritten || LibraryPath != name || ErrorGuard::StorageFaultTold()) return;
  // As after an upkeep, the open's own writes (its work tables) included.
  MarkUpkept();
  m_UpkeptOwed = copy.owed;
}

// A file another copy of the program has open is not replaced either.
// Nothing when its disk did not answer.
std::optional<bool> clsRWLibrary::RefusedAsOpenElsewhere(const QString& path) {
  if (m_Lock && m_Lock->Covers(path)) return false;
  FileLock::Outcome outcome = FileLock::Outcome::Failed;
  if (FileLock::TryLock(path, outcome)) return false;
  if (outcome == FileLock::Outcome::NotAnswering) return std::nullopt;
  if (outcome != FileLock::Outcome::HeldElsewhere) return false;
  ShowOpenElsewhere(path);
  return true;
}

bool clsRWLibrary::CheckLibraryVersion(const QString& path) {
  std::unique_ptr<FileLock> lock;
  auto candidate = OpenCheckedConnection(path, lock);
  if (!candidate) return false;
  ReleaseUpkeptFile();
  UseConnection(std::move(candidate));
  if (lock) m_Lock = std::move(lock);
  return true;
}

void clsRWLibrary::OpenLibrary(const QString& path, bool reload) {
  // An open (and the upgrade in it) is one transaction: a request to end the
  // program waits for it.
  const QuitRequest::LongWork work;
  AppReadyRestorer ready;
  if (path == gPlaceholderLibraryPath) return;
  LongWork::Pacer pacer;
  const OpenPacing pacing(m_OpenPacer, pacer);
  m_BehavioursStored = false;
  m_UpgradeCopyNote.clear();
  // Whether the file became the open library, whether the window took its
  // name, and whether its upkeep (an upgrade among it) stands.
  bool taken = false;
  bool named = false;
  bool upkept = false;
  const bool opened = ErrorGuard(Reporting()).Run([&] {
    // The file is checked before anything of the open library is cleared,
    // so a refused file leaves that library, its tree and results as they were.
    BusyBrowser(View(), true);
    if (!CheckLibraryVersion(path)) {
      ProgressOff();
      BusyBrowser(View(), false);
      return;
    }
    taken = true;
    View().ShowLibraryLoaded(true);
    if (reload) {
      bool starting = true;
      SetLoadingState(starting);
    }
    if (gTVOutMode) {
      View().CarouselAppStartUp(true, false);
      View().ShowCarouselBusy();
      LongWork::Pause(1500);
    }
    ResetLibraryState(path);
    named = true;
    if (!reload) {
      UseWorkTables();
      upkept = true;
      // The page check the open may have shown progress for is over.
      ProgressOff();
      BusyBrowser(View(), false);
      return;
    }
    if (!ReloadLibrary(upkept)) {
      upkept = true;  // abandoned as a whole
      TellUpgradeCopyNote();
      AbandonOpen();
      ready.Completed();
      return;
    }
    ShowFirstView();
    TellUpgradeCopyNote();
    // The open's own writes after the upkeep (devices, work tables, the
    // first view) leave nothing for the next upkeep to do; an upkeep a fault
    // of the disk undid is left for the next open.
    if (!ErrorGuard::StorageFaultTold()) MarkUpkept();
    ready.Completed();
  });
  // The upkeep's stored behaviours are the open's alone: a tree shown later
  // (an open a fault cut short before its tree) sets them again.
  m_BehavioursStored = false;
  if (opened) return;
  // A fault that stopped the open after the window took the library's name
  // (its devices, tree or first view not read, as on a full disk), or before
  // the file's upkeep stood (a file of an earlier layout the program cannot
  // use as it is), leaves no half-open library: the program goes back to the
  // scratch library, as after an upgrade that could not complete.
  if ((named && LibraryPath == path) || (taken && !upkept)) ErrorGuard(Reporting()).Run([&] { AbandonOpen(); });
  bool starting = false;
  SetLoadingState(starting);
  BusyBrowser(View(), false);
}

// The open library's names, results and history start afresh.
void clsRWLibrary::ResetLibraryState(const QString& path) {
  LibraryPath = path;
  gCategoryMenuBuilt = false;
  gTagCloudCategories.clear();
  ResultCount = 0;
  SelectedCount = 0;
  m_HistoryIndex = 0;
  gHistory.assign(1, HistoryEntry{});
  LibraryName = LibraryNameOf(path);
  gResults.assign(1, ResultItem{});
  View().ClearHistoryMenu();
  View().SetHistoryComboText(QString());
  View().ClearHistoryCombo();
  View().ShowLibraryCaption(LibraryName);
}

bool clsRWLibrary::ReloadLibrary(bool& upkept) {
  // An old library's upgrade, a large library's sweeps and the reads of a
  // big tree are long statements on this thread: the window is painted from
  // inside them past the grace, the strip's pulse showing the work goes on
  // where no step reports a position.
  LongWork::Pacer own;
  const SqlConnection::Ticking ticking(*m_Connection, [this, &own] {
    WorkGoesOn(own);
    return true;
  });
  if (!HouseKeep()) return false;
  upkept = true;
  UseWorkTables();
  ThumbnailCache.Clear();
  View().ResetInspectorHistory();
  PopulateTree();
  SortTree();
  if (ThumbnailPolicy == 0) LoadThumbnails();
  BusyBrowser(View(), false);
  bool starting = false;
  SetLoadingState(starting);
  if (gTVOutMode) View().HideCarouselBusy();
  return true;
}

// A library whose upgrade could not complete is left as it was and not used:
// the program goes back to the scratch library and its welcome page.
void clsRWLibrary::AbandonOpen() {
  ReturnToScratchLibrary();
  bool starting = false;
  SetLoadingState(starting);
  BusyBrowser(View(), false);
  if (gTVOutMode) View().HideCarouselBusy();
  View().ShowLibraryLoaded(false);
  DeleteSearchResults();
  FetchSearchResults();
  ShowSearchResults();
}

// The saved view is replayed; without one the results start empty.
void clsRWLibrary::ShowFirstView() {
  const bool noViewReplayed = gViewSpec.isEmpty();
  if (noViewReplayed) {
    DeleteSearchResults();
    FetchSearchResults();
    ShowSearchResults();
  } else {
    ShowView(gViewSpec, QString());
  }
  if (gTVOutMode) {
    View().CarouselSaveContext();
    View().CarouselAppStartUp(false, noViewReplayed);
  }
}

// Work tables in the connection's TEMP schema once the schema is final. When
// they cannot be made the stored tables serve, as they did for earlier versions.
// A file with no upkeep left holds its stored ones empty, as the open that
// upkept it left them.
void clsRWLibrary::UseWorkTables() {
  try {
    WorkTables::UseTemporaryWorkTables(*m_Connection, m_OpeningWork != 0);
  } catch (const RWError& error) {
    qWarning() << "Work tables:" << error.Text();
  }
}

// The loading animation over the tree pane while the tree is rebuilt.
void clsRWLibrary::SetLoadingState(bool& starting) { View().SetLoadingState(starting); }
