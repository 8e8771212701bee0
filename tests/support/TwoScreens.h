#pragma once
// Tests that need two screens: the offscreen platform adds a second one of
// 1280 x 1024 at x 1920 when RW_TEST_SCREENS is 2 at start-up.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>

#include <gtest/gtest.h>

namespace rwtest {

// Runs the current test again in a child process with two offscreen screens;
// true when this process already has them and the test should go on here.
inline bool OnTwoScreens() {
  if (QGuiApplication::screens().size() >= 2) return true;
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    ADD_FAILURE() << "needs the offscreen platform to add a second screen";
    return false;
  }
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("RW_TEST_SCREENS"), QStringLiteral("2"));
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=%1.%2")
                   .arg(QLatin1String(test->test_suite_name()), QLatin1String(test->name()))});
  const bool finished = child.waitForFinished(60000);
  const QString output = QString::fromLocal8Bit(child.readAll());
  EXPECT_TRUE(finished && child.exitCode() == 0 && output.contains(QLatin1String("[  PASSED  ] 1 test")))
      << output.toStdString();
  return false;
}

}  // namespace rwtest
