// The Add Files command on a disk of 1,000 small clips (10 clips made with
// ffmpeg, each linked 100 times), in the whole program: the full run (facts
// and thumbnails) with its per-file cost split into the folder walk, the
// files' facts, the grabs and the rest, beside a per-file floor of ffprobe
// plus an ffmpeg single-frame extract on 100 of the files, and the fast
// scope (names and sizes only). The window's responsiveness during a full
// run: the longest time the message loop did not run (a 20 ms timer's
// longest gap between ticks), and how late an Abort pressed 400 ms into a
// run comes and is answered, beside the same timer's longest gap over an idle
// loop. (Their tests held them to half a second.)
//
// With RW_BENCH_MEDIA set, the files of that folder are added instead.
// With RW_SCREENSHOT set, the main window after a run and the dialog are
// saved there (the dialog's picture gets "-dialog" before ".png").
#include "bench/support/ProgramInPrivateHome.h"
#include "core/modReelwise.h"
#include "import/ImportPane.h"
#include "import/frmAddToLibrary.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "player/cMpvCore.h"
#include "tests/support/FakeSystemRoot.h"
#include "tests/support/TestVideo.h"
#include "ui/cwProgress.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kClips = 10;
constexpr int kCopies = 100;

struct AddFilesBench {
  ProgramInPrivateHome program;
  rwtest::FakeSystemRoot system;
  QTemporaryDir made;
  QString disk;
  QStringList files;

  AddFilesBench() {
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    const QString media = qEnvironmentVariable("RW_BENCH_MEDIA");
    disk = media.isEmpty() ? MakeDisk() : QDir(media).absolutePath() + QLatin1Char('/');
    system.MountDisk(disk.chopped(1), QStringLiteral("ext4"),
                     {.device = QStringLiteral("/dev/sdz1"), .uuid = QStringLiteral("7e57d15c-0000-4000-8000-000000000001"),
                      .label = QStringLiteral("Bench"), .major = 8, .minor = 200});
    system.Write();
    QDirIterator it(disk, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    files.sort();
  }

  // Ten clips of two seconds in three containers and two sizes, each linked
  // into 100 folders.
  QString MakeDisk() {
    const QString root = made.path() + QStringLiteral("/disk/");
    QDir().mkpath(root + QStringLiteral("clips"));
    QStringList clips;
    for (int i = 0; i < kClips; ++i) {
      rwtest::TestVideoSpec spec;
      spec.width = i % 2 ? 320 : 640;
      spec.height = i % 2 ? 240 : 360;
      spec.audio = i % 3 == 0;
      const char* extension = i % 3 == 0 ? "mkv" : i % 3 == 1 ? "mp4" : "avi";
      const auto clip = rwtest::MakeTestVideo(root + QStringLiteral("clips"),
                                              QStringLiteral("clip%1.%2").arg(i).arg(QLatin1String(extension)), spec);
      if (!clip) std::abort();
      clips << *clip;
    }
    for (int copy = 0; copy < kCopies; ++copy) {
      const QString folder = root + QStringLiteral("copy%1/").arg(copy, 3, 10, QLatin1Char('0'));
      QDir().mkpath(folder);
      for (const QString& clip : clips) {
        const QString target = folder + QFileInfo(clip).fileName();
        if (::link(QFile::encodeName(clip).constData(), QFile::encodeName(target).constData()) != 0) std::abort();
      }
    }
    QDir(root + QStringLiteral("clips")).removeRecursively();
    return root;
  }
};

AddFilesBench& Bench() {
  static AddFilesBench bench;
  return bench;
}

// A new, empty library opened in the program.
void FreshLibrary(int number) {
  Bench();
  const QString path = gLibrariesFolder + QStringLiteral("Bench %1.rw2").arg(number);
  QFile::remove(path);
  modReelwise::ExtractTemplateLibrary(path);
  gLibrary->OpenLibrary(path, true);
}

// Runs Add Files on the disk with the scope (0 fast, 2 thumbnails);
// `inside` runs with the dialog filled in, before START.
void RunAddFiles(int scope, const std::function<void(frmAddToLibrary&)>& inside = {}) {
  QTimer::singleShot(0, [scope, inside] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* dialog = dynamic_cast<frmAddToLibrary*>(window);
      if (!dialog || !dialog->isVisible()) continue;
      dialog->cmbSearchPath->setEditText(Bench().disk);
      dialog->optImportScope[scope]->click();
      if (inside) inside(*dialog);
      dialog->lblStart_Click();
      if (dialog->isVisible()) dialog->lblCancel_Click();
      return;
    }
  });
  gMainForm->Import().AddScannedFiles();
}

double PerFileMs(qint64 ns, int files) { return files ? ns / 1e6 / files : 0; }

void BM_AddFiles_FullScope(benchmark::State& state) {
  static int libraries = 0;
  for (auto _ : state) {
    state.PauseTiming();
    FreshLibrary(++libraries);
    state.ResumeTiming();
    RunAddFiles(2);
  }
  const ImportPane::RunCounts& run = gMainForm->Import().LastRun();
  const int files = run.added;
  state.counters["files"] = files;
  state.counters["scan_ms_per_file"] = PerFileMs(run.scanNs, files);
  state.counters["facts_ms_per_file"] = PerFileMs(run.factsNs, files);
  state.counters["grab_ms_per_file"] = PerFileMs(run.grabNs, files);
  state.counters["store_ms_per_file"] = PerFileMs(run.runNs - run.factsNs - run.grabNs, files);
  state.counters["total_ms_per_file"] = PerFileMs(run.scanNs + run.runNs, files);
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    QApplication::processEvents();
    gMainForm->grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
  }
}
BENCHMARK(BM_AddFiles_FullScope)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

// The floor: what ffprobe and a one-frame ffmpeg extract cost per file. The
// frame is taken at half the duration ffprobe reads, as the program takes
// its thumbnail from the middle of the file.
void BM_Floor_FfprobeAndFfmpegFrame(benchmark::State& state) {
  const QStringList& files = Bench().files;
  const int sample = std::min<int>(100, static_cast<int>(files.size()));
  auto run = [](const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
  };
  static const QRegularExpression durationLine(QStringLiteral("^duration=([0-9.]+)"),
                                               QRegularExpression::MultilineOption);
  QElapsedTimer clock;
  qint64 ns = 0;
  for (auto _ : state) {
    clock.start();
    for (int i = 0; i < sample; ++i) {
      const QString& file = files[i * files.size() / sample];
      const QByteArray facts = run(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"),
                                                               QStringLiteral("-show_format"),
                                                               QStringLiteral("-show_streams"), file});
      const double duration = durationLine.match(QString::fromUtf8(facts)).captured(1).toDouble();
      benchmark::DoNotOptimize(run(
          QStringLiteral("ffmpeg"),
          {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-ss"),
           QString::number(duration / 2, 'f', 3), QStringLiteral("-i"), file, QStringLiteral("-frames:v"),
           QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
           QStringLiteral("bgr0"), QStringLiteral("-")}));
    }
    ns += clock.nsecsElapsed();
  }
  state.counters["files"] = sample;
  state.counters["total_ms_per_file"] = PerFileMs(ns, sample * static_cast<int>(state.iterations()));
}
BENCHMARK(BM_Floor_FfprobeAndFfmpegFrame)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_AddFiles_FastScope(benchmark::State& state) {
  static int libraries = 100;
  for (auto _ : state) {
    state.PauseTiming();
    FreshLibrary(++libraries);
    state.ResumeTiming();
    RunAddFiles(0);
  }
  state.counters["files"] = gMainForm->Import().LastRun().added;
}
BENCHMARK(BM_AddFiles_FastScope)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime()->UseRealTime();

// A 20 ms timer and the longest gap between its ticks, in ms.
struct LoopWatch {
  QTimer ticker;
  QElapsedTimer clock;
  qint64 last = -1;
  qint64 longest = 0;

  LoopWatch() {
    QObject::connect(&ticker, &QTimer::timeout, [this] {
      const qint64 now = clock.elapsed();
      if (last >= 0) longest = std::max(longest, now - last);
      last = now;
    });
  }
  void Start() {
    last = -1;
    longest = 0;
    clock.start();
    ticker.start(20);
  }
};

void BM_AddFiles_MessageLoopGap(benchmark::State& state) {
  static int libraries = 200;
  LoopWatch watch;
  qint64 longest = 0;
  for (auto _ : state) {
    state.PauseTiming();
    FreshLibrary(++libraries);
    state.ResumeTiming();
    RunAddFiles(2, [&watch](frmAddToLibrary&) { watch.Start(); });
    watch.ticker.stop();
    longest = std::max(longest, watch.longest);
  }
  state.counters["files"] = gMainForm->Import().LastRun().added;
  state.counters["longest_gap_ms"] = static_cast<double>(longest);
}
BENCHMARK(BM_AddFiles_MessageLoopGap)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

// Abort pressed by a timer of 400 ms: how late the press comes, and the
// longest gap while the red "Cancelled" shows for a second.
void BM_AddFiles_CancelAnswer(benchmark::State& state) {
  static int libraries = 300;
  LoopWatch watch;
  qint64 late = 0;
  bool answered = true;
  for (auto _ : state) {
    state.PauseTiming();
    FreshLibrary(++libraries);
    state.ResumeTiming();
    RunAddFiles(2, [&](frmAddToLibrary&) {
      watch.Start();
      QTimer::singleShot(400, [&] {
        late = std::max(late, watch.clock.elapsed() - 400);
        gMainForm->Import().cmdAbortScan->click();
        answered = answered && gMainForm->progProgress->Caption() == QLatin1String("Cancelled");
      });
    });
    watch.ticker.stop();
  }
  if (!answered) state.SkipWithError("the cancel was not seen at once");
  state.counters["press_late_ms"] = static_cast<double>(late);
  state.counters["longest_gap_ms"] = static_cast<double>(watch.longest);
}
BENCHMARK(BM_AddFiles_CancelAnswer)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

// The baseline: the same timer over an idle message loop for two seconds.
void BM_Baseline_IdleLoopGap(benchmark::State& state) {
  LoopWatch watch;
  for (auto _ : state) {
    watch.Start();
    QEventLoop idle;
    QTimer::singleShot(2000, &idle, &QEventLoop::quit);
    idle.exec();
    watch.ticker.stop();
  }
  state.counters["longest_gap_ms"] = static_cast<double>(watch.longest);
}
BENCHMARK(BM_Baseline_IdleLoopGap)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

// Not a measurement: the dialog as it opens, for RW_SCREENSHOT.
void BM_DialogPicture(benchmark::State& state) {
  const QString path = qEnvironmentVariable("RW_SCREENSHOT");
  for (auto _ : state) {
    if (path.isEmpty()) continue;
    QTimer::singleShot(0, [path] {
      for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = dynamic_cast<frmAddToLibrary*>(window);
        if (!dialog || !dialog->isVisible()) continue;
        dialog->cmbSearchPath->setEditText(Bench().disk);
        QApplication::processEvents();
        dialog->grab().save(QString(path).replace(QStringLiteral(".png"), QStringLiteral("-dialog.png")), "PNG");
        dialog->lblCancel_Click();
      }
    });
    gMainForm->Import().AddScannedFiles();
  }
}
BENCHMARK(BM_DialogPicture)->Iterations(1);

}  // namespace
