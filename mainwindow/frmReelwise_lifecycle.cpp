// The main window's own events: closing and shutting down, resizing,
// activation and its window messages.
#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "browser/cToolTipHost.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "core/modShellNotifs.h"
#include "devices/modStorageDevices.h"
#include "import/ImportPane.h"
#include "inspector/InspectorPane.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/InputGate.h"
#include "platform/QuitRequest.h"
#include "platform/RWError.h"
#include "platform/ShowCursor.h"
#include "platform/controls/TimerControl.h"
#include "platform/controls/VbInput.h"
#include "player/clsRWPlayer.h"
#include "player/frmDSSink.h"
#include "player/modMainPlayer.h"
#include "ui/cFlatControl.h"
#include "ui/cMDISplit.h"
#include "ui/cMouseTrack.h"
#include "ui/cWindowMgr.h"
#include "ui/cwProgress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace {

// The messages the main window handles itself, in the order they are attached.
constexpr int32_t kSubclassedMessages[] = {WM_GETMINMAXINFO, WM_SYSCOMMAND, WM_EXITSIZEMOVE,
                                           WM_MOVING,        WM_MOUSEWHEEL, kShellNotifyMessage};

}  // namespace

// While work holds the input gate (the add-files run, the full-screen run)
// the window takes no command, but its close box and Ctrl+Q still ask it to
// close: the work then stops at its next step and the window closes after.
void frmReelwise::ConnectInputGate() {
  InputGate::PassesAlways(tbControlBox);
  InputGate::SetCloseRequest([window = QPointer<frmReelwise>(this)] {
    if (window) window->close();
  });
}

void frmReelwise::SubclassMessages(bool attach) {
  for (int32_t message : kSubclassedMessages) {
    if (attach) {
      gSubclasser.AttachWindowMessage(this, this, message);
    } else {
      gSubclasser.DetachWindowMessage(this, this, message);
    }
  }
}

int32_t frmReelwise::ISubclass_MsgResponse() {
  switch (gSubclasser.CurrentWindowMessage()) {
    case WM_GETMINMAXINFO:
      m_MsgResponse = 0;
      break;
    case WM_SYSCOMMAND:
    case WM_MOUSEWHEEL:
    case WM_MOVING:
    case WM_EXITSIZEMOVE:
    case kShellNotifyMessage:
      m_MsgResponse = 1;
      break;
    default:
      break;
  }
  return m_MsgResponse;
}

intptr_t frmReelwise::ISubclass_WindowProc(QWidget*, int32_t iMsg, intptr_t wParam, intptr_t lParam) {
  ErrorGuard().Run([&] {
    switch (iMsg) {
      case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {m_MinTrackWidth, m_MinTrackHeight};
        break;
      case WM_SYSCOMMAND:
        OnSystemCommand(wParam);
        break;
      case WM_MOUSEWHEEL:
        // The keys in the low word; the notch, x and y are signed (a screen
        // left of or above the primary one has negative coordinates).
        Results().OnMouseWheel(static_cast<int32_t>(wParam & 0xFFFF), HighWord(wParam), LowWord(lParam),
                               HighWord(lParam));
        break;
      case WM_MOVING:
        // Re-seats the preview's video window on the moved window.
        if (gPlayer) gPlayer->SetOwner(gPlayer->Owner());
        break;
      case WM_EXITSIZEMOVE:
        if (gWindowMgr && gWindowMgr->WindowState() == 0 && gWindowMode == 1 && !m_SwitchingMode) {
          gWindowMgr->SetLibraryModeRect();
        }
        break;
      case kShellNotifyMessage:
        modShellNotifs::ShellNotify_OnMessage(wParam, lParam);
        break;
      default:
        break;
    }
  });
  return 0;
}

// The system menu's own items: 1 restores, 2 maximises (in compact mode the
// preview goes full screen instead). Minimising is left to the desktop. A
// minimised window comes back first; whether the window system knows it as
// maximised is the window manager's to say.
void frmReelwise::OnSystemCommand(intptr_t command) {
  if (command != 1 && command != 2) return;
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  if (!gWindowMgr) return;
  if (command == 1) {
    gWindowMgr->RestoreWindow();
  } else if (gWindowMode != 1) {
    picCaption_DblClick();
  } else {
    gWindowMgr->MaximiseWindow();
  }
}

void frmReelwise::keyPressEvent(QKeyEvent* event) {
  const int code = ctl::VbKeyCode(event);
  const int shift = ctl::VbShift(event->modifiers());
  ErrorGuard().Run([&] { Form_KeyDown(code, shift); });
  QWidget::keyPressEvent(event);
}

void frmReelwise::Form_KeyDown(int KeyCode, int) {
  if (gWindowMode == 1 || !gPlayer) return;
  InspectorPane& inspector = Inspector();
  const auto press = [&inspector](int button) { inspector.picMediaControl_MouseDown(button, 1, 0, 0, 0); };
  // The top row's 1 to 3 size the window as the keypad's do.
  const int key = ctl::AsKeypadDigit(KeyCode);
  switch (key) {
    case ctl::vbKeyReturn:
    case ctl::vbKeySpace:
      press(gPlayer->PlayState() == 1 ? 3 : 14);
      break;
    case ctl::vbKeyEscape:
      if (gPlayer->FullScreen()) {
        gPlayer->SetFullScreen(false);
        // The caption's double-click stopped the transport bar's timer.
        Results().Timer1->SetEnabled(true);
      } else {
        SetWindowMode(QStringLiteral("LIBRARY"));
      }
      break;
    case 97:
    case 98:
    case 99:
      if (gWindowMgr) gWindowMgr->InitialiseCompactWindow(key - ctl::vbKeyNumpad0);
      break;
    case 219:
      press(7);
      break;
    case 221:
      press(10);
      break;
    default:
      break;
  }
}

void frmReelwise::imgWelcome_Click(int Index) {
  MainToolbarHandler(Index == 0 ? QStringLiteral("mnuLibraryOpen") : QStringLiteral("mnuLibraryNew"));
}

void frmReelwise::lblWelcome_Click(int Index) { imgWelcome_Click(Index); }

void frmReelwise::m_cSplitLeft_SplitterResized() {
  SnapSplitterRequest();
  LayoutPanes();
}

void frmReelwise::closeEvent(QCloseEvent* event) {
  if (unloading_) return;
  if (CloseAfterFullScreenRun() || CloseAfterLongWork()) {
    event->ignore();
    return;
  }
  // An inspector load or a held button's repeat under way holds the close
  // back until it is over.
  if (Inspector().HoldCloseWhileBusy() || !Form_QueryUnload()) {
    event->ignore();
    return;
  }
  unloading_ = true;
  Form_Unload();
  event->accept();
  gMainForm = nullptr;
  SetProgramMessageOwner(nullptr);
  deleteLater();
}

// A request to quit during a full-screen run (Ctrl+Q there, or the Quit
// command) ends the run at its next wait, as a termination signal does; the
// window closes once the run's window has gone and its caller has returned.
bool frmReelwise::CloseAfterFullScreenRun() {
  if (!gDSSinkForm) return false;
  gStopPlaylist = true;
  if (!closeAfterRun_) {
    closeAfterRun_ = true;
    connect(gDSSinkForm, &QObject::destroyed, this, [this] {
      QTimer::singleShot(0, this, [this] {
        closeAfterRun_ = false;
        close();
      });
    });
  }
  return true;
}

// A request to close during long work that lets the event loop go round
// (the add-files run, a story board; the close box, the window system's
// close, Ctrl+Q) ends the work after the file in hand, as a termination
// signal does: the files added are kept, and the window closes, asking
// nothing, once the work has put the window back.
bool frmReelwise::CloseAfterLongWork() {
  if (!QuitRequest::WorkUnderWay() || unattended_) return false;
  QuitRequest::Request([window = QPointer<frmReelwise>(this)] {
    if (!window) return;
    QTimer::singleShot(0, window, [window] {
      if (window) window->CloseWithoutQuestions();
    });
  });
  return true;
}

void frmReelwise::CloseWithoutQuestions() {
  unattended_ = true;
  close();
}

// A failure is reported as "number description source" and the window closes.
bool frmReelwise::Form_QueryUnload() {
  ErrorGuard({.style = vbOKOnly,
              .owner = this,
              .text = [](const RWError& error) {
                return QStringLiteral("%1 %2 %3").arg(error.Number()).arg(error.Description(), error.Source());
              }})
      .Run([this] { ProgressOff(); });
  return true;
}

void frmReelwise::Form_Unload() {
  gStopPlaylist = true;  // a run of the full-screen player ends its waits first
  // A hidden or busy pointer must not outlive the window.
  while (CursorDisplayCount() < 0) ShowCursor(true);
  while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
  SubclassMessages(false);
  m_cSplitLeft.reset();
  Results().m_cToolTips.reset();
  Results().m_cFlatHistory.reset();
  progProgress.reset();
  Results().m_FlexMouseTrack.reset();
  Inspector().m_picThisButton.reset();
  Inspector().m_picScollbar.reset();
  // A copy: the shut-down disconnects the hook while it runs.
  if (const auto shutDown = ShutDownHook) shutDown(objectName());
}

void frmReelwise::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ErrorGuard().Run([this] { Form_Resize(); });
}

void frmReelwise::Form_Resize() {
  if (isMinimized()) {
    if (gWindowMgr) gWindowMgr->MinimizeWindow();
    return;
  }
  modReelwise::SetWindowRedraw(this, true);
  // The header and the bands run across the whole window.
  picWindowHeader->SetWidth(width());
  picHolder->SetWidth(width());
  Tree().picLeft->SetWidth(width() / 4.0);
  if (m_cSplitLeft) m_cSplitLeft->MaxSize = width() - 124;
  LayoutPanes();
  Inspector().ArrangeInspector();
  modReelwise::SetWindowRedraw(this, false);
}

void frmReelwise::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  ErrorGuard().Run([this] { isActiveWindow() ? Form_Activate() : Form_Deactivate(); });
}

void frmReelwise::Form_Activate() {
  if (gMainFormInactive && gDeviceChangePending && gLibrary) {
    modStorageDevices::EnumStorageDevices();
    gLibrary->RefreshResults(true);
    gDeviceChangePending = false;
  }
  gMainFormInactive = false;
}

void frmReelwise::Form_Deactivate() { gMainFormInactive = true; }
