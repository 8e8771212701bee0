// Loading an item into the inspector in the whole program: an offline file
// of the generated large library that has 1,000 segments and 50 tags (no
// playback), beside the tag query it runs, GetSegmentTags, alone. Saving and
// deleting a segment of that file with every segment of the library (about
// 51,000) among the open results, beside reloading the segment grid alone.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/FlexGrid.h"
#include "platform/controls/ListView.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kFile = 7;

struct InspectorBench {
  ProgramInPrivateHome program;

  InspectorBench() {
    gLibrary->OpenLibrary(MakeLargeLibrary(gLibrariesFolder, QStringLiteral("Large.rw2")), true);
    SqlConnection& db = gLibrary->Connection();
    db.BeginTrans(QStringLiteral("bench"));
    db.Execute(QStringLiteral("UPDATE VideoFiles SET CurrentPath = '[Offline] FILMS:\\' WHERE FileID = %1").arg(kFile));
    for (int i = 0; i < 1000; ++i) {
      db.Execute(QStringLiteral("INSERT INTO VideoSegments (FileID, SelectionStart, SelectionEnd, Online, Rating) "
                                "VALUES (%1, %2, %3, 0, 0)")
                     .arg(kFile)
                     .arg(i * 2)
                     .arg(i * 2 + 1));
    }
    db.Execute(QStringLiteral("INSERT OR IGNORE INTO SegmentTags (SegmentID, TagID) SELECT %1, TagID FROM Tags WHERE "
                              "Type = 'T' ORDER BY TagID LIMIT 50")
                   .arg(WholeFileSegment()));
    db.CommitTrans(QStringLiteral("bench"));
  }

  static int WholeFileSegment() {
    auto rs = gLibrary->Connection().OpenRecordset(
        QStringLiteral("SELECT SegmentID FROM VideoSegments WHERE FileID = %1 AND FileFlag = 'Y'").arg(kFile));
    return rs->Value(0).toInt();
  }
};

InspectorBench& Bench() {
  static InspectorBench bench;
  return bench;
}

void BM_LoadInspector_OfflineFile(benchmark::State& state) {
  Bench();
  ResultItem item;
  item.SegmentID = InspectorBench::WholeFileSegment();
  item.FileID = kFile;
  for (auto _ : state) {
    bool loaded = false;
    gMainForm->Inspector().LoadInspector(item, loaded);
    benchmark::DoNotOptimize(loaded);
  }
  state.counters["segments_in_grid"] = gMainForm->Inspector().flexSegments->Rows() - 1;
  state.counters["tags_listed"] = gMainForm->Inspector().lstFileTags->ListItems.Count();
}
BENCHMARK(BM_LoadInspector_OfflineFile)->Unit(benchmark::kMillisecond);

void BM_GetSegmentTagsAlone(benchmark::State& state) {
  Bench();
  const int segment = InspectorBench::WholeFileSegment();
  for (auto _ : state) benchmark::DoNotOptimize(gLibrary->GetSegmentTags(true, kFile, segment, false, true));
}
BENCHMARK(BM_GetSegmentTagsAlone)->Unit(benchmark::kMillisecond);

// Every segment of the library among the results, the file inspected.
void OpenAllResults() {
  static bool opened = false;
  if (opened) return;
  opened = true;
  Bench();
  gResultKind = ResultScope::Segment;
  gLibrary->Connection().Execute(
      QStringLiteral("DELETE FROM SearchResults; INSERT INTO SearchResults SELECT SegmentID, FileID FROM VideoSegments"));
  gLibrary->FetchSearchResults();
  gLibrary->ShowSearchResults();
  ResultItem item;
  item.SegmentID = InspectorBench::WholeFileSegment();
  item.FileID = kFile;
  bool loaded = false;
  gMainForm->Inspector().LoadInspector(item, loaded);
}

int NewestSegment() {
  auto rs = gLibrary->Connection().OpenRecordset(QStringLiteral("SELECT MAX(SegmentID) FROM VideoSegments"));
  return rs->Value(0).toInt();
}

void BM_SaveSegment(benchmark::State& state) {
  OpenAllResults();
  InspectorPane& pane = gMainForm->Inspector();
  double start = 5000;
  for (auto _ : state) {
    pane.m_SegmentStart = start;
    pane.m_SegmentEnd = start + 0.5;
    pane.tbSegments_ButtonClick(QStringLiteral("SAVE_SEGMENT"));
    start += 1;
  }
  state.counters["results"] = gLibrary->OpenSegmentCount();
  state.counters["segments_in_grid"] = pane.flexSegments->Rows() - 1;
}
BENCHMARK(BM_SaveSegment)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_DeleteSegment(benchmark::State& state) {
  OpenAllResults();
  InspectorPane& pane = gMainForm->Inspector();
  double start = 9000;
  for (auto _ : state) {
    state.PauseTiming();
    int32_t created = 0;
    gLibrary->CreateSegment(start, start + 0.5, kFile, 0, created);
    ResultItem select;
    select.SegmentID = NewestSegment();
    pane.LoadSegmentsGrid(select);
    start += 1;
    state.ResumeTiming();
    pane.tbSegments_ButtonClick(QStringLiteral("DELETE_SEGMENT"));
  }
  state.counters["results"] = gLibrary->OpenSegmentCount();
}
BENCHMARK(BM_DeleteSegment)->Unit(benchmark::kMillisecond)->Iterations(20);

// The baseline of a delete: the library fetches and shows the results again
// after removing a segment.
void BM_RefetchResultsAlone(benchmark::State& state) {
  OpenAllResults();
  for (auto _ : state) {
    gLibrary->FetchSearchResults();
    gLibrary->ShowSearchResults();
  }
  state.counters["results"] = gLibrary->OpenSegmentCount();
}
BENCHMARK(BM_RefetchResultsAlone)->Unit(benchmark::kMillisecond)->Iterations(10);

// The baseline of a save: the reload of the segment grid it ends with.
void BM_LoadSegmentsGridAlone(benchmark::State& state) {
  OpenAllResults();
  ResultItem select;
  select.SegmentID = InspectorBench::WholeFileSegment();
  for (auto _ : state) gMainForm->Inspector().LoadSegmentsGrid(select);
}
BENCHMARK(BM_LoadSegmentsGridAlone)->Unit(benchmark::kMillisecond);

}  // namespace
