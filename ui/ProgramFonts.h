#pragma once
// The program's fonts, "Tahoma" for every window, "Webdings" for glyphs and
// "MS Sans Serif" and "Fixedsys" for the dimming overlay and the About box,
// come from the wine fonts, which are not installed for the desktop; the
// start-up sequence registers them for Qt and for Pango before any text is drawn.
#include <QString>

inline constexpr const char* kWineFontFolder = "/usr/share/wine/fonts";

// Registers Tahoma (regular and bold), Webdings, MS Sans Serif and Fixedsys
// from the folder. True when "Tahoma" then resolves in both Qt and Pango.
// When it does not (the fonts are missing), Qt is told to show a
// metric-alike sans font in its place and the program goes on; Pango falls
// back to the desktop's sans font by itself.
bool RegisterProgramFonts(const QString& folder = QString::fromLatin1(kWineFontFolder));
