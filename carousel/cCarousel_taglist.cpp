// The front file's tag list, a row per tag with a separator row before each
// (punctuation and brackets), and the view strip of TV-Out mode.
#include "carousel/cCarousel.h"

#include "core/modReelwise.h"
#include "library/HistoryEntry.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlRecordset.h"

#include <cmath>
#include <exception>

namespace {

// One record of the tag structure, in the order the list shows them.
struct TagRecord {
  int32_t TagID = 0;
  QString Tag;
  int Tier = 1;
  int32_t ExplicitTagID = 0;
  bool ViaSegment = false;
};

TagListRow SeparatorRow(const QString& caption) {
  TagListRow row;
  row.Caption = caption;
  row.Separator = true;
  return row;
}

// The records of TEMP_FileTagStructure for the front file; none when the
// library cannot give them.
std::vector<TagRecord> ReadTagRecords() {
  std::vector<TagRecord> records;
  if (!gLibrary) return records;
  try {
    gLibrary->GetSegmentTags(gCurrentItem.IsFileRow, gCurrentItem.FileID, gCurrentItem.SegmentID, false, true);
    auto rs = gLibrary->Connection().OpenRecordset(QStringLiteral(
        "SELECT * FROM TEMP_FileTagStructure ORDER BY ViaSegment, ExplicitTagCategory, ExplicitTagID, Tier,  "
        "TagCategory, Tag"));
    for (; !rs->Eof(); rs->MoveNext()) {
      TagRecord record;
      record.TagID = rs->Value(QStringLiteral("TagID")).toInt();
      record.Tag = rs->Value(QStringLiteral("Tag")).toString();
      record.Tier = rs->Value(QStringLiteral("Tier")).toInt();
      record.ExplicitTagID = rs->Value(QStringLiteral("ExplicitTagID")).toInt();
      record.ViaSegment = rs->Value(QStringLiteral("ViaSegment")).toBool();
      records.push_back(record);
    }
  } catch (const std::exception&) {
    records.clear();  // an unreadable structure shows as "No Tags"
  }
  return records;
}

// The rows of the records: before each tag a separator row. Implied tags
// (Tier above 1) are grouped in parentheses after their explicit tag, and the
// tags reached through a segment in square brackets after the file's own.
// The first separator is empty; a closing row ends open groups.
std::vector<TagListRow> BuildTagRows(const std::vector<TagRecord>& records) {
  std::vector<TagListRow> rows;
  bool parenthesis = false;
  bool bracket = false;
  for (const TagRecord& record : records) {
    QString separator;
    if (!rows.empty()) {
      if (record.Tier == 1 && parenthesis) {
        separator = QStringLiteral("); ");
        parenthesis = false;
      } else if (record.Tier > 1 && !parenthesis) {
        separator = QStringLiteral(" (");
        parenthesis = true;
      } else {
        separator = record.Tier > 1 ? QStringLiteral(", ") : QStringLiteral("; ");
      }
    }
    if (record.ViaSegment && !bracket) {
      separator = rows.empty() ? QStringLiteral("[") : separator + QStringLiteral(" [");
      bracket = true;
    }
    rows.push_back(SeparatorRow(separator));
    TagListRow tag;
    tag.TagID = record.TagID;
    tag.Caption = record.Tag;
    tag.LinkedTagID = record.ExplicitTagID;
    tag.ViaSegment = bracket;
    rows.push_back(tag);
  }
  if (parenthesis) {
    rows.push_back(SeparatorRow(bracket ? QStringLiteral(")]") : QStringLiteral(")")));
  } else if (bracket) {
    rows.push_back(SeparatorRow(QStringLiteral("]")));
  }
  return rows;
}

}  // namespace

void cCarousel::DrawFileTagList() {
  const std::vector<TagRecord> records = ReadTagRecords();
  HasTags = !records.empty();
  m_TagList = HasTags ? BuildTagRows(records) : std::vector<TagListRow>{SeparatorRow(QStringLiteral("No Tags"))};
  // The last row only ends the list: it is neither drawn nor highlighted.
  m_TagList.emplace_back();
  CairoContext& context = *m_SpareContext;
  context.SelectFont(QStringLiteral("Verdana"), 18, m_TintColour[0], false, true);
  for (TagListRow& row : m_TagList) {
    if (!row.Caption.isEmpty()) row.Width = context.MeasureText(row.Caption).Width;
  }
  int32_t highlighted = m_HighlightedTagIndex;
  SetHighlightedTag(highlighted);
}

// ---- View strip ----

namespace {

// The strip fills the two bands the details panel leaves free at the
// canvas's sides: the left one holds the buttons, the right one the
// description of the view, running down.
constexpr double kBandWidth = 40;
constexpr double kButtonRadius = 18;
// The buttons' glyphs in the program's symbol font: the previous set, a new
// set and the next set, as in the main menu.
const char* const kStripGlyphs[3] = {"L", "D", "M"};

QString HistoryDescription() {
  if (!gLibrary) return {};
  const int index = gLibrary->HistoryIndex();
  if (index < 1 || index >= static_cast<int>(gHistory.size())) return {};
  return gHistory[static_cast<size_t>(index)].Description;
}

}  // namespace

void cCarousel::DrawViewStrip() {
  // Only TV-Out mode shows the strip: outside it no surface is kept.
  if (!gTVOutMode) {
    m_ViewStripSurface.reset();
    return;
  }
  if (!m_ViewStripSurface) m_ViewStripSurface = std::make_shared<CairoSurface>(m_CanvasWidth, m_CanvasHeight);
  m_ViewStripSurface->Surface().Fill(0, 0);
  m_ViewStripSurface->Surface().MarkDirty();
  auto context = m_ViewStripSurface->Context();
  context->SetSourceColour(m_TintColour[0], 0.2);
  context->Rectangle(0, 0, kBandWidth, m_CanvasHeight);
  context->Rectangle(m_CanvasWidth - kBandWidth, 0, kBandWidth, m_CanvasHeight);
  context->Fill();
  DrawStripButtons(*context);
  context->Save();
  context->Translate(m_CanvasWidth, 20);
  context->RotateDegrees(90);
  context->SelectFont(QStringLiteral("Verdana"), 18, m_TintColour[3], true);
  const double top = (kBandWidth - context->FontHeight()) / 2;
  context->DrawText(0, top, m_CanvasHeight - 40, kBandWidth - top, HistoryDescription(), true, kAlignLeft);
  context->Restore();
}

void cCarousel::DrawStripButtons(CairoContext& context) {
  for (int k = 0; k < 3; ++k) {
    const double centreY = 60 + k * (2 * kButtonRadius + 14);
    context.SetSourceColour(m_TintColour[0], 0.2);
    context.Arc(kBandWidth / 2, centreY, kButtonRadius, 0, 2 * M_PI);
    context.Fill();
    const QString glyph = QString::fromLatin1(kStripGlyphs[k]);
    context.SelectFont(QStringLiteral("RW2dings"), 36);
    const TextSize size = context.MeasureText(glyph);
    double opacity = 0.3;
    OutlinedTextOut(glyph, QStringLiteral("RW2dings"), 36, false, false, 2, (kBandWidth - size.Width) / 2,
                    centreY - size.Height / 2, opacity, m_TintColour[3], m_TintColour[0], context);
  }
}

void cCarousel::PaintViewStrip(CairoContext& Context, double Opacity) {
  if (!gTVOutMode) return;
  if (!m_ViewStripSurface) DrawViewStrip();
  Context.RenderSurface(*m_ViewStripSurface, 0, 0, 0, 0, Opacity);
}
