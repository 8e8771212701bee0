#include "ui/CairoSurface.h"

#include "ui/CairoContext.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Replaces each of `count` pixels, `step` words apart from `first`, by the
// average of the pixels within `radius` of it on that line, channel by
// channel, from a copy of the line. The window is clipped to the line, so
// nothing outside it is read; running sums make the cost independent of the
// radius.
void BoxBlurLine(uint32_t* first, int count, int step, int radius, std::vector<uint32_t>& line) {
  line.resize(count);
  for (int i = 0; i < count; ++i) line[i] = first[static_cast<ptrdiff_t>(i) * step];
  int64_t sums[4] = {};
  auto add = [&](uint32_t pixel, int sign) {
    for (int c = 0; c < 4; ++c) sums[c] += sign * static_cast<int64_t>((pixel >> (8 * c)) & 0xFF);
  };
  for (int i = 0; i <= std::min(radius, count - 1); ++i) add(line[i], 1);
  for (int x = 0; x < count; ++x) {
    if (x > 0 && x + radius < count) add(line[x + radius], 1);
    if (x - radius - 1 >= 0) add(line[x - radius - 1], -1);
    const int64_t n = std::min(x + radius, count - 1) - std::max(x - radius, 0) + 1;
    uint32_t pixel = 0;
    for (int c = 0; c < 4; ++c) pixel |= static_cast<uint32_t>((sums[c] + n / 2) / n) << (8 * c);
    first[static_cast<ptrdiff_t>(x) * step] = pixel;
  }
}

}  // namespace

CairoSurface::CairoSurface(int width, int height) : surface_(std::make_shared<ImageSurface>(width, height)) {}

CairoSurface::CairoSurface(ImageSurfacePtr surface) : surface_(std::move(surface)) {}

std::shared_ptr<CairoContext> CairoSurface::Context() const { return std::make_shared<CairoContext>(surface_); }

void CairoSurface::DrawToDC(ImageSurface& target) const {
  surface_->Flush();
  cairo_t* cr = cairo_create(target.CairoSurface());
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, surface_->CairoSurface(), 0, 0);
  cairo_rectangle(cr, 0, 0, Width(), Height());
  cairo_fill(cr);
  cairo_destroy(cr);
  target.Flush();
}

void CairoSurface::Blur(int radius) const {
  if (radius <= 0) return;
  const int width = Width();
  const int height = Height();
  radius = std::min(radius, std::max(width, height));
  surface_->Flush();
  auto* pixels = reinterpret_cast<uint32_t*>(surface_->Bits());
  const int wordsPerRow = surface_->Stride() / 4;
  std::vector<uint32_t> line;
  for (int y = 0; y < height; ++y) {
    BoxBlurLine(pixels + static_cast<ptrdiff_t>(y) * wordsPerRow, width, 1, radius, line);
  }
  for (int x = 0; x < width; ++x) BoxBlurLine(pixels + x, height, wordsPerRow, radius, line);
  surface_->MarkDirty();
}
