// Device changes: the registration's watcher posts message 1025 with the
// event of a burst's first mount change, and the message refreshes the
// devices or, while another window is active, stops the full-screen player.
#include "core/modShellNotifs.h"
#include "platform/MountTable.h"
#include "platform/MountWatcher.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/FakeSystemRoot.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Posted {
  QWidget* window;
  int32_t message;
  intptr_t wParam;
  intptr_t lParam;
};

rwtest::FakeDisk Disk(const char* device, unsigned minor, bool removable) {
  rwtest::FakeDisk disk;
  disk.device = QLatin1String(device);
  disk.minor = minor;
  disk.removable = removable;
  return disk;
}

class ShellNotifsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gDeviceChangePending = false;
    gMainFormInactive = false;
    modShellNotifs::SetMessagePoster([this](QWidget* window, int32_t message, intptr_t wParam, intptr_t lParam) {
      posted.push_back({window, message, wParam, lParam});
    });
    modShellNotifs::SetDeviceRefresh([this] {
      ++refreshes;
      return refreshSucceeds;
    });
    modShellNotifs::SetPlayerCommand([this](const QString& command) { playerCommands << command; });
  }

  void TearDown() override {
    modShellNotifs::UnregisterShellNotify();
    modShellNotifs::SetMessagePoster(nullptr);
    modShellNotifs::SetDeviceRefresh(nullptr);
    modShellNotifs::SetPlayerCommand(nullptr);
    gDeviceChangePending = false;
    gMainFormInactive = false;
  }

  // Writes the table, has the watcher read it and waits out the burst; the
  // events posted meanwhile.
  std::vector<intptr_t> Change() {
    root.Write();
    EXPECT_TRUE(modShellNotifs::RecheckDevices());
    rwtest::RunTimersDueWithin(MountWatcher::kBurstMilliseconds);
    std::vector<intptr_t> events;
    for (const Posted& message : posted) {
      EXPECT_EQ(message.window, &window);
      EXPECT_EQ(message.message, kShellNotifyMessage);
      EXPECT_EQ(message.wParam, 0);
      events.push_back(message.lParam);
    }
    posted.clear();
    return events;
  }

  rwtest::FakeSystemRoot root;
  QWidget window;
  std::vector<Posted> posted;
  int refreshes = 0;
  bool refreshSucceeds = true;
  QStringList playerCommands;
};

TEST_F(ShellNotifsTest, TheWindowIsRegisteredOnceUntilItUnregisters) {
  EXPECT_FALSE(modShellNotifs::UnregisterShellNotify());
  EXPECT_FALSE(modShellNotifs::RecheckDevices());
  EXPECT_FALSE(modShellNotifs::RegisterShellNotify(nullptr));
  EXPECT_TRUE(modShellNotifs::RegisterShellNotify(&window));
  EXPECT_FALSE(modShellNotifs::RegisterShellNotify(&window));
  QWidget other;
  EXPECT_FALSE(modShellNotifs::RegisterShellNotify(&other));
  EXPECT_TRUE(modShellNotifs::UnregisterShellNotify());
  EXPECT_FALSE(modShellNotifs::UnregisterShellNotify());
  EXPECT_FALSE(modShellNotifs::RecheckDevices()) << "nothing watched any more";

  // A mount table that cannot be read registers nothing, silently.
  QTemporaryDir empty;
  MountTable::SetSystemRoot(empty.path());
  EXPECT_FALSE(modShellNotifs::RegisterShellNotify(&window));
  EXPECT_FALSE(modShellNotifs::UnregisterShellNotify());
}

TEST_F(ShellNotifsTest, DrivesAndMediaArePostedWithTheirEvents) {
  ASSERT_TRUE(modShellNotifs::RegisterShellNotify(&window));
  const QString data = root.MountPoint("data");
  const QString stick = root.MountPoint("stick");
  root.MountDisk(data, "ext4", Disk("/dev/sda2", 2, false));
  EXPECT_EQ(Change(), std::vector<intptr_t>({SHCNE_DRIVEADD}));
  root.Unmount(data);
  EXPECT_EQ(Change(), std::vector<intptr_t>({SHCNE_DRIVEREMOVED}));
  root.MountDisk(stick, "vfat", Disk("/dev/sdc1", 33, true));
  EXPECT_EQ(Change(), std::vector<intptr_t>({SHCNE_MEDIAINSERTED}));
  root.Unmount(stick);
  EXPECT_EQ(Change(), std::vector<intptr_t>({SHCNE_MEDIAREMOVED}));
  EXPECT_EQ(Change(), std::vector<intptr_t>()) << "an unchanged table posts nothing";
}

TEST_F(ShellNotifsTest, ABurstOfChangesIsOneMessageWithTheFirstChangesEvent) {
  ASSERT_TRUE(modShellNotifs::RegisterShellNotify(&window));
  root.MountDisk(root.MountPoint("stick"), "vfat", Disk("/dev/sdc1", 33, true));
  root.Write();
  ASSERT_TRUE(modShellNotifs::RecheckDevices());
  EXPECT_TRUE(posted.empty()) << "posted only when the burst is over";
  root.MountDisk(root.MountPoint("data"), "ext4", Disk("/dev/sda2", 2, false));
  root.Mount(root.MountPoint("share"), "cifs", "//server/films");
  EXPECT_EQ(Change(), std::vector<intptr_t>({SHCNE_MEDIAINSERTED}));
}

TEST_F(ShellNotifsTest, ADeviceEventRefreshesAtOnceOnlyWhileTheMainWindowIsActive) {
  modShellNotifs::ShellNotify_OnMessage(0, SHCNE_DRIVEADD);
  EXPECT_EQ(refreshes, 1);
  EXPECT_FALSE(gDeviceChangePending);
  refreshSucceeds = false;  // no library to refresh: left for later
  modShellNotifs::ShellNotify_OnMessage(0, SHCNE_MEDIAREMOVED);
  EXPECT_TRUE(gDeviceChangePending);
  EXPECT_TRUE(playerCommands.isEmpty());

  gMainFormInactive = true;  // the full-screen player is in front
  refreshSucceeds = true;
  gDeviceChangePending = false;
  modShellNotifs::ShellNotify_OnMessage(0, SHCNE_MEDIAINSERTED);
  EXPECT_EQ(playerCommands, QStringList({"KillPlayback"}));
  EXPECT_EQ(refreshes, 2);
  EXPECT_TRUE(gDeviceChangePending) << "left to the main window's activation";
}

TEST_F(ShellNotifsTest, OtherShellEventsDoNothing) {
  for (const bool inactive : {false, true}) {
    gMainFormInactive = inactive;
    for (const intptr_t event : {0x0, 0x1, 0x2, 0x8, 0x10, 0x200, 0x120}) {
      modShellNotifs::ShellNotify_OnMessage(0, event);
    }
  }
  EXPECT_EQ(refreshes, 0);
  EXPECT_TRUE(playerCommands.isEmpty());
  EXPECT_FALSE(gDeviceChangePending);
}

}  // namespace
