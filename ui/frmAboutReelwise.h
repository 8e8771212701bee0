#pragma once
// The About box. So far a window with the program's name; its content comes
// with the common windows' work.
#include <QWidget>

class frmAboutReelwise : public QWidget {
 public:
  frmAboutReelwise();
};
