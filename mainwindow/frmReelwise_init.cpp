// The main window's construction: Form_Initialize, then Form_Load with the
// set-up InitMainWindow in its fixed order.
#include "mainwindow/frmReelwise.h"

#include "carousel/cCarousel.h"
#include "carousel/ucCanvas.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "core/modShellNotifs.h"
#include "options/frmProgramOptions.h"
#include "player/clsRWPlayer.h"
#include "resources/Resources.h"
#include "ui/cFlatControl.h"
#include "ui/cMDISplit.h"
#include "ui/cMouseTrack.h"
#include "ui/cToolTipHost.h"
#include "ui/cWindowMgr.h"
#include "ui/cwProgress.h"
#include "ui/modCustomTreeIcons.h"

#include <QApplication>
#include <QStyle>

namespace {

// Lets a test follow the construction step by step.
void Step(int n) {
  if (frmReelwise::LoadStepHook) frmReelwise::LoadStepHook(n);
}

}  // namespace

// Font sizes are given for 96 dots per inch and shrink with denser screens.
double frmReelwise::ScaledFont(double points) const { return points * gTwipsPerPixelY / 15.0; }
double frmReelwise::ScaledWidth(double pixels) const { return pixels * 15.0 / gTwipsPerPixelX; }

void frmReelwise::Form_Initialize() {
  // Start-up shows the tile view.
  tbMain->Buttons(QStringLiteral("TILE_VIEW")).SetValue(ctl::tbrPressed);
}

void frmReelwise::Form_Load() {
  InitMainWindow();
  gWindowMgr = std::make_unique<cWindowMgr>(this);
  m_HoverButton = 1;
  {
    // The recolouring loads the options window; it is unloaded at once.
    frmProgramOptions options;
    options.ApplyColourScheme();
  }
  ResizeCompactGUI(-1);
  modReelwise::LayoutThumbnailGrid(0);
  Timer1->SetEnabled(true);
}

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
  m_cSplitLeft->Attach(picLeft);
  m_cSplitLeft->MaxSize = 550;
  m_cSplitLeft->MinSize = 50;
  m_cSplitLeft->FullDrag = false;
  Step(13);
  InitBrowserToolbar();
  Step(14);
  mnuDeleteFile->setText(gDeleteToRecycleBin ? QStringLiteral("Delete to Recycle Bin") : QStringLiteral("Delete File"));
  Step(15);
  progProgress = std::make_unique<cwProgress>();
  progProgress->SetHost(picProgress);
  picProgress->SetTop(2.0 * gTwipsPerPixelY);
  Step(16);
  m_cFlatHistory = std::make_unique<cFlatControl>();
  m_cFlatHistory->Attach(cmbBrowserHistory);
  cmbBrowserHistory->setParent(tbFileBrowser);
  cmbBrowserHistory->SetFontSize(ScaledFont(9));
  Step(17);
  lblResultSize->SetFontSize(ScaledFont(9));
  lblSelectCount->SetFontSize(ScaledFont(9));
  Step(18);
  InitTitleAndTree();
  Step(20);
  InitWelcomePage();
  Step(21);
  gCarousel = std::make_unique<cCarousel>();
  Step(22);
  ucCarouselCanvas->SetDragIcon(picThumbnail->DragIcon());
  Step(23);
  InitResultGrids();
  Step(25);
  scrollFlex->SetWidth(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  Step(26);
  m_cToolTips = std::make_unique<cToolTipHost>();
  m_FlexMouseTrack = std::make_unique<cMouseTrack>();
  m_FlexMouseTrack->MouseHover = [this](int b, int s, double x, double y) { m_FlexMouseTrack_MouseHover(b, s, x, y); };
  m_FlexMouseTrack->MouseLeave = [this] { m_FlexMouseTrack_MouseLeave(); };
  Step(27);
  InitInspector();
  Step(28);
  InitTransportBar();
  Step(29);
  InitSegmentsAndCataloguing();
}

void frmReelwise::InitBrowserToolbar() {
  tbFileBrowser->SetImageList(&imglistToolBar);
  for (const char* key : {"FILE", "SEGMENT_FROM_FILE", "SEGMENT", "REFRESH"}) {
    tbFileBrowser->Buttons(QLatin1String(key)).SetImage(QLatin1String(key));
  }
  tbFileBrowser->Buttons(QStringLiteral("SD_FILTER")).SetImage(QStringLiteral("ALL_DISKS"));
  ctl::Button& count = tbFileBrowser->Buttons(QStringLiteral("FILE_COUNT"));
  count.SetWidth(ScaledWidth(215));
  Frame3->SetWidth(count.Width() * gTwipsPerPixelX);
}

// Steps 18 and 19: the title strip and the library tree.
void frmReelwise::InitTitleAndTree() {
  picCaption->SetHeight(25);
  lblCaption->Move(200, 8, 200, 13);
  Step(19);
  tvwLibrary->SetFontSize(ScaledFont(10));
  tvwLibrary->SetImageList(&imglstReelwise);
  gTreeHwnd = tvwLibrary;
  if (gLibraryTreeClassic) {
    tvwLibrary->SetStyle(ctl::tvwTreelinesPlusMinusPictureText);
  } else {
    tvwLibrary->SetStyle(ctl::tvwPictureText);
    SetTreeImageList(gTreeHwnd, &ilStateIcons, TVSIL_STATE);
  }
}

void frmReelwise::InitWelcomePage() {
  imgWelcome[0]->SetPicture(imglistToolBar.Picture(QStringLiteral("OPEN_LIB")));
  imgWelcome[1]->SetPicture(imglistToolBar.Picture(QStringLiteral("NEW_LIB")));
  for (int i = 0; i < 2; ++i) {
    imgWelcome[i]->SetMouseIcon(gHandCursor);
    lblWelcome[i]->SetMouseIcon(gHandCursor);
  }
  imgWelcomeLogo->Move(8, 8, 183, 177);
}

// Steps 23 and 24: the tile grid and the list grid.
void frmReelwise::InitResultGrids() {
  flexThumbsTiled->SetCols(1);
  flexThumbsTiled->SetColWidth(0, gTileWidthTwips);
  flexThumbsTiled->SetRowHeightMin(gTileHeightTwips);
  flexThumbsTiled->SetForeColor(gCursorColour);
  flexThumbsTiled->SetFontSize(ScaledFont(72));
  flexThumbsTiled->SetMouseIcon(gHandCursor);

  Step(24);
  struct Column {
    int width;
    const char* header;
    int alignment;
  };
  const Column columns[] = {{0, "", -1},
                            {gTileWidthTwips, "", -1},
                            {0, "Description", -1},
                            {2200, "File Path", -1},
                            {3600, "File Name", ctl::flexAlignLeftCenter},
                            {1250, "File Size", ctl::flexAlignRightCenter},
                            {1200, "Duration", -1},
                            {1150, "Resolution", ctl::flexAlignCenterCenter},
                            {750, "Frame Rate", -1},
                            {1100, "Bitrate", -1},
                            {1100, "Format", -1}};
  flexThumbsList->SetMouseIcon(gHandCursor);
  flexThumbsList->SetCols(11);
  for (int c = 0; c < 11; ++c) {
    flexThumbsList->SetColWidth(c, columns[c].width);
    flexThumbsList->SetTextMatrix(0, c, QLatin1String(columns[c].header));
    if (columns[c].alignment >= 0) flexThumbsList->SetColAlignment(c, columns[c].alignment);
  }
  // The size header itself reads from the left, its figures from the right.
  flexThumbsList->SetRow(0);
  flexThumbsList->SetCol(5);
  flexThumbsList->SetCellAlignment(ctl::flexAlignLeftCenter);
}

void frmReelwise::InitInspector() {
  picBottom->SetHeight(338);
  m_InspectorTabs[0] = {0, 21, 340};
  imgDeviceType->Move(276, 8, 48, 48);
  for (size_t i = 0; i < lblFileData.size(); ++i) {
    lblFileData[i]->Move(28, 8 + 17 * static_cast<double>(i), 104, 15);
    lblFileData[i]->SetFontSize(ScaledFont(8));
  }
  for (size_t i = 0; i < lblFileSpec.size(); ++i) {
    lblFileSpec[i]->Move(134, 8 + 17 * static_cast<double>(i), 140, 15);
    lblFileSpec[i]->SetFontSize(ScaledFont(8));
  }
  for (int i = 1; i <= 4; ++i) lblCollapseTab[i]->Move(0, 0, 21, 150);
  frameBackupOptions->Move(28, 266, 300, 40);
  for (size_t i = 0; i < lblRemoveBackup.size(); ++i) {
    lblRemoveBackup[i]->Move(8 + 96 * static_cast<double>(i), 16, 90, 15);
    if (i >= 1) lblRemoveBackup[i]->SetMouseIcon(gHandCursor);
  }
  tbFileSpecs->SetImageList(&imglstMenus);
  tbFileSpecs->Buttons(QStringLiteral("DELETE_FILE")).SetImage(QStringLiteral("DELETE_FILE"));
  tbFileSpecs->Buttons(QStringLiteral("REMOVE_FILE")).SetImage(QStringLiteral("REMOVE_FILE"));
  tbFileSpecs->Buttons(QStringLiteral("MEDIA_INFO")).SetImage(QStringLiteral("MEDIAINFO"));
  tbFileSpecs->Move(28, 300, 120, 24);
  lblOpenFileStatus->SetFontSize(ScaledFont(10));
  lblOpenFileStatus->SetForeColor(gCursorColour);
  RWLoadingInd->Move(139, 100);
}

// A transport button sits where the player skin shows it.
void frmReelwise::PlaceMediaControl(int Index) {
  const ResourceInfo* info = FindResourceInfo(QString::number(Index) + QStringLiteral("_NORMAL"), kResBitmap);
  if (!info) return;
  const qsizetype at = info->detail.indexOf(QStringLiteral("at="));
  const QStringList xy = info->detail.mid(at + 3).section(QLatin1Char(' '), 0, 0).split(QLatin1Char(','));
  if (at < 0 || xy.size() != 2) return;
  picMediaControl[Index]->Move(xy[0].toDouble(), xy[1].toDouble(), info->width, info->height);
}

void frmReelwise::InitTransportBar() {
  m_InspectorTabs[1] = {356, 23, 356};
  for (int i = 1; i <= 14; ++i) PlaceMediaControl(i);
  gMediaButtons.assign(picMediaControl.size(), MediaButtonFaces{});
  m_picThisButton = std::make_unique<cMouseTrack>();
  picSlider->Move(60, 243, 204, 16);
  m_picScollbar = std::make_unique<cMouseTrack>();
  m_picScollbar->AttachMouseTracking(picSlider, true, gPopupDelayMs);
  m_picScollbar->StartMouseTracking();
  imgSelection->Move(0, 0, 0, 16);
  picVolume->Move(268, 247, 48, 10);
  const int32_t volume = gPlayer ? gPlayer->Volume() : 100;
  picVolumeThumb->Move(volume / 100.0 * 40, 0, 8, 10);
  lblStartPoint->Move(60, 226, 60, 14);
  lblEndPoint->Move(204, 226, 60, 14);
  lblEndPoint->SetAlignment(ctl::vbRightJustify);
  for (ctl::Label* label : {lblStartPoint, lblEndPoint}) label->SetFontSize(ScaledFont(7));
  picSlider->SetMouseIcon(gHandCursor);
}

// Steps 29 and 30: the segments grid and the cataloguing tab.
void frmReelwise::InitSegmentsAndCataloguing() {
  m_InspectorTabs[2] = {368, 138, 368};
  flexSegments->SetCols(8);
  flexSegments->SetColWidth(0, gTwipsPerPixelX);
  flexSegments->SetColWidth(2, 0);
  for (int c : {1, 3}) {
    flexSegments->SetColWidth(c, 64 * gTwipsPerPixelX);
    flexSegments->SetColAlignment(c, ctl::flexAlignRightCenter);
  }
  flexSegments->SetTextMatrix(0, 1, QStringLiteral("Start"));
  flexSegments->SetTextMatrix(0, 3, QStringLiteral("End"));
  flexSegments->SetColWidth(4, 40 * gTwipsPerPixelX);
  flexSegments->SetRowHeight(-1, 15 * gTwipsPerPixelY);
  flexSegments->SetRowHeight(0, 20 * gTwipsPerPixelY);
  flexSegments->SetCol(0);
  flexSegments->Move(28, 8, 330, 280);
  lblSegmentsScroll[0]->Move(340, 290, 16, 16);
  lblSegmentsScroll[1]->Move(320, 290, 16, 16);
  tbSegments->SetImageList(&imglstMenus);
  const std::pair<const char*, const char*> segmentImages[] = {
      {"SAVE_SEGMENT", "SAVE"}, {"EDIT_SEGMENT", "EDIT"}, {"DELETE_SEGMENT", "DELETE"}, {"HIGHLIGHTS", "HEART"}};
  for (const auto& [key, image] : segmentImages) tbSegments->Buttons(QLatin1String(key)).SetImage(QLatin1String(image));
  tbSegments->Move(28, 292, 120, 24);

  Step(30);
  m_InspectorTabs[3] = {166, 23, 166};
  picThumbnail->SetDragIcon(imglstDragIcons.DragCursor(QStringLiteral("FILE")));
  picThumbnail->Move(26, 8, 100, 75);
  for (size_t i = 0; i < imgRating.size(); ++i) {
    imgRating[i]->Move(26 + 16 * static_cast<double>(i), 86, 16, 16);
    imgRating[i]->SetPicture(imglstReelwise.Picture(QStringLiteral("UNSTAR")));
  }
  lstFileTags->Move(26, 106, 136, 150);
  lstFileTags->ColumnHeaders.Clear();
  lstFileTags->ColumnHeaders.Add(0, QString(), QStringLiteral("Tags"));
  lstFileTags->ColumnHeaders.Add(0, QString(), QStringLiteral("Tags"));
  flexFileDetails->SetCols(2);
  flexFileDetails->SetTextMatrix(0, 0, QStringLiteral("Title / Alias"));
  flexFileDetails->SetTextMatrix(0, 1, QStringLiteral("Description"));
  flexFileDetails->Move(26, 260, 136, 40);
  tbCataloguing->SetImageList(&imglstMenus);
  tbCataloguing->Buttons(QStringLiteral("REMOVE_TAG")).SetImage(QStringLiteral("REMOVE_TAG"));
  tbCataloguing->Buttons(QStringLiteral("EDIT_USERDATA")).SetImage(QStringLiteral("EDIT"));
  tbCataloguing->Move(26, 302, 60, 24);
  picAutoTag->Move(90, 302, 72, 20);
}
