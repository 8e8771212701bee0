#pragma once
// An X server of the test's own (Xvfb), for what only a real window system
// shows; its display number is the one it chose and wrote on its standard
// output. A test runs itself again in a child process on it, its first
// line RW_ON_OWN_X_SERVER("what is not tried on X where Xvfb is missing").
#include "tests/support/ChildRun.h"

#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

// In the test's own process: runs the test in a child on a server of its
// own and returns (skips it where Xvfb is not installed); in the child, the
// test goes on past it.
#define RW_ON_OWN_X_SERVER(untried)                                                                    \
  if (!rwtest::InChildRun()) {                                                                         \
    if (!rwtest::OwnXServer::Installed()) {                                                            \
      GTEST_SKIP() << "Xvfb is not installed: " << (untried);                                          \
    }                                                                                                   \
    rwtest::OwnXServer().RunChild();                                                                    \
    return;                                                                                             \
  }

namespace rwtest {

class OwnXServer {
 public:
  OwnXServer();
  ~OwnXServer();
  OwnXServer(const OwnXServer&) = delete;
  OwnXServer& operator=(const OwnXServer&) = delete;

  static bool Installed();
  const QString& Display() const { return display_; }
  // Runs the current test in a child process on this server, through Qt's
  // X platform, and waits for its end: its failures fail the test.
  void RunChild();

 private:
  QProcess server_;
  QString display_;
};

}  // namespace rwtest
