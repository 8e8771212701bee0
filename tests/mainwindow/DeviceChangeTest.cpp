// A mount change the running program's watcher sees (on the test's own mount
// table) reaches the main window as message 1025 and refreshes the view.
#include "core/modShellNotifs.h"
#include "library/clsRWLibrary.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/EventLoopWaits.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

class DeviceChangeTest : public rwtest::RunningProgramTest {};

TEST_F(DeviceChangeTest, AMountSeenByTheWatcherRefreshesTheView) {
  // The window's activation comes later than its show; the test starts after it.
  ASSERT_TRUE(QTest::qWaitForWindowActive(gMainForm));
  gDeviceChangePending = false;
  gMainForm->Results().cmbBrowserHistory->ComboItems.Add(0, QString(), QStringLiteral("a view to refresh"));
  gLibrary->ResultCount = 4;  // the refresh fetches the (empty) results again
  rwtest::FakeDisk stick;
  stick.device = QStringLiteral("/dev/sdc1");
  stick.removable = true;
  System().MountDisk(System().MountPoint(QStringLiteral("stick")), QStringLiteral("vfat"), stick);
  System().Write();
  ASSERT_TRUE(modShellNotifs::RecheckDevices()) << "the main window registered at start";
  EXPECT_TRUE(QTest::qWaitFor([] { return gLibrary->ResultCount == 0; }, rwtest::kWaitCeilingMs));
  EXPECT_FALSE(gDeviceChangePending);
}

}  // namespace
