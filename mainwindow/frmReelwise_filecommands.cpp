// The file commands of the results' and the inspector's menus (delete and
// remove).
#include "mainwindow/frmReelwise.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"

#include <QMenu>

namespace {

constexpr QLatin1String kCrLf("\r\n");

// The file a delete or remove acts on: the inspected file when the
// inspector raised the menu, every selected file (id 0) when the current
// result is one of several selected, else the current result.
struct FileChoice {
  int32_t fileId = 0;
  QString fileName;
  bool all = false;
};

FileChoice ChooseFile(const QMenu &popup) {
  if (popup.property("Tag").toString() == QLatin1String("Inspector"))
    return {gInspectedItem.FileID, gInspectedItem.FileName, false};
  if (gLibrary && gLibrary->SelectedCount > 1 && gCurrentItem.Selected)
    return {0, QString(), true};
  return {gCurrentItem.FileID, gCurrentItem.FileName, false};
}

bool Confirmed(QWidget *owner, const QString &message, const QString &title) {
  return ShowProgramMessage(message, 36, title, owner) != 7;
}

} // namespace

void frmReelwise::mnuDeleteFile_Click() {
  const FileChoice file = ChooseFile(*mnuResultsPopUp);
  const QString message =
      file.all ? QStringLiteral(
                     "Are you sure you want to delete all selected files ?")
               : QStringLiteral("Are you sure you want to delete ") + kCrLf +
                     QLatin1Char('\'') + file.fileName + QStringLiteral("' ?");
  if (!gLibrary || !Confirmed(this, message, QStringLiteral("Confirm Delete")))
    return;
  gLibrary->RemoveFile(file.fileId, true);
}

void frmReelwise::mnuRemoveFile_Click() {
  const FileChoice file = ChooseFile(*mnuResultsPopUp);
  const QString twoBreaks = kCrLf + kCrLf;
  const QString message =
      file.all ? QStringLiteral("This action will remove all selected files "
                                "from this Library.") +
                     twoBreaks + QStringLiteral("Continue?")
               : QStringLiteral("This action will remove ") + twoBreaks +
                     QLatin1Char('\'') + file.fileName + QLatin1Char('\'') +
                     twoBreaks + QStringLiteral("from this Library.") +
                     twoBreaks + QStringLiteral("Continue?");
  if (!gLibrary || !Confirmed(this, message, QStringLiteral("Confirm Removal")))
    return;
  gLibrary->RemoveFile(file.fileId, false);
}

