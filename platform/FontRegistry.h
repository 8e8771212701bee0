#pragma once
// Makes font files known to both Qt (widgets) and fontconfig (which Pango and
// Cairo draw with), for fonts that are not installed system-wide: the wine
// fonts "Tahoma" and "Webdings", and the program's own glyph font.
#include <QString>

// Registers one font file; true when both Qt and fontconfig accepted it.
bool RegisterFontFile(const QString& path);
// Registers every font file of a folder; true when fontconfig accepted the folder
// and Qt at least one file.
bool RegisterFontDirectory(const QString& folder);

// Whether a family name resolves to that family (not a fallback) in Qt, and in
// Pango's font map.
bool QtHasFontFamily(const QString& family);
bool PangoHasFontFamily(const QString& family);
