#include "browser/cwToolTip.h"

#include <QPainterPath>
#include <QRegion>

#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/Rounding.h"
#include "resources/Resources.h"
#include "ui/CairoObject.h"
#include "ui/CairoPattern.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"
#include "ui/modCairo.h"

#include <cairo.h>

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <algorithm>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kDashes26 = QStringLiteral("--------                          --------");
const QString kDashes24 = QStringLiteral("--------                        --------");

// The balloon's margin around the content, and the form's around the balloon
// (room for the glow and the arrow).
constexpr int kBalloonMargin = 36;
constexpr int kFormMargin = 56;
// The room above the content inside the balloon's top edge (at 28).
constexpr int kContentHeadroom = 46 - 28;

int32_t WholePixels(double value) { return static_cast<int32_t>(RoundHalfEven(value)); }

// The screen the pointer is on; the primary one when the point is on none.
QRect ScreenAt(int32_t x, int32_t y) {
  QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
}

QString TitleOf(const ResultItem& item) {
  return gTooltipAliases && !item.FileAlias.isEmpty() ? item.FileAlias : item.FileName;
}

// The numbers as the list grid writes them (a frame rate of 29.97 stays
// "29.97"; the size in MiB with three decimals), without the grid's padding.
QString DetailsOf(const ResultItem& item) {
  return item.FileFormat + QStringLiteral(" : ") + item.Dimensions + QStringLiteral(" : ") +
         ShownNumbers::BitRate(item.Bitrate) + QStringLiteral("kbps : ") + ResultListText(item, DetailField::FrameRate) +
         QStringLiteral("fps : ") + ResultListText(item, DetailField::Size).trimmed();
}

QString TagsOf(const ResultItem& item) {
  if (!gLibrary) return QString();
  return gLibrary->GetSegmentTags(item.IsFileRow, item.FileID, item.SegmentID, true, false);
}

// A colour at half opacity over white.
COLORREF OverWhite(COLORREF colour) {
  auto half = [](uint32_t channel) { return (channel + 255 + 1) / 2; };
  return RGB(half(colour & 0xFF), half((colour >> 8) & 0xFF), half((colour >> 16) & 0xFF));
}

COLORREF MutedColour() { return BlendColor(gSchemeColour3, gSchemeColour2, 60); }

}  // namespace

cwToolTip::cwToolTip() = default;

void cwToolTip::Initialise(QWidget* id, int32_t x, int32_t y) {
  id_ = id;
  x_ = x;
  y_ = y;
  const QRect screen = ScreenAt(x, y);
  MeasureContent(screen);
  balloonWidth_ = contentWidth_ + kBalloonMargin;
  balloonHeight_ = contentHeight_ + kBalloonMargin;
  PlaceBalloon(screen);
}

// Every text of the tip is laid out here (or taken as an earlier tip laid
// it out), then measured and drawn from its layout as often as the look
// needs it.
void cwToolTip::MeasureContent(const QRect& screen) {
  contentWidth_ = 100;
  contentHeight_ = 100;
  title_ = TitleOf(gHoverItem);
  details_ = DetailsOf(gHoverItem);
  tags_ = TagsOf(gHoverItem);

  PrepareTexts();
  contentWidth_ = std::max(contentWidth_, WholePixels(text_.title.Size().Width));

  // The verbose tag text starts with an empty line and ends with a line
  // break: the lines from the second on give one line height each.
  const TextSize tags = tagLines_.Size();
  const int lines = std::max(1, tagLines_.LineCount());
  const double lineHeight = tags.Height / lines;
  widestTagLine_ = tags.Width > 0 ? WholePixels(tags.Width + 10) : 0;
  contentWidth_ = std::max(contentWidth_, widestTagLine_);
  contentWidth_ = std::max(contentWidth_, WholePixels(text_.details.Size().Width));

  contentHeight_ = WholePixels(static_cast<double>(lines - 1) * lineHeight + 100);
  contentWidth_ += 2;
  // A title or tag list larger than the screen would ask for a window beyond
  // what the window system allows: the form never exceeds the screen, and the
  // text boxes cut what does not fit.
  const int32_t margins = kBalloonMargin + kFormMargin;
  contentWidth_ = std::max(1, std::min(contentWidth_, screen.width() - margins));
  contentHeight_ = std::max(1, std::min(contentHeight_, screen.height() - margins));
}

// Each text is laid out once and kept (see cTipTagLines); the rulers change
// only with the colour scheme.
void cwToolTip::PrepareTexts() {
  text_.title = cTipTagLines::KeptText(title_, 11, gSchemeColour4, true);
  tagLines_.Prepare(tags_, gSchemeColour4);
  const COLORREF muted = MutedColour();
  text_.dashes26 = cTipTagLines::KeptText(kDashes26, 8, muted);
  text_.dashes24 = cTipTagLines::KeptText(kDashes24, 8, muted);
  text_.dashes28 = cTipTagLines::KeptText(QString(28, QLatin1Char('-')), 8, muted);
  text_.spacedDashes28 =
      cTipTagLines::KeptText(QLatin1Char(' ') + QString(28, QLatin1Char('-')) + QLatin1Char(' '), 8, muted);
  text_.duration =
      cTipTagLines::KeptText(ShownNumbers::Duration(gHoverItem.Duration, false, false), 8, gSchemeColour3);
  text_.details = cTipTagLines::KeptText(details_, 7, gSchemeColour3);
}

// Right of the pointer when the form fits, else left of it with the arrow on
// the right; above the pointer with the arrow's point level with it, moving
// the arrow down when the balloon would leave the top of the screen.
void cwToolTip::PlaceBalloon(const QRect& screen) {
  const int32_t formWidth = balloonWidth_ + kFormMargin;
  arrowOnRight_ = x_ + formWidth >= screen.left() + screen.width();
  dx_ = arrowOnRight_ ? -5 - formWidth : 5;
  const int32_t t = (y_ - screen.top()) - balloonHeight_ + 26;
  arrowOffset_ = t < 0 ? t : -20;
  dy_ = 8 - balloonHeight_ - arrowOffset_;
}

void cwToolTip::GetTipRect(int32_t& left, int32_t& top, int32_t& width, int32_t& height) const {
  left = x_ + dx_;
  top = y_ + dy_;
  width = balloonWidth_ + kFormMargin;
  height = balloonHeight_ + kFormMargin;
}

void cwToolTip::W_Paint(CairoContext& cc, double, double, double, double) {
  DrawBalloon(cc);
  if (text_.title.IsNull()) return;
  cc.Save();
  cc.Translate(46, 46);
  // The content is cut to its area but for the balloon's margin above it,
  // where an accent over a capital of the title rises.
  cc.Rectangle(0, -kContentHeadroom, contentWidth_, contentHeight_ + kContentHeadroom);
  cc.Clip();
  DrawContent(cc);
  cc.Restore();
}

namespace {

// The balloon's outline as a Qt path, for the form's shape.
struct QtOutline {
  QPainterPath path;
  void MoveTo(double x, double y) { path.moveTo(x, y); }
  void LineTo(double x, double y) { path.lineTo(x, y); }
  void RelLineTo(double dx, double dy) { path.lineTo(path.currentPosition() + QPointF(dx, dy)); }
  void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    path.cubicTo(x1, y1, x2, y2, x3, y3);
  }
  void ClosePath() { path.closeSubpath(); }
};

}  // namespace

// The outline's polygon grown by the glow's two pixels each way: far
// cheaper than drawing the balloon to read its pixels back.
QRegion cwToolTip::BalloonMask() const {
  QtOutline outline;
  TraceBalloon(outline);
  outline.path.translate(18, 18);
  const QRegion fill(outline.path.toFillPolygon().toPolygon(), Qt::WindingFill);
  QRegion shape = fill;
  for (const QPoint step : {QPoint(2, 0), QPoint(-2, 0), QPoint(0, 2), QPoint(0, -2)}) shape += fill.translated(step);
  return shape;
}

// The balloon with its arrow on the left or the right, for a Cairo context
// or a Qt path; (0, 0) is 18 pixels in from the form's corner.
template <typename Outline>
void cwToolTip::TraceBalloon(Outline& cc) const {
  const double w = balloonWidth_;
  const double h = balloonHeight_;
  const double v = arrowOffset_;
  cc.MoveTo(10, 30);
  cc.CurveTo(10, 10, 10, 10, (w + 20) / 2, 10);
  cc.CurveTo(w + 10, 10, w + 10, 10, w + 10, 30);
  cc.LineTo(w + 10, h - 26 + v);
  if (arrowOnRight_) {
    cc.RelLineTo(16, 0);
    cc.RelLineTo(-16, 16);
  }
  cc.LineTo(w + 10, h - 10);
  cc.CurveTo(w + 10, h + 10, w + 10, h + 10, (w + 20) / 2, h + 10);
  cc.CurveTo(10, h + 10, 10, h + 10, 10, h - 10);
  cc.RelLineTo(0, v);
  if (!arrowOnRight_) {
    cc.RelLineTo(-16, -16);
    cc.RelLineTo(16, 0);
  }
  cc.ClosePath();
}

// The half-transparent gradient over a white ground, in one fill: its stops
// are the gradient's colours already laid over white.
void cwToolTip::DrawBalloon(CairoContext& cc) const {
  cc.Save();
  cc.Translate(18, 18);
  TraceBalloon(cc);
  auto pattern = modCairo::GetCairo()->CreateLinearPattern(0, -25, 0, 105);
  pattern->AddThreeColourStops(OverWhite(gSchemeColour2), OverWhite(BlendColor(gSchemeColour3, gSchemeColour2, 128)),
                               OverWhite(BlendColor(gSchemeColour2, gSchemeColour1, 128)), 1, 1, 1, 0.4);
  cc.Fill(true, pattern.get());
  cc.SetLineWidth(2);
  cc.SetSourceColour(gSchemeColour4, 1);
  cc.Stroke(true);
  cc.SetLineWidth(4);
  cc.SetSourceColour(gSchemeColour1, 0.2);
  cc.Stroke();  // the outer glow
  cc.Restore();
}

void cwToolTip::DrawContent(CairoContext& cc) const {
  const double W = contentWidth_;
  const double H = contentHeight_;
  cc.DrawText(1, 1, W, 50, text_.title, kAlignLeft, 0.2);  // shadow
  cc.DrawText(0, 0, W, 50, text_.title, kAlignLeft, 1);
  DrawStars(cc);

  for (const CairoText* line : {&text_.dashes26, &text_.dashes24, &text_.duration, &text_.duration})
    cc.DrawText(0, 50, W, 50, *line, kAlignCentre);

  // The tag lines faintly and offset as their shadow, then in full.
  const double tagsHeight = std::max(1.0, H - 60);
  tagLines_.Draw(cc, 11, 61, W, tagsHeight, 0.1);
  tagLines_.Draw(cc, 10, 60, W, tagsHeight, 1);
  DrawFooter(cc);
}

// The rating as five stars, filled up to the rating; the pictures are in the
// image list only while the stars are drawn.
void cwToolTip::DrawStars(CairoContext& cc) const {
  CairoImageList& images = modCairo::GetCairo()->ImageList();
  // Decoded once: the tip is drawn at every hover.
  static const ImageSurfacePtr star = LoadResSurface(QStringLiteral("TIP_STAR"), kResCustom);
  static const ImageSurfacePtr unstar = LoadResSurface(QStringLiteral("TIP_UNSTAR"), kResCustom);
  images.AddSurface(QStringLiteral("TipStar"), star);
  images.AddSurface(QStringLiteral("TipUnStar"), unstar);
  cc.Save();
  for (int k = 1; k <= 5; ++k) {
    const QString key = k <= gHoverItem.Rating ? QStringLiteral("TipStar") : QStringLiteral("TipUnStar");
    cc.RenderSurface(key, 22 * (k - 1), 20, 24, 24);
  }
  cc.Restore();
  images.Remove(QStringLiteral("TipStar"));
  images.Remove(QStringLiteral("TipUnStar"));
}

void cwToolTip::DrawFooter(CairoContext& cc) const {
  const double W = contentWidth_;
  const double top = contentHeight_ - 28;
  for (const CairoText* line : {&text_.dashes26, &text_.dashes24, &text_.dashes28, &text_.spacedDashes28})
    cc.DrawText(0, top, W, 50, *line, kAlignCentre);
  cc.DrawText(0, contentHeight_ - 12, W, 50, text_.details, kAlignCentre);
}
