// Clicks as a quick hand makes them, on files just added: the pointer moves
// onto a tile and clicks there at once, before the program has seen the
// move, while the rich tip of the tile it rested on still shows beside it.
#include "tests/import/AddFilesFixture.h"

#include "browser/ResultGrids.h"
#include "browser/cToolTipHost.h"
#include "platform/Twips.h"
#include "platform/controls/FlexGrid.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/RealInput.h"

#include <QCursor>
#include <QTest>
#include <QWindow>

namespace rwtest {
namespace {

using PointerClickTest = AddFilesTest;

// The centre of tile `index` (1-based) of the tile grid, as it is scrolled now.
QPoint TileCentre(const ctl::FlexGrid& grid, int index) {
  const int columns = ResultGrids::TileColumns();
  const int row = (index - 1) / columns;
  const int col = (index - 1) % columns + 1;
  int x = 0;
  for (int c = 0; c < col; ++c) x += TwipsToPixelsX(grid.ColWidth(c));
  int y = 0;
  for (int r = grid.TopRow(); r < row; ++r) y += TwipsToPixelsY(grid.RowHeight(r));
  return QPoint(x + TwipsToPixelsX(grid.ColWidth(col)) / 2, y + TwipsToPixelsY(grid.RowHeight(row)) / 2);
}

// The tip lies beside the pointer, over the next tiles; a click that lands
// there together with the pointer went to the tip and was lost (the
// inspector stayed on the file before). 50 times over four tiles, the
// pointer first resting until the tip shows: each click inspects the tile
// it lands on.
TEST_F(PointerClickTest, AClickThatComesWithThePointerInspectsTheTileItLandsOn) {
  RW_REQUIRE_FFMPEG();
  TestVideoSpec second;
  second.seconds = 1;
  second.width = 160;
  second.height = 120;
  for (const char* name : {"A.mp4", "B.mp4", "C.mp4", "D.mp4"}) {
    MakeClip(QStringLiteral("Clips/") + QLatin1String(name), second);
  }
  RunAddFiles(QStringLiteral("Clips"));
  ASSERT_EQ(gLibrary->ResultCount, 4);
  ctl::FlexGrid& tiles = *gMainForm->Results().flexThumbsTiled;
  const cToolTipHost& tips = *gMainForm->Results().m_cToolTips;
  ASSERT_TRUE(FocusOn(tiles));
  int underTheTip = 0;
  for (int i = 0; i < 50; ++i) {
    SCOPED_TRACE(i);
    const int from = i % 4 + 1;
    const int to = (i + 1) % 4 + 1;
    // The pointer comes to rest on the tile (the move reaches the window
    // under it through the window system's queue).
    QCursor::setPos(tiles.mapToGlobal(TileCentre(tiles, from)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tips.Shown(); }, kWaitCeilingMs)) << "the tip of the tile rested on";
    const QPoint target = tiles.mapToGlobal(TileCentre(tiles, to));
    if (tips.TipForm() && tips.TipForm()->Window()->geometry().contains(target)) ++underTheTip;
    ClickAt(tiles, TileCentre(tiles, to));
    const int32_t segment = gResults[static_cast<size_t>(to)].SegmentID;
    ASSERT_TRUE(QTest::qWaitFor([&] { return gInspectedItem.SegmentID == segment; }, kWaitCeilingMs))
        << "tile " << to << " clicked, the inspector is on segment " << gInspectedItem.SegmentID;
  }
  EXPECT_GT(underTheTip, 0) << "no click landed where the tip was";
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
}  // namespace rwtest
