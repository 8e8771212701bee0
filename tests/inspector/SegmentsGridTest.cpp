// The Segments tab of the inspector for files with none, 18 and 19 segments.
#include "tests/app/ProgramRun.h"

#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
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
  turns.stop();
  EXPECT_EQ(Grid().Row(), 1 + 6) << "a step at once and one every 200 ms while held";
  EXPECT_EQ(gEditedSegment.SegmentID, Grid().TextMatrix(Grid().Row(), 4).toInt()) << "the row reached is selected";
  for (int i = 0; i < 20; ++i) gMainForm->Inspector().SegmentScrollStep(1);
  EXPECT_EQ(Grid().Row() - Grid().TopRow(), 17) << "the cursor stays among the 18 rows shown";
  for (int i = 0; i < 40; ++i) gMainForm->Inspector().SegmentScrollStep(0);
  EXPECT_EQ(Grid().Row(), 1) << "up stops at the first row";
}

// A hold runs the event loop, where the window may be closed (a key, the
// window manager): the close waits until the hold is over and ends it, and
// the window closes afterwards, instead of being taken from under the hold.
TEST_F(SegmentsGridTest, AWindowClosedWhileAnArrowIsHeldEndsTheHoldAndThenCloses) {
  FileWithSegments(24);
  Inspect(1);
  std::optional<bool> closed;
  QTimer turns;
  QObject::connect(&turns, &QTimer::timeout, [&] {
    if (!closed) closed = gMainForm->close();
  });
  turns.start(0);
  QTest::mousePress(gMainForm->Inspector().lblSegmentsScroll[1], Qt::LeftButton);
  turns.stop();
  ASSERT_TRUE(closed.has_value()) << "the window was closed during the hold";
  EXPECT_FALSE(*closed) << "the close waited for the hold";
  EXPECT_EQ(Grid().Row(), 1 + 1) << "the hold ended at its first wait";
  QTRY_VERIFY(gMainForm == nullptr);
}

}  // namespace
}  // namespace rwtest
