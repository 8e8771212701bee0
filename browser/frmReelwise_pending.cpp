// Result-browser and tree services of the main window whose full versions
// come with their own work. Each does the least its callers rely on, and its
// comment says what the full version does.
#include "mainwindow/frmReelwise.h"

#include "browser/ResultGrids.h"
#include "library/clsRWLibrary.h"

// Switches to the carousel; nothing when it is shown already. The full
// version also freezes the browser, lays out the canvas and turns the
// carousel to the current result.
void frmReelwise::ShowCarouselView() {
  if (gBrowserMode == 3) return;
  ResultGrids::MarkBrowserView(*this, 3);
  ResultGrids::ShowBrowserControl(*this, 3);
  scrollFlex->SetVisible(true);
  SetFocusToBrowser();
}

// Opens the result: the full-screen player, or the default application of
// the file, or a message that its medium is not connected.
void frmReelwise::BrowserDblClick(int32_t) {}

// Drag feedback over the tree (drop highlight, drag icon, status text,
// scrolling and expanding) and the drop that tags, rates, moves and links.
void frmReelwise::tvwLibrary_DragOver(ctl::Control&, double, double, int) {}
void frmReelwise::tvwLibrary_DragDrop(ctl::Control&, double, double) {}

// The preview poll (position, play button, on-screen time) comes with the
// inspector. So far the tick only blinks the current result's cell in both
// grids between its resting code and its cursor code; the online resting
// codes 5 and 4 blink as 3 and 2.
void frmReelwise::Timer1_Timer() {
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
