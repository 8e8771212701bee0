// View steps and the result fetch on the large library (20,000 files, 50,000
// segments, 2,000 tags in categories of 100, 100,000 segment tags): a tag
// step with its fetch, a narrow step over every file, a text step, and the
// fetch of 100 to 10,000 rows under each thumbnail policy.
//
// The program's path runs through the library object on one copy of the
// library, which it gives its search indexes; each baseline runs the
// statements in their first form (the family of a tag matched with EXISTS
// against the work table) on an untouched copy, or reads the result view
// bare. The floor of the tag step and its fetch reads the step's own rows
// bare on the program's copy.
#include "bench/support/LargeLibrary.h"
#include "library/ViewSpec.h"
#include "core/modReelwise.h"
#include "library/HistoryEntry.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kCategory = 100;  // one category of 99 tags
constexpr int kOtherCategory = 1000;
constexpr int kTag = 101;       // one tag

struct Fixture {
  QTemporaryDir dir;
  QString plainPath;
  std::unique_ptr<SqlConnection> plain;
  std::unique_ptr<clsRWLibrary> library;

  Fixture() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    plainPath = MakeLargeLibrary(dir.path(), QStringLiteral("Plain.rw2"));
    plain = SqlConnection::Open(plainPath);
    const QString programPath = dir.filePath(QStringLiteral("Program.rw2"));
    QFile::copy(plainPath, programPath);
    // The library object opens its library at creation.
    gPlaceholderLibraryPath = programPath;
    gResultKind = ResultScope::File;
    gOnlineFilter = StorageFilter::All;
    library = std::make_unique<clsRWLibrary>();
    library->ThumbnailPolicy = 0;
    // The first step makes the search indexes.
    library->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID%1").arg(kTag), false, QString());
  }
};

Fixture& Large() {
  static Fixture fixture;
  return fixture;
}

// The view spec would grow with every filter step.
void ForgetView() {
  gViewSpec.clear();
  gViewDescription.clear();
}

// ---- Baselines: the statements in their first form, on the untouched copy ----

void GatherFamilyWithExists(SqlConnection& db, int tag) {
  db.Execute(QStringLiteral("DELETE FROM TEMP_FileTagStructure"));
  db.Execute(QStringLiteral("INSERT INTO TEMP_FileTagStructure (TagID) VALUES (%1)").arg(tag));
  do {
    db.Execute(QStringLiteral(
        "INSERT INTO TEMP_FileTagStructure (TagID) SELECT DISTINCT TL.TagID FROM TagLinks TL, "
        "TEMP_FileTagStructure TTC WHERE TL.LinkedTag = TTC.TagID AND NOT EXISTS (SELECT 1 FROM "
        "TEMP_FileTagStructure WHERE TagID = TL.TagID)"));
  } while (db.RowsChanged() > 0);
}

void NewTagStepWithExists(SqlConnection& db, int tag) {
  GatherFamilyWithExists(db, tag);
  db.Execute(QStringLiteral("DELETE FROM SearchResults"));
  db.Execute(QStringLiteral(
      "INSERT INTO SearchResults SELECT DISTINCT File.SegmentID, File.FileID FROM VideoSegments File, VideoSegments "
      "Segment, SegmentTags ST WHERE File.FileID = Segment.FileID AND Segment.SegmentID = ST.SegmentID AND EXISTS "
      "(SELECT 1 FROM TEMP_FileTagStructure WHERE ST.TagID = TagID)AND File.FileFlag ='Y' "));
}

void FetchBare(SqlConnection& db) {
  SqlRecordset rs(db, QStringLiteral("SELECT * FROM vw_SearchResults"));
  int64_t sum = 0;
  for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) sum += rs.Value(8).toInt64();
  benchmark::DoNotOptimize(sum);
}

void AllFileRows(SqlConnection& db) {
  db.Execute(QStringLiteral("DELETE FROM SearchResults"));
  db.Execute(QStringLiteral("INSERT INTO SearchResults SELECT SegmentID, FileID FROM VideoSegments WHERE FileFlag = 'Y'"));
}

// ---- Tag step with its fetch ----

// Policy 1 and 2 start from an empty cache, so every row reads its thumbnail.
void BM_TagStepAndFetch(benchmark::State& state) {
  clsRWLibrary& library = *Large().library;
  const int tag = static_cast<int>(state.range(0));
  library.ThumbnailPolicy = static_cast<int16_t>(state.range(1));
  for (auto _ : state) {
    state.PauseTiming();
    ForgetView();
    library.ThumbnailCache.Clear();
    state.ResumeTiming();
    library.BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID%1").arg(tag), false, QString());
    library.FetchSearchResults();
  }
  library.ThumbnailPolicy = 0;
  state.counters["rows"] = library.ResultCount;
}
BENCHMARK(BM_TagStepAndFetch)
    ->ArgsProduct({{kTag, kCategory}, {0, 1, 2}})
    ->ArgNames({"tag", "policy"})
    ->Unit(benchmark::kMillisecond);

// The tag step alone, so its growth can be told from the fetch's.
void BM_TagStep(benchmark::State& state) {
  clsRWLibrary& library = *Large().library;
  for (auto _ : state) {
    state.PauseTiming();
    ForgetView();
    state.ResumeTiming();
    library.BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID%1").arg(kCategory), false, QString());
  }
  state.counters["rows"] = static_cast<double>(
      library.Connection().OpenRecordset(QStringLiteral("SELECT count(*) FROM SearchResults"))->Value(0).toInt64());
}
BENCHMARK(BM_TagStep)->Unit(benchmark::kMillisecond);

// The fetch of the tag step's rows alone, the step run untimed before it.
void BM_TagStepFetch(benchmark::State& state) {
  clsRWLibrary& library = *Large().library;
  for (auto _ : state) {
    state.PauseTiming();
    ForgetView();
    library.BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID%1").arg(kCategory), false, QString());
    state.ResumeTiming();
    library.FetchSearchResults();
  }
  state.counters["rows"] = library.ResultCount;
}
BENCHMARK(BM_TagStepFetch)->Unit(benchmark::kMillisecond);

// The floor of a tag step and its fetch: the step's own result rows, kept
// aside, written into the results again and read bare through the result
// view in its order, on the program's connection. What the step and the
// fetch cost above this is the finding of the rows and the making of items.
void BM_TagStepAndFetch_Floor(benchmark::State& state) {
  clsRWLibrary& library = *Large().library;
  SqlConnection& db = library.Connection();
  ForgetView();
  library.BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID%1").arg(state.range(0)), false, QString());
  db.Execute(QStringLiteral("DROP TABLE IF EXISTS temp.FloorRows"));
  db.Execute(QStringLiteral("CREATE TEMP TABLE FloorRows AS SELECT SegmentID, FileID FROM SearchResults"));
  for (auto _ : state) {
    db.Execute(QStringLiteral("DELETE FROM SearchResults"));
    db.Execute(QStringLiteral("INSERT INTO SearchResults SELECT SegmentID, FileID FROM temp.FloorRows"));
    FetchBare(db);
  }
  db.Execute(QStringLiteral("DROP TABLE temp.FloorRows"));
}
BENCHMARK(BM_TagStepAndFetch_Floor)->Arg(kTag)->Arg(kCategory)->ArgName("tag")->Unit(benchmark::kMillisecond);

void BM_TagStepAndFetch_Baseline(benchmark::State& state) {
  SqlConnection& db = *Large().plain;
  const int tag = static_cast<int>(state.range(0));
  for (auto _ : state) {
    NewTagStepWithExists(db, tag);
    FetchBare(db);
  }
}
BENCHMARK(BM_TagStepAndFetch_Baseline)->Arg(kTag)->Arg(kCategory)->ArgName("tag")->Unit(benchmark::kMillisecond);

// ---- Narrow step: every file narrowed to a category ----

void BM_NarrowStep(benchmark::State& state) {
  clsRWLibrary& library = *Large().library;
  for (auto _ : state) {
    state.PauseTiming();
    ForgetView();
    AllFileRows(library.Connection());
    state.ResumeTiming();
    library.BuildSearchResults(QStringLiteral("+"), QStringLiteral("ID%1").arg(kOtherCategory), true, QString());
  }
}
BENCHMARK(BM_NarrowStep)->Unit(benchmark::kMillisecond);

void BM_NarrowStep_Baseline(benchmark::State& state) {
  SqlConnection& db = *Large().plain;
  for (auto _ : state) {
    state.PauseTiming();
    AllFileRows(db);
    state.ResumeTiming();
    GatherFamilyWithExists(db, kOtherCategory);
    db.Execute(QStringLiteral(
        "DELETE FROM SearchResults WHERE NOT EXISTS (SELECT 1 FROM VideoSegments VS, SegmentTags ST WHERE "
        "SearchResults.FileID = VS.FileID AND VS.SegmentID = ST.SegmentID AND EXISTS (SELECT 1 FROM "
        "TEMP_FileTagStructure WHERE ST.TagID=TagID))"));
  }
}
BENCHMARK(BM_NarrowStep_Baseline)->Unit(benchmark::kMillisecond);

// ---- Text step over names, aliases and descriptions ----

void BM_TextStep(benchmark::State& state) {
  clsRWLibrary& library = *Large().library;
  for (auto _ : state) {
    ForgetView();
    library.ExecuteSearch(QStringLiteral("_"), QStringLiteral("?FAD:clip 12*"), QString());
  }
}
BENCHMARK(BM_TextStep)->Unit(benchmark::kMillisecond);

void BM_TextStep_Baseline(benchmark::State& state) {
  SqlConnection& db = *Large().plain;
  for (auto _ : state) {
    db.Execute(QStringLiteral("DELETE FROM SearchResults"));
    db.Execute(QStringLiteral(
        "INSERT INTO SearchResults SELECT DISTINCT Segment.SegmentID, Segment.FileID FROM VideoFiles VF, "
        "VideoSegments Segment WHERE VF.FileID = Segment.FileID AND Segment.FileFlag='Y' AND ( "
        "UPPER(VF.FileName) GLOB UPPER('*clip 12**') OR UPPER(Segment.Description) GLOB UPPER('*clip 12**') OR "
        "UPPER(Segment.FileAlias) GLOB UPPER('*clip 12**'))"));
  }
}
BENCHMARK(BM_TextStep_Baseline)->Unit(benchmark::kMillisecond);

// ---- Fetch of n rows under each policy ----

void FirstFileRows(SqlConnection& db, int64_t n) {
  db.Execute(QStringLiteral("DELETE FROM SearchResults"));
  db.Execute(QStringLiteral("INSERT INTO SearchResults SELECT SegmentID, FileID FROM VideoSegments WHERE FileFlag = "
                            "'Y' ORDER BY FileID LIMIT %1")
                 .arg(n));
}

// Policy 1 measured with an empty cache, so every row reads its thumbnail.
// The rows are the first n files' whole-file rows.
void BM_Fetch(benchmark::State& state) {
  clsRWLibrary& library = *Large().library;
  FirstFileRows(library.Connection(), state.range(0));
  library.ThumbnailPolicy = static_cast<int16_t>(state.range(1));
  for (auto _ : state) {
    if (library.ThumbnailPolicy == 1) {
      state.PauseTiming();
      library.ThumbnailCache.Clear();
      state.ResumeTiming();
    }
    library.FetchSearchResults();
  }
  library.ThumbnailPolicy = 0;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Fetch)
    ->ArgsProduct({{100, 1000, 10000}, {0, 1, 2}})
    ->ArgNames({"rows", "policy"})
    ->Unit(benchmark::kMillisecond);

void BM_Fetch_Baseline(benchmark::State& state) {
  SqlConnection& db = *Large().plain;
  FirstFileRows(db, state.range(0));
  for (auto _ : state) FetchBare(db);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Fetch_Baseline)->Arg(100)->Arg(1000)->Arg(10000)->ArgName("rows")->Unit(benchmark::kMillisecond);

}  // namespace
