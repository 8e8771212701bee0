#include "ui/cWindowMgr.h"

#include "platform/Rounding.h"

#include <QGuiApplication>
#include <QScreen>

std::unique_ptr<cWindowMgr> gWindowMgr;

namespace {

void CentreIn(QWidget* window, const QRect& outer) {
  const QRect inner = window->frameGeometry();
  const int x = static_cast<int>(RoundHalfEven((outer.width() - inner.width()) / 2.0 + outer.left()));
  const int y = static_cast<int>(RoundHalfEven((outer.height() - inner.height()) / 2.0 + outer.top()));
  window->move(x, y);
}

QRect PrimaryWorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

bool Usable(const QWidget* mainWindow) {
  return mainWindow && mainWindow->isVisible() && !mainWindow->isMinimized();
}

}  // namespace

void cWindowMgr::CentreChildWindow(QWidget* window, bool /*UseCompactRect*/) {
  if (!window) return;
  if (window == mainWindow_) {
    const QScreen* screen = window->screen();
    CentreIn(window, screen ? screen->geometry() : PrimaryWorkArea());
    return;
  }
  CentreIn(window, Usable(mainWindow_) ? mainWindow_->frameGeometry() : PrimaryWorkArea());
}

void CentreOverMainWindow(QWidget* window) {
  if (gWindowMgr) {
    gWindowMgr->CentreChildWindow(window, false);
  } else if (window) {
    CentreIn(window, PrimaryWorkArea());
  }
}
