#include "ui/modBlendColorAlpha.h"

#include "platform/Rounding.h"

#include <array>

namespace modBlendColorAlpha {
namespace {

// The standard desktop colours by system colour index (COLOR_SCROLLBAR = 0 to
// COLOR_MENUBAR = 30), as a default desktop reports them.
constexpr std::array<COLORREF, 31> kSystemColours = {
    RGB(200, 200, 200),  // 0 scroll bar
    RGB(0, 0, 0),        // 1 desktop background
    RGB(153, 180, 209),  // 2 active caption
    RGB(191, 205, 219),  // 3 inactive caption
    RGB(240, 240, 240),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(100, 100, 100),  // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(0, 0, 0),        // 9 caption text
    RGB(180, 180, 180),  // 10 active border
    RGB(244, 247, 252),  // 11 inactive border
    RGB(171, 171, 171),  // 12 application workspace
    RGB(0, 120, 215),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(240, 240, 240),  // 15 button face
    RGB(160, 160, 160),  // 16 button shadow
    RGB(109, 109, 109),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(0, 0, 0),        // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(105, 105, 105),  // 21 3-D dark shadow
    RGB(227, 227, 227),  // 22 3-D light
    RGB(0, 0, 0),        // 23 tool-tip text
    RGB(255, 255, 225),  // 24 tool-tip background
    RGB(0, 0, 0),        // 25 (unused index)
    RGB(0, 102, 204),    // 26 hot-tracked item
    RGB(185, 209, 234),  // 27 active caption gradient
    RGB(215, 228, 242),  // 28 inactive caption gradient
    RGB(51, 153, 255),   // 29 menu highlight
    RGB(240, 240, 240),  // 30 menu bar
};

constexpr COLORREF kSystemColourFlag = 0x80000000u;
constexpr COLORREF kPaletteRgbFlag = 0x02000000u;

int MixChannel(int channel1, int channel2, int alpha) {
  return static_cast<int>(RoundHalfEven((255.0 - alpha) * channel2 / 255.0 + alpha * channel1 / 255.0));
}

}  // namespace

int32_t TranslateColor(COLORREF colour, int32_t /*palette*/) {
  const COLORREF kind = colour & 0xFF000000u;
  if (kind == 0 || kind == kPaletteRgbFlag) return static_cast<int32_t>(colour & 0x00FFFFFFu);
  if (kind == kSystemColourFlag) {
    const COLORREF index = colour & 0x00FFFFFFu;
    if (index < kSystemColours.size()) return static_cast<int32_t>(kSystemColours[index]);
  }
  return -1;
}

COLORREF BlendColor(COLORREF colour1, COLORREF colour2, int alpha) {
  // -1 reads as 0xFF in every channel: an untranslatable colour mixes as white.
  const auto c1 = static_cast<COLORREF>(TranslateColor(colour1));
  const auto c2 = static_cast<COLORREF>(TranslateColor(colour2));
  return RGB(MixChannel(GetRValue(c1), GetRValue(c2), alpha), MixChannel(GetGValue(c1), GetGValue(c2), alpha),
             MixChannel(GetBValue(c1), GetBValue(c2), alpha));
}

}  // namespace modBlendColorAlpha
