#pragma once
// The splitter on the right edge of a pane. Until dragging is built it holds
// the pane and its limits.
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>

class cMDISplit {
 public:
  void Attach(QWidget* pane) { pane_ = pane; }
  QWidget* Pane() const { return pane_; }

  // Limits of the pane width, pixels.
  int32_t MinSize = 16;
  int32_t MaxSize = 0x7FFFFFFF;
  // False: a drag shows a bar and resizes at its end.
  bool FullDrag = true;
  // Thickness of the splitter bar, pixels.
  int32_t SplitSize() const { return 4; }

  // After a drag has resized the pane.
  std::function<void()> SplitterResized;

 private:
  QPointer<QWidget> pane_;
};
