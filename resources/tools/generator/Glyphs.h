#pragma once
// Outlines of the glyph font: each character a filled pictogram built from
// contours (solid parts clockwise on screen, holes counter-clockwise), in font
// units of a 1000-unit em with the baseline 800 units below the top.
#include <string>
#include <vector>

struct GlyphOutline {
  std::string character;
  double advance = 1000;
  std::string svgPath;  // path data in font units, y pointing up
};

// The outline of one manifest character; false when it has no design.
bool BuildGlyph(const std::string& character, GlyphOutline* out);
// Writes the outlines as JSON for the font builder.
void WriteGlyphJson(const std::vector<GlyphOutline>& glyphs, const std::string& path);
