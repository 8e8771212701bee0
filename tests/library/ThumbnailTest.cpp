// The thumbnail store: the cache under each policy and the picture a segment
// shows (its own, its file's, or the placeholder).
#include "library/ResultItem.h"
#include "tests/library/ThumbnailFixture.h"

namespace {

using ThumbnailTest = rwtest::ThumbnailTestOn<rwtest::LibraryTest>;
using rwtest::kBluePicture;
using rwtest::kRedPicture;

TEST_F(ThumbnailTest, PreloadingCachesEveryPictureAndFileThumbnailsForEmptyRows) {
  OpenWithThumbnails(0, QStringLiteral("INSERT INTO SegmentThumbnails VALUES (5, X'%1', 5)")
                            .arg(QString::fromLatin1(Jpeg(kRedPicture).toHex())));
  ThumbnailStore& cache = gLibrary->ThumbnailCache;
  EXPECT_EQ(cache.Count(), 4) << "the open loads every picture, and its file's for each segment without one";
  EXPECT_EQ(cache.Item(0), LoadResData(QStringLiteral("NO_THUMB"), kResCustom));
  EXPECT_EQ(cache.Item(5), Jpeg(kRedPicture));
  const QStringList progress = View().progressCaptions;
  const qsizetype loading = progress.indexOf(QStringLiteral("Loading Thumbnails..."));
  ASSERT_GE(loading, 0);
  EXPECT_EQ(progress.value(loading + 1), QStringLiteral("<off>")) << "the progress display ends";

  // The open's upkeep drops empty rows; one made later shows its file's picture.
  StoreThumbnail(51, 5, SqlValue());
  gLibrary->LoadThumbnails();
  EXPECT_EQ(cache.Count(), 4);
  EXPECT_EQ(cache.Item(51), Jpeg(kRedPicture));
  EXPECT_EQ(cache.Item(50), Jpeg(kRedPicture)) << "a segment without a row holds its file's picture too";
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
  ThumbnailStore& cache = gLibrary->ThumbnailCache;
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

}  // namespace
