#pragma once
// The program's own glyph font, compiled in: written to a file and made known
// to Qt and fontconfig so that both widgets and Pango draw with it. The family
// is "RW2Dings"; the program also asks for it as "RW2dings", which resolves to
// the same font because family names are matched without regard to case.
#include <QString>

inline const QString kGlyphFontFamily = QStringLiteral("RW2Dings");

// Writes the font into folder (created when missing) as "RW2Dings.ttf",
// unless the file there holds it already, and registers it; returns the
// file's path. Must run before Pango's font map is first used, or it
// refreshes that map. A folder or file that cannot be written raises error
// 75 naming it, its description why in the program's words ("The disk is
// full."); a font the registries refuse raises error 481.
QString RegisterGlyphFont(const QString& folder);
