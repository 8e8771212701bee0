// The library object's tag, segment and file operations: what they change
// beyond the database (results, what the view is told, refusals told to the
// user).
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlRecordset.h"
#include "tests/library/LibraryFixture.h"

#include <gtest/gtest.h>

namespace {

class LibraryTagsTest : public rwtest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
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
  gInspectedItem = item;

  gLibrary->RateSegment(4, 6);
  EXPECT_EQ(Count(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = 6")), 4);
  EXPECT_EQ(gResults[1].Rating, 4);
  EXPECT_EQ(gInspectedItem.Rating, 4);
  ASSERT_EQ(View().ratings.size(), 1u) << "the inspector's segment list is told";
  EXPECT_EQ(View().ratings[0], (std::pair<int32_t, int16_t>{6, 4}));

  gLibrary->RateSegment(2, 999);  // no such segment: nothing shown changes
  EXPECT_EQ(gResults[1].Rating, 4);
  EXPECT_EQ(View().ratings.size(), 1u);
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

// Files a removal cannot take off their disks are kept, and told in one
// titled box however many there are.
TEST_F(LibraryTagsTest, FilesKeptByARemovalAreToldInOneBox) {
  for (int id = 7; id <= 13; ++id) {
    gLibrary->Connection().Execute(
        QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) VALUES "
                       "(%1, 'S', '', 'f%1.mkv', '[Offline] Disk:\\');")
            .arg(id));
  }
  gResults.assign(1, ResultItem{});
  for (int id = 7; id <= 13; ++id) {
    ResultItem item;
    item.FileID = id;
    item.Selected = true;
    gResults.push_back(item);
  }
  gLibrary->SelectedCount = 7;
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  gLibrary->RemoveFile(0, true);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Files Kept"));
  EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("'f7.mkv' cannot be deleted as its storage device is "
                                                            "offline")))
      << boxes.Last().prompt.toStdString();
  EXPECT_TRUE(boxes.Last().prompt.endsWith(QStringLiteral("... and 2 more."))) << boxes.Last().prompt.toStdString();
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 8) << "every one of them kept";
}

TEST_F(LibraryTagsTest, RemovingAFileEmptiesItsRowsAndEndsTheProgress) {
  gLibrary->TagSegment(6, 1, false);
  gInspectedItem.FileID = 5;
  gLibrary->RemoveFile(5, false);
  EXPECT_EQ(View().releases, 1) << "the inspected file is let go before it is removed";
  EXPECT_TRUE(View().progressCaption.isEmpty());
  EXPECT_TRUE(View().progressCaptions.contains(QStringLiteral("Removing Files...")));
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments")), 0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentTags")), 0);
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
}

}  // namespace
