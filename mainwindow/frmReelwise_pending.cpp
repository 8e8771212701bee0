// Commands of the main window whose full versions come with their own work:
// the result export, the file commands of the context menu and the TV-Out
// and full-screen modes. Each does the least its callers rely on, and its
// comment says what the full version does. Opening a library is whole.
#include "mainwindow/frmReelwise.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/HistoryEntry.h"
#include "library/clsRWLibrary.h"
#include "platform/RWError.h"
#include "ui/clsDialogs.h"

#include <functional>

namespace {

// A failing step is reported and the next one runs.
void OpeningStep(QWidget* owner, const std::function<void()>& step) {
  try {
    step();
  } catch (const RWError& error) {
    ShowProgramMessage(QStringLiteral("%1 %2 ").arg(error.Number()).arg(error.Description()), vbExclamation,
                       QStringLiteral("Error Opening Library"), owner);
  }
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
  OpeningStep(this, [this] { ClearInspector(); });
  OpeningStep(this, [&] { gLibrary->OpenLibrary(path, true); });
}

// Writes the current results to "export.csv" in the Temp folder.
void frmReelwise::ExportBrowserToCSV() {}

// Shows the MediaInfo report of gSavedItem's file.
void frmReelwise::mnuAnalyze_Click() {}

// Makes a story board of gSavedItem's file.
void frmReelwise::mnuFilePoster_Click() {}

// TV-Out mode: the carousel fills the maximised window with its own theme,
// music and menus. So far only the inspector is emptied and the mode noted.
void frmReelwise::ToggleTVOutMode(bool On) {
  if (On) ClearInspector();
  gTVOutMode = On;
}

// Full-screen mode: the title bar hidden, the window maximised, the menu
// headers shown.
void frmReelwise::ToggleFullScreen(bool, bool) {}

// Fills "Find Similar Files" with one item per tag of gSavedItem's file.
void frmReelwise::InitSimilarFilesMenu() {}
