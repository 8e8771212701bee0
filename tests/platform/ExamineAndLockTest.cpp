// What stands in the way of opening a database file, found without changing
// it, and the advisory lock that keeps a library to one copy of the program.
#include "platform/FileLock.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "tests/support/ReadOnlyFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class ExamineTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  QString Path(const QString& name) const { return dir_.filePath(name); }

  // A database of a few hundred rows, several pages long.
  QString MakeDatabase(const QString& name) {
    const QString path = Path(name);
    auto db = SqlConnection::Create(path);
    db->Execute(QStringLiteral("CREATE TABLE t (a text)"));
    db->Execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                               "INSERT INTO t SELECT printf('%.300c', 'y') FROM n"));
    return path;
  }

  QTemporaryDir dir_;
};

TEST_F(ExamineTest, EachObstacleIsFoundAndAWholeWritableDatabaseIsUsable) {
  const QString good = MakeDatabase(QStringLiteral("good.db"));
  EXPECT_EQ(SqlConnection::Examine(good), DatabaseFileState::Usable);
  EXPECT_EQ(SqlConnection::Examine(Path(QStringLiteral("none.db"))), DatabaseFileState::Missing);
  EXPECT_EQ(SqlConnection::Examine(dir_.path()), DatabaseFileState::Unreadable);

  QFile text(Path(QStringLiteral("text.db")));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write(QByteArray(8192, 'x'));
  text.close();
  EXPECT_EQ(SqlConnection::Examine(text.fileName()), DatabaseFileState::NotADatabase);
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("none.db")))) << "examining creates nothing";
}

// SQLite takes these names beside the file for its journal and log: a
// folder there makes every read of a sound file fail.
TEST_F(ExamineTest, AFolderUnderTheJournalsOrTheLogsNameIsFoundAndNamed) {
  const QString good = MakeDatabase(QStringLiteral("good.db"));
  for (const char* beside : {"-journal", "-wal"}) {
    SCOPED_TRACE(beside);
    const QString folder = good + QLatin1String(beside);
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(SqlConnection::Examine(good), DatabaseFileState::JournalBlocked);
    EXPECT_EQ(SqlConnection::TakenJournalName(good), folder);
    ASSERT_TRUE(QDir().rmdir(folder));
  }
  EXPECT_EQ(SqlConnection::Examine(good), DatabaseFileState::Usable);
  EXPECT_TRUE(SqlConnection::TakenJournalName(good).isEmpty());
}

TEST_F(ExamineTest, CutShortOrWithABadPageIsDamaged) {
  const QString good = MakeDatabase(QStringLiteral("good.db"));
  QFile file(good);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  file.close();

  QFile cut(Path(QStringLiteral("cut.db")));
  ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
  cut.write(bytes.left(bytes.size() / 2 / 4096 * 4096));
  cut.close();
  EXPECT_EQ(SqlConnection::Examine(cut.fileName()), DatabaseFileState::Damaged);

  // Same length, header intact: only SQLite's check of the pages finds it.
  QByteArray scrambled = bytes;
  for (qsizetype i = 4096 + 8; i < 3 * 4096; ++i) scrambled[i] = char(0xA5 ^ (i & 0x3F));
  QFile bad(Path(QStringLiteral("bad.db")));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write(scrambled);
  bad.close();
  EXPECT_EQ(SqlConnection::Examine(bad.fileName()), DatabaseFileState::Damaged);
  ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
  EXPECT_EQ(bad.readAll(), scrambled) << "examining changes nothing";
}

// The mode bits count even for the superuser, who could write anyway: a file
// or folder marked read-only is taken as meant.
TEST_F(ExamineTest, ReadOnlyFileOrFolderIsFoundWhoeverRuns) {
  const QString file = MakeDatabase(QStringLiteral("file.db"));
  ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
  EXPECT_EQ(SqlConnection::Examine(file), DatabaseFileState::ReadOnly);

  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("shelf")));
  const QString inFolder = MakeDatabase(QStringLiteral("shelf/lib.db"));
  const rwtest::ReadOnlyFolder shelf(Path(QStringLiteral("shelf")));
  ASSERT_TRUE(shelf.Made());
  EXPECT_EQ(SqlConnection::Examine(inFolder), DatabaseFileState::ReadOnly);
  EXPECT_EQ(QDir(Path(QStringLiteral("shelf"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("lib.db")})
      << "the probe leaves nothing behind";
}

// A header that asks for a later write version makes SQLite open the file
// read-only: found before the open and refused like a read-only file, with
// nothing of the file changed; an open that gets so far is refused too.
TEST_F(ExamineTest, AHeaderSQLiteOnlyReadsIsReadOnly) {
  const QString path = MakeDatabase(QStringLiteral("later.db"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.seek(18));
  ASSERT_EQ(file.write("\x05", 1), 1);
  file.close();
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray before = file.readAll();
  file.close();

  EXPECT_EQ(SqlConnection::Examine(path), DatabaseFileState::ReadOnly);
  EXPECT_THROW(SqlConnection::Open(path), RWError);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), before) << "examining changes nothing";
  EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal")));
}

TEST_F(ExamineTest, DatabaseAnotherProgramIsWritingIsBusyNotDamaged) {
  const QString path = MakeDatabase(QStringLiteral("busy.db"));
  auto writer = SqlConnection::Open(path);
  writer->Execute(QStringLiteral("BEGIN EXCLUSIVE; INSERT INTO t VALUES ('z')"));
  EXPECT_EQ(SqlConnection::Examine(path), DatabaseFileState::Busy);
  writer->Execute(QStringLiteral("COMMIT"));
  EXPECT_EQ(SqlConnection::Examine(path), DatabaseFileState::Usable);
}

TEST_F(ExamineTest, PathLongerThanSQLiteOpensIsFound) {
  QString folder = dir_.path();
  while (QFile::encodeName(folder).size() < 600) folder += QLatin1Char('/') + QString(100, QLatin1Char('d'));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString path = folder + QStringLiteral("/long.db");
  ASSERT_TRUE(QFile::copy(MakeDatabase(QStringLiteral("short.db")), path));
  EXPECT_GE(QFile::encodeName(path).size(), SqlConnection::MaxPathBytes());
  EXPECT_EQ(SqlConnection::Examine(path), DatabaseFileState::PathTooLong);
}

TEST_F(ExamineTest, LockIsHeldByOneOpenAtATimeAndDiesWithItsHolder) {
  const QString path = MakeDatabase(QStringLiteral("lib.db"));
  FileLock::Outcome outcome = FileLock::Outcome::Failed;
  auto first = FileLock::TryLock(path, outcome);
  ASSERT_TRUE(first);
  EXPECT_EQ(outcome, FileLock::Outcome::Locked);
  EXPECT_TRUE(first->Covers(QDir(dir_.path()).filePath(QStringLiteral("./lib.db"))));
  EXPECT_FALSE(first->Covers(Path(QStringLiteral("other.db"))));

  EXPECT_FALSE(FileLock::TryLock(path, outcome));
  EXPECT_EQ(outcome, FileLock::Outcome::HeldElsewhere);
  const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
  if (!flock.isEmpty()) {
    EXPECT_EQ(QProcess::execute(flock, {QStringLiteral("--nonblock"), path, QStringLiteral("true")}), 1)
        << "another process finds the lock";
  }
  // A process ending at once lets go of its locks before its objects end.
  FileLock::ReleaseAllNow();
  EXPECT_TRUE(FileLock::TryLock(path, outcome));
  first.reset();
  EXPECT_TRUE(FileLock::TryLock(path, outcome));
  EXPECT_FALSE(FileLock::TryLock(Path(QStringLiteral("none.db")), outcome));
  EXPECT_EQ(outcome, FileLock::Outcome::Failed);
}

}  // namespace
