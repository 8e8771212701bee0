// Opening a library in the oldest layout the program upgrades (ratings and
// details on files, thumbnails per file, no result view: every file is
// renumbered), at 20,000 files and at four times as many, beside a floor at
// the same sizes: every row of the old file read once and its files and
// segments written once into new tables, the least any rewriting upgrade
// does. Each run opens a fresh copy of the old file. The upgrade should grow
// as its floor does (the growth 1x to 4x of the one over the other's at most
// 1.2) and take well under 10 s of CPU at 1x; its peak memory should not
// grow with the library (at 4x within 1.2 times that at 1x), nor the
// upgraded file be much larger than the old one (within 1.2 times).
#include "bench/support/OldLibrary.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>

namespace {

constexpr int kFiles = 20000;

struct Fixture {
  QTemporaryDir dir;
  std::map<int, QString> libraries;  // by scale
  Fixture() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    gPlaceholderLibraryPath = dir.filePath(QStringLiteral("InitRW2"));
    modReelwise::ExtractTemplateLibrary(gPlaceholderLibraryPath);
  }
  const QString& Old(int scale) {
    QString& path = libraries[scale];
    if (path.isEmpty()) path = MakeOldLibrary(dir.path(), kFiles * scale);
    return path;
  }
  // A fresh copy of the old file to open, the last one and its upgrade's
  // backup gone.
  QString Copy(int scale) {
    const QString copy = dir.filePath(QStringLiteral("Open.rw2"));
    for (const QString& name : {copy, copy + QStringLiteral(".bak")}) QFile::remove(name);
    QFile::copy(Old(scale), copy);
    return copy;
  }
};

// The process's peak resident memory in MB since the last ResetPeakMemory
// (Linux's high-water mark, VmHWM).
double PeakMemoryMB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
  }
  return 0;
}

void ResetPeakMemory() {
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

Fixture& Libraries() {
  static Fixture fixture;
  return fixture;
}

// range(0): the scale. The whole open of the old file in the library object,
// without a window: the version check, the copy kept before renumbering,
// the upgrade and upkeep, the devices, the first view.
void BM_OpenOldLibrary(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  Libraries().Old(scale);
  clsRWLibrary library;
  int64_t rated = 0;
  double grown = 0;
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const QString copy = Libraries().Copy(scale);
    ResetPeakMemory();
    state.ResumeTiming();
    library.OpenLibrary(copy, true);
    state.PauseTiming();
    peak = PeakMemoryMB();
    rated = SqlRecordset(library.Connection(), QStringLiteral("SELECT count(*) FROM VideoSegments WHERE "
                                                              "FileAlias IS NOT NULL"))
                .Value(0)
                .toInt64();
    grown = double(QFileInfo(copy).size()) / double(QFileInfo(Libraries().Old(scale)).size());
    state.ResumeTiming();
  }
  // Every other file's alias moved to its whole-file segment.
  state.counters["moved"] = static_cast<double>(rated);
  // The upgraded file's size over the old one's, and the process's peak
  // memory during the open.
  state.counters["size_ratio"] = grown;
  state.counters["peak_MB"] = peak;
  state.counters["files"] = kFiles * scale;
}

// range(0): the scale. Floor: every row of the old file's tables read once,
// and its files and segments written once into tables of their own.
void BM_Floor_OldLibraryRewrite(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  Libraries().Old(scale);
  for (auto _ : state) {
    state.PauseTiming();
    auto db = SqlConnection::Open(Libraries().Copy(scale));
    state.ResumeTiming();
    TransactionGuard guard(*db, QStringLiteral("Floor"));
    int64_t rows = 0;
    for (const char* sql : {"SELECT * FROM VideoFiles", "SELECT * FROM VideoSegments", "SELECT * FROM SegmentTags",
                            "SELECT FileID FROM Thumbnails", "SELECT * FROM Tags"}) {
      const auto table = db->Prepare(QLatin1String(sql));
      while (table->Step()) ++rows;
    }
    db->Execute(QStringLiteral("CREATE TABLE Files2 AS SELECT * FROM VideoFiles; "
                               "CREATE TABLE Segments2 AS SELECT * FROM VideoSegments"));
    guard.Commit();
    benchmark::DoNotOptimize(rows);
  }
}

BENCHMARK(BM_OpenOldLibrary)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(1);
BENCHMARK(BM_Floor_OldLibraryRewrite)
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Iterations(1);

}  // namespace
