#pragma once
// A Cairo gradient pattern (linear or radial, pad extension) with colour stops
// given as COLORREF values and opacities.
#include "platform/ColorRef.h"

typedef struct _cairo_pattern cairo_pattern_t;

class CairoPattern {
 public:
  // Takes over one reference of the pattern.
  explicit CairoPattern(cairo_pattern_t* pattern);
  ~CairoPattern();
  CairoPattern(const CairoPattern&) = delete;
  CairoPattern& operator=(const CairoPattern&) = delete;

  // colour1 at offset 0, colour2 at offset 1.
  void AddTwoColourStops(COLORREF colour1, COLORREF colour2, double opacity1 = 1, double opacity2 = 1);
  // colour1 at 0, colour2 at middle, colour3 at 1.
  void AddThreeColourStops(COLORREF colour1, COLORREF colour2, COLORREF colour3, double opacity1, double opacity2,
                           double opacity3, double middle);
  void AddColourStop(double offset, COLORREF colour, double opacity = 1);

  cairo_pattern_t* Raw() const { return pattern_; }

 private:
  cairo_pattern_t* pattern_;
};
