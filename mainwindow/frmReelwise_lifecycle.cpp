// The main window's own events: closing and shutting down, resizing,
// activation, its window messages and the control box.
#include "mainwindow/frmReelwise.h"

#include "browser/BrowserPane.h"
#include "browser/cToolTipHost.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "core/modShellNotifs.h"
#include "import/devices/modStorageDevices.h"
#include "inspector/InspectorPane.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/RWError.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"
#include "ui/cFlatControl.h"
#include "ui/cMDISplit.h"
#include "ui/cMouseTrack.h"
#include "ui/cwProgress.h"

#include <QCloseEvent>

namespace {

// The messages the main window handles itself, in the order they are attached.
constexpr int32_t kSubclassedMessages[] = {WM_GETMINMAXINFO, WM_SYSCOMMAND, WM_EXITSIZEMOVE,
                                           WM_MOVING,        WM_MOUSEWHEEL, kShellNotifyMessage};

}  // namespace

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
      case WM_MOVING:
        // Re-seats the preview's video window on the moved window.
        if (gPlayer) gPlayer->SetOwner(gPlayer->Owner());
        break;
      case kShellNotifyMessage:
        modShellNotifs::ShellNotify_OnMessage(wParam, lParam);
        break;
      default:
        // Until the window modes are built, the system-menu items, the wheel
        // and the end of a move change nothing.
        break;
    }
  });
  return 0;
}

void frmReelwise::closeEvent(QCloseEvent* event) {
  if (unloading_) return;
  if (!Form_QueryUnload()) {
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

void frmReelwise::CloseWithoutQuestions() {
  unattended_ = true;
  close();
}

// A failure is reported as "number description source" and the window closes.
bool frmReelwise::Form_QueryUnload() {
  if (gAddingFiles && !unattended_) {
    ShowProgramMessage(QStringLiteral("Reelwise is currently busy adding files to your Library.\r\n"
                                      "Please either allow this to complete or abort the process via ESC"),
                       6, QStringLiteral("Reelwise is busy!"), this);
    return false;
  }
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
  SubclassMessages(false);
  m_cSplitLeft.reset();
  Browser().m_cToolTips.reset();
  Browser().m_cFlatHistory.reset();
  progProgress.reset();
  Browser().m_FlexMouseTrack.reset();
  Inspector().EndHeldLoops();
  Inspector().m_picThisButton.reset();
  Inspector().m_picScollbar.reset();
  if (ShutDownHook) ShutDownHook(objectName());
}

void frmReelwise::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ErrorGuard().Run([this] { Form_Resize(); });
}

void frmReelwise::Form_Resize() {
  if (isMinimized()) return;
  modReelwise::SetWindowRedraw(this, true);
  // The header and the bands run across the whole window.
  picWindowHeader->SetWidth(width());
  picHolder->SetWidth(width());
  Browser().picLeft->SetWidth(width() / 4.0);
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
    gLibrary->RefreshResults();
    gDeviceChangePending = false;
  }
  gMainFormInactive = false;
}

void frmReelwise::Form_Deactivate() { gMainFormInactive = true; }

void frmReelwise::picWindowHeader_Resize() {
  picCaption->SetWidth(picWindowHeader->Width());
  picHolder->SetWidth(picWindowHeader->Width());
  cReBar1->SetWidth(picWindowHeader->Width());
  tbrMenu->SetWidth(picWindowHeader->Width());
  tbMain->SetWidth(picWindowHeader->Width() + 20);
  const double buttonWidth = tbControlBox->Buttons(1).Width();
  tbControlBox->SetWidth(4 * buttonWidth + 3);
  tbControlBox->Move(picCaption->Width() - tbControlBox->Width(), 4, tbControlBox->Width(), 17);
  picBusyIndicator->SetLeft(picCaption->ScaleWidth() - picBusyIndicator->Width() - tbControlBox->Width());
}

void frmReelwise::tbControlBox_ButtonClick(ctl::Button& Button) {
  if (Button.Key() == QLatin1String("CLOSE")) {
    close();
  } else if (Button.Key() == QLatin1String("MIN")) {
    showMinimized();
  }
}
