// The preview's timers of the inspector: the fade of the on-screen text
// and the story board opened a moment after it was asked for.
#include "inspector/InspectorPane.h"

#include "core/ProgramMessage.h"
#include "library/ResultItem.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"

// A new fade starts at full opacity and falls by 0.05 a tick to 0 (the
// twentieth tick, where Double arithmetic leaves just under 0.05); while the
// player is paused the text stays.
void InspectorPane::Timer2_Timer() {
  if (Timer2->Tag().isEmpty()) {
    fadeLevel_ = 1.0;
    Timer2->SetTag(QStringLiteral("BUSY"));
  }
  if (fadeLevel_ < 1.0) Timer2->SetInterval(100);
  if (fadeLevel_ < 0.05) fadeLevel_ = 0;
  if (gPlayer) gPlayer->OverlayText(gOsdText, fadeLevel_, gOsdTimeText, true);
  if (gPlayer && gPlayer->PlayState() == 1) fadeLevel_ = 1.0;
  if (fadeLevel_ == 0) {
    Timer2->SetEnabled(false);
    Timer2->SetTag(QString());
    Timer2->SetInterval(100);
  }
  fadeLevel_ -= 0.05;
}

void InspectorPane::timerFilePreview_Timer() {
  timerFilePreview->SetEnabled(false);
  const QString& folder = gSavedItem.CurrentPath;
  if (folder.isEmpty()) return;
  if (folder.startsWith(QLatin1Char('['))) {
    ShowOfflineFileMessage(gSavedItem.FileName, folder, picBottom->window());
    return;
  }
  host_.SetPreviewTimer(false);
  picBottom->window()->repaint();
  while (host_.ShowStoryBoard()) {
  }
  host_.SetPreviewTimer(true);
  host_.AfterStoryBoard();
}
