// The program run as a process, as a desktop session or a terminal runs it:
// told to end by a signal, and started without any display.
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/TempHome.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <ostream>

#include <csignal>

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

}  // namespace
