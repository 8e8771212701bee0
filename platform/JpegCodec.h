#pragma once
// JPEG encoding and decoding of image surfaces (thumbnails, story boards).
#include "platform/ImageSurface.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class JpegCodec {
 public:
  JpegCodec();
  ~JpegCodec();
  JpegCodec(const JpegCodec&) = delete;
  JpegCodec& operator=(const JpegCodec&) = delete;

  // Decodes a JPEG file image into a new opaque surface of the picture's size.
  // Data that is not a JPEG raises error 481 (invalid picture).
  ImageSurfacePtr Decode(const QByteArray& jpeg);
  // The same pixels in an opaque Qt image (QImage::Format_RGB32), for a
  // picture shown as a pixmap: Qt then adopts it as it is, without looking
  // for alpha a JPEG cannot hold or converting it.
  QImage DecodeOpaque(const QByteArray& jpeg);
  // The picture's size without decoding it; false when it is not a JPEG.
  bool ReadSize(const QByteArray& jpeg, int* width, int* height);

  // Encodes the surface at quality 1..100 (the program uses 90) with 4:2:0
  // chroma subsampling; alpha is dropped.
  QByteArray Encode(ImageSurface& surface, int quality);
  // Encodes into a file, replacing it only once the whole picture is written;
  // a failure names the file and why, as FileNotWrittenText says it.
  void EncodeToFile(ImageSurface& surface, int quality, const QString& path);

 private:
  // The picture's size; data that is not a JPEG raises error 481.
  QSize SizeToDecode(const QByteArray& jpeg);
  void DecodeInto(const QByteArray& jpeg, unsigned char* bits, int stride, QSize size);

  void* compressor_ = nullptr;
  void* decompressor_ = nullptr;
};
