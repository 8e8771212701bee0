#include "Pictures.h"

#include "Icons.h"
#include "Painter.h"

#include <cmath>

namespace {

using namespace pal;

void Fill(cairo_t* cr, const Rgb& c, double alpha = 1) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void TextAt(cairo_t* cr, const std::string& text, double x, double y, double size, const Rgb& c, bool bold,
            const char* family = "DejaVu Sans", bool centre = false) {
  PangoLayout* layout = TextLayout(cr, text, family, size, bold);
  int w, h;
  pango_layout_get_pixel_size(layout, &w, &h);
  cairo_move_to(cr, centre ? x - w / 2.0 : x, y - h / 2.0);
  Fill(cr, c);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
}

// ---- thumbnails and tiles --------------------------------------------------------

void NoThumb(cairo_t* cr, int w, int h) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.27, 0.31, 0.37);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.16, 0.19, 0.24);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  // A faint empty film frame: there is no picture to show yet.
  cairo_save(cr);
  cairo_translate(cr, w / 2.0 - 24, h / 2.0 - 24);
  Painter p(cr, 48, 16);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  p.Flat(kWhite, [&] {
    p.RoundRect(1, 2.5, 14, 11, 1.2);
    p.Rect(3.4, 4, 9.2, 8);
    for (double y = 3.3; y < 12.5; y += 2.3) { p.Rect(1.6, y, 1.1, 1.1); p.Rect(13.3, y, 1.1, 1.1); }
  }, 0.22);
  cairo_restore(cr);
  TextAt(cr, "?", w / 2.0, h / 2.0, 17, kWhite.Mix(kSlate, 0.5), true, "DejaVu Sans", true);
}

// A dark red film frame struck through: the file would not play.
void Unplayable(cairo_t* cr, int w, int h) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.42, 0.16, 0.17);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.24, 0.08, 0.10);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  cairo_save(cr);
  cairo_translate(cr, w / 2.0 - 24, h / 2.0 - 24);
  Painter p(cr, 48, 16);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  p.Flat(kWhite, [&] {
    p.RoundRect(1, 2.5, 14, 11, 1.2);
    p.Rect(3.4, 4, 9.2, 8);
    for (double y = 3.3; y < 12.5; y += 2.3) { p.Rect(1.6, y, 1.1, 1.1); p.Rect(13.3, y, 1.1, 1.1); }
  }, 0.35);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
  cairo_set_line_width(cr, 4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, w / 2.0 - 17, h / 2.0 + 17);
  cairo_line_to(cr, w / 2.0 + 17, h / 2.0 - 17);
  cairo_stroke(cr);
}

void BlankTile(cairo_t* cr, int w, int h) {
  cairo_rectangle(cr, 0, 0, w, h);
  FillVertical(cr, skin::kLight, skin::kLight.Mix(skin::kPanel, 0.45), 0, h);
  cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
  Fill(cr, skin::kFrame, 0.6);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_translate(cr, w / 2.0 - 20, h / 2.0 - 20);
  Painter q(cr, 40, 16);
  q.Flat(skin::kFrame, [&] {
    q.Circle(8, 8, 7);
    for (int i = 0; i < 5; ++i) {
      const double a = -M_PI / 2 + i * 2 * M_PI / 5;
      cairo_new_sub_path(cr);
      cairo_arc_negative(cr, 8 + 3.9 * std::cos(a), 8 + 3.9 * std::sin(a), 1.5, 2 * M_PI, 0);
    }
  }, 0.35);
  cairo_restore(cr);
}

// ---- the logo -------------------------------------------------------------------

void Logo(cairo_t* cr, int w, int h) {
  // A reel with film unrolling under it, and the name.
  cairo_save(cr);
  cairo_translate(cr, w / 2.0 - 150, 18);
  Painter p(cr, 300, 16);
  p.SetOutline(0.09);
  // film strip curling out of the reel to the right
  p.Part(kFilm, [&] {
    cairo_move_to(cr, 8, 14.6);
    cairo_curve_to(cr, 12, 15.2, 15.5, 14.2, 17.5, 11.5);
    cairo_line_to(cr, 18.6, 12.6);
    cairo_curve_to(cr, 16.2, 15.8, 12, 17, 8, 16.2);
    cairo_close_path(cr);
  });
  p.Flat(kWhite, [&] {
    for (int i = 0; i < 6; ++i) {
      const double t = i / 6.0;
      const double x = 9 + t * 8.4, y = 15.35 - t * t * 3.2;
      p.Rect(x, y, 0.35, 0.3);
    }
  }, 0.8);
  PaintReel(p, 8, 8, 7.4, kBlue);
  cairo_restore(cr);
  TextAt(cr, "Reelwise II", w / 2.0 + 2, h - 52 + 2, 60, kInk, true, "DejaVu Sans", true);
  TextAt(cr, "Reelwise II", w / 2.0, h - 52, 60, kBlue.Darker(0.25), true, "DejaVu Sans", true);
}

// ---- stars and tickets -------------------------------------------------------

void Ticket(cairo_t* cr, int size, bool available) {
  Painter p(cr, size, 16);
  cairo_save(cr);
  cairo_translate(cr, 8, 8);
  cairo_rotate(cr, -0.3);
  cairo_translate(cr, -8, -8);
  const Rgb body = available ? kGold : Hex(0xB8C2CE);
  p.Part(body, [&] {
    p.RoundRect(1, 4.5, 14, 7.5, 0.8);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, 1, 8.25, 1.3, M_PI / 2, -M_PI / 2);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, 15, 8.25, 1.3, 3 * M_PI / 2, M_PI / 2);
  });
  p.Flat(kInk, [&] { for (double y = 5.3; y < 11.6; y += 1.2) p.Rect(10.9, y, 0.35, 0.6); }, 0.5);
  p.Flat(available ? kRed.Darker(0.1) : kSlate, [&] { p.Text("ADMIT", 6, 7.2, 2.0); p.Text("ONE", 6, 9.6, 2.0); });
  cairo_restore(cr);
  if (!available) badge::Cross(p, 12, 12, 3.6);
}

// ---- poster artwork -----------------------------------------------------------

void MovieFrame(cairo_t* cr, int w, int h) {
  // Film around a clear window at (9, 26, 160 x 106).
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_rectangle(cr, 9, 26 + 106, 160, -106);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.20, 0.22, 0.26);
  cairo_pattern_add_color_stop_rgb(g, 0.5, 0.11, 0.12, 0.15);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.20, 0.22, 0.26);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  // sprocket holes along both edges
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  for (double x = 6; x + 9 < w; x += 16.5) {
    cairo_new_path(cr);
    cairo_rectangle(cr, x, 7, 9, 11);
    cairo_rectangle(cr, x, h - 18, 9, 11);
    cairo_fill(cr);
  }
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_rectangle(cr, 8.5, 25.5, 161, 107);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void Clapperboard(cairo_t* cr, int w, int h) {
  Painter p(cr, w, 256);
  p.SetOutline(2.2);
  // board
  p.Part(Hex(0x1B2028), [&] { p.RoundRect(14, 78, 228, 166, 10); });
  p.Flat(Hex(0x1B2028), [&] { p.RoundRect(16, 100, 224, 142, 8); });
  // chalk lines between the text rows (the facts are written at x 30, y 100 to 200)
  p.Flat(kWhite, [&] {
    for (int i = 0; i < 5; ++i) p.Rect(24, 113 + i * 25, 208, 1.2);
  }, 0.18);
  // hinged stick, opened a little
  cairo_save(cr);
  cairo_translate(cr, 18, 74);
  cairo_rotate(cr, -0.22);
  p.Part(Hex(0x2B323D), [&] { p.Rect(0, -30, 226, 28); });
  cairo_rectangle(cr, 0, -30, 226, 28);
  cairo_clip(cr);
  for (int i = -1; i < 9; ++i) {
    cairo_move_to(cr, i * 30, -30);
    cairo_line_to(cr, i * 30 + 15, -30);
    cairo_line_to(cr, i * 30 + 30, -2);
    cairo_line_to(cr, i * 30 + 15, -2);
    cairo_close_path(cr);
  }
  Fill(cr, kWhite, 0.92);
  cairo_fill(cr);
  cairo_restore(cr);
  // fixed stripe on the board's top
  cairo_save(cr);
  p.Part(Hex(0x2B323D), [&] { p.Rect(14, 78, 228, 22); });
  cairo_rectangle(cr, 14, 78, 228, 22);
  cairo_clip(cr);
  for (int i = -1; i < 9; ++i) {
    cairo_move_to(cr, 14 + i * 30 + 15, 78);
    cairo_line_to(cr, 14 + i * 30 + 30, 78);
    cairo_line_to(cr, 14 + i * 30 + 15, 100);
    cairo_line_to(cr, 14 + i * 30, 100);
    cairo_close_path(cr);
  }
  Fill(cr, kWhite, 0.92);
  cairo_fill(cr);
  cairo_restore(cr);
  p.Part(kSlate.Lighter(0.3), [&] { p.Circle(24, 76, 5); });
}

// ---- message box icons ----------------------------------------------------------

void SystemIcon(cairo_t* cr, const std::string& id) {
  Painter p(cr, 32, 16);
  if (id == "32513") {
    p.Part(kRed, [&] { p.Circle(8, 8, 7); });
    p.Flat(kWhite, [&] { p.Bar(5.2, 5.2, 10.8, 10.8, 1.8); p.Bar(5.2, 10.8, 10.8, 5.2, 1.8); });
  } else if (id == "32514") {
    p.Part(kBlue, [&] { p.Circle(8, 8, 7); });
    p.Flat(kWhite, [&] { p.Text("?", 8, 8.2, 10.5); });
  } else if (id == "32515") {
    p.Part(kGold, [&] { p.Poly({{8, 1}, {15.2, 14.2}, {0.8, 14.2}}); });
    p.Flat(kInk, [&] { p.Text("!", 8, 9.6, 9.5); });
  } else if (id == "32516") {
    p.Part(kBlue, [&] { p.Circle(8, 8, 7); });
    p.Flat(kWhite, [&] { p.Text("i", 8, 8.3, 10.5, true, "DejaVu Serif"); });
  } else {
    PaintReel(p, 8, 8, 7, kBlue);
  }
}

void ShellIcon(cairo_t* cr, const std::string& id) {
  const char* key = id == "4" ? "FOLDEROPEN" : id == "6" ? "SAVE" : id == "22" ? "SEARCH" : id == "16" ? "" : "HISTORY";
  if (id == "16") {
    Painter p(cr, 32, 16);
    p.Part(kPaper, [&] { p.Rect(4, 1.5, 8, 6); });
    p.Part(kSlate, [&] { p.RoundRect(1.5, 6, 13, 6, 1.2); });
    p.Part(kPaper, [&] { p.Rect(4, 10, 8, 4.5); });
    p.Flat(kSlate, [&] { p.Rect(5, 11.5, 6, 0.8); p.Rect(5, 13, 4, 0.8); });
    p.Part(kGreen, [&] { p.Circle(12.5, 8, 0.7); });
    return;
  }
  PaintIcon(cr, key, 32);
}

// ---- cursors ---------------------------------------------------------------------

// A pointing hand whose fingertip is at (9, 1) of the 32 x 32 cursor.
void Hand(Painter& p) {
  cairo_t* cr = p.cr();
  auto shape = [&] {
    p.RoundRect(7, 1, 5, 16, 2.5);            // index finger
    p.RoundRect(11.5, 9.5, 4.6, 10, 2.3);     // middle
    p.RoundRect(15.6, 10.5, 4.4, 9.5, 2.2);   // ring
    p.RoundRect(19.5, 12, 4, 8.5, 2);         // little
    p.RoundRect(7, 14, 16.5, 12, 4);          // palm
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 8, 17);
    cairo_curve_to(cr, 5, 15, 2.5, 16, 3.2, 18.5);
    cairo_curve_to(cr, 4, 21, 7, 24, 9, 26);
    cairo_line_to(cr, 10, 20);
    cairo_close_path(cr);
    p.Rect(9.5, 24, 12.5, 5);                 // wrist
  };
  p.SetOutline(1.1);
  p.Part(kWhite, shape);
  p.Stroke(kInk, 0.6, [&] {
    cairo_move_to(cr, 12, 14); cairo_line_to(cr, 12, 17);
    cairo_move_to(cr, 16, 14.5); cairo_line_to(cr, 16, 17.5);
    cairo_move_to(cr, 19.7, 15); cairo_line_to(cr, 19.7, 18);
  }, 0.5);
}

void Cursor(cairo_t* cr, const std::string& name) {
  Painter p(cr, 32, 32);
  Hand(p);
  Painter b(cr, 32, 32);
  if (name == "HANDAPPEND") badge::Plus(b, 25, 25, 6);
  if (name == "HANDFILTERIN") badge::Funnel(b, 25, 25, 6);
  if (name == "HANDFILTEROUT") badge::Minus(b, 25, 25, 6);
  if (name == "HANDOPEN") badge::Arrow(b, 25, 25, 6);
}

// ---- animations -----------------------------------------------------------------

void Spinner(cairo_t* cr, int size, int frame, int frames, const Rgb& c) {
  const double cx = size / 2.0, cy = size / 2.0, r = size * 0.36, dot = size * 0.075 + 0.6;
  for (int i = 0; i < frames; ++i) {
    const double a = -M_PI / 2 + i * 2 * M_PI / frames;
    const int age = (frame - i + frames) % frames;
    const double alpha = 1.0 - age / double(frames) * 0.85;
    cairo_new_path(cr);
    cairo_arc(cr, cx + r * std::cos(a), cy + r * std::sin(a), dot * (age == 0 ? 1.25 : 1.0), 0, 2 * M_PI);
    Fill(cr, c, alpha);
    cairo_fill(cr);
  }
}

void SpinningReel(cairo_t* cr, int size, int frame, int frames) {
  cairo_save(cr);
  cairo_translate(cr, size / 2.0, size / 2.0);
  cairo_rotate(cr, frame * 2 * M_PI / 5 / frames);
  cairo_translate(cr, -size / 2.0, -size / 2.0);
  Painter p(cr, size, 16);
  PaintReel(p, 8, 8, 7, kBlue);
  cairo_restore(cr);
}

void Hourglass(cairo_t* cr, int size, int frame) {
  Painter p(cr, size, 16);
  cairo_save(cr);
  cairo_translate(cr, 8, 8);
  cairo_rotate(cr, frame == 3 ? M_PI / 2 : 0);
  cairo_translate(cr, -8, -8);
  p.Part(kSlate, [&] { p.RoundRect(3, 1, 10, 2, 0.6); p.RoundRect(3, 13, 10, 2, 0.6); });
  p.Part(kPaper, [&] { p.Poly({{4, 3}, {12, 3}, {12, 4.5}, {9, 8}, {12, 11.5}, {12, 13}, {4, 13}, {4, 11.5}, {7, 8}, {4, 4.5}}); });
  const double sand = frame == 3 ? 0 : frame / 3.0;
  p.Flat(kGold, [&] {
    const double top = 4.5 + sand * 3;
    if (sand < 1) p.Poly({{4.8 + sand * 2.2, top}, {11.2 - sand * 2.2, top}, {8, 7.8}});
    const double fill = 12.8 - sand * 3.5;
    p.Poly({{4.6, 12.8}, {11.4, 12.8}, {11.4 - (12.8 - fill) * 0.6, fill}, {4.6 + (12.8 - fill) * 0.6, fill}});
    if (frame < 3) p.Rect(7.75, 8, 0.5, 4.5);
  });
  cairo_restore(cr);
}

}  // namespace

bool PaintPicture(cairo_t* cr, const std::string& type, const std::string& name, int w, int h, int frames) {
  if (type == "CUSTOM" || type == "BITMAP") {
    if (name == "NO_THUMB") { NoThumb(cr, w, h); return true; }
    if (name == "TILE") { BlankTile(cr, w, h); return true; }
    if (name == "UNPLAYABLE") { Unplayable(cr, w, h); return true; }
    if (name == "LOGO") { Logo(cr, w, h); return true; }
    if (name == "STAR" || name == "TIP_STAR") return PaintIcon(cr, "STAR", w);
    if (name == "UNSTAR" || name == "TIP_UNSTAR") return PaintIcon(cr, "UNSTAR", w);
    if (name == "TICKET" || name == "NOTICKET") { Ticket(cr, w, name == "TICKET"); return true; }
    if (name == "MOVIE_FRAME") { MovieFrame(cr, w, h); return true; }
    if (name == "CLAPPERBOARD") { Clapperboard(cr, w, h); return true; }
    if (name.rfind("TAGCLOUD", 0) == 0) return PaintTagCloud(cr, name, w, h);
    return PaintSkin(cr, name, w, h);
  }
  if (type == "SYSTEM_ICON") { SystemIcon(cr, name); return true; }
  if (type == "SHELL_ICON") { ShellIcon(cr, name); return true; }
  if (type == "CURSOR") { Cursor(cr, name); return true; }
  if (type == "ANIMATION") {
    for (int f = 0; f < frames; ++f) {
      cairo_save(cr);
      cairo_rectangle(cr, f * w, 0, w, h);
      cairo_clip(cr);
      cairo_translate(cr, f * w, 0);
      if (name == "TREE_LOADING") SpinningReel(cr, w, f, frames);
      else if (name == "PREVIEW_LOADING") Spinner(cr, w, f, frames, kTeal);
      else if (name == "BUSY") Spinner(cr, w, f, frames, kBlue);
      else if (name == "APP_WAIT") Hourglass(cr, w, f);
      else { cairo_restore(cr); return false; }
      cairo_restore(cr);
    }
    return true;
  }
  return false;
}
