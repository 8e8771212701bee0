// One frame of a carousel move in the running program: the ring of cards
// drawn at its turned pose, composed over the background onto the 1280 x 720
// canvas, and the canvas painted scaled onto a 1920 x 1080 window. The large
// library's results are shown in the carousel, every thumbnail cached; the
// frames of moves to a neighbour are timed between the pacer's marks, so the
// 1/60 s pacing wait and the once-a-step thumbnail loading are left out.
// Goal: under 16 ms a frame with 11 and with 17 cards on the ring.
//
// The floor beside it is what a frame costs at the least: the same cards'
// thumbnails copied 1:1 onto a canvas, and the canvas copied unscaled into
// a 1920 x 1080 picture.
#include "bench/support/CarouselAlone.h"
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "library/ResultItem.h"
#include "mainwindow/frmReelwise.h"
#include "ui/CairoContext.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

CarouselAlone& TheCarousel() {
  static CarouselAlone carousel;
  return carousel;
}

void SetEntries(int16_t entries) {
  int16_t n = entries;
  gCarousel->SetCarouselEntries(n);
}

void BM_CarouselMoveFrame(benchmark::State& state) {
  TheCarousel();
  SetEntries(static_cast<int16_t>(state.range(0)));
  gCarousel->SetCarouselIndex(100, false, false);
  int direction = 1;
  for (auto _ : state) {
    auto pacer = std::make_unique<TimingPacer>();
    TimingPacer& timing = *pacer;
    gCarousel->SetPacer(std::move(pacer));
    gCarousel->SetCarouselIndex(gBrowserIndex + direction, true, false);
    direction = -direction;
    state.SetIterationTime(timing.total.count() / std::max(1, timing.frames));
  }
  state.counters["cards"] = static_cast<double>(gCarousel->CarouselEntries());
  SetEntries(11);
}
BENCHMARK(BM_CarouselMoveFrame)->Arg(11)->Arg(17)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CarouselFrameFloor(benchmark::State& state) {
  TheCarousel();
  SetEntries(static_cast<int16_t>(state.range(0)));
  gCarousel->SetCarouselIndex(100, false, false);
  const int cards = gCarousel->CarouselEntries() + 1;  // the front is drawn twice
  auto canvas = std::make_shared<ImageSurface>(1280, 720);
  CairoContext context(canvas);
  QImage screen(1920, 1080, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    for (int i = 1; i <= cards; ++i) {
      const int slot = (i - 1) % gCarousel->CarouselEntries() + 1;
      const ImageSurface& thumb = *gCarousel->Images().Item(QStringLiteral("Thumb%1").arg(slot));
      context.RenderSurface(thumb, 100 + i * 60, 20, 0, 0, 1.0, kFilterNearest);
    }
    canvas->Flush();
    QPainter painter(&screen);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, canvas->Image());
    benchmark::DoNotOptimize(screen.constBits());
  }
  SetEntries(11);
}
BENCHMARK(BM_CarouselFrameFloor)->Arg(11)->Arg(17)->Unit(benchmark::kMillisecond);

}  // namespace
