#pragma once
// A two-colour gradient with a leading solid strip, painted from (0, 0) into
// a drawing surface: the face of the message box and the banners of the
// add-files, find-files and options windows.
#include "platform/ColorRef.h"

class ImageSurface;

namespace modGradientFill {

// Paints (Width + Band) x Height pixels. Horizontal (Vertical false): column 0
// in Colour1, columns 1 to Band one step further, then the ramp, whose column
// Band + i (i >= 1) is Colour1 plus i - 1 steps of (Colour2 - Colour1) / Width.
// Vertical: the same by rows over Height, the ramp starting at row 0 over the
// strip, and the Band columns right of Width left black. The area is built off
// screen and copied in one operation. False, drawing nothing, when that area
// cannot be made (Width or Height below 1, Band below 0, or too large).
bool DrawGradient(ImageSurface& target, int Width, int Height, int Band, COLORREF Colour1, COLORREF Colour2,
                  bool Vertical);

}  // namespace modGradientFill

using modGradientFill::DrawGradient;
