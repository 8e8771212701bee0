// The carousel's texts: a text with an outline (or a glow when highlighted),
// the same in a box for the title, the tag list laid out in centred lines and
// the description laid out in lines of the panel's width, page by page.
#include "carousel/cCarousel.h"

#include "platform/Rounding.h"
#include "ui/modBlendColorAlpha.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

constexpr double kPanelWidth = 1200;
// Tag lines close before a row would bring them to this width.
constexpr double kTagLineLimit = 1160;
constexpr double kTagMargin = (kPanelWidth - kTagLineLimit) / 2;
constexpr double kFirstTagLineY = 55;
// Description lines are no wider than this, and end above kDescriptionFloor.
constexpr double kDescriptionWidth = 1180;
constexpr double kDescriptionFloor = 400;
constexpr int kRoundCaps = 1;

struct OutlineFont {
  QString Face;
  int Size;
  bool Bold;
  bool Italic;
  int OutlineWidth;
};

// The two passes of an outlined text: the outline stroked, then the text
// filled. Normal: both in the outline colour, the stroke at strokeOpacity.
// Highlighted: a wide glow in the highlight, a thin outline at
// highlightedStrokeOpacity and a dark fill. The context is left as it was.
void DrawOutlined(CairoContext& context, const QString& text, const OutlineFont& font, double x, double y,
                  double strokeOpacity, double highlightedStrokeOpacity, bool highlighted, COLORREF highlight,
                  COLORREF outline, COLORREF darkFill) {
  context.Save();
  context.Save();
  context.SetLineCap(kRoundCaps);
  context.SetLineJoin(kRoundCaps);
  COLORREF fill = outline;
  if (highlighted) {
    context.SelectFont(font.Face, font.Size, highlight, font.Bold, font.Italic);
    context.SetLineWidth(font.OutlineWidth + 4);
    context.TextOut(x, y, text, 1.0, true);
    context.Stroke();
    context.SelectFont(font.Face, font.Size, outline, font.Bold, font.Italic);
    strokeOpacity = highlightedStrokeOpacity;
    context.SetLineWidth(1);
    fill = darkFill;
  } else {
    // The plain outline as a halo: it looks the same and costs a tenth.
    context.SelectFont(font.Face, font.Size, outline, font.Bold, font.Italic);
    context.TextHalo(x, y, text, font.OutlineWidth / 2.0, strokeOpacity);
    context.Restore();
    context.SelectFont(font.Face, font.Size, fill, font.Bold, font.Italic);
    context.TextOut(x, y, text, 1.0);
    context.Restore();
    return;
  }
  context.TextOut(x, y, text, strokeOpacity, true);
  context.Stroke();
  context.Restore();
  context.SelectFont(font.Face, font.Size, fill, font.Bold, font.Italic);
  context.TextOut(x, y, text, 1.0);
  context.Restore();
}

// The text on one line no wider than `width` in the selected font: cut at a
// character boundary with "..." when it is too wide (line breaks become spaces).
QString FittedLine(CairoContext& context, QString text, double width) {
  text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  if (context.MeasureText(text).Width <= width) return text;
  const QString ellipsis = QStringLiteral("...");
  std::vector<qsizetype> cuts;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) cuts.push_back(at);
  // The longest start that fits with the ellipsis: widths grow with the cut.
  size_t low = 0;
  size_t high = cuts.size();
  while (low < high) {
    const size_t mid = (low + high) / 2;
    if (context.MeasureText(text.left(cuts[mid]) + ellipsis).Width <= width) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low == 0 ? ellipsis : text.left(cuts[low - 1]) + ellipsis;
}

struct TagLine {
  size_t First;
  size_t Last;
};

// Rows 0 .. count - 1 gathered into lines: a line closes before a row that
// would bring it to the limit or more, unless that row is a separator, which
// stays on its line. A row as wide as the limit on its own keeps a line to
// itself rather than closing an empty one.
std::vector<TagLine> TagLines(const std::vector<TagListRow>& rows, size_t count) {
  std::vector<TagLine> lines;
  if (count == 0) return lines;
  size_t first = 0;
  double width = 0;
  for (size_t i = 0; i < count; ++i) {
    if (i > first && width + rows[i].Width >= kTagLineLimit && !rows[i].Separator) {
      lines.push_back({first, i - 1});
      first = i;
      width = 0;
    }
    width += rows[i].Width;
  }
  lines.push_back({first, count - 1});
  return lines;
}

// The description's lines: line feeds dropped, each carriage return ends a
// line, words (split at spaces) fill lines up to `width`; a word wider than
// that has a line of its own.
QStringList DescriptionLines(CairoContext& context, QString text, double width) {
  text.remove(QLatin1Char('\n'));
  text.replace(QLatin1Char('\r'), QStringLiteral(" \r "));
  const double space = context.MeasureText(QStringLiteral(" ")).Width;
  QStringList lines;
  QString line;
  double lineWidth = 0;
  for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    if (word == QLatin1String("\r")) {
      lines << line;
      line.clear();
      lineWidth = 0;
      continue;
    }
    const double wordWidth = context.MeasureText(word).Width;
    if (line.isEmpty()) {
      line = word;
      lineWidth = wordWidth;
    } else if (lineWidth + space + wordWidth > width) {
      lines << line;
      line = word;
      lineWidth = wordWidth;
    } else {
      line += QLatin1Char(' ') + word;
      lineWidth += space + wordWidth;
    }
  }
  if (!line.isEmpty()) lines << line;
  return lines;
}

}  // namespace

void cCarousel::OutlinedTextOut(const QString& Text, const QString& FontName, int FontSize, bool Bold, bool Italic,
                                int OutlineWidth, double X, double Y, double& Opacity, COLORREF Colour,
                                COLORREF OutlineColour, CairoContext& Context) {
  const bool highlighted = Colour == HighlightColour;
  // The highlighted style hands its outline's opacity back to the caller.
  if (highlighted) Opacity = 0.5;
  DrawOutlined(Context, Text, {FontName, FontSize, Bold, Italic, OutlineWidth}, X, Y, Opacity, Opacity,
               highlighted, HighlightColour, OutlineColour, BlendColor(0, lColour3, 180));
}

// On one line, cut with "..." when it is wider than the box, and clipped to
// the box so that neither a long text nor its outline leaves it.
void cCarousel::DrawHaloText(const QString& Text, int FontSize, int OutlineWidth, double X, double Y, double Width,
                             double Height, int Alignment, COLORREF Colour, COLORREF OutlineColour) {
  CairoContext& context = *m_DetailsContext;
  const OutlineFont font{QStringLiteral("Verdana"), FontSize, true, false, OutlineWidth};
  context.Save();
  context.SelectFont(font.Face, font.Size, OutlineColour, font.Bold, font.Italic);
  const QString line = FittedLine(context, Text, std::max(0.0, Width - OutlineWidth));
  const double spare = Width - context.MeasureText(line).Width;
  double left = X;
  if (Alignment == kAlignCentre) left += spare / 2;
  if (Alignment == kAlignRight) left += spare;
  context.Rectangle(X, Y, Width, Height);
  context.Clip();
  DrawOutlined(context, line, font, left, Y, 0.8, 0.8, Colour == HighlightColour, HighlightColour, OutlineColour,
               BlendColor(0, lColour3, 180));
  context.Restore();
}

void cCarousel::DrawTags() {
  if (OpenSegmentCount() == 0) return;
  if (!m_DetailsContext) NewDetailsSurface();
  CairoContext& context = *m_DetailsContext;
  context.SelectFont(QStringLiteral("Verdana"), 18, lTextColour, false, true);
  const TextSize space = context.MeasureText(QStringLiteral(" "));
  // The last row only ends the list.
  const size_t count = m_TagList.empty() ? 0 : m_TagList.size() - 1;
  // The list builder measured its rows in this font; rows put in place
  // otherwise are measured here.
  for (size_t i = 0; i < count; ++i) {
    TagListRow& row = m_TagList[i];
    if (row.Width <= 0 && !row.Caption.isEmpty()) row.Width = context.MeasureText(row.Caption).Width;
  }
  double y = kFirstTagLineY;
  for (const TagLine& line : TagLines(m_TagList, count)) {
    double width = 0;
    for (size_t i = line.First; i <= line.Last; ++i) width += m_TagList[i].Width;
    if (m_TagList[line.Last].Caption.endsWith(QLatin1Char(' '))) width -= space.Width;
    DrawTagLine(line.First, line.Last, width, y);
    y += space.Height;
  }
  m_TagsBottom = CLng(y + 10);
}

// One line centred on the panel; a line wider than the limit starts at the
// margin and is cut at the other.
void cCarousel::DrawTagLine(size_t First, size_t Last, double Width, double Y) {
  // A line below the panel's foot would be clipped whole: it is not drawn.
  if (Y >= m_DetailsSurface->Height()) return;
  CairoContext& context = *m_DetailsContext;
  const bool tagsFocused = m_MenuMode == QLatin1String("TagsMain") || m_MenuMode == QLatin1String("Tags");
  const bool tooWide = Width > kTagLineLimit;
  context.Save();
  if (tooWide) {
    context.Rectangle(kTagMargin, 0, kTagLineLimit, m_DetailsSurface->Height());
    context.Clip();
  }
  double x = tooWide ? kTagMargin : (kPanelWidth - Width) / 2;
  for (size_t i = First; i <= Last; ++i) {
    const TagListRow& row = m_TagList[i];
    const bool highlighted = tagsFocused && static_cast<int32_t>(i) == m_HighlightedTagIndex;
    double opacity = highlighted ? 1.0 : 0.7;
    OutlinedTextOut(row.Caption, QStringLiteral("Verdana"), 18, false, true, 2, x, Y, opacity,
                    highlighted ? HighlightColour : lTextColour, highlighted ? lMenuColour3 : lTextColour, context);
    x += row.Width;
  }
  context.Restore();
}

void cCarousel::DrawDescription(const QString& Text, double X, double Y) {
  DescriptionOverflow = false;
  CairoContext& context = *m_DetailsContext;
  const QStringList lines = DescriptionLines(context, Text, kDescriptionWidth);
  const double lineHeight = context.FontHeight();
  const qsizetype first = std::max<qsizetype>(1, m_DescriptionPage) - 1;
  double y = Y;
  double markerY = Y;
  qsizetype next = first;
  // A line wider than the box (one long word) is cut at its edge.
  context.Save();
  context.Rectangle(X, 0, kDescriptionWidth, m_DetailsSurface->Height());
  context.Clip();
  for (; next < lines.size() && y + lineHeight <= kDescriptionFloor; ++next) {
    double opacity = 0.8;
    OutlinedTextOut(lines[next], QStringLiteral("Verdana"), 18, false, false, 1, X, y, opacity, lTextColour,
                    lTextColour, context);
    markerY = y + lineHeight + 10;
    y += lineHeight + 6;
  }
  context.Restore();
  if (next < lines.size()) {
    DescriptionOverflow = true;
    DrawDescriptionMarker(QStringLiteral("[MORE...]"), X, markerY);
  } else if (m_DescriptionPage >= 2) {
    DrawDescriptionMarker(QStringLiteral("[TOP]"), X, markerY);
  }
}

void cCarousel::DrawDescriptionMarker(const QString& Marker, double X, double Y) {
  const bool focused = m_MenuMode == QLatin1String("Description");
  double opacity = focused ? 1.0 : 0.1;
  OutlinedTextOut(Marker, QStringLiteral("Arial"), 14, true, true, 5, X, Y, opacity,
                  focused ? HighlightColour : lTextColour, focused ? lMenuColour3 : lTextColour, *m_DetailsContext);
}
