#include "Icons.h"

#include <cmath>
#include <functional>
#include <map>

namespace {

using pal::kBlue, pal::kGold, pal::kGreen, pal::kRed, pal::kPurple, pal::kTeal, pal::kSlate, pal::kPaper,
    pal::kFilm, pal::kWhite, pal::kInk, pal::kOrange;

void Hole(Painter& p, double cx, double cy, double r) {
  cairo_new_sub_path(p.cr());
  cairo_arc_negative(p.cr(), cx, cy, r, 2 * M_PI, 0);
  cairo_close_path(p.cr());
}

// ---- base symbols -------------------------------------------------------

void Film(Painter& p, double x = 2, double y = 3, double w = 12, double h = 10) {
  p.Part(kFilm, [&] { p.RoundRect(x, y, w, h, 1.2); });
  p.Flat(kBlue.Lighter(0.45), [&] { p.Rect(x + 2.2, y + 1.5, w - 4.4, h - 3); });
  p.Flat(kWhite, [&] {
    for (double yy = y + 1.2; yy < y + h - 1.0; yy += 2.4) {
      p.Rect(x + 0.6, yy, 1.0, 1.1);
      p.Rect(x + w - 1.6, yy, 1.0, 1.1);
    }
  }, 0.9);
}

void Files(Painter& p) {
  Film(p, 4, 1.5, 10.5, 8.5);
  Film(p, 1.5, 5.5, 10.5, 8.5);
}

void TagShape(Painter& p, const Rgb& c, double x = 1.5, double y = 3.5, double w = 13, double h = 9) {
  p.Part(c, [&] {
    p.Poly({{x, y + h / 2}, {x + h / 2, y}, {x + w, y}, {x + w, y + h}, {x + h / 2, y + h}});
    Hole(p, x + h / 2 + 0.3, y + h / 2, 1.2);
  });
}

void StarShape(Painter& p, const Rgb& c, double cx = 8, double cy = 8.4, double r = 7) {
  p.Part(c, [&] { p.Star(cx, cy, r, r * 0.45); });
}

void Folder(Painter& p, bool open, const Rgb& c = kGold) {
  p.Part(c.Darker(0.12), [&] {
    p.Poly({{1.5, 3}, {6, 3}, {7.5, 4.5}, {14.5, 4.5}, {14.5, 13.5}, {1.5, 13.5}});
  });
  if (open) {
    p.Part(c, [&] { p.Poly({{3.8, 7}, {15.8, 7}, {14.2, 13.5}, {1.5, 13.5}}); });
  } else {
    p.Part(c, [&] { p.Rect(1.5, 6.5, 13, 7); });
  }
}

void Magnifier(Painter& p, double cx = 6.5, double cy = 6.5, double r = 4.5, const Rgb& c = kTeal) {
  p.Part(kFilm, [&] { p.Bar(cx + r * 0.6, cy + r * 0.6, cx + r * 1.75, cy + r * 1.75, 2.6); });
  p.Part(c, [&] { p.Circle(cx, cy, r); Hole(p, cx, cy, r - 1.6); });
  p.Flat(kWhite, [&] { p.Circle(cx, cy, r - 1.6); }, 0.55);
}

void Eye(Painter& p, const Rgb& c = kPurple) {
  p.Part(kPaper, [&] {
    cairo_move_to(p.cr(), 1, 8);
    cairo_curve_to(p.cr(), 4, 2.5, 12, 2.5, 15, 8);
    cairo_curve_to(p.cr(), 12, 13.5, 4, 13.5, 1, 8);
    cairo_close_path(p.cr());
  });
  p.Part(c, [&] { p.Circle(8, 8, 3.2); });
  p.Flat(kInk, [&] { p.Circle(8, 8, 1.4); });
  p.Flat(kWhite, [&] { p.Circle(9, 7, 0.7); });
}

void Paper(Painter& p, double x = 3, double y = 1.5, double w = 10, double h = 13) {
  p.Part(kPaper, [&] { p.Poly({{x, y}, {x + w - 3, y}, {x + w, y + 3}, {x + w, y + h}, {x, y + h}}); });
  p.Flat(kSlate.Lighter(0.4), [&] { p.Poly({{x + w - 3, y}, {x + w, y + 3}, {x + w - 3, y + 3}}); });
}

void Lines(Painter& p, double x, double y, double w, int n, double step = 2.4) {
  p.Flat(kSlate, [&] { for (int i = 0; i < n; ++i) p.Rect(x, y + i * step, w, 1.0); });
}

void Playlist(Painter& p, const Rgb& c = kPurple) {
  Paper(p, 2.5, 1.5, 10, 13);
  Lines(p, 4.5, 5, 6, 3);
  p.Part(c, [&] { p.Poly({{8.5, 9.5}, {15, 12.5}, {8.5, 15.5}}); });
}

void ChainLink(Painter& p, double cx, double cy, double angle, const Rgb& c) {
  cairo_save(p.cr());
  cairo_translate(p.cr(), cx, cy);
  cairo_rotate(p.cr(), angle);
  p.Part(c, [&] {
    p.RoundRect(-4, -2.2, 8, 4.4, 2.2);
    cairo_new_sub_path(p.cr());
    cairo_move_to(p.cr(), -2.2, -0.8);
    cairo_line_to(p.cr(), -2.2, 0.8);
    cairo_line_to(p.cr(), 2.2, 0.8);
    cairo_line_to(p.cr(), 2.2, -0.8);
    cairo_close_path(p.cr());
  });
  cairo_restore(p.cr());
}

void Chain(Painter& p, const Rgb& c = kSlate) {
  ChainLink(p, 5.2, 10.8, -M_PI / 4, c);
  ChainLink(p, 10.8, 5.2, -M_PI / 4, c.Lighter(0.2));
}

void Calendar(Painter& p, double x = 2, double y = 2.5, double w = 12, double h = 11.5) {
  p.Part(kPaper, [&] { p.RoundRect(x, y, w, h, 1.2); });
  p.Part(kRed, [&] { p.RoundRect(x, y, w, 3.4, 1.2); p.Rect(x, y + 1.5, w, 1.9); });
  p.Flat(kSlate, [&] {
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 4; ++c) p.Rect(x + 1.6 + c * 2.4, y + 5 + r * 2.1, 1.4, 1.2);
  });
  p.Flat(kInk, [&] { p.Rect(x + 2.5, y - 1, 1, 2.4); p.Rect(x + w - 3.5, y - 1, 1, 2.4); });
}

void Gear(Painter& p, double cx = 8, double cy = 8, double r = 6.5, const Rgb& c = kSlate) {
  p.Part(c, [&] {
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
      const double a = (i - 0.5) * M_PI * 2 / (teeth * 4);
      const double rr = (i % 4 == 0 || i % 4 == 1) ? r : r * 0.74;
      if (i == 0) cairo_move_to(p.cr(), cx + rr * std::cos(a), cy + rr * std::sin(a));
      else cairo_line_to(p.cr(), cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(p.cr());
    Hole(p, cx, cy, r * 0.32);
  });
}

void Drive(Painter& p, double y = 5, const Rgb& c = kSlate, const Rgb& led = kGreen) {
  p.Part(c, [&] { p.RoundRect(1.5, y, 13, 6.5, 1.5); });
  p.Flat(kInk, [&] { p.Rect(3.5, y + 3.8, 6, 0.9); }, 0.6);
  p.Part(led, [&] { p.Circle(12, y + 4.2, 1.0); });
}

void Disc(Painter& p, double cx = 8, double cy = 8, double r = 6.5) {
  p.Part(Hex(0xC9D3DE), [&] { p.Circle(cx, cy, r); Hole(p, cx, cy, 1.3); });
  cairo_save(p.cr());
  cairo_pattern_t* g = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
  cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.4, 0.6, 0.35);
  cairo_pattern_add_color_stop_rgba(g, 0.5, 0.4, 0.9, 1, 0.35);
  cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.9, 0.3, 0.35);
  cairo_new_path(p.cr());
  p.Circle(cx, cy, r - 0.4);
  Hole(p, cx, cy, r * 0.38);
  cairo_set_source(p.cr(), g);
  cairo_fill(p.cr());
  cairo_pattern_destroy(g);
  cairo_restore(p.cr());
  p.Stroke(kInk, 0.5, [&] { p.Circle(cx, cy, r * 0.38); }, 0.5);
}

void Stick(Painter& p) {
  cairo_save(p.cr());
  cairo_translate(p.cr(), 8, 8);
  cairo_rotate(p.cr(), -M_PI / 4);
  p.Part(kSlate.Lighter(0.5), [&] { p.Rect(-2.4, -7.5, 4.8, 4); });
  p.Flat(kInk, [&] { p.Rect(-1.3, -6.6, 0.9, 1); p.Rect(0.4, -6.6, 0.9, 1); });
  p.Part(kBlue, [&] { p.RoundRect(-3.5, -3.8, 7, 11, 1.6); });
  p.Flat(kWhite, [&] { p.Circle(0, 4.5, 0.9); }, 0.8);
  cairo_restore(p.cr());
}

void Globe(Painter& p, double cx = 8, double cy = 8, double r = 6.5) {
  p.Part(kTeal, [&] { p.Circle(cx, cy, r); });
  p.Stroke(kWhite, 0.8, [&] {
    p.Ellipse(cx, cy, r * 0.45, r);
    cairo_move_to(p.cr(), cx - r, cy);
    cairo_line_to(p.cr(), cx + r, cy);
    cairo_move_to(p.cr(), cx - r * 0.85, cy - r * 0.5);
    cairo_line_to(p.cr(), cx + r * 0.85, cy - r * 0.5);
    cairo_move_to(p.cr(), cx - r * 0.85, cy + r * 0.5);
    cairo_line_to(p.cr(), cx + r * 0.85, cy + r * 0.5);
  }, 0.8);
}

void Chip(Painter& p) {
  p.Flat(kSlate.Darker(0.2), [&] {
    for (int i = 0; i < 5; ++i) { p.Rect(3.2 + i * 2.2, 2, 1, 2); p.Rect(3.2 + i * 2.2, 12, 1, 2); }
  });
  p.Part(kGreen.Darker(0.3), [&] { p.RoundRect(1.5, 3.5, 13, 9, 1); });
  p.Part(kFilm, [&] { p.Rect(4.5, 5.5, 7, 5); });
}

void Database(Painter& p, const Rgb& c = kBlue) {
  p.Part(c, [&] {
    cairo_move_to(p.cr(), 2.5, 4);
    cairo_line_to(p.cr(), 2.5, 12.5);
    cairo_curve_to(p.cr(), 2.5, 15.3, 13.5, 15.3, 13.5, 12.5);
    cairo_line_to(p.cr(), 13.5, 4);
    cairo_close_path(p.cr());
  });
  p.Stroke(kWhite, 0.6, [&] {
    cairo_move_to(p.cr(), 2.8, 7.3);
    cairo_curve_to(p.cr(), 3.5, 9.6, 12.5, 9.6, 13.2, 7.3);
    cairo_move_to(p.cr(), 2.8, 10.3);
    cairo_curve_to(p.cr(), 3.5, 12.6, 12.5, 12.6, 13.2, 10.3);
  }, 0.7);
  p.Part(c.Lighter(0.35), [&] { p.Ellipse(8, 4, 5.5, 2.2); });
}

void Cloud(Painter& p, const Rgb& c = kBlue) {
  p.Part(c.Lighter(0.25), [&] {
    p.Circle(5, 9.5, 3.2);
    p.Circle(8.5, 7, 4.2);
    p.Circle(12, 9.8, 2.9);
    p.RoundRect(3, 9, 10.5, 4.2, 2);
  });
}

void Heart(Painter& p, const Rgb& c = kRed) {
  p.Part(c, [&] {
    cairo_move_to(p.cr(), 8, 14);
    cairo_curve_to(p.cr(), 1, 9, 0.5, 5, 2.5, 3.3);
    cairo_curve_to(p.cr(), 4.5, 1.6, 7, 2.3, 8, 4.5);
    cairo_curve_to(p.cr(), 9, 2.3, 11.5, 1.6, 13.5, 3.3);
    cairo_curve_to(p.cr(), 15.5, 5, 15, 9, 8, 14);
    cairo_close_path(p.cr());
  });
}

void Trash(Painter& p) {
  p.Part(kSlate, [&] { p.Poly({{3.5, 5}, {12.5, 5}, {11.5, 14.5}, {4.5, 14.5}}); });
  p.Flat(kWhite, [&] { p.Rect(5.8, 6.8, 0.9, 6); p.Rect(7.6, 6.8, 0.9, 6); p.Rect(9.4, 6.8, 0.9, 6); }, 0.6);
  p.Part(kSlate.Lighter(0.2), [&] { p.RoundRect(2.5, 3, 11, 2, 0.6); p.Rect(6.5, 1.5, 3, 1.7); });
}

void Pencil(Painter& p) {
  cairo_save(p.cr());
  cairo_translate(p.cr(), 8, 8);
  cairo_rotate(p.cr(), M_PI / 4);
  p.Part(kGold, [&] { p.Rect(-1.8, -6.5, 3.6, 9.5); });
  p.Part(kRed.Lighter(0.3), [&] { p.RoundRect(-1.8, -7.8, 3.6, 2.2, 0.8); });
  p.Part(Hex(0xF2D7B0), [&] { p.Poly({{-1.8, 3}, {1.8, 3}, {0, 7}}); });
  p.Flat(kInk, [&] { p.Poly({{-0.6, 5.6}, {0.6, 5.6}, {0, 7}}); });
  cairo_restore(p.cr());
}

void Floppy(Painter& p, const Rgb& c = kBlue) {
  p.Part(c, [&] { p.Poly({{2, 2}, {12.5, 2}, {14, 3.5}, {14, 14}, {2, 14}}); });
  p.Part(kPaper, [&] { p.Rect(4.5, 2, 7, 4.5); });
  p.Flat(kFilm, [&] { p.Rect(9, 2.6, 1.5, 3.2); });
  p.Part(kPaper, [&] { p.Rect(4, 9, 8, 5); });
  Lines(p, 5, 10.3, 6, 2, 1.8);
}

void Clock(Painter& p, double cx = 8, double cy = 8, double r = 6.5) {
  p.Part(kPaper, [&] { p.Circle(cx, cy, r); });
  p.Stroke(kInk, 1.1, [&] {
    cairo_move_to(p.cr(), cx, cy - r * 0.6);
    cairo_line_to(p.cr(), cx, cy);
    cairo_line_to(p.cr(), cx + r * 0.45, cy + r * 0.3);
  });
  p.Flat(kBlue, [&] { p.Circle(cx, cy, 0.9); });
}

void ArrowButton(Painter& p, bool right, const Rgb& c = kBlue) {
  p.Part(c, [&] { p.Circle(8, 8, 6.8); });
  const double d = right ? 1 : -1;
  p.Flat(kWhite, [&] {
    p.Poly({{8 + 3.8 * d, 8}, {8 + 0.2 * d, 4.2}, {8 + 0.2 * d, 6.6}, {8 - 3.6 * d, 6.6}, {8 - 3.6 * d, 9.4},
            {8 + 0.2 * d, 9.4}, {8 + 0.2 * d, 11.8}});
  });
}

void CircularArrow(Painter& p, const Rgb& c = kGreen, double cx = 8, double cy = 8, double r = 5.8) {
  // A band running clockwise from the right round to the top, its head pointing on.
  const double a1 = 15 * M_PI / 180, a2 = 285 * M_PI / 180, w = 2.2, rm = r - w / 2;
  const double px = cx + rm * std::cos(a2), py = cy + rm * std::sin(a2);
  const double tx = -std::sin(a2), ty = std::cos(a2), nx = std::cos(a2), ny = std::sin(a2);
  p.Part(c, [&] {
    cairo_new_sub_path(p.cr());
    cairo_arc(p.cr(), cx, cy, r, a1, a2);
    cairo_arc_negative(p.cr(), cx, cy, r - w, a2, a1);
    cairo_close_path(p.cr());
    p.Poly({{px + tx * 3.0, py + ty * 3.0}, {px + nx * 2.7 - tx * 0.3, py + ny * 2.7 - ty * 0.3},
            {px - nx * 2.7 - tx * 0.3, py - ny * 2.7 - ty * 0.3}});
  });
}

void Shuffle(Painter& p, const Rgb& c = kTeal) {
  p.Stroke(kInk, 3.6, [&] {
    cairo_move_to(p.cr(), 1.5, 4.5); cairo_curve_to(p.cr(), 7, 4.5, 7, 11.5, 12, 11.5);
    cairo_move_to(p.cr(), 1.5, 11.5); cairo_curve_to(p.cr(), 7, 11.5, 7, 4.5, 12, 4.5);
  }, 0.85);
  p.Stroke(c.Lighter(0.2), 1.6, [&] {
    cairo_move_to(p.cr(), 1.5, 4.5); cairo_curve_to(p.cr(), 7, 4.5, 7, 11.5, 12, 11.5);
    cairo_move_to(p.cr(), 1.5, 11.5); cairo_curve_to(p.cr(), 7, 11.5, 7, 4.5, 12, 4.5);
  });
  p.Part(c, [&] { p.Poly({{11, 1.5}, {15, 4.5}, {11, 7.5}}); p.Poly({{11, 8.5}, {15, 11.5}, {11, 14.5}}); });
}

void PlayDisc(Painter& p, const Rgb& c = kGreen) {
  p.Part(c, [&] { p.Circle(8, 8, 6.8); });
  p.Flat(kWhite, [&] { p.Poly({{6, 4.5}, {11.5, 8}, {6, 11.5}}); });
}

void Bulb(Painter& p) {
  p.Part(Hex(0xFFD84A), [&] {
    cairo_new_sub_path(p.cr());
    cairo_arc(p.cr(), 8, 6.5, 5, M_PI * 0.8, M_PI * 2.2);
    cairo_line_to(p.cr(), 10, 12);
    cairo_line_to(p.cr(), 6, 12);
    cairo_close_path(p.cr());
  });
  p.Part(kSlate, [&] { p.RoundRect(5.8, 12, 4.4, 3, 0.8); });
  p.Flat(kWhite, [&] { p.Circle(6.3, 5.3, 1.3); }, 0.8);
}

void Lettered(Painter& p, const Rgb& c, const char* letter) {
  p.Part(c, [&] { p.Circle(8, 8, 6.8); });
  p.Flat(kWhite, [&] { p.Text(letter, 8, 8.2, 10.5); });
}

void Bubbles(Painter& p) {
  p.Part(kTeal.Lighter(0.3), [&] { p.RoundRect(5.5, 6, 9.5, 6.5, 2); p.Poly({{11, 12}, {13.5, 15}, {13.5, 11}}); });
  p.Part(kBlue, [&] { p.RoundRect(1, 1.5, 10, 7, 2); p.Poly({{3, 8}, {2.5, 11.5}, {6, 8}}); });
  p.Flat(kWhite, [&] { p.Circle(3.8, 5, 0.8); p.Circle(6, 5, 0.8); p.Circle(8.2, 5, 0.8); });
}

void Blog(Painter& p) {
  Paper(p, 1.5, 1.5, 10, 13);
  Lines(p, 3.2, 5, 6, 4);
  cairo_save(p.cr());
  cairo_translate(p.cr(), 3, 1);
  cairo_scale(p.cr(), 0.8, 0.8);
  Pencil(p);
  cairo_restore(p.cr());
}

void Tv(Painter& p) {
  p.Stroke(kInk, 0.9, [&] { cairo_move_to(p.cr(), 5, 0.8); cairo_line_to(p.cr(), 8, 3.5); cairo_line_to(p.cr(), 11, 0.8); });
  p.Part(kFilm, [&] { p.RoundRect(1, 3.5, 14, 10, 1.6); });
  p.Flat(kBlue.Lighter(0.3), [&] { p.RoundRect(2.6, 5, 10.8, 7, 0.8); });
  p.Flat(kWhite, [&] { p.Poly({{2.6, 9}, {6, 6.5}, {9, 9.5}, {11, 8}, {13.4, 10}, {13.4, 12}, {2.6, 12}}); }, 0.6);
  p.Part(kSlate, [&] { p.Rect(5, 13.5, 6, 1.5); });
}

void Spanner(Painter& p) {
  cairo_save(p.cr());
  cairo_translate(p.cr(), 8, 8);
  cairo_rotate(p.cr(), -M_PI / 4);
  p.Part(kSlate.Lighter(0.25), [&] {
    p.RoundRect(-1.5, -2, 3, 9.5, 1.2);
    p.Circle(0, -4, 3.5);
    cairo_new_sub_path(p.cr());
    cairo_move_to(p.cr(), -1.3, -8.2);
    cairo_line_to(p.cr(), -1.3, -4.5);
    cairo_line_to(p.cr(), 1.3, -4.5);
    cairo_line_to(p.cr(), 1.3, -8.2);
    cairo_close_path(p.cr());
  });
  cairo_restore(p.cr());
}

void Window(Painter& p, double x, double y, double w, double h, const Rgb& bar = kBlue) {
  p.Part(kPaper, [&] { p.RoundRect(x, y, w, h, 0.8); });
  p.Flat(bar, [&] { p.Rect(x + 0.4, y + 0.4, w - 0.8, 2.4); });
}

void TileView(Painter& p) {
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) p.Part(c == r ? kBlue : kTeal, [&] { p.RoundRect(1.5 + c * 7, 1.5 + r * 7, 6, 6, 1); });
}

void ListView(Painter& p) {
  for (int r = 0; r < 3; ++r) {
    p.Part(kBlue, [&] { p.RoundRect(1.5, 1.5 + r * 4.6, 4, 3.6, 0.6); });
    p.Part(kPaper, [&] { p.Rect(7, 2.8 + r * 4.6, 7.5, 1.2); });
  }
}

void CarouselView(Painter& p) {
  p.Part(kTeal, [&] { p.RoundRect(0.8, 4.5, 4.5, 7, 0.8); });
  p.Part(kTeal, [&] { p.RoundRect(10.7, 4.5, 4.5, 7, 0.8); });
  p.Part(kBlue, [&] { p.RoundRect(4.3, 2, 7.4, 11, 1); });
  p.Flat(kWhite, [&] { p.Poly({{6.8, 5.5}, {10, 7.5}, {6.8, 9.5}}); }, 0.9);
}

void Poster(Painter& p) {
  p.Part(kFilm, [&] { p.RoundRect(1, 2, 14, 12, 1); });
  const Rgb tones[] = {kBlue.Lighter(0.3), kTeal.Lighter(0.3), kGold.Lighter(0.2), kPurple.Lighter(0.3)};
  int i = 0;
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) {
      const Rgb t = tones[(i++) % 4];
      p.Flat(t, [&] { p.Rect(2.2 + c * 4.0, 3.3 + r * 5.2, 3.4, 4.4); });
    }
}

void Inspector(Painter& p) {
  Window(p, 1, 1.5, 13, 12);
  Lines(p, 2.5, 6, 5, 3);
  Magnifier(p, 10, 9.5, 3.2);
}

void MediaInfo(Painter& p) {
  Paper(p, 2, 1.5, 11, 13);
  p.Part(kBlue, [&] { p.Circle(7.5, 8.5, 4); });
  p.Flat(kWhite, [&] { p.Text("i", 7.5, 8.6, 7.2, true, "DejaVu Serif"); });
}

void Segment(Painter& p, double x = 2, double w = 12) {
  p.Part(kTeal, [&] { p.RoundRect(x + 2, 5, w - 4, 6, 1); });
  p.Part(kInk, [&] {
    p.Poly({{x, 3}, {x + 2.2, 3}, {x + 2.2, 4.2}, {x + 1.2, 4.2}, {x + 1.2, 11.8}, {x + 2.2, 11.8}, {x + 2.2, 13}, {x, 13}});
    const double r = x + w;
    p.Poly({{r, 3}, {r - 2.2, 3}, {r - 2.2, 4.2}, {r - 1.2, 4.2}, {r - 1.2, 11.8}, {r - 2.2, 11.8}, {r - 2.2, 13}, {r, 13}});
  });
}

void SegsInFiles(Painter& p) {
  Film(p, 1, 2, 14, 12);
  p.Part(kTeal, [&] { p.RoundRect(5, 5.5, 6, 5, 0.8); });
}

void Checkboxes(Painter& p, int mode) {  // 0 all, 1 none, 2 inverse
  for (int r = 0; r < 3; ++r) {
    const bool on = mode == 0 || (mode == 2 && r != 1);
    p.Part(kPaper, [&] { p.Rect(1.5, 1.5 + r * 4.8, 3.6, 3.6); });
    if (on) p.Stroke(kGreen.Darker(0.2), 1.1, [&] {
      cairo_move_to(p.cr(), 2.2, 3.4 + r * 4.8);
      cairo_line_to(p.cr(), 3.2, 4.4 + r * 4.8);
      cairo_line_to(p.cr(), 4.9, 1.8 + r * 4.8);
    });
    p.Flat(kSlate, [&] { p.Rect(7, 2.8 + r * 4.8, 7.5, 1.2); });
  }
}

void Layout(Painter& p, bool alternate) {
  p.Part(kPaper, [&] { p.RoundRect(1, 1.5, 14, 13, 1); });
  p.Flat(kBlue, [&] { p.Rect(1.4, 1.9, 13.2, 2.2); });
  p.Flat(kSlate.Lighter(0.3), [&] { p.Rect(2.2, 5, 3.6, alternate ? 8.6 : 5); });
  p.Flat(kTeal.Lighter(0.2), [&] { p.Rect(6.6, 5, 7.2, 5); });
  p.Flat(kGold.Lighter(0.2), [&] { p.Rect(alternate ? 6.6 : 2.2, 10.8, alternate ? 7.2 : 11.6, 2.8); });
}

void Funnel(Painter& p, const Rgb& c = kBlue) {
  p.Part(c, [&] { p.Poly({{1.5, 2}, {14.5, 2}, {9.5, 8.5}, {9.5, 14}, {6.5, 12.5}, {6.5, 8.5}}); });
}

void NoDrop(Painter& p) {
  p.Part(kRed, [&] {
    p.Circle(8, 8, 6.8);
    Hole(p, 8, 8, 4.6);
    cairo_save(p.cr());
    cairo_translate(p.cr(), 8, 8);
    cairo_rotate(p.cr(), M_PI / 4);
    p.Rect(-5, -1.1, 10, 2.2);
    cairo_restore(p.cr());
  });
}

void Sorted(Painter& p, bool cancel) {
  Lines(p, 7, 3, 7, 4, 2.8);
  p.Part(kBlue, [&] { p.Poly({{2.2, 2}, {4.6, 2}, {4.6, 9.5}, {6.4, 9.5}, {3.4, 14}, {0.4, 9.5}, {2.2, 9.5}}); });
  if (cancel) badge::Cross(p, 11.5, 11.5, 3.8);
}

void Reel(Painter& p) { PaintReel(p, 8, 8, 7, kBlue); }

void UnstarShape(Painter& p) {
  p.Part(Hex(0xD5DCE4), [&] { p.Star(8, 8.4, 7, 3.15); });
}

void Speaker(Painter& p, const Rgb& c = kSlate) {
  p.Part(c, [&] { p.Poly({{1.5, 6}, {4.5, 6}, {8.5, 2.5}, {8.5, 13.5}, {4.5, 10}, {1.5, 10}}); });
}

void PauseBars(Painter& p, const Rgb& c = kBlue) {
  p.Part(c, [&] { p.RoundRect(3, 2.5, 3.6, 11, 0.8); p.RoundRect(9.4, 2.5, 3.6, 11, 0.8); });
}

void Triangle(Painter& p, double x, double w, bool right, const Rgb& c) {
  p.Part(c, [&] {
    if (right) p.Poly({{x, 3}, {x + w, 8}, {x, 13}});
    else p.Poly({{x + w, 3}, {x, 8}, {x + w, 13}});
  });
}

void Marker(Painter& p, const char* letter, bool start) {
  p.Part(start ? kGreen : kRed, [&] { p.RoundRect(2.5, 2, 11, 12, 2); });
  p.Flat(kWhite, [&] { p.Text(letter, 8, 8.2, 10); });
}

void Loop(Painter& p, bool cancel) {
  p.Part(kTeal, [&] {
    p.RoundRect(1.5, 4, 13, 8, 4);
    cairo_new_sub_path(p.cr());
    cairo_move_to(p.cr(), 5.5, 6.2);
    cairo_line_to(p.cr(), 3.7, 8);
    cairo_line_to(p.cr(), 5.5, 9.8);
    cairo_line_to(p.cr(), 10.5, 9.8);
    cairo_line_to(p.cr(), 12.3, 8);
    cairo_line_to(p.cr(), 10.5, 6.2);
    cairo_close_path(p.cr());
  });
  p.Flat(kWhite, [&] { p.Text("AB", 8, 8.1, 4.2); });
  if (cancel) badge::Cross(p, 12.2, 12, 3.6);
}

void Hdd(Painter& p) {  // the inspector's fixed disk
  p.Part(kSlate, [&] { p.RoundRect(1.5, 2, 13, 12, 1.5); });
  p.Part(Hex(0xC9D3DE), [&] { p.Circle(8, 7.5, 4.2); });
  p.Flat(kInk, [&] { p.Circle(8, 7.5, 1); });
  p.Stroke(kInk, 1, [&] { cairo_move_to(p.cr(), 12, 3.5); cairo_line_to(p.cr(), 9, 8.5); });
  p.Part(kGreen, [&] { p.Circle(12.5, 12.2, 0.8); });
}

// ---- the key table ------------------------------------------------------

using IconFn = std::function<void(Painter&)>;

void Add(std::map<std::string, IconFn>& m, const std::string& key, IconFn fn) { m[key] = std::move(fn); }

std::map<std::string, IconFn> BuildTable() {
  std::map<std::string, IconFn> m;
  // views and tools
  Add(m, "TILE_VIEW", TileView);
  Add(m, "LIST_VIEW", ListView);
  Add(m, "CAROUSEL_VIEW", CarouselView);
  Add(m, "POSTER", Poster);
  Add(m, "MEDIAINFO", MediaInfo);
  Add(m, "INSPECTOR", Inspector);
  Add(m, "OPTIONS", [](Painter& p) { Gear(p); });
  Add(m, "SPANNER", Spanner);
  Add(m, "SEARCH", [](Painter& p) { Magnifier(p); });
  Add(m, "FORWARD", [](Painter& p) { ArrowButton(p, true); });
  Add(m, "BACKWARD", [](Painter& p) { ArrowButton(p, false); });
  Add(m, "REFRESH", [](Painter& p) { CircularArrow(p); });
  Add(m, "AUTO_REFRESH", [](Painter& p) {
    CircularArrow(p, kGreen, 7, 7, 5.4);
    p.Part(kGold, [&] { p.Circle(12, 12, 3.6); });
    p.Flat(kInk, [&] { p.Text("A", 12, 12.1, 5); });
  });
  Add(m, "CLOUD", [](Painter& p) { Cloud(p); });
  Add(m, "NEW_LIB", [](Painter& p) { Database(p); badge::Plus(p); });
  Add(m, "OPEN_LIB", [](Painter& p) { Folder(p, true); cairo_save(p.cr()); cairo_translate(p.cr(), 5, 4.5);
                                      cairo_scale(p.cr(), 0.6, 0.6); Database(p); cairo_restore(p.cr()); });
  Add(m, "ADD_FILES", [](Painter& p) { Film(p, 1, 2, 11.5, 9.5); badge::Plus(p); });
  Add(m, "SAVE", [](Painter& p) { Floppy(p); });
  Add(m, "DELETE_FILE", [](Painter& p) { Film(p, 1, 2, 11.5, 9.5); badge::Cross(p); });
  Add(m, "DELETE", [](Painter& p) { Trash(p); });
  Add(m, "HEART", [](Painter& p) { Heart(p); });
  Add(m, "REMOVE_FILE", [](Painter& p) { Film(p, 1, 2, 11.5, 9.5); badge::Minus(p); });
  Add(m, "REMOVE_TAG", [](Painter& p) { TagShape(p, kBlue, 1, 2, 12, 8.5); badge::Minus(p); });
  Add(m, "EDIT", Pencil);
  Add(m, "PLAY_SHOW", [](Painter& p) { PlayDisc(p); });
  Add(m, "SHUFFLE", [](Painter& p) { Shuffle(p); });
  Add(m, "SHOW_FILES", [](Painter& p) { Film(p); });
  Add(m, "SHOW_SEGS", [](Painter& p) { Segment(p); });
  Add(m, "SEGS_IN_FILES", SegsInFiles);
  Add(m, "SELECT_ALL", [](Painter& p) { Checkboxes(p, 0); });
  Add(m, "SELECT_NONE", [](Painter& p) { Checkboxes(p, 1); });
  Add(m, "SELECT_INVERSE", [](Painter& p) { Checkboxes(p, 2); });
  Add(m, "INFO", [](Painter& p) { Lettered(p, kBlue, "i"); });
  Add(m, "BULB", Bulb);
  Add(m, "HELP", [](Painter& p) { Lettered(p, kPurple, "?"); });
  Add(m, "FORUM", Bubbles);
  Add(m, "BLOG", Blog);
  Add(m, "TV", Tv);
  Add(m, "UI-ALTERNATE", [](Painter& p) { Layout(p, true); });
  Add(m, "UI-STANDARD", [](Painter& p) { Layout(p, false); });
  Add(m, "ALL_DISKS", [](Painter& p) { Drive(p, 1.5, kSlate, kGreen); Drive(p, 8, kSlate, kRed); });
  Add(m, "ONLINE_DISKS", [](Painter& p) { Drive(p, 4.5); badge::Check(p, 12, 12, 3.6); });
  Add(m, "OFFLINE_DISKS", [](Painter& p) { Drive(p, 4.5, kSlate, kRed); badge::Cross(p, 12, 12, 3.6); });
  Add(m, "HISTORY", [](Painter& p) { Clock(p); });
  Add(m, "SEGMENT_FROM_FILE", SegsInFiles);
  Add(m, "FILE", [](Painter& p) { Film(p); });
  Add(m, "SEGMENT", [](Painter& p) { Segment(p); });
  // library tree
  Add(m, "TAG", [](Painter& p) { TagShape(p, kBlue); });
  Add(m, "CATEGORY", [](Painter& p) {
    TagShape(p, kGold, 3, 1.5, 12, 8);
    TagShape(p, kPurple, 1, 6.5, 12, 8);
  });
  Add(m, "FOLDERCLOSED", [](Painter& p) { Folder(p, false); });
  Add(m, "FOLDEROPEN", [](Painter& p) { Folder(p, true); });
  Add(m, "PLAYLIST", [](Painter& p) { Playlist(p); });
  Add(m, "VIEW", [](Painter& p) { Eye(p); });
  Add(m, "LINK", [](Painter& p) { Chain(p); });
  Add(m, "AKA", [](Painter& p) { Chain(p, kPurple); });
  Add(m, "UNPLAYABLE", [](Painter& p) {
    Film(p, 1, 1.5, 12, 10);
    cairo_save(p.cr());
    cairo_translate(p.cr(), 7.2, 7.2);
    cairo_scale(p.cr(), 0.55, 0.55);
    NoDrop(p);
    cairo_restore(p.cr());
  });
  Add(m, "UNTAGGED", [](Painter& p) {
    p.Part(Hex(0xD5DCE4), [&] { p.Poly({{1.5, 8}, {6, 3.5}, {14.5, 3.5}, {14.5, 12.5}, {6, 12.5}}); Hole(p, 6.3, 8, 1.2); });
    p.Flat(kSlate, [&] { p.Text("?", 10.8, 8.2, 7.5); });
  });
  auto folderWith = [](IconFn inner) {
    return [inner](Painter& p) {
      Folder(p, false);
      cairo_save(p.cr());
      cairo_translate(p.cr(), 7.2, 6.8);
      cairo_scale(p.cr(), 0.55, 0.55);
      inner(p);
      cairo_restore(p.cr());
    };
  };
  Add(m, "PLFOLDER", folderWith([](Painter& p) { Playlist(p); }));
  Add(m, "SEARCHFOLDER", folderWith([](Painter& p) { Magnifier(p); }));
  Add(m, "VIEWFOLDER", folderWith([](Painter& p) { Eye(p); }));
  Add(m, "MEDIAFOLDER", [](Painter& p) { Drive(p, 1.5); Drive(p, 8); });
  Add(m, "DISK", [](Painter& p) { Drive(p); });
  Add(m, "DISK-CD", [](Painter& p) { Disc(p); });
  Add(m, "DISK-STICK", Stick);
  Add(m, "DATEFOLDER", folderWith([](Painter& p) { Calendar(p); }));
  Add(m, "DATE", [](Painter& p) { Calendar(p); });
  Add(m, "RATINGFOLDER", folderWith([](Painter& p) { StarShape(p, kGold); }));
  Add(m, "STAR", [](Painter& p) { StarShape(p, kGold); });
  Add(m, "UNSTAR", UnstarShape);
  Add(m, "FORMATS", folderWith([](Painter& p) { Gear(p); }));
  Add(m, "COG", [](Painter& p) { Gear(p); });
  // tree state images
  Add(m, "1", [](Painter& p) { p.Part(kSlate, [&] { p.Poly({{6, 4}, {11, 8}, {6, 12}}); }); });
  Add(m, "2", [](Painter& p) { p.Part(kBlue, [&] { p.Poly({{4, 6}, {12, 6}, {8, 11}}); }); });
  Add(m, "3", [](Painter& p) { p.Flat(kSlate.Lighter(0.3), [&] { p.Circle(8, 8, 1.6); }); });
  // drag icons
  Add(m, "TAGFILE", [](Painter& p) { TagShape(p, kBlue, 1, 2, 12, 8.5); badge::Plus(p); });
  Add(m, "UNTAGFILE", [](Painter& p) { TagShape(p, kBlue, 1, 2, 12, 8.5); badge::Minus(p); });
  Add(m, "PLACE_IN", [](Painter& p) { Folder(p, true); badge::Arrow(p); });
  Add(m, "REMOVE_FROM", [](Painter& p) { Folder(p, true); badge::Arrow(p, 12, 12, 4, true); });
  Add(m, "RATE", [](Painter& p) { StarShape(p, kGold, 7, 7, 6.5); badge::Plus(p); });
  Add(m, "UNRATE", [](Painter& p) { StarShape(p, kGold, 7, 7, 6.5); badge::Minus(p); });
  Add(m, "PL_ADD", [](Painter& p) { Playlist(p); badge::Plus(p, 12, 4.5, 3.6); });
  Add(m, "PL_REMOVE", [](Painter& p) { Playlist(p); badge::Minus(p, 12, 4.5, 3.6); });
  Add(m, "MOVETAG", [](Painter& p) { TagShape(p, kBlue, 1, 2, 12, 8.5); badge::Arrow(p); });
  Add(m, "MOVEFOLDER", [](Painter& p) { Folder(p, false); badge::Arrow(p); });
  Add(m, "MOVEVIEW", [](Painter& p) { Eye(p); badge::Arrow(p); });
  Add(m, "FILTERIN", [](Painter& p) { Funnel(p); badge::Plus(p); });
  Add(m, "FILTEROUT", [](Painter& p) { Funnel(p); badge::Minus(p); });
  Add(m, "FILES", Files);
  Add(m, "APPENDFILES", [](Painter& p) { Files(p); badge::Plus(p); });
  Add(m, "OPENFILE", [](Painter& p) { Film(p, 1, 2, 11.5, 9.5); badge::Arrow(p); });
  Add(m, "LINKTAG", [](Painter& p) { TagShape(p, kBlue, 1, 1.5, 11, 8); cairo_save(p.cr());
                                     cairo_translate(p.cr(), 6, 6); cairo_scale(p.cr(), 0.62, 0.62); Chain(p);
                                     cairo_restore(p.cr()); });
  Add(m, "SORTED", [](Painter& p) { Sorted(p, false); });
  Add(m, "CANCEL_SORT", [](Painter& p) { Sorted(p, true); });
  Add(m, "DRIVE", Hdd);
  Add(m, "NETSHARE", [](Painter& p) { Globe(p, 8, 6.5, 5.5); Drive(p, 8.5); });
  Add(m, "RAMDISK", Chip);
  Add(m, "FLASH", Stick);
  Add(m, "DVD", [](Painter& p) { Disc(p); });
  Add(m, "LOGO", Reel);
  Add(m, "NO_DROP", NoDrop);
  // control box
  auto glyph = [](IconFn fn) { return fn; };
  Add(m, "MIN", glyph([](Painter& p) { p.Part(kPaper, [&] { p.RoundRect(3, 10.5, 10, 2.6, 0.8); }); }));
  Add(m, "MAX", glyph([](Painter& p) { Window(p, 2.5, 2.5, 11, 11, kSlate); }));
  Add(m, "RESTORE", glyph([](Painter& p) { Window(p, 5, 2, 9, 8, kSlate); Window(p, 2, 6, 9, 8, kSlate); }));
  Add(m, "CLOSE", glyph([](Painter& p) {
    p.Part(kRed, [&] { p.Bar(3.5, 3.5, 12.5, 12.5, 2.8); p.Bar(3.5, 12.5, 12.5, 3.5, 2.8); });
  }));
  Add(m, "COMPACT", glyph([](Painter& p) {
    p.Part(kFilm, [&] { p.RoundRect(3, 4, 10, 8.5, 1); });
    p.Flat(kBlue.Lighter(0.3), [&] { p.Rect(4.2, 5.2, 7.6, 4.6); });
    p.Flat(kWhite, [&] { p.Poly({{7, 10.6}, {9, 11.4}, {7, 12.2}}); });
  }));
  Add(m, "LIBRARY", glyph([](Painter& p) {
    p.Part(kPaper, [&] { p.RoundRect(1.5, 2.5, 13, 11, 1); });
    p.Flat(kSlate.Lighter(0.2), [&] { p.Rect(2.5, 3.5, 3.5, 9); });
    p.Flat(kBlue.Lighter(0.3), [&] { p.Rect(7, 3.5, 6.5, 5); });
    p.Flat(kGold.Lighter(0.3), [&] { p.Rect(7, 9.5, 6.5, 3); });
  }));
  Add(m, "FULLSCREEN", glyph([](Painter& p) {
    p.Part(kPaper, [&] {
      p.Poly({{1.5, 1.5}, {6.5, 1.5}, {4.8, 3.2}, {7, 5.4}, {5.4, 7}, {3.2, 4.8}, {1.5, 6.5}});
      p.Poly({{14.5, 1.5}, {14.5, 6.5}, {12.8, 4.8}, {10.6, 7}, {9, 5.4}, {11.2, 3.2}, {9.5, 1.5}});
      p.Poly({{1.5, 14.5}, {1.5, 9.5}, {3.2, 11.2}, {5.4, 9}, {7, 10.6}, {4.8, 12.8}, {6.5, 14.5}});
      p.Poly({{14.5, 14.5}, {9.5, 14.5}, {11.2, 12.8}, {9, 10.6}, {10.6, 9}, {12.8, 11.2}, {14.5, 9.5}});
    });
  }));
  // on-screen display
  Add(m, "OV_PLAY", [](Painter& p) { Triangle(p, 3.5, 10, true, kGreen); });
  Add(m, "OV_PAUSE", [](Painter& p) { PauseBars(p); });
  Add(m, "OV_JUMP_BACK", [](Painter& p) { Triangle(p, 1, 7, false, kBlue); Triangle(p, 8, 7, false, kBlue); });
  Add(m, "OV_JUMP_FORWARD", [](Painter& p) { Triangle(p, 1, 7, true, kBlue); Triangle(p, 8, 7, true, kBlue); });
  Add(m, "OV_VOL_UP", [](Painter& p) { Speaker(p); badge::Plus(p, 12, 8, 3.6); });
  Add(m, "OV_VOL_DOWN", [](Painter& p) { Speaker(p); badge::Minus(p, 12, 8, 3.6); });
  Add(m, "OV_SET_A", [](Painter& p) { Marker(p, "A", true); });
  Add(m, "OV_SET_B", [](Painter& p) { Marker(p, "B", false); });
  Add(m, "OV_AB_INIT", [](Painter& p) { Loop(p, false); });
  Add(m, "OV_AB_CANCEL", [](Painter& p) { Loop(p, true); });
  Add(m, "OV_ILLEGAL", NoDrop);
  Add(m, "OV_STAR", [](Painter& p) { StarShape(p, kGold); });
  Add(m, "OV_TAG", [](Painter& p) { TagShape(p, kBlue); });
  Add(m, "OV_SAVE", [](Painter& p) { Floppy(p); });
  return m;
}

// View-spec history keys: the kind of the step with the operator as a badge.
void PaintViewSpec(Painter& p, char op, char kind) {
  cairo_save(p.cr());
  if (op != '_') {
    cairo_translate(p.cr(), -0.5, -0.5);
    cairo_scale(p.cr(), 0.85, 0.85);
  }
  switch (kind) {
    case 'T': TagShape(p, kBlue); break;
    case 'S': Magnifier(p); break;
    case 'D': Calendar(p); break;
    case 'C': Gear(p); break;
    case 'R': StarShape(p, kGold); break;
    default: Drive(p); break;
  }
  cairo_restore(p.cr());
  if (op == '&') badge::Plus(p, 11.8, 11.8, 3.9);
  if (op == '+') badge::Funnel(p, 11.8, 11.8, 3.9);
  if (op == '-') badge::Minus(p, 11.8, 11.8, 3.9);
}

}  // namespace

void PaintReel(Painter& p, double cx, double cy, double r, const Rgb& colour) {
  p.Part(colour, [&] {
    p.Circle(cx, cy, r);
    for (int i = 0; i < 5; ++i) {
      const double a = -M_PI / 2 + i * 2 * M_PI / 5;
      Hole(p, cx + r * 0.55 * std::cos(a), cy + r * 0.55 * std::sin(a), r * 0.22);
    }
    Hole(p, cx, cy, r * 0.12);
  });
  p.Flat(pal::kWhite, [&] {
    cairo_new_sub_path(p.cr());
    cairo_arc(p.cr(), cx, cy, r * 0.92, M_PI * 1.05, M_PI * 1.45);
    cairo_arc_negative(p.cr(), cx, cy, r * 0.8, M_PI * 1.45, M_PI * 1.05);
    cairo_close_path(p.cr());
  }, 0.5);
}

bool PaintIcon(cairo_t* cr, const std::string& key, double pixelSize) {
  static const std::map<std::string, IconFn> table = BuildTable();
  Painter p(cr, pixelSize);
  if (key.size() == 2 && std::string("_&+-").find(key[0]) != std::string::npos &&
      std::string("TSDCRM").find(key[1]) != std::string::npos) {
    PaintViewSpec(p, key[0], key[1]);
    return true;
  }
  auto it = table.find(key);
  if (it == table.end()) return false;
  it->second(p);
  return true;
}
