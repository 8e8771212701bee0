#pragma once
// The animated picture control: the frames of an animation resource shown in
// turn at the animation's pace while it is started; stopped, it shows its
// first frame. The control takes the size of one frame.
#include "platform/controls/Control.h"

#include <QImage>
#include <QTimer>
#include <QVector>

namespace ctl {

class AnimatedPicture : public Control {
 public:
  explicit AnimatedPicture(QWidget* parent = nullptr);

  // The frames of the resource "ANIMATION"/`name`.
  void LoadAnimation(const QString& name);
  void Start();
  void Stop();
  bool Playing() const { return timer_.isActive(); }
  int FrameIndex() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void NextFrame();

  QVector<QImage> frames_;
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace ctl
