#include "ui/CairoPattern.h"

#include <cairo.h>

CairoPattern::CairoPattern(cairo_pattern_t* pattern) : pattern_(pattern) {
  cairo_pattern_set_extend(pattern_, CAIRO_EXTEND_PAD);
}

CairoPattern::~CairoPattern() { cairo_pattern_destroy(pattern_); }

void CairoPattern::AddColourStop(double offset, COLORREF colour, double opacity) {
  const CairoRGB c = ColorRefToCairo(colour);
  cairo_pattern_add_color_stop_rgba(pattern_, offset, c.r, c.g, c.b, opacity);
}

void CairoPattern::AddTwoColourStops(COLORREF colour1, COLORREF colour2, double opacity1, double opacity2) {
  AddColourStop(0, colour1, opacity1);
  AddColourStop(1, colour2, opacity2);
}

void CairoPattern::AddThreeColourStops(COLORREF colour1, COLORREF colour2, COLORREF colour3, double opacity1,
                                       double opacity2, double opacity3, double middle) {
  AddColourStop(0, colour1, opacity1);
  AddColourStop(middle, colour2, opacity2);
  AddColourStop(1, colour3, opacity3);
}
