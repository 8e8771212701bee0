#include "ui/cwProgress.h"

#include "platform/controls/PictureBox.h"
#include "ui/CairoObject.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"
#include "ui/modCairo.h"

#include "platform/LongWork.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"

#include <QDebug>

#include <exception>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kTickCount = 21;
constexpr double kGlossHeight = 30;
constexpr double kBandShare = 0.2;
// How recent a report of the work's own keeps the pulse off.
constexpr int kOwnReportMs = 300;

}  // namespace

void cwProgress::SetHost(ctl::PictureBox* picProgress) { host_ = picProgress; }
ctl::PictureBox* cwProgress::Host() const { return host_; }

void cwProgress::SetMin(double value) {
  if (value != min_) min_ = value;
}

void cwProgress::SetMax(double value) {
  if (value != max_) max_ = value;
}

void cwProgress::BroadcastProgress(const QString& Caption, int32_t Value, COLORREF Colour) {
  caption_ = Caption;
  value_ = Value;
  colour_ = Colour;
  band_ = -1;
  reported_ = std::chrono::steady_clock::now();
  DrawIfChanged();
}

void cwProgress::Pulse(int64_t elapsedMs) {
  // Work that reports its own position keeps its bar.
  if (std::chrono::steady_clock::now() - reported_ < std::chrono::milliseconds(kOwnReportMs)) return;
  // There and back in two seconds, the band's left edge from 0 to 0.8.
  const double phase = static_cast<double>(elapsedMs % 2000) / 1000.0;
  band_ = (1.0 - kBandShare) * (phase <= 1.0 ? phase : 2.0 - phase);
  DrawIfChanged();
}

void cwProgress::DrawIfChanged() {
  if (host_ && CurrentLook() == drawn_) return;
  try {
    Draw();
  } catch (const RWError& error) {
    qWarning() << "Progress display:" << error.Text();
  } catch (const std::exception& error) {
    qWarning() << "Progress display:" << error.what();
  }
}

cwProgress::Look cwProgress::CurrentLook() const {
  Look look;
  look.caption = caption_;
  look.colour = colour_;
  look.width = static_cast<int>(RoundHalfEven(host_->ScaleWidth()));
  look.height = static_cast<int>(RoundHalfEven(host_->ScaleHeight()));
  const bool bar = band_ < 0 && max_ != 0 && value_ != 0 && max_ != min_;
  look.barPixels = bar ? static_cast<int64_t>(RoundHalfEven(value_ * (look.width / (max_ - min_)))) : -1;
  look.bandPixels = band_ < 0 ? -1 : static_cast<int64_t>(RoundHalfEven(band_ * look.width));
  look.scheme[0] = gSchemeColour1;
  look.scheme[1] = gSchemeColour2;
  look.scheme[2] = gSchemeColour3;
  look.scheme[3] = gSchemeColour4;
  return look;
}

void cwProgress::Draw() {
  if (!host_) return;
  drawn_ = CurrentLook();
  width_ = host_->ScaleWidth();
  height_ = host_->ScaleHeight();
  const int width = static_cast<int>(RoundHalfEven(width_));
  const int height = static_cast<int>(RoundHalfEven(height_));
  if (width < 1 || height < 1) return;

  surface_ = modCairo::GetCairo()->CreateSurface(width, height);
  context_ = surface_->Context();
  CairoContext& cc = *context_;
  cc.SetSourceColour(gSchemeColour1, 1.0);
  cc.Paint(1.0);
  // The position is not offset by Min; a range of no length has no bar.
  if (band_ >= 0) {
    DrawBand(cc);
  } else if (max_ != 0 && value_ != 0 && max_ != min_) {
    DrawBar(cc);
  }
  cc.SelectFont(QStringLiteral("Arial"), 8, colour_, true);
  cc.DrawText(0, 6, width_, height_, caption_, true, kAlignCentre, 1.0);

  surface_->DrawToDC(host_->Surface());
  // Paced long work paints it past its grace, as it paints the rest of the
  // window; other work shows it at once, inside its loop.
  if (LongWork::Paced()) {
    host_->update();
  } else {
    host_->Refresh();
  }
}

void cwProgress::DrawBar(CairoContext& cc) const {
  const double filledWidth = value_ * (width_ / (max_ - min_));
  cc.SetSourceColour(gSchemeColour4, 0.4);
  cc.SetLineWidth(2);
  cc.Rectangle(0, 0, filledWidth, height_);
  cc.Stroke(true);

  auto gloss = modCairo::GetCairo()->CreateLinearPattern(0, 0, 0, kGlossHeight);
  gloss->AddThreeColourStops(gSchemeColour2, BlendColor(gSchemeColour2, kWhite, 128), gSchemeColour2, 0.9, 0.3, 0.9,
                             0.4);
  cc.Fill(false, gloss.get());
  DrawTicks(cc, filledWidth);
}

// The pulse's band, in the bar's colours, without ticks: it shows motion,
// not a position.
void cwProgress::DrawBand(CairoContext& cc) const {
  cc.SetSourceColour(gSchemeColour4, 0.4);
  cc.SetLineWidth(2);
  cc.Rectangle(band_ * width_, 0, kBandShare * width_, height_);
  cc.Stroke(true);
  auto gloss = modCairo::GetCairo()->CreateLinearPattern(0, 0, 0, kGlossHeight);
  gloss->AddThreeColourStops(gSchemeColour2, BlendColor(gSchemeColour2, kWhite, 128), gSchemeColour2, 0.9, 0.3, 0.9,
                             0.4);
  cc.Fill(false, gloss.get());
}

// Ticks every twenty-first of the strip, only inside the filled part.
void cwProgress::DrawTicks(CairoContext& cc, double filledWidth) const {
  cc.SetSourceColour(gSchemeColour1, 0.5);
  cc.SetLineCap(1);
  cc.SetLineWidth(2);
  for (int k = 0;; ++k) {
    const double x = k * width_ / kTickCount;
    if (x > width_ || filledWidth <= x) break;
    cc.MoveTo(x, 3);
    cc.LineTo(x, height_ - 3);
    cc.Stroke();
  }
}
