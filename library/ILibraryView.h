#pragma once
// What the library object shows of itself in the windows: progress, the
// library's name, the library tree's nodes, the view history's combo and
// menu, the results, the inspector, the carousel and the tag cloud. The
// library object knows no window; it tells its view, which the main window
// implements and hands over when it is made (clsRWLibrary::SetView). Without
// a view every call does nothing and the tree is absent.
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace ctl {
class TreeView;
}

// One tag of the tag cloud: its TagID, its name and the result segments it
// covers, its own and those of the tags below or linked to it.
struct TagCloudEntry {
  QString TagID;
  QString Tag;
  double TagCount = 0;
};

class ILibraryView {
 public:
  virtual ~ILibraryView() = default;

  // ---- Progress and the busy display ----
  // A caption and a position in the progress strip, shown at once.
  virtual void ShowProgress(const QString& Caption, int32_t Value) = 0;
  virtual void SetProgressMax(int32_t Max) = 0;
  // A plain strip again.
  virtual void ProgressOff() = 0;
  virtual void ShowBusyIndicator(bool on) = 0;
  // Opens (true) or closes the browser, tree and inspector to the user.
  virtual void SetBrowserControlsEnabled(bool on) = 0;
  // Paints the window now, inside the caller's work.
  virtual void Repaint() = 0;

  // ---- The open library ----
  // The caption of the title bar; the window title is "Reelwise II - " and it.
  virtual void ShowLibraryCaption(const QString& caption) = 0;
  // true: a library is open (welcome page hidden; tree, "Save As", inspector
  // and browser toolbar usable); false: the welcome page again and "Save As"
  // unusable.
  virtual void ShowLibraryLoaded(bool loaded) = 0;
  // The loading animation over the tree pane while the tree is rebuilt
  // (`starting` true) or its end; a pane too narrow for it sets `starting`
  // false and keeps its tree.
  virtual void SetLoadingState(bool& starting) = 0;

  // ---- The library tree ----
  // The tree the library fills with its nodes; nullptr when there is none.
  virtual ctl::TreeView* LibraryTree() = 0;
  // Starts the one-shot timer whose tick opens the label edit of
  // gPendingRenameNode.
  virtual void StartTreeEditTimer() = 0;

  // ---- The view history: the browser's history combo and the history menu ----
  virtual void ClearHistoryCombo() = 0;
  // The combo's own text, shown when it has no items.
  virtual void SetHistoryComboText(const QString& text) = 0;
  // Adds an item with the image key (empty: none) and selects it.
  virtual void AddHistoryComboItem(const QString& text, const QString& image) = 0;
  virtual int HistoryComboCount() = 0;
  // 1-based index of the selected item; raises an error when none is.
  virtual int HistoryComboSelectedIndex() = 0;
  // Pads the items so that their "[...]" parts line up.
  virtual void AlignBrowserHistory() = 0;
  virtual void ClearHistoryMenu() = 0;
  // The item of the key, added with the caption when there is none, carries
  // the view spec.
  virtual void AddHistoryMenuItem(const QString& key, const QString& caption, const QString& viewSpec) = 0;
  // Item `index` (1-based) of the menu takes the caption when it exists.
  virtual void SetHistoryMenuCaption(int index, const QString& caption) = 0;

  // ---- The results ----
  // Sizes the result grids for `itemCount` results.
  virtual void LayoutThumbnailGrid(int32_t itemCount) = 0;
  // Puts gResults into the browser and its labels.
  virtual void ShowSearchResults() = 0;
  // Paints the thumbnails of the visible results.
  virtual void DrawGridImages() = 0;
  // The top row of the grid of the browser view; -1 when the view has no grid.
  virtual int BrowserTopRow() = 0;
  // Scrolls that grid back to the row, when it still has that many rows.
  virtual void SetBrowserTopRow(int row) = 0;

  // ---- The inspector, the carousel and the tag cloud ----
  virtual void ClearInspector() = 0;
  virtual void ResetInspectorHistory() = 0;
  // The inspected file is about to go: the player lets it go and the
  // inspector is emptied.
  virtual void ReleaseInspectedFile() = 0;
  // The inspector's segment list shows the segment's new rating.
  virtual void ShowSegmentRating(int32_t SegmentID, int16_t Rating) = 0;
  // The carousel forgets the old result set.
  virtual void CarouselNewResults() = 0;
  // The carousel's start-up animation of TV-Out mode, and its snapshot.
  virtual void CarouselAppStartUp(bool First, bool Second) = 0;
  virtual void CarouselSaveContext() = 0;
  // The busy animation over the carousel canvas while a library opens in
  // TV-Out mode, and its end.
  virtual void ShowCarouselBusy() = 0;
  virtual void HideCarouselBusy() = 0;
  // One label per tag on the tag-cloud window, in name order; sized and
  // shaded by the share of `resultCount` each covers. `laidOut` hears how
  // many labels are laid out as the layout goes on.
  virtual void ShowTagCloud(const std::vector<TagCloudEntry>& tags, int32_t resultCount,
                            const std::function<void(int laidOut)>& laidOut) = 0;
};
