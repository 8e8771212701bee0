#pragma once
// An X server of the test's own (Xvfb), for what only a real window system
// shows. A test's first line RW_ON_OWN_X_SERVER("what is not tried on X where
// Xvfb is missing") runs the test again in a child process on such a server,
// through Qt's X platform, and takes its outcome; the child goes on past it.
#include "tests/support/ChildRun.h"

#define RW_ON_OWN_X_SERVER(untried)  \
  if (!rwtest::InChildRun()) {       \
    rwtest::RunOnOwnXServer(untried); \
    return;                          \
  }

namespace rwtest {

// Skips the test where Xvfb is not installed.
void RunOnOwnXServer(const char* untried);

}  // namespace rwtest
