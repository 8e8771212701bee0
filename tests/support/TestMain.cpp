// main() of every test binary: a QApplication on the offscreen platform with a
// 1920x1080 screen at 96 DPI and the tests' own fonts, then GoogleTest, each
// test under a time limit.
#include "tests/support/QtTestPlatform.h"
#include "tests/support/TestFonts.h"
#include "tests/support/TestTimeLimit.h"

#include <QApplication>

#include <fontconfig/fontconfig.h>
#include <gmock/gmock.h>

int main(int argc, char** argv) {
  rwtest::PrepareTestFonts();
  rwtest::PrepareQtPlatform();
  QApplication app(argc, argv);
  // Tests give each case a home of its own through setenv, which is not safe
  // beside a getenv on another thread. Pango reads fontconfig's configuration
  // (and with it the environment) on a thread of its own the first time a
  // font map is made; loaded here first, that thread finds it loaded.
  FcInit();
  ::testing::InitGoogleMock(&argc, argv);
  // Owned by GoogleTest's list of listeners, which ends with the process.
  ::testing::UnitTest::GetInstance()->listeners().Append(new rwtest::TestTimeLimit);
  return RUN_ALL_TESTS();
}
