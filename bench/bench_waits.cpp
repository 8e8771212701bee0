// How long the window stands without a sign of life during the program's
// long work and its waits on a disk that does not answer: each case runs its
// command from the event loop of the whole program (offscreen) while a
// heartbeat timer of 20 ms runs on the window's thread, and reports the
// longest gap between two heartbeats ("stall_ms"), the longest time with
// neither a heartbeat nor a painting of any widget ("unpainted_ms": the
// window stood still and showed nothing) and the command's own time
// ("command_ms"). Goals: unpainted_ms at most about 500 (long work's grace
// and one interval) and, on a disk that does not answer, command_ms at most
// 3500. The library cases run at RW_BENCH_SCALE (1 and 4 for the goals); the
// tag tree has 200,000 tags times the scale; the disk that stops answering
// (or answers each call in 2.5 s) is the tests' stand-in
// (tests/support/HangingFiles.h), guarded as a network mount is.
#include "bench/support/OldLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "core/SettingsStore.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/ErrorGuard.h"
#include "platform/HangGuard.h"
#include "platform/LongWork.h"
#include "platform/MessageBoxSeam.h"
#include "platform/MountProbe.h"
#include "platform/SqlConnection.h"
#include "tests/support/HangingFiles.h"
#include "ui/cwProgress.h"
#include "platform/FileDialogSeam.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

struct Gaps {
  double stallMs = 0;
  double unpaintedMs = 0;
  double commandMs = 0;
  double unpaintedAtMs = 0;  // where the longest unpainted time began, into the command
};

// Sees every painting of the program's widgets.
class PaintSpy : public QObject {
 public:
  PaintSpy(std::vector<double>& paints, const QElapsedTimer& clock) : paints_(paints), clock_(clock) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) paints_.push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6);
    return false;
  }

 private:
  std::vector<double>& paints_;
  const QElapsedTimer& clock_;
};

// The longest gap between two of `times` within [from, to], and where it
// began, from `from`.
std::pair<double, double> LongestGap(std::vector<double> times, double from, double to) {
  times.push_back(from);
  times.push_back(to);
  std::sort(times.begin(), times.end());
  double longest = 0;
  double at = 0;
  for (size_t i = 1; i < times.size(); ++i) {
    if (times[i] < from || times[i - 1] > to) continue;
    if (times[i] - times[i - 1] > longest) {
      longest = times[i] - times[i - 1];
      at = times[i - 1] - from;
    }
  }
  return {longest, at};
}

// Runs `command` from the event loop with the heartbeat going.
Gaps Measure(const std::function<void()>& command) {
  QElapsedTimer clock;
  clock.start();
  const auto now = [&clock] { return static_cast<double>(clock.nsecsElapsed()) / 1e6; };
  std::vector<double> beats;
  std::vector<double> paints;
  PaintSpy spy(paints, clock);
  qApp->installEventFilter(&spy);
  QTimer heart;
  heart.setTimerType(Qt::PreciseTimer);
  heart.setInterval(20);
  QObject::connect(&heart, &QTimer::timeout, [&] { beats.push_back(now()); });
  QEventLoop loop;
  double start = 0;
  double end = 0;
  bool done = false;
  QTimer::singleShot(100, [&] {
    start = now();
    command();
    end = now();
    QTimer::singleShot(100, [&] { done = true; });
  });
  heart.start();
  while (!done) loop.processEvents(QEventLoop::WaitForMoreEvents);
  heart.stop();
  qApp->removeEventFilter(&spy);
  std::vector<double> signs = beats;
  signs.insert(signs.end(), paints.begin(), paints.end());
  const auto unpainted = LongestGap(signs, start, end + 60);
  return {LongestGap(beats, start, end + 60).first, unpainted.first, end - start, unpainted.second};
}

// With RW_SCREENSHOT set (a path ending in ".png"), the main window is saved
// as it shows 1.5 s into each case's work, under the path with the case's
// name before ".png": what the pulse looks like.
void PictureDuring(const QString& name) {
  const QString path = qEnvironmentVariable("RW_SCREENSHOT");
  if (path.isEmpty()) return;
  const QString picture = QString(path).replace(QStringLiteral(".png"), QLatin1Char('-') + name + QStringLiteral(".png"));
  static std::function<void(int64_t)> pulse;
  static QString target;
  static bool saved = false;
  target = picture;
  saved = false;
  LongWork::SetPulse([](int64_t elapsedMs) {
    if (gMainForm && gMainForm->progProgress) gMainForm->progProgress->Pulse(elapsedMs);
    if (!saved && elapsedMs >= 1500 && gMainForm) {
      saved = true;
      gMainForm->grab().save(target);
    }
  });
}

void Report(benchmark::State& state, const Gaps& gaps, int boxes) {
  state.counters["stall_ms"] = gaps.stallMs;
  state.counters["unpainted_ms"] = gaps.unpaintedMs;
  state.counters["command_ms"] = gaps.commandMs;
  state.counters["unpainted_at_ms"] = gaps.unpaintedAtMs;
  state.counters["boxes"] = boxes;
}

struct Program : ProgramInPrivateHome {
  Program() {
    gMainForm->resize(1920, 1080);
    // Boxes are counted, never shown.
    SetMessageBoxResponder([this](const MessageBoxRequest&) {
      ++boxes;
      return vbOK;
    });
  }
  void Run(benchmark::State& state, const QString& name, const std::function<void()>& prepare,
           const std::function<void()>& command) {
    Gaps worst;
    for (auto _ : state) {
      state.PauseTiming();
      prepare();
      boxes = 0;
      state.ResumeTiming();
      PictureDuring(name);
      const Gaps gaps = Measure([&] { ErrorGuard().Run(command); });
      worst.stallMs = std::max(worst.stallMs, gaps.stallMs);
      if (gaps.unpaintedMs > worst.unpaintedMs) {
        worst.unpaintedMs = gaps.unpaintedMs;
        worst.unpaintedAtMs = gaps.unpaintedAtMs;
      }
      worst.commandMs = std::max(worst.commandMs, gaps.commandMs);
    }
    Report(state, worst, boxes);
  }
};

Program& TheProgram() {
  static Program program;
  return program;
}

void BM_Waits_ExportCsv(benchmark::State& state) {
  Program& program = TheProgram();
  program.OpenLargeResults();
  program.Run(state, QStringLiteral("export"), [] {}, [] { gMainForm->MainToolbarHandler(QStringLiteral("mnuToolsExportCSV")); });
}

void BM_Waits_Compaction(benchmark::State& state) {
  Program& program = TheProgram();
  const QString path = MakeLargeLibrary(program.home.path(), QStringLiteral("Large.rw2"));
  program.Run(state, QStringLiteral("compaction"), [&] { gLibrary->OpenLibrary(path, true); }, [] { gLibrary->CompactDatabase(); });
}

void BM_Waits_OpenOldLibrary(benchmark::State& state) {
  Program& program = TheProgram();
  const QString old = MakeOldLibrary(program.home.path(), 20000 * LargeLibraryScale());
  const QString copy = program.home.filePath(QStringLiteral("Upgraded.rw2"));
  program.Run(
      state, QStringLiteral("old-library"),
      [&] {
        for (const QString& name : {copy, copy + QStringLiteral(".bak")}) QFile::remove(name);
        QFile::copy(old, copy);
      },
      [&] { gLibrary->OpenLibrary(copy, true); });
}

// The first open of a library of 200,000 tags (times the scale) whose
// behaviours and categories were never derived.
void BM_Waits_FirstOpenOfABigTree(benchmark::State& state) {
  Program& program = TheProgram();
  LargeLibrarySpec spec;
  spec.tags = 200000 * LargeLibraryScale();
  const QString path = MakeLargeLibrary(program.home.path(), QStringLiteral("Tags.rw2"), spec);
  program.Run(
      state, QStringLiteral("big-tree"),
      [&] { SqlConnection::Open(path)->Execute(QStringLiteral("UPDATE Tags SET Behaviour = NULL, CategoryID = NULL")); },
      [&] { gLibrary->OpenLibrary(path, true); });
}

// A change (a tag put on a segment) while another program holds the
// library's file locked.
void BM_Waits_ChangeUnderAnotherProgramsLock(benchmark::State& state) {
  Program& program = TheProgram();
  const QString path = MakeLargeLibrary(program.home.path(), QStringLiteral("Large.rw2"));
  gLibrary->OpenLibrary(path, true);
  sqlite3* other = nullptr;
  program.Run(
      state, QStringLiteral("lock"),
      [&] {
        sqlite3_open(QFile::encodeName(path).constData(), &other);
        sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
      },
      [] { gLibrary->TagSegment(1, 101, false); });
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
}

// A change to a library whose disk stops answering.
void BM_Waits_ChangeOnADiskThatStopsAnswering(benchmark::State& state) {
  Program& program = TheProgram();
  const QString folder = program.home.filePath(QStringLiteral("share"));
  QDir().mkpath(folder);
  HangGuard::GuardEveryFile(true);
  const QString path = MakeLargeLibrary(folder, QStringLiteral("Large.rw2"));
  gLibrary->OpenLibrary(path, true);
  {
    rwtest::HangingFiles medium(folder);
    program.Run(state, QStringLiteral("change-hang"), [&] { medium.Hang(); }, [] { gLibrary->TagSegment(1, 101, false); });
  }
  MountProbe::SetRootProbe(nullptr);
  HangGuard::GuardEveryFile(false);
}

// Save As onto a disk that stops answering.
void BM_Waits_SaveAsOntoADiskThatStopsAnswering(benchmark::State& state) {
  Program& program = TheProgram();
  const QString path = MakeLargeLibrary(program.home.path(), QStringLiteral("Large.rw2"));
  gLibrary->OpenLibrary(path, true);
  const QString folder = program.home.filePath(QStringLiteral("share"));
  QDir().mkpath(folder);
  const QString target = folder + QStringLiteral("/Copy.rw2");
  const FileDialogHandler before = SetFileDialogResponder([&target](const FileDialogRequest&) {
    FileDialogResult answer;
    answer.accepted = true;
    answer.files = {target};
    return answer;
  });
  {
    rwtest::HangingFiles medium(folder);
    program.Run(state, QStringLiteral("saveas-hang"), [&] { medium.Hang(); }, [] { gLibrary->SaveLibraryAsDialog(false); });
  }
  SetFileDialogResponder(before);
}

// A library on a disk whose calls hang (`hang`) or answer slowly, guarded as
// a network mount's, opened before the case; undone after it.
struct GuardedShare {
  explicit GuardedShare(Program& program) : folder(program.home.filePath(QStringLiteral("share"))) {
    QDir().mkpath(folder);
    HangGuard::GuardEveryFile(true);
  }
  ~GuardedShare() {
    MountProbe::SetRootProbe(nullptr);
    HangGuard::GuardEveryFile(false);
  }
  QString folder;
};

// A change to a library whose disk answers each call in 2.5 s.
void BM_Waits_ChangeOnADiskThatAnswersSlowly(benchmark::State& state) {
  Program& program = TheProgram();
  const GuardedShare share(program);
  const QString path = MakeLargeLibrary(share.folder, QStringLiteral("Slow.rw2"));
  gLibrary->OpenLibrary(path, true);
  {
    rwtest::HangingFiles medium(share.folder);
    program.Run(state, QStringLiteral("change-slow"), [&] { medium.Slow(2500); },
                [] { gLibrary->TagSegment(1, 101, false); });
  }
  gLibrary->OpenLibrary(gPlaceholderLibraryPath, true);
}

// Switching to another library while the reads of the open one hang: the
// stamp of the library let go.
void BM_Waits_SwitchFromALibraryWhoseReadsHang(benchmark::State& state) {
  Program& program = TheProgram();
  const GuardedShare share(program);
  const QString path = MakeLargeLibrary(share.folder, QStringLiteral("Hanging.rw2"));
  const QString other = MakeLargeLibrary(program.home.path(), QStringLiteral("Other.rw2"));
  rwtest::HangingFiles medium(share.folder);
  program.Run(
      state, QStringLiteral("switch-hang"),
      [&] {
        medium.Release();
        medium.AllBack();
        MountProbe::SetRootProbe(nullptr);
        gLibrary->OpenLibrary(path, true);
        medium.Hang();
      },
      [&] { gLibrary->OpenLibrary(other, true); });
}

// Save As onto a library file already there whose disk stops answering: the
// look for its lock.
void BM_Waits_SaveAsOntoAHangingOpen(benchmark::State& state) {
  Program& program = TheProgram();
  const QString path = MakeLargeLibrary(program.home.path(), QStringLiteral("Large.rw2"));
  gLibrary->OpenLibrary(path, true);
  const GuardedShare share(program);
  const QString target = share.folder + QStringLiteral("/Existing.rw2");
  QFile::copy(path, target);
  const FileDialogHandler before = SetFileDialogResponder([&target](const FileDialogRequest&) {
    FileDialogResult answer;
    answer.accepted = true;
    answer.files = {target};
    return answer;
  });
  {
    rwtest::HangingFiles medium(share.folder);
    program.Run(state, QStringLiteral("saveas-open-hang"), [&] { medium.Hang(); },
                [] { gLibrary->SaveLibraryAsDialog(false); });
  }
  SetFileDialogResponder(before);
}

// A setting changed while another process holds the settings' lock.
void BM_Waits_SettingUnderAnotherProcesssLock(benchmark::State& state) {
  Program& program = TheProgram();
  const QByteArray lockPath = QFile::encodeName(SettingsStore::DefaultPath() + QStringLiteral(".lock"));
  // A lock of another open file description is another holder's, as another
  // process's would be.
  const int held = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ::flock(held, LOCK_EX);
  int value = 0;
  program.Run(state, QStringLiteral("settings-lock"), [] {}, [&value] {
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("BenchWaits"), ++value);
  });
  ::close(held);
}

BENCHMARK(BM_Waits_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Waits_Compaction)->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Waits_OpenOldLibrary)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Waits_FirstOpenOfABigTree)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Waits_ChangeUnderAnotherProgramsLock)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Waits_ChangeOnADiskThatStopsAnswering)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Waits_SaveAsOntoADiskThatStopsAnswering)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Waits_ChangeOnADiskThatAnswersSlowly)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Waits_SwitchFromALibraryWhoseReadsHang)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Waits_SaveAsOntoAHangingOpen)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Waits_SettingUnderAnotherProcesssLock)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
