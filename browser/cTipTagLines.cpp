#include "browser/cTipTagLines.h"

#include "ui/CairoSurface.h"

#include <QHash>

#include <algorithm>
#include <compare>
#include <map>
#include <memory>

namespace {

const QString kFace = QStringLiteral("Tahoma");
constexpr double kPoints = 8;
constexpr QChar kParagraphSeparator(0x2029);
// Kept texts are let go of together once they hold this many characters
// (a laid-out character takes some tens of bytes).
constexpr qsizetype kMostKeptChars = qsizetype(1) << 18;
// Glyphs are drawn a little beyond their ink (smoothing): a line counts as
// outside the box only when its ink is this far outside.
constexpr double kInkSlack = 2;

// The laid-out lines and texts of the tips so far, by font and text.
struct KeptTexts {
  struct Font {
    double points;
    bool bold;
    bool withInk;
    auto operator<=>(const Font&) const = default;
  };
  std::map<Font, QHash<QString, CairoText>> texts;
  qsizetype chars = 0;
};

KeptTexts& Kept() {
  static KeptTexts kept;
  return kept;
}

CairoText KeptLayout(const QString& text, double points, COLORREF colour, bool bold, bool withInk) {
  KeptTexts& kept = Kept();
  QHash<QString, CairoText>& texts = kept.texts[{points, bold, withInk}];
  const auto found = texts.constFind(text);
  if (found != texts.constEnd() && found->Colour() == colour && found->IsCurrent()) return *found;
  if (kept.chars > kMostKeptChars) cTipTagLines::ForgetKeptLines();
  CairoContext& scratch = cTipTagLines::LayoutContext();
  scratch.SelectFont(kFace, points, colour, bold);
  const CairoText laidOut = scratch.PrepareText(text, withInk);
  // Looked up again: forgetting above empties the map `texts` was in.
  QHash<QString, CairoText>& into = kept.texts[{points, bold, withInk}];
  if (!into.contains(text)) kept.chars += text.size();
  into.insert(text, laidOut);
  return laidOut;
}

// The lines as Pango parts a text into paragraphs: at CR, LF, CR LF and the
// paragraph separator; a text ending in a break ends with an empty line.
std::vector<QString> SplitLines(const QString& text) {
  std::vector<QString> lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c != QLatin1Char('\r') && c != QLatin1Char('\n') && c != kParagraphSeparator) continue;
    lines.push_back(text.mid(start, i - start));
    if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
    start = i + 1;
  }
  lines.push_back(text.mid(start));
  return lines;
}

}  // namespace

void cTipTagLines::Prepare(const QString& text, COLORREF colour, bool byLines) {
  lines_.clear();
  block_ = CairoText();
  if (byLines && PrepareLines(text, colour)) return;
  lines_.clear();
  CairoContext& scratch = LayoutContext();
  scratch.SelectFont(kFace, kPoints, colour);
  block_ = scratch.PrepareText(text);
  size_ = block_.Size();
  lineCount_ = block_.LineCount();
}

// Each line is laid out as the whole text would lay it out when it keeps to
// one line and reads left to right: then the lines stack at their heights
// and the widest gives the width. A nul ends the text for Pango, so a text
// holding one is laid out whole.
bool cTipTagLines::PrepareLines(const QString& text, COLORREF colour) {
  if (text.contains(QChar(0))) return false;
  const std::vector<QString> texts = SplitLines(text);
  lines_.reserve(texts.size());
  double top = 0;
  double width = 0;
  for (const QString& lineText : texts) {
    const CairoText line = KeptLayout(lineText, kPoints, colour, false, true);
    if (line.LineCount() != 1 || !line.LeftToRight()) return false;
    lines_.push_back({line, top});
    top += line.Size().Height;
    width = std::max(width, line.Size().Width);
  }
  size_ = {width, top};
  lineCount_ = static_cast<int>(lines_.size());
  return true;
}

void cTipTagLines::Draw(CairoContext& cc, double x, double y, double width, double height, double opacity) const {
  if (!block_.IsNull()) {
    cc.DrawText(x, y, width, height, block_, kAlignLeft, opacity);
    return;
  }
  for (const Line& line : lines_) {
    const CairoText& text = line.text;
    if (text.InkBottom() <= text.InkTop()) continue;  // nothing to draw
    if (line.top + text.InkTop() >= height + kInkSlack || line.top + text.InkBottom() <= -kInkSlack) continue;
    cc.DrawTextAt(x, y, width, height, text, x, y + line.top, opacity);
  }
}

CairoContext& cTipTagLines::LayoutContext() {
  static const std::shared_ptr<CairoContext> context = std::make_shared<CairoSurface>(1, 1)->Context();
  return *context;
}

CairoText cTipTagLines::KeptText(const QString& text, double points, COLORREF colour, bool bold) {
  return KeptLayout(text, points, colour, bold, false);
}

void cTipTagLines::ForgetKeptLines() {
  Kept().texts.clear();
  Kept().chars = 0;
}
