#pragma once
// The vertical scroll bar: Value between Min and Max, moved by SmallChange
// (arrows) and LargeChange (track). Change follows every change of Value,
// whether code set it or the user moved it, except while the thumb is dragged,
// when Scroll follows each step and Change the release.
#include "platform/controls/Control.h"

#include <QScrollBar>

namespace ctl {

class VScrollBar : public Control {
 public:
  explicit VScrollBar(QWidget* parent = nullptr);

  int Value() const { return bar_->value(); }
  void SetValue(int value) { bar_->setValue(value); }
  int Min() const { return bar_->minimum(); }
  void SetMin(int value);
  int Max() const { return bar_->maximum(); }
  void SetMax(int value);
  int SmallChange() const { return bar_->singleStep(); }
  void SetSmallChange(int value) { bar_->setSingleStep(value); }
  int LargeChange() const { return bar_->pageStep(); }
  void SetLargeChange(int value) { bar_->setPageStep(value); }

  std::function<void()> Change;
  std::function<void()> Scroll;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ValueChanged();

  QScrollBar* bar_;
  int valueAtPress_ = 0;
};

}  // namespace ctl
