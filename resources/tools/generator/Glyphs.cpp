#include "Glyphs.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

namespace {

constexpr double kBaseline = 800;  // design y of the baseline (y grows downwards)
constexpr double kW = 95;          // stroke weight of the pictograms

using Pt = std::pair<double, double>;

// Path builder over a scratch context; everything is a closed contour.
class Pen {
 public:
  explicit Pen(cairo_t* cr) : cr_(cr) {}
  cairo_t* cr() const { return cr_; }

  void Poly(std::vector<Pt> pts, bool hole = false) {
    double area = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
      const Pt& a = pts[i];
      const Pt& b = pts[(i + 1) % pts.size()];
      area += a.first * b.second - b.first * a.second;
    }
    // Positive area is clockwise on screen (y down): solid parts; holes the other way.
    if ((area > 0) == hole) std::reverse(pts.begin(), pts.end());
    cairo_move_to(cr_, pts[0].first, pts[0].second);
    for (size_t i = 1; i < pts.size(); ++i) cairo_line_to(cr_, pts[i].first, pts[i].second);
    cairo_close_path(cr_);
  }
  void Rect(double x, double y, double w, double h, bool hole = false) {
    Poly({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, hole);
  }
  void Circle(double cx, double cy, double r, bool hole = false) {
    cairo_new_sub_path(cr_);
    if (hole) cairo_arc_negative(cr_, cx, cy, r, 2 * M_PI, 0);
    else cairo_arc(cr_, cx, cy, r, 0, 2 * M_PI);
    cairo_close_path(cr_);
  }
  void Ring(double cx, double cy, double r, double w = kW) {
    Circle(cx, cy, r);
    Circle(cx, cy, r - w, true);
  }
  void RoundRect(double x, double y, double w, double h, double r, bool hole = false) {
    cairo_new_sub_path(cr_);
    if (!hole) {
      cairo_arc(cr_, x + w - r, y + r, r, -M_PI / 2, 0);
      cairo_arc(cr_, x + w - r, y + h - r, r, 0, M_PI / 2);
      cairo_arc(cr_, x + r, y + h - r, r, M_PI / 2, M_PI);
      cairo_arc(cr_, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    } else {
      cairo_arc_negative(cr_, x + r, y + r, r, 3 * M_PI / 2, M_PI);
      cairo_arc_negative(cr_, x + r, y + h - r, r, M_PI, M_PI / 2);
      cairo_arc_negative(cr_, x + w - r, y + h - r, r, M_PI / 2, 0);
      cairo_arc_negative(cr_, x + w - r, y + r, r, 0, -M_PI / 2);
    }
    cairo_close_path(cr_);
  }
  // A frame of width w around the box.
  void Frame(double x, double y, double w, double h, double weight, double r = 0) {
    if (r > 0) {
      RoundRect(x, y, w, h, r);
      RoundRect(x + weight, y + weight, w - 2 * weight, h - 2 * weight, std::max(1.0, r - weight), true);
    } else {
      Rect(x, y, w, h);
      Rect(x + weight, y + weight, w - 2 * weight, h - 2 * weight, true);
    }
  }
  void Bar(double x1, double y1, double x2, double y2, double w = kW, bool hole = false) {
    const double dx = x2 - x1, dy = y2 - y1, len = std::hypot(dx, dy);
    const double nx = -dy / len * w / 2, ny = dx / len * w / 2;
    Poly({{x1 + nx, y1 + ny}, {x2 + nx, y2 + ny}, {x2 - nx, y2 - ny}, {x1 - nx, y1 - ny}}, hole);
  }
  // An annular band from angle a1 to a2 (degrees, clockwise on screen).
  void Arc(double cx, double cy, double r, double a1, double a2, double w = kW) {
    const double t1 = a1 * M_PI / 180, t2 = a2 * M_PI / 180;
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, cx, cy, r, t1, t2);
    cairo_arc_negative(cr_, cx, cy, r - w, t2, t1);
    cairo_close_path(cr_);
  }
  void Triangle(double cx, double cy, double size, double angleDeg, bool hole = false) {
    std::vector<Pt> pts;
    for (int i = 0; i < 3; ++i) {
      const double a = (angleDeg + i * 120) * M_PI / 180;
      pts.push_back({cx + size * std::cos(a), cy + size * std::sin(a)});
    }
    Poly(pts, hole);
  }
  void Star(double cx, double cy, double ro, double ri) {
    std::vector<Pt> pts;
    for (int i = 0; i < 10; ++i) {
      const double a = (-90 + i * 36) * M_PI / 180;
      const double r = i % 2 ? ri : ro;
      pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    Poly(pts);
  }

 private:
  cairo_t* cr_;
};

// ---- shared pictograms ------------------------------------------------------

void Folder(Pen& p, bool open) {
  p.Poly({{120, 220}, {400, 220}, {470, 300}, {880, 300}, {880, 780}, {120, 780}});
  if (open) {
    p.Poly({{215, 430}, {960, 430}, {860, 780}, {120, 780}});
    p.Poly({{190, 395}, {980, 395}, {975, 420}, {185, 420}}, false);
  } else {
    p.Rect(120, 390, 760, 390);
  }
}

void Arrow(Pen& p, bool right) {
  const double d = right ? 1 : -1, c = 500;
  p.Poly({{c + 380 * d, 500}, {c + 20 * d, 140}, {c + 20 * d, 360}, {c - 360 * d, 360}, {c - 360 * d, 640},
          {c + 20 * d, 640}, {c + 20 * d, 860}});
}

void Magnifier(Pen& p, double cx = 420, double cy = 420, double r = 290) {
  p.Ring(cx, cy, r, 110);
  p.Bar(cx + r * 0.66, cy + r * 0.66, cx + r * 1.6, cy + r * 1.6, 150);
}

void Gear(Pen& p, double cx = 500, double cy = 500, double r = 420) {
  std::vector<Pt> pts;
  const int teeth = 8;
  for (int i = 0; i < teeth * 4; ++i) {
    const double a = (i - 0.5) * M_PI * 2 / (teeth * 4);
    const double rr = (i % 4 == 0 || i % 4 == 1) ? r : r * 0.76;
    pts.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a)});
  }
  p.Poly(pts);
  p.Circle(cx, cy, r * 0.33, true);
}

void Funnel(Pen& p) {
  p.Poly({{110, 160}, {750, 160}, {500, 480}, {500, 840}, {360, 760}, {360, 480}});
}

void Plus(Pen& p, double cx, double cy, double a, double w = kW + 10) {
  p.Rect(cx - a, cy - w / 2, 2 * a, w);
  p.Rect(cx - w / 2, cy - a, w, (a - w / 2));
  p.Rect(cx - w / 2, cy + w / 2, w, (a - w / 2));
}

void Minus(Pen& p, double cx, double cy, double a, double w = kW + 10) { p.Rect(cx - a, cy - w / 2, 2 * a, w); }

void Tag(Pen& p, double x = 90, double y = 250, double w = 820, double h = 500) {
  p.Poly({{x, y + h / 2}, {x + h / 2, y}, {x + w, y}, {x + w, y + h}, {x + h / 2, y + h}});
  p.Circle(x + h / 2 + 10, y + h / 2, 70, true);
}

void FilmFrame(Pen& p, double x = 110, double y = 200, double w = 780, double h = 600) {
  p.Frame(x, y, w, h, 130, 40);
  for (double yy = y + 40; yy + 60 < y + h - 20; yy += 110) {
    p.Rect(x + 35, yy, 60, 60, true);
    p.Rect(x + w - 95, yy, 60, 60, true);
  }
}

void Brackets(Pen& p, double x1, double x2, double y1 = 250, double y2 = 750) {
  p.Poly({{x1, y1}, {x1 + 200, y1}, {x1 + 200, y1 + 90}, {x1 + 95, y1 + 90}, {x1 + 95, y2 - 90},
          {x1 + 200, y2 - 90}, {x1 + 200, y2}, {x1, y2}});
  p.Poly({{x2, y1}, {x2 - 200, y1}, {x2 - 200, y1 + 90}, {x2 - 95, y1 + 90}, {x2 - 95, y2 - 90},
          {x2 - 200, y2 - 90}, {x2 - 200, y2}, {x2, y2}});
}

void Drive(Pen& p, double y, bool solid) {
  if (solid) {
    p.RoundRect(110, y, 780, 300, 70);
    p.Rect(200, y + 190, 300, 45, true);
    p.Circle(770, y + 200, 40, true);
  } else {
    p.Frame(110, y, 780, 300, 70, 70);
  }
}

void ListLines(Pen& p, int n = 3) {
  for (int i = 0; i < n; ++i) p.Rect(110, 230 + i * 190, 460, 95);
}

void Chain(Pen& p, double cx, double cy) {
  auto link = [&](double x, double y) {
    cairo_save(p.cr());
    cairo_translate(p.cr(), x, y);
    cairo_rotate(p.cr(), -M_PI / 4);
    p.RoundRect(-260, -130, 520, 260, 130);
    p.RoundRect(-170, -45, 340, 90, 45, true);
    cairo_restore(p.cr());
  };
  link(cx - 150, cy + 150);
  link(cx + 150, cy - 150);
}

// ---- grid state marks (a 104 x 79 cell at 96 pixels to the em) ----------------

constexpr double kCellAdvance = 1083;
constexpr double kTileX = 21, kTileW = 1042, kTileH = 781;
constexpr double kTileY = 500 - kTileH / 2;  // centred on the middle of the line box

void Corners(Pen& p, double inset, double len, double w) {
  const double x1 = kTileX + inset, y1 = kTileY + inset, x2 = kTileX + kTileW - inset, y2 = kTileY + kTileH - inset;
  for (int i = 0; i < 4; ++i) {
    const double x = i % 2 ? x2 : x1, y = i / 2 ? y2 : y1;
    const double sx = i % 2 ? -1 : 1, sy = i / 2 ? -1 : 1;
    p.Poly({{x, y}, {x + sx * len, y}, {x + sx * len, y + sy * w}, {x + sx * w, y + sy * w},
            {x + sx * w, y + sy * len}, {x, y + sy * len}});
  }
}

void TileFrame(Pen& p, double inset, double w) {
  p.Frame(kTileX + inset, kTileY + inset, kTileW - 2 * inset, kTileH - 2 * inset, w);
}

void OfflineMark(Pen& p) {
  const double cx = kTileX + kTileW - 112, cy = kTileY + kTileH - 112;
  p.Ring(cx, cy, 80, 28);
  p.Bar(cx - 52, cy - 52, cx + 52, cy + 52, 28);
}

// ---- the character table ------------------------------------------------------

using GlyphFn = std::function<void(Pen&)>;

std::map<std::string, std::pair<double, GlyphFn>> Table() {
  std::map<std::string, std::pair<double, GlyphFn>> t;
  auto add = [&](const std::string& c, GlyphFn fn, double adv = 1000) { t[c] = {adv, std::move(fn)}; };
  // grid cell codes: marks and frames that leave the thumbnail visible
  add("5", [](Pen& p) { Corners(p, 6, 120, 22); }, kCellAdvance);
  add("3", [](Pen& p) { Corners(p, 6, 120, 22); }, kCellAdvance);
  add("4", [](Pen& p) { TileFrame(p, 0, 70); }, kCellAdvance);
  add("2", [](Pen& p) { TileFrame(p, 0, 70); }, kCellAdvance);
  add("9", [](Pen& p) { Corners(p, 6, 120, 22); OfflineMark(p); }, kCellAdvance);
  add("8", [](Pen& p) { TileFrame(p, 0, 70); OfflineMark(p); }, kCellAdvance);
  add("1", [](Pen& p) { TileFrame(p, 0, 40); TileFrame(p, 70, 22); }, kCellAdvance);
  add("0", [](Pen& p) { TileFrame(p, 0, 70); TileFrame(p, 100, 22); }, kCellAdvance);
  // carousel menu pictograms
  add("D", [](Pen& p) { Folder(p, true); });
  add("L", [](Pen& p) { Arrow(p, false); });
  add("M", [](Pen& p) { Arrow(p, true); });
  add("s", [](Pen& p) { Magnifier(p); });
  add("O", [](Pen& p) {
    p.Triangle(560, 500, 380, 0);
    p.Poly({{120, 170}, {220, 230}, {220, 770}, {120, 830}});
  });
  add("S", [](Pen& p) {
    p.Bar(100, 260, 380, 260);
    p.Bar(380, 260, 640, 740);
    p.Bar(640, 740, 760, 740);
    p.Bar(100, 740, 380, 740);
    p.Bar(380, 740, 640, 260);
    p.Bar(640, 260, 760, 260);
    p.Triangle(790, 260, 150, 0);
    p.Triangle(790, 740, 150, 0);
  });
  add("d", [](Pen& p) {
    p.Rect(100, 260 - kW / 2, 660, kW);
    p.Rect(100, 740 - kW / 2, 660, kW);
    p.Triangle(790, 260, 150, 0);
    p.Triangle(790, 740, 150, 0);
  });
  add("o", [](Pen& p) { Gear(p); });
  add("F", [](Pen& p) {
    p.Arc(500, 530, 370, -60, 240, 110);
    p.RoundRect(445, 90, 110, 430, 55);
  });
  add("R", [](Pen& p) {
    p.Arc(520, 540, 340, -170, 130, 110);
    p.Triangle(230, 470, 180, 270);
  });
  add("I", [](Pen& p) { p.Ring(500, 500, 410, 90); Plus(p, 500, 500, 240); });
  add("C", [](Pen& p) { Funnel(p); Minus(p, 770, 650, 160); });
  add("B", [](Pen& p) { Funnel(p); Plus(p, 770, 650, 160); });
  add("u", [](Pen& p) {
    p.Poly({{200, 100}, {800, 100}, {800, 900}, {500, 680}, {200, 900}});
    p.Poly({{450, 220}, {550, 220}, {550, 320}, {650, 320}, {650, 420}, {550, 420}, {550, 520}, {450, 520},
            {450, 420}, {350, 420}, {350, 320}, {450, 320}}, true);
  });
  add("E", [](Pen& p) { Tag(p, 60, 150, 700, 440); Minus(p, 740, 760, 180); });
  add("K", [](Pen& p) {
    cairo_save(p.cr());
    cairo_translate(p.cr(), -60, 60);
    p.RoundRect(120, 420, 360, 260, 130);
    p.RoundRect(200, 505, 200, 90, 45, true);
    cairo_restore(p.cr());
    cairo_save(p.cr());
    cairo_translate(p.cr(), 60, -60);
    p.RoundRect(520, 320, 360, 260, 130);
    p.RoundRect(600, 405, 200, 90, 45, true);
    cairo_restore(p.cr());
    p.Bar(470, 150, 420, 290, 50);
    p.Bar(560, 850, 610, 710, 50);
  });
  add("G", [](Pen& p) { Chain(p, 500, 500); });
  add("N", [](Pen& p) { p.Ring(500, 500, 420, 90); p.Triangle(545, 500, 250, 0); });
  add("p", [](Pen& p) {
    p.Frame(90, 170, 820, 660, 70, 40);
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 3; ++c) p.RoundRect(200 + c * 210, 280 + r * 230, 180, 200, 20);
  });
  add("X", [](Pen& p) { ListLines(p); Plus(p, 750, 700, 170); });
  add("J", [](Pen& p) {
    p.Poly({{200, 300}, {800, 300}, {740, 900}, {260, 900}});
    for (int i = 0; i < 3; ++i) p.Rect(350 + i * 115, 400, 55, 400, true);
    p.RoundRect(130, 170, 740, 100, 30);
    p.Rect(400, 90, 200, 100);
  });
  add("k", [](Pen& p) {
    p.Ring(500, 500, 420, 90);
    p.Bar(330, 330, 670, 670, 120);
    p.Bar(330, 670, 670, 330, 120);
  });
  add("T", [](Pen& p) { FilmFrame(p, 60, 120, 640, 520); Minus(p, 760, 780, 170); });
  add("g", [](Pen& p) { FilmFrame(p); });
  add("h", [](Pen& p) { FilmFrame(p); Brackets(p, 330, 670, 360, 640); });
  add("i", [](Pen& p) { Brackets(p, 110, 890); p.RoundRect(330, 410, 340, 180, 40); });
  add("U", [](Pen& p) { Drive(p, 120, true); Drive(p, 560, false); });
  add("V", [](Pen& p) { Drive(p, 340, false); p.Bar(150, 150, 850, 850, 90); });
  add("W", [](Pen& p) { Drive(p, 340, true); });
  add("P", [](Pen& p) {
    cairo_new_sub_path(p.cr());
    cairo_move_to(p.cr(), 500, 110);
    cairo_curve_to(p.cr(), 780, 110, 930, 300, 910, 500);
    cairo_curve_to(p.cr(), 890, 640, 760, 620, 690, 640);
    cairo_curve_to(p.cr(), 610, 665, 640, 760, 640, 800);
    cairo_curve_to(p.cr(), 640, 870, 580, 900, 500, 900);
    cairo_curve_to(p.cr(), 250, 900, 90, 720, 90, 500);
    cairo_curve_to(p.cr(), 90, 280, 270, 110, 500, 110);
    cairo_close_path(p.cr());
    p.Circle(380, 560, 140, true);
    p.Circle(330, 330, 65, true);
    p.Circle(520, 260, 65, true);
    p.Circle(710, 350, 65, true);
  });
  add("Q", [](Pen& p) { p.Circle(380, 560, 128); });
  add("m", [](Pen& p) {
    p.Poly({{330, 200}, {850, 100}, {850, 230}, {330, 330}});
    p.Rect(330, 200, 90, 520);
    p.Rect(760, 110, 90, 510);
    p.Circle(270, 740, 130);
    p.Circle(700, 640, 130);
  });
  add("n", [](Pen& p) {
    p.Rect(470, 150, 90, 560);
    p.Poly({{470, 150}, {760, 290}, {760, 400}, {560, 310}});
    p.Circle(400, 740, 140);
    p.Bar(140, 140, 860, 860, 80);
  });
  add("e", [](Pen& p) {
    p.RoundRect(110, 110, 780, 780, 150);
    for (const auto& [x, y] : std::vector<Pt>{{300, 300}, {700, 300}, {500, 500}, {300, 700}, {700, 700}})
      p.Circle(x, y, 75, true);
  });
  add("Y", [](Pen& p) {
    p.Ring(500, 500, 420, 80);
    cairo_new_sub_path(p.cr());
    cairo_arc(p.cr(), 500, 500, 300, M_PI / 2, 3 * M_PI / 2);
    cairo_close_path(p.cr());
  });
  add("x", [](Pen& p) { p.Bar(170, 170, 830, 830, 150); p.Bar(170, 830, 830, 170, 150); });
  add("y", [](Pen& p) { p.Bar(140, 520, 390, 780, 150); p.Bar(390, 780, 880, 230, 150); });
  add("w", [](Pen& p) {
    p.Rect(200, 90, 600, 90);
    p.Rect(200, 820, 600, 90);
    p.Poly({{270, 180}, {730, 180}, {730, 260}, {560, 500}, {730, 740}, {730, 820}, {270, 820}, {270, 740},
            {440, 500}, {270, 260}});
    p.Poly({{350, 260}, {650, 260}, {500, 440}}, true);
    p.Poly({{500, 600}, {650, 760}, {350, 760}}, true);
  });
  add("<", [](Pen& p) { p.Triangle(430, 500, 380, 180); });
  add(">", [](Pen& p) { p.Triangle(570, 500, 380, 0); });
  add("(", [](Pen& p) { p.Triangle(500, 560, 400, 270); });
  add(")", [](Pen& p) { p.Triangle(500, 440, 400, 90); });
  add("v", [](Pen& p) {
    cairo_new_sub_path(p.cr());
    cairo_move_to(p.cr(), 60, 500);
    cairo_curve_to(p.cr(), 260, 170, 740, 170, 940, 500);
    cairo_curve_to(p.cr(), 740, 830, 260, 830, 60, 500);
    cairo_close_path(p.cr());
    p.Circle(500, 500, 210, true);
    p.Circle(500, 500, 120);
  });
  add("t", [](Pen& p) { Tag(p); });
  add("c", [](Pen& p) {
    p.RoundRect(110, 150, 780, 200, 30);
    p.Poly({{160, 380}, {840, 380}, {840, 860}, {160, 860}});
    p.RoundRect(380, 470, 240, 90, 45, true);
  });
  add("f", [](Pen& p) { Folder(p, false); });
  add("l", [](Pen& p) { ListLines(p); p.Triangle(740, 670, 200, 0); });
  add("a", [](Pen& p) { p.RoundRect(150, 150, 700, 700, 120); });
  return t;
}

std::string PathToSvg(cairo_path_t* path) {
  std::ostringstream s;
  s.precision(1);
  s << std::fixed;
  auto y = [](double v) { return kBaseline - v; };
  for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
    const cairo_path_data_t* d = &path->data[i];
    switch (d->header.type) {
      case CAIRO_PATH_MOVE_TO: s << "M" << d[1].point.x << " " << y(d[1].point.y) << " "; break;
      case CAIRO_PATH_LINE_TO: s << "L" << d[1].point.x << " " << y(d[1].point.y) << " "; break;
      case CAIRO_PATH_CURVE_TO:
        s << "C" << d[1].point.x << " " << y(d[1].point.y) << " " << d[2].point.x << " " << y(d[2].point.y)
          << " " << d[3].point.x << " " << y(d[3].point.y) << " ";
        break;
      case CAIRO_PATH_CLOSE_PATH: s << "Z "; break;
    }
  }
  return s.str();
}

}  // namespace

bool BuildGlyph(const std::string& character, GlyphOutline* out) {
  static const auto table = Table();
  auto it = table.find(character);
  if (it == table.end()) return false;
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(scratch);
  Pen pen(cr);
  it->second.second(pen);
  cairo_path_t* path = cairo_copy_path(cr);
  out->character = character;
  out->advance = it->second.first;
  out->svgPath = PathToSvg(path);
  cairo_path_destroy(path);
  cairo_destroy(cr);
  cairo_surface_destroy(scratch);
  return true;
}

void WriteGlyphJson(const std::vector<GlyphOutline>& glyphs, const std::string& path) {
  std::ofstream out(path);
  out << "[\n";
  for (size_t i = 0; i < glyphs.size(); ++i) {
    out << "  {\"char\": " << static_cast<int>(static_cast<unsigned char>(glyphs[i].character[0]))
        << ", \"advance\": " << glyphs[i].advance << ", \"path\": \"" << glyphs[i].svgPath << "\"}"
        << (i + 1 < glyphs.size() ? "," : "") << "\n";
  }
  out << "]\n";
}
