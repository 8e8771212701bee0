// The history of inspected items in the results menu's "Recent Files".
#include "tests/app/ProgramRun.h"

#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"

#include <QAction>

namespace rwtest {
namespace {

class InspectorHistoryTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
    modReelwise::ExtractTemplateLibrary(library);
    gLibrary->OpenLibrary(library, true);
    // Files on a disk that is not connected: their rows are read, nothing is opened.
    Db().Execute(QStringLiteral("INSERT INTO FileLocations VALUES ('AB12', 'Films', ':\\', '/media/films/', "
                                "'Removable drive', NULL, 0)"));
    for (int file = 1; file <= 12; ++file) AddFile(file);
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, "
                                "Online, Rating) VALUES (101, 1, 1.5, 4.0, 0, 0)"));
  }

  static SqlConnection& Db() { return gLibrary->Connection(); }
  static void AddFile(int id) {
    Db().Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                                "CurrentPath) VALUES (%1, 'AB12', 'Films\\', 'Film %1.mkv', 10, '[Offline] Disk:\\Films\\')")
                     .arg(id));
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, "
                                "Rating) VALUES (%1, %1, 'Y', 60, 0, 0)")
                     .arg(id));
  }
  static void Inspect(int segment, int file) {
    ResultItem item;
    item.SegmentID = segment;
    item.FileID = file;
    bool loaded = true;
    gMainForm->Inspector().LoadInspector(item, loaded);
    EXPECT_FALSE(loaded) << "offline: shown from the library, not opened";
  }
  static QAction* Recent(int i) { return gMainForm->Inspector().mnuRecent[i]; }
  static QStringList Keys() {
    QStringList keys;
    for (int i = 1; i <= 10; ++i) {
      if (Recent(i)->isVisible() && Recent(i)->isEnabled()) keys << Recent(i)->data().toString();
    }
    return keys;
  }
};

TEST_F(InspectorHistoryTest, OpeningALibraryEmptiesTheHistory) {
  ASSERT_NE(Recent(1), nullptr);
  EXPECT_EQ(Recent(1)->text(), QStringLiteral("[No History]"));
  EXPECT_FALSE(Recent(1)->isEnabled()) << "nothing to choose";
  for (int i = 2; i <= 10; ++i) EXPECT_FALSE(Recent(i)->isVisible());
  Inspect(3, 3);
  EXPECT_EQ(Recent(1)->text(), QStringLiteral("Film 3.mkv"));
  EXPECT_TRUE(Recent(1)->isEnabled());
  EXPECT_EQ(Keys(), QStringList{"3|3"});
  for (int i = 2; i <= 10; ++i) EXPECT_FALSE(Recent(i)->isVisible());
}

TEST_F(InspectorHistoryTest, AnItemListedStaysWhereItIsAndTheEleventhDropsTheOldest) {
  Inspect(1, 1);
  Inspect(2, 2);
  Inspect(1, 1);
  EXPECT_EQ(Keys(), (QStringList{"2|2", "1|1"})) << "not added again, not moved";
  Inspect(101, 1);
  EXPECT_EQ(Keys(), (QStringList{"101|1", "2|2", "1|1"}));
  EXPECT_EQ(Recent(1)->text(), Recent(3)->text()) << "two items of one file share the caption";
  for (int file = 3; file <= 10; ++file) Inspect(file, file);
  ASSERT_EQ(Keys().size(), 10);
  EXPECT_EQ(Keys().last(), QStringLiteral("2|2")) << "the oldest, 1|1, dropped";
  EXPECT_EQ(Keys().first(), QStringLiteral("10|10"));
}

TEST_F(InspectorHistoryTest, ChoosingAnEntryInspectsItAgainAndARemovedOneClearsTheInspector) {
  Inspect(101, 1);
  Inspect(2, 2);
  Recent(2)->trigger();
  EXPECT_EQ(gInspectedItem.SegmentID, 101);
  EXPECT_EQ(gInspectedItem.FileID, 1);
  EXPECT_EQ(gInspectedItem.FileName, QStringLiteral("Film 1.mkv"));
  Db().Execute(QStringLiteral("DELETE FROM VideoSegments WHERE FileID = 2"));
  Db().Execute(QStringLiteral("DELETE FROM VideoFiles WHERE FileID = 2"));
  Recent(Keys().indexOf(QStringLiteral("2|2")) + 1)->trigger();
  EXPECT_EQ(gInspectedItem.FileID, 0) << "no panel left naming a file that is gone";
  EXPECT_EQ(gInspectedItem.FileName, QString());
}

}  // namespace
}  // namespace rwtest
