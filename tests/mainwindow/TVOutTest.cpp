// TV-Out mode (the carousel over the whole maximised window, the theme, the
// pointer hidden, the view commands disabled) and full-screen mode, in the
// running program: F10 and F11 typed where the focus is give the browser the
// keys, and leaving either gives back the window and the splitter.
#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/CarouselPane.h"
#include "inspector/InspectorPane.h"
#include "carousel/cCarousel.h"
#include "carousel/ucCanvas.h"
#include "platform/ShowCursor.h"
#include "tests/mainwindow/CommandRun.h"
#include "ui/cWindowMgr.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

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
  EXPECT_FALSE(Form().Tree().tvwLibrary->Visible());
  SavePicture("");

  Send("mnuTV-Out");
  EXPECT_FALSE(gTVOutMode);
  EXPECT_EQ(CanvasParent(), Form().Results().picFlexFrame);
  for (const char* key : kViewItems) EXPECT_TRUE(Menu().Enabled(Item(key))) << key;
  EXPECT_EQ(gCarousel->ColourScheme(), 0);
  EXPECT_EQ(Other("TV-Out Theme").ToLong(0), 5) << "read, never written";
  EXPECT_EQ(CursorDisplayCount(), 0);
  EXPECT_FALSE(PointerBlank());
  EXPECT_EQ(gBrowserMode, 3) << "the browser stays in the carousel";
  EXPECT_TRUE(Form().Tree().tvwLibrary->Visible());
  EXPECT_NE(gWindowMgr->WindowState(), 2);
}

TEST_F(TVOutTest, WithNoResultsTheCounterShowsNoneOfNone) {
  // The browser was left at the third of an earlier set of results.
  FakeResults(5);
  gBrowserIndex = 3;
  FakeResults(0);
  Send("mnuTV-Out");
  ASSERT_TRUE(gTVOutMode);
  EXPECT_EQ(gCarousel->CounterText(), QStringLiteral("0 of 0"));
  Send("mnuTV-Out");
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

TEST_F(TVOutTest, FullScreenHidesTheTitleBarAndFillsTheScreenFromEitherState) {
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

  // A window the window manager maximised stays maximised, and comes back so.
  gWindowMgr->MaximiseWindow();
  const QRect maximised = Form().geometry();
  ASSERT_NE(maximised, library);
  Send("mnuViewFullScreen");
  EXPECT_FALSE(Form().picWindowHeader->Visible());
  EXPECT_EQ(gWindowMgr->WindowState(), 2);
  EXPECT_EQ(Form().geometry(), maximised);
  Send("mnuViewFullScreen");
  EXPECT_TRUE(Form().picWindowHeader->Visible());
  EXPECT_EQ(gWindowMgr->WindowState(), 2);
  EXPECT_EQ(Form().geometry(), maximised);
}

// ---- Keys and the way back, as the user goes ----

// F10 and F11 are pressed where the focus is; the window and the splitter
// (the tree pane's width) the user left come back when the mode is left.
class TVOutRoundTripTest : public TVOutTest {
 protected:
  void SetUp() override {
    TVOutTest::SetUp();
    QApplication::setActiveWindow(gMainForm);
  }
  static void Press(Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : gMainForm.data(), key);
  }
  // The focus put in a control that stays shown under the carousel.
  static void FocusTheSegments() {
    QWidget* segments = Form().Inspector().flexSegments;
    segments->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == segments; }, 5000));
  }
  static double TreeWidth() { return Form().Tree().picLeft->Width(); }
  // The tree pane dragged to `width`, as the splitter leaves it.
  static void DragTreeTo(double width) {
    Form().Tree().picLeft->SetWidth(width);
    Form().LayoutPanes();
  }
  static QRect MaximisedRect() { return QGuiApplication::primaryScreen()->availableGeometry(); }

  // The window as the user leaves it: maximised or normal, the tree pane
  // dragged away from where a resize puts it.
  struct LeftWindow {
    int32_t state;
    QRect geometry;
    double tree;
  };
  static LeftWindow LeaveWindow(bool maximised) {
    maximised ? gWindowMgr->MaximiseWindow() : gWindowMgr->RestoreWindow();
    DragTreeTo(maximised ? 900 : 600);
    EXPECT_NE(TreeWidth(), Form().width() / 4.0) << "not where a resize puts the splitter";
    return {gWindowMgr->WindowState(), Form().frameGeometry(), TreeWidth()};
  }
  static void ExpectBackTo(const LeftWindow& left) {
    EXPECT_EQ(gWindowMgr->WindowState(), left.state);
    EXPECT_EQ(Form().frameGeometry(), left.geometry);
    EXPECT_EQ(TreeWidth(), left.tree);
  }
};

TEST_F(TVOutRoundTripTest, EnteringTVOutGivesTheCarouselTheKeysAtOnce) {
  ASSERT_NO_FATAL_FAILURE(FocusTheSegments());
  Press(Qt::Key_F10);
  ASSERT_TRUE(gTVOutMode);
  EXPECT_EQ(QApplication::focusWidget(), Form().Carousel().ucCarouselCanvas);
  const QString menu = gCarousel->MenuMode();
  Press(Qt::Key_Up);
  EXPECT_NE(gCarousel->MenuMode(), menu) << "Up opened the carousel's menu";
  Press(Qt::Key_Escape);
  Press(Qt::Key_F10);
  EXPECT_FALSE(gTVOutMode);

  // Again from the carousel view, where the canvas only moves.
  ASSERT_EQ(gBrowserMode, 3);
  ASSERT_NO_FATAL_FAILURE(FocusTheSegments());
  Press(Qt::Key_F10);
  ASSERT_TRUE(gTVOutMode);
  EXPECT_EQ(QApplication::focusWidget(), Form().Carousel().ucCarouselCanvas);
  Press(Qt::Key_F10);
}

TEST_F(TVOutRoundTripTest, EnteringFullScreenGivesTheBrowserTheKeys) {
  Send("mnuViewCarousel");
  ASSERT_NO_FATAL_FAILURE(FocusTheSegments());
  Press(Qt::Key_F11);
  ASSERT_FALSE(Form().picWindowHeader->Visible());
  EXPECT_EQ(QApplication::focusWidget(), Form().Carousel().ucCarouselCanvas);
  Press(Qt::Key_F11);
  EXPECT_TRUE(Form().picWindowHeader->Visible());
}

TEST_F(TVOutRoundTripTest, TVOutGoesBackToTheWindowAndTheSplitterItLeft) {
  for (const bool maximised : {true, false}) {
    SCOPED_TRACE(maximised ? "maximised" : "normal");
    const LeftWindow left = LeaveWindow(maximised);
    Press(Qt::Key_F10);
    ASSERT_TRUE(gTVOutMode);
    Press(Qt::Key_F10);
    ASSERT_FALSE(gTVOutMode);
    ExpectBackTo(left);
  }
}

TEST_F(TVOutRoundTripTest, FullScreenGoesBackToTheWindowAndTheSplitterItLeft) {
  for (const bool maximised : {true, false}) {
    SCOPED_TRACE(maximised ? "maximised" : "normal");
    const LeftWindow left = LeaveWindow(maximised);
    Press(Qt::Key_F11);
    ASSERT_FALSE(Form().picWindowHeader->Visible());
    EXPECT_EQ(gWindowMgr->WindowState(), 2) << "full screen fills the screen from either state";
    EXPECT_EQ(Form().frameGeometry(), MaximisedRect());
    Press(Qt::Key_F11);
    ASSERT_TRUE(Form().picWindowHeader->Visible());
    ExpectBackTo(left);
  }

  // TV-Out entered from full screen leaves both, back to the window before.
  const LeftWindow left = LeaveWindow(true);
  Press(Qt::Key_F11);
  Press(Qt::Key_F10);
  ASSERT_TRUE(gTVOutMode);
  Press(Qt::Key_F10);
  EXPECT_TRUE(Form().picWindowHeader->Visible());
  ExpectBackTo(left);
  EXPECT_EQ(Form().frameGeometry(), MaximisedRect());
}

}  // namespace
