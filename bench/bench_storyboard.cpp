// The story boards of a 10-minute 1280 x 720 H.264 clip: the 5 x 5 grid
// board (grabs, drawing and the JPEG timed apart) beside 25 runs of the
// ffmpeg command line taking the same frames scaled to the tile, and the
// poster's 23 frames beside 23 such runs. The 5 x 5 board of a 1-second clip
// of the same kind (25 frames: two tiles share the last one) takes about as
// long as the long clip's.
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

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr double kSeconds = 600;
constexpr double kShortSeconds = 1;

QString CachedClip(double seconds) {
  QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
  if (cache.isEmpty()) cache = QDir::homePath() + QStringLiteral("/.cache");
  const QString folder = cache + QStringLiteral("/reelwise-bench");
  const QString clip = folder + QStringLiteral("/storyboard-720p-%1s.mp4").arg(seconds);
  if (QFileInfo(clip).size() > 0) return clip;
  QDir().mkpath(folder);
  const QString partial = clip + QStringLiteral(".part.mp4");
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"),
               {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                QStringLiteral("-i"), QStringLiteral("testsrc2=size=1280x720:rate=25:duration=%1").arg(seconds),
                QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-preset"),
                QStringLiteral("veryfast"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), partial});
  if (!ffmpeg.waitForFinished(30 * 60 * 1000) || ffmpeg.exitCode() != 0) return {};
  QFile::rename(partial, clip);
  return clip;
}

// A private home for the settings and the Temp folder; the long clip as the
// saved item unless a board asks for the short one.
struct StoryBoardBench {
  QString clip = CachedClip(kSeconds);
  QString shortClip = CachedClip(kShortSeconds);
  QTemporaryDir home;

  StoryBoardBench() {
    if (clip.isEmpty() || shortClip.isEmpty()) std::abort();
    for (const char* folder : {".config", ".local/share", "Documents"}) QDir(home.path()).mkpath(folder);
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
    modReelwise::ComputeProgramFolders();
    modReelwise::CreateProgramFolders();
    modRegistry::EnsureDefaultSettings();
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    Save(clip, kSeconds);
  }

  static void Save(const QString& path, double seconds) {
    gSavedItem = ResultItem{};
    gSavedItem.CurrentPath = QFileInfo(path).absolutePath() + QLatin1Char('/');
    gSavedItem.FileName = QFileInfo(path).fileName();
    gSavedItem.FileAlias = QStringLiteral("Test Pattern");
    gSavedItem.SelectionEnd = seconds;
  }
};

StoryBoardBench& Bench() {
  static StoryBoardBench bench;
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

// The 5 x 5 board of the clip of `seconds` (the long or the short one).
void GridBoard(benchmark::State& state, double seconds) {
  StoryBoardBench::Save(seconds == kSeconds ? Bench().clip : Bench().shortClip, seconds);
  frmFilePreview::Timings sum;
  int64_t grabbed = 0;
  for (auto _ : state) {
    frmFilePreview form;
    sum.grabMs += form.BuildTimings().grabMs;
    sum.drawMs += form.BuildTimings().drawMs;
    sum.encodeMs += form.BuildTimings().encodeMs;
    grabbed += form.GrabbedCount();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["grab_ms"] = sum.grabMs / n;
  state.counters["draw_ms"] = sum.drawMs / n;
  state.counters["encode_ms"] = sum.encodeMs / n;
  state.counters["frames"] = static_cast<double>(grabbed) / n;
  StoryBoardBench::Save(Bench().clip, kSeconds);
}

void BM_StoryBoard_Grid5x5(benchmark::State& state) { GridBoard(state, kSeconds); }
BENCHMARK(BM_StoryBoard_Grid5x5)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

void BM_StoryBoard_Grid5x5_OneSecondClip(benchmark::State& state) { GridBoard(state, kShortSeconds); }
BENCHMARK(BM_StoryBoard_Grid5x5_OneSecondClip)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

// The baseline: 25 runs at the tiles' times (Int(600) / 26 apart).
void BM_StoryBoard_Ffmpeg25Runs(benchmark::State& state) {
  Bench();
  QTemporaryDir out;
  for (auto _ : state) {
    for (int k = 1; k <= 25; ++k) FfmpegFrame(k * kSeconds / 26, out.filePath(QStringLiteral("%1.jpg").arg(k)));
  }
}
BENCHMARK(BM_StoryBoard_Ffmpeg25Runs)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

void BM_Poster(benchmark::State& state) {
  Bench();
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegFilePosters, QStringLiteral("StoryBoardStyle"), 1);
  for (auto _ : state) {
    frmFilePosterArt form;
    if (!form.Built()) state.SkipWithError("no poster");
  }
}
BENCHMARK(BM_Poster)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

// The baseline: 23 runs at the poster's times (Int(600) / 24 apart).
void BM_Poster_Ffmpeg23Runs(benchmark::State& state) {
  Bench();
  QTemporaryDir out;
  for (auto _ : state) {
    for (int i = 1; i <= 23; ++i) FfmpegFrame(i * kSeconds / 24, out.filePath(QStringLiteral("%1.jpg").arg(i)));
  }
}
BENCHMARK(BM_Poster_Ffmpeg23Runs)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

}  // namespace
