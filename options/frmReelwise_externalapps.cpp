// Running the user's external applications on gSavedItem's file. The command
// line is split into a program and its arguments and run without a shell;
// a program that works on a backup copy ("<BackupFile>") is waited for in the
// status window until "done.flag" appears in gTempFolder, which this program
// writes itself when the process ends or fails to start.
#include "options/OptionsPane.h"

#include "core/ProgramMessage.h"
#include "core/modLaunchDoc.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "options/ExternalAppCommand.h"
#include "options/frmExternalAppStatus.h"
#include "platform/OwnFileWrites.h"
#include "platform/WholeFile.h"
#include "player/clsRWPlayer.h"
#include "ui/clsDialogs.h"
#include "ui/frmGlass.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QWidget>

#include <csignal>
#include <unistd.h>

namespace {

const QString kBackup = QStringLiteral(".RWBAK");
const QString kBreak = QStringLiteral("\r\n\r\n");
const QString kExternalApplication = QStringLiteral("External Application");

QWidget* Owner() { return ProgramMessageOwner() ? ProgramMessageOwner() : QApplication::activeWindow(); }

QString FlagPath() { return gTempFolder + QStringLiteral("done.flag"); }

// Written whole, so the wait never finds a flag half made. One that cannot
// be written is told: the wait then ends only by its Cancel.
void WriteFlag() {
  QString reason;
  if (WriteFileWhole(FlagPath(), "DONE!\n", &reason)) return;
  ShowProgramMessage(QStringLiteral("The external application has ended, but its end could not be noted:") + kBreak +
                         FileNotWrittenText(FlagPath(), reason) + kBreak +
                         QStringLiteral("Cancel the wait to go on."),
                     48, kExternalApplication, Owner());
}

// A program path not starting with "/" lies in the Tools folder.
QString ResolveProgram(const QString& appPath) {
  if (appPath.isEmpty() || appPath.startsWith(QLatin1Char('/'))) return appPath;
  QString folder = gExternalAppHost().toolsFolder;
  if (folder.isEmpty()) folder = QCoreApplication::applicationDirPath() + QStringLiteral("/Tools/");
  return folder + appPath;
}

void ShowProgramNotFound(const QString& program, const QString& reason) {
  QString text = QStringLiteral("The path to the program you are trying to run is not valid:") + kBreak +
                 QLatin1Char('\'') + program + QLatin1Char('\'') + kBreak;
  if (!reason.isEmpty()) text += reason + kBreak;
  text += QStringLiteral("Check the settings via the External Application setup dialog under Tools|Options");
  ShowProgramMessage(text, 48, QStringLiteral("Program not found"), Owner());
}

// A rename that failed; `afterRun` tells whether the program already ran,
// in which case the backup is the copy to look for.
void ShowMoveFailed(const QString& from, const QString& to, bool afterRun = false) {
  const QString tail = afterRun ? QStringLiteral("The original file is kept as '") + from + QStringLiteral("'.")
                                : QStringLiteral("Nothing was run.");
  ShowProgramMessage(QStringLiteral("Could not rename '") + from + QStringLiteral("' to '") + to +
                         QStringLiteral("'.") + kBreak + tail,
                     48, kExternalApplication, Owner());
}

// Moves `from` to `to` in the same folder in one step: a file already at
// `to` is replaced, and a move that fails leaves both as they were.
bool MoveFile(const QString& from, const QString& to) {
  return OwnFileWrites::Rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

struct Launch {
  int16_t index = 0;
  QString program;    // the entry's program, resolved; empty for none
  QString run;        // the program that is run
  QStringList words;  // its arguments: the command line split into words
  QString path;       // gSavedItem's file
  bool backup = false;
  bool usesFile = false;
};

// The item is the one in the inspector's preview; 0 means none is.
bool IsInspected() { return gInspectedItem.SegmentID != 0 && gSavedItem.SegmentID == gInspectedItem.SegmentID; }

// Step 4: the file must be there, or be recovered from its backup.
bool CheckFile(const Launch& launch) {
  if (gSavedItem.FileName.isEmpty()) return false;
  if (gSavedItem.CurrentPath.startsWith(QLatin1Char('['))) {
    ShowOfflineFileMessage(gSavedItem.FileName, gSavedItem.CurrentPath, Owner());
    return false;
  }
  // A drive that does not answer counts as offline: the window never waits on it.
  const std::optional<bool> there = modReelwise::FileThere(launch.path);
  if (!there) {
    ShowOfflineFileMessage(gSavedItem.FileName, gSavedItem.CurrentPath, Owner());
    return false;
  }
  if (*there) return true;
  const QString backup = launch.path + kBackup;
  if (!QFileInfo(backup).isFile()) {
    ShowProgramMessage(QStringLiteral("File doesn't exist!") + kBreak + QLatin1Char('\'') +
                           QDir::toNativeSeparators(launch.path) + QLatin1Char('\'') + kBreak +
                           QStringLiteral("Nothing was run: the file was moved, renamed or deleted outside Reelwise "
                                          "II. If it was moved, Library > Add Files on its new folder finds it again."),
                       48, kExternalApplication, Owner());
    return false;
  }
  if (!MoveFile(backup, launch.path)) {
    ShowMoveFailed(backup, launch.path);
    return false;
  }
  ShowProgramMessage(QStringLiteral("Original file was missing: Recovered from Reelwise's back-up copy."), 64,
                     QString(), Owner());
  return true;
}

// Step 5: the player lets go of the file, which becomes its backup.
bool MakeBackup(const Launch& launch) {
  if (gPlayer && IsInspected()) {
    gPlayer->DestroyWindow();
    gPlayer->CleanUp();
  }
  const QString backup = launch.path + kBackup;
  if (MoveFile(launch.path, backup)) return true;
  ShowMoveFailed(launch.path, backup);
  return false;
}

QString SegmentTags() {
  if (!gLibrary) return QString();
  return gLibrary->GetSegmentTags(gSavedItem.IsFileRow, gSavedItem.FileID, gSavedItem.SegmentID, false, false);
}

ExternalAppCommand::Values PlaceholderValues(const Launch& launch, const QString& newFile) {
  using namespace ExternalAppCommand;
  const bool plain = launch.program.contains(QStringLiteral("FLVTool2"));
  const double start = gSavedItem.SelectionStart;
  const double end = gSavedItem.SelectionEnd;
  const bool needsTags = launch.words.join(QChar()).contains(QStringLiteral("<Tags>"));
  return {
      {QStringLiteral("<ExternalAppPath>"), launch.program},
      {QStringLiteral("<BackupFile>"), launch.path + kBackup},
      {QStringLiteral("<File>"), launch.path},
      {QStringLiteral("<FocusedFile>"), gCurrentItem.CurrentPath + gCurrentItem.FileName},
      {QStringLiteral("<SelectionStart>"), SelectionTime(start, plain)},
      {QStringLiteral("<SelectionEnd>"), SelectionTime(end, plain)},
      {QStringLiteral("<Duration>"), modReelwise::FormatDuration(end - start, true, true)},
      {QStringLiteral("<FilterGraph>"), gTempFolder + QStringLiteral("RWGraph.grf")},
      {QStringLiteral("<AppTemp>"), gTempFolder},
      {QStringLiteral("<NewFile>"), newFile},
      {QStringLiteral("<Tags>"), needsTags ? TagsArgument(SegmentTags()) : QString()},
  };
}

// Step 7: the name for "<NewFile>", possibly empty.
QString AskNewFile() {
  if (!gDialogs) gDialogs = std::make_unique<clsDialogs>();
  gDialogs->strTitle = QStringLiteral("New File");
  gDialogs->strFilter = QStringLiteral("All files (*.*)|*.*");
  gDialogs->strInitialDir = gSavedItem.CurrentPath;
  return gDialogs->strGetSaveFileName();
}

void PrepareProcess(QProcess& process, const QString& program, const QStringList& arguments) {
  process.setProgram(program);
  process.setArguments(arguments);
  process.setWorkingDirectory(gTempFolder);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
}

// A launch that is not waited for: the process runs on its own.
bool StartDetached(const QString& program, const QStringList& arguments) {
  QProcess process;
  PrepareProcess(process, program, arguments);
  if (process.startDetached()) return true;
  ShowProgramNotFound(program, process.errorString());
  return false;
}

// A "<BackupFile>" launch: the flag is written when the process ends, or at
// once when it cannot start, so the wait for it always ends. The process
// leads a process group of its own, so that stopping it stops what it started
// too (a script's converter); null when it did not start.
QProcess* StartWithFlag(const QString& program, const QStringList& arguments) {
  auto* process = new QProcess(qApp);
  PrepareProcess(*process, program, arguments);
  process->setChildProcessModifier([] { ::setpgid(0, 0); });
  QObject::connect(process, &QProcess::finished, process, [process] {
    WriteFlag();
    process->deleteLater();
  });
  process->start();
  if (process->waitForStarted(-1)) return process;
  const QString reason = process->errorString();
  WriteFlag();
  process->deleteLater();
  ShowProgramNotFound(program, reason);
  return nullptr;
}

// Kills the process and its group at once: a killed process writes nothing
// more, so the backup may be moved back safely. Its end writes no flag, which
// a later launch would take for its own.
void StopProcessGroup(const QPointer<QProcess>& process) {
  if (!process || process->state() == QProcess::NotRunning) return;
  QObject::disconnect(process, &QProcess::finished, nullptr, nullptr);
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  const auto id = static_cast<pid_t>(process->processId());
  if (id > 0) ::kill(-id, SIGKILL);
  process->kill();
}

// Step 12: the glass over the main window and the status window until the
// flag appears, or the user or a request to end the program cancels the wait.
void WaitInStatusWindow(QProcess* process) {
  QWidget* mainWindow = ProgramMessageOwner();
  QWidget* focus = mainWindow ? mainWindow->focusWidget() : nullptr;
  ShowGlass(mainWindow);
  {
    frmExternalAppStatus status(mainWindow);
    status.StopProgram = [process = QPointer<QProcess>(process)] { StopProcessGroup(process); };
    status.exec();
  }
  UnloadGlass();
  if (focus) focus->setFocus();
}

// Step 14: a file that is not back is restored from its backup.
void CheckResult(const Launch& launch) {
  if (QFileInfo(launch.path).isFile()) {
    if (IsInspected() && gExternalAppHost().reloadInspector)
      gExternalAppHost().reloadInspector();
    return;
  }
  const QString backup = launch.path + kBackup;
  if (QFileInfo(backup).isFile() && !MoveFile(backup, launch.path)) ShowMoveFailed(backup, launch.path, true);
  ShowProgramMessage(QStringLiteral("Looks like it failed!"), 0, QString(), Owner());
}

// What is run: always the entry's Program, with the command line's words as
// its arguments (a first word "<ExternalAppPath>" stands for the Program
// itself and is no argument). Without a Program, a program written out at
// the start of the command line is run; a first word holding a placeholder
// names none, so a file of the library is never run as a program.
bool ChooseProgram(Launch& launch) {
  if (launch.index == -1) return true;
  if (!launch.program.isEmpty()) {
    if (launch.words.first() == QLatin1String("<ExternalAppPath>")) launch.words.removeFirst();
    launch.run = launch.program;
    return true;
  }
  const QString first = launch.words.value(0);
  static const QRegularExpression placeholder(QStringLiteral("<[A-Za-z]+>"));
  if (!first.isEmpty() && !first.contains(placeholder)) {
    launch.run = first;
    launch.words.removeFirst();
    return true;
  }
  ShowProgramMessage(QStringLiteral("This external application names no program to run.") + kBreak +
                         QStringLiteral("Choose the Program in the External Application setup dialog under "
                                        "Tools|Options; the Command Line gives only its arguments."),
                     48, QStringLiteral("Program not found"), Owner());
  return false;
}

// Steps 1 to 3 and the split: false when the launch ends here.
bool PlanLaunch(int16_t index, Launch& launch) {
  QString command = QStringLiteral("<File>");
  if (index != -1) {
    if (index < 1 || index > kExternalAppCount) return false;
    launch.program = ResolveProgram(gExternalApps[index].AppPath);
    command = gExternalApps[index].CommandLine;
  }
  launch.index = index;
  if (!launch.program.isEmpty() && !QFileInfo(launch.program).isFile()) {
    ShowProgramNotFound(launch.program, QString());
    return false;
  }
  const auto words = ExternalAppCommand::SplitWords(command);
  if (!words || words->isEmpty()) {
    ShowProgramMessage(QStringLiteral("The command line cannot be run:") + kBreak + command + kBreak +
                           (words ? QStringLiteral("It is empty.") : QStringLiteral("A quote is not closed.")),
                       48, kExternalApplication, Owner());
    return false;
  }
  launch.words = *words;
  if (!ChooseProgram(launch)) return false;
  launch.backup = command.contains(QStringLiteral("<BackupFile>"));
  launch.usesFile = launch.backup || command.contains(QStringLiteral("<File>"));
  launch.path = gSavedItem.CurrentPath + gSavedItem.FileName;
  return true;
}

// Steps 7 to 12: expand, start, and wait when the program works on a backup.
bool RunProgram(Launch& launch) {
  QString newFile;
  if (launch.words.join(QChar()).contains(QStringLiteral("<NewFile>"))) newFile = AskNewFile();
  QFile::remove(FlagPath());
  const auto values = PlaceholderValues(launch, newFile);
  QStringList expanded;
  for (const QString& word : launch.words) expanded << ExternalAppCommand::ExpandWord(word, values);
  gExternalAppHost().setMainWindowTag(launch.path);
  if (!launch.backup) return StartDetached(launch.run, expanded);
  QProcess* process = StartWithFlag(launch.run, expanded);
  if (!process) return false;
  WaitInStatusWindow(process);
  return true;
}

}  // namespace

void OptionsPane::LaunchExternalApp(int16_t& Index) {
  Launch launch;
  if (!PlanLaunch(Index, launch)) return;
  if (launch.usesFile && !CheckFile(launch)) return;
  if (launch.backup && !MakeBackup(launch)) return;
  if (Index == -1) {
    modLaunchDoc::LaunchDocument(launch.path);
    return;
  }
  const bool started = RunProgram(launch);
  if (launch.backup && !started) {
    const QString backup = launch.path + kBackup;
    if (!MoveFile(backup, launch.path)) ShowMoveFailed(backup, launch.path);
    return;
  }
  if (started && launch.usesFile) CheckResult(launch);
}
