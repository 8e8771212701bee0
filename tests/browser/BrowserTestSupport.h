#pragma once
// The running program with a result set of n results (segments 1..n, online,
// none selected) shown in the tile grid, and the means to click, key, move
// and drag on the grids as the user does.
#include "browser/ResultGrids.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/DragController.h"
#include "platform/Twips.h"
#include "tests/mainwindow/CommandRun.h"

#include <QMenu>
#include <QMouseEvent>
#include <QTest>

namespace rwtest {

// Row `row` of the list leads to result `index`: its row data, as the list
// fill writes it, and its column 0 as a text of its own.
inline void SetListRow(ctl::FlexGrid& list, int row, int index) {
  list.SetRowData(row, index);
  list.SetTextMatrix(row, 0, QString::number(index));
}

class GridTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    // The cursor blink would rewrite the current cell while a test waits.
    Form().Results().Timer1->SetInterval(24 * 3600 * 1000);
    previousKeys_ = ctl::SetKeyStateFunction([this](int key) { return KeyState(key); });
  }

  void TearDown() override {
    ctl::DragController::Instance().End(false);
    ctl::SetKeyStateFunction(previousKeys_);
    for (QMenu* menu : {Form().mnuResultsPopUp, Form().Results().mnuListViewColumnsPopUp}) menu->hide();
    gResults.assign(1, ResultItem{});
    gSelectedById.Reset();
    gCurrentItem = ResultItem{};
    CommandTest::TearDown();
  }

  // The keys a drop or a drag reads: Shift, Ctrl and Alt as held by the test.
  int16_t KeyState(int key) const {
    const bool held = (key == 16 && shift) || (key == 17 && ctrl) || (key == 18 && alt);
    return held ? static_cast<int16_t>(0xFF80) : int16_t{0};
  }

  // Results 1..n in the view `mode` (1 tiles, 2 list), the first current.
  static void ShowResults(int n, int mode = 1) {
    gResults.assign(1, ResultItem{});
    gResults.reserve(static_cast<size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
      ResultItem item;
      item.SegmentID = i;
      item.FileID = i;
      item.FileName = QStringLiteral("Clip %1.avi").arg(i);
      item.CurrentPath = QStringLiteral("/films/");
      item.DisplayState = 5;
      gResults.push_back(item);
    }
    gLibrary->ResultCount = n;
    gSelectedById.Reset();
    gCurrentItem = ResultItem{};
    gMainForm->Results().LayoutThumbnailGrid(n);
    Send(mode == 1 ? "mnuViewTile" : "mnuViewList");
  }

  static ctl::FlexGrid& Tiles() { return *gMainForm->Results().flexThumbsTiled; }
  static ctl::FlexGrid& List() { return *gMainForm->Results().flexThumbsList; }
  static int T() { return ResultGrids::TileColumns(); }
  static void SetListRow(int row, int index) { rwtest::SetListRow(List(), row, index); }

  // The centre of cell (row, col) of a grid as it is scrolled now, in pixels.
  static QPoint CellCentre(const ctl::FlexGrid& grid, int row, int col) {
    int x = 0;
    for (int c = 0; c < col; ++c) x += TwipsToPixelsX(grid.ColWidth(c));
    int y = 0;
    for (int r = 0; r < grid.FixedRows(); ++r) y += TwipsToPixelsY(grid.RowHeight(r));
    for (int r = grid.TopRow(); r < row; ++r) y += TwipsToPixelsY(grid.RowHeight(r));
    if (row < grid.FixedRows()) y = 0;
    return QPoint(x + TwipsToPixelsX(grid.ColWidth(col)) / 2, y + TwipsToPixelsY(grid.RowHeight(row)) / 2);
  }
  static QPoint TileCentre(int index) { return CellCentre(Tiles(), (index - 1) / T(), (index - 1) % T() + 1); }

  static void Click(ctl::FlexGrid& grid, const QPoint& at, Qt::KeyboardModifiers keys = {},
                    Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(&grid, button, keys, at);
  }
  static void Key(ctl::FlexGrid& grid, Qt::Key key) { QTest::keyClick(&grid, key); }

  // A move as the window system reports it, with the buttons held.
  static void Move(QWidget& widget, const QPoint& at, Qt::MouseButtons held = Qt::NoButton) {
    QMouseEvent event(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
  }

  static QString CellText(ctl::FlexGrid& grid, int row, int col) { return grid.TextMatrix(row, col); }
  static QString TileText(int index) { return Tiles().TextMatrix((index - 1) / T(), (index - 1) % T() + 1); }

  bool shift = false;
  bool ctrl = false;
  bool alt = false;

 private:
  ctl::KeyStateFunction previousKeys_;
};

}  // namespace rwtest
