#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "core/ProgramMessage.h"
#include "import/ImportPane.h"
#include "inspector/InspectorPane.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/MainWindowHosts.h"
#include "options/OptionsPane.h"
#include "options/frmProgramOptions.h"
#include "player/modMainPlayer.h"
#include "platform/cPopupMenu.h"
#include "ui/cMDISplit.h"
#include "ui/cwProgress.h"

QPointer<frmReelwise> gMainForm;

std::function<void(int)> frmReelwise::LoadStepHook;
std::function<void(const QString&)> frmReelwise::ShutDownHook;

frmReelwise::frmReelwise() : hosts_(std::make_unique<MainWindowHosts>(*this)) {
  setObjectName(QStringLiteral("frmReelwise"));
  // The program draws its own title bar and control box.
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  resize(1024, 768);
  CreateControls();
  ConnectTitleBar();
  ConnectInputGate();
  ConnectLayoutEvents();
  tbrMenu->ButtonClick = [this](ctl::Button& button) { tbrMenu_ButtonClick(button); };
  tbMain->ButtonClick = [this](ctl::Button& button) { tbMain_ButtonClick(button); };
  tbMain->ButtonMenuClick = [this](ctl::ButtonMenu& entry) { tbMain_ButtonMenuClick(entry); };
  ctl::Toolbar& browserBar = *results_->tbFileBrowser;
  browserBar.ButtonClick = [this](ctl::Button& button) { tbFileBrowser_ButtonClick(button); };
  browserBar.ButtonMenuClick = [this](ctl::ButtonMenu& entry) { tbFileBrowser_ButtonMenuClick(entry); };
  CreateSchemeControls();
  SetProgramMessageOwner(this);
  if (gLibrary) gLibrary->SetView(hosts_.get());
}

frmReelwise::~frmReelwise() {
  ctl::Control::EndEvents(*this);
  SubclassMessages(false);
  if (gLibrary) gLibrary->SetView(nullptr);
}

void frmReelwise::Load() {
  Form_Initialize();
  Form_Load();
}

void frmReelwise::ProgressOff() {
  if (progProgress) progProgress->BroadcastProgress(QString(), 0, 0);
}
