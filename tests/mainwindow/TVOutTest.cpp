// TV-Out mode (the carousel over the whole maximised window, the theme, the
// pointer hidden, the view commands disabled) and full-screen mode, in the
// running program.
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "carousel/ucCanvas.h"
#include "platform/ShowCursor.h"
#include "tests/mainwindow/CommandRun.h"
#include "ui/cWindowMgr.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

using rwtest::CommandTest;

constexpr const char* kViewItems[] = {"mnuViewFullScreen", "mnuViewInspector", "mnuViewTile", "mnuViewList"};
constexpr const char* kHeaderItems[] = {"mnuLibraryHeader", "mnuBrowserHeader", "mnuToolsHeader", "mnuViewHeader",
                                        "mnuHelpHeader"};

// With RW_SCREENSHOT set, the window as it is now is saved there.
void SavePicture(const char* suffix) {
  if (qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) return;
  QApplication::processEvents();
  QString path = qEnvironmentVariable("RW_SCREENSHOT");
  path.insert(path.lastIndexOf(QLatin1Char('.')), QLatin1String(suffix));
  gMainForm->grab().save(path, "PNG");
}

class TVOutTest : public CommandTest {
 protected:
  void TearDown() override {
    while (CursorDisplayCount() < 0) ShowCursor(true);
    CommandTest::TearDown();
  }
  static QWidget* CanvasParent() { return Form().Carousel().ucCarouselCanvas->parentWidget(); }
  static bool PointerBlank() {
    return QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::BlankCursor;
  }
  static bool HeaderItemsVisible(bool visible) {
    for (const char* key : kHeaderItems) {
      if (Menu().Visible(Item(key)) != visible) return false;
    }
    return true;
  }
};

TEST_F(TVOutTest, EnteringAndLeavingMoveTheCarouselAndSetTheMenusPointerAndTheme) {
  SetOther("TV-Out Theme", 5);
  Send("mnuTV-Out");
  EXPECT_TRUE(gTVOutMode);
  EXPECT_EQ(CanvasParent(), &Form());
  EXPECT_EQ(gBrowserMode, 3);
  for (const char* key : kViewItems) EXPECT_FALSE(Menu().Enabled(Item(key))) << key;
  EXPECT_EQ(gCarousel->ColourScheme(), 5);
  EXPECT_EQ(CursorDisplayCount(), -1);
  EXPECT_TRUE(PointerBlank());
  EXPECT_EQ(gWindowMgr->WindowState(), 2);
  const QRect screen = Form().screen()->geometry();
  EXPECT_EQ(Form().geometry().height(), screen.height()) << "TV-Out takes the screen's full height";
  EXPECT_EQ(Form().Carousel().ucCarouselCanvas->geometry(), Form().rect());
  EXPECT_FALSE(Form().Browser().tvwLibrary->Visible());
  SavePicture("");

  Send("mnuTV-Out");
  EXPECT_FALSE(gTVOutMode);
  EXPECT_EQ(CanvasParent(), Form().Browser().picFlexFrame);
  for (const char* key : kViewItems) EXPECT_TRUE(Menu().Enabled(Item(key))) << key;
  EXPECT_EQ(gCarousel->ColourScheme(), 0);
  EXPECT_EQ(Other("TV-Out Theme").ToLong(0), 5) << "read, never written";
  EXPECT_EQ(CursorDisplayCount(), 0);
  EXPECT_FALSE(PointerBlank());
  EXPECT_EQ(gBrowserMode, 3) << "the browser stays in the carousel";
  EXPECT_TRUE(Form().Browser().tvwLibrary->Visible());
  EXPECT_NE(gWindowMgr->WindowState(), 2);
}

TEST_F(TVOutTest, APointerHiddenAlreadyIsHiddenOnceMoreAndShownAsOftenAsNeeded) {
  ASSERT_EQ(ShowCursor(false), -1);
  Send("mnuTV-Out");
  EXPECT_EQ(CursorDisplayCount(), -2);
  ShowCursor(false);
  ShowCursor(false);
  Send("mnuTV-Out");
  EXPECT_EQ(CursorDisplayCount(), 0);
  EXPECT_FALSE(PointerBlank());
}

TEST_F(TVOutTest, LeavingShowsTheTitleBarAfterFullScreen) {
  Send("mnuViewFullScreen");
  ASSERT_FALSE(Form().picWindowHeader->Visible());
  Send("mnuTV-Out");
  Send("mnuTV-Out");
  EXPECT_TRUE(Form().picWindowHeader->Visible());
  EXPECT_EQ(Form().picHolder->Top(), 25);
  EXPECT_TRUE(HeaderItemsVisible(false));
}

TEST_F(TVOutTest, CompactModeGoesBackToLibraryModeFirst) {
  Form().SetWindowMode(QStringLiteral("COMPACT"));
  ASSERT_EQ(gWindowMode, 2);
  Send("mnuTV-Out");
  EXPECT_EQ(gWindowMode, 1);
  EXPECT_TRUE(gTVOutMode);
  Send("mnuTV-Out");
}

TEST_F(TVOutTest, FullScreenHidesTheTitleBarAndSwapsTheWindowState) {
  // A normal window is maximised, and F11 again restores it.
  gWindowMgr->RestoreWindow();
  const QRect library = Form().geometry();
  Send("mnuViewFullScreen");
  EXPECT_FALSE(Form().picWindowHeader->Visible());
  EXPECT_EQ(Form().picHolder->Top(), 0);
  EXPECT_TRUE(HeaderItemsVisible(true));
  EXPECT_EQ(gWindowMgr->WindowState(), 2);
  SavePicture("");
  Send("mnuViewFullScreen");
  EXPECT_TRUE(Form().picWindowHeader->Visible());
  EXPECT_EQ(Form().picHolder->Top(), 25);
  EXPECT_TRUE(HeaderItemsVisible(false));
  EXPECT_EQ(gWindowMgr->WindowState(), 0);
  EXPECT_EQ(Form().geometry(), library);

  // A window the window manager maximised is restored to its library rectangle.
  gWindowMgr->MaximiseWindow();
  Send("mnuViewFullScreen");
  EXPECT_FALSE(Form().picWindowHeader->Visible());
  EXPECT_EQ(gWindowMgr->WindowState(), 0);
  EXPECT_EQ(Form().geometry(), library);
  Send("mnuViewFullScreen");
  EXPECT_TRUE(Form().picWindowHeader->Visible());
}

}  // namespace
