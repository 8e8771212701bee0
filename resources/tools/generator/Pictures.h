#pragma once
// The pictures of the program other than image-list icons: "CUSTOM" artwork,
// skin bitmaps, message-box icons, cursors and animation strips.
#include <cairo.h>

#include <string>

// Paints the resource of that type and name onto a transparent w x h surface
// (animations: frames side by side); false when nothing is designed for it.
bool PaintPicture(cairo_t* cr, const std::string& type, const std::string& name, int width, int height,
                  int frames);
// Skin pieces (player skin, transport buttons, sliders, tabs, banners).
bool PaintSkin(cairo_t* cr, const std::string& name, int width, int height);
// The tag-cloud window's picture, buttons and scroll arrows ("TAGCLOUD...").
bool PaintTagCloud(cairo_t* cr, const std::string& name, int width, int height);
