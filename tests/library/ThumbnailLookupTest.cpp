// The picture a segment shows, under every policy: the one cached under its
// SegmentID (its own, else its file's whole-file picture), else the one
// cached under its FileID (the SegmentID of the file's whole-file segment),
// else the placeholder.
#include "library/ResultItem.h"
#include "tests/library/ThumbnailFixture.h"

namespace {

using rwtest::kBluePicture;
using rwtest::kRedPicture;

class ThumbnailLookupTest : public rwtest::ThumbnailTestOn<rwtest::LibraryTest> {
 protected:
  // The placeholder as either rendering: decoded from the cache under key
  // 0, or the program's own copy when nothing is cached under 0.
  static bool IsNoThumb(const QImage& picture) { return picture == NoThumb() || picture == PictureOf(0, 0); }

  // File 5 (red) with cut segments 50 (no row), 51 (bytes that are no
  // picture) and 7 (its own blue picture); file 70 (whole-file segment 70)
  // and its cut segment 71, without any picture.
  void OpenCatalogue(int policy) {
    const QString hex = QString::fromLatin1(Jpeg(kRedPicture).toHex());
    const QString blue = QString::fromLatin1(Jpeg(kBluePicture).toHex());
    OpenWithThumbnails(
        policy,
        QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, CurrentPath) "
                       "VALUES (70, '1A2B3C4D', 'films\\', 'Other.mkv', 1000, '/films/');"
                       "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, "
                       "Rating) VALUES (70, 70, 'Y', 0, 60, 1, 0), (71, 70, NULL, 5, 6, 1, 0), (7, 5, NULL, 7, 8, 1, 0);"
                       "INSERT INTO SegmentThumbnails VALUES (5, X'%1', 5), (7, X'%2', 5), (51, X'6e6f', 5);")
            .arg(hex, blue));
    // Every segment of both files becomes a result, which is what the
    // on-demand policies load.
    gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID13"), false, QString());
    Exec(QStringLiteral("DELETE FROM SearchResults; INSERT INTO SearchResults VALUES "
                        "(5, 5), (50, 5), (51, 5), (7, 5), (70, 70), (71, 70)"));
    gLibrary->FetchSearchResults();
    ASSERT_EQ(gLibrary->ResultCount, 6) << policy;
  }
};

TEST_F(ThumbnailLookupTest, EachPolicyFindsASegmentsPictureByItsOwnIdFirst) {
  for (int policy : {0, 1, 2}) {
    SCOPED_TRACE(policy);
    OpenCatalogue(policy);
    EXPECT_TRUE(Near(PictureOf(7, 5).pixel(50, 37), kBluePicture));
    EXPECT_TRUE(Near(PictureOf(5, 5).pixel(50, 37), kRedPicture));
    EXPECT_TRUE(Near(PictureOf(50, 5).pixel(50, 37), kRedPicture)) << "no row: its file's picture";
    EXPECT_EQ(gLibrary->ThumbnailCache.Item(50), Jpeg(kRedPicture)) << "cached under the segment's own id";
    EXPECT_TRUE(IsNoThumb(PictureOf(51, 5))) << "its own bytes are no picture";
    EXPECT_TRUE(IsNoThumb(PictureOf(70, 70)));
    EXPECT_TRUE(IsNoThumb(PictureOf(71, 70))) << "neither it nor its file has a picture";
  }
}

// A cut segment no fetch brought in (the inspector lists every segment of a
// file) shows its file's picture, cached under the file's FileID.
TEST_F(ThumbnailLookupTest, ASegmentNotCachedShowsItsFilesPictureByTheFileId) {
  for (int policy : {0, 1, 2}) {
    SCOPED_TRACE(policy);
    OpenCatalogue(policy);
    Exec(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, Rating) "
                        "VALUES (53, 5, 11, 12, 1, 0), (73, 70, 11, 12, 1, 0)"));
    ASSERT_FALSE(gLibrary->ThumbnailCache.Exists(53));
    EXPECT_TRUE(Near(PictureOf(53, 5).pixel(50, 37), kRedPicture));
    EXPECT_TRUE(IsNoThumb(PictureOf(73, 70))) << "its file has no picture";
  }
}

TEST_F(ThumbnailLookupTest, PreloadingGivesASegmentAddedLaterItsFilesPicture) {
  OpenCatalogue(0);
  Exec(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, Rating) "
                      "VALUES (52, 5, 9, 10, 1, 0), (72, 70, 9, 10, 1, 0)"));
  gLibrary->LoadThumbnails();
  EXPECT_TRUE(Near(PictureOf(52, 5).pixel(50, 37), kRedPicture));
  EXPECT_FALSE(gLibrary->ThumbnailCache.Exists(72)) << "a file without a picture leaves its segments out";
  EXPECT_TRUE(IsNoThumb(PictureOf(72, 70)));
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
