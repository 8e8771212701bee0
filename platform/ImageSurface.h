#pragma once
// An ARGB32 premultiplied image whose one block of memory is shared by a Cairo
// image surface (for drawing) and a QImage (for showing and sampling), so a
// picture drawn with Cairo is shown by Qt without a copy.
#include "platform/ColorRef.h"

#include <QImage>

#include <memory>

typedef struct _cairo_surface cairo_surface_t;

class ImageSurface {
 public:
  // The largest width or height Cairo makes an image surface of.
  static constexpr int kMaxSide = 32767;

  // A transparent surface; width and height are clamped to at least 1.
  ImageSurface(int width, int height);
  ~ImageSurface();
  ImageSurface(const ImageSurface&) = delete;
  ImageSurface& operator=(const ImageSurface&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return stride_; }
  uchar* Bits();
  const uchar* Bits() const;

  cairo_surface_t* CairoSurface() const { return surface_; }
  // The QImage over the same memory. Call Flush() first after drawing with Cairo.
  const QImage& Image() const { return image_; }
  QImage& Image() { return image_; }

  // Finishes pending Cairo drawing so the memory is current for Qt or codecs.
  void Flush();
  // Tells Cairo that the memory was written directly (through Qt or a codec).
  void MarkDirty();

  void Fill(COLORREF colour, double alpha = 1.0);
  // The pixel as a colour with red in the low byte; alpha dropped.
  COLORREF PixelColorRef(int x, int y);
  // A deep copy with its own memory.
  std::shared_ptr<ImageSurface> Copy();

 private:
  int width_;
  int height_;
  int stride_;
  cairo_surface_t* surface_;
  QImage image_;
};

using ImageSurfacePtr = std::shared_ptr<ImageSurface>;

// The size as it fits an image surface: one wider or taller than
// ImageSurface::kMaxSide (a clip of 65,535 x 16 pixels) scaled down in
// proportion, each side at least 1 pixel; any other size as it is.
QSize FittedToSurface(QSize size);
// The picture scaled to FittedToSurface(its size).
QImage FittedToSurface(const QImage& picture);
