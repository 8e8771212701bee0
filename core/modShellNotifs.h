#pragma once
// Changes of the storage devices while the program runs (media inserted or
// removed, drives added or removed) reach the main window as message 1025.
// The registration watches the mount table (MountWatcher); a burst of mount
// changes is posted to the registered window as one message, whose lParam is
// the event of the burst's first change.
#include <QString>
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

// Registers the window for the device messages once per run and starts
// watching the mounts; false when a registration exists already or the mount
// table cannot be watched.
bool RegisterShellNotify(QWidget* hWnd);
// Stops watching; false when nothing was registered.
bool UnregisterShellNotify();
// Reads the mount table again now, as a change reported by the system
// would; false when nothing is registered.
bool RecheckDevices();
// Message 1025: for the four device events, refreshes the devices and the
// view at once while the main window is active; while another window is (the
// full-screen player), stops playback and leaves the refresh to the main
// window's next activation.
void ShellNotify_OnMessage(intptr_t wParam, intptr_t lParam);

// The layers above this one are reached through these; start-up sets them.
// The refresh a device event runs: the storage devices, the tree's device
// nodes and the current view rebuilt; false when there is no library to
// refresh.
using DeviceRefresh = std::function<bool()>;
void SetDeviceRefresh(DeviceRefresh refresh);
// Posts a window message through the window-message service.
using MessagePoster = std::function<void(QWidget* hWnd, int32_t message, intptr_t wParam, intptr_t lParam)>;
void SetMessagePoster(MessagePoster poster);
// Sends a command to the full-screen player.
using PlayerCommand = std::function<void(const QString& command)>;
void SetPlayerCommand(PlayerCommand command);

}  // namespace modShellNotifs
