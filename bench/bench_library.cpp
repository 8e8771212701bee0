// Filling a library with 50,000 segment rows in one named transaction and
// reading them back, through the program's database layer and, as the
// baseline, through bare sqlite3 calls on the same kind of file.
#include "core/modReelwise.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kSegments = 50000;
const char* kInsert =
    "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating, "
    "FileAlias, Description) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char* kSelect = "SELECT * FROM VideoSegments";

QString NewLibrary(const QTemporaryDir& dir, int n) {
  const QString path = dir.filePath(QStringLiteral("bench%1.rw2").arg(n));
  modReelwise::ExtractTemplateLibrary(path);
  return path;
}

// The values of segment i: every tenth a whole-file row, every other one with
// an alias and a description.
struct Row {
  int64_t segment;
  int64_t file;
  bool whole;
  double start;
  double end;
  int rating;
  QString alias;
  QString description;
};

Row MakeRow(int i) {
  Row r{i + 1, i / 10 + 1, i % 10 == 0, i * 0.5, i * 0.5 + 12.25, i % 6, QString(), QString()};
  if (i % 2 == 0) {
    r.alias = QStringLiteral("Clip %1 — été").arg(i);
    r.description = QStringLiteral("A segment of file %1").arg(r.file);
  }
  return r;
}

void FillThroughLayer(SqlConnection& db) {
  db.BeginTrans(QStringLiteral("Fill"));
  auto insert = db.Prepare(QString::fromLatin1(kInsert));
  for (int i = 0; i < kSegments; ++i) {
    const Row r = MakeRow(i);
    insert->Bind(1, r.segment);
    insert->Bind(2, r.file);
    insert->Bind(3, r.whole ? SqlValue("Y") : SqlValue());
    insert->Bind(4, r.start);
    insert->Bind(5, r.end);
    insert->Bind(6, true);
    insert->Bind(7, r.rating);
    insert->Bind(8, r.alias.isNull() ? SqlValue() : SqlValue(r.alias));
    insert->Bind(9, r.description.isNull() ? SqlValue() : SqlValue(r.description));
    insert->Execute();
  }
  db.CommitTrans(QStringLiteral("Fill"));
}

double FetchThroughLayer(SqlConnection& db) {
  SqlRecordset rs(db, QString::fromLatin1(kSelect));
  double checksum = 0;
  for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
    checksum += rs.Value(QStringLiteral("SegmentID")).toInt64() + rs.Value(QStringLiteral("FileID")).toInt64();
    checksum += rs.Value(QStringLiteral("SelectionStart")).toDouble() + rs.Value(QStringLiteral("SelectionEnd")).toDouble();
    checksum += rs.Value(QStringLiteral("Rating")).toInt() + (rs.Value(QStringLiteral("Online")).toBool() ? 1 : 0);
    checksum += rs.Value(QStringLiteral("FileFlag")).toString().size();
    checksum += rs.Value(QStringLiteral("FileAlias")).toString().size();
    checksum += rs.Value(QStringLiteral("Description")).toString().size();
  }
  return checksum;
}

void BindText(sqlite3_stmt* stmt, int index, const QString& text) {
  if (text.isNull()) {
    sqlite3_bind_null(stmt, index);
    return;
  }
  const QByteArray utf8 = text.toUtf8();
  sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void FillBare(sqlite3* db) {
  sqlite3_exec(db, "SAVEPOINT \"Fill\"", nullptr, nullptr, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, kInsert, -1, &stmt, nullptr);
  for (int i = 0; i < kSegments; ++i) {
    const Row r = MakeRow(i);
    sqlite3_bind_int64(stmt, 1, r.segment);
    sqlite3_bind_int64(stmt, 2, r.file);
    if (r.whole) {
      sqlite3_bind_text(stmt, 3, "Y", 1, SQLITE_STATIC);
    } else {
      sqlite3_bind_null(stmt, 3);
    }
    sqlite3_bind_double(stmt, 4, r.start);
    sqlite3_bind_double(stmt, 5, r.end);
    sqlite3_bind_int(stmt, 6, 1);
    sqlite3_bind_int(stmt, 7, r.rating);
    BindText(stmt, 8, r.alias);
    BindText(stmt, 9, r.description);
    sqlite3_step(stmt);
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);
  sqlite3_exec(db, "RELEASE SAVEPOINT \"Fill\"", nullptr, nullptr, nullptr);
}

QString ColumnText(sqlite3_stmt* stmt, int column) {
  return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                           sqlite3_column_bytes(stmt, column));
}

double FetchBare(sqlite3* db) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, kSelect, -1, &stmt, nullptr);
  double checksum = 0;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    checksum += sqlite3_column_int64(stmt, 0) + sqlite3_column_int64(stmt, 1);
    checksum += sqlite3_column_double(stmt, 3) + sqlite3_column_double(stmt, 4);
    checksum += sqlite3_column_int(stmt, 6) + sqlite3_column_int(stmt, 5);
    checksum += ColumnText(stmt, 2).size() + ColumnText(stmt, 7).size() + ColumnText(stmt, 8).size();
  }
  sqlite3_finalize(stmt);
  return checksum;
}

void BM_FillAndFetch_SqlRecordset(benchmark::State& state) {
  QTemporaryDir dir;
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto db = SqlConnection::Open(NewLibrary(dir, n++));
    state.ResumeTiming();
    FillThroughLayer(*db);
    benchmark::DoNotOptimize(FetchThroughLayer(*db));
  }
  state.SetItemsProcessed(state.iterations() * kSegments);
}

void BM_FillAndFetch_BareSqlite(benchmark::State& state) {
  QTemporaryDir dir;
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(NewLibrary(dir, n++)).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    state.ResumeTiming();
    FillBare(db);
    benchmark::DoNotOptimize(FetchBare(db));
    state.PauseTiming();
    sqlite3_close(db);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kSegments);
}

// Reading alone, on one filled library, shows the recordset's own cost.
void BM_Fetch_SqlRecordset(benchmark::State& state) {
  QTemporaryDir dir;
  auto db = SqlConnection::Open(NewLibrary(dir, 0));
  FillThroughLayer(*db);
  for (auto _ : state) benchmark::DoNotOptimize(FetchThroughLayer(*db));
  state.SetItemsProcessed(state.iterations() * kSegments);
}

void BM_Fetch_BareSqlite(benchmark::State& state) {
  QTemporaryDir dir;
  auto filled = SqlConnection::Open(NewLibrary(dir, 0));
  FillThroughLayer(*filled);
  sqlite3* db = filled->Handle();
  for (auto _ : state) benchmark::DoNotOptimize(FetchBare(db));
  state.SetItemsProcessed(state.iterations() * kSegments);
}

BENCHMARK(BM_FillAndFetch_SqlRecordset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillAndFetch_BareSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fetch_SqlRecordset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fetch_BareSqlite)->Unit(benchmark::kMillisecond);

}  // namespace
