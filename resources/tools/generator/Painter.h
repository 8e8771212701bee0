#pragma once
// Drawing toolkit of the resource generator: one look for every picture the
// program ships. Shapes are built in a design grid (16 units for a 16-pixel
// icon) and scaled; every part is filled with a soft top-to-bottom gradient and
// ringed by one dark outline that only shows on the outside of the part.
#include <cairo.h>
#include <pango/pangocairo.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

struct Rgb {
  double r, g, b;
  Rgb Lighter(double t) const { return {r + (1 - r) * t, g + (1 - g) * t, b + (1 - b) * t}; }
  Rgb Darker(double t) const { return {r * (1 - t), g * (1 - t), b * (1 - t)}; }
  Rgb Mix(const Rgb& o, double t) const { return {r + (o.r - r) * t, g + (o.g - g) * t, b + (o.b - b) * t}; }
};

constexpr Rgb Hex(unsigned v) {
  return {((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0};
}

// The icon palette: a few saturated but soft colours plus neutrals.
namespace pal {
inline constexpr Rgb kBlue = Hex(0x3B82C4);
inline constexpr Rgb kGold = Hex(0xF0A92E);
inline constexpr Rgb kGreen = Hex(0x3AA35C);
inline constexpr Rgb kRed = Hex(0xD6454A);
inline constexpr Rgb kPurple = Hex(0x8A5CC2);
inline constexpr Rgb kTeal = Hex(0x1F9A94);
inline constexpr Rgb kSlate = Hex(0x66788F);
inline constexpr Rgb kPaper = Hex(0xF4F6F8);
inline constexpr Rgb kFilm = Hex(0x3A4350);
inline constexpr Rgb kWhite = Hex(0xFFFFFF);
inline constexpr Rgb kInk = Hex(0x222B38);  // outlines
inline constexpr Rgb kOrange = Hex(0xF07F1E);
}  // namespace pal

// Skin colours: the four scheme colours sampled from the player skin.
namespace skin {
inline constexpr Rgb kPanel = Hex(0x96A6BE);   // colour 1: panel backgrounds
inline constexpr Rgb kLight = Hex(0xEEF2F7);   // colour 2: grid backgrounds, secondary captions
inline constexpr Rgb kFrame = Hex(0x74869F);   // colour 3: frames, tracks, headings
inline constexpr Rgb kText = Hex(0x141A26);    // colour 4: label text
}  // namespace skin

// A rounded rectangle as a closed sub-path.
void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r);
// A Pango layout of one line of text in the given face; the caller unrefs it.
PangoLayout* TextLayout(cairo_t* cr, const std::string& text, const char* family, double size, bool bold);
// Fills the current path with a top-to-bottom gradient between y0 and y1.
void FillVertical(cairo_t* cr, const Rgb& top, const Rgb& bottom, double y0, double y1);

class Painter {
 public:
  // design: the size of the design grid that maps onto the full picture.
  Painter(cairo_t* cr, double pixelSize, double design = 16);

  cairo_t* cr() const { return cr_; }
  double Scale() const { return scale_; }
  // Outline width in design units.
  double Outline() const { return outline_; }
  void SetOutline(double designUnits) { outline_ = designUnits; }

  using PathFn = std::function<void()>;
  // One part of an icon: outline on the outside, gradient fill inside.
  void Part(const Rgb& colour, const PathFn& path, double alpha = 1.0);
  // A flat fill without outline (details drawn on top of parts).
  void Flat(const Rgb& colour, const PathFn& path, double alpha = 1.0);
  // A stroked line in design units, round caps.
  void Stroke(const Rgb& colour, double width, const PathFn& path, double alpha = 1.0);

  // Path builders (design units; they add to the current path).
  void Rect(double x, double y, double w, double h);
  void RoundRect(double x, double y, double w, double h, double r);
  void Circle(double cx, double cy, double r);
  void Ellipse(double cx, double cy, double rx, double ry);
  void Poly(std::initializer_list<std::pair<double, double>> points);
  void Star(double cx, double cy, double outer, double inner, int points = 5, double rotation = -90);
  // A thick line as a closed quad, for shapes that must stay fills.
  void Bar(double x1, double y1, double x2, double y2, double width);
  // Text laid out as a path, centred on (cx, cy); size in design units.
  void Text(const std::string& text, double cx, double cy, double size, bool bold = true,
            const char* family = "DejaVu Sans");

 private:
  cairo_pattern_t* Gradient(const Rgb& colour) const;
  cairo_t* cr_;
  double scale_;
  double outline_;
  double design_;
};

// Composite helpers shared by the icon families.
namespace badge {
// A round badge in the lower right corner (centre and radius in design units).
void Plus(Painter& p, double cx = 12, double cy = 12, double r = 4);
void Minus(Painter& p, double cx = 12, double cy = 12, double r = 4);
void Cross(Painter& p, double cx = 12, double cy = 12, double r = 4);
void Check(Painter& p, double cx = 12, double cy = 12, double r = 4);
void Arrow(Painter& p, double cx = 12, double cy = 12, double r = 4, bool out = false);
void Funnel(Painter& p, double cx = 12, double cy = 12, double r = 4);
}  // namespace badge
