// The upward calls of the program and who answers them.
#include "app/UpwardCalls.h"

#include "app/modReelwise_startup.h"
#include "carousel/cCarousel.h"
#include "carousel/frmTagCloud.h"
#include "core/FaultSentences.h"
#include "core/modShellNotifs.h"
#include "devices/modStorageDevices.h"
#include "library/LibraryLayout.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "options/ExternalAppCommand.h"
#include "options/frmProgramOptions.h"
#include "platform/ErrorGuard.h"
#include "platform/InputGate.h"
#include "platform/LongWork.h"
#include "platform/MessageBoxSeam.h"
#include "platform/SqlConnection.h"
#include "ui/cwProgress.h"
#include "player/frmFilePreview.h"
#include "player/modMainPlayer.h"
#include "ui/ISubclass.h"
#include "ui/frmMsgBox.h"

#include <QApplication>

namespace modReelwise {

namespace {

// A device came or went: the device table, the tree's device nodes and the
// view are rebuilt.
bool RefreshDevices() {
  if (!gLibrary) return false;
  modStorageDevices::EnumStorageDevices();
  gLibrary->LoadStorageDeviceNodes();
  gLibrary->RefreshResults(true);
  return true;
}

IDeviceTableHost* OpenLibrary() { return gLibrary.get(); }

OsdPalette CarouselOsdPalette() {
  return gCarousel ? OsdPalette{gCarousel->lMenuColour2, gCarousel->lMenuColour3} : modMainPlayer::DefaultOsdPalette();
}

// The full-screen player's run: the main window's timers and the carousel's music.
modMainPlayer::PlayerHooks PlayerAnswers() {
  return {.SetPositionTimer = [](bool on) { if (gMainForm) gMainForm->SetPositionTimer(on); },
          .RestartFade = [] { if (gMainForm) gMainForm->RestartFade(); },
          .StopFade = [] { if (gMainForm) gMainForm->StopFade(); },
          .SetFadeInterval = [](int ms) { if (gMainForm) gMainForm->SetFadeInterval(ms); },
          .CarouselMusic = [](bool on) { if (gCarousel) gCarousel->PlayBackgroundSFX(on); },
          .Quit = [] { if (gMainForm) gMainForm->MainToolbarHandler(QStringLiteral("mnuLibraryQuitRW2")); }};
}

// The story board: the main window's Tag, options and focus, and the carousel's busy mark.
StoryBoardHooks StoryBoardAnswers() {
  return {.SetMainTag = [](const QString& tag) { if (gMainForm) gMainForm->SetTag(tag); },
          .ShowOptions = [] { if (gMainForm) gMainForm->ShowOptions(3); },
          .CarouselBusy = [](int percent) {
            if (gCarousel) gCarousel->Broadcast(QStringLiteral("BUSY"), percent, percent);
          },
          .RestoreFocus = [] { if (gMainForm) gMainForm->RestoreFocus(); }};
}

// The options dialog: the main window's commands and menus, the carousel's settings.
frmProgramOptions::MainWindowHooks OptionsAnswers() {
  return {.MainToolbarHandler = [](const QString& key) { if (gMainForm) gMainForm->MainToolbarHandler(key); },
          .SetDeleteMenu = [](bool toRecycleBin) { if (gMainForm) gMainForm->SetDeleteMenuCaption(toRecycleBin); },
          .CursorColourChanged = [](COLORREF colour) { if (gMainForm) gMainForm->FollowCursorColour(colour); },
          .CarouselEntries = [] { return gCarousel ? gCarousel->CarouselEntries() : int16_t{11}; },
          .SetCarouselEntries = [](int16_t entries) {
            if (!gCarousel) return;
            gCarousel->SetCarouselEntries(entries);
            gCarousel->SetCarouselIndex(gBrowserIndex, false, true);
          },
          .ScrollIncrements = [] { return gCarousel ? gCarousel->ScrollIncrements() : int16_t{10}; },
          .SetScrollIncrements = [](int16_t increments) {
            if (gCarousel) gCarousel->SetScrollIncrements(increments);
          }};
}

// The external applications' page: the main window's menu of programs.
frmProgramOptions::ExternalAppHooks ExternalAppPageAnswers() {
  return {.InitExternalAppMenus = [](const QString& file, int16_t context, bool toolsOnly) {
            if (gMainForm) gMainForm->InitExternalAppMenus(file, context, toolsOnly);
          },
          .SetAppCaption = [](int n, const QString& caption) { if (gMainForm) gMainForm->SetAppCaption(n, caption); }};
}

// The launcher keeps the file's path in the main window's Tag and reloads the
// inspector after a program has run; without a main window the defaults do.
void ConnectExternalAppLauncher() {
  ExternalAppHost& launcher = gExternalAppHost();
  ResetExternalAppHost();
  const auto keepTag = launcher.setMainWindowTag;
  const auto keptTag = launcher.mainWindowTag;
  launcher.setMainWindowTag = [keepTag](const QString& tag) { gMainForm ? gMainForm->SetTag(tag) : keepTag(tag); };
  launcher.mainWindowTag = [keptTag] { return gMainForm ? gMainForm->Tag() : keptTag(); };
  launcher.reloadInspector = [] { if (gMainForm) gMainForm->ReloadInspector(); };
}

// A library told damaged is closed from the event loop once the command that
// met the damage has returned (its steps may still hold the connection) and
// no work holds the input gate (the add-files run that met it has ended).
void CloseDamagedLibrary(const QString& file) {
  InputGate::WhenOpen([file] { if (gLibrary) gLibrary->CloseDamagedLibrary(file); });
}

// The tag cloud: the main window's dispatcher and library tree.
TagCloudHooks TagCloudAnswers() {
  return {.MainToolbarHandler = [](const QString& command) { if (gMainForm) gMainForm->MainToolbarHandler(command); },
          .SetTreeViewFirstVisibleNode = [](ctl::TreeView& tree, ctl::Node* node) {
            if (gMainForm) gMainForm->RevealTreeNode(tree, node);
          }};
}

}  // namespace

void ConnectUpwardCalls() {
  // platform's message-box road asks for every box; ui's frmMsgBox answers.
  frmMsgBox::InstallMessageBoxHandler();
  // platform's error guard asks for the program's words for a failure; core's fault sentences answer.
  FaultSentences::Install();
  // platform's error guard tells a damaged library file; the library closes it.
  ErrorGuard::SetDamageTold(CloseDamagedLibrary);
  // platform's connection asks what a file lacks of the layout when a statement does not compile; the library answers.
  SqlConnection::SetLayoutSurvey(LibraryLayout::Missing);
  // core's device watcher asks for the refresh after a device change; devices and the library answer.
  modShellNotifs::SetDeviceRefresh(RefreshDevices);
  // core's device watcher asks to post its message to the main window; ui's subclasser answers.
  modShellNotifs::SetMessagePoster(cSubclasser::PostWindowMessage);
  // core's device watcher asks the full-screen player to stop; the player answers.
  modShellNotifs::SetPlayerCommand(modMainPlayer::ExecutePlayerCommand);
  // devices' table operations ask for the open library; the library answers as IDeviceTableHost.
  modStorageDevices::SetDeviceTableHost(OpenLibrary);
  // player's full-screen run asks for the timers and the music; the main window and the carousel answer.
  modMainPlayer::SetPlayerHooks(PlayerAnswers());
  // player's on-screen display asks for its colours; the carousel answers, else the scheme.
  modMainPlayer::SetOsdPaletteSource(CarouselOsdPalette);
  // player's story board asks for the Tag, options, focus and busy mark; the main window and the carousel answer.
  SetStoryBoardHooks(StoryBoardAnswers());
  // options' colour scheme asks which window to hold while it recolours; the main window.
  frmProgramOptions::SchemeWindow = []() -> QWidget* { return gMainForm; };
  // options' colour scheme asks for the repaint in the new colours; the main window answers.
  frmProgramOptions::RepaintInScheme = [] { if (gMainForm) gMainForm->RepaintInScheme(); };
  // options' dialog asks for commands, menus and carousel settings; the main window and the carousel answer.
  frmProgramOptions::Main = OptionsAnswers();
  // options' external applications page asks for the program menus; the main window answers.
  frmProgramOptions::ExternalApps = ExternalAppPageAnswers();
  // options' launcher asks for the Tag and an inspector reload; the main window answers.
  ConnectExternalAppLauncher();
  // carousel's tag cloud asks for commands and the tree; the main window answers.
  frmTagCloud::SetHooks(TagCloudAnswers());
  // mainwindow's unload asks for the program's shut-down; start-up answers.
  frmReelwise::ShutDownHook = ShutDown;
  // platform's long work asks to show that work without steps goes on; the main window's progress strip pulses.
  LongWork::SetPulse([](int64_t elapsedMs) {
    if (gMainForm && gMainForm->progProgress) gMainForm->progProgress->Pulse(elapsedMs);
  });
  // The host interfaces, whose answers the main window gives through its
  // MainWindowHosts and installs itself as it is made (frmReelwise.cpp,
  // frmReelwise_design.cpp, frmReelwise_init.cpp):
  // - library asks the windows to show it through ILibraryView (gLibrary->SetView);
  // - ui's window manager asks the main window through IWindowMgrHost (gWindowMgr);
  // - browser, inspector and import panes ask through IBrowserHost, IInspectorHost, IImportHost;
  // - carousel asks through ICarouselHost (gCarousel).
}

void DisconnectUpwardCalls() {
  SetMessageBoxHandler(nullptr);
  LongWork::SetPulse(nullptr);
  ErrorGuard::SetFaultWords(nullptr);
  ErrorGuard::SetDamageTold(nullptr);
  SqlConnection::SetLayoutSurvey(nullptr);
  modShellNotifs::SetDeviceRefresh(nullptr);
  modShellNotifs::SetMessagePoster(nullptr);
  modShellNotifs::SetPlayerCommand(nullptr);
  modStorageDevices::SetDeviceTableHost(nullptr);
  modMainPlayer::SetPlayerHooks({});
  modMainPlayer::SetOsdPaletteSource({});
  SetStoryBoardHooks({});
  frmProgramOptions::SchemeWindow = nullptr;
  frmProgramOptions::RepaintInScheme = nullptr;
  frmProgramOptions::Main = {};
  frmProgramOptions::ExternalApps = {};
  ResetExternalAppHost();
  frmTagCloud::SetHooks({});
  frmReelwise::ShutDownHook = nullptr;
}

}  // namespace modReelwise
