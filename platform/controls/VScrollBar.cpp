#include "platform/controls/VScrollBar.h"

#include <QRegion>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionSlider>

namespace ctl {

namespace {

// A step of the value between the ends repaints where the thumb was and
// where it is, with its outline: the rest of the bar (its groove and arrows) looks the same at
// any such value, and a bar repainted whole on every page of a long list
// fills its full height each time (a fill Qt splits over its thread pool).
// A step to or from either end repaints the whole bar, for the styles that
// show an arrow disabled there, and so do a bar that fades in and out and
// every change other than the value's (range, steps), as Qt's own does.
class ThumbScrollBar final : public QScrollBar {
 public:
  using QScrollBar::QScrollBar;

  // A bar that paints every pixel of its place says so on the control it
  // fills: Qt then leaves it out of the repaints of what lies under it. The
  // results grid, which the bar overlaps by a pixel, would otherwise repaint
  // the bar's whole height with every page. A bar that fades in and out
  // shows what is under it.
  void CoverParent() {
    if (parentWidget()) parentWidget()->setAttribute(Qt::WA_OpaquePaintEvent, !Fades());
  }

 protected:
  void sliderChange(SliderChange change) override {
    const int was = shown_;
    shown_ = sliderPosition();
    if (change != SliderValueChange || AtAnEnd(was) || AtAnEnd(shown_) || Fades()) {
      QScrollBar::sliderChange(change);
      return;
    }
    update(QRegion(Thumb(was)) + Thumb(shown_));
  }

  void paintEvent(QPaintEvent* event) override {
    QScrollBar::paintEvent(event);
    shown_ = sliderPosition();
  }

  void changeEvent(QEvent* event) override {
    QScrollBar::changeEvent(event);
    if (event->type() == QEvent::StyleChange) CoverParent();
  }

 private:
  bool AtAnEnd(int position) const { return position <= minimum() || position >= maximum(); }
  bool Fades() const { return style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this); }

  QRect Thumb(int position) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.sliderPosition = position;
    option.sliderValue = position;
    // Styles draw the thumb's outline and shadow just outside its place.
    constexpr int kOutline = 3;
    return style()
        ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this)
        .adjusted(-kOutline, -kOutline, kOutline, kOutline);
  }

  int shown_ = 0;  // the thumb's position when last painted or asked to be
};

}  // namespace

VScrollBar::VScrollBar(QWidget* parent) : Control(parent), bar_(new ThumbScrollBar(Qt::Vertical, this)) {
  static_cast<ThumbScrollBar*>(bar_)->CoverParent();
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
