#include "options/OptionsPane.h"

#include "core/ProgramMessage.h"
#include "core/modLaunchDoc.h"
#include "library/ResultItem.h"

#include <QApplication>
#include <QFileInfo>

// A least version until the launcher is built: -1 opens gSavedItem's file
// with its default program after the offline and missing-file checks; the
// entries 1 to 30 run nothing yet.
void OptionsPane::LaunchExternalApp(int16_t& Index) {
  if (Index != -1 || gSavedItem.FileName.isEmpty()) return;
  QWidget* owner = ProgramMessageOwner() ? ProgramMessageOwner() : QApplication::activeWindow();
  if (gSavedItem.CurrentPath.startsWith(QLatin1Char('['))) {
    ShowOfflineFileMessage(gSavedItem.FileName, gSavedItem.CurrentPath, owner);
    return;
  }
  const QString path = gSavedItem.CurrentPath + gSavedItem.FileName;
  if (!QFileInfo(path).isFile()) {
    ShowProgramMessage(QStringLiteral("File doesn't exist!"), 48, QString(), owner);
    return;
  }
  modLaunchDoc::LaunchDocument(path);
}
