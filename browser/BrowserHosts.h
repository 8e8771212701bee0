#pragma once
// What the browser's two panes ask of the window they sit in, and of each
// other: the library tree pane asks the results pane through IResultsLink,
// the results pane asks the tree through ILibraryTreeLink. The main window
// composes the panes and hands each the other's link.
#include "platform/controls/ImageList.h"

#include <QString>

#include <cstdint>

class cwProgress;

// What the browser asks of the window it sits in.
class IBrowserHost {
 public:
  virtual ~IBrowserHost() = default;
  // The command dispatcher.
  virtual void MainToolbarHandler(const QString& sCommand) = 0;
  // The marks of the browser view's menu item and toolbar button.
  virtual void MarkBrowserView(int32_t mode) = 0;
  // The results' context menu for gCurrentItem at the pointer.
  virtual void ShowResultsPopup() = 0;
  // Opens (true) or closes the browser, tree and inspector to the user.
  virtual void SetBrowserControlsEnabled(bool on) = 0;
  // The busy animation of the title bar.
  virtual void ShowBusyIndicator(bool on) = 0;
  // A plain progress strip again.
  virtual void ProgressOff() = 0;
  // The main window's progress strip (progProgress), where drags show their status.
  virtual cwProgress& Progress() = 0;
  // The window's image lists the browser draws from.
  virtual ctl::ImageList& imglistToolBar() = 0;
  virtual ctl::ImageList& imglstReelwise() = 0;
  virtual ctl::ImageList& ilStateIcons() = 0;
  virtual ctl::ImageList& imglstDragIcons() = 0;
  virtual ctl::ImageList& imglstViewSpec() = 0;
  // Runs external application Index on gSavedItem's file (-1 its default program).
  virtual void LaunchExternalApp(int16_t& Index) = 0;
  // After the full-screen player: the window active and repainted, and the
  // inspector reloaded when it shows a file.
  virtual void AfterFullScreenPlayer() = 0;
};

// What the library tree pane asks of the results pane.
class IResultsLink {
 public:
  virtual ~IResultsLink() = default;
  // Lines up the history combo's entries after a node opened as a search.
  virtual void AlignBrowserHistory() = 0;
};

// What the results pane asks of the library tree pane.
class ILibraryTreeLink {
 public:
  virtual ~ILibraryTreeLink() = default;
  // Opens the tree's selected node as a search step with the operator op
  // ("_", "&", "+", "-"; empty: from the modifier keys held).
  virtual void OpenNodeAsSearch(QString op) = 0;
  // The drag icon of a tree node held over a result browser: the search
  // step its drop would make, by the modifier keys held.
  virtual void ShowSearchDragIcon() = 0;
  // The tree pane's frame in the unfocused colour, as a result browser
  // takes the focus.
  virtual void ShowFrameUnfocused() = 0;
};
