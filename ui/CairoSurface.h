#pragma once
// An ARGB image surface of the drawing library: the shared Cairo/Qt memory of
// an ImageSurface, the contexts that draw on it, and its copy to a target.
#include "platform/ImageSurface.h"

#include <memory>

class CairoContext;

class CairoSurface {
 public:
  // A new transparent surface (at least 1 x 1).
  CairoSurface(int width, int height);
  explicit CairoSurface(ImageSurfacePtr surface);

  int Width() const { return surface_->Width(); }
  int Height() const { return surface_->Height(); }
  ImageSurface& Surface() const { return *surface_; }
  const ImageSurfacePtr& SharedSurface() const { return surface_; }

  // A new drawing context on the surface.
  std::shared_ptr<CairoContext> Context() const;
  // Copies the surface 1:1, replacing what was there, to the top left of the target.
  void DrawToDC(ImageSurface& target) const;
  // Blurs the surface in place by a box of (2 x radius + 1) pixels each way,
  // averaging premultiplied ARGB; near the edges the box shrinks to the pixels
  // inside the surface. A radius of 0 or less leaves the surface as it is.
  void Blur(int radius) const;

 private:
  ImageSurfacePtr surface_;
};

using CairoSurfacePtr = std::shared_ptr<CairoSurface>;
