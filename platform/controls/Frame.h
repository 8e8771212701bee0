#pragma once
// The frame: a container in its back colour, with an etched border and its
// caption when BorderStyle is 1.
#include "platform/ColorRef.h"
#include "platform/controls/Control.h"

namespace ctl {

class Frame : public Control {
 public:
  explicit Frame(QWidget* parent = nullptr);

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);
  COLORREF ForeColor() const { return foreColor_; }
  void SetForeColor(COLORREF colour);
  // 0 none, 1 fixed single.
  int BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(int style);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  COLORREF backColor_ = RGB(240, 240, 240);
  COLORREF foreColor_ = 0;
  int borderStyle_ = 1;
};

}  // namespace ctl
