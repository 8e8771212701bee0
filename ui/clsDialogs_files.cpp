// The open, save and folder dialogs.
#include "ui/clsDialogs.h"

#include <QFileInfo>
#include <QStringList>

namespace {

// The filter in Qt's form: "Libraries (*.rw2);;All files (*.*)". The list
// ends at the first double NUL.
QString QtFilter(const QString& filter) {
  const QChar nul(0);
  const QStringList parts = filter.left(filter.indexOf(QString(2, nul))).split(nul);
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QString description = parts[i];
    // The description usually shows the patterns already; Qt reads the last
    // parenthesised part, so it is written once in Qt's form.
    const qsizetype open = description.lastIndexOf(QLatin1Char('('));
    if (open > 0 && description.endsWith(QLatin1Char(')'))) description = description.left(open).trimmed();
    filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace

QString clsDialogs::strGetOpenFileName(const QString& fileName) {
  QString chosen;
  Guarded(QStringLiteral("GET_OPEN_FILE_NAME_ERROR"), [&] { chosen = RunFileDialog(false, fileName); });
  return chosen;
}

QString clsDialogs::strGetSaveFileName() {
  QString chosen;
  Guarded(QStringLiteral("GET_SAVE_FILE_NAME_ERROR"), [&] { chosen = RunFileDialog(true, QString()); });
  return chosen;
}

QString clsDialogs::RunFileDialog(bool save, const QString& fileName) {
  QString& lastFolder = save ? strLastSaveFolder_ : strLastOpenFolder_;
  int32_t& lastFilter = save ? lngLastSaveFilter_ : lngLastOpenFilter_;
  FileDialogRequest request;
  request.kind = save ? FileDialogKind::Save : FileDialogKind::Open;
  request.title = !strTitle.isEmpty() ? strTitle
                  : save              ? QStringLiteral("Save File")
                                      : QStringLiteral("Select File(s) To Open");
  request.filter = QtFilter(strFilter.Text());
  request.filterIndex = lastFilter;
  request.initialDirectory = strInitialDir.isEmpty() ? lastFolder : strInitialDir;
  request.fileName = fileName;
  request.confirmOverwrite = false;
  request.createPrompt = save && blnCreatePrompt;
  request.owner = lngHWnd;
  // The open dialog's name buffer is the setting plus two NULs around the
  // blanks; the save dialog is given the setting itself.
  const FileDialogResult result = ShowFileDialog(request);
  const QString chosen = ChosenPath(result, lngMaxFileNameBuffer + (save ? 0 : 2));
  if (!chosen.isEmpty()) {
    lastFolder = GetFolderFromPath(chosen);
    (save ? strLastSaveFile_ : strLastOpenFile_) = chosen;
    if (result.filterIndex > 0) lastFilter = result.filterIndex;
  }
  strInitialDir = lastFolder;
  return chosen;
}

// The chosen path, or "" with the error recorded: 0 when cancelled, the
// dialog's own error, or kBufferTooSmall when the path and its terminating
// NUL do not fit the name buffer.
QString clsDialogs::ChosenPath(const FileDialogResult& result, int32_t bufferLength) {
  int32_t code = result.extendedError;
  if (code == 0 && result.accepted && !result.files.isEmpty()) {
    const QString path = StripNull(result.files.front());
    if (path.size() < bufferLength) return path;
    code = kBufferTooSmall;
  }
  ReportDialogError(code);
  return QString();
}

QString clsDialogs::fstrBrowseForFolder(QWidget* ownerHWnd) {
  FileDialogRequest request;
  request.kind = FileDialogKind::Folder;
  request.title = QStringLiteral("Select Folder");
  request.owner = ownerHWnd;
  const FileDialogResult result = ShowFileDialog(request);
  if (!result.accepted || result.files.isEmpty()) return QString();
  // Only a folder of the local file system has a path the program can use.
  const QFileInfo folder(StripNull(result.files.front()));
  if (!folder.isAbsolute() || !folder.isDir()) return QString();
  QString path = folder.absoluteFilePath();
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  return path;
}
