// The results pane's controls as they stand before any code runs, and their
// set-up when the main window loads.
#include "browser/ResultsPane.h"

#include "browser/ResultGrids.h"
#include "browser/cToolTipHost.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "resources/Resources.h"
#include "ui/FormDesign.h"
#include "ui/cFlatControl.h"
#include "ui/cMouseTrack.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStyle>

using FormDesign::AddButtons;
using FormDesign::Make;
using FormDesign::MakeLabel;
using modReelwise::ScaledFont;
using modReelwise::ScaledWidth;

float gTileColumns = 0;
float gTileRowsVisible = 0;

ResultsPane::ResultsPane(IBrowserHost& host, QWidget* window, DragState& drag) : host_(host), drag_(drag) {
  CreateResultBrowser(window);
  CreateBrowserToolbar(window);
  CreateTimerAndMenu(window);
  WireBrowserEvents();
}

ResultsPane::~ResultsPane() = default;

void ResultsPane::Attach(CarouselPane& carousel, InspectorPane& inspector, ILibraryTreeLink& tree) {
  carousel_ = &carousel;
  inspector_ = &inspector;
  tree_ = &tree;
  WireCarouselCanvas();
}

void ResultsPane::CreateResultBrowser(QWidget* window) {
  picRight = Make<ctl::PictureBox>(window, "picRight");
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
  // The list's rows show their results' texts, made when they are shown.
  flexThumbsList->Model().SetTextSource(&ResultGrids::ListText);
  flexThumbsList->SetVisible(false);
  scrollFlex = Make<ctl::VScrollBar>(picRightFrame, "scrollFlex");
  scrollFlex->Move(733, 2, 17, 284);
  picBlankTile = Make<ctl::PictureBox>(picRight, "picBlankTile");
  picBlankTile->Move(0, 0, 100, 75);
  picBlankTile->SetPicture(QPixmap::fromImage(LoadResPicture(QStringLiteral("TILE"), kResCustom)));
  picBlankTile->SetVisible(false);
}

void ResultsPane::CreateBrowserToolbar(QWidget* window) {
  tbFileBrowser = Make<ctl::Toolbar>(window, "tbFileBrowser");
  tbFileBrowser->Move(0, 381, window->width(), 32);
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
  cmbBrowserHistory = Make<ctl::ImageCombo>(window, "cmbBrowserHistory");
  cmbBrowserHistory->SetImageList(&host_.imglstViewSpec());
  cmbBrowserHistory->Move(0, 0, 300, 22);
  lblHistoryMeasure = MakeLabel(window, QStringLiteral("lblHistoryMeasure"), QString(), 0, 0, 10, 10);
  lblHistoryMeasure->SetAutoSize(true);
  lblHistoryMeasure->SetVisible(false);
  Frame3 = Make<ctl::Frame>(tbFileBrowser, "Frame3");
  Frame3->SetContainerUnits(ctl::ScaleUnits::Twips);
  Frame3->SetBorderStyle(0);
  Frame3->Move(9000, 0, 3225, 450);
  lblSelectCount = MakeLabel(Frame3, QStringLiteral("lblSelectCount"), QStringLiteral("[0 Selected]"), 4, 8, 90, 15);
  lblResultSize = MakeLabel(Frame3, QStringLiteral("lblResultSize"), QStringLiteral("0 File(s)"), 96, 8, 110, 15);
  lblResultSize->SetAlignment(ctl::vbRightJustify);
}

void ResultsPane::CreateTimerAndMenu(QWidget* window) {
  Timer1 = Make<ctl::TimerControl>(window, "Timer1");
  Timer1->SetInterval(300);
  Timer1->SetEnabled(false);
  mnuListViewColumnsPopUp = Make<QMenu>(window, "mnuListViewColumnsPopUp");
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

void ResultsPane::InitBrowserToolbar() {
  tbFileBrowser->SetImageList(&host_.imglistToolBar());
  for (const char* key : {"FILE", "SEGMENT_FROM_FILE", "SEGMENT", "REFRESH"}) {
    tbFileBrowser->Buttons(QLatin1String(key)).SetImage(QLatin1String(key));
  }
  tbFileBrowser->Buttons(QStringLiteral("SD_FILTER")).SetImage(QStringLiteral("ALL_DISKS"));
  ctl::Button& count = tbFileBrowser->Buttons(QStringLiteral("FILE_COUNT"));
  count.SetWidth(ScaledWidth(215));
  Frame3->SetWidth(count.Width() * gTwipsPerPixelX);
}

void ResultsPane::InitHistoryCombo() {
  m_cFlatHistory = std::make_unique<cFlatControl>();
  m_cFlatHistory->Attach(cmbBrowserHistory);
  cmbBrowserHistory->setParent(tbFileBrowser);
  cmbBrowserHistory->SetFontSize(ScaledFont(9));
  cmbBrowserHistory->Click = [this] { cmbBrowserHistory_Click(); };
}

void ResultsPane::InitCountLabels() {
  lblResultSize->SetFontSize(ScaledFont(9));
  lblSelectCount->SetFontSize(ScaledFont(9));
}

void ResultsPane::InitTileGrid() {
  flexThumbsTiled->SetCols(1);
  flexThumbsTiled->SetColWidth(0, gTileWidthTwips);
  flexThumbsTiled->SetRowHeightMin(gTileHeightTwips);
  flexThumbsTiled->SetForeColor(gCursorColour);
  flexThumbsTiled->SetFontSize(ScaledFont(72));
  flexThumbsTiled->SetMouseIcon(gHandCursor);
}

void ResultsPane::InitListGrid() {
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
  // A row is a tile high: a long path or name wraps onto its next lines.
  flexThumbsList->SetWordWrap(true);
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

void ResultsPane::InitScrollBar() {
  scrollFlex->SetWidth(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

void ResultsPane::InitHoverTips() {
  m_cToolTips = std::make_unique<cToolTipHost>();
  m_FlexMouseTrack = std::make_unique<cMouseTrack>();
  m_FlexMouseTrack->MouseHover = [this](int b, int s, double x, double y) { m_FlexMouseTrack_MouseHover(b, s, x, y); };
  m_FlexMouseTrack->MouseLeave = [this] { m_FlexMouseTrack_MouseLeave(); };
}
