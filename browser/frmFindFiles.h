#pragma once
// The Find dialog. A least version until the dialog is built: the empty
// window the Find command opens, which searches nothing.
#include <QWidget>

class frmFindFiles : public QWidget {
 public:
  frmFindFiles();
};
