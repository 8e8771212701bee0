#pragma once
// Chooses the Qt platform for tests before the QApplication exists.
namespace rwtest {

// Unless QT_QPA_PLATFORM names another platform, tests run on "offscreen" with
// a configuration file that gives a 1920x1080 primary screen at 96 DPI (Qt's
// own offscreen screen is 800x600). RW_TEST_SCREENS=2 adds a second screen of
// 1280x1024 to the right of the first; RW_TEST_SCREEN_SIZE=WxH gives the
// primary screen another size.
void PrepareQtPlatform();

}  // namespace rwtest
