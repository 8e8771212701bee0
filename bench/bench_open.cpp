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
#include "devices/modStorageDevices.h"
#include "tests/support/FakeSystemRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <utility>
#include <vector>

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

// The look an open after another program's edit takes at the file before
// anything in it changes: every index against its table (the segment tags'
// and the thumbnails' among them), the row numbers' range and the
// references to nothing.
void BM_Phase_Survey(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  for (auto _ : state) benchmark::DoNotOptimize(SurveyOrphans(db, kEveryUpkeepStep).sweeps);
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
//
// The library's two disks are mounted (on a mount table of the benchmark's
// own) at folders of its own, so every file has a real absolute path under
// folders that exist. Arg: the share of the files missing, in per cent: 100
// (all 20,000 missing) or 1 (the other 99 % present as empty files).

// The disks mounted, their files' folders made, and of the files those the
// share asks for present.
class MountedDisks {
 public:
  MountedDisks() {
    MountDisk(QStringLiteral("films"), {.device = QStringLiteral("/dev/sdb1"), .uuid = QStringLiteral("1A2B-3C4D"),
                                        .label = QStringLiteral("FILMS")});
    MountDisk(QStringLiteral("archive"), {.device = QStringLiteral("/dev/sdc1"), .uuid = QStringLiteral("5E6F-7081"),
                                          .label = QStringLiteral("ARCHIVE"), .removable = true, .minor = 33});
    system_.Write();
    // The open's device scan maps every file's path onto its mount.
    modStorageDevices::EnumStorageDevices(*gLibrary);
    SqlRecordset files(gLibrary->Connection(),
                       QStringLiteral("SELECT FileID, CurrentPath || FileName, CurrentPath FROM VideoFiles"));
    for (; !files.Eof(); files.MoveNext()) {
      const QString path = files.Value(1).toString();
      if (!QFileInfo(path).isAbsolute()) std::abort();  // a device the scan did not find online
      paths_.push_back({files.Value(0).toInt(), path});
      QDir().mkpath(files.Value(2).toString());
    }
  }

  // Makes every file present but one in 100 / missing, as `percent` asks.
  void Missing(int percent) {
    if (percent == missing_) return;
    for (const auto& [file, path] : paths_) {
      const bool present = percent == 1 && file % 100 != 0;
      if (present) {
        QFile(path).open(QIODevice::WriteOnly);
      } else if (missing_ != 100) {
        QFile::remove(path);
      }
    }
    missing_ = percent;
  }

 private:
  void MountDisk(const QString& name, const rwtest::FakeDisk& disk) {
    system_.MountDisk(system_.MountPoint(name), QStringLiteral("vfat"), disk);
  }

  rwtest::FakeSystemRoot system_;
  std::vector<std::pair<int, QString>> paths_;
  int missing_ = 100;
};

// The disks mounted with the share of the files missing that the benchmark's
// argument asks for.
void MountWithMissing(benchmark::State& state) {
  TheProgram();
  static MountedDisks disks;
  disks.Missing(static_cast<int>(state.range(0)));
}

int SearchResultCount() {
  return SqlRecordset(TheProgram().Db(), QStringLiteral("SELECT count(*) FROM SearchResults")).Value(0).toInt();
}

void BM_GetMissingFiles(benchmark::State& state) {
  MountWithMissing(state);
  for (auto _ : state) gLibrary->GetMissingFiles();
  state.counters["missing"] = SearchResultCount();
  ReportBoxes(state);
}

// Floor of the check: every file's path looked up once.
void BM_Floor_FileExists(benchmark::State& state) {
  MountWithMissing(state);
  SqlRecordset rows(TheProgram().Db(), QStringLiteral("SELECT CurrentPath || FileName FROM VideoFiles"));
  int found = 0;
  for (auto _ : state) {
    found = 0;
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) found += modReelwise::FileExists(rows.Value(0).toString());
    benchmark::DoNotOptimize(found);
  }
  state.counters["found"] = found;
}

// Floor of reading what the check finds: the rows of the files found missing
// read once, every column a result shows, through bare sqlite3 calls on a
// connection of its own (the results table is each connection's own: the
// rows found are copied into its table first, untimed). The check costs at
// least this and the stat loop together.
void BM_Floor_ReadMissingRows(benchmark::State& state) {
  MountWithMissing(state);
  gLibrary->GetMissingFiles();
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(TheProgram().library.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    std::abort();
  }
  sqlite3_exec(db,
               "CREATE TEMP TABLE SearchResults (SegmentID integer PRIMARY KEY NOT NULL DEFAULT 0, FileID integer "
               "DEFAULT 0); BEGIN",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO temp.SearchResults VALUES (?, ?)", -1, &insert, nullptr);
  for (SqlRecordset found(TheProgram().Db(), QStringLiteral("SELECT SegmentID, FileID FROM SearchResults"));
       !found.Eof(); found.MoveNext()) {
    sqlite3_bind_int(insert, 1, found.Value(0).toInt());
    sqlite3_bind_int(insert, 2, found.Value(1).toInt());
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_stmt* rows = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT VF.FileID, VF.FileName, VF.CurrentPath, VF.FileSize, VF.FileFormat, VF.FrameRate, "
                     "VF.Bitrate, VF.Dimensions, VS.SegmentID, VS.SelectionStart, VS.SelectionEnd, VS.FileFlag, "
                     "IFNULL(VS.FileAlias, VF.FileName), VS.Description, VS.Rating, VS.Online FROM SearchResults SR "
                     "CROSS JOIN VideoSegments VS CROSS JOIN VideoFiles VF WHERE VS.SegmentID = SR.SegmentID AND "
                     "VF.FileID = VS.FileID",
                     -1, &rows, nullptr);
  int read = 0;
  for (auto _ : state) {
    read = 0;
    while (sqlite3_step(rows) == SQLITE_ROW) {
      // Each value as it is stored: numbers are not made text.
      for (int column = 0; column < sqlite3_column_count(rows); ++column) {
        switch (sqlite3_column_type(rows, column)) {
          case SQLITE_INTEGER:
            benchmark::DoNotOptimize(sqlite3_column_int64(rows, column));
            break;
          case SQLITE_FLOAT:
            benchmark::DoNotOptimize(sqlite3_column_double(rows, column));
            break;
          case SQLITE_TEXT:
            benchmark::DoNotOptimize(sqlite3_column_text(rows, column));
            break;
          default:
            break;
        }
      }
      ++read;
    }
    sqlite3_reset(rows);
  }
  sqlite3_finalize(rows);
  sqlite3_close(db);
  state.counters["read"] = read;
}

// Floor of showing what the check finds: the same rows read from the results
// table and shown, as the results of any search of that many rows are.
void BM_Floor_ShowMissingRows(benchmark::State& state) {
  MountWithMissing(state);
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

// Parts of an open run on helper threads (the probes of the devices' mounts,
// the syncs of its commits): its CPU time is the process's.
BENCHMARK(BM_OpenLibrary)->Arg(0)->Arg(1)->Arg(2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
// The open after an edit reads the whole file on a helper thread: its CPU
// time is the process's.
BENCHMARK(BM_OpenLibraryAfterEdit)->Arg(0)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Phase_Examine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Phase_HouseKeep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Phase_Survey)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
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
// process's. Each share of missing files runs with its floors, so that the
// files are made or removed once.
BENCHMARK(BM_GetMissingFiles)->ArgName("missing_pct")->Arg(100)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_FileExists)->ArgName("missing_pct")->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_ReadMissingRows)->ArgName("missing_pct")->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_ShowMissingRows)->ArgName("missing_pct")->Arg(100)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetMissingFiles)->ArgName("missing_pct")->Arg(1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_FileExists)->ArgName("missing_pct")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_ReadMissingRows)->ArgName("missing_pct")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_ShowMissingRows)->ArgName("missing_pct")->Arg(1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
// The check writes its results as long work on a connection of its own, on a
// worker thread.
BENCHMARK(BM_GetPotentialDuplicates)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
