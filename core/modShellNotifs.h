#pragma once
// Changes of the storage devices while the program runs (media inserted or
// removed, drives added or removed) reach the main window as message 1025.
// Until the device events are built, the registration is only remembered
// and no event arrives by itself.
#include <QWidget>

#include <cstdint>
#include <functional>

inline constexpr int32_t kShellNotifyMessage = 1025;  // WM_USER + 1
inline constexpr int32_t SHCNE_MEDIAINSERTED = 0x20;
inline constexpr int32_t SHCNE_MEDIAREMOVED = 0x40;
inline constexpr int32_t SHCNE_DRIVEREMOVED = 0x80;
inline constexpr int32_t SHCNE_DRIVEADD = 0x100;

// A drive or medium change arrived and the storage refresh has not run yet.
extern bool gDeviceChangePending;
// The main window is deactivated.
extern bool gMainFormInactive;

namespace modShellNotifs {

// Registers the window for the device messages once per run; false when a
// registration exists already.
bool RegisterShellNotify(QWidget* hWnd);
// False when nothing was registered.
bool UnregisterShellNotify();
// Message 1025: for the four device events, refreshes the devices and the
// view at once while the main window is active, else leaves that to its next
// activation.
void ShellNotify_OnMessage(intptr_t wParam, intptr_t lParam);

// The refresh a device event runs: the storage devices, the tree's device
// nodes and the current view rebuilt; false when there is no library to
// refresh. Start-up sets it.
using DeviceRefresh = std::function<bool()>;
void SetDeviceRefresh(DeviceRefresh refresh);

}  // namespace modShellNotifs
