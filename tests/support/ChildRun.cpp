#include "tests/support/ChildRun.h"

#include "tests/support/TestTimeLimit.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdio>

namespace rwtest {

namespace {

constexpr const char* kChildMark = "RW_TEST_CHILD_RUN";
const QStringList kNamespaceOptions = {QStringLiteral("--user"), QStringLiteral("--map-root-user"),
                                       QStringLiteral("--mount")};

QString CurrentTestFilter() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return QStringLiteral("--gtest_filter=%1.%2").arg(QLatin1String(test->test_suite_name()), QLatin1String(test->name()));
}

}  // namespace

bool InChildRun() { return qEnvironmentVariableIsSet(kChildMark); }

ChildRun::ChildRun(bool ownMountNamespace, bool ordinaryUser)
    : ownMountNamespace_(ownMountNamespace), ordinaryUser_(ordinaryUser), environment_(QProcessEnvironment::systemEnvironment()) {
  environment_.insert(QLatin1String(kChildMark), QStringLiteral("1"));
  environment_.insert(QStringLiteral("RW_TEST_TIME_LIMIT"), QString::number(TestTimeLimit::ChildSeconds()));
  process_.setProcessChannelMode(QProcess::MergedChannels);
}

ChildRun::~ChildRun() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.kill();
  process_.waitForFinished(10000);
}

void ChildRun::Set(const char* name, const QString& value) { environment_.insert(QLatin1String(name), value); }

bool ChildRun::Start() {
  QString program = QCoreApplication::applicationFilePath();
  QStringList arguments = {CurrentTestFilter()};
  if (ownMountNamespace_ || ordinaryUser_) {
    const QStringList options = ownMountNamespace_ ? kNamespaceOptions : QStringList{QStringLiteral("--user")};
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty()) {
      [] { GTEST_SKIP() << "unshare is not installed"; }();
      return false;
    }
    if (QProcess::execute(unshare, options + QStringList{QStringLiteral("true")}) != 0) {
      [] { GTEST_SKIP() << "this machine allows no user namespaces"; }();
      return false;
    }
    arguments.prepend(program);
    arguments = options + arguments;
    program = unshare;
  }
  process_.setProcessEnvironment(environment_);
  process_.start(program, arguments);
  const bool started = process_.waitForStarted(30000);
  EXPECT_TRUE(started) << process_.errorString().toStdString();
  return started;
}

void ChildRun::ReadOutput() { output_ += process_.readAll(); }

bool ChildRun::WaitForOutput(const QByteArray& text, int times, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    ReadOutput();
    if (output_.count(text) >= times) return true;
    if (process_.state() == QProcess::NotRunning || deadline.hasExpired()) return false;
    process_.waitForReadyRead(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 1000)));
  }
}

void ChildRun::Finish(int timeoutMs) {
  if (timeoutMs < 0) timeoutMs = (TestTimeLimit::ChildSeconds() + 5) * 1000;
  const bool finished = process_.state() == QProcess::NotRunning || process_.waitForFinished(timeoutMs);
  ReadOutput();
  ASSERT_TRUE(finished) << "the child did not end:\n" << output_.toStdString();
  EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit) << output_.toStdString();
  EXPECT_EQ(process_.exitCode(), 0) << output_.toStdString();
  // A child that skipped its part (the machine lacks what it needs) skips the test.
  if (process_.exitCode() == 0 && output_.contains("[  SKIPPED ]")) {
    const qsizetype at = output_.indexOf("Skipped\n");
    const QByteArray reason = at < 0 ? QByteArray() : output_.mid(at + 8).split('\n').value(0);
    GTEST_SKIP() << "in the child: " << reason.toStdString();
  }
}

QByteArray ChildRun::WaitForEnd(QProcess::ExitStatus* status) {
  const bool ended = process_.state() == QProcess::NotRunning ||
                     process_.waitForFinished((TestTimeLimit::ChildSeconds() + 5) * 1000);
  ReadOutput();
  EXPECT_TRUE(ended) << "the child did not end:\n" << output_.toStdString();
  *status = process_.exitStatus();
  return output_;
}

const QByteArray& ChildRun::Output() {
  ReadOutput();
  return output_;
}

qint64 ChildRun::Reported(const QByteArray& name) {
  for (const QByteArray& line : Output().split('\n')) {
    if (line.startsWith(name + '=')) return line.mid(name.size() + 1).trimmed().toLongLong();
  }
  return -1;
}

void ReportToParent(const char* name, qint64 value) {
  std::printf("%s=%lld\n", name, static_cast<long long>(value));
  std::fflush(stdout);
}

}  // namespace rwtest
