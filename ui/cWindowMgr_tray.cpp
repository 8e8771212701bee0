// Hiding the main window to the tray and the tray icon that brings it back.
#include "ui/cWindowMgr.h"

#include "platform/ErrorGuard.h"
#include "ui/IWindowMgrHost.h"

cTrayIcon gTrayIcon;

std::function<bool()> cWindowMgr::SystemTrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };

namespace {

// The tip holds at most 63 characters.
constexpr int kTipLength = 63;

// The mouse message the title bar's header gets for an activation of the
// icon: left button down, left double click, right button down, middle
// button down; 0 for none.
int32_t MouseMessage(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return 513;
    case QSystemTrayIcon::DoubleClick:
      return 515;
    case QSystemTrayIcon::Context:
      return 516;
    case QSystemTrayIcon::MiddleClick:
      return 519;
    default:
      return 0;
  }
}

}  // namespace

void cTrayIcon::Add(QWidget* window, IWindowMgrHost* target) {
  Delete();
  if (!window) return;
  // A child of the window, so the icon and its target go together.
  icon_ = new QSystemTrayIcon(window->windowIcon(), window);
  icon_->setToolTip(window->windowTitle().left(kTipLength));
  QObject::connect(icon_, &QSystemTrayIcon::activated, icon_, [target](QSystemTrayIcon::ActivationReason reason) {
    const int32_t message = MouseMessage(reason);
    if (message == 0 || !target) return;
    ErrorGuard().Run([&] { target->picWindowHeader_MouseMove(message); });
  });
  icon_->show();
}

// The target usually removes the icon from inside its own click, so the
// icon object goes once that has returned.
void cTrayIcon::Delete() {
  if (!icon_) return;
  icon_->hide();
  icon_->deleteLater();
  icon_.clear();
}

// Without a tray, a hidden window could never be shown again.
void cWindowMgr::MinimiseToTray() {
  if (!mainWindow_) return;
  if (!SystemTrayAvailable || !SystemTrayAvailable()) {
    mainWindow_->showMinimized();
    return;
  }
  mainWindow_->hide();
  gTrayIcon.Add(mainWindow_, Host());
}
