// Commands of the main window that are least versions until they are built:
// the result export, the file commands of the context menus and the TV-Out
// and full-screen modes. Each does the least its callers rely on, and its
// comment says what it does today. Opening a library is whole.
#include "mainwindow/frmReelwise.h"

#include "browser/BrowserPane.h"
#include "browser/cToolTipHost.h"
#include "carousel/cCarousel.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "inspector/InspectorPane.h"
#include "library/HistoryEntry.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/RWError.h"
#include "platform/cPopupMenu.h"
#include "platform/controls/TimerControl.h"
#include "ui/clsDialogs.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include <functional>

namespace {

// A failing step is reported as "number description " and the next one runs.
void OpeningStep(QWidget* owner, const std::function<void()>& step) {
  ErrorGuard({.title = QStringLiteral("Error Opening Library"),
              .owner = owner,
              .text = ErrorGuard::Numbered(QStringLiteral(" "), QStringLiteral(" "))})
      .Run(step);
}

}  // namespace

// Lets the user pick a library file and opens it; cancelling or choosing the
// open library changes nothing.
void frmReelwise::OpenLibraryDialog() {
  QString path;
  OpeningStep(this, [&] {
    gDialogs->strFilter = QStringLiteral("Reelwise Libraries (*.rw2)|*.rw2;|All files (*.*)|*.*");
    gDialogs->strInitialDir = gLibrariesFolder;
    gDialogs->strTitle = QStringLiteral("Choose Library");
    path = gDialogs->strGetOpenFileName(QString());
  });
  if (path.isEmpty() || !gLibrary || path == gLibrary->LibraryPath) return;
  gViewSpec.clear();
  gViewDescription.clear();
  if (!gTVOutMode) {
    OpeningStep(this, [] { gLibrary->DeleteSearchResults(); });
    OpeningStep(this, [] { gLibrary->FetchSearchResults(); });
    OpeningStep(this, [] { gLibrary->ShowSearchResults(); });
  }
  OpeningStep(this, [this] { Inspector().ClearInspector(); });
  OpeningStep(this, [&] { gLibrary->OpenLibrary(path, true); });
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

// Until the export is built: writes nothing.
void frmReelwise::ExportBrowserToCSV() {}

// Until the media report is built: shows nothing.
void frmReelwise::mnuAnalyze_Click() {}

// The story board of gSavedItem: the grid style opens a moment later from
// the inspector's timer; the poster style waits for the poster to be built.
void frmReelwise::mnuFilePoster_Click() {
  if (gPosterStyle == 0) Inspector().timerFilePreview->SetEnabled(true);
}

// Until TV-Out mode's window layout is built: the mode is noted and the
// carousel takes its theme and music (or its plain palette and silence).
void frmReelwise::ToggleTVOutMode(bool On) {
  if (On) {
    gTVOutMode = true;
    if (gCarousel) {
      const int32_t theme = modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TV-Out Theme")).ToLong(0);
      gCarousel->SetColourScheme(theme);
    }
    Inspector().ClearInspector();
    if (gCarousel) gCarousel->PlayBackgroundSFX(true);
  } else {
    if (gCarousel) {
      gCarousel->SetMenuMode(QStringLiteral("NULL"));
      gCarousel->PlayBackgroundSFX(false);
    }
    gTVOutMode = false;
    if (gCarousel) gCarousel->SetColourScheme(0);
  }
}

// Until full-screen mode is built: does nothing.
void frmReelwise::ToggleFullScreen(bool, bool) {}

// Until the context menus are built: the submenu is left as it is.
void frmReelwise::InitSimilarFilesMenu() {}
