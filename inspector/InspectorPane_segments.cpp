// The Segments tab: every segment of the inspected file in flexSegments,
// the whole-file segment first, then the user's by start and end; one row
// selected. Edits of the selected segment are copied into the result set.
#include "inspector/InspectorPane.h"

#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/DragController.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "ui/SchemeColours.h"


namespace {

constexpr int kVisibleRows = 18;
constexpr int kFillRepeat = 1;

}  // namespace

// The grid back to 18 empty rows in the panel colour, its Tag "1".
void InspectorPane::ResetSegmentsGrid() {
  flexSegments->SetRows(2);
  flexSegments->SetRows(kVisibleRows + 1);
  for (ctl::Label* arrow : lblSegmentsScroll) arrow->SetVisible(false);
  PaintSegmentRows(1, flexSegments->Rows() - 1, gSchemeColour2, true);
  flexSegments->SetTag(QStringLiteral("1"));
}

// Colours (and, when asked, empties) the cells of rows first..last.
void InspectorPane::PaintSegmentRows(int first, int last, COLORREF colour, bool clear) {
  flexSegments->SetRow(first);
  flexSegments->SetCol(0);
  flexSegments->SetRowSel(last);
  flexSegments->SetColSel(7);
  const int style = flexSegments->FillStyle();
  flexSegments->SetFillStyle(kFillRepeat);
  flexSegments->SetCellBackColor(colour);
  flexSegments->SetFillStyle(style);
  if (!clear) return;
  for (int row = first; row <= last; ++row) {
    for (int col = 0; col <= 7; ++col) flexSegments->SetTextMatrix(row, col, QString());
  }
}

void InspectorPane::LoadSegmentsGrid(const ResultItem& segment) {
  FinishCellEdit();
  if (!gLibrary) {
    ResetSegmentsGrid();
    return;
  }
  // With nothing inspected nothing is read: the inspector is cleared as a
  // library closes, maybe one found damaged.
  std::unique_ptr<SqlRecordset> rs;
  if (gInspectedItem.FileID != 0) {
    rs = gLibrary->Connection().OpenRecordset(
        QStringLiteral("SELECT * FROM VideoSegments WHERE FileID = %1 ORDER BY FileFlag DESC, SelectionStart ASC, "
                       "SelectionEnd ASC")
            .arg(gInspectedItem.FileID));
  }
  ResetSegmentsGrid();
  int selected = 1;
  const int count = rs ? rs->RecordCount() : 0;
  if (count > 0) {
    if (count > kVisibleRows) {
      for (ctl::Label* arrow : lblSegmentsScroll) arrow->SetVisible(true);
      flexSegments->SetRows(count + 1);
      PaintSegmentRows(kVisibleRows + 1, count, gSchemeColour2, true);
    }
    flexSegments->SetTag(QString::number(count));
    for (int row = 1; !rs->Eof(); rs->MoveNext(), ++row) {
      WriteSegmentRow(row, *rs, row == 1);
      if (row > 1 && rs->Value(QStringLiteral("SegmentID")).toInt() == segment.SegmentID) selected = row;
    }
  }
  flexSegments->SetRowHeight(-1, 15 * gTwipsPerPixelY);
  flexSegments->SetRowHeight(0, 20 * gTwipsPerPixelY);
  PaintSegmentRows(selected, selected, gCursorColour, false);
  flexSegments->SetRow(selected);
  flexSegments->SetCol(0);
  flexSegments->SetColSel(7);
  if (selected >= kVisibleRows) flexSegments->SetTopRow(selected);
  flexSegments_SelChange();
}

// The whole-file row shows its start as "0:00:00.00" and "Duration" for its
// end; the others their times. Columns 0, 2 and 4 are read back by the
// segment handlers.
void InspectorPane::WriteSegmentRow(int row, SqlRecordset& rs, bool wholeFile) {
  const double start = rs.Value(QStringLiteral("SelectionStart")).toDouble();
  const double end = rs.Value(QStringLiteral("SelectionEnd")).toDouble();
  const QString texts[8] = {
      wholeFile ? QStringLiteral("0") : SecondsText(start),
      ShownNumbers::Duration(wholeFile ? 0.0 : start, true, true),
      SecondsText(end),
      wholeFile ? QStringLiteral("Duration") : ShownNumbers::Duration(end, true, true),
      rs.Value(QStringLiteral("SegmentID")).toString(),
      rs.Value(QStringLiteral("Rating")).toString(),
      rs.Value(QStringLiteral("FileAlias")).toString(),
      rs.Value(QStringLiteral("Description")).toString()};
  for (int col = 0; col < 8; ++col) flexSegments->SetTextMatrix(row, col, texts[col]);
}

// What was edited on the shown segment reaches its row of the results, and
// the carousel's front card shows it.
void InspectorPane::UpdateResultRowFromEdit() {
  const int32_t id = picThumbnail->Tag().toInt();
  for (ResultItem& row : gResults) {
    if (row.SegmentID != id) continue;
    row.Rating = gEditedSegment.Rating;
    row.FileAlias = gEditedSegment.FileAlias;
    row.Description = gEditedSegment.Description;
    row.FileSize = gEditedSegment.FileSize;
    break;
  }
  RedrawFrontCard();
}

// The front card shows the inspected file (its tags come from the file as a
// whole), so any edit here draws it again.
void InspectorPane::RedrawFrontCard() {
  if (gBrowserMode != 3 || gBrowserIndex < 1 || gBrowserIndex >= static_cast<int32_t>(gResults.size())) return;
  if (gResults[static_cast<size_t>(gBrowserIndex)].FileID != gInspectedItem.FileID) return;
  host_.RedrawCarouselCard(gBrowserIndex);
}

// One step of a held segment arrow: the cursor row moves down (1) or up (0),
// the grid scrolling to keep it among the 18 rows shown; past the last row
// nothing happens, up stops at row 1.
void InspectorPane::SegmentScrollStep(int Index) {
  PaintSegmentRows(flexSegments->Row(), flexSegments->Row(), gSchemeColour2, false);  // the old row's colour
  int row = flexSegments->Row();
  if (Index == 1 && row + 1 < flexSegments->Rows()) {
    ++row;
    if (row - flexSegments->TopRow() >= kVisibleRows) flexSegments->SetTopRow(flexSegments->TopRow() + 1);
  } else if (Index == 0 && row >= 2) {
    if (row == flexSegments->TopRow()) flexSegments->SetTopRow(row - 1);
    --row;
  }
  PaintSegmentRows(row, row, gCursorColour, false);
  flexSegments->SetRow(row);
  flexSegments->SetCol(0);
  flexSegments->SetColSel(7);
}

// A step at once and one every 200 ms of the program's clock (which tests
// drive) while the arrow is held.
void InspectorPane::lblSegmentsScroll_MouseDown(int Index) {
  lblSegmentsScroll[0]->SetTag(QStringLiteral("BUSY"));
  RepeatWhileHeld(
      200, [this, Index] { SegmentScrollStep(Index); },
      [this] { return lblSegmentsScroll[0]->Tag() == QLatin1String("BUSY"); });
}

// Letting go ends the repeat; the row reached is selected.
void InspectorPane::lblSegmentsScroll_MouseUp() {
  lblSegmentsScroll[0]->SetTag(QString());
  held_.Stop();
  flexSegments_SelChange();
}
