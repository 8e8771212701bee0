// The add-files run: the dialog, then every queued file added (or its
// catalogued namesakes relocated), with progress, cancel, and the run's
// files shown at the end.
#include "import/ImportPane.h"

#include "core/ProgramMessage.h"
#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "core/modShellNotifs.h"
#include "devices/modStorageDevices.h"
#include "import/frmAddToLibrary.h"
#include "import/modFolderScan.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "platform/DragController.h"
#include "platform/ErrorGuard.h"
#include "platform/InputGate.h"
#include "platform/LongWork.h"
#include "platform/MessageBoxSeam.h"
#include "platform/MountProbe.h"
#include "platform/QuitRequest.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"
#include "player/clsRWPlayer.h"
#include "ui/SchemeColours.h"
#include "ui/cwProgress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTime>

#include <algorithm>
#include <utility>

namespace {

const QString kAddingNew = QStringLiteral("ADDING NEW");
const QString kAddingCancelled = QStringLiteral("ADDING CANCELLED");
const QString kRunTransaction = QStringLiteral("AddFiles");
const QString kFileTransaction = QStringLiteral("AddFile");
// Files added are committed at least this often, so that a crash or an
// unplugged disk loses at most this much of a run.
constexpr qint64 kCommitIntervalMs = 1000;

QElapsedTimer& RunClock() {
  static QElapsedTimer clock;
  return clock;
}

// False when the savepoint is gone: SQLite rolled the whole transaction back
// (the connection then only forgets it), or it was never open.
bool RolledBack(SqlConnection& db, const QString& name) {
  const bool open = db.InTransaction();
  try {
    db.RollbackTrans(name);
    return open;
  } catch (const RWError&) {
    return false;
  } catch (const StorageFault&) {
    return false;
  }
}

// Whether the file is still there; asked on a helper thread within the mount
// probe's time limit, as its medium may have gone: a drive that stopped
// answering counts as gone.
bool FileStillThere(const QString& path) {
  return MountProbe::CallUnder(gScanDevice.LogicalPath, [path] { return QFileInfo(path).isFile(); }).value_or(false);
}

}  // namespace

// A request to end the program stops the run after the file it is adding;
// the program ends once the run has shown its files and put the window back.
void ImportPane::AddScannedFiles() {
  const QuitRequest::LongWork work;
  cmdAbortScan->setEnabled(true);
  ShowAbortButton(true);
  cmdAbortScan->setProperty("Tag", kAddingNew);
  gScanQueue.clear();
  counts_ = RunCounts{};
  storeFailure_.clear();
  damage_.reset();
  vanishedPaths_.clear();
  relocatedIds_.clear();
  int32_t count = 0;
  bool relocate = false;
  bool run = false;
  try {
    // The dialog reads the library as well: a failure there ends the
    // command with the Abort button gone too.
    run = ShowDialog(count, relocate) && count > 0;
  } catch (...) {
    EndRun();
    throw;
  }
  if (run) {
    // Whatever stops the run, its progress and Abort button go and the
    // panes come back; a storage fault met outside a file's own step (the
    // old results cleared at its start, a commit, the run's results) is
    // told in the run's one message.
    try {
      StartRun();
      RunQueue(count, relocate);
      ShowRunResults(relocate);
    } catch (const StorageFault& fault) {
      if (storeFailure_.isEmpty()) StopOnStoreFailure(fault.Error());
      RestoreAfterRun();
    } catch (...) {
      RestoreAfterRun();
      EndRun();
      throw;
    }
  }
  EndRun();
  ReportSkipsAndLosses(relocate);
}

// The window as it is between runs, after a run that stopped before its end.
void ImportPane::RestoreAfterRun() {
  host_.SetPreviewTimer(true);
  host_.ProgressOff();
  host_.SetPanesEnabled(true);
  host_.SetBrowserControlsEnabled(true);
  cmdAbortScan->setEnabled(false);
}

// The dialog over the glass; false when it was cancelled.
bool ImportPane::ShowDialog(int32_t& count, bool& relocate) {
  frmAddToLibrary dialog(host_);
  host_.ShowDialogOverGlass(dialog);
  count = dialog.FilesFound;
  relocate = dialog.RelocateFiles;
  skipReport_ = dialog.Skipped.Report();
  counts_.scanNs = dialog.ScanNs;
  if (count < 0) return false;
  gLibrary->View().ClearHistoryCombo();
  gLibrary->View().SetHistoryComboText(QStringLiteral("New Files"));
  return true;
}

void ImportPane::StartRun() {
  startTime_ = QTime::currentTime().toString(QStringLiteral("hh:mm:ss"));
  firstNewFileId_ = 0;
  host_.SetBrowserControlsEnabled(false);
  gLibrary->DeleteSearchResults();
  host_.MainToolbarHandler(QStringLiteral("mnuBrowserMatchingFiles"));
  if (gOnlineFilter == StorageFilter::Offline) host_.MainToolbarHandler(QStringLiteral("mnuBrowserStorageOnline"));
}

// The device paths of the files the library knows on the device.
void ImportPane::LoadKnownFiles(const QString& serial) {
  knownFiles_.clear();
  auto rs = gLibrary->Connection().OpenRecordset(
      QStringLiteral("SELECT DiskSerialNo, FilePath, FileName FROM VideoFiles WHERE DiskSerialNo = ") +
      SqlQuote(serial));
  for (; !rs->Eof(); rs->MoveNext()) {
    knownFiles_.insert(rs->Value(QStringLiteral("DiskSerialNo")).toString() + QStringLiteral(":\\") +
                       rs->Value(QStringLiteral("FilePath")).toString() +
                       rs->Value(QStringLiteral("FileName")).toString());
  }
}

void ImportPane::RunQueue(int32_t count, bool relocate) {
  RunClock().start();
  // Commits go by the program's clock, which tests drive.
  lastCommitTick_ = static_cast<qint64>(ctl::GetTickCount64());
  host_.Progress().SetMax(count);
  step_ = std::max(1, static_cast<int32_t>(RoundHalfEven(count / 100.0)));
  if (relocate) {
    host_.Progress().BroadcastProgress(QStringLiteral("Searching..."), 0, gSchemeColour4);
  } else {
    host_.Progress().BroadcastProgress(QStringLiteral("Searching for new Files..."), 0, gSchemeColour4);
    LoadKnownFiles(gScanDevice.DiskSerialNo);
  }
  host_.SetPreviewTimer(false);
  // Between two files the event loop goes round, for the progress and the
  // run's own stop: the Abort button, and Esc from any window. No command
  // runs there (platform/InputGate.h).
  const InputGate::Hold gate({.own = {cmdAbortScan}, .escape = [this] { cmdAbortScan->click(); }});
  SqlConnection& db = gLibrary->Connection();
  db.BeginTrans(kRunTransaction);
  committed_ = counts_;
  for (int32_t i = 1; i <= count && !gScanQueue.isEmpty() && !QuitRequest::Requested(); ++i) {
    AddOneFile(i, count, relocate);
    if (!storeFailure_.isEmpty()) break;
    if (static_cast<qint64>(ctl::GetTickCount64()) - lastCommitTick_ >= kCommitIntervalMs) {
      if (!CommitRunFiles(true)) break;
      lastCommitTick_ = static_cast<qint64>(ctl::GetTickCount64());
    }
    InputGate::Turn();
    if (Cancelled()) break;
  }
  if (storeFailure_.isEmpty()) CommitRunFiles(false);
  counts_.runNs = RunClock().nsecsElapsed();
  host_.SetPreviewTimer(true);
  host_.ClearInspector();
  host_.ProgressOff();
}

// Commits the files added since the last commit and, when `goOn`, begins the
// next batch; false when the commit failed (the run then stops).
bool ImportPane::CommitRunFiles(bool goOn) {
  SqlConnection& db = gLibrary->Connection();
  try {
    db.CommitTrans(kRunTransaction);
    committed_ = counts_;
    if (goOn) db.BeginTrans(kRunTransaction);
    return true;
  } catch (const RWError& error) {
    StopOnStoreFailure(error);
    return false;
  } catch (const StorageFault& fault) {
    StopOnStoreFailure(fault.Error());
    return false;
  }
}

// The library could not store the run's files (its disk is full, its file
// can no longer be written or is gone): whatever was not committed is rolled
// back, SQLite may have done so itself, and the counts go back with it to the
// last commit.
void ImportPane::StopOnStoreFailure(const RWError& error) {
  SqlConnection& db = gLibrary->Connection();
  RolledBack(db, kFileTransaction);
  if (!RolledBack(db, kRunTransaction) && db.InTransaction()) {
    try {
      db.Execute(QStringLiteral("ROLLBACK"));
    } catch (const StorageFault&) {
      // SQLite rolls back what it cannot finish when the file is next read.
    }
  }
  counts_.added = committed_.added;
  counts_.relocated = committed_.relocated;
  diskFull_ = SqlConnection::IsDiskFull(error);
  if (error.Kind() == FaultKind::Damaged || error.Kind() == FaultKind::Mismatch) damage_ = error;
  const QString file = QDir::toNativeSeparators(gLibrary->LibraryPath);
  if (diskFull_) {
    storeFailure_ = QStringLiteral("The disk is full: adding files stopped. The Library's file\r\n%1\r\ncould not "
                                   "store more.")
                        .arg(file);
  } else if (error.Kind() == FaultKind::Busy) {
    storeFailure_ = QStringLiteral("Another program is using the Library's file\r\n%1\r\nso adding files stopped; "
                                   "nothing more was written to it.")
                        .arg(file);
  } else {
    storeFailure_ = QStringLiteral("The Library's file\r\n%1\r\ncould not store the files, so adding files stopped.")
                        .arg(file);
  }
}

void ImportPane::ShowRunProgress(int32_t index, int32_t count) {
  const double elapsed = RoundHalfEven(RunClock().elapsed() / 1000.0);
  host_.Progress().BroadcastProgress(QStringLiteral("Scanned %1/%2 files in %3")
                                         .arg(ShownNumbers::Count(index), ShownNumbers::Count(count),
                                              ShownNumbers::Duration(elapsed, false, false)),
                                     index, gSchemeColour4);
  host_.SetWindowCaption(QStringLiteral("Scanning: %1%").arg(static_cast<int64_t>(index) * 100 / count));
}

// "/media/films/" on the device with serial 1A2B mounted there and physical
// path ":\" makes "/media/films/Old/Clip.avi" the device path
// "1A2B:\Old\Clip.avi".
QString ImportPane::DevicePathOf(const QString& path) const {
  QString below = path.mid(gScanDevice.LogicalPath.size());
  below.replace(QLatin1Char('/'), QLatin1Char('\\'));
  QString physical = gScanDevice.PhysicalPath;
  if (!physical.endsWith(QLatin1Char('\\'))) physical += QLatin1Char('\\');
  return gScanDevice.DiskSerialNo + physical + below;
}

// One file of the queue, all or nothing: its rows, facts and thumbnail are
// written inside one savepoint. A failure of the file is reported and the
// run goes on; one of the library's storage stops it.
void ImportPane::AddOneFile(int32_t index, int32_t count, bool relocate) {
  if (index % step_ == 0) ShowRunProgress(index, count);
  qint64 size = 0;
  QString path;
  if (!modFolderScan::SplitQueueItem(gScanQueue.takeFirst(), size, path)) return;
  const QString devicePath = DevicePathOf(path);
  const QString foundFolder = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
  if (!relocate && knownFiles_.count(devicePath)) {
    ++counts_.known;
    return;
  }
  SqlConnection& db = gLibrary->Connection();
  db.BeginTrans(kFileTransaction);
  try {
    NewFile outcome = NewFile::Added;
    if (relocate) {
      const std::vector<int32_t> ids = RelocateFileRecord(devicePath, size, foundFolder);
      counts_.relocated += static_cast<int>(ids.size());
      relocatedIds_.insert(ids.begin(), ids.end());
    } else {
      ShowRunProgress(index, count);
      outcome = AddNewFile(devicePath, path, size);
    }
    if (outcome == NewFile::Vanished) {
      db.RollbackTrans(kFileTransaction);
    } else {
      db.CommitTrans(kFileTransaction);
    }
  } catch (const StorageFault& fault) {
    // A full disk, or a library file that can no longer be written, fails
    // every later file too: the run stops.
    StopOnStoreFailure(fault.Error());
  } catch (const RWError& error) {
    // So does a library file that lacks a column, and a failure that took
    // the whole transaction with it leaves no run to go on with.
    if (ErrorGuard::EndsTheCommand(error) || !RolledBack(db, kFileTransaction)) {
      StopOnStoreFailure(error);
      return;
    }
    ++counts_.failed;
    ShowProgramMessage(ErrorGuard::InOwnWords(error, QStringLiteral("%1 %2 %3")
                                                         .arg(error.Number())
                                                         .arg(error.Description(), error.Source())),
                       vbOKOnly, QStringLiteral("Error While Adding Files"), host_.MainWindow());
  }
}

// A file gone since the scan (deleted, its disk unplugged) gets no record:
// it is only counted, and the rows begun for it are dropped.
ImportPane::NewFile ImportPane::AddNewFile(const QString& devicePath, const QString& path, int64_t size) {
  const QString foundFolder = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
  ResultItem record;
  if (FileStillThere(path)) {
    record = MakeTransientFileRecord(devicePath, foundFolder, size);
    record.SegmentID = std::abs(record.SegmentID);
    if (!gScanVideoData || CollectVideoData(record, path)) {
      if (firstNewFileId_ == 0) firstNewFileId_ = record.FileID;
      knownFiles_.insert(devicePath);
      ++counts_.added;
      return NewFile::Added;
    }
  }
  ++counts_.vanished;
  vanishedPaths_ << path;
  return NewFile::Vanished;
}

// The file's facts through the inspector and its thumbnail from the middle
// of the file; false when the file turned out to be gone.
bool ImportPane::CollectVideoData(ResultItem& record, const QString& path) {
  bool loaded = false;
  QElapsedTimer clock;
  clock.start();
  host_.LoadInspector(record, loaded);
  counts_.factsNs += clock.nsecsElapsed();
  QImage thumbnail;
  if (loaded) {
    if (!gPlayer->CanGrabFrame() || !gScanMakeThumbnail) return true;
    clock.restart();
    gPlayer->SetPosition(gPlayer->Duration() / 2);
    bool shown = false;
    host_.ShowGrabbedFrame(gPlayer->GrabFrame(), shown);
    counts_.grabNs += clock.nsecsElapsed();
    if (shown) {
      thumbnail = host_.ThumbnailPicture();
    } else {
      gLibrary->ThumbnailToPicture(0, 0, thumbnail);
    }
  } else {
    if (!FileStillThere(path)) return false;
    thumbnail = host_.UnplayablePicture();
  }
  gLibrary->SaveThumbnail(record.SegmentID, record.FileID, thumbnail);
  return true;
}

bool ImportPane::Cancelled() const { return cmdAbortScan->property("Tag").toString() == kAddingCancelled; }

// Shows "Cancelled" in red for a second, painted, with nothing else run
// meanwhile (the click came inside the run); the run stops after the file it
// is working on.
void ImportPane::cmdAbortScan_Click() {
  if (cmdAbortScan->property("Tag").toString() != kAddingNew) return;
  cmdAbortScan->setProperty("Tag", kAddingCancelled);
  host_.Progress().BroadcastProgress(QStringLiteral("Cancelled"), 0, RGB(255, 0, 0));
  LongWork::Pause(1000);
}

void ImportPane::ShowRunResults(bool relocate) {
  if (firstNewFileId_ == 0) firstNewFileId_ = 2147483647;
  // A device that came or went during the run is taken in now, once; so are
  // relocated files, whose online state is that of the device they are on now.
  if (gDeviceChangePending || !relocatedIds_.empty()) {
    modStorageDevices::EnumStorageDevices();
    gDeviceChangePending = false;
  }
  host_.SetPanesEnabled(true);
  if (relocate) {
    ShowRelocatedFiles();
  } else {
    gLibrary->ExecuteSearch(QStringLiteral("_"),
                            QStringLiteral("?I:%1-%2").arg(startTime_).arg(static_cast<int64_t>(firstNewFileId_) - 1),
                            QStringLiteral("New Files (since ") + startTime_ + QLatin1Char(')'));
    gLibrary->View().AlignBrowserHistory();
    gLibrary->FetchSearchResults();
    gLibrary->ShowSearchResults();
  }
  knownFiles_.clear();
  gLibrary->LoadStorageDeviceNodes();
  host_.SetBrowserControlsEnabled(true);
  host_.SetWindowCaption(QStringLiteral("Reelwise II - ") + gLibrary->LibraryName);
  cmdAbortScan->setEnabled(false);
}

namespace {

// The device as the user knows it: its label, else (a disk that has none)
// the folder it is mounted on.
QString ShownDeviceName(const StorageDevice& device) {
  if (!device.DiskLabel.isEmpty() && device.DiskLabel != QLatin1String("(no label)")) return device.DiskLabel;
  QString folder = device.LogicalPath;
  if (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
  return folder;
}

}  // namespace

// The relocated files themselves, listed as the library's checks list what
// they find (no search step stands for them): their whole-file rows, titled
// with the device they are on now.
void ImportPane::ShowRelocatedFiles() {
  gLibrary->DeleteSearchResults();
  SqlConnection& db = gLibrary->Connection();
  {
    TransactionGuard transaction(db, QStringLiteral("ShowRelocated"));
    auto insert = db.Prepare(QStringLiteral("INSERT OR IGNORE INTO SearchResults (SegmentID, FileID) "
                                            "SELECT SegmentID, FileID FROM VideoSegments WHERE FileID = ? AND FileFlag = 'Y'"));
    for (const int32_t id : relocatedIds_) {
      insert->Bind(1, SqlValue(static_cast<int64_t>(id)));
      insert->Execute();
    }
    transaction.Commit();
  }
  gLibrary->FetchSearchResults();
  gLibrary->ShowSearchResults();
  gLibrary->View().ClearHistoryCombo();
  gLibrary->View().SetHistoryComboText(QStringLiteral("Files Re-Located to '") + ShownDeviceName(gScanDevice) +
                                       QLatin1Char('\''));
}

void ImportPane::EndRun() {
  gScanQueue.clear();
  host_.ShowBusyIndicator(false);
  gAddingFiles = false;
  cmdAbortScan->setProperty("Tag", QString());
  ShowAbortButton(false);
}

// One message after the run: why it stopped when the library could not store
// its files, and what it passed over: entries the walk skipped, and files
// that were gone by their turn.
void ImportPane::ReportSkipsAndLosses(bool relocate) {
  QString text;
  // A damaged file is told in the guard's words for damage, and closed once
  // the run has ended: its writes are not what stopped, and writing it again
  // would not help.
  if (damage_) ErrorGuard({.owner = host_.MainWindow()}).Failed(*std::exchange(damage_, std::nullopt));
  // A fault of the library's file a step of the run told already (the
  // results fetched, a file's step) stands for why the run stopped.
  if (ErrorGuard::StorageFaultTold()) storeFailure_.clear();
  if (!storeFailure_.isEmpty()) {
    text = storeFailure_ + QStringLiteral("\r\n\r\n%1 file(s) were %2 before it stopped.")
                               .arg(ShownNumbers::Count(relocate ? counts_.relocated : counts_.added),
                                    relocate ? QStringLiteral("re-located") : QStringLiteral("added"));
    text += diskFull_ ? QStringLiteral(" Make room on the disk, then run Add Files again for the rest.")
                      : QStringLiteral(" Once the Library's file and its folder can be written again, open the Library "
                                       "and run Add Files again for the rest.");
    if (!skipReport_.isEmpty()) text += QStringLiteral("\r\n\r\n");
  }
  text += skipReport_;
  if (counts_.vanished > 0) {
    if (text.isEmpty()) text = QStringLiteral("Some entries were not scanned:\r\n");
    text += QStringLiteral("\r\n%1 file(s) were gone before they could be added:")
                .arg(ShownNumbers::Count(counts_.vanished));
    for (const QString& path : vanishedPaths_.mid(0, 3)) text += QStringLiteral("\r\n     ") + path;
  }
  skipReport_.clear();
  if (text.isEmpty()) return;
  ShowProgramMessage(text, vbExclamation, QStringLiteral("Add Files"), host_.MainWindow());
}
