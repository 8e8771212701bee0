// The inspector's pointer gestures and toolbars: the file toolbar's delete
// and remove with their questions, the preview's double click, the drags of
// the thumbnail and the auto-tag suggestion, the tag list's right press and
// the alias/description toggle.
#include "tests/app/ProgramRun.h"

#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/DragController.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TimerControl.h"
#include "ui/cWindowMgr.h"

#include <QDir>
#include <QFile>
#include <QMenu>

namespace rwtest {
namespace {

class InspectorGesturesTest : public RunningProgramTest {
protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
    modReelwise::ExtractTemplateLibrary(library);
    gLibrary->OpenLibrary(library, true);
    folder_ = ScratchPath(QStringLiteral("films/"));
    QDir().mkpath(folder_);
    Db().Execute(QStringLiteral("INSERT INTO FileLocations VALUES ('AB12', "
                                "'Films', ':\\\\', '%1', 'Fixed Disk', "
                                "NULL, 1)")
                     .arg(folder_));
    Db().Execute(
        QStringLiteral(
            "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, "
            "FileSize, "
            "CurrentPath) VALUES (1, 'AB12', '', 'It''s a Film.avi', 4, '%1')")
            .arg(folder_));
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, "
                                "FileFlag, SelectionEnd, Online, "
                                "Rating) VALUES (1, 1, 'Y', 10, 1, 0)"));
    QFile film(file());
    ASSERT_TRUE(film.open(QIODevice::WriteOnly));
    film.write("film");
    film.close();
    ResultItem item;
    item.SegmentID = 1;
    item.FileID = 1;
    bool loaded = false;
    Pane().LoadInspector(item, loaded);
    ASSERT_EQ(gInspectedItem.FileName, QStringLiteral("It's a Film.avi"));
  }
  void TearDown() override {
    ctl::DragController::Instance().End(false);
    gWindowMode = 1;
    RunningProgramTest::TearDown();
  }

  static SqlConnection &Db() { return gLibrary->Connection(); }
  static InspectorPane &Pane() { return gMainForm->Inspector(); }
  QString file() const { return folder_ + QStringLiteral("It's a Film.avi"); }
  static int FileRows() {
    SqlRecordset rs(
        Db(),
        QStringLiteral("SELECT COUNT(*) FROM VideoFiles WHERE FileID = 1"));
    return rs.Value(0).toInt();
  }

  // A height in twips over the tag list's item `n`.
  static double PointerOver(int n) {
    ctl::ListView &list = *Pane().lstFileTags;
    for (int y = 0; y < list.height(); ++y) {
      if (list.HitTest(10 * gTwipsPerPixelX, y * gTwipsPerPixelY) ==
          &list.ListItems.Item(n))
        return y * gTwipsPerPixelY;
    }
    ADD_FAILURE() << "item " << n << " is not shown";
    return 0;
  }

  QString folder_;
};

TEST_F(InspectorGesturesTest, RemoveAsksAboutTheInspectedFileAndNoKeepsIt) {
  gMainForm->mnuResultsPopUp->setProperty("Tag", QStringLiteral("Inspector"));
  boxes.Answer(7);
  Pane().tbFileSpecs_ButtonClick(2);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(
      boxes.Last().prompt,
      QStringLiteral("This action will remove \r\n\r\n'It's a Film.avi'\r\n\r\n"
                     "from this Library.\r\n\r\nContinue?"));
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Confirm Removal"));
  EXPECT_EQ(FileRows(), 1);
  EXPECT_EQ(gSavedItem.FileID, 1) << "the toolbar acts on the inspected file";

  boxes.Answer(6);
  Pane().tbFileSpecs_ButtonClick(2);
  EXPECT_EQ(FileRows(), 0);
  EXPECT_TRUE(QFile::exists(file())) << "removing leaves the file on disk";
}

TEST_F(InspectorGesturesTest, DeleteAsksThenTakesTheFileFromDiskAndLibrary) {
  gMainForm->mnuResultsPopUp->setProperty("Tag", QStringLiteral("Inspector"));
  boxes.Answer(6);
  Pane().tbFileSpecs_ButtonClick(1);
  ASSERT_GE(boxes.Count(), 1);
  EXPECT_EQ(boxes.Shown().front().prompt,
            QStringLiteral(
                "Are you sure you want to delete \r\n'It's a Film.avi' ?"));
  EXPECT_EQ(boxes.Shown().front().title, QStringLiteral("Confirm Delete"));
  EXPECT_EQ(FileRows(), 0);
  EXPECT_FALSE(QFile::exists(file()));
}

TEST_F(InspectorGesturesTest, FileToolbarWithNothingInspectedDoesNothing) {
  Pane().ClearInspector();
  Pane().tbFileSpecs_ButtonClick(2);
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(FileRows(), 1);
}

TEST_F(InspectorGesturesTest,
       PreviewDoubleClickAsksForCompactThenCaptionTogglesMaximise) {
  Pane().picOpenFile_DblClick();
  EXPECT_EQ(gMainForm->m_RequestedWindowMode, QStringLiteral("COMPACT"));

  gWindowMode = 2;
  gMainForm->Results().Timer1->SetEnabled(true);
  Pane().picOpenFile_DblClick();
  EXPECT_FALSE(gMainForm->Results().Timer1->Enabled())
      << "full screen stops the position poll";

  gWindowMode = 1;
  const int32_t before = gWindowMgr->WindowState();
  gMainForm->picCaption_DblClick();
  EXPECT_NE(gWindowMgr->WindowState(), before);
  gMainForm->picCaption_DblClick();
  EXPECT_EQ(gWindowMgr->WindowState(), before);
}

TEST_F(InspectorGesturesTest,
       ThumbnailDragCarriesTheSegmentShownAndAutoTagDragCarriesNoFile) {
  ctl::DragController &drags = ctl::DragController::Instance();
  Pane().picThumbnail->SetTag(QStringLiteral("0"));
  Pane().picThumbnail_MouseMove(1, 0, 10, 10);
  EXPECT_FALSE(drags.Dragging()) << "no segment, no drag";

  Pane().picThumbnail->SetTag(QStringLiteral("1"));
  Pane().picThumbnail_MouseMove(2, 0, 10, 10);
  EXPECT_FALSE(drags.Dragging()) << "only the left button drags";
  Pane().picThumbnail_MouseMove(1, 0, 10, 10);
  ASSERT_TRUE(drags.Dragging());
  EXPECT_EQ(drags.Source(), Pane().picThumbnail);
  EXPECT_EQ(gMainForm->m_DragState.Source, QStringLiteral("Inspector"));
  EXPECT_EQ(gMainForm->m_DragState.SegmentID, 1);
  drags.End(false);

  gMainForm->m_DragState.SpeedTagging = 1;
  Pane().lblAutoTag_MouseDown(1, 0, 0, 0);
  ASSERT_TRUE(drags.Dragging());
  EXPECT_EQ(drags.Source(), Pane().picAutoTag);
  EXPECT_TRUE(gMainForm->m_DragState.Source.isEmpty());
  EXPECT_EQ(gMainForm->m_DragState.SpeedTagging, 0);
  EXPECT_TRUE(
      Pane().picAutoTag->isVisibleTo(Pane().picAutoTag->parentWidget()));
}

TEST_F(InspectorGesturesTest,
       RightPressOnTheTagListSelectsTheTagUnderThePointerCtrlAddsIt) {
  ctl::ListView &list = *Pane().lstFileTags;
  list.SetMultiSelect(true);
  list.ListItems.Clear();
  for (int i = 1; i <= 3; ++i) {
    ctl::ListItem &item = list.ListItems.Add();
    item.ListSubItems.Add(0, QString(), QStringLiteral("Tag %1").arg(i));
  }
  list.ListItems.Item(1).SetSelected(true);
  Pane().lstFileTags_MouseDown(2, 0, 10 * gTwipsPerPixelX, PointerOver(3));
  EXPECT_FALSE(list.ListItems.Item(1).Selected());
  EXPECT_TRUE(list.ListItems.Item(3).Selected());
  EXPECT_TRUE(gMainForm->mnuFileTagsPopUp->isVisible());
  gMainForm->mnuFileTagsPopUp->hide();

  Pane().lstFileTags_MouseDown(2, 2, 10 * gTwipsPerPixelX, PointerOver(2));
  EXPECT_TRUE(list.ListItems.Item(2).Selected());
  EXPECT_TRUE(list.ListItems.Item(3).Selected()) << "Ctrl keeps the selection";
  gMainForm->mnuFileTagsPopUp->hide();
}

TEST_F(InspectorGesturesTest, ClearingEmptiesEveryPanelAndForgetsThePendingDrag) {
  Pane().lstFileTags->ListItems.Add().ListSubItems.Add(0, QString(), QStringLiteral("Drama"));
  for (ctl::Label* arrow : Pane().lblTagListScroll) arrow->SetVisible(true);
  Pane().flexFileDetails->SetTextMatrix(1, 0, QStringLiteral("An alias"));
  gMainForm->m_DragState.Source = QStringLiteral("Browser");
  Pane().ClearInspector();
  EXPECT_EQ(gInspectedItem.FileID, 0);
  EXPECT_EQ(Pane().lstFileTags->ListItems.Count(), 0);
  for (ctl::Label* arrow : Pane().lblTagListScroll) EXPECT_FALSE(arrow->isVisibleTo(arrow->parentWidget()));
  EXPECT_TRUE(Pane().flexFileDetails->TextMatrix(1, 0).isEmpty());
  EXPECT_TRUE(gMainForm->m_DragState.Source.isEmpty());
  EXPECT_EQ(Pane().picThumbnail->Picture().size(), QSize(100, 75)) << "the blank tile";
  EXPECT_EQ(Pane().picThumbnail->Tag(), QStringLiteral("0"));
}

TEST_F(InspectorGesturesTest, EditButtonAlternatesBetweenAliasAndDescription) {
  Pane().flexFileDetails->SetTag(QString());
  Pane().tbCataloguing_ButtonClick(2);
  EXPECT_EQ(Pane().flexFileDetails->Tag(), QStringLiteral("1"));
  Pane().tbCataloguing_ButtonClick(2);
  EXPECT_EQ(Pane().flexFileDetails->Tag(), QStringLiteral("3"));
  Pane().tbCataloguing_ButtonClick(2);
  EXPECT_EQ(Pane().flexFileDetails->Tag(), QStringLiteral("1"));
}

} // namespace
} // namespace rwtest
