// Start-up and shut-down: the run-time frame is built in a fixed order before
// the main window runs the event loop, and torn down when it unloads.
#include "app/modReelwise_startup.h"

#include "app/UpwardCalls.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/cCarousel.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "core/modShellNotifs.h"
#include "library/InterruptedCopies.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/ErrorGuard.h"
#include "platform/InputGate.h"
#include "platform/QueuedClose.h"
#include "platform/MessageBoxSeam.h"
#include "platform/QuitRequest.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "platform/TerminationSignals.h"
#include "platform/Twips.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"
#include "resources/GlyphFont.h"
#include "resources/Resources.h"
#include "ui/CairoObject.h"
#include "ui/ISubclass.h"
#include "ui/ProgramFonts.h"
#include "ui/SchemeColours.h"
#include "ui/WorkArea.h"
#include "ui/cBusyIndicator.h"
#include "ui/cWindowMgr.h"
#include "ui/clsDialogs.h"
#include "ui/frmMsgBox.h"
#include "ui/modCairo.h"
#include "ui/modTvwBackColor.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTimer>
#include <QWindow>

#include <exception>
#include <functional>
#include <memory>

namespace modReelwise {

namespace {

std::unique_ptr<TerminationSignals> gTerminationSignals;
// A termination signal came: the program ends as soon as long work has
// stopped and the event loops have unwound.
bool gEndRequested = false;

// Every modal window is closed as its cancel would close it, so that the
// code that waits for it goes on; a window that will not close is hidden.
void CloseModalWindows() {
  frmMsgBox::CloseOtherMessageBoxes();
  for (int tries = 0; tries < 16; ++tries) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) break;
    if (!modal->close()) modal->hide();
  }
}

// The event loop is ended only once long work (adding files, a full-screen
// run, a story board, a library open) has stopped at its next file: ended at
// once, every wait inside that work would return at once.
void EndOnSignal(int) {
  gEndRequested = true;
  CloseModalWindows();
  QuitRequest::Request([] { QCoreApplication::exit(0); });
}

// A request to close the program found waiting in the window system's
// queue during long work ends the program as a signal does, but from the
// event loop once the work is over: the work is under way when it is found.
void EndOnQueuedClose() {
  QuitRequest::Request([] {
    QTimer::singleShot(0, [] {
      gEndRequested = true;
      CloseModalWindows();
      QCoreApplication::exit(0);
    });
  });
}

void ReadScreenMetrics() {
  gTwipsPerPixelX = static_cast<int32_t>(RoundHalfEven(TwipsPerPixelX()));
  gTwipsPerPixelY = static_cast<int32_t>(RoundHalfEven(TwipsPerPixelY()));
  gTileWidthTwips = 104 * gTwipsPerPixelX;
  gTileHeightTwips = 79 * gTwipsPerPixelY;
}

void ResetProgramState() {
  gLibraryToOpen.clear();
  gViewSpec.clear();
  gSaveWorkspace = false;
  gTVOutMode = false;
  gTagCloudShown = false;
  gSelectedById.Reset();
  gResults.assign(1, ResultItem{});
  // A start begins with no current, saved, inspected or hovered item, as a
  // new process does; an item of an earlier run would name a file of another
  // library.
  gCurrentItem = ResultItem{};
  gSavedItem = ResultItem{};
  gInspectedItem = ResultItem{};
  gHoverItem = ResultItem{};
  gAutoRefresh = false;
  gBrowserMode = 1;
  gResultKind = ResultScope::File;
  for (size_t k = 0; k < gListColumns.size(); ++k) gListColumns[k] = {static_cast<int16_t>(k + 3), 0};
}

void LoadSounds() {
  gSoundClick = LoadResData(QStringLiteral("CLICK"), kResSound);
  gSoundScrape = LoadResData(QStringLiteral("SCRAPE"), kResSound);
  gSoundWhip = LoadResData(QStringLiteral("WHIP"), kResSound);
  gSoundBeep = LoadResData(QStringLiteral("BEEP"), kResSound);
}

// The saved workspace names the library to open and the view to replay; a
// text without a library name leaves the scratch library.
void RestoreWorkspace() {
  const QString saved = modRegistry::GetSettingText(kRegOther, QStringLiteral("SaveWorkspace"));
  gLibraryToOpen = gPlaceholderLibraryPath;
  if (saved.isEmpty()) return;
  gMainForm->MainToolbarHandler(QStringLiteral("mnuLibrarySaveWorkspace"));
  const SavedWorkspace workspace = SplitSavedWorkspace(saved);
  if (workspace.libraryPath.isEmpty()) return;
  gLibraryToOpen = workspace.libraryPath;
  gViewSpec = workspace.viewSpec;
}

void OpenFirstLibrary() {
  if (gLibraryToOpen != gPlaceholderLibraryPath) {
    gMainForm->picWelcomeHolder->SetVisible(false);
    gLibrary->OpenLibrary(gLibraryToOpen, true);
    // A library that could not be opened leaves the scratch library.
    if (!gLibrary->Unsaved()) return;
  }
  gViewSpec.clear();
  gMainForm->picWelcomeHolder->SetVisible(true);
  gLibrary->ShowSearchResults();
  if (gTVOutMode) {
    gCarousel->AppStartUp(true, false);
    gCarousel->AppStartUp(false, true);
  }
}

// A failed start ends in one critical message of the system's box.
ErrorReport StartUpFailure() {
  return {.title = QStringLiteral("Error While Initialising"),
          .style = vbCritical,
          .text =
              [](const RWError& error) {
                return QStringLiteral("Reelwise II failed to start-up due to an unexpected error\r\n\r\n[%1] %2\r\n\r\n"
                                      "If this problem persists, please report it at the forum")
                    .arg(error.Number())
                    .arg(error.Description());
              },
          .systemBox = true};
}

const QString kFoldersTitle = QStringLiteral("Reelwise II Folders");

// The glyph font goes where the program keeps its temporary files. One that
// cannot be written there (a full disk) leaves the program running without
// its glyphs, told in a sentence of its own once the program's box can
// show; empty when the font is in place.
QString GlyphFontProblem(const QString& folder) {
  try {
    RegisterGlyphFont(folder);
    return QString();
  } catch (const RWError& error) {
    if (error.Number() != kErrFileAccess) throw;
    return QStringLiteral("Reelwise II could not write the font of its symbols to\r\n%1\r\n\r\n%2\r\n\r\nIt runs "
                          "on, but the symbols on some of its buttons, lists and tiles show as blanks. Make room on "
                          "that disk (or let that folder be written), then start Reelwise II again.")
        .arg(QDir::toNativeSeparators(error.File()), error.Description());
  }
}

// The gate held from the window's showing to the end of the first open.
std::unique_ptr<InputGate::Hold>& FirstOpenHold() {
  static std::unique_ptr<InputGate::Hold> hold;
  return hold;
}

// The first library opens from the event loop, once the window system has
// put the main window on the screen: it maps and exposes a window only
// through the event loop, and an open that runs long (an upgrade, the look
// after another program's edit) paints its progress in the window. Start-up
// itself turns no event loop, so nothing of the program's runs inside it.
// Until the open has run, the gate is held: keys and clicks are kept for
// after it, and no command starts on the scratch library. A window manager
// that never maps the window is not waited for past kShowWaitMs. The program
// is ready (gAppReady) once the open and the tip of the day are over, as
// when both ran inside start-up.
constexpr int kShowWaitMs = 1000;
constexpr int kShowLookMs = 10;

void FinishStartUp() {
  FirstOpenHold().reset();
  const bool opened = ErrorGuard(StartUpFailure()).Run([] {
    gMainForm->repaint();
    OpenFirstLibrary();
    gShowTipOfTheDay = modRegistry::GetSettingBool(kRegOther, QStringLiteral("TipOfTheDay"));
    if (gShowTipOfTheDay) ShowTipOfTheDay();
  });
  if (opened) {
    gAppReady = true;
    return;
  }
  ShutDown(QStringLiteral("Dummy"));
  QCoreApplication::exit(EXIT_FAILURE);
}

void OpenFirstLibraryWhenShown() {
  FirstOpenHold() = std::make_unique<InputGate::Hold>();
  auto* look = new QTimer(gMainForm);
  look->setInterval(kShowLookMs);
  QObject::connect(look, &QTimer::timeout, look, [look, deadline = QDeadlineTimer(kShowWaitMs)] {
    const QWindow* window = gMainForm->windowHandle();
    if (window && !window->isExposed() && !deadline.hasExpired()) return;
    look->stop();
    look->deleteLater();
    FinishStartUp();
  });
  look->start();
}

// False when the start cannot go on, having said why.
bool StartUp(const QStringList& commandLine) {
  ComputeProgramFolders();
  // A folder of the program's that cannot be made or written is told in a
  // titled message of its own, not as a fault of the program; without any
  // folder for its temporary files it cannot start.
  const FolderProblems folders = CreateProgramFolders();
  if (folders.tempFolderMissing) {
    SystemMessageBox(FolderProblemsText(folders), vbCritical, kFoldersTitle);
    return false;
  }
  // Fonts, glyphs, colours and the program's own message box before any
  // window; the box is the first of the upward calls connected here.
  RegisterProgramFonts();
  const QString glyphs = GlyphFontProblem(gTempFolder);
  LoadSchemeColours();
  ConnectUpwardCalls();
  if (!folders.reasons.isEmpty()) ShowProgramMessage(FolderProblemsText(folders), vbExclamation, kFoldersTitle);
  if (!glyphs.isEmpty()) ShowProgramMessage(glyphs, vbExclamation, QStringLiteral("Reelwise II Symbols"));
  ReadScreenMetrics();
  WorkArea::KeepEveryWindowInside();
  InitCommonControlsVB();
  gBusyIndicator = std::make_unique<cBusyIndicator>();
  LoadExternalApps();
  modRegistry::EnsureDefaultSettings();
  modRegistry::ReadSettingsMirrors();
  ResetProgramState();
  KeepDisplayOn();
  SetScreenSaverActive(false);
  gPlayer = std::make_unique<clsRWPlayer>();
  gPlayer->StretchToScreen = modRegistry::GetSettingBool(kRegOther, QStringLiteral("StretchToScreen"));
  gHandCursor = LoadResCursor(QStringLiteral("HAND_POINTER"));
  LoadSounds();
  RemoveInterruptedCopies();
  gPlaceholderLibraryPath = ClaimScratchLibrary();
  ExtractTemplateLibrary(gPlaceholderLibraryPath);
  gLibrary = std::make_unique<clsRWLibrary>();
  gMainForm = new frmReelwise();
  gMainForm->Load();
  gMainForm->repaint();
  SetTreeViewBackColour(gMainForm->Tree().tvwLibrary);
  gDialogs = std::make_unique<clsDialogs>();
  gDialogs->lngHWnd = gMainForm;
  RestoreWorkspace();
  ParseCommandLine(commandLine);
  gMainForm->show();
  gMainForm->repaint();
  QueuedClose::Set(gMainForm, EndOnQueuedClose);
  OpenFirstLibraryWhenShown();
  return true;
}

// Runs one step of the shut-down; a failure is reported as "number -
// description" in the system's box and the next step runs.
void ShutDownStep(const std::function<void()>& step) {
  ErrorGuard({.title = QStringLiteral("Shutdown Error"),
              .text = ErrorGuard::Numbered(QStringLiteral(" - ")),
              .systemBox = true})
      .Run(step);
}

// `unopened`: the run ends before its first open, whose library the
// workspace then names, as the next start is to open it.
void ReleaseSharedObjects(bool unopened) {
  ShutDownStep([] {
    if (gMainForm) gMainForm->ShowBusyIndicator(true);
  });
  ShutDownStep([] {
    gDialogs.reset();
    gBusyIndicator.reset();
  });
  ShutDownStep([] {
    if (gLibrary && modRegistry::GetSettingLong(kRegOther, QStringLiteral("CompactOnExit")) == 1) {
      gLibrary->CompactDatabase();
    }
  });
  ShutDownStep([unopened] {
    const QString library = unopened ? gLibraryToOpen : gLibrary ? gLibrary->LibraryPath : QString();
    const QString workspace = gSaveWorkspace && !library.isEmpty() ? library + QLatin1Char(' ') + gViewSpec : QString();
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("SaveWorkspace"), workspace);
  });
  ShutDownStep([] {
    gWindowMgr.reset();
    gSelectedById.Reset();
    gResults.clear();
  });
  ShutDownStep([] { modShellNotifs::UnregisterShellNotify(); });
}

// The library is closed before its scratch file and journal are deleted.
void ReleaseLibraryAndPlayer() {
  ShutDownStep([] { gLibrary.reset(); });
  ShutDownStep([] { ReleaseScratchLibrary(); });
  ShutDownStep([] {
    if (gPlayer) gPlayer->CleanUp();
    gPlayer.reset();
    gCarousel.reset();
  });
  ShutDownStep([] { SetScreenSaverActive(true); });
}

// Every window of the program but the one named.
void UnloadOtherForms(const QString& formName) {
  frmMsgBox::CloseOtherMessageBoxes();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    const QString name = window->objectName();
    // Message boxes release themselves once their caller has its answer.
    if (!name.startsWith(QLatin1String("frm")) || name == formName || name == QLatin1String("frmMsgBox")) continue;
    if (window == gMainForm) gMainForm = nullptr;
    window->hide();
    window->deleteLater();
  }
}

}  // namespace

bool Main(const QStringList& commandLine) {
  gAppReady = false;
  gEndRequested = false;
  QuitRequest::Reset();
  gTerminationSignals = std::make_unique<TerminationSignals>(EndOnSignal);
  bool started = false;
  if (ErrorGuard(StartUpFailure()).Run([&] { started = StartUp(commandLine); }) && started) return true;
  ShutDown(QStringLiteral("Dummy"));
  return false;
}

bool FirstOpenPending() { return FirstOpenHold() != nullptr; }

int Run() {
  const int code = gEndRequested ? 0 : QApplication::exec();
  if (gMainForm) gMainForm->CloseWithoutQuestions();
  return code;
}

void ShutDown(const QString& formName) {
  gTerminationSignals.reset();
  const bool unopened = FirstOpenPending();
  FirstOpenHold().reset();
  if (formName != QLatin1String("Dummy")) ReleaseSharedObjects(unopened);
  // A failed start leaves nothing behind either: the scratch library goes too.
  ReleaseLibraryAndPlayer();
  ShutDownStep([&] { UnloadOtherForms(formName); });
  ShutDownStep([] { modCairo::GetCairo()->ImageList().Clear(); });
  // Settings changed while another process held the store are written now.
  ShutDownStep([] { modRegistry::WritePendingSettings(); });
  // Last, so that the steps before may still report in the program's box.
  DisconnectUpwardCalls();
}


}  // namespace modReelwise
