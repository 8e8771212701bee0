// Laying out the main window's panes in the running program, with the large
// library's 50,000 results in the tile view of a 1920 x 1080 window, the way
// a splitter drag asks for it: the tree pane requests a width and the
// layout snaps the browser to whole tile columns, then draws the thumbnails
// in view again.
//
// Goals: a step that keeps the column count within 1.5 times one screen
// drawn (DrawGridImages, measured in the same run); a step that changes the
// column count, and so rebuilds both grids for 50,000 results, under 50 ms.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlConnection.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const int kResults = ScaledSegments();

// The program with every segment of the large library as its results in
// the tile view.
struct Browser : ProgramInPrivateHome {
  Browser() {
    OpenLargeResults({}, true, QStringLiteral("mnuViewTile"));
    if (gMainForm->width() != 1920) std::abort();
  }
};

Browser& TheBrowser() {
  static Browser browser;
  return browser;
}

// The layout for a browser of `right` pixels requested by the tree pane.
void LayOut(double right) {
  gMainForm->Tree().picLeft->SetWidth(gMainForm->width() - right);
  gMainForm->LayoutPanes();
}

void Report(benchmark::State& state, int steps) {
  state.counters["columns"] = gTileColumns;
  state.counters["rows_in_view"] = gTileRowsVisible;
  state.counters["tile_rows"] = gMainForm->Results().flexThumbsTiled->Rows();
  state.counters["steps"] = steps;
  state.counters["boxes"] = TheBrowser().boxes;
}

// Two requests within the same whole number of tile columns (1400 and 1430
// pixels: 13 columns): only the tree pane's width changes, then a screen of
// thumbnails is drawn again.
void BM_LayoutKeepingTheColumns(benchmark::State& state) {
  TheBrowser();
  LayOut(1400);
  const int columns = static_cast<int>(gTileColumns);
  int steps = 0;
  for (auto _ : state) {
    LayOut(steps % 2 == 0 ? 1430 : 1400);
    ++steps;
  }
  if (static_cast<int>(gTileColumns) != columns) state.SkipWithError("the column count changed");
  Report(state, steps);
}

// Requests on either side of a multiple of 104 pixels (1400: 13 columns,
// 1300: 12): both grids are rebuilt for the results.
void BM_LayoutChangingTheColumns(benchmark::State& state) {
  TheBrowser();
  LayOut(1400);
  int steps = 0;
  for (auto _ : state) {
    LayOut(steps % 2 == 0 ? 1300 : 1400);
    ++steps;
  }
  Report(state, steps);
}

// One screen drawn: the thumbnails of the rows in view painted into the
// tile grid as the layout leaves it.
void BM_OneScreenDrawn(benchmark::State& state) {
  TheBrowser();
  LayOut(1400);
  int steps = 0;
  for (auto _ : state) {
    gMainForm->Results().DrawGridImages();
    ++steps;
  }
  Report(state, steps);
}

BENCHMARK(BM_OneScreenDrawn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutKeepingTheColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutChangingTheColumns)->Unit(benchmark::kMillisecond);

}  // namespace
