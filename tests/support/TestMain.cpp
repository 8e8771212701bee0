// main() of every test binary: a QApplication on the offscreen platform with a
// 1920x1080 screen at 96 DPI, then GoogleTest.
#include "tests/support/QtTestPlatform.h"

#include <QApplication>

#include <gmock/gmock.h>

int main(int argc, char** argv) {
  rwtest::PrepareQtPlatform();
  QApplication app(argc, argv);
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
