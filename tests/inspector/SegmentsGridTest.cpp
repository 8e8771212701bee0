// The Segments tab of the inspector for files with none, 18 and 19 segments.
#include "tests/app/ProgramRun.h"

#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/TestTickClock.h"
#include "ui/SchemeColours.h"

#include <QTest>
#include <QTimer>

#include <optional>

namespace rwtest {
namespace {

class SegmentsGridTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
    modReelwise::ExtractTemplateLibrary(library);
    gLibrary->OpenLibrary(library, true);
    Db().Execute(QStringLiteral("INSERT INTO FileLocations VALUES ('AB12', 'Films', ':\\\\', '/media/films/', "
                                "'Fixed Disk', NULL, 0)"));
  }
  static SqlConnection& Db() { return gLibrary->Connection(); }
  // File 1 with its whole-file segment (id 1, 95.5 s) and `count` segments
  // 100, 101, ... of 2 s each, written out of order.
  static void FileWithSegments(int count) {
    Db().Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                                "CurrentPath) VALUES (1, 'AB12', '', 'Film.mkv', 10, '[Offline] Films:\\\\')"));
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, "
                                "Rating, FileAlias) VALUES (1, 1, 'Y', 95.5, 0, 4, 'The Film')"));
    for (int i = count - 1; i >= 0; --i) {
      Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, "
                                  "Online, Rating) VALUES (%1, 1, %2, %3, 0, 2)")
                       .arg(100 + i)
                       .arg(2 * i + 0.25)
                       .arg(2 * i + 2.25));
    }
  }
  static void Inspect(int segment) {
    ResultItem item;
    item.SegmentID = segment;
    item.FileID = 1;
    bool loaded = false;
    gResultKind = ResultScope::Segment;
    gMainForm->Inspector().LoadInspector(item, loaded);
  }
  static ctl::FlexGrid& Grid() { return *gMainForm->Inspector().flexSegments; }
  static bool Arrows() { return gMainForm->Inspector().lblSegmentsScroll[0]->isVisibleTo(Grid().parentWidget()); }
};

TEST_F(SegmentsGridTest, AnEmptyInspectorLeavesEighteenEmptyRows) {
  gMainForm->Inspector().ClearInspector();
  EXPECT_EQ(Grid().Rows(), 19);
  EXPECT_EQ(Grid().Tag(), QStringLiteral("1"));
  EXPECT_EQ(Grid().Row(), 1);
  EXPECT_EQ(Grid().TextMatrix(1, 4), QString());
  EXPECT_FALSE(Arrows());
}

TEST_F(SegmentsGridTest, TheWholeFileRowComesFirstThenTheSegmentsByTime) {
  FileWithSegments(3);
  Inspect(101);
  EXPECT_EQ(Grid().Tag(), QStringLiteral("4"));
  EXPECT_EQ(Grid().TextMatrix(1, 0), QStringLiteral("0"));
  EXPECT_EQ(Grid().TextMatrix(1, 1), QStringLiteral("0:00:00.00"));
  EXPECT_EQ(Grid().TextMatrix(1, 2), QStringLiteral("95.5"));
  EXPECT_EQ(Grid().TextMatrix(1, 3), QStringLiteral("Duration"));
  EXPECT_EQ(Grid().TextMatrix(1, 6), QStringLiteral("The Film"));
  EXPECT_EQ(Grid().TextMatrix(2, 4), QStringLiteral("100"));
  EXPECT_EQ(Grid().TextMatrix(3, 0), QStringLiteral("2.25"));
  EXPECT_EQ(Grid().TextMatrix(3, 1), QStringLiteral("0:00:02.25"));
  EXPECT_EQ(Grid().TextMatrix(3, 3), QStringLiteral("0:00:04.25"));
  EXPECT_EQ(Grid().Row(), 3) << "segment 101 selected";
  EXPECT_EQ(gEditedSegment.SegmentID, 101);
  Grid().SetRow(3);
  Grid().SetCol(0);
  EXPECT_EQ(Grid().CellBackColor(), gCursorColour);
  Grid().SetRow(2);
  EXPECT_EQ(Grid().CellBackColor(), gSchemeColour2);
  Inspect(999);
  EXPECT_EQ(Grid().Row(), 1) << "an unknown segment selects the whole-file row";
}

TEST_F(SegmentsGridTest, EighteenSegmentRowsFitAndNineteenBringTheArrows) {
  FileWithSegments(17);  // 18 rows with the whole-file row
  Inspect(1);
  EXPECT_EQ(Grid().Rows(), 19);
  EXPECT_FALSE(Arrows());
  Db().Execute(QStringLiteral("DELETE FROM VideoSegments; DELETE FROM VideoFiles"));
  FileWithSegments(18);
  Inspect(117);
  EXPECT_EQ(Grid().Rows(), 20);
  EXPECT_TRUE(Arrows());
  EXPECT_EQ(Grid().Row(), 19);
  EXPECT_EQ(Grid().TopRow(), 19) << "a row from the 18th on is scrolled to the top";
}

// The hold runs on the test's clock: each turn of the message loop after
// the hold has looked at the clock moves it on 10 ms, and the arrow is let
// go at 1050 ms.
TEST_F(SegmentsGridTest, HoldingAnArrowMovesTheCursorRowAndTheGridFollows) {
  FileWithSegments(24);
  Inspect(1);
  TestTickClock clock;
  const uint64_t pressed = clock.now;
  uint64_t seen = clock.reads;
  QTimer turns;
  QObject::connect(&turns, &QTimer::timeout, [&] {
    if (clock.reads == seen) return;
    seen = clock.reads;
    clock.now += 10;
    if (clock.now - pressed == 1050) gMainForm->Inspector().lblSegmentsScroll_MouseUp();
  });
  turns.start(1);
  gMainForm->Inspector().lblSegmentsScroll_MouseDown(1);
  ASSERT_TRUE(QTest::qWaitFor([] { return !gMainForm->Inspector().Repeating(); }, kWaitCeilingMs));
  turns.stop();
  EXPECT_EQ(Grid().Row(), 1 + 6) << "a step at once and one every 200 ms while held";
  EXPECT_EQ(gEditedSegment.SegmentID, Grid().TextMatrix(Grid().Row(), 4).toInt()) << "the row reached is selected";
  for (int i = 0; i < 20; ++i) gMainForm->Inspector().SegmentScrollStep(1);
  EXPECT_EQ(Grid().Row() - Grid().TopRow(), 17) << "the cursor stays among the 18 rows shown";
  for (int i = 0; i < 40; ++i) gMainForm->Inspector().SegmentScrollStep(0);
  EXPECT_EQ(Grid().Row(), 1) << "up stops at the first row";
}

// During a hold the event loop runs, where the window may be closed (a key,
// the window manager): the close waits until the hold is over and ends it,
// and the window closes afterwards, instead of being taken from under it.
TEST_F(SegmentsGridTest, AWindowClosedWhileAnArrowIsHeldEndsTheHoldAndThenCloses) {
  FileWithSegments(24);
  Inspect(1);
  std::optional<bool> closed;
  int row = 0;
  QTimer turns;
  QObject::connect(&turns, &QTimer::timeout, [&] {
    if (closed) return;
    closed = gMainForm->close();
    row = Grid().Row();
  });
  QTest::mousePress(gMainForm->Inspector().lblSegmentsScroll[1], Qt::LeftButton);
  turns.start(0);
  ASSERT_TRUE(QTest::qWaitFor([] { return gMainForm == nullptr; }, kWaitCeilingMs));
  ASSERT_TRUE(closed.has_value()) << "the window was closed during the hold";
  EXPECT_FALSE(*closed) << "the close waited for the hold";
  EXPECT_EQ(row, 1 + 1) << "the hold ended before its second step";
}

// A held arrow's press returns at once: a call posted before it has not run
// when it returns, and runs while the arrow is still held, between steps
// that come from the event loop. The release ends the repeat: the clock
// moves on and nothing more steps. So for the segment arrows and the tag
// list's.
TEST_F(SegmentsGridTest, AHeldArrowStepsFromTheEventLoopAndItsReleaseEndsTheSteps) {
  FileWithSegments(24);
  Inspect(1);
  InspectorPane& pane = gMainForm->Inspector();
  TestTickClock clock;
  bool ran = false;
  QTimer::singleShot(0, [&ran] { ran = true; });
  pane.lblSegmentsScroll_MouseDown(1);
  EXPECT_FALSE(ran) << "nothing ran inside the press";
  EXPECT_EQ(Grid().Row(), 2) << "a step at once";
  ASSERT_TRUE(QTest::qWaitFor([&ran] { return ran; }, kWaitCeilingMs));
  EXPECT_TRUE(pane.Repeating());
  clock.now += 200;
  ASSERT_TRUE(QTest::qWaitFor([] { return Grid().Row() == 3; }, kWaitCeilingMs)) << "a step 200 ms later";
  pane.lblSegmentsScroll_MouseUp();
  EXPECT_FALSE(pane.Repeating());
  clock.now += 1000;
  RunTimersDueWithin(50);
  EXPECT_EQ(Grid().Row(), 3) << "no step after the release";

  ran = false;
  QTimer::singleShot(0, [&ran] { ran = true; });
  pane.lblTagListScroll_MouseDown(0);
  EXPECT_FALSE(ran) << "nothing ran inside the press";
  ASSERT_TRUE(QTest::qWaitFor([&ran] { return ran; }, kWaitCeilingMs));
  EXPECT_TRUE(pane.Repeating());
  pane.lblTagListScroll_MouseUp();
  EXPECT_FALSE(pane.Repeating());
  EXPECT_FALSE(pane.m_MouseHeld);
}

}  // namespace
}  // namespace rwtest
