#pragma once
// The story-board window of a file. A least version until story boards are
// built: shown modally, it closes at once and asks for nothing again.
#include <QDialog>

class frmFilePreview : public QDialog {
 public:
  explicit frmFilePreview(QWidget* owner = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
};
