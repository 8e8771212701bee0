// The main window's pane layout in the running program: the browser snapped
// to whole tile columns in both layouts, the docking of the inspector and
// the browser toolbar, the progress strip's two homes, the toolbar's
// placeholders, the list columns, the tile rows and the early stops. With
// RW_SCREENSHOT set, the strip's test saves the window in the alternate
// layout (see docs/DEVELOPING.md).
#include "tests/app/ProgramRun.h"

#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "resources/GlyphFont.h"
#include "ui/SchemeColours.h"
#include "ui/cwProgress.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace rwtest {
namespace {

class PaneLayoutTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    gMainForm->resize(1200, 800);
    ASSERT_EQ(gBrowserMode, 1);
  }

  void TearDown() override {
    gResults.assign(1, ResultItem{});
    if (gLibrary) gLibrary->ResultCount = 0;
    RunningProgramTest::TearDown();
  }

  static LibraryTreePane& TreePane() { return gMainForm->Tree(); }
  static ResultsPane& Results() { return gMainForm->Results(); }
  static InspectorPane& I() { return gMainForm->Inspector(); }
  static int Columns() { return static_cast<int>(gTileColumns); }
  static double ScrollWidth() { return Results().scrollFlex->Width(); }
  static ctl::Button& Placeholder(const char* key) { return Results().tbFileBrowser->Buttons(QLatin1String(key)); }

  // The tree pane asks for all but `right` pixels, as a splitter drag does.
  static void RequestBrowserWidth(double right) {
    TreePane().picLeft->SetWidth(gMainForm->width() - right);
    gMainForm->LayoutPanes();
  }

  static void UseLayout(int layout) {
    gMainForm->MainToolbarHandler(layout == 2 ? QStringLiteral("mnuViewGUIAlternate")
                                              : QStringLiteral("mnuViewGUIStandard"));
    ASSERT_EQ(gMainForm->m_GUILayout, layout);
  }

  // n results in the tile view, their grids built as a search leaves them.
  static void ShowResults(int n) {
    gResults.assign(static_cast<size_t>(n) + 1, ResultItem{});
    for (int i = 1; i <= n; ++i) {
      gResults[static_cast<size_t>(i)].SegmentID = i;
      gResults[static_cast<size_t>(i)].FileID = i;
      gResults[static_cast<size_t>(i)].DisplayState = 5;
    }
    gLibrary->ResultCount = n;
    Results().LayoutThumbnailGrid(n);
    Results().DrawGridImages();
  }
};

TEST_F(PaneLayoutTest, BrowserTakesWholeTileColumnsInBothLayoutsAndTheTreePaneTheRest) {
  for (int layout : {1, 2}) {
    SCOPED_TRACE(layout);
    UseLayout(layout);
    std::vector<double> requests = {50, 103, 104, 207, 208, 519, 520, 1039, 1040};
    for (double right = 150; right <= 1000; right += 37) requests.push_back(right);
    for (double right : requests) {
      SCOPED_TRACE(right);
      RequestBrowserWidth(right);
      EXPECT_EQ(Columns(), std::max(1, static_cast<int>(std::floor(right / 104))));
      EXPECT_DOUBLE_EQ(Results().picRight->Width(), 104 * Columns() + ScrollWidth() + 10);
      EXPECT_DOUBLE_EQ(TreePane().picLeft->Width() + Results().picRight->Width(), gMainForm->width());
      EXPECT_EQ(Results().picRight->x(), TreePane().picLeft->width());
      EXPECT_EQ(Results().picFlexFrame->width(), 104 * Columns() + 2);
      EXPECT_EQ(Results().flexThumbsTiled->Cols(), Columns() + 2) << "the grid is rebuilt for a new column count";
    }
  }
}

TEST_F(PaneLayoutTest, StandardDocksAlongTheFootAlternateUnderTheBrowser) {
  const double top = gMainForm->picHolder->Top() + gMainForm->picHolder->Height();
  const ctl::PictureBox& bottom = *I().picBottom;
  const ctl::Toolbar& bar = *Results().tbFileBrowser;
  UseLayout(1);
  EXPECT_EQ(bottom.geometry(), QRect(0, 800 - bottom.height(), 1200, bottom.height()));
  EXPECT_EQ(bar.geometry(), QRect(0, bottom.y() - bar.height(), 1200, bar.height()));
  for (const QWidget* pane : {static_cast<QWidget*>(TreePane().picLeft), static_cast<QWidget*>(Results().picRight)}) {
    EXPECT_EQ(pane->y(), top);
    EXPECT_EQ(pane->y() + pane->height(), bar.y());
  }
  EXPECT_EQ(I().picBottomFrame->geometry(), QRect(3, 3, 1194, bottom.height() - 6));
  EXPECT_EQ(TreePane().picLeftFrame->height(), TreePane().picLeft->height() - 8);

  UseLayout(2);
  const ctl::PictureBox& right = *Results().picRight;
  EXPECT_EQ(TreePane().picLeft->geometry(), QRect(0, top, TreePane().picLeft->width(), 800 - top)) << "the full left height";
  EXPECT_EQ(bottom.geometry(), QRect(right.x(), 800 - bottom.height(), right.width(), bottom.height()));
  EXPECT_EQ(bar.geometry(), QRect(0, bottom.y() - bar.height(), 1200, bar.height()));
  EXPECT_EQ(right.y(), top);
  EXPECT_EQ(right.y() + right.height(), bar.y());
  EXPECT_EQ(I().picBottomFrame->geometry(), QRect(2, 3, right.width() - 5, bottom.height() - 6));
  EXPECT_EQ(TreePane().picLeftFrame->height(), TreePane().picLeft->height() - 8 - bar.height() - 1);
  EXPECT_LT(TreePane().picLeft->x() + TreePane().picLeft->width(), Placeholder("SD_FILTER").Left())
      << "the tree pane covers only the progress placeholder of the toolbar under it";
}

TEST_F(PaneLayoutTest, ProgressStripMovesBetweenTheToolbarAndTheTreePanesFoot) {
  const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
  modReelwise::ExtractTemplateLibrary(library);
  gLibrary->OpenLibrary(library, true);
  for (int i = 1; i <= 40; ++i) {
    QImage picture(100, 75, QImage::Format_RGB32);
    picture.fill(QColor::fromHsv(i * 37 % 360, 150, 210));
    QPainter(&picture).drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Clip %1").arg(i));
    gLibrary->SaveThumbnail(i, i, picture);
  }
  ShowResults(40);
  ctl::PictureBox& strip = *Results().picProgress;
  const int height = strip.height();

  UseLayout(2);
  ctl::PictureBox& tree = *TreePane().picLeft;
  EXPECT_EQ(strip.parentWidget(), &tree);
  EXPECT_TRUE(strip.isVisibleTo(gMainForm));
  EXPECT_EQ(strip.geometry(), QRect(4, tree.height() - Results().tbFileBrowser->height() - 1,
                                    static_cast<int>(Placeholder("PROGRESS").Width()) - 14, height));
  EXPECT_DOUBLE_EQ(Placeholder("PROGRESS").Width(), tree.Width() + 3);
  EXPECT_GT(strip.y(), TreePane().picLeftFrame->y() + TreePane().picLeftFrame->height()) << "under the tree's frame";
  gMainForm->progProgress->SetMax(10);
  gMainForm->progProgress->BroadcastProgress(QStringLiteral("Reading thumbnails..."), 4, gSchemeColour4);
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    QApplication::processEvents();
    EXPECT_TRUE(gMainForm->grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG"));
  }

  UseLayout(1);
  EXPECT_EQ(strip.parentWidget(), Results().tbFileBrowser);
  EXPECT_TRUE(strip.isVisibleTo(gMainForm));
  EXPECT_EQ(strip.geometry(), QRect(4, 0, static_cast<int>(Placeholder("PROGRESS").Width()) - 14, height));
  EXPECT_DOUBLE_EQ(strip.Left(), 4.0 * gTwipsPerPixelX) << "twips in the toolbar";
  EXPECT_EQ(gMainForm->progProgress->Caption(), QStringLiteral("Reading thumbnails..."));
}

TEST_F(PaneLayoutTest, ComboTakesTheToolbarsRestOnlyAboveA500PixelBrowser) {
  ctl::Button& combo = Placeholder("COMBO");
  RequestBrowserWidth(900);
  const double wide = Results().tbFileBrowser->Width() - combo.Left() - Results().Frame3->Width() / gTwipsPerPixelX - 42;
  EXPECT_DOUBLE_EQ(combo.Width(), wide);
  EXPECT_DOUBLE_EQ(Results().cmbBrowserHistory->Width(), wide - 5);
  combo.SetWidth(123);
  RequestBrowserWidth(416 + ScrollWidth() + 10 + 50);  // 4 columns: a 443-pixel browser
  ASSERT_LE(Results().picRight->Width(), 500);
  EXPECT_DOUBLE_EQ(combo.Width(), 123);
  RequestBrowserWidth(520);  // 5 columns: 547 pixels
  EXPECT_DOUBLE_EQ(combo.Width(), Results().tbFileBrowser->Width() - combo.Left() - Results().Frame3->Width() / gTwipsPerPixelX - 42);
}

TEST_F(PaneLayoutTest, ListColumnsShareTheWidthOnlyWhenEachGetsMoreThan1000Twips) {
  ctl::FlexGrid& list = *Results().flexThumbsList;
  const int first = gListColumns[0].Column;
  const int second = gListColumns[1].Column;
  list.SetColWidth(first, 2200);
  list.SetColWidth(second, 3600);
  RequestBrowserWidth(6 * 104 + 50);  // w = ((650 - 24) x 15 - 1560 - 6550) / 2 = 640
  EXPECT_EQ(list.ColWidth(first), 2200);
  EXPECT_EQ(list.ColWidth(second), 3600);
  RequestBrowserWidth(7 * 104 + 50);  // w = 1420
  EXPECT_EQ(list.ColWidth(first), 1420);
  EXPECT_EQ(list.ColWidth(second), 1420);
  EXPECT_EQ(list.ColWidth(5), 1250) << "the other columns keep theirs";
}

TEST_F(PaneLayoutTest, TileRowsFillOnePageOfResultsAndGrowWithTheWindow) {
  ShowResults(5);
  ctl::FlexGrid& grid = *Results().flexThumbsTiled;
  const int columns = Columns();
  EXPECT_EQ(grid.Rows(), static_cast<int>(gTileRowsVisible));
  grid.SetRow(0);
  grid.SetCol(2);
  const int before = grid.Rows();

  gMainForm->resize(1200, 1000);
  ASSERT_EQ(Columns(), columns);
  EXPECT_EQ(gTileRowsVisible, std::floor(grid.height() / 79.0));
  EXPECT_GT(grid.Rows(), before);
  EXPECT_EQ(grid.Rows(), static_cast<int>(gTileRowsVisible));
  EXPECT_EQ(grid.RowHeight(grid.Rows() - 1), gTileHeightTwips);
  grid.SetRow(grid.Rows() - 1);
  grid.SetCol(1);
  EXPECT_EQ(grid.CellFontName(), kGlyphFontFamily) << "the new rows have the tiles' format";
  EXPECT_EQ(grid.CellAlignment(), ctl::flexAlignCenterCenter);
  grid.SetRow(0);
  grid.SetCol(2);

  gMainForm->resize(1200, 800);
  EXPECT_EQ(grid.Rows(), before) << "a page of results has exactly the rows in view";
  EXPECT_EQ(grid.Row(), 0) << "the cursor stays";
  EXPECT_EQ(grid.Col(), 2);

  ShowResults(400);
  const int all = (400 + columns - 1) / columns;
  EXPECT_EQ(grid.Rows(), all);
  gMainForm->resize(1200, 1000);
  EXPECT_EQ(grid.Rows(), all) << "more results than a page: one row per row of results";
}

TEST_F(PaneLayoutTest, EarlyStopsMoveNothing) {
  ShowResults(60);
  RequestBrowserWidth(700);
  std::vector<QWidget*> controls = {Results().picRight,     Results().picFlexFrame, Results().flexThumbsTiled, Results().flexThumbsList,
                                    Results().scrollFlex,   TreePane().picGrip,      Results().picProgress,     Results().tbFileBrowser,
                                    TreePane().picLeftFrame, I().picBottom,    Results().cmbBrowserHistory};
  const auto places = [&controls] {
    std::vector<QRect> rects;
    for (const QWidget* control : controls) rects.push_back(control->geometry());
    return rects;
  };
  const auto unmoved = [&](const char* why) {
    SCOPED_TRACE(why);
    const std::vector<QRect> before = places();
    const float columns = gTileColumns;
    RequestBrowserWidth(300);
    EXPECT_EQ(places(), before);
    EXPECT_EQ(gTileColumns, columns);
  };

  I().picBottom->SetHeight(640);  // leaves the tree pane 47 pixels
  unmoved("a tree pane lower than 100 pixels");
  I().picBottom->SetHeight(338);

  gMainForm->setWindowState(Qt::WindowMinimized);
  ASSERT_TRUE(gMainForm->isMinimized());
  unmoved("minimised");
  gMainForm->setWindowState(Qt::WindowNoState);

  gWindowMode = 2;
  unmoved("compact mode");
  gWindowMode = 1;

  gMainForm->LayoutPanes();
  EXPECT_EQ(Columns(), 2) << "a layout after the stops takes the last request";
}

TEST_F(PaneLayoutTest, FocusOnTheBrowsersFrameGoesToTheTileGrid) {
  gMainForm->activateWindow();
  Results().picFlexFrame->setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(Results().flexThumbsTiled->isAncestorOf(QApplication::focusWidget()) ||
              QApplication::focusWidget() == Results().flexThumbsTiled);
  EXPECT_EQ(Results().picRightFrame->BackColor(), gCursorColour);
  EXPECT_EQ(TreePane().picLeftFrame->BackColor(), gSchemeColour3);
}

}  // namespace
}  // namespace rwtest
