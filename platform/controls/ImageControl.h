#pragma once
// The image control: a picture shown at its own size (the control takes that
// size) or stretched over the control.
#include "platform/controls/Control.h"

#include <QPixmap>

namespace ctl {

class Image : public Control {
 public:
  explicit Image(QWidget* parent = nullptr);

  const QPixmap& Picture() const { return picture_; }
  void SetPicture(const QPixmap& picture);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
  bool stretch_ = false;
};

}  // namespace ctl
