// The road a new user takes: a new library from the Library menu, a folder
// of clips added to it, a tag made and given to some of them, the tag opened
// as a search and one of its files clicked into the inspector. With
// RW_SCREENSHOT set it saves the main window at the end (the README's
// picture; scripts/readme-picture.sh runs it over the clips of
// RW_README_CLIPS).
#include "tests/import/AddFilesFixture.h"

#include "browser/ResultGrids.h"
#include "browser/ResultsPane.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "platform/controls/FlexGrid.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "platform/Twips.h"

#include <QTest>

namespace rwtest {
namespace {

class FirstStepsTest : public AddFilesTest {
 protected:
  // The clips of RW_README_CLIPS copied into the disk's "Videos" folder, or
  // three made here; their names in the order the folder walk meets them.
  QStringList PutClips() {
    const QString folder = disk_ + QStringLiteral("Videos/");
    QDir().mkpath(folder);
    const QString given = qEnvironmentVariable("RW_README_CLIPS");
    if (given.isEmpty()) {
      MakeClip(QStringLiteral("Videos/Harbour at Dawn.mp4"));
      MakeClip(QStringLiteral("Videos/Sunset over the Bay.mkv"));
      MakeClip(QStringLiteral("Videos/Garden Party.avi"));
    } else {
      for (const QString& name : QDir(given).entryList(QDir::Files)) {
        EXPECT_TRUE(QFile::copy(QDir(given).filePath(name), folder + name)) << name.toStdString();
      }
    }
    return QDir(folder).entryList(QDir::Files, QDir::Name);
  }

  static ctl::FlexGrid& Tiles() { return *gMainForm->Results().flexThumbsTiled; }
  // The centre of tile `n` of the grid's first row (column 0 is its margin).
  static QPoint TileCentre(int n) {
    int x = 0;
    for (int col = 0; col < n; ++col) x += TwipsToPixelsX(Tiles().ColWidth(col));
    return {x + TwipsToPixelsX(Tiles().ColWidth(n)) / 2, TwipsToPixelsY(Tiles().RowHeight(0)) / 2};
  }
};

TEST_F(FirstStepsTest, ANewLibraryTakesAFolderAndShowsATaggedFileInTheInspector) {
  RW_REQUIRE_FFMPEG();
  const QStringList clips = PutClips();
  ASSERT_GE(clips.size(), 3);

  // Library > New, named in the save dialog.
  ScriptedFileDialogs dialogs;
  const QString library = gLibrariesFolder + QStringLiteral("My Videos.rw2");
  dialogs.Choose({library});
  gMainForm->MainToolbarHandler(QStringLiteral("mnuLibraryNew"));
  ASSERT_EQ(gLibrary->LibraryPath, library);
  EXPECT_EQ(gMainForm->windowTitle(), QStringLiteral("Reelwise II - My Videos"));

  // Library > Add Files: the folder's clips become the results.
  RunAddFiles(QStringLiteral("Videos"));
  EXPECT_EQ(boxes.Count(), 0);
  ASSERT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), clips.size());
  EXPECT_EQ(gLibrary->ResultCount, clips.size());

  // A category with a tag, given to every other clip; one of them rated.
  const int32_t trips = gLibrary->CreateTag(QStringLiteral("Trips"), QStringLiteral("C"), QVariant());
  const int32_t holidays = gLibrary->CreateTag(QStringLiteral("Holidays"), QStringLiteral("T"), trips);
  gLibrary->CreateTag(QStringLiteral("Weekends"), QStringLiteral("T"), trips);
  QStringList tagged;
  for (int i = 0; i < clips.size(); i += 2) {
    const int32_t file = FileColumn(clips[i], QStringLiteral("FileID")).toInt();
    gLibrary->TagSegment(file, holidays, false);
    tagged << clips[i];
  }
  gLibrary->RateSegment(4, FileColumn(tagged.last(), QStringLiteral("FileID")).toInt());
  gLibrary->PopulateTree();
  gLibrary->SortTree();

  // The tag dropped on the results opens it as a search.
  ctl::Node* node = Tree().Nodes.Find(QStringLiteral("ID%1").arg(holidays));
  ASSERT_NE(node, nullptr);
  Tree().SetSelectedItem(node);
  gMainForm->Results().BrowserDragDrop(0, 0, QStringLiteral("tvwLibrary"), QString());
  ASSERT_EQ(gLibrary->ResultCount, tagged.size());

  // A click on the last tile inspects its file, the one rated above.
  const int last = static_cast<int>(tagged.size());
  ASSERT_LE(last, ResultGrids::TileColumns()) << "the tagged files fill at most the first row";
  ASSERT_EQ(gResults[last].FileName, tagged.last()) << "results in the order of their names";
  QTest::mouseClick(&Tiles(), Qt::LeftButton, {}, TileCentre(last));
  ASSERT_TRUE(QTest::qWaitFor([&] { return gInspectedItem.FileName == tagged.last(); }, 20000))
      << gInspectedItem.FileName.toStdString();
  EXPECT_EQ(gMainForm->Inspector().lstFileTags->ListItems.Count(), 1);
  EXPECT_EQ(boxes.Count(), 0);

  const QString picture = qEnvironmentVariable("RW_SCREENSHOT");
  if (!picture.isEmpty()) {
    node->EnsureVisible();
    gMainForm->grab().save(picture, "PNG");
  }
}

}  // namespace
}  // namespace rwtest
