#include "tests/support/OwnXServer.h"

#include "tests/support/ChildRun.h"
#include "tests/support/EventLoopWaits.h"

#include <QDeadlineTimer>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace rwtest {

OwnXServer::OwnXServer() {
  const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
  if (program.isEmpty()) return;
  server_.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp"), QStringLiteral("-br"), QStringLiteral("-screen"),
                          QStringLiteral("0"), QStringLiteral("1280x720x24")});
  const QDeadlineTimer deadline(kWaitCeilingMs);
  while (!server_.canReadLine() && server_.state() != QProcess::NotRunning && !deadline.hasExpired()) {
    server_.waitForReadyRead(1000);
  }
  if (server_.canReadLine()) display_ = QLatin1Char(':') + QString::fromLatin1(server_.readLine().trimmed());
}

OwnXServer::~OwnXServer() {
  server_.terminate();
  if (!server_.waitForFinished(10000)) server_.kill();
}

bool OwnXServer::Installed() { return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty(); }

void OwnXServer::RunChild() {
  ASSERT_FALSE(display_.isEmpty()) << "Xvfb did not start";
  ChildRun child;
  child.Set("QT_QPA_PLATFORM", QStringLiteral("xcb"));
  child.Set("DISPLAY", display_);
  if (child.Start()) child.Finish();
}

}  // namespace rwtest
