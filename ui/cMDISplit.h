#pragma once
// The splitter on the right edge of a pane: over the last SplitSize pixels
// of the pane the cursor becomes the east-west arrow, and dragging there
// resizes the pane between MinSize and MaxSize, either live (full drag) or
// with a bar that follows the mouse and applies its place on release
// (outline), after which SplitterResized is raised.
#include "ui/ISubclass.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class cMDISplit : public ISubclass {
 public:
  cMDISplit();
  ~cMDISplit() override;
  cMDISplit(const cMDISplit&) = delete;
  cMDISplit& operator=(const cMDISplit&) = delete;

  // Changing the mode of an attached splitter attaches it again in the new
  // mode; a detached one only stores it.
  bool FullDrag() const { return fullDrag_; }
  void SetFullDrag(bool on);
  // Width of the sensitive strip and of the bar, pixels.
  int32_t SplitSize() const { return splitSize_; }
  void SetSplitSize(int32_t pixels) { splitSize_ = pixels; }
  // Limits of the pane width, pixels; they apply from the next move.
  int32_t MinSize = 16;
  int32_t MaxSize = 0x7FFFFFFF;

  // The pane's right edge becomes the splitter; its parent is the window the
  // pane is sized in.
  void Attach(QWidget* ctl);
  void Detach();
  QWidget* Pane() const { return pane_; }
  bool Dragging() const { return dragging_; }

  // After an outline drag has resized the pane.
  std::function<void()> SplitterResized;

  int32_t ISubclass_MsgResponse() override;
  intptr_t ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) override;

 private:
  class Bar;

  void AttachMessages(bool attach);
  int HitTest() const;
  void BeginDrag();
  void Track();
  void EndDrag();
  void ShowBar();

  QPointer<QWidget> pane_;
  QPointer<QWidget> parent_;
  int32_t splitSize_ = 4;
  bool fullDrag_ = true;
  bool dragging_ = false;
  // The bar's left and right edges and the last accepted cursor x, on the
  // screen.
  int barLeft_ = 0;
  int barRight_ = 0;
  int lastX_ = 0;
  std::unique_ptr<Bar> bar_;
};
