#include "mainwindow/MainWindowHosts.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "carousel/frmTagCloud.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "mainwindow/frmReelwise.h"
#include "options/OptionsPane.h"
#include "platform/cPopupMenu.h"
#include "player/clsRWPlayer.h"
#include "player/frmFilePreview.h"
#include "ui/SchemeColours.h"
#include "ui/cBusyIndicator.h"
#include "ui/cwProgress.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

// ---- The panes' window services ----

void MainWindowHosts::MainToolbarHandler(const QString& sCommand) { form_.MainToolbarHandler(sCommand); }

void MainWindowHosts::BrowserDblClick(int32_t index) { form_.Results().BrowserDblClick(index); }

void MainWindowHosts::BrowserDragDrop(int32_t row, int32_t col, const QString& source, const QString& mode) {
  form_.Results().BrowserDragDrop(row, col, source, mode);
}

void MainWindowHosts::SetFocusToBrowser() { form_.Results().SetFocusToBrowser(); }

// Queued, so that the key event that asked for it returns before the window goes.
void MainWindowHosts::PostQuit() {
  QMetaObject::invokeMethod(&form_, [this] { form_.close(); }, Qt::QueuedConnection);
}
void MainWindowHosts::SelectHistoryComboItem(int index) {
  ctl::ImageCombo& combo = *form_.Results().cmbBrowserHistory;
  if (index >= 1 && index <= combo.ComboItems.Count()) combo.SetSelectedItem(&combo.ComboItems.Item(index));
}
void MainWindowHosts::MarkBrowserView(int32_t mode) { form_.MarkBrowserView(mode); }
void MainWindowHosts::ShowResultsPopup() { form_.ShowResultsPopup(); }
void MainWindowHosts::SetBrowserControlsEnabled(bool on) { form_.SetBrowserControlsEnabled(on); }
void MainWindowHosts::ShowBusyIndicator(bool on) { form_.ShowBusyIndicator(on); }
void MainWindowHosts::ProgressOff() { form_.ProgressOff(); }
bool MainWindowHosts::ToggleMenuCheck(const QString& key) { return form_.ToggleMenuCheck(key); }
ctl::ImageList& MainWindowHosts::imglistToolBar() { return form_.imglistToolBar; }
ctl::ImageList& MainWindowHosts::imglstReelwise() { return form_.imglstReelwise; }
ctl::ImageList& MainWindowHosts::ilStateIcons() { return form_.ilStateIcons; }
ctl::ImageList& MainWindowHosts::imglstDragIcons() { return form_.imglstDragIcons; }
ctl::ImageList& MainWindowHosts::imglstViewSpec() { return form_.imglstViewSpec; }
ctl::ImageList& MainWindowHosts::imglstMenus() { return form_.imglstMenus; }

// ---- The library's view: progress and the open library ----

void MainWindowHosts::ShowProgress(const QString& Caption, int32_t Value) {
  if (!form_.progProgress) return;
  form_.Results().picProgress->SetVisible(true);
  form_.progProgress->BroadcastProgress(Caption, Value, gSchemeColour4);
}

void MainWindowHosts::SetProgressMax(int32_t Max) {
  if (form_.progProgress) form_.progProgress->SetMax(Max);
}

void MainWindowHosts::Repaint() { form_.repaint(); }

void MainWindowHosts::ShowLibraryCaption(const QString& caption) {
  form_.lblCaption->SetCaption(caption);
  form_.setWindowTitle(QStringLiteral("Reelwise II - ") + caption);
}

void MainWindowHosts::ShowLibraryLoaded(bool loaded) {
  form_.picWelcomeHolder->SetVisible(!loaded);
  if (form_.m_cMenu) form_.m_cMenu->SetEnabled(form_.m_cMenu->IndexForKey(QStringLiteral("mnuLibrarySaveAs")), loaded);
  if (!loaded) return;
  form_.Tree().tvwLibrary->SetEnabled(true);
  form_.Inspector().picBottom->SetEnabled(true);
  form_.Results().tbFileBrowser->SetEnabled(true);
}

void MainWindowHosts::SetLoadingState(bool& starting) { form_.Tree().SetLoadingState(starting); }

// ---- The library's view: tree and history ----

ctl::TreeView* MainWindowHosts::LibraryTree() { return form_.Tree().tvwLibrary; }

void MainWindowHosts::StartTreeEditTimer() { form_.Tree().tvwEditTimer->SetEnabled(true); }

void MainWindowHosts::ClearHistoryCombo() { form_.Results().cmbBrowserHistory->ComboItems.Clear(); }

void MainWindowHosts::SetHistoryComboText(const QString& text) {
  ctl::ImageCombo& combo = *form_.Results().cmbBrowserHistory;
  combo.SetText(text);
  combo.Refresh();
}

void MainWindowHosts::AddHistoryComboItem(const QString& text, const QString& image) {
  ctl::ImageCombo& combo = *form_.Results().cmbBrowserHistory;
  ctl::ComboItem& item = combo.ComboItems.Add(0, QString(), text, image);
  combo.SetSelectedItem(&item);
}

int MainWindowHosts::HistoryComboCount() { return form_.Results().cmbBrowserHistory->ComboItems.Count(); }

int MainWindowHosts::HistoryComboSelectedIndex() { return form_.Results().cmbBrowserHistory->SelectedIndex(); }

void MainWindowHosts::AlignBrowserHistory() { form_.Results().AlignBrowserHistory(); }

ctl::ButtonMenuCollection* MainWindowHosts::HistoryMenu() {
  ctl::Button* button = form_.tbMain->Buttons.Find(QStringLiteral("HISTORY"));
  return button ? &button->ButtonMenus : nullptr;
}

void MainWindowHosts::ClearHistoryMenu() {
  if (ctl::ButtonMenuCollection* menu = HistoryMenu()) menu->Clear();
}

void MainWindowHosts::AddHistoryMenuItem(const QString& key, const QString& caption, const QString& viewSpec) {
  ctl::ButtonMenuCollection* menu = HistoryMenu();
  if (!menu) return;
  ctl::ButtonMenu& item = menu->Exists(key) ? menu->Item(key) : menu->Add(0, key, caption);
  item.SetTag(viewSpec);
}

void MainWindowHosts::SetHistoryMenuCaption(int index, const QString& caption) {
  ctl::ButtonMenuCollection* menu = HistoryMenu();
  if (menu && index >= 1 && index <= menu->Count()) menu->Item(index).SetText(caption);
}

// ---- The library's view: results ----

void MainWindowHosts::LayoutThumbnailGrid(int32_t itemCount) { form_.Results().LayoutThumbnailGrid(itemCount); }
void MainWindowHosts::ShowSearchResults() { form_.Results().ShowSearchResults(); }
void MainWindowHosts::DrawGridImages() { form_.Results().DrawGridImages(); }

ctl::FlexGrid* MainWindowHosts::ScrolledGrid() {
  if (gBrowserMode == 1) return form_.Results().flexThumbsTiled;
  if (gBrowserMode == 2) return form_.Results().flexThumbsList;
  return nullptr;
}

int MainWindowHosts::BrowserTopRow() {
  const ctl::FlexGrid* grid = ScrolledGrid();
  return grid ? grid->TopRow() : -1;
}

void MainWindowHosts::SetBrowserTopRow(int row) {
  ctl::FlexGrid* grid = ScrolledGrid();
  if (grid && grid->Rows() >= row) grid->SetTopRow(row);
}

// ---- The library's view: inspector, carousel and tag cloud ----

QMenu* MainWindowHosts::RecentMenu() { return form_.mnuRecentFiles->menu(); }

void MainWindowHosts::ShowInspectorPopup() { form_.ShowInspectorPopup(); }

void MainWindowHosts::ShowFileTagsPopup() { form_.mnuFileTagsPopUp->popup(QCursor::pos()); }

DragState& MainWindowHosts::Drag() { return form_.m_DragState; }

void MainWindowHosts::SetWindowMode(const QString& Mode) { form_.SetWindowMode(Mode); }

void MainWindowHosts::picCaption_DblClick() { form_.picCaption_DblClick(); }

// The inspector's file toolbar acts on the inspected file whatever the last
// popup was raised on.
void MainWindowHosts::mnuDeleteFile_Click() {
  form_.mnuResultsPopUp->setProperty("Tag", QStringLiteral("Inspector"));
  form_.mnuDeleteFile_Click();
}

void MainWindowHosts::mnuRemoveFile_Click() {
  form_.mnuResultsPopUp->setProperty("Tag", QStringLiteral("Inspector"));
  form_.mnuRemoveFile_Click();
}

void MainWindowHosts::mnuAnalyze_Click() { form_.mnuAnalyze_Click(); }

// The card drawn at once; its details follow a moment later.
void MainWindowHosts::RedrawCarouselCard(int32_t index) {
  if (gBrowserMode == 3 && gCarousel) gCarousel->SetCarouselIndex(index, false, true);
}

// The story-board window over the dimmed main window; true when it asked to
// be shown again. Asked again after its options turned the style to the
// poster, the poster is shown instead, never the grid.
bool MainWindowHosts::ShowStoryBoard() {
  if (gPosterStyle != 0) {
    form_.SetTag(QString());
    form_.ShowPoster();
    return false;
  }
  frmFilePreview preview(&form_);
  form_.SetTag(QString());  // the window's own request to be shown again starts afresh
  form_.ShowDialogOverGlass(preview);
  if (gCarousel) gCarousel->Broadcast(QStringLiteral("BUSY"), 50, 0);
  return form_.Tag() == QLatin1String("REDO");
}

void MainWindowHosts::AfterStoryBoard() {
  form_.RestoreFocus();
  if (gBrowserMode == 3 && gCarousel) {
    gCarousel->SetMenuMode(QStringLiteral("NULL"));
    gCarousel->RedrawAll(false, true);
  }
}

void MainWindowHosts::LaunchExternalApp(int16_t& Index) { form_.Options().LaunchExternalApp(Index); }

void MainWindowHosts::AfterFullScreenPlayer() {
  form_.activateWindow();
  form_.repaint();
  if (gInspectedItem.FileName.isEmpty()) return;
  bool loaded = false;
  form_.Inspector().LoadInspector(gInspectedItem, loaded);
}

void MainWindowHosts::ClearInspector() { form_.Inspector().ClearInspector(); }

QWidget* MainWindowHosts::MainWindow() { return &form_; }

void MainWindowHosts::ShowDialogOverGlass(QWidget& dialog) {
  form_.ShowDialogOverGlass(dialog);
  form_.RestoreFocus();
}

cwProgress& MainWindowHosts::Progress() { return *form_.progProgress; }

void MainWindowHosts::SetPanesEnabled(bool on) {
  form_.Tree().picLeft->setEnabled(on);
  form_.Results().picRight->setEnabled(on);
  form_.Inspector().picBottom->setEnabled(on);
}

void MainWindowHosts::SetWindowCaption(const QString& caption) { form_.setWindowTitle(caption); }

void MainWindowHosts::SetPreviewTimer(bool on) { form_.Results().Timer1->SetEnabled(on); }

void MainWindowHosts::LoadInspector(ResultItem& item, bool& loaded) { form_.Inspector().LoadInspector(item, loaded); }

void MainWindowHosts::ShowGrabbedFrame(const QImage& frame, bool& shown) {
  form_.Inspector().ShowGrabbedFrame(frame, shown);
}

QImage MainWindowHosts::ThumbnailPicture() { return form_.Inspector().picThumbnail->Picture().toImage(); }

QImage MainWindowHosts::UnplayablePicture() { return form_.Inspector().picUnplayable->Picture().toImage(); }
void MainWindowHosts::ResetInspectorHistory() { form_.Inspector().ResetInspectorHistory(); }

void MainWindowHosts::ReleaseInspectedFile() {
  if (gPlayer) gPlayer->CleanUp();
  form_.Inspector().ClearInspector();
}

void MainWindowHosts::ShowSegmentRating(int32_t SegmentID, int16_t Rating) {
  form_.Inspector().ShowSegmentRating(SegmentID, Rating);
}

void MainWindowHosts::CarouselNewResults() {
  if (gCarousel) gCarousel->NewResults();
}

void MainWindowHosts::CarouselAppStartUp(bool First, bool Second) {
  if (gCarousel) gCarousel->AppStartUp(First, Second);
}

void MainWindowHosts::CarouselSaveContext() {
  if (gCarousel) gCarousel->SaveContext();
}

void MainWindowHosts::ShowCarouselBusy() {
  if (gBusyIndicator) gBusyIndicator->Show(400, 640, 100, 150, 40, 0, form_.Carousel().ucCarouselCanvas);
}

void MainWindowHosts::HideCarouselBusy() {
  if (gBusyIndicator) gBusyIndicator->Hide();
}

void MainWindowHosts::ShowTagCloud(const std::vector<TagCloudEntry>& tags, int32_t resultCount,
                                   const std::function<void(int laidOut)>& laidOut) {
  TagCloudForm().ShowTags(tags, resultCount, laidOut);
}

// ---- The window manager's view of the window ----

void MainWindowHosts::SetControlBoxImage(const QString& key, const QString& image) {
  form_.tbControlBox->Buttons(key).SetImage(image);
}

double MainWindowHosts::CaptionHeight() { return form_.picCaption->Height(); }

QSize MainWindowHosts::VideoSize() {
  return gPlayer ? QSize(gPlayer->VideoWidth(), gPlayer->VideoHeight()) : QSize(0, 0);
}

// The tray icon's messages reach the header as mouse moves with the message in X.
void MainWindowHosts::picWindowHeader_MouseMove(int32_t X) { form_.picWindowHeader_MouseMove(0, 0, X, 0); }
