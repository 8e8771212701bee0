// The main window's controls as they stand before any code runs: their
// parents, names, initial places, styles and the toolbar buttons; each pane
// makes its own.
#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/CarouselPane.h"
#include "import/ImportPane.h"
#include "inspector/InspectorPane.h"
#include "mainwindow/MainWindowHosts.h"
#include "options/OptionsPane.h"
#include "platform/ErrorGuard.h"
#include "resources/Resources.h"
#include "ui/FormDesign.h"

#include <QAction>
#include <QMenu>

using FormDesign::AddButtons;
using FormDesign::Make;
using FormDesign::MakeLabel;

void frmReelwise::CreateControls() {
  LoadImageLists();
  CreateTitleBar();
  tree_ = std::make_unique<LibraryTreePane>(*hosts_, this, m_DragState);
  results_ = std::make_unique<ResultsPane>(*hosts_, this, m_DragState);
  carousel_ = std::make_unique<CarouselPane>(this, results_->picFlexFrame);
  import_ = std::make_unique<ImportPane>(*hosts_, results_->tbFileBrowser);
  CreateWelcomePage();
  inspector_ = std::make_unique<InspectorPane>(*hosts_, this);
  options_ = std::make_unique<OptionsPane>();
  // The tree asks the results to line up their history after a node opens
  // as a search; the results ask the tree to open a node dropped on them.
  tree_->Attach(*inspector_, *results_);
  results_->Attach(*carousel_, *inspector_, *tree_);
  CreateMenus();
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

void frmReelwise::CreateWelcomePage() {
  picWelcomeHolder = Make<ctl::PictureBox>(tree_->picLeftFrame, "picWelcomeHolder");
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
  const char* captions[] = {"    to open an existing Library, or", "    to create a new one"};
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

