#pragma once
// Icons of the image lists, the on-screen display, the message box and the
// cursors, all drawn in one 16-unit design grid.
#include "Painter.h"

#include <string>

// Paints the icon of an image-list key (or on-screen display icon) scaled to
// pixelSize; false when the key has no painter.
bool PaintIcon(cairo_t* cr, const std::string& key, double pixelSize);
// The library emblem: a film reel; used by the logo pictures.
void PaintReel(Painter& p, double cx, double cy, double r, const Rgb& colour);
