#include "mainwindow/frmReelwise.h"

#include "mainwindow/cPopupMenu.h"
#include "ui/cFlatControl.h"
#include "ui/cMDISplit.h"
#include "ui/cMouseTrack.h"
#include "ui/cToolTipHost.h"
#include "ui/cwProgress.h"

QPointer<frmReelwise> gMainForm;

int32_t gWindowMode = 1;
bool gTVOutMode = false;
int32_t gBrowserMode = 1;
int32_t gBrowserIndex = 0;
float gTileColumns = 0;
float gTileRowsVisible = 0;
ctl::TreeView* gTreeHwnd = nullptr;
bool gAddingFiles = false;
bool gCategoryMenuBuilt = false;

std::function<void(int)> frmReelwise::LoadStepHook;

frmReelwise::frmReelwise() {
  setObjectName(QStringLiteral("frmReelwise"));
  // The program draws its own title bar and control box.
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  resize(1024, 768);
  CreateControls();
  tbControlBox->ButtonClick = [this](ctl::Button& button) { tbControlBox_ButtonClick(button); };
  tbrMenu->ButtonClick = [this](ctl::Button& button) { tbrMenu_ButtonClick(button); };
  tbMain->ButtonClick = [this](ctl::Button& button) { tbMain_ButtonClick(button); };
  tbMain->ButtonMenuClick = [this](ctl::ButtonMenu& entry) { tbMain_ButtonMenuClick(entry); };
  tbFileBrowser->ButtonClick = [this](ctl::Button& button) { tbFileBrowser_ButtonClick(button); };
  tbFileBrowser->ButtonMenuClick = [this](ctl::ButtonMenu& entry) { tbFileBrowser_ButtonMenuClick(entry); };
  picWindowHeader->Resize = [this] { picWindowHeader_Resize(); };
  WireBrowserEvents();
}

frmReelwise::~frmReelwise() {
  SubclassMessages(false);
  if (gTreeHwnd == tvwLibrary) gTreeHwnd = nullptr;
}

void frmReelwise::Load() {
  Form_Initialize();
  Form_Load();
}

void frmReelwise::ProgressOff() {
  if (progProgress) progProgress->BroadcastProgress(QString(), 0, 0);
}
