#pragma once
// The busy animation that keeps moving while the user-interface thread is
// blocked (a library opening in TV-Out mode, the carousel's long steps): a
// strip 470 pixels wide, centred near the bottom of the screen, drawn with
// Cairo on a thread of its own ("RW2:" and the tick count at creation).
//
// On X11 the thread draws through an X connection of its own into a window
// that no window manager handles, so the strip moves even when the program's
// event loop does not run. Without an X display (offscreen) its frames go to
// an image that tests read; without any display there is no animation, and
// showing it never fails.
//
// The seven values of Show: 1 and 2 the strip's left and top on the screen,
// both computed by Show itself; 3 the width of the moving light in pixels;
// 4 the time it takes to cross the strip in hundredths of a second; 5 the strip's
// height (Show makes it 50); 6 the caller's value, the light's starting
// offset in pixels; 7 the control it runs over, which only says what the
// animation belongs to.
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class cBusyIndicator {
 public:
  cBusyIndicator();
  ~cBusyIndicator();
  cBusyIndicator(const cBusyIndicator&) = delete;
  cBusyIndicator& operator=(const cBusyIndicator&) = delete;

  // Starts the animation (restarting it when it runs) and returns once its
  // first frame is drawn (on X, once the server has it; at most three seconds).
  void Show(int32_t left, int32_t top, int32_t width, int32_t height, int32_t size, int32_t value, QWidget* canvas);
  // Stops the animation and waits for its thread to end.
  void Hide();
  bool Showing() const { return running_; }

  const QString& ThreadName() const { return threadName_; }
  // The seven values the animation runs with (after Show's replacements;
  // the seventh is not kept).
  std::array<int32_t, 6> Arguments() const { return args_; }
  // Frames drawn so far, and the last one, for a display without X.
  int64_t FrameCount() const { return frames_; }
  QImage LastFrame() const;

  static constexpr int kStripWidth = 470;

 private:
  class XWindow;
  void Run();
  void DrawFrame(QImage& target, int64_t elapsedMs) const;
  // Called by the thread once its first frame is drawn (and on X, shown):
  // Show waits for it.
  void FirstFrameShown();

  QString threadName_;
  std::array<int32_t, 6> args_{};
  QPointer<QWidget> canvas_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  std::atomic<int64_t> frames_{0};
  std::mutex startLock_;
  std::condition_variable started_;
  bool firstShown_ = false;
  mutable std::mutex frameLock_;
  QImage lastFrame_;
  bool useX_ = false;
};

extern std::unique_ptr<cBusyIndicator> gBusyIndicator;
