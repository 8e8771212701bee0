// The library object's tag, segment and file operations in the running
// program: what they change beyond the database (results, inspector grid,
// refusals told to the user).
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlRecordset.h"
#include "tests/core/ProgramRun.h"

#include <gtest/gtest.h>

namespace {

class LibraryTagsTest : public rwtest::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_TRUE(Start());
    const QString path = gLibrariesFolder + QStringLiteral("Tags.rw2");
    modReelwise::ExtractTemplateLibrary(path);
    SqlConnection::Open(path)->Execute(QStringLiteral(
        "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (5, 'S', '', 'a.mkv');"
        "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, Rating) VALUES "
        "(5, 5, 'Y', 60, 1, 0), (6, 5, NULL, 10, 1, 0)"));
    gLibrary->OpenLibrary(path, true);
    ASSERT_FALSE(gLibrary->Unsaved());
  }

  static int Count(const QString& sql) { return gLibrary->Connection().OpenRecordset(sql)->Value(0).toInt(); }
};

TEST_F(LibraryTagsTest, RatingShowsInTheResultsAndTheInspectorsSegmentList) {
  ResultItem item;
  item.SegmentID = 6;
  item.FileID = 5;
  gResults = {ResultItem{}, item};
  ctl::FlexGrid& segments = *gMainForm->flexSegments;
  segments.SetRows(3);
  segments.SetTextMatrix(1, 4, QStringLiteral("5"));
  segments.SetTextMatrix(2, 4, QStringLiteral("6"));

  gLibrary->RateSegment(4, 6);
  EXPECT_EQ(Count(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = 6")), 4);
  EXPECT_EQ(gResults[1].Rating, 4);
  EXPECT_EQ(segments.TextMatrix(2, 5), QStringLiteral("4")) << "the rated segment's row";
  EXPECT_EQ(segments.TextMatrix(1, 5), QString()) << "not the other rows";

  gLibrary->RateSegment(2, 999);  // no such segment: nothing shown changes
  EXPECT_EQ(gResults[1].Rating, 4);
}

TEST_F(LibraryTagsTest, RefusedParentLinkIsToldAndNothingIsWritten) {
  const int32_t parent = gLibrary->CreateTag(QStringLiteral("Parent"), QStringLiteral("C"), QVariant());
  const int32_t child = gLibrary->CreateTag(QStringLiteral("Child"), QStringLiteral("T"), QString::number(parent));
  ASSERT_GT(child, parent);
  boxes.Answer(vbOK);
  gLibrary->CreateTagRelationship(parent, child, QStringLiteral("P"));  // would close a cycle
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().style, vbExclamation);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM TagLinks")), 1);
  EXPECT_EQ(gLibrary->ConvertToT9(QStringLiteral("Parent")), QStringLiteral("727368"));
}

TEST_F(LibraryTagsTest, RemovingAFileEmptiesItsRowsAndEndsTheProgress) {
  gLibrary->TagSegment(6, 1, false);
  gLibrary->RemoveFile(5, false);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments")), 0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentTags")), 0);
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
}

}  // namespace
