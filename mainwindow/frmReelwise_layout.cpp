// The main window's pane layout (tree pane, browser, inspector and browser
// toolbar in the standard or the alternate layout), the busy display of its
// title bar and the browser controls' enabled state.
#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/CarouselPane.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/Rounding.h"
#include "platform/cPopupMenu.h"
#include "player/clsRWPlayer.h"
#include "resources/GlyphFont.h"
#include "ui/SchemeColours.h"
#include "ui/WorkArea.h"
#include "ui/cMDISplit.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

double TileWidthPixels() { return static_cast<double>(gTileWidthTwips) / gTwipsPerPixelX; }
double TileHeightPixels() { return static_cast<double>(gTileHeightTwips) / gTwipsPerPixelY; }

// The panes begin under the title bar and the menu and tool bands.
double PanesTop(const frmReelwise& form) { return form.picHolder->Top() + form.picHolder->Height(); }

// The tree pane is docked left: down to the browser toolbar in the standard
// layout, to the window's foot in the alternate one.
double DockedTreeHeight(const frmReelwise& form) {
  double foot = form.height();
  if (form.m_GUILayout != 2) foot -= form.Inspector().picBottom->Height() + form.Results().tbFileBrowser->Height();
  return foot - PanesTop(form);
}

// Moves a control into another container, whose units it then uses; a
// control keeps showing as it did before the move.
void Rehome(ctl::Control& control, QWidget* container, ctl::ScaleUnits units) {
  if (control.parentWidget() == container) return;
  const bool shown = !control.isHidden();
  control.setParent(container);
  control.SetContainerUnits(units);
  control.setVisible(shown);
}

// The browser's frames and grids for the tree pane's requested width, then
// the browser snapped to whole tile columns; the tree pane takes the rest.
void SnapBrowserToTileColumns(LibraryTreePane& tree, ResultsPane& results, double inner) {
  const double tileWidth = TileWidthPixels();
  results.picRight->SetWidth(inner - tree.picLeft->Width());
  gTileColumns = static_cast<float>(std::floor(results.picRight->Width() / tileWidth));
  if (gTileColumns <= 0) gTileColumns = 1;
  results.picFlexFrame->Move(2, 2, tileWidth * gTileColumns + 2, results.picRight->ScaleHeight() - 8);
  results.scrollFlex->Move(results.picFlexFrame->Width() + 1, 2, results.scrollFlex->Width(), results.picFlexFrame->Height() - 4);
  results.picRightFrame->Move(2, 4, results.scrollFlex->Width() + results.picFlexFrame->Width() + 3, results.picRight->ScaleHeight() - 8);
  // The grids overhang the frame's right edge by their own scroll bar's
  // width; scrollFlex scrolls them.
  results.flexThumbsTiled->Move(0, 0, results.picFlexFrame->ScaleWidth() + 24, results.picFlexFrame->ScaleHeight() - 4);
  results.flexThumbsList->Move(0, 0, results.picFlexFrame->ScaleWidth() + 24, results.picFlexFrame->ScaleHeight());
  results.picFlexFrame->SetHeight(results.picRightFrame->Height() - 4);
  results.picRight->SetWidth(results.picRightFrame->Width() + 5);
  tree.picLeft->SetWidth(inner - results.picRight->ScaleWidth());
}

void PlaceTreePane(frmReelwise& form, double splitSize) {
  LibraryTreePane& tree = form.Tree();
  ResultsPane& results = form.Results();
  const double strip = form.m_GUILayout == 2 ? results.tbFileBrowser->Height() + 1 : 0;
  tree.picLeftFrame->Move(3, 4, tree.picLeft->ScaleWidth() - 5 - splitSize, tree.picLeft->Height() - 8 - strip);
  results.picRight->SetLeft(tree.picLeft->ScaleWidth());
  for (ctl::Control* pane : {static_cast<ctl::Control*>(tree.tvwLibrary), static_cast<ctl::Control*>(form.picWelcomeHolder)}) {
    pane->Move(2, 2, tree.picLeftFrame->ScaleWidth() - 4, tree.picLeftFrame->Height() - 4);
  }
  form.picWelcome->Move((tree.picLeftFrame->Width() - form.picWelcome->Width()) / 2, 0);
}

// The "PROGRESS" placeholder lies under the tree pane; "COMBO" takes the
// toolbar's width left of the file count once the browser is wide enough.
void SizePlaceholders(const LibraryTreePane& tree, ResultsPane& results) {
  results.tbFileBrowser->Buttons(QStringLiteral("PROGRESS")).SetWidth(tree.picLeft->Width() + 3);
  if (results.picRight->ScaleWidth() <= 500) return;
  ctl::Button& combo = results.tbFileBrowser->Buttons(QStringLiteral("COMBO"));
  combo.SetWidth(results.tbFileBrowser->Width() - combo.Left() - results.Frame3->Width() / gTwipsPerPixelX - 42);
}

// The alternate layout puts the inspector under the browser and the progress
// strip at the tree pane's foot; the standard one keeps the strip in its
// toolbar placeholder.
void PlaceLayoutParts(frmReelwise& form) {
  LibraryTreePane& tree = form.Tree();
  ResultsPane& results = form.Results();
  ctl::PictureBox& bottom = *form.Inspector().picBottom;
  ctl::PictureBox& strip = *results.picProgress;
  const double stripWidth = results.tbFileBrowser->Buttons(QStringLiteral("PROGRESS")).Width() - 14;
  const double paneTop = tree.picLeft->Top();
  if (form.m_GUILayout == 2) {
    results.tbFileBrowser->SetLeft(0);
    tree.picGrip->Move(tree.picLeft->Width() - 6,
                    paneTop + (tree.picLeft->Height() - bottom.Height() - results.tbFileBrowser->Height() - tree.picGrip->Height()) / 2);
    bottom.Move(results.picRight->Left(), bottom.Top(), results.picRight->Width());
    Rehome(strip, tree.picLeft, ctl::ScaleUnits::Pixels);
    strip.Move(4, tree.picLeft->ScaleHeight() - results.tbFileBrowser->Height() - 1, stripWidth);
  } else {
    tree.picGrip->Move(tree.picLeft->Width() - 6, paneTop + (tree.picLeft->Height() - tree.picGrip->Height()) / 2);
    Rehome(strip, results.tbFileBrowser, ctl::ScaleUnits::Twips);
    strip.Move(4.0 * gTwipsPerPixelX, 0, stripWidth * gTwipsPerPixelX);
  }
  tree.picGrip->ZOrder(0);
}

// The carousel's canvas keeps its top and fills the rest of the frame.
void PlaceCarouselCanvas(frmReelwise& form) {
  const ctl::PictureBox& frame = *form.Results().picFlexFrame;
  ucCanvas& canvas = *form.Carousel().ucCarouselCanvas;
  // In TV-Out mode the window itself holds the canvas.
  if (canvas.parentWidget() == &form) {
    canvas.Move(0, canvas.Top(), form.width(), form.height() - canvas.Top());
    return;
  }
  const double height = frame.ScaleHeight() - canvas.Top();
  if (height > 0) canvas.Move(0, canvas.Top(), frame.ScaleWidth(), height);
}

// The history combo over "COMBO", the count frame over "FILE_COUNT" (twips).
void PlaceToolbarControls(ResultsPane& results) {
  const ctl::Button& combo = results.tbFileBrowser->Buttons(QStringLiteral("COMBO"));
  results.cmbBrowserHistory->Move(combo.Left() + 2, 0, combo.Width() - 5);
  results.AlignBrowserHistory();
  const ctl::Button& count = results.tbFileBrowser->Buttons(QStringLiteral("FILE_COUNT"));
  results.Frame3->Move(count.Left() * gTwipsPerPixelX, results.Frame3->Top(), count.Width() * gTwipsPerPixelX);
}

// The first two detail columns of the list share what the other columns
// (6550 twips) and the thumbnail leave, unless that is 1000 twips or less.
void WidenListColumns(ctl::FlexGrid& list) {
  const double w = RoundHalfEven(((list.Width() - 24) * gTwipsPerPixelX - gTileWidthTwips - 6550) / 2);
  if (w <= 1000) return;
  for (size_t k = 0; k < 2; ++k) {
    const int column = gListColumns[k].Column;
    if (column >= 0 && column < list.Cols()) list.SetColWidth(column, static_cast<int>(w));
  }
}

// The tile grid gains the rows that now fit, with the tiles' cell format;
// it loses none here. The cursor stays where it was.
void GrowTileRows(ctl::FlexGrid& grid) {
  const int rows = static_cast<int>(gTileRowsVisible);
  if (rows <= grid.Rows() || grid.Cols() <= 2) return;
  const int row = grid.Row();
  const int col = grid.Col();
  grid.SetRedraw(false);
  grid.SetRows(rows);
  grid.SetRowHeight(-1, gTileHeightTwips);
  grid.SetRow(0);
  grid.SetCol(1);
  grid.SetRowSel(rows - 1);
  grid.SetColSel(grid.Cols() - 2);
  grid.SetFillStyle(ctl::flexFillRepeat);
  grid.SetCellFontName(kGlyphFontFamily);
  grid.SetCellAlignment(ctl::flexAlignCenterCenter);
  grid.SetFillStyle(ctl::flexFillSingle);
  grid.SetRow(row);
  grid.SetCol(col);
  grid.SetRedraw(true);
}

// Whole tile rows in view; when every result fits on one page the grid has
// exactly those rows.
void FitTileRows(ctl::FlexGrid& grid, int32_t results) {
  gTileRowsVisible = static_cast<float>(std::floor(grid.Height() / TileHeightPixels()));
  GrowTileRows(grid);
  if (static_cast<double>(gTileRowsVisible) * gTileColumns >= results) {
    grid.SetRows(static_cast<int>(gTileRowsVisible));
  }
}

}  // namespace

// The panes for the window's size and the tree pane's requested width: the
// browser snapped to whole tile columns, then the toolbar's controls, the
// list columns and the tile rows, and the visible thumbnails drawn again.
// A minimised window, one narrower than 200 pixels or a tree pane lower than
// 100 pixels is left as it is; compact mode lays out only its own panel.
void frmReelwise::LayoutPanes() {
  if (isMinimized()) return;
  if (gWindowMode == 2) {
    ResizeCompactGUI(0);
    return;
  }
  const double inner = width();
  // A tree pane lower than 100 pixels is not laid out, unless the window is
  // as high as its work area lets it be (a small or scaled screen): there the
  // panes take what room there is, rather than keep the places of a larger
  // window and run off its edges.
  const double treeHeight = DockedTreeHeight(*this);
  const bool asHighAsItCanBe = height() >= WorkArea::Room(this).height();
  if (inner < 200 || treeHeight < (asHighAsItCanBe ? 1 : 100)) return;
  LayoutBottomToolbars();
  LibraryTreePane& tree = Tree();
  ResultsPane& results = Results();
  const int oldColumns = static_cast<int>(RoundHalfEven(gTileColumns));
  SnapBrowserToTileColumns(tree, results, inner);
  PlaceTreePane(*this, m_cSplitLeft ? m_cSplitLeft->SplitSize() : 4);
  SizePlaceholders(tree, results);
  PlaceLayoutParts(*this);
  PlaceCarouselCanvas(*this);
  PlaceToolbarControls(results);
  WidenListColumns(*results.flexThumbsList);
  const int32_t resultCount = gLibrary ? gLibrary->ResultCount : 0;
  FitTileRows(*results.flexThumbsTiled, resultCount);
  if (oldColumns != static_cast<int>(gTileColumns) && gBrowserMode == 1) results.LayoutThumbnailGrid(resultCount);
  results.UpdateThumbnailScrollBar(resultCount);
  results.scrollFlex_Change();
}

// The splitter was released with the tree pane as wide as it now is. The
// layout keeps the browser at whole tile columns, the tree pane taking the
// rest, and takes the columns that fit the browser's requested width: from a
// request at the bar, the edge would land up to a tile right of where the
// bar was let go. The request becomes the width of those the layout can give
// that is nearest the bar, so the edge lands within half a tile of it, right
// or left, and the splitter's limits still hold.
void frmReelwise::SnapSplitterRequest() {
  LibraryTreePane& tree = Tree();
  ResultsPane& results = Results();
  const double inner = width();
  const double tileWidth = TileWidthPixels();
  // The browser's width besides its tiles: the scroll bar and the frames.
  const double margins = results.scrollFlex->Width() + 10;
  const auto treeWidth = [&](double columns) { return inner - (tileWidth * columns + margins); };
  double columns = std::max(1.0, RoundHalfEven((inner - tree.picLeft->Width() - margins) / tileWidth));
  if (m_cSplitLeft) {
    while (columns > 1 && treeWidth(columns) < m_cSplitLeft->MinSize) --columns;
    while (treeWidth(columns) > m_cSplitLeft->MaxSize && treeWidth(columns + 1) >= m_cSplitLeft->MinSize) ++columns;
  }
  tree.picLeft->SetWidth(treeWidth(columns));
}

// Stands in for docking. Standard: the inspector along the window's foot,
// the browser toolbar on it, the browser right and the tree pane left, both
// down to the toolbar. Alternate: the tree pane runs the full height and
// lies over the toolbar's left end (its "PROGRESS" placeholder); the
// inspector and the toolbar sit under the browser, whose width they take.
void frmReelwise::LayoutBottomToolbars() {
  LibraryTreePane& tree = Tree();
  ResultsPane& results = Results();
  ctl::PictureBox& bottom = *Inspector().picBottom;
  const bool alternate = m_GUILayout == 2;
  const double inner = width();
  const double top = PanesTop(*this);
  bottom.Move(alternate ? bottom.Left() : 0, height() - bottom.Height(), alternate ? results.picRight->Width() : inner);
  results.tbFileBrowser->Move(0, bottom.Top() - results.tbFileBrowser->Height(), inner);
  const double foot = results.tbFileBrowser->Top();
  results.picRight->Move(alternate ? results.picRight->Left() : inner - results.picRight->Width(), top, results.picRight->Width(), foot - top);
  tree.picLeft->Move(0, top, tree.picLeft->Width(), DockedTreeHeight(*this));
  if (alternate) tree.picLeft->raise();
}

void frmReelwise::picBottom_Resize() {
  if (gWindowMode == 2) return;
  const ctl::PictureBox& bottom = *Inspector().picBottom;
  if (m_GUILayout == 2) {
    Inspector().picBottomFrame->Move(2, 3, bottom.Width() - 5, bottom.Height() - 6);
  } else {
    Inspector().picBottomFrame->Move(3, 3, bottom.Width() - 6, bottom.Height() - 6);
  }
}

void frmReelwise::picBottomFrame_Resize() { Inspector().ArrangeInspector(); }

// The frame never keeps the focus: the browser's view takes it.
void frmReelwise::picFlexFrame_GotFocus() { Results().SetFocusToBrowser(); }

void frmReelwise::ConnectLayoutEvents() {
  Inspector().picBottom->Resize = [this] { picBottom_Resize(); };
  Inspector().picBottomFrame->Resize = [this] { picBottomFrame_Resize(); };
  Results().picFlexFrame->GotFocus = [this] { picFlexFrame_GotFocus(); };
}

namespace {

// Context 1 is the inspector's menu (Contexts 1, 3, 5 or 7), any other the
// browsers' (2, 3, 6 or 7).
bool FitsContext(const ExternalAppEntry& entry, int16_t context) {
  return entry.Contexts >= 0 && entry.Contexts <= 7 && (entry.Contexts & (context == 1 ? 1 : 2)) != 0;
}

// The last three characters of the name in upper case ("PEG" for .mpeg,
// ".TS" for .ts) found, followed by ";", anywhere in the entry's list, or
// the list holds "*;".
bool FitsFile(const ExternalAppEntry& entry, const QString& fileName) {
  const QString ext = fileName.right(3).toUpper();
  const QString list = (entry.Extensions + QLatin1Char(';')).toUpper();
  return list.contains(ext + QLatin1Char(';')) || list.contains(QStringLiteral("*;"));
}

}  // namespace

// Fills the Tools menu (ToolsOnly) or the context menu's items mnuApp 1 to
// 30 for the file in the given context. Every item first takes its entry's
// caption hidden; an enabled entry meant for the menu is then shown.
void frmReelwise::InitExternalAppMenus(const QString& FileName, int16_t Context, bool ToolsOnly) {
  if (ToolsOnly) {
    InitToolsAppMenu();
    return;
  }
  for (int n = 1; n <= kExternalAppCount && n < static_cast<int>(mnuApp.size()); ++n) {
    const ExternalAppEntry& entry = gExternalApps[static_cast<size_t>(n)];
    QAction* item = mnuApp[static_cast<size_t>(n)];
    item->setVisible(false);
    item->setText(entry.MenuText);
    if (entry.Enabled != 0 && FitsContext(entry, Context) && FitsFile(entry, FileName)) item->setVisible(true);
  }
}

// The Tools menu offers the enabled entries meant for it, or only its
// placeholder when there are none.
void frmReelwise::InitToolsAppMenu() {
  if (!m_cMenu) return;
  const QString prefix = QStringLiteral("mnuToolsExternalApps");
  bool offered = false;
  for (int n = 1; n <= kExternalAppCount; ++n) {
    const int item = m_cMenu->IndexForKey(prefix + QString::number(n));
    const ExternalAppEntry& entry = gExternalApps[static_cast<size_t>(n)];
    m_cMenu->SetVisible(item, false);
    m_cMenu->SetCaption(item, entry.MenuText);
    if (entry.Enabled != 0 && entry.Contexts >= 4) {
      m_cMenu->SetVisible(item, true);
      offered = true;
    }
  }
  m_cMenu->SetVisible(m_cMenu->IndexForKey(prefix + QLatin1Char('0')), !offered);
}

// Beside the window, right or else left, level with the top of its panes,
// where the work area has room there; else inside it at its right, clear of
// the browser's scroll bar.
void frmReelwise::PlaceTagCloud(QWidget& cloud) const {
  const QRect window = frameGeometry();
  const int panesTop = mapToGlobal(QPoint(0, static_cast<int>(PanesTop(*this)))).y();
  const QRect bands(window.topLeft(), QPoint(window.right(), panesTop - 1));
  if (cloud.testAttribute(Qt::WA_Moved) && !cloud.frameGeometry().intersects(bands)) return;
  const QRect work = WorkArea::Of(this);
  const QSize size = cloud.frameGeometry().size();
  for (const int left : {window.right() + 1, window.left() - size.width()}) {
    const QRect beside(QPoint(left, panesTop), size);
    if (work.contains(beside)) {
      cloud.move(beside.topLeft());
      return;
    }
  }
  const QRect inside(QPoint(window.right() + 1 - size.width() - 24, panesTop + 8), size);
  cloud.move(WorkArea::Fit(inside, work).topLeft());
}

void frmReelwise::ShowBusyIndicator(bool on) {
  if (gTVOutMode) return;
  picBusyIndicator->SetBackColor(gSchemeColour2);
  picBusyIndicator->SetVisible(on);
  RWBusyInd->SetVisible(on);
  on ? RWBusyInd->Start() : RWBusyInd->Stop();
}

void frmReelwise::SetBrowserControlsEnabled(bool on) {
  for (QWidget* control : std::initializer_list<QWidget*>{Tree().picLeft, Results().picRight, Inspector().picBottom,
                                                          Results().tbFileBrowser, Inspector().tbSegments,
                                                          Results().cmbBrowserHistory, picHolder}) {
    control->setEnabled(on);
  }
}
