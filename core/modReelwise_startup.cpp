// Start-up and shut-down: the run-time frame is built in a fixed order before
// the main window runs the event loop, and torn down when it unloads.
#include "core/modReelwise.h"

#include "carousel/cCarousel.h"
#include "core/modRegistry.h"
#include "core/modShellNotifs.h"
#include "library/LibraryFile.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/MessageBoxSeam.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "platform/Twips.h"
#include "player/clsRWPlayer.h"
#include "resources/GlyphFont.h"
#include "resources/Resources.h"
#include "ui/CairoObject.h"
#include "ui/ProgramFonts.h"
#include "ui/SchemeColours.h"
#include "ui/cBusyIndicator.h"
#include "ui/cWindowMgr.h"
#include "ui/clsDialogs.h"
#include "ui/frmMsgBox.h"
#include "ui/modCairo.h"
#include "ui/modTvwBackColor.h"

#include <QApplication>
#include <QSaveFile>

#include <exception>
#include <functional>

bool gAppReady = false;
QString gLibraryToOpen;
QString gViewSpec;
bool gSaveWorkspace = false;
QString gPlaceholderLibraryPath;
int32_t gTwipsPerPixelX = 15;
int32_t gTwipsPerPixelY = 15;
int32_t gTileWidthTwips = 104 * 15;
int32_t gTileHeightTwips = 79 * 15;
bool gAutoRefresh = false;
bool gTagCloudShown = false;
bool gRandomPlayback = false;
QString gResultKind = QStringLiteral("File");
QString gOnlineFilter;
int32_t gPlayStartIndex = 0;
QString gSQL;
ctl::Node* gPendingRenameNode = nullptr;
std::unique_ptr<KeyedCollection<QString>> gScanQueue;
std::array<ListColumn, 8> gListColumns;
QCursor gHandCursor;
QByteArray gSoundClick;
QByteArray gSoundScrape;
QByteArray gSoundWhip;
QByteArray gSoundBeep;

namespace modReelwise {

namespace {

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
  gAutoRefresh = false;
  gBrowserMode = 1;
  gResultKind = QStringLiteral("File");
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

void ReportStartUpFailure(int32_t number, const QString& description) {
  SystemMessageBox(QStringLiteral("Reelwise II failed to start-up due to an unexpected error\r\n\r\n[%1] %2\r\n\r\n"
                                  "If this problem persists, please report it at the forum")
                       .arg(number)
                       .arg(description),
                   vbCritical, QStringLiteral("Error While Initialising"));
}

void StartUp(const QStringList& commandLine) {
  ComputeProgramFolders();
  CreateProgramFolders();
  // Fonts, glyphs, colours and the program's own message box before any window.
  RegisterProgramFonts();
  RegisterGlyphFont(gTempFolder);
  LoadSchemeColours();
  frmMsgBox::InstallMessageBoxHandler();
  ReadScreenMetrics();
  InitCommonControlsVB();
  gBusyIndicator = std::make_unique<cBusyIndicator>();
  gScanQueue = std::make_unique<KeyedCollection<QString>>();
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
  gPlaceholderLibraryPath = ClaimScratchLibrary();
  ExtractTemplateLibrary(gPlaceholderLibraryPath);
  gLibrary = std::make_unique<clsRWLibrary>();
  gMainForm = new frmReelwise();
  gMainForm->Load();
  gMainForm->repaint();
  SetTreeViewBackColour(gMainForm->tvwLibrary);
  gDialogs = std::make_unique<clsDialogs>();
  gDialogs->lngHWnd = gMainForm;
  RestoreWorkspace();
  ParseCommandLine(commandLine);
  gMainForm->show();
  gMainForm->repaint();
  OpenFirstLibrary();
  gShowTipOfTheDay = modRegistry::GetSettingBool(kRegOther, QStringLiteral("TipOfTheDay"));
  if (gShowTipOfTheDay) ShowTipOfTheDay();
}

// Runs one step of the shut-down; a failure is reported and the next step runs.
void ShutDownStep(const std::function<void()>& step) {
  try {
    step();
  } catch (const RWError& error) {
    SystemMessageBox(QStringLiteral("%1 - %2").arg(error.Number()).arg(error.Description()), vbExclamation,
                     QStringLiteral("Shutdown Error"));
  } catch (const std::exception& error) {
    SystemMessageBox(QStringLiteral("0 - %1").arg(QString::fromLocal8Bit(error.what())), vbExclamation,
                     QStringLiteral("Shutdown Error"));
  }
}

void ReleaseSharedObjects() {
  ShutDownStep([] { ShowBusyIndicator(true); });
  ShutDownStep([] {
    gDialogs.reset();
    gBusyIndicator.reset();
    gScanQueue.reset();
  });
  ShutDownStep([] {
    if (gLibrary && modRegistry::GetSettingLong(kRegOther, QStringLiteral("CompactOnExit")) == 1) {
      gLibrary->CompactDatabase();
    }
  });
  ShutDownStep([] {
    const QString workspace = gSaveWorkspace && gLibrary ? gLibrary->LibraryPath + QLatin1Char(' ') + gViewSpec : QString();
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
  try {
    StartUp(commandLine);
    gAppReady = true;
    return true;
  } catch (const RWError& error) {
    ReportStartUpFailure(error.Number(), error.Description());
  } catch (const std::exception& error) {
    ReportStartUpFailure(0, QString::fromLocal8Bit(error.what()));
  }
  ShutDown(QStringLiteral("Dummy"));
  return false;
}

void ShutDown(const QString& formName) {
  if (formName != QLatin1String("Dummy")) ReleaseSharedObjects();
  // A failed start leaves nothing behind either: the scratch library goes too.
  ReleaseLibraryAndPlayer();
  ShutDownStep([&] { UnloadOtherForms(formName); });
  ShutDownStep([] { modCairo::GetCairo()->ImageList().Clear(); });
}

void ExtractTemplateLibrary(const QString& path) {
  const QByteArray bytes = LoadResData(QString::fromLatin1(kEmptyLibraryResourceName),
                                       QString::fromLatin1(kEmptyLibraryResourceType));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    throw RWError(kErrFileAccess, QStringLiteral("Path/File access error: %1").arg(path),
                  QStringLiteral("modReelwise"));
  }
}

// The control layer needs no set-up of the desktop's controls.
void InitCommonControlsVB() {}

}  // namespace modReelwise
