#include "ui/CairoImageList.h"

#include "platform/RWError.h"

#include <QImage>
#include <QPainter>

ImageSurfacePtr DecodePicture(const QByteArray& bytes, int width, int height) {
  QImage picture = QImage::fromData(bytes);
  if (picture.isNull()) {
    throw RWError(kErrInvalidPicture, QStringLiteral("Invalid picture"), QStringLiteral("CairoImageList"));
  }
  if (width > 0 && height > 0) {
    picture = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return SurfaceFromImage(picture);
}

ImageSurfacePtr SurfaceFromImage(const QImage& image) {
  const QImage picture = FittedToSurface(image);
  auto surface = std::make_shared<ImageSurface>(picture.width(), picture.height());
  surface->Flush();
  {
    QPainter painter(&surface->Image());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, picture);
  }
  surface->MarkDirty();
  return surface;
}

void CairoImageList::AddFromBytes(const QString& key, const QByteArray& bytes, int width, int height) {
  AddSurface(key, DecodePicture(bytes, width, height));
}

void CairoImageList::AddSurface(const QString& key, ImageSurfacePtr surface) {
  if (images_.Exists(key)) images_.Remove(key);
  images_.Add(std::move(surface), key);
}

void CairoImageList::Remove(const QString& key) {
  if (images_.Exists(key)) images_.Remove(key);
}
