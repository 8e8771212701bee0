// The main window's pane layout and the focus of the browser.
#include "mainwindow/frmReelwise.h"

#include "carousel/ucCanvas.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/cPopupMenu.h"
#include "options/ColourSchemeModel.h"
#include "ui/cMDISplit.h"

#include <algorithm>
#include <cmath>

// The standard layout so far: the inspector and the browser toolbar docked
// along the bottom, the tree pane left and the browser right, snapped to
// whole tile columns. The alternate layout, the list columns' widths and the
// carousel's place come with the pane-layout work.
void frmReelwise::LayoutPanes() {
  if (isMinimized()) return;
  if (gWindowMode == 2) {
    ResizeCompactGUI(0);
    return;
  }
  const double inner = width();
  const double top = picHolder->Top() + picHolder->Height();
  picBottom->Move(0, height() - picBottom->Height(), inner);
  picBottomFrame->Move(3, 3, inner - 6, picBottom->Height() - 6);
  tbFileBrowser->Move(0, picBottom->Top() - tbFileBrowser->Height(), inner);
  picLeft->Move(0, top, picLeft->Width(), tbFileBrowser->Top() - top);
  if (inner < 200 || picLeft->Height() < 100) return;

  const int oldColumns = static_cast<int>(std::nearbyint(gTileColumns));
  const double tileWidth = static_cast<double>(gTileWidthTwips) / gTwipsPerPixelX;
  const double tileHeight = static_cast<double>(gTileHeightTwips) / gTwipsPerPixelY;
  picRight->Move(picLeft->Width(), top, inner - picLeft->Width(), picLeft->Height());
  gTileColumns = std::max(1.0, std::floor(picRight->Width() / tileWidth));
  picFlexFrame->Move(2, 2, tileWidth * gTileColumns + 2, picRight->ScaleHeight() - 8);
  scrollFlex->Move(picFlexFrame->Width() + 1, 2, scrollFlex->Width(), picFlexFrame->Height() - 4);
  picRightFrame->Move(2, 4, scrollFlex->Width() + picFlexFrame->Width() + 3, picRight->ScaleHeight() - 8);
  flexThumbsTiled->Move(0, 0, picFlexFrame->ScaleWidth() + 24, picFlexFrame->ScaleHeight() - 4);
  flexThumbsList->Move(0, 0, picFlexFrame->ScaleWidth() + 24, picFlexFrame->ScaleHeight());
  picFlexFrame->SetHeight(picRightFrame->Height() - 4);

  picRight->SetWidth(picRightFrame->Width() + 5);
  picLeft->SetWidth(inner - picRight->ScaleWidth());
  picRight->SetLeft(picLeft->ScaleWidth());
  const double split = m_cSplitLeft ? m_cSplitLeft->SplitSize() : 4;
  picLeftFrame->Move(3, 4, picLeft->ScaleWidth() - 5 - split, picLeft->Height() - 8);
  for (ctl::Control* pane : {static_cast<ctl::Control*>(tvwLibrary), static_cast<ctl::Control*>(picWelcomeHolder)}) {
    pane->Move(2, 2, picLeftFrame->ScaleWidth() - 4, picLeftFrame->Height() - 4);
  }
  picWelcome->Move((picLeftFrame->Width() - picWelcome->Width()) / 2, 0);
  picGrip->Move(picLeft->Width() - 6, picLeft->Top() + (picLeft->Height() - picGrip->Height()) / 2);
  picGrip->ZOrder(0);

  ctl::Button& progress = tbFileBrowser->Buttons(QStringLiteral("PROGRESS"));
  progress.SetWidth(picLeft->Width() + 3);
  picProgress->Move(4.0 * gTwipsPerPixelX, picProgress->Top(), (progress.Width() - 14) * gTwipsPerPixelX);
  ctl::Button& combo = tbFileBrowser->Buttons(QStringLiteral("COMBO"));
  if (picRight->ScaleWidth() > 500) {
    combo.SetWidth(tbFileBrowser->Width() - combo.Left() - Frame3->Width() / gTwipsPerPixelX - 42);
  }
  cmbBrowserHistory->Move(combo.Left() + 2, 0, combo.Width() - 5);
  modReelwise::AlignBrowserHistory();
  const ctl::Button& count = tbFileBrowser->Buttons(QStringLiteral("FILE_COUNT"));
  Frame3->Move(count.Left() * gTwipsPerPixelX, Frame3->Top(), count.Width() * gTwipsPerPixelX);

  gTileRowsVisible = std::floor(flexThumbsTiled->Height() / tileHeight);
  const int32_t results = gLibrary ? gLibrary->ResultCount : 0;
  if (oldColumns != static_cast<int>(gTileColumns) && gBrowserMode == 1) modReelwise::LayoutThumbnailGrid(results);
  modReelwise::UpdateThumbnailScrollBar(results);
}

// The preview panel keeps the geometry it was given at design time until the
// compact window work lays it out; the volume button takes its place on the skin.
void frmReelwise::ResizeCompactGUI(int32_t) { PlaceMediaControl(15); }

// The Tools menu offers the enabled entries meant for it, or only its
// placeholder when there are none. The context menu's items come with the
// context menus' work.
void frmReelwise::InitExternalAppMenus(const QString&, int16_t, bool ToolsOnly) {
  if (!ToolsOnly || !m_cMenu) return;
  const QString prefix = QStringLiteral("mnuToolsExternalApps");
  bool offered = false;
  for (int n = 1; n <= kExternalAppCount; ++n) {
    const int item = m_cMenu->IndexForKey(prefix + QString::number(n));
    const ExternalAppEntry& entry = gExternalApps[static_cast<size_t>(n)];
    m_cMenu->SetVisible(item, false);
    m_cMenu->SetCaption(item, entry.MenuText);
    if (entry.Enabled != 0 && entry.Contexts >= 4) {
      m_cMenu->SetVisible(item, true);
      offered = true;
    }
  }
  m_cMenu->SetVisible(m_cMenu->IndexForKey(prefix + QLatin1Char('0')), !offered);
}

void frmReelwise::SetFocusToBrowser() {
  picLeftFrame->SetBackColor(gSchemeColour3);
  picRightFrame->SetBackColor(gCursorColour);
  switch (gBrowserMode) {
    case 1:
      flexThumbsTiled->SetFocus();
      break;
    case 2:
      flexThumbsList->SetFocus();
      break;
    case 3:
      ucCarouselCanvas->SetFocus();
      break;
    default:
      break;
  }
}
