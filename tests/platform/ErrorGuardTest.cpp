// The one error guard: what it reports of a failing step and when it keeps
// quiet, in every form the program's callers ask for.
#include "platform/ErrorGuard.h"
#include "tests/support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QWidget>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <stdexcept>

namespace {

const RWError kLocked(5, QStringLiteral("The library is locked"), QStringLiteral("Test"));

class ErrorGuardTest : public ::testing::Test {
 protected:
  void SetUp() override { boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; }); }
  void TearDown() override { ErrorGuard::SetFaultWords(nullptr); }
  rwtest::ScriptedMessageBoxes boxes;
};

// A step's own failure answers false and is told as number and description
// in the program's box, or in the form its caller prescribes, or kept away
// as asked; nothing thrown leaves the guard.
TEST_F(ErrorGuardTest, AStepsOwnFailureIsToldInTheCallersFormOrKeptAwayAsAsked) {
  ErrorGuard guard;
  int after = 0;
  EXPECT_TRUE(guard.Run([&] { ++after; }));
  EXPECT_FALSE(guard.Run([] { throw kLocked; }));
  EXPECT_TRUE(guard.Run([&] { ++after; })) << "the next step runs";
  EXPECT_EQ(after, 2);
  EXPECT_EQ(guard.Failures(), 1);
  ASSERT_EQ(boxes.Count(), 1);
  const MessageBoxRequest& box = boxes.Last();
  EXPECT_EQ(box.prompt, QStringLiteral("5: The library is locked"));
  EXPECT_EQ(box.style, vbExclamation);
  EXPECT_EQ(box.fontName, QStringLiteral("Tahoma"));
  EXPECT_TRUE(box.fit);
  EXPECT_FALSE(box.systemBox);

  // Anything else thrown is an internal error; nothing leaves the guard.
  EXPECT_FALSE(guard.Run([] { throw std::runtime_error("out of luck"); }));
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("51: out of luck"));

  // Prescribed forms, titles and owners are the caller's.
  QWidget owner;
  ErrorGuard({.title = QStringLiteral("Error Opening Library"),
              .style = vbOKOnly,
              .owner = &owner,
              .text = ErrorGuard::Numbered(QStringLiteral(" "), QStringLiteral(" "))})
      .Run([] { throw kLocked; });
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("5 The library is locked "));
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error Opening Library"));
  EXPECT_EQ(boxes.Last().style, vbOKOnly);
  EXPECT_EQ(boxes.Last().owner, &owner);

  ErrorGuard({.title = QStringLiteral("Shutdown Error"), .text = ErrorGuard::Numbered(QStringLiteral(" - ")),
              .systemBox = true})
      .Run([] { throw kLocked; });
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("5 - The library is locked"));
  EXPECT_TRUE(boxes.Last().systemBox);
  EXPECT_TRUE(boxes.Last().fontName.isEmpty()) << "the system's box has no font of the program's";

  // Once per pass, silence, quiet and expected numbers keep the boxes away.
  boxes.Clear();
  ErrorGuard pass({.oncePerPass = true});
  for (int i = 0; i < 3; ++i) pass.Run([] { throw kLocked; });
  EXPECT_EQ(pass.Failures(), 3);
  EXPECT_EQ(boxes.Count(), 1) << "one message for the pass";

  bool empty = true;
  ErrorGuard silent({.silent = [&] { return empty; }});
  silent.Run([] { throw kLocked; });
  EXPECT_EQ(boxes.Count(), 1);
  empty = false;
  silent.Run([] { throw kLocked; });
  EXPECT_EQ(boxes.Count(), 2);

  ErrorGuard({.quiet = true}).Run([] { throw kLocked; });
  const auto kFail = static_cast<int32_t>(0x80004005u);
  ErrorGuard expected({.passOver = {kFail}});
  expected.Run([&] { throw RWError(kFail, QStringLiteral("Unspecified")); });
  EXPECT_EQ(boxes.Count(), 2);
  expected.Run([] { throw kLocked; });
  EXPECT_EQ(boxes.Count(), 3) << "other numbers are still reported";

  // A deferred report.
  boxes.Clear();
  ErrorGuard painting({.deferred = true});
  EXPECT_FALSE(painting.Run([] { throw kLocked; }));
  EXPECT_EQ(boxes.Count(), 0) << "no box inside the step's caller";
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("5: The library is locked"));
}

// A failure of SQLite as its connection raises it: SQLite's extended code
// beside its words.
RWError SqliteFailure(int code, const char* said, FaultKind kind = FaultKind::None) {
  return RWError(kErrDatabase, QLatin1String(said), QStringLiteral("SqlConnection"), QStringLiteral("/m/Films.rw2"),
                 code, kind == FaultKind::None ? RWError::KindOfCode(code) : kind);
}

// A failure is told by SQLite's code in the words installed from above,
// whatever SQLite's text says and whatever form the caller prescribes (a
// caller's own title stays); SQLite's words and the error number never
// reach the box. Without words installed a failure keeps the caller's form.
TEST_F(ErrorGuardTest, AFailureIsToldByItsCodeInTheInstalledWordsNeverBySqlitesText) {
  ErrorGuard::SetFaultWords([](const RWError& error, const QString&) -> std::optional<FaultTelling> {
    if (error.SqliteCode() == 0 && error.Kind() == FaultKind::None) return std::nullopt;
    return FaultTelling{QStringLiteral("Kind %1").arg(static_cast<int>(error.Kind())),
                        QStringLiteral("Told about ") + error.File()};
  });
  const struct {
    RWError error;
    FaultKind kind;
  } cases[] = {
      {SqliteFailure(SQLITE_FULL, "database or disk is full"), FaultKind::DiskFull},
      // Another program's rule whose own words read as a full disk is a refusal.
      {SqliteFailure(SQLITE_CONSTRAINT_TRIGGER, "database or disk is full"), FaultKind::Refused},
      {SqliteFailure(SQLITE_CONSTRAINT_CHECK, "CHECK constraint failed: x"), FaultKind::Refused},
      {SqliteFailure(SQLITE_CONSTRAINT_UNIQUE, "UNIQUE constraint failed: t.x"), FaultKind::KeyConflict},
      {SqliteFailure(SQLITE_READONLY_DBMOVED, "attempt to write a readonly database"), FaultKind::ReadOnly},
      {SqliteFailure(SQLITE_IOERR_WRITE, "disk I/O error"), FaultKind::InputOutput},
      {SqliteFailure(SQLITE_CORRUPT_INDEX, "database disk image is malformed"), FaultKind::Damaged},
      {SqliteFailure(SQLITE_BUSY, "database is locked"), FaultKind::Busy},
      {SqliteFailure(SQLITE_LOCKED_SHAREDCACHE, "database table is locked"), FaultKind::Busy},
      {SqliteFailure(SQLITE_CANTOPEN, "unable to open database file"), FaultKind::CannotOpen},
      {SqliteFailure(SQLITE_NOMEM, "out of memory"), FaultKind::OutOfMemory},
      {SqliteFailure(SQLITE_ERROR, "no such column: VF.FileSize", FaultKind::Mismatch), FaultKind::Mismatch},
      {RWError(kErrDiskFull, QStringLiteral("The file could not be written.")), FaultKind::DiskFull},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error.Text().toStdString());
    EXPECT_EQ(c.error.Kind(), c.kind);
    EXPECT_EQ(StorageFault::IsStorageKind(c.kind),
              c.kind != FaultKind::Refused && c.kind != FaultKind::KeyConflict && c.kind != FaultKind::Mismatch);
    ErrorGuard({.text = ErrorGuard::Numbered(QStringLiteral(" - "))}).Run([&] { StorageFault::Raise(c.error); });
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Kind %1").arg(static_cast<int>(c.kind)));
    EXPECT_FALSE(boxes.Last().prompt.contains(c.error.Description())) << boxes.Last().prompt.toStdString();
    EXPECT_FALSE(boxes.Last().prompt.contains(QString::number(c.error.Number())));
  }
  ErrorGuard({.title = QStringLiteral("Error Fetching View Data")}).Run([] {
    throw StorageFault(SqliteFailure(SQLITE_FULL, "database or disk is full"));
  });
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error Fetching View Data"));
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("Told about /m/Films.rw2"));
  EXPECT_EQ(ErrorGuard::InOwnWords(SqliteFailure(SQLITE_BUSY, "database is locked"), QStringLiteral("own")),
            QStringLiteral("Told about /m/Films.rw2"));
  EXPECT_EQ(ErrorGuard::InOwnWords(kLocked, QStringLiteral("own")), QStringLiteral("own"));
  ErrorGuard().Run([] { throw kLocked; });
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("5: The library is locked")) << "the program's own failure";

  ErrorGuard::SetFaultWords(nullptr);
  ErrorGuard().Run([] { throw StorageFault(SqliteFailure(SQLITE_FULL, "database or disk is full")); });
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("-2147221504: database or disk is full")) << "no words installed";

  // A storage fault is no RWError: a step's catch of its own failures passes
  // it on to the guard, which tells it.
  boxes.Clear();
  int handled = 0;
  EXPECT_FALSE(ErrorGuard().Run([&] {
    try {
      throw StorageFault(SqliteFailure(SQLITE_BUSY, "database is locked"));
    } catch (const RWError&) {
      ++handled;
    }
  }));
  EXPECT_EQ(handled, 0);
  EXPECT_EQ(boxes.Count(), 1);
  EXPECT_THROW(StorageFault::Raise(SqliteFailure(SQLITE_CONSTRAINT_CHECK, "CHECK constraint failed")), RWError);
  EXPECT_THROW(StorageFault::Raise(SqliteFailure(SQLITE_IOERR_READ, "disk I/O error")), StorageFault);
}

// A fault of the disk or the file is told once per command, whatever guards
// its steps use, quiet ones too; a damaged file, once told, is handed to the
// program to stop using.
TEST_F(ErrorGuardTest, AStorageFaultIsToldOnceByTheCommandThatMeetsItWhateverItsGuards) {
  // After a full disk or a library file that cannot be written, what fails
  // next in the same guard follows from it: one box, whatever the count.
  ErrorGuard command({.text = ErrorGuard::Numbered(QStringLiteral(" - "))});
  command.Run([] { throw kLocked; });
  for (int i = 0; i < 15; ++i) {
    command.Run([] { throw StorageFault(SqliteFailure(SQLITE_FULL, "database or disk is full")); });
  }
  command.Run([] { throw RWError(kErrDatabase, QStringLiteral("no such savepoint: Tagging")); });
  EXPECT_EQ(command.Failures(), 17);
  ASSERT_EQ(boxes.Count(), 2) << "the failure before the fault, then the fault once";
  EXPECT_EQ(boxes.Shown()[0].prompt, QStringLiteral("5 - The library is locked"));
  EXPECT_TRUE(ErrorGuard::EndsTheCommand(SqliteFailure(SQLITE_IOERR, "disk I/O error")));
  EXPECT_FALSE(ErrorGuard::EndsTheCommand(SqliteFailure(SQLITE_CONSTRAINT_CHECK, "CHECK constraint failed")));
  EXPECT_FALSE(ErrorGuard::EndsTheCommand(kLocked));

  // The steps of one command (the outermost Run under way) meeting the same
  // fault under guards of their own tell it once; the next command again.
  ErrorGuard::SetFaultWords([](const RWError& error, const QString&) -> std::optional<FaultTelling> {
    if (error.SqliteCode() == 0) return std::nullopt;
    return FaultTelling{QStringLiteral("Fault"), QStringLiteral("Told about ") + error.File()};
  });
  QStringList damaged;
  ErrorGuard::SetDamageTold([&](const QString& file) { damaged << file; });
  const auto forget = qScopeGuard([] { ErrorGuard::SetDamageTold(nullptr); });
  const StorageFault fault(SqliteFailure(SQLITE_FULL, "database or disk is full"));
  const auto steps = [&] {
    ErrorGuard({.title = QStringLiteral("Processing Storage Devices")}).Run([&] { throw fault; });
    ErrorGuard({.text = ErrorGuard::Numbered(QStringLiteral(" "))}).Run([&] { throw fault; });
    ErrorGuard().Run([] { throw kLocked; });
  };
  boxes.Clear();
  ErrorGuard().Run(steps);
  ASSERT_EQ(boxes.Count(), 2) << "the fault once, and another failure";
  EXPECT_EQ(boxes.Shown()[0].title, QStringLiteral("Processing Storage Devices"));
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("5: The library is locked"));
  ErrorGuard().Run(steps);
  EXPECT_EQ(boxes.Count(), 4) << "the next command tells it again";
  EXPECT_TRUE(damaged.isEmpty());
  ErrorGuard().Run([] { throw StorageFault(SqliteFailure(SQLITE_CORRUPT_INDEX, "database disk image is malformed")); });
  ErrorGuard().Run([] { throw SqliteFailure(SQLITE_ERROR, "no such column: x", FaultKind::Mismatch); });
  EXPECT_EQ(damaged, QStringList(2, QStringLiteral("/m/Films.rw2")));

  // A guard that passes the step's own failures over still tells a fault of
  // the disk or the file, and damage; only the kinds it names stay untold.
  boxes.Clear();
  damaged.clear();
  const RWError full = SqliteFailure(SQLITE_FULL, "database or disk is full");
  ErrorGuard({.quiet = true}).Run([&] { throw StorageFault(full); });
  ASSERT_EQ(boxes.Count(), 1) << "a full disk is told by a quiet guard";
  ErrorGuard({.passOver = {kErrDatabase}}).Run([&] { throw StorageFault(full); });
  EXPECT_EQ(boxes.Count(), 2) << "and by one that passes the database's numbers over";
  ErrorGuard({.quiet = true}).Run([] { throw SqliteFailure(SQLITE_CORRUPT, "database disk image is malformed"); });
  EXPECT_EQ(boxes.Count(), 3);
  EXPECT_EQ(damaged, QStringList{QStringLiteral("/m/Films.rw2")});

  const ErrorReport locked{.quiet = true, .passOverFaults = {FaultKind::Busy, FaultKind::ReadOnly}};
  ErrorGuard(locked).Run([] { throw StorageFault(SqliteFailure(SQLITE_BUSY, "database is locked")); });
  ErrorGuard(locked).Run([] { throw StorageFault(SqliteFailure(SQLITE_READONLY, "attempt to write")); });
  EXPECT_EQ(boxes.Count(), 3) << "a lock or a read-only file expected for a while";
  ErrorGuard(locked).Run([&] { throw StorageFault(full); });
  EXPECT_EQ(boxes.Count(), 4);

  // Damage another guard of the command told first is closed all the same.
  ErrorGuard().Run([&] {
    ErrorGuard().Run([] { throw StorageFault(SqliteFailure(SQLITE_NOTADB, "file is not a database")); });
    ErrorGuard({.quiet = true}).Run([] { throw StorageFault(SqliteFailure(SQLITE_NOTADB, "file is not a database")); });
  });
  EXPECT_EQ(boxes.Count(), 5);
  EXPECT_EQ(damaged.size(), 3);
}

}  // namespace
