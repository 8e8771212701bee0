// The full-screen player's commands as the running program's device events
// send them.
#include "core/modShellNotifs.h"
#include "library/clsRWLibrary.h"
#include "player/frmDSSink.h"
#include "tests/app/ProgramRun.h"

#include <gtest/gtest.h>

namespace {

class PlayerDeviceEventTest : public rwtest::RunningProgramTest {};

// The window starts its run at the next turn of the event loop; a device
// event before that closes it at once.
TEST_F(PlayerDeviceEventTest, ADeviceEventWhilePlayingStopsThePlayerAndWaitsForTheMainWindow) {
  frmDSSink player;
  gDSSinkForm = &player;
  player.show();
  gMainFormInactive = true;  // the player has the focus
  gDeviceChangePending = false;
  gLibrary->ResultCount = 4;
  QWidget other;
  other.show();
  modShellNotifs::ShellNotify_OnMessage(0, SHCNE_MEDIAREMOVED);
  EXPECT_FALSE(player.isVisible());
  EXPECT_TRUE(other.isVisible()) << "only the player closes";
  EXPECT_TRUE(gDeviceChangePending);
  EXPECT_EQ(gLibrary->ResultCount, 4) << "no refresh behind the player";
  gMainFormInactive = false;
  gDeviceChangePending = false;
  gDSSinkForm = nullptr;
}

}  // namespace
