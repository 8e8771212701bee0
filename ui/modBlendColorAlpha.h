#pragma once
// The one colour-mixing rule of the program: two colours weighted by an alpha
// of 0..255, after system colour codes have been turned into plain RGB.
#include "platform/ColorRef.h"

#include <cstdint>

namespace modBlendColorAlpha {

// A colour code as RGB (0x00BBGGRR): plain RGB values pass through, system
// colour codes (0x80000000 + index) come from a fixed table of the standard
// desktop colours, so drawing does not depend on the desktop's theme. -1 when
// the code cannot be translated. Palette is accepted for the callers' sake.
int32_t TranslateColor(COLORREF colour, int32_t palette = 0);

// Alpha 255 gives colour1, 0 gives colour2; each channel is rounded half to
// even. A colour that cannot be translated mixes as white.
COLORREF BlendColor(COLORREF colour1, COLORREF colour2, int alpha);

}  // namespace modBlendColorAlpha

using modBlendColorAlpha::BlendColor;
using modBlendColorAlpha::TranslateColor;
