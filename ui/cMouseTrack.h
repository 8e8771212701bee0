#pragma once
// Hover and leave tracking of one window. Until the tracking is built it
// holds the window and whether tracking was started, and raises no event.
#include <QPointer>
#include <QWidget>

#include <functional>

class cMouseTrack {
 public:
  // `method` picks the desktop's own tracking; `hoverTime` in milliseconds.
  void AttachMouseTracking(QWidget* hWnd, bool method = true, int hoverTime = 400) {
    window_ = hWnd;
    hoverTime_ = hoverTime;
  }
  void DetachMouseTracking() {
    window_ = nullptr;
    tracking_ = false;
  }
  void StartMouseTracking() { tracking_ = window_ != nullptr; }
  bool Tracking() const { return tracking_; }

  std::function<void(int button, int shift, double x, double y)> MouseHover;
  std::function<void()> MouseLeave;

 private:
  QPointer<QWidget> window_;
  int hoverTime_ = 400;
  bool tracking_ = false;
};
