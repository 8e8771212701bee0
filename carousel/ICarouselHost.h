#pragma once
// What the carousel asks of the window it is drawn in: the main window's
// command dispatcher and the browser's own handling of the current result.
// Without a window the carousel uses one that does nothing.
#include <QString>

#include <cstdint>

class ICarouselHost {
 public:
  virtual ~ICarouselHost() = default;
  // The command dispatcher, with a menu key ("mnuViewTile", ...).
  virtual void MainToolbarHandler(const QString& sCommand) { (void)sCommand; }
  // Plays or opens result `index`, as a double click in a browser does.
  virtual void BrowserDblClick(int32_t index) { (void)index; }
  // A drop on the browser from `source` ("tvwLibrary", ...) with the search
  // operator `mode` (empty: from the modifier keys).
  virtual void BrowserDragDrop(int32_t row, int32_t col, const QString& source, const QString& mode) {
    (void)row, (void)col, (void)source, (void)mode;
  }
  // Frame colours and the keyboard focus to the current browser control.
  virtual void SetFocusToBrowser() {}
  // Ends the program once the event being handled has returned.
  virtual void PostQuit() {}
  // Makes item `index` (from 1) of the browser's history combo its selected
  // item, without running anything.
  virtual void SelectHistoryComboItem(int index) { (void)index; }
};
