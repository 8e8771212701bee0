// The program run as a process, as a desktop session or a terminal runs it:
// told to end by a signal, and started without any display.
#include "app/HomeFolder.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "tests/support/DeadMount.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/TempHome.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <ostream>

#include <csignal>
#include <functional>
#include <memory>
#include <vector>

#include <sys/stat.h>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

class ProcessTest : public rwtest::TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    modReelwise::ComputeProgramFolders();
    modReelwise::CreateProgramFolders();
    modRegistry::EnsureDefaultSettings();
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TipOfTheDay"), 0);
  }

  // The scratch libraries (and their locks) anywhere under the home.
  QStringList ScratchFiles() const {
    QStringList found;
    QDirIterator it(Home(), {QStringLiteral("InitRW2*")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) found << it.next();
    return found;
  }

  static QProcessEnvironment Environment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
  }
};

TEST_F(ProcessTest, SigtermEndsTheProgramWithItsNormalShutDown) {
  const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
  modReelwise::ExtractTemplateLibrary(library);
  const QString saved = gLibrariesFolder + QStringLiteral("Saved.rw2");
  modReelwise::ExtractTemplateLibrary(saved);
  // The workspace is saved at shut-down only: before, it names another library.
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("SaveWorkspace"),
                           saved + QStringLiteral(" |_T:5"));
  QProcess program;
  program.setProcessEnvironment(Environment());
  program.start(QStringLiteral(RW_PROGRAM), {QStringLiteral("Films")});
  ASSERT_TRUE(program.waitForStarted());
  // The program takes the signals before it claims its scratch library: a
  // signal from then on, even while it is still starting, ends the run with
  // its normal shut-down.
  QElapsedTimer started;
  started.start();
  while (ScratchFiles().isEmpty() && started.elapsed() < rwtest::kWaitCeilingMs) QThread::msleep(20);
  ASSERT_FALSE(ScratchFiles().isEmpty()) << "the program started";
  ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "not killed by the signal";
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
  EXPECT_TRUE(ScratchFiles().isEmpty()) << ScratchFiles().join(u' ').toStdString();
  EXPECT_EQ(modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("SaveWorkspace")).Text().trimmed(),
            library)
      << "the command line's library, without a view, saved at shut-down";
}

// Whether the process holds a lock on the file, as the kernel lists it:
// asked without taking the lock, which a program opening the library at that
// moment would find held.
bool HoldsLock(qint64 id, const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
  QFile locks(QStringLiteral("/proc/locks"));
  if (!locks.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : locks.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() > 5 && fields[1] == "FLOCK" && fields[4].toLongLong() == id &&
        fields[5].endsWith(':' + QByteArray::number(static_cast<qulonglong>(info.st_ino)))) {
      return true;
    }
  }
  return false;
}

// Run in a mount namespace of its own, beside a file server that stops
// answering: the helper thread a program leaves waiting on it in the kernel
// keeps the process alive after it has ended, until the server answers. The
// library's lock is let go before: by the shut-down after one signal, and
// at once when a second signal ends the program by its default action. The
// program starts again at once and opens the library.
TEST_F(ProcessTest, AHelperLeftWaitingOnADeadMountHoldsUpTheEndButNotTheLibrary) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
  modReelwise::ExtractTemplateLibrary(library);
  const auto until = [](const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < rwtest::kWaitCeilingMs) QThread::msleep(20);
    return done();
  };
  std::vector<std::unique_ptr<rwtest::DeadMount>> mounts;
  QProcess first;
  QProcess second;
  for (QProcess* program : {&first, &second}) {
    // A mount for each program: an ask where another program's ask waits is
    // held back by the kernel before it reaches the server.
    const QString nas = ScratchPath(QStringLiteral("nas%1").arg(mounts.size()));
    ASSERT_TRUE(QDir().mkpath(nas));
    mounts.push_back(std::make_unique<rwtest::DeadMount>(nas, 4 * rwtest::kWaitCeilingMs));
    rwtest::DeadMount& dead = *mounts.back();
    if (!dead.Mounted()) GTEST_SKIP() << dead.Problem().toStdString();
    program->setProcessEnvironment(Environment());
    program->start(QStringLiteral(RW_PROGRAM), {QStringLiteral("Films")});
    ASSERT_TRUE(program->waitForStarted());
    // The open's device rebuild asks the mount and leaves its helper waiting.
    const qint64 id = program->processId();
    ASSERT_TRUE(until([&] { return HoldsLock(id, library) && dead.Unanswered() > 0; }))
        << "the program opened the library";
    ::kill(static_cast<pid_t>(id), SIGTERM);
    if (program == &second) ::kill(static_cast<pid_t>(id), SIGHUP);
    EXPECT_TRUE(until([&] { return !HoldsLock(id, library); }))
        << "the library is let go" << (program == &first ? " after one signal" : " after two");
    EXPECT_EQ(program->state(), QProcess::Running) << "the helper holds the process up";
  }
  for (const auto& dead : mounts) dead->Release();
  ASSERT_TRUE(first.waitForFinished(rwtest::kWaitCeilingMs));
  ASSERT_TRUE(second.waitForFinished(rwtest::kWaitCeilingMs));
  EXPECT_EQ(first.exitStatus(), QProcess::NormalExit) << "one signal: the normal shut-down";
  EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
  EXPECT_EQ(second.exitStatus(), QProcess::CrashExit) << "two signals: the default action";
}

TEST_F(ProcessTest, WithoutADisplayTheProgramSaysWhatItNeeds) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  QProcess program;
  program.setProcessEnvironment(env);
  program.start(QStringLiteral(RW_PROGRAM), QStringList());
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  const QString said = QString::fromLocal8Bit(program.readAllStandardError());
  EXPECT_EQ(said.count(QLatin1Char('\n')), 1) << said.toStdString();
  EXPECT_TRUE(said.contains(QStringLiteral("needs a graphical session (X11, or XWayland under Wayland)")));
  EXPECT_TRUE(ScratchFiles().isEmpty());
}

// Without HOME the home comes from the password database; a home of "/"
// counts as none, so nothing is ever made at the root of the file system.
TEST(HomeFolderTest, WithoutHomeThePasswordDatabaseGivesIt) {
  const QString existing = QDir::tempPath();
  EXPECT_EQ(ChooseHomeFolder("/home/ann", QFile::encodeName(existing)), QStringLiteral("/home/ann"));
  EXPECT_EQ(ChooseHomeFolder(QByteArray(), QFile::encodeName(existing)), existing);
  EXPECT_EQ(ChooseHomeFolder("/", QFile::encodeName(existing)), existing);
  EXPECT_EQ(ChooseHomeFolder("relative/home", QFile::encodeName(existing)), existing);
  EXPECT_EQ(ChooseHomeFolder(QByteArray(), "/"), QString());
  EXPECT_EQ(ChooseHomeFolder(QByteArray(), "/nonexistent"), QString());
  EXPECT_EQ(ChooseHomeFolder(QByteArray(), QByteArray()), QString());
}

// A user with neither HOME nor a home in the password database (the
// unmapped user of a fresh user namespace: "nobody", home "/nonexistent")
// is told so in one line, and the program ends without making anything.
TEST_F(ProcessTest, WithoutAnyHomeTheProgramSaysSoAndEnds) {
  const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
  if (unshare.isEmpty()) GTEST_SKIP() << "unshare is not installed";
  if (QProcess::execute(unshare, {QStringLiteral("--user"), QStringLiteral("true")}) != 0) {
    GTEST_SKIP() << "this machine allows no user namespaces";
  }
  QProcessEnvironment env = Environment();
  for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
    env.remove(QString::fromLatin1(name));
  }
  QProcess program;
  program.setProcessEnvironment(env);
  program.start(unshare, {QStringLiteral("--user"), QStringLiteral(RW_PROGRAM)});
  ASSERT_TRUE(program.waitForFinished(60000)) << "the program did not end";
  EXPECT_EQ(program.exitCode(), 1);
  const QString said = QString::fromLocal8Bit(program.readAllStandardError());
  EXPECT_EQ(said.count(QLatin1Char('\n')), 1) << said.toStdString();
  EXPECT_TRUE(said.contains(QStringLiteral("needs a home folder"))) << said.toStdString();
  for (const char* made : {"/.config/Reelwise II", "/Documents/Reelwise II", "/.local/share/Reelwise II"}) {
    EXPECT_FALSE(QFileInfo::exists(QString::fromLatin1(made))) << made;
  }
}

}  // namespace
