// The story board's settings, geometry, tag lines and interval: plain
// arithmetic the window builds on.
#include "core/modRegistry.h"
#include "core/ShownNumbers.h"
#include "platform/Rounding.h"
#include "player/frmFilePreview.h"

#include <algorithm>
#include <cmath>

namespace {

int32_t AtLeast(int32_t value, int32_t floor) { return std::max(value, floor); }

int32_t Posters(const char* name) {
  return modRegistry::GetSettingLong(kRegFilePosters, QString::fromLatin1(name));
}

StoryBoardHooks& Hooks() {
  static StoryBoardHooks hooks;
  return hooks;
}

}  // namespace

void SetStoryBoardHooks(StoryBoardHooks hooks) { Hooks() = std::move(hooks); }
const StoryBoardHooks& GetStoryBoardHooks() { return Hooks(); }

StoryBoardSettings ReadStoryBoardSettings(bool tvOut, int screenWidth, int screenHeight) {
  StoryBoardSettings s;
  s.HorizontalSpacing = AtLeast(Posters("HorizontalSpacing"), 0);
  s.VerticalSpacing = AtLeast(Posters("VerticalSpacing"), 0);
  if (tvOut) {
    s.RowCount = 4;
    s.ColumnCount = 5;
    s.TileWidth = AtLeast(CInt((screenWidth - 100) / 5.0), 1);
    s.TileHeight = AtLeast(CInt((screenHeight - 100) / 4.0), 1);
  } else {
    s.ColumnCount = AtLeast(Posters("HorizontalTiles"), 1);
    s.RowCount = AtLeast(Posters("VerticalTiles"), 1);
    s.TileWidth = AtLeast(Posters("TileWidth"), 1);
    s.TileHeight = AtLeast(Posters("TileHeight"), 1);
  }
  s.Compression = std::clamp(Posters("Compression"), 1, 100);
  s.CaptionFont = modRegistry::GetSettingText(kRegFilePosters, QStringLiteral("CaptionFont"));
  s.CaptionColour = static_cast<COLORREF>(Posters("CaptionColour"));
  s.CaptionSize = std::clamp(Posters("CaptionSize"), 1, 1000);
  s.CaptionTextColour = static_cast<COLORREF>(Posters("CaptionTextColour"));
  s.TimestampColour = static_cast<COLORREF>(Posters("TimestampColour"));
  return s;
}

int64_t StoryBoardLayout::TileX(int64_t k, const StoryBoardSettings& s) const {
  const int64_t c = (k - 1) % s.ColumnCount;
  return Margin + c * (int64_t{s.TileWidth} + s.HorizontalSpacing);
}

int64_t StoryBoardLayout::TileY(int64_t k, const StoryBoardSettings& s) const {
  const int64_t r = (k - 1) / s.ColumnCount;
  return HeaderHeight + r * (int64_t{s.TileHeight} + s.VerticalSpacing);
}

StoryBoardLayout MakeStoryBoardLayout(const StoryBoardSettings& s, bool tvOut, int extraTagLines) {
  StoryBoardLayout l;
  l.LineHeight = CLng(s.CaptionSize * 1.3);
  l.ValueColumn = 8 * l.LineHeight;
  l.HeaderHeight = tvOut ? 10 : CInt(9.0 * l.LineHeight) + 15 * std::max(extraTagLines, 0);
  l.TileCount = int64_t{s.RowCount} * s.ColumnCount;
  l.GridWidth = (int64_t{s.TileWidth} + s.HorizontalSpacing) * s.ColumnCount - s.HorizontalSpacing;
  l.GridHeight = (int64_t{s.TileHeight} + s.VerticalSpacing) * s.RowCount - s.VerticalSpacing;
  l.BoardWidth = l.GridWidth + 2 * l.Margin;
  l.BoardHeight = l.HeaderHeight + l.GridHeight + 10;
  return l;
}

QString StoryBoardSizeProblem(const StoryBoardLayout& l) {
  const QString size = QStringLiteral("%1 x %2").arg(l.BoardWidth).arg(l.BoardHeight);
  if (l.BoardWidth > kMaxBoardSide || l.BoardHeight > kMaxBoardSide) {
    return QStringLiteral("This Story Board would be %1 pixels, larger than the 32767 pixels a picture may have "
                          "on a side.\r\n\r\nPlease choose fewer or smaller tiles in the Story Board options.")
        .arg(size);
  }
  if (l.BoardWidth * l.BoardHeight * 4 > kBoardMemoryBudget) {
    return QStringLiteral("This Story Board would be %1 pixels, more than the %2 MB a Story Board may take.\r\n\r\n"
                          "Please choose fewer or smaller tiles in the Story Board options.")
        .arg(size, ShownNumbers::Count(kBoardMemoryBudget / 1024 / 1024));
  }
  return {};
}

// Up to 6 seconds the exact length, so that the frames run through the
// whole clip (the whole seconds of a 2.5-second clip would leave out its
// last fifth); beyond, the whole seconds, where the part of a second left
// out moves the frames by less than a sixth of the length.
double StoryBoardLength(double duration) {
  const double length = std::max(duration, 0.0);
  return length <= 6 ? length : std::floor(length);
}

// The length shared among the tiles, with a gap at the end above 5 seconds.
double StoryBoardInterval(double duration, int64_t tileCount) {
  const double length = StoryBoardLength(duration);
  const int64_t tiles = std::max<int64_t>(tileCount, 1);
  return length > 5 ? length / static_cast<double>(tiles + 1) : length / static_cast<double>(tiles);
}

// The compact text is ", " and the tags, each explicit tag followed by its
// ancestors in "***": ", Beach, ***Places***, ***Holiday***".
QString StoryBoardTagText(const QString& compactTags) {
  QString text = compactTags.mid(2);
  text.replace(QStringLiteral("***, ***"), QStringLiteral("*-*"));
  text.replace(QStringLiteral(", ***"), QStringLiteral(" ("));
  text.replace(QStringLiteral(", "), QStringLiteral(","));
  return text;
}

QStringList StoryBoardSplitLines(const QString& text) {
  QStringList lines = text.split(QLatin1Char(','));
  for (QString& line : lines) {
    // Implied tags with no explicit tag before them (what a category implies)
    // open their own parenthesis.
    if (line.startsWith(QStringLiteral("***"))) line.replace(0, 3, QStringLiteral("("));
    line.replace(QStringLiteral("*-*"), QStringLiteral(", "));
    line.replace(QStringLiteral("***"), QStringLiteral(")"));
  }
  return lines;
}

QStringList StoryBoardTagLines(const QString& compactTags) {
  return StoryBoardSplitLines(StoryBoardTagText(compactTags));
}

int64_t StoryBoardTileAt(int64_t x, int64_t y, const StoryBoardLayout& l, const StoryBoardSettings& s) {
  const int64_t c = (x - l.Margin) / (int64_t{s.TileWidth} + s.HorizontalSpacing) + 1;
  const int64_t r = (y - l.HeaderHeight) / (int64_t{s.TileHeight} + s.VerticalSpacing) + 1;
  const int64_t k = (r - 1) * s.ColumnCount + c;
  return k >= 1 && k <= l.TileCount ? k : 0;
}
