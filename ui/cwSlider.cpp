#include "ui/cwSlider.h"

#include "ui/CairoContext.h"
#include "ui/CairoObject.h"
#include "ui/modBlendColorAlpha.h"
#include "ui/modCairo.h"

#include "platform/RWError.h"
#include "platform/Rounding.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Height of the caption band above the body.
constexpr double kBand = 14;
constexpr double kFullCircle = 2 * std::numbers::pi;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
const QString kFontFace = QStringLiteral("Tahoma");
constexpr double kFontSize = 8.5;

// The accent colour darkened, for outlines, the value part and the captions.
COLORREF Dark(COLORREF colour) { return BlendColor(colour, kBlack, 128); }

}  // namespace

void cwSlider::Init(double Width, double Height, const QString& CaptionLeft, const QString& CaptionRight,
                    const QString& Caption, double Min, double Max, double Step, double Value) {
  CheckRange(Min, Max);
  height_ = Height;
  r_ = Height / 3.3;
  width_ = Width;
  min_ = Min;
  max_ = Max;
  // Through the setters, so the spaces and the empty-text rule apply.
  SetCaptionLeft(CaptionLeft);
  SetCaptionRight(CaptionRight);
  caption_ = Caption;
  MeasureCaptions();
  trackLeft_ = leftCaptionWidth_ + r_;
  trackWidth_ = width_ - leftCaptionWidth_ - rightCaptionWidth_ - 2 * r_;
  scale_ = trackWidth_ / (max_ - min_);
  AddShapes();
  SetValue(Value);
}

// The value mapping and the drag's snapping divide by Max - Min.
void cwSlider::CheckRange(double min, double max) const {
  if (min == max) {
    throw RWError(kErrInvalidArgument, QStringLiteral("Invalid procedure call or argument"),
                  QCoreApplication::applicationName() + QStringLiteral(".cwSlider"));
  }
}

void cwSlider::MeasureCaptions() {
  auto surface = modCairo::GetCairo()->CreateSurface(static_cast<int>(RoundHalfEven(width_)),
                                                     static_cast<int>(RoundHalfEven(height_ + kBand)));
  auto cc = surface->Context();
  cc->SelectFont(kFontFace, kFontSize, kBlack, false);
  leftCaptionWidth_ = CLng(cc->MeasureText(captionLeft_).Width);
  rightCaptionWidth_ = CLng(cc->MeasureText(captionRight_).Width);
}

void cwSlider::AddShapes() {
  shapes_ = std::make_unique<DragShapeCollection>();
  // Keys unique to this slider.
  const QString id = QString::number(reinterpret_cast<quintptr>(this));
  const double y = height_ / 2 + kBand;
  sliderArea_ = shapes_->Add(id + QStringLiteral("SliderArea"), trackLeft_ + trackWidth_ / 2, y, RGB(0, 255, 0),
                             2 * r_ - 2, 0.001);
  sliderArea_->SetSize(trackWidth_ + 2 * r_, 2 * r_ - 2);
  // The handle takes the accent colour as it is now; later changes tint the body only.
  centerDrag_ = shapes_->Add(id + QStringLiteral("CenterDrag"), trackLeft_, y, colour_, r_ + 0.5, 0.25);
  centerDrag_->PositionChanging = [this](double& x, double& y) { CenterDrag_PositionChanging(x, y); };
  knobX_ = trackLeft_;
}

void cwSlider::SetMin(double value) {
  if (value == min_) return;
  CheckRange(value, max_);
  min_ = value;
  SetValue(Value());
}

void cwSlider::SetMax(double value) {
  if (value == max_) return;
  CheckRange(min_, value);
  max_ = value;
  SetValue(Value());
}

double cwSlider::Value() const { return (knobX_ - trackLeft_) / trackWidth_ * (max_ - min_) + min_; }

void cwSlider::SetValue(double value) {
  if (!centerDrag_) return;
  // Compared after clamping, so an out-of-range value written twice moves the knob once.
  const double x = ClampToTrack((value - min_) * trackWidth_ / (max_ - min_) + trackLeft_);
  if (x == knobX_) return;
  knobX_ = x;
  centerDrag_->SetX(x);
  W->Refresh();
  if (ValueChanged) ValueChanged(Value());
}

double cwSlider::ClampToTrack(double x) const { return std::max(trackLeft_, std::min(x, trackLeft_ + trackWidth_)); }

void cwSlider::SetColour(COLORREF colour) {
  colour_ = colour;
  W->Refresh();
}

void cwSlider::SetCaptionLeft(const QString& text) {
  captionLeft_ = QStringLiteral("   ") + (text.isEmpty() ? QString::number(min_) : text) + QStringLiteral("  ");
}

void cwSlider::SetCaptionRight(const QString& text) {
  captionRight_ = QStringLiteral("  ") + (text.isEmpty() ? QString::number(max_) : text) + QStringLiteral("   ");
}

// The knob moves only horizontally, and the shape goes where the snapped knob is.
void cwSlider::CenterDrag_PositionChanging(double& x, double& y) {
  y = centerDrag_->Y();
  MoveKnob(x);
  x = knobX_;
}

// The one path by which the pointer moves the knob (a drag or a press on the
// groove): clamp, snap to a whole value, place the handle, report the change.
void cwSlider::MoveKnob(double x) {
  const double before = knobX_;
  knobX_ = ClampToTrack(x);
  const double whole = CInt(Value());
  knobX_ = (whole - min_) * scale_ + trackLeft_;
  centerDrag_->SetX(knobX_);
  if (knobX_ == before) return;
  W->Refresh();
  if (ValueChanged) ValueChanged(Value());
}

void cwSlider::W_Paint(CairoContext& cc, double x, double y, double dx, double dy) { Draw(cc); }

void cwSlider::W_MouseDown(int button, int shift, double x, double y) {
  if (!shapes_) return;
  DragShape* hit = shapes_->MouseMove(x, y, false);
  if (!hit) return;
  if (hit->Key() != sliderArea_->Key()) {
    hit->BeginDrag(x, y);
    return;
  }
  // A press on the groove steps one value unit towards the pointer; the
  // positions are compared in single precision.
  const double knob = centerDrag_->X();
  MoveKnob(static_cast<float>(knob) <= static_cast<float>(x) ? knob + scale_ : knob - scale_);
}

void cwSlider::W_MouseMove(int button, int shift, double x, double y) {
  if (!shapes_) return;
  bool changed = false;
  if (shapes_->MouseMove(x, y, true, &changed) || changed) W->Refresh();
}

void cwSlider::W_MouseUp(int button, int shift, double x, double y) {
  if (!shapes_) return;
  shapes_->MouseUp();
  W->Refresh();
}

void cwSlider::W_MouseLeave() {
  if (!shapes_) return;
  shapes_->MouseMove(-1, -1, true);
  W->Refresh();
}

void cwSlider::Draw(CairoContext& cc) {
  if (!shapes_) return;
  cc.Save();
  DrawBody(cc);
  DrawCaptions(cc);
  DrawKnob(cc);
  cc.Restore();
  shapes_->Draw(cc);
}

void cwSlider::DrawBody(CairoContext& cc) const {
  const COLORREF c1 = BlendColor(colour_, RGB(220, 220, 220), 128);
  const COLORREF c2 = BlendColor(colour_, RGB(180, 180, 180), 128);
  const COLORREF c3 = BlendColor(colour_, RGB(140, 140, 140), 128);
  const COLORREF dark = Dark(colour_);
  auto cairo = modCairo::GetCairo();
  cc.Save();
  // Half-pixel offset: the thin outlines fall on whole pixels.
  cc.Translate(0.5, 0.5);

  cc.RoundedRect(0, kBand, width_, height_, r_);
  auto body = cairo->CreateLinearPattern(0, 0, 0, height_);
  body->AddThreeColourStops(c1, c2, c3, 1, 1, 1, 0.2);
  cc.Fill(true, body.get());
  cc.SetLineWidth(0.7);
  cc.SetSourceColour(dark, 0.75);
  cc.Stroke();

  const double grooveTop = (height_ - 2 * r_) / 2;
  const double gy = grooveTop + kBand;
  cc.RoundedRect(trackLeft_ - r_, gy, trackWidth_ + 2 * r_, 2 * r_, 1.2 * r_);
  auto groove = cairo->CreateLinearPattern(0, grooveTop, 0, grooveTop + 2 * r_);
  groove->AddThreeColourStops(BlendColor(c2, kWhite, 128), BlendColor(c1, kWhite, 128), kWhite, 0.6, 0.6, 0.3, 0.5);
  cc.Fill(true, groove.get());
  cc.SetLineWidth(0.2);
  cc.SetSourceColour(dark, 0.8);
  cc.Stroke();

  // The value part: the groove darkened from its left end to the knob.
  cc.RoundedRect(trackLeft_ - r_, gy, knobX_ - trackLeft_ + 2 * r_, 2 * r_, 1.2 * r_);
  cc.SetSourceColour(dark, 0.18);
  cc.Fill();
  cc.Restore();
}

void cwSlider::DrawCaptions(CairoContext& cc) const {
  DrawCaption(cc, caption_, 0, 0, 0, 0);
  // The end captions are centred on the body by the context's own font.
  const double fh = cc.FontHeight();
  DrawCaption(cc, captionLeft_, 0, kBand, 0, RoundHalfEven((height_ - fh) * 0.5 + 1));
  DrawCaption(cc, captionRight_, 0, kBand, width_ - rightCaptionWidth_, std::floor((height_ - fh) * 0.5) + 1);
}

// Text with a faint halo (a wide stroke and a fill of its outline) under it.
void cwSlider::DrawCaption(CairoContext& cc, const QString& text, double a, double b, double x, double y) const {
  cc.Save();
  cc.SelectFont(kFontFace, kFontSize, Dark(colour_), false);
  cc.Translate(x, y);
  cc.Save();
  cc.SetLineCap(1);
  cc.SetLineJoin(1);
  cc.TextOut(a, b, text, 0.04, true);
  cc.SetLineWidth(3);
  cc.Stroke();
  cc.TextOut(a, b, text, 0.09, true);
  cc.Fill();
  cc.Restore();
  cc.TextOut(a, b, text, 1.0);
  cc.Restore();
}

// A glossy ball in fixed colours at the handle's place, lit from the top left.
void cwSlider::DrawKnob(CairoContext& cc) const {
  auto cairo = modCairo::GetCairo();
  cc.Save();
  cc.Translate(centerDrag_->X(), centerDrag_->Y());
  cc.RotateDegrees(-30);
  cc.Save();
  cc.RotateDegrees(33);
  cc.Arc(0, 0, r_, 0, kFullCircle);
  auto ball = cairo->CreateRadialPattern(0, -0.16 * r_, 1.66 * r_, 0, 0.61 * r_, 0);
  ball->AddTwoColourStops(RGB(99, 0, 0), RGB(255, 220, 140), 1, 1);
  cc.Fill(false, ball.get());
  cc.Restore();

  cc.Save();
  cc.Translate(0, -0.5 * r_);
  cc.Scale(0.8, 0.55);
  cc.Arc(0, 0, r_, 0, kFullCircle);
  auto highlight = cairo->CreateRadialPattern(0, 0, r_, 0, -0.25 * r_, 0);
  highlight->AddTwoColourStops(RGB(200, 255, 255), kWhite, 0, 0.95);
  cc.Fill(false, highlight.get());
  cc.Restore();
  cc.Restore();
}
