#pragma once
// The rich tool tip of the result grids. Until the tip is built it shows
// nothing.
#include <QWidget>

class cToolTipHost {
 public:
  // Shows the tip of the hovered result near the screen point (x, y).
  void Show(QWidget* owner, int x, int y) {}
  void DestroyTip() {}
};
