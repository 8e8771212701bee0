#include "ui/modImageBevel.h"

#include "platform/ImageSurface.h"
#include "platform/Rounding.h"
#include "platform/controls/PictureBox.h"

namespace modImageBevel {
namespace {

constexpr int32_t kInvalidColour = -1;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kBlack = 0;

// Pixel access in the picture's own coordinates; outside it reads -1 and
// writes nothing, as a device context does.
class Pixels {
 public:
  explicit Pixels(ImageSurface& picture) : picture_(picture) { picture_.Flush(); }
  ~Pixels() { picture_.MarkDirty(); }
  Pixels(const Pixels&) = delete;
  Pixels& operator=(const Pixels&) = delete;

  int32_t Get(int x, int y) const {
    if (!Inside(x, y)) return kInvalidColour;
    const uint32_t p = Row(y)[x];
    const uint32_t a = p >> 24;
    if (a == 0) return 0;
    auto channel = [&](int shift) { return static_cast<int>((((p >> shift) & 0xFF) * 255 + a / 2) / a); };
    return static_cast<int32_t>(RGB(channel(16), channel(8), channel(0)));
  }

  void Set(int x, int y, int32_t colour) {
    if (!Inside(x, y)) return;
    const auto c = static_cast<COLORREF>(colour);
    Row(y)[x] = 0xFF000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) |
                (static_cast<uint32_t>(GetGValue(c)) << 8) | static_cast<uint32_t>(GetBValue(c));
  }

 private:
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < picture_.Width() && y < picture_.Height(); }
  uint32_t* Row(int y) const {
    return reinterpret_cast<uint32_t*>(picture_.Bits() + static_cast<ptrdiff_t>(y) * picture_.Stride());
  }
  ImageSurface& picture_;
};

void Blend(Pixels& pixels, int x, int y, int32_t toward, float f) {
  pixels.Set(x, y, MixColour(pixels.Get(x, y), toward, f / 2));
}

}  // namespace

int16_t RedOf(int32_t colour) { return colour == kInvalidColour ? 0 : static_cast<int16_t>(colour & 0xFF); }
int16_t GreenOf(int32_t colour) { return colour == kInvalidColour ? 0 : static_cast<int16_t>((colour >> 8) & 0xFF); }
int16_t BlueOf(int32_t colour) { return colour == kInvalidColour ? 0 : static_cast<int16_t>((colour >> 16) & 0xFF); }

int32_t MixColour(int32_t Colour0, int32_t Colour1, float Fraction) {
  if (Fraction >= 1) return Colour1;
  if (Fraction <= 0) return Colour0;
  auto mix = [Fraction](int16_t c0, int16_t c1) {
    return static_cast<int>(RoundHalfEven((1.0f - Fraction) * c0 + Fraction * c1));
  };
  return static_cast<int32_t>(RGB(mix(RedOf(Colour0), RedOf(Colour1)), mix(GreenOf(Colour0), GreenOf(Colour1)),
                                  mix(BlueOf(Colour0), BlueOf(Colour1))));
}

void BevelPicture(ImageSurface& Picture, float /*Reserved*/, int16_t Depth) {
  if (Depth < 1) return;
  Pixels pixels(Picture);
  const int w1 = Picture.Width() - 1;
  const int h1 = Picture.Height() - 1;
  const float step = 1.0f / Depth;
  // Each band shrinks by its distance from the edge at both ends, which mitres
  // the corners; a pixel on a mitre line is blended by both bands.
  float f = 1;
  for (int x = 0; x <= Depth; ++x, f -= step) {
    for (int y = x; y <= h1 - x; ++y) Blend(pixels, x, y, kWhite, f);
  }
  f = 1;
  for (int y = 0; y <= Depth; ++y, f -= step) {
    for (int x = y; x <= w1 - y; ++x) Blend(pixels, x, y, kWhite, f);
  }
  f = 0;
  for (int x = w1 - Depth; x <= w1; ++x, f += step) {
    const int d = w1 - x;
    for (int y = d; y <= h1 - d; ++y) Blend(pixels, x, y, kBlack, f);
  }
  f = 0;
  for (int y = h1 - Depth; y <= h1; ++y, f += step) {
    const int d = h1 - y;
    for (int x = d; x <= w1 - d; ++x) Blend(pixels, x, y, kBlack, f);
  }
}

void BevelPicture(ctl::PictureBox& Picture, float Reserved, int16_t Depth) {
  BevelPicture(Picture.Surface(), Reserved, Depth);
  Picture.Refresh();
}

}  // namespace modImageBevel
