#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"
#include "tests/support/DecimalCommaLocale.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <optional>
#include <string>

namespace {

// Makes the file at `path` hold `bytes` and nothing else.
bool Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class SqlConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    db_ = SqlConnection::Create(Path("test.db"));
    db_->Execute(QStringLiteral("CREATE TABLE t (id integer PRIMARY KEY NOT NULL, name text)"));
  }

  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

  int64_t Count(const QString& where = QString()) {
    SqlRecordset rs(*db_, QStringLiteral("SELECT count(*) AS n FROM t") + where);
    return rs.Value(QStringLiteral("n")).toInt64();
  }

  // Runs a statement that must fail and returns the error it raised.
  RWError Failure(const QString& sql) {
    try {
      db_->Execute(sql);
    } catch (const RWError& e) {
      return e;
    } catch (const StorageFault& fault) {
      return fault.Error();
    }
    ADD_FAILURE() << "no error from " << sql.toStdString();
    return RWError(0, QString());
  }

  QTemporaryDir dir_;
  std::unique_ptr<SqlConnection> db_;
};

// A failed statement raises the database's number with SQLite's words, and
// is told by SQLite's extended code; the file's faults are StorageFaults,
// which no catch of RWError takes. After damage nothing more is written.
TEST_F(SqlConnectionTest, AFailureIsToldBySqlitesCodeAndAfterDamageTheConnectionWritesNothingMore) {
  const RWError e = Failure(QStringLiteral("SELECT * FROM NoSuchTable"));
  EXPECT_EQ(e.Number(), kErrDatabase);
  EXPECT_EQ(e.Number(), static_cast<int32_t>(0x80040000u));
  EXPECT_TRUE(e.Description().contains(QStringLiteral("no such table: NoSuchTable")))
      << e.Description().toStdString();
  EXPECT_TRUE(e.Text().startsWith(QStringLiteral("-2147221504: ")));

  // A key conflict only for a UNIQUE or PRIMARY KEY, another constraint
  // (whatever its words) a refusal, what the file lacks a mismatch.
  sqlite3_db_config(db_->Handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 1, nullptr);
  db_->Execute(QStringLiteral(
      "CREATE TABLE c (id integer PRIMARY KEY, n int CHECK (n > 0), u text UNIQUE);"
      "INSERT INTO c VALUES (1, 1, 'a');"
      "CREATE TRIGGER Rule BEFORE UPDATE ON c BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
  const struct {
    const char* sql;
    int code;
    FaultKind kind;
  } cases[] = {
      {"INSERT INTO c VALUES (1, 2, 'b')", SQLITE_CONSTRAINT_PRIMARYKEY, FaultKind::KeyConflict},
      {"INSERT INTO c VALUES (2, 2, 'a')", SQLITE_CONSTRAINT_UNIQUE, FaultKind::KeyConflict},
      {"INSERT INTO c VALUES (3, 0, 'c')", SQLITE_CONSTRAINT_CHECK, FaultKind::Refused},
      {"UPDATE c SET n = 5", SQLITE_CONSTRAINT_TRIGGER, FaultKind::Refused},
      {"SELECT Missing FROM c", SQLITE_ERROR, FaultKind::Mismatch},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    const RWError error = Failure(QString::fromLatin1(c.sql));
    EXPECT_EQ(error.SqliteCode(), c.code);
    EXPECT_EQ(error.Kind(), c.kind);
    EXPECT_EQ(SqlConnection::IsKeyConflict(error), c.kind == FaultKind::KeyConflict);
    EXPECT_FALSE(SqlConnection::IsDiskFull(error));
    EXPECT_EQ(error.File(), Path("test.db"));
  }
  EXPECT_THROW(db_->Execute(QStringLiteral("INSERT INTO c VALUES (3, 0, 'c')")), RWError);

  // Another connection holds the file locked: the write waits, then fails as busy.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(Path("test.db")).constData(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  try {
    db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (9)"));
    ADD_FAILURE() << "wrote a locked file";
  } catch (const StorageFault& fault) {
    EXPECT_EQ(fault.Error().Kind(), FaultKind::Busy);
  }
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(Count(), 0);

  // The survey of the file's layout after a statement that did not compile
  // meets a full disk: the disk is told, not an error of the program's.
  SqlConnection::SetLayoutSurvey([](SqlConnection&) -> std::optional<LayoutGap> {
    StorageFault::Raise(RWError(kErrDatabase, QStringLiteral("full"), QString(), QString(), SQLITE_FULL,
                                FaultKind::DiskFull));
  });
  try {
    db_->Execute(QStringLiteral("SELECT Missing FROM c"));
    ADD_FAILURE() << "a statement that does not compile ran";
  } catch (const StorageFault& fault) {
    EXPECT_EQ(fault.Error().Kind(), FaultKind::DiskFull);
  }
  SqlConnection::SetLayoutSurvey({});
  EXPECT_EQ(Failure(QStringLiteral("SELECT Missing FROM c")).Kind(), FaultKind::Mismatch) << "the survey is free again";

  // An index another program made disagree with its table passes the quick
  // check; the first write meeting it is damage, and reads still run.
  db_->Execute(QStringLiteral("CREATE TABLE d (id integer PRIMARY KEY, a int, b int); CREATE INDEX di ON d (a);"
                              "INSERT INTO d VALUES (1, 1, 9), (2, 2, 8), (3, 3, 7)"));
  db_.reset();
  {
    auto raw = SqlConnection::Open(Path("test.db"));
    sqlite3_db_config(raw->Handle(), SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
    raw->Execute(QStringLiteral("PRAGMA writable_schema = ON;"
                                "UPDATE sqlite_master SET sql = 'CREATE INDEX di ON d (b)' WHERE name = 'di'"));
  }
  EXPECT_EQ(SqlConnection::Examine(Path("test.db")), DatabaseFileState::Usable) << "the quick check passes it";
  db_ = SqlConnection::Open(Path("test.db"));
  try {
    db_->Execute(QStringLiteral("DELETE FROM d WHERE id = 2"));
    ADD_FAILURE() << "the damaged index was not met";
  } catch (const StorageFault& fault) {
    EXPECT_EQ(fault.Error().Kind(), FaultKind::Damaged);
  }
  EXPECT_THROW(db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (1)")), StorageFault);
  EXPECT_EQ(Count(), 0) << "nothing more written, and reads still run";
}

// RowsChanged counts only the last statement's data changes, so that the
// tag code's closure loops (one INSERT ... SELECT until it adds nothing) end.
TEST_F(SqlConnectionTest, RowsChangedCountsOnlyTheLastStatementsDataChangesAndALoopOnItEnds) {
  db_->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (1, 'a'), (2, 'b'), (3, 'c')"));
  EXPECT_EQ(db_->RowsChanged(), 3);
  EXPECT_EQ(db_->LastInsertId(), 3);
  db_->Execute(QStringLiteral("UPDATE t SET name = 'x' WHERE id >= 2"));
  EXPECT_EQ(db_->RowsChanged(), 2);
  db_->Execute(QStringLiteral("SELECT * FROM t"));
  EXPECT_EQ(db_->RowsChanged(), 0) << "a query changes nothing";
  db_->Execute(QStringLiteral("UPDATE t SET name = 'y' WHERE id = 1"));
  db_->OpenRecordset(QStringLiteral("SELECT * FROM t"));
  EXPECT_EQ(db_->RowsChanged(), 0) << "opening a recordset is a query too";
  db_->Execute(QStringLiteral("UPDATE t SET name = 'y' WHERE id = 1"));
  db_->Execute(QStringLiteral("CREATE TABLE u (a integer)"));
  EXPECT_EQ(db_->RowsChanged(), 0) << "schema statements change no rows";
  db_->Execute(QStringLiteral("UPDATE t SET name = 'y' WHERE id = 1"));
  db_->Execute(QStringLiteral("DROP TABLE u"));
  EXPECT_EQ(db_->RowsChanged(), 0);
  db_->Execute(QStringLiteral("UPDATE t SET name = 'y' WHERE id = 1"));
  Failure(QStringLiteral("INSERT INTO t (id) VALUES (1)"));
  EXPECT_EQ(db_->RowsChanged(), 0) << "a failed statement changes nothing";
  db_->Execute(QStringLiteral("DELETE FROM t"));
  EXPECT_EQ(db_->RowsChanged(), 3) << "a DELETE without WHERE still counts its rows";

  db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (1)"));
  int rounds = 0;
  do {
    db_->Execute(QStringLiteral("INSERT INTO t (id) SELECT max(id) + 1 FROM t HAVING max(id) < 5"));
    ASSERT_LT(++rounds, 10);
  } while (db_->RowsChanged() > 0);
  EXPECT_EQ(Count(), 5);
  EXPECT_EQ(rounds, 5);
}

// A transaction ends only as its owner says: named ones nest and roll back
// on their own, a failed statement or a refused compaction leaves one open, a
// guard rolls back only when an exception leaves it; each step empties t.
TEST_F(SqlConnectionTest, TransactionsNestRollBackAndEndOnlyAsTheirOwnerSays) {
  EXPECT_THROW(db_->CommitTrans(QStringLiteral("Nothing")), RWError);

  db_->BeginTrans(QStringLiteral("HouseKeep"));
  db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (1)"));
  db_->BeginTrans(QStringLiteral("v1.6.0"));  // a name that needs quoting
  db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (2)"));
  db_->RollbackTrans(QStringLiteral("v1.6.0"));
  EXPECT_TRUE(db_->InTransaction());
  db_->BeginTrans(QStringLiteral("it's \"quoted\""));
  db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (3)"));
  db_->CommitTrans(QStringLiteral("it's \"quoted\""));
  db_->CommitTrans(QStringLiteral("HouseKeep"));
  EXPECT_FALSE(db_->InTransaction());
  db_.reset();
  db_ = SqlConnection::Open(Path("test.db"));
  EXPECT_EQ(Count(), 2);
  EXPECT_EQ(Count(QStringLiteral(" WHERE id = 2")), 0);

  // Failed statements inside a transaction do not end it.
  db_->Execute(QStringLiteral("DELETE FROM t"));
  db_->BeginTrans(QStringLiteral("Probe"));
  db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (1)"));
  Failure(QStringLiteral("SELECT Missing FROM t WHERE 1=0"));   // a schema probe
  Failure(QStringLiteral("DROP TABLE MaybeThere"));             // a drop of a table that may not exist
  Failure(QStringLiteral("INSERT INTO t (id) VALUES (1)"));     // a duplicate key
  EXPECT_TRUE(db_->InTransaction());
  db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (2)"));
  db_->CommitTrans(QStringLiteral("Probe"));
  EXPECT_EQ(Count(), 2);

  // A guard rolls back only when an exception leaves its scope.
  db_->Execute(QStringLiteral("DELETE FROM t"));
  try {
    TransactionGuard guard(*db_, QStringLiteral("Guarded"));
    db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (1)"));
    throw std::runtime_error("operation failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(db_->InTransaction());
  EXPECT_EQ(Count(), 0);
  {
    TransactionGuard guard(*db_, QStringLiteral("Guarded"));
    db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (2)"));
  }
  EXPECT_FALSE(db_->InTransaction());
  EXPECT_EQ(Count(), 1) << "a normal exit commits";
  {
    TransactionGuard outer(*db_, QStringLiteral("Outer"));
    db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (3)"));
    try {
      TransactionGuard inner(*db_, QStringLiteral("Inner"));
      db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (4)"));
      db_->Execute(QStringLiteral("INSERT INTO t (id) VALUES (4)"));  // fails, leaves the scope
    } catch (const RWError&) {
    }
    outer.Commit();
  }
  EXPECT_EQ(Count(), 2);
  EXPECT_EQ(Count(QStringLiteral(" WHERE id = 4")), 0);

  // Compaction runs outside transactions only.
  db_->Execute(QStringLiteral("DELETE FROM t"));
  db_->BeginTrans(QStringLiteral("Open"));
  try {
    db_->Compact();
    ADD_FAILURE() << "compacting inside a transaction must be refused";
  } catch (const RWError& e) {
    EXPECT_EQ(e.Number(), kErrDatabase);
    EXPECT_TRUE(e.Description().contains(QStringLiteral("transaction is open")));
  }
  EXPECT_TRUE(db_->InTransaction()) << "the refusal leaves the transaction alone";
  db_->CommitTrans(QStringLiteral("Open"));
  db_->Execute(QStringLiteral(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
      "INSERT INTO t (id, name) SELECT i, printf('%.500c', 'x') FROM n"));
  db_->Execute(QStringLiteral("DELETE FROM t"));
  const qint64 before = QFileInfo(Path("test.db")).size();
  db_->Compact();
  EXPECT_LT(QFileInfo(Path("test.db")).size(), before / 4);

  // A full disk makes SQLite roll the whole transaction back. What the work
  // goes on to write is refused with that failure, not written on its own
  // outside any transaction; its commit raises it, its rollback has nothing
  // left to undo, and the connection is usable again once it is closed.
  db_->Execute(QStringLiteral("CREATE TABLE big (x text); INSERT INTO t (id, name) VALUES (1, 'kept')"));
  const int64_t pages = SqlRecordset(*db_, QStringLiteral("PRAGMA page_count")).Value(0).toInt64();
  db_->Execute(QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
  std::optional<TransactionGuard> outer(std::in_place, *db_, QStringLiteral("Outer"));
  TransactionGuard inner(*db_, QStringLiteral("Inner"));
  db_->Execute(QStringLiteral("UPDATE t SET name = 'changed'"));
  const RWError full = Failure(QStringLiteral("INSERT INTO big VALUES (zeroblob(100000))"));
  EXPECT_TRUE(SqlConnection::IsDiskFull(full)) << full.Description().toStdString();
  EXPECT_EQ(full.File(), Path("test.db")) << "the error names the file";
  ASSERT_FALSE(db_->InTransaction()) << "SQLite ended the transaction";

  const RWError refused = Failure(QStringLiteral("INSERT INTO t (id, name) VALUES (2, 'stray')"));
  EXPECT_TRUE(SqlConnection::IsDiskFull(refused)) << refused.Description().toStdString();
  EXPECT_THROW(SqlCommand(*db_, QStringLiteral("UPDATE t SET name = 'stray'")).Execute(), StorageFault);
  EXPECT_THROW(db_->BeginTrans(QStringLiteral("Another")), StorageFault);
  EXPECT_EQ(Count(), 1) << "a read still runs";
  try {
    inner.Commit();
    ADD_FAILURE() << "the commit of a transaction SQLite rolled back succeeded";
  } catch (const StorageFault& fault) {
    EXPECT_TRUE(SqlConnection::IsDiskFull(fault.Error())) << fault.Error().Description().toStdString();
  }
  inner.Rollback();
  outer->Rollback();
  outer.reset();

  EXPECT_EQ(Count(QStringLiteral(" WHERE name = 'kept'")), 1);
  db_->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (3, 'later')"));
  EXPECT_EQ(Count(), 2) << "the connection writes again";
}

// The user's text stays text: quoted, it cannot break out of its literal,
// and UPPER folds every script, so that text searches ignore case.
TEST_F(SqlConnectionTest, UserTextStaysInItsLiteralAndSearchesOnItIgnoreCaseInEveryScript) {
  const QString hostile = QStringLiteral("x'); DROP TABLE t; --");
  db_->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (1, ") + SqlQuote(hostile) + QStringLiteral(")"));
  SqlRecordset rs(*db_, QStringLiteral("SELECT name FROM t"));
  EXPECT_EQ(rs.Value(QStringLiteral("name")).toString(), hostile);

  db_->Execute(QStringLiteral("DELETE FROM t"));
  db_->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (1, 'Été à Paris'), (2, 'Winter'), (3, NULL)"));
  SqlRecordset upper(*db_, QStringLiteral("SELECT UPPER('été straße ÿ') AS u, UPPER(NULL) AS n"));
  EXPECT_EQ(upper.Value(QStringLiteral("u")).toString(), QStringLiteral("ÉTÉ STRASSE Ÿ"));
  EXPECT_TRUE(upper.Value(QStringLiteral("n")).IsNull());

  SqlRecordset glob(*db_, QStringLiteral("SELECT id FROM t WHERE UPPER(name) GLOB UPPER('*été*')"));
  ASSERT_EQ(glob.RecordCount(), 1);
  EXPECT_EQ(glob.Value(QStringLiteral("id")).toInt(), 1);
  SqlRecordset like(*db_, QStringLiteral("SELECT id FROM t WHERE UPPER(name) LIKE UPPER('%À PARIS')"));
  EXPECT_EQ(like.RecordCount(), 1);
}

// A library file's schema is not trusted: a view or trigger in it cannot call
// a function with side effects, no statement can write the schema table
// behind SQLite's back, and a trigger another tool stored in the file runs
// nothing, whatever statement would fire it, on a connection opened on the
// file later too. The program's own UPPER still works inside a view.
TEST_F(SqlConnectionTest, ALibraryFilesSchemaCallsNoFunctionWithSideEffectsAndRunsNoTrigger) {
  static int calls = 0;
  const auto effect = [](sqlite3_context* context, int, sqlite3_value**) {
    ++calls;
    sqlite3_result_int(context, calls);
  };
  sqlite3_create_function_v2(db_->Handle(), "side_effect", 0, SQLITE_UTF8, nullptr, effect, nullptr, nullptr, nullptr);
  db_->Execute(QStringLiteral("INSERT INTO t (name) VALUES ('été')"));
  db_->Execute(QStringLiteral("CREATE VIEW hostile AS SELECT side_effect() AS n FROM t"));
  db_->Execute(QStringLiteral("CREATE VIEW upper_names AS SELECT UPPER(name) AS n FROM t"));
  calls = 0;
  const RWError unsafe = Failure(QStringLiteral("SELECT * FROM hostile"));
  EXPECT_TRUE(unsafe.Description().contains(QStringLiteral("unsafe use of side_effect()")))
      << unsafe.Description().toStdString();
  EXPECT_EQ(calls, 0);
  SqlRecordset upper(*db_, QStringLiteral("SELECT n FROM upper_names"));
  EXPECT_EQ(upper.Value(0).toString(), QStringLiteral("ÉTÉ"));

  db_->Execute(QStringLiteral("PRAGMA writable_schema = ON"));
  const RWError schema = Failure(QStringLiteral("UPDATE sqlite_master SET sql = 'x' WHERE name = 't'"));
  EXPECT_FALSE(schema.Description().isEmpty());

  // Triggers stored in the file.
  db_->Execute(QStringLiteral(
      "CREATE TABLE log (what text);"
      "CREATE TRIGGER added AFTER INSERT ON t BEGIN INSERT INTO log VALUES ('added'); END;"
      "CREATE TRIGGER changed BEFORE UPDATE ON t BEGIN INSERT INTO log VALUES ('changed'); END;"
      "CREATE TRIGGER removed AFTER DELETE ON t BEGIN INSERT INTO log VALUES ('removed'); END"));
  db_.reset();
  auto later = SqlConnection::Open(Path("test.db"));
  later->Execute(QStringLiteral("INSERT INTO t (name) VALUES ('a'); UPDATE t SET name = 'b'; DELETE FROM t"));
  EXPECT_EQ(SqlRecordset(*later, QStringLiteral("SELECT count(*) FROM log")).Value(0).toInt(), 0);
}

// What a connection writes is recorded by table and updated column of the
// main database, whether a statement changed rows or ran at all, without the
// TEMP schema; another connection's commit changes the data version, the
// connection's own commits never do.
TEST_F(SqlConnectionTest, TheConnectionTellsItsOwnWritesFromAnotherConnections) {
  db_->Execute(QStringLiteral("CREATE TABLE u (id integer PRIMARY KEY, a, b); CREATE TEMP TABLE w (x)"));
  db_->ForgetWrites();
  const int64_t version = db_->DataVersion();
  db_->Execute(QStringLiteral("INSERT INTO t (name) VALUES ('x'); UPDATE u SET b = 1 WHERE 0; DELETE FROM u; "
                              "INSERT INTO w VALUES (1); DELETE FROM w"));
  db_->Prepare(QStringLiteral("UPDATE t SET id = 5"));
  const SqlWrites& writes = db_->Writes();
  EXPECT_EQ(writes.rowsAdded, QSet<QString>{QStringLiteral("t")});
  EXPECT_EQ(writes.rowsRemoved, QSet<QString>{QStringLiteral("u")}) << "a whole table emptied counts too";
  EXPECT_TRUE(writes.Updated(QStringLiteral("u"), QStringLiteral("b")));
  EXPECT_TRUE(writes.Updated(QStringLiteral("t"), QStringLiteral("id"))) << "prepared, never run";
  EXPECT_FALSE(writes.Updated(QStringLiteral("u"), QStringLiteral("a")));
  EXPECT_EQ(db_->DataVersion(), version) << "the connection's own commits";

  SqlConnection::Open(Path("test.db"))->Execute(QStringLiteral("INSERT INTO t (name) VALUES ('other')"));
  EXPECT_NE(db_->DataVersion(), version);
  EXPECT_EQ(db_->Writes().rowsAdded.size(), 1) << "another connection's writes are its own";
  db_->ForgetWrites();
  EXPECT_TRUE(db_->Writes().rowsAdded.isEmpty());
}

TEST_F(SqlConnectionTest, ValuesKeepTheirStoredForms) {
  // Whatever the user's locale, reals are written with "." and read back exactly.
  rwtest::DecimalCommaLocale german;
  if (!german.Switched()) GTEST_SKIP() << rwtest::kNoGermanLocale;
  ASSERT_EQ(german.TwoAndAHalf(), "2,5") << "the C library should write a decimal comma under de_DE.UTF-8";
  EXPECT_EQ(SqlReal(12.5), QStringLiteral("12.5"));
  EXPECT_EQ(SqlReal(0.1), QStringLiteral("0.1"));
  db_->Execute(QStringLiteral("CREATE TABLE v (r real, b boolean, d date, s text, x blob)"));
  db_->Execute(QStringLiteral("INSERT INTO v (r) VALUES (") + SqlReal(1234.5678) + QStringLiteral(")"));
  auto insert = db_->Prepare(QStringLiteral("INSERT INTO v (r, b, d, s, x) VALUES (?, ?, ?, ?, ?)"));
  insert->Bind(1, 0.1);
  insert->Bind(2, true);
  insert->Bind(3, QDate(2026, 12, 7));
  insert->Bind(4, QStringLiteral("O'Brien «ß»"));
  insert->Bind(5, SqlValue::Blob(QByteArray("\0\1\2\xff", 4)));
  EXPECT_EQ(insert->Execute(), 1);
  german.Restore();

  SqlRecordset rs(*db_, QStringLiteral("SELECT r, typeof(b) AS tb, b, d, s, x, typeof(x) AS tx FROM v ORDER BY rowid"));
  EXPECT_DOUBLE_EQ(rs.Value(QStringLiteral("r")).toDouble(), 1234.5678);
  rs.MoveNext();
  EXPECT_EQ(rs.Value(QStringLiteral("r")).toDouble(), 0.1);
  EXPECT_EQ(rs.Value(QStringLiteral("tb")).toString(), QStringLiteral("integer"));
  EXPECT_EQ(rs.Value(QStringLiteral("b")).toInt(), 1);
  EXPECT_EQ(rs.Value(QStringLiteral("d")).toString(), QStringLiteral("2026-12-07"));
  EXPECT_EQ(rs.Value(QStringLiteral("d")).toDate(), QDate(2026, 12, 7));
  EXPECT_EQ(rs.Value(QStringLiteral("s")).toString(), QStringLiteral("O'Brien «ß»"));
  EXPECT_EQ(rs.Value(QStringLiteral("tx")).toString(), QStringLiteral("blob"));
  EXPECT_EQ(rs.Value(QStringLiteral("x")).toBytes(), QByteArray("\0\1\2\xff", 4));
}

// A long statement ticks from inside, and a tick answering false stops it,
// changing nothing. A copy includes everything committed and replaces its
// target; it steps without a journal, and one stopped leaves nothing.
TEST_F(SqlConnectionTest, ALongStatementOrCopyTellsItsStepsAndOneStoppedLeavesNothing) {
  const QString count = QStringLiteral(
      "WITH RECURSIVE N(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM N WHERE i < 200000) SELECT count(*) FROM N");
  int ticks = 0;
  {
    const SqlConnection::Ticking ticking(*db_, [&ticks] {
      ++ticks;
      return true;
    });
    EXPECT_EQ(SqlRecordset(*db_, count).Value(0).toInt(), 200000);
  }
  EXPECT_GT(ticks, 10);
  const int after = ticks;
  EXPECT_EQ(SqlRecordset(*db_, count).Value(0).toInt(), 200000);
  EXPECT_EQ(ticks, after) << "no tick once the ticking is over";
  {
    const SqlConnection::Ticking stopping(*db_, [] { return false; });
    EXPECT_ANY_THROW(db_->Execute(QStringLiteral(
        "WITH RECURSIVE N(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM N WHERE i < 200000) "
        "INSERT INTO t (id, name) SELECT i, 'x' FROM N")));
  }
  EXPECT_EQ(SqlRecordset(*db_, QStringLiteral("SELECT count(*) FROM t")).Value(0).toInt(), 0);

  // A copy over an older file, beside a file of the user's under the name a
  // copy was once written under.
  db_->Execute(QStringLiteral("INSERT INTO t (id, name) VALUES (1, 'Été')"));
  const QString target = Path("copy.rw2");
  ASSERT_TRUE(Write(target, "an older file"));
  ASSERT_TRUE(Write(Path("copy.rw2.partial"), "mine"));
  db_->CopyTo(target);
  auto copy = SqlConnection::Open(target);
  SqlRecordset rs(*copy, QStringLiteral("SELECT name FROM t"));
  EXPECT_EQ(rs.Value(QStringLiteral("name")).toString(), QStringLiteral("Été"));
  QFile mine(Path("copy.rw2.partial"));
  ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
  EXPECT_EQ(mine.readAll(), QByteArray("mine")) << "the user's file is not the program's to remove";
  EXPECT_EQ(QDir(dir_.path()).entryList({QStringLiteral("copy.rw2*")}, QDir::Files | QDir::Hidden),
            QStringList({QStringLiteral("copy.rw2"), QStringLiteral("copy.rw2.partial")}));
  // A copy that cannot be written is the copy's failure, named by its file
  // and in the program's words: not a fault of the library copied.
  try {
    db_->CopyTo(Path("no/such/folder/copy.rw2"));
    ADD_FAILURE() << "copied into a missing folder";
  } catch (const RWError& error) {
    EXPECT_EQ(error.Number(), kErrFileAccess);
    EXPECT_EQ(error.Kind(), FaultKind::None);
    EXPECT_EQ(error.File(), Path("no/such/folder/copy.rw2"));
    EXPECT_EQ(error.Description(), QStringLiteral("The folder does not exist."));
  }

  // A megabyte at a time, each step told, under a name of the program's own
  // and without a journal beside it (which a failing disk would leave).
  copy.reset();
  mine.remove();
  db_->Execute(QStringLiteral("CREATE TABLE big (b); INSERT INTO big VALUES (zeroblob(3000000))"));
  const QString partial = SqlConnection::NewPartialName(target);
  EXPECT_TRUE(partial.startsWith(target + QLatin1Char('.')) && partial.endsWith(QStringLiteral(".partial")))
      << partial.toStdString();
  int steps = 0;
  bool journal = false;
  db_->CopyTo(target, partial, [&](int done, int total) {
    ++steps;
    EXPECT_GT(total, 0);
    EXPECT_LE(done, total);
    EXPECT_TRUE(QFileInfo::exists(partial));
    journal = journal || QFileInfo::exists(partial + QStringLiteral("-journal"));
    return true;
  });
  EXPECT_GE(steps, 2);
  EXPECT_FALSE(journal);
  EXPECT_EQ(SqlRecordset(*SqlConnection::Open(target), QStringLiteral("SELECT length(b) FROM big")).Value(0).toInt(),
            3000000);
  QFile::remove(target);
  EXPECT_THROW(db_->CopyTo(target, SqlConnection::NewPartialName(target), [](int, int) { return false; }), RWError);
  EXPECT_EQ(QDir(dir_.path()).entryList({QStringLiteral("copy.rw2*")}, QDir::Files | QDir::Hidden), QStringList());
}

class OpenDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::NoDotAndDotDot); }

  // Opening must raise a database error and leave the folder byte for byte as it was.
  void ExpectRefused(const QString& path, const char* expectedText) {
    const QStringList filesBefore = Files();
    QByteArray bytesBefore;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) bytesBefore = file.readAll();
    file.close();
    try {
      SqlConnection::Open(path);
      ADD_FAILURE() << "opened " << path.toStdString();
    } catch (const RWError& e) {
      EXPECT_EQ(e.Number(), kErrDatabase);
      EXPECT_TRUE(e.Description().contains(QString::fromLatin1(expectedText))) << e.Description().toStdString();
    }
    EXPECT_EQ(Files(), filesBefore);
    if (file.open(QIODevice::ReadOnly)) {
      EXPECT_EQ(file.readAll(), bytesBefore);
    }
  }

  QTemporaryDir dir_;
};

// Only a sound database opens: a missing path, a folder, a file that is no
// database, a database cut short are refused and left as they were; a create
// refuses an existing file; a path of any letters works.
TEST_F(OpenDatabaseTest, OnlyASoundDatabaseOpensAndCreateNeverWritesOverAFile) {
  ExpectRefused(Path("missing.rw2"), "does not exist");
  EXPECT_TRUE(Files().isEmpty());

  QDir(dir_.path()).mkdir(QStringLiteral("folder.rw2"));
  ExpectRefused(Path("folder.rw2"), "is not a file");

  ASSERT_TRUE(Write(Path("notes.rw2"), QByteArray(5000, 'x')));
  ExpectRefused(Path("notes.rw2"), "not a database");
  ASSERT_TRUE(Write(Path("empty.rw2"), QByteArray()));
  ExpectRefused(Path("empty.rw2"), "not a database");

  // Truncated, at a page's end or within a page.
  {
    auto db = SqlConnection::Create(Path("whole.rw2"));
    db->Execute(QStringLiteral("CREATE TABLE t (a text)"));
    db->Execute(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200) "
        "INSERT INTO t SELECT printf('%.300c', 'y') FROM n"));
  }
  QFile whole(Path("whole.rw2"));
  ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
  const QByteArray bytes = whole.readAll();
  ASSERT_GT(bytes.size(), 4 * 4096);
  for (const auto& [name, length] : {std::pair{"half.rw2", bytes.size() / 2 / 4096 * 4096},
                                     std::pair{"ragged.rw2", bytes.size() - 100}}) {
    ASSERT_TRUE(Write(Path(name), bytes.left(length)));
    ExpectRefused(Path(name), "truncated");
  }

  // Create onto an existing file.
  ASSERT_TRUE(Write(Path("mine.rw2"), "precious"));
  EXPECT_THROW(SqlConnection::Create(Path("mine.rw2")), RWError);
  QFile existing(Path("mine.rw2"));
  ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
  EXPECT_EQ(existing.readAll(), QByteArray("precious"));

  const QString path = dir_.filePath(QStringLiteral("Bibliothèque «été» 'x'.rw2"));
  SqlConnection::Create(path)->Execute(QStringLiteral("CREATE TABLE t (a)"));
  EXPECT_NO_THROW(SqlConnection::Open(path)->Execute(QStringLiteral("SELECT * FROM t")));
}

}  // namespace
