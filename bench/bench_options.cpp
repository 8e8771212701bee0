// The options dialog in the running program on the generated large library:
// the statistics report beside its two statements run in bare sqlite3 on the
// same file, ApplyColourScheme with the library's whole tree in the main
// window, and the dialog's whole load (every page filled, the preview
// rendered, the statistics built).
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/LibraryTreePane.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "options/frmProgramOptions.h"
#include "platform/controls/TreeView.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

struct OptionsBench {
  ProgramInPrivateHome program;

  OptionsBench() {
    gLibrary->OpenLibrary(MakeLargeLibrary(gLibrariesFolder, QStringLiteral("Large.rw2")), true);
    SaveColourScheme(ColourSchemeFromText(ColourSchemePresetText(QStringLiteral("Reelwise Blues"))));
  }
};

OptionsBench& Bench() {
  static OptionsBench bench;
  return bench;
}

void BM_LibraryStatistics(benchmark::State& state) {
  Bench();
  for (auto _ : state) benchmark::DoNotOptimize(frmProgramOptions::LibraryStatistics());
}
BENCHMARK(BM_LibraryStatistics)->Unit(benchmark::kMillisecond);

// The floor: the report's two statements stepped through in bare sqlite3.
void BM_StatisticsStatementsInBareSqlite(benchmark::State& state) {
  Bench();
  sqlite3* db = nullptr;
  sqlite3_open_v2(gLibrary->LibraryPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
  const QStringList statements = frmProgramOptions::LibraryStatisticsStatements();
  for (auto _ : state) {
    int64_t sum = 0;
    for (const QString& sql : statements) {
      sqlite3_stmt* stmt = nullptr;
      sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr);
      while (sqlite3_step(stmt) == SQLITE_ROW) sum += sqlite3_column_int64(stmt, sqlite3_column_count(stmt) - 1);
      sqlite3_finalize(stmt);
    }
    benchmark::DoNotOptimize(sum);
  }
  sqlite3_close(db);
}
BENCHMARK(BM_StatisticsStatementsInBareSqlite)->Unit(benchmark::kMillisecond);

void BM_ApplyColourScheme_FullTree(benchmark::State& state) {
  Bench();
  frmProgramOptions options;
  for (auto _ : state) options.ApplyColourScheme();
  state.counters["tree_nodes"] = gMainForm->Tree().tvwLibrary->Nodes.Count();
}
BENCHMARK(BM_ApplyColourScheme_FullTree)->Unit(benchmark::kMillisecond);

void BM_OptionsDialogLoad(benchmark::State& state) {
  Bench();
  for (auto _ : state) {
    frmProgramOptions options;
    options.StartPage = 5;
    options.Load();
  }
}
BENCHMARK(BM_OptionsDialogLoad)->Unit(benchmark::kMillisecond);

}  // namespace
