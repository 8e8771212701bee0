// TV-Out mode (the carousel over the whole maximised window, its theme and
// music, no pointer) and full-screen mode (no title bar, the menu band at the
// top edge, the menu's header items shown).
#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "carousel/ucCanvas.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "inspector/InspectorPane.h"
#include "platform/ShowCursor.h"
#include "platform/cPopupMenu.h"
#include "platform/controls/TimerControl.h"
#include "platform/controls/TreeView.h"
#include "ui/cWindowMgr.h"

namespace {

constexpr const char* kViewItems[] = {"mnuViewFullScreen", "mnuViewInspector", "mnuViewTile", "mnuViewList"};
constexpr const char* kHeaderItems[] = {"mnuLibraryHeader", "mnuBrowserHeader", "mnuToolsHeader", "mnuViewHeader",
                                        "mnuHelpHeader"};

void SetItems(cPopupMenu* menu, std::span<const char* const> keys, void (cPopupMenu::*set)(int, bool), bool on) {
  if (!menu) return;
  for (const char* key : keys) (menu->*set)(menu->IndexForKey(QLatin1String(key)), on);
}

// The window's drawing frozen for a scope, thawed however the scope ends.
class RedrawFrozen {
 public:
  explicit RedrawFrozen(QWidget* window) : window_(window) { modReelwise::SetWindowRedraw(window_, true); }
  ~RedrawFrozen() { modReelwise::SetWindowRedraw(window_, false); }
  RedrawFrozen(const RedrawFrozen&) = delete;
  RedrawFrozen& operator=(const RedrawFrozen&) = delete;

 private:
  QWidget* window_;
};

}  // namespace

// True enters TV-Out mode, false leaves it. Compact mode goes back to
// library mode first, so that TV-Out is never laid over the compact panel.
void frmReelwise::ToggleTVOutMode(bool On) {
  if (On && gWindowMode == 2) SetWindowMode(QStringLiteral("LIBRARY"));
  const RedrawFrozen frozen(this);
  On ? EnterTVOutMode() : LeaveTVOutMode();
}

// TV-Out entered from full-screen mode goes back, when it is left, to the
// window full-screen mode was entered from.
void frmReelwise::EnterTVOutMode() {
  if (picWindowHeader->Visible()) m_BeforeFullScreen = CurrentWindowReturn();
  gTVOutMode = true;
  if (gCarousel) {
    gCarousel->SetColourScheme(
        modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TV-Out Theme")).ToLong(0));
  }
  Results().tbFileBrowser->SetVisible(false);
  SetItems(m_cMenu.get(), kViewItems, &cPopupMenu::SetEnabled, false);
  ucCanvas& canvas = *Carousel().ucCarouselCanvas;
  canvas.setParent(this);
  canvas.Move(0, 0, width(), height());
  canvas.raise();
  canvas.SetVisible(true);
  Tree().tvwLibrary->SetVisible(false);
  Tree().picGrip->SetVisible(false);
  MainToolbarHandler(QStringLiteral("mnuViewCarousel"));
  if (gWindowMgr) gWindowMgr->MaximiseWindow();
  canvas.Move(0, 0, width(), height());
  Results().Timer1->SetEnabled(false);
  Inspector().ClearInspector();
  while (ShowCursor(false) >= 0) {
  }
  if (gCarousel) gCarousel->PlayBackgroundSFX(true);
  // A remote control's keys go to the carousel at once, wherever the focus
  // was (a control now under the canvas, or the hidden tree).
  canvas.setFocus(Qt::OtherFocusReason);
}

// Leaving also leaves full-screen mode; the browser stays in the carousel.
void frmReelwise::LeaveTVOutMode() {
  if (gCarousel) {
    gCarousel->SetMenuMode(QStringLiteral("NULL"));
    gCarousel->PlayBackgroundSFX(false);
  }
  gTVOutMode = false;
  picHolder->SetTop(25);
  SetItems(m_cMenu.get(), kHeaderItems, &cPopupMenu::SetVisible, false);
  picWindowHeader->SetVisible(true);
  SetItems(m_cMenu.get(), kViewItems, &cPopupMenu::SetEnabled, true);
  Results().tbFileBrowser->SetVisible(true);
  ucCanvas& canvas = *Carousel().ucCarouselCanvas;
  canvas.setParent(Results().picFlexFrame);
  canvas.Move(0, 0);
  canvas.SetVisible(gBrowserMode == 3);
  Tree().tvwLibrary->SetVisible(true);
  Tree().picGrip->SetVisible(true);
  Results().Timer1->SetEnabled(true);
  if (gCarousel) gCarousel->SetColourScheme(0);
  while (CursorDisplayCount() < 0) ShowCursor(true);
  ReturnTo(m_BeforeFullScreen);
}

// Full screen is on exactly while the title bar is hidden. Entering fills
// the screen, from a normal and from a maximised window alike (restoring the
// maximised one would leave a small window without a title bar to move it
// by), and gives the browser the keys; leaving goes back to the window and
// the splitter it was entered from. Force enters even when it is on already.
void frmReelwise::ToggleFullScreen(bool Layout, bool Force) {
  const bool headerVisible = picWindowHeader->Visible();
  if (!Force && !headerVisible) {
    picWindowHeader->SetVisible(true);
    picHolder->SetTop(25);
    SetItems(m_cMenu.get(), kHeaderItems, &cPopupMenu::SetVisible, false);
    ReturnTo(m_BeforeFullScreen);
    return;
  }
  if (headerVisible) m_BeforeFullScreen = CurrentWindowReturn();
  if (gWindowMgr) gWindowMgr->MaximiseWindow();
  picWindowHeader->SetVisible(false);
  picHolder->SetTop(0);
  SetItems(m_cMenu.get(), kHeaderItems, &cPopupMenu::SetVisible, true);
  if (Layout) LayoutPanes();
  Results().SetFocusToBrowser();
}
