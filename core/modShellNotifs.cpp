#include "core/modShellNotifs.h"

#include "core/modReelwise.h"

#include "platform/InputGate.h"
#include "platform/MountWatcher.h"

#include <QCoreApplication>
#include <QPointer>

#include <memory>

bool gDeviceChangePending = false;
bool gMainFormInactive = false;

namespace {

QPointer<QWidget> gShellNotifyWindow;
// Owned by the application object as well, so that a run that never
// unregisters does not leave it to outlive the event loop.
QPointer<MountWatcher> gMountWatcher;
modShellNotifs::DeviceRefresh gDeviceRefresh;
modShellNotifs::MessagePoster gMessagePoster;
modShellNotifs::PlayerCommand gPlayerCommand;

// A removable or optical device's filesystem is a medium; anything else is a
// drive.
int32_t EventOf(const MountChange& change) {
  const bool medium = change.kind == MountKind::Removable || change.kind == MountKind::Optical;
  if (medium) return change.added ? SHCNE_MEDIAINSERTED : SHCNE_MEDIAREMOVED;
  return change.added ? SHCNE_DRIVEADD : SHCNE_DRIVEREMOVED;
}

void PostDeviceChange(const std::vector<MountChange>& changes) {
  if (changes.empty() || !gShellNotifyWindow || !gMessagePoster) return;
  gMessagePoster(gShellNotifyWindow, kShellNotifyMessage, 0, EventOf(changes.front()));
}

// The device table and tree are rebuilt for the changes not yet taken in.
void RefreshPendingDevices() {
  if (gDeviceChangePending && gDeviceRefresh && gDeviceRefresh()) gDeviceChangePending = false;
}

bool IsDeviceEvent(intptr_t event) {
  return event == SHCNE_MEDIAINSERTED || event == SHCNE_MEDIAREMOVED || event == SHCNE_DRIVEREMOVED ||
         event == SHCNE_DRIVEADD;
}

}  // namespace

namespace modShellNotifs {

bool RegisterShellNotify(QWidget* hWnd) {
  if (gShellNotifyWindow || !hWnd) return false;
  // A window that went without unregistering leaves its watcher behind.
  delete gMountWatcher.data();
  auto watcher = std::make_unique<MountWatcher>(PostDeviceChange);
  if (!watcher->Start()) return false;
  watcher->setParent(QCoreApplication::instance());
  gMountWatcher = watcher.release();
  gShellNotifyWindow = hWnd;
  return true;
}

bool UnregisterShellNotify() {
  if (!gShellNotifyWindow && !gMountWatcher) return false;
  delete gMountWatcher.data();
  gShellNotifyWindow = nullptr;
  return true;
}

bool RecheckDevices() {
  if (!gMountWatcher) return false;
  gMountWatcher->Recheck();
  return true;
}

void ShellNotify_OnMessage(intptr_t, intptr_t lParam) {
  if (!IsDeviceEvent(lParam)) return;
  gDeviceChangePending = true;
  // An add-files run rebuilds the device table once at its end, not under
  // the files it is adding.
  if (gAddingFiles) return;
  if (gMainFormInactive) {
    // The player would go on playing from a disk that may be gone.
    if (gPlayerCommand) gPlayerCommand(QStringLiteral("KillPlayback"));
    return;
  }
  // No rebuild runs inside other work that holds the input gate (a
  // command's wait for the player): it follows once the gate is open.
  if (!InputGate::Admits()) {
    InputGate::WhenOpen(RefreshPendingDevices);
    return;
  }
  RefreshPendingDevices();
}

void SetDeviceRefresh(DeviceRefresh refresh) { gDeviceRefresh = std::move(refresh); }

void SetMessagePoster(MessagePoster poster) { gMessagePoster = std::move(poster); }

void SetPlayerCommand(PlayerCommand command) { gPlayerCommand = std::move(command); }

}  // namespace modShellNotifs
