// The main window's construction: Form_Initialize, then Form_Load with the
// set-up InitMainWindow in its fixed order; each pane sets up its own
// controls at the step that names them.
#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "core/modShellNotifs.h"
#include "inspector/InspectorPane.h"
#include "mainwindow/MainWindowHosts.h"
#include "options/frmProgramOptions.h"
#include "platform/ErrorGuard.h"
#include "platform/cPopupMenu.h"
#include "player/modMainPlayer.h"
#include "resources/Resources.h"
#include "ui/SchemeColours.h"
#include "ui/cMDISplit.h"
#include "ui/cWindowMgr.h"
#include "ui/cwProgress.h"
#include "ui/modReelwise_drawing.h"

#include <QAction>

namespace {

// Lets a test follow the construction step by step.
void Step(int n) {
  if (frmReelwise::LoadStepHook) frmReelwise::LoadStepHook(n);
}

}  // namespace

void frmReelwise::Form_Initialize() {
  // Start-up shows the tile view.
  tbMain->Buttons(QStringLiteral("TILE_VIEW")).SetValue(ctl::tbrPressed);
}

void frmReelwise::Form_Load() {
  InitMainWindow();
  gWindowMgr = std::make_unique<cWindowMgr>(this, hosts_.get());
  Inspector().m_HoverButton = 1;
  {
    // The recolouring loads the options window; it is unloaded at once.
    frmProgramOptions options;
    options.ApplyColourScheme();
  }
  ResizeCompactGUI(-1);
  Results().LayoutThumbnailGrid(0);
  Results().Timer1->SetEnabled(true);
}

// The full-screen player's run reaches this window's timers through these.
void frmReelwise::SetPositionTimer(bool on) { Results().Timer1->SetEnabled(on); }

void frmReelwise::RestartFade() {
  Inspector().Timer2->SetTag(QString());
  Inspector().Timer2->SetEnabled(true);
}

void frmReelwise::StopFade() {
  Inspector().Timer2->SetEnabled(false);
  Inspector().Timer2->SetInterval(100);
}

void frmReelwise::SetFadeInterval(int ms) { Inspector().Timer2->SetInterval(ms); }

void frmReelwise::InitMainWindow() {
  Step(1);
  SubclassMessages(true);
  Step(2);
  modShellNotifs::RegisterShellNotify(this);
  Step(3);
  gWindowMode = 1;
  Step(4);
  m_GUILayout = modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegGeneral, QStringLiteral("GUILayout")).ToLong(0);
  Step(5);
  m_MinTrackWidth = 560;
  m_MinTrackHeight = 560;
  Step(6);
  BuildMainMenu();
  Step(7);
  SetInterfaceStyle();
  Step(8);
  InitExternalAppMenus(QString(), 0, true);
  Step(9);
  setWindowTitle(QStringLiteral("Reelwise II - No Library Loaded"));
  Step(10);
  gHandCursor = LoadResCursor(QStringLiteral("HAND_POINTER"));
  Step(11);
  imgWelcomeLogo->SetPicture(modReelwise::DrawLogo(static_cast<int>(imgWelcomeLogo->Width()),
                                                   static_cast<int>(imgWelcomeLogo->Height())));
  Step(12);
  m_cSplitLeft = std::make_unique<cMDISplit>();
  m_cSplitLeft->Attach(Tree().picLeft);
  m_cSplitLeft->MaxSize = 550;
  m_cSplitLeft->MinSize = 50;
  m_cSplitLeft->SetFullDrag(false);
  m_cSplitLeft->SplitterResized = [this] { m_cSplitLeft_SplitterResized(); };
  Step(13);
  Results().InitBrowserToolbar();
  Step(14);
  mnuDeleteFile->setText(gDeleteToRecycleBin ? QStringLiteral("Delete to Recycle Bin") : QStringLiteral("Delete File"));
  Step(15);
  progProgress = std::make_unique<cwProgress>();
  progProgress->SetHost(Results().picProgress);
  Results().picProgress->SetTop(2.0 * gTwipsPerPixelY);
  Step(16);
  Results().InitHistoryCombo();
  Step(17);
  Results().InitCountLabels();
  Step(18);
  InitTitleBar();
  Step(19);
  Tree().InitTree();
  Step(20);
  InitWelcomePage();
  Step(21);
  gCarousel = std::make_unique<cCarousel>(&Carousel(), hosts_.get());
  Step(22);
  Carousel().ucCarouselCanvas->SetDragIcon(Inspector().picThumbnail->DragIcon());
  Step(23);
  Results().InitTileGrid();
  Step(24);
  Results().InitListGrid();
  Step(25);
  Results().InitScrollBar();
  Step(26);
  Results().InitHoverTips();
  Step(27);
  Inspector().InitInspector();
  Step(28);
  Inspector().InitTransportBar();
  Step(29);
  Inspector().InitSegments();
  Step(30);
  Inspector().InitCataloguing();
}

void frmReelwise::InitTitleBar() {
  picCaption->SetHeight(25);
  lblCaption->Move(200, 8, 200, 13);
}

void frmReelwise::InitWelcomePage() {
  imgWelcome[0]->SetPicture(imglistToolBar.Picture(QStringLiteral("OPEN_LIB")));
  imgWelcome[1]->SetPicture(imglistToolBar.Picture(QStringLiteral("NEW_LIB")));
  for (int i = 0; i < 2; ++i) {
    imgWelcome[i]->SetMouseIcon(gHandCursor);
    lblWelcome[i]->SetMouseIcon(gHandCursor);
    imgWelcome[i]->Click = [this, i] { ErrorGuard().Run([this, i] { imgWelcome_Click(i); }); };
    lblWelcome[i]->Click = [this, i] { ErrorGuard().Run([this, i] { lblWelcome_Click(i); }); };
  }
  imgWelcomeLogo->Move(8, 8, 183, 177);
}

// The main window's panels and the result grids in the scheme colours, the
// transport buttons with their faces, and the menu bands.
void frmReelwise::PaintInSchemeColours() {
  LibraryTreePane& tree = Tree();
  ResultsPane& results = Results();
  InspectorPane& inspector = Inspector();
  for (ctl::PictureBox* panel : {picWindowHeader, picCaption, picHolder, cReBar1, tree.picLeft, results.picRight,
                                 inspector.picBottom, inspector.picBottomFrame, picSysMenu}) {
    panel->SetBackColor(gSchemeColour1);
  }
  tree.picLeftFrame->SetBackColor(gSchemeColour3);
  results.picRightFrame->SetBackColor(gSchemeColour3);
  results.picFlexFrame->SetBackColor(gSchemeColour2);
  for (ctl::FlexGrid* grid : {results.flexThumbsTiled, results.flexThumbsList}) {
    grid->SetBackColor(gSchemeColour2);
    grid->SetBackColorBkg(gSchemeColour2);
  }
  lblCaption->SetForeColor(gSchemeColour4);
  results.lblResultSize->SetForeColor(gSchemeColour4);
  results.lblSelectCount->SetForeColor(gSchemeColour4);
  inspector.PaintInSchemeColours();
  BuildRebar();
}
