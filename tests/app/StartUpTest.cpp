// Start-up and shut-down of the whole program in a private home: folders,
// settings, the scratch library, the command line, the saved workspace, the
// tip of the day and the failure path.
#include "core/modLaunchDoc.h"
#include "devices/modStorageDevices.h"
#include "library/clsRWLibrary.h"
#include "platform/InputGate.h"
#include "platform/QuitRequest.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/TreeView.h"
#include "tests/app/ClipLibrary.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/ChildRun.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/SmallDisk.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMenu>
#include <QDialog>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include <unistd.h>

#include <gtest/gtest.h>

#include <ostream>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using rwtest::ProgramTest;

class StartUpTest : public ProgramTest {
 protected:
  // Each box of a start with folders the program cannot use: one titled
  // "Reelwise II Folders" naming `folder` and saying `says`, none of them a
  // start-up failure; the program runs, its scratch library in a folder that
  // takes files.
  void ExpectStartedSaying(const QString& folder, const QString& says) {
    ExpectNoFailureTold();
    int folderBoxes = 0;
    for (const MessageBoxRequest& box : boxes.Shown()) {
      if (box.title != QStringLiteral("Reelwise II Folders")) continue;
      ++folderBoxes;
      EXPECT_TRUE(box.prompt.contains(QDir::cleanPath(folder))) << box.prompt.toStdString();
      EXPECT_TRUE(box.prompt.contains(says)) << box.prompt.toStdString();
      EXPECT_TRUE(box.prompt.contains(QStringLiteral("then start Reelwise II again"))) << box.prompt.toStdString();
    }
    EXPECT_EQ(folderBoxes, 1);
    ASSERT_TRUE(gMainForm);
    EXPECT_TRUE(gMainForm->isVisible());
    EXPECT_TRUE(gAppReady);
    EXPECT_FALSE(ScratchFiles().isEmpty()) << gTempFolder.toStdString();
  }

  // Every box shown is titled, and none tells of a failed start.
  void ExpectNoFailureTold() {
    for (const MessageBoxRequest& box : boxes.Shown()) {
      EXPECT_NE(box.title, QStringLiteral("Error While Initialising")) << box.prompt.toStdString();
      EXPECT_FALSE(box.title.isEmpty()) << box.prompt.toStdString();
    }
  }
};

// A first start makes the folders and default settings, shows the welcome
// page and the first tip, and its end leaves no scratch file; the tips turn
// on from any stored number; a window that fails to build leaves one message.
TEST_F(StartUpTest, AFirstStartShowsTheWelcomeTheTipsTurnAndAFailedStartLeavesOneMessageAndNoWindow) {
  SetOther("TipOfTheDay", QString());  // a first start: no settings at all
  boxes.Answer(vbOK);
  ASSERT_TRUE(Start());
  for (const QString& folder : {gAppDataFolder, gDocsFolder, gDocsFolder + QStringLiteral("SFX/"), gTempFolder,
                                gLibrariesFolder}) {
    EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
  }
  EXPECT_TRUE(QFileInfo::exists(gDocsFolder + QStringLiteral("ExternalApps.ini")));
  EXPECT_EQ(Other("UseRecycleBin").Number(), 1) << "defaults are written";
  ASSERT_TRUE(gMainForm);
  EXPECT_EQ(gMainForm->windowTitle(), QStringLiteral("Reelwise II - No Library Loaded"));
  EXPECT_TRUE(gMainForm->isVisible());
  EXPECT_TRUE(gMainForm->picWelcomeHolder->isVisible());
  EXPECT_TRUE(gLibrary->Unsaved());
  EXPECT_TRUE(gAppReady);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Tip of The Day"));
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("Did you Know...\r\n\r\n") + modReelwise::TipText(1));
  EXPECT_EQ(Other("TipOfTheDayIndex").Number(), 2);
  EXPECT_FALSE(ScratchFiles().isEmpty());

  // The picture of the started program, when asked for (see docs/DEVELOPING.md).
  const QString picture = qEnvironmentVariable("RW_SCREENSHOT");
  if (!picture.isEmpty()) {
    EXPECT_TRUE(gMainForm->grab().save(picture, "PNG"));
  }

  EndProgram();
  EXPECT_FALSE(gMainForm);
  EXPECT_EQ(VisibleWindows(), 0);
  EXPECT_TRUE(ScratchFiles().isEmpty()) << ScratchFiles().join(QLatin1Char(' ')).toStdString();
  EXPECT_FALSE(gLibrary);

  // Tip numbers are taken as stored, wrapped and stored again.
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  const struct {
    QVariant stored;
    int shown;
    int next;
  } cases[] = {{1, 1, 2}, {-3, 3, 4}, {QStringLiteral("abc"), 1, 2}, {19, 19, 20}, {20, 1, 2}, {0, 0, 1}};
  for (const auto& c : cases) {
    SetOther("TipOfTheDayIndex", c.stored);
    modReelwise::ShowTipOfTheDay();
    EXPECT_TRUE(boxes.Last().prompt.endsWith(QStringLiteral("\r\n\r\n") + modReelwise::TipText(c.shown)))
        << c.stored.toString().toStdString();
    EXPECT_EQ(boxes.Last().style, 2) << "the logo picture";
    EXPECT_EQ(Other("TipOfTheDayIndex").Number(), c.next) << c.stored.toString().toStdString();
  }
  EXPECT_TRUE(modReelwise::TipText(11).endsWith(QStringLiteral("ALT-3 or ALT-4 respectively")));
  EXPECT_TRUE(modReelwise::TipText(6).startsWith(QStringLiteral("That Story Boards are 'live'?")));
  EXPECT_TRUE(modReelwise::TipText(0).isEmpty());

  // A failed construction gives one message and no window.
  SetOther("TipOfTheDay", 0);
  boxes.Clear();
  frmReelwise::LoadStepHook = [](int step) {
    if (step == 12) throw RWError(kErrResourceNotFound, QStringLiteral("Resource not found"));
  };
  EXPECT_FALSE(Start());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error While Initialising"));
  EXPECT_TRUE(boxes.Last().systemBox);
  EXPECT_EQ(boxes.Last().style & vbCritical, vbCritical);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("Reelwise II failed to start-up due to an unexpected error\r\n\r\n"
                                                "[326] Resource not found\r\n\r\n"
                                                "If this problem persists, please report it at the forum"));
  EXPECT_FALSE(gMainForm);
  EXPECT_EQ(VisibleWindows(), 0);
  EXPECT_TRUE(ScratchFiles().isEmpty());
  EXPECT_FALSE(gAppReady);
}

// A file where the folder of temporary files or the documents folder should
// be, then a folder where the symbols' font is written (as on a full disk):
// each is named in a titled box of the program's own, never as a failed
// start, and the program runs on with its temporary files elsewhere.
TEST_F(StartUpTest, AFileOrFolderWhereTheProgramsFilesGoIsNamedAndTheProgramRunsOn) {
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  modReelwise::ComputeProgramFolders();
  const QString docs = gDocsFolder;
  const QString temp = gTempFolder;
  ASSERT_TRUE(QDir().mkpath(docs));
  QFile(QDir::cleanPath(temp)).open(QIODevice::WriteOnly);
  ASSERT_TRUE(Start());
  ExpectStartedSaying(temp, QStringLiteral("A file stands where the folder"));
  EXPECT_NE(gTempFolder, temp);
  EXPECT_TRUE(boxes.Shown()[0].prompt.contains(QDir::toNativeSeparators(gTempFolder))) << "where the files go instead";
  const QString standIn = gTempFolder;
  EndProgram();
  EXPECT_TRUE(QFileInfo(QDir::cleanPath(temp)).isFile()) << "the user's file is left alone";

  boxes.Clear();
  ASSERT_TRUE(QFile::remove(QDir::cleanPath(temp)));
  ASSERT_TRUE(QDir(docs).removeRecursively());
  QFile(QDir::cleanPath(docs)).open(QIODevice::WriteOnly);
  ASSERT_TRUE(Start());
  ExpectStartedSaying(docs, QStringLiteral("External applications set up in this run are not kept"));
  EndProgram();
  EXPECT_FALSE(QFileInfo::exists(standIn)) << "the stand-in of a run goes at its end, or the next";

  // The symbols' font cannot be written: the start says so naming the file.
  boxes.Clear();
  ASSERT_TRUE(QFile::remove(QDir::cleanPath(docs)));
  modReelwise::ComputeProgramFolders();
  const QString font = gTempFolder + QStringLiteral("RW2Dings.ttf");
  ASSERT_TRUE(QDir().mkpath(font + QStringLiteral("/in the way")));
  ASSERT_TRUE(Start());
  ASSERT_TRUE(gMainForm);
  EXPECT_TRUE(gMainForm->isVisible());
  EXPECT_TRUE(gAppReady);
  const auto told = std::count_if(boxes.Shown().begin(), boxes.Shown().end(), [&](const MessageBoxRequest& box) {
    return box.title == QStringLiteral("Reelwise II Symbols") && box.prompt.contains(QDir::toNativeSeparators(font)) &&
           box.prompt.contains(QStringLiteral("It runs on"));
  });
  EXPECT_EQ(told, 1);
  ExpectNoFailureTold();
  EndProgram();
}

// The whole home on a disk that is full: the start is told, in the
// program's titled boxes, that the program's folders take nothing, and runs
// on with its temporary files (its glyph font and scratch library among
// them) in a folder of the run's own elsewhere.
TEST_F(StartUpTest, AHomeOnAFullDiskIsToldAndTheProgramRunsOn) {
  rwtest::SmallDisk disk(2048);
  if (!disk.Here()) return;
  const QString home = disk.Path(QStringLiteral("home"));
  qputenv("HOME", QFile::encodeName(home));
  for (const auto& [name, below] : {std::pair{"XDG_CONFIG_HOME", ".config"}, {"XDG_DATA_HOME", ".local/share"},
                                    {"XDG_CACHE_HOME", ".cache"}, {"XDG_STATE_HOME", ".local/state"}}) {
    qputenv(name, QFile::encodeName(home + QLatin1Char('/') + QLatin1String(below)));
    ASSERT_TRUE(QDir().mkpath(home + QLatin1Char('/') + QLatin1String(below)));
  }
  disk.Fill();
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  ASSERT_TRUE(Start());
  ExpectStartedSaying(home + QStringLiteral("/Documents/Reelwise II/Temp"), QStringLiteral("The disk is full."));
  EXPECT_FALSE(gTempFolder.startsWith(home)) << gTempFolder.toStdString();
  EXPECT_TRUE(QFileInfo::exists(gTempFolder + QStringLiteral("RW2Dings.ttf")));
  EndProgram();
}

// Read-only folders, for an ordinary user: the folder for temporary files,
// then the whole home. The program runs on and says what is not kept: the
// settings too, in a message of their own.
TEST_F(StartUpTest, ReadOnlyFoldersAreNamedAndTheProgramRunsOnSayingWhatIsNotKept) {
  RW_RUN_AS_ORDINARY_USER();
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  modReelwise::ComputeProgramFolders();
  const QString temp = gTempFolder;
  ASSERT_TRUE(QDir().mkpath(temp));
  const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
  const auto writable = readOnly | QFileDevice::WriteOwner;
  ASSERT_TRUE(QFile::setPermissions(temp, readOnly));
  ASSERT_TRUE(Start());
  ExpectStartedSaying(temp, QStringLiteral("Permission to write there is denied."));
  EndProgram();
  QFile::setPermissions(temp, writable);

  boxes.Clear();
  ASSERT_TRUE(QDir(QDir::cleanPath(gDocsFolder)).removeRecursively());
  QStringList folders{Home()};
  QDirIterator below(Home(), QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  // The session's folder is no part of the home.
  const QString runtime = HomePath(QStringLiteral("runtime"));
  while (below.hasNext()) {
    const QString folder = below.next();
    if (!folder.startsWith(runtime)) folders << folder;
  }
  for (const QString& folder : folders) QFile::setPermissions(folder, readOnly);
  ASSERT_TRUE(Start());
  ExpectStartedSaying(HomePath(QStringLiteral("Documents")), QStringLiteral("Permission to write there is denied."));
  int settingsBoxes = 0;
  for (const MessageBoxRequest& box : boxes.Shown()) {
    if (box.title != QStringLiteral("Reelwise II Settings")) continue;
    ++settingsBoxes;
    EXPECT_TRUE(box.prompt.contains(QStringLiteral("are not kept"))) << box.prompt.toStdString();
  }
  EXPECT_EQ(settingsBoxes, 1);
  EXPECT_EQ(boxes.Count(), 2);
  EndProgram();
  for (const QString& folder : folders) QFile::setPermissions(folder, writable);
}

// A Save As cut short by the program's end (killed while its copy is
// written) leaves the copy beside its target; the next start removes it. The
// child runs the program in this test's home and is killed by a thread of its
// own as soon as the copy has begun.
TEST_F(StartUpTest, ACopyLeftByASaveAsCutShortGoesAtTheNextStart) {
  if (rwtest::InChildRun()) {
    const QString home = qEnvironmentVariable("RW_PARENT_HOME");
    qputenv("HOME", QFile::encodeName(home));
    for (const auto& [name, below] : {std::pair{"XDG_CONFIG_HOME", ".config"}, {"XDG_DATA_HOME", ".local/share"},
                                      {"XDG_CACHE_HOME", ".cache"}, {"XDG_STATE_HOME", ".local/state"},
                                      {"XDG_RUNTIME_DIR", "runtime"}}) {
      qputenv(name, QFile::encodeName(home + QLatin1Char('/') + QLatin1String(below)));
    }
    ASSERT_TRUE(Start());
    const QString big = gLibrariesFolder + QStringLiteral("Big.rw2");
    modReelwise::ExtractTemplateLibrary(big);
    SqlConnection::Open(big)->Execute(
        QStringLiteral("INSERT INTO SegmentThumbnails VALUES (1, zeroblob(96000000), 1)"));
    gLibrary->OpenLibrary(big, true);
    // The copy's partial file, under the program's name for it.
    const QString partial = gLibrariesFolder + QStringLiteral("Copy.rw2.%1.partial").arg(QCoreApplication::applicationPid());
    std::thread killer([partial] {
      while (QFileInfo(partial).size() < (1 << 20)) std::this_thread::sleep_for(std::chrono::microseconds(200));
      ::kill(::getpid(), SIGKILL);
    });
    killer.detach();
    rwtest::ScriptedFileDialogs dialogs;
    dialogs.Choose({gLibrariesFolder + QStringLiteral("Copy.rw2")});
    gLibrary->SaveLibraryAsDialog(false);
    ADD_FAILURE() << "the copy was finished before the child could be killed";
    return;
  }
  rwtest::ChildRun child;
  child.Set("RW_PARENT_HOME", Home());
  ASSERT_TRUE(child.Start());
  QProcess::ExitStatus status = QProcess::NormalExit;
  const QByteArray output = child.WaitForEnd(&status);
  ASSERT_EQ(status, QProcess::CrashExit) << output.toStdString();
  modReelwise::ComputeProgramFolders();
  const QStringList partials = QDir(gLibrariesFolder).entryList({QStringLiteral("Copy.rw2.*.partial")}, QDir::Files);
  ASSERT_EQ(partials.size(), 1) << "the cut-short copy is there before the start";
  const QString partial = gLibrariesFolder + partials.front();

  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  ASSERT_TRUE(Start());
  EXPECT_FALSE(QFileInfo::exists(partial));
  EXPECT_FALSE(QFileInfo::exists(gLibrariesFolder + QStringLiteral("Copy.rw2")));
  EXPECT_TRUE(QFileInfo::exists(gLibrariesFolder + QStringLiteral("Big.rw2"))) << "the library copied is kept";
  EXPECT_TRUE(QDir(gTempFolder).entryList({QStringLiteral("Copying-*")}).isEmpty()) << "nor is the note kept";
}

// The command line names a library by its name in the libraries' folder or
// by its path, whole or from the current folder; "TV", with or without its
// hyphen, starts TV-Out; a library it names that is missing is told and the
// arguments after it are not read.
TEST_F(StartUpTest, TheCommandLineNamesALibraryOrTvOutAndStopsAtAMissingLibrary) {
  modReelwise::ComputeProgramFolders();
  modReelwise::CreateProgramFolders();
  const QString inLibraries = gLibrariesFolder + QStringLiteral("My -Films.rw2");
  modReelwise::ExtractTemplateLibrary(inLibraries);
  ASSERT_TRUE(Start({QStringLiteral("My -Films")}));
  EXPECT_EQ(gLibrary->LibraryPath, inLibraries) << "a name with \" -\" stays one piece";
  // The open handles no event, so the window it painted its progress on was
  // on the screen before it began.
  EXPECT_TRUE(gMainForm->windowHandle()->isExposed());
  EndProgram();

  const QString elsewhere = ScratchPath(QStringLiteral("Archive.rw2"));
  modReelwise::ExtractTemplateLibrary(elsewhere);
  ASSERT_TRUE(Start({elsewhere}));
  EXPECT_EQ(gLibrary->LibraryPath, elsewhere);
  EndProgram();

  // A name with a folder part is taken from the current folder.
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(Scratch()));
  ASSERT_TRUE(QDir().mkpath(QStringLiteral("shelf")));
  const QString shelved = ScratchPath(QStringLiteral("shelf/Old films.rw2"));
  modReelwise::ExtractTemplateLibrary(shelved);
  for (const char* name : {"./Archive.rw2", "shelf/../Archive"}) {
    ASSERT_TRUE(Start({QLatin1String(name)}));
    EXPECT_EQ(gLibrary->LibraryPath, elsewhere) << name;
    EndProgram();
  }
  ASSERT_TRUE(Start({QStringLiteral("shelf/Old films")}));
  EXPECT_EQ(gLibrary->LibraryPath, shelved);
  EXPECT_EQ(boxes.Count(), 0);
  QDir::setCurrent(previous);
  EndProgram();

  // The TV switch with or without its hyphen starts TV-Out.
  for (const char* argument : {"TV", "-TV"}) {
    gTVOutMode = false;
    ASSERT_TRUE(Start({QLatin1String(argument)}));
    EXPECT_TRUE(gTVOutMode) << argument;
    EXPECT_EQ(boxes.Count(), 0);
    EndProgram();
  }
  gTVOutMode = false;

  // A missing library is reported and stops the arguments.
  boxes.Answer(vbOK);
  ASSERT_TRUE(Start({QStringLiteral("name"), QStringLiteral("-TV")}));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Library not found!"));
  EXPECT_EQ(boxes.Last().prompt,
            QStringLiteral("The Library %1name.rw2 does not exist!").arg(gLibrariesFolder));
  EXPECT_EQ(boxes.Last().style, vbExclamation);
  EXPECT_FALSE(gTVOutMode) << "the switch after the missing library is not read";
  EXPECT_TRUE(gLibrary->Unsaved());
}

// A signal while a modal dialog of long work waits: the program cannot end
// before the work does, so the dialog is closed as cancelled; the work ends,
// the loops unwind and the window closes through the normal shut-down.
TEST_F(StartUpTest, TerminationSignalEndsTheRunAsClosingTheWindowWould) {
  for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
    ASSERT_TRUE(Start());
    gViewSpec = QStringLiteral("|_T:%1").arg(number);
    if (!gSaveWorkspace) gMainForm->MainToolbarHandler(QStringLiteral("mnuLibrarySaveWorkspace"));
    ASSERT_FALSE(ScratchFiles().isEmpty());
    int dialogResult = -1;
    QTimer::singleShot(0, [&] {
      const QuitRequest::LongWork work;
      QDialog dialog(gMainForm);
      QTimer::singleShot(0, [number] { ::raise(number); });
      // A dialog left open fails the test instead of hanging it.
      QTimer ceiling;
      ceiling.setSingleShot(true);
      QObject::connect(&ceiling, &QTimer::timeout, &dialog, [&dialog] { dialog.done(QDialog::Accepted); });
      ceiling.start(rwtest::kWaitCeilingMs);
      dialogResult = dialog.exec();
    });
    EXPECT_EQ(modReelwise::Run(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialogResult, QDialog::Rejected);
    EXPECT_TRUE(gMainForm.isNull());
    EXPECT_EQ(VisibleWindows(), 0);
    EXPECT_TRUE(ScratchFiles().isEmpty()) << "the scratch library and its lock are gone";
    EXPECT_TRUE(Other("SaveWorkspace").Text().endsWith(QStringLiteral(" |_T:%1").arg(number)))
        << "settings are written";
  }
  EXPECT_EQ(boxes.Count(), 0) << "nothing is asked";
}

// A termination signal closes the question open at the time unanswered, and
// every later one is answered 0 without being shown: nobody is there to
// answer. No question before something destructive takes 0 for a yes.
TEST_F(StartUpTest, AfterATerminationSignalNoQuestionIsConsentToDestroyAnything) {
  ASSERT_TRUE(Start());
  const QString folder = ScratchPath(QStringLiteral("films/"));
  rwtest::OpenClipLibrary(folder);
  const QString film = folder + QStringLiteral("one.avi");
  QFile(film).open(QIODevice::WriteOnly);
  rwtest::AddClipFile(1, QStringLiteral("one.avi"), folder, 60);
  gLibrary->Connection().Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Genre', 'C'), "
                                                "(11, 'Drama', 'T'); INSERT INTO TagLinks VALUES (11, 10, 'P')"));
  gLibrary->OpenLibrary(gLibrary->LibraryPath, true);
  const QString other = gLibrariesFolder + QStringLiteral("Other.rw2");
  modReelwise::ExtractTemplateLibrary(other);
  SqlConnection::Open(other)->Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Kept', 'T')"));
  const auto contents = [](const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  const QByteArray otherBefore = contents(other);

  // The program's own box, which shows what it is asked; the signal comes
  // while the first question is open.
  QStringList shown;
  const MessageBoxHandler ownBox = SetMessageBoxHandler(nullptr);
  SetMessageBoxHandler([&](const MessageBoxRequest& request) {
    shown << request.title;
    return ownBox(request);
  });
  const MessageBoxHandler scripted = SetMessageBoxResponder(nullptr);
  QTimer signaller;
  QObject::connect(&signaller, &QTimer::timeout, [&] {
    const QWidget* box = QApplication::activeModalWidget();
    if (!box || box->objectName() != QLatin1String("frmMsgBox") || !box->isVisible()) return;
    signaller.stop();
    ::raise(SIGTERM);
  });
  signaller.start(10);
  gCurrentItem = ResultItem{};
  gCurrentItem.FileID = 1;
  gCurrentItem.FileName = QStringLiteral("one.avi");
  gCurrentItem.CurrentPath = folder;
  gMainForm->mnuResultsPopUp->setProperty("Tag", QStringLiteral("Browser"));
  gMainForm->mnuDeleteFile->trigger();
  const bool endRequested = QuitRequest::Requested();

  gMainForm->mnuRemoveFile->trigger();
  ctl::TreeView& tree = *gMainForm->Tree().tvwLibrary;
  ASSERT_TRUE(tree.Nodes.Exists(QStringLiteral("ID11")));
  tree.SetSelectedItem(tree.Nodes.Find(QStringLiteral("ID11")));
  QTest::keyClick(tree.focusProxy(), Qt::Key_Delete);
  rwtest::ScriptedFileDialogs dialogs;
  dialogs.Choose({other});
  gLibrary->SaveLibraryAsDialog(true);
  const bool deleted = modLaunchDoc::DeleteFileToBin(film, true, false);
  StorageDevice device;
  device.LogicalPath = folder;
  const QString identifier = modStorageDevices::WriteDeviceIdentifier(device);
  SetMessageBoxResponder(scripted);
  SetMessageBoxHandler(ownBox);

  EXPECT_TRUE(endRequested) << "the signal came while the first question was open";
  EXPECT_EQ(shown, QStringList{QStringLiteral("Confirm Delete")}) << "later questions are not shown";
  EXPECT_TRUE(QFileInfo::exists(film));
  EXPECT_FALSE(deleted);
  EXPECT_EQ(SqlRecordset(gLibrary->Connection(), QStringLiteral("SELECT count(*) FROM VideoFiles")).Value(0).toInt(), 1);
  EXPECT_TRUE(tree.Nodes.Exists(QStringLiteral("ID11")));
  EXPECT_EQ(SqlRecordset(gLibrary->Connection(), QStringLiteral("SELECT count(*) FROM Tags WHERE TagID = 11")).Value(0).toInt(), 1);
  EXPECT_EQ(gLibrary->LibraryPath, gLibrariesFolder + QStringLiteral("Films.rw2"));
  EXPECT_EQ(contents(other), otherBefore) << "the library asked about is not replaced";
  EXPECT_TRUE(identifier.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(folder + QLatin1String(modStorageDevices::kIdentifierFileName)));

  EXPECT_EQ(modReelwise::Run(), 0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(gMainForm.isNull());
  // A loop that starts and ends makes Qt forget the request to end.
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

// The shut-down reports a step that fails and runs the later ones; it saves
// the workspace only while asked to, and a saved workspace opens its
// library at the next start (the scratch library's names none).
TEST_F(StartUpTest, ShutDownGoesOnPastAFailingStepAndSavesTheWorkspaceOnlyWhenAskedForTheNextStart) {
  ASSERT_TRUE(Start());
  SetOther("CompactOnExit", 1);
  // A transaction left open makes the compaction fail.
  gLibrary->Connection().BeginTrans(QStringLiteral("Open"));
  boxes.Answer(vbOK);
  EndProgram();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Shutdown Error"));
  EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("%1 - ").arg(kErrDatabase)));
  EXPECT_TRUE(ScratchFiles().isEmpty()) << "the later steps ran";
  EXPECT_FALSE(gMainForm);
  SetOther("CompactOnExit", 0);

  // The workspace is saved when asked.
  ASSERT_TRUE(Start());
  gViewSpec = QStringLiteral("|_T:5");
  gMainForm->MainToolbarHandler(QStringLiteral("mnuLibrarySaveWorkspace"));
  const QString scratch = gLibrary->LibraryPath;
  EndProgram();
  EXPECT_EQ(Other("SaveWorkspace").Text(), scratch + QStringLiteral(" |_T:5"));

  // The scratch library's workspace names no library: the scratch library
  // opens again, without the view, and the check mark stays on; unchecked,
  // nothing is saved.
  gViewSpec.clear();
  ASSERT_TRUE(Start());
  EXPECT_TRUE(gSaveWorkspace);
  EXPECT_TRUE(gLibrary->Unsaved());
  EXPECT_TRUE(gViewSpec.isEmpty());
  gMainForm->MainToolbarHandler(QStringLiteral("mnuLibrarySaveWorkspace"));
  const QString films = gLibrariesFolder + QStringLiteral("Films.rw2");
  modReelwise::ExtractTemplateLibrary(films);
  EndProgram();
  EXPECT_TRUE(Other("SaveWorkspace").Text().isEmpty());

  // A saved workspace opens its library at start-up.
  SetOther("SaveWorkspace", films + QStringLiteral(" "));
  ASSERT_TRUE(Start());
  EXPECT_EQ(gLibrary->LibraryPath, films);
  EXPECT_TRUE(gSaveWorkspace);
  EXPECT_FALSE(gMainForm->picWelcomeHolder->isVisible());
  EXPECT_EQ(gMainForm->windowTitle(), QStringLiteral("Reelwise II - Films"));
  EXPECT_EQ(gMainForm->lblCaption->Caption(), QStringLiteral("Films"));
  EndProgram();

  // The first library opens from the event loop: until then no command runs,
  // and a run ended before it (a signal at start) keeps the workspace it was
  // to open, view and all.
  SetOther("SaveWorkspace", films + QStringLiteral(" |_T:5"));
  ASSERT_TRUE(modReelwise::Main({}));
  EXPECT_TRUE(modReelwise::FirstOpenPending());
  EXPECT_TRUE(gLibrary->Unsaved());
  EXPECT_FALSE(InputGate::Admits());
  EndProgram();
  EXPECT_FALSE(modReelwise::FirstOpenPending());
  EXPECT_TRUE(InputGate::Admits());
  EXPECT_EQ(Other("SaveWorkspace").Text(), films + QStringLiteral(" |_T:5"));
}

TEST(SavedWorkspaceTest, TheLibraryEndsAtItsOwnExtension) {
  using modReelwise::SplitSavedWorkspace;
  const auto split = SplitSavedWorkspace(QStringLiteral("/home/a/Films.rw2 |_T:12|+?R:3"));
  EXPECT_EQ(split.libraryPath, QStringLiteral("/home/a/Films.rw2"));
  EXPECT_EQ(split.viewSpec, QStringLiteral("|_T:12|+?R:3"));
  const auto folder = SplitSavedWorkspace(QStringLiteral("/data/old.rw2s/Films.RW2 |_T:1"));
  EXPECT_EQ(folder.libraryPath, QStringLiteral("/data/old.rw2s/Films.RW2")) << "a folder named like a library";
  EXPECT_EQ(folder.viewSpec, QStringLiteral("|_T:1"));
  const auto noView = SplitSavedWorkspace(QStringLiteral("/a/b.rw2 "));
  EXPECT_EQ(noView.libraryPath, QStringLiteral("/a/b.rw2"));
  EXPECT_TRUE(noView.viewSpec.isEmpty());
  EXPECT_EQ(SplitSavedWorkspace(QStringLiteral("/a/b.rw2")).libraryPath, QStringLiteral("/a/b.rw2"));
  const auto none = SplitSavedWorkspace(QStringLiteral("/tmp/Temp/InitRW2 |_T:5"));
  EXPECT_TRUE(none.libraryPath.isEmpty());
  EXPECT_TRUE(none.viewSpec.isEmpty());
}

// The scratch library of an instance: the leftovers of instances that are
// gone are deleted and their name taken again; while another running
// instance holds "InitRW2", this one takes a scratch library of its own, and
// its release leaves nothing of it.
TEST_F(StartUpTest, AScratchLibraryIsClaimedPastLeftoversAndBesideAnotherInstancesOwn) {
  modReelwise::ComputeProgramFolders();
  modReelwise::CreateProgramFolders();
  const auto release = qScopeGuard([] { modReelwise::ReleaseScratchLibrary(); });

  // A crashed instance: its lock names a process that no longer runs.
  QProcess gone;
  gone.start(QStringLiteral("true"), {});
  ASSERT_TRUE(gone.waitForStarted());
  const qint64 deadPid = gone.processId();
  ASSERT_TRUE(gone.waitForFinished());
  const QString stale = gTempFolder + QStringLiteral("InitRW2-999999");
  QByteArray content;
  {
    QLockFile held(stale + QStringLiteral(".lock"));
    ASSERT_TRUE(held.tryLock(0));
    QFile written(stale + QStringLiteral(".lock"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    content = written.readAll();
  }
  content = QByteArray::number(deadPid) + content.mid(content.indexOf('\n'));
  QFile lock(stale + QStringLiteral(".lock"));
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  lock.write(content);
  lock.close();
  for (const char* suffix : {"", "-journal"}) QFile(stale + QLatin1String(suffix)).open(QIODevice::WriteOnly);
  QFile(gTempFolder + QStringLiteral("InitRW2")).open(QIODevice::WriteOnly);  // no lock at all

  const QString first = modReelwise::ClaimScratchLibrary();
  EXPECT_EQ(first, gTempFolder + QStringLiteral("InitRW2"));
  EXPECT_FALSE(QFileInfo::exists(stale));
  EXPECT_FALSE(QFileInfo::exists(stale + QStringLiteral("-journal")));
  EXPECT_FALSE(QFileInfo::exists(stale + QStringLiteral(".lock")));
  modReelwise::ReleaseScratchLibrary();

  // Another running instance holds "InitRW2".
  QLockFile other(gTempFolder + QStringLiteral("InitRW2.lock"));
  ASSERT_TRUE(other.tryLock(0));
  QFile(gTempFolder + QStringLiteral("InitRW2")).open(QIODevice::WriteOnly);
  const QString path = modReelwise::ClaimScratchLibrary();
  EXPECT_EQ(path, gTempFolder + QStringLiteral("InitRW2-%1").arg(QCoreApplication::applicationPid()));
  EXPECT_TRUE(QFileInfo::exists(gTempFolder + QStringLiteral("InitRW2"))) << "the other instance's file stays";
  modReelwise::ExtractTemplateLibrary(path);
  QFile(path + QStringLiteral("-journal")).open(QIODevice::WriteOnly);
  modReelwise::ReleaseScratchLibrary();
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-journal")));
  EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".lock")));
}

TEST(ScreenSaverTest, NothingFailsWithoutASessionBus) {
  const QByteArray saved = qgetenv("DBUS_SESSION_BUS_ADDRESS");
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
  EXPECT_FALSE(modReelwise::SetScreenSaverActive(false));
  EXPECT_FALSE(modReelwise::SetScreenSaverActive(true));
  qunsetenv("DBUS_SESSION_BUS_ADDRESS");
  qputenv("XDG_RUNTIME_DIR", "/nonexistent");
  modReelwise::KeepDisplayOn();
  EXPECT_FALSE(modReelwise::SetScreenSaverActive(true));
  qputenv("XDG_RUNTIME_DIR", runtime);
  if (saved.isEmpty()) {
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
  } else {
    qputenv("DBUS_SESSION_BUS_ADDRESS", saved);
  }
}

}  // namespace
