#include "ui/CairoSurface.h"

#include "ui/CairoContext.h"

#include <cairo.h>

CairoSurface::CairoSurface(int width, int height) : surface_(std::make_shared<ImageSurface>(width, height)) {}

CairoSurface::CairoSurface(ImageSurfacePtr surface) : surface_(std::move(surface)) {}

std::shared_ptr<CairoContext> CairoSurface::Context() const { return std::make_shared<CairoContext>(surface_); }

void CairoSurface::DrawToDC(ImageSurface& target) const {
  surface_->Flush();
  cairo_t* cr = cairo_create(target.CairoSurface());
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, surface_->CairoSurface(), 0, 0);
  cairo_rectangle(cr, 0, 0, Width(), Height());
  cairo_fill(cr);
  cairo_destroy(cr);
  target.Flush();
}
