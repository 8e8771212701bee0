#include "ui/clsDialogs.h"

#include "core/modReelwise.h"
#include "platform/FileDialogSeam.h"

#include <QStringList>

std::unique_ptr<clsDialogs> gDialogs;

clsDialogs::clsDialogs() : strInitialDir(gDocsFolder), strFilter(QStringLiteral("All Files (*.*)|*.*")) {}

QString clsDialogs::QtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QString description = parts[i];
    // The description usually shows the patterns already; Qt reads the last
    // parenthesised part, so it is written once in Qt's form.
    const qsizetype open = description.lastIndexOf(QLatin1Char('('));
    if (open > 0 && description.endsWith(QLatin1Char(')'))) description = description.left(open).trimmed();
    filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
  }
  return filters.join(QStringLiteral(";;"));
}

QString clsDialogs::Run(bool save, const QString& fileName) {
  FileDialogRequest request;
  request.kind = save ? FileDialogKind::Save : FileDialogKind::Open;
  request.title = strTitle;
  request.filter = QtFilter(strFilter);
  request.initialDirectory = strInitialDir;
  request.fileName = fileName;
  // The program asks before replacing a file itself.
  request.confirmOverwrite = false;
  request.owner = lngHWnd;
  const FileDialogResult result = ShowFileDialog(request);
  if (!result.accepted || result.files.isEmpty()) return QString();
  return result.files.front();
}

QString clsDialogs::strGetOpenFileName(const QString& fileName) { return Run(false, fileName); }
QString clsDialogs::strGetSaveFileName(const QString& fileName) { return Run(true, fileName); }
