// The inspector's controls as they stand before any code runs, and their
// set-up when the main window loads.
#include "inspector/InspectorPane.h"

#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "options/frmProgramOptions.h"
#include "player/clsRWPlayer.h"
#include "resources/Resources.h"
#include "ui/FormDesign.h"
#include "ui/cMouseTrack.h"

using FormDesign::AddButtons;
using FormDesign::Make;
using FormDesign::MakeLabel;
using modReelwise::ScaledFont;

InspectorPane::InspectorPane(IInspectorHost& host, QWidget* window) : host_(host) {
  CreateInspector(window);
  CreateTransportBar();
  CreateInspectorContent();
  Timer2 = Make<ctl::TimerControl>(window, "Timer2");
  timerFilePreview = Make<ctl::TimerControl>(window, "timerFilePreview");
  for (ctl::TimerControl* timer : {Timer2, timerFilePreview}) {
    timer->SetInterval(100);
    timer->SetEnabled(false);
  }
  ConnectControls();
}

// A repeat cut short by the pane's end asks for no close of the window.
InspectorPane::~InspectorPane() {
  closeHeld_ = false;
  heldWork_.reset();
}

void InspectorPane::CreateInspector(QWidget* window) {
  picBottom = Make<ctl::PictureBox>(window, "picBottom");
  picBottom->Move(0, 430, window->width(), 338);
  picBottomFrame = Make<ctl::PictureBox>(picBottom, "picBottomFrame");
  picBottomFrame->Move(3, 3, window->width() - 6, 332);
  picTabBG = Make<ctl::PictureBox>(picBottomFrame, "picTabBG");
  picTabBG->SetVisible(false);
  const char* headings[] = {"", "TAB_SPEC", "TAB_PREV", "TAB_CAT", "TAB_SEG"};
  for (int i = 1; i <= 4; ++i) {
    picInspector[i] = Make<ctl::PictureBox>(picBottomFrame, QStringLiteral("picInspector(%1)").arg(i));
    imgTab[i] = Make<ctl::Image>(picInspector[i], QStringLiteral("imgTab(%1)").arg(i));
    imgTab[i]->SetPicture(QPixmap::fromImage(LoadResPicture(QLatin1String(headings[i]), kResCustom)));
    imgTab[i]->Move(0, 0);
    lblCollapseTab[i] = MakeLabel(picInspector[i], QStringLiteral("lblCollapseTab(%1)").arg(i), QString(), 0, 0, 20, 150);
    lblCollapseTab[i]->SetFontName(QStringLiteral("Webdings"));
  }
}

void InspectorPane::CreateTransportBar() {
  // The preview panel: the skin with the video area (where the player's
  // video window opens) and the transport bar under it.
  QWidget* preview = picInspector[2];
  picOpenFile = Make<ctl::PictureBox>(preview, "picOpenFile");
  picOpenFile->Move(28, 7, 324, 316);
  picMPlayerSkin = Make<ctl::PictureBox>(picOpenFile, "picMPlayerSkin");
  picMPlayerSkin->Move(0, 0, 324, 316);
  picMPlayerSkin->SetPicture(QPixmap::fromImage(LoadResPicture(QStringLiteral("MPLAYER"), kResCustom)));
  framPreview = Make<ctl::Frame>(picMPlayerSkin, "framPreview");
  framPreview->SetBorderStyle(0);
  framPreview->Move(7, 6, 310, 232);
  framPreview->SetBackColor(RGB(0, 0, 0));
  lblOpenFileStatus = MakeLabel(framPreview, QStringLiteral("lblOpenFileStatus"), QString(), 8, 100, 294, 32);
  lblOpenFileStatus->SetAlignment(ctl::vbCenter);
  RWLoadingInd = Make<ctl::AnimatedPicture>(framPreview, "RWLoadingInd");
  RWLoadingInd->LoadAnimation(QStringLiteral("PREVIEW_LOADING"));
  RWLoadingInd->SetVisible(false);
  for (int i = 1; i <= 15; ++i) {
    picMediaControl[i] = Make<ctl::PictureBox>(picMPlayerSkin, QStringLiteral("picMediaControl(%1)").arg(i));
  }
  picSlider = Make<ctl::PictureBox>(picMPlayerSkin, "picSlider");
  imgSliderThumb = Make<ctl::Image>(picSlider, "imgSliderThumb");
  imgSelection = Make<ctl::Image>(picSlider, "imgSelection");
  picSelection = Make<ctl::PictureBox>(picMPlayerSkin, "picSelection");
  picSelection->SetVisible(false);
  picVolume = Make<ctl::PictureBox>(picMPlayerSkin, "picVolume");
  picVolumeThumb = Make<ctl::PictureBox>(picVolume, "picVolumeThumb");
  lblStartPoint = MakeLabel(picMPlayerSkin, QStringLiteral("lblStartPoint"), QString(), 0, 0, 60, 12);
  lblEndPoint = MakeLabel(picMPlayerSkin, QStringLiteral("lblEndPoint"), QString(), 0, 0, 60, 12);
}

void InspectorPane::CreateInspectorContent() {
  QWidget* specs = picInspector[1];
  // Tab 3 is the cataloguing tab, tab 4 the segments; on screen they stand
  // 1, 2, 4, 3.
  QWidget* cataloguing = picInspector[3];
  QWidget* segments = picInspector[4];
  imgDeviceType = Make<ctl::Image>(specs, "imgDeviceType");
  for (size_t i = 0; i < lblFileData.size(); ++i) {
    lblFileData[i] = MakeLabel(specs, QStringLiteral("lblFileData(%1)").arg(i), QString(), 0, 0, 100, 14);
  }
  for (size_t i = 0; i < lblFileSpec.size(); ++i) {
    lblFileSpec[i] = MakeLabel(specs, QStringLiteral("lblFileSpec(%1)").arg(i), QString(), 0, 0, 100, 14);
  }
  tbFileSpecs = Make<ctl::Toolbar>(specs, "tbFileSpecs");
  AddButtons(tbFileSpecs, {{"DELETE_FILE", "Delete File", ctl::tbrDefault},
                           {"REMOVE_FILE", "Remove File from Library", ctl::tbrDefault},
                           {"MEDIA_INFO", "View detailed file information", ctl::tbrDefault}});
  frameBackupOptions = Make<ctl::Frame>(specs, "frameBackupOptions");
  frameBackupOptions->SetVisible(false);
  const char* const backup[4][2] = {{"Backup found:", ""},
                                    {"Delete", "Delete the Backup File"},
                                    {"Restore", "Replace this file with the Backup"},
                                    {"Swap", "Switch the Backup file with this one"}};
  for (size_t i = 0; i < lblRemoveBackup.size(); ++i) {
    lblRemoveBackup[i] = MakeLabel(frameBackupOptions, QStringLiteral("lblRemoveBackup(%1)").arg(i),
                                   QLatin1String(backup[i][0]), 4 + 60.0 * static_cast<double>(i), 2, 58, 14);
    lblRemoveBackup[i]->setToolTip(QLatin1String(backup[i][1]));
  }

  flexSegments = Make<ctl::FlexGrid>(segments, "flexSegments");
  for (size_t i = 0; i < lblSegmentsScroll.size(); ++i) {
    lblSegmentsScroll[i] = MakeLabel(segments, QStringLiteral("lblSegmentsScroll(%1)").arg(i), QString(), 0, 0, 16, 16);
  }
  tbSegments = Make<ctl::Toolbar>(segments, "tbSegments");
  AddButtons(tbSegments, {{"SAVE_SEGMENT", "Save Segment", ctl::tbrDefault},
                          {"EDIT_SEGMENT", "Edit Segment", ctl::tbrCheck},
                          {"DELETE_SEGMENT", "Delete Segment", ctl::tbrDefault},
                          {"HIGHLIGHTS", "Play Highlights", ctl::tbrDefault}});

  picThumbnail = Make<ctl::PictureBox>(cataloguing, "picThumbnail");
  picUnplayable = Make<ctl::PictureBox>(cataloguing, "picUnplayable");
  picUnplayable->SetVisible(false);
  picUnplayable->Move(0, 0, 100, 75);
  picUnplayable->SetPicture(QPixmap::fromImage(LoadResPicture(QStringLiteral("UNPLAYABLE"), kResCustom)));
  for (size_t i = 0; i < imgRating.size(); ++i) {
    imgRating[i] = Make<ctl::Image>(cataloguing, QStringLiteral("imgRating(%1)").arg(i));
  }
  lstFileTags = Make<ctl::ListView>(cataloguing, "lstFileTags");
  // Several tags can be chosen for "Find Other Files With These Tags".
  lstFileTags->SetMultiSelect(true);
  for (size_t i = 0; i < lblTagListScroll.size(); ++i) {
    lblTagListScroll[i] = MakeLabel(cataloguing, QStringLiteral("lblTagListScroll(%1)").arg(i), QString(), 0, 0, 16, 16);
  }
  flexFileDetails = Make<ctl::FlexGrid>(cataloguing, "flexFileDetails");
  txtCell = Make<ctl::TextBox>(cataloguing, "txtCell");
  txtCell->SetVisible(false);
  tbCataloguing = Make<ctl::Toolbar>(cataloguing, "tbCataloguing");
  AddButtons(tbCataloguing, {{"REMOVE_TAG", "Remove Tag", ctl::tbrDefault},
                             {"EDIT_USERDATA", "Edit Title and Description", ctl::tbrDefault}});
  picAutoTag = Make<ctl::PictureBox>(cataloguing, "picAutoTag");
  picAutoTag->SetVisible(false);
  lblAutoTag = MakeLabel(picAutoTag, QStringLiteral("lblAutoTag"), QString(), 0, 0, 100, 14);
}

namespace {

// The captions of the file-details tab and the value labels they stand
// beside, from the top down.
struct DetailRow {
  int caption;  // lblFileSpec index
  int value;    // lblFileData index
  const char* text;
};
constexpr DetailRow kDetailRows[] = {{2, 2, "Date:"},      {3, 3, "Size:"},         {4, 4, "Duration:"},
                                     {5, 5, "Bitrate:"},   {6, 6, "Resolution:"},   {7, 7, "Frame Rate:"},
                                     {0, 12, "Format:"},   {1, 13, "Video:"},       {8, 14, "Audio:"}};

}  // namespace

// The file-details tab: the file name in a band of its own over the folder,
// then each detail beside its caption, then the device's picture with its
// label and online state.
void InspectorPane::InitInspector() {
  picBottom->SetHeight(338);
  m_InspectorTabs[0] = {0, 21, 340};
  for (ctl::Label* label : lblFileData) label->SetFontSize(ScaledFont(8));
  lblFileData[0]->Move(28, 8, 306, 16);
  lblFileData[0]->SetBackStyle(1);  // the scheme's band colour behind the light name
  lblFileData[1]->Move(28, 27, 306, 15);
  double top = 48;
  for (const DetailRow& row : kDetailRows) {
    ctl::Label& caption = *lblFileSpec[static_cast<size_t>(row.caption)];
    caption.SetCaption(QLatin1String(row.text));
    caption.SetFontSize(ScaledFont(8));
    caption.Move(28, top, 72, 15);
    lblFileData[static_cast<size_t>(row.value)]->Move(102, top, 232, 15);
    top += 17;
  }
  imgDeviceType->Move(28, top + 6, 48, 48);
  lblFileData[8]->Move(82, top + 12, 252, 15);
  lblFileData[9]->Move(82, top + 29, 252, 15);
  // Never filled: kept out of the way.
  for (int i : {10, 11}) {
    lblFileData[i]->Move(28, 8, 306, 15);
    lblFileData[i]->SetVisible(false);
  }
  for (int i = 1; i <= 4; ++i) lblCollapseTab[i]->Move(0, 0, 21, 150);
  frameBackupOptions->Move(28, 266, 300, 40);
  for (size_t i = 0; i < lblRemoveBackup.size(); ++i) {
    lblRemoveBackup[i]->Move(8 + 96 * static_cast<double>(i), 16, 90, 15);
    if (i >= 1) lblRemoveBackup[i]->SetMouseIcon(gHandCursor);
  }
  tbFileSpecs->SetImageList(&host_.imglstMenus());
  tbFileSpecs->Buttons(QStringLiteral("DELETE_FILE")).SetImage(QStringLiteral("DELETE_FILE"));
  tbFileSpecs->Buttons(QStringLiteral("REMOVE_FILE")).SetImage(QStringLiteral("REMOVE_FILE"));
  tbFileSpecs->Buttons(QStringLiteral("MEDIA_INFO")).SetImage(QStringLiteral("MEDIAINFO"));
  tbFileSpecs->Move(28, 300, 120, 24);
  lblOpenFileStatus->SetFontSize(ScaledFont(10));
  lblOpenFileStatus->SetWordWrap(true);
  lblOpenFileStatus->SetForeColor(gCursorColour);
  RWLoadingInd->Move(139, 100);
}

// A transport button sits where the player skin shows it.
void InspectorPane::PlaceMediaControl(int Index) {
  const ResourceInfo* info = FindResourceInfo(QString::number(Index) + QStringLiteral("_NORMAL"), kResBitmap);
  if (!info) return;
  const qsizetype at = info->detail.indexOf(QStringLiteral("at="));
  const QStringList xy = info->detail.mid(at + 3).section(QLatin1Char(' '), 0, 0).split(QLatin1Char(','));
  if (at < 0 || xy.size() != 2) return;
  picMediaControl[Index]->Move(xy[0].toDouble(), xy[1].toDouble(), info->width, info->height);
}

void InspectorPane::InitTransportBar() {
  m_InspectorTabs[1] = {356, 23, 356};
  for (int i = 1; i <= 15; ++i) PlaceMediaControl(i);
  gMediaButtons.assign(picMediaControl.size(), MediaButtonFaces{});
  m_picThisButton = std::make_unique<cMouseTrack>();
  picSlider->Move(60, 243, 204, 16);
  m_picScollbar = std::make_unique<cMouseTrack>();
  m_picScollbar->AttachMouseTracking(picSlider, true, gPopupDelayMs);
  m_picScollbar->StartMouseTracking();
  imgSelection->Move(0, 0, 0, 16);
  // The volume track beside its speaker button; the thumb's left edge runs
  // from 0 to 40 (the pointer from 8 to 48). The A and B times sit between
  // the position slider and the buttons.
  picVolume->Move(200, 294, 56, 14);
  const int32_t volume = gPlayer ? gPlayer->Volume() : 100;
  picVolumeThumb->Move(volume / 100.0 * 40, 0, 16, 14);
  lblStartPoint->Move(60, 262, 70, 14);
  lblEndPoint->Move(194, 262, 70, 14);
  lblEndPoint->SetAlignment(ctl::vbRightJustify);
  for (ctl::Label* label : {lblStartPoint, lblEndPoint}) label->SetFontSize(ScaledFont(7));
  picSlider->SetMouseIcon(gHandCursor);
}

void InspectorPane::InitSegments() {
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
  ShowArrow(*lblSegmentsScroll[0], QStringLiteral("5"));
  ShowArrow(*lblSegmentsScroll[1], QStringLiteral("6"));
  tbSegments->SetImageList(&host_.imglstMenus());
  const std::pair<const char*, const char*> segmentImages[] = {
      {"SAVE_SEGMENT", "SAVE"}, {"EDIT_SEGMENT", "EDIT"}, {"DELETE_SEGMENT", "DELETE"}, {"HIGHLIGHTS", "HEART"}};
  for (const auto& [key, image] : segmentImages) tbSegments->Buttons(QLatin1String(key)).SetImage(QLatin1String(image));
  tbSegments->Move(28, 292, 120, 24);
}

// An arrow of the symbol font: "5" up, "6" down.
void InspectorPane::ShowArrow(ctl::Label& arrow, const QString& caption) {
  arrow.SetFontName(QStringLiteral("Webdings"));
  arrow.SetFontSize(10);
  arrow.SetCaption(caption);
}

void InspectorPane::InitCataloguing() {
  m_InspectorTabs[3] = {166, 23, 166};
  picThumbnail->SetDragIcon(host_.imglstDragIcons().DragCursor(QStringLiteral("FILE")));
  picThumbnail->Move(26, 8, 100, 75);
  // A narrow cell without a picture left of the stars takes the rating back
  // to none; the five stars follow it, so the Nth star rates N.
  imgRating[0]->Move(26, 86, 8, 16);
  for (size_t i = 1; i < imgRating.size(); ++i) {
    imgRating[i]->Move(34 + 16 * static_cast<double>(i - 1), 86, 16, 16);
    imgRating[i]->SetPicture(host_.imglstReelwise().Picture(QStringLiteral("UNSTAR")));
  }
  lstFileTags->Move(26, 106, 136, 110);
  // Beside the list, which has no scroll bar: down (0) pages on, up (1) back.
  lblTagListScroll[1]->Move(164, 106, 16, 16);
  lblTagListScroll[0]->Move(164, 200, 16, 16);
  ShowArrow(*lblTagListScroll[0], QStringLiteral("6"));
  ShowArrow(*lblTagListScroll[1], QStringLiteral("5"));
  for (ctl::Label* arrow : lblTagListScroll) arrow->SetVisible(false);
  // The items' own text stays empty; the names are their first sub-items,
  // under the one heading, across the list's width.
  lstFileTags->ColumnHeaders.Clear();
  lstFileTags->ColumnHeaders.Add(0, QString(), QString(), 0);
  lstFileTags->ColumnHeaders.Add(0, QString(), QStringLiteral("Tags"), lstFileTags->Width() - 4);
  // One column: the alias under its heading (rows 0 and 1), the
  // description under its own (rows 2 and 3).
  flexFileDetails->SetCols(1);
  flexFileDetails->SetRows(4);
  flexFileDetails->SetFixedRows(0);
  flexFileDetails->SetFixedCols(0);
  // Tab goes from the alias to the description, not on to the next pane.
  flexFileDetails->SetTabBehavior(ctl::flexTabCells);
  flexFileDetails->SetRowHeight(-1, 19 * gTwipsPerPixelY);
  flexFileDetails->SetTextMatrix(0, 0, QStringLiteral(" Title / Alias"));
  flexFileDetails->SetTextMatrix(2, 0, QStringLiteral(" Description"));
  flexFileDetails->Move(26, 220, 136, 78);
  tbCataloguing->SetImageList(&host_.imglstMenus());
  tbCataloguing->Buttons(QStringLiteral("REMOVE_TAG")).SetImage(QStringLiteral("REMOVE_TAG"));
  tbCataloguing->Buttons(QStringLiteral("EDIT_USERDATA")).SetImage(QStringLiteral("EDIT"));
  tbCataloguing->Move(26, 302, 60, 24);
  picAutoTag->Move(90, 302, 72, 20);
}

void InspectorPane::ShowMediaButtonFaces() {
  for (size_t i = 1; i < picMediaControl.size() && i < gMediaButtons.size(); ++i) {
    picMediaControl[i]->SetPicture(gMediaButtons[i].Normal);
  }
}
