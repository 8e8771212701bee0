// The thumbnails painted into the visible rows of the result grids: the page
// and the row below it, blank tiles after the last result, the list's stripes.
#include "tests/app/ProgramRun.h"
#include "tests/browser/BrowserTestSupport.h"
#include "tests/library/ThumbnailFixture.h"

#include "library/ResultItem.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

#include <numeric>
#include <vector>

namespace {

using rwtest::kBluePicture;
using rwtest::kRedPicture;

class GridImagesTest : public rwtest::ThumbnailTestOn<rwtest::RunningProgramTest> {
 protected:
  // `count` results of segment ids 101.. (file 5), the grids laid out for
  // them with 4 tiles per row and 3 rows on the page.
  void ShowResults(int count) {
    gResults.assign(static_cast<size_t>(count) + 1, ResultItem{});
    for (int i = 1; i <= count; ++i) {
      ResultItem& item = gResults[static_cast<size_t>(i)];
      item.SegmentID = 100 + i;
      item.FileID = 5;
      item.DisplayState = i % 3 == 0 ? 9 : 5;
    }
    gLibrary->ResultCount = count;
    gTileColumns = 4;
    gTileRowsVisible = 3;
    gMainForm->Results().LayoutThumbnailGrid(count);
  }
  static ctl::FlexGrid& Tiles() { return *gMainForm->Results().flexThumbsTiled; }
  static ctl::FlexGrid& List() { return *gMainForm->Results().flexThumbsList; }
  static const ctl::FlexCell& Tile(int row, int col) { return Tiles().Model().Cell(row, col); }
  static bool Painted(const ctl::FlexCell& cell) { return !cell.picture.isNull(); }
  static QRgb Centre(const ctl::FlexCell& cell) { return cell.picture.toImage().pixel(50, 37); }
};

TEST_F(GridImagesTest, TilesOfTheVisibleRowsAndTheRowBelowArePainted) {
  OpenWithThumbnails(1);
  gLibrary->ThumbnailCache.Add(Jpeg(kBluePicture), 105);  // its file's picture, as the fetch caches it
  gLibrary->ThumbnailCache.Add(Jpeg(kRedPicture), 102);
  ShowResults(30);  // 8 rows of 4; the last row holds 2
  gSelectedById.Set(103, 1);
  gBrowserMode = 1;
  gMainForm->Results().scrollFlex->SetValue(1);
  gLibrary->DrawGridImages();

  for (int row = 0; row < Tiles().Rows(); ++row) {
    const bool shown = row >= 1 && row <= 4;  // the page (rows 1 to 3) and the row just below it
    for (int col = 1; col <= 4 && row * 4 + col <= 30; ++col) {
      EXPECT_EQ(Painted(Tile(row, col)), shown) << row << "," << col;
    }
  }
  EXPECT_TRUE(Near(Centre(Tile(1, 1)), kBluePicture)) << "result 5 shows its file's picture";
  EXPECT_EQ(Tile(1, 1).text, QStringLiteral("5"));
  EXPECT_EQ(Tile(1, 2).text, QStringLiteral("9")) << "result 6 is offline";
  // Result 3 lies above the page; scrolled back it is painted selected.
  gMainForm->Results().scrollFlex->SetValue(0);
  gLibrary->DrawGridImages();
  EXPECT_TRUE(Near(Centre(Tile(0, 2)), kRedPicture)) << "result 2 has its own picture";
  EXPECT_EQ(Tile(0, 3).text, QStringLiteral("8")) << "offline and selected";
  EXPECT_FALSE(Painted(Tile(5, 1))) << "the rows far below give their pictures back";
  // After the last result the tiles are blank, without a glyph.
  const qint64 blank = gMainForm->Results().picBlankTile->Picture().cacheKey();
  EXPECT_EQ(Tile(7, 3).picture.cacheKey(), blank);
  EXPECT_EQ(Tile(7, 4).text, QString());
  EXPECT_TRUE(gMainForm->Results().Timer1->Enabled());
  EXPECT_TRUE(Tiles().Redraw());
  gSelectedById.Set(103, 0);
}

// A page down keeps the row just below the page in view: its tiles keep the
// pictures made of the same bytes, and a tile whose picture has changed
// since is painted anew.
TEST_F(GridImagesTest, TilesKeptInViewKeepTheirPicturesUntilTheyChange) {
  OpenWithThumbnails(1);
  gLibrary->ThumbnailCache.Add(Jpeg(kRedPicture), 113);
  ShowResults(30);
  gBrowserMode = 1;
  gMainForm->Results().scrollFlex->SetValue(0);
  gLibrary->DrawGridImages();
  const qint64 first = Tile(3, 1).picture.cacheKey();
  const qint64 second = Tile(3, 2).picture.cacheKey();
  gMainForm->Results().scrollFlex->SetValue(3);
  gLibrary->DrawGridImages();
  EXPECT_EQ(Tile(3, 1).picture.cacheKey(), first);
  EXPECT_TRUE(Near(Centre(Tile(3, 1)), kRedPicture));
  gLibrary->ThumbnailCache.Remove(113);
  gLibrary->ThumbnailCache.Add(Jpeg(kBluePicture), 113);
  gLibrary->DrawGridImages();
  EXPECT_NE(Tile(3, 1).picture.cacheKey(), first);
  EXPECT_TRUE(Near(Centre(Tile(3, 1)), kBluePicture)) << "result 13 has a new picture";
  EXPECT_EQ(Tile(3, 2).picture.cacheKey(), second);
}

TEST_F(GridImagesTest, NoResultsShowOnlyBlankTiles) {
  OpenWithThumbnails(1);
  ShowResults(6);
  gBrowserMode = 1;
  gLibrary->DrawGridImages();
  ASSERT_TRUE(Painted(Tile(1, 1)));
  ShowResults(0);
  Tiles().SetTextMatrix(0, 1, QStringLiteral("5"));  // a glyph left from the last result set
  gLibrary->DrawGridImages();
  const qint64 blank = gMainForm->Results().picBlankTile->Picture().cacheKey();
  for (int row = 0; row < Tiles().Rows(); ++row) {
    for (int col = 1; col <= 4; ++col) {
      EXPECT_EQ(Tile(row, col).picture.cacheKey(), blank) << row << "," << col;
      EXPECT_EQ(Tile(row, col).text, QString());
    }
  }
}

TEST_F(GridImagesTest, ListRowsOnThePageGetStripesAndThumbnails) {
  OpenWithThumbnails(1);
  gLibrary->ThumbnailCache.Add(Jpeg(kBluePicture), 5);
  gBrowserMode = 2;
  ShowResults(20);
  // The result index of each row, as the list fill writes it; rows in reverse.
  for (int row = 1; row <= 20; ++row) rwtest::SetListRow(List(), row, 21 - row);
  gResults[17].Selected = true;
  gMainForm->Results().scrollFlex->SetMax(100);
  gMainForm->Results().scrollFlex->SetValue(1);
  gLibrary->DrawGridImages();
  const auto& cell = [](int row, int col) -> const ctl::FlexCell& { return List().Model().Cell(row, col); };
  for (int row = 1; row <= 20; ++row) EXPECT_EQ(Painted(cell(row, 1)), row <= 4) << row;
  EXPECT_EQ(cell(4, 1).text, QStringLiteral("4")) << "row 4 shows result 17, online and selected";
  EXPECT_EQ(cell(2, 1).text, QStringLiteral("5"));
  EXPECT_EQ(cell(1, 5).backColor, gSchemeColour2);
  EXPECT_EQ(cell(2, 5).backColor, BlendColor(gSchemeColour2, gSchemeColour4, 245));
  EXPECT_EQ(cell(2, List().Cols() - 1).backColor, BlendColor(gSchemeColour2, gSchemeColour4, 245));

  gMainForm->Results().scrollFlex->SetValue(10);
  gLibrary->DrawGridImages();
  for (int row = 1; row <= 20; ++row) EXPECT_EQ(Painted(cell(row, 1)), row >= 10 && row <= 13) << row;
  EXPECT_EQ(cell(12, 5).backColor, BlendColor(gSchemeColour2, gSchemeColour4, 245));
  EXPECT_EQ(cell(13, 5).backColor, gSchemeColour2);

  // The rows change places (as a sort moves them): the painted ones, now rows
  // 8 to 11, give their pictures back once the page is elsewhere.
  std::vector<int> columns(static_cast<size_t>(List().Cols()));
  std::iota(columns.begin(), columns.end(), 0);
  std::vector<int> reversed(20);
  std::iota(reversed.rbegin(), reversed.rend(), 1);
  List().Model().Rearrange(columns, reversed);
  gMainForm->Results().scrollFlex->SetValue(1);
  gLibrary->DrawGridImages();
  for (int row = 1; row <= 20; ++row) EXPECT_EQ(Painted(cell(row, 1)), row <= 4) << row;
  EXPECT_EQ(boxes.Count(), 0);
}

// A large result set shown in the list, paged and replaced by another leaves
// nothing of itself: the list keeps cells of its own only for the rows of the
// page in view (and the header and the cursor's row), and every row shows
// the texts of the set shown last.
TEST_F(GridImagesTest, AListKeepsCellsOnlyForItsPageAcrossReplacedResultSets) {
  OpenWithThumbnails(1);
  gBrowserMode = 2;
  const auto ownRows = [] {
    int rows = 0;
    for (int r = 0; r < List().Rows(); ++r) rows += List().Model().HasOwnCells(r) ? 1 : 0;
    return rows;
  };
  const int nameColumn = gListColumns[1].Column;
  for (const int count : {3000, 2500, 2000}) {
    ShowResults(count);
    for (int i = 1; i <= count; ++i) {
      gResults[static_cast<size_t>(i)].FileName = QStringLiteral("%1:%2").arg(count).arg(i);
    }
    gLibrary->ShowSearchResults();
    for (const int top : {1, 700, count - 2, 40}) {
      gMainForm->Results().scrollFlex->SetValue(top);
      gLibrary->DrawGridImages();
      EXPECT_LE(ownRows(), static_cast<int>(gTileRowsVisible) + 3) << count << " at " << top;
    }
    ASSERT_EQ(List().Rows(), count + 1);
    for (const int row : {1, 41, count}) {
      const int index = List().RowData(row);
      EXPECT_EQ(List().TextMatrix(row, nameColumn), QStringLiteral("%1:%2").arg(count).arg(index)) << row;
      EXPECT_EQ(List().TextMatrix(row, 0), QString::number(index));
    }
  }
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
