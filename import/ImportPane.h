#pragma once
// The import's part of the main window: the Add Files command, which shows
// the add-files dialog and then catalogues (or relocates) the files it
// found, with its progress on the main window and the Abort button on the
// browser toolbar that cancels it.
#include "library/ResultItem.h"
#include "platform/RWError.h"

#include <QImage>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <set>
#include <unordered_set>
#include <vector>

class cwProgress;
class RWError;
class SqlConnection;

// What the import asks of the window it sits in: the main window, its
// progress display and commands, and the inspector, which measures each new
// file and grabs its thumbnail.
class IImportHost {
 public:
  virtual ~IImportHost() = default;
  virtual QWidget* MainWindow() = 0;
  // Shows the dialog modally over the dimming glass, owned by the main
  // window, and gives the main window the focus back afterwards.
  virtual void ShowDialogOverGlass(QWidget& dialog) = 0;
  virtual void MainToolbarHandler(const QString& key) = 0;
  virtual cwProgress& Progress() = 0;
  virtual void ProgressOff() = 0;
  virtual void ShowBusyIndicator(bool on) = 0;
  virtual void SetBrowserControlsEnabled(bool on) = 0;
  // The tree, browser and inspector areas.
  virtual void SetPanesEnabled(bool on) = 0;
  virtual void SetWindowCaption(const QString& caption) = 0;
  // The preview poll, which also blinks the current result.
  virtual void SetPreviewTimer(bool on) = 0;
  virtual void LoadInspector(ResultItem& item, bool& loaded) = 0;
  virtual void ClearInspector() = 0;
  virtual void ShowGrabbedFrame(const QImage& frame, bool& shown) = 0;
  // The inspector's thumbnail as it shows now, and the picture that stands
  // for a file that cannot be played.
  virtual QImage ThumbnailPicture() = 0;
  virtual QImage UnplayablePicture() = 0;
};

class ImportPane {
 public:
  // The button goes onto the browser toolbar `toolbar`.
  ImportPane(IImportHost& host, QWidget* toolbar);
  ImportPane(const ImportPane&) = delete;
  ImportPane& operator=(const ImportPane&) = delete;

  // Cancels a running add; its Tag is "ADDING NEW" while a run may be
  // cancelled and "ADDING CANCELLED" once it was.
  QPushButton* cmdAbortScan;

  // The Add Files command: the add-files dialog, then the run.
  void AddScannedFiles();
  void cmdAbortScan_Click();
  // Points every catalogued file of the name and size at the file found at
  // `devicePath` ("SERIAL:\folder\name"), which the scan found in
  // `foundFolder` (native, ending "/"); returns their FileIDs.
  static std::vector<int32_t> RelocateFileRecord(const QString& devicePath, int64_t size, const QString& foundFolder);
  // The rows of a new file (its whole-file segment and its file row, whose
  // FileID is the segment's SegmentID); the result's SegmentID is negative.
  static ResultItem MakeTransientFileRecord(const QString& devicePath, const QString& foundFolder, int64_t size);

  // What the last run did, for its closing message and for tests.
  struct RunCounts {
    int added = 0;
    int relocated = 0;
    int known = 0;
    int vanished = 0;
    int failed = 0;
    // Where the time went, in nanoseconds: the folder walk, the files'
    // facts (opening and measuring), the thumbnail grabs, and the rest of
    // the run (records, thumbnails stored, commits, progress).
    qint64 scanNs = 0;
    qint64 factsNs = 0;
    qint64 grabNs = 0;
    qint64 runNs = 0;
  };
  const RunCounts& LastRun() const { return counts_; }

 private:
  bool ShowDialog(int32_t& count, bool& relocate);
  void StartRun();
  void LoadKnownFiles(const QString& serial);
  void RunQueue(int32_t count, bool relocate);
  bool CommitRunFiles(bool goOn);
  void StopOnStoreFailure(const RWError& error);
  void AddOneFile(int32_t index, int32_t count, bool relocate);
  // What became of one new file.
  enum class NewFile { Added, Vanished };
  NewFile AddNewFile(const QString& devicePath, const QString& path, int64_t size);
  bool CollectVideoData(ResultItem& record, const QString& path);
  void ShowRunProgress(int32_t index, int32_t count);
  void ShowRunResults(bool relocate);
  void ShowRelocatedFiles();
  void EndRun();
  void RestoreAfterRun();
  void ReportSkipsAndLosses(bool relocate);
  QString DevicePathOf(const QString& path) const;
  bool Cancelled() const;

  void ShowAbortButton(bool on);

  IImportHost& host_;
  QWidget* toolbar_;
  std::unordered_set<QString> knownFiles_;
  QString startTime_;
  int32_t firstNewFileId_ = 0;
  int32_t step_ = 1;
  qint64 startTick_ = 0;
  qint64 lastCommitTick_ = 0;
  RunCounts counts_;
  // The counts as of the last commit of the run's files.
  RunCounts committed_;
  // Why the library could not store the run's files; empty while it can.
  QString storeFailure_;
  // The library's file found damaged (by another program's writes): told
  // as such after the run, which closes the library, not as a store failure.
  std::optional<RWError> damage_;
  bool diskFull_ = false;
  QStringList vanishedPaths_;
  std::set<int32_t> relocatedIds_;
  QString skipReport_;
};
