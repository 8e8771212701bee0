// The upkeep every full open runs on a current library (probes, version stamp,
// orphan clean-up), beside the floor of reading every row of the same tables
// once; and the library object's whole reloading open of the same library.
#include "bench/support/LargeLibrary.h"
#include "core/modReelwise.h"
#include "library/LibraryUpgrade.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Fixture {
  QTemporaryDir dir;
  QString path;
  Fixture() { path = MakeLargeLibrary(dir.path(), QStringLiteral("Large.rw2")); }
};

Fixture& Library() {
  static Fixture fixture;
  return fixture;
}

void BM_HouseKeep(benchmark::State& state) {
  auto db = SqlConnection::Open(Library().path);
  for (auto _ : state) {
    TransactionGuard guard(*db, QStringLiteral("HouseKeep"));
    const UpgradeReport report = UpgradeLibrarySchema(*db);
    StampLibraryVersion(*db);
    if (!report.renumberingFailed) RemoveOrphanRows(*db);
    guard.Commit();
  }
}

// Floor: every row of the tables the upkeep looks through stepped over once
// (the pictures' rows by their keys: the upkeep reads no picture). A count
// alone would be SQLite's count of the tree's pages, not of the rows.
void BM_Floor_ReadEveryTable(benchmark::State& state) {
  auto db = SqlConnection::Open(Library().path);
  for (auto _ : state) {
    int64_t rows = 0;
    for (const char* sql : {"SELECT SegmentID, FileID FROM SegmentThumbnails", "SELECT * FROM TagLinks",
                            "SELECT * FROM VideoSegments", "SELECT * FROM SegmentTags", "SELECT * FROM VideoFiles",
                            "SELECT * FROM Tags"}) {
      const auto table = db->Prepare(QLatin1String(sql));
      while (table->Step()) ++rows;
    }
    benchmark::DoNotOptimize(rows);
  }
}

// Version check, upkeep in its transaction, device rebuild and the first
// (empty) view, without a main window.
void BM_OpenLibrary(benchmark::State& state) {
  static QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
  gPlaceholderLibraryPath = home.filePath(QStringLiteral("InitRW2"));
  modReelwise::ExtractTemplateLibrary(gPlaceholderLibraryPath);
  clsRWLibrary library;
  for (auto _ : state) library.OpenLibrary(Library().path, true);
}

BENCHMARK(BM_HouseKeep)->Unit(benchmark::kMillisecond);
// Parts of an open run on helper threads (its look at a file it has not
// upkept, the probes of the devices' mounts, the syncs of its commits): its
// CPU time is the process's.
BENCHMARK(BM_OpenLibrary)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_ReadEveryTable)->Unit(benchmark::kMillisecond);

}  // namespace
