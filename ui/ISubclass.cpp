#include "ui/ISubclass.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWheelEvent>

#include <algorithm>

cSubclasser gSubclasser;

namespace {

// The program's own messages travel as this event type.
const QEvent::Type kWindowMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class WindowMessageEvent : public QEvent {
 public:
  WindowMessageEvent(int32_t message, intptr_t wParam, intptr_t lParam)
      : QEvent(kWindowMessageEvent), message(message), wParam(wParam), lParam(lParam) {}
  int32_t message;
  intptr_t wParam;
  intptr_t lParam;
};

intptr_t LowHigh(int low, int high) {
  return static_cast<intptr_t>((static_cast<uint32_t>(high & 0xFFFF) << 16) | static_cast<uint32_t>(low & 0xFFFF));
}

}  // namespace

void cSubclasser::AttachWindowMessage(ISubclass* client, QWidget* hWnd, int32_t message) {
  if (!client || !hWnd) return;
  const bool watched = std::any_of(registrations_.begin(), registrations_.end(),
                                   [&](const Registration& r) { return r.window == hWnd; });
  registrations_.push_back({client, hWnd, message});
  if (!watched) hWnd->installEventFilter(this);
  if (message == WM_GETMINMAXINFO) AskMinimumSize(hWnd);
}

void cSubclasser::DetachWindowMessage(ISubclass* client, QWidget* hWnd, int32_t message) {
  std::erase_if(registrations_, [&](const Registration& r) {
    return r.client == client && r.window == hWnd && r.message == message;
  });
  std::erase_if(registrations_, [](const Registration& r) { return r.window.isNull(); });
  const bool watched = std::any_of(registrations_.begin(), registrations_.end(),
                                   [&](const Registration& r) { return r.window == hWnd; });
  if (!watched && hWnd) hWnd->removeEventFilter(this);
}

void cSubclasser::PostWindowMessage(QWidget* hWnd, int32_t message, intptr_t wParam, intptr_t lParam) {
  if (hWnd) QCoreApplication::postEvent(hWnd, new WindowMessageEvent(message, wParam, lParam));
}

bool cSubclasser::Dispatch(QWidget* window, int32_t message, intptr_t wParam, intptr_t lParam) {
  bool consumed = false;
  // A client may detach while it handles a message: work on a copy.
  const std::vector<Registration> targets = registrations_;
  for (const Registration& r : targets) {
    if (r.window != window || r.message != message) continue;
    const int32_t outer = current_;
    current_ = message;
    const int32_t response = r.client->ISubclass_MsgResponse();
    r.client->ISubclass_WindowProc(window, message, wParam, lParam);
    current_ = outer;
    consumed = consumed || response == 0;
  }
  return consumed;
}

void cSubclasser::AskMinimumSize(QWidget* window) {
  MINMAXINFO info;
  info.ptMinTrackSize = {window->minimumWidth(), window->minimumHeight()};
  Dispatch(window, WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info));
  window->setMinimumSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y);
}

bool cSubclasser::eventFilter(QObject* watched, QEvent* event) {
  auto* window = qobject_cast<QWidget*>(watched);
  if (!window) return false;
  switch (event->type()) {
    case QEvent::Show:
      AskMinimumSize(window);
      return false;
    case QEvent::Move:
      return Dispatch(window, WM_MOVING, 0, 0);
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      const QPoint at = wheel->globalPosition().toPoint();
      return Dispatch(window, WM_MOUSEWHEEL, LowHigh(0, wheel->angleDelta().y()), LowHigh(at.x(), at.y()));
    }
    default:
      break;
  }
  if (event->type() == kWindowMessageEvent) {
    const auto* message = static_cast<WindowMessageEvent*>(event);
    Dispatch(window, message->message, message->wParam, message->lParam);
    return true;
  }
  return false;
}
