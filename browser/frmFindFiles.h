#pragma once
// The Find dialog. So far the window the Find command opens; the search
// itself comes with the dialog's own work.
#include <QWidget>

class frmFindFiles : public QWidget {
 public:
  frmFindFiles();
};
