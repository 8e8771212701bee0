#include "Painter.h"

#include <cmath>

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min(r, std::min(w, h) / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

PangoLayout* TextLayout(cairo_t* cr, const std::string& text, const char* family, double size, bool bold) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family(font, family);
  pango_font_description_set_weight(font, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, text.c_str(), -1);
  pango_font_description_free(font);
  return layout;
}

void FillVertical(cairo_t* cr, const Rgb& top, const Rgb& bottom, double y0, double y1) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

Painter::Painter(cairo_t* cr, double pixelSize, double design)
    : cr_(cr), scale_(pixelSize / design), design_(design) {
  // One device pixel of outline on small pictures, a little more on large ones.
  const double device = pixelSize <= 16 ? 1.0 : pixelSize <= 24 ? 1.25 : 1.5;
  outline_ = device / scale_;
  cairo_scale(cr_, scale_, scale_);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
  cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
}

cairo_pattern_t* Painter::Gradient(const Rgb& c) const {
  double x1, y1, x2, y2;
  cairo_fill_extents(cr_, &x1, &y1, &x2, &y2);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y1, 0, y2);
  const Rgb top = c.Lighter(0.35);
  const Rgb bottom = c.Darker(0.08);
  cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
  return g;
}

void Painter::Part(const Rgb& colour, const PathFn& path, double alpha) {
  cairo_new_path(cr_);
  path();
  cairo_set_line_width(cr_, outline_ * 2);
  cairo_set_source_rgba(cr_, pal::kInk.r, pal::kInk.g, pal::kInk.b, 0.85 * alpha);
  cairo_stroke_preserve(cr_);
  cairo_pattern_t* g = Gradient(colour);
  cairo_set_source(cr_, g);
  if (alpha < 1.0) {
    cairo_save(cr_);
    cairo_clip(cr_);
    cairo_paint_with_alpha(cr_, alpha);
    cairo_restore(cr_);
  } else {
    cairo_fill(cr_);
  }
  cairo_pattern_destroy(g);
  cairo_new_path(cr_);
}

void Painter::Flat(const Rgb& c, const PathFn& path, double alpha) {
  cairo_new_path(cr_);
  path();
  cairo_set_source_rgba(cr_, c.r, c.g, c.b, alpha);
  cairo_fill(cr_);
}

void Painter::Stroke(const Rgb& c, double width, const PathFn& path, double alpha) {
  cairo_new_path(cr_);
  path();
  cairo_set_line_width(cr_, width);
  cairo_set_source_rgba(cr_, c.r, c.g, c.b, alpha);
  cairo_stroke(cr_);
}

void Painter::Rect(double x, double y, double w, double h) { cairo_rectangle(cr_, x, y, w, h); }

void Painter::RoundRect(double x, double y, double w, double h, double r) { RoundRectPath(cr_, x, y, w, h, r); }

void Painter::Circle(double cx, double cy, double r) {
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, cx, cy, r, 0, 2 * M_PI);
  cairo_close_path(cr_);
}

void Painter::Ellipse(double cx, double cy, double rx, double ry) {
  cairo_save(cr_);
  cairo_translate(cr_, cx, cy);
  cairo_scale(cr_, rx, ry);
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
  cairo_close_path(cr_);
  cairo_restore(cr_);
}

void Painter::Poly(std::initializer_list<std::pair<double, double>> points) {
  bool first = true;
  for (const auto& [x, y] : points) {
    if (first) cairo_move_to(cr_, x, y); else cairo_line_to(cr_, x, y);
    first = false;
  }
  cairo_close_path(cr_);
}

void Painter::Star(double cx, double cy, double outer, double inner, int points, double rotation) {
  for (int i = 0; i < points * 2; ++i) {
    const double a = (rotation + i * 180.0 / points) * M_PI / 180.0;
    const double r = i % 2 == 0 ? outer : inner;
    if (i == 0) cairo_move_to(cr_, cx + r * std::cos(a), cy + r * std::sin(a));
    else cairo_line_to(cr_, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr_);
}

void Painter::Bar(double x1, double y1, double x2, double y2, double width) {
  const double dx = x2 - x1, dy = y2 - y1;
  const double len = std::hypot(dx, dy);
  const double nx = -dy / len * width / 2, ny = dx / len * width / 2;
  cairo_move_to(cr_, x1 + nx, y1 + ny);
  cairo_line_to(cr_, x2 + nx, y2 + ny);
  cairo_line_to(cr_, x2 - nx, y2 - ny);
  cairo_line_to(cr_, x1 - nx, y1 - ny);
  cairo_close_path(cr_);
}

void Painter::Text(const std::string& text, double cx, double cy, double size, bool bold, const char* family) {
  PangoLayout* layout = TextLayout(cr_, text, family, size, bold);
  PangoRectangle ink;
  pango_layout_get_extents(layout, &ink, nullptr);
  const double w = ink.width / double(PANGO_SCALE), h = ink.height / double(PANGO_SCALE);
  const double x = ink.x / double(PANGO_SCALE), y = ink.y / double(PANGO_SCALE);
  cairo_move_to(cr_, cx - w / 2 - x, cy - h / 2 - y);
  pango_cairo_layout_path(cr_, layout);
  g_object_unref(layout);
}

namespace badge {

namespace {
void Disc(Painter& p, const Rgb& c, double cx, double cy, double r) {
  p.Part(c, [&] { p.Circle(cx, cy, r); });
}
}  // namespace

void Plus(Painter& p, double cx, double cy, double r) {
  Disc(p, pal::kGreen, cx, cy, r);
  const double a = r * 0.6, t = r * 0.36;
  p.Flat(pal::kWhite, [&] { p.Rect(cx - a, cy - t / 2, 2 * a, t); p.Rect(cx - t / 2, cy - a, t, 2 * a); });
}

void Minus(Painter& p, double cx, double cy, double r) {
  Disc(p, pal::kRed, cx, cy, r);
  const double a = r * 0.6, t = r * 0.36;
  p.Flat(pal::kWhite, [&] { p.Rect(cx - a, cy - t / 2, 2 * a, t); });
}

void Cross(Painter& p, double cx, double cy, double r) {
  Disc(p, pal::kRed, cx, cy, r);
  const double a = r * 0.45, t = r * 0.36;
  p.Flat(pal::kWhite, [&] { p.Bar(cx - a, cy - a, cx + a, cy + a, t); p.Bar(cx - a, cy + a, cx + a, cy - a, t); });
}

void Check(Painter& p, double cx, double cy, double r) {
  Disc(p, pal::kGreen, cx, cy, r);
  p.Stroke(pal::kWhite, r * 0.34, [&] {
    cairo_move_to(p.cr(), cx - r * 0.5, cy + r * 0.02);
    cairo_line_to(p.cr(), cx - r * 0.12, cy + r * 0.42);
    cairo_line_to(p.cr(), cx + r * 0.52, cy - r * 0.4);
  });
}

void Arrow(Painter& p, double cx, double cy, double r, bool out) {
  Disc(p, out ? pal::kOrange : pal::kBlue, cx, cy, r);
  const double d = out ? -1 : 1;
  p.Flat(pal::kWhite, [&] {
    p.Poly({{cx - r * 0.55, cy - r * 0.2 * d}, {cx, cy + r * 0.55 * d}, {cx + r * 0.55, cy - r * 0.2 * d}});
    p.Rect(cx - r * 0.17, out ? cy - r * 0.05 : cy - r * 0.6, r * 0.34, r * 0.65);
  });
}

void Funnel(Painter& p, double cx, double cy, double r) {
  Disc(p, pal::kBlue, cx, cy, r);
  p.Flat(pal::kWhite, [&] {
    p.Poly({{cx - r * 0.6, cy - r * 0.5}, {cx + r * 0.6, cy - r * 0.5}, {cx + r * 0.12, cy + r * 0.05},
            {cx + r * 0.12, cy + r * 0.6}, {cx - r * 0.12, cy + r * 0.45}, {cx - r * 0.12, cy + r * 0.05}});
  });
}

}  // namespace badge
