// The thumbnail store in the running program: the cache under each policy,
// the picture a segment shows (its own, its file's, or the placeholder), and
// the thumbnails painted into the visible rows of the result grids.
#include "options/ColourSchemeModel.h"
#include "ui/cwProgress.h"
#include "ui/modBlendColorAlpha.h"
#include "library/ResultItem.h"
#include "platform/JpegCodec.h"
#include "resources/Resources.h"
#include "tests/library/TreeFixture.h"

#include <QPixmap>

namespace {

class ThumbnailTest : public rwtest::OpenLibraryTest {
 protected:
  static QByteArray Jpeg(COLORREF colour) {
    ImageSurface picture(100, 75);
    picture.Fill(colour);
    return JpegCodec().Encode(picture, 90);
  }
  static void StoreThumbnail(int segment, int file, const SqlValue& bytes) {
    auto insert = gLibrary->Connection().Prepare(
        QStringLiteral("INSERT INTO SegmentThumbnails (SegmentID, FileID, Thumbnail) VALUES (?, ?, ?)"));
    insert->Bind(1, segment);
    insert->Bind(2, file);
    insert->Bind(3, bytes);
    insert->Execute();
  }
  static QImage PictureOf(int segment, int file) {
    QImage picture;
    gLibrary->ThumbnailToPicture(segment, file, picture);
    return picture;
  }
  static bool Near(QRgb pixel, COLORREF colour) {
    return std::abs(qRed(pixel) - static_cast<int>(colour & 0xFF)) < 12 &&
           std::abs(qGreen(pixel) - static_cast<int>((colour >> 8) & 0xFF)) < 12 &&
           std::abs(qBlue(pixel) - static_cast<int>((colour >> 16) & 0xFF)) < 12;
  }
  static QImage NoThumb() { return LoadResPicture(QStringLiteral("NO_THUMB"), kResCustom); }

  // File 5 with the red thumbnail, its cut segment 50 without a row, its cut
  // segment 51 with an empty row, and file 6 without any thumbnail.
  void OpenWithThumbnails(int policy, const QString& sql = QString()) {
    gLibrary->ThumbnailPolicy = static_cast<int16_t>(policy);
    OpenWith(FileRow(5) + FileRow(6) +
                 QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, "
                                "Rating) VALUES (50, 5, 1, 2, 1, 0), (51, 5, 3, 4, 1, 0);") +
                 sql,
             QStringLiteral("Policy%1.rw2").arg(policy));
  }
};

constexpr COLORREF kRedPicture = RGB(200, 40, 40);
constexpr COLORREF kBluePicture = RGB(30, 60, 210);

TEST_F(ThumbnailTest, PreloadingCachesEveryPictureAndFileThumbnailsForEmptyRows) {
  OpenWithThumbnails(0, QStringLiteral("INSERT INTO SegmentThumbnails VALUES (5, X'%1', 5)")
                            .arg(QString::fromLatin1(Jpeg(kRedPicture).toHex())));
  KeyedCollection<QByteArray>& cache = gLibrary->ThumbnailCache;
  EXPECT_EQ(cache.Count(), 2) << "the open loads every picture";
  EXPECT_EQ(cache.Item(0), LoadResData(QStringLiteral("NO_THUMB"), kResCustom));
  EXPECT_EQ(cache.Item(5), Jpeg(kRedPicture));
  EXPECT_EQ(gMainForm->progProgress->Caption(), QString()) << "the progress display ends";

  // The open's upkeep drops empty rows; one made later shows its file's picture.
  StoreThumbnail(51, 5, SqlValue());
  gLibrary->LoadThumbnails();
  EXPECT_EQ(cache.Count(), 3);
  EXPECT_EQ(cache.Item(51), Jpeg(kRedPicture));
  EXPECT_FALSE(cache.Exists(50)) << "a segment without a row is found through its file when drawn";
  EXPECT_TRUE(Near(PictureOf(50, 5).pixel(50, 37), kRedPicture)) << "a cut segment shows its file's thumbnail";
  EXPECT_TRUE(Near(PictureOf(51, 5).pixel(50, 37), kRedPicture));
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(ThumbnailTest, OnDemandPoliciesOpenWithAnEmptyCacheAndStillShowThePlaceholder) {
  for (int policy : {1, 2}) {
    OpenWithThumbnails(policy);
    StoreThumbnail(5, 5, SqlValue::Blob(Jpeg(kRedPicture)));
    EXPECT_EQ(gLibrary->ThumbnailCache.Count(), 0) << policy;
    const QImage picture = PictureOf(5, 5);
    EXPECT_EQ(picture.size(), QSize(100, 75));
    EXPECT_EQ(picture, NoThumb()) << "nothing cached yet, and no placeholder in the cache: " << policy;
    EXPECT_EQ(PictureOf(0, 0), NoThumb());
  }
}

TEST_F(ThumbnailTest, MissingOrUndecodablePicturesShowThePlaceholderNeverThePreviousOne) {
  OpenWithThumbnails(1);
  KeyedCollection<QByteArray>& cache = gLibrary->ThumbnailCache;
  cache.Add(Jpeg(kRedPicture), 5);
  cache.Add(QByteArray("not a picture"), 60);
  cache.Add(Jpeg(kRedPicture).left(20), 61);
  EXPECT_TRUE(Near(PictureOf(5, 5).pixel(10, 10), kRedPicture));
  EXPECT_EQ(PictureOf(60, 6), NoThumb());
  EXPECT_TRUE(Near(PictureOf(5, 5).pixel(10, 10), kRedPicture));
  EXPECT_EQ(PictureOf(61, 6), NoThumb());
  EXPECT_EQ(PictureOf(6, 6), NoThumb()) << "neither its own nor its file's picture";
  // A picture the caller keeps is its own: the next call leaves it alone.
  const QImage kept = PictureOf(5, 5);
  PictureOf(6, 6);
  EXPECT_TRUE(Near(kept.pixel(10, 10), kRedPicture));
}

TEST_F(ThumbnailTest, SavingAgainReplacesTheRowAndShowsAtOnce) {
  OpenWithThumbnails(0);
  for (COLORREF colour : {kRedPicture, kBluePicture}) {
    ImageSurface surface(100, 75);
    surface.Fill(colour);
    QImage picture = surface.Image().copy();
    gLibrary->SaveThumbnail(50, 5, picture);
    EXPECT_TRUE(picture.isNull());
  }
  EXPECT_EQ(Count("SELECT count(*) FROM SegmentThumbnails WHERE SegmentID = 50"), 1);
  EXPECT_TRUE(Near(PictureOf(50, 5).pixel(50, 37), kBluePicture));
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
}

// ---- Painting the grids ----

class GridImagesTest : public ThumbnailTest {
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
    modReelwise::LayoutThumbnailGrid(count);
  }
  static ctl::FlexGrid& Tiles() { return *gMainForm->flexThumbsTiled; }
  static ctl::FlexGrid& List() { return *gMainForm->flexThumbsList; }
  static const ctl::FlexCell& Tile(int row, int col) { return Tiles().Model().Cell(row, col); }
  static bool Painted(const ctl::FlexCell& cell) { return !cell.picture.isNull(); }
  static QRgb Centre(const ctl::FlexCell& cell) { return cell.picture.toImage().pixel(50, 37); }
};

TEST_F(GridImagesTest, TilesOfTheVisibleRowsAndTheRowBelowArePainted) {
  OpenWithThumbnails(1);
  gLibrary->ThumbnailCache.Add(Jpeg(kBluePicture), 5);
  gLibrary->ThumbnailCache.Add(Jpeg(kRedPicture), 102);
  ShowResults(30);  // 8 rows of 4; the last row holds 2
  gSelectedById.Set(103, 1);
  gBrowserMode = 1;
  gMainForm->scrollFlex->SetValue(1);
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
  gMainForm->scrollFlex->SetValue(0);
  gLibrary->DrawGridImages();
  EXPECT_TRUE(Near(Centre(Tile(0, 2)), kRedPicture)) << "result 2 has its own picture";
  EXPECT_EQ(Tile(0, 3).text, QStringLiteral("8")) << "offline and selected";
  EXPECT_FALSE(Painted(Tile(5, 1))) << "the rows far below give their pictures back";
  // After the last result the tiles are blank, without a glyph.
  const qint64 blank = gMainForm->picBlankTile->Picture().cacheKey();
  EXPECT_EQ(Tile(7, 3).picture.cacheKey(), blank);
  EXPECT_EQ(Tile(7, 4).text, QString());
  EXPECT_TRUE(gMainForm->Timer1->Enabled());
  EXPECT_TRUE(Tiles().Redraw());
  gSelectedById.Set(103, 0);
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
  const qint64 blank = gMainForm->picBlankTile->Picture().cacheKey();
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
  ShowResults(20);
  // The result index of each row, as the list fill writes it; rows in reverse.
  for (int row = 1; row <= 20; ++row) List().SetTextMatrix(row, 0, QString::number(21 - row));
  gResults[17].Selected = true;
  gBrowserMode = 2;
  gMainForm->scrollFlex->SetMax(100);
  gMainForm->scrollFlex->SetValue(1);
  gLibrary->DrawGridImages();
  const auto& cell = [](int row, int col) -> const ctl::FlexCell& { return List().Model().Cell(row, col); };
  for (int row = 1; row <= 20; ++row) EXPECT_EQ(Painted(cell(row, 1)), row <= 4) << row;
  EXPECT_EQ(cell(4, 1).text, QStringLiteral("4")) << "row 4 shows result 17, online and selected";
  EXPECT_EQ(cell(2, 1).text, QStringLiteral("5"));
  EXPECT_EQ(cell(1, 5).backColor, gSchemeColour2);
  EXPECT_EQ(cell(2, 5).backColor, BlendColor(gSchemeColour2, gSchemeColour4, 245));
  EXPECT_EQ(cell(2, List().Cols() - 1).backColor, BlendColor(gSchemeColour2, gSchemeColour4, 245));

  gMainForm->scrollFlex->SetValue(10);
  gLibrary->DrawGridImages();
  for (int row = 1; row <= 20; ++row) EXPECT_EQ(Painted(cell(row, 1)), row >= 10 && row <= 13) << row;
  EXPECT_EQ(cell(12, 5).backColor, BlendColor(gSchemeColour2, gSchemeColour4, 245));
  EXPECT_EQ(cell(13, 5).backColor, gSchemeColour2);
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
