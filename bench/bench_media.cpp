// The media paths beside a script doing the same with ffprobe and ffmpeg,
// each side timed per file in the same run:
//
// - Add Files in the whole program on 30 clips of 10 to 60 seconds (half
//   640 x 360, half 1920 x 1080, H.264 with AAC sound, in MP4 and Matroska),
//   facts and thumbnails, beside a shell script, run as a process of its
//   own, that runs ffprobe on each file and then one ffmpeg at half its
//   duration, cropped and scaled to the thumbnail and written as a JPEG:
//   the same facts and the same picture.
// - A frame grab of a 1920 x 1080 clip of 60 seconds with a keyframe every
//   10 seconds, at positions spread over the clip, by the open player beside
//   its floor, a bare exact grab written straight against the decoding
//   libraries (open once; for each position seek to the keyframe before it,
//   decode on, leaving out only the non-reference frames before the
//   position, and convert the frame to 32-bit pixels), and beside the ffmpeg
//   command line taking the same frame as raw pixels. The floor checks that
//   its frames are the command line's.
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
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <map>

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

// The script: ffprobe's facts of each file, then the frame at half its
// duration, the middle 80 % across and 8 % to 88 % down scaled to 100 x 75,
// as a JPEG file. It is a shell script run as a process of its own, as a
// user would run it: started from this big process, each of its commands
// would pay for copying this process's memory map (a tenth of a second a
// file here). Its shell reads the duration and halves it with its own
// built-ins, so the only processes it starts are the two commands.
constexpr char kThumbnailScript[] = R"script(
out=$1
shift
for file in "$@"; do
  ffprobe -v error -show_format -show_streams "$file" >"$out/facts.txt"
  duration=
  while IFS='=' read -r key value; do
    case $key=$value in duration=[0-9]*) duration=$value; break ;; esac
  done <"$out/facts.txt"
  whole=${duration%%.*}
  fraction=${duration#*.}000
  half=$(( (10#$whole * 1000 + 10#${fraction:0:3}) / 2 ))
  printf -v at '%d.%03d' $((half / 1000)) $((half % 1000))
  ffmpeg -v error -nostdin -y -ss "$at" -i "$file" -frames:v 1 \
    -vf 'crop=iw*0.8:ih*0.8:iw*0.1:ih*0.08,scale=100:75' -q:v 2 "$out/thumb.jpg"
done
)script";

void BM_Script_FfprobeAndFfmpegThumbnail(benchmark::State& state) {
  const QStringList& files = Bench().files;
  QTemporaryDir out;
  const QString script = out.filePath(QStringLiteral("thumbnails.sh"));
  const QString jpeg = out.filePath(QStringLiteral("thumb.jpg"));
  {
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly) || file.write(kThumbnailScript) < 0) {
      state.SkipWithError("the script could not be written");
      return;
    }
  }
  QElapsedTimer clock;
  qint64 ns = 0;
  int64_t done = 0;
  qint64 cpu = 0;
  bool ran = true;
  for (auto _ : state) {
    clock.start();
    const qint64 cpuBefore = ChildrenCpuNs();
    QProcess shell;
    shell.setProcessChannelMode(QProcess::ForwardedChannels);
    shell.start(QStringLiteral("bash"), QStringList{script, out.path()} + files);
    ran = ran && shell.waitForFinished(30 * 60 * 1000) && shell.exitStatus() == QProcess::NormalExit &&
          shell.exitCode() == 0;
    ns += clock.nsecsElapsed();
    cpu += ChildrenCpuNs() - cpuBefore;
    done += files.size();
  }
  if (!ran || !QFileInfo(jpeg).size()) state.SkipWithError("the script wrote no thumbnail");
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

// The frames the command line gave, by position, for the floor's check.
std::map<int, QByteArray>& CommandLineFrames() {
  static std::map<int, QByteArray> frames;
  return frames;
}

QByteArray CommandLineFrame(double seconds) {
  return RunTool(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-ss"),
                  QString::number(seconds, 'f', 3), QStringLiteral("-i"), Bench().grabClip, QStringLiteral("-frames:v"),
                  QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                  QStringLiteral("bgr0"), QStringLiteral("-")});
}

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
      CommandLineFrames()[step] = CommandLineFrame(GrabPosition(step, duration));
    }
    ns += clock.nsecsElapsed();
    cpu += ChildrenCpuNs() - cpuBefore;
  }
  state.counters["ms_per_grab"] = PerFileMs(ns, state.iterations() * kGrabs);
  state.counters["cpu_ms_per_grab"] = PerFileMs(cpu, state.iterations() * kGrabs);
}
BENCHMARK(BM_GrabFrame1080p_Ffmpeg)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The floor: an exact grab straight on libavformat, libavcodec and
// libswscale, as the ffmpeg command line takes `-ss T -i` (the first frame
// whose time is T or later, T counted from the file's start time) but with
// the file opened once and no filter graph. The only work it leaves out is
// the decoding of non-reference frames before T, which nothing shown needs.
class BareGrab {
 public:
  explicit BareGrab(const QString& path) {
    if (avformat_open_input(&format_, QFile::encodeName(path).constData(), nullptr, nullptr) < 0) return;
    if (avformat_find_stream_info(format_, nullptr) < 0) return;
    const AVCodec* decoder = nullptr;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream_ < 0 || !decoder) return;
    codec_ = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(codec_, format_->streams[stream_]->codecpar);
    codec_->thread_count = 0;  // as many as the cores it may run on, as ffmpeg's default
    if (avcodec_open2(codec_, decoder, nullptr) < 0) return;
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    open_ = true;
  }
  ~BareGrab() {
    sws_freeContext(scale_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
  }
  BareGrab(const BareGrab&) = delete;
  BareGrab& operator=(const BareGrab&) = delete;

  bool Open() const { return open_; }

  // The frame at `seconds` as bgr0 rows without padding; empty past the end.
  QByteArray Grab(double seconds) {
    const int64_t start = format_->start_time == AV_NOPTS_VALUE ? 0 : format_->start_time;
    int64_t at = static_cast<int64_t>(std::llround(seconds * AV_TIME_BASE)) + start;
    const AVStream* stream = format_->streams[stream_];
    const int64_t target = av_rescale_q(at, AV_TIME_BASE_Q, stream->time_base);
    // ffmpeg seeks a little earlier in a container that does not seek by
    // presentation time, for the frames that come before their references.
    if (!(format_->iformat->flags & AVFMT_SEEK_TO_PTS) && stream->codecpar->video_delay) at -= 3 * AV_TIME_BASE / 23;
    if (avformat_seek_file(format_, -1, INT64_MIN, at, at, 0) < 0) return {};
    avcodec_flush_buffers(codec_);
    while (av_read_frame(format_, packet_) >= 0) {
      if (packet_->stream_index != stream_) {
        av_packet_unref(packet_);
        continue;
      }
      // A non-reference frame before the target is never shown: not decoded.
      codec_->skip_frame =
          packet_->pts != AV_NOPTS_VALUE && packet_->pts < target ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
      const int sent = avcodec_send_packet(codec_, packet_);
      av_packet_unref(packet_);
      if (sent < 0 && sent != AVERROR(EAGAIN)) continue;
      if (QByteArray pixels = Receive(target); !pixels.isEmpty()) return pixels;
    }
    codec_->skip_frame = AVDISCARD_DEFAULT;
    avcodec_send_packet(codec_, nullptr);
    return Receive(target);
  }

 private:
  QByteArray Receive(int64_t target) {
    while (avcodec_receive_frame(codec_, frame_) == 0) {
      const int64_t pts = frame_->best_effort_timestamp;
      if (pts != AV_NOPTS_VALUE && pts < target) {
        av_frame_unref(frame_);
        continue;
      }
      QByteArray pixels = Converted();
      av_frame_unref(frame_);
      return pixels;
    }
    return {};
  }

  QByteArray Converted() {
    const int width = frame_->width;
    const int height = frame_->height;
    scale_ = sws_getCachedContext(scale_, width, height, static_cast<AVPixelFormat>(frame_->format), width, height,
                                  AV_PIX_FMT_BGR0, SWS_BICUBIC, nullptr, nullptr, nullptr);
    // The converter may write a block of pixels past the end of the last
    // row: room for it, dropped after.
    const qsizetype size = static_cast<qsizetype>(width) * height * 4;
    QByteArray pixels(size + 64, Qt::Uninitialized);
    uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(pixels.data()), nullptr, nullptr, nullptr};
    const int strides[4] = {width * 4, 0, 0, 0};
    sws_scale(scale_, frame_->data, frame_->linesize, 0, height, planes, strides);
    pixels.truncate(size);
    return pixels;
  }

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwsContext* scale_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int stream_ = -1;
  bool open_ = false;
};

void BM_GrabFrame1080p_Bare(benchmark::State& state) {
  Bench();
  const double duration = 60;
  QElapsedTimer clock;
  qint64 ns = 0;
  qint64 cpu = 0;
  std::map<int, QByteArray> frames;
  // Opened once, as the player's clip is.
  BareGrab grab(Bench().grabClip);
  if (!grab.Open()) {
    state.SkipWithError("the clip does not open");
    return;
  }
  for (auto _ : state) {
    clock.start();
    const qint64 cpuBefore = SelfCpuNs();
    for (int step = 1; step <= kGrabs; ++step) frames[step] = grab.Grab(GrabPosition(step, duration));
    ns += clock.nsecsElapsed();
    cpu += SelfCpuNs() - cpuBefore;
  }
  // Outside the timing: each frame is the command line's, pixel for pixel.
  int same = 0;
  for (int step = 1; step <= kGrabs; ++step) {
    QByteArray& wanted = CommandLineFrames()[step];
    if (wanted.isEmpty()) wanted = CommandLineFrame(GrabPosition(step, duration));
    same += !wanted.isEmpty() && frames[step] == wanted;
  }
  if (same != kGrabs) state.SkipWithError("the floor's frames are not the command line's");
  state.counters["same_as_ffmpeg"] = same;
  state.counters["ms_per_grab"] = PerFileMs(ns, state.iterations() * kGrabs);
  state.counters["cpu_ms_per_grab"] = PerFileMs(cpu, state.iterations() * kGrabs);
}
BENCHMARK(BM_GrabFrame1080p_Bare)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
