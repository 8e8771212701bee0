#pragma once
// The keyed image list of the drawing library: decoded pictures kept under a
// text key (case-insensitive) for drawing by name.
#include "platform/ImageSurface.h"
#include "platform/KeyedCollection.h"

#include <QByteArray>
#include <QString>

class CairoImageList {
 public:
  // Decodes PNG, JPEG or BMP bytes; width and height above 0 scale the picture
  // to that size. An image already under the key is replaced. Bytes that are
  // no picture raise error 481.
  void AddFromBytes(const QString& key, const QByteArray& bytes, int width = 0, int height = 0);
  void AddSurface(const QString& key, ImageSurfacePtr surface);

  bool Exists(const QString& key) const { return images_.Exists(key); }
  int Count() const { return images_.Count(); }
  // A missing key raises error 5.
  ImageSurfacePtr Item(const QString& key) const { return images_.Item(key); }
  // Position from 0 in the order of adding.
  ImageSurfacePtr ItemAt(int position) const { return images_.ItemAt(position); }
  void Remove(const QString& key);
  void Clear() { images_.Clear(); }

 private:
  KeyedCollection<ImageSurfacePtr> images_;
};

// A picture's bytes decoded into a surface (scaled when width and height are
// above 0); error 481 when the bytes are no picture.
ImageSurfacePtr DecodePicture(const QByteArray& bytes, int width = 0, int height = 0);
// A picture copied into a surface of its own.
ImageSurfacePtr SurfaceFromImage(const QImage& picture);
