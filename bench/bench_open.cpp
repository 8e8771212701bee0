// Opening the generated large library in the running program (main window
// and all): the whole open under each thumbnail policy, and its phases one
// by one (upkeep, tree, thumbnails, view replay). Beside them the library's
// other heavy paths on the same file: the tag cloud over 50,000 results, a
// page of tiles over 50,000 results and the missing-files check over 20,000
// files. Each is measured next to a floor: the rows or files it has to touch
// at the least, read once.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "core/modReelwise.h"
#include "library/LibraryUpgrade.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "mainwindow/frmReelwise.h"
#include "platform/JpegCodec.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace {

constexpr int kResults = 50000;

// The program with the large library beside it.
struct Program : ProgramInPrivateHome {
  QString library;

  Program() {
    library = MakeLargeLibrary(home.path(), QStringLiteral("Large.rw2"));
    gLibrary->OpenLibrary(library, true);
  }
  SqlConnection& Db() { return gLibrary->Connection(); }
};

Program& TheProgram() {
  static Program program;
  return program;
}

void ReportBoxes(benchmark::State& state) { state.counters["boxes"] = TheProgram().boxes; }

// ---- The whole open, and its phases ----

void BM_OpenLibrary(benchmark::State& state) {
  Program& program = TheProgram();
  gLibrary->ThumbnailPolicy = static_cast<int16_t>(state.range(0));
  for (auto _ : state) gLibrary->OpenLibrary(program.library, true);
  state.counters["cached"] = gLibrary->ThumbnailCache.Count();
  gLibrary->ThumbnailPolicy = 0;
  ReportBoxes(state);
}

// The open after another connection renamed one tag: the file is no longer
// as the program left it, so the open looks at it again.
void BM_OpenLibraryAfterEdit(benchmark::State& state) {
  Program& program = TheProgram();
  gLibrary->ThumbnailPolicy = static_cast<int16_t>(state.range(0));
  static int edits = 0;  // a new name every time, over repetitions too
  for (auto _ : state) {
    state.PauseTiming();
    SqlConnection::Open(program.library)
        ->Execute(QStringLiteral("UPDATE Tags SET Tag = 'Renamed %1' WHERE TagID = 101").arg(++edits));
    state.ResumeTiming();
    gLibrary->OpenLibrary(program.library, true);
  }
  state.counters["cached"] = gLibrary->ThumbnailCache.Count();
  gLibrary->ThumbnailPolicy = 0;
  ReportBoxes(state);
}

// The look at the file before an open changes it: header, SQLite's quick
// check of every page, and the write probes.
void BM_Phase_Examine(benchmark::State& state) {
  Program& program = TheProgram();
  for (auto _ : state) benchmark::DoNotOptimize(SqlConnection::Examine(program.library));
  state.counters["MB"] = double(QFileInfo(program.library).size()) / 1e6;
}

// The upkeep every full open runs (the device rebuild is still a no-op).
void BM_Phase_HouseKeep(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  for (auto _ : state) {
    TransactionGuard guard(db, QStringLiteral("HouseKeep"));
    UpgradeLibrarySchema(db);
    StampLibraryVersion(db);
    RemoveOrphanRows(db);
    guard.Commit();
  }
}

void BM_Phase_Tree(benchmark::State& state) {
  TheProgram();
  for (auto _ : state) {
    gLibrary->PopulateTree();
    gLibrary->SortTree();
  }
  state.counters["nodes"] = gMainForm->Tree().tvwLibrary->Nodes.Count();
  ReportBoxes(state);
}

// Floor of the tree: its rows read once.
void BM_Floor_TreeRows(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  for (auto _ : state) {
    SqlRecordset tags(db, QStringLiteral("SELECT TagID, Tag, Type FROM Tags"));
    SqlRecordset links(db, QStringLiteral("SELECT * FROM TagLinks"));
    SqlRecordset formats(db, QStringLiteral("SELECT DISTINCT FileFormat FROM VideoFiles"));
    benchmark::DoNotOptimize(tags.RecordCount() + links.RecordCount() + formats.RecordCount());
  }
}

void BM_Phase_LoadThumbnails(benchmark::State& state) {
  TheProgram();
  for (auto _ : state) gLibrary->LoadThumbnails();
  state.counters["cached"] = gLibrary->ThumbnailCache.Count();
}

// Floor of the pre-load: every picture read once.
void BM_Floor_ThumbnailRows(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  for (auto _ : state) {
    SqlRecordset rows(db, QStringLiteral("SELECT SegmentID, Thumbnail FROM SegmentThumbnails"));
    benchmark::DoNotOptimize(rows.RecordCount());
  }
}

void BM_Phase_ViewReplay(benchmark::State& state) {
  TheProgram();
  for (auto _ : state) gLibrary->ShowView(QStringLiteral("|_T:101"), QString());
}

// ---- The tag cloud over 50,000 results ----

void FillResults(SqlConnection& db) {
  db.Execute(
      QStringLiteral("DELETE FROM SearchResults; INSERT INTO SearchResults SELECT SegmentID, FileID FROM "
                     "VideoSegments"));
}

void BM_PopulateTagCloudTable(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  FillResults(db);
  for (auto _ : state) gLibrary->PopulateTagCloudTable();
  SqlRecordset rows(db, QStringLiteral("SELECT count(*), max(iteration) FROM TagCloud"));
  state.counters["rows"] = rows.Value(0).toInt();
  state.counters["rounds"] = rows.Value(1).toInt();
}

// Floor of the cloud: the own counts alone, one grouped pass over the results.
void BM_Floor_CloudOwnCounts(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  FillResults(db);
  for (auto _ : state) {
    SqlRecordset rows(db, QStringLiteral("SELECT ST.TagID, Count(1) FROM SearchResults SR, SegmentTags ST WHERE "
                                         "ST.SegmentID = SR.SegmentID GROUP BY ST.TagID"));
    benchmark::DoNotOptimize(rows.RecordCount());
  }
}

// ---- A page of tiles over 50,000 results ----

// The window fills a 1920 x 1080 screen, so the page holds its most tiles.
void ShowLargeResultSet() {
  gMainForm->resize(1920, 1080);
  gMainForm->LayoutPanes();
  gResults.assign(kResults + 1, ResultItem{});
  for (int i = 1; i <= kResults; ++i) {
    ResultItem& item = gResults[static_cast<size_t>(i)];
    item.SegmentID = i;
    item.FileID = i <= 20000 ? i : 1 + i % 20000;
    item.DisplayState = 5;
  }
  gLibrary->ResultCount = kResults;
  gBrowserMode = 1;
  gMainForm->Results().LayoutThumbnailGrid(kResults);
}

int PageTiles() { return static_cast<int>(gTileColumns) * (static_cast<int>(gTileRowsVisible) + 1); }

void BM_DrawGridImages(benchmark::State& state) {
  TheProgram();
  gLibrary->LoadThumbnails();
  ShowLargeResultSet();
  int top = 0;
  for (auto _ : state) {
    // Every draw scrolls a page on: the scroll bar's change draws the page.
    top = (top + static_cast<int>(gTileRowsVisible)) % 1000;
    gMainForm->Results().scrollFlex->SetValue(top);
  }
  state.counters["tiles"] = PageTiles();
  state.counters["columns"] = gTileColumns;
  ReportBoxes(state);
}

// Floor of a page: its thumbnails decoded once each.
void BM_Floor_DecodePage(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  ShowLargeResultSet();
  JpegCodec codec;
  const QByteArray jpeg =
      SqlRecordset(db, QStringLiteral("SELECT Thumbnail FROM SegmentThumbnails WHERE SegmentID = 1"))
          .Value(0)
          .toBytes();
  for (auto _ : state) {
    for (int i = 0; i < PageTiles(); ++i) benchmark::DoNotOptimize(codec.Decode(jpeg));
  }
  state.counters["tiles"] = PageTiles();
}

// ---- Missing files over 20,000 files ----

void BM_GetMissingFiles(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  db.Execute(QStringLiteral("UPDATE FileLocations SET Online = 1"));
  for (auto _ : state) gLibrary->GetMissingFiles();
  state.counters["missing"] = SqlRecordset(db, QStringLiteral("SELECT count(*) FROM SearchResults")).Value(0).toInt();
}

// Floor of the check: every file's path looked up once.
void BM_Floor_FileExists(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  SqlRecordset rows(db, QStringLiteral("SELECT CurrentPath || FileName FROM VideoFiles"));
  for (auto _ : state) {
    int found = 0;
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) found += modReelwise::FileExists(rows.Value(0).toString());
    benchmark::DoNotOptimize(found);
  }
}

// Floor of showing what the check finds: the same rows read from the results
// table and shown, as the results of any search of that many rows are. The
// check costs at least this and the stat loop together.
void BM_Floor_ShowMissingRows(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  db.Execute(QStringLiteral("UPDATE FileLocations SET Online = 1"));
  gLibrary->GetMissingFiles();
  for (auto _ : state) {
    gLibrary->FetchSearchResults();
    gLibrary->ShowSearchResults();
  }
  state.counters["shown"] = gLibrary->ResultCount;
}

void BM_GetPotentialDuplicates(benchmark::State& state) {
  TheProgram();
  for (auto _ : state) gLibrary->GetPotentialDuplicates();
}

BENCHMARK(BM_OpenLibrary)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
// The open after an edit reads the whole file on a helper thread: its CPU
// time is the process's.
BENCHMARK(BM_OpenLibraryAfterEdit)->Arg(0)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Phase_Examine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Phase_HouseKeep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Phase_Tree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_TreeRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Phase_LoadThumbnails)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_ThumbnailRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Phase_ViewReplay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PopulateTagCloudTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_CloudOwnCounts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawGridImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_DecodePage)->Unit(benchmark::kMillisecond);
// The files are looked for on a helper thread: the check's CPU time is the
// process's.
BENCHMARK(BM_GetMissingFiles)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_FileExists)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_ShowMissingRows)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetPotentialDuplicates)->Unit(benchmark::kMillisecond);

}  // namespace
