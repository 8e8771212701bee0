// Selecting all 50,000 results of the large library in the running program,
// as "Select All" and "Select Inverse" do: every result's flag and its place
// in the selection store, the state code of every cell in the tile or list
// grid, and the count. Goals: under 50 ms, and at most 2 x the floor.
//
// The floor beside each is writing the same 50,000 cell texts into the same
// grid's model, prepared beforehand, with the grid frozen as the selection
// freezes it. The selection store's own share is measured apart: each flag
// that changes adds or removes one entry there.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/ResultsPane.h"
#include "browser/ResultGrids.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlConnection.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <vector>

namespace {

const int kResults = ScaledSegments();

// The program with every segment of the large library as its results.
struct Selection : ProgramInPrivateHome {
  Selection() {
    LargeLibrarySpec spec;
    spec.thumbnails = 0;  // the selection paints nothing
    OpenLargeResults(spec);
  }
};

ResultsPane& Results() {
  static Selection selection;
  return gMainForm->Results();
}

// Shows the results in view `mode` (1 tiles, 2 list), none selected.
void ShowView(int mode) {
  Results();
  gMainForm->MainToolbarHandler(mode == 1 ? QStringLiteral("mnuViewTile") : QStringLiteral("mnuViewList"));
  // The blink would only add its own repaints between the steps.
  Results().Timer1->SetEnabled(false);
  Results().ApplySelection(QStringLiteral("De-select"), 0, 0);
  if (gBrowserMode != mode) std::abort();
}

ctl::FlexGrid& Grid(int mode) { return mode == 1 ? *Results().flexThumbsTiled : *Results().flexThumbsList; }

// The cells the selection writes in view `mode`, in its order.
std::vector<std::pair<int, int>> StateCells(int mode) {
  std::vector<std::pair<int, int>> cells;
  cells.reserve(kResults);
  const int columns = ResultGrids::TileColumns();
  for (int k = 1; k <= kResults; ++k) {
    cells.emplace_back(mode == 1 ? std::pair{(k - 1) / columns, (k - 1) % columns + 1} : std::pair{k, 1});
  }
  return cells;
}

void Report(benchmark::State& state) {
  state.counters["selected"] = gLibrary->SelectedCount;
  state.counters["results"] = kResults;
}

// "Select" over all; the results are de-selected again between the runs.
void BM_SelectAll(benchmark::State& state) {
  ShowView(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Results().ApplySelection(QStringLiteral("Select"), 0, 0);
    state.PauseTiming();
    if (gLibrary->SelectedCount != kResults) std::abort();
    Results().ApplySelection(QStringLiteral("De-select"), 0, 0);
    state.ResumeTiming();
  }
  Results().ApplySelection(QStringLiteral("Select"), 0, 0);
  Report(state);
}

// "Invert" over all: every run turns every flag.
void BM_InvertAll(benchmark::State& state) {
  ShowView(static_cast<int>(state.range(0)));
  for (auto _ : state) Results().ApplySelection(QStringLiteral("Invert"), 0, 0);
  Report(state);
}

// Floor: the selected codes written into the frozen grid's cells.
void BM_Floor_WriteCellTexts(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  ShowView(mode);
  ctl::FlexGrid& grid = Grid(mode);
  ctl::FlexGridModel& model = grid.Model();
  const std::vector<std::pair<int, int>> cells = StateCells(mode);
  // One text per state code, shared by every cell showing it, as the walk
  // writes them: 50,000 texts of their own would make the floor's speed
  // depend on where the heap happened to put them.
  std::map<int, QString> codes;
  std::vector<const QString*> texts;
  texts.reserve(cells.size());
  for (int k = 1; k <= kResults; ++k) {
    const int code = gResults[static_cast<size_t>(k)].DisplayState - 1;
    auto [at, added] = codes.try_emplace(code, QString::number(code));
    texts.push_back(&at->second);
  }
  const bool redraw = grid.Redraw();
  grid.SetRedraw(false);
  for (auto _ : state) {
    for (size_t i = 0; i < cells.size(); ++i) model.EditCell(cells[i].first, cells[i].second).text = *texts[i];
    model.NotifyAll();
    benchmark::ClobberMemory();
  }
  grid.SetRedraw(redraw);
  state.counters["cells"] = static_cast<double>(cells.size());
}

// Beside the floor: the selection store alone taking every result's flag
// in turn, as "Invert" over all does (one entry added or removed each).
void BM_Store_InvertAllFlags(benchmark::State& state) {
  Results();
  bool selected = false;
  for (auto _ : state) {
    selected = !selected;
    for (int k = 1; k <= kResults; ++k) gSelectedById.Set(gResults[static_cast<size_t>(k)].SegmentID, selected ? 1 : 0);
  }
  gSelectedById.Reset();
  state.counters["flags"] = kResults;
}

void Views(benchmark::internal::Benchmark* bench) {
  bench->ArgName("view")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_SelectAll)->Apply(Views);
BENCHMARK(BM_InvertAll)->Apply(Views);
BENCHMARK(BM_Floor_WriteCellTexts)->Apply(Views);
BENCHMARK(BM_Store_InvertAllFlags)->Unit(benchmark::kMillisecond);

}  // namespace
