// Segment editing: the A-B band over the position slider, selecting and
// playing a segment in the grid, editing its points, saving and deleting
// segments, and the in-place edit of the alias and the description with the
// selected words offered as a tag.
#include "inspector/InspectorPane.h"

#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/Rounding.h"
#include "platform/SqlConnection.h"
#include "platform/controls/TextBox.h"
#include "platform/controls/Toolbar.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"
#include "ui/SchemeColours.h"

#include <QPainter>

namespace {

constexpr int kFillRepeat = 1;
constexpr int kTileWidth = 182;

QString EditKey() { return QStringLiteral("EDIT_SEGMENT"); }

}  // namespace

QString InspectorPane::SecondsText(double seconds) { return QString::number(seconds, 'g', 15); }

bool InspectorPane::SegmentEditing() const { return tbSegments->Buttons(EditKey()).Value() == ctl::tbrPressed; }

// The band from A to B over the slider's track, built of the skin's tile
// side by side; while the segment's points are edited they go into its row
// and, with Save, into the library.
void InspectorPane::DrawSelectionMarkers(bool Save) {
  const double d = gPlayer ? gPlayer->Duration() : 0;
  const double w = picSlider->Width() - 16;
  const double scale = d <= 0 ? w : d / w;
  const int band = d <= 0 ? CInt(w) : CInt((m_SegmentEnd - m_SegmentStart) / scale);
  const int left = CInt(8 + m_SegmentStart / scale);
  imgSelection->Move(left, imgSelection->Top(), std::max(0, band), imgSelection->Height());
  const QPixmap& tile = picSelection->Picture();
  QPixmap picture;
  if (band > 0 && !tile.isNull()) {
    picture = QPixmap(band, tile.height());
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    for (int x = 0; x <= band; x += kTileWidth) painter.drawPixmap(x, 0, tile);
  }
  imgSelection->SetPicture(picture);
  lblStartPoint->SetCaption(ShownNumbers::Duration(m_SegmentStart, true, true));
  lblEndPoint->SetCaption(ShownNumbers::Duration(m_SegmentEnd, true, true));
  const int row = flexSegments->Row();
  if (!SegmentEditing() || row <= 1) return;
  // Stored first: a row that cannot be stored keeps its stored points.
  if (Save && gLibrary) gLibrary->UpdateSegmentAB(picThumbnail->Tag().toInt(), m_SegmentStart, m_SegmentEnd);
  flexSegments->SetTextMatrix(row, 0, SecondsText(m_SegmentStart));
  flexSegments->SetTextMatrix(row, 1, lblStartPoint->Caption());
  flexSegments->SetTextMatrix(row, 2, SecondsText(m_SegmentEnd));
  flexSegments->SetTextMatrix(row, 3, lblEndPoint->Caption());
}

// Selecting a row shows its segment: the band, thumbnail, rating, tags,
// alias and description, and the preview at its A point (unless a double
// click is about to play it).
void InspectorPane::flexSegments_SelChange() {
  FinishCellEdit();
  host_.Drag().Clear();
  tbSegments->Buttons(EditKey()).SetValue(ctl::tbrUnpressed);
  ErrorGuard({.title = QStringLiteral("Problem selecting Segment!"),
              .style = 48,
              .owner = picBottom->window(),
              .text = [](const RWError& e) { return QStringLiteral("[%1] %2").arg(e.Number()).arg(e.Description()); }})
      .Run([this] { SelectSegmentRow(); });
  m_MouseHeld = false;
}

void InspectorPane::SelectSegmentRow() {
  const int row = flexSegments->Row();
  flexSegments->SetRowSel(row);
  if (row == 0 || flexSegments->TextMatrix(row, 0).isEmpty()) return;
  PaintSegmentRows(row, row, gCursorColour, false);
  m_SegmentStart = flexSegments->TextMatrix(row, 0).toDouble();
  m_SegmentEnd = flexSegments->TextMatrix(row, 2).toDouble();  // an empty end reads as 0
  DrawSelectionMarkers(false);
  picThumbnail->SetTag(flexSegments->TextMatrix(row, 4));
  gEditedSegment = gInspectedItem;
  gEditedSegment.IsFileRow = row == 1;
  flexFileDetails->SetTextMatrix(2, 0, row == 1 ? QStringLiteral(" File Description")
                                                : QStringLiteral(" Segment Description"));
  gEditedSegment.SegmentID = flexSegments->TextMatrix(row, 4).toInt();
  gEditedSegment.Rating = static_cast<int16_t>(flexSegments->TextMatrix(row, 5).toInt());
  gEditedSegment.FileAlias = flexSegments->TextMatrix(row, 6);
  gEditedSegment.Description = flexSegments->TextMatrix(row, 7);
  ShowFileTags(gEditedSegment);
  ShowRating(gEditedSegment.Rating);
  if (gLibrary) {
    QImage thumbnail;
    gLibrary->ThumbnailToPicture(picThumbnail->Tag().toInt(), gInspectedItem.FileID, thumbnail);
    picThumbnail->SetPicture(QPixmap::fromImage(thumbnail));
  }
  flexFileDetails->SetTextMatrix(1, 0, ShownAlias(gEditedSegment));
  flexFileDetails->SetTextMatrix(3, 0, gEditedSegment.Description);
  if (m_MouseHeld || !gPlayer) return;
  gPlayer->ForcePosition(m_SegmentStart);
  gOsdTimeText = ShownNumbers::Duration(m_SegmentStart, true, false);
  gPlayer->SetStopTime(m_SegmentEnd);
  gPlayer->OverlayText(gOsdTimeText, 1.0, gOsdTimeText, false);
  picMediaControl[14]->ZOrder(0);
}

// The alias, or the file's name without its extension; a name without any
// full stop is shown whole.
QString InspectorPane::ShownAlias(const ResultItem& item) {
  if (!item.FileAlias.isEmpty()) return item.FileAlias;
  const qsizetype dot = item.FileName.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? item.FileName : item.FileName.left(dot);
}

void InspectorPane::flexSegments_EnterCell() {
  const int row = flexSegments->Row();
  if (!flexSegments->TextMatrix(row, 0).isEmpty()) return;
  const int back = std::clamp(flexSegments->Tag().toInt(), 1, std::max(1, flexSegments->Rows() - 1));
  flexSegments->SetRow(back);
  flexSegments->SetRowSel(back);
}

void InspectorPane::flexSegments_LeaveCell() {
  const int style = flexSegments->FillStyle();
  flexSegments->SetFillStyle(kFillRepeat);
  flexSegments->SetCellBackColor(gSchemeColour2);
  flexSegments->SetFillStyle(style);
}

// A double click plays the segment from A; the player pauses at B.
void InspectorPane::flexSegments_DblClick() {
  const int row = flexSegments->Row();
  if (row == 0 || flexSegments->TextMatrix(row, 0).isEmpty() || !gPlayer) return;
  m_MouseHeld = true;
  m_SegmentStart = flexSegments->TextMatrix(row, 0).toDouble();
  m_SegmentEnd = flexSegments->TextMatrix(row, 2).toDouble();
  DrawSelectionMarkers(false);
  gPlayer->ForcePosition(m_SegmentStart);
  gPlayer->SetStopTime(m_SegmentEnd);
  gPlayer->Play();
}

void InspectorPane::tbSegments_ButtonClick(const QString& Key) {
  if (gInspectedItem.FileName.isEmpty() || !gLibrary) return;
  const int row = flexSegments->Row();
  const bool segmentRow = row != 1 && !flexSegments->TextMatrix(row, 4).isEmpty();
  if (Key == EditKey()) {
    if (!segmentRow) {
      tbSegments->Buttons(EditKey()).SetValue(ctl::tbrUnpressed);
      return;
    }
    m_SegmentStart = flexSegments->TextMatrix(row, 0).toDouble();
    m_SegmentEnd = flexSegments->TextMatrix(row, 2).toDouble();
    DrawSelectionMarkers(false);
  } else if (Key == QLatin1String("SAVE_SEGMENT")) {
    SaveSegment();
  } else if (Key == QLatin1String("DELETE_SEGMENT") && segmentRow) {
    const int next = row + 1 < flexSegments->Rows() ? flexSegments->TextMatrix(row + 1, 4).toInt() : 0;
    gLibrary->RemoveSegment(flexSegments->TextMatrix(row, 4).toInt());
    ResultItem select;
    select.SegmentID = next;
    LoadSegmentsGrid(select);
  }
}

// The A-B points as a new segment, unless a row has them already.
void InspectorPane::SaveSegment() {
  const QString a = SecondsText(m_SegmentStart);
  const QString b = SecondsText(m_SegmentEnd);
  for (int row = 1; row < flexSegments->Rows(); ++row) {
    const QString start = flexSegments->TextMatrix(row, 0);
    if (!start.isEmpty() && start == a && flexSegments->TextMatrix(row, 2) == b) return;
  }
  int32_t created = 0;
  gLibrary->CreateSegment(m_SegmentStart, m_SegmentEnd, gInspectedItem.FileID, gInspectedItem.SegmentID, created);
  ResultItem select;
  select.SegmentID = created;
  LoadSegmentsGrid(select);
}

// ---- The in-place edit of the alias (row 1) and the description (row 3) ----

// A click on the alias or the description edits it at once: the keys typed
// next belong to the box, not to the window's shortcuts.
void InspectorPane::flexFileDetails_Click() {
  const int row = flexFileDetails->MouseRow();
  if (gInspectedItem.FileID != 0 && (row == 1 || row == 3)) EditDetailsRow(row);
}

void InspectorPane::flexFileDetails_DblClick() {
  if (gInspectedItem.FileID == 0) return;
  EditDetailsRow(flexFileDetails->MouseRow());
}

// Tab has moved the grid's cell: it passes over the headings and edits the
// alias or the description it lands on.
void InspectorPane::flexFileDetails_KeyDown(int& KeyCode, int Shift) {
  if (KeyCode != ctl::vbKeyTab || gInspectedItem.FileID == 0) return;
  int row = flexFileDetails->Row();
  if (row == 2) row = (Shift & ctl::vbShiftMask) ? 1 : 3;
  if (row == 1 || row == 3) EditDetailsRow(row);
}

void InspectorPane::EditDetailsRow(int row) {
  flexFileDetails->SetTag(QString::number(row));
  BeginCellEdit();
}

// The box over the cell, its text selected. The segment and its row are
// remembered: the edit is stored for them, whatever is shown when it ends.
void InspectorPane::BeginCellEdit() {
  FinishCellEdit();
  flexSegments->SetTag(QString::number(flexSegments->Row()));
  const QString tag = flexFileDetails->Tag();
  if (tag != QLatin1String("1") && tag != QLatin1String("3")) return;
  if (flexFileDetails->Rows() < 4) flexFileDetails->SetRows(4);
  flexFileDetails->SetCol(0);
  flexFileDetails->SetRow(tag.toInt());
  cellEdit_ = {true, picThumbnail->Tag().toInt(), flexSegments->Row()};
  txtCell->Move(flexFileDetails->Left() + 1 + flexFileDetails->CellLeft() / gTwipsPerPixelX,
                flexFileDetails->Top() + flexFileDetails->CellTop() / gTwipsPerPixelY, flexFileDetails->Width() - 2,
                flexFileDetails->CellHeight() / gTwipsPerPixelY);
  txtCell->SetText(flexFileDetails->TextMatrix(tag.toInt(), 0));
  txtCell->SetSelStart(0);
  txtCell->SetSelLength(static_cast<int>(txtCell->Text().size()));
  txtCell->SetVisible(true);
  txtCell->ZOrder(0);
  txtCell->SetFocus();
}

void InspectorPane::EndCellEdit() {
  // Hidden while it holds the focus, the box would pass the focus on to the
  // next control of the window, the result grid, and the next keys with it:
  // the details grid takes it first (which ends the edit through Validate and
  // LostFocus).
  if (txtCell->hasFocus()) flexFileDetails->SetFocus();
  const int row = flexFileDetails->Tag().toInt();
  if (row >= 0 && row < flexFileDetails->Rows()) flexFileDetails->SetTextMatrix(row, 0, txtCell->Text());
  txtCell->SetVisible(false);
  picAutoTag->SetVisible(false);
}

// Leaving the box stores alias and description for the segment the edit
// began on (with bound values, so any quote is kept as typed).
void InspectorPane::txtCell_LostFocus() {
  if (!cellEdit_.open) return;
  EndCellEdit();
  const CellEdit edit = cellEdit_;
  cellEdit_.open = false;
  const QString alias = flexFileDetails->TextMatrix(1, 0);
  const QString description = flexFileDetails->TextMatrix(3, 0);
  if (!gLibrary) return;
  auto update = gLibrary->Connection().Prepare(
      QStringLiteral("UPDATE VideoSegments SET FileAlias = ?, Description = ? WHERE SegmentID = ?"));
  update->Bind(1, SqlValue(alias));
  update->Bind(2, SqlValue(description));
  update->Bind(3, SqlValue(static_cast<int64_t>(edit.segmentId)));
  try {
    update->Execute();
  } catch (...) {
    // The cells show again what is stored; the event's guard tells why.
    if (gEditedSegment.SegmentID == edit.segmentId) {
      flexFileDetails->SetTextMatrix(1, 0, ShownAlias(gEditedSegment));
      flexFileDetails->SetTextMatrix(3, 0, gEditedSegment.Description);
    }
    throw;
  }
  if (gEditedSegment.SegmentID == edit.segmentId) {
    gEditedSegment.FileAlias = alias;
    gEditedSegment.Description = description;
  }
  if (edit.row < flexSegments->Rows() && flexSegments->TextMatrix(edit.row, 4).toInt() == edit.segmentId) {
    flexSegments->SetTextMatrix(edit.row, 6, alias);
    flexSegments->SetTextMatrix(edit.row, 7, description);
  }
  CopyEditToResults(edit.segmentId, alias, description);
}

// An edit still open when the shown segment is about to change is stored
// first, for its own segment.
void InspectorPane::FinishCellEdit() {
  if (cellEdit_.open) txtCell_LostFocus();
}

// Esc, Enter and Tab end the one-line field, keeping what was typed; it is
// stored as the box loses the focus, and the focus stays in the inspector.
// Tab from the alias goes on to edit the description, Shift+Tab back.
void InspectorPane::txtCell_KeyDown(int& KeyCode, int Shift) {
  if (KeyCode != ctl::vbKeyEscape && KeyCode != ctl::vbKeyReturn && KeyCode != ctl::vbKeyTab) return;
  const bool tab = KeyCode == ctl::vbKeyTab;
  KeyCode = 0;  // handled: no other control acts on the key
  const int row = flexFileDetails->Tag().toInt();
  EndCellEdit();
  if (!tab) return;
  const bool back = (Shift & ctl::vbShiftMask) != 0;
  if (row == 1 && !back) EditDetailsRow(3);
  if (row == 3 && back) EditDetailsRow(1);
}

// A selection of 2 to 50 characters in the box is offered as a tag, without
// a closing punctuation mark.
void InspectorPane::txtCell_MouseUp(int Button, int, double, double) {
  if (Button != 1) return;
  const int n = txtCell->SelLength();
  if (n < 2 || n > 50) {
    picAutoTag->SetVisible(false);
    return;
  }
  picAutoTag->SetVisible(true);
  lblAutoTag->SetVisible(true);
  lblAutoTag->SetWordWrap(false);
  QString caption = txtCell->SelText().trimmed();
  if (!caption.isEmpty() && QStringLiteral(",.;:!?").contains(caption.back())) caption.chop(1);
  lblAutoTag->SetCaption(caption);
  lblAutoTag->ZOrder(0);
  picAutoTag->SetWidth(lblAutoTag->Width() + 32);
}

void InspectorPane::CopyEditToResults(int32_t segmentId, const QString& alias, const QString& description) {
  for (ResultItem& row : gResults) {
    if (row.SegmentID != segmentId) continue;
    row.FileAlias = alias;
    row.Description = description;
    break;
  }
  RedrawFrontCard();
}

void InspectorPane::ConnectEditingControls() {
  flexSegments->SelChange = [this] { flexSegments_SelChange(); };
  flexSegments->EnterCell = [this] { flexSegments_EnterCell(); };
  flexSegments->LeaveCell = [this] { flexSegments_LeaveCell(); };
  flexSegments->DblClick = [this] { flexSegments_DblClick(); };
  flexSegments->MouseDown = [this](int, int, double, double) { m_MouseHeld = false; };
  flexFileDetails->Click = [this] { flexFileDetails_Click(); };
  flexFileDetails->DblClick = [this] { flexFileDetails_DblClick(); };
  flexFileDetails->KeyDown = [this](int& keyCode, int shift) { flexFileDetails_KeyDown(keyCode, shift); };
  tbSegments->ButtonClick = [this](ctl::Button& button) { tbSegments_ButtonClick(button.Key()); };
  txtCell->KeyDown = [this](int& keyCode, int shift) { txtCell_KeyDown(keyCode, shift); };
  txtCell->Validate = [this](bool&) { EndCellEdit(); };
  txtCell->LostFocus = [this] { txtCell_LostFocus(); };
  txtCell->MouseUp = [this](int b, int s, double x, double y) { txtCell_MouseUp(b, s, x, y); };
}
