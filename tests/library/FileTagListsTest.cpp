// The tag lists of many files read in one pass give, file by file, the very
// text GetSegmentTags gives for the whole file.
#include "library/FileTagLists.h"
#include "tests/library/TagStoreFixture.h"

namespace {

using namespace TagStore;
using rwtest::TagStoreTest;

// Categories, tags under tags, links across and in a circle, a folder and a
// playlist put on segments, a tag implied twice, names sorting by their
// bytes, and files without any tag.
class FileTagListsTest : public TagStoreTest {
 protected:
  void SetUp() override {
    TagStoreTest::SetUp();
    Tag(100, QStringLiteral("Genre"), "C");
    Tag(101, QStringLiteral("Mood"), "C");
    Tag(111, QStringLiteral("B"), "T", 100);
    Tag(110, QStringLiteral("A"), "T", 111);
    Tag(120, QStringLiteral("C"), "T", 101);
    Tag(121, QStringLiteral("Zürich"), "T", 101);
    Tag(122, QStringLiteral("東京 🎬"), "T", 101);
    Link(111, 120, "L");
    Link(120, 110, "L");  // back to A: a circle
    Tag(130, QStringLiteral("Rock 'n' Roll"));
    Tag(150, QStringLiteral("Concerts"), "F", 111);
    Tag(160, QStringLiteral("Mix"), "P");
    Link(160, 121, "L");
    for (int file = 1; file <= 6; ++file) {
      File(file);
      Segment(100 + file, file, 10, 20);
      Segment(200 + file, file, 30, 40);
    }
    Put(1, 110);
    Put(101, 130);
    Put(201, 110);
    Put(2, 150);
    Put(202, 122);
    Put(3, 160);
    Put(103, 121);
    Put(203, 120);
    Put(104, 100);  // a category alone: implies nothing that is a tag
    Put(5, 122);
    Put(5, 121);
    Put(105, 130);
    // file 6 has no tags
  }
};

TEST_F(FileTagListsTest, EveryFileReadsAsGetSegmentTagsReadsIt) {
  const std::vector<int32_t> files = {1, 2, 3, 4, 5, 6, 5, 99};
  const QHash<int32_t, QString> lists = FileTagLists(Db(), files);
  ASSERT_EQ(lists.size(), 7);
  for (int32_t file : files) {
    EXPECT_EQ(lists.value(file), GetSegmentTags(Db(), true, file, -1, false, false)) << file;
  }
  EXPECT_EQ(lists.value(6), QStringLiteral("--No Tags"));
  EXPECT_EQ(lists.value(99), QStringLiteral("--No Tags"));
}

TEST_F(FileTagListsTest, OnlyTheFilesAskedForAreRead) {
  const QHash<int32_t, QString> lists = FileTagLists(Db(), {2});
  EXPECT_EQ(lists.keys(), QList<int32_t>({2}));
  EXPECT_TRUE(FileTagLists(Db(), {}).isEmpty());
}

}  // namespace
