// A mount change the running program's watcher sees reaches the main window
// as message 1025 and refreshes the view.
#include "core/modShellNotifs.h"
#include "library/clsRWLibrary.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/FakeSystemRoot.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

class DeviceChangeTest : public rwtest::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_TRUE(Start());
    // Its activation comes later than the show; the tests start after it.
    ASSERT_TRUE(QTest::qWaitForWindowActive(gMainForm));
    gDeviceChangePending = false;
    gMainFormInactive = false;
  }

  // Made before the program starts, so that its watcher reads this table.
  rwtest::FakeSystemRoot root;
};

TEST_F(DeviceChangeTest, AMountSeenByTheWatcherRefreshesTheView) {
  gMainForm->Browser().cmbBrowserHistory->ComboItems.Add(0, QString(), QStringLiteral("a view to refresh"));
  gLibrary->ResultCount = 4;  // the refresh fetches the (empty) results again
  rwtest::FakeDisk stick;
  stick.device = QStringLiteral("/dev/sdc1");
  stick.removable = true;
  root.MountDisk(root.MountPoint(QStringLiteral("stick")), QStringLiteral("vfat"), stick);
  root.Write();
  ASSERT_TRUE(modShellNotifs::RecheckDevices()) << "the main window registered at start";
  EXPECT_TRUE(QTest::qWaitFor([] { return gLibrary->ResultCount == 0; }, 2000));
  EXPECT_FALSE(gDeviceChangePending);
}

}  // namespace
