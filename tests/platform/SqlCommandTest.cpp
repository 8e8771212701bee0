// A command's rows read one at a time: the same values, by every conversion,
// as a recordset of the same query holds; texts read again keep their own
// values however the text cache's slots collide; after the last row the
// next step starts the rows again.
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SqlCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    db_ = SqlConnection::Create(dir_.filePath(QStringLiteral("rows.db")));
    db_->Execute(QStringLiteral("CREATE TABLE T (Id integer PRIMARY KEY, V)"));
  }

  QTemporaryDir dir_;
  std::unique_ptr<SqlConnection> db_;
};

TEST_F(SqlCommandTest, EveryValueConvertsAsTheRecordsetsDoes) {
  db_->Execute(QStringLiteral(
      "INSERT INTO T (V) VALUES (NULL), (0), (7), (-3), (9223372036854775807), (2.5), (3.5), (-0.5), (1e300), "
      "(''), (' 42 '), ('3.5'), ('+8'), ('true'), ('FALSE'), ('abc'), ('Été à Nice.mkv'), (X'414243'), (X'')"));
  db_->Execute(QStringLiteral("INSERT INTO T (V) VALUES (printf('%.*c', 300, 'x'))"));
  const QString sql = QStringLiteral("SELECT V, Id FROM T ORDER BY Id");
  auto recordset = db_->OpenRecordset(sql);
  auto command = db_->Prepare(sql);
  SqlCommand& rows = *command;
  int count = 0;
  for (; rows.Step(); recordset->MoveNext(), ++count) {
    ASSERT_FALSE(recordset->Eof());
    const SqlValue& v = recordset->Value(0);
    SCOPED_TRACE(v.toString().left(20).toStdString());
    EXPECT_EQ(rows.IsNull(0), v.IsNull());
    EXPECT_EQ(rows.toInt64(0), v.toInt64());
    EXPECT_EQ(rows.toInt(0), v.toInt());
    EXPECT_EQ(rows.toDouble(0), v.toDouble());
    EXPECT_EQ(rows.toBool(0), v.toBool());
    EXPECT_EQ(rows.toString(0), v.toString());
    EXPECT_EQ(rows.toString(0).isNull(), v.toString().isNull());
    EXPECT_EQ(rows.Value(0), v);
    EXPECT_EQ(rows.toInt(1), recordset->Value(1).toInt());
  }
  EXPECT_EQ(count, 20);
  EXPECT_TRUE(recordset->Eof());
  ASSERT_TRUE(rows.Step()) << "after the last row the rows start again";
  EXPECT_TRUE(rows.IsNull(0));
  EXPECT_EQ(rows.toInt(1), 1);
}

// Texts of one length that agree in their first, middle and last eight
// bytes (the ones a slot is chosen by) and differ elsewhere, read in turns.
TEST_F(SqlCommandTest, TextsThatShareASlotKeepTheirOwnValues) {
  QStringList texts;
  for (int i = 0; i < 40; ++i) {
    const QString mark = QString(QLatin1Char(char('a' + i % 26))) + QString::number(i / 26);
    texts << QStringLiteral("Folder 1/") + mark + QStringLiteral("/Middle!!/x") + mark + QStringLiteral("/Clip.mkv");
  }
  texts << QStringLiteral("Été") << QStringLiteral("Ete") << QStringLiteral("ÉTÉ") << QString::fromUtf8("\xC3\x83\xC2\xA9");
  {
    TransactionGuard guard(*db_, QStringLiteral("Texts"));
    auto insert = db_->Prepare(QStringLiteral("INSERT INTO T (V) VALUES (?)"));
    for (int round = 0; round < 3; ++round) {
      for (const QString& text : texts) {
        insert->Bind(1, text);
        insert->Execute();
      }
    }
    guard.Commit();
  }
  const QString sql = QStringLiteral("SELECT V, V AS Again FROM T ORDER BY Id");
  auto command = db_->Prepare(sql);
  SqlCommand& rows = *command;
  auto recordset = db_->OpenRecordset(sql);
  for (int k = 0; k < 3 * texts.size(); ++k, recordset->MoveNext()) {
    ASSERT_TRUE(rows.Step());
    const QString& expected = texts[k % texts.size()];
    EXPECT_EQ(rows.toString(0), expected);
    EXPECT_EQ(rows.toString(1), expected);
    EXPECT_EQ(recordset->Value(0).toString(), expected);
    EXPECT_EQ(recordset->Value(1).toString(), expected);
  }
  EXPECT_FALSE(rows.Step());
}

TEST_F(SqlCommandTest, ColumnsAreFoundByNameAndFailuresRaise) {
  db_->Execute(QStringLiteral("INSERT INTO T (V) VALUES ('{')"));
  auto rows = db_->Prepare(QStringLiteral("SELECT Id AS FileID, V AS Name, V AS name FROM T"));
  EXPECT_EQ(rows->FieldCount(), 3);
  EXPECT_EQ(rows->FieldIndex(QStringLiteral("fileid")), 0);
  EXPECT_EQ(rows->FieldIndex(QStringLiteral("NAME")), 1) << "the first of two";
  EXPECT_EQ(rows->FieldIndex(QStringLiteral("Rating")), -1);
  EXPECT_THROW(db_->Prepare(QStringLiteral("SELECT Nothing FROM T")), RWError);
  auto failing = db_->Prepare(QStringLiteral("SELECT json(V) FROM T"));
  EXPECT_THROW(failing->Step(), RWError) << "a row that cannot be made";
  EXPECT_THROW(failing->Step(), RWError) << "and again when stepped again";
}

// Callers run a query again by stepping it again: after false the rows start
// over from the first, with the bindings in force then.
TEST_F(SqlCommandTest, StepAfterTheLastRowStartsTheRowsAgain) {
  db_->Execute(QStringLiteral("INSERT INTO T (V) VALUES ('a'), ('b'), ('c')"));
  auto rows = db_->Prepare(QStringLiteral("SELECT V FROM T WHERE Id >= ? ORDER BY Id"));
  rows->Bind(1, 2);
  const auto readAll = [&] {
    QStringList seen;
    while (rows->Step()) seen << rows->toString(0);
    return seen;
  };
  EXPECT_EQ(readAll(), QStringList({"b", "c"}));
  EXPECT_EQ(readAll(), QStringList({"b", "c"})) << "the same rows from the first";
  ASSERT_TRUE(rows->Step());
  EXPECT_EQ(rows->toString(0), QStringLiteral("b"));
  EXPECT_EQ(readAll(), QStringList({"c"})) << "a read stopped mid-way goes on where it stopped";
  rows->Bind(1, 1);
  EXPECT_EQ(readAll(), QStringList({"a", "b", "c"}));
}

// The raw reads give SQLite's own forms: integers as stored, texts and blobs
// as their bytes, NULL as nothing.
TEST_F(SqlCommandTest, RawColumnsReadIntegersAndBytes) {
  db_->Execute(QStringLiteral("INSERT INTO T (V) VALUES (9223372036854775807), ('Été'), (X'00FF'), (NULL)"));
  auto rows = db_->Prepare(QStringLiteral("SELECT Id, V FROM T ORDER BY Id"));
  ASSERT_TRUE(rows->Step());
  EXPECT_EQ(rows->ColumnInt(1), 9223372036854775807);
  ASSERT_TRUE(rows->Step());
  EXPECT_EQ(rows->ColumnInt(0), 2);
  EXPECT_EQ(QString::fromUtf8(rows->ColumnBytes(1)), QStringLiteral("Été"));
  ASSERT_TRUE(rows->Step());
  EXPECT_EQ(rows->ColumnBytes(1), QByteArray("\x00\xFF", 2));
  ASSERT_TRUE(rows->Step());
  EXPECT_TRUE(rows->ColumnBytes(1).isEmpty());
  EXPECT_EQ(rows->ColumnInt(1), 0);
  EXPECT_FALSE(rows->Step());
}

}  // namespace
