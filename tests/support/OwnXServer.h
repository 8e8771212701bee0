#pragma once
// An X server of the test's own (Xvfb), for what only a real window system
// shows. A test's first line RW_ON_OWN_X_SERVER("what is not tried on X where
// Xvfb is missing") runs the test again in a child process on such a server,
// through Qt's X platform, and takes its outcome; the child goes on past it.
#include "tests/support/ChildRun.h"

// As RW_RUN_IN_OWN_MOUNT_NAMESPACE, a statement that returns from the test
// in the run ctest started.
#define RW_ON_OWN_X_SERVER(untried)           \
  do {                                        \
    if (!::rwtest::InChildRun()) {            \
      ::rwtest::RunOnOwnXServer(untried);     \
      return;                                 \
    }                                         \
  } while (0)

namespace rwtest {

// Skips the test where Xvfb is not installed.
void RunOnOwnXServer(const char* untried);

}  // namespace rwtest
