#include "ui/CairoObject.h"

#include <cairo.h>
#include <pango/pangocairo.h>

void CairoObject::Initialise(int /*reserved*/) {
  if (initialised_) return;
  initialised_ = true;
  // Text is measured at the screen's 96 dots per inch, like the windows around it.
  pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(pango_cairo_font_map_get_default()), 96.0);
}

CairoSurfacePtr CairoObject::CreateSurface(int width, int height) const {
  return std::make_shared<CairoSurface>(width, height);
}

std::shared_ptr<CairoPattern> CairoObject::CreateLinearPattern(double x1, double y1, double x2, double y2) const {
  return std::make_shared<CairoPattern>(cairo_pattern_create_linear(x1, y1, x2, y2));
}

std::shared_ptr<CairoPattern> CairoObject::CreateRadialPattern(double cx0, double cy0, double r0, double cx1,
                                                               double cy1, double r1) const {
  return std::make_shared<CairoPattern>(cairo_pattern_create_radial(cx0, cy0, r0, cx1, cy1, r1));
}
