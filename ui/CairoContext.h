#pragma once
// A drawing context on an image surface: Cairo paths, fills, strokes,
// transformations and patterns, with text laid out by Pango. Colours are
// COLORREF values with an opacity from 0 to 1; lengths are pixels; rotations
// in degrees, arc angles in radians. Save/Restore also keep the selected font.
#include "platform/ColorRef.h"
#include "platform/ImageSurface.h"

#include <QString>

#include <memory>
#include <vector>

typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;
typedef struct _cairo_font_options cairo_font_options_t;
class CairoPattern;
class CairoSurface;

struct TextSize {
  double Width = 0;
  double Height = 0;
};

// Text alignment inside a DrawText box.
inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignRight = 1;
inline constexpr int kAlignCentre = 2;

// Resampling filters of the image drawing, Cairo's codes.
inline constexpr int kFilterFast = 0;
inline constexpr int kFilterGood = 1;
inline constexpr int kFilterBest = 2;
inline constexpr int kFilterNearest = 3;
inline constexpr int kFilterBilinear = 4;

// A text laid out once, in the font selected when it was prepared, so that
// it can be measured and drawn again and again: laying out (shaping) is most
// of what a text costs. Lines break only at the text's own line breaks.
class CairoText {
 public:
  bool IsNull() const { return !layout_; }
  TextSize Size() const { return size_; }
  int LineCount() const { return lineCount_; }
  COLORREF Colour() const { return colour_; }
  // Whether the first line reads left to right.
  bool LeftToRight() const { return leftToRight_; }
  // The rows the glyphs cover, from the text's top; both 0 where nothing is
  // drawn, and only when the text was prepared with its ink.
  double InkTop() const { return inkTop_; }
  double InkBottom() const { return inkBottom_; }
  // False once the fonts it was laid out with have changed (fonts added to
  // the system, say): its size no longer holds.
  bool IsCurrent() const;

 private:
  friend class CairoContext;
  std::shared_ptr<PangoLayout> layout_;
  TextSize size_;
  int lineCount_ = 0;
  COLORREF colour_ = 0;
  bool leftToRight_ = true;
  double inkTop_ = 0;
  double inkBottom_ = 0;
  unsigned serial_ = 0;
};

class CairoContext {
 public:
  // Draws on the surface, which the context keeps alive.
  explicit CairoContext(ImageSurfacePtr surface);
  ~CairoContext();
  CairoContext(const CairoContext&) = delete;
  CairoContext& operator=(const CairoContext&) = delete;

  cairo_t* Raw() const { return cr_; }
  ImageSurface& Surface() const { return *surface_; }

  void Save();
  void Restore();
  void Translate(double dx, double dy);
  void Scale(double sx, double sy);
  void RotateDegrees(double degrees);

  void SetSourceColour(COLORREF colour, double opacity = 1.0);
  void SetLineWidth(double width);
  // Cairo's codes: cap 0 butt, 1 round, 2 square; join 0 mitre, 1 round, 2 bevel.
  void SetLineCap(int cap);
  void SetLineJoin(int join);

  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  void RelLineTo(double dx, double dy);
  void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3);
  void ClosePath();
  void Rectangle(double x, double y, double width, double height);
  // A rectangle with all four corners rounded by radius.
  void RoundedRect(double x, double y, double width, double height, double radius);
  void Arc(double cx, double cy, double radius, double angle1, double angle2);

  // With a pattern the operation uses it in place of the source, which stays as it was.
  void Paint(double opacity = 1.0, const CairoPattern* pattern = nullptr);
  void Fill(bool keepPath = false, const CairoPattern* pattern = nullptr);
  void Stroke(bool keepPath = false, const CairoPattern* pattern = nullptr);
  void Clip(bool keepPath = false);
  void ResetClip();

  // Font and text colour of the text operations; size in points (96 per inch).
  void SelectFont(const QString& face, double sizePoints, COLORREF colour = 0, bool bold = false,
                  bool italic = false, bool underline = false, bool strikeOut = false);
  TextSize MeasureText(const QString& text);
  // Height of one line of the current font.
  double FontHeight();
  // Text in the box (x, y, width, height), clipped to it (but for marks rising
  // above the first line, which the box's top would cut), in the font colour at
  // the opacity. Single line: unwrapped and aligned, cut at the box edges;
  // otherwise wrapped at words to the box width.
  void DrawText(double x, double y, double width, double height, const QString& text, bool singleLine,
                int alignment, double opacity = 1.0);
  // Lays the text out in the current font and colour (see CairoText); with
  // withInk it also finds the rows its glyphs cover.
  CairoText PrepareText(const QString& text, bool withInk = false);
  // A prepared text in the box, clipped to it, in its own colour at the
  // opacity; the alignment places the block of lines in the box's width.
  void DrawText(double x, double y, double width, double height, const CairoText& text, int alignment,
                double opacity = 1.0);
  // A prepared text with its top left at (left, top), clipped to the box
  // (x, y, width, height), in its own colour at the opacity.
  void DrawTextAt(double x, double y, double width, double height, const CairoText& text, double left, double top,
                  double opacity = 1.0);
  // Sets the source to the font colour at the opacity; draws the text with its
  // top left at (x, y), or with asPath only adds the glyph outlines to the path.
  void TextOut(double x, double y, const QString& text, double opacity = 1.0, bool asPath = false);
  // A halo round the text in the current font, as one layer at the opacity:
  // the glyphs drawn in the font colour at eight points of a circle of
  // `radius` about (x, y) and at its middle. It looks like the glyph outlines
  // stroked `radius` x 2 wide, at a fraction of a stroke's cost.
  void TextHalo(double x, double y, const QString& text, double radius, double opacity = 1.0);

  // Draws an image into the rectangle (x, y, width x height), scaled to fill
  // exactly that rectangle (0: natural size), at the opacity, resampled with
  // the filter (kFilterFast .. kFilterBilinear; any other value: good).
  void RenderSurface(const ImageSurface& image, double x, double y, double width = 0, double height = 0,
                     double opacity = 1.0, int filter = kFilterGood);
  void RenderSurface(const CairoSurface& image, double x, double y, double width = 0, double height = 0,
                     double opacity = 1.0, int filter = kFilterGood);
  // The image kept under that key in the shared image list; a missing key raises error 5.
  void RenderSurface(const QString& imageKey, double x, double y, double width = 0, double height = 0,
                     double opacity = 1.0, int filter = kFilterGood);

 private:
  struct Font {
    QString face = QStringLiteral("Tahoma");
    double size = 8;
    COLORREF colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
  };

  PangoLayout* NewLayout(const QString& text);
  void UpdatePangoContext();
  bool ShowLineUpTo(PangoLayout* layout, double right);
  template <class Draw>
  void InBox(double x, double y, double width, double height, Draw draw);
  void SetFontSource(double opacity);

  ImageSurfacePtr surface_;
  cairo_t* cr_;
  PangoContext* pango_;
  Font font_;
  std::vector<Font> savedFonts_;
  // What the Pango context was last brought up to date with (see UpdatePangoContext).
  bool pangoUpdated_ = false;
  double pangoMatrix_[6] = {};
  cairo_font_options_t* pangoOptions_;
};
