#include "platform/controls/VScrollBar.h"

#include <QResizeEvent>

namespace ctl {

VScrollBar::VScrollBar(QWidget* parent) : Control(parent), bar_(new QScrollBar(Qt::Vertical, this)) {
  bar_->setRange(0, 32767);
  bar_->setTracking(true);
  WatchInput(bar_);
  setFocusProxy(bar_);
  QObject::connect(bar_, &QScrollBar::valueChanged, this, [this] { ValueChanged(); });
  QObject::connect(bar_, &QScrollBar::sliderPressed, this, [this] { valueAtPress_ = bar_->value(); });
  QObject::connect(bar_, &QScrollBar::sliderReleased, this, [this] {
    if (bar_->value() != valueAtPress_) Raise(Change);
  });
}

void VScrollBar::SetMin(int value) { bar_->setMinimum(value); }

void VScrollBar::SetMax(int value) { bar_->setMaximum(value); }

void VScrollBar::ValueChanged() {
  if (bar_->isSliderDown()) {
    Raise(Scroll);
  } else {
    Raise(Change);
  }
}

void VScrollBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  bar_->setGeometry(rect());
}

}  // namespace ctl
