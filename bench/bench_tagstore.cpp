// The tag structure of one segment, which tool tips and the inspector ask for
// on every hover, on the large library with a deep and a wide hierarchy added:
// the segment carries five tags at the bottom of chains of 20 links and one
// tag linked across to 500 others. Beside it, the floor: one query that reads
// the same implied tags.
#include "bench/support/LargeLibrary.h"
#include "library/TagStore.h"
#include "library/WorkTables.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kSegment = 20001;  // a cut segment of file 2
constexpr int kFile = 2;
constexpr int kChains = 5;
constexpr int kChainLength = 20;
constexpr int kWideLinks = 500;
constexpr int kFirstNewTag = 100000;

void AddHierarchy(SqlConnection& db) {
  TransactionGuard guard(db, QStringLiteral("Hierarchy"));
  auto tag = db.Prepare(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (?, ?, 'T')"));
  auto link = db.Prepare(QStringLiteral("INSERT INTO TagLinks (TagID, LinkedTag, Relationship) VALUES (?, ?, ?)"));
  auto put = db.Prepare(QStringLiteral("INSERT OR IGNORE INTO SegmentTags (SegmentID, TagID) VALUES (?, ?)"));
  int id = kFirstNewTag;
  for (int chain = 0; chain < kChains; ++chain) {
    int parent = 100 + chain * 100;  // a category of the large library
    for (int level = 0; level < kChainLength; ++level, ++id) {
      tag->Bind(1, id);
      tag->Bind(2, QStringLiteral("Chain %1 level %2").arg(chain).arg(level));
      tag->Execute();
      link->Bind(1, id);
      link->Bind(2, parent);
      link->Bind(3, "P");
      link->Execute();
      parent = id;
    }
    put->Bind(1, kSegment);
    put->Bind(2, parent);
    put->Execute();
  }
  const int wide = id;
  tag->Bind(1, wide);
  tag->Bind(2, QStringLiteral("Everything"));
  tag->Execute();
  for (int i = 0; i < kWideLinks; ++i) {
    link->Bind(1, wide);
    link->Bind(2, 101 + i + i / 99);  // tags of the large library, never a category
    link->Bind(3, "L");
    link->Execute();
  }
  put->Bind(1, kSegment);
  put->Bind(2, wide);
  put->Execute();
  guard.Commit();
}

struct Fixture {
  QTemporaryDir dir;
  std::unique_ptr<SqlConnection> db;
  Fixture() {
    db = SqlConnection::Open(MakeLargeLibrary(dir.path(), QStringLiteral("Large.rw2")));
    AddHierarchy(*db);
    // As the program's open does: the structure is written into the
    // connection's TEMP table, not into the file (which would journal and
    // sync every call).
    WorkTables::UseTemporaryWorkTables(*db);
  }
};

SqlConnection& Library() {
  static Fixture fixture;
  return *fixture.db;
}

void BM_GetSegmentTagsVerbose(benchmark::State& state) {
  SqlConnection& db = Library();
  for (auto _ : state) {
    benchmark::DoNotOptimize(TagStore::GetSegmentTags(db, false, kFile, kSegment, true, false));
  }
  state.counters["rows"] = SqlRecordset(db, QStringLiteral("SELECT count(*) FROM TEMP_FileTagStructure")).Value(0).toInt();
}

void BM_GetSegmentTagsCompact(benchmark::State& state) {
  SqlConnection& db = Library();
  for (auto _ : state) {
    benchmark::DoNotOptimize(TagStore::GetSegmentTags(db, false, kFile, kSegment, false, false));
  }
}

// The floor: every tag reached from the segment's tags, read in one query.
void BM_ImpliedTagsInOneQuery(benchmark::State& state) {
  SqlConnection& db = Library();
  const QString sql = QStringLiteral(
      "WITH RECURSIVE Reached(Explicit, TagID) AS (SELECT ST.TagID, ST.TagID FROM SegmentTags ST, VideoSegments VS "
      "WHERE ST.SegmentID = VS.SegmentID AND ((VS.FileFlag = 'Y' AND VS.FileID = %1) OR VS.SegmentID = %2) "
      "UNION SELECT R.Explicit, TL.LinkedTag FROM Reached R, TagLinks TL WHERE TL.TagID = R.TagID) "
      "SELECT R.Explicit, T.Tag FROM Reached R, Tags T WHERE T.TagID = R.TagID AND T.Type = 'T' ORDER BY 1, 2")
                          .arg(kFile)
                          .arg(kSegment);
  for (auto _ : state) {
    SqlRecordset rs(db, sql);
    benchmark::DoNotOptimize(rs.RecordCount());
  }
}

BENCHMARK(BM_GetSegmentTagsVerbose)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetSegmentTagsCompact)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImpliedTagsInOneQuery)->Unit(benchmark::kMillisecond);

}  // namespace
