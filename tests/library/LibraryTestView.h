#pragma once
// A view of the library object for tests that need no window: the tree, the
// history combo and the history menu are the real controls (without a window
// around them), and everything else the library shows is recorded.
#include "library/ILibraryView.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/TreeView.h"

#include <QStringList>

#include <functional>

#include <vector>

namespace rwtest {

class LibraryTestView final : public ILibraryView {
 public:
  LibraryTestView() { toolbar.Buttons.Add(0, QStringLiteral("HISTORY"), QString(), ctl::tbrDropdown); }

  ctl::TreeView tree;
  ctl::ImageCombo combo;
  ctl::Toolbar toolbar;

  // The progress strip: the last caption and position, the range, and every
  // caption shown in order, with "<off>" where the strip was ended.
  QString progressCaption;
  int32_t progressValue = 0;
  int32_t progressMax = 0;
  bool progressShown = false;
  QStringList progressCaptions;
  // Called with every progress report, after it is recorded.
  std::function<void(const QString& caption)> onProgress;
  bool busy = false;
  bool browserEnabled = true;
  int repaints = 0;
  QString caption;
  // -1 until the library says whether one is open.
  int loaded = -1;
  int loadingStates = 0;
  bool treeEditTimer = false;
  int layouts = 0;
  int32_t laidOutCount = -1;
  int shows = 0;
  int draws = 0;
  int topRow = -1;
  int restoredTopRow = -1;
  int inspectorClears = 0;
  int inspectorResets = 0;
  int releases = 0;
  std::vector<std::pair<int32_t, int16_t>> ratings;
  int carouselNewResults = 0;
  std::vector<TagCloudEntry> cloud;
  int32_t cloudResults = -1;
  int clouds = 0;

  ctl::ButtonMenuCollection& HistoryMenu() { return toolbar.Buttons(QStringLiteral("HISTORY")).ButtonMenus; }

  void ShowProgress(const QString& Caption, int32_t Value) override {
    progressShown = true;
    progressCaption = Caption;
    progressValue = Value;
    if (progressCaptions.isEmpty() || progressCaptions.last() != Caption) progressCaptions << Caption;
    if (onProgress) onProgress(Caption);
  }
  void SetProgressMax(int32_t Max) override { progressMax = Max; }
  void ProgressOff() override {
    progressCaption.clear();
    progressValue = 0;
    progressCaptions << QStringLiteral("<off>");
  }
  void ShowBusyIndicator(bool on) override { busy = on; }
  void SetBrowserControlsEnabled(bool on) override { browserEnabled = on; }
  void Repaint() override { ++repaints; }
  void ShowLibraryCaption(const QString& text) override { caption = text; }
  void ShowLibraryLoaded(bool open) override { loaded = open ? 1 : 0; }
  void SetLoadingState(bool&) override { ++loadingStates; }
  ctl::TreeView* LibraryTree() override { return &tree; }
  void StartTreeEditTimer() override { treeEditTimer = true; }
  void ClearHistoryCombo() override { combo.ComboItems.Clear(); }
  void SetHistoryComboText(const QString& text) override { combo.SetText(text); }
  void AddHistoryComboItem(const QString& text, const QString& image) override {
    combo.SetSelectedItem(&combo.ComboItems.Add(0, QString(), text, image));
  }
  int HistoryComboCount() override { return combo.ComboItems.Count(); }
  int HistoryComboSelectedIndex() override { return combo.SelectedIndex(); }
  void AlignBrowserHistory() override {}
  void ClearHistoryMenu() override { HistoryMenu().Clear(); }
  void AddHistoryMenuItem(const QString& key, const QString& text, const QString& viewSpec) override {
    ctl::ButtonMenuCollection& menu = HistoryMenu();
    (menu.Exists(key) ? menu.Item(key) : menu.Add(0, key, text)).SetTag(viewSpec);
  }
  void SetHistoryMenuCaption(int index, const QString& text) override {
    if (index >= 1 && index <= HistoryMenu().Count()) HistoryMenu().Item(index).SetText(text);
  }
  void LayoutThumbnailGrid(int32_t itemCount) override {
    ++layouts;
    laidOutCount = itemCount;
  }
  void ShowSearchResults() override { ++shows; }
  void DrawGridImages() override { ++draws; }
  int BrowserTopRow() override { return topRow; }
  void SetBrowserTopRow(int row) override { restoredTopRow = row; }
  void ClearInspector() override { ++inspectorClears; }
  void ResetInspectorHistory() override { ++inspectorResets; }
  void ReleaseInspectedFile() override { ++releases; }
  void ShowSegmentRating(int32_t SegmentID, int16_t Rating) override { ratings.emplace_back(SegmentID, Rating); }
  void CarouselNewResults() override { ++carouselNewResults; }
  void CarouselAppStartUp(bool, bool) override {}
  void CarouselSaveContext() override {}
  void ShowCarouselBusy() override {}
  void HideCarouselBusy() override {}
  // Each tag told as laid out, as the window lays out their labels.
  void ShowTagCloud(const std::vector<TagCloudEntry>& tags, int32_t resultCount,
                    const std::function<void(int)>& laidOut) override {
    cloud = tags;
    cloudResults = resultCount;
    ++clouds;
    for (int n = 1; n <= static_cast<int>(tags.size()); ++n) laidOut(n);
  }
};

}  // namespace rwtest
