#include "platform/JpegCodec.h"

#include "platform/RWError.h"
#include "platform/WholeFile.h"

#include <QtEndian>

#include <turbojpeg.h>

namespace {

const QString kSource = QStringLiteral("JpegCodec");

// Cairo's ARGB32 is a native-endian 32-bit word: B,G,R,A in memory on
// little-endian machines.
constexpr int kPixelFormat = (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) ? TJPF_BGRA : TJPF_ARGB;

QString LastError(tjhandle handle) { return QString::fromUtf8(tjGetErrorStr2(handle)); }

}  // namespace

JpegCodec::JpegCodec() = default;

JpegCodec::~JpegCodec() {
  if (compressor_) tjDestroy(static_cast<tjhandle>(compressor_));
  if (decompressor_) tjDestroy(static_cast<tjhandle>(decompressor_));
}

bool JpegCodec::ReadSize(const QByteArray& jpeg, int* width, int* height) {
  if (jpeg.isEmpty()) return false;
  if (!decompressor_) decompressor_ = tjInitDecompress();
  if (!decompressor_) return false;
  int subsamp = 0;
  int colorspace = 0;
  return tjDecompressHeader3(static_cast<tjhandle>(decompressor_),
                             reinterpret_cast<const unsigned char*>(jpeg.constData()),
                             static_cast<unsigned long>(jpeg.size()), width, height, &subsamp,
                             &colorspace) == 0;
}

ImageSurfacePtr JpegCodec::Decode(const QByteArray& jpeg) {
  const QSize size = SizeToDecode(jpeg);
  auto surface = std::make_shared<ImageSurface>(size.width(), size.height());
  surface->Flush();
  DecodeInto(jpeg, surface->Bits(), surface->Stride(), size);
  surface->MarkDirty();
  return surface;
}

QImage JpegCodec::DecodeOpaque(const QByteArray& jpeg) {
  const QSize size = SizeToDecode(jpeg);
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) throw RWError(kErrInvalidPicture, QStringLiteral("Invalid picture: too large"), kSource);
  DecodeInto(jpeg, image.bits(), static_cast<int>(image.bytesPerLine()), size);
  return image;
}

QSize JpegCodec::SizeToDecode(const QByteArray& jpeg) {
  int width = 0;
  int height = 0;
  if (!ReadSize(jpeg, &width, &height) || width <= 0 || height <= 0) {
    throw RWError(kErrInvalidPicture, QStringLiteral("Invalid picture: the data is not a JPEG image"), kSource);
  }
  return QSize(width, height);
}

// The decoder writes every pixel's fourth byte as 255, which both Cairo's
// ARGB32 and Qt's RGB32 read as opaque.
void JpegCodec::DecodeInto(const QByteArray& jpeg, unsigned char* bits, int stride, QSize size) {
  tjhandle handle = static_cast<tjhandle>(decompressor_);
  const int rc = tjDecompress2(handle, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                               static_cast<unsigned long>(jpeg.size()), bits, size.width(), stride,
                               size.height(), kPixelFormat, TJFLAG_ACCURATEDCT);
  // A warning (a slightly damaged but readable file) still yields a picture.
  if (rc != 0 && tjGetErrorCode(handle) != TJERR_WARNING) {
    throw RWError(kErrInvalidPicture, QStringLiteral("Invalid picture: ") + LastError(handle), kSource);
  }
}

QByteArray JpegCodec::Encode(ImageSurface& surface, int quality) {
  if (quality < 1 || quality > 100) {
    throw RWError(kErrInvalidArgument, QStringLiteral("JPEG quality must be 1 to 100, not %1").arg(quality),
                  kSource);
  }
  if (!compressor_) compressor_ = tjInitCompress();
  if (!compressor_) throw RWError(kErrInvalidArgument, QStringLiteral("Cannot start the JPEG encoder"), kSource);
  surface.Flush();
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  tjhandle handle = static_cast<tjhandle>(compressor_);
  if (tjCompress2(handle, surface.Bits(), surface.Width(), surface.Stride(), surface.Height(), kPixelFormat,
                  &out, &outSize, TJSAMP_420, quality, TJFLAG_ACCURATEDCT) != 0) {
    const QString reason = LastError(handle);
    tjFree(out);
    throw RWError(kErrInvalidPicture, QStringLiteral("Cannot encode the picture as JPEG: ") + reason, kSource);
  }
  QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
  tjFree(out);
  return bytes;
}

void JpegCodec::EncodeToFile(ImageSurface& surface, int quality, const QString& path) {
  const QByteArray bytes = Encode(surface, quality);
  QString reason;
  if (!WriteFileWhole(path, bytes, &reason)) {
    throw RWError(kErrFileAccess, FileNotWrittenText(path, reason), kSource, path);
  }
}
