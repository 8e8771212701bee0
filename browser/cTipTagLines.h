#pragma once
// The tag text of the rich tool tip, laid out line by line: each line (the
// text between two line breaks) on its own, kept by its text from one tip to
// the next, so that a tip lays out only the lines no tip before it had and
// draws only the lines that show in its box. Text that does not part into
// plain left-to-right lines that way (a line that breaks again inside,
// right-to-left writing, a nul character) is laid out as one block. Either
// way the size and the picture are those of the whole text laid out at once.
#include "platform/ColorRef.h"
#include "ui/CairoContext.h"

#include <QString>

#include <vector>

class cTipTagLines {
 public:
  // Lays the text out in the tags' font (Tahoma, 8 points) and the colour;
  // byLines false lays it out as one block whatever it holds.
  void Prepare(const QString& text, COLORREF colour, bool byLines = true);

  // The size of the whole text and its number of lines.
  TextSize Size() const { return size_; }
  int LineCount() const { return lineCount_; }
  bool ByLines() const { return block_.IsNull(); }

  // The text with its top left at the box's, left aligned, clipped to the
  // box, at the opacity.
  void Draw(CairoContext& cc, double x, double y, double width, double height, double opacity) const;

  // A text of the tip laid out in Tahoma at the size, weight and colour,
  // kept by its text as the lines are: the same result hovered again (or
  // another with the same duration, say) lays out nothing anew.
  static CairoText KeptText(const QString& text, double points, COLORREF colour, bool bold = false);
  // Lets go of every kept line and text, as if no tip had been shown yet.
  static void ForgetKeptLines();
  // The context the tip's texts are laid out in, kept for the program's
  // life: its transformation never changes, so what is laid out in it stays
  // laid out for as long as the fonts do.
  static CairoContext& LayoutContext();

 private:
  bool PrepareLines(const QString& text, COLORREF colour);

  struct Line {
    CairoText text;
    double top = 0;  // from the top of the first line
  };
  std::vector<Line> lines_;
  CairoText block_;
  TextSize size_;
  int lineCount_ = 0;
};
