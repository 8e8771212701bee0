// The window manager's life, frame style, window modes and centring.
#include "ui/cWindowMgr.h"

#include "core/modReelwise.h"
#include "platform/Rounding.h"
#include "ui/ISubclass.h"
#include "ui/IWindowMgrHost.h"
#include "ui/WorkArea.h"

#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <utility>

std::unique_ptr<cWindowMgr> gWindowMgr;

namespace {

// Style bits of the window, as the class keeps them.
constexpr int32_t WS_THICKFRAME = 0x40000;
constexpr int32_t WS_CAPTION = 0xC00000;

constexpr int32_t kStateNormal = 0;
constexpr int32_t kStateMaximised = 2;
// How long after its platform window is made anew the window system's
// report of the window's state is taken for the new window's start.
constexpr int kRemadeSettleMs = 1000;

QRect PrimaryWorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

bool Usable(const QWidget* mainWindow) { return mainWindow && mainWindow->isVisible() && !mainWindow->isMinimized(); }

int32_t Centred(int32_t outerLength, int32_t innerLength, int32_t outerStart) {
  return static_cast<int32_t>(RoundHalfEven((outerLength - innerLength) / 2.0 + outerStart));
}

// Qt places a window's frame but sizes its client area.
void PlaceWindow(QWidget* window, const QRect& outer) {
  const QSize frame = window->frameGeometry().size() - window->size();
  window->resize(outer.size() - frame);
  window->move(outer.topLeft());
}

// Moves the window to the middle of `outer` at the outer size `inner`.
void CentreIn(QWidget* window, const QRect& outer, const QSize& inner) {
  const int32_t x = Centred(outer.width(), inner.width(), outer.left());
  const int32_t y = Centred(outer.height(), inner.height(), outer.top());
  PlaceWindow(window, QRect(QPoint(x, y), inner));
}

}  // namespace

cWindowMgr::cWindowMgr(QWidget* mainWindow, IWindowMgrHost* host) : mainWindow_(mainWindow), host_(host) {
  if (!mainWindow_) return;
  // A window the window system frames has a caption and a sizing border.
  if (!mainWindow_->windowFlags().testFlag(Qt::FramelessWindowHint)) style_ = WS_CAPTION | WS_THICKFRAME;
  BuildSystemMenu();
  AttachFrame();
  LoadPlacement();
}

cWindowMgr::~cWindowMgr() {
  gTrayIcon.Delete();
  // Only the library mode's placement is remembered: the program always
  // starts in the library mode.
  if (gWindowMode == 1) {
    SetLibraryModeRect();
    SavePlacement();
  }
  delete frame_.data();
  delete menuKey_.data();
  delete systemMenu_.data();
}

// ---- Frame style ----

void cWindowMgr::SetMoveable(bool on) {
  SetMenuItemEnabled(SC_MOVE, on);
  moveable_ = on;
}

void cWindowMgr::SetSizeable(bool on) {
  SetMenuItemEnabled(SC_SIZE, on);
  SetStyleBit(WS_THICKFRAME, on);
}

bool cWindowMgr::Sizeable() const { return (style_ & WS_THICKFRAME) != 0; }

void cWindowMgr::SetTitlebar(bool on) { SetStyleBit(WS_CAPTION, on); }

bool cWindowMgr::Titlebar() const { return (style_ & WS_CAPTION) != 0; }

void cWindowMgr::SetStyleBit(int32_t bit, bool on) { style_ = on ? (style_ | bit) : (style_ & ~bit); }

// The caption bit takes effect here: without it the window is frameless.
// Qt re-creates a window to change that and hides it, so a shown window is
// shown again. The sizing band reads the sizing bit as it goes.
void cWindowMgr::ApplyFrameChange() {
  if (!mainWindow_) return;
  const bool frameless = !Titlebar();
  if (mainWindow_->windowFlags().testFlag(Qt::FramelessWindowHint) == frameless) return;
  const bool shown = mainWindow_->isVisible();
  mainWindow_->setWindowFlag(Qt::FramelessWindowHint, frameless);
  if (shown) mainWindow_->show();
}

// The screen under the window's centre, else the one Qt gives it (the
// window may lie off every screen), else the primary.
QScreen* cWindowMgr::ScreenOf(const QWidget* window) {
  if (QScreen* screen = QGuiApplication::screenAt(window->frameGeometry().center())) return screen;
  if (QScreen* screen = window->screen()) return screen;
  return QGuiApplication::primaryScreen();
}

void cWindowMgr::MoveWindow(QWidget* window, const QRect& outer) {
  if (window) PlaceWindow(window, outer);
}

// ---- The main window's controls ----

// The host belongs to the main window and goes with it.
IWindowMgrHost* cWindowMgr::Host() const { return mainWindow_ ? host_ : nullptr; }

void cWindowMgr::ShowControlBox(const QString& restoreImage, const QString& modeImage) {
  IWindowMgrHost* host = Host();
  if (!host) return;
  host->SetControlBoxImage(QStringLiteral("RESTORE"), restoreImage);
  host->SetControlBoxImage(QStringLiteral("MODE"), modeImage);
}

// ---- Window modes ----

void cWindowMgr::MaximiseWindow() {
  SetSizeable(false);
  SetTitlebar(false);
  SetMoveable(false);
  EnableMenuCommand(kRestoreItem, true);
  EnableMenuCommand(kMaximiseItem, false);
  MoveWindow(mainWindow_, MaximisedRect());
  ApplyFrameChange();
  ShowMaximisedToWindowSystem(true);
  windowState_ = kStateMaximised;
  compact_ = false;
  ShowControlBox(QStringLiteral("RESTORE"), QStringLiteral("COMPACT"));
}

// The work area of the primary screen, the whole of any other: where the
// window system, which knows the window as maximised, places it itself (a
// row kept free above a task bar that hides itself would not stay free).
QRect cWindowMgr::MaximisedRect() const {
  if (!mainWindow_) return {};
  QScreen* screen = ScreenOf(mainWindow_);
  if (!screen) return {};
  return screen == QGuiApplication::primaryScreen() ? screen->availableGeometry() : screen->geometry();
}

void cWindowMgr::RestoreWindow() {
  SetSizeable(true);
  SetTitlebar(false);
  SetMoveable(true);
  EnableMenuCommand(kRestoreItem, false);
  EnableMenuCommand(kMaximiseItem, true);
  ShowMaximisedToWindowSystem(false);
  MoveWindow(mainWindow_, libraryRect_);
  ApplyFrameChange();
  windowState_ = kStateNormal;
  compact_ = false;
  ShowControlBox(QStringLiteral("MAX"), QStringLiteral("COMPACT"));
}

void cWindowMgr::MinimizeWindow() {
  EnableMenuCommand(kMaximiseItem, true);
  EnableMenuCommand(kRestoreItem, true);
}

void cWindowMgr::InitialiseCompactWindow(int32_t Factor) {
  SetSizeable(true);
  SetTitlebar(false);
  SetMoveable(true);
  compactRect_ = CompactRect(Factor);
  // The way back to the library mode needs the rectangle of the normal
  // window; a maximised window keeps the one it had before, and so does a
  // window that is compact already (its rectangle is not the library's).
  if (!compact_ && windowState_ == kStateNormal) SetLibraryModeRect();
  compact_ = true;
  ShowMaximisedToWindowSystem(false);
  CentreChildWindow(mainWindow_, true);
  ShowControlBox(QStringLiteral("FULLSCREEN"), QStringLiteral("LIBRARY"));
}

// Both the widget and its platform window get the state: the widget
// forgets a maximised state whenever the program places the window itself
// (so this comes after the placing), and a platform window made anew (as
// when the first video surface needs another kind of window) takes the
// widget's state.
void cWindowMgr::ShowMaximisedToWindowSystem(bool maximised) {
  if (!mainWindow_) return;
  const QScopedValueRollback<bool> setting(settingState_, true);
  const auto with = [maximised](Qt::WindowStates states) {
    states &= ~Qt::WindowActive;
    return maximised ? states | Qt::WindowMaximized : states & ~Qt::WindowMaximized;
  };
  const Qt::WindowStates widgetStates = mainWindow_->windowState() & ~Qt::WindowActive;
  if (with(widgetStates) != widgetStates) mainWindow_->setWindowState(with(widgetStates));
  if (!mainWindow_->windowHandle()) mainWindow_->winId();
  QWindow* window = mainWindow_->windowHandle();
  if (window->windowStates().testFlag(Qt::WindowMaximized) != maximised) {
    window->setWindowStates(with(window->windowStates()));
  }
}

// Looked at once the event that reported it is over, so that a state the
// program is in the middle of setting is never taken for the window
// system's. Compact mode keeps its size: the window system's maximise is
// taken back before the main window answers it (with the video full screen).
// The first state a platform window made anew reports is its own start, not
// the user's choice: the program's state is given to it instead.
void cWindowMgr::FollowWindowSystemState() {
  if (settingState_ || followPending_ || !frame_) return;
  followPending_ = true;
  QTimer::singleShot(0, frame_.data(), [this] {
    followPending_ = false;
    QWindow* window = mainWindow_ ? mainWindow_->windowHandle() : nullptr;
    if (!window || mainWindow_->isMinimized()) return;
    const bool expected = windowState_ == kStateMaximised && !compact_;
    const bool maximised = window->windowStates().testFlag(Qt::WindowMaximized);
    const bool remade = std::exchange(windowRemade_, false);
    if (maximised == expected) return;
    if (remade || compact_) ShowMaximisedToWindowSystem(expected);
    if (!remade) {
      cSubclasser::PostWindowMessage(mainWindow_, WM_SYSCOMMAND, maximised ? kMaximiseItem : kRestoreItem, 0);
    }
  });
}

// Only a report soon after counts as the new window's start; a later one is
// the user's again.
void cWindowMgr::WindowRemade() {
  windowRemade_ = true;
  if (frame_) QTimer::singleShot(kRemadeSettleMs, frame_.data(), [this] { windowRemade_ = false; });
}

// ---- Centring ----

void cWindowMgr::CentreChildWindow(QWidget* window, bool UseCompactRect) {
  if (!window) return;
  if (window == mainWindow_) {
    const QScreen* screen = ScreenOf(window);
    const QRect outer = screen ? screen->geometry() : PrimaryWorkArea();
    CentreIn(window, outer, UseCompactRect ? compactRect_.size() : window->frameGeometry().size());
    return;
  }
  const QRect outer = Usable(mainWindow_) ? mainWindow_->frameGeometry() : PrimaryWorkArea();
  CentreIn(window, outer, window->frameGeometry().size());
  // Over a main window partly off the screen, or larger than it, the window
  // is still whole on the work area.
  WorkArea::Keep(window);
}

void CentreOverMainWindow(QWidget* window) {
  if (gWindowMgr) {
    gWindowMgr->CentreChildWindow(window, false);
  } else if (window) {
    CentreIn(window, PrimaryWorkArea(), window->frameGeometry().size());
    WorkArea::Keep(window);
  }
}
