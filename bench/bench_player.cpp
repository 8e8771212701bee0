// The player's frame grabs, side by side with the ffmpeg command line taking
// the same frame, and the time from opening a file to its first frame. The
// system's mixers as the player opens them at each file, beside ALSA's list
// of sound cards.
//
// The clip is the first video in RW_BENCH_MEDIA that opens with frames to
// grab, else a 10-second 640x360 clip made with ffmpeg. With RW_SCREENSHOT
// set, the benchmark also saves a host window with the video paused on its
// middle frame (RW_SCREENSHOT) and the frame grabbed there (the same name
// with "-grab" before ".png").
#include "core/modRegistry.h"
#include "core/modReelwise.h"
#include "player/ModMixers.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"
#include "tests/support/TestVideo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <alsa/asoundlib.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 360;

// A private home for the settings and the Temp folder, and the clip.
struct PlayerBench {
  QTemporaryDir home;
  QString clip;
  QWidget host;

  PlayerBench() {
    for (const char* folder : {".config", ".local/share", "Documents"}) QDir(home.path()).mkpath(folder);
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
    modReelwise::ComputeProgramFolders();
    modReelwise::CreateProgramFolders();
    modRegistry::EnsureDefaultSettings();
    // No sound in a benchmark; the null output keeps time as a device would.
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    host.resize(kWidth, kHeight);
    clip = FindClip();
    if (clip.isEmpty()) std::abort();
  }

  QString FindClip() {
    const QString media = qEnvironmentVariable("RW_BENCH_MEDIA");
    if (!media.isEmpty()) {
      clsRWPlayer probe;
      for (const QFileInfo& file : QDir(media).entryInfoList(QDir::Files, QDir::Name)) {
        if (probe.OpenFile(file.filePath(), 0, 0, kWidth, kHeight, &host, true).isEmpty() && probe.CanGrabFrame()) {
          return file.filePath();
        }
      }
      return {};
    }
    rwtest::TestVideoSpec spec;
    spec.seconds = 10;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.frameIndex = true;
    spec.audio = true;
    return rwtest::MakeTestVideo(home.path(), QStringLiteral("clip.mkv"), spec).value_or(QString());
  }
};

PlayerBench& Bench() {
  static PlayerBench bench;
  return bench;
}

// Positions spread over the clip, never the same twice in a row.
double NextPosition(int64_t step, double duration) {
  const double span = std::max(duration - 1.0, 0.5);
  return std::fmod(step * 0.37 * 7.0, span);
}

void BM_GrabFrame_Player(benchmark::State& state) {
  clsRWPlayer player;
  if (!player.OpenFile(Bench().clip, 0, 0, kWidth, kHeight, &Bench().host, true).isEmpty()) {
    state.SkipWithError("the clip does not open");
    return;
  }
  int64_t step = 0;
  int64_t missed = 0;
  for (auto _ : state) {
    player.SetPosition(NextPosition(++step, player.Duration()));
    if (player.GrabFrame().isNull()) ++missed;
  }
  state.counters["missed"] = static_cast<double>(missed);
}
BENCHMARK(BM_GrabFrame_Player)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The baseline: the same frame taken by the ffmpeg command line, as raw
// pixels to a pipe.
void BM_GrabFrame_FfmpegCommandLine(benchmark::State& state) {
  clsRWPlayer probe;
  probe.OpenFile(Bench().clip, 0, 0, kWidth, kHeight, &Bench().host, true);
  const double duration = probe.Duration();
  probe.CleanUp();
  int64_t step = 0;
  for (auto _ : state) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                  QStringLiteral("-nostdin"), QStringLiteral("-ss"),
                  QString::number(NextPosition(++step, duration), 'f', 3), QStringLiteral("-i"), Bench().clip,
                  QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("rawvideo"),
                  QStringLiteral("-pix_fmt"), QStringLiteral("bgr0"), QStringLiteral("-")});
    ffmpeg.waitForFinished(30000);
    benchmark::DoNotOptimize(ffmpeg.readAllStandardOutput());
  }
}
BENCHMARK(BM_GrabFrame_FfmpegCommandLine)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// OpenFile, ForcePosition(0) and GrabFrame on a player whose engine is made.
void BM_OpenToFirstFrame(benchmark::State& state) {
  clsRWPlayer player;
  player.OpenFile(Bench().clip, 0, 0, kWidth, kHeight, &Bench().host, true);
  for (auto _ : state) {
    if (!player.OpenFile(Bench().clip, 0, 0, kWidth, kHeight, &Bench().host, true).isEmpty()) {
      state.SkipWithError("the clip does not open");
      return;
    }
    player.ForcePosition(0);
    benchmark::DoNotOptimize(player.GrabFrame());
  }
}
BENCHMARK(BM_OpenToFirstFrame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The real mixers (the sound server's default output, else the sound card's
// own mixer), opened as at each file open; on a machine without sound they
// answer "no mixer" (mixer 0).
void BM_Mixers_Open(benchmark::State& state) {
  ModMixers::SetBackendForTests(nullptr);
  bool found = false;
  for (auto _ : state) found = ModMixers::OpenMixer(0);
  state.counters["mixer"] = found ? 1 : 0;
}
BENCHMARK(BM_Mixers_Open)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The baseline: ALSA's list of sound cards, the least the system can be
// asked about its sound.
void BM_Mixers_AlsaCardList(benchmark::State& state) {
  int cards = 0;
  for (auto _ : state) {
    cards = 0;
    for (int card = -1; snd_card_next(&card) == 0 && card >= 0;) ++cards;
  }
  state.counters["cards"] = cards;
}
BENCHMARK(BM_Mixers_AlsaCardList)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Not a measurement: the pictures RW_SCREENSHOT asks for.
void BM_Picture(benchmark::State& state) {
  const QString path = qEnvironmentVariable("RW_SCREENSHOT");
  for (auto _ : state) {
    if (path.isEmpty()) continue;
    QWidget window;
    window.setWindowTitle(QStringLiteral("Player"));
    window.resize(kWidth + 40, kHeight + 40);
    window.setStyleSheet(QStringLiteral("background: #404048"));
    window.show();
    clsRWPlayer player;
    player.OpenFile(Bench().clip, 20, 20, kWidth, kHeight, &window, true);
    player.ForcePosition(player.Duration() / 2);
    player.SetVisible(true);
    const QImage grabbed = player.GrabFrame();
    QApplication::processEvents();
    window.grab().save(path, "PNG");
    grabbed.save(QString(path).replace(QStringLiteral(".png"), QStringLiteral("-grab.png")), "PNG");
  }
}
BENCHMARK(BM_Picture)->Iterations(1);

}  // namespace
