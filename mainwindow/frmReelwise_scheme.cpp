// The main window's part of a colour scheme: the options dialog recolours the
// skin pictures and samples the four scheme colours; this puts the pictures
// in place and paints the panels, grids, tree and carousel in the colours. It
// also connects the dialog to what it changes here and in the carousel.
#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "browser/frmFindFiles.h"
#include "carousel/cCarousel.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "options/ExternalAppCommand.h"
#include "options/frmProgramOptions.h"
#include "platform/controls/FlexGrid.h"
#include "platform/controls/Frame.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/Label.h"
#include "platform/controls/ListView.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/TreeView.h"
#include "resources/Resources.h"
#include "ui/SchemeColours.h"
#include "ui/cwProgress.h"

#include <QAction>
#include <QPainter>

namespace {

constexpr COLORREF kRed = 255;

QPixmap Skin(const char* name, const QString& type) {
  return QPixmap::fromImage(SchemePicture(QLatin1String(name), type));
}

// The grid colours the scheme sets, by the grid's own property names: the
// fixed cells (back and fore), the area behind the cells and the grid lines.
struct GridColours {
  COLORREF back;
  COLORREF fore;
  COLORREF backFixed;
  COLORREF foreFixed;
  COLORREF backBkg;
  COLORREF grid;
  COLORREF gridFixed;
};

void PaintGrid(ctl::FlexGrid& grid, const GridColours& colours) {
  grid.SetBackColor(colours.back);
  grid.SetForeColor(colours.fore);
  grid.SetBackColorFixed(colours.backFixed);
  grid.SetForeColorFixed(colours.foreFixed);
  grid.SetBackColorBkg(colours.backBkg);
  grid.SetGridColor(colours.grid);
  grid.SetGridColorFixed(colours.gridFixed);
}

// The details grid's two heading rows in the frame colour.
void PaintDetailsHeadings(ctl::FlexGrid& grid) {
  if (grid.Rows() < 3) return;
  for (int row : {0, 2}) {
    grid.SetRow(row);
    grid.SetRowSel(row);
    grid.SetFillStyle(1);
    grid.SetCellBackColor(gSchemeColour3);
    grid.SetCellForeColor(gSchemeColour2);
    if (row == 2) grid.SetCellFontBold(true);
  }
  grid.SetTextMatrix(0, 0, QStringLiteral(" Title / Alias"));
  grid.SetTextMatrix(2, 0, QStringLiteral(" Description"));
}

// The inspector's detail labels and the panels and frames of both panes.
void PaintPanels(frmReelwise& form) {
  ResultsPane& results = form.Results();
  InspectorPane& inspector = form.Inspector();
  for (ctl::Label* label : inspector.lblFileData) {
    label->SetForeColor(gSchemeColour4);
    label->SetBackColor(gSchemeColour3);
  }
  inspector.lblFileData[0]->SetForeColor(gSchemeColour2);
  for (ctl::Label* label : inspector.lblFileSpec) label->SetForeColor(gSchemeColour4);
  inspector.picBottomFrame->SetBackColor(gSchemeColour3);
  results.Frame3->SetBackColor(gSchemeColour1);
  inspector.frameBackupOptions->SetBackColor(gSchemeColour1);
  results.picProgress->SetBackColor(gSchemeColour1);
  if (form.progProgress) form.progProgress->BroadcastProgress(QString(), 0, gSchemeColour4);
  results.cmbBrowserHistory->SetForeColor(gSchemeColour4);
}

}  // namespace

void frmReelwise::RepaintInScheme() {
  PaintInSchemeColours();
  ApplySchemePictures();
  // The carousel's palette follows the program's colour scheme.
  if (gCarousel) gCarousel->SetColourScheme(0);
  Results().DrawGridImages();
}

void frmReelwise::SetDeleteMenuCaption(bool toRecycleBin) {
  mnuDeleteFile->setText(toRecycleBin ? QStringLiteral("Delete to Recycle Bin") : QStringLiteral("Delete File"));
}

void frmReelwise::ReloadInspector() {
  bool loaded = false;
  if (gInspectedItem.SegmentID != 0) Inspector().LoadInspector(gInspectedItem, loaded);
}

// The banner logo beside the menu bar, the trim under it and the hidden
// picture that holds the rebar's band.
void frmReelwise::CreateSchemeControls() {
  Picture1 = new ctl::PictureBox(this);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->hide();
  picBannerLogo = new ctl::PictureBox(picHolder);
  picBannerLogo->setObjectName(QStringLiteral("picBannerLogo"));
  imgBanner = new ctl::Image(picBannerLogo);
  imgBanner->setObjectName(QStringLiteral("imgBanner"));
  shpMenuTrim = new ctl::PictureBox(picHolder);
  shpMenuTrim->setObjectName(QStringLiteral("shpMenuTrim"));
}

void frmReelwise::FollowCursorColour(COLORREF colour) {
  ResultsPane& results = Results();
  results.flexThumbsTiled->SetForeColor(colour);
  ctl::FlexGrid& list = *results.flexThumbsList;
  if (list.Cols() > 1) {
    const int row = list.Row();
    const int col = list.Col();
    for (int r = 1; r < list.Rows(); ++r) {
      list.SetRow(r);
      list.SetCol(1);
      list.SetCellForeColor(colour);
    }
    if (list.Rows() > 0) {
      list.SetRow(row);
      list.SetCol(col);
    }
  }
  Inspector().lblOpenFileStatus->SetForeColor(colour);
}

// Every picture from the recoloured skin, then the colours the panes take.
void frmReelwise::ApplySchemePictures() {
  LibraryTreePane& tree = Tree();
  ResultsPane& results = Results();
  InspectorPane& inspector = Inspector();
  inspector.picMPlayerSkin->SetPicture(Skin("MPLAYER", kResCustom));
  ResizeCompactGUI(-99);
  inspector.picTabBG->SetPicture(Skin("TAB_BG", kResCustom));
  for (int i = 1; i <= 4; ++i) inspector.PaintTabBackground(i);
  inspector.picSelection->SetPicture(Skin("SEL_TRACK", kResBitmap));
  const char* const tabs[] = {"", "TAB_SPEC", "TAB_PREV", "TAB_CAT", "TAB_SEG"};
  for (int i = 1; i <= 4; ++i) {
    if (inspector.imgTab[i]) inspector.imgTab[i]->SetPicture(Skin(tabs[i], kResCustom));
  }
  inspector.lstFileTags->SetPicture(Skin("LV_BG", kResCustom));
  results.picBlankTile->SetPicture(Skin("TILE", kResCustom));
  if (gInspectedItem.FileID == 0) inspector.picThumbnail->SetPicture(results.picBlankTile->Picture());
  tree.picGrip->SetPicture(Skin("GRIPPER", kResCustom));
  inspector.imgSliderThumb->SetPicture(Skin("SLIDER_THUMB", kResBitmap));
  inspector.picVolume->SetPicture(Skin("VOL_SLIDER", kResBitmap));
  inspector.picVolumeThumb->SetPicture(Skin("VOL_THUMB", kResBitmap));
  gSearchBanner = SchemePicture(QStringLiteral("SEARCH_BANNER"), kResCustom);
  imgBanner->SetPicture(Skin("RW_BANNER", kResCustom));
  Picture1->SetPicture(Skin("MAIN_TB_BG", kResBitmap));
  BuildRebar();
  picBannerLogo->SetBackColor(gSchemeColour1);
  PaintPanels(*this);
  // The toolbars show the new class pattern.
  for (ctl::Toolbar* bar : {tbControlBox, results.tbFileBrowser, inspector.tbCataloguing, inspector.tbSegments,
                            inspector.tbFileSpecs, tbMain}) {
    bar->update();
  }
  PaintSchemeGrids();
  PaintSchemeCaption();
  PaintLibraryTree();
}

// The grids by the roles of the scheme: the results on the grid colour, the
// list's fixed cells on the panel colour with label-coloured lines, the
// segments and details with frame-coloured fixed cells and lines.
void frmReelwise::PaintSchemeGrids() {
  ResultsPane& results = Results();
  InspectorPane& inspector = Inspector();
  ctl::FlexGrid& tiled = *results.flexThumbsTiled;
  PaintGrid(tiled, {gSchemeColour2, tiled.ForeColor(), tiled.BackColorFixed(), tiled.ForeColorFixed(), gSchemeColour2,
                    gSchemeColour2, tiled.GridColorFixed()});
  ctl::FlexGrid& list = *results.flexThumbsList;
  PaintGrid(list, {gSchemeColour2, list.ForeColor(), gSchemeColour1, gSchemeColour4, gSchemeColour2, gSchemeColour1,
                   gSchemeColour4});
  ctl::FlexGrid& segments = *inspector.flexSegments;
  PaintGrid(segments, {gSchemeColour2, gSchemeColour4, gSchemeColour3, gSchemeColour2, segments.BackColorBkg(),
                       gSchemeColour3, segments.GridColorFixed()});
  ctl::FlexGrid& details = *inspector.flexFileDetails;
  PaintGrid(details, {gSchemeColour2, gSchemeColour4, details.BackColorFixed(), details.ForeColorFixed(), gSchemeColour2,
                      gSchemeColour3, details.GridColorFixed()});
  PaintDetailsHeadings(details);
}

void frmReelwise::PaintSchemeCaption() {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, ColorRefToQColor(gSchemeColour1));
  setPalette(palette);
  picCaption->SetBackColor(gSchemeColour1);
  lblCaption->SetForeColor(gSchemeColour2);
  shpMenuTrim->SetBackColor(gSchemeColour2);
}

// Every node in the label colour but those whose red marks a state: the
// unplayable files, the undetermined formats and the offline devices.
void frmReelwise::PaintLibraryTree() {
  ctl::NodeCollection& nodes = Tree().tvwLibrary->Nodes;
  for (int i = 1; i <= nodes.Count(); ++i) {
    ctl::Node& node = nodes.Item(i);
    if (node.Key() == QLatin1String("ID1")) {
      node.SetForeColor(kRed);
    } else if (node.ForeColor() != kRed) {
      node.SetForeColor(gSchemeColour4);
    }
  }
}
