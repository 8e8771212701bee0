// The main window's controls as they stand before any code runs: their
// parents, names, initial places, styles and the toolbar buttons.
#include "mainwindow/frmReelwise.h"

#include "carousel/ucCanvas.h"
#include "resources/Resources.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace {

template <typename T>
T* Make(QWidget* parent, const char* name) {
  auto* control = new T(parent);
  control->setObjectName(QLatin1String(name));
  return control;
}

template <typename T>
T* Make(QWidget* parent, const QString& name) {
  auto* control = new T(parent);
  control->setObjectName(name);
  return control;
}

ctl::Label* MakeLabel(QWidget* parent, const QString& name, const QString& caption, double left, double top,
                      double width, double height) {
  auto* label = Make<ctl::Label>(parent, name);
  label->SetBackStyle(0);
  label->SetCaption(caption);
  label->Move(left, top, width, height);
  return label;
}

struct ToolButton {
  const char* key;
  const char* toolTip;
  int style;
};

void AddButtons(ctl::Toolbar* toolbar, std::initializer_list<ToolButton> buttons) {
  for (const ToolButton& b : buttons) {
    ctl::Button& button = toolbar->Buttons.Add(0, QLatin1String(b.key), QString(), b.style);
    button.SetToolTipText(QLatin1String(b.toolTip));
  }
}

}  // namespace

void frmReelwise::CreateControls() {
  LoadImageLists();
  CreateTitleBar();
  CreateTreePane();
  CreateBrowserPane();
  CreateBrowserToolbar();
  CreateWelcomePage();
  CreateInspector();
  CreateTransportBar();
  CreateInspectorContent();
  CreateTimersAndMenus();
}

void frmReelwise::LoadImageLists() {
  const std::pair<ctl::ImageList*, const char*> lists[] = {
      {&imglistToolBar, "imglistToolBar"}, {&imglstMenus, "imglstMenus"},
      {&imglstReelwise, "imglstReelwise"}, {&ilStateIcons, "ilStateIcons"},
      {&imglstDragIcons, "imglstDragIcons"}, {&imglstControlBoxNormal, "imglstControlBoxNormal"},
      {&imglstViewSpec, "imglstViewSpec"}};
  for (const auto& [list, name] : lists) {
    const QString listName = QLatin1String(name);
    for (const QString& key : ImageListKeys(listName)) {
      const QImage picture = LoadImageListPicture(listName, key);
      list->SetImageSize(picture.width(), picture.height());
      list->ListImages.Add(key, QPixmap::fromImage(picture));
    }
  }
}

void frmReelwise::CreateTitleBar() {
  picWindowHeader = Make<ctl::PictureBox>(this, "picWindowHeader");
  picWindowHeader->Move(0, 0, width(), 25);
  picCaption = Make<ctl::PictureBox>(picWindowHeader, "picCaption");
  picCaption->Move(0, 0, width(), 25);
  picSysMenu = Make<ctl::PictureBox>(picCaption, "picSysMenu");
  picSysMenu->Move(4, 2, 21, 21);
  imgSysMenu = Make<ctl::Image>(picSysMenu, "imgSysMenu");
  imgSysMenu->SetStretch(true);
  imgSysMenu->Move(1, 1, 19, 19);
  imgSysMenu->SetPicture(imglstDragIcons.Picture(QStringLiteral("LOGO")));
  lblCaption = MakeLabel(picCaption, QStringLiteral("lblCaption"), QStringLiteral("No Library Loaded"), 30, 8, 200, 13);
  lblCaption->SetFontBold(true);
  picBusyIndicator = Make<ctl::PictureBox>(picCaption, "picBusyIndicator");
  picBusyIndicator->Move(width() - 120, 4, 18, 18);
  picBusyIndicator->SetVisible(false);
  RWBusyInd = Make<ctl::AnimatedPicture>(picBusyIndicator, "RWBusyInd");
  RWBusyInd->LoadAnimation(QStringLiteral("BUSY"));
  RWBusyInd->Move(1, 1);
  RWBusyInd->SetVisible(false);
  tbControlBox = Make<ctl::Toolbar>(picCaption, "tbControlBox");
  tbControlBox->SetImageList(&imglstControlBoxNormal);
  AddButtons(tbControlBox, {{"MODE", "Compact Mode", ctl::tbrDefault},
                            {"MIN", "Minimise", ctl::tbrDefault},
                            {"RESTORE", "Maximise", ctl::tbrDefault},
                            {"CLOSE", "Close", ctl::tbrDefault}});
  for (const char* key : {"MODE", "MIN", "RESTORE", "CLOSE"}) {
    tbControlBox->Buttons(QLatin1String(key)).SetImage(QLatin1String(key));
  }
  tbControlBox->Buttons(QStringLiteral("MODE")).SetImage(QStringLiteral("COMPACT"));
  tbControlBox->Buttons(QStringLiteral("RESTORE")).SetImage(QStringLiteral("MAX"));

  picHolder = Make<ctl::PictureBox>(this, "picHolder");
  picHolder->Move(0, 25, width(), 56);
  cReBar1 = Make<ctl::PictureBox>(picHolder, "cReBar1");
  cReBar1->Move(0, 0, width(), 22);
  tbrMenu = Make<ctl::Toolbar>(cReBar1, "tbrMenu");
  tbrMenu->Move(0, 0, width(), 22);
  cToolbar1 = Make<ctl::Toolbar>(cReBar1, "cToolbar1");
  cToolbar1->SetVisible(false);
  tbMain = Make<ctl::Toolbar>(picHolder, "tbMain");
  tbMain->Move(0, 22, width(), 32);
  const int sep = ctl::tbrSeparator;
  const int group = ctl::tbrButtonGroup;
  const int check = ctl::tbrCheck;
  AddButtons(tbMain, {{"NEW_LIB", "Create a New Library", ctl::tbrDefault},
                      {"OPEN_LIB", "Open a Library", ctl::tbrDefault},
                      {"ADD_FILES", "Add Files to this Library", ctl::tbrDefault},
                      {"SEP1", "", sep},
                      {"UI-STANDARD", "Standard Interface Layout", group},
                      {"UI-ALTERNATE", "Alternative Interface Layout", group},
                      {"INSPECTOR", "Show or Hide the File Inspector", check},
                      {"CLOUD", "Show or Hide the Tag Cloud", check},
                      {"SEP2", "", sep},
                      {"BACKWARD", "Go back to the previous View", ctl::tbrDefault},
                      {"REFRESH", "Refresh the current View", ctl::tbrDefault},
                      {"FORWARD", "Go to the next View", ctl::tbrDefault},
                      {"HISTORY", "Browser History", ctl::tbrDropdown},
                      {"SEP3", "", sep},
                      {"SEARCH", "Search in filenames, titles and descriptions", ctl::tbrDefault},
                      {"POSTER", "Create a Story Board of the current file", ctl::tbrDefault},
                      {"MEDIAINFO", "View detailed file information", ctl::tbrDefault},
                      {"PLAY_SHOW", "Play all Selected Files", ctl::tbrDefault},
                      {"SHUFFLE", "Random Playback", check},
                      {"SEP4", "", sep},
                      {"TILE_VIEW", "Show the File Browser as a mosaic of Thumbnails", group},
                      {"LIST_VIEW", "Show the File Browser as a List", group},
                      {"CAROUSEL_VIEW", "Show the Browser as a Carousel of Images", group},
                      {"SEP5", "", sep},
                      {"OPTIONS", "Configure Program Options", ctl::tbrDefault}});
  // The inspector is shown at start, as its menu item's mark says.
  tbMain->Buttons(QStringLiteral("INSPECTOR")).SetValue(ctl::tbrPressed);
}

void frmReelwise::CreateTreePane() {
  picLeft = Make<ctl::PictureBox>(this, "picLeft");
  picLeft->Move(0, 81, 256, 300);
  picLeftFrame = Make<ctl::PictureBox>(picLeft, "picLeftFrame");
  picLeftFrame->Move(3, 4, 246, 292);
  tvwLibrary = Make<ctl::TreeView>(picLeftFrame, "tvwLibrary");
  static_cast<ctl::Control*>(tvwLibrary)->Move(2, 2, 242, 288);
  gifTreeLoading = Make<ctl::AnimatedPicture>(picLeftFrame, "gifTreeLoading");
  gifTreeLoading->LoadAnimation(QStringLiteral("TREE_LOADING"));
  gifTreeLoading->SetVisible(false);
  picGrip = Make<ctl::PictureBox>(this, "picGrip");
  picGrip->SetPicture(QPixmap::fromImage(LoadResPicture(QStringLiteral("GRIPPER"), kResCustom)));
  picGrip->Move(250, 200, 6, 40);
}

void frmReelwise::CreateBrowserPane() {
  picRight = Make<ctl::PictureBox>(this, "picRight");
  picRight->Move(256, 81, 768, 300);
  picRightFrame = Make<ctl::PictureBox>(picRight, "picRightFrame");
  picRightFrame->Move(2, 4, 760, 292);
  picFlexFrame = Make<ctl::PictureBox>(picRightFrame, "picFlexFrame");
  picFlexFrame->Move(2, 2, 730, 288);
  flexThumbsTiled = Make<ctl::FlexGrid>(picFlexFrame, "flexThumbsTiled");
  flexThumbsTiled->SetFixedRows(0);
  flexThumbsTiled->SetFixedCols(0);
  flexThumbsTiled->SetGridLines(ctl::flexGridNone);
  flexThumbsList = Make<ctl::FlexGrid>(picFlexFrame, "flexThumbsList");
  flexThumbsList->SetFixedCols(0);
  flexThumbsList->SetSelectionMode(ctl::flexSelectionByRow);
  flexThumbsList->SetVisible(false);
  ucCarouselCanvas = Make<ucCanvas>(picFlexFrame, "ucCarouselCanvas");
  ucCarouselCanvas->SetVisible(false);
  scrollFlex = Make<ctl::VScrollBar>(picRightFrame, "scrollFlex");
  scrollFlex->Move(733, 2, 17, 284);
  picBlankTile = Make<ctl::PictureBox>(picRight, "picBlankTile");
  picBlankTile->Move(0, 0, 100, 75);
  picBlankTile->SetPicture(QPixmap::fromImage(LoadResPicture(QStringLiteral("TILE"), kResCustom)));
  picBlankTile->SetVisible(false);
}

void frmReelwise::CreateBrowserToolbar() {
  tbFileBrowser = Make<ctl::Toolbar>(this, "tbFileBrowser");
  tbFileBrowser->Move(0, 381, width(), 32);
  AddButtons(tbFileBrowser, {{"PROGRESS", "", ctl::tbrPlaceholder},
                             {"SD_FILTER", "Currently showing all files (Online and Offline)", ctl::tbrDropdown},
                             {"FILE", "Show Matching Files", ctl::tbrButtonGroup},
                             {"SEGMENT_FROM_FILE", "Show Segments from Matching Files", ctl::tbrButtonGroup},
                             {"SEGMENT", "Show Matching Segments", ctl::tbrButtonGroup},
                             {"COMBO", "", ctl::tbrPlaceholder},
                             {"REFRESH", "Refresh", ctl::tbrDropdown},
                             {"FILE_COUNT", "", ctl::tbrPlaceholder}});
  tbFileBrowser->Buttons(QStringLiteral("PROGRESS")).SetWidth(259);
  tbFileBrowser->Buttons(QStringLiteral("COMBO")).SetWidth(300);
  tbFileBrowser->Buttons(QStringLiteral("FILE")).SetValue(ctl::tbrPressed);
  auto& filter = tbFileBrowser->Buttons(QStringLiteral("SD_FILTER")).ButtonMenus;
  filter.Add(0, QStringLiteral("ALL_SDs"), QStringLiteral("Show All Files"));
  filter.Add(0, QStringLiteral("ONLINE_SDs"), QStringLiteral("Show Online Files Only"));
  filter.Add(0, QStringLiteral("OFFLINE_SDs"), QStringLiteral("Show Offline Files Only"));
  auto& refresh = tbFileBrowser->Buttons(QStringLiteral("REFRESH")).ButtonMenus;
  refresh.Add(0, QStringLiteral("SAVE_VIEW"), QStringLiteral("Save as a new View"));
  refresh.Add(0, QStringLiteral("AUTO_REFRESH"), QStringLiteral("Turn ON Auto-Refresh"));

  picProgress = Make<ctl::PictureBox>(tbFileBrowser, "picProgress");
  picProgress->SetContainerUnits(ctl::ScaleUnits::Twips);
  picProgress->Move(60, 0, 3600, 330);
  cmbBrowserHistory = Make<ctl::ImageCombo>(this, "cmbBrowserHistory");
  cmbBrowserHistory->SetImageList(&imglstViewSpec);
  cmbBrowserHistory->Move(0, 0, 300, 22);
  lblHistoryMeasure = MakeLabel(this, QStringLiteral("lblHistoryMeasure"), QString(), 0, 0, 10, 10);
  lblHistoryMeasure->SetAutoSize(true);
  lblHistoryMeasure->SetVisible(false);
  Frame3 = Make<ctl::Frame>(tbFileBrowser, "Frame3");
  Frame3->SetContainerUnits(ctl::ScaleUnits::Twips);
  Frame3->SetBorderStyle(0);
  Frame3->Move(9000, 0, 3225, 450);
  lblSelectCount = MakeLabel(Frame3, QStringLiteral("lblSelectCount"), QStringLiteral("[0 Selected]"), 4, 8, 90, 15);
  lblResultSize = MakeLabel(Frame3, QStringLiteral("lblResultSize"), QStringLiteral("0 File(s)"), 96, 8, 110, 15);
  lblResultSize->SetAlignment(ctl::vbRightJustify);
  cmdAbortScan = Make<QPushButton>(tbFileBrowser, "cmdAbortScan");
  cmdAbortScan->setText(QStringLiteral("Abort"));
  cmdAbortScan->setVisible(false);
}

void frmReelwise::CreateWelcomePage() {
  picWelcomeHolder = Make<ctl::PictureBox>(picLeftFrame, "picWelcomeHolder");
  picWelcomeHolder->Move(2, 2, 242, 288);
  picWelcomeHolder->SetBackColor(RGB(255, 255, 255));
  picWelcome = Make<ctl::PictureBox>(picWelcomeHolder, "picWelcome");
  picWelcome->Move(21, 0, 200, 330);
  picWelcome->SetBackColor(RGB(255, 255, 255));
  imgWelcomeLogo = Make<ctl::Image>(picWelcome, "imgWelcomeLogo");
  imgWelcomeLogo->SetStretch(true);
  imgWelcomeLogo->Move(8, 8, 183, 177);
  lblWelcomeTitle =
      MakeLabel(picWelcome, QStringLiteral("lblWelcomeTitle"), QStringLiteral("Welcome to Reelwise II..."), 8, 196, 190, 18);
  lblWelcomeBegin = MakeLabel(picWelcome, QStringLiteral("lblWelcomeBegin"), QStringLiteral("To begin, click:"), 8, 224, 190, 16);
  const char* captions[] = {"    to open an exisitng Library, or", "    to create a new one"};
  for (int i = 0; i < 2; ++i) {
    imgWelcome[i] = Make<ctl::Image>(picWelcome, QStringLiteral("imgWelcome(%1)").arg(i));
    imgWelcome[i]->Move(8, 248 + 36 * i, 24, 24);
    lblWelcome[i] = MakeLabel(picWelcome, QStringLiteral("lblWelcome(%1)").arg(i), QLatin1String(captions[i]), 32,
                              254 + 36 * i, 166, 16);
  }
  for (ctl::Label* label : {lblWelcomeTitle, lblWelcomeBegin, lblWelcome[0], lblWelcome[1]}) {
    label->SetFontName(QStringLiteral("Tahoma"));
  }
  lblWelcomeTitle->SetFontBold(true);
}

void frmReelwise::CreateInspector() {
  picBottom = Make<ctl::PictureBox>(this, "picBottom");
  picBottom->Move(0, 430, width(), 338);
  picBottomFrame = Make<ctl::PictureBox>(picBottom, "picBottomFrame");
  picBottomFrame->Move(3, 3, width() - 6, 332);
  picTabBG = Make<ctl::PictureBox>(picBottomFrame, "picTabBG");
  picTabBG->SetVisible(false);
  const char* headings[] = {"", "TAB_SPEC", "TAB_PREV", "TAB_SEG", "TAB_CAT"};
  for (int i = 1; i <= 4; ++i) {
    picInspector[i] = Make<ctl::PictureBox>(picBottomFrame, QStringLiteral("picInspector(%1)").arg(i));
    imgTab[i] = Make<ctl::Image>(picInspector[i], QStringLiteral("imgTab(%1)").arg(i));
    imgTab[i]->SetPicture(QPixmap::fromImage(LoadResPicture(QLatin1String(headings[i]), kResCustom)));
    imgTab[i]->Move(0, 0);
    lblCollapseTab[i] = MakeLabel(picInspector[i], QStringLiteral("lblCollapseTab(%1)").arg(i), QString(), 0, 0, 20, 150);
  }
}

void frmReelwise::CreateTransportBar() {
  QWidget* preview = picInspector[2];
  framPreview = Make<ctl::Frame>(preview, "framPreview");
  framPreview->SetBorderStyle(0);
  framPreview->Move(24, 4, 324, 316);
  picMPlayerSkin = Make<ctl::PictureBox>(framPreview, "picMPlayerSkin");
  picMPlayerSkin->Move(0, 0, 324, 316);
  picMPlayerSkin->SetPicture(QPixmap::fromImage(LoadResPicture(QStringLiteral("MPLAYER"), kResCustom)));
  picOpenFile = Make<ctl::PictureBox>(picMPlayerSkin, "picOpenFile");
  picOpenFile->Move(7, 6, 310, 232);
  picOpenFile->SetBackColor(RGB(0, 0, 0));
  lblOpenFileStatus = MakeLabel(picOpenFile, QStringLiteral("lblOpenFileStatus"), QString(), 8, 100, 294, 32);
  lblOpenFileStatus->SetAlignment(ctl::vbCenter);
  RWLoadingInd = Make<ctl::AnimatedPicture>(picOpenFile, "RWLoadingInd");
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

void frmReelwise::CreateInspectorContent() {
  QWidget* specs = picInspector[1];
  QWidget* segments = picInspector[3];
  QWidget* cataloguing = picInspector[4];
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
  for (size_t i = 0; i < lblRemoveBackup.size(); ++i) {
    lblRemoveBackup[i] =
        MakeLabel(frameBackupOptions, QStringLiteral("lblRemoveBackup(%1)").arg(i), QString(), 0, 0, 100, 14);
  }

  flexSegments = Make<ctl::FlexGrid>(segments, "flexSegments");
  for (size_t i = 0; i < lblSegmentsScroll.size(); ++i) {
    lblSegmentsScroll[i] = MakeLabel(segments, QStringLiteral("lblSegmentsScroll(%1)").arg(i), QString(), 0, 0, 16, 16);
  }
  tbSegments = Make<ctl::Toolbar>(segments, "tbSegments");
  AddButtons(tbSegments, {{"SAVE_SEGMENT", "Save Segment", ctl::tbrDefault},
                          {"EDIT_SEGMENT", "Edit Segment", ctl::tbrDefault},
                          {"DELETE_SEGMENT", "Delete Segment", ctl::tbrDefault},
                          {"HIGHLIGHTS", "Play Highlights", ctl::tbrDefault}});

  picThumbnail = Make<ctl::PictureBox>(cataloguing, "picThumbnail");
  picUnplayable = Make<ctl::PictureBox>(cataloguing, "picUnplayable");
  picUnplayable->SetVisible(false);
  for (size_t i = 0; i < imgRating.size(); ++i) {
    imgRating[i] = Make<ctl::Image>(cataloguing, QStringLiteral("imgRating(%1)").arg(i));
  }
  lstFileTags = Make<ctl::ListView>(cataloguing, "lstFileTags");
  for (size_t i = 0; i < lblTagListScroll.size(); ++i) {
    lblTagListScroll[i] = MakeLabel(cataloguing, QStringLiteral("lblTagListScroll(%1)").arg(i), QString(), 0, 0, 16, 16);
  }
  flexFileDetails = Make<ctl::FlexGrid>(cataloguing, "flexFileDetails");
  tbCataloguing = Make<ctl::Toolbar>(cataloguing, "tbCataloguing");
  AddButtons(tbCataloguing, {{"REMOVE_TAG", "Remove Tag", ctl::tbrDefault},
                             {"EDIT_USERDATA", "Edit Title and Description", ctl::tbrDefault}});
  picAutoTag = Make<ctl::PictureBox>(cataloguing, "picAutoTag");
  picAutoTag->SetVisible(false);
  lblAutoTag = MakeLabel(picAutoTag, QStringLiteral("lblAutoTag"), QString(), 0, 0, 100, 14);
}

void frmReelwise::CreateTimersAndMenus() {
  Timer1 = Make<ctl::TimerControl>(this, "Timer1");
  Timer1->SetInterval(300);
  Timer1->SetEnabled(false);
  timerFilePreview = Make<ctl::TimerControl>(this, "timerFilePreview");
  timerFilePreview->SetInterval(100);
  tvwEditTimer = Make<ctl::TimerControl>(this, "tvwEditTimer");
  tvwEditTimer->SetInterval(100);
  Timer2 = Make<ctl::TimerControl>(this, "Timer2");
  NonT9Timer = Make<ctl::TimerControl>(this, "NonT9Timer");
  CarouselTimer = Make<ctl::TimerControl>(this, "CarouselTimer");
  for (ctl::TimerControl* timer : {timerFilePreview, tvwEditTimer, Timer2, NonT9Timer, CarouselTimer}) {
    timer->SetEnabled(false);
  }

  mnuResultsPopUp = Make<QMenu>(this, "mnuResultsPopUp");
  mnuRecentFiles = mnuResultsPopUp->addAction(QStringLiteral("Recent Files"));
  mnuRecentFiles->setObjectName(QStringLiteral("mnuRecentFiles"));
  mnuClearSelections = mnuResultsPopUp->addAction(QStringLiteral("Clear Selections"));
  mnuClearSelections->setObjectName(QStringLiteral("mnuClearSelections"));
  mnuResultsPopUp->addSeparator();
  mnuDeleteFile = mnuResultsPopUp->addAction(QStringLiteral("Delete File"));
  mnuDeleteFile->setObjectName(QStringLiteral("mnuDeleteFile"));
  mnuRemoveFile = mnuResultsPopUp->addAction(QStringLiteral("Remove from Library"));
  mnuRemoveFile->setObjectName(QStringLiteral("mnuRemoveFile"));
  mnuTree = Make<QMenu>(this, "mnuTree");
  mnuFileTagsPopUp = Make<QMenu>(this, "mnuFileTagsPopUp");
  mnuListViewColumnsPopUp = Make<QMenu>(this, "mnuListViewColumnsPopUp");
  const char* const columns[] = {"File Path", "File Name", "File Size", "Duration",
                                 "Resolution", "Frame Rate", "Bitrate", "Format"};
  for (size_t i = 3; i <= 10; ++i) {
    QAction* item = mnuListViewColumnsPopUp->addAction(QLatin1String(columns[i - 3]));
    item->setObjectName(QStringLiteral("mnuListViewCol(%1)").arg(i));
    item->setCheckable(true);
    item->setChecked(true);
    mnuListViewCol[i] = item;
  }
}
