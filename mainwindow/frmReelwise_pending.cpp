// The story board command of the context menus and the Tools menu.
#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
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
#include "player/frmFilePosterArt.h"
#include "player/frmFilePreview.h"
#include "ui/clsDialogs.h"
#include "ui/frmGlass.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include <functional>

// The story board of gSavedItem: the grid style opens a moment later from
// the inspector's timer; the poster is built over the glass and shown modal.
// An offline or empty item opens nothing, as the grid's timer does.
void frmReelwise::mnuFilePoster_Click() {
  StoryBoardHooks hooks;
  hooks.SetMainTag = [this](const QString& tag) { SetTag(tag); };
  hooks.ShowOptions = [this] { ShowOptions(3); };
  hooks.CarouselBusy = [](int percent) {
    if (gCarousel) gCarousel->Broadcast(QStringLiteral("BUSY"), percent, percent);
  };
  hooks.RestoreFocus = [this] { RestoreFocus(); };
  SetStoryBoardHooks(std::move(hooks));
  if (gPosterStyle == 0) {
    Inspector().timerFilePreview->SetEnabled(true);
    return;
  }
  if (!ShowPoster()) return;
  RestoreFocus();
  if (gBrowserMode == 3 && gCarousel) {
    gCarousel->SetMenuMode(QStringLiteral("NULL"));
    gCarousel->RedrawAll(false, true);
  }
}

bool frmReelwise::ShowPoster() {
  const QString& folder = gSavedItem.CurrentPath;
  if (folder.isEmpty()) return false;
  if (folder.startsWith(QLatin1Char('['))) {
    ShowOfflineFileMessage(gSavedItem.FileName, folder, this);
    return false;
  }
  ShowGlass(this);
  {
    frmFilePosterArt poster(this);
    if (poster.Built()) {
      ShowDialogOverGlass(poster);
    } else {
      UnloadGlass();
    }
  }
  if (gCarousel) gCarousel->Broadcast(QStringLiteral("BUSY"), 50, 0);
  return true;
}
