#pragma once
// The common dialogs: open and save a file with a title, a start folder and a
// filter of "|"-separated description and pattern pairs. Until the other
// dialogs are built, only the file dialogs the library needs; they go through
// the program's dialog road.
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class clsDialogs {
 public:
  clsDialogs();

  // The folder the next dialog starts in, its caption (empty: the default)
  // and its filter ("Libraries (*.rw2)|*.rw2|All files (*.*)|*.*").
  QString strInitialDir;
  QString strTitle;
  QString strFilter;
  // The window that owns the dialogs.
  QPointer<QWidget> lngHWnd;

  // The chosen file's full path, or "" when the dialog was cancelled.
  QString strGetOpenFileName(const QString& fileName = QString());
  QString strGetSaveFileName(const QString& fileName = QString());

  // The filter in Qt's form: "Libraries (*.rw2);;All files (*.*)".
  static QString QtFilter(const QString& filter);

 private:
  QString Run(bool save, const QString& fileName);
};

extern std::unique_ptr<clsDialogs> gDialogs;
