#include "core/modShellNotifs.h"

#include <QPointer>

bool gDeviceChangePending = false;
bool gMainFormInactive = false;

namespace {

QPointer<QWidget> gShellNotifyWindow;
modShellNotifs::DeviceRefresh gDeviceRefresh;

}  // namespace

namespace modShellNotifs {

bool RegisterShellNotify(QWidget* hWnd) {
  if (gShellNotifyWindow || !hWnd) return false;
  gShellNotifyWindow = hWnd;
  return true;
}

bool UnregisterShellNotify() {
  if (!gShellNotifyWindow) return false;
  gShellNotifyWindow = nullptr;
  return true;
}

void ShellNotify_OnMessage(intptr_t, intptr_t lParam) {
  switch (lParam) {
    case SHCNE_MEDIAINSERTED:
    case SHCNE_MEDIAREMOVED:
    case SHCNE_DRIVEREMOVED:
    case SHCNE_DRIVEADD:
      break;
    default:
      return;
  }
  gDeviceChangePending = true;
  if (gMainFormInactive || !gDeviceRefresh) return;
  if (gDeviceRefresh()) gDeviceChangePending = false;
}

void SetDeviceRefresh(DeviceRefresh refresh) { gDeviceRefresh = std::move(refresh); }

}  // namespace modShellNotifs
