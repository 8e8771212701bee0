#pragma once
// Our Open-With window, for desktops that offer no chooser of their own: the
// applications registered for the file's type, one of which opens the file.
#include "core/DesktopShell.h"

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

class frmOpenWith : public QWidget {
 public:
  frmOpenWith(QString path, const std::vector<DesktopApp>& apps, QWidget* parent = nullptr);

  QLabel* lblPrompt;
  QLabel* lblFile;
  QListWidget* lstPrograms;
  QPushButton* cmdOpen;
  QPushButton* cmdCancel;

  // Opens the file with the selected application and closes the window.
  void cmdOpen_Click();

 private:
  QString path_;
};
