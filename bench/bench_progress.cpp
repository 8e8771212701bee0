// One progress report on an 800 x 22 strip, as a long loop makes it for every
// item, side by side with the least any redraw of that strip costs: a plain
// fill of a new surface of the same size, copied into the box and shown.
#include "platform/controls/PictureBox.h"
#include "ui/CairoContext.h"
#include "ui/CairoObject.h"
#include "ui/SchemeColours.h"
#include "ui/cwProgress.h"
#include "ui/modCairo.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr int kItems = 50000;

struct Strip {
  Strip() {
    box.resize(800, 22);
    box.show();
    QApplication::processEvents();
  }
  ctl::PictureBox box;
};

void BM_BroadcastProgress(benchmark::State& state) {
  Strip strip;
  cwProgress progress;
  progress.SetHost(&strip.box);
  progress.SetMax(kItems);
  int item = 0;
  for (auto _ : state) {
    progress.BroadcastProgress(QStringLiteral("Loading Thumbnails..."), item % kItems + 1, gSchemeColour4);
    ++item;
  }
}

void BM_PlainFill(benchmark::State& state) {
  Strip strip;
  auto cairo = modCairo::GetCairo();
  for (auto _ : state) {
    auto surface = cairo->CreateSurface(800, 22);
    {
      auto cc = surface->Context();
      cc->SetSourceColour(gSchemeColour1);
      cc->Paint();
    }
    surface->DrawToDC(strip.box.Surface());
    strip.box.Refresh();
  }
}

BENCHMARK(BM_BroadcastProgress)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainFill)->Unit(benchmark::kMicrosecond);

}  // namespace
