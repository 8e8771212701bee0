#pragma once
// The import's part of the main window: the Abort button on the browser
// toolbar that cancels an add-files run, and the Add Files command. Until the
// import is built, the command does nothing and the button stays hidden.
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
