#pragma once
// Counting paintings: whether a widget was painted, and when.
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace rwtest {

// Counts the paintings of the objects it is installed on as an event
// filter; given a widget, it installs itself there for its lifetime.
class PaintCounter : public QObject {
 public:
  PaintCounter() = default;
  explicit PaintCounter(QWidget* watched) : watched_(watched) { watched->installEventFilter(this); }
  ~PaintCounter() override {
    if (watched_) watched_->removeEventFilter(this);
  }
  PaintCounter(const PaintCounter&) = delete;
  PaintCounter& operator=(const PaintCounter&) = delete;

  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }

 private:
  QPointer<QWidget> watched_;
};

// A shown widget that counts its own paintings; by default it covers the
// primary screen, as a window under a dialog or a box does.
class CountedWidget : public QWidget {
 public:
  explicit CountedWidget(const QRect& geometry = QGuiApplication::primaryScreen()->geometry()) {
    setGeometry(geometry);
    show();
  }
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override { ++paints; }
};

}  // namespace rwtest
