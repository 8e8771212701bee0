// The pictures segments show while the library changes after the open:
// pictures saved, segments and files removed, the library saved as a copy.
// The cache reads stored pictures when they are shown, so each change must
// reach what the next picture shows.
#include "library/ResultItem.h"
#include "tests/library/ThumbnailFixture.h"

namespace {

using rwtest::kBluePicture;
using rwtest::kRedPicture;

class ThumbnailChangesTest : public rwtest::ThumbnailTestOn<rwtest::LibraryTest> {
 protected:
  // File 5 with its red picture, its cut segments 50 (no row) and 51 (empty
  // row, dropped by the open's upkeep) and 52 (its own blue picture).
  void OpenCatalogue(int policy) {
    OpenWithThumbnails(
        policy, QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, "
                               "Rating) VALUES (52, 5, 5, 6, 1, 0);"
                               "INSERT INTO SegmentThumbnails VALUES (5, X'%1', 5), (52, X'%2', 5);")
                    .arg(QString::fromLatin1(Jpeg(kRedPicture).toHex()), QString::fromLatin1(Jpeg(kBluePicture).toHex())));
  }
  static void Save(int segment, int file, COLORREF colour) {
    ImageSurface surface(100, 75);
    surface.Fill(colour);
    QImage picture = surface.Image().copy();
    gLibrary->SaveThumbnail(segment, file, picture);
  }
  static bool Shows(int segment, int file, COLORREF colour) { return Near(PictureOf(segment, file).pixel(50, 37), colour); }
  // The placeholder as either rendering: decoded from the cache under key
  // 0, or the program's own copy when nothing is cached under 0.
  static bool IsNoThumb(const QImage& picture) { return picture == NoThumb() || picture == PictureOf(0, 0); }
};

TEST_F(ThumbnailChangesTest, APictureSavedAfterTheOpenShowsUnderEveryPolicy) {
  for (int policy : {0, 1, 2}) {
    SCOPED_TRACE(policy);
    OpenCatalogue(policy);
    Save(50, 5, kBluePicture);
    EXPECT_TRUE(Shows(50, 5, kBluePicture));
    Save(50, 5, kRedPicture);
    EXPECT_TRUE(Shows(50, 5, kRedPicture)) << "the second picture replaces the first";
    Save(6, 6, kBluePicture);
    EXPECT_TRUE(Shows(6, 6, kBluePicture)) << "a file that had no picture";
    EXPECT_TRUE(Shows(60, 6, kBluePicture)) << "its segments fall back to it by the file's id";
  }
}

// Under "Pre-load All" a segment without its own picture shows a copy of its
// file's, made when the cache was filled: a new picture of the file does not
// reach it until the next load, and neither does the file segment's removal.
TEST_F(ThumbnailChangesTest, SegmentsShowingTheirFilesPictureKeepItUntilTheNextLoad) {
  OpenCatalogue(0);
  ASSERT_TRUE(Shows(50, 5, kRedPicture));
  Save(5, 5, kBluePicture);
  EXPECT_TRUE(Shows(5, 5, kBluePicture));
  EXPECT_TRUE(Shows(50, 5, kRedPicture));
  gLibrary->LoadThumbnails();
  EXPECT_TRUE(Shows(50, 5, kBluePicture)) << "the load shares the new picture";

  gLibrary->RemoveSegment(5);
  EXPECT_FALSE(gLibrary->ThumbnailCache.Exists(5));
  EXPECT_TRUE(Shows(50, 5, kBluePicture)) << "its row is gone, its picture stays";
  EXPECT_EQ(boxes.Count(), 0);
}

// Under "Load-on-Demand and Retain" a fetched segment without its own
// picture holds its file's as the fetch found it, like a preloaded one.
TEST_F(ThumbnailChangesTest, FetchedSegmentsKeepTheFilesPictureTheFetchFound) {
  OpenCatalogue(1);
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID13"), false, QString());
  Exec(QStringLiteral("DELETE FROM SearchResults; INSERT INTO SearchResults VALUES (50, 5), (52, 5)"));
  gLibrary->FetchSearchResults();
  ASSERT_EQ(gLibrary->ResultCount, 2);
  EXPECT_EQ(gLibrary->ThumbnailCache.Item(50), Jpeg(kRedPicture));
  Save(5, 5, kBluePicture);
  EXPECT_TRUE(Shows(50, 5, kRedPicture));
  EXPECT_TRUE(Shows(52, 5, kBluePicture));
  EXPECT_TRUE(Shows(53, 5, kBluePicture)) << "a segment the fetch did not bring shows the file's new picture";
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(ThumbnailChangesTest, RemovedSegmentsAndFilesTakeTheirPicturesWith) {
  OpenCatalogue(0);
  ASSERT_TRUE(Shows(52, 5, kBluePicture));
  gLibrary->RemoveSegment(52);
  EXPECT_FALSE(gLibrary->ThumbnailCache.Exists(52));
  EXPECT_TRUE(Shows(52, 5, kRedPicture)) << "a number no longer cached falls back to its file's picture";
  Save(52, 5, kBluePicture);
  EXPECT_TRUE(Shows(52, 5, kBluePicture)) << "a picture saved for the number again";

  gLibrary->RemoveFile(5, false);
  for (int segment : {5, 50, 52}) EXPECT_FALSE(gLibrary->ThumbnailCache.Exists(segment)) << segment;
  EXPECT_TRUE(IsNoThumb(PictureOf(50, 5)));
  EXPECT_TRUE(IsNoThumb(PictureOf(5, 5)));
  EXPECT_EQ(boxes.Count(), 0);
}

// A copy saved under another name is opened without a reload: the cache
// then reads the copy, and a picture saved now lands in the copy alone.
TEST_F(ThumbnailChangesTest, AfterSaveAsThePicturesComeFromTheCopy) {
  OpenCatalogue(0);
  ASSERT_TRUE(Shows(5, 5, kRedPicture));  // read once, so it is among the recent pictures
  const QString original = gLibrary->LibraryPath;
  const QString copy = gLibrariesFolder + QStringLiteral("Copy.rw2");
  gLibrary->Connection().CopyTo(copy);
  gLibrary->OpenLibrary(copy, false);
  ASSERT_EQ(gLibrary->LibraryPath, copy);
  // A row changed in the copy alone tells which file the picture comes from.
  Exec(QStringLiteral("UPDATE SegmentThumbnails SET Thumbnail = X'%1' WHERE SegmentID = 5")
           .arg(QString::fromLatin1(Jpeg(kBluePicture).toHex())));
  EXPECT_TRUE(Shows(5, 5, kBluePicture)) << "nothing read from the original is kept";
  Save(50, 5, kBluePicture);
  EXPECT_TRUE(Shows(50, 5, kBluePicture));
  auto before = SqlConnection::Open(original);
  SqlRecordset rs(*before, QStringLiteral("SELECT count(*) FROM SegmentThumbnails WHERE SegmentID = 50"));
  EXPECT_EQ(rs.Value(0).toInt(), 0) << "the original is left alone";
}

// Painting reads a page of pictures in one read of the file and ends it;
// inside a caller's transaction it leaves that transaction open.
TEST_F(ThumbnailChangesTest, PaintingLeavesNoTransactionBehind) {
  OpenCatalogue(0);
  gLibrary->DrawGridImages();
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  {
    TransactionGuard outer(gLibrary->Connection(), QStringLiteral("Outer"));
    Exec(QStringLiteral("UPDATE VideoSegments SET Rating = 3 WHERE SegmentID = 50"));
    gLibrary->DrawGridImages();
    EXPECT_TRUE(gLibrary->Connection().InTransaction());
    outer.Commit();
  }
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  EXPECT_EQ(Count("SELECT Rating FROM VideoSegments WHERE SegmentID = 50"), 3);
  EXPECT_TRUE(Shows(52, 5, kBluePicture));
}

}  // namespace
