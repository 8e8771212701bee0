#include "ui/AnimatedPicture.h"

#include "resources/Resources.h"

#include <QPainter>

namespace ctl {

AnimatedPicture::AnimatedPicture(QWidget* parent) : Control(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { NextFrame(); });
}

void AnimatedPicture::LoadAnimation(const QString& name) {
  const ResAnimation animation = LoadResAnimation(name);
  frames_ = animation.frames;
  timer_.setInterval(animation.intervalMs > 0 ? animation.intervalMs : 100);
  frame_ = 0;
  if (!frames_.isEmpty()) resize(frames_.front().size());
  update();
}

void AnimatedPicture::Start() {
  if (frames_.size() > 1) timer_.start();
}

void AnimatedPicture::Stop() {
  timer_.stop();
  frame_ = 0;
  update();
}

void AnimatedPicture::NextFrame() {
  if (frames_.isEmpty()) return;
  frame_ = (frame_ + 1) % static_cast<int>(frames_.size());
  update();
}

void AnimatedPicture::paintEvent(QPaintEvent*) {
  if (frames_.isEmpty()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, frames_[frame_]);
}

}  // namespace ctl
