#pragma once
// An X server of the test's own (Xvfb), for what only a real window system
// shows; its display number is the one it chose and wrote on its standard
// output. A test runs itself again in a child process on it:
//
//   if (!rwtest::InChildRun()) {
//     if (!rwtest::OwnXServer::Installed()) GTEST_SKIP() << "...";
//     rwtest::OwnXServer().RunChild();
//     return;
//   }
#include <QProcess>
#include <QString>

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
