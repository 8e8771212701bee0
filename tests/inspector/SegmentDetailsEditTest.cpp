// The in-place edit of a segment's alias and description, the headings and
// fallbacks of the details grid, the tag suggestion from selected words and
// the offline story-board message.
#include "tests/app/ProgramRun.h"

#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "carousel/cCarousel.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TimerControl.h"
#include "tests/support/FaultTrigger.h"

#include <QApplication>
#include <QDir>
#include <QTest>

namespace rwtest {
namespace {

class SegmentDetailsEditTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
    modReelwise::ExtractTemplateLibrary(library);
    gLibrary->OpenLibrary(library, true);
    // The file is offline: the details come from the library alone.
    Db().Execute(QStringLiteral("INSERT INTO FileLocations VALUES ('AB12', 'Films', ':\\\\', '/films/', "
                                "'Fixed Disk', NULL, 0)"));
    Db().Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                                "CurrentPath) VALUES (1, 'AB12', '', 'Holiday.2019.mkv', 4, '[Offline] Films:\\\\')"));
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, "
                                "SelectionEnd, Online, Rating, FileAlias, Description) VALUES "
                                "(1, 1, 'Y', 0, 40, 0, 0, NULL, 'All of it'), (2, 1, NULL, 1, 2, 0, 0, 'Beach', ''), "
                                "(3, 1, NULL, 5, 6, 0, 0, 'Hills', 'Walk')"));
    gResultKind = ResultScope::Segment;
    ResultItem item;
    item.SegmentID = 2;
    item.FileID = 1;
    bool loaded = false;
    Pane().LoadInspector(item, loaded);
  }

  static SqlConnection& Db() { return gLibrary->Connection(); }
  static InspectorPane& Pane() { return gMainForm->Inspector(); }
  static QString Stored(const char* column, int segment) {
    auto rs = Db().OpenRecordset(
        QStringLiteral("SELECT %1 FROM VideoSegments WHERE SegmentID = %2").arg(QLatin1String(column)).arg(segment));
    return rs->Value(0).toString();
  }
  static int RowOf(int segment) {
    for (int row = 1; row < Pane().flexSegments->Rows(); ++row) {
      if (Pane().flexSegments->TextMatrix(row, 4).toInt() == segment) return row;
    }
    return 0;
  }
  static void SelectRow(int row) {
    Pane().flexSegments->SetRow(row);
    Pane().flexSegments_SelChange();
  }
  static void EditRow(int detailsRow) {
    Pane().flexFileDetails->SetTag(QString::number(detailsRow));
    Pane().BeginCellEdit();
  }
};

TEST_F(SegmentDetailsEditTest, HeadingsAndTheAliasFallBackToTheFileName) {
  EXPECT_EQ(Pane().flexFileDetails->TextMatrix(1, 0), QStringLiteral("Beach"));
  EXPECT_EQ(Pane().flexFileDetails->TextMatrix(2, 0), QStringLiteral(" Segment Description"));
  SelectRow(1);
  EXPECT_EQ(Pane().flexFileDetails->TextMatrix(1, 0), QStringLiteral("Holiday.2019")) << "without its extension";
  EXPECT_EQ(Pane().flexFileDetails->TextMatrix(2, 0), QStringLiteral(" File Description"));
  EXPECT_EQ(Pane().flexFileDetails->TextMatrix(3, 0), QStringLiteral("All of it"));
  EXPECT_TRUE(gEditedSegment.IsFileRow);
  ResultItem noDot;
  noDot.FileName = QStringLiteral("README");
  EXPECT_EQ(InspectorPane::ShownAlias(noDot), QStringLiteral("README"));
}

TEST_F(SegmentDetailsEditTest, EscKeepsTheTypedAliasAndLeavingStoresItQuotesAndAll) {
  EditRow(1);
  ASSERT_TRUE(Pane().txtCell->isVisibleTo(Pane().txtCell->parentWidget()));
  EXPECT_EQ(Pane().txtCell->Text(), QStringLiteral("Beach"));
  EXPECT_EQ(Pane().txtCell->SelLength(), 5) << "the whole text selected";
  Pane().txtCell->SetText(QStringLiteral("Bob's \"beach\""));
  int esc = 27;
  Pane().txtCell_KeyDown(esc, 0);
  EXPECT_FALSE(Pane().txtCell->isVisibleTo(Pane().txtCell->parentWidget()));
  EXPECT_EQ(Pane().flexFileDetails->TextMatrix(1, 0), QStringLiteral("Bob's \"beach\"")) << "Esc keeps the text";
  Pane().txtCell_LostFocus();
  EXPECT_EQ(Stored("FileAlias", 2), QStringLiteral("Bob's \"beach\""));
  EXPECT_EQ(Pane().flexSegments->TextMatrix(RowOf(2), 6), QStringLiteral("Bob's \"beach\""));
  EXPECT_EQ(gEditedSegment.FileAlias, QStringLiteral("Bob's \"beach\""));
  EXPECT_EQ(boxes.Count(), 0);
}

// An alias the library cannot store (its disk full) is told once, and the
// details show the stored alias again rather than the one not kept.
TEST_F(SegmentDetailsEditTest, AnAliasTheLibraryCannotStoreIsToldOnceAndTheStoredOneShows) {
  rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER Full BEFORE UPDATE OF FileAlias ON VideoSegments "
                                               "BEGIN SELECT rw_fault(13); END"));
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  EditRow(1);
  Pane().txtCell->SetText(QStringLiteral("Dunes"));
  // As the box's loss of focus runs it.
  ErrorGuard({.owner = gMainForm}).Run([] { Pane().txtCell_LostFocus(); });
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Disk Full"));
  EXPECT_TRUE(boxes.Last().prompt.contains(gLibrary->LibraryPath)) << boxes.Last().prompt.toStdString();
  EXPECT_EQ(Stored("FileAlias", 2), QStringLiteral("Beach"));
  EXPECT_EQ(Pane().flexFileDetails->TextMatrix(1, 0), QStringLiteral("Beach"));
  EXPECT_EQ(Pane().flexSegments->TextMatrix(RowOf(2), 6), QStringLiteral("Beach"));
  EXPECT_EQ(gEditedSegment.FileAlias, QStringLiteral("Beach"));
}

TEST_F(SegmentDetailsEditTest, EnterStoresTheLineAndTheKeysThatFollowStayInTheInspector) {
  gMainForm->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(gMainForm));
  auto inInspector = [](const QWidget* widget) { return widget && Pane().picBottom->isAncestorOf(widget); };
  gLibrary->ShowView(QStringLiteral("|_?R:Unrated"), QString());  // the segments as tiles
  ASSERT_GT(gLibrary->ResultCount, 0);
  EditRow(1);
  ASSERT_TRUE(Pane().txtCell->isAncestorOf(QApplication::focusWidget()));
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Sea"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(Stored("FileAlias", 2), QStringLiteral("Sea")) << "Enter stores the title";
  EXPECT_FALSE(Pane().txtCell->isVisibleTo(Pane().txtCell->parentWidget()));
  EXPECT_TRUE(inInspector(QApplication::focusWidget())) << "the focus stays in the inspector";

  EditRow(3);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Waves"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(Stored("Description", 2), QStringLiteral("Waves")) << "leaving with Tab stores the description";
  EXPECT_TRUE(inInspector(QApplication::focusWidget()));
  const int32_t selected = gLibrary->SelectedCount;
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_EQ(gLibrary->SelectedCount, selected) << "Space selects no file of the grid";

  EditRow(1);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Dunes"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(Stored("FileAlias", 2), QStringLiteral("Dunes")) << "Esc keeps and stores what was typed";
  EXPECT_TRUE(inInspector(QApplication::focusWidget()));
}

TEST_F(SegmentDetailsEditTest, AClickEditsTheTitleAndTabTakesTheKeysOnToTheDescription) {
  gMainForm->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(gMainForm));
  gLibrary->ShowView(QStringLiteral("|_?R:Unrated"), QString());  // the segments as tiles
  const int32_t results = gLibrary->ResultCount;
  const int32_t selected = gLibrary->SelectedCount;
  ASSERT_GT(results, 0);
  auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  };
  auto editing = [](const char* row) {
    return Pane().txtCell->isAncestorOf(QApplication::focusWidget()) &&
           Pane().flexFileDetails->Tag() == QLatin1String(row);
  };
  ctl::FlexGrid& details = *Pane().flexFileDetails;
  const int rowHeight = static_cast<int>(details.RowHeight(1) / gTwipsPerPixelY);
  QTest::mouseClick(&details, Qt::LeftButton, {}, QPoint(10, rowHeight * 3 / 2));
  ASSERT_TRUE(editing("1")) << "a click on the title edits it";
  press(Qt::Key_End);
  press(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Pane().txtCell->SelLength(), 5) << "Ctrl+A selects the title's text";
  EXPECT_EQ(gLibrary->SelectedCount, selected) << "and no tile";

  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Sea"));
  press(Qt::Key_Return);
  EXPECT_EQ(Stored("FileAlias", 2), QStringLiteral("Sea"));
  press(Qt::Key_Tab);
  ASSERT_TRUE(editing("3")) << "Tab after Enter goes on to the description";
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Waves"));
  press(Qt::Key_Return);
  EXPECT_EQ(Stored("Description", 2), QStringLiteral("Waves"));
  EXPECT_EQ(gLibrary->ResultCount, results) << "no key reached the tree to open a search";
  press(Qt::Key_Space);
  EXPECT_EQ(gLibrary->SelectedCount, selected) << "Space selects no tile";

  press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_TRUE(editing("1")) << "Shift+Tab goes back to the title";
  press(Qt::Key_Tab);
  EXPECT_TRUE(editing("3")) << "Tab in the title's box goes on to the description";
  press(Qt::Key_Escape);
  EXPECT_TRUE(Pane().picBottom->isAncestorOf(QApplication::focusWidget()));
  EXPECT_EQ(Stored("FileAlias", 2), QStringLiteral("Sea"));
  EXPECT_EQ(Stored("Description", 2), QStringLiteral("Waves"));
}

TEST_F(SegmentDetailsEditTest, EditsInTheInspectorRedrawTheCarouselsFrontCard) {
  Db().Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (30, 'Sunny', 'T')"));
  Db().Execute(QStringLiteral("INSERT INTO SegmentTags (SegmentID, TagID) VALUES (2, 30)"));
  Pane().ShowFileTags(gEditedSegment);
  gLibrary->ShowView(QStringLiteral("|_?R:Unrated"), QString());
  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewCarousel"));
  ASSERT_EQ(gBrowserMode, 3);
  int32_t front = 0;
  for (size_t i = 1; i < gResults.size(); ++i) {
    if (gResults[i].SegmentID == 2) front = static_cast<int32_t>(i);
  }
  ASSERT_GT(front, 0);
  gCarousel->SetCarouselIndex(front, false, false);
  ASSERT_EQ(gCurrentItem.SegmentID, 2);
  auto cardHasTag = [] {
    for (const TagListRow& row : gCarousel->TagRows()) {
      if (row.TagID == 30) return true;
    }
    return false;
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return gCarousel->DetailsDrawn() && cardHasTag(); }, 10000));
  const bool autoRefresh = gAutoRefresh;
  gAutoRefresh = false;  // no new search puts the results in step
  Pane().imgRating_MouseDown(4, 1, 0, 0, 0);
  gAutoRefresh = autoRefresh;
  EXPECT_EQ(gCurrentItem.Rating, 4) << "the front card shows the new rating";
  EditRow(1);
  Pane().txtCell->SetText(QStringLiteral("Sunset"));
  Pane().txtCell_LostFocus();
  EXPECT_EQ(gCurrentItem.FileAlias, QStringLiteral("Sunset")) << "and the new title";
  for (int i = 1; i <= Pane().lstFileTags->ListItems.Count(); ++i) {
    ctl::ListItem& item = Pane().lstFileTags->ListItems.Item(i);
    item.SetSelected(item.Tag() == QLatin1String("30"));
    }
  Pane().tbCataloguing_ButtonClick(1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return gCarousel->DetailsDrawn() && !cardHasTag(); }, 10000))
      << "the front card's tags are read again";
}

TEST_F(SegmentDetailsEditTest, AnEditOpenWhenAnotherSegmentIsShownIsStoredForItsOwnSegment) {
  EditRow(3);
  Pane().txtCell->SetText(QStringLiteral("Sand and sea"));
  SelectRow(RowOf(3));  // the arrows or the grid move on without a focus change
  EXPECT_EQ(Stored("Description", 2), QStringLiteral("Sand and sea"));
  EXPECT_EQ(Stored("Description", 3), QStringLiteral("Walk")) << "the segment shown next keeps its own";
  EXPECT_EQ(Pane().flexFileDetails->TextMatrix(3, 0), QStringLiteral("Walk"));
  Pane().txtCell_LostFocus();  // the late focus change stores nothing more
  EXPECT_EQ(Stored("Description", 3), QStringLiteral("Walk"));
}

TEST_F(SegmentDetailsEditTest, SelectedWordsAreOfferedAsATagWithoutTheirPunctuation) {
  EditRow(3);
  Pane().txtCell->SetText(QStringLiteral("a sunny beach, today"));
  Pane().txtCell->SetSelStart(8);
  Pane().txtCell->SetSelLength(6);
  ASSERT_EQ(Pane().txtCell->SelText(), QStringLiteral("beach,"));
  Pane().txtCell_MouseUp(1, 0, 0, 0);
  EXPECT_TRUE(Pane().picAutoTag->isVisibleTo(Pane().picAutoTag->parentWidget()));
  EXPECT_EQ(Pane().lblAutoTag->Caption(), QStringLiteral("beach"));
  EXPECT_DOUBLE_EQ(Pane().picAutoTag->Width(), Pane().lblAutoTag->Width() + 32);

  Pane().txtCell->SetSelStart(2);
  Pane().txtCell->SetSelLength(1);
  Pane().txtCell_MouseUp(1, 0, 0, 0);
  EXPECT_FALSE(Pane().picAutoTag->isVisibleTo(Pane().picAutoTag->parentWidget())) << "one character";
  Pane().txtCell->SetText(QString(60, QLatin1Char('w')));
  Pane().txtCell->SetSelStart(0);
  Pane().txtCell->SetSelLength(51);
  Pane().txtCell_MouseUp(1, 0, 0, 0);
  EXPECT_FALSE(Pane().picAutoTag->isVisibleTo(Pane().picAutoTag->parentWidget())) << "51 characters";
}

TEST_F(SegmentDetailsEditTest, AStoryBoardOfAnOfflineFileNamesItAndItsVolume) {
  gSavedItem = gInspectedItem;
  Pane().timerFilePreview->SetEnabled(true);
  boxes.Answer(1);
  Pane().timerFilePreview_Timer();
  EXPECT_FALSE(Pane().timerFilePreview->Enabled()) << "one shot";
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("'Holiday.2019.mkv'\r\n\r\nThis file is most likely")));
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Offline Volume: Films")) << "the volume without its mark";
}

TEST_F(SegmentDetailsEditTest, AStoryBoardAskedAgainIsShownAgain) {
  gSavedItem = gInspectedItem;
  gSavedItem.CurrentPath = QStringLiteral("/films/");
  // Counts the story board's showings; the first one has its settings
  // changed and asks to be shown again.
  struct ShowCounter : QObject {
    int shown = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("frmFilePreview") &&
          ++shown == 1) {
        gMainForm->SetTag(QStringLiteral("REDO"));
      }
      return false;
    }
  } counter;
  // The file is not on this machine: each showing says so.
  boxes.AnswerAll([](const MessageBoxRequest&) { return 1; });
  qApp->installEventFilter(&counter);
  Pane().timerFilePreview_Timer();
  qApp->removeEventFilter(&counter);
  EXPECT_EQ(counter.shown, 2);
  EXPECT_EQ(boxes.Count(), 2) << "the missing file is named at each showing";
  EXPECT_TRUE(gMainForm->Results().Timer1->Enabled()) << "the poll runs again after the story board";
}

}  // namespace
}  // namespace rwtest
