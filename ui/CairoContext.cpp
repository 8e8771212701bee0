#include "ui/CairoContext.h"

#include "ui/CairoImageList.h"
#include "ui/CairoObject.h"
#include "ui/CairoPattern.h"
#include "ui/CairoSurface.h"
#include "ui/modCairo.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kScreenDpi = 96.0;

double FromPango(int units) { return static_cast<double>(units) / PANGO_SCALE; }

struct LayoutDeleter {
  void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

// How far the ink of the layout's first line rises above the layout's top,
// in whole pixels with one for the antialiased edge; 0 when it does not. A
// font's ascent need not cover an accent over a capital ("É" in Tahoma) nor
// the stacked marks of some scripts. Pango keeps a line's extents once
// worked out, so a kept layout pays for this once.
double RiseAboveTop(PangoLayout* layout) {
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (!line) return 0;
  PangoRectangle ink;
  pango_layout_line_get_extents(line, &ink, nullptr);
  const int top = pango_layout_get_baseline(layout) + ink.y;
  return ink.height > 0 && top < 0 ? std::ceil(FromPango(-top)) + 1 : 0;
}

}  // namespace

CairoContext::CairoContext(ImageSurfacePtr surface)
    : surface_(std::move(surface)),
      cr_(cairo_create(surface_->CairoSurface())),
      pango_(pango_cairo_create_context(cr_)),
      pangoOptions_(cairo_font_options_create()) {
  pango_cairo_context_set_resolution(pango_, kScreenDpi);
}

CairoContext::~CairoContext() {
  cairo_font_options_destroy(pangoOptions_);
  g_object_unref(pango_);
  cairo_destroy(cr_);
  surface_->Flush();
}

void CairoContext::Save() {
  cairo_save(cr_);
  savedFonts_.push_back(font_);
}

void CairoContext::Restore() {
  cairo_restore(cr_);
  if (!savedFonts_.empty()) {
    font_ = savedFonts_.back();
    savedFonts_.pop_back();
  }
}

void CairoContext::Translate(double dx, double dy) { cairo_translate(cr_, dx, dy); }
void CairoContext::Scale(double sx, double sy) { cairo_scale(cr_, sx, sy); }
void CairoContext::RotateDegrees(double degrees) { cairo_rotate(cr_, degrees * std::numbers::pi / 180.0); }

void CairoContext::SetSourceColour(COLORREF colour, double opacity) { SetCairoSource(cr_, colour, opacity); }
void CairoContext::SetLineWidth(double width) { cairo_set_line_width(cr_, width); }
void CairoContext::SetLineCap(int cap) { cairo_set_line_cap(cr_, static_cast<cairo_line_cap_t>(cap)); }
void CairoContext::SetLineJoin(int join) { cairo_set_line_join(cr_, static_cast<cairo_line_join_t>(join)); }

void CairoContext::MoveTo(double x, double y) { cairo_move_to(cr_, x, y); }
void CairoContext::LineTo(double x, double y) { cairo_line_to(cr_, x, y); }
void CairoContext::RelLineTo(double dx, double dy) { cairo_rel_line_to(cr_, dx, dy); }
void CairoContext::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
  cairo_curve_to(cr_, x1, y1, x2, y2, x3, y3);
}
void CairoContext::ClosePath() { cairo_close_path(cr_); }
void CairoContext::Rectangle(double x, double y, double width, double height) {
  cairo_rectangle(cr_, x, y, width, height);
}

void CairoContext::RoundedRect(double x, double y, double width, double height, double radius) {
  const double r = std::max(0.0, std::min({radius, width / 2, height / 2}));
  constexpr double kQuarter = std::numbers::pi / 2;
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, x + width - r, y + r, r, -kQuarter, 0);
  cairo_arc(cr_, x + width - r, y + height - r, r, 0, kQuarter);
  cairo_arc(cr_, x + r, y + height - r, r, kQuarter, 2 * kQuarter);
  cairo_arc(cr_, x + r, y + r, r, 2 * kQuarter, 3 * kQuarter);
  cairo_close_path(cr_);
}

void CairoContext::Arc(double cx, double cy, double radius, double angle1, double angle2) {
  cairo_arc(cr_, cx, cy, radius, angle1, angle2);
}

void CairoContext::Paint(double opacity, const CairoPattern* pattern) {
  cairo_save(cr_);
  if (pattern) cairo_set_source(cr_, pattern->Raw());
  cairo_paint_with_alpha(cr_, opacity);
  cairo_restore(cr_);
}

void CairoContext::Fill(bool keepPath, const CairoPattern* pattern) {
  cairo_save(cr_);
  if (pattern) cairo_set_source(cr_, pattern->Raw());
  keepPath ? cairo_fill_preserve(cr_) : cairo_fill(cr_);
  cairo_restore(cr_);
}

void CairoContext::Stroke(bool keepPath, const CairoPattern* pattern) {
  cairo_save(cr_);
  if (pattern) cairo_set_source(cr_, pattern->Raw());
  keepPath ? cairo_stroke_preserve(cr_) : cairo_stroke(cr_);
  cairo_restore(cr_);
}

void CairoContext::Clip(bool keepPath) { keepPath ? cairo_clip_preserve(cr_) : cairo_clip(cr_); }
void CairoContext::ResetClip() { cairo_reset_clip(cr_); }

void CairoContext::SelectFont(const QString& face, double sizePoints, COLORREF colour, bool bold, bool italic,
                              bool underline, bool strikeOut) {
  font_ = Font{face, sizePoints, colour, bold, italic, underline, strikeOut};
}

// Pango takes the transformation and font options of the Cairo context, but
// every update counts as a change and makes every layout made before it lay
// itself out again when next measured or drawn. The update runs only when
// what it reads has changed: the context's matrix and font options (the
// surface is the context's own for its lifetime).
void CairoContext::UpdatePangoContext() {
  cairo_matrix_t matrix;
  cairo_get_matrix(cr_, &matrix);
  const double now[6] = {matrix.xx, matrix.yx, matrix.xy, matrix.yy, matrix.x0, matrix.y0};
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_get_font_options(cr_, options);
  const bool same = pangoUpdated_ && std::equal(now, now + 6, pangoMatrix_) &&
                    cairo_font_options_equal(options, pangoOptions_);
  if (!same) {
    pango_cairo_update_context(cr_, pango_);
    std::copy(now, now + 6, pangoMatrix_);
    std::swap(options, pangoOptions_);
    pangoUpdated_ = true;
  }
  cairo_font_options_destroy(options);
}

PangoLayout* CairoContext::NewLayout(const QString& text) {
  UpdatePangoContext();
  PangoLayout* layout = pango_layout_new(pango_);
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, font_.face.toUtf8().constData());
  pango_font_description_set_size(desc, static_cast<gint>(font_.size * PANGO_SCALE));
  pango_font_description_set_weight(desc, font_.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(desc, font_.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);
  if (font_.underline || font_.strikeOut) {
    PangoAttrList* attributes = pango_attr_list_new();
    if (font_.underline) pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (font_.strikeOut) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
  }
  const QByteArray utf8 = text.toUtf8();
  pango_layout_set_text(layout, utf8.constData(), static_cast<int>(utf8.size()));
  return layout;
}

void CairoContext::SetFontSource(double opacity) { SetCairoSource(cr_, font_.colour, opacity); }

TextSize CairoContext::MeasureText(const QString& text) {
  LayoutPtr layout(NewLayout(text));
  PangoRectangle logical;
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  return {FromPango(logical.width), FromPango(logical.height)};
}

double CairoContext::FontHeight() { return MeasureText(QString()).Height; }

// Draws with the clip narrowed to a box, which needs a path of its own: the
// caller's path and clip are put back after.
template <class Draw>
void CairoContext::InBox(double x, double y, double width, double height, Draw draw) {
  cairo_path_t* callerPath = cairo_copy_path(cr_);
  cairo_save(cr_);
  cairo_new_path(cr_);
  cairo_rectangle(cr_, x, y, width, height);
  cairo_clip(cr_);
  draw();
  cairo_restore(cr_);
  cairo_new_path(cr_);
  cairo_append_path(cr_, callerPath);
  cairo_path_destroy(callerPath);
}

void CairoContext::DrawText(double x, double y, double width, double height, const QString& text, bool singleLine,
                            int alignment, double opacity) {
  LayoutPtr layout(NewLayout(text));
  double left = x;
  if (singleLine) {
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    const double spare = width - FromPango(logical.width);
    if (alignment == kAlignCentre) left += spare / 2;
    if (alignment == kAlignRight) left += spare;
  } else {
    pango_layout_set_width(layout.get(), static_cast<int>(std::max(0.0, width) * PANGO_SCALE));
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout.get(), alignment == kAlignCentre  ? PANGO_ALIGN_CENTER
                                             : alignment == kAlignRight ? PANGO_ALIGN_RIGHT
                                                                        : PANGO_ALIGN_LEFT);
  }
  // The box's top is the text's: what rises above it is the text's own.
  const double rise = RiseAboveTop(layout.get());
  InBox(x, y - rise, width, height + rise, [&] {
    SetFontSource(opacity);
    cairo_move_to(cr_, left, y);
    pango_cairo_show_layout(cr_, layout.get());
  });
}

bool CairoText::IsCurrent() const {
  return layout_ && pango_context_get_serial(pango_layout_get_context(layout_.get())) == serial_;
}

CairoText CairoContext::PrepareText(const QString& text, bool withInk) {
  CairoText prepared;
  prepared.layout_.reset(NewLayout(text), [](PangoLayout* layout) { g_object_unref(layout); });
  PangoLayout* layout = prepared.layout_.get();
  PangoRectangle ink;
  PangoRectangle logical;
  pango_layout_get_extents(layout, withInk ? &ink : nullptr, &logical);
  prepared.size_ = {FromPango(logical.width), FromPango(logical.height)};
  if (withInk && ink.width > 0 && ink.height > 0) {
    prepared.inkTop_ = FromPango(ink.y);
    prepared.inkBottom_ = FromPango(ink.y + ink.height);
  }
  prepared.lineCount_ = pango_layout_get_line_count(layout);
  prepared.leftToRight_ = pango_layout_get_line_readonly(layout, 0)->resolved_dir != PANGO_DIRECTION_RTL;
  prepared.colour_ = font_.colour;
  prepared.serial_ = pango_context_get_serial(pango_);
  return prepared;
}

void CairoContext::DrawText(double x, double y, double width, double height, const CairoText& text, int alignment,
                            double opacity) {
  if (text.IsNull()) return;
  double left = x;
  const double spare = width - text.size_.Width;
  if (alignment == kAlignCentre) left += spare / 2;
  if (alignment == kAlignRight) left += spare;
  const double rise = RiseAboveTop(text.layout_.get());
  InBox(x, y - rise, width, height + rise, [&] {
    SetCairoSource(cr_, text.colour_, opacity);
    cairo_move_to(cr_, left, y);
    pango_cairo_show_layout(cr_, text.layout_.get());
  });
}

// The origin moves by a translation rather than through the current point,
// which Cairo keeps in 1/256 pixel: the glyphs land where Pango would place
// them within a larger text whose top lies at (left, top).
void CairoContext::DrawTextAt(double x, double y, double width, double height, const CairoText& text, double left,
                              double top, double opacity) {
  if (text.IsNull()) return;
  // Marks rising above the text's first line show when that line starts in
  // the box; a text scrolled up keeps the lines above the box hidden.
  const double above = top >= y ? std::max(0.0, y - (top - RiseAboveTop(text.layout_.get()))) : 0;
  InBox(x, y - above, width, height + above, [&] {
    SetCairoSource(cr_, text.colour_, opacity);
    cairo_translate(cr_, left, top);
    if (!ShowLineUpTo(text.layout_.get(), x + width - left)) {
      cairo_move_to(cr_, 0, 0);
      pango_cairo_show_layout(cr_, text.layout_.get());
    }
  });
}

// A line far wider than the box (a long list of tags) would hand Cairo every
// glyph only for Cairo to drop those that start more than ten font sizes
// beyond the clip. A single plain left-to-right line is drawn run by run as
// Pango draws it, each run only up to its last glyph that starts before
// `right` plus twice that reach: what is left out is what Cairo would drop.
// Anything else (more lines, right-to-left, attributes) returns false and is
// drawn whole.
bool CairoContext::ShowLineUpTo(PangoLayout* layout, double right) {
  if (pango_layout_get_line_count(layout) != 1 || pango_layout_get_attributes(layout)) return false;
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (line->resolved_dir == PANGO_DIRECTION_RTL) return false;
  PangoLayoutIter* iter = pango_layout_get_iter(layout);
  PangoRectangle logical;
  pango_layout_iter_get_line_extents(iter, nullptr, &logical);
  const int baseline = pango_layout_iter_get_baseline(iter);
  pango_layout_iter_free(iter);
  if (FromPango(logical.x + logical.width) <= right) return false;  // nothing to leave out
  for (GSList* l = line->runs; l; l = l->next) {
    const auto* run = static_cast<PangoGlyphItem*>(l->data);
    if (run->item->analysis.flags & PANGO_ANALYSIS_FLAG_CENTERED_BASELINE) return false;
  }
  const PangoFontDescription* font = pango_layout_get_font_description(layout);
  const double pixels = font ? FromPango(pango_font_description_get_size(font)) * kScreenDpi / 72 : 0;
  const double reach = std::max(20 * pixels, 16 * FromPango(logical.height));
  const int limit = static_cast<int>(std::min((right + reach) * PANGO_SCALE, 1e9));
  int runX = logical.x;
  for (GSList* l = line->runs; l; l = l->next) {
    const auto* run = static_cast<PangoGlyphItem*>(l->data);
    PangoGlyphString part = *run->glyphs;
    int position = runX;
    part.num_glyphs = 0;
    for (int i = 0; i < run->glyphs->num_glyphs; ++i) {
      const PangoGlyphGeometry& geometry = run->glyphs->glyphs[i].geometry;
      if (position + geometry.x_offset < limit) part.num_glyphs = i + 1;
      position += geometry.width;
    }
    if (part.num_glyphs > 0) {
      cairo_save(cr_);
      cairo_translate(cr_, FromPango(runX), FromPango(baseline));
      cairo_move_to(cr_, 0, 0);
      pango_cairo_show_glyph_string(cr_, run->item->analysis.font, &part);
      cairo_restore(cr_);
    }
    runX = position;
  }
  return true;
}

void CairoContext::TextOut(double x, double y, const QString& text, double opacity, bool asPath) {
  LayoutPtr layout(NewLayout(text));
  SetFontSource(opacity);
  cairo_move_to(cr_, x, y);
  if (asPath) {
    pango_cairo_layout_path(cr_, layout.get());
  } else {
    pango_cairo_show_layout(cr_, layout.get());
  }
}

void CairoContext::TextHalo(double x, double y, const QString& text, double radius, double opacity) {
  LayoutPtr layout(NewLayout(text));
  PangoRectangle ink;
  pango_layout_get_extents(layout.get(), &ink, nullptr);
  const double margin = std::ceil(radius) + 1;
  // The layer covers only the text's ink and its halo.
  InBox(x + FromPango(ink.x) - margin, y + FromPango(ink.y) - margin, FromPango(ink.width) + 2 * margin,
        FromPango(ink.height) + 2 * margin, [&] {
          cairo_push_group(cr_);
          SetCairoSource(cr_, font_.colour, 1.0);
          const double diagonal = radius * std::sqrt(0.5);
          const double offsets[][2] = {{0, 0},         {radius, 0},           {-radius, 0},
                                       {0, radius},    {0, -radius},          {diagonal, diagonal},
                                       {-diagonal, diagonal}, {diagonal, -diagonal}, {-diagonal, -diagonal}};
          for (const auto& offset : offsets) {
            cairo_move_to(cr_, x + offset[0], y + offset[1]);
            pango_cairo_show_layout(cr_, layout.get());
          }
          cairo_pop_group_to_source(cr_);
          cairo_paint_with_alpha(cr_, opacity);
        });
}

void CairoContext::RenderSurface(const ImageSurface& image, double x, double y, double width, double height,
                                 double opacity, int filter) {
  if (width <= 0 || height <= 0) {
    width = image.Width();
    height = image.Height();
  }
  if (filter < kFilterFast || filter > kFilterBilinear) filter = kFilterGood;
  cairo_save(cr_);
  cairo_rectangle(cr_, x, y, width, height);
  cairo_clip(cr_);
  cairo_translate(cr_, x, y);
  cairo_scale(cr_, width / image.Width(), height / image.Height());
  cairo_set_source_surface(cr_, image.CairoSurface(), 0, 0);
  // Padding repeats the edge pixels for the filter, so the scaled image covers
  // the whole rectangle instead of fading out over its last half pixel.
  cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(cairo_get_source(cr_), static_cast<cairo_filter_t>(filter));
  cairo_paint_with_alpha(cr_, opacity);
  cairo_restore(cr_);
}

void CairoContext::RenderSurface(const CairoSurface& image, double x, double y, double width, double height,
                                 double opacity, int filter) {
  RenderSurface(image.Surface(), x, y, width, height, opacity, filter);
}

void CairoContext::RenderSurface(const QString& imageKey, double x, double y, double width, double height,
                                 double opacity, int filter) {
  RenderSurface(*modCairo::GetCairo()->ImageList().Item(imageKey), x, y, width, height, opacity, filter);
}
