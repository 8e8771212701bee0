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
