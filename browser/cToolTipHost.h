#pragma once
// The result grids' rich tool tip: Show arms it for the hovered result
// (gHoverItem) at the pointer; 100 ms later the tip is measured and shown in
// a top-level form of its own, and 10 s after that it goes again. Moving
// onto the tip, or the browser's DestroyTip, removes it at once.
#include "browser/cwToolTip.h"
#include "ui/LibraryTimer.h"
#include "ui/WidgetFormObject.h"

#include <QWidget>

#include <cstdint>
#include <memory>

class cToolTipHost {
 public:
  cToolTipHost();
  ~cToolTipHost();
  cToolTipHost(const cToolTipHost&) = delete;
  cToolTipHost& operator=(const cToolTipHost&) = delete;

  // Arms the tip for the grid id at the pointer (x, y) in screen pixels;
  // ignored while a tip is armed, so a new tip needs a DestroyTip first, and
  // while a menu is open or a drag is under way, which a tip would get in
  // the way of (the first tick destroys a tip that meets either).
  void Show(QWidget* id, int32_t x, int32_t y);
  // Closes and releases the form and the timer, and disarms.
  void DestroyTip();

  // The first tick shows the tip, the next one removes it; any failure while
  // showing removes the tip without a word.
  void cwTimer_Timer();
  void TipForm_MouseMove(int button, int shift, double x, double y);

  bool Armed() const { return armed_; }
  bool Shown() const { return shown_; }
  cwToolTip& Tip() const { return *tip_; }
  WidgetFormObject* TipForm() const { return TipForm_.get(); }
  LibraryTimer* cwTimer() const { return cwTimer_.get(); }

 private:
  void ShowTip();
  void ShapeToBalloon();

  std::shared_ptr<cwToolTip> tip_;
  std::shared_ptr<WidgetFormObject> TipForm_;
  std::shared_ptr<LibraryTimer> cwTimer_;
  QWidget* id_ = nullptr;
  int32_t x_ = 0;
  int32_t y_ = 0;
  bool armed_ = false;
  bool shown_ = false;
};
