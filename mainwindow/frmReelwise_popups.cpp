// The results' and the file tags' context menus: their items, the
// "Find Similar" submenu rebuilt for the file, and every command on them.
#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "core/DesktopShell.h"
#include "core/MediaInfoDLL.h"
#include "core/ProgramMessage.h"
#include "core/modLaunchDoc.h"
#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "library/ILibraryView.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "options/OptionsPane.h"
#include "options/frmProgramOptions.h"
#include "platform/ErrorGuard.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/ListView.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QPointer>

namespace {

constexpr QLatin1String kCrLf("\r\n");

// A menu command run from the event loop: a failure is reported, never passed on.
void Connect(QAction* action, frmReelwise* form, void (frmReelwise::*handler)()) {
  QObject::connect(action, &QAction::triggered, form,
                   [form, handler] { ErrorGuard({.owner = form}).Run([&] { (form->*handler)(); }); });
}

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(QLatin1String(caption));
  action->setObjectName(QLatin1String(name));
  return action;
}

QMenu* AddSubmenu(QMenu* menu, const char* name, const char* caption) {
  QMenu* submenu = menu->addMenu(QLatin1String(caption));
  submenu->setObjectName(QLatin1String(name) + QStringLiteral("Menu"));
  submenu->menuAction()->setObjectName(QLatin1String(name));
  return submenu;
}

// The file a delete or remove acts on: the inspected file when the
// inspector raised the menu, every selected file (all) when the current
// result is one of several selected, else the current result.
struct FileChoice {
  int32_t fileId = 0;
  QString fileName;
  bool all = false;
};

FileChoice ChooseFile(const QMenu& popup) {
  if (popup.property("Tag").toString() == QLatin1String("Inspector"))
    return {gInspectedItem.FileID, gInspectedItem.FileName, false};
  if (gLibrary && gLibrary->SelectedCount > 1 && gCurrentItem.Selected) return {0, QString(), true};
  return {gCurrentItem.FileID, gCurrentItem.FileName, false};
}

// Only Yes is consent: a box closed without an answer changes nothing.
bool Confirmed(QWidget* owner, const QString& message, const QString& title) {
  return ShowProgramMessage(message, 36, title, owner) == vbYes;
}

QString SavedItemPath() { return gSavedItem.CurrentPath + gSavedItem.FileName; }

// A file on a medium that is not connected gets the message a double click
// on it gives; true when it was given.
bool SavedItemOffline(QWidget* owner) {
  if (!gSavedItem.CurrentPath.startsWith(QLatin1Char('['))) return false;
  ShowOfflineFileMessage(gSavedItem.FileName, gSavedItem.CurrentPath, owner);
  return true;
}

}  // namespace

void frmReelwise::CreateMenus() {
  mnuResultsPopUp = new QMenu(this);
  mnuResultsPopUp->setObjectName(QStringLiteral("mnuResultsPopUp"));
  // The inspector's history fills the recent files (mnuRecent 1 to 10).
  mnuRecentFiles = AddSubmenu(mnuResultsPopUp, "mnuRecentFiles", "Recent Files")->menuAction();
  mnuClearSelections = AddItem(mnuResultsPopUp, "mnuClearSelections", "Clear Selections");
  mnuResultsPopUp->addSeparator();
  mnuRemoveFile = AddItem(mnuResultsPopUp, "mnuRemoveFile", "Remove from Library");
  mnuDeleteFile = AddItem(mnuResultsPopUp, "mnuDeleteFile", "Delete to Recycle Bin");
  mnuResultsPopUp->addSeparator();
  QMenu* apps = AddSubmenu(mnuResultsPopUp, "mnuExternalApps", "External Apps");
  mnuDefault = AddItem(apps, "mnuDefault", "Open with Default player");
  CreateExternalAppItems(apps);
  mnuOpenWith = AddItem(apps, "mnuOpenWith", "Choose Program...");
  mnuResultsPopUp->addSeparator();
  mnuAnalyze = AddItem(mnuResultsPopUp, "mnuAnalyze", "Analyze with MediaInfo...");
  mnuFileProperties = AddItem(mnuResultsPopUp, "mnuFileProperties", "File Properties...");
  mnuOpenFolder = AddItem(mnuResultsPopUp, "mnuOpenFolder", "Open Containing Folder...");
  mnuResultsPopUp->addSeparator();
  mnuFindSimilar = AddSubmenu(mnuResultsPopUp, "mnuFindSimilar", "Find Similar Files");
  mnuCategory.assign(1, AddItem(mnuFindSimilar, "mnuCategory(0)", "Category 1"));
  mnuResultsPopUp->addSeparator();
  mnuFilePoster = AddItem(mnuResultsPopUp, "mnuFilePoster", "Create Story Board...");
  mnuFileTagsPopUp = new QMenu(this);
  mnuFileTagsPopUp->setObjectName(QStringLiteral("mnuFileTagsPopUp"));
  mnuGetSimilarFiles = AddItem(mnuFileTagsPopUp, "mnuGetSimilarFiles", "Find Other Files With These Tags");
  mnuLocateTag = AddItem(mnuFileTagsPopUp, "mnuLocateTag", "Locate this Tag in the Tree");
  ConnectPopupCommands();
}

// mnuSep15, the items mnuApp 0 to 30 (shown by InitExternalAppMenus) and the
// separator mnuApp 99 before "Choose Program...". The options dialog reaches
// these menus through its hooks, which start-up connects.
void frmReelwise::CreateExternalAppItems(QMenu* apps) {
  apps->addSeparator()->setObjectName(QStringLiteral("mnuSep15"));
  mnuApp.clear();
  for (int n = 0; n <= kExternalAppCount; ++n) {
    QAction* item = AddItem(apps, "", "App");
    item->setObjectName(QStringLiteral("mnuApp(%1)").arg(n));
    item->setVisible(false);
    const auto index = static_cast<int16_t>(n);
    QObject::connect(item, &QAction::triggered, this,
                     [this, index] { ErrorGuard({.owner = this}).Run([&] { mnuApp_Click(index); }); });
    mnuApp.push_back(item);
  }
  apps->addSeparator()->setObjectName(QStringLiteral("mnuApp(99)"));
}

void frmReelwise::SetAppCaption(int n, const QString& caption) {
  if (n >= 0 && n < static_cast<int>(mnuApp.size())) mnuApp[static_cast<size_t>(n)]->setText(caption);
}

void frmReelwise::ConnectPopupCommands() {
  Connect(mnuClearSelections, this, &frmReelwise::mnuClearSelections_Click);
  Connect(mnuRemoveFile, this, &frmReelwise::mnuRemoveFile_Click);
  Connect(mnuDeleteFile, this, &frmReelwise::mnuDeleteFile_Click);
  Connect(mnuDefault, this, &frmReelwise::mnuDefault_Click);
  Connect(mnuOpenWith, this, &frmReelwise::mnuOpenWith_Click);
  Connect(mnuAnalyze, this, &frmReelwise::mnuAnalyze_Click);
  Connect(mnuFileProperties, this, &frmReelwise::mnuFileProperties_Click);
  Connect(mnuOpenFolder, this, &frmReelwise::mnuOpenFolder_Click);
  Connect(mnuFilePoster, this, &frmReelwise::mnuFilePoster_Click);
  Connect(mnuGetSimilarFiles, this, &frmReelwise::mnuGetSimilarFiles_Click);
  QObject::connect(mnuLocateTag, &QAction::triggered, this,
                   [this] { ErrorGuard({.owner = this}).Run([this] { Tree().mnuLocateTag_Click(); }); });
}

// The results' context menu: the external applications and the similar
// files for the result, then the menu at the pointer.
void frmReelwise::ShowResultsPopup() {
  gSavedItem = gCurrentItem;
  InitExternalAppMenus(gSavedItem.FileName, 2, false);
  InitSimilarFilesMenu();
  mnuResultsPopUp->setProperty("Tag", QStringLiteral("Browser"));
  mnuClearSelections->setVisible(true);
  mnuRecentFiles->setVisible(false);
  mnuResultsPopUp->popup(QCursor::pos());
}

// The same menu for the inspected item (gSavedItem, set by the inspector):
// its recent files instead of the selection's commands.
void frmReelwise::ShowInspectorPopup() {
  InitExternalAppMenus(gSavedItem.FileName, 1, false);
  InitSimilarFilesMenu();
  mnuResultsPopUp->setProperty("Tag", QStringLiteral("Inspector"));
  mnuRecentFiles->setVisible(true);
  mnuClearSelections->setVisible(false);
  mnuResultsPopUp->popup(QCursor::pos());
}

// One item per distinct tag of gSavedItem (explicit and implied), captioned
// "category: tag" and carrying "ID" and the TagID; disabled without tags.
void frmReelwise::InitSimilarFilesMenu() {
  mnuCategory[0]->setVisible(true);
  while (mnuCategory.size() > 1) {
    delete mnuCategory.back();
    mnuCategory.pop_back();
  }
  mnuFindSimilar->menuAction()->setText(gResultKind == ResultScope::File ? QStringLiteral("Find Similar Files")
                                                                         : QStringLiteral("Find Similar Segments"));
  mnuFindSimilar->menuAction()->setEnabled(false);
  if (!gLibrary) return;
  gLibrary->GetSegmentTags(gSavedItem.IsFileRow, gSavedItem.FileID, gSavedItem.SegmentID, false, false);
  SqlRecordset rows(gLibrary->Connection(), QStringLiteral("SELECT DISTINCT TagID, TagCategory, Tag FROM "
                                                           "TEMP_FileTagStructure ORDER BY TagCategory"));
  if (rows.Eof()) return;
  for (int p = 1; !rows.Eof(); rows.MoveNext(), ++p) {
    QAction* item = AddItem(mnuFindSimilar, "", "");
    item->setObjectName(QStringLiteral("mnuCategory(%1)").arg(p));
    item->setText(rows.Value(1).toString() + QStringLiteral(": ") + rows.Value(2).toString());
    item->setData(QStringLiteral("ID") + rows.Value(0).toString());
    item->setCheckable(true);
    item->setChecked(false);
    QObject::connect(item, &QAction::triggered, this,
                     [this, p] { ErrorGuard({.owner = this}).Run([&] { mnuCategory_Click(p); }); });
    mnuCategory.push_back(item);
  }
  mnuCategory[0]->setVisible(false);
  mnuFindSimilar->menuAction()->setEnabled(true);
}

// A new search for the item's tag and what lies under it, named after the
// item. The steps are one transaction "CatClick": a failing one rolls it
// back and is reported once, and the busy indicator always goes off.
void frmReelwise::mnuCategory_Click(int Index) {
  if (Index < 1 || Index >= static_cast<int>(mnuCategory.size()) || !gLibrary) return;
  const QAction* item = mnuCategory[static_cast<size_t>(Index)];
  ShowBusyIndicator(true);
  ErrorGuard({.owner = this}).Run([&] {
    TransactionGuard catClick(gLibrary->Connection(), QStringLiteral("CatClick"));
    gLibrary->BuildSearchResults(QStringLiteral("_"), item->data().toString(), false, item->text());
    gLibrary->FetchSearchResults();
    gLibrary->ShowSearchResults();
    catClick.Commit();
  });
  Results().AlignBrowserHistory();
  ShowBusyIndicator(false);
}

// The files carrying any of the tags selected in the inspector's list: the
// first opens a new search, the others add theirs; named after the first.
void frmReelwise::mnuGetSimilarFiles_Click() {
  QString spec;
  QString caption;
  for (const auto& item : Inspector().lstFileTags->ListItems) {
    if (!item->Selected()) continue;
    spec += QStringLiteral("|+T:") + item->Tag();
    if (caption.isEmpty()) caption = item->SubItems(1);
  }
  const qsizetype first = spec.indexOf(QStringLiteral("+T"));
  if (first >= 0) spec.replace(first, 2, QStringLiteral("_T"));
  if (gLibrary) gLibrary->ShowView(spec, caption);
}

void frmReelwise::mnuClearSelections_Click() { MainToolbarHandler(QStringLiteral("mnuBrowserSelectNone")); }

void frmReelwise::mnuDeleteFile_Click() {
  const FileChoice file = ChooseFile(*mnuResultsPopUp);
  if (!file.all && file.fileId == 0) return;  // nothing inspected, no current result
  const QString message = file.all ? QStringLiteral("Are you sure you want to delete all selected files ?")
                                   : QStringLiteral("Are you sure you want to delete ") + kCrLf + QLatin1Char('\'') +
                                         file.fileName + QStringLiteral("' ?");
  if (!gLibrary || !Confirmed(this, message, QStringLiteral("Confirm Delete"))) return;
  gLibrary->RemoveFile(file.fileId, true);
}

void frmReelwise::mnuRemoveFile_Click() {
  const FileChoice file = ChooseFile(*mnuResultsPopUp);
  if (!file.all && file.fileId == 0) return;
  const QString twoBreaks = kCrLf + kCrLf;
  const QString message =
      file.all ? QStringLiteral("This action will remove all selected files from this Library.") + twoBreaks +
                     QStringLiteral("Continue?")
               : QStringLiteral("This action will remove ") + twoBreaks + QLatin1Char('\'') + file.fileName +
                     QLatin1Char('\'') + twoBreaks + QStringLiteral("from this Library.") + twoBreaks +
                     QStringLiteral("Continue?");
  if (!gLibrary || !Confirmed(this, message, QStringLiteral("Confirm Removal"))) return;
  gLibrary->RemoveFile(file.fileId, false);
}

void frmReelwise::mnuDefault_Click() {
  int16_t index = -1;
  Options().LaunchExternalApp(index);
}

// Runs entry Index of gExternalApps on gSavedItem's file.
void frmReelwise::mnuApp_Click(int16_t Index) { Options().LaunchExternalApp(Index); }

void frmReelwise::mnuOpenWith_Click() { modLaunchDoc::OpenWithDialog(gCurrentItem.CurrentPath + gCurrentItem.FileName); }

// The desktop's properties window of gSavedItem's file, else the program's
// own; a file that is not there is named as such.
void frmReelwise::mnuFileProperties_Click() {
  if (gSavedItem.FileName.isEmpty() || SavedItemOffline(this)) return;
  if (!modLaunchDoc::ShowFileProperties(SavedItemPath())) {
    ShowProgramMessage(QStringLiteral("File doesn't exist!") + kCrLf + kCrLf + QLatin1Char('\'') +
                           QDir::toNativeSeparators(SavedItemPath()) + QLatin1Char('\''),
                       48, QStringLiteral("File Properties"), this);
  }
}

// The file manager with the file selected, or its folder opened; when
// nothing on the desktop answers, the user is told which folder it was.
void frmReelwise::mnuOpenFolder_Click() {
  if (gSavedItem.FileName.isEmpty() || SavedItemOffline(this)) return;
  if (TheDesktopShell().ShowItemInFolder(SavedItemPath())) return;
  ShowProgramMessage(QStringLiteral("No file manager answered to show the folder") + kCrLf + kCrLf + QLatin1Char('\'') +
                         QDir::toNativeSeparators(gSavedItem.CurrentPath) + QLatin1Char('\''),
                     48, QStringLiteral("Open Containing Folder"), this);
}

// MediaInfo's report of gSavedItem in the picture box; nothing while the
// browser has no current file, a message when the file cannot be read.
void frmReelwise::mnuAnalyze_Click() {
  if (gCurrentItem.CurrentPath.isEmpty() || SavedItemOffline(this)) return;
  const QString path = SavedItemPath();
  bool opened = false;
  const QString report = MediaInfoDLL::Report(path, opened);
  if (!opened) {
    ShowProgramMessage(QStringLiteral("MediaInfo cannot read the file") + kCrLf + kCrLf + QLatin1Char('\'') +
                           QDir::toNativeSeparators(path) + QLatin1Char('\''),
                       48, QStringLiteral("MediaInfo Report"), this);
    return;
  }
  ShowMessageBox({.prompt = report,
                  .style = 1,
                  .title = QStringLiteral("MediaInfo Report"),
                  .fit = true,
                  .width = -1,
                  .fontName = QStringLiteral("Courier"),
                  .owner = this});
}
