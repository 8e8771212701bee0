// Opening the current result: full screen in the program's own player, or
// with the file's default program when whole files are played elsewhere.
#include "browser/ResultsPane.h"

#include "browser/ResultGrids.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "player/modMainPlayer.h"

void ResultsPane::BrowserDblClick(int32_t iIndex) {
  if (ResultGrids::ResultCount() == 0) return;
  QWidget* window = picRight->window();
  if (gCurrentItem.CurrentPath.startsWith(QLatin1Char('['))) {
    ShowOfflineFileMessage(gCurrentItem.FileName, gCurrentItem.CurrentPath, window);
    return;
  }
  if (gResultKind == ResultScope::File && !gUseInternalPlayer && !gTVOutMode) {
    gSavedItem = gCurrentItem;
    int16_t app = -1;
    host_.LaunchExternalApp(app);
    return;
  }
  gPlayStartIndex = iIndex;
  modMainPlayer::ShowFullScreenPlayer(window);
  // The run may have left another result current: the browser follows it,
  // then the window comes back active and repainted with its inspector.
  SetBrowserIndex(gCurrentItem.SegmentID);
  host_.AfterFullScreenPlayer();
  SetFocusToBrowser();
}
