#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

class SqlRecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    db_ = SqlConnection::Create(dir_.filePath(QStringLiteral("rs.db")));
    db_->Execute(QStringLiteral(
        "CREATE TABLE Files (FileID integer PRIMARY KEY NOT NULL, FileName text NOT NULL, "
        "FileSize integer NOT NULL DEFAULT 0, Rating integer NOT NULL DEFAULT 0, Flag varchar(1) NOT NULL DEFAULT N, "
        "Added date DEFAULT CURRENT_DATE, Note text)"));
    db_->Execute(QStringLiteral(
        "CREATE TABLE Segments (SegmentID integer PRIMARY KEY NOT NULL, FileID integer NOT NULL, "
        "Rating integer NOT NULL DEFAULT 0, Alias text)"));
    db_->Execute(QStringLiteral(
        "INSERT INTO Files (FileID, FileName, FileSize) VALUES (1, 'a.mkv', 100), (2, 'b.avi', 200), (3, 'c.mp4', 300)"));
    db_->Execute(QStringLiteral("INSERT INTO Segments VALUES (10, 1, 2, NULL), (11, 1, 3, 'cut'), (20, 2, 0, NULL)"));
  }

  std::unique_ptr<SqlRecordset> Open(const char* sql) { return db_->OpenRecordset(QString::fromLatin1(sql)); }

  QTemporaryDir dir_;
  std::unique_ptr<SqlConnection> db_;
};

TEST_F(SqlRecordsetTest, MovesOverBufferedRows) {
  auto rs = Open("SELECT * FROM Files ORDER BY FileID");
  EXPECT_EQ(rs->RecordCount(), 3);
  EXPECT_FALSE(rs->Bof());
  EXPECT_EQ(rs->AbsolutePosition(), 1);
  rs->MoveNext();
  rs->MoveNext();
  EXPECT_EQ(rs->Value(QStringLiteral("FileID")).toInt(), 3);
  EXPECT_EQ(rs->AbsolutePosition(), 3);
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(rs->AbsolutePosition(), 0);
  EXPECT_THROW(rs->Value(QStringLiteral("FileID")), RWError) << "no current row at the end";
  rs->MovePrevious();
  EXPECT_EQ(rs->Value(QStringLiteral("FileID")).toInt(), 3);
  rs->MoveFirst();
  rs->MovePrevious();
  EXPECT_TRUE(rs->Bof());
  rs->MoveLast();
  EXPECT_EQ(rs->AbsolutePosition(), 3);
  rs->SetAbsolutePosition(2);
  EXPECT_EQ(rs->Value(QStringLiteral("FileName")).toString(), QStringLiteral("b.avi"));
  EXPECT_THROW(rs->SetAbsolutePosition(4), RWError);

  // Buffered: later changes to the table do not disturb an open recordset.
  db_->Execute(QStringLiteral("DELETE FROM Files"));
  EXPECT_EQ(rs->RecordCount(), 3);
}

TEST_F(SqlRecordsetTest, EmptyResultIsAtBothEnds) {
  auto rs = Open("SELECT * FROM Files WHERE 1=0");
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_TRUE(rs->Bof());
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(rs->FieldCount(), 7) << "the columns are known without rows";
}

TEST_F(SqlRecordsetTest, FieldsAreFoundByNameInAnyCaseWithTypedValues) {
  auto rs = Open("SELECT FileID, FileName, FileSize / 3.0 AS Third, Note FROM Files WHERE FileID = 1");
  EXPECT_EQ(rs->Fields(QStringLiteral("filename")).toString(), QStringLiteral("a.mkv"));
  EXPECT_EQ(rs->Fields(QStringLiteral("FILEID")).Value().type(), SqlValue::Type::Integer);
  EXPECT_EQ(rs->Value(QStringLiteral("Third")).type(), SqlValue::Type::Real);
  EXPECT_EQ(rs->Value(QStringLiteral("Third")).toInt(), 33);
  EXPECT_TRUE(rs->Fields(QStringLiteral("Note")).IsNull());
  EXPECT_EQ(rs->Fields(QStringLiteral("Note")).toString(), QString());
  EXPECT_EQ(rs->Fields(QStringLiteral("Note")).toInt(), 0);
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("nothing")), -1);
  try {
    rs->Fields(QStringLiteral("Nothing"));
    ADD_FAILURE() << "unknown field";
  } catch (const RWError& e) {
    EXPECT_EQ(e.Number(), kErrDatabase);
    EXPECT_TRUE(e.Description().contains(QStringLiteral("Nothing")));
  }
}

TEST_F(SqlRecordsetTest, NamesAskedForRepeatedlyKeepFindingTheirOwnColumn) {
  auto rs = Open("SELECT FileID, Rating, FileName, FileSize, Note FROM Files WHERE FileID = 2");
  // Same-length names, read in a loop and then out of order, in other cases,
  // and from a buffer that is rewritten between lookups.
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(rs->Value(QStringLiteral("FileID")).toInt(), 2);
    EXPECT_EQ(rs->Value(QStringLiteral("Rating")).toInt(), 0);
    EXPECT_EQ(rs->Value(QStringLiteral("FileName")).toString(), QStringLiteral("b.avi"));
    EXPECT_EQ(rs->Value(QStringLiteral("FileSize")).toInt(), 200);
  }
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("FileSize")), 3);
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("FileID")), 0);
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("FILESIZE")), 3);
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("filename")), 2);
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("FileNam")), -1);

  char16_t buffer[] = u"FileID";
  const QString reused = QString::fromRawData(reinterpret_cast<const QChar*>(buffer), 6);
  EXPECT_EQ(rs->FieldIndex(reused), 0);
  std::copy_n(u"Rating", 6, buffer);
  EXPECT_EQ(rs->FieldIndex(reused), 1) << "the same storage now holds another name";
  EXPECT_EQ(rs->FieldIndex(QString(QStringLiteral("  Note  ").trimmed())), 4);
}

TEST_F(SqlRecordsetTest, NamesDifferingOnlyInCaseFindTheFirstColumn) {
  auto rs = Open("SELECT 1 AS Total, 2 AS total, 3 AS TOTAL");
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("total")), 0);
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("TOTAL")), 0);
  EXPECT_EQ(rs->Value(QStringLiteral("total")).toInt(), 1);
}

TEST_F(SqlRecordsetTest, EveryColumnOfAWideResultIsFoundByName) {
  QStringList columns;
  for (int c = 0; c < 150; ++c) columns << QStringLiteral("%1 AS Col%1").arg(c);
  SqlRecordset rs(*db_, QStringLiteral("SELECT %1 FROM Files").arg(columns.join(QStringLiteral(", "))));
  ASSERT_EQ(rs.RecordCount(), 3);
  // More names than any cache of recent lookups holds, each asked for on every
  // row, in both directions.
  for (; !rs.Eof(); rs.MoveNext()) {
    for (int c = 0; c < 150; ++c) ASSERT_EQ(rs.Value(QStringLiteral("col%1").arg(c)).toInt(), c);
    for (int c = 149; c >= 0; --c) ASSERT_EQ(rs.Value(QStringLiteral("Col%1").arg(c)).toInt(), c);
  }
}

TEST_F(SqlRecordsetTest, ManyRowsKeepTheirValuesAndTakeEdits) {
  // Enough rows of a few columns to fill many storage blocks.
  db_->Execute(QStringLiteral(
      "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 20099) "
      "INSERT INTO Segments (SegmentID, FileID, Rating, Alias) "
      "SELECT i, i % 3 + 1, i % 7, CASE WHEN i % 2 THEN 'Clip ' || i || ' été' END FROM n"));
  auto rs = Open("SELECT SegmentID, FileID, Rating, Alias FROM Segments WHERE SegmentID >= 100 ORDER BY SegmentID");
  ASSERT_EQ(rs->RecordCount(), 20000);
  for (int i = 100; !rs->Eof(); rs->MoveNext(), ++i) {
    ASSERT_EQ(rs->Value(QStringLiteral("SegmentID")).toInt(), i);
    ASSERT_EQ(rs->Value(QStringLiteral("Rating")).toInt(), i % 7);
    ASSERT_EQ(rs->Value(QStringLiteral("Alias")).toString(),
              i % 2 ? QStringLiteral("Clip %1 été").arg(i) : QString());
  }
  rs->MovePrevious();
  EXPECT_EQ(rs->Value(QStringLiteral("SegmentID")).toInt(), 20099);
  rs->SetAbsolutePosition(12345);
  rs->Fields(QStringLiteral("Alias")).SetValue(QStringLiteral("edited"));
  rs->AddNew();
  rs->Fields(QStringLiteral("SegmentID")).SetValue(30000);
  rs->Fields(QStringLiteral("FileID")).SetValue(1);
  EXPECT_EQ(rs->Update(), 2);
  EXPECT_EQ(rs->RecordCount(), 20001);
  EXPECT_EQ(rs->Value(QStringLiteral("Rating")).toInt(), 0) << "the new row reads back its default";
  rs->SetAbsolutePosition(12345);
  EXPECT_EQ(rs->Value(QStringLiteral("Alias")).toString(), QStringLiteral("edited"));
  EXPECT_EQ(Open("SELECT Alias FROM Segments WHERE SegmentID = 12444")->Value(QStringLiteral("Alias")).toString(),
            QStringLiteral("edited"));
}

TEST_F(SqlRecordsetTest, RecordsetsOpenedAfterOthersClosedShowOnlyTheirOwnRows) {
  db_->Execute(QStringLiteral(
      "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 5099) "
      "INSERT INTO Segments (SegmentID, FileID, Alias) SELECT i, 1, 'alias ' || i FROM n"));
  Open("SELECT * FROM Segments").reset();
  auto outer = Open("SELECT Alias, SegmentID FROM Segments WHERE SegmentID >= 100 ORDER BY SegmentID DESC");
  auto inner = Open("SELECT * FROM Files WHERE 1=0");
  inner->AddNew();
  for (int c = 0; c < inner->FieldCount(); ++c) EXPECT_TRUE(inner->Value(c).IsNull()) << c;
  auto files = Open("SELECT FileName, FileSize FROM Files ORDER BY FileID");
  EXPECT_EQ(files->RecordCount(), 3);
  files->MoveLast();
  EXPECT_EQ(files->Value(QStringLiteral("FileName")).toString(), QStringLiteral("c.mp4"));
  ASSERT_EQ(outer->RecordCount(), 5000);
  outer->MoveLast();
  EXPECT_EQ(outer->Value(QStringLiteral("Alias")).toString(), QStringLiteral("alias 100"));
}

TEST_F(SqlRecordsetTest, AddNewThroughAnEmptyQueryKeepsColumnDefaults) {
  auto rs = Open("SELECT * FROM Files WHERE 1=0");
  rs->AddNew();
  rs->Fields(QStringLiteral("FileID")).SetValue(7);
  rs->Fields(QStringLiteral("FileName")).SetValue(QStringLiteral("Été 'quoted'.mkv"));
  EXPECT_EQ(rs->Update(), 1);
  EXPECT_EQ(db_->RowsChanged(), 1);

  auto stored = Open("SELECT FileSize, Rating, Flag, typeof(Flag) AS t, Added, Note FROM Files WHERE FileID = 7");
  ASSERT_EQ(stored->RecordCount(), 1);
  EXPECT_EQ(stored->Value(QStringLiteral("FileSize")).toInt(), 0);
  EXPECT_EQ(stored->Value(QStringLiteral("Flag")).toString(), QStringLiteral("N"));
  EXPECT_EQ(stored->Value(QStringLiteral("t")).toString(), QStringLiteral("text"));
  EXPECT_EQ(stored->Value(QStringLiteral("Added")).toDate(), QDate::currentDate());
  EXPECT_TRUE(stored->Value(QStringLiteral("Note")).IsNull());

  // The recordset itself now shows the row as stored, defaults included.
  EXPECT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Value(QStringLiteral("FileName")).toString(), QStringLiteral("Été 'quoted'.mkv"));
  EXPECT_EQ(rs->Value(QStringLiteral("Flag")).toString(), QStringLiteral("N"));
  EXPECT_EQ(rs->Value(QStringLiteral("FileSize")).type(), SqlValue::Type::Integer);
}

TEST_F(SqlRecordsetTest, AddNewWithADuplicateKeyFailsAndWritesNothing) {
  auto rs = Open("SELECT * FROM Files WHERE 1=0");
  rs->AddNew();
  rs->Fields(QStringLiteral("FileID")).SetValue(8);
  rs->Fields(QStringLiteral("FileName")).SetValue(QStringLiteral("new"));
  rs->AddNew();
  rs->Fields(QStringLiteral("FileID")).SetValue(1);  // exists already
  rs->Fields(QStringLiteral("FileName")).SetValue(QStringLiteral("clash"));
  try {
    rs->Update();
    ADD_FAILURE() << "duplicate key accepted";
  } catch (const RWError& e) {
    EXPECT_EQ(e.Number(), kErrDatabase);
  }
  EXPECT_EQ(Open("SELECT * FROM Files")->RecordCount(), 3) << "neither row written";
  EXPECT_FALSE(db_->InTransaction());
  EXPECT_TRUE(rs->HasPendingChanges()) << "the changes are kept for another try";

  rs->Fields(QStringLiteral("FileID")).SetValue(9);
  EXPECT_EQ(rs->Update(), 2);
  EXPECT_EQ(Open("SELECT * FROM Files")->RecordCount(), 5);
}

TEST_F(SqlRecordsetTest, EditsOfSeveralRowsAreWrittenBackTogether) {
  auto rs = Open("SELECT * FROM Files ORDER BY FileID");
  rs->Fields(QStringLiteral("FileSize")).SetValue(111);
  rs->MoveNext();
  rs->Fields(QStringLiteral("FileID")).SetValue(22);  // a key column, found by its old value
  rs->Fields(QStringLiteral("Note")).SetValue(QStringLiteral("moved"));
  rs->MoveNext();
  rs->Fields(QStringLiteral("Note")).SetValue(SqlValue());
  EXPECT_EQ(rs->Update(), 3);
  EXPECT_EQ(db_->RowsChanged(), 3);
  EXPECT_FALSE(rs->HasPendingChanges());

  auto check = Open("SELECT FileID, FileSize, Note FROM Files ORDER BY FileID");
  EXPECT_EQ(check->Value(QStringLiteral("FileSize")).toInt(), 111);
  check->MoveNext();
  EXPECT_EQ(check->Value(QStringLiteral("FileID")).toInt(), 3);
  check->MoveNext();
  EXPECT_EQ(check->Value(QStringLiteral("FileID")).toInt(), 22);
  EXPECT_EQ(check->Value(QStringLiteral("FileSize")).toInt(), 200);
  EXPECT_EQ(check->Value(QStringLiteral("Note")).toString(), QStringLiteral("moved"));

  // Edited again after the write, the row is found under its new key.
  rs->SetAbsolutePosition(2);
  rs->Fields(QStringLiteral("FileSize")).SetValue(222);
  rs->Update();
  EXPECT_EQ(Open("SELECT FileSize FROM Files WHERE FileID = 22")->Value(QStringLiteral("FileSize")).toInt(), 222);
}

TEST_F(SqlRecordsetTest, EditThroughAJoinChangesOnlyTheColumnsSet) {
  auto rs = Open(
      "SELECT * FROM Files F INNER JOIN Segments S ON S.FileID = F.FileID WHERE S.SegmentID = 11");
  ASSERT_EQ(rs->RecordCount(), 1);
  // "Rating" is in both tables; the first one is the file's.
  rs->Fields(QStringLiteral("Rating")).SetValue(5);
  rs->Fields(QStringLiteral("FileSize")).SetValue(999);
  rs->Update();
  auto file = Open("SELECT Rating, FileSize FROM Files WHERE FileID = 1");
  EXPECT_EQ(file->Value(QStringLiteral("Rating")).toInt(), 5);
  EXPECT_EQ(file->Value(QStringLiteral("FileSize")).toInt(), 999);
  EXPECT_EQ(Open("SELECT Rating FROM Segments WHERE SegmentID = 11")->Value(QStringLiteral("Rating")).toInt(), 3);
}

TEST_F(SqlRecordsetTest, RowOfATableWithoutKeyIsFoundByItsValues) {
  db_->Execute(QStringLiteral("CREATE TABLE Version (Major integer, Minor integer, Status text)"));
  db_->Execute(QStringLiteral("INSERT INTO Version VALUES (1, 6, 'Beta'), (1, 7, 'Beta')"));
  auto rs = Open("SELECT * FROM Version ORDER BY Minor");
  rs->MoveNext();
  rs->Fields(QStringLiteral("Status")).SetValue(QStringLiteral("Final"));
  rs->Update();
  auto check = Open("SELECT Status FROM Version ORDER BY Minor");
  EXPECT_EQ(check->Value(QStringLiteral("Status")).toString(), QStringLiteral("Beta"));
  check->MoveNext();
  EXPECT_EQ(check->Value(QStringLiteral("Status")).toString(), QStringLiteral("Final"));
}

TEST_F(SqlRecordsetTest, ComputedFieldsAndVanishedRowsAreReported) {
  auto computed = Open("SELECT FileID, upper(FileName) AS Shout FROM Files");
  EXPECT_THROW(computed->Fields(QStringLiteral("Shout")).SetValue(QStringLiteral("x")), RWError);

  auto noKey = Open("SELECT FileName FROM Files WHERE FileID = 1");
  noKey->Fields(QStringLiteral("FileName")).SetValue(QStringLiteral("renamed"));
  EXPECT_THROW(noKey->Update(), RWError) << "the key is not in the query";

  auto rs = Open("SELECT * FROM Files WHERE FileID = 2");
  rs->Fields(QStringLiteral("Note")).SetValue(QStringLiteral("late"));
  db_->Execute(QStringLiteral("DELETE FROM Files WHERE FileID = 2"));
  try {
    rs->Update();
    ADD_FAILURE() << "writing to a deleted row reported success";
  } catch (const RWError& e) {
    EXPECT_TRUE(e.Description().contains(QStringLiteral("no longer exists")));
  }
  EXPECT_FALSE(db_->InTransaction());
}

TEST_F(SqlRecordsetTest, UpdateInsideANamedTransactionJoinsIt) {
  db_->BeginTrans(QStringLiteral("Outer"));
  auto rs = Open("SELECT * FROM Files WHERE FileID = 3");
  rs->Fields(QStringLiteral("FileSize")).SetValue(1);
  rs->Update();
  db_->RollbackTrans(QStringLiteral("Outer"));
  EXPECT_EQ(Open("SELECT FileSize FROM Files WHERE FileID = 3")->Value(QStringLiteral("FileSize")).toInt(), 300);
}

// Values of every storage class, read back as the program reads them, sort
// by their order keys exactly as the database orders them, and tie exactly
// where it finds them equal: numbers of one value across integer and real,
// texts by code point (a character beyond U+FFFF after U+E000..U+FFFD, which
// UTF-16 units would put the other way round), blobs by their bytes.
TEST_F(SqlRecordsetTest, OrderKeysSortValuesAsTheDatabaseOrdersThem) {
  db_->Execute(QStringLiteral("CREATE TABLE V (x)"));
  db_->Execute(QString::fromUtf8(
      "INSERT INTO V VALUES (NULL), (3), (3.0), (-2.5), (-7), (0), (-0.0), (1099511627776), (1e300), (-1e300), "
      "(''), ('a'), ('B'), ('b'), ('ab'), ('é'), ('É'), ('\xee\x80\x80'), ('\xef\xbf\xbd'), ('\xf0\x9d\x84\x9e'), "
      "('a\xf0\x9d\x84\x9e'), ('a\xef\xbf\xbd'), ('3'), (NULL), (x''), (x'00'), (x'ff'), (x'0001'), (x'61'), ('a')"));
  std::vector<std::pair<int64_t, SqlValue>> rows;
  for (auto rs = Open("SELECT rowid, x FROM V"); !rs->Eof(); rs->MoveNext()) {
    rows.emplace_back(rs->Value(0).toInt64(), rs->Value(1));
  }
  std::vector<std::pair<int64_t, SqlOrderKey>> keyed;
  for (const auto& [rowid, value] : rows) keyed.emplace_back(rowid, OrderKey(value));
  std::ranges::sort(keyed, [](const auto& a, const auto& b) {
    const int order = Compare(a.second, b.second);
    return order != 0 ? order < 0 : a.first < b.first;
  });
  std::vector<int64_t> ours;
  for (const auto& row : keyed) ours.push_back(row.first);
  std::vector<int64_t> theirs;
  for (auto rs = Open("SELECT rowid FROM V ORDER BY x, rowid"); !rs->Eof(); rs->MoveNext()) {
    theirs.push_back(rs->Value(0).toInt64());
  }
  EXPECT_EQ(ours, theirs);

  std::map<std::pair<int64_t, int64_t>, bool> same;
  for (auto rs = Open("SELECT A.rowid, B.rowid, A.x IS B.x FROM V A, V B"); !rs->Eof(); rs->MoveNext()) {
    same[{rs->Value(0).toInt64(), rs->Value(1).toInt64()}] = rs->Value(2).toBool();
  }
  for (const auto& [a, keyA] : keyed) {
    for (const auto& [b, keyB] : keyed) {
      EXPECT_EQ(Compare(keyA, keyB) == 0, same.at({a, b})) << a << " and " << b;
    }
  }
}

}  // namespace
