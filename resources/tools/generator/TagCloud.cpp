// The tag-cloud window's pictures: the window itself (a rounded panel whose
// magenta corners are cut from the window's shape), its close and menu
// buttons and its two scroll arrows.
#include "Painter.h"
#include "Pictures.h"

namespace {

using namespace pal;

// Where the window's controls lie, in pixels of the 400 x 300 picture (the
// manifest line repeats them for the program).
constexpr double kTitleHeight = 28;
constexpr double kCloudX = 10, kCloudY = 34, kCloudW = 356, kCloudH = 256;
constexpr double kColumnX = 372, kColumnW = 18;
constexpr double kRadius = 14;
// The cut-away colour; the window's shape leaves out every pixel of it.
constexpr Rgb kCut = {1, 0, 1};
// The cloud's paper and the scroll column, flat so the controls on them can
// take their colour from the picture.
constexpr Rgb kCloudPaper = Hex(0xFAFBFD);
const Rgb kColumn = skin::kFrame.Lighter(0.45);

void SetColour(cairo_t* cr, const Rgb& c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

// The outline is drawn without smoothing, so no pixel of the edge is a mix of
// the cut-away colour and the panel (such a pixel would stay in the shape as
// a pink fringe).
void Silhouette(cairo_t* cr, int w, int h) {
  SetColour(cr, kCut);
  cairo_paint(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  RoundRectPath(cr, 0, 0, w, h, kRadius);
  SetColour(cr, kInk);
  cairo_fill(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
}

void Panel(cairo_t* cr, int w, int h) {
  RoundRectPath(cr, 1, 1, w - 2, h - 2, kRadius - 1);
  FillVertical(cr, skin::kPanel.Lighter(0.25), skin::kPanel.Darker(0.05), 0, h);
  // The title band: the frame colour, lit at its top edge.
  cairo_save(cr);
  RoundRectPath(cr, 1, 1, w - 2, h - 2, kRadius - 1);
  cairo_clip(cr);
  cairo_rectangle(cr, 0, 0, w, kTitleHeight);
  FillVertical(cr, skin::kFrame.Lighter(0.2), skin::kFrame.Darker(0.15), 0, kTitleHeight);
  cairo_rectangle(cr, 0, 1, w, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_fill(cr);
  cairo_rectangle(cr, 0, kTitleHeight, w, 1);
  SetColour(cr, skin::kFrame.Darker(0.35));
  cairo_fill(cr);
  cairo_restore(cr);
}

// A sunken well: a dark line above and left, a light one below and right.
void Well(cairo_t* cr, double x, double y, double w, double h, const Rgb& fill) {
  cairo_rectangle(cr, x - 1, y - 1, w + 2, h + 2);
  SetColour(cr, skin::kFrame.Darker(0.3));
  cairo_fill(cr);
  cairo_rectangle(cr, x, y, w + 1, h + 1);
  SetColour(cr, skin::kLight);
  cairo_fill(cr);
  cairo_rectangle(cr, x, y, w, h);
  SetColour(cr, fill);
  cairo_fill(cr);
}

void Window(cairo_t* cr, int w, int h) {
  Silhouette(cr, w, h);
  Panel(cr, w, h);
  Well(cr, kCloudX, kCloudY, kCloudW, kCloudH, kCloudPaper);
  Well(cr, kColumnX, kCloudY, kColumnW, kCloudH, kColumn);
  // A dotted track between the arrows.
  for (double y = kCloudY + 26; y < kCloudY + kCloudH - 24; y += 6) {
    cairo_rectangle(cr, kColumnX + kColumnW / 2 - 1, y, 2, 2);
    cairo_set_source_rgba(cr, skin::kText.r, skin::kText.g, skin::kText.b, 0.25);
    cairo_fill(cr);
  }
}

void Arrow(cairo_t* cr, int size, bool up) {
  Painter p(cr, size, 16);
  p.Part(kBlue, [&] { p.Circle(8, 8, 6.6); });
  const double d = up ? -1 : 1;
  p.Flat(kWhite, [&] { p.Poly({{4.4, 8 - 1.6 * d}, {11.6, 8 - 1.6 * d}, {8, 8 + 2.6 * d}}); });
}

}  // namespace

bool PaintTagCloud(cairo_t* cr, const std::string& name, int width, int height) {
  if (name == "TAGCLOUD") {
    Window(cr, width, height);
  } else if (name == "TAGCLOUD_UP" || name == "TAGCLOUD_DOWN") {
    Arrow(cr, width, name == "TAGCLOUD_UP");
  } else if (name == "TAGCLOUD_CLOSE") {
    Painter p(cr, width, 16);
    badge::Cross(p, 8, 8, 7);
  } else if (name == "TAGCLOUD_MENU") {
    Painter p(cr, width, 16);
    badge::Funnel(p, 8, 8, 7);
  } else {
    return false;
  }
  return true;
}
