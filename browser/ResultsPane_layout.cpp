// The result grids' rows and columns for a result count, the scroll bar
// that pages them, the history combo's alignment and the browser's focus.
#include "browser/ResultsPane.h"

#include "carousel/CarouselPane.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "platform/Contract.h"
#include "resources/GlyphFont.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

// Marks the scroll bar busy while it is changed, so its change handler
// ignores the changes.
class BusyScrollBar {
 public:
  explicit BusyScrollBar(ctl::VScrollBar* bar) : bar_(bar) { bar_->SetTag(QStringLiteral("BUSY")); }
  ~BusyScrollBar() { bar_->SetTag(QString()); }

 private:
  ctl::VScrollBar* bar_;
};

// The tile columns as a whole number; never below 1, so that no count is
// divided by 0 before the pane layout has run.
int TileColumns() { return std::max(1, static_cast<int>(std::nearbyint(gTileColumns))); }

void LayoutTileGrid(ctl::FlexGrid& grid, int32_t itemCount) {
  grid.SetRedraw(false);
  grid.SetRows(1);
  const int columns = TileColumns();
  grid.SetCols(columns + 2);
  grid.SetColWidth(-1, gTileWidthTwips);
  grid.SetColWidth(0, 10);
  grid.SetColWidth(grid.Cols() - 1, 10);
  // Every result gets its row, also a first short one, whatever the page holds.
  int rows = itemCount / columns + (itemCount % columns != 0 ? 1 : 0);
  if (rows <= gTileRowsVisible) rows = static_cast<int>(gTileRowsVisible);
  grid.SetRows(std::max(rows, 1));
  grid.SetRowHeight(-1, gTileHeightTwips);
  // The tiles show glyphs of the program's own font until thumbnails are drawn.
  grid.SetRow(0);
  grid.SetCol(1);
  grid.SetRowSel(grid.Rows() - 1);
  grid.SetColSel(grid.Cols() - 2);
  grid.SetFillStyle(ctl::flexFillRepeat);
  grid.SetCellFontName(kGlyphFontFamily);
  grid.SetCellAlignment(ctl::flexAlignCenterCenter);
  grid.SetFillStyle(ctl::flexFillSingle);
  grid.SetRowSel(0);
  grid.SetColSel(1);
  if (itemCount == 0) grid.SetCol(0);
  grid.SetRedraw(true);
}

void LayoutListGrid(ctl::FlexGrid& grid, int32_t itemCount) {
  grid.SetRedraw(false);
  grid.SetRows(1);
  grid.SetRows(static_cast<int>(gTileRowsVisible) + 1);
  grid.SetFixedRows(1);
  const COLORREF band = BlendColor(gSchemeColour2, gSchemeColour4, 245);
  grid.SetFillStyle(ctl::flexFillRepeat);
  for (int r = 2; r < grid.Rows(); r += 2) {
    grid.SetRow(r);
    grid.SetCol(0);
    grid.SetColSel(grid.Cols() - 1);
    grid.SetCellBackColor(band);
  }
  grid.SetFillStyle(ctl::flexFillSingle);
  if (itemCount > 0) grid.SetRows(itemCount + 1);
  grid.SetRowHeight(-1, gTileHeightTwips);
  grid.SetRowHeight(0, 570);
  if (grid.Rows() > 1 && grid.Cols() > 1) {
    // The list selects whole rows, which would spread the glyph font over
    // the detail columns; only column 1 takes it.
    const int selectionMode = grid.SelectionMode();
    grid.SetSelectionMode(ctl::flexSelectionFree);
    grid.SetRow(1);
    grid.SetCol(1);
    grid.SetRowSel(grid.Rows() - 1);
    grid.SetColSel(1);
    grid.SetFillStyle(ctl::flexFillRepeat);
    grid.SetCellFontName(kGlyphFontFamily);
    grid.SetCellFontSize(72.0 * gTwipsPerPixelY / 15);
    grid.SetCellForeColor(gCursorColour);
    grid.SetCellAlignment(ctl::flexAlignCenterCenter);
    grid.SetFillStyle(ctl::flexFillSingle);
    grid.SetRowSel(1);
    grid.SetSelectionMode(selectionMode);
  }
  if (itemCount == 0) grid.SetCol(0);
  grid.SetRedraw(true);
}

}  // namespace

// The list has rows for the results only while it is the view shown;
// otherwise it is laid out empty and gives its rows' memory back.
void ResultsPane::LayoutThumbnailGrid(int32_t itemCount) {
  RW_CONTRACT(contract::OnUiThread(), "widgets are touched only on the thread of the event loop");
  ForgetHoveredResult();
  LayoutTileGrid(*flexThumbsTiled, itemCount);
  const bool listShown = gBrowserMode == 2;
  LayoutListGrid(*flexThumbsList, listShown ? itemCount : 0);
  if (!listShown) flexThumbsList->Model().ReleaseUnused();
  UpdateThumbnailScrollBar(itemCount);
}

void ResultsPane::UpdateThumbnailScrollBar(int32_t itemCount) {
  ctl::VScrollBar& bar = *scrollFlex;
  const BusyScrollBar busy(&bar);
  switch (gBrowserMode) {
    case 1: {
      const int visible = static_cast<int>(gTileRowsVisible);
      bar.SetLargeChange(visible);
      bar.SetMin(0);
      bar.SetMax(std::max(0, flexThumbsTiled->Rows() - visible));
      bar.SetValue(0);
      break;
    }
    case 3:
      bar.SetMin(1);
      bar.SetMax(1);
      break;
    case 2: {
      const ctl::FlexGrid& list = *flexThumbsList;
      const int rowHeight = list.Rows() > 1 ? list.RowHeight(1) : 0;
      // A list without data rows (or rows without height) shows none.
      const int fit = rowHeight > 0
                          ? static_cast<int>((list.Height() * gTwipsPerPixelY - list.RowHeight(0)) / rowHeight)
                          : 0;
      bar.SetMin(1);
      bar.SetLargeChange(fit);
      bar.SetMax(itemCount < fit ? 1 : itemCount - (fit - 1));
      break;
    }
    default:
      break;
  }
}

void ResultsPane::AlignBrowserHistory() {
  ctl::ImageCombo& combo = *cmbBrowserHistory;
  ctl::Label& measure = *lblHistoryMeasure;
  measure.setFont(combo.font());
  const int blank = std::max(1, QFontMetrics(combo.font()).horizontalAdvance(QLatin1Char(' ')));
  const int n = static_cast<int>((combo.Width() - 72) / blank);
  for (const auto& item : combo.ComboItems) {
    const QString text = item->Text();
    const qsizetype bracket = text.lastIndexOf(QLatin1Char('['));
    if (bracket < 0) continue;
    QString left = text.left(bracket);
    while (left.endsWith(QLatin1Char(' '))) left.chop(1);
    const QString right = text.mid(bracket);
    const qsizetype pad = n - left.size() - right.size();
    item->SetText(left + QString(std::max<qsizetype>(pad, 0), QLatin1Char(' ')) + right);
  }
}

void ResultsPane::SetFocusToBrowser() {
  tree_->ShowFrameUnfocused();
  picRightFrame->SetBackColor(gCursorColour);
  switch (gBrowserMode) {
    case 1:
      flexThumbsTiled->SetFocus();
      break;
    case 2:
      flexThumbsList->SetFocus();
      break;
    case 3:
      carousel_->ucCarouselCanvas->SetFocus();
      break;
    default:
      break;
  }
}
