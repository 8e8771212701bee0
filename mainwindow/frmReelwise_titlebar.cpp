// The main window's own title bar: the caption's drag and double click, the
// control box, the header's layout, the way back from the tray icon, and the
// switch between the library window and the compact player window.
#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "inspector/InspectorPane.h"
#include "platform/InputGate.h"
#include "platform/Rounding.h"
#include "platform/controls/TimerControl.h"
#include "player/clsRWPlayer.h"
#include "ui/cWindowMgr.h"

#include <QApplication>
#include <QScopeGuard>

#include <cmath>
#include <initializer_list>

namespace {

constexpr int kLeftButton = 1;
// The tray icon's left button press, as its mouse message.
constexpr int32_t kTrayLeftButtonDown = 513;
// The smallest library window, pixels.
constexpr int32_t kLibraryMinTrack = 560;
// The compact window's least client area beside the frame: the preview
// panel's fixed parts.
constexpr int32_t kCompactMinWidth = 328;
constexpr int32_t kCompactMinHeight = 318;

}  // namespace

void frmReelwise::ConnectTitleBar() {
  picCaption->MouseDown = [this](int button, int shift, double x, double y) {
    picCaption_MouseDown(button, shift, x, y);
  };
  lblCaption->MouseDown = [this](int button, int shift, double x, double y) {
    lblCaption_MouseDown(button, shift, x, y);
  };
  picCaption->DblClick = [this] { picCaption_DblClick(); };
  lblCaption->DblClick = [this] { lblCaption_DblClick(); };
  tbControlBox->ButtonClick = [this](ctl::Button& button) { tbControlBox_ButtonClick(button); };
  picWindowHeader->Resize = [this] { picWindowHeader_Resize(); };
}

// The window manager starts the move only once the pointer has moved on, so
// the second press of a double click still reaches the caption.
void frmReelwise::picCaption_MouseDown(int Button, int, double, double) {
  if (Button == kLeftButton && gWindowMgr) gWindowMgr->DragWindow();
}

void frmReelwise::lblCaption_MouseDown(int Button, int Shift, double X, double Y) {
  picCaption_MouseDown(Button, Shift, X, Y);
}

// The position poll stops while the video is full screen; leaving full
// screen starts it again.
void frmReelwise::picCaption_DblClick() {
  if (gWindowMode != 1) {
    Results().Timer1->SetEnabled(false);
    if (gPlayer) gPlayer->SetFullScreen(true);
    return;
  }
  if (!gWindowMgr) return;
  if (gWindowMgr->WindowState() != 0) {
    gWindowMgr->RestoreWindow();
  } else {
    gWindowMgr->MaximiseWindow();
  }
}

void frmReelwise::lblCaption_DblClick() { picCaption_DblClick(); }

// "MODE" shows the mode a click switches to. Where the desktop has no tray,
// MinimiseToTray minimises the window instead.
void frmReelwise::tbControlBox_ButtonClick(ctl::Button& Button) {
  const QString& key = Button.Key();
  if (key == QLatin1String("MIN")) {
    if (gMinimiseToTray && gWindowMgr) {
      gWindowMgr->MinimiseToTray();
    } else {
      showMinimized();
    }
  } else if (key == QLatin1String("RESTORE")) {
    picCaption_DblClick();
  } else if (key == QLatin1String("CLOSE")) {
    close();
  } else if (key == QLatin1String("MODE") && InputGate::Admits()) {
    // The box's other buttons stand for the window's frame and pass the
    // input gate; a change of mode is a command.
    SetWindowMode(Button.Image());
  }
}

// The minimum-size hook is off for the whole switch (the window takes the
// other mode's size, the panel moves, the minimum changes) and on again
// before the library's controls are shown or hidden.
void frmReelwise::SetWindowMode(const QString& Mode) {
  const bool compact = Mode == QLatin1String("COMPACT");
  if (!compact && Mode != QLatin1String("LIBRARY")) return;
  if ((gWindowMode == 2) == compact) return;
  m_RequestedWindowMode = Mode;
  // An end of move that arrives during the switch belongs to the other mode.
  m_SwitchingMode = true;
  const auto switched = qScopeGuard([this] { m_SwitchingMode = false; });
  gSubclasser.DetachWindowMessage(this, this, WM_GETMINMAXINFO);
  // The minimum the hook gave stays on the window; without the hook there is none.
  setMinimumSize(0, 0);
  compact ? EnterCompactMode() : EnterLibraryMode();
  gSubclasser.AttachWindowMessage(this, this, WM_GETMINMAXINFO);
  ShowLibraryControls(!compact);
  if (compact) {
    // The compact window's keys are the window's own (Form_KeyDown): no
    // control of the library window may keep the focus, hidden or not.
    setFocus(Qt::OtherFocusReason);
    return;
  }
  ReturnTo(m_BeforeCompact);
  QWidget* before = m_FocusBeforeCompact;
  if (before && before->isVisible() && before->isEnabled()) {
    before->setFocus(Qt::OtherFocusReason);
  } else {
    Results().SetFocusToBrowser();
  }
}

// The preview panel leaves the inspector and fills the window under the
// caption strip.
void frmReelwise::EnterCompactMode() {
  m_BeforeCompact = CurrentWindowReturn();
  m_FocusBeforeCompact = QApplication::focusWidget();
  gWindowMode = 2;
  if (gWindowMgr) gWindowMgr->InitialiseCompactWindow(1);
  ctl::PictureBox& panel = *Inspector().picOpenFile;
  panel.setParent(this);
  panel.raise();
  panel.show();
  // The window may have kept its size, so the resize that lays the panel
  // out may not have come.
  ResizeCompactGUI(0);
  const int32_t border = gWindowMgr ? gWindowMgr->BorderSizeW() : 0;
  m_MinTrackWidth = border + kCompactMinWidth;
  m_MinTrackHeight = static_cast<int32_t>(RoundHalfEven(picCaption->Height())) + border + kCompactMinHeight;
}

void frmReelwise::EnterLibraryMode() {
  gWindowMode = 1;
  ResizeCompactGUI(-1);
  ctl::PictureBox& panel = *Inspector().picOpenFile;
  panel.setParent(Inspector().picInspector[2]);
  panel.show();
  m_MinTrackWidth = kLibraryMinTrack;
  m_MinTrackHeight = kLibraryMinTrack;
}

frmReelwise::WindowReturn frmReelwise::CurrentWindowReturn() const {
  return {gWindowMgr ? gWindowMgr->WindowState() : 0, Tree().picLeft->Width()};
}

// The window manager sizes the window first; the resize sets the tree pane
// to a quarter of the width, so the pane gets its width back afterwards.
void frmReelwise::ReturnTo(const WindowReturn& back) {
  if (gWindowMgr) back.State == 2 ? gWindowMgr->MaximiseWindow() : gWindowMgr->RestoreWindow();
  Tree().picLeft->SetWidth(back.TreeWidth);
  LayoutPanes();
}

void frmReelwise::ShowLibraryControls(bool show) {
  LibraryTreePane& tree = Tree();
  ResultsPane& results = Results();
  InspectorPane& inspector = Inspector();
  for (QWidget* control :
       std::initializer_list<QWidget*>{inspector.picMediaControl[12], lblCaption, tree.picGrip, picHolder,
                                       tree.picLeft, results.picRight, inspector.picBottom, results.tbFileBrowser}) {
    control->setVisible(show);
  }
}

// A left press on the tray icon brings the window back as it was; any
// other message, and the ordinary moves over the header, change nothing.
void frmReelwise::picWindowHeader_MouseMove(int, int, double X, double) {
  if (static_cast<int32_t>(std::floor(X)) != kTrayLeftButtonDown) return;
  show();
  activateWindow();
  gTrayIcon.Delete();
}

// The caption strip and the bands run across the window; the control box
// sits at the caption's right end. The busy indicator stands just left of
// the control box, not under it.
void frmReelwise::picWindowHeader_Resize() {
  picCaption->SetWidth(picWindowHeader->Width());
  picHolder->SetWidth(picWindowHeader->Width());
  cReBar1->SetWidth(picWindowHeader->Width());
  tbrMenu->SetWidth(picWindowHeader->Width());
  tbMain->SetWidth(picWindowHeader->Width() + 20);
  const double buttonWidth = tbControlBox->Buttons(1).Width();
  tbControlBox->SetWidth(4 * buttonWidth + 3);
  tbControlBox->Move(picCaption->Width() - tbControlBox->Width(), 4, tbControlBox->Width(), 17);
  picBusyIndicator->SetLeft(picCaption->ScaleWidth() - picBusyIndicator->Width() - tbControlBox->Width());
  // The banner logo keeps to the bands' right end.
  if (picBannerLogo && imgBanner) PlaceBannerLogo();
}
