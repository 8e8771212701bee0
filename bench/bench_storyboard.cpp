// The story boards of a 10-minute 1280 x 720 H.264 clip: the 5 x 5 grid
// board (grabs, drawing and the JPEG timed apart) beside 25 runs of the
// ffmpeg command line taking the same frames scaled to the tile, and the
// poster's 23 frames beside 23 such runs. The 5 x 5 board of a 1-second clip
// of the same kind (25 frames: two tiles share the last one) takes about as
// long as the long clip's.
//
// The time-outs a board spends, on small 320 x 240 clips with a time-out of
// 2 seconds a frame: a 10-second Matroska clip cut in half (its tiles past
// the cut take the last frame before it, no time-out) and a 5-second clip whose
// last tile takes its last frame (no time-out at the end), beside the whole
// 10-second clip.
//
// A clip with a single keyframe, as many cameras and encoders make them (10
// seconds of 1920 x 1080 at 25 frames a second, 250 frames between
// keyframes): its 5 x 5 board and its poster, which take their frames in one
// forward pass, beside ffmpeg taking the board's 25 exact frames in one pass
// too (its select filter), scaled to the tile and written as JPEG files;
// the boards of such clips at 640 x 480 and 2560 x 1080 beside theirs.
// Pinned to one core the board should take at most as long as its floor
// (taskset -c 3 build/bench/bench_storyboard --benchmark_filter=OneKeyframe
// --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true).
//
// The clips are made once by ffmpeg (x264 "veryfast", its default keyframe
// interval of 250 frames) and kept in $XDG_CACHE_HOME/reelwise-bench/ (or
// ~/.cache/reelwise-bench/), so later runs start at once.
#include "core/modRegistry.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "player/cFilePosterArt.h"
#include "player/cMpvCore.h"
#include "player/frmFilePosterArt.h"
#include "player/frmFilePreview.h"
#include "tests/support/TestVideo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

constexpr double kSeconds = 600;
constexpr double kShortSeconds = 1;

// A clip of test pattern (720p, or the size given), made once; x264's
// default keyframe interval is 250 frames.
// The folder is named at the first call, before the benchmark moves HOME
// into its private folder.
QString CachedClip(double seconds, const QString& size = QStringLiteral("1280x720")) {
  static const QString folder = [] {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty()) cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/reelwise-bench");
  }();
  const QString name = size == QLatin1String("1280x720")
                           ? QStringLiteral("storyboard-720p-%1s.mp4").arg(seconds)
                           : QStringLiteral("storyboard-%1-%2s.mp4").arg(size).arg(seconds);
  const QString clip = folder + QLatin1Char('/') + name;
  if (QFileInfo(clip).size() > 0) return clip;
  QDir().mkpath(folder);
  const QString partial = clip + QStringLiteral(".part.mp4");
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"),
               {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                QStringLiteral("-i"), QStringLiteral("testsrc2=size=%1:rate=25:duration=%2").arg(size).arg(seconds),
                QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-preset"),
                QStringLiteral("veryfast"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), partial});
  if (!ffmpeg.waitForFinished(30 * 60 * 1000) || ffmpeg.exitCode() != 0) return {};
  QFile::rename(partial, clip);
  return clip;
}

// A private home for the settings and the Temp folder.
QTemporaryDir& PrivateHome() {
  static QTemporaryDir home;
  static const bool made = [] {
    for (const char* folder : {".config", ".local/share", "Documents"}) QDir(home.path()).mkpath(folder);
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
    modReelwise::ComputeProgramFolders();
    modReelwise::CreateProgramFolders();
    modRegistry::EnsureDefaultSettings();
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    return true;
  }();
  (void)made;
  return home;
}

// The clip of `seconds` as the saved item, the story board's file.
void ChooseClip(const QString& clip, double seconds) {
  gSavedItem = ResultItem{};
  gSavedItem.CurrentPath = QFileInfo(clip).absolutePath() + QLatin1Char('/');
  gSavedItem.FileName = QFileInfo(clip).fileName();
  gSavedItem.FileAlias = QStringLiteral("Test Pattern");
  gSavedItem.SelectionEnd = seconds;
}

// The 10-minute clip as the saved item, and the 1-second one beside it.
struct StoryBoardBench {
  QString clip = CachedClip(kSeconds);
  QString shortClip = CachedClip(kShortSeconds);

  StoryBoardBench() {
    if (clip.isEmpty() || shortClip.isEmpty()) std::abort();
    PrivateHome();
    ChooseClip(clip, kSeconds);
  }
};

StoryBoardBench& Bench() {
  static StoryBoardBench bench;
  ChooseClip(bench.clip, kSeconds);
  return bench;
}

// One frame by the ffmpeg command line, scaled to the tile, as a JPEG file.
void FfmpegFrame(double seconds, const QString& out) {
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"),
               {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-ss"), QString::number(seconds, 'f', 3),
                QStringLiteral("-i"), Bench().clip, QStringLiteral("-frames:v"), QStringLiteral("1"),
                QStringLiteral("-vf"), QStringLiteral("scale=200:150"), out});
  ffmpeg.waitForFinished(60000);
}

// CPU time of this process (every thread) or of the children it waited for,
// in ms: the board reads on a worker thread, the floor in a child.
double CpuMs(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1000 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The 5 x 5 board of the clip of `seconds` (the long or the short one, or
// the one given).
void GridBoard(benchmark::State& state, double seconds, const QString& given = {}) {
  ChooseClip(!given.isEmpty() ? given : seconds == kSeconds ? Bench().clip : Bench().shortClip, seconds);
  frmFilePreview::Timings sum;
  int64_t grabbed = 0;
  double cpuMs = 0;
  for (auto _ : state) {
    const double cpuBefore = CpuMs(RUSAGE_SELF);
    auto form = std::make_unique<frmFilePreview>();
    cpuMs += CpuMs(RUSAGE_SELF) - cpuBefore;
    sum.grabMs += form->BuildTimings().grabMs;
    sum.drawMs += form->BuildTimings().drawMs;
    sum.encodeMs += form->BuildTimings().encodeMs;
    grabbed += form->GrabbedCount();
    // Closing the window, which lets its player go, is not part of the build.
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["cpu_ms"] = cpuMs / n;
  state.counters["grab_ms"] = sum.grabMs / n;
  state.counters["draw_ms"] = sum.drawMs / n;
  state.counters["encode_ms"] = sum.encodeMs / n;
  state.counters["frames"] = static_cast<double>(grabbed) / n;
  ChooseClip(Bench().clip, kSeconds);
}

void BM_StoryBoard_Grid5x5(benchmark::State& state) { GridBoard(state, kSeconds); }
BENCHMARK(BM_StoryBoard_Grid5x5)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->MinTime(5);

void BM_StoryBoard_Grid5x5_OneSecondClip(benchmark::State& state) { GridBoard(state, kShortSeconds); }
BENCHMARK(BM_StoryBoard_Grid5x5_OneSecondClip)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(5);

// The baseline: 25 runs at the tiles' times (Int(600) / 26 apart).
void BM_StoryBoard_Ffmpeg25Runs(benchmark::State& state) {
  Bench();
  QTemporaryDir out;
  for (auto _ : state) {
    for (int k = 1; k <= 25; ++k) FfmpegFrame(k * kSeconds / 26, out.filePath(QStringLiteral("%1.jpg").arg(k)));
  }
}
BENCHMARK(BM_StoryBoard_Ffmpeg25Runs)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(5);

void BM_Poster(benchmark::State& state) {
  Bench();
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegFilePosters, QStringLiteral("StoryBoardStyle"), 1);
  for (auto _ : state) {
    frmFilePosterArt form;
    if (!form.Built()) state.SkipWithError("no poster");
  }
}
BENCHMARK(BM_Poster)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->MinTime(5);

// The baseline: 23 runs at the poster's times (Int(600) / 24 apart).
void BM_Poster_Ffmpeg23Runs(benchmark::State& state) {
  Bench();
  QTemporaryDir out;
  for (auto _ : state) {
    for (int i = 1; i <= 23; ++i) FfmpegFrame(i * kSeconds / 24, out.filePath(QStringLiteral("%1.jpg").arg(i)));
  }
}
BENCHMARK(BM_Poster_Ffmpeg23Runs)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->MinTime(5);

// ---- A clip with a single keyframe ----

constexpr double kOneKeyframeSeconds = 10;

// The 10-second clip of one keyframe at a size ("1920x1080"), made once.
QString OneKeyframeClip(const QString& size = QStringLiteral("1920x1080")) {
  Bench();
  QString made = CachedClip(kOneKeyframeSeconds, size);
  if (made.isEmpty()) std::abort();
  return made;
}

// The board of the one-keyframe clip at `size`.
void OneKeyframeBoard(benchmark::State& state, const QString& size) {
  GridBoard(state, kOneKeyframeSeconds, OneKeyframeClip(size));
}

// The floor: one ffmpeg reading the clip once, its select filter keeping
// the board's 25 frames (the frame shown at each tile's time, as the board
// takes them), scaled to the tile (200 wide, as high as the picture's shape
// leaves it in 200 x 150: 113 for 16:9) and written as JPEG files.
void FfmpegSelectFloor(benchmark::State& state, const QString& size) {
  const QString clip = OneKeyframeClip(size);
  const QStringList sides = size.split(QLatin1Char('x'));
  const int tileHeight =
      std::min(150, static_cast<int>(std::lround(200.0 * sides.value(1).toDouble() / sides.value(0).toDouble())));
  QStringList frames;
  const double interval = StoryBoardInterval(kOneKeyframeSeconds, 25);
  for (int k = 1; k <= 25; ++k) {
    const double seconds = std::min(k * interval, kOneKeyframeSeconds - 1.0 / 25);
    frames << QStringLiteral("eq(n,%1)").arg(static_cast<int>(std::floor(seconds * 25 + 1e-6)));
  }
  QTemporaryDir out;
  const double before = CpuMs(RUSAGE_CHILDREN);
  for (auto _ : state) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                  QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-i"), clip, QStringLiteral("-vf"),
                  QStringLiteral("select='%1',scale=200:%2").arg(frames.join(QLatin1Char('+'))).arg(tileHeight),
                  QStringLiteral("-fps_mode"), QStringLiteral("passthrough"),
                  out.filePath(QStringLiteral("%02d.jpg"))});
    if (!ffmpeg.waitForFinished(10 * 60 * 1000) || ffmpeg.exitCode() != 0) state.SkipWithError("ffmpeg failed");
  }
  if (!QFileInfo::exists(out.filePath(QStringLiteral("25.jpg"))) ||
      QFileInfo::exists(out.filePath(QStringLiteral("26.jpg")))) {
    state.SkipWithError("ffmpeg did not write 25 frames");
  }
  state.counters["cpu_ms"] = (CpuMs(RUSAGE_CHILDREN) - before) / static_cast<double>(state.iterations());
}

void BM_StoryBoard_Grid5x5_OneKeyframe1080p(benchmark::State& state) {
  OneKeyframeBoard(state, QStringLiteral("1920x1080"));
}
BENCHMARK(BM_StoryBoard_Grid5x5_OneKeyframe1080p)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

void BM_StoryBoard_Floor_FfmpegSelect25_OneKeyframe1080p(benchmark::State& state) {
  FfmpegSelectFloor(state, QStringLiteral("1920x1080"));
}
BENCHMARK(BM_StoryBoard_Floor_FfmpegSelect25_OneKeyframe1080p)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

// The smallest and the widest of the sizes, each beside its own floor.
void BM_StoryBoard_Grid5x5_OneKeyframe640x480(benchmark::State& state) {
  OneKeyframeBoard(state, QStringLiteral("640x480"));
}
BENCHMARK(BM_StoryBoard_Grid5x5_OneKeyframe640x480)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

void BM_StoryBoard_Floor_FfmpegSelect25_OneKeyframe640x480(benchmark::State& state) {
  FfmpegSelectFloor(state, QStringLiteral("640x480"));
}
BENCHMARK(BM_StoryBoard_Floor_FfmpegSelect25_OneKeyframe640x480)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

void BM_StoryBoard_Grid5x5_OneKeyframe2560x1080(benchmark::State& state) {
  OneKeyframeBoard(state, QStringLiteral("2560x1080"));
}
BENCHMARK(BM_StoryBoard_Grid5x5_OneKeyframe2560x1080)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

void BM_StoryBoard_Floor_FfmpegSelect25_OneKeyframe2560x1080(benchmark::State& state) {
  FfmpegSelectFloor(state, QStringLiteral("2560x1080"));
}
BENCHMARK(BM_StoryBoard_Floor_FfmpegSelect25_OneKeyframe2560x1080)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

void BM_Poster_OneKeyframe1080p(benchmark::State& state) {
  const QString clip = OneKeyframeClip();
  ChooseClip(clip, kOneKeyframeSeconds);
  double cpuMs = 0;
  for (auto _ : state) {
    const double cpuBefore = CpuMs(RUSAGE_SELF);
    auto form = std::make_unique<frmFilePosterArt>();
    cpuMs += CpuMs(RUSAGE_SELF) - cpuBefore;
    if (!form->Built()) state.SkipWithError("no poster");
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
  state.counters["cpu_ms"] = cpuMs / static_cast<double>(state.iterations());
  ChooseClip(Bench().clip, kSeconds);
}
BENCHMARK(BM_Poster_OneKeyframe1080p)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

// ---- Time-outs spent on small clips ----

// The small clips, made once: 10 and 5 seconds of colour bars, and the
// 10-second one cut in half.
struct SmallClips {
  QTemporaryDir folder;
  QString ten;
  QString five;
  QString cut;

  SmallClips() {
    PrivateHome();
    rwtest::TestVideoSpec spec;
    spec.frameIndex = true;
    spec.seconds = 10;
    ten = rwtest::MakeTestVideo(folder.path(), QStringLiteral("ten.mkv"), spec).value_or(QString());
    spec.seconds = 5;
    five = rwtest::MakeTestVideo(folder.path(), QStringLiteral("five.mkv"), spec).value_or(QString());
    if (ten.isEmpty() || five.isEmpty()) std::abort();
    cut = folder.filePath(QStringLiteral("cut.mkv"));
    QFile::copy(ten, cut);
    QFile(cut).resize(QFileInfo(cut).size() / 2);
  }
};

SmallClips& Small() {
  static SmallClips clips;
  return clips;
}

void SetPoster(const char* name, const QVariant& value) {
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegFilePosters, QString::fromLatin1(name), value);
}

// Boards of the clip with the grid given, the time-out at 2 seconds a frame;
// the settings are put back after.
void SmallBoards(benchmark::State& state, const QString& clip, double seconds, int columns, int rows) {
  Small();
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("ThumbnailTimeout"), 2);
  SetPoster("HorizontalTiles", columns);
  SetPoster("VerticalTiles", rows);
  ChooseClip(clip, seconds);
  double grabMs = 0;
  int64_t grabbed = 0;
  for (auto _ : state) {
    frmFilePreview form;
    grabMs += form.BuildTimings().grabMs;
    grabbed += form.GrabbedCount();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["grab_ms"] = grabMs / n;
  state.counters["frames"] = static_cast<double>(grabbed) / n;
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("ThumbnailTimeout"), 5);
  SetPoster("HorizontalTiles", 5);
  SetPoster("VerticalTiles", 5);
}

// The baseline: every tile of the whole clip has its frame.
void BM_StoryBoard_Small_Whole10s(benchmark::State& state) { SmallBoards(state, Small().ten, 10, 5, 5); }
BENCHMARK(BM_StoryBoard_Small_Whole10s)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(2);

// Half the file: the tiles past the cut take the last frame before it.
void BM_StoryBoard_Small_CutInHalf(benchmark::State& state) { SmallBoards(state, Small().cut, 10, 5, 5); }
BENCHMARK(BM_StoryBoard_Small_CutInHalf)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(2);

// 2 x 6 tiles over 5 seconds: the last tile lies at the very end.
void BM_StoryBoard_Small_LastTileAtTheEnd(benchmark::State& state) { SmallBoards(state, Small().five, 5, 2, 6); }
BENCHMARK(BM_StoryBoard_Small_LastTileAtTheEnd)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(2);

}  // namespace
