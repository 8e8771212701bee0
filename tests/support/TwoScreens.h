#pragma once
// Tests that need other screens than the 1920 x 1080 one: the offscreen
// platform adds a second one of 1280 x 1024 at the first's right when
// RW_TEST_SCREENS is 2 at start-up, and gives the first the size
// RW_TEST_SCREEN_SIZE names.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QList>
#include <QPair>
#include <QScreen>
#include <QSize>

#include <gtest/gtest.h>

namespace rwtest {

// Runs the current test again in a child process with `variables` added to
// its environment, on the offscreen platform, and expects it to pass.
inline void RunTestAgainWith(const QList<QPair<QString, QString>>& variables) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  for (const auto& [name, value] : variables) {
    if (!value.isEmpty()) environment.insert(name, value);
  }
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=%1.%2")
                   .arg(QLatin1String(test->test_suite_name()), QLatin1String(test->name()))});
  const bool finished = child.waitForFinished(60000);
  const QString output = QString::fromLocal8Bit(child.readAll());
  EXPECT_TRUE(finished && child.exitCode() == 0 && output.contains(QLatin1String("[  PASSED  ] 1 test")))
      << output.toStdString();
}

inline bool OffscreenForAChild() {
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) return true;
  ADD_FAILURE() << "needs the offscreen platform to choose its screens";
  return false;
}

// Runs the current test again in a child process with two offscreen screens;
// true when this process already has them and the test should go on here.
inline bool OnTwoScreens() {
  if (QGuiApplication::screens().size() >= 2) return true;
  if (OffscreenForAChild()) RunTestAgainWith({{QStringLiteral("RW_TEST_SCREENS"), QStringLiteral("2")}});
  return false;
}

// Runs the current test again in a child process whose primary screen has
// `pixels` and whose windows are scaled by `scale` (QT_SCALE_FACTOR; "" for
// none); true when this process is that child.
inline QString ScreenSizeName(const QSize& pixels) {
  return QStringLiteral("%1x%2").arg(pixels.width()).arg(pixels.height());
}
// Whether this process is a child with that screen and scale.
inline bool IsPrimaryScreenOf(const QSize& pixels, const QString& scale = QString()) {
  return qEnvironmentVariable("RW_TEST_SCREEN_SIZE") == ScreenSizeName(pixels) &&
         qEnvironmentVariable("QT_SCALE_FACTOR") == scale;
}
inline bool OnPrimaryScreenOf(const QSize& pixels, const QString& scale = QString()) {
  const QString size = ScreenSizeName(pixels);
  if (IsPrimaryScreenOf(pixels, scale)) return true;
  if (OffscreenForAChild()) {
    RunTestAgainWith({{QStringLiteral("RW_TEST_SCREEN_SIZE"), size}, {QStringLiteral("QT_SCALE_FACTOR"), scale}});
  }
  return false;
}

}  // namespace rwtest
