// The one error guard: what it reports of a failing step and when it keeps
// quiet, in every form the program's callers ask for.
#include "platform/ErrorGuard.h"
#include "tests/support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const RWError kLocked(5, QStringLiteral("The library is locked"), QStringLiteral("Test"));

class ErrorGuardTest : public ::testing::Test {
 protected:
  void SetUp() override { boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; }); }
  rwtest::ScriptedMessageBoxes boxes;
};

TEST_F(ErrorGuardTest, AFailingStepIsReportedAsNumberAndDescriptionAndAnswersFalse) {
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
}

// A full disk, a library file that went away and one whose table was
// replaced are said in a sentence under a title, naming the file, not as a
// raw number nor in SQLite's words, whatever form the caller prescribes; a
// caller's own title stays.
TEST_F(ErrorGuardTest, DiskAndLibraryFileFaultsAreToldInATitledSentence) {
  struct Case {
    RWError error;
    QString title;
    QString says;
  } cases[] = {
      {RWError(kErrDatabase, QStringLiteral("Cannot copy the database to '/m/x.rw2': database or disk is full")),
       QStringLiteral("Disk Full"), QStringLiteral("The disk is full")},
      {RWError(kErrFileAccess, QStringLiteral("The file\r\n/m/x.rw2\r\ncould not be written: The disk is full.")),
       QStringLiteral("Disk Full"), QStringLiteral("Free some space")},
      {RWError(kErrDatabase, QStringLiteral("attempt to write a readonly database")),
       QStringLiteral("Library Not Available"), QStringLiteral("folder was deleted, moved or unmounted")},
      {RWError(kErrDatabase, QStringLiteral("disk I/O error")), QStringLiteral("Library Not Available"),
       QStringLiteral("can no longer be written")},
      {RWError(kErrDatabase, QStringLiteral("no such column: VF.FileSize")), QStringLiteral("Damaged Library"),
       QStringLiteral("lacks the column \"VF.FileSize\"")},
  };
  for (const Case& c : cases) {
    ErrorGuard().Run([&] { throw c.error; });
    EXPECT_EQ(boxes.Last().title, c.title) << c.error.Description().toStdString();
    EXPECT_TRUE(boxes.Last().prompt.contains(c.says)) << boxes.Last().prompt.toStdString();
    EXPECT_FALSE(boxes.Last().prompt.contains(QString::number(c.error.Number())));
    EXPECT_EQ(boxes.Last().prompt.contains(c.error.Description()), c.error.Number() != kErrDatabase)
        << "SQLite's words are left out, the program's own kept: " << boxes.Last().prompt.toStdString();
  }
  // A file made read-only while open is one of the causes named.
  ErrorGuard().Run([] { throw RWError(kErrDatabase, QStringLiteral("attempt to write a readonly database")); });
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("made read-only"))) << boxes.Last().prompt.toStdString();
  ErrorGuard({.title = QStringLiteral("Error Fetching View Data")}).Run([] {
    throw RWError(kErrDatabase, QStringLiteral("no such column: x"));
  });
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error Fetching View Data"));
  EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("The Library's file")));
  const QString library = QStringLiteral("/media/films/Films.rw2");
  for (const char* said : {"database or disk is full", "disk I/O error", "no such table: Tags"}) {
    ErrorGuard({.text = ErrorGuard::Numbered(QStringLiteral(" - "))}).Run([&] {
      throw RWError(kErrDatabase, QLatin1String(said), QStringLiteral("SqlConnection"), library);
    });
    EXPECT_FALSE(boxes.Last().title.isEmpty()) << said;
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("\r\n") + library + QStringLiteral("\r\n")))
        << boxes.Last().prompt.toStdString();
    EXPECT_FALSE(boxes.Last().prompt.contains(QLatin1String(said))) << boxes.Last().prompt.toStdString();
    EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("2147221504")));
  }
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("Open a copy"))) << "what the user can do";
}

// After a full disk or a library file that cannot be written, what fails
// next in the same guard follows from it: one box, whatever the count.
TEST_F(ErrorGuardTest, AGuardTellsAStorageFaultOnceAndNothingAfterIt) {
  ErrorGuard command({.text = ErrorGuard::Numbered(QStringLiteral(" - "))});
  command.Run([] { throw kLocked; });
  for (int i = 0; i < 15; ++i) {
    command.Run([] { throw RWError(kErrDatabase, QStringLiteral("database or disk is full")); });
  }
  command.Run([] { throw RWError(kErrDatabase, QStringLiteral("no such savepoint: Tagging")); });
  EXPECT_EQ(command.Failures(), 17);
  ASSERT_EQ(boxes.Count(), 2) << "the failure before the fault, then the fault once";
  EXPECT_EQ(boxes.Shown()[0].prompt, QStringLiteral("5 - The library is locked"));
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Disk Full"));
  EXPECT_TRUE(ErrorGuard::IsStorageFault(RWError(kErrDatabase, QStringLiteral("disk I/O error"))));
  EXPECT_FALSE(ErrorGuard::IsStorageFault(kLocked));
}

// The steps of one command (the outermost Run under way) that meet the same
// fault under guards of their own tell it once; the next command tells it
// again.
TEST_F(ErrorGuardTest, OneCommandTellsTheSameFaultOnceWhateverGuardsItsStepsUse) {
  const RWError full(kErrDatabase, QStringLiteral("database or disk is full"), QStringLiteral("SqlConnection"),
                     QStringLiteral("/m/Films.rw2"));
  const auto command = [&] {
    ErrorGuard({.title = QStringLiteral("Processing Storage Devices")}).Run([&] { throw full; });
    ErrorGuard({.text = ErrorGuard::Numbered(QStringLiteral(" "))}).Run([&] { throw full; });
    ErrorGuard().Run([] { throw kLocked; });
  };
  ErrorGuard().Run(command);
  ASSERT_EQ(boxes.Count(), 2) << "the fault once, and another failure";
  EXPECT_EQ(boxes.Shown()[0].title, QStringLiteral("Processing Storage Devices"));
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("5: The library is locked"));
  ErrorGuard().Run(command);
  EXPECT_EQ(boxes.Count(), 4) << "the next command tells it again";
}

TEST_F(ErrorGuardTest, PrescribedFormsTitlesAndOwnersAreTheCallers) {
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
}

TEST_F(ErrorGuardTest, OncePerPassSilenceQuietAndExpectedNumbersKeepTheBoxesAway) {
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
}

TEST_F(ErrorGuardTest, ADeferredReportOpensOnceBackInTheEventLoop) {
  ErrorGuard painting({.deferred = true});
  EXPECT_FALSE(painting.Run([] { throw kLocked; }));
  EXPECT_EQ(boxes.Count(), 0) << "no box inside the step's caller";
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("5: The library is locked"));
}

}  // namespace
