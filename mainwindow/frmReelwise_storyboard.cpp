// The story board command of the context menus and the Tools menu: the
// grid of frames or the poster of the file the command was given on.
#include "mainwindow/frmReelwise.h"

#include "carousel/cCarousel.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "platform/controls/TimerControl.h"
#include "player/frmFilePosterArt.h"
#include "player/frmFilePreview.h"
#include "ui/frmGlass.h"

#include <utility>

// The story board of gSavedItem: the grid style opens a moment later from
// the inspector's timer; the poster is built over the glass and shown modal.
// An offline or empty item opens nothing, as the grid's timer does.
void frmReelwise::mnuFilePoster_Click() {
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
