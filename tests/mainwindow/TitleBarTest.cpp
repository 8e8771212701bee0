// The running main window's title bar: the caption drag and double click,
// the control box, the compact player window and the tray icon. With
// RW_SCREENSHOT set, the compact window is saved there as a PNG.
#include "tests/app/ProgramRun.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "inspector/InspectorPane.h"
#include "platform/controls/TimerControl.h"
#include "ui/cWindowMgr.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <functional>
#include <vector>

namespace rwtest {
namespace {

// The window's library rectangle in the tests.
const QRect kLibraryRect(200, 100, 1024, 768);

// Sends a mouse event at a screen point: the window may move under the
// pointer while it is dragged.
void SendMouse(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButton button) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
  QMouseEvent event(type, QPointF(target->mapFromGlobal(global)), QPointF(global), changed, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

// Presses `button` at `from` on the widget, moves by `by` in two steps and lets go.
void Drag(QWidget* target, QPoint from, QPoint by, Qt::MouseButton button = Qt::LeftButton) {
  const QPoint start = target->mapToGlobal(from);
  SendMouse(target, QEvent::MouseButtonPress, start, button);
  SendMouse(target, QEvent::MouseMove, start + by / 2, button);
  SendMouse(target, QEvent::MouseMove, start + by, button);
  SendMouse(target, QEvent::MouseButtonRelease, start + by, button);
}

QRect MaximisedRect() { return QGuiApplication::primaryScreen()->availableGeometry(); }

class TitleBarTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    trayAvailable_ = cWindowMgr::SystemTrayAvailable;
    gWindowMgr->RestoreWindow();
    gMainForm->setGeometry(kLibraryRect);
    gWindowMgr->SetLibraryModeRect();
  }

  void TearDown() override {
    cWindowMgr::SystemTrayAvailable = trayAvailable_;
    gMinimiseToTray = true;
    gTrayIcon.Delete();
    if (gMainForm) gMainForm->showNormal();
    RunningProgramTest::TearDown();
  }

  static frmReelwise& Form() { return *gMainForm; }
  static void ClickControlBox(const char* key) {
    Form().tbControlBox->ButtonClick(Form().tbControlBox->Buttons(QLatin1String(key)));
  }
  static QString ControlBoxImage(const char* key) { return Form().tbControlBox->Buttons(QLatin1String(key)).Image(); }
  // The controls only the library window shows.
  static std::vector<QWidget*> LibraryControls() {
    LibraryTreePane& tree = Form().Tree();
    ResultsPane& results = Form().Results();
    InspectorPane& inspector = Form().Inspector();
    return {inspector.picMediaControl[12], Form().lblCaption, tree.picGrip,   Form().picHolder,
            tree.picLeft,               results.picRight,  inspector.picBottom, results.tbFileBrowser};
  }
  static int ShownLibraryControls() {
    int shown = 0;
    for (QWidget* control : LibraryControls()) shown += control->isHidden() ? 0 : 1;
    return shown;
  }

 private:
  std::function<bool()> trayAvailable_;
};

TEST_F(TitleBarTest, CaptionDragMovesTheWindowWithTheLeftButtonOnly) {
  Drag(Form().picCaption, QPoint(300, 12), QPoint(40, 30));
  EXPECT_EQ(Form().pos(), QPoint(240, 130));
  Drag(Form().lblCaption, QPoint(5, 5), QPoint(-20, -10));
  EXPECT_EQ(Form().pos(), QPoint(220, 120)) << "the caption's label moves it too";

  for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    Drag(Form().picCaption, QPoint(300, 12), QPoint(40, 30), button);
    EXPECT_EQ(Form().pos(), QPoint(220, 120)) << "button " << button;
  }
  Drag(Form().picCaption, QPoint(300, 12), QPoint(3, 2));
  EXPECT_EQ(Form().pos(), QPoint(220, 120)) << "within the drag distance nothing moves";

  gWindowMgr->MaximiseWindow();
  Drag(Form().picCaption, QPoint(300, 12), QPoint(40, 30));
  EXPECT_EQ(Form().frameGeometry(), MaximisedRect()) << "a maximised window stays";
}

// Once the pointer has gone the drag distance the window follows it, the
// pressed spot under it, at every step: it is not left that distance behind
// (as a move the window system took over there would be, even where it
// could).
TEST_F(TitleBarTest, ACaptionDragKeepsThePressedSpotUnderThePointer) {
  int systemMoves = 0;
  const auto systemSize = cWindowMgr::SystemSize;
  const auto restore = qScopeGuard([&] { cWindowMgr::SystemSize = systemSize; });
  cWindowMgr::SystemSize = [&](QWindow&, Qt::Edges edges) {
    systemMoves += edges ? 0 : 1;
    return true;
  };
  QWidget* caption = Form().picCaption;
  const QPoint press = caption->mapToGlobal(QPoint(300, 12));
  const QPoint pressedSpot = Form().mapFromGlobal(press);
  SendMouse(caption, QEvent::MouseButtonPress, press, Qt::LeftButton);
  SendMouse(caption, QEvent::MouseMove, press + QPoint(4, 3), Qt::LeftButton);
  EXPECT_EQ(Form().pos(), kLibraryRect.topLeft()) << "within the drag distance";
  for (const QPoint by : {QPoint(12, 9), QPoint(40, 30), QPoint(-25, 60)}) {
    SendMouse(caption, QEvent::MouseMove, press + by, Qt::LeftButton);
    EXPECT_EQ(Form().pos(), kLibraryRect.topLeft() + by);
    EXPECT_EQ(Form().mapFromGlobal(press + by), pressedSpot) << "the pressed spot is under the pointer";
  }
  SendMouse(caption, QEvent::MouseButtonRelease, press + QPoint(-25, 60), Qt::LeftButton);
  EXPECT_EQ(systemMoves, 0);
}

TEST_F(TitleBarTest, DoubleClickAndRestoreAlternateMaximisedAndRestored) {
  // The window system knows the window as maximised, so that its own
  // window menu (Alt+Space on many desktops) offers "Restore".
  const auto maximisedThere = [] { return Form().windowHandle()->windowStates().testFlag(Qt::WindowMaximized); };
  QTest::mouseDClick(Form().picCaption, Qt::LeftButton, {}, QPoint(300, 12));
  EXPECT_EQ(Form().frameGeometry(), MaximisedRect());
  EXPECT_EQ(gWindowMgr->WindowState(), 2);
  EXPECT_EQ(ControlBoxImage("RESTORE"), QStringLiteral("RESTORE"));
  EXPECT_TRUE(maximisedThere());

  ClickControlBox("RESTORE");
  EXPECT_EQ(Form().frameGeometry(), kLibraryRect);
  EXPECT_EQ(gWindowMgr->WindowState(), 0);
  EXPECT_EQ(ControlBoxImage("RESTORE"), QStringLiteral("MAX"));
  EXPECT_FALSE(maximisedThere());

  // The desktop's own "Restore" and "Maximize" do what the program's do.
  Form().windowHandle()->setWindowStates(Qt::WindowMaximized);
  EXPECT_TRUE(QTest::qWaitFor([] { return gWindowMgr->WindowState() == 2; }, 5000));
  EXPECT_EQ(Form().frameGeometry(), MaximisedRect());
  EXPECT_EQ(ControlBoxImage("RESTORE"), QStringLiteral("RESTORE"));
  Form().windowHandle()->setWindowStates(Qt::WindowNoState);
  EXPECT_TRUE(QTest::qWaitFor([] { return gWindowMgr->WindowState() == 0; }, 5000));
  EXPECT_EQ(Form().frameGeometry(), kLibraryRect);

  ClickControlBox("RESTORE");
  EXPECT_EQ(Form().frameGeometry(), MaximisedRect());
  QTest::mouseDClick(Form().lblCaption, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(Form().frameGeometry(), kLibraryRect);
}

TEST_F(TitleBarTest, CompactFromANormalWindowAndBack) {
  // The minimum-size hook answers again before the library's controls go.
  QSize minimumAtHide;
  struct HideProbe : QObject {
    QSize* seen;
    explicit HideProbe(QSize* s) : seen(s) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Hide) *seen = gMainForm->minimumSize();
      return false;
    }
  } probe(&minimumAtHide);
  Form().Tree().picLeft->installEventFilter(&probe);

  ClickControlBox("MODE");
  EXPECT_EQ(gWindowMode, 2);
  // No video: 310 x 232 with the panel's margins, under a 25-pixel caption.
  EXPECT_EQ(Form().frameGeometry().size(), QSize(328, 343));
  EXPECT_EQ(Form().minimumSize(), QSize(328, 343));
  EXPECT_EQ(minimumAtHide, QSize(328, 343));
  EXPECT_EQ(ShownLibraryControls(), 0);
  ctl::PictureBox* panel = Form().Inspector().picOpenFile;
  EXPECT_EQ(panel->parentWidget(), gMainForm);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->geometry(), QRect(2, 25, 324, 316));
  EXPECT_EQ(Form().Inspector().framPreview->geometry(), QRect(7, 6, 310, 232));
  EXPECT_EQ(ControlBoxImage("MODE"), QStringLiteral("LIBRARY"));
  EXPECT_EQ(ControlBoxImage("RESTORE"), QStringLiteral("FULLSCREEN"));
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    QApplication::processEvents();
    Form().grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
  }

  // The window grows with the panel; the caption's double click and
  // "RESTORE" ask for the video full screen and stop the position poll.
  Form().resize(600, 500);
  EXPECT_EQ(panel->geometry(), QRect(2, 25, 596, 473));
  EXPECT_EQ(Form().Inspector().framPreview->geometry(), QRect(7, 6, 582, 389));
  Form().Results().Timer1->SetEnabled(true);
  QTest::mouseDClick(Form().picCaption, Qt::LeftButton, {}, QPoint(100, 12));
  EXPECT_FALSE(Form().Results().Timer1->Enabled());
  Form().Results().Timer1->SetEnabled(true);
  ClickControlBox("RESTORE");
  EXPECT_FALSE(Form().Results().Timer1->Enabled());
  EXPECT_EQ(Form().frameGeometry().size(), QSize(600, 500)) << "not maximised";

  // The preview panel moves the compact window as the caption does.
  const QPoint at = Form().pos();
  Drag(Form().Inspector().framPreview, QPoint(100, 100), QPoint(40, 30));
  EXPECT_EQ(Form().pos(), at + QPoint(40, 30));

  ClickControlBox("MODE");
  EXPECT_EQ(gWindowMode, 1);
  EXPECT_EQ(Form().frameGeometry(), kLibraryRect);
  EXPECT_EQ(Form().minimumSize(), QSize(560, 560));
  EXPECT_EQ(ShownLibraryControls(), 8);
  EXPECT_EQ(panel->parentWidget(), Form().Inspector().picInspector[2]);
  EXPECT_EQ(panel->geometry(), QRect(28, 7, 324, 316));
  EXPECT_EQ(Form().Inspector().framPreview->geometry(), QRect(7, 6, 310, 232));
  EXPECT_EQ(ControlBoxImage("MODE"), QStringLiteral("COMPACT"));
}

TEST_F(TitleBarTest, CompactFromAMaximisedWindowReturnsMaximised) {
  gWindowMgr->MaximiseWindow();
  Form().SetWindowMode(QStringLiteral("COMPACT"));
  EXPECT_EQ(Form().frameGeometry().size(), QSize(328, 343));
  Form().SetWindowMode(QStringLiteral("LIBRARY"));
  EXPECT_EQ(Form().frameGeometry(), MaximisedRect());
  EXPECT_EQ(gWindowMgr->WindowState(), 2);
  ClickControlBox("RESTORE");
  EXPECT_EQ(Form().frameGeometry(), kLibraryRect) << "the rectangle from before compact mode";
}

TEST_F(TitleBarTest, KeypadTwoThenEscReturnsToTheEarlierRectangle) {
  QApplication::setActiveWindow(gMainForm);
  Form().SetWindowMode(QStringLiteral("COMPACT"));
  const QSize single = Form().frameGeometry().size();
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_2, Qt::KeypadModifier);
  EXPECT_EQ(Form().frameGeometry().size(), single) << "no video: 310 x 232 at any factor";
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(gWindowMode, 1);
  EXPECT_EQ(Form().frameGeometry(), kLibraryRect);
}

TEST_F(TitleBarTest, UnknownModeTextChangesNothing) {
  for (const char* mode : {"compact", "FULLSCREEN", "", "LIBRARY"}) {
    Form().SetWindowMode(QLatin1String(mode));
    EXPECT_EQ(gWindowMode, 1) << mode;
    EXPECT_EQ(Form().frameGeometry(), kLibraryRect) << mode;
    EXPECT_EQ(ShownLibraryControls(), 8) << mode;
    EXPECT_EQ(Form().minimumSize(), QSize(560, 560)) << mode;
  }
}

TEST_F(TitleBarTest, MinimiseGoesToTheTrayOnlyWhereThereIsOne) {
  cWindowMgr::SystemTrayAvailable = [] { return true; };
  gMinimiseToTray = true;
  ClickControlBox("MIN");
  EXPECT_FALSE(Form().isVisible());
  QSystemTrayIcon* icon = gTrayIcon.Icon();
  ASSERT_NE(icon, nullptr);
  // A double click (515) and a right press (516) leave the window in the tray.
  emit icon->activated(QSystemTrayIcon::DoubleClick);
  emit icon->activated(QSystemTrayIcon::Context);
  EXPECT_FALSE(Form().isVisible());
  EXPECT_EQ(gTrayIcon.Icon(), icon);
  emit icon->activated(QSystemTrayIcon::Trigger);  // 513
  EXPECT_TRUE(Form().isVisible());
  EXPECT_EQ(gTrayIcon.Icon(), nullptr);
  EXPECT_EQ(Form().frameGeometry(), kLibraryRect);
  EXPECT_EQ(gWindowMode, 1);

  cWindowMgr::SystemTrayAvailable = [] { return false; };
  ClickControlBox("MIN");
  EXPECT_TRUE(Form().isMinimized());
  EXPECT_EQ(gTrayIcon.Icon(), nullptr);
  Form().showNormal();

  cWindowMgr::SystemTrayAvailable = [] { return true; };
  gMinimiseToTray = false;
  ClickControlBox("MIN");
  EXPECT_TRUE(Form().isMinimized());
  EXPECT_TRUE(Form().isVisible());
  EXPECT_EQ(gTrayIcon.Icon(), nullptr);
}

}  // namespace
}  // namespace rwtest
