// A held key's repeats that come in while the step of an earlier press is
// under way are dropped, a press that is no repeat always acts, and a
// release acts unless it is a repeat's, also one the window system's queue
// gave without its press.
#include "platform/KeyRepeats.h"
#include "tests/support/EventLoopWaits.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QKeyEvent> Key(QEvent::Type type, uint32_t made, bool repeat = false) {
  auto key = std::make_unique<QKeyEvent>(type, Qt::Key_Right, Qt::NoModifier, QString(), repeat);
  key->setTimestamp(made);
  return key;
}

TEST(KeyRepeatsTest, RepeatsMadeDuringAStepAreDroppedAndARepeatsReleaseDoesNothing) {
  KeyRepeats repeats;
  ASSERT_TRUE(repeats.Acts(*Key(QEvent::KeyPress, 1000)));
  QElapsedTimer step;  // the step takes its time
  step.start();
  while (step.elapsed() < 60) {
  }
  repeats.Done();
  EXPECT_FALSE(repeats.Acts(*Key(QEvent::KeyPress, 1040, true))) << "made while the step ran";
  EXPECT_TRUE(repeats.Acts(*Key(QEvent::KeyPress, 1050))) << "a press of its own";
  repeats.Done();
  EXPECT_TRUE(repeats.Acts(*Key(QEvent::KeyPress, 9000, true))) << "made once the step was over";
  repeats.Done();

  QObject context;
  QList<uint32_t> released;
  const auto release = [&](uint32_t made) {
    repeats.Released(*Key(QEvent::KeyRelease, made), &context, [&released, made] { released << made; });
  };
  // A tap acts at once.
  EXPECT_TRUE(repeats.Acts(*Key(QEvent::KeyPress, 20000)));
  release(20100);
  EXPECT_EQ(released, QList<uint32_t>{20100});
  // Held: the release given without its press is a repeat's once the press
  // of its time comes; the last release acts.
  EXPECT_TRUE(repeats.Acts(*Key(QEvent::KeyPress, 30000)));
  repeats.Released(*Key(QEvent::KeyRelease, 30700, true), &context, [&released] { released << 1; });
  release(30740);
  EXPECT_FALSE(repeats.Acts(*Key(QEvent::KeyPress, 30740)));
  release(31000);
  EXPECT_TRUE(QTest::qWaitFor([&released] { return released.size() == 2; }, rwtest::kWaitCeilingMs));
  EXPECT_EQ(released, (QList<uint32_t>{20100, 31000}));
}

}  // namespace
