// 24-bit bottom-up pictures and the window shapes cut from them.
#include "platform/RWError.h"
#include "ui/cDIBSection.h"
#include "ui/cDIBSectionRegion.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

constexpr int32_t kSrcPaint = 0x00EE0086;
constexpr COLORREF kClear = RGB(10, 20, 30);
constexpr COLORREF kSolid = RGB(30, 20, 10);  // kClear with red and blue swapped: must stay opaque

// A picture from rows of text: '.' is kClear, anything else kSolid.
QImage Picture(std::initializer_list<const char*> rows) {
  QImage image(static_cast<int>(strlen(*rows.begin())), static_cast<int>(rows.size()), QImage::Format_RGB32);
  int y = 0;
  for (const char* row : rows) {
    for (int x = 0; row[x]; ++x) image.setPixelColor(x, y, ColorRefToQColor(row[x] == '.' ? kClear : kSolid));
    ++y;
  }
  return image;
}

// The shape built the long way: the whole picture, each column's transparent runs cut out one by one.
QRegion ColumnRunRegion(const QImage& picture) {
  QRegion region(picture.rect());
  for (int x = 0; x < picture.width(); ++x) {
    for (int y = 0, top = -1; y <= picture.height(); ++y) {
      const bool clear = y < picture.height() && QColorToColorRef(picture.pixelColor(x, y)) == kClear;
      if (clear && top < 0) top = y;
      if (!clear && top >= 0) {
        region ^= QRect(x, top, 1, y - top);
        top = -1;
      }
    }
  }
  return region;
}

// The words of a saved region file, after checking its length against its count.
std::vector<int32_t> SavedWords(const cDIBSectionRegion& region, const QString& path) {
  EXPECT_TRUE(region.Save(path));
  QFile file(path);
  const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(32, 0);
  std::vector<int32_t> words(static_cast<size_t>(bytes.size() / 4));
  for (size_t i = 0; i < words.size(); ++i) words[i] = qFromLittleEndian<int32_t>(bytes.constData() + 4 * i);
  EXPECT_EQ(bytes.size(), 32 + 16 * words[2]);
  return words;
}

// Runs f and checks that it raises error `number` from the class `source`.
template <typename F>
void ExpectError(F&& f, int32_t number, const char* source) {
  try {
    f();
    ADD_FAILURE() << "no error " << number;
  } catch (const RWError& e) {
    EXPECT_EQ(e.Number(), number) << e.what();
    EXPECT_EQ(e.Source(), QCoreApplication::applicationName() + "." + source);
  }
}

TEST(DIBSectionTest, CreateAcceptsSensibleSizesAndAnEmptyPictureDoesNothing) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(4, 3));
  EXPECT_TRUE(dib.BytesPerScanLine() == 12 && dib.hdc().bytesPerLine() == 12 && dib.hdc().size() == QSize(4, 3));
  EXPECT_EQ(dib.hdc().constBits(), dib.DIBSectionBitsPtr());
  ASSERT_TRUE(dib.Create(1, 1));
  EXPECT_EQ(dib.BytesPerScanLine(), 4);

  const std::pair<int, int> bad[] = {{0, 5}, {5, 0}, {-1, 5}, {5, -3}, {32769, 1}, {32768, 32768}};
  for (auto [w, h] : bad) {
    EXPECT_FALSE(dib.Create(w, h)) << w << "x" << h;
    EXPECT_EQ(dib.Width() + dib.Height() + dib.BytesPerScanLine(), 0);
    EXPECT_TRUE(dib.DIBSectionBitsPtr() == nullptr && dib.hdc().isNull());
  }
  QImage target(2, 2, QImage::Format_RGB32);
  target.fill(Qt::white);
  dib.LoadPictureBlt(target);
  dib.PaintPicture(target, 0, 0, -1, -1, 0, 0, kSrcPaint);
  EXPECT_EQ(target.pixel(0, 0), qRgb(255, 255, 255));
}

TEST(DIBSectionTest, PicturesAreStoredBottomUpAsBlueGreenRedInPaddedRows) {
  QImage picture(3, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) picture.setPixel(x, y, qRgb(10 * x + 1, 100 + y, 200 + x + y));
  cDIBSection dib;
  dib.CreateFromPicture(picture);
  ASSERT_EQ(dib.BytesPerScanLine(), 12);
  const uint8_t* bits = dib.DIBSectionBitsPtr();
  for (int y = 0; y < 2; ++y) {
    const uint8_t* row = bits + (1 - y) * 12;
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(row[3 * x], 200 + x + y) << x << "," << y;
      EXPECT_EQ(row[3 * x + 1], 100 + y);
      EXPECT_EQ(row[3 * x + 2], 10 * x + 1);
    }
    EXPECT_EQ(row[9] | row[10] | row[11], 0);  // padding untouched
  }
  // A part of a source lands at (0, 0), the rest stays.
  dib.LoadPictureBlt(picture, 2, 1, 1, 1);
  EXPECT_EQ(bits[12] | bits[13] << 8 | bits[14] << 16, 0x1565CB);  // red 21, green 101, blue 203
  EXPECT_EQ(bits[15], 201);
}

TEST(DIBSectionTest, PaintPictureComesOutTheRightWayUpAndDrawingIntoHdcChangesTheBits) {
  const QImage picture = Picture({"#..", "..#"});
  cDIBSection dib;
  dib.CreateFromPicture(picture);
  QImage target(5, 4, QImage::Format_RGB32);
  target.fill(Qt::white);
  dib.PaintPicture(target, 1, 1);
  EXPECT_EQ(target.copy(1, 1, 3, 2), picture);
  EXPECT_EQ(target.pixel(4, 3), qRgb(255, 255, 255));
  EXPECT_EQ(target.pixel(0, 0), qRgb(255, 255, 255));
  // Source offset and size select the part painted.
  target.fill(Qt::white);
  QPainter painter(&target);
  dib.PaintPicture(painter, 0, 0, 1, 1, 2, 1);
  painter.end();
  EXPECT_EQ(target.pixel(0, 0), picture.pixel(2, 1));
  EXPECT_EQ(target.pixel(1, 0), qRgb(255, 255, 255));

  // hdc's first row is the stored first row: the picture's bottom row.
  QPainter(&dib.hdc()).fillRect(0, 0, 3, 1, QColor(1, 2, 3));
  EXPECT_EQ(dib.DIBSectionBitsPtr()[0] | dib.DIBSectionBitsPtr()[2] << 16, 0x010003);
  // Bytes written directly show in what is painted out.
  dib.DIBSectionBitsPtr()[12 + 2] = 99;  // red of the top-left pixel
  dib.PaintPicture(target);
  EXPECT_EQ(target.pixel(0, 1), qRgb(1, 2, 3));
  EXPECT_EQ(qRed(target.pixel(0, 0)), 99);
}

TEST(DIBSectionTest, AnyRasterOperationButPlainCopyIsAnInvalidArgument) {
  cDIBSection dib;
  dib.CreateFromPicture(Picture({"#."}));
  QImage target(2, 1, QImage::Format_RGB32);
  ExpectError([&] { dib.LoadPictureBlt(target, 0, 0, -1, -1, kSrcPaint); }, 5, "cDIBSection");
  ExpectError([&] { dib.PaintPicture(target, 0, 0, -1, -1, 0, 0, kSrcPaint); }, 5, "cDIBSection");
}

TEST(DIBSectionRegionTest, ShapesWithHolesAreSavedAsBandsOfRuns) {
  // Each file: size 32, type 1, count, count x 16, bounds, then the rectangles.
  const std::vector<std::pair<QImage, std::vector<int32_t>>> cases = {
      {Picture({"####", "#..#", "#..#", "####"}),
       {32, 1, 4, 64, 0, 0, 4, 4, /**/ 0, 0, 4, 1, 0, 1, 1, 3, 3, 1, 4, 3, 0, 3, 4, 4}},
      {Picture({"#...", "#...", "####"}), {32, 1, 2, 32, 0, 0, 4, 3, /**/ 0, 0, 1, 2, 0, 2, 4, 3}},
      {Picture({"###", "#.#", "#.#"}),  // a hole down to the bottom edge
       {32, 1, 3, 48, 0, 0, 3, 3, /**/ 0, 0, 3, 1, 0, 1, 1, 3, 2, 1, 3, 3}},
      {Picture({"###", "###"}), {32, 1, 1, 16, 0, 0, 3, 2, /**/ 0, 0, 3, 2}},
      {Picture({"...", "..."}), {32, 1, 0, 0, 0, 0, 0, 0}},
  };
  QTemporaryDir dir;
  for (const auto& [picture, words] : cases) {
    cDIBSection dib;
    dib.CreateFromPicture(picture);
    cDIBSectionRegion region;
    region.Create(dib, kClear);
    EXPECT_EQ(SavedWords(region, dir.filePath("shape.rgn")), words);
    QWidget window;
    region.SetApplied(&window, true);
    if (words[2] > 0) EXPECT_EQ(window.mask(), ColumnRunRegion(picture));
    else EXPECT_FALSE(window.mask().isEmpty() || window.mask().intersects(picture.rect()));  // hidden whole
  }
}

TEST(DIBSectionRegionTest, EachWindowGetsItsOwnMaskAndIsListedOnce) {
  const QImage picture = Picture({"##", "#."});
  cDIBSection dib;
  dib.CreateFromPicture(picture);
  cDIBSectionRegion region;
  region.Create(dib, kClear);
  QWidget a, c;
  auto* b = new QWidget;
  region.SetApplied(&a, true);
  region.SetApplied(&a, true);
  region.SetApplied(b, true);
  EXPECT_EQ(region.AppliedToCount(), 2);
  EXPECT_TRUE(region.hWndForIndex(1) == &a && region.hWndForIndex(2) == b && !region.hWndForIndex(3));
  EXPECT_EQ(b->mask(), ColumnRunRegion(picture));

  region.SetApplied(&a, false);
  EXPECT_TRUE(a.mask().isEmpty());
  EXPECT_EQ(b->mask(), ColumnRunRegion(picture));
  EXPECT_EQ(region.hWndForIndex(1), b);
  c.setMask(QRegion(0, 0, 1, 1));
  region.SetApplied(&c, false);  // never listed: its mask still goes
  EXPECT_TRUE(c.mask().isEmpty());
  EXPECT_FALSE(region.Applied(&c));
  EXPECT_EQ(region.AppliedToCount(), 1);

  region.SetApplied(&a, true);
  delete b;  // a listed window that is gone is passed over
  EXPECT_EQ(region.hWndForIndex(1), nullptr);
  region.Destroy();
  EXPECT_TRUE(a.mask().isEmpty());
  EXPECT_EQ(region.AppliedToCount(), 0);
}

TEST(DIBSectionRegionTest, SaveRaisesNumberedErrorsAndReplacesAnOldFile) {
  QTemporaryDir dir;
  cDIBSectionRegion region;
  ExpectError([&] { region.Save(dir.filePath("none.rgn")); }, 26010, "cDIBSectionRegion");
  cDIBSection dib;
  dib.CreateFromPicture(Picture({"#"}));
  region.Create(dib, kClear);
  QFile old(dir.filePath("old.rgn"));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(100, 'x')) == 100);
  old.close();
  EXPECT_EQ(SavedWords(region, old.fileName()), (std::vector<int32_t>{32, 1, 1, 16, 0, 0, 1, 1, 0, 0, 1, 1}));
  // Inside a plain file, or onto a folder: unwritable whoever runs the test.
  ExpectError([&] { region.Save(old.fileName() + "/inner.rgn"); }, kErrFileAccess, "cDIBSectionRegion");
  ExpectError([&] { region.Save(dir.path()); }, kErrFileAccess, "cDIBSectionRegion");
}

}  // namespace
