#pragma once
// A bevelled edge for a picture: the left and top bands are blended toward
// white, the right and bottom bands toward black, falling off linearly from
// half-way at the outermost pixel to nothing at Depth; the corners are mitred.
#include "platform/ColorRef.h"

#include <cstdint>

class ImageSurface;
namespace ctl {
class PictureBox;
}

namespace modImageBevel {

// Colours are signed here: -1 is the invalid colour (a pixel outside the
// picture), whose channels read as 0.
int16_t RedOf(int32_t colour);
int16_t GreenOf(int32_t colour);
int16_t BlueOf(int32_t colour);
// Fraction 1 or more gives Colour1, 0 or less Colour0; between, each channel
// is mixed and rounded half to even.
int32_t MixColour(int32_t Colour0, int32_t Colour1, float Fraction);

// Bevels the picture in place; Reserved is not read; a Depth below 1 leaves it as it is.
void BevelPicture(ImageSurface& Picture, float Reserved, int16_t Depth);
// The same on a picture box's persistent image, which is then repainted.
void BevelPicture(ctl::PictureBox& Picture, float Reserved, int16_t Depth);

}  // namespace modImageBevel

using modImageBevel::BevelPicture;
