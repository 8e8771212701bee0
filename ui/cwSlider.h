#pragma once
// A horizontal slider drawn with Cairo on a widget of the kit: a rounded body
// with a caption band above it, a caption at each end, a groove, a filled
// value part and a glossy ball as the knob. The knob is dragged with the mouse
// and snaps to whole values; a press on the groove steps it one value towards
// the pointer. ValueChanged reports every move of the knob.
#include "ui/DragShape.h"
#include "ui/WidgetObject.h"

#include "platform/ColorRef.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class CairoContext;

class cwSlider : public WidgetClass {
 public:
  // Sets the slider up for a widget Width wide and Height + 14 tall (a 14-px
  // caption band above the body); Step is accepted and not used. A range
  // without length (Min equal to Max) raises error 5.
  void Init(double Width, double Height, const QString& CaptionLeft, const QString& CaptionRight,
            const QString& Caption, double Min, double Max, double Step, double Value);

  double Min() const { return min_; }
  double Max() const { return max_; }
  // A new end keeps the knob where it is (the value then reads differently);
  // the pixels per value unit stay as Init fixed them. An end equal to the
  // other raises error 5.
  void SetMin(double value);
  void SetMax(double value);

  // The value is not stored: it is read from the knob's position.
  double Value() const;
  // Places the knob at the value, clamped to the ends of the groove (not
  // snapped); raises ValueChanged when the knob moves.
  void SetValue(double value);

  // The accent colour of the body, the value part and the captions; repaints.
  COLORREF Colour() const { return colour_; }
  void SetColour(COLORREF colour);

  // Stored with spaces around the text; an empty text shows the range end.
  const QString& CaptionLeft() const { return captionLeft_; }
  const QString& CaptionRight() const { return captionRight_; }
  void SetCaptionLeft(const QString& text);
  void SetCaptionRight(const QString& text);
  const QString& Caption() const { return caption_; }

  // Geometry fixed by Init, in widget pixels.
  double Width() const { return width_; }
  double Height() const { return height_; }
  double R() const { return r_; }
  double TrackLeft() const { return trackLeft_; }
  double TrackWidth() const { return trackWidth_; }
  double KnobX() const { return knobX_; }
  double Scale() const { return scale_; }
  int32_t LeftCaptionWidth() const { return leftCaptionWidth_; }
  int32_t RightCaptionWidth() const { return rightCaptionWidth_; }

  // The drag-and-hit areas: the whole groove and the knob's drag handle.
  DragShapeCollection* shapes() const { return shapes_.get(); }
  DragShape* SliderArea() const { return sliderArea_.get(); }
  DragShape* CenterDrag() const { return centerDrag_.get(); }

  void Draw(CairoContext& cc);

  std::function<void(double Value)> ValueChanged;

  void W_Paint(CairoContext& cc, double x, double y, double dx, double dy) override;
  void W_MouseDown(int button, int shift, double x, double y) override;
  void W_MouseMove(int button, int shift, double x, double y) override;
  void W_MouseUp(int button, int shift, double x, double y) override;
  void W_MouseLeave() override;

 private:
  void CheckRange(double min, double max) const;
  void MeasureCaptions();
  void AddShapes();
  double ClampToTrack(double x) const;
  void CenterDrag_PositionChanging(double& x, double& y);
  void MoveKnob(double x);
  void DrawBody(CairoContext& cc) const;
  void DrawCaptions(CairoContext& cc) const;
  void DrawCaption(CairoContext& cc, const QString& text, double a, double b, double x, double y) const;
  void DrawKnob(CairoContext& cc) const;

  double width_ = 0;
  double height_ = 0;
  double r_ = 0;
  double trackLeft_ = 0;
  double trackWidth_ = 0;
  double knobX_ = 0;
  double min_ = 0;
  double max_ = 0;
  double scale_ = 0;
  COLORREF colour_ = 0;
  QString caption_;
  QString captionLeft_;
  QString captionRight_;
  int32_t leftCaptionWidth_ = 0;
  int32_t rightCaptionWidth_ = 0;
  std::unique_ptr<DragShapeCollection> shapes_;
  std::shared_ptr<DragShape> sliderArea_;
  std::shared_ptr<DragShape> centerDrag_;
};
