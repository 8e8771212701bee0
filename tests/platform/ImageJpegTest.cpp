#include "platform/ImageSurface.h"
#include "platform/JpegCodec.h"
#include "platform/RWError.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Within a small tolerance per channel, as JPEG is lossy.
void ExpectNear(COLORREF actual, COLORREF expected, int tolerance, const char* where) {
  EXPECT_LE(std::abs(GetRValue(actual) - GetRValue(expected)), tolerance) << where;
  EXPECT_LE(std::abs(GetGValue(actual) - GetGValue(expected)), tolerance) << where;
  EXPECT_LE(std::abs(GetBValue(actual) - GetBValue(expected)), tolerance) << where;
}

// A 100 x 75 thumbnail of four coloured quarters drawn with Cairo.
ImageSurfacePtr Quarters() {
  auto surface = std::make_shared<ImageSurface>(100, 75);
  cairo_t* cr = cairo_create(surface->CairoSurface());
  const COLORREF colours[4] = {RGB(220, 30, 30), RGB(30, 200, 40), RGB(20, 40, 210), RGB(250, 250, 250)};
  for (int q = 0; q < 4; ++q) {
    SetCairoSource(cr, colours[q]);
    cairo_rectangle(cr, (q % 2) * 50, (q / 2) * 37.5, 50, 37.5);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  return surface;
}

TEST(ImageSurfaceTest, CairoAndQtShareOnePicture) {
  ImageSurface surface(20, 10);
  surface.Fill(RGB(255, 0, 0));
  EXPECT_EQ(surface.PixelColorRef(5, 5), RGB(255, 0, 0)) << "a red COLORREF reads back red";
  EXPECT_EQ(surface.Image().pixel(19, 9), qRgb(255, 0, 0));

  // Drawing through Qt is seen by Cairo-side readers after MarkDirty.
  {
    QPainter painter(&surface.Image());
    painter.fillRect(0, 0, 10, 10, QColor(0, 0, 255));
  }
  surface.MarkDirty();
  EXPECT_EQ(surface.PixelColorRef(2, 2), RGB(0, 0, 255));
  EXPECT_EQ(surface.PixelColorRef(15, 2), RGB(255, 0, 0));

  auto copy = surface.Copy();
  surface.Fill(RGB(0, 0, 0));
  EXPECT_EQ(copy->PixelColorRef(15, 2), RGB(255, 0, 0)) << "a copy has its own memory";
}

TEST(JpegCodecTest, ThumbnailRoundTripsAtQuality90) {
  auto surface = Quarters();
  JpegCodec codec;
  const QByteArray jpeg = codec.Encode(*surface, 90);
  ASSERT_TRUE(jpeg.startsWith("\xff\xd8"));
  int w = 0;
  int h = 0;
  ASSERT_TRUE(codec.ReadSize(jpeg, &w, &h));
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 75);

  auto decoded = codec.Decode(jpeg);
  EXPECT_EQ(decoded->Width(), 100);
  EXPECT_EQ(decoded->Height(), 75);
  ExpectNear(decoded->PixelColorRef(20, 15), RGB(220, 30, 30), 12, "top left");
  ExpectNear(decoded->PixelColorRef(80, 15), RGB(30, 200, 40), 12, "top right");
  ExpectNear(decoded->PixelColorRef(20, 60), RGB(20, 40, 210), 12, "bottom left");
  ExpectNear(decoded->PixelColorRef(80, 60), RGB(250, 250, 250), 12, "bottom right");
  EXPECT_EQ(qAlpha(decoded->Image().pixel(50, 40)), 255) << "decoded pictures are opaque";

  // The opaque Qt image holds the very same pixels.
  const QImage opaque = codec.DecodeOpaque(jpeg);
  EXPECT_EQ(opaque.format(), QImage::Format_RGB32);
  EXPECT_EQ(opaque, decoded->Image().convertToFormat(QImage::Format_RGB32));
  EXPECT_THROW(codec.DecodeOpaque(QByteArray("not a picture")), RWError);

  // Other decoders read what we write.
  QImage viaQt;
  ASSERT_TRUE(viaQt.loadFromData(jpeg, "JPEG"));
  EXPECT_EQ(viaQt.size(), QSize(100, 75));
}

TEST(JpegCodecTest, QualityChangesTheSize) {
  auto surface = Quarters();
  JpegCodec codec;
  EXPECT_LT(codec.Encode(*surface, 20).size(), codec.Encode(*surface, 100).size());
  EXPECT_THROW(codec.Encode(*surface, 0), RWError);
  EXPECT_THROW(codec.Encode(*surface, 101), RWError);
}

TEST(JpegCodecTest, DataThatIsNotAJpegIsAnInvalidPicture) {
  JpegCodec codec;
  for (const QByteArray& bad : {QByteArray(), QByteArray("not a picture"), QByteArray("\xff\xd8\xff\xe0", 4)}) {
    try {
      codec.Decode(bad);
      ADD_FAILURE() << "decoded " << bad.size() << " bad bytes";
    } catch (const RWError& e) {
      EXPECT_EQ(e.Number(), kErrInvalidPicture);
    }
  }
}

TEST(JpegCodecTest, EncodesIntoAFile) {
  QTemporaryDir dir;
  auto surface = Quarters();
  JpegCodec codec;
  const QString path = dir.filePath(QStringLiteral("Story Board.jpg"));
  codec.EncodeToFile(*surface, 90, path);
  QImage image(path);
  EXPECT_EQ(image.size(), QSize(100, 75));
  EXPECT_THROW(codec.EncodeToFile(*surface, 90, dir.filePath(QStringLiteral("missing/folder/x.jpg"))), RWError);
}

}  // namespace
