// The mount probe's memory of mounts that did not answer, file calls under a
// mount within the time limit, a call given up that comes back as the
// process ends, and the mount point a path lies on.
#include "platform/DragController.h"
#include "platform/MountProbe.h"
#include "platform/controls/Control.h"
#include "tests/support/ChildRun.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/FakeSystemRoot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include <unistd.h>

namespace {

// The paths, each under the root beside it, as AskEach takes them.
MountProbe::PathList Paths(const QStringList& paths, const QStringList& roots) {
  MountProbe::PathList list;
  for (qsizetype i = 0; i < paths.size(); ++i) {
    if (!list.roots.contains(roots[i])) list.roots << roots[i];
    list.rootOf.push_back(static_cast<int>(list.roots.indexOf(roots[i])));
    list.starts.push_back(list.text.size());
    list.text += QFile::encodeName(paths[i]) + '\0';
  }
  return list;
}

// A file call that hangs until its mount answers, which it does while the
// process ends: in the end of an object that lives as long as the process,
// as the objects of the libraries such calls use do. That end waits for the
// call to go on.
class AnswerAtTheEnd {
 public:
  AnswerAtTheEnd() {
    if (::pipe(mount_) != 0) mount_[0] = mount_[1] = -1;
  }
  ~AnswerAtTheEnd() {
    if (!asked_ || ::write(mount_[1], "!", 1) != 1) return;
    QElapsedTimer clock;
    clock.start();
    while (!wentOn_ && clock.elapsed() < rwtest::kWaitCeilingMs) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  void Ask() {
    asked_ = true;
    char answer = 0;
    if (::read(mount_[0], &answer, 1) == 1 && ::write(STDOUT_FILENO, "RW_WORK_WENT_ON\n", 16) > 0) wentOn_ = true;
  }

 private:
  int mount_[2] = {-1, -1};
  std::atomic<bool> asked_{false};
  std::atomic<bool> wentOn_{false};
};

AnswerAtTheEnd answerAtTheEnd;

class MountProbeMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctl::SetTickCountFunction([this] { return now_; });
    MountProbe::SetRootProbe([this](const QString& root) {
      asked_ << root;
      return !silent_.contains(root);
    });
  }
  void TearDown() override {
    MountProbe::SetRootProbe(nullptr);
    ctl::SetTickCountFunction(nullptr);
  }

  uint64_t now_ = 1000000;
  QStringList asked_;
  QStringList silent_;
};

TEST_F(MountProbeMemoryTest, AMountThatDidNotAnswerIsDeadForAWhileThenAskedAgain) {
  silent_ << QStringLiteral("/media/nas/");
  EXPECT_FALSE(MountProbe::RootAnswers(QStringLiteral("/media/nas/")));
  now_ += MountProbe::kDeadMountMs - 1;
  EXPECT_FALSE(MountProbe::RootAnswers(QStringLiteral("/media/nas")));
  EXPECT_TRUE(MountProbe::KnownDead(QStringLiteral("/media/nas/")));
  EXPECT_EQ(asked_, QStringList{QStringLiteral("/media/nas/")}) << "not asked again while it counts as dead";
  EXPECT_TRUE(MountProbe::RootAnswers(QStringLiteral("/media/disk/")));
  EXPECT_TRUE(MountProbe::RootAnswers(QStringLiteral("/media/disk/")));
  EXPECT_EQ(asked_.count(QStringLiteral("/media/disk/")), 2) << "a mount that answers is asked each time";

  now_ += 1;
  silent_.clear();
  EXPECT_TRUE(MountProbe::RootAnswers(QStringLiteral("/media/nas/"))) << "asked again once the while is over";
  EXPECT_FALSE(MountProbe::KnownDead(QStringLiteral("/media/nas/")));
}

TEST_F(MountProbeMemoryTest, AFileCallThatDoesNotComeBackMarksItsMountDead) {
  std::atomic<int> calls{0};
  // The mount answers once the test is over: its promise, broken, lets the call go on.
  std::promise<void> over;
  const auto hangs = [&calls, answer = over.get_future().share()] {
    ++calls;
    answer.wait();
    return true;
  };
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  ticker.start(20);
  EXPECT_EQ(MountProbe::CallUnder(QStringLiteral("/media/nas"), hangs), std::nullopt);
  EXPECT_EQ(ticks, 0) << "nothing of the program's own runs inside the wait";
  EXPECT_TRUE(MountProbe::KnownDead(QStringLiteral("/media/nas/")));
  EXPECT_EQ(MountProbe::CallUnder(QStringLiteral("/media/nas"), hangs), std::nullopt);
  EXPECT_EQ(calls, 1) << "no call is made on a mount known dead";
  EXPECT_EQ(MountProbe::CallUnder(QStringLiteral("/media/disk"), [] { return 7; }), 7)
      << "the next call gets a helper of its own";
  EXPECT_EQ(MountProbe::CallUnder(QString(), [] { return 8; }), 8);
  EXPECT_TRUE(QTest::qWaitFor([&ticks] { return ticks > 0; }, rwtest::kWaitCeilingMs)) << "timers run after";
}

TEST_F(MountProbeMemoryTest, ASweepGivesUpAMountThatHangsAndGoesOnWithTheOthers) {
  const QStringList paths = {"/a/1", "/a/2", "/b/1", "/a/3", "/b/2"};
  const QStringList roots = {"/a", "/a", "/b", "/a", "/b"};
  std::vector<int> progress;
  std::promise<void> over;  // as above
  const auto found = MountProbe::AskEach(
      Paths(paths, roots),
      [answer = over.get_future().share()](const char* path) {
        if (QLatin1String(path) == QLatin1String("/a/2")) answer.wait();
        return QLatin1String(path).endsWith(QLatin1Char('1'));
      },
      [&](int done) { progress.push_back(done); });
  EXPECT_EQ(found, (std::vector<std::optional<bool>>{true, std::nullopt, true, std::nullopt, false}));
  EXPECT_TRUE(MountProbe::KnownDead(QStringLiteral("/a")));
  EXPECT_FALSE(MountProbe::KnownDead(QStringLiteral("/b")));
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), 5);
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

  // A mount given up by another call while a sweep runs: its later files are
  // passed over.
  const auto givenUpMeanwhile =
      MountProbe::AskEach(Paths({"/c/1", "/c/2", "/d/1", "/c/3"}, {"/c", "/c", "/d", "/c"}), [](const char* path) {
        if (QLatin1String(path) == QLatin1String("/c/1")) MountProbe::MarkDead("/c");
        return true;
      });
  EXPECT_EQ(givenUpMeanwhile, (std::vector<std::optional<bool>>{true, std::nullopt, true, std::nullopt}));
}

// Run as a process of its own: a call given up whose mount answers as the
// process ends never goes on into that end, where the objects it would use
// are destroyed; nor does the end wait for it.
TEST(MountProbeEndTest, ACallGivenUpDoesNotGoOnWhileTheProcessEnds) {
  if (!rwtest::InChildRun()) {
    rwtest::ChildRun child;
    ASSERT_TRUE(child.Start());
    child.Finish();
    EXPECT_FALSE(child.Output().contains("RW_WORK_WENT_ON")) << child.Output().toStdString();
    return;
  }
  EXPECT_FALSE(MountProbe::FinishesWithin([] { answerAtTheEnd.Ask(); }, 100));
}

TEST(MountPointOfTest, TheLongestMountPointThatHoldsThePathByItsTextAlone) {
  rwtest::FakeSystemRoot root;
  root.Mount(QStringLiteral("/"), QStringLiteral("ext4"), QStringLiteral("/dev/sda1"));
  root.Mount(QStringLiteral("/media/films"), QStringLiteral("nfs4"), QStringLiteral("nas:/films"));
  root.Mount(QStringLiteral("/media/films/old disk"), QStringLiteral("vfat"), QStringLiteral("/dev/sdb1"));
  root.Write();
  using MountProbe::MountPointOf;
  EXPECT_EQ(MountPointOf(QStringLiteral("/media/films/New/clip.avi")), QStringLiteral("/media/films"));
  EXPECT_EQ(MountPointOf(QStringLiteral("/media/films/old disk/clip.avi")), QStringLiteral("/media/films/old disk"));
  EXPECT_EQ(MountPointOf(QStringLiteral("/media/films")), QStringLiteral("/media/films"));
  EXPECT_EQ(MountPointOf(QStringLiteral("/media/filmstrip/clip.avi")), QStringLiteral("/"));
  EXPECT_EQ(MountPointOf(QStringLiteral("/media/films/../other/clip.avi")), QStringLiteral("/"));
  EXPECT_EQ(MountPointOf(QStringLiteral("clip.avi")), QString());
}

}  // namespace
