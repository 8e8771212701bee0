// Browser procedures that are least versions until they are built. Each does
// the least its callers rely on, and its comment says what it does today.
#include "browser/BrowserPane.h"

#include "browser/ResultGrids.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"

// Until opening results is built: does nothing.
void BrowserPane::BrowserDblClick(int32_t) {}

// Until the tree's drag and drop is built: no feedback and no drop.
void BrowserPane::tvwLibrary_DragOver(ctl::Control&, double, double, int) {}
void BrowserPane::tvwLibrary_DragDrop(ctl::Control&, double, double) {}

// Until the inspector's preview poll is built: the tick only blinks the
// current result's cell in both grids between its resting code and its
// cursor code; the online resting codes 5 and 4 blink as 3 and 2.
void BrowserPane::Timer1_Timer() {
  if (gTVOutMode || gWindowMode == 2) return;
  m_BlinkPhase = static_cast<int16_t>((m_BlinkPhase + 1) % 2);
  if (ResultGrids::ResultCount() < 1) return;
  int code = m_BlinkPhase == 0 ? gCurrentItem.DisplayState - (gCurrentItem.Selected ? 1 : 0)
                               : (gCurrentItem.Selected ? 0 : 1);
  if (code == 5 || code == 4) code -= 2;
  const QString text = QString::number(code);
  const int tileCol = flexThumbsTiled->Col();
  if (tileCol >= 1 && tileCol < flexThumbsTiled->Cols() - 1) flexThumbsTiled->SetText(text);
  if (flexThumbsList->Row() >= 1 && flexThumbsList->Col() == 1) flexThumbsList->SetText(text);
}
