// Skin pictures: drawn only in the four scheme colours and their mixes, so the
// colour-scheme passes recolour them as one family.
#include "Pictures.h"

#include "Icons.h"
#include "Painter.h"

#include <cmath>
#include <string>

namespace {

using skin::kPanel, skin::kLight, skin::kFrame, skin::kText;

void Src(cairo_t* cr, const Rgb& c, double a = 1) { cairo_set_source_rgba(cr, c.r, c.g, c.b, a); }

void Box(cairo_t* cr, double x, double y, double w, double h, const Rgb& c) {
  cairo_rectangle(cr, x, y, w, h);
  Src(cr, c);
  cairo_fill(cr);
}

void VGradient(cairo_t* cr, double x, double y, double w, double h, const Rgb& top, const Rgb& bottom) {
  cairo_rectangle(cr, x, y, w, h);
  FillVertical(cr, top, bottom, y, y + h);
}

double Label(cairo_t* cr, const std::string& text, double x, double y, double size, const Rgb& c, bool centre,
             double angle = 0) {
  PangoLayout* layout = TextLayout(cr, text, "DejaVu Sans", size, true);
  int w, h;
  pango_layout_get_pixel_size(layout, &w, &h);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_move_to(cr, centre ? -w / 2.0 : 0, -h / 2.0);
  Src(cr, c);
  pango_cairo_show_layout(cr, layout);
  cairo_restore(cr);
  g_object_unref(layout);
  return w;
}

// ---- transport buttons -------------------------------------------------------------

enum class FaceState { Normal, Hover, Down };

void Symbol(cairo_t* cr, int index, double w, double h, const Rgb& ink) {
  const double cx = w / 2, cy = h / 2;
  Src(cr, ink);
  auto tri = [&](double x, double y, double s, bool right) {
    const double d = right ? 1 : -1;
    cairo_move_to(cr, x - s * 0.5 * d, y - s * 0.6);
    cairo_line_to(cr, x + s * 0.6 * d, y);
    cairo_line_to(cr, x - s * 0.5 * d, y + s * 0.6);
    cairo_close_path(cr);
  };
  switch (index) {
    case 1: cairo_rectangle(cr, cx - 7, cy - 5.5, 2.6, 11); tri(cx + 1.5, cy, 9, false); break;
    case 2: tri(cx - 3, cy, 7, false); tri(cx + 3.5, cy, 7, false); break;
    case 3: tri(cx + 1, cy, 12, true); break;
    case 4: tri(cx - 3.5, cy, 7, true); tri(cx + 3, cy, 7, true); break;
    case 5: tri(cx - 1.5, cy, 9, true); cairo_rectangle(cr, cx + 4.4, cy - 5.5, 2.6, 11); break;
    case 6: case 9: tri(cx, cy, 6, false); break;
    case 8: case 11: tri(cx, cy, 6, true); break;
    case 7: case 10: {
      cairo_fill(cr);
      Label(cr, index == 7 ? "A" : "B", cx, cy, 10, ink, true);
      return;
    }
    case 12:
      cairo_move_to(cr, cx, cy - 6); cairo_line_to(cr, cx + 6, cy); cairo_line_to(cr, cx - 6, cy);
      cairo_close_path(cr);
      cairo_rectangle(cr, cx - 6, cy + 2, 12, 2.6);
      break;
    case 13:
      RoundRectPath(cr, cx - 7, cy - 3.5, 14, 9, 1.5);
      cairo_rectangle(cr, cx - 3, cy - 5.5, 6, 2.5);
      cairo_fill(cr);
      cairo_arc(cr, cx, cy + 1, 2.6, 0, 2 * M_PI);
      Src(cr, kLight);
      cairo_fill(cr);
      return;
    case 14: cairo_rectangle(cr, cx - 5, cy - 6, 3.6, 12); cairo_rectangle(cr, cx + 1.4, cy - 6, 3.6, 12); break;
    case 15:
      cairo_move_to(cr, cx - 7, cy - 3); cairo_line_to(cr, cx - 3.5, cy - 3); cairo_line_to(cr, cx + 1, cy - 7);
      cairo_line_to(cr, cx + 1, cy + 7); cairo_line_to(cr, cx - 3.5, cy + 3); cairo_line_to(cr, cx - 7, cy + 3);
      cairo_close_path(cr);
      cairo_fill(cr);
      cairo_set_line_width(cr, 1.4);
      cairo_arc(cr, cx + 1, cy, 4, -0.9, 0.9);
      cairo_stroke(cr);
      cairo_arc(cr, cx + 1, cy, 7, -0.8, 0.8);
      cairo_stroke(cr);
      return;
  }
  cairo_fill(cr);
}

void Face(cairo_t* cr, int index, FaceState state, int w, int h) {
  Box(cr, 0, 0, w, h, kPanel);
  if (index == 15) {  // the speaker beside the volume track is a picture, not a button
    Symbol(cr, index, w, h, state == FaceState::Hover ? kText.Lighter(0.15) : kText);
    return;
  }
  const bool round = w == h && w >= 24;
  const double inset = state == FaceState::Down ? 1.5 : 1;
  auto body = [&](double grow) {
    if (round) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, w / 2.0, h / 2.0, w / 2.0 - inset - 0.5 + grow, 0, 2 * M_PI);
    } else {
      RoundRectPath(cr, inset - grow, inset - grow, w - 2 * inset + 2 * grow, h - 2 * inset + 2 * grow,
                    std::min(w, h) / 3.0);
    }
  };
  Rgb top = kLight, bottom = kLight.Mix(kFrame, 0.45);
  if (state == FaceState::Hover) { top = kLight.Lighter(0.6); bottom = kLight.Mix(kFrame, 0.25); }
  if (state == FaceState::Down) { top = kFrame; bottom = kLight.Mix(kFrame, 0.5); }
  body(0);
  Src(cr, kFrame.Darker(0.3));
  cairo_fill(cr);
  body(-1);
  FillVertical(cr, top, bottom, 0, h);
  if (state != FaceState::Down) {  // a gloss on the upper half
    cairo_save(cr);
    body(-1.5);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, 0, w, h * 0.45);
    Src(cr, kLight.Lighter(0.8), state == FaceState::Hover ? 0.55 : 0.35);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  cairo_save(cr);
  if (state == FaceState::Down) cairo_translate(cr, 0.8, 0.8);
  Symbol(cr, index, w, h, kText);
  cairo_restore(cr);
}

// ---- the player skin ---------------------------------------------------------------

// The groove of the position slider: 13 rows from row 3 of a 16-row band.
void Groove(cairo_t* cr, double x, double y, double w) {
  RoundRectPath(cr, x, y + 3, w, 13, 6.5);
  Src(cr, kFrame.Darker(0.35));
  cairo_fill(cr);
  RoundRectPath(cr, x + 0.5, y + 4, w - 1, 11.5, 5.75);
  Src(cr, kFrame);
  cairo_fill(cr);
  cairo_rectangle(cr, x + 6, y + 15, w - 12, 1);
  Src(cr, kPanel.Lighter(0.35));
  cairo_fill(cr);
}

void PlayerSkin(cairo_t* cr, int w, int h) {
  Box(cr, 0, 0, w, h, kPanel);
  // edges: a dark rim at the sides and bottom, a soft highlight inside it
  Box(cr, 0, 0, 2, h, kText);
  Box(cr, w - 2, 0, 2, h, kText);
  Box(cr, 0, h - 4, w, 4, kText);
  Box(cr, 2, 0, 1, h - 4, kPanel.Lighter(0.3));
  Box(cr, w - 3, 0, 1, h - 4, kPanel.Darker(0.15));
  // video area (covered by the video while a file is open)
  Box(cr, 7, 6, 310, 232, kLight);
  cairo_save(cr);
  cairo_translate(cr, 162 - 40, 122 - 40);
  Painter q(cr, 80, 16);
  q.SetOutline(0);
  PaintReel(q, 8, 8, 7.5, kLight.Mix(kFrame, 0.1));
  cairo_restore(cr);
  // separator under the video
  Box(cr, 8, 240, w - 16, 1, kPanel.Darker(0.18));
  Box(cr, 8, 241, w - 16, 1, kPanel.Lighter(0.3));
  // position slider groove (source of the slider's own picture)
  Groove(cr, 60, 243, 204);
  // The buttons where their faces lie, so the skin alone shows the whole player
  // (the options dialog previews it); the columns stretched in compact mode and
  // the slider's source stay clear of them.
  const struct { int index, x, y, w, h; } faces[] = {
      {1, 8, 281, 30, 30}, {2, 38, 281, 30, 30}, {3, 68, 281, 30, 30}, {4, 98, 281, 30, 30},
      {5, 128, 281, 30, 30}, {6, 12, 247, 12, 14}, {7, 24, 246, 16, 16}, {8, 40, 247, 12, 14},
      {9, 272, 247, 12, 14}, {10, 284, 246, 16, 16}, {11, 300, 247, 12, 14}, {12, 268, 291, 24, 20},
      {13, 292, 291, 24, 20}};
  for (const auto& f : faces) {
    cairo_save(cr);
    cairo_translate(cr, f.x, f.y);
    cairo_rectangle(cr, 0, 0, f.w, f.h);
    cairo_clip(cr);
    Face(cr, f.index, FaceState::Normal, f.w, f.h);
    cairo_restore(cr);
  }
}

// ---- sliders and bands ------------------------------------------------------------

void SliderThumb(cairo_t* cr, int w, int h) {
  Box(cr, 0, 0, w, h, kPanel);
  Groove(cr, -8, 0, w + 16);
  RoundRectPath(cr, 0.5, 1, w - 1, h - 1.5, 3.5);
  Src(cr, kText);
  cairo_fill(cr);
  RoundRectPath(cr, 1.5, 2, w - 3, h - 3.5, 2.5);
  FillVertical(cr, kLight, kLight.Mix(kFrame, 0.5), 0, h);
  Box(cr, w / 2.0 - 0.5, 5, 1, h - 9, kFrame.Darker(0.2));
}

void VolumeTrack(cairo_t* cr, int w, int h) {
  Box(cr, 0, 0, w, h, kPanel);
  RoundRectPath(cr, 2, h / 2.0 - 2.5, w - 4, 5, 2.5);
  Src(cr, kFrame.Darker(0.35));
  cairo_fill(cr);
  RoundRectPath(cr, 2.5, h / 2.0 - 1.5, w - 5, 3.5, 1.75);
  Src(cr, kFrame);
  cairo_fill(cr);
}

void VolumeThumb(cairo_t* cr, int w, int h) {
  Box(cr, 0, 0, w, h, kPanel);
  cairo_rectangle(cr, 0, h / 2.0 - 2.5, w, 5);
  Src(cr, kFrame.Darker(0.35));
  cairo_fill(cr);
  cairo_rectangle(cr, 0, h / 2.0 - 1.5, w, 3.5);
  Src(cr, kFrame);
  cairo_fill(cr);
  cairo_arc(cr, w / 2.0, h / 2.0, h / 2.0 - 1, 0, 2 * M_PI);
  Src(cr, kText);
  cairo_fill(cr);
  cairo_arc(cr, w / 2.0, h / 2.0, h / 2.0 - 2, 0, 2 * M_PI);
  FillVertical(cr, kLight, kLight.Mix(kFrame, 0.5), 0, h);
}

void SelectionTile(cairo_t* cr, int w, int h) {
  // 13 diagonal stripes of 14 pixels: seamless when tiles are laid side by side.
  Box(cr, 0, 0, w, h, kPanel);
  RoundRectPath(cr, -2, 1, w + 4, h - 2, 2);
  Src(cr, kText.Mix(kFrame, 0.35));
  cairo_fill(cr);
  cairo_save(cr);
  cairo_rectangle(cr, 0, 2, w, h - 4);
  cairo_clip(cr);
  for (int x = -14; x < w + 14; x += 14) {
    cairo_move_to(cr, x, h);
    cairo_line_to(cr, x + 7, h);
    cairo_line_to(cr, x + 7 + h, 0);
    cairo_line_to(cr, x + h, 0);
    cairo_close_path(cr);
  }
  Src(cr, kFrame.Lighter(0.25));
  cairo_fill(cr);
  cairo_restore(cr);
}

// ---- banners and headings -----------------------------------------------------------

// The dialogs paint a band from colour 4 (left) to colour 1 over the banner's
// width; the banner repeats that band so it sits on it without an edge.
void BannerBand(cairo_t* cr, int w, int h, int band) {
  for (int x = 0; x < w; ++x) {
    const double t = x <= band ? 0 : std::min(1.0, (x - band) / double(w - band));
    Box(cr, x, 0, 1, h, kText.Mix(kPanel, t));
  }
}

void Banner(cairo_t* cr, int w, int h, int band, const char* icon, const std::string& title) {
  BannerBand(cr, w, h, band);
  cairo_save(cr);
  cairo_translate(cr, 10, (h - 40) / 2.0);
  PaintIcon(cr, icon, 40);
  cairo_restore(cr);
  Label(cr, title, 60, h / 2.0, 17, kLight, false);
}

void WindowBanner(cairo_t* cr, int w, int h) {
  Box(cr, 0, 0, w, h, kPanel);
  cairo_save(cr);
  cairo_translate(cr, 6, (h - 36) / 2.0);
  Painter p(cr, 36, 16);
  p.SetOutline(0.45);
  PaintReel(p, 8, 8, 7.5, kText.Mix(kFrame, 0.4));
  cairo_restore(cr);
  const double width = Label(cr, "Reelwise", 48, h / 2.0 - 1, 22, kText, false);
  Label(cr, "II", 48 + width + 6, h / 2.0 - 1, 22, kLight, false);
}

void TabBackground(cairo_t* cr, int w, int h) { VGradient(cr, 0, 0, w, h, kLight, kLight.Mix(kPanel, 0.55)); }

void TabHeading(cairo_t* cr, int w, int h, const std::string& title) {
  VGradient(cr, 0, 0, w, h, kFrame.Lighter(0.15), kFrame.Darker(0.1));
  Box(cr, w - 1, 0, 1, h, kFrame.Darker(0.35));
  Box(cr, 0, 0, 1, h, kFrame.Lighter(0.35));
  Label(cr, title, w / 2.0, h / 2.0, 11, kLight, true, -M_PI / 2);
}

void ListBackground(cairo_t* cr, int w, int h) {
  Box(cr, 0, 0, w, h, kLight);
  cairo_save(cr);
  cairo_translate(cr, w - 100, h - 80);
  cairo_rotate(cr, -0.35);
  Src(cr, kLight.Mix(kFrame, 0.1));
  cairo_move_to(cr, 0, 30);
  cairo_line_to(cr, 30, 0);
  cairo_line_to(cr, 110, 0);
  cairo_line_to(cr, 110, 60);
  cairo_line_to(cr, 30, 60);
  cairo_close_path(cr);
  cairo_new_sub_path(cr);
  cairo_arc_negative(cr, 32, 30, 8, 2 * M_PI, 0);
  cairo_fill(cr);
  cairo_restore(cr);
}

// The options dialog's icon: the menu's gear drawn large on magenta, which
// the dialog shows transparent.
void OptionsIcon(cairo_t* cr, int w, int h) {
  cairo_set_source_rgb(cr, 1, 0, 1);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_fill(cr);
  PaintIcon(cr, "OPTIONS", std::min(w, h));
}

void Gripper(cairo_t* cr, int w, int h) {
  Box(cr, 0, 0, w, h, kPanel);
  for (int y = 4; y + 2 < h - 2; y += 4) {
    Box(cr, 2, y, 2, 2, kFrame.Darker(0.25));
    Box(cr, 3, y + 1, 1, 1, kLight);
  }
}

}  // namespace

bool PaintSkin(cairo_t* cr, const std::string& name, int w, int h) {
  if (name == "MPLAYER") { PlayerSkin(cr, w, h); return true; }
  if (name == "SLIDER_THUMB") { SliderThumb(cr, w, h); return true; }
  if (name == "VOL_SLIDER") { VolumeTrack(cr, w, h); return true; }
  if (name == "VOL_THUMB") { VolumeThumb(cr, w, h); return true; }
  if (name == "SEL_TRACK") { SelectionTile(cr, w, h); return true; }
  if (name == "TB_BG") { VGradient(cr, 0, 0, w, h, kPanel.Lighter(0.3), kPanel); return true; }
  if (name == "MAIN_TB_BG") { VGradient(cr, 0, 0, w, h, kPanel.Lighter(0.25), kPanel.Darker(0.04)); return true; }
  if (name == "OPTIONS_BANNER") { Banner(cr, w, h, 55, "OPTIONS", "Program Options"); return true; }
  if (name == "ADD_FILES_BANNER") { Banner(cr, w, h, 35, "ADD_FILES", "Add Movie Files"); return true; }
  if (name == "SEARCH_BANNER") { Banner(cr, w, h, 35, "SEARCH", "Find Files"); return true; }
  if (name == "RW_BANNER") { WindowBanner(cr, w, h); return true; }
  if (name == "TAB_BG") { TabBackground(cr, w, h); return true; }
  if (name == "TAB_SPEC") { TabHeading(cr, w, h, "FILE DETAILS"); return true; }
  if (name == "TAB_PREV") { TabHeading(cr, w, h, "PREVIEW"); return true; }
  if (name == "TAB_CAT") { TabHeading(cr, w, h, "CATALOGUING"); return true; }
  if (name == "TAB_SEG") { TabHeading(cr, w, h, "SEGMENTS"); return true; }
  if (name == "LV_BG") { ListBackground(cr, w, h); return true; }
  if (name == "GRIPPER") { Gripper(cr, w, h); return true; }
  if (name == "OPTIONS_ICON") { OptionsIcon(cr, w, h); return true; }
  const size_t underscore = name.find('_');
  if (underscore != std::string::npos && underscore > 0 && isdigit(static_cast<unsigned char>(name[0]))) {
    const int index = std::stoi(name.substr(0, underscore));
    const std::string state = name.substr(underscore + 1);
    const FaceState s = state == "HOVER" ? FaceState::Hover : state == "DOWN" ? FaceState::Down : FaceState::Normal;
    Face(cr, index, s, w, h);
    return true;
  }
  return false;
}
