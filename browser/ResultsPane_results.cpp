// The results in the browser: the rows of gResults in the grid of the
// browser view with the counts below it, and the thumbnails of the visible
// rows painted over the cells' state glyphs.
#include "browser/ResultsPane.h"

#include "browser/ResultGrids.h"
#include "carousel/cCarousel.h"
#include "core/ProgramMessage.h"
#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "platform/controls/ControlErrors.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>
#include <vector>

namespace {

// One message per pass: the first failure of a display is shown, later ones
// of the same pass are passed over, so a bad row or control cannot bury the
// user in boxes.
ErrorGuard DisplayPass() {
  return ErrorGuard({.title = QStringLiteral("Error While Attempting to Display Results"),
                     .owner = ProgramMessageOwner(),
                     .oncePerPass = true});
}

// The painting of the cells: an error is shown and the painting goes on, so
// one bad cell does not leave the rest of the page empty. One guard serves a
// whole painting; a guard per cell would cost more than many a cell.
ErrorGuard GridPainting() {
  return ErrorGuard({.title = QStringLiteral("Error Refreshing Grid Images"), .owner = ProgramMessageOwner()});
}

// The glyph the grid draws over a result's picture: its display state (5
// online, 9 offline), one less when the result is selected.
QString DisplayCode(const ResultItem& item, bool selected) {
  return QString::number(item.DisplayState - (selected ? 1 : 0));
}

bool IsSelectedId(int32_t segmentId) { return gSelectedById[segmentId] != 0; }

// Off-screen cells give their pictures back; a cell with none costs a test.
void ClearPicture(ctl::FlexGrid& grid, int row, int col) {
  if (grid.Model().Cell(row, col).picture.isNull()) return;
  grid.SetRow(row);
  grid.SetCol(col);
  grid.SetCellPicture(QPixmap());
}

// A tile after the last result: the blank tile, without a state glyph.
void ShowBlankTile(ctl::FlexGrid& grid, int row, int col, const QPixmap& blank) {
  const ctl::FlexCell& cell = grid.Model().Cell(row, col);
  if (cell.picture.cacheKey() == blank.cacheKey() && cell.text.isEmpty()) return;
  grid.SetRow(row);
  grid.SetCol(col);
  grid.SetCellPicture(blank);
  grid.SetTextMatrix(row, col, QString());
}

// The results the grids can show: entries 1 to the count that exist.
int ShownResults(int32_t resultCount) { return std::clamp(resultCount, 0, static_cast<int>(gResults.size()) - 1); }

int32_t LibraryResultCount() { return gLibrary ? gLibrary->ResultCount : 0; }

QPixmap ThumbnailPixmap(const ResultItem& item) {
  QImage picture;
  gLibrary->ThumbnailToPicture(item.SegmentID, item.FileID, picture);
  return QPixmap::fromImage(std::move(picture));
}

QPixmap ThumbnailPixmap(const QByteArray& bytes) {
  QImage picture;
  gLibrary->ThumbnailBytesToPicture(bytes, picture);
  return QPixmap::fromImage(std::move(picture));
}

// The list keeps per row only the index of its result (its row data): its
// texts come from the result when shown (ResultGrids::ListText), so each
// detail field must stand in a column of the grid.
void FillListGrid(ctl::FlexGrid& grid, int32_t count, ErrorGuard& report) {
  grid.SetRedraw(false);
  grid.SetEnabled(false);
  grid.SetCol(1);
  // A row past the grid's last fails, and so would every row after it.
  report.Run([&] {
    for (int32_t i = 1; i <= count; ++i) grid.SetRowData(i, i);
  });
  report.Run([&] {
    for (const ListColumn& column : gListColumns) {
      if (column.Column < 0 || column.Column >= grid.Cols()) {
        ctl::RaiseControlError(ctl::kErrSubscriptOutOfRange, QStringLiteral("FlexGrid"));
      }
    }
  });
}

// A row out of view gives its cells back (its picture, colours and code);
// the cursor's row gives only its picture back, keeping its cursor code.
void ReleaseListRow(ctl::FlexGrid& grid, int row, int cursorRow) {
  if (row == cursorRow) {
    ClearPicture(grid, row, 1);
  } else if (grid.Model().HasOwnCells(row)) {
    grid.Model().ReleaseRow(row);
  }
}

struct RowRange {
  int first;
  int last;
};

// The rows in view: Top to the row just below the page.
RowRange ViewRows(int32_t Top, double bottom) { return {Top, static_cast<int>(std::floor(bottom))}; }

// The rows of `grid` a screen visits, in order: the rows of `view`, the rows
// from `firstBlankRow` (the first one with a blank tile) to the grid's last,
// and the rows that held pictures before (which give them back when out of
// view).
std::vector<int> RowsToVisit(RowRange grid, RowRange view, int firstBlankRow, const std::vector<int>& painted) {
  std::vector<int> rows;
  const auto add = [&](int first, int last) {
    for (int r = std::max(first, grid.first); r <= std::min(last, grid.last); ++r) rows.push_back(r);
  };
  add(view.first, view.last);
  add(firstBlankRow, grid.last);
  for (const int r : painted) add(r, r);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

}  // namespace

// The stored multi-column sort, kept over a new result set: the rows by the
// columns from 3 to the rightmost sort column.
void ResultsPane::SortListGrid() {
  ctl::FlexGrid& grid = *flexThumbsList;
  if (grid.Rows() > 1) {
    grid.SetRow(1);
    grid.SetRowSel(grid.Rows() - 1);
  }
  grid.SetCol(3);
  int lastColumn = 1;
  for (const ListColumn& column : gListColumns) {
    if (column.SortFlag != 0 && column.Column > lastColumn) lastColumn = column.Column;
  }
  grid.SetColSel(lastColumn);
  // Numbers compare by value, texts as text, as a sort by a click does.
  if (lastColumn >= 3) SortRowsByKeys(lastColumn);
  grid.SetCol(1);
}

// "n File(s)" or "n Segment(s)" by the result scope, and "[n Selected]" in
// the scheme's text colour while nothing is selected.
void ResultsPane::ShowResultCounts(int32_t selected) {
  lblResultSize->SetCaption(ShownNumbers::Count(LibraryResultCount()) +
                            (gResultKind == ResultScope::File ? QStringLiteral(" File(s)")
                                                              : QStringLiteral(" Segment(s)")));
  lblSelectCount->SetForeColor(selected < 1 ? gSchemeColour4 : flexThumbsTiled->ForeColor());
  lblSelectCount->SetCaption(QStringLiteral("[%1 Selected]").arg(ShownNumbers::Count(selected)));
}

void ResultsPane::ShowSearchResults() {
  const int32_t resultCount = LibraryResultCount();
  ErrorGuard report = DisplayPass();
  if (resultCount > 0) {
    scrollFlex->SetTag(QStringLiteral("BUSY"));
    if (gBrowserMode == 1) {
      report.Run([&] {
        flexThumbsTiled->SetRedraw(false);
        flexThumbsTiled->SetEnabled(true);
        scrollFlex->SetValue(0);
      });
    } else if (gBrowserMode == 2) {
      FillListGrid(*flexThumbsList, resultCount, report);
      scrollFlex->SetValue(1);
    }
  }
  if (gBrowserMode == 2) report.Run([&] { SortListGrid(); });
  flexThumbsList->SetEnabled(true);
  flexThumbsList->SetRedraw(true);
  if (resultCount == 0) {
    // No row is current either: the list marks none of its empty rows.
    report.Run([&] {
      flexThumbsTiled->SetCol(0);
      flexThumbsList->SetRow(0);
      flexThumbsList->SetCol(0);
    });
  } else if (gCurrentItem.SegmentID == 0) {
    report.Run([&] {
      flexThumbsTiled->SetRow(0);
      flexThumbsTiled->SetCol(1);
    });
    scrollFlex->SetValue(scrollFlex->Min());
    report.Run([&] { flexThumbsList->SetRow(1); });
    gCurrentItem = gResults[1];
    gCurrentItem.BrowserRow = 1;
  }
  ShowResultCounts(gLibrary ? gLibrary->SelectedCount : 0);
  report.Run([&] { lblResultSize->SetToolTipText(gLibrary ? gLibrary->GetPlayListStats(true) : QString()); });
  host_.ProgressOff();
  scrollFlex->SetTag(QString());
  report.Run([&] { SetFocusToBrowser(); });
  cmbBrowserHistory->Refresh();
  report.Run([&] { DrawGridImages(); });
}

void ResultsPane::DrawGridImages() {
  Timer1->SetEnabled(false);
  const int top = scrollFlex->Value();
  switch (gBrowserMode) {
    case 3:
      if (gCarousel) gCarousel->SetCarouselIndex(gBrowserIndex, false, true);
      break;
    case 2:
      DrawListImages(top);
      break;
    case 1:
      DrawTileImages(top);
      break;
    default:
      break;
  }
  Timer1->SetEnabled(true);
}

// Rows from the first visible one to the one just below the page get their
// thumbnail on the row's stripe colour; the others give their cells back
// (ReleaseListRow), so the list holds cells for about a page of rows at any
// result count. Each row leads to its result through its row data
// (ResultGrids::ListIndex). Only the rows that may hold a picture are
// visited: those in view and those painted last time, so a screen costs the
// same at any result count; once the rows have changed places (a sort) every
// row is looked at.
void ResultsPane::DrawListImages(int32_t Top) {
  ctl::FlexGrid& grid = *flexThumbsList;
  const int32_t resultCount = LibraryResultCount();
  grid.SetRedraw(false);
  const COLORREF stripe = BlendColor(gSchemeColour2, gSchemeColour4, 245);
  const int savedRow = grid.Row();
  const double bottom = Top + gTileRowsVisible;
  const int rows = std::min(ShownResults(resultCount), grid.Rows() - 1);
  const uint32_t arrangement = grid.Model().Arrangement();
  const RowRange all{1, rows};
  const std::vector<int> visit = arrangement == m_ListArrangementPainted
                                     ? RowsToVisit(all, ViewRows(Top, bottom), rows + 1, m_ListRowsPainted)
                                     : RowsToVisit(all, all, rows + 1, {});
  m_ListRowsPainted.clear();
  m_ListArrangementPainted = arrangement;
  ErrorGuard cells = GridPainting();
  cells.Run([&] { grid.SetCol(1); });
  for (const int i : visit) {
    cells.Run([&] {
      if (i < Top || i > bottom) {
        ReleaseListRow(grid, i, savedRow);
        return;
      }
      m_ListRowsPainted.push_back(i);
      grid.SetRow(i);
      grid.SetCol(1);
      grid.SetColSel(grid.Cols() - 1);
      grid.SetFillStyle(ctl::flexFillRepeat);
      grid.SetCellBackColor(i % 2 == 0 ? stripe : gSchemeColour2);
      grid.SetFillStyle(ctl::flexFillSingle);
      const int index = ResultGrids::ListIndex(grid, i);
      if (index < 1 || index > ShownResults(resultCount)) return;
      const ResultItem& item = gResults[static_cast<size_t>(index)];
      grid.SetCellPicture(ThumbnailPixmap(item));
      grid.SetTextMatrix(i, 1, DisplayCode(item, item.Selected));
    });
  }
  cells.Run([&] { grid.SetRow(savedRow); });
  grid.SetRedraw(true);
}

// The pictures of the tiles in view come from the library in one look-up.
void ResultsPane::ReadTilePicturesAhead(int firstRow, int lastRow, int columns, int results) {
  std::vector<std::pair<int32_t, int32_t>> tiles;
  for (int i = std::max(1, firstRow * columns + 1); i <= std::min(results, lastRow * columns + columns); ++i) {
    const ResultItem& item = gResults[static_cast<size_t>(i)];
    tiles.emplace_back(item.SegmentID, item.FileID);
  }
  if (!tiles.empty()) gLibrary->ReadThumbnailsAhead(tiles);
}

// Tile i lies in row (i - 1) div C and column (i - 1) mod C + 1 (column 0 is
// a margin); rows from the first visible one to the one just below the page
// are painted, the others give their pictures back, and the tiles after the
// last result are blank. Only the rows that may hold a picture are visited:
// those in view, the blank rows at the end and the rows painted last time,
// so a screen costs the same at any result count.
void ResultsPane::DrawTileImages(int32_t Top) {
  ctl::FlexGrid& grid = *flexThumbsTiled;
  const QPixmap& blank = picBlankTile->Picture();
  const int savedCol = grid.Col();
  const int savedRow = grid.Row();
  grid.SetRedraw(false);
  ErrorGuard painting = GridPainting();
  const int columns = std::max(1, CLng(gTileColumns));
  const int results = ShownResults(LibraryResultCount());
  const double bottom = Top + gTileRowsVisible;
  std::vector<int> rows =
      RowsToVisit({0, grid.Rows() - 1}, ViewRows(Top, bottom), results / columns, m_TileRowsPainted);
  m_TileRowsPainted.clear();
  std::unordered_map<qint64, QByteArray> sources;
  painting.Run([&] {
    const RowRange view = ViewRows(Top, bottom);
    ReadTilePicturesAhead(view.first, view.last, columns, results);
  });
  for (const int row : rows) {
    for (int col = 1; col <= columns && col < grid.Cols(); ++col) {
      const int i = row * columns + col;
      painting.Run([&] {
        if (i > results) {
          ShowBlankTile(grid, row, col, blank);
        } else if (row < Top || row > bottom) {
          ClearPicture(grid, row, col);
        } else {
          const ResultItem& item = gResults[static_cast<size_t>(i)];
          grid.SetRow(row);
          grid.SetCol(col);
          // A tile whose picture was made from the bytes it shows now (the
          // row kept in view by a page step, or by a step of one row) keeps
          // it: the same bytes decode to the same pixels.
          const QByteArray bytes = gLibrary->ThumbnailBytes(item.SegmentID, item.FileID);
          const QPixmap& held = grid.Model().Cell(row, col).picture;
          const auto source = held.isNull() ? m_TileSources.end() : m_TileSources.find(held.cacheKey());
          if (source == m_TileSources.end() || !source->second.isSharedWith(bytes)) {
            grid.SetCellPicture(ThumbnailPixmap(bytes));
          }
          sources.emplace(grid.Model().Cell(row, col).picture.cacheKey(), bytes);
          grid.SetTextMatrix(row, col, DisplayCode(item, IsSelectedId(item.SegmentID)));
        }
      });
    }
    if (row * columns + columns > results || (row >= Top && row <= bottom)) m_TileRowsPainted.push_back(row);
  }
  m_TileSources = std::move(sources);
  painting.Run([&] {
    grid.SetCol(savedCol);
    grid.SetRow(savedRow);
  });
  grid.SetRedraw(true);
  grid.Refresh();
}
