#pragma once
// The carousel on a library of generated thumbnails: files 1..n, each with a
// thumbnail of its own colour (its number in the corner) and one result; the
// carousel drawn on a pane of its own, its moves counted by a pacer that
// never waits.
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "platform/JpegCodec.h"
#include "resources/GlyphFont.h"
#include "tests/library/ThumbnailFixture.h"
#include "ui/SchemeColours.h"

#include <QDir>
#include <QWidget>

#include <set>

namespace rwtest {

// Counts frames and notes the pose and the result being passed, never waiting.
class CountingPacer : public CarouselPacer {
 public:
  struct Log {
    int frames = 0;
    std::set<int32_t> indexes;
    double smallestRadiusX = 1e9;
    int fastFrames = 0;
  };
  explicit CountingPacer(Log& log) : log_(log) {}
  void BeginFrame() override {}
  void EndFrame() override {
    ++log_.frames;
    log_.indexes.insert(gBrowserIndex);
    log_.smallestRadiusX = std::min(log_.smallestRadiusX, gCarousel->Pose().RadiusX);
    if (gCarousel->Pose().FastMode) ++log_.fastFrames;
  }

 private:
  Log& log_;
};

class CarouselFixture : public rwtest::ThumbnailTestOn<rwtest::LibraryTest> {
 protected:
  void TearDown() override {
    gCarousel.reset();
    pane_.reset();
    window_.reset();
    gResults.assign(1, ResultItem{});
    gBrowserIndex = 0;
    gTVOutMode = false;
    rwtest::ThumbnailTestOn<rwtest::LibraryTest>::TearDown();
  }

  // The colour of file i's thumbnail.
  static COLORREF ColourOf(int i) { return RGB(20 + 9 * i, 230 - 9 * i, 90); }

  // File i's thumbnail: its colour, with its number in the top left corner
  // (the middle, where tests sample, stays plain).
  static QByteArray NumberedJpeg(int i) {
    ImageSurface picture(100, 75);
    picture.Fill(ColourOf(i));
    picture.MarkDirty();
    {
      CairoContext context(std::shared_ptr<ImageSurface>(&picture, [](ImageSurface*) {}));
      context.SelectFont(QStringLiteral("DejaVu Sans"), 11, RGB(255, 255, 255), true);
      context.TextOut(4, 2, QString::number(i));
    }
    picture.Flush();
    return JpegCodec().Encode(picture, 90);
  }

  // Files 1..n, each with a thumbnail of its own colour and one result.
  void OpenResults(int n, const QString& extraSql = QString()) {
    QString sql;
    QString results;
    for (int i = 1; i <= n; ++i) {
      sql += FileRow(i);
      sql += QStringLiteral("INSERT INTO SegmentThumbnails VALUES (%1, X'%2', %1);")
                 .arg(i)
                 .arg(QString::fromLatin1(NumberedJpeg(i).toHex()));
      results += QStringLiteral("%1(%2, %2)").arg(i == 1 ? "" : ", ").arg(i);
    }
    OpenWith(sql + extraSql);
    gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID13"), false, QString());
    if (n > 0) {
      Exec(QStringLiteral("DELETE FROM SearchResults; INSERT INTO SearchResults VALUES ") + results);
    } else {
      Exec(QStringLiteral("DELETE FROM SearchResults"));
    }
    gLibrary->FetchSearchResults();
    ASSERT_EQ(gLibrary->ResultCount, n);
  }

  // The carousel on a pane of its own, its canvas shown at `size`.
  void MakeCarousel(QSize size = QSize(640, 360)) {
    LoadSchemeColours();  // the program's palette, as at load
    // The glyph font, as start-up registers it, from a folder that outlives
    // every test (fonts are read again when new glyphs are drawn).
    static const bool glyphs = !RegisterGlyphFont(QDir::tempPath() + QStringLiteral("/rw2-test-glyph-font")).isEmpty();
    (void)glyphs;
    window_ = std::make_unique<QWidget>();
    window_->resize(size);
    pane_ = std::make_unique<CarouselPane>(window_.get(), window_.get());
    pane_->ucCarouselCanvas->Move(0, 0, size.width(), size.height());
    pane_->ucCarouselCanvas->SetVisible(true);
    gCarousel = std::make_unique<cCarousel>(pane_.get());
    gCarousel->SetPacer(std::make_unique<CountingPacer>(log));
    gCarousel->NewResults();
  }

  // A move with the frames counted from nothing.
  bool Move(int32_t index, bool animate = true) {
    log = {};
    return gCarousel->SetCarouselIndex(index, animate, false);
  }

  static int32_t SegmentAt(int32_t index) { return gResults[static_cast<size_t>(index)].SegmentID; }

  static bool Close(QRgb pixel, COLORREF colour, int tolerance) {
    return std::abs(qRed(pixel) - static_cast<int>(colour & 0xFF)) <= tolerance &&
           std::abs(qGreen(pixel) - static_cast<int>((colour >> 8) & 0xFF)) <= tolerance &&
           std::abs(qBlue(pixel) - static_cast<int>((colour >> 16) & 0xFF)) <= tolerance;
  }
  static QRgb Pixel(const CairoSurface& surface, int x, int y) {
    surface.Surface().Flush();
    return surface.Surface().Image().pixel(x, y);
  }

  CountingPacer::Log log;
  std::unique_ptr<QWidget> window_;
  std::unique_ptr<CarouselPane> pane_;
};

}  // namespace rwtest
