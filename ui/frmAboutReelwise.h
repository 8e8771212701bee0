#pragma once
// The About box. A least version until the box is built: a window with the
// program's name.
#include <QWidget>

class frmAboutReelwise : public QWidget {
 public:
  frmAboutReelwise();
};
