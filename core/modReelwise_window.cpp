// Window procedures every part shares: scaled font sizes, freezing a
// window's drawing and the desktop's drop shadow.
#include "core/modReelwise.h"

#include <QPointer>
#include <QWidget>

namespace modReelwise {

double ScaledFont(double points) { return points * gTwipsPerPixelY / 15.0; }
double ScaledWidth(double pixels) { return pixels * 15.0 / gTwipsPerPixelX; }

bool SetWindowRedraw(QWidget* hWnd, bool lock) {
  static bool locked = false;
  static bool used = false;
  static QPointer<QWidget> lockedWindow;
  if (used && lock == locked) return false;
  locked = lock;
  used = true;
  if (lock) {
    lockedWindow = hWnd;
    if (hWnd) hWnd->setUpdatesEnabled(false);
  } else if (lockedWindow) {
    lockedWindow->setUpdatesEnabled(true);
    lockedWindow = nullptr;
  }
  return true;
}

void SetDropShadow(QWidget* hWnd, bool on) {
  if (!hWnd) return;
  const bool visible = hWnd->isVisible();
  hWnd->setWindowFlag(Qt::NoDropShadowWindowHint, !on);
  // Changing a window's flags hides it.
  if (visible) hWnd->show();
}

// The control layer needs no set-up of the desktop's controls.
void InitCommonControlsVB() {}

}  // namespace modReelwise
