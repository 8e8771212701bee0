#pragma once
// The dimming window laid over the main window while one of its modal
// dialogs is open.
#include <QWidget>

class frmGlass : public QWidget {
 public:
  frmGlass();

  // Shows the glass modeless over the owner window, covering it.
  void ShowOver(QWidget* owner);
};
