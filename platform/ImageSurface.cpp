#include "platform/ImageSurface.h"

#include "platform/RWError.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

ImageSurface::ImageSurface(int width, int height)
    : width_(std::max(1, width)), height_(std::max(1, height)), stride_(0), surface_(nullptr) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    const QString reason = QString::fromUtf8(cairo_status_to_string(cairo_surface_status(surface_)));
    cairo_surface_destroy(surface_);
    throw RWError(kErrInvalidArgument,
                  QStringLiteral("Cannot make a %1 x %2 image: %3").arg(width_).arg(height_).arg(reason),
                  QStringLiteral("ImageSurface"));
  }
  stride_ = cairo_image_surface_get_stride(surface_);
  image_ = QImage(cairo_image_surface_get_data(surface_), width_, height_, stride_,
                  QImage::Format_ARGB32_Premultiplied);
}

QSize FittedToSurface(QSize size) {
  const int w = size.width();
  const int h = size.height();
  if (w <= ImageSurface::kMaxSide && h <= ImageSurface::kMaxSide) return size;
  const double scale = double(ImageSurface::kMaxSide) / std::max(w, h);
  return {std::clamp(int(w * scale), 1, ImageSurface::kMaxSide),
          std::clamp(int(h * scale), 1, ImageSurface::kMaxSide)};
}

QImage FittedToSurface(const QImage& picture) {
  const QSize fitted = FittedToSurface(picture.size());
  if (fitted == picture.size()) return picture;
  return picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

ImageSurface::~ImageSurface() { cairo_surface_destroy(surface_); }

uchar* ImageSurface::Bits() { return cairo_image_surface_get_data(surface_); }
const uchar* ImageSurface::Bits() const { return cairo_image_surface_get_data(surface_); }

void ImageSurface::Flush() { cairo_surface_flush(surface_); }
void ImageSurface::MarkDirty() { cairo_surface_mark_dirty(surface_); }

void ImageSurface::Fill(COLORREF colour, double alpha) {
  cairo_t* cr = cairo_create(surface_);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  SetCairoSource(cr, colour, alpha);
  cairo_paint(cr);
  cairo_destroy(cr);
  Flush();
}

COLORREF ImageSurface::PixelColorRef(int x, int y) {
  Flush();
  const QRgb p = image_.pixel(std::clamp(x, 0, width_ - 1), std::clamp(y, 0, height_ - 1));
  return RGB(qRed(p), qGreen(p), qBlue(p));
}

std::shared_ptr<ImageSurface> ImageSurface::Copy() {
  Flush();
  auto copy = std::make_shared<ImageSurface>(width_, height_);
  std::memcpy(copy->Bits(), Bits(), static_cast<size_t>(stride_) * height_);
  copy->MarkDirty();
  return copy;
}
