// Loading an item into the inspector in the whole program: an offline file
// of the generated large library that has 1,000 segments and 50 tags (no
// playback), beside the tag query it runs, GetSegmentTags, alone.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
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

}  // namespace
