// Showing every segment of the large library (50,000, times RW_BENCH_SCALE)
// as the results in the running program, in the tile and in the list view:
// the fetch and the display, and the memory the shown results hold. Goal: a
// shown result holds memory of the size of its record (a ResultItem with its
// texts), whichever view shows it, not of the grids' cells.
//
// The memory is measured once, on the program's first showing of the
// results (later ones reuse what the first left): the heap the results hold
// per result in the tile view, then in the list view, and beside them the
// heap their records alone hold.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/ResultsPane.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlConnection.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <vector>

namespace {

// The bytes the heap has handed out, large blocks (mapped on their own)
// included.
double HeapInUse() {
  const struct mallinfo2 heap = mallinfo2();
  return static_cast<double>(heap.uordblks + heap.hblkhd);
}

void ShowView(const char* command) {
  gMainForm->MainToolbarHandler(QLatin1String(command));
  gMainForm->Results().Timer1->SetEnabled(false);
}

void Show(const char* sql) {
  gLibrary->Connection().Execute(QLatin1String(sql));
  gLibrary->FetchSearchResults();
  gLibrary->ShowSearchResults();
}

void ShowNone() { Show("DELETE FROM SearchResults"); }

void ShowAll() {
  Show("DELETE FROM SearchResults; INSERT INTO SearchResults SELECT SegmentID, FileID FROM VideoSegments");
}

// The program with the large library open (without thumbnails: pictures
// are not the results' memory) and the memory of its first showing of
// every segment.
struct Browser : ProgramInPrivateHome {
  double tileBytes = 0;
  double listBytes = 0;
  double recordBytes = 0;

  Browser() {
    LargeLibrarySpec spec;
    spec.thumbnails = 0;
    gMainForm->resize(1920, 1080);
    gLibrary->OpenLibrary(MakeLargeLibrary(home.path(), QStringLiteral("Large.rw2"), spec), true);
    ShowView("mnuViewTile");
    ShowNone();
    const double none = HeapInUse();
    ShowAll();
    const double results = gLibrary->ResultCount;
    if (results != ScaledSegments(spec)) std::abort();
    tileBytes = (HeapInUse() - none) / results;
    ShowView("mnuViewList");
    listBytes = (HeapInUse() - none) / results;
    const double withRecords = HeapInUse();
    std::vector<ResultItem>().swap(gResults);
    recordBytes = (withRecords - HeapInUse()) / results;
    ShowAll();
  }
};

Browser& TheBrowser() {
  static Browser browser;
  return browser;
}

void BM_ShowEverySegment(benchmark::State& state) {
  Browser& browser = TheBrowser();
  ShowView(state.range(0) == 1 ? "mnuViewTile" : "mnuViewList");
  for (auto _ : state) {
    state.PauseTiming();
    ShowNone();
    state.ResumeTiming();
    ShowAll();
  }
  state.counters["results"] = gLibrary->ResultCount;
  state.counters["bytes_per_result"] = state.range(0) == 1 ? browser.tileBytes : browser.listBytes;
  state.counters["record_bytes_per_result"] = browser.recordBytes;
  state.counters["boxes"] = browser.boxes;
}

BENCHMARK(BM_ShowEverySegment)->ArgName("view")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
