#include "browser/cwToolTip.h"

#include <QBitmap>

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

const QString kFace = QStringLiteral("Tahoma");
const QString kCrLf = QStringLiteral("\r\n");
const QString kDashes26 = QStringLiteral("--------                          --------");
const QString kDashes24 = QStringLiteral("--------                        --------");

// The balloon's margin around the content, and the form's around the balloon
// (room for the glow and the arrow).
constexpr int kBalloonMargin = 36;
constexpr int kFormMargin = 56;

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
         QString::number(item.Bitrate) + QStringLiteral("kbps : ") + ResultListText(item, 6) +
         QStringLiteral("fps : ") + ResultListText(item, 3).trimmed();
}

QString TagsOf(const ResultItem& item) {
  if (!gLibrary) return QString();
  return gLibrary->GetSegmentTags(item.IsFileRow, item.FileID, item.SegmentID, true, false);
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

void cwToolTip::MeasureContent(const QRect& screen) {
  contentWidth_ = 100;
  contentHeight_ = 100;
  title_ = TitleOf(gHoverItem);
  details_ = DetailsOf(gHoverItem);
  tags_ = TagsOf(gHoverItem);

  auto scratch = modCairo::GetCairo()->CreateSurface(500, 100);
  auto cc = scratch->Context();
  cc->SelectFont(kFace, 11, gSchemeColour4, true);
  contentWidth_ = std::max(contentWidth_, WholePixels(cc->MeasureText(title_).Width));

  // The verbose tag text starts with an empty line and ends with a line
  // break, so the lines from the second on give one line height per break.
  cc->SelectFont(kFace, 8, gSchemeColour4);
  const QStringList lines = tags_.split(kCrLf);
  widestTagLine_ = 0;
  double lineHeight = 0;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const TextSize size = cc->MeasureText(lines[i]);
    widestTagLine_ = std::max(widestTagLine_, WholePixels(size.Width + 10));
    lineHeight = size.Height;
  }
  contentWidth_ = std::max(contentWidth_, widestTagLine_);
  cc->SelectFont(kFace, 7, gSchemeColour4);
  contentWidth_ = std::max(contentWidth_, WholePixels(cc->MeasureText(details_).Width));

  contentHeight_ = WholePixels(static_cast<double>(lines.size() - 1) * lineHeight + 100);
  contentWidth_ += 2;
  // A title or tag list larger than the screen would ask for a window beyond
  // what the window system allows: the form never exceeds the screen, and the
  // text boxes cut what does not fit.
  const int32_t margins = kBalloonMargin + kFormMargin;
  contentWidth_ = std::max(1, std::min(contentWidth_, screen.width() - margins));
  contentHeight_ = std::max(1, std::min(contentHeight_, screen.height() - margins));

  contentSurface_ = modCairo::GetCairo()->CreateSurface(contentWidth_, contentHeight_);
  contentContext_ = contentSurface_->Context();
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
  if (!contentContext_) return;
  DrawContent(*contentContext_);
  cc.RenderSurface(*contentSurface_, 46, 46, 0, 0, 1);
}

QBitmap cwToolTip::BalloonMask() const {
  CairoSurfacePtr surface = modCairo::GetCairo()->CreateSurface(balloonWidth_ + kFormMargin, balloonHeight_ + kFormMargin);
  DrawBalloon(*surface->Context());
  surface->Surface().Flush();
  return QBitmap::fromImage(surface->Surface().Image().createAlphaMask());
}

void cwToolTip::DrawBalloon(CairoContext& cc) const {
  const double w = balloonWidth_;
  const double h = balloonHeight_;
  const double v = arrowOffset_;
  cc.Save();
  cc.Translate(18, 18);
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

  auto pattern = modCairo::GetCairo()->CreateLinearPattern(0, -25, 0, 105);
  pattern->AddThreeColourStops(gSchemeColour2, BlendColor(gSchemeColour3, gSchemeColour2, 128),
                               BlendColor(gSchemeColour2, gSchemeColour1, 128), 0.5, 0.5, 0.5, 0.4);
  cc.SetSourceColour(0xFFFFFF, 1);
  cc.Fill(true);
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
  // The content surface is kept between paints: cleared first, so that a
  // repaint does not darken the shadow texts.
  cc.Save();
  cairo_set_operator(cc.Raw(), CAIRO_OPERATOR_CLEAR);
  cc.Paint();
  cc.Restore();

  cc.SelectFont(kFace, 11, gSchemeColour4, true);
  cc.DrawText(1, 1, W, 50, title_, false, kAlignLeft, 0.2);  // shadow
  cc.DrawText(0, 0, W, 50, title_, true, kAlignLeft, 1);
  DrawStars(cc);

  cc.SelectFont(kFace, 8, MutedColour());
  cc.DrawText(0, 50, W, 50, kDashes26, true, kAlignCentre);
  cc.DrawText(0, 50, W, 50, kDashes24, true, kAlignCentre);
  cc.SelectFont(kFace, 8, gSchemeColour3);
  const QString duration = modReelwise::FormatDuration(gHoverItem.Duration, false, false);
  cc.DrawText(0, 50, W, 50, duration, true, kAlignCentre);
  cc.DrawText(0, 50, W, 50, duration, true, kAlignCentre);

  // The tag lines are laid out once and painted twice: faintly and offset
  // as their shadow, then in full.
  CairoSurfacePtr tags = modCairo::GetCairo()->CreateSurface(static_cast<int>(W), std::max(1, static_cast<int>(H) - 60));
  auto tc = tags->Context();
  tc->SelectFont(kFace, 8, gSchemeColour4);
  tc->DrawText(0, 0, W, H, tags_, false, kAlignLeft, 1);
  cc.RenderSurface(*tags, 11, 61, 0, 0, 0.1);
  cc.RenderSurface(*tags, 10, 60, 0, 0, 1);
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
  cc.SelectFont(kFace, 8, MutedColour());
  cc.DrawText(0, top, W, 50, kDashes26, true, kAlignCentre);
  cc.DrawText(0, top, W, 50, kDashes24, true, kAlignCentre);
  cc.DrawText(0, top, W, 50, QString(28, QLatin1Char('-')), true, kAlignCentre);
  cc.DrawText(0, top, W, 50, QLatin1Char(' ') + QString(28, QLatin1Char('-')) + QLatin1Char(' '), true, kAlignCentre);
  cc.SelectFont(kFace, 7, gSchemeColour3);
  cc.DrawText(0, contentHeight_ - 12, W, 50, details_, true, kAlignCentre);
}
