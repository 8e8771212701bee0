#pragma once
// What the main window does for the parts that sit in it: the services the
// browser, the inspector and the import ask of their window, and the view of the library
// object (its progress, name, tree, history, results, inspector, carousel and
// tag cloud on this window). The window makes one and hands it to the panes
// and to gLibrary.
#include "browser/BrowserHosts.h"
#include "import/ImportPane.h"
#include "inspector/InspectorPane.h"
#include "library/ILibraryView.h"
#include "carousel/ICarouselHost.h"
#include "ui/IWindowMgrHost.h"

class frmReelwise;

class MainWindowHosts final : public IBrowserHost,
                              public IInspectorHost,
                              public IImportHost,
                              public ILibraryView,
                              public IWindowMgrHost,
                              public ICarouselHost {
 public:
  explicit MainWindowHosts(frmReelwise& form) : form_(form) {}

  // IBrowserHost and IInspectorHost.
  void MainToolbarHandler(const QString& sCommand) override;
  // ICarouselHost (the rest).
  void BrowserDblClick(int32_t index) override;
  void BrowserDragDrop(int32_t row, int32_t col, const QString& source, const QString& mode) override;
  void SetFocusToBrowser() override;
  void PostQuit() override;
  void SelectHistoryComboItem(int index) override;
  void MarkBrowserView(int32_t mode) override;
  void ShowResultsPopup() override;
  void SetBrowserControlsEnabled(bool on) override;
  void ShowBusyIndicator(bool on) override;
  void ProgressOff() override;
  bool ToggleMenuCheck(const QString& key) override;
  ctl::ImageList& imglistToolBar() override;
  ctl::ImageList& imglstReelwise() override;
  ctl::ImageList& ilStateIcons() override;
  ctl::ImageList& imglstDragIcons() override;
  ctl::ImageList& imglstViewSpec() override;
  ctl::ImageList& imglstMenus() override;
  void LaunchExternalApp(int16_t& Index) override;
  void AfterFullScreenPlayer() override;
  QMenu* RecentMenu() override;
  void ShowInspectorPopup() override;
  void ShowFileTagsPopup() override;
  DragState& Drag() override;
  void SetWindowMode(const QString& Mode) override;
  void picCaption_DblClick() override;
  void mnuDeleteFile_Click() override;
  void mnuRemoveFile_Click() override;
  void mnuAnalyze_Click() override;
  void RedrawCarouselCard(int32_t index) override;
  bool ShowStoryBoard() override;
  void AfterStoryBoard() override;

  // IImportHost.
  QWidget* MainWindow() override;
  void ShowDialogOverGlass(QWidget& dialog) override;
  cwProgress& Progress() override;
  void SetPanesEnabled(bool on) override;
  void SetWindowCaption(const QString& caption) override;
  void SetPreviewTimer(bool on) override;
  void LoadInspector(ResultItem& item, bool& loaded) override;
  void ShowGrabbedFrame(const QImage& frame, bool& shown) override;
  QImage ThumbnailPicture() override;
  QImage UnplayablePicture() override;

  // ILibraryView.
  void ShowProgress(const QString& Caption, int32_t Value) override;
  void SetProgressMax(int32_t Max) override;
  void Repaint() override;
  void ShowLibraryCaption(const QString& caption) override;
  void ShowLibraryLoaded(bool loaded) override;
  void SetLoadingState(bool& starting) override;
  ctl::TreeView* LibraryTree() override;
  void StartTreeEditTimer() override;
  void ClearHistoryCombo() override;
  void SetHistoryComboText(const QString& text) override;
  void AddHistoryComboItem(const QString& text, const QString& image) override;
  int HistoryComboCount() override;
  int HistoryComboSelectedIndex() override;
  void AlignBrowserHistory() override;
  void ClearHistoryMenu() override;
  void AddHistoryMenuItem(const QString& key, const QString& caption, const QString& viewSpec) override;
  void SetHistoryMenuCaption(int index, const QString& caption) override;
  void LayoutThumbnailGrid(int32_t itemCount) override;
  void ShowSearchResults() override;
  void DrawGridImages() override;
  int BrowserTopRow() override;
  void SetBrowserTopRow(int row) override;
  void ClearInspector() override;
  void ResetInspectorHistory() override;
  void ReleaseInspectedFile() override;
  void ShowSegmentRating(int32_t SegmentID, int16_t Rating) override;
  void CarouselNewResults() override;
  void CarouselAppStartUp(bool First, bool Second) override;
  void CarouselSaveContext() override;
  void ShowCarouselBusy() override;
  void HideCarouselBusy() override;
  void ShowTagCloud(const std::vector<TagCloudEntry>& tags, int32_t resultCount,
                    const std::function<void(int laidOut)>& laidOut) override;

  // IWindowMgrHost.
  void SetControlBoxImage(const QString& key, const QString& image) override;
  double CaptionHeight() override;
  QSize VideoSize() override;
  void picWindowHeader_MouseMove(int32_t X) override;

 private:
  ctl::ButtonMenuCollection* HistoryMenu();
  ctl::FlexGrid* ScrolledGrid();

  frmReelwise& form_;
};
