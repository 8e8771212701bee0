#include "tests/support/OwnXServer.h"

#include "tests/support/EventLoopWaits.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace rwtest {

void RunOnOwnXServer(const char* untried) {
  const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
  if (program.isEmpty()) GTEST_SKIP() << "Xvfb is not installed: " << untried;
  // The server writes the display number it chose on its standard output.
  QProcess server;
  server.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                         QStringLiteral("tcp"), QStringLiteral("-br"), QStringLiteral("-screen"), QStringLiteral("0"),
                         QStringLiteral("1280x720x24")});
  const QDeadlineTimer deadline(kWaitCeilingMs);
  while (!server.canReadLine() && server.state() != QProcess::NotRunning && !deadline.hasExpired()) {
    server.waitForReadyRead(1000);
  }
  if (server.canReadLine()) {
    ChildRun child;
    child.Set("QT_QPA_PLATFORM", QStringLiteral("xcb"));
    child.Set("DISPLAY", QLatin1Char(':') + QString::fromLatin1(server.readLine().trimmed()));
    if (child.Start()) child.Finish();
  } else {
    ADD_FAILURE() << "Xvfb did not start";
  }
  server.terminate();
  if (!server.waitForFinished(10000)) server.kill();
}

}  // namespace rwtest
