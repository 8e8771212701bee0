#pragma once
// How far a text's ink rises above its font's ascent. The accent over a
// capital ("\u00C9t\u00E9") reaches above the ascent in many fonts (the
// program's Tahoma among them), and text set from the top of its place at
// the ascent loses it: the controls that set text leave room for it.
#include <QFont>
#include <QString>

namespace ctl {

// Whole pixels of the text's ink above the font's ascent, or below its
// descent; 0 for none.
int InkAboveAscent(const QFont& font, const QString& text);
int InkBelowDescent(const QFont& font, const QString& text);
// Both, from one measure of the text.
struct Ink {
  int above = 0;
  int below = 0;
};
Ink InkBeyondLines(const QFont& font, const QString& text);

}  // namespace ctl
