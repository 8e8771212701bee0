#include "ui/modGradientFill.h"

#include "platform/ImageSurface.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace modGradientFill {
namespace {

uint32_t OpaquePixel(COLORREF colour) {
  return 0xFF000000u | (static_cast<uint32_t>(GetRValue(colour)) << 16) |
         (static_cast<uint32_t>(GetGValue(colour)) << 8) | static_cast<uint32_t>(GetBValue(colour));
}

// The pen colours of the ramp: Colour1 plus k steps, each channel limited to 0..255.
class Ramp {
 public:
  Ramp(COLORREF from, COLORREF to, int span)
      : r_(GetRValue(from)), g_(GetGValue(from)), b_(GetBValue(from)),
        dr_(static_cast<double>(GetRValue(to) - r_) / span),
        dg_(static_cast<double>(GetGValue(to) - g_) / span),
        db_(static_cast<double>(GetBValue(to) - b_) / span) {}

  COLORREF Step(int k) const { return RGB(Channel(r_, dr_, k), Channel(g_, dg_, k), Channel(b_, db_, k)); }

 private:
  static int Channel(int start, double step, int k) {
    return static_cast<int>(std::clamp(RoundHalfEven(start + k * step), 0.0, 255.0));
  }
  int r_, g_, b_;
  double dr_, dg_, db_;
};

// One pen line: a whole column, or (vertical) a row of Width pixels.
class LinePainter {
 public:
  LinePainter(ImageSurface& area, int width, bool vertical) : area_(area), width_(width), vertical_(vertical) {}

  void Line(int at, COLORREF colour) {
    const uint32_t pixel = OpaquePixel(colour);
    if (vertical_) {
      if (at < 0 || at >= area_.Height()) return;
      auto* row = reinterpret_cast<uint32_t*>(area_.Bits() + static_cast<ptrdiff_t>(at) * area_.Stride());
      std::fill(row, row + std::min(width_, area_.Width()), pixel);
      return;
    }
    if (at < 0 || at >= area_.Width()) return;
    for (int y = 0; y < area_.Height(); ++y) {
      reinterpret_cast<uint32_t*>(area_.Bits() + static_cast<ptrdiff_t>(y) * area_.Stride())[at] = pixel;
    }
  }

 private:
  ImageSurface& area_;
  int width_;
  bool vertical_;
};

std::unique_ptr<ImageSurface> MakeArea(int width, int height) {
  try {
    auto area = std::make_unique<ImageSurface>(width, height);
    area->Fill(RGB(0, 0, 0));
    return area;
  } catch (const RWError&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void CopyToTarget(ImageSurface& area, ImageSurface& target) {
  area.MarkDirty();
  cairo_t* cr = cairo_create(target.CairoSurface());
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, area.CairoSurface(), 0, 0);
  cairo_rectangle(cr, 0, 0, area.Width(), area.Height());
  cairo_fill(cr);
  cairo_destroy(cr);
  target.Flush();
}

}  // namespace

bool DrawGradient(ImageSurface& target, int Width, int Height, int Band, COLORREF Colour1, COLORREF Colour2,
                  bool Vertical) {
  const int64_t areaWidth = static_cast<int64_t>(Width) + Band;
  if (Width < 1 || Height < 1 || Band < 0 || areaWidth > INT32_MAX) return false;
  auto area = MakeArea(static_cast<int>(areaWidth), Height);
  if (!area) return false;
  area->Flush();

  const int span = Vertical ? Height : Width;
  const Ramp ramp(Colour1, Colour2, span);
  LinePainter painter(*area, Width, Vertical);
  // Each line is drawn with the pen chosen after the line before it, so the
  // strip shows Colour1 once and the ramp lags one step behind its index.
  COLORREF pen = Colour1;
  for (int i = 0; i <= Band; ++i) {
    painter.Line(i, pen);
    pen = ramp.Step(1);
  }
  const int lastLine = Vertical ? span + Band : std::min(span + Band, Width - 1);
  for (int i = 0; i <= lastLine; ++i) {
    painter.Line(Vertical ? i : i + Band, pen);
    pen = ramp.Step(i);
  }
  CopyToTarget(*area, target);
  return true;
}

}  // namespace modGradientFill
