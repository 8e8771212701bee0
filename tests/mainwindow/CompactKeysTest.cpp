// The compact player window's keys in the running program, on a generated
// clip inspected in the preview: each key goes to whatever widget has the
// focus, as a key the user types does, and does its own thing (Enter and
// Space play and pause, "[" and "]" set A and B, keypad 1 to 3 size the
// window, Esc goes back). The library window's splitter survives the trip.
#include "tests/app/ProgramRun.h"

#include "tests/app/ClipLibrary.h"

#include "browser/LibraryTreePane.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"
#include "tests/support/TestVideo.h"
#include "ui/cWindowMgr.h"

#include <QTest>

#include <gtest/gtest.h>

namespace rwtest {
namespace {

constexpr int kVideoWidth = 320;
constexpr int kVideoHeight = 240;

class CompactKeysTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    RW_REQUIRE_FFMPEG();
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    const QString folder = ScratchPath(QStringLiteral("films/"));
    OpenClipLibrary(folder);
    TestVideoSpec spec;
    spec.seconds = 10;
    spec.width = kVideoWidth;
    spec.height = kVideoHeight;
    ASSERT_TRUE(MakeTestVideo(folder, QStringLiteral("Clip.mkv"), spec));
    AddClipFile(1, QStringLiteral("Clip.mkv"), folder, 10);
    ResultItem item;
    item.SegmentID = 1;
    item.FileID = 1;
    bool loaded = false;
    Pane().LoadInspector(item, loaded);
    ASSERT_TRUE(loaded) << Pane().lblOpenFileStatus->Caption().toStdString();
    QApplication::setActiveWindow(gMainForm);
    gWindowMgr->RestoreWindow();
  }

  static InspectorPane& Pane() { return gMainForm->Inspector(); }
  // A key as the user types it: to the widget that has the focus.
  static void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "a widget has the focus";
    QTest::keyClick(focus, key, modifiers);
  }
  static void PausedAt(double seconds) {
    gPlayer->Pause();
    gPlayer->ForcePosition(seconds);
    ASSERT_TRUE(QTest::qWaitFor([] { return gPlayer->PlayState() == 1; }, 10000));
  }
  static void FocusTheTree() {
    QWidget* tree = gMainForm->Tree().tvwLibrary->focusProxy();
    tree->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == tree; }, 5000));
  }
};

TEST_F(CompactKeysTest, EachKeyDoesItsOwnThingWhereverTheFocusWas) {
  ASSERT_NO_FATAL_FAILURE(FocusTheTree());
  gMainForm->SetWindowMode(QStringLiteral("COMPACT"));
  ASSERT_EQ(gWindowMode, 2);

  // "[" sets A where the player stands, "]" sets B.
  ASSERT_NO_FATAL_FAILURE(PausedAt(2.0));
  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_BracketLeft));
  EXPECT_NEAR(Pane().m_SegmentStart, 2.0, 0.05) << "[ sets A";
  ASSERT_NO_FATAL_FAILURE(PausedAt(6.0));
  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_BracketRight));
  EXPECT_NEAR(Pane().m_SegmentEnd, 6.0, 0.05) << "] sets B";
  EXPECT_NEAR(Pane().m_SegmentStart, 2.0, 0.05) << "] leaves A";

  // Enter plays the paused clip; Space pauses it.
  ASSERT_NO_FATAL_FAILURE(PausedAt(0.5));
  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_Return));
  EXPECT_TRUE(QTest::qWaitFor([] { return gPlayer->PlayState() == 2; }, 10000)) << "Enter plays";
  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_Space));
  EXPECT_TRUE(QTest::qWaitFor([] { return gPlayer->PlayState() == 1; }, 10000)) << "Space pauses";
  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_Space));
  EXPECT_TRUE(QTest::qWaitFor([] { return gPlayer->PlayState() == 2; }, 10000)) << "Space plays a paused clip";
  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_Return));
  EXPECT_TRUE(QTest::qWaitFor([] { return gPlayer->PlayState() == 1; }, 10000)) << "Enter pauses";

  // Keypad 2 and 1 size the window to twice and once the video.
  const auto compactSize = [](int factor) {
    return QSize(factor * kVideoWidth + 18, 25 + factor * kVideoHeight + 84 + 2);
  };
  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_2, Qt::KeypadModifier));
  EXPECT_EQ(gMainForm->frameGeometry().size(), compactSize(2));
  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_1, Qt::KeypadModifier));
  EXPECT_EQ(gMainForm->frameGeometry().size(), compactSize(1));
  // So do the top row's, for a keyboard without a keypad.
  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_2));
  EXPECT_EQ(gMainForm->frameGeometry().size(), compactSize(2));
  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_1));
  EXPECT_EQ(gMainForm->frameGeometry().size(), compactSize(1));

  ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_Escape));
  EXPECT_EQ(gWindowMode, 1) << "Esc goes back to the library window";
  EXPECT_EQ(QApplication::focusWidget(), gMainForm->Tree().tvwLibrary->focusProxy())
      << "the focus comes back where it was";
}

TEST_F(CompactKeysTest, TheLibraryWindowKeepsItsSplitterOverACompactRoundTrip) {
  for (const bool maximised : {true, false}) {
    SCOPED_TRACE(maximised ? "maximised" : "normal");
    maximised ? gWindowMgr->MaximiseWindow() : gWindowMgr->RestoreWindow();
    const QRect window = gMainForm->frameGeometry();
    gMainForm->Tree().picLeft->SetWidth(maximised ? 900 : 600);
    gMainForm->LayoutPanes();
    const double tree = gMainForm->Tree().picLeft->Width();
    ASSERT_NE(tree, gMainForm->width() / 4.0) << "not where a resize puts the splitter";
    gMainForm->SetWindowMode(QStringLiteral("COMPACT"));
    ASSERT_NO_FATAL_FAILURE(Type(Qt::Key_Escape));
    ASSERT_EQ(gWindowMode, 1);
    EXPECT_EQ(gWindowMgr->WindowState(), maximised ? 2 : 0);
    EXPECT_EQ(gMainForm->frameGeometry(), window);
    EXPECT_EQ(gMainForm->Tree().picLeft->Width(), tree);
  }
}

}  // namespace
}  // namespace rwtest
