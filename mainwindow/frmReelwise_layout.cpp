// The main window's pane layout, the busy display of its title bar and the
// browser controls' enabled state.
#include "mainwindow/frmReelwise.h"

#include "browser/BrowserPane.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/cPopupMenu.h"
#include "ui/SchemeColours.h"
#include "ui/cMDISplit.h"

#include <algorithm>
#include <cmath>

// The standard layout so far: the inspector and the browser toolbar docked
// along the bottom, the tree pane left and the browser right, snapped to
// whole tile columns. Until the pane layout is built, the alternate layout
// is laid out as the standard one, and the list columns and the carousel
// keep the places they were given.
void frmReelwise::LayoutPanes() {
  if (isMinimized()) return;
  if (gWindowMode == 2) {
    ResizeCompactGUI(0);
    return;
  }
  BrowserPane& b = Browser();
  InspectorPane& inspector = Inspector();
  const double inner = width();
  const double top = picHolder->Top() + picHolder->Height();
  inspector.picBottom->Move(0, height() - inspector.picBottom->Height(), inner);
  inspector.picBottomFrame->Move(3, 3, inner - 6, inspector.picBottom->Height() - 6);
  b.tbFileBrowser->Move(0, inspector.picBottom->Top() - b.tbFileBrowser->Height(), inner);
  b.picLeft->Move(0, top, b.picLeft->Width(), b.tbFileBrowser->Top() - top);
  if (inner < 200 || b.picLeft->Height() < 100) return;

  const int oldColumns = static_cast<int>(std::nearbyint(gTileColumns));
  const double tileWidth = static_cast<double>(gTileWidthTwips) / gTwipsPerPixelX;
  const double tileHeight = static_cast<double>(gTileHeightTwips) / gTwipsPerPixelY;
  b.picRight->Move(b.picLeft->Width(), top, inner - b.picLeft->Width(), b.picLeft->Height());
  gTileColumns = std::max(1.0, std::floor(b.picRight->Width() / tileWidth));
  b.picFlexFrame->Move(2, 2, tileWidth * gTileColumns + 2, b.picRight->ScaleHeight() - 8);
  b.scrollFlex->Move(b.picFlexFrame->Width() + 1, 2, b.scrollFlex->Width(), b.picFlexFrame->Height() - 4);
  b.picRightFrame->Move(2, 4, b.scrollFlex->Width() + b.picFlexFrame->Width() + 3, b.picRight->ScaleHeight() - 8);
  b.flexThumbsTiled->Move(0, 0, b.picFlexFrame->ScaleWidth() + 24, b.picFlexFrame->ScaleHeight() - 4);
  b.flexThumbsList->Move(0, 0, b.picFlexFrame->ScaleWidth() + 24, b.picFlexFrame->ScaleHeight());
  b.picFlexFrame->SetHeight(b.picRightFrame->Height() - 4);

  b.picRight->SetWidth(b.picRightFrame->Width() + 5);
  b.picLeft->SetWidth(inner - b.picRight->ScaleWidth());
  b.picRight->SetLeft(b.picLeft->ScaleWidth());
  const double split = m_cSplitLeft ? m_cSplitLeft->SplitSize() : 4;
  b.picLeftFrame->Move(3, 4, b.picLeft->ScaleWidth() - 5 - split, b.picLeft->Height() - 8);
  for (ctl::Control* pane : {static_cast<ctl::Control*>(b.tvwLibrary), static_cast<ctl::Control*>(picWelcomeHolder)}) {
    pane->Move(2, 2, b.picLeftFrame->ScaleWidth() - 4, b.picLeftFrame->Height() - 4);
  }
  picWelcome->Move((b.picLeftFrame->Width() - picWelcome->Width()) / 2, 0);
  b.picGrip->Move(b.picLeft->Width() - 6, b.picLeft->Top() + (b.picLeft->Height() - b.picGrip->Height()) / 2);
  b.picGrip->ZOrder(0);

  ctl::Button& progress = b.tbFileBrowser->Buttons(QStringLiteral("PROGRESS"));
  progress.SetWidth(b.picLeft->Width() + 3);
  b.picProgress->Move(4.0 * gTwipsPerPixelX, b.picProgress->Top(), (progress.Width() - 14) * gTwipsPerPixelX);
  ctl::Button& combo = b.tbFileBrowser->Buttons(QStringLiteral("COMBO"));
  if (b.picRight->ScaleWidth() > 500) {
    combo.SetWidth(b.tbFileBrowser->Width() - combo.Left() - b.Frame3->Width() / gTwipsPerPixelX - 42);
  }
  b.cmbBrowserHistory->Move(combo.Left() + 2, 0, combo.Width() - 5);
  b.AlignBrowserHistory();
  const ctl::Button& count = b.tbFileBrowser->Buttons(QStringLiteral("FILE_COUNT"));
  b.Frame3->Move(count.Left() * gTwipsPerPixelX, b.Frame3->Top(), count.Width() * gTwipsPerPixelX);

  gTileRowsVisible = std::floor(b.flexThumbsTiled->Height() / tileHeight);
  const int32_t results = gLibrary ? gLibrary->ResultCount : 0;
  if (oldColumns != static_cast<int>(gTileColumns) && gBrowserMode == 1) b.LayoutThumbnailGrid(results);
  b.UpdateThumbnailScrollBar(results);
}

// Until the compact window is built: the preview panel keeps the geometry it
// was given at design time; the volume button takes its place on the skin.
void frmReelwise::ResizeCompactGUI(int32_t) { Inspector().PlaceMediaControl(15); }

// The Tools menu offers the enabled entries meant for it, or only its
// placeholder when there are none. Until the context menus are built, the
// calls for a file in a context change nothing.
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

void frmReelwise::ShowBusyIndicator(bool on) {
  if (gTVOutMode) return;
  picBusyIndicator->SetBackColor(gSchemeColour2);
  picBusyIndicator->SetVisible(on);
  RWBusyInd->SetVisible(on);
  on ? RWBusyInd->Start() : RWBusyInd->Stop();
}

void frmReelwise::SetBrowserControlsEnabled(bool on) {
  for (QWidget* control : std::initializer_list<QWidget*>{Browser().picLeft, Browser().picRight, Inspector().picBottom,
                                                          Browser().tbFileBrowser, Inspector().tbSegments,
                                                          Browser().cmbBrowserHistory, picHolder}) {
    control->setEnabled(on);
  }
}
