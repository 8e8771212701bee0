// The inspector's tag list pages by rotating its items.
#include "tests/app/ProgramRun.h"

#include "platform/controls/ListView.h"

namespace rwtest {
namespace {

class TagListPagingTest : public RunningProgramTest {
 protected:
  static ctl::ListView& List() { return *gMainForm->Inspector().lstFileTags; }
  // `count` tags whose sub-items carry their positions 1..count, in a list
  // made `fit` items high.
  static void Fill(int count, int fit) {
    List().ListItems.Clear();
    for (int i = 1; i <= count; ++i) {
      ctl::ListItem& item = List().ListItems.Add();
      item.SetTag(QString::number(100 + i));
      item.ListSubItems.Add(0, QString(), QStringLiteral("Tag %1").arg(i)).SetTag(QString::number(i));
    }
    int height = 40;
    List().Move(List().Left(), List().Top(), List().Width(), height);
    while (List().CountPerPage() < fit && height < 2000) List().Move(List().Left(), List().Top(), List().Width(), ++height);
    ASSERT_EQ(List().CountPerPage(), fit);
  }
  static int PositionAt(int row) { return List().ListItems.Item(row).ListSubItems.Item(1).Tag().toInt(); }
  static void Step(int key, int times) {
    for (int i = 0; i < times; ++i) {
      const int fit = std::min(List().CountPerPage(), List().ListItems.Count());
      List().SetSelectedItem(&List().ListItems.Item(key == 40 ? fit : 1));
      gMainForm->Inspector().lstFileTags_KeyDown(key, 0);
    }
  }
};

TEST_F(TagListPagingTest, DownRotatesUntilTheLastTagShowsAndUpBackToTheFirst) {
  Fill(12, 8);
  Step(40, 10);
  EXPECT_EQ(PositionAt(8), 12) << "the last tag is the last visible one";
  EXPECT_EQ(PositionAt(1), 5);
  EXPECT_EQ(List().ListItems.Item(1).Tag(), QStringLiteral("105")) << "items carry their tags along";
  EXPECT_EQ(List().ListItems.Count(), 12);
  Step(38, 10);
  EXPECT_EQ(PositionAt(1), 1);
  EXPECT_EQ(PositionAt(12), 12);
}

TEST_F(TagListPagingTest, AListThatFitsNeverRotates) {
  Fill(6, 8);
  Step(40, 3);
  Step(38, 3);
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(PositionAt(i), i);
}

}  // namespace
}  // namespace rwtest
