#include "platform/ColorRef.h"

#include <cairo.h>

QColor ColorRefToQColor(COLORREF colour, int alpha) {
  return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour), alpha);
}

COLORREF QColorToColorRef(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return RGB(rgb.red(), rgb.green(), rgb.blue());
}

CairoRGB ColorRefToCairo(COLORREF colour) {
  return {GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0};
}

void SetCairoSource(cairo_t* cr, COLORREF colour, double alpha) {
  const CairoRGB c = ColorRefToCairo(colour);
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}
