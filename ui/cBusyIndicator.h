#pragma once
// The busy animation shown over the carousel canvas while a library opens in
// TV-Out mode. Until the animation is built it only keeps whether it is
// shown.
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>

class cBusyIndicator {
 public:
  ~cBusyIndicator() { Hide(); }
  // The animation's placement and size, a value of the caller's and the
  // control it runs over.
  void Show(int32_t left, int32_t top, int32_t width, int32_t height, int32_t size, int32_t value, QWidget* canvas);
  void Hide();
  bool Showing() const { return showing_; }

 private:
  bool showing_ = false;
  QPointer<QWidget> canvas_;
};

extern std::unique_ptr<cBusyIndicator> gBusyIndicator;
