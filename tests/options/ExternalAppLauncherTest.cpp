// The launcher runs the entry's program with an argument list, no shell: the
// names reach it byte for byte; backups, offline items and failures.
#include "core/DesktopShell.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "options/ExternalAppCommand.h"
#include "options/OptionsPane.h"
#include "options/frmExternalAppStatus.h"
#include "platform/QuitRequest.h"
#include "tests/support/DeadMount.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"
#include "ui/WorkArea.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

struct FakeDesktop : DesktopShell {
  QStringList* calls;
  explicit FakeDesktop(QStringList* c) : calls(c) {}
  int OpenWithDefault(const QString& path) override {
    *calls << path;
    return 42;
  }
  int OpenWith(const QString&, const QString&) override { return 42; }
  std::vector<DesktopApp> AppsFor(const QString&) override { return {}; }
  bool ShowOpenWithChooser(const QString&) override { return false; }
  bool ShowProperties(const QString&) override { return false; }
};

class ExternalAppLauncherTest : public rwtest::TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    QDir().mkpath(ScratchPath(QStringLiteral("temp")));
    QDir().mkpath(ScratchPath(QStringLiteral("media")));
    gTempFolder = ScratchPath(QStringLiteral("temp/"));
    record_ = ScratchPath(QStringLiteral("argv.bin"));
    qputenv("RW_ARGV_RECORD", record_.toLocal8Bit());
    boxes_.AnswerAll([](const MessageBoxRequest&) { return 1; });
    for (auto& entry : gExternalApps) entry = ExternalAppEntry();
    gSavedItem = ResultItem();
    gInspectedItem = ResultItem();
    gInspectedItem.SegmentID = -99;
  }
  void TearDown() override {
    qunsetenv("RW_ARGV_RECORD");
    gExternalAppHost().toolsFolder.clear();
    TempHomeTest::TearDown();
  }

  // A program file in the scratch folder with `text` as its content; only an
  // executable one can be started.
  QString WriteProgram(const QString& name, const QByteArray& text, bool executable) {
    const QString path = ScratchPath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    EXPECT_TRUE(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                                    (executable ? QFile::ExeOwner : QFile::Permissions())));
    return path;
  }

  // A file in the media folder, made the item acted on.
  QString UseFile(const QString& name, const QByteArray& data = "video") {
    const QString folder = ScratchPath(QStringLiteral("media/"));
    QFile file(folder + name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
    gSavedItem.SegmentID = 7;
    gSavedItem.CurrentPath = folder;
    gSavedItem.FileName = name;
    return folder + name;
  }
  void SetEntry(const QString& program, const QString& command) {
    gExternalApps[1].AppPath = program;
    gExternalApps[1].CommandLine = command;
    gExternalApps[1].MenuText = QStringLiteral("Run");
    gExternalApps[1].Enabled = 1;
  }
  void Launch(int16_t index) {
    OptionsPane pane;
    pane.LaunchExternalApp(index);
  }
  // The arguments the recorder was given, once it has written them.
  QStringList Recorded() {
    QFile file(record_);
    if (!QTest::qWaitFor([this] { return QFileInfo::exists(record_); }, rwtest::kWaitCeilingMs) ||
        !file.open(QIODevice::ReadOnly)) {
      return {QStringLiteral("<nothing recorded>")};
    }
    QByteArray data = file.readAll();
    QStringList args;
    for (const QByteArray& arg : data.split('\0')) args << QString::fromUtf8(arg);
    args.removeLast();
    return args;
  }

  // Nothing marks the moment a program that should not have run would have
  // written its record: the record is watched for four times as long as the
  // recorder, run by the test itself, takes to write one under the machine's
  // present load, and at least half a second.
  void ExpectNothingRecorded() {
    QProcess recorder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("RW_ARGV_RECORD"), ScratchPath(QStringLiteral("control.bin")));
    recorder.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    recorder.start(QStringLiteral(RW_ARGV_RECORDER), {QStringLiteral("control")});
    ASSERT_TRUE(recorder.waitForFinished(rwtest::kWaitCeilingMs));
    const int watch = static_cast<int>(std::max<qint64>(4 * clock.elapsed(), 500));
    EXPECT_FALSE(QTest::qWaitFor([this] { return QFileInfo::exists(record_); }, watch)) << "a program ran";
  }

  // Closes the status window once it shows its report, keeping the text and
  // whether the window showed all of it: the label as high as its lines, the
  // window on the work area.
  std::unique_ptr<QTimer> CloseReport(QString* report, bool* whole = nullptr) {
    auto closer = std::make_unique<QTimer>();
    QObject::connect(closer.get(), &QTimer::timeout, [report, whole] {
      if (gExternalAppStatusForm && gExternalAppStatusForm->lblResume->isVisible()) {
        const QLabel& text = *gExternalAppStatusForm->Label3;
        *report = text.text();
        if (whole) {
          *whole = text.height() >= text.heightForWidth(text.width()) &&
                   WorkArea::Of(gExternalAppStatusForm).contains(gExternalAppStatusForm->frameGeometry());
        }
        gExternalAppStatusForm->Command1->click();
      }
    });
    closer->start(20);
    return closer;
  }

  QString record_;
  rwtest::ScriptedMessageBoxes boxes_;
  rwtest::ScriptedFileDialogs dialogs_;
};

TEST(ExternalAppCommandTest, SplitsBeforeExpandingAndNeverSplitsValues) {
  using ExternalAppCommand::SplitWords;
  struct Case {
    QString text;
    QStringList words;
  } cases[] = {
      {QStringLiteral("<ExternalAppPath> -i <File>  -o <NewFile>"),
       {"<ExternalAppPath>", "-i", "<File>", "-o", "<NewFile>"}},
      {QStringLiteral("\"a b\" 'c \"d' e\"\"f"), {"a b", "c \"d", "ef"}},
      {QStringLiteral("x \"\" y"), {"x", "", "y"}},
      // A backslash takes a quote or backslash after it as it is, except
      // inside single quotes; before anything else it stays.
      {QStringLiteral("\"with \\\"quote\\\"\" a\\'b 'c\\\"d' \\\\ C:\\dir\\x \"e\\\\\" f\\"),
       {"with \"quote\"", "a'b", "c\\\"d", "\\", "C:\\dir\\x", "e\\", "f\\"}},
      {QStringLiteral("   "), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitWords(c.text).value(), c.words) << c.text.toStdString();
  EXPECT_FALSE(SplitWords(QStringLiteral("run \"open")).has_value());
  const ExternalAppCommand::Values values{{"<File>", "<Tags> & x"}, {"<Tags>", "t"}};
  EXPECT_EQ(ExternalAppCommand::ExpandWord(QStringLiteral("--in=<File>|<Tags>|<Nope>"), values),
            QStringLiteral("--in=<Tags> & x|t|<Nope>"));
  EXPECT_EQ(ExternalAppCommand::SelectionTime(12.5, false), QStringLiteral("0:00:12.50"));
  EXPECT_EQ(ExternalAppCommand::SelectionTime(12.5, true), QStringLiteral("12.5"));
  EXPECT_EQ(ExternalAppCommand::TagsArgument(QStringLiteral("***Red car, blue, sky")),
            QStringLiteral("Red+car+blue,+sky"));
}

TEST_F(ExternalAppLauncherTest, AwkwardNamesArriveIntactOneArgumentEach) {
  const QString names[] = {QStringLiteral("two words.avi"),  QStringLiteral("it's \"q\".avi"),
                           QStringLiteral("Ünïcødé 映画.mp4"), QStringLiteral("-rf.avi"),
                           QStringLiteral("100%% $HOME `id`;ls &x.avi"), QStringLiteral("line\nbreak.avi")};
  for (const QString& name : names) {
    QFile::remove(record_);
    const QString path = UseFile(name);
    gSavedItem.SelectionStart = 12.5;
    SetEntry(QStringLiteral(RW_ARGV_RECORDER),
             QStringLiteral("<ExternalAppPath> -i <File> \"at <SelectionStart>\" <Unknown> \"with \\\"quote\\\"\""));
    Launch(1);
    EXPECT_EQ(Recorded(), QStringList({"-i", path, "at 0:00:12.50", "<Unknown>", "with \"quote\""}))
        << name.toStdString();
    EXPECT_TRUE(QFileInfo(path).isFile());
  }
  EXPECT_EQ(boxes_.Count(), 0);
}

TEST_F(ExternalAppLauncherTest, RelativeProgramIsFoundInToolsAndMissingOneIsReported) {
  const QString tools = ScratchPath(QStringLiteral("Tools/"));
  QDir().mkpath(tools);
  ASSERT_TRUE(QFile::copy(QStringLiteral(RW_ARGV_RECORDER), tools + QStringLiteral("rec")));
  gExternalAppHost().toolsFolder = tools;
  UseFile(QStringLiteral("a.avi"));
  SetEntry(QStringLiteral("rec"), QStringLiteral("<ExternalAppPath> <ExternalAppPath>"));
  Launch(1);
  EXPECT_EQ(Recorded(), QStringList({tools + QStringLiteral("rec")}));

  SetEntry(QStringLiteral("missing"), QStringLiteral("<ExternalAppPath> <File>"));
  Launch(1);
  ASSERT_EQ(boxes_.Count(), 1);
  EXPECT_EQ(boxes_.Last().title, QStringLiteral("Program not found"));
  EXPECT_TRUE(boxes_.Last().prompt.contains(tools + QStringLiteral("missing")));

  SetEntry(QString(), QStringLiteral("no-such-program-here <BackupFile>"));
  const QString path = ScratchPath(QStringLiteral("media/a.avi"));
  Launch(1);
  ASSERT_EQ(boxes_.Count(), 2);
  EXPECT_EQ(boxes_.Last().title, QStringLiteral("Program not found"));
  EXPECT_TRUE(QFileInfo(path).isFile());  // the backup was moved back
  EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".RWBAK")));
  EXPECT_TRUE(QFileInfo::exists(gTempFolder + QStringLiteral("done.flag")));
}

TEST_F(ExternalAppLauncherTest, OfflineItemNamesSavedItemAndMovesNothing) {
  gCurrentItem.FileName = QStringLiteral("other.avi");
  gSavedItem.SegmentID = 3;
  gSavedItem.CurrentPath = QStringLiteral("[Offline] /media/dvd/");
  gSavedItem.FileName = QStringLiteral("film.avi");
  SetEntry(QStringLiteral(RW_ARGV_RECORDER), QStringLiteral("<ExternalAppPath> <BackupFile>"));
  Launch(1);
  ASSERT_EQ(boxes_.Count(), 1);
  EXPECT_TRUE(boxes_.Last().prompt.startsWith(QStringLiteral("'film.avi'")));
  EXPECT_FALSE(QFileInfo::exists(record_));
}

TEST_F(ExternalAppLauncherTest, MissingFileIsRecoveredFromItsBackupOrRefused) {
  const QString path = UseFile(QStringLiteral("b.avi"));
  SetEntry(QStringLiteral(RW_ARGV_RECORDER), QStringLiteral("<ExternalAppPath> <File>"));
  ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".RWBAK")));
  Launch(1);
  EXPECT_EQ(Recorded(), QStringList({path}));
  EXPECT_TRUE(QFileInfo(path).isFile());
  ASSERT_EQ(boxes_.Count(), 1);
  EXPECT_EQ(boxes_.Last().prompt, QStringLiteral("Original file was missing: Recovered from Reelwise's back-up copy."));

  QFile::remove(path);
  QFile::remove(record_);
  Launch(1);
  ASSERT_EQ(boxes_.Count(), 2);
  EXPECT_TRUE(boxes_.Last().prompt.startsWith(QStringLiteral("File doesn't exist!")));
  EXPECT_TRUE(boxes_.Last().prompt.contains(QDir::toNativeSeparators(path))) << "which file";
  EXPECT_TRUE(boxes_.Last().prompt.contains(QStringLiteral("Nothing was run"))) << boxes_.Last().prompt.toStdString();
  EXPECT_EQ(boxes_.Last().title, QStringLiteral("External Application"));
  ExpectNothingRecorded();
}

TEST_F(ExternalAppLauncherTest, BackupLaunchWaitsAndClosesWhenTheFileIsBack) {
  const QString path = UseFile(QStringLiteral("c d.avi"), "original");
  SetEntry(QString(), QStringLiteral("/bin/cp <BackupFile> <File>"));
  Launch(1);
  EXPECT_EQ(boxes_.Count(), 0);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("original"));
  EXPECT_EQ(gExternalAppHost().mainWindowTag(), path);
}

TEST_F(ExternalAppLauncherTest, FailedBackupLaunchRestoresTheFileAndReports) {
  const QString path = UseFile(QStringLiteral("e.avi"));
  SetEntry(QString(), QStringLiteral("/bin/false <BackupFile>"));
  QString report;
  const auto closer = CloseReport(&report);
  Launch(1);
  EXPECT_TRUE(report.contains(QStringLiteral("Original File WAS NOT re-created. ")));
  EXPECT_TRUE(report.contains(QStringLiteral("Reelwise II has renamed the RWBAK file")));
  EXPECT_TRUE(QFileInfo(path).isFile());
  EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".RWBAK")));
}

TEST_F(ExternalAppLauncherTest, FolderInTheBackupsWayIsReportedAndNothingRuns) {
  const QString path = UseFile(QStringLiteral("f.avi"));
  QDir().mkpath(path + QStringLiteral(".RWBAK/inside"));
  SetEntry(QStringLiteral(RW_ARGV_RECORDER), QStringLiteral("<ExternalAppPath> <BackupFile>"));
  Launch(1);
  ASSERT_EQ(boxes_.Count(), 1);
  EXPECT_TRUE(boxes_.Last().prompt.contains(QStringLiteral("Could not rename")));
  EXPECT_TRUE(QFileInfo(path).isFile());
  ExpectNothingRecorded();
}

TEST_F(ExternalAppLauncherTest, NewFileComesFromTheSaveDialogAndUnmatchedQuoteRunsNothing) {
  const QString path = UseFile(QStringLiteral("g.avi"));
  const QString chosen = ScratchPath(QStringLiteral("out put.mkv"));
  dialogs_.Choose({chosen});
  SetEntry(QStringLiteral(RW_ARGV_RECORDER), QStringLiteral("<ExternalAppPath> -i <File> -o <NewFile>"));
  Launch(1);
  EXPECT_EQ(Recorded(), QStringList({"-i", path, "-o", chosen}));
  ASSERT_EQ(dialogs_.Count(), 1);
  EXPECT_EQ(dialogs_.Last().title, QStringLiteral("New File"));

  QFile::remove(record_);
  dialogs_.Cancel();
  Launch(1);
  EXPECT_EQ(Recorded(), QStringList({"-i", path, "-o", QString()}));

  QFile::remove(record_);
  SetEntry(QStringLiteral(RW_ARGV_RECORDER), QStringLiteral("<ExternalAppPath> \"<File>"));
  Launch(1);
  ASSERT_EQ(boxes_.Count(), 1);
  EXPECT_TRUE(boxes_.Last().prompt.contains(QStringLiteral("A quote is not closed.")));
  ExpectNothingRecorded();
}

TEST_F(ExternalAppLauncherTest, DefaultProgramGoesToTheDesktopShell) {
  QStringList calls;
  auto previous = SetDesktopShell(std::make_unique<FakeDesktop>(&calls));
  const QString path = UseFile(QStringLiteral("h i.avi"));
  Launch(-1);
  SetDesktopShell(std::move(previous));
  EXPECT_EQ(calls, QStringList({path}));
  EXPECT_EQ(boxes_.Count(), 0);
}

// Run in a mount namespace of its own: the file's folder is covered by a file
// server that answers for its root alone, as a share whose server went away.
TEST_F(ExternalAppLauncherTest, DefaultProgramForAFileOnAMountThatStopsAnsweringCountsItOffline) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  UseFile(QStringLiteral("h i.avi"));
  const QString media = ScratchPath(QStringLiteral("media"));
  System().Mount(media, QStringLiteral("fuse.sshfs"), QStringLiteral("nas:/media"));
  System().Write();
  rwtest::DeadMount dead(media);
  if (!dead.Mounted()) GTEST_SKIP() << dead.Problem().toStdString();
  QStringList calls;
  auto previous = SetDesktopShell(std::make_unique<FakeDesktop>(&calls));
  const rwtest::WaitWatch watch;
  Launch(-1);
  const bool released = dead.Released();
  SetDesktopShell(std::move(previous));
  EXPECT_FALSE(released) << "the launch came back while the server still did not answer";
  EXPECT_TRUE(watch.PaintedAlone()) << "the window painted during the wait and ran nothing else";
  EXPECT_TRUE(calls.isEmpty()) << "nothing was launched";
  ASSERT_EQ(boxes_.Count(), 1);
  EXPECT_TRUE(boxes_.Last().title.startsWith(QStringLiteral("Offline Volume: "))) << boxes_.Last().title.toStdString();
}

}  // namespace

namespace {

TEST_F(ExternalAppLauncherTest, StatusWindowTellsTheStoryWaitsForTheFlagAndCyclesItsPicture) {
  const QString path = UseFile(QStringLiteral("s.avi"));
  ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".RWBAK")));
  gExternalAppHost().setMainWindowTag(path);
  int steps = 0;
  int queuedRanAt = 0;
  frmExternalAppStatus::SetWaitStep([&] {
    if (++steps == 1) QMetaObject::invokeMethod(qApp, [&] { queuedRanAt = steps; }, Qt::QueuedConnection);
    if (steps == 3) {
      QFile::copy(path + QStringLiteral(".RWBAK"), path);
      QFile flag(gTempFolder + QStringLiteral("done.flag"));
      ASSERT_TRUE(flag.open(QIODevice::WriteOnly));
    }
  });
  QFile::remove(gTempFolder + QStringLiteral("done.flag"));
  frmExternalAppStatus status(nullptr);
  EXPECT_EQ(status.Label3->text(),
            QStringLiteral("Original File: '%1'\r\n\r\nFile re-named to '%1.RWBAK.'\r\n\r\n"
                           "External program is processing RWBAK version and is expected to re-create Original "
                           "File...\r\n\r\nWaiting for external program to terminate...")
                .arg(path));
  EXPECT_FALSE(status.lblResume->isVisibleTo(&status));
  status.Command1->click();  // before the wait, OK does nothing
  EXPECT_EQ(status.result(), 0);
  int frames[5];
  for (int& frame : frames) {
    status.Timer1_Timer();
    frame = status.Frame();
  }
  EXPECT_EQ(std::vector<int>(frames, frames + 5), std::vector<int>({2, 3, 4, 1, 2}));
  EXPECT_EQ(status.exec(), QDialog::Accepted);
  frmExternalAppStatus::SetWaitStep({});
  EXPECT_EQ(steps, 3);
  // The looks are turns of the window's loop, not a loop inside one call: a
  // call queued during a look runs before the next, as Cancel and Esc do.
  EXPECT_EQ(queuedRanAt, 1);
}

}  // namespace

namespace {

TEST_F(ExternalAppLauncherTest, EveryPlaceholderIsOneLiteralArgument) {
  const QString tools = ScratchPath(QStringLiteral("Tools/"));
  QDir().mkpath(tools);
  ASSERT_TRUE(QFile::copy(QStringLiteral(RW_ARGV_RECORDER), tools + QStringLiteral("FLVTool2")));
  gExternalAppHost().toolsFolder = tools;
  const QString path = UseFile(QStringLiteral("p%q.flv"));
  gCurrentItem.CurrentPath = QStringLiteral("/x/");
  gCurrentItem.FileName = QStringLiteral("100% focus.avi");
  gSavedItem.SelectionStart = 12.5;
  gSavedItem.SelectionEnd = 75.25;
  SetEntry(QStringLiteral("FLVTool2"),
           QStringLiteral("<ExternalAppPath> <FocusedFile> <SelectionStart> <SelectionEnd> <Duration> "
                          "<FilterGraph> <AppTemp> <Tags> <file> <BackupFile>x"));
  QString report;
  const auto closer = CloseReport(&report);
  Launch(1);
  EXPECT_EQ(Recorded(), QStringList({"/x/100% focus.avi", "12.5", "75.25", "0:01:02.75",
                                     gTempFolder + "RWGraph.grf", gTempFolder, "", "<file>", path + ".RWBAK" + "x"}));
  // The recorder did not write the file again: it is restored, and reported
  // in place of the wait.
  EXPECT_TRUE(QFileInfo(path).isFile());
  EXPECT_TRUE(report.contains(QStringLiteral("Original File WAS NOT re-created. ")));
  EXPECT_FALSE(report.contains(QStringLiteral("Waiting"))) << report.toStdString();
}

// The entry's Program is what runs, whatever the command line starts with; a
// media file (here an executable one) is only ever an argument, and an entry
// whose command line starts with a placeholder and names no Program runs
// nothing at all.
TEST_F(ExternalAppLauncherTest, TheProgramRunsAndAMediaFileIsNeverExecuted) {
  const QString marker = ScratchPath(QStringLiteral("evil-ran"));
  const QString path = UseFile(QStringLiteral("evil.mp4"), "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
  ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  for (const QString& command : {QStringLiteral("<File> <ExternalAppPath>"), QStringLiteral("<File> -x")}) {
    QFile::remove(record_);
    SetEntry(QStringLiteral(RW_ARGV_RECORDER), command);
    Launch(1);
    const QStringList expected = command.endsWith(QLatin1String("-x"))
                                     ? QStringList{path, QStringLiteral("-x")}
                                     : QStringList{path, QStringLiteral(RW_ARGV_RECORDER)};
    EXPECT_EQ(Recorded(), expected) << command.toStdString();
  }
  for (const QString& command : {QStringLiteral("<File>"), QStringLiteral("<ExternalAppPath> <File>")}) {
    QFile::remove(record_);
    SetEntry(QString(), command);
    boxes_.Clear();
    Launch(1);
    ASSERT_EQ(boxes_.Count(), 1) << command.toStdString();
    EXPECT_TRUE(boxes_.Last().prompt.contains(QStringLiteral("names no program"))) << boxes_.Last().prompt.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(marker)) << "the media file was run";
  EXPECT_TRUE(QFileInfo(path).isFile());
}

TEST_F(ExternalAppLauncherTest, ProgramThatCannotStartIsReportedWithTheReason) {
  const QString program = WriteProgram(QStringLiteral("not-executable"), "data", false);
  const QString path = UseFile(QStringLiteral("n.avi"));
  SetEntry(program, QStringLiteral("<ExternalAppPath> <File>"));
  Launch(1);
  ASSERT_EQ(boxes_.Count(), 1);
  EXPECT_EQ(boxes_.Last().title, QStringLiteral("Program not found"));
  EXPECT_TRUE(boxes_.Last().prompt.contains(program));
  EXPECT_TRUE(QFileInfo(path).isFile());
}

}  // namespace

namespace {

// Whether the process has ended (a zombie nobody reaps has ended too).
bool ProcessGone(qint64 id) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(id));
  if (!stat.open(QIODevice::ReadOnly)) return true;
  const QByteArray line = stat.readAll();
  return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

// A program that writes part of its file and then never ends: Esc in the
// status window, or a request to end the program, ends the wait; the program
// and what it started are stopped and the original is put back over the part
// it wrote. Only the user's cancel is reported: an ending program shows
// nothing more.
TEST_F(ExternalAppLauncherTest, ACancelledOrEndedWaitStopsTheProgramAndPutsTheOriginalBack) {
  const QString program = WriteProgram(
      QStringLiteral("hangs.sh"),
      "#!/bin/sh\nprintf partial > \"$1\"\nsleep 600 &\necho $! > \"$2.new\"\nmv \"$2.new\" \"$2\"\nwait\n", true);
  const QString path = UseFile(QStringLiteral("w.avi"), "original");
  const QString sleeper = gTempFolder + QStringLiteral("sleep.pid");
  SetEntry(program, QStringLiteral("<ExternalAppPath> <File> <AppTemp>sleep.pid <BackupFile>"));
  for (const bool ending : {false, true}) {
    QFile::remove(sleeper);
    QString report;
    bool whole = false;
    const auto closer = CloseReport(&report, &whole);
    QTimer ender;
    QObject::connect(&ender, &QTimer::timeout, [&] {
      if (!QFileInfo::exists(sleeper) || !gExternalAppStatusForm || !gExternalAppStatusForm->isVisible()) return;
      ender.stop();
      if (ending) {
        QuitRequest::Request([] {});
        return;
      }
      QWidget* focus = gExternalAppStatusForm->focusWidget();
      QTest::keyClick(focus ? focus : gExternalAppStatusForm.data(), Qt::Key_Escape);
    });
    ender.start(20);
    // Should the wait not end, the flag ends it and the checks below fail.
    QTimer ceiling;
    ceiling.setSingleShot(true);
    QObject::connect(&ceiling, &QTimer::timeout,
                     [] { QFile(gTempFolder + QStringLiteral("done.flag")).open(QIODevice::WriteOnly); });
    ceiling.start(rwtest::kWaitCeilingMs);
    Launch(1);
    QuitRequest::Reset();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << ending;
    EXPECT_EQ(file.readAll(), QByteArray("original")) << ending;
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".RWBAK"))) << ending;
    QFile pid(sleeper);
    ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
    const qint64 id = pid.readAll().trimmed().toLongLong();
    EXPECT_TRUE(QTest::qWaitFor([id] { return ProcessGone(id); }, rwtest::kWaitCeilingMs)) << "what it started ended";
    if (ending) {
      EXPECT_TRUE(report.isEmpty()) << report.toStdString();
    } else {
      EXPECT_TRUE(report.contains(QStringLiteral("The wait was cancelled and the external program stopped. Reelwise II "
                                                 "has renamed the RWBAK file")))
          << report.toStdString();
      EXPECT_FALSE(report.contains(QStringLiteral("Waiting"))) << "the wait is over";
      EXPECT_TRUE(whole) << "the longer report, its first line too, in the window";
    }
  }
  EXPECT_EQ(boxes_.Count(), 0);
}

// A program that leaves a folder where the file was: the backup cannot be
// moved back, which the status window and the launcher both say, and the
// backup is kept.
TEST_F(ExternalAppLauncherTest, FailedMoveBackIsReportedAndTheBackupKept) {
  const QString path = UseFile(QStringLiteral("m.avi"));
  SetEntry(QString(), QStringLiteral("/bin/mkdir <File> <BackupFile>.d"));
  QString report;
  const auto closer = CloseReport(&report);
  Launch(1);
  EXPECT_TRUE(report.contains(QStringLiteral("The RWBAK file could not be renamed back")));
  ASSERT_EQ(boxes_.Count(), 2);
  EXPECT_TRUE(boxes_.Shown()[0].prompt.contains(QStringLiteral("The original file is kept as")));
  EXPECT_EQ(boxes_.Shown()[1].prompt, QStringLiteral("Looks like it failed!"));
  EXPECT_TRUE(QFileInfo(path + QStringLiteral(".RWBAK")).isFile());
}

}  // namespace
