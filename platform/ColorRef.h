#pragma once
// Colours are held as 32-bit values with red in the low byte (0x00BBGGRR), as
// the program stores them in settings and schemes; these helpers convert them
// to Qt and Cairo colours at the edge.
#include <QColor>

#include <cstdint>

using COLORREF = uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

QColor ColorRefToQColor(COLORREF colour, int alpha = 255);
COLORREF QColorToColorRef(const QColor& colour);

// Channels in 0..1 for cairo_set_source_rgb(a).
struct CairoRGB {
  double r;
  double g;
  double b;
};
CairoRGB ColorRefToCairo(COLORREF colour);

typedef struct _cairo cairo_t;
void SetCairoSource(cairo_t* cr, COLORREF colour, double alpha = 1.0);
