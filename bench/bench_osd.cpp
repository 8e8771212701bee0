// The on-screen display drawn over a 1920 x 1080 video: the full display (as
// the full-screen player draws it at every command and fade step) and the
// tagging layout, beside two baselines in the same run: the preview's plain
// display and an empty band of the same size filled and handed over.
#include "core/modRegistry.h"
#include "core/modReelwise.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"
#include "tests/support/TestVideo.h"
#include "ui/CairoContext.h"
#include "ui/CairoObject.h"
#include "ui/modCairo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// A private home and a player with a short full-HD clip open in a host
// window of its size.
struct OsdBench {
  QTemporaryDir home;
  QWidget host;
  clsRWPlayer player;

  OsdBench() {
    for (const char* folder : {".config", ".local/share", "Documents"}) QDir(home.path()).mkpath(folder);
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
    modReelwise::ComputeProgramFolders();
    modReelwise::CreateProgramFolders();
    modRegistry::EnsureDefaultSettings();
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    gWindowMode = 1;
    host.resize(kWidth, kHeight);
    rwtest::TestVideoSpec spec;
    spec.seconds = 1;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.frameIndex = true;
    const QString clip = rwtest::MakeTestVideo(home.path(), QStringLiteral("hd.mkv"), spec).value_or(QString());
    if (clip.isEmpty() || !player.OpenFile(clip, 0, 0, kWidth, kHeight, &host, true).isEmpty()) std::abort();
    player.SetVisible(true);
    host.show();
  }
};

// Made on first use and deleted by the application object as it goes (its
// post routines run before it tears the widget system down): a static
// widget would be deleted after the application and crash the exit.
OsdBench* gBench = nullptr;

void DeleteBench() {
  delete gBench;
  gBench = nullptr;
}

OsdBench& Bench() {
  if (!gBench) {
    gBench = new OsdBench;
    qAddPostRoutine(DeleteBench);
  }
  return *gBench;
}

// Opacities as the fade timer steps them down.
double Fade(int64_t step) { return 1.0 - static_cast<double>(step % 10) / 10; }

void BM_OverlayText_Full(benchmark::State& state) {
  clsRWPlayer& player = Bench().player;
  gOsdIcon = QStringLiteral("OV_VOL_UP");
  int64_t step = 0;
  for (auto _ : state) {
    player.OverlayText(QStringLiteral("Volume %1%").arg(step % 100), Fade(step), QStringLiteral("0h:01m:05.00s"),
                       true);
    ++step;
  }
}
// Qt blends parts of the display on threads of its own: the CPU time of each
// is the process's.
BENCHMARK(BM_OverlayText_Full)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

void BM_OverlayText_Tagging(benchmark::State& state) {
  clsRWPlayer& player = Bench().player;
  gOsdIcon = QStringLiteral("OV_TAG");
  int64_t step = 0;
  for (auto _ : state) {
    player.OverlayText(QStringLiteral("Hol//IDA//ys in Rome//%1/12").arg(step % 12 + 1), Fade(step), {}, true);
    ++step;
  }
}
BENCHMARK(BM_OverlayText_Tagging)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

// Baseline: the preview's display, one text on black.
void BM_OverlayText_Plain(benchmark::State& state) {
  clsRWPlayer& player = Bench().player;
  int64_t step = 0;
  for (auto _ : state) {
    player.OverlayText(QStringLiteral("0:01:%1").arg(step % 60, 2, 10, QLatin1Char('0')), 1.0, {}, false);
    ++step;
  }
}
BENCHMARK(BM_OverlayText_Plain)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

// Baseline: what any band costs, an empty one of the display's size filled
// in one colour and handed to the video window.
void BM_EmptyBand(benchmark::State& state) {
  cVideoWindow* window = Bench().player.VideoWindow();
  const int height = Bench().host.height() / 14;
  auto band = modCairo::GetCairo()->CreateSurface(kWidth, height);
  auto context = band->Context();
  int64_t step = 0;
  for (auto _ : state) {
    context->SetSourceColour(RGB(200, 200, 120));
    context->Paint();
    band->Surface().Flush();
    window->ShowOverlay(band->Surface().Image().copy(), QSize(kWidth, kHeight), Fade(step++));
  }
}
BENCHMARK(BM_EmptyBand)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

// What the display adds to painting the video window: the window drawn (into
// a picture, as offscreen) with the paused 1920 x 1080 frame and the full
// band mixed in at half opacity, beside the same drawing with the display
// hidden.
void PaintWindow(benchmark::State& state, double opacity) {
  clsRWPlayer& player = Bench().player;
  gOsdIcon = QStringLiteral("OV_PLAY");
  player.OverlayText(QStringLiteral("Holidays in Rome"), opacity, QStringLiteral("0h:01m:05.00s"), true);
  for (auto _ : state) benchmark::DoNotOptimize(player.VideoWindow()->grab());
}
void BM_Paint_WithDisplay(benchmark::State& state) { PaintWindow(state, 0.5); }
void BM_Paint_WithoutDisplay(benchmark::State& state) { PaintWindow(state, 0); }
BENCHMARK(BM_Paint_WithDisplay)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Paint_WithoutDisplay)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

}  // namespace
