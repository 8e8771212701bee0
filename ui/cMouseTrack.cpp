#include "ui/cMouseTrack.h"

#include "platform/ErrorGuard.h"
#include "platform/RWError.h"

#include <QCoreApplication>

cMouseTrack::~cMouseTrack() { DetachMouseTracking(); }

void cMouseTrack::AttachMouseTracking(QWidget* hWnd, int32_t Method, int32_t HoverTime) {
  hoverTime_ = HoverTime;
  // There is one way to track here, so the automatic choice is simply 0.
  method_ = Method == -1 ? 0 : Method;
  DetachMouseTracking();
  window_ = hWnd;
  attached_ = hWnd != nullptr;
  if (!attached_) return;
  gSubclasser.AttachWindowMessage(this, hWnd, WM_MOUSEHOVER);
  gSubclasser.AttachWindowMessage(this, hWnd, WM_MOUSELEAVE);
}

void cMouseTrack::StartMouseTracking() {
  // A new request only once the previous one has been answered; a request
  // made for a window let go of since is answered to that window alone, so
  // the window attached now asks anew.
  if (tracking_ && requested_ == window_) return;
  const int hoverTime = hoverTime_ >= 1 ? hoverTime_ : HOVER_DEFAULT;
  const bool sent = gSubclasser.TrackMouseEvent(window_, TME_HOVER | TME_LEAVE, hoverTime);
  // Without any window the request goes nowhere and still counts, so the
  // owner is not told of it; a window that was attached and is gone is a
  // failure the owner must hear of, and Tracking stays as it was.
  if (!sent && attached_) {
    throw RWError(kErrInvalidArgument, QStringLiteral("Invalid procedure call or argument"),
                  QCoreApplication::applicationName() + QStringLiteral(".cMouseTrack"));
  }
  tracking_ = true;
  requested_ = window_;
}

void cMouseTrack::DetachMouseTracking() {
  if (!attached_) return;
  if (window_) {
    gSubclasser.DetachWindowMessage(this, window_, WM_MOUSEHOVER);
    gSubclasser.DetachWindowMessage(this, window_, WM_MOUSELEAVE);
  }
  window_ = nullptr;
  attached_ = false;
}

intptr_t cMouseTrack::ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) {
  if (iMsg == WM_MOUSEHOVER) Hovered(hWnd, wParam, lParam);
  if (iMsg == WM_MOUSELEAVE) Left(hWnd);
  return 0;
}

void cMouseTrack::Hovered(QWidget* hWnd, intptr_t wParam, intptr_t lParam) {
  tracking_ = false;
  int button = 0;
  if (wParam & MK_LBUTTON) button |= 1;
  if (wParam & MK_RBUTTON) button |= 2;
  if (wParam & MK_MBUTTON) button |= 4;
  int shift = 0;
  if (wParam & MK_SHIFT) shift |= 1;
  if (wParam & MK_CONTROL) shift |= 2;
  const double x = lParam & 0xFFFF;
  const double y = static_cast<double>(lParam / 65536);
  // The owner's handler runs from the event loop: what it raises is reported here.
  if (MouseHover) ErrorGuard({.owner = hWnd->window()}).Run([&] { MouseHover(button, shift, x, y); });
}

void cMouseTrack::Left(QWidget* hWnd) {
  tracking_ = false;
  if (MouseLeave) ErrorGuard({.owner = hWnd->window()}).Run([&] { MouseLeave(); });
}
