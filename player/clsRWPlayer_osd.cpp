// The on-screen display: a band along the top of the video with an icon, a
// message and the position, drawn with Cairo and laid over the video by the
// video window at the opacity the caller gives (the fade timer lowers it
// step by step). The full display serves the full-screen player, the plain
// one (a text on black) the inspector's preview.
#include "player/clsRWPlayer.h"

#include "core/modRegistry.h"
#include "core/modReelwise.h"
#include "platform/ImageSurface.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "player/cMpvCore.h"
#include "player/modMainPlayer.h"
#include "resources/Resources.h"
#include "ui/CairoContext.h"
#include "ui/CairoObject.h"
#include "ui/modBlendColorAlpha.h"
#include "ui/modCairo.h"

#include <map>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = 0;
const QString kFace = QStringLiteral("Tahoma");
const QString kTimeTemplate = QStringLiteral("0h:00m:00.00s");

// The icons of the display, decoded once; a name without a picture is
// remembered as none.
ImageSurfacePtr OverlayIcon(const QString& name) {
  static std::map<QString, ImageSurfacePtr> icons;
  auto found = icons.find(name);
  if (found != icons.end()) return found->second;
  ImageSurfacePtr icon;
  try {
    icon = LoadResSurface(name, kResOverlayIcons);
  } catch (const RWError&) {
  }
  icons.emplace(name, icon);
  return icon;
}

// A colour made darker (factor below 0) or lighter towards white (above 0)
// by the factor's share of the way.
COLORREF Shade(COLORREF colour, double factor) {
  auto channel = [factor](int value) {
    const double shaded = factor < 0 ? value * (1 + factor) : value + (255 - value) * factor;
    return static_cast<int>(RoundHalfEven(shaded));
  };
  return RGB(channel(GetRValue(colour)), channel(GetGValue(colour)), channel(GetBValue(colour)));
}

// The band's face: lit from the top in the highlight, the colour itself in
// the middle and shaded by the factor at the bottom.
void DrawShadedBand(CairoContext& cc, COLORREF colour, COLORREF highlight, double factor) {
  const ImageSurface& band = cc.Surface();
  auto pattern = modCairo::GetCairo()->CreateLinearPattern(0, 0, 0, band.Height());
  pattern->AddThreeColourStops(highlight, colour, Shade(colour, factor), 1, 1, 1, 0.5);
  cc.Rectangle(0, 0, band.Width(), band.Height());
  cc.Fill(false, pattern.get());
}

// A text laid out in the face and size, to be drawn in the colour.
CairoText Prepare(CairoContext& cc, const QString& text, COLORREF colour, double size, const QString& face = kFace) {
  cc.SelectFont(face, size, colour);
  return cc.PrepareText(text);
}

// Draws a prepared text with its top left at (x, y); returns its width.
double Draw(CairoContext& cc, double x, double y, const CairoText& text) {
  const ImageSurface& band = cc.Surface();
  cc.DrawText(x, y, band.Width() - x, band.Height(), text, kAlignLeft);
  return text.Size().Width;
}

double DrawPart(CairoContext& cc, double x, double y, const QString& text, COLORREF colour, double size,
                const QString& face = kFace) {
  if (text.isEmpty()) return 0;
  return Draw(cc, x, y, Prepare(cc, text, colour, size, face));
}

}  // namespace

// The display's size is the video's display size, turned as the video is:
// the band is laid over the frames before they are scaled to the window. A
// video wider or taller than a drawing surface can be gets a display scaled
// down in proportion, which the window scales as it does the frames.
QSize clsRWPlayer::OverlaySize() const {
  if (!core_) return {};
  const QSize display(static_cast<int>(core_->Int("dwidth").value_or(0)),
                      static_cast<int>(core_->Int("dheight").value_or(0)));
  const int rotation = RoundedRotation(core_->Int(kRotationProperty).value_or(0));
  return FittedToSurface(cMpvCore::Turned(display.isEmpty() ? QSize(videoWidth_, videoHeight_) : display, rotation));
}

void clsRWPlayer::MakeBand(int width, int height) {
  bandSurface_ = modCairo::GetCairo()->CreateSurface(width, height);
  bandContext_ = bandSurface_->Context();
}

void clsRWPlayer::InitOverlay() {
  overlayReady_ = false;
  bandContext_.reset();
  bandSurface_.reset();
  const QSize size = OverlaySize();
  if (!hasVideo_ || !window_ || size.isEmpty()) return;
  MakeBand(size.width(), CLng(size.height() / 14.0));
  const double height = bandSurface_->Height();
  osd_.fontSize = size.height() / 12.0 / 2.2;
  osd_.iconSize = 0.9 * height;
  osd_.iconScale = osd_.iconSize / 16;
  osd_.margin = (height - osd_.iconSize) / 2;
  const COLORREF dark = modMainPlayer::OsdColours().lMenuColour3;
  osd_.displayColour = BlendColor(kBlack, BlendColor(dark, RGB(100, 100, 100), 128), 128);
  bandContext_->SelectFont(kFace, osd_.fontSize);
  osd_.textHeight = bandContext_->MeasureText(QStringLiteral("TEST")).Height;
  osd_.timeWidth = bandContext_->MeasureText(kTimeTemplate).Width;
  overlayReady_ = true;
}

void clsRWPlayer::OverlayText(const QString& Text, double Value, const QString& Mark, bool Flag) {
  if (gWindowMode == 2) Value = 0;  // nothing over the mini-player
  if (!hasVideo_ || !overlayReady_ || !window_ || !bandContext_) return;
  const QString mark = Mark == QLatin1String("AB") ? QString() : Mark;
  // A rating shows as many stars as it gives (the digit 1 to 5 in Text).
  const int stars = Text.size() == 1 ? Text.at(0).digitValue() : 0;
  const int iconCount = gOsdIcon == QLatin1String("OV_STAR") && stars >= 1 && stars <= 5 ? stars : 1;
  if (Flag) {
    DrawFullBand(Text, mark, iconCount);
  } else {
    DrawPlainBand(Text);
  }
  bandSurface_->Surface().Flush();
  window_->ShowOverlay(bandSurface_->Surface().Image().copy(), OverlaySize(), Value);
}

// The preview's display: the text in the cursor colour over a darker shadow,
// on black.
void clsRWPlayer::DrawPlainBand(const QString& Text) {
  CairoContext& cc = *bandContext_;
  cc.SetSourceColour(kBlack);
  cc.Paint();
  const QString text = Text + QLatin1Char(' ');
  const double size = 0.7 * osd_.iconSize;
  const QString face = QStringLiteral("Arial");
  DrawPart(cc, 0, 0, text, BlendColor(gCursorColour, RGB(60, 60, 60), 128), size, face);
  DrawPart(cc, 1, 1, text, gCursorColour, size, face);
}

// The full display: the icon (a star for each point of a rating), the
// message, and the position mark at the right. With the "OV_TAG"
// icon the message is the tagging layout "before//match//after//n/m": the
// matched part in white, the counter at the right in the palette's dark
// colour.
void clsRWPlayer::DrawFullBand(const QString& Text, const QString& Mark, int iconCount) {
  CairoContext& cc = *bandContext_;
  const OsdPalette palette = modMainPlayer::OsdColours();
  const double width = bandSurface_->Width();
  const double top = (bandSurface_->Height() - osd_.textHeight) / 2;
  DrawShadedBand(cc, palette.lMenuColour2, BlendColor(palette.lMenuColour2, kWhite, 128), -0.4);
  double iconWidth = osd_.iconSize;
  if (!gOsdIcon.isEmpty()) {
    if (ImageSurfacePtr icon = OverlayIcon(gOsdIcon)) {
      iconWidth = icon->Width() * osd_.iconScale;
      for (int i = 0; i < iconCount; ++i) {
        cc.RenderSurface(*icon, i * iconWidth + 6, osd_.margin, iconWidth, icon->Height() * osd_.iconScale);
      }
    }
  }
  double x = iconCount * iconWidth + 5;
  COLORREF colour = osd_.displayColour;
  if (gOsdIcon != QLatin1String("OV_TAG")) {
    DrawPart(cc, x, top, Text, colour, osd_.fontSize);
  } else {
    const QStringList parts = Text.split(QStringLiteral("//"));
    const COLORREF colours[3] = {osd_.displayColour, kWhite, osd_.displayColour};
    for (int i = 0; i < 3 && i < parts.size(); ++i) x += DrawPart(cc, x, top, parts[i], colours[i], osd_.fontSize);
    if (parts.size() > 3) {
      colour = palette.lMenuColour3;
      const CairoText counter = Prepare(cc, parts[3], colour, osd_.fontSize);
      Draw(cc, width - 10 - counter.Size().Width, top, counter);
    }
  }
  DrawPart(cc, width - 5 - osd_.timeWidth, top, Mark, colour, osd_.fontSize);
}

// A black picture over the whole video. The band is made again, taller, for
// the display drawn after it; its layout stays as the file's open set it.
void clsRWPlayer::BlackoutVideo() {
  if (!overlayReady_ || !window_ || !hasVideo_) return;
  const QSize size = OverlaySize();
  if (size.isEmpty()) return;
  QImage black(size, QImage::Format_ARGB32_Premultiplied);
  black.fill(Qt::black);
  window_->ShowOverlay(black, size, 1.0);
  MakeBand(size.width(), CLng(size.height() / 12.0));
}
