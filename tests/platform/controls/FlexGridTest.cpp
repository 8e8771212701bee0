// The flex grid: cursor movement by arrow keys and clicks with the event order
// the program's handlers rely on, TopRow scrolling, text, formats, sorting,
// column moves, merging and what is painted.
#include "platform/controls/ControlErrors.h"
#include "platform/controls/FlexGrid.h"
#include "platform/controls/TextLayerCache.h"
#include "tests/platform/controls/ControlTestSupport.h"
#include "tests/support/ScriptedDialogs.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using ctl::FlexGrid;

constexpr int kColTwips = 1500;  // 100 pixels
constexpr int kRowTwips = 300;   // 20 pixels

class FlexGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    grid.resize(400, 200);
    grid.SetRows(21);
    grid.SetCols(4);
    grid.SetFixedRows(1);
    grid.SetFixedCols(0);
    grid.SetColWidth(-1, kColTwips);
    grid.SetRowHeight(-1, kRowTwips);
    for (int r = 0; r < grid.Rows(); ++r) {
      for (int c = 0; c < grid.Cols(); ++c) grid.SetTextMatrix(r, c, QStringLiteral("%1:%2").arg(r).arg(c));
    }
    grid.SetRow(1);
    grid.SetCol(1);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.setFocus();
  }

  void Record() {
    const auto cell = [this] { return QStringLiteral("(%1,%2)").arg(grid.Row()).arg(grid.Col()); };
    grid.LeaveCell = [=, this] { log.Add("LeaveCell" + cell()); };
    grid.EnterCell = [=, this] { log.Add("EnterCell" + cell()); };
    grid.RowColChange = [=, this] { log.Add("RowColChange" + cell()); };
    grid.SelChange = [=, this] { log.Add("SelChange" + cell()); };
    grid.Scroll = [=, this] { log.Add(QStringLiteral("Scroll top %1").arg(grid.TopRow())); };
    grid.KeyDown = [=, this](int& key, int shift) { log.Add(QStringLiteral("KeyDown %1 ").arg(key) + cell()); };
    grid.MouseDown = [=, this](int button, int shift, double x, double y) {
      log.Add(QStringLiteral("MouseDown %1 mouse (%2,%3) ").arg(button).arg(grid.MouseRow()).arg(grid.MouseCol()) +
              cell());
    };
    grid.MouseUp = [=, this](int button, int, double, double) { log.Add(QStringLiteral("MouseUp %1").arg(button)); };
    grid.Click = [=, this] { log.Add(QStringLiteral("Click %1").arg(grid.LastMouseButton())); };
    grid.DblClick = [=, this] { log.Add("DblClick" + cell()); };
  }

  // The centre of a visible cell, in pixels.
  QPoint CellCentre(int visibleRow, int col) const { return QPoint(col * 100 + 50, visibleRow * 20 + 10); }
  // Back to the first cell, set in code (which raises no event), log cleared.
  void BackToTheFirstCell() {
    grid.SetRow(1);
    grid.SetCol(1);
    log.Clear();
  }

  FlexGrid grid;
  rwtest::EventLog log;
};

// The cursor under keys and clicks, with the events in the order the
// program's handlers rely on; changes made in code raise none.
TEST_F(FlexGridTest, KeysAndClicksMoveTheCellInTheOrderTheHandlersRelyOnAndCodeRaisesNoEvents) {
  Record();
  // An arrow key moves the cell before the KeyDown handler runs.
  QTest::keyClick(&grid, Qt::Key_Down);
  EXPECT_EQ(log.Joined(), "LeaveCell(1,1) | EnterCell(2,1) | RowColChange(2,1) | SelChange(2,1) | KeyDown 40 (2,1)");
  log.Clear();
  QTest::keyClick(&grid, Qt::Key_Right);
  QTest::keyClick(&grid, Qt::Key_Left);
  EXPECT_EQ(grid.Row(), 2);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_TRUE(log.Entries().contains("LeaveCell(2,2)"));

  // An arrow key at the edge raises only the KeyDown.
  BackToTheFirstCell();
  QTest::keyClick(&grid, Qt::Key_Up);  // row 0 is fixed
  EXPECT_EQ(log.Joined(), "KeyDown 38 (1,1)");
  grid.SetCol(3);
  log.Clear();
  QTest::keyClick(&grid, Qt::Key_Right);
  EXPECT_EQ(log.Joined(), "KeyDown 39 (1,3)");

  // Other keys do not move the cell.
  BackToTheFirstCell();
  for (auto key : {Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home, Qt::Key_Return, Qt::Key_Space}) {
    QTest::keyClick(&grid, key);
  }
  EXPECT_EQ(log.Joined(),
            "KeyDown 34 (1,1) | KeyDown 35 (1,1) | KeyDown 36 (1,1) | KeyDown 13 (1,1) | "
            "KeyDown 32 (1,1)");

  // A left click moves the cell, then raises MouseDown, then Click on release.
  BackToTheFirstCell();
  QTest::mouseClick(&grid, Qt::LeftButton, {}, CellCentre(3, 2));
  EXPECT_EQ(log.Joined(),
            "LeaveCell(1,1) | EnterCell(3,2) | RowColChange(3,2) | SelChange(3,2) | "
            "MouseDown 1 mouse (3,2) (3,2) | MouseUp 1 | Click 1");
  log.Clear();
  QTest::mouseClick(&grid, Qt::LeftButton, {}, CellCentre(3, 2));
  EXPECT_EQ(log.Joined(), "MouseDown 1 mouse (3,2) (3,2) | MouseUp 1 | Click 1");

  // A right click and a click on the header leave the cell where it is.
  BackToTheFirstCell();
  QTest::mouseClick(&grid, Qt::RightButton, {}, CellCentre(4, 0));
  EXPECT_EQ(log.Joined(), "MouseDown 2 mouse (4,0) (1,1) | MouseUp 2 | Click 2");
  log.Clear();
  QTest::mouseClick(&grid, Qt::LeftButton, {}, CellCentre(0, 3));
  EXPECT_EQ(log.Joined(), "MouseDown 1 mouse (0,3) (1,1) | MouseUp 1 | Click 1");

  // A double click raises DblClick without a second MouseDown.
  BackToTheFirstCell();
  QTest::mouseClick(&grid, Qt::LeftButton, {}, CellCentre(2, 1));
  QTest::mouseDClick(&grid, Qt::LeftButton, {}, CellCentre(2, 1));
  QTest::mouseRelease(&grid, Qt::LeftButton, {}, CellCentre(2, 1));
  EXPECT_EQ(log.Entries().filter("MouseDown").size(), 1);
  EXPECT_EQ(log.Entries().filter("DblClick").size(), 1);
  EXPECT_EQ(grid.Row(), 2);

  // Mouse coordinates are twips.
  double seenX = 0;
  double seenY = 0;
  grid.MouseMove = [&](int, int, double x, double y) {
    seenX = x;
    seenY = y;
  };
  QTest::mouseMove(&grid, QPoint(30, 12));
  EXPECT_DOUBLE_EQ(seenX, 30 * 15.0);
  EXPECT_DOUBLE_EQ(seenY, 12 * 15.0);

  // Changes made in code raise no events and reset the selection per axis.
  BackToTheFirstCell();
  grid.SetRow(5);
  grid.SetRowSel(7);
  grid.SetCol(0);
  grid.SetColSel(3);
  EXPECT_EQ(grid.RowSel(), 7) << "setting Col leaves RowSel";
  grid.SetRow(6);
  EXPECT_EQ(grid.RowSel(), 6);
  EXPECT_EQ(grid.ColSel(), 3) << "setting Row leaves ColSel";
  grid.SetCol(2);
  EXPECT_EQ(grid.ColSel(), 2);
  grid.SetTopRow(4);
  EXPECT_TRUE(log.Entries().isEmpty());

  // The mouse beyond the last row gives the last row.
  BackToTheFirstCell();
  grid.SetTopRow(1);
  grid.SetRows(4);
  QTest::mouseMove(&grid, QPoint(350, 150));
  EXPECT_EQ(grid.MouseRow(), 3);
  EXPECT_EQ(grid.MouseCol(), 3);
  QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(150, 150));
  EXPECT_EQ(grid.Row(), 1) << "a click below the rows moves nothing";

  // An error in a handler is reported in the message box.
  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(vbOK);
  grid.SelChange = [] { throw RWError(13, "Type mismatch"); };
  QTest::keyClick(&grid, Qt::Key_Down);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().prompt, "13: Type mismatch");
  EXPECT_EQ(grid.Row(), 2);
}

// The rows in view as keys, TopRow and the fixed rows move them.
TEST_F(FlexGridTest, TheRowsInViewFollowTheKeysTopRowAndTheFixedRows) {
  // Paging handlers see the moved cell and keep it in view: the browser's
  // handler scrolls by one row when the cursor steps off the rows in view.
  constexpr int kRowsVisible = 9;
  grid.KeyDown = [&](int& key, int) {
    if (key == ctl::vbKeyDown && grid.TopRow() + kRowsVisible <= grid.Row()) grid.SetTopRow(grid.TopRow() + 1);
    if (key == ctl::vbKeyUp && grid.Row() == grid.TopRow() - 1) grid.SetTopRow(grid.TopRow() - 1);
  };
  for (int press = 0; press < 15; ++press) {
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_GE(grid.Row(), grid.TopRow());
    EXPECT_LT(grid.Row(), grid.TopRow() + kRowsVisible);
  }
  EXPECT_EQ(grid.Row(), 16);
  for (int press = 0; press < 15; ++press) {
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_GE(grid.Row(), grid.TopRow());
  }
  EXPECT_EQ(grid.TopRow(), 1);

  // Keys do not scroll without scroll bars but do with them.
  grid.KeyDown = nullptr;
  grid.SetRow(9);  // the last whole row: the header and rows 1-9 fill 200 pixels
  QTest::keyClick(&grid, Qt::Key_Down);
  EXPECT_EQ(grid.Row(), 10);
  EXPECT_EQ(grid.TopRow(), 1);
  Record();
  grid.SetScrollBars(ctl::flexScrollBarVertical);
  QTest::keyClick(&grid, Qt::Key_Down);
  EXPECT_EQ(grid.TopRow(), 3);
  EXPECT_TRUE(log.Entries().contains("Scroll top 3"));
  grid.SetRow(3);
  QTest::keyClick(&grid, Qt::Key_Up);
  EXPECT_EQ(grid.TopRow(), 2);

  // TopRow scrolls the cells under the mouse.
  grid.SetScrollBars(ctl::flexScrollBarNone);
  grid.SetTopRow(11);
  QTest::mouseClick(&grid, Qt::LeftButton, {}, CellCentre(1, 0));
  EXPECT_EQ(grid.Row(), 11);
  EXPECT_EQ(grid.CellTop(), 20 * 15.0);
  grid.SetTopRow(0);  // fixed rows never scroll away
  EXPECT_EQ(grid.TopRow(), 1);
  grid.SetTopRow(20);
  EXPECT_EQ(grid.TopRow(), 20);

  // A grid without fixed rows (the inspector's details) shows its first row;
  // a scrolled grid keeps its place when the fixed rows change.
  grid.SetTopRow(1);
  grid.SetFixedRows(0);
  EXPECT_EQ(grid.TopRow(), 0);
  grid.SetFixedRows(1);
  EXPECT_EQ(grid.TopRow(), 1);
  grid.SetTopRow(5);
  grid.SetFixedRows(0);
  EXPECT_EQ(grid.TopRow(), 5);
}

// What the cells hold, set through the selection one step after another.
TEST_F(FlexGridTest, FillsFontsSizesAndColumnMovesGoWhereTheSelectionSaysAndOutOfRangeRaisesTheErrors) {
  // Out of range raises the grid's errors.
  EXPECT_EQ(rwtest::ErrorNumber([&] { grid.SetRow(21); }), ctl::kErrInvalidRowValue);
  EXPECT_EQ(rwtest::ErrorNumber([&] { grid.SetCol(-1); }), ctl::kErrInvalidColValue);
  EXPECT_EQ(rwtest::ErrorNumber([&] { grid.TextMatrix(0, 4); }), ctl::kErrSubscriptOutOfRange);
  EXPECT_EQ(rwtest::ErrorNumber([&] { grid.SetTextMatrix(21, 0, "x"); }), ctl::kErrSubscriptOutOfRange);
  EXPECT_EQ(rwtest::ErrorNumber([&] { grid.RowData(21); }), ctl::kErrInvalidRowValue);
  EXPECT_EQ(rwtest::ErrorNumber([&] { grid.SetRowData(-1, 1); }), ctl::kErrInvalidRowValue);

  // Repeat font changes keep what each cell had and share the fonts.
  grid.SetRow(2);
  grid.SetCol(1);
  grid.SetCellFontBold(true);
  grid.SetRowSel(3);
  grid.SetColSel(2);
  grid.SetFillStyle(ctl::flexFillRepeat);
  grid.SetCellFontName(QStringLiteral("Courier"));
  grid.SetCellFontSize(20);
  grid.SetFillStyle(ctl::flexFillSingle);
  const ctl::FlexGridModel& model = grid.Model();
  const QFont bold = model.Font(model.Cell(2, 1).fontId);
  EXPECT_EQ(bold.family(), "Courier");
  EXPECT_EQ(bold.pointSizeF(), 20.0);
  EXPECT_TRUE(bold.bold()) << "the cell keeps its own bold";
  const QFont plain = model.Font(model.Cell(3, 2).fontId);
  EXPECT_EQ(plain.family(), "Courier");
  EXPECT_EQ(plain.pointSizeF(), 20.0);
  EXPECT_FALSE(plain.bold());
  EXPECT_EQ(model.Cell(2, 2).fontId, model.Cell(3, 1).fontId) << "equal fonts are stored once";
  EXPECT_NE(model.Cell(2, 2).fontId, model.Cell(2, 1).fontId);
  EXPECT_EQ(model.Cell(4, 1).fontId, -1) << "outside the selection";
  EXPECT_EQ(model.Cell(2, 0).fontId, -1);

  // A repeat fill writes the whole selection.
  grid.SetRow(2);
  grid.SetCol(0);
  grid.SetRowSel(3);
  grid.SetColSel(3);
  grid.SetFillStyle(ctl::flexFillRepeat);
  grid.SetCellBackColor(RGB(10, 20, 30));
  grid.SetText("");
  grid.SetFillStyle(ctl::flexFillSingle);
  grid.SetCellForeColor(RGB(1, 2, 3));
  EXPECT_EQ(grid.Model().Cell(3, 3).backColor, RGB(10, 20, 30));
  EXPECT_EQ(grid.Model().Cell(4, 3).backColor, 0u);
  EXPECT_EQ(grid.TextMatrix(3, 2), "");
  EXPECT_EQ(grid.TextMatrix(4, 2), "4:2");
  EXPECT_EQ(grid.Model().Cell(2, 0).foreColor, RGB(1, 2, 3));
  EXPECT_EQ(grid.Model().Cell(2, 1).foreColor, 0u);

  // Sizes are kept in twips.
  grid.SetColWidth(2, 2200);
  EXPECT_EQ(grid.ColWidth(2), 2200);
  grid.SetCol(3);
  EXPECT_DOUBLE_EQ(grid.CellLeft(), (100 + 100 + 147) * 15.0);  // 2200 twips are 146.7 pixels
  grid.SetRowHeightMin(450);
  EXPECT_EQ(grid.RowHeight(1), 450);
  grid.SetRowHeight(2, 0);
  EXPECT_EQ(grid.RowHeight(2), 0) << "a hidden row stays hidden";

  // Selection by row fills whole rows.
  grid.SetSelectionMode(ctl::flexSelectionByRow);
  grid.SetRow(4);
  grid.SetCol(0);
  grid.SetFillStyle(ctl::flexFillRepeat);
  grid.SetCellBackColor(RGB(9, 9, 9));
  for (int c = 0; c < grid.Cols(); ++c) EXPECT_EQ(grid.Model().Cell(4, c).backColor, RGB(9, 9, 9));
  EXPECT_EQ(grid.Model().Cell(5, 0).backColor, 0u);

  // ColPosition moves a column with its width.
  grid.SetColWidth(3, 750);
  grid.SetColPosition(3, 1);
  EXPECT_EQ(grid.TextMatrix(5, 1), "5:3");
  EXPECT_EQ(grid.TextMatrix(5, 2), "5:1");
  EXPECT_EQ(grid.TextMatrix(5, 3), "5:2");
  EXPECT_EQ(grid.ColWidth(1), 750);
}

// The grid resized, then grown again and sorted.
TEST_F(FlexGridTest, ResizingKeepsTheTextAndClampsTheCursorAndSortingOrdersTheSelectedRows) {
  grid.SetRow(20);
  grid.SetRows(5);
  EXPECT_EQ(grid.Row(), 4);
  EXPECT_EQ(grid.TextMatrix(4, 3), "4:3");
  grid.SetRows(8);
  EXPECT_EQ(grid.TextMatrix(7, 0), "");
  grid.SetRows(1);
  EXPECT_EQ(grid.FixedRows(), 1);

  // Sorts the selected rows by the selected columns.
  const QStringList sizes{"9", "10", "B", "a", "10"};
  const QStringList durations{"2", "1", "1", "1", "0"};
  grid.SetRows(6);
  for (int r = 1; r <= 5; ++r) {
    grid.SetTextMatrix(r, 0, QString::number(r));
    grid.SetTextMatrix(r, 1, sizes[r - 1]);
    grid.SetTextMatrix(r, 2, durations[r - 1]);
  }
  grid.SetRow(1);
  grid.SetRowSel(5);
  grid.SetCol(1);
  grid.SetColSel(2);
  grid.SetSort(ctl::flexSortStringAscending);
  QStringList order;
  for (int r = 1; r <= 5; ++r) order << grid.TextMatrix(r, 0);
  EXPECT_EQ(order.join(","), "5,2,1,3,4") << "text order: 10 before 9, capitals before small letters";

  grid.SetCol(0);
  grid.SetRowSel(5);
  grid.SetSort(ctl::flexSortNumericAscending);
  order.clear();
  for (int r = 1; r <= 5; ++r) order << grid.TextMatrix(r, 0);
  EXPECT_EQ(order.join(","), "1,2,3,4,5");
  EXPECT_EQ(grid.TextMatrix(0, 1), "0:1") << "the header row is not sorted";
}

class FlexGridPaintTest : public FlexGridTest {
 protected:
  QColor PixelAt(int x, int y) { return grid.grab().toImage().pixelColor(x, y); }
};

// What the grid paints, one change after another.
TEST_F(FlexGridPaintTest, MarksColoursPicturesOwnerDrawnAndMergedCellsArePaintedInTheirPlaces) {
  // A header's sort mark at the cell's right: a text too long for the cell is
  // cut before the mark, never drawn over it; the width a cell needs for its
  // text and mark is its widest word's when the grid wraps.
  grid.SetTextMatrix(0, 1, QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
  grid.SetRow(0);
  grid.SetCol(1);
  QPixmap mark(16, 16);
  mark.fill(QColor(0, 0, 255));
  grid.SetCellPictureAlignment(ctl::flexAlignRightCenter);
  grid.SetCellPicture(mark);
  // Cell (0, 1) is x 100 to 198 inside its grid line, y 0 to 18.
  const QImage painted = grid.grab().toImage();
  int covered = 0;
  for (int x = 183; x <= 198; ++x) {
    for (int y = 1; y <= 16; ++y) covered += painted.pixelColor(x, y) != QColor(0, 0, 255);
  }
  EXPECT_EQ(covered, 0);
  int ink = 0;
  for (int x = 100; x < 183; ++x) ink += qGray(painted.pixel(x, 9)) < 128;
  EXPECT_GT(ink, 10) << "the text beside the mark";
  const int oneLine = grid.CellFittingPixels(0, 1);
  EXPECT_GE(oneLine, QFontMetrics(grid.font()).horizontalAdvance(grid.TextMatrix(0, 1)) + 16);
  grid.SetTextMatrix(0, 1, QStringLiteral("Frame"));
  const int word = grid.CellFittingPixels(0, 1);
  grid.SetTextMatrix(0, 1, QStringLiteral("Frame Rate"));
  EXPECT_GT(grid.CellFittingPixels(0, 1), word);
  grid.SetWordWrap(true);
  EXPECT_EQ(grid.CellFittingPixels(0, 1), word) << "wrapped, the widest word";

  // Cell colours and pictures are painted.
  grid.SetTextMatrix(2, 1, "");
  grid.SetRow(2);
  grid.SetCol(1);
  grid.SetCellBackColor(RGB(200, 0, 0));
  QPixmap picture(10, 10);
  picture.fill(QColor(0, 0, 255));
  grid.SetCellPictureAlignment(ctl::flexAlignLeftTop);
  grid.SetCellPicture(picture);
  EXPECT_EQ(PixelAt(105, 45), QColor(0, 0, 255));  // the picture at the top left of (2,1)
  EXPECT_EQ(PixelAt(150, 55), QColor(200, 0, 0));  // the cell's own colour beside it
  grid.SetRow(3);
  grid.SetCol(1);
  EXPECT_EQ(PixelAt(150, 70), QColor(255, 255, 255));
  // The grid paints every pixel of itself, so what lies under it need not
  // be painted first.
  EXPECT_TRUE(grid.testAttribute(Qt::WA_OpaquePaintEvent));
  QImage onMagenta(grid.size(), QImage::Format_RGB32);
  onMagenta.fill(Qt::magenta);
  grid.render(&onMagenta, QPoint(), QRegion(), QWidget::DrawChildren);
  int unpainted = 0;
  for (int y = 0; y < onMagenta.height(); ++y) {
    for (int x = 0; x < onMagenta.width(); ++x) unpainted += onMagenta.pixelColor(x, y) == QColor(Qt::magenta);
  }
  EXPECT_EQ(unpainted, 0);

  // Owner-drawn cells replace the content.
  BackToTheFirstCell();
  std::vector<std::pair<int, int>> currentCells;
  grid.OwnerDrawCell = [&](QPainter& painter, const ctl::FlexCellPaint& cell) {
    if (cell.current) currentCells.push_back({cell.row, cell.col});
    if (cell.row != 2) return false;
    painter.fillRect(cell.rect, QColor(0, 160, 0));
    return true;
  };
  EXPECT_EQ(PixelAt(250, 50), QColor(0, 160, 0));
  EXPECT_EQ(currentCells, (std::vector<std::pair<int, int>>{{1, 1}}));

  // Equal texts of merging columns draw as one cell.
  grid.OwnerDrawCell = nullptr;
  grid.SetGridColor(RGB(255, 0, 0));
  for (const int row : {1, 2}) {
    for (const int col : {1, 2}) grid.SetTextMatrix(row, col, "same");
  }
  grid.SetMergeCells(ctl::flexMergeRestrictColumns);
  grid.SetMergeCol(2, true);
  EXPECT_EQ(PixelAt(250, 39), QColor(255, 255, 255)) << "no grid line between the merged cells";
  EXPECT_EQ(PixelAt(150, 39), QColor(255, 0, 0)) << "column 1 does not merge";
  grid.SetMergeCol(1, true);
  grid.SetTextMatrix(2, 1, "other");
  EXPECT_EQ(PixelAt(250, 39), QColor(255, 0, 0)) << "restricted by the merging column to its left";
}

// A glyph too large for Qt's glyph cache is drawn from a layer made once:
// over pictures, in either kind of window surface, clipped by the cell and
// whatever the paint's own clip, its pixels are those of the text drawn
// directly; a painter the layer would not match draws the text itself.
TEST(TextLayerCacheTest, LargeTextFromTheLayerHasThePixelsOfTextDrawnDirectly) {
  QImage noise(280, 200, QImage::Format_RGB32);
  uint seed = 12345;
  for (int y = 0; y < noise.height(); ++y) {
    for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, 0xff000000u | ((seed = seed * 1103515245u + 12345u) >> 8));
  }
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(96);
  ctl::TextLayerCache cache;
  const auto draw = [&](QImage& image, const QRect& clip, const QRect& paintClip, bool direct, qreal opacity) {
    QPainter painter(&image);
    painter.setClipRect(paintClip);
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(QColor(250, 180, 20));
    painter.setOpacity(opacity);
    const QRect text = clip.adjusted(2, 0, -2, 0);
    if (direct) {
      painter.drawText(text, Qt::AlignCenter, QStringLiteral("5g"));
    } else {
      cache.DrawText(painter, clip, text, Qt::AlignCenter, QStringLiteral("5g"));
    }
  };
  for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
    for (const QRect& clip : {QRect(30, 40, 100, 75), QRect(150, 90, 100, 75)}) {
      for (const QRect& paintClip : {QRect(0, 0, 280, 200), QRect(0, 0, 200, 120)}) {
        for (const qreal opacity : {1.0, 0.5}) {
          QImage direct = noise.convertToFormat(format);
          QImage layered = direct;
          draw(direct, clip, paintClip, true, opacity);
          draw(layered, clip, paintClip, false, opacity);
          ASSERT_NE(direct, noise.convertToFormat(format));
          EXPECT_EQ(layered, direct) << format << " " << clip.x() << " " << paintClip.width() << " " << opacity;
        }
      }
    }
  }
  EXPECT_EQ(cache.LayerCount(), 1) << "one layer serves every cell of its size, the half-opaque text drew itself";
}

// The model sees its rows and columns through an order of its own: a
// rearrangement, a column move, a sort and a resize after one another keep
// every cell with its row and column.
TEST(FlexGridModelTest, RearrangingMovingSortingAndResizingKeepCellsTogether) {
  ctl::FlexGridModel model;
  model.Resize(4, 3);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) model.EditCell(r, c).text = QStringLiteral("%1%2").arg(r).arg(c);
  }
  model.Column(2).merge = true;
  model.RowInfo(3).heightTwips = 99;
  model.Rearrange({2, 0, 1}, {3, 1, 2});
  EXPECT_EQ(model.Cell(0, 0).text, QStringLiteral("02")) << "row 0 stays, its columns move";
  EXPECT_EQ(model.Cell(1, 0).text, QStringLiteral("32"));
  EXPECT_EQ(model.Cell(1, 1).text, QStringLiteral("30"));
  EXPECT_EQ(model.Cell(3, 2).text, QStringLiteral("21"));
  EXPECT_TRUE(model.Column(0).merge);
  EXPECT_EQ(model.RowInfo(1).heightTwips, 99);

  model.MoveColumn(0, 2);
  EXPECT_EQ(model.Cell(1, 2).text, QStringLiteral("32"));
  model.SortRows(1, 3, 2, 2, ctl::flexSortStringAscending);
  EXPECT_EQ(model.Cell(1, 2).text, QStringLiteral("12"));
  EXPECT_EQ(model.Cell(3, 0).text, QStringLiteral("30"));
  model.Resize(5, 2);
  EXPECT_EQ(model.Cell(3, 0).text, QStringLiteral("30"));
  EXPECT_EQ(model.Cell(3, 1).text, QStringLiteral("31"));
  EXPECT_TRUE(model.Cell(4, 1).text.isEmpty());
}

// A row's number goes wherever its cells go: through a rearrangement, a
// column move, a sort, and a resize that keeps the rows (in the order they
// are seen, or not) or the columns; a row that comes new has none. Every
// cell of a row shows the row's number, so each step is checked by the
// cells of column 0 whatever column stands there.
TEST(FlexGridModelTest, RowDataMovesWithItsRowAndNewRowsHaveNone) {
  ctl::FlexGridModel model;
  const auto fill = [&model](int rows) {
    model.Resize(rows, 3);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < 3; ++c) model.EditCell(r, c).text = QString::number(r * 10);
      model.RowInfo(r).data = r * 10;
    }
  };
  const auto rowsAgree = [&model] {
    for (int r = 0; r < model.Rows(); ++r) {
      if (model.RowInfo(r).data != model.Cell(r, 0).text.toInt()) return false;
    }
    return true;
  };
  fill(6);
  model.Rearrange({2, 0, 1}, {5, 3, 1, 2, 4});
  EXPECT_EQ(model.RowInfo(1).data, 50);
  EXPECT_TRUE(rowsAgree());
  model.MoveColumn(0, 2);
  model.SortRows(1, 5, 1, 1, ctl::flexSortNumericDescending);
  EXPECT_EQ(model.RowInfo(1).data, 50);
  EXPECT_EQ(model.RowInfo(5).data, 10);
  EXPECT_TRUE(rowsAgree());
  model.Resize(4, 3);  // rows out of their stored order, fewer of them
  EXPECT_EQ(model.RowInfo(3).data, 30);
  model.Resize(6, 3);
  EXPECT_EQ(model.RowInfo(4).data, 0) << "a new row";
  EXPECT_EQ(model.RowInfo(5).data, 0);
  EXPECT_TRUE(rowsAgree());
  model.Resize(6, 2);  // a column less: the store is laid out anew
  EXPECT_EQ(model.RowInfo(1).data, 50);
  EXPECT_TRUE(rowsAgree());

  fill(6);  // rows in their stored order, shortened and grown again
  model.Resize(2, 3);
  model.Resize(4, 3);
  EXPECT_EQ(model.RowInfo(1).data, 10);
  EXPECT_EQ(model.RowInfo(2).data, 0);
  EXPECT_EQ(model.RowInfo(3).data, 0);
  EXPECT_TRUE(rowsAgree());
}

// A format given to every data row of a column at once is kept once: the
// rows show it without cells of their own, the header keeps its own cell,
// rows that come later read an empty cell, a written row keeps what it
// showed, and a released row shows the shared format again. Texts a row
// lacks come from the text source by its row data, for painting, merging
// and sorting alike.
TEST(FlexGridModelTest, RowsWithoutCellsOfTheirOwnShareTheirColumnsFormatAndSuppliedTexts) {
  FlexGrid grid;
  ctl::FlexGridModel& model = grid.Model();
  grid.SetRows(1001);
  grid.SetCols(3);
  grid.SetTextMatrix(0, 1, QStringLiteral("header"));
  grid.SetRow(1);
  grid.SetCol(1);
  grid.SetRowSel(1000);
  grid.SetFillStyle(ctl::flexFillRepeat);
  grid.SetCellForeColor(RGB(1, 2, 3));
  grid.SetCellFontBold(true);
  grid.SetFillStyle(ctl::flexFillSingle);
  int ownRows = 0;
  for (int r = 0; r < grid.Rows(); ++r) ownRows += model.HasOwnCells(r) ? 1 : 0;
  EXPECT_EQ(ownRows, 1) << "only the header";
  EXPECT_EQ(model.Cell(700, 1).foreColor, RGB(1, 2, 3));
  EXPECT_TRUE(model.Font(model.Cell(700, 1).fontId).bold());
  EXPECT_EQ(model.Cell(0, 1).foreColor, 0u) << "the header keeps its own";
  EXPECT_EQ(model.Cell(700, 2).foreColor, 0u);

  grid.SetTextMatrix(5, 1, QStringLiteral("own"));
  EXPECT_EQ(model.Cell(5, 1).foreColor, RGB(1, 2, 3)) << "a written row keeps what it showed";
  grid.SetRows(1003);
  EXPECT_EQ(model.Cell(1002, 1).foreColor, 0u) << "a row that came later";
  EXPECT_EQ(model.Cell(1000, 1).foreColor, RGB(1, 2, 3));
  grid.SetRows(3);
  grid.SetRows(1001);
  EXPECT_EQ(model.Cell(700, 1).foreColor, 0u) << "rows gone and come again are new";
  grid.SetRow(1);
  grid.SetRowSel(1000);
  grid.SetFillStyle(ctl::flexFillRepeat);
  grid.SetCellForeColor(RGB(4, 5, 6));
  grid.SetFillStyle(ctl::flexFillSingle);
  EXPECT_EQ(model.Cell(2, 1).foreColor, RGB(4, 5, 6));
  EXPECT_TRUE(model.Font(model.Cell(2, 1).fontId).bold()) << "the rows kept from before keep their font";
  EXPECT_EQ(model.Cell(700, 1).foreColor, RGB(4, 5, 6));
  EXPECT_EQ(model.Cell(700, 1).fontId, -1);
  EXPECT_FALSE(model.HasOwnCells(700));
  model.ReleaseRow(5);
  EXPECT_FALSE(model.HasOwnCells(5));
  EXPECT_TRUE(model.Cell(5, 1).text.isEmpty());

  model.SetTextSource([](int32_t data, int col) { return QStringLiteral("%1/%2").arg(data % 3).arg(col); });
  for (int r = 1; r <= 4; ++r) grid.SetRowData(r, 10 - r);  // 9, 8, 7, 6
  grid.SetTextMatrix(4, 2, QStringLiteral("0/0"));
  EXPECT_EQ(grid.TextMatrix(1, 2), QStringLiteral("0/2"));
  EXPECT_EQ(grid.TextMatrix(4, 2), QStringLiteral("0/0")) << "a text of its own comes first";
  EXPECT_TRUE(grid.TextMatrix(6, 2).isEmpty()) << "a row without data has none";
  EXPECT_EQ(model.data(model.index(2, 1)).toString(), QStringLiteral("2/1"));
  grid.SetRow(1);
  grid.SetRowSel(4);
  grid.SetCol(2);
  grid.SetSort(ctl::flexSortStringAscending);
  EXPECT_EQ(grid.RowData(1), 6) << "its own text \"0/0\" first";
  EXPECT_EQ(grid.RowData(2), 9);
  EXPECT_EQ(grid.RowData(3), 7);
  EXPECT_EQ(grid.RowData(4), 8);
}

}  // namespace
