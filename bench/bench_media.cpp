// The media paths beside a script doing the same with ffprobe and ffmpeg,
// each side timed per file in the same run:
//
// - Add Files in the whole program on 30 clips of 10 to 60 seconds (half
//   640 x 360, half 1920 x 1080, H.264 with AAC sound, in MP4 and Matroska),
//   facts and thumbnails, beside a script that runs ffprobe on each file and
//   then one ffmpeg at half its duration, cropped and scaled to the
//   thumbnail and written as a JPEG: the same facts and the same picture.
// - A frame grab of a 1920 x 1080 clip of 60 seconds with a keyframe every
//   10 seconds, at positions spread over the clip, by the open player beside
//   the ffmpeg command line taking the same frame as raw pixels.
//
// The clips are made once with ffmpeg (x264 "veryfast") and kept in
// $XDG_CACHE_HOME/reelwise-bench/ (or ~/.cache/reelwise-bench/); with
// RW_BENCH_MEDIA set, Add Files takes the files of that folder instead.
// scripts/bench-media.sh runs this program pinned to one core and on every
// core and prints the medians and the ratios.
#include "bench/support/ProgramInPrivateHome.h"
#include "core/modReelwise.h"
#include "import/ImportPane.h"
#include "import/frmAddToLibrary.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"
#include "tests/support/FakeSystemRoot.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kClips = 30;

QString CacheFolder() {
  QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
  if (cache.isEmpty()) cache = QDir::homePath() + QStringLiteral("/.cache");
  return cache + QStringLiteral("/reelwise-bench");
}

bool RunFfmpeg(const QStringList& arguments, int timeoutMs = 30 * 60 * 1000) {
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                                                     QStringLiteral("error"), QStringLiteral("-nostdin"),
                                                     QStringLiteral("-y")} +
                                             arguments);
  return ffmpeg.waitForFinished(timeoutMs) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

// A clip of moving test pattern with a tone, made once; `keyframes` > 0
// fixes the keyframe interval in frames.
QString CachedClip(const QString& folder, const QString& name, const QString& size, int seconds, int keyframes = 0) {
  const QString clip = folder + QLatin1Char('/') + name;
  if (QFileInfo(clip).size() > 0) return clip;
  QDir().mkpath(folder);
  const QString partial = folder + QStringLiteral("/part.") + QFileInfo(name).suffix();
  QStringList arguments{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                        QStringLiteral("testsrc2=size=%1:rate=25:duration=%2").arg(size).arg(seconds),
                        QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                        QStringLiteral("sine=frequency=440:duration=%1").arg(seconds), QStringLiteral("-c:v"),
                        QStringLiteral("libx264"), QStringLiteral("-preset"), QStringLiteral("veryfast"),
                        QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p")};
  if (keyframes > 0) {
    arguments << QStringLiteral("-x264-params")
              << QStringLiteral("keyint=%1:min-keyint=%1:scenecut=0").arg(keyframes);
  }
  arguments << QStringLiteral("-c:a") << QStringLiteral("aac") << QStringLiteral("-shortest") << partial;
  if (!RunFfmpeg(arguments) || !QFile::rename(partial, clip)) return {};
  return clip;
}

// The 30 clips: 10 to 60 seconds, even ones 640 x 360, odd ones 1080p.
QString MediaFolder(const QString& cache) {
  const QString folder = cache + QStringLiteral("/media30");
  for (int i = 0; i < kClips; ++i) {
    const int seconds = 10 + (i * 17) % 51;
    const QString size = i % 2 ? QStringLiteral("1920x1080") : QStringLiteral("640x360");
    const QString name = QStringLiteral("clip%1-%2-%3s.%4")
                             .arg(i, 2, 10, QLatin1Char('0'))
                             .arg(size)
                             .arg(seconds)
                             .arg(QLatin1String(i % 3 == 1 ? "mkv" : "mp4"));
    if (CachedClip(folder, name, size, seconds).isEmpty()) std::abort();
  }
  return folder;
}

struct MediaBench {
  // Named before the program moves HOME into its private folder.
  QString cache = CacheFolder();
  ProgramInPrivateHome program;
  rwtest::FakeSystemRoot system;
  QString disk;
  QStringList files;
  QString grabClip;

  MediaBench() {
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    const QString media = qEnvironmentVariable("RW_BENCH_MEDIA");
    disk = QDir(media.isEmpty() ? MediaFolder(cache) : media).absolutePath() + QLatin1Char('/');
    system.MountDisk(disk.chopped(1), QStringLiteral("ext4"),
                     {.device = QStringLiteral("/dev/sdz1"), .uuid = QStringLiteral("7e57d15c-0000-4000-8000-000000000063"),
                      .label = QStringLiteral("Media"), .major = 8, .minor = 201});
    system.Write();
    QDirIterator it(disk, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    files.removeIf([](const QString& file) { return QFileInfo(file).fileName().startsWith(QLatin1String("part.")); });
    files.sort();
    grabClip = CachedClip(cache, QStringLiteral("grab-1080p-gop10s.mp4"), QStringLiteral("1920x1080"), 60, 250);
    if (files.isEmpty() || grabClip.isEmpty()) std::abort();
  }
};

MediaBench& Bench() {
  static MediaBench bench;
  return bench;
}

// CPU time of this process (every thread) and of the children it waited
// for, in ns: on a busy machine the CPU a path spends stands still where its
// wall-clock time does not.
qint64 CpuNs(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto ns = [](const timeval& t) { return static_cast<qint64>(t.tv_sec) * 1000000000 + t.tv_usec * 1000LL; };
  return ns(usage.ru_utime) + ns(usage.ru_stime);
}
qint64 SelfCpuNs() { return CpuNs(RUSAGE_SELF); }
qint64 ChildrenCpuNs() { return CpuNs(RUSAGE_CHILDREN); }

double PerFileMs(qint64 ns, int64_t files) { return files ? static_cast<double>(ns) / 1e6 / static_cast<double>(files) : 0; }

// ---- Add Files ----

void FreshLibrary(int number) {
  Bench();
  const QString path = gLibrariesFolder + QStringLiteral("Media %1.rw2").arg(number);
  QFile::remove(path);
  modReelwise::ExtractTemplateLibrary(path);
  gLibrary->OpenLibrary(path, true);
}

// Add Files on the media folder with facts and thumbnails.
void RunAddFiles() {
  QTimer::singleShot(0, [] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* dialog = dynamic_cast<frmAddToLibrary*>(window);
      if (!dialog || !dialog->isVisible()) continue;
      dialog->cmbSearchPath->setEditText(Bench().disk);
      dialog->optImportScope[2]->click();
      dialog->lblStart_Click();
      if (dialog->isVisible()) dialog->lblCancel_Click();
      return;
    }
  });
  gMainForm->Import().AddScannedFiles();
}

void BM_AddFiles_PerFile(benchmark::State& state) {
  static int libraries = 0;
  ImportPane::RunCounts sum;
  qint64 cpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    FreshLibrary(++libraries);
    state.ResumeTiming();
    const qint64 cpuBefore = SelfCpuNs();
    RunAddFiles();
    cpu += SelfCpuNs() - cpuBefore;
    const ImportPane::RunCounts& run = gMainForm->Import().LastRun();
    sum.added += run.added;
    sum.scanNs += run.scanNs;
    sum.runNs += run.runNs;
    sum.factsNs += run.factsNs;
    sum.grabNs += run.grabNs;
  }
  if (sum.added != static_cast<int>(Bench().files.size() * state.iterations())) {
    state.SkipWithError("not every file was added");
  }
  state.counters["files"] = static_cast<double>(Bench().files.size());
  state.counters["facts_ms_per_file"] = PerFileMs(sum.factsNs, sum.added);
  state.counters["grab_ms_per_file"] = PerFileMs(sum.grabNs, sum.added);
  state.counters["rest_ms_per_file"] = PerFileMs(sum.runNs - sum.factsNs - sum.grabNs, sum.added);
  state.counters["ms_per_file"] = PerFileMs(sum.scanNs + sum.runNs, sum.added);
  state.counters["cpu_ms_per_file"] = PerFileMs(cpu, sum.added);
}
BENCHMARK(BM_AddFiles_PerFile)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

QByteArray RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(60000);
  return process.readAllStandardOutput();
}

// The script: ffprobe's facts of the file, then the frame at half its
// duration, the middle 80 % across and 8 % to 88 % down scaled to 100 x 75,
// as a JPEG file.
void BM_Script_FfprobeAndFfmpegThumbnail(benchmark::State& state) {
  const QStringList& files = Bench().files;
  QTemporaryDir out;
  const QString jpeg = out.filePath(QStringLiteral("thumb.jpg"));
  static const QRegularExpression durationLine(QStringLiteral("^duration=([0-9.]+)"),
                                               QRegularExpression::MultilineOption);
  QElapsedTimer clock;
  qint64 ns = 0;
  int64_t done = 0;
  qint64 cpu = 0;
  for (auto _ : state) {
    clock.start();
    const qint64 cpuBefore = ChildrenCpuNs();
    for (const QString& file : files) {
      const QByteArray facts = RunTool(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"),
                                                                   QStringLiteral("-show_format"),
                                                                   QStringLiteral("-show_streams"), file});
      const double duration =
          durationLine.match(QString::fromUtf8(facts)).captured(1).toDouble();
      RunTool(QStringLiteral("ffmpeg"),
              {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-y"),
               QStringLiteral("-ss"), QString::number(duration / 2, 'f', 3), QStringLiteral("-i"), file,
               QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-vf"),
               QStringLiteral("crop=iw*0.8:ih*0.8:iw*0.1:ih*0.08,scale=100:75"), QStringLiteral("-q:v"),
               QStringLiteral("2"), jpeg});
      ++done;
    }
    ns += clock.nsecsElapsed();
    cpu += ChildrenCpuNs() - cpuBefore;
  }
  if (!QFileInfo(jpeg).size()) state.SkipWithError("ffmpeg wrote no thumbnail");
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["ms_per_file"] = PerFileMs(ns, done);
  state.counters["cpu_ms_per_file"] = PerFileMs(cpu, done);
}
BENCHMARK(BM_Script_FfprobeAndFfmpegThumbnail)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// ---- A frame grab of the 1080p clip ----

// Positions spread over the clip, never the same twice in a row.
double GrabPosition(int64_t step, double duration) { return std::fmod(static_cast<double>(step) * 7.37, duration - 1); }

constexpr int kGrabs = 12;

void BM_GrabFrame1080p_Player(benchmark::State& state) {
  Bench();
  clsRWPlayer player;
  QWidget host;
  host.resize(640, 360);
  if (!player.OpenFile(Bench().grabClip, 0, 0, 640, 360, &host, true).isEmpty()) {
    state.SkipWithError("the clip does not open");
    return;
  }
  int64_t missed = 0;
  QElapsedTimer clock;
  qint64 ns = 0;
  qint64 cpu = 0;
  for (auto _ : state) {
    clock.start();
    const qint64 cpuBefore = SelfCpuNs();
    for (int step = 1; step <= kGrabs; ++step) {
      player.SetPosition(GrabPosition(step, player.Duration()));
      if (player.GrabFrame().isNull()) ++missed;
    }
    ns += clock.nsecsElapsed();
    cpu += SelfCpuNs() - cpuBefore;
  }
  state.counters["missed"] = static_cast<double>(missed);
  state.counters["ms_per_grab"] = PerFileMs(ns, state.iterations() * kGrabs);
  state.counters["cpu_ms_per_grab"] = PerFileMs(cpu, state.iterations() * kGrabs);
}
BENCHMARK(BM_GrabFrame1080p_Player)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The script: the ffmpeg command line taking the same frames as raw pixels
// to a pipe.
void BM_GrabFrame1080p_Ffmpeg(benchmark::State& state) {
  Bench();
  const double duration = 60;
  QElapsedTimer clock;
  qint64 ns = 0;
  qint64 cpu = 0;
  for (auto _ : state) {
    clock.start();
    const qint64 cpuBefore = ChildrenCpuNs();
    for (int step = 1; step <= kGrabs; ++step) {
      benchmark::DoNotOptimize(RunTool(
          QStringLiteral("ffmpeg"),
          {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-ss"),
           QString::number(GrabPosition(step, duration), 'f', 3), QStringLiteral("-i"), Bench().grabClip,
           QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("rawvideo"),
           QStringLiteral("-pix_fmt"), QStringLiteral("bgr0"), QStringLiteral("-")}));
    }
    ns += clock.nsecsElapsed();
    cpu += ChildrenCpuNs() - cpuBefore;
  }
  state.counters["ms_per_grab"] = PerFileMs(ns, state.iterations() * kGrabs);
  state.counters["cpu_ms_per_grab"] = PerFileMs(cpu, state.iterations() * kGrabs);
}
BENCHMARK(BM_GrabFrame1080p_Ffmpeg)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
