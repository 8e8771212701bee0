#pragma once
// The import's part of the main window: the Abort button on the browser
// toolbar that cancels an add-files run, and the Add Files command. So far
// the command does nothing; the add-files dialog and the run come with the
// import's own work.
#include <QPushButton>
#include <QWidget>

class ImportPane {
 public:
  // The button goes onto the browser toolbar `toolbar`.
  explicit ImportPane(QWidget* toolbar);
  ImportPane(const ImportPane&) = delete;
  ImportPane& operator=(const ImportPane&) = delete;

  QPushButton* cmdAbortScan;

  // The Add Files command: the add-files dialog, then the run.
  void AddScannedFiles();
};
