// The window's rectangles: the library rectangle the settings remember and
// the compact size around the playing video.
#include "ui/cWindowMgr.h"

#include "core/modRegistry.h"
#include "platform/Rounding.h"
#include "ui/IWindowMgrHost.h"
#include "ui/WorkArea.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

// The smallest library window, and the compact video area while the video's
// size is unknown.
constexpr int32_t kLibraryWidth = 1024;
constexpr int32_t kLibraryHeight = 768;
constexpr int32_t kUnknownVideoWidth = 310;
constexpr int32_t kUnknownVideoHeight = 232;

int32_t ReadPlacement(const char* name) {
  return modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegGeneral, QLatin1String(name)).ToLong(0);
}

void WritePlacement(const char* name, int32_t value) {
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegGeneral, QLatin1String(name), value);
}

QSize PrimaryScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(kLibraryWidth, kLibraryHeight);
}

QRect PrimaryWorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, kLibraryWidth, kLibraryHeight);
}

// A stored length smaller than the least, or larger than the screen, gives
// the least.
int32_t StoredLength(int32_t stored, int32_t screen, int32_t least) {
  return (screen < stored || stored < least) ? least : stored;
}

}  // namespace

void cWindowMgr::SetLibraryModeRect() {
  if (mainWindow_) libraryRect_ = mainWindow_->frameGeometry();
}

void cWindowMgr::SetCompactModeRect() {
  if (mainWindow_) compactRect_ = QRect(QPoint(0, 0), mainWindow_->frameGeometry().size());
}

// A stored rectangle that runs off the primary screen's work area, or starts
// left of or above it, keeps its size and is centred in the work area. The
// least size, on a screen (or a scaled screen) whose work area is smaller,
// is cut to the work area, so that the title bar and every edge can be
// reached (WorkArea::Fit, the rule of every window).
void cWindowMgr::LoadPlacement() {
  mainWindow_->setWindowState(mainWindow_->windowState() &
                              ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
  borderSizeW_ = mainWindow_->frameGeometry().width() - mainWindow_->width();

  const QSize screen = PrimaryScreenSize();
  const QRect work = PrimaryWorkArea();
  const int32_t state = ReadPlacement("AppWindowState");
  const int32_t width = StoredLength(ReadPlacement("AppWidth"), screen.width(), kLibraryWidth);
  const int32_t height = StoredLength(ReadPlacement("AppHeight"), screen.height(), kLibraryHeight);
  libraryRect_ = WorkArea::Fit(QRect(ReadPlacement("AppLeft"), ReadPlacement("AppTop"), width, height), work);
  MoveWindow(mainWindow_, libraryRect_);
  SetLibraryModeRect();
  if (state == 2) {
    MaximiseWindow();
  } else {
    RestoreWindow();
  }
}

// A maximised window keeps the rectangle saved while it was normal.
void cWindowMgr::SavePlacement() {
  WritePlacement("AppWindowState", windowState_);
  if (windowState_ != 0) return;
  WritePlacement("AppTop", libraryRect_.top());
  WritePlacement("AppLeft", libraryRect_.left());
  WritePlacement("AppWidth", libraryRect_.width());
  WritePlacement("AppHeight", libraryRect_.height());
}

// The video area with the preview's margins and transport bar around it,
// the caption strip above, and the frame. A video area the screen cannot
// hold with them is made smaller in both directions alike, so that the
// window keeps the picture's shape.
QRect cWindowMgr::CompactRect(int32_t Factor) const {
  IWindowMgrHost* host = Host();
  const QSize video = host ? host->VideoSize() : QSize(0, 0);
  int32_t w = Factor * video.width();
  int32_t h = Factor * video.height();
  if (w == 0 || h == 0) {
    w = kUnknownVideoWidth;
    h = kUnknownVideoHeight;
  }
  const double caption = host ? host->CaptionHeight() : 0.0;
  const QScreen* onScreen = mainWindow_ ? ScreenOf(mainWindow_) : nullptr;
  const QSize screen = onScreen ? onScreen->geometry().size() : PrimaryScreenSize();
  const int32_t aroundW = 14 + borderSizeW_ + 4;
  const double aroundH = caption + 84 + borderSizeW_ + 2;
  const double scale = std::min({1.0, (screen.width() - aroundW) / static_cast<double>(w),
                                 (screen.height() - aroundH) / static_cast<double>(h)});
  if (scale < 1.0) {
    w = std::max(1, static_cast<int32_t>(RoundHalfEven(w * scale)));
    h = std::max(1, static_cast<int32_t>(RoundHalfEven(h * scale)));
  }
  const int32_t right = std::min(w + aroundW, screen.width());
  const int32_t bottom = static_cast<int32_t>(RoundHalfEven(caption + (h + 84 + borderSizeW_) + 2));
  return {0, 0, right, std::min(bottom, screen.height())};
}
