#pragma once
// Tells its owner when the mouse has rested over one window for a while
// (MouseHover) and when it has left that window (MouseLeave). The owner asks
// with StartMouseTracking, usually from its mouse-move handler; one request
// is answered by one hover or leave, after which the owner asks again.
#include "ui/ISubclass.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>

class cMouseTrack : public ISubclass {
 public:
  cMouseTrack() = default;
  ~cMouseTrack() override;
  cMouseTrack(const cMouseTrack&) = delete;
  cMouseTrack& operator=(const cMouseTrack&) = delete;

  // How requests are made; AttachMouseTracking's -1 chooses 0. Every value
  // asks the message service the same way.
  int32_t Method() const { return method_; }
  // Follows hWnd from now on (nullptr: no window) after letting go of the
  // previous one. HoverTime in ms; below 1 the desktop's hover time.
  void AttachMouseTracking(QWidget* hWnd, int32_t Method, int32_t HoverTime);
  // Asks for the next hover and leave of the window, unless a request for
  // it is still unanswered. Raises an error (source "<program>.cMouseTrack") when
  // the attached window no longer exists.
  void StartMouseTracking();
  // Lets go of the window; an unanswered request stays counted in Tracking.
  void DetachMouseTracking();
  // A request is outstanding.
  bool Tracking() const { return tracking_; }

  // Button: 1 left, 2 right, 4 middle, added; Shift: 1 Shift, 2 Ctrl, added;
  // X, Y in the window's client pixels.
  std::function<void(int Button, int Shift, double X, double Y)> MouseHover;
  std::function<void()> MouseLeave;

  // The window's own handling runs first.
  int32_t ISubclass_MsgResponse() override { return 2; }
  intptr_t ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) override;

 private:
  void Hovered(QWidget* hWnd, intptr_t wParam, intptr_t lParam);
  void Left(QWidget* hWnd);

  QPointer<QWidget> window_;
  // A window was attached (it may have been destroyed since).
  bool attached_ = false;
  bool tracking_ = false;
  // The window of the outstanding request.
  QPointer<QWidget> requested_;
  int32_t hoverTime_ = 0;
  int32_t method_ = 0;
};
