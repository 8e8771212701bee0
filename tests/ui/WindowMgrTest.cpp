// The window manager on the offscreen screens: the placement it loads and
// saves, the maximised, restored and compact sizes, centring, the system
// menu, moving and sizing the frameless window, and the tray icon. A test
// that needs a second screen runs itself again in a child process whose
// offscreen platform has one.
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "tests/support/TwoScreens.h"
#include "tests/support/TempHome.h"
#include "ui/ISubclass.h"
#include "ui/IWindowMgrHost.h"
#include "ui/cWindowMgr.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using rwtest::OnTwoScreens;

namespace {

constexpr uint32_t kMaximise = cWindowMgr::kMaximiseItem;
constexpr uint32_t kRestore = cWindowMgr::kRestoreItem;
constexpr uint32_t kMove = cWindowMgr::SC_MOVE;
constexpr uint32_t kSize = cWindowMgr::SC_SIZE;

// The main window as the manager sees it through its host.
class FakeHost : public IWindowMgrHost {
 public:
  void SetControlBoxImage(const QString& key, const QString& image) override { images[key] = image; }
  double CaptionHeight() override { return captionHeight; }
  QSize VideoSize() override { return video; }
  void picWindowHeader_MouseMove(int32_t X) override { messages.push_back(X); }

  std::map<QString, QString> images;
  double captionHeight = 25;
  QSize video{0, 0};
  std::vector<int32_t> messages;
};

// Records the system commands the main window receives.
class CommandRecorder : public ISubclass {
 public:
  int32_t ISubclass_MsgResponse() override { return 0; }
  intptr_t ISubclass_WindowProc(QWidget*, int32_t iMsg, intptr_t wParam, intptr_t) override {
    if (iMsg == WM_SYSCOMMAND) commands.push_back(static_cast<uint32_t>(wParam));
    return 0;
  }
  std::vector<uint32_t> commands;
};

// A frameless window covered by a child, as the main window is by its
// panels; a press on the child calls the caption drag.
class FramelessWindow : public QWidget {
 public:
  FramelessWindow() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    panel = new QWidget(this);
  }
  QWidget* panel;

  // Its platform window made anew, as Qt does when the first video surface
  // needs another kind of window.
  void Remake() {
    const Qt::WindowStates states = windowState();
    const bool shown = isVisible();
    destroy();
    create();
    windowHandle()->setWindowStates(states);
    setVisible(shown);
  }

 protected:
  void resizeEvent(QResizeEvent*) override { panel->setGeometry(rect()); }
};

class Caption : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void mousePressEvent(QMouseEvent*) override {
    if (gWindowMgr) gWindowMgr->DragWindow();
  }
};

// Sends a mouse event at a screen point: the window may move under the
// pointer while it is dragged.
void SendMouse(QWidget* target, QEvent::Type type, QPoint global) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
  QMouseEvent event(type, QPointF(target->mapFromGlobal(global)), QPointF(global), button, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

// Presses the left button at `from` on the widget, moves by `by` and lets go.
void Drag(QWidget* target, QPoint from, QPoint by) {
  const QPoint start = target->mapToGlobal(from);
  SendMouse(target, QEvent::MouseButtonPress, start);
  SendMouse(target, QEvent::MouseMove, start + by / 2);
  SendMouse(target, QEvent::MouseMove, start + by);
  SendMouse(target, QEvent::MouseButtonRelease, start + by);
}

QRect PrimaryWork() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Lets every event already queued run, and those they queue in turn: what
// the window system reports back and what the program answers to it.
void RunQueuedEvents() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

class WindowMgrTest : public rwtest::TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    gWindowMode = 1;
    gTVOutMode = false;
    trayAvailable_ = cWindowMgr::SystemTrayAvailable;
    window = std::make_unique<FramelessWindow>();
  }

  void TearDown() override {
    gWindowMgr.reset();
    window.reset();
    gTrayIcon.Delete();
    cWindowMgr::SystemTrayAvailable = trayAvailable_;
    gWindowMode = 1;
    gTVOutMode = false;
    TempHomeTest::TearDown();
  }

  static void Store(int32_t state, int32_t left, int32_t top, int32_t width, int32_t height) {
    for (const auto& [name, value] :
         {std::pair{"AppWindowState", state}, std::pair{"AppLeft", left}, std::pair{"AppTop", top},
          std::pair{"AppWidth", width}, std::pair{"AppHeight", height}}) {
      modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegGeneral, QLatin1String(name), value);
    }
  }
  static int32_t Stored(const char* name) {
    return modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegGeneral, QLatin1String(name)).Number();
  }
  static QRect StoredRect() { return {Stored("AppLeft"), Stored("AppTop"), Stored("AppWidth"), Stored("AppHeight")}; }

  cWindowMgr& Manage(IWindowMgrHost* withHost) {
    gWindowMgr = std::make_unique<cWindowMgr>(window.get(), withHost);
    return *gWindowMgr;
  }
  cWindowMgr& Manage() { return Manage(&host); }

  // The system menu's items, enabled 1 or greyed 0, the separator "-".
  static std::string EnabledStates() {
    std::string states;
    for (QAction* item : gWindowMgr->SystemMenu()->actions())
      states += item->isSeparator() ? '-' : item->isEnabled() ? '1' : '0';
    return states;
  }
  // The item of the system menu at `position`.
  static QAction* Item(int position) { return gWindowMgr->SystemMenu()->actions().at(position); }
  static QAction* ItemWithId(uint32_t id) {
    for (QAction* item : gWindowMgr->SystemMenu()->actions()) {
      if (!item->isSeparator() && item->data().toUInt() == id) return item;
    }
    return nullptr;
  }

  std::unique_ptr<FramelessWindow> window;
  FakeHost host;

 private:
  std::function<bool()> trayAvailable_;
};

// ---- Placement ----

using WindowMgrPlacement = WindowMgrTest;

TEST_F(WindowMgrPlacement, TooSmallOrTooLargeSizesGiveTheLeast) {
  const struct {
    int32_t width, height;
    QSize expected;
  } cases[] = {
      {800, 900, {1024, 900}}, {1200, 600, {1200, 768}}, {2500, 1100, {1024, 768}}, {1920, 1080, {1920, 1080}}};
  for (const auto& c : cases) {
    Store(0, 0, 0, c.width, c.height);
    Manage();
    EXPECT_EQ(window->frameGeometry().size(), c.expected) << c.width << "x" << c.height;
    gWindowMgr.reset();
  }
}

TEST_F(WindowMgrPlacement, OffScreenOrNegativePositionsAreCentred) {
  const QPoint centred((1920 - 1024) / 2, (1080 - 768) / 2);
  const struct {
    int32_t left, top;
    QPoint expected;
  } cases[] = {{-1, 40, centred},  {40, -1, centred},      {897, 40, centred},
               {40, 313, centred}, {896, 312, {896, 312}}, {0, 0, {0, 0}}};
  for (const auto& c : cases) {
    Store(0, c.left, c.top, 1024, 768);
    Manage();
    EXPECT_EQ(window->frameGeometry(), QRect(c.expected, QSize(1024, 768))) << c.left << "," << c.top;
    gWindowMgr.reset();
  }
}

// Each screen in a child process of its own, whose offscreen platform has it.
TEST_F(WindowMgrPlacement, OnASmallOrScaledScreenTheFirstWindowIsCutToTheWorkAreaAndPlacedInIt) {
  const struct {
    QSize pixels;
    QString scale;
    QRect expected;
  } cases[] = {
      // Where a stored rectangle off the work area is centred.
      {{1280, 720}, QString(), {128, 0, 1024, 720}},
      // 1920 x 1080 at 1.5 is 1280 x 720 to the program.
      {{1920, 1080}, QStringLiteral("1.5"), {128, 0, 1024, 720}},
      {{1366, 768}, QString(), {171, 0, 1024, 768}},
      // 1366 x 768 at 1.5 is 910 x 512: narrower than the least width too,
      // so the window is the whole work area (a null rectangle here).
      {{1366, 768}, QStringLiteral("1.5"), QRect()},
  };
  const bool inChild = qEnvironmentVariableIsSet("RW_TEST_SCREEN_SIZE");
  for (const auto& c : cases) {
    SCOPED_TRACE(rwtest::ScreenSizeName(c.pixels).toStdString() + " at " + c.scale.toStdString());
    if (inChild ? !rwtest::IsPrimaryScreenOf(c.pixels, c.scale) : !rwtest::OnPrimaryScreenOf(c.pixels, c.scale)) {
      continue;
    }
    const QRect expected = c.expected.isNull() ? PrimaryWork() : c.expected;
    if (c.expected.isNull()) EXPECT_LT(PrimaryWork().width(), 1024) << "narrower than the least width";
    Manage();
    EXPECT_EQ(window->frameGeometry(), QRect(QPoint(0, 0), expected.size())) << "nothing stored: the least size";
    gWindowMgr.reset();
    Store(0, -20, 300, 1400, 700);
    Manage();
    EXPECT_EQ(window->frameGeometry(), expected) << "stored wider than the screen and left of it";
    EXPECT_TRUE(PrimaryWork().contains(window->frameGeometry()));
  }
}

TEST_F(WindowMgrPlacement, MaximisedStateComesBackMaximisedAndRestoresToTheStoredRectangle) {
  Store(2, 100, 50, 1200, 900);
  cWindowMgr& manager = Manage();
  EXPECT_EQ(manager.WindowState(), 2);
  EXPECT_EQ(window->frameGeometry().size(), PrimaryWork().size());
  manager.RestoreWindow();
  EXPECT_EQ(window->frameGeometry(), QRect(100, 50, 1200, 900));
}

TEST_F(WindowMgrPlacement, SavedFromLibraryModeOnlyAndTheRectangleOnlyWhenNormal) {
  Store(0, 100, 50, 1200, 900);
  Manage().MaximiseWindow();
  gWindowMgr.reset();
  EXPECT_EQ(Stored("AppWindowState"), 2);
  EXPECT_EQ(StoredRect(), QRect(100, 50, 1200, 900)) << "maximised keeps the rectangle saved before";

  Manage().RestoreWindow();
  gWindowMode = 2;
  gWindowMgr.reset();
  EXPECT_EQ(Stored("AppWindowState"), 2) << "compact mode saves nothing";

  gWindowMode = 1;
  Manage().RestoreWindow();
  window->setGeometry(210, 120, 1100, 800);
  gWindowMgr.reset();
  EXPECT_EQ(Stored("AppWindowState"), 0);
  EXPECT_EQ(StoredRect(), QRect(210, 120, 1100, 800));
}

// ---- Maximised and restored ----

using WindowMgrModes = WindowMgrTest;

// The window system knows the window as maximised, so its own window menu
// offers the way back, and places it over its work area (in TV-Out mode too).
TEST_F(WindowMgrModes, MaximisedFillsTheWorkAreaAndTheWindowSystemKnowsIt) {
  cWindowMgr& manager = Manage();
  window->setGeometry(200, 100, 1024, 768);
  manager.SetLibraryModeRect();
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  const auto maximisedThere = [this] { return window->windowHandle()->windowStates().testFlag(Qt::WindowMaximized); };
  manager.MaximiseWindow();
  const QRect work = PrimaryWork();
  EXPECT_EQ(window->frameGeometry(), work);
  EXPECT_TRUE(maximisedThere());
  EXPECT_FALSE(manager.Sizeable());
  EXPECT_EQ(host.images[QStringLiteral("RESTORE")], QStringLiteral("RESTORE"));
  EXPECT_EQ(host.images[QStringLiteral("MODE")], QStringLiteral("COMPACT"));
  RunQueuedEvents();
  EXPECT_EQ(window->frameGeometry(), work) << "the window system's own placing agrees";
  // Maximised again (TV-Out over a maximised window): the widget keeps the
  // state too, which a platform window made anew for it takes over.
  manager.MaximiseWindow();
  EXPECT_TRUE(window->windowState().testFlag(Qt::WindowMaximized));
  EXPECT_TRUE(maximisedThere());
  manager.RestoreWindow();
  EXPECT_FALSE(maximisedThere());
  EXPECT_EQ(window->frameGeometry(), QRect(200, 100, 1024, 768));
  EXPECT_TRUE(manager.Sizeable());
  EXPECT_EQ(host.images[QStringLiteral("RESTORE")], QStringLiteral("MAX"));
  gTVOutMode = true;
  manager.MaximiseWindow();
  EXPECT_EQ(window->frameGeometry(), work);
  EXPECT_TRUE(maximisedThere());
  manager.InitialiseCompactWindow(1);
  EXPECT_FALSE(maximisedThere()) << "the compact window is no maximised one";
  EXPECT_EQ(manager.WindowState(), 2) << "compact mode leaves the state";
}

// A maximise or restore the desktop's own window menu makes reaches the
// main window as the system menu's command; one the program made itself
// does not.
TEST_F(WindowMgrModes, TheWindowSystemsOwnMaximiseAndRestoreArriveAsSystemCommands) {
  cWindowMgr& manager = Manage();
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  CommandRecorder recorder;
  gSubclasser.AttachWindowMessage(&recorder, window.get(), WM_SYSCOMMAND);
  manager.MaximiseWindow();
  manager.RestoreWindow();
  manager.MaximiseWindow();
  RunQueuedEvents();
  EXPECT_TRUE(recorder.commands.empty()) << "the program's own changes are no commands";

  window->windowHandle()->setWindowStates(Qt::WindowNoState);  // the desktop's "Restore"
  EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.commands == std::vector<uint32_t>{kRestore}; }, 5000));
  manager.RestoreWindow();
  window->windowHandle()->setWindowStates(Qt::WindowMaximized);  // the desktop's "Maximize"
  EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.commands == std::vector<uint32_t>{kRestore, kMaximise}; }, 5000));

  // A platform window made anew (the first video surface needs another kind
  // of window) starts out unmaximised: that is no restore of the user's, and
  // the window system is told the state again.
  manager.MaximiseWindow();
  RunQueuedEvents();
  recorder.commands.clear();
  window->Remake();
  window->windowHandle()->setWindowStates(Qt::WindowNoState);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return window->windowHandle()->windowStates().testFlag(Qt::WindowMaximized); }, 5000));
  RunQueuedEvents();
  EXPECT_TRUE(recorder.commands.empty());
  EXPECT_EQ(manager.WindowState(), 2);
  window->windowHandle()->setWindowStates(Qt::WindowNoState);  // then the user's "Restore"
  EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.commands == std::vector<uint32_t>{kRestore}; }, 5000));
  recorder.commands.clear();

  // The compact window stays compact: the desktop's maximise is taken back
  // and passed on (the main window shows the video full screen then).
  manager.InitialiseCompactWindow(1);
  const QRect compact = window->frameGeometry();
  window->windowHandle()->setWindowStates(Qt::WindowMaximized);
  EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.commands == std::vector<uint32_t>{kMaximise}; }, 5000));
  EXPECT_FALSE(window->windowHandle()->windowStates().testFlag(Qt::WindowMaximized));
  RunQueuedEvents();
  EXPECT_EQ(window->frameGeometry(), compact);
  gSubclasser.DetachWindowMessage(&recorder, window.get(), WM_SYSCOMMAND);
}

TEST_F(WindowMgrModes, FramedWindowLosesItsTitleBarAndStaysShown) {
  QWidget framed;
  framed.show();
  gWindowMgr = std::make_unique<cWindowMgr>(&framed, nullptr);
  EXPECT_FALSE(gWindowMgr->Titlebar());
  EXPECT_TRUE(framed.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(framed.isVisible());
  gWindowMgr.reset();
}

// ---- Compact ----

using WindowMgrCompact = WindowMgrTest;

TEST_F(WindowMgrCompact, UnknownVideoSizeGives310By232AtAnyFactor) {
  cWindowMgr& manager = Manage();
  for (const QSize video : {QSize(0, 0), QSize(640, 0), QSize(0, 480)}) {
    host.video = video;
    for (int factor = 1; factor <= 3; ++factor) {
      manager.InitialiseCompactWindow(factor);
      // 310 + 14 + 4 wide; 25 + 232 + 84 + 2 high; y = (1080 - 343) / 2 = 368.5.
      EXPECT_EQ(window->frameGeometry(), QRect(796, 368, 328, 343))
          << video.width() << "x" << video.height() << " factor " << factor;
    }
  }
  // Without a host there is no video and no caption strip.
  gWindowMgr.reset();
  Manage(nullptr).InitialiseCompactWindow(2);
  EXPECT_EQ(window->frameGeometry().size(), QSize(328, 318));
}

TEST_F(WindowMgrCompact, VideoSizeTimesTheFactorWithTheMargins) {
  host.video = QSize(320, 240);
  host.captionHeight = 24.5;
  Manage().InitialiseCompactWindow(2);
  // 24.5 + 480 + 84 + 2 = 590.5, rounded to even.
  EXPECT_EQ(window->frameGeometry().size(), QSize(658, 590));
  EXPECT_EQ(host.images[QStringLiteral("RESTORE")], QStringLiteral("FULLSCREEN"));
  EXPECT_EQ(host.images[QStringLiteral("MODE")], QStringLiteral("LIBRARY"));
}

TEST_F(WindowMgrCompact, LargerThanTheScreenIsCutInBothDirectionsAlikeAndCentred) {
  cWindowMgr& manager = Manage();
  const struct {
    QSize video;
    QRect expected;
  } cases[] = {
      // 2560 x 1440 at the 969 of 1080 rows the margins leave: 1723 x 969,
      // 1741 x 1080 with them, centred at 89.5.
      {{1280, 720}, {90, 0, 1741, 1080}},
      // 2000 x 200 at the 1902 of 1920 columns: 1902 x 190, 25 + 190 + 86
      // = 301 high, centred at 389.5.
      {{1000, 100}, {0, 390, 1920, 301}},
      // A portrait clip: 1090 x 1938 halved to its own 545 x 969.
      {{545, 969}, {678, 0, 563, 1080}},
  };
  for (const auto& c : cases) {
    host.video = c.video;
    manager.InitialiseCompactWindow(2);
    EXPECT_EQ(window->frameGeometry(), c.expected) << c.video.width() << "x" << c.video.height();
  }
}

TEST_F(WindowMgrCompact, LeavingFindsTheRectangleOfTheNormalWindow) {
  cWindowMgr& manager = Manage();
  for (const bool maximised : {false, true}) {
    window->setGeometry(60, 70, 1100, 800);
    manager.SetLibraryModeRect();
    if (maximised) manager.MaximiseWindow();
    manager.InitialiseCompactWindow(1);
    EXPECT_EQ(manager.WindowState(), maximised ? 2 : 0);
    manager.RestoreWindow();
    EXPECT_EQ(window->frameGeometry(), QRect(60, 70, 1100, 800)) << "maximised before: " << maximised;
  }
}

// ---- Centring ----

using WindowMgrCentring = WindowMgrTest;

TEST_F(WindowMgrCentring, HalvesRoundToEven) {
  cWindowMgr& manager = Manage();
  QWidget child;
  child.resize(1000, 600);
  // Differences of 5 and 7: 2.5 goes to 2, 3.5 to 4.
  window->setGeometry(0, 0, 1005, 607);
  window->show();
  manager.CentreChildWindow(&child, false);
  EXPECT_EQ(child.frameGeometry(), QRect(2, 4, 1000, 600));
  window->setGeometry(100, 50, 1007, 605);
  manager.CentreChildWindow(&child, true);
  EXPECT_EQ(child.frameGeometry(), QRect(104, 52, 1000, 600));
}

// ---- System menu ----

using WindowMgrSystemMenu = WindowMgrTest;

TEST_F(WindowMgrSystemMenu, HoldsTheWindowCommandsWithTheProgramsOwnRestoreAndMaximise) {
  Manage();
  std::vector<uint32_t> ids;
  for (QAction* item : gWindowMgr->SystemMenu()->actions()) ids.push_back(item->data().toUInt());
  EXPECT_EQ(ids, (std::vector<uint32_t>{1, 61456, 61440, 61472, 2, 0, 61536}));
  EXPECT_EQ(Item(0)->text(), QStringLiteral("&Restore"));
  EXPECT_EQ(Item(4)->text(), QStringLiteral("Ma&ximize"));
}

TEST_F(WindowMgrSystemMenu, EachModeEnablesItsWayOut) {
  cWindowMgr& manager = Manage();
  EXPECT_EQ(EnabledStates(), "01111-1");
  manager.MaximiseWindow();
  EXPECT_EQ(EnabledStates(), "10010-1");
  // Disabled standard commands lose their standard ID.
  EXPECT_EQ(Item(1)->data().toUInt(), kMove & ~0x8000u);
  EXPECT_EQ(Item(2)->data().toUInt(), kSize & ~0x8000u);
  manager.MinimizeWindow();
  EXPECT_EQ(EnabledStates(), "10011-1");
  manager.RestoreWindow();
  EXPECT_EQ(EnabledStates(), "01111-1");
}

TEST_F(WindowMgrSystemMenu, MoveDisabledTwiceIsStillFoundAndEnabledAgain) {
  cWindowMgr& manager = Manage();
  manager.SetMoveable(false);
  manager.SetMoveable(false);
  EXPECT_FALSE(Item(1)->isEnabled());
  EXPECT_EQ(Item(1)->data().toUInt(), 28688u);
  EXPECT_EQ(ItemWithId(kMove), nullptr);
  manager.SetMoveable(true);
  EXPECT_TRUE(Item(1)->isEnabled());
  EXPECT_EQ(Item(1)->data().toUInt(), 28688u) << "enabling leaves the ID";
  EXPECT_TRUE(Item(2)->isEnabled()) << "Size is not touched";
}

TEST_F(WindowMgrSystemMenu, ChoosingAnItemPostsItsIdToTheMainWindow) {
  cWindowMgr& manager = Manage();
  CommandRecorder recorder;
  gSubclasser.AttachWindowMessage(&recorder, window.get(), WM_SYSCOMMAND);
  ItemWithId(kMaximise)->trigger();
  manager.SetMoveable(false);
  manager.SetMoveable(true);
  Item(1)->trigger();
  QCoreApplication::sendPostedEvents(window.get());
  gSubclasser.DetachWindowMessage(&recorder, window.get(), WM_SYSCOMMAND);
  EXPECT_EQ(recorder.commands, (std::vector<uint32_t>{kMaximise, 28688u}));
}

TEST_F(WindowMgrSystemMenu, AltSpaceOpensItAtTheWindowsCorner) {
  cWindowMgr& manager = Manage();
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window->panel, Qt::Key_Space, Qt::AltModifier);
  QMenu* menu = manager.SystemMenu();
  EXPECT_TRUE(menu->isVisible());
  EXPECT_EQ(menu->pos(), window->frameGeometry().topLeft());
  menu->close();
}

// ---- Moving and sizing ----

using WindowMgrFrame = WindowMgrTest;

TEST_F(WindowMgrFrame, CaptionDragMovesTheWindowOnlyWhileMoveable) {
  cWindowMgr& manager = Manage();
  auto* caption = new Caption(window->panel);
  caption->setGeometry(100, 0, 400, 25);
  window->setGeometry(200, 100, 1024, 768);
  window->show();
  Drag(caption, QPoint(50, 10), QPoint(30, 20));
  EXPECT_EQ(window->pos(), QPoint(230, 120));

  manager.MaximiseWindow();
  const QPoint maximised = window->pos();
  Drag(caption, QPoint(50, 10), QPoint(30, 20));
  EXPECT_EQ(window->pos(), maximised);
}

TEST_F(WindowMgrFrame, EdgeBandSizesASizeableWindow) {
  cWindowMgr& manager = Manage();
  window->setMinimumSize(560, 560);
  window->setGeometry(200, 100, 1024, 768);
  window->show();
  Drag(window->panel, QPoint(1021, 300), QPoint(50, 0));
  EXPECT_EQ(window->frameGeometry(), QRect(200, 100, 1074, 768));
  Drag(window->panel, QPoint(0, 0), QPoint(-40, -30));
  EXPECT_EQ(window->frameGeometry(), QRect(160, 70, 1114, 798));
  Drag(window->panel, QPoint(500, 797), QPoint(0, -1000));
  EXPECT_EQ(window->frameGeometry(), QRect(160, 70, 1114, 560)) << "not below the minimum size";
  Drag(window->panel, QPoint(1100, 300), QPoint(50, 0));
  EXPECT_EQ(window->frameGeometry(), QRect(160, 70, 1114, 560)) << "a press off the band changes nothing";

  manager.MaximiseWindow();
  const QRect maximised = window->frameGeometry();
  Drag(window->panel, QPoint(maximised.width() - 2, 300), QPoint(-50, 0));
  EXPECT_EQ(window->frameGeometry(), maximised);
}

// ---- Tray ----

using WindowMgrTray = WindowMgrTest;

TEST_F(WindowMgrTray, WithoutATrayTheWindowIsMinimisedNotHidden) {
  cWindowMgr::SystemTrayAvailable = [] { return false; };
  cWindowMgr& manager = Manage();
  window->show();
  manager.MinimiseToTray();
  EXPECT_TRUE(window->isMinimized());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(gTrayIcon.Icon(), nullptr);
}

TEST_F(WindowMgrTray, HiddenBehindAnIconWhoseClicksReachTheHost) {
  cWindowMgr::SystemTrayAvailable = [] { return true; };
  cWindowMgr& manager = Manage();
  window->setWindowTitle(QStringLiteral("Reelwise II - ") + QString(70, QLatin1Char('x')));
  window->show();
  manager.MinimiseToTray();
  EXPECT_FALSE(window->isVisible());
  QSystemTrayIcon* icon = gTrayIcon.Icon();
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->toolTip(), window->windowTitle().left(63));
  for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Context,
                            QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown}) {
    emit icon->activated(reason);
  }
  EXPECT_EQ(host.messages, (std::vector<int32_t>{513, 515, 516, 519}));
  gWindowMgr.reset();
  EXPECT_EQ(gTrayIcon.Icon(), nullptr) << "the manager takes the icon with it";
}

// ---- A second screen ----

using WindowMgrScreens = WindowMgrTest;

TEST_F(WindowMgrScreens, MaximisedOnASecondScreenCoversItWhole) {
  if (!OnTwoScreens()) return;
  const QRect second = QGuiApplication::screens().at(1)->geometry();
  ASSERT_EQ(second, QRect(1920, 0, 1280, 1024));
  cWindowMgr& manager = Manage();
  window->setGeometry(2000, 100, 1024, 768);
  manager.MaximiseWindow();
  EXPECT_EQ(window->frameGeometry(), second);
}

TEST_F(WindowMgrScreens, CompactIsCutToAndCentredOnItsScreen) {
  if (!OnTwoScreens()) return;
  cWindowMgr& manager = Manage();
  window->setGeometry(2000, 100, 1024, 768);
  host.video = QSize(700, 300);
  manager.InitialiseCompactWindow(2);
  // 1418 wide is cut to the second screen's 1280: the video to 1262 x 541,
  // 25 + 541 + 84 + 2 = 652 high.
  EXPECT_EQ(window->frameGeometry(), QRect(1920, 186, 1280, 652));
}

}  // namespace
