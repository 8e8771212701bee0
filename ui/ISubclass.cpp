#include "ui/ISubclass.h"

#include "platform/ErrorGuard.h"
#include "platform/controls/Control.h"
#include "ui/WorkArea.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <optional>

cSubclasser gSubclasser;

namespace {

// The vertical notch of a wheel event (-120 a notch down). X11 hands a notch
// turned with Alt held over as a horizontal one; a tilt of the wheel has no
// vertical part at all and gives 0.
int VerticalNotch(const QWheelEvent& wheel) {
  const QPoint delta = wheel.angleDelta();
  if (delta.y() != 0) return delta.y();
  if (wheel.modifiers() & Qt::AltModifier) return delta.x();
  return 0;
}

// The buttons and keys held, as WM_MOUSEWHEEL's low word gives them.
int WheelKeys(const QWheelEvent& wheel) {
  const Qt::MouseButtons buttons = wheel.buttons();
  const Qt::KeyboardModifiers keys = wheel.modifiers();
  return (buttons & Qt::LeftButton ? MK_LBUTTON : 0) | (buttons & Qt::RightButton ? MK_RBUTTON : 0) |
         (keys & Qt::ShiftModifier ? MK_SHIFT : 0) | (keys & Qt::ControlModifier ? MK_CONTROL : 0) |
         (buttons & Qt::MiddleButton ? MK_MBUTTON : 0);
}

int gHoverTime = 400;

TickClockFactory& HoverClockFactory() {
  static TickClockFactory factory = NewQtTickClock;
  return factory;
}

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

// wParam of a mouse message: the buttons held and Shift and Ctrl.
intptr_t MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers keys) {
  intptr_t flags = 0;
  if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
  if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
  if (keys & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (keys & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

intptr_t ClientPosition(QWidget* window, const QPointF& global) {
  const QPoint at = window->mapFromGlobal(global.toPoint());
  return MakeLParam(at.x(), at.y());
}

}  // namespace

ISubclass::~ISubclass() { gSubclasser.DetachClient(this); }

// ---- Hover and leave tracking of one window ----

class cSubclasser::Tracker : public QObject {
 public:
  Tracker(cSubclasser& service, QWidget* window) : service_(service), window_(window), hover_(HoverClockFactory()()) {}

  void Request(int32_t flags, int hoverTime) {
    hoverArmed_ = flags & TME_HOVER;
    leaveArmed_ = flags & TME_LEAVE;
    hoverTime_ = hoverTime < 1 ? HoverTime() : hoverTime;
    window_->setMouseTracking(true);
    anchor_ = QCursor::pos();
    if (!window_->rect().contains(window_->mapFromGlobal(anchor_))) {
      // The pointer is not over the window: the leave is due at once.
      if (leaveArmed_) QTimer::singleShot(0, this, [this] { Left(); });
      hoverArmed_ = false;
      return;
    }
    if (hoverArmed_) StartHoverWait();
  }

  // The pointer moved over the window (global position).
  void Moved(const QPoint& global) {
    if (!hoverArmed_) return;
    if (std::abs(global.x() - anchor_.x()) > 2 || std::abs(global.y() - anchor_.y()) > 2) {
      anchor_ = global;
      StartHoverWait();
    }
  }

  bool Alive() const { return !window_.isNull(); }

  void Left() {
    hover_->Stop();
    hoverArmed_ = false;
    if (!leaveArmed_ || !window_) return;
    leaveArmed_ = false;
    service_.Dispatch(window_, WM_MOUSELEAVE, 0, 0);
  }

 private:
  void StartHoverWait() {
    hover_->Start(hoverTime_, [this] { Hovered(); });
  }
  // One tick of the wait ends it.
  void Hovered() {
    hover_->Stop();
    if (!hoverArmed_ || !window_) return;
    hoverArmed_ = false;
    const QPoint global = QCursor::pos();
    service_.Dispatch(window_, WM_MOUSEHOVER, MouseFlags(QApplication::mouseButtons(), QApplication::keyboardModifiers()),
                      ClientPosition(window_, global));
  }

  cSubclasser& service_;
  QPointer<QWidget> window_;
  std::unique_ptr<TickClock> hover_;
  QPoint anchor_;
  int hoverTime_ = 400;
  bool hoverArmed_ = false;
  bool leaveArmed_ = false;
};

// ---- Live sizing of a window whose right edge answers HTRIGHT ----

class cSubclasser::LiveSizing {
 public:
  // The edge keeps the distance from the pointer it had when pressed.
  LiveSizing(QWidget* window, const QPoint& pressed)
      : window_(window), offset_(window->width() - window->mapFromGlobal(pressed).x()) {
    window->grabMouse(Qt::SizeHorCursor);
  }
  ~LiveSizing() {
    if (window_) window_->releaseMouse();
  }
  QWidget* Window() const { return window_; }

  // The window's rectangle in its parent with the right edge at the pointer.
  RECT Proposed(const QPoint& global) const {
    const QRect now = window_->geometry();
    const QPoint at = window_->parentWidget() ? window_->parentWidget()->mapFromGlobal(global) : global;
    return {now.left(), now.top(), at.x() + offset_, now.bottom() + 1};
  }

 private:
  QPointer<QWidget> window_;
  int offset_ = 0;
};

// ---- Registrations ----

cSubclasser::cSubclasser() = default;
cSubclasser::~cSubclasser() = default;

void cSubclasser::AttachWindowMessage(ISubclass* client, QWidget* hWnd, int32_t message) {
  if (!client || !hWnd) return;
  registrations_.push_back({client, hWnd, message});
  Watch(hWnd);
  if (message == WM_GETMINMAXINFO) AskMinimumSize(hWnd);
}

void cSubclasser::DetachWindowMessage(ISubclass* client, QWidget* hWnd, int32_t message) {
  std::erase_if(registrations_, [&](const Registration& r) {
    return r.client == client && r.window == hWnd && r.message == message;
  });
  Prune();
}

void cSubclasser::DetachClient(ISubclass* client) {
  std::erase_if(registrations_, [&](const Registration& r) { return r.client == client; });
  Prune();
}

void cSubclasser::OnWindowDestroyed() { Prune(); }

// Forgets what belongs to windows that are gone or have no registration left.
void cSubclasser::Prune() {
  std::erase_if(registrations_, [](const Registration& r) { return r.window.isNull(); });
  auto unused = [this](QWidget* window) {
    return std::none_of(registrations_.begin(), registrations_.end(),
                        [&](const Registration& r) { return r.window == window; });
  };
  std::erase_if(timers_, [&](const auto& entry) { return unused(entry.first.first); });
  // A hover request lasts until it is answered or its window goes, even
  // while the window is detached and attached again.
  std::erase_if(trackers_, [](const auto& entry) { return !entry.second->Alive(); });
  std::erase_if(settle_, [&](const auto& entry) { return unused(entry.first); });
  if (sizing_ && (!sizing_->Window() || unused(sizing_->Window()))) sizing_.reset();
}

bool cSubclasser::Registered(QWidget* window, int32_t message) const {
  return std::any_of(registrations_.begin(), registrations_.end(),
                     [&](const Registration& r) { return r.window == window && r.message == message; });
}

// The registered window an event belongs to: the widget itself, or the
// control whose inner widget it is (a control's own child controls are not
// its inner widgets).
QWidget* cSubclasser::RegisteredOwner(QObject* watched) const {
  auto* widget = qobject_cast<QWidget*>(watched);
  while (widget) {
    const bool registered = std::any_of(registrations_.begin(), registrations_.end(),
                                        [&](const Registration& r) { return r.window == widget; });
    if (registered) return widget;
    if (dynamic_cast<ctl::Control*>(widget) || widget->isWindow()) return nullptr;
    widget = widget->parentWidget();
  }
  return nullptr;
}

// The window a combo's notifications go to: the nearest of the combo and
// the control it belongs to that listens for WM_COMMAND.
QWidget* cSubclasser::NotificationOwner(QWidget* combo) const {
  for (QWidget* widget = combo; widget; widget = widget->parentWidget()) {
    if (Registered(widget, WM_COMMAND)) return widget;
    if (dynamic_cast<ctl::Control*>(widget) || widget->isWindow()) return nullptr;
  }
  return nullptr;
}

// Filters the window and its inner widgets, now and as they are added; a
// combo's list reports its opening and closing.
void cSubclasser::Watch(QWidget* window) {
  QList<QWidget*> widgets{window};
  for (QWidget* child : window->findChildren<QWidget*>()) {
    if (RegisteredOwner(child) == window) widgets << child;
  }
  for (QWidget* widget : widgets) {
    widget->removeEventFilter(this);
    widget->installEventFilter(this);
    // The desktop tells a window of every move of the pointer over it; Qt
    // drops moves without a button unless the widget tracks the mouse.
    widget->setMouseTracking(true);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      QWidget* list = combo->view()->window();
      list->removeEventFilter(this);
      list->installEventFilter(this);
      list->setProperty("rwComboOwner", QVariant::fromValue(static_cast<QObject*>(combo)));
      disconnect(combo, &QComboBox::currentIndexChanged, this, nullptr);
      connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] {
        if (QWidget* owner = NotificationOwner(combo)) {
          Dispatch(owner, WM_COMMAND, MakeLParam(0, CBN_SELCHANGE), reinterpret_cast<intptr_t>(owner));
        }
      });
    }
  }
  connect(window, &QObject::destroyed, this, &cSubclasser::OnWindowDestroyed, Qt::UniqueConnection);
}

void cSubclasser::PostWindowMessage(QWidget* hWnd, int32_t message, intptr_t wParam, intptr_t lParam) {
  if (hWnd) QCoreApplication::postEvent(hWnd, new WindowMessageEvent(message, wParam, lParam));
}

intptr_t cSubclasser::SendWindowMessage(QWidget* hWnd, int32_t message, intptr_t wParam, intptr_t lParam) {
  return Dispatch(hWnd, message, wParam, lParam).result;
}

intptr_t cSubclasser::CallPreviousWindowProc(QWidget* hWnd, int32_t message, intptr_t, intptr_t) {
  if (!hWnd) return 0;
  if (message == WM_NCHITTEST) return HTCLIENT;
  if (message == WM_SETCURSOR) {
    const QVariant own = hWnd->property("rwOwnCursor");
    if (own.isValid()) {
      hWnd->setCursor(own.value<QCursor>());
    } else {
      hWnd->unsetCursor();
    }
  }
  return 0;
}

// ---- Timers and tracking ----

void cSubclasser::SetTimer(QWidget* hWnd, int32_t id, int milliseconds) {
  if (!hWnd) return;
  auto timer = std::make_unique<QTimer>();
  QPointer<QWidget> window = hWnd;
  connect(timer.get(), &QTimer::timeout, this, [this, window, id] {
    if (window) Dispatch(window, WM_TIMER, id, 0);
  });
  timer->start(milliseconds);
  timers_[{hWnd, id}] = std::move(timer);
}

void cSubclasser::KillTimer(QWidget* hWnd, int32_t id) { timers_.erase({hWnd, id}); }

bool cSubclasser::TrackMouseEvent(QWidget* hWnd, int32_t flags, int hoverTime) {
  if (!hWnd) return false;
  auto& tracker = trackers_[hWnd];
  if (!tracker) tracker = std::make_unique<Tracker>(*this, hWnd);
  tracker->Request(flags, hoverTime);
  return true;
}

int cSubclasser::HoverTime() { return gHoverTime; }
void cSubclasser::SetHoverTime(int milliseconds) { gHoverTime = milliseconds > 0 ? milliseconds : 400; }
void cSubclasser::SetHoverClockFactory(TickClockFactory factory) {
  HoverClockFactory() = factory ? std::move(factory) : TickClockFactory(NewQtTickClock);
}

// ---- Dispatch ----

// A client's failure is reported and the message goes on: it must not unwind
// through the event loop.
intptr_t cSubclasser::CallClient(ISubclass* client, QWidget* hWnd, int32_t message, intptr_t wParam,
                                 intptr_t lParam) {
  intptr_t result = 0;
  ErrorGuard().Run([&] { result = client->ISubclass_WindowProc(hWnd, message, wParam, lParam); });
  return result;
}

// Clients answering 0 or 1 run before the window's own handling, those
// answering 2 after it: the event is then handed to its widget here, so that
// they see (and paint over) what it did. `shown` is the widget the clients
// are given (the painted inner widget for WM_PAINT), the registered window
// by default.
cSubclasser::Outcome cSubclasser::Dispatch(QWidget* window, int32_t message, intptr_t wParam, intptr_t lParam,
                                           QEvent* event, QObject* eventTarget, QWidget* shown) {
  Outcome outcome;
  QWidget* hWnd = shown ? shown : window;
  std::vector<ISubclass*> after;
  // A client may detach while it handles a message: work on a copy.
  const std::vector<Registration> targets = registrations_;
  QPointer<QWidget> alive = window;
  for (const Registration& r : targets) {
    if (r.window != window || r.message != message) continue;
    const int32_t outer = current_;
    current_ = message;
    const int32_t response = r.client->ISubclass_MsgResponse();
    if (response == 2) {
      after.push_back(r.client);
    } else {
      const intptr_t result = CallClient(r.client, hWnd, message, wParam, lParam);
      if (response == 0) {
        outcome.consumed = true;
        outcome.result = result;
      }
    }
    current_ = outer;
    if (!alive) return outcome;
  }
  if (after.empty()) return outcome;
  if (event && !outcome.consumed) {
    QObject* target = eventTarget ? eventTarget : window;
    // Handed on past this filter, as the window's own handling.
    target->removeEventFilter(this);
    target->event(event);
    target->installEventFilter(this);
    outcome.consumed = true;
  }
  for (ISubclass* client : after) {
    const bool stillThere = std::any_of(registrations_.begin(), registrations_.end(), [&](const Registration& r) {
      return r.client == client && r.window == window && r.message == message;
    });
    if (!stillThere || !alive) continue;
    const int32_t outer = current_;
    current_ = message;
    CallClient(client, hWnd, message, wParam, lParam);
    current_ = outer;
  }
  return outcome;
}

void cSubclasser::AskMinimumSize(QWidget* window) {
  if (!Registered(window, WM_GETMINMAXINFO)) return;
  MINMAXINFO info;
  info.ptMinTrackSize = {window->minimumWidth(), window->minimumHeight()};
  Dispatch(window, WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info));
  // No window is held larger than its work area: on a small or scaled
  // screen the least size asked for is cut to it.
  window->setMinimumSize(QSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y).boundedTo(WorkArea::Room(window)));
}

// ---- Qt events into messages ----

// The opening and closing of a combo's list, as the combo's notifications.
bool cSubclasser::FilterCombo(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show && event->type() != QEvent::Hide) return false;
  const QVariant owner = watched->property("rwComboOwner");
  if (!owner.isValid()) return false;
  auto* combo = qobject_cast<QWidget*>(owner.value<QObject*>());
  if (QWidget* window = combo ? NotificationOwner(combo) : nullptr) {
    const int code = event->type() == QEvent::Show ? CBN_DROPDOWN : CBN_CLOSEUP;
    Dispatch(window, WM_COMMAND, MakeLParam(0, code), reinterpret_cast<intptr_t>(window));
  }
  return true;
}

// The hit test, the cursor and live sizing along an edge that answers
// HTRIGHT, then the mouse message itself.
bool cSubclasser::FilterMouse(QWidget* window, QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
      type != QEvent::MouseButtonDblClick) {
    return false;
  }
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint global = mouse->globalPosition().toPoint();
  const intptr_t flags = MouseFlags(mouse->buttons(), mouse->modifiers());
  const intptr_t at = ClientPosition(window, mouse->globalPosition());
  if (sizing_ && sizing_->Window() == window) return FilterSizing(window, type, global);
  if (type == QEvent::MouseMove) {
    if (auto tracker = trackers_.find(window); tracker != trackers_.end()) tracker->second->Moved(global);
    HitTest(window, global);
    return Dispatch(window, WM_MOUSEMOVE, flags, at, event, watched).consumed;
  }
  if (mouse->button() != Qt::LeftButton) return false;
  if (type == QEvent::MouseButtonRelease) return Dispatch(window, WM_LBUTTONUP, flags, at, event, watched).consumed;
  if (window->property("rwHit").toInt() == HTRIGHT && Registered(window, WM_SIZING)) {
    sizing_ = std::make_unique<LiveSizing>(window, global);
    return true;
  }
  if (Dispatch(window, WM_MOUSEACTIVATE, reinterpret_cast<intptr_t>(window->window()), 0).consumed) return true;
  return Dispatch(window, WM_LBUTTONDOWN, flags, at, event, watched).consumed;
}

// A window whose hit test answers HTRIGHT shows the sizing arrow there, as
// the desktop does over a sizable edge; WM_SETCURSOR clients choose their own.
void cSubclasser::HitTest(QWidget* window, const QPoint& global) {
  int hit = HTCLIENT;
  if (Registered(window, WM_NCHITTEST)) {
    const Outcome test = Dispatch(window, WM_NCHITTEST, 0, MakeLParam(global.x(), global.y()));
    if (test.consumed) hit = static_cast<int>(test.result);
    if (hit == HTRIGHT) {
      window->setCursor(Qt::SizeHorCursor);
    } else if (window->property("rwHit").toInt() == HTRIGHT) {
      CallPreviousWindowProc(window, WM_SETCURSOR, 0, 0);
    }
  }
  window->setProperty("rwHit", hit);
  if (Registered(window, WM_SETCURSOR)) {
    Dispatch(window, WM_SETCURSOR, reinterpret_cast<intptr_t>(window), MakeLParam(hit, WM_MOUSEMOVE));
  }
}

// Live sizing: before each resize the proposed rectangle (in the parent's
// coordinates) goes to WM_SIZING, whose clients may change it; the release
// ends it with WM_EXITSIZEMOVE.
bool cSubclasser::FilterSizing(QWidget* window, QEvent::Type type, const QPoint& global) {
  if (type == QEvent::MouseMove) {
    RECT proposed = sizing_->Proposed(global);
    Dispatch(window, WM_SIZING, 2, reinterpret_cast<intptr_t>(&proposed));
    window->setGeometry(QRect(QPoint(proposed.left, proposed.top), QPoint(proposed.right - 1, proposed.bottom - 1)));
    return true;
  }
  if (type == QEvent::MouseButtonRelease) {
    sizing_.reset();
    Dispatch(window, WM_EXITSIZEMOVE, 0, 0);
  }
  return true;
}

bool cSubclasser::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ChildAdded) {
    auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child());
    if (QWidget* owner = RegisteredOwner(watched); child && owner && !dynamic_cast<ctl::Control*>(child)) {
      QTimer::singleShot(0, this, [this, owner = QPointer<QWidget>(owner)] {
        if (owner) Watch(owner);
      });
    }
    return false;
  }
  if (FilterCombo(watched, event)) return false;
  QWidget* window = RegisteredOwner(watched);
  if (!window) return false;
  const bool itself = watched == window;
  switch (event->type()) {
    case QEvent::Show:
      if (itself) AskMinimumSize(window);
      return false;
    case QEvent::Move:
      if (itself) MovedOrSized(window);
      return itself && Dispatch(window, WM_MOVING, 0, 0).consumed;
    case QEvent::Resize:
      if (itself) MovedOrSized(window);
      return false;
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      const int notch = VerticalNotch(*wheel);
      if (notch == 0) return false;  // a tilt: no vertical part, no WM_MOUSEWHEEL
      const QPoint at = wheel->globalPosition().toPoint();
      return Dispatch(window, WM_MOUSEWHEEL, MakeLParam(WheelKeys(*wheel), notch), MakeLParam(at.x(), at.y()))
          .consumed;
    }
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      return itself && Activation(window, event->type() == QEvent::WindowActivate);
    case QEvent::FocusIn:
      return Dispatch(window, WM_SETFOCUS, 0, 0).consumed;
    case QEvent::FocusOut:
      return Dispatch(window, WM_KILLFOCUS, 0, 0).consumed;
    case QEvent::Paint:
      return Dispatch(window, WM_PAINT, 0, 0, event, watched, static_cast<QWidget*>(watched)).consumed;
    case QEvent::Leave:
      if (auto tracker = trackers_.find(window); tracker != trackers_.end() && itself) tracker->second->Left();
      return false;
    case QEvent::Enter:
      if (itself) HitTest(window, QCursor::pos());
      return false;
    default:
      break;
  }
  if (FilterMouse(window, watched, event)) return true;
  if (event->type() == kWindowMessageEvent && itself) {
    const auto* message = static_cast<WindowMessageEvent*>(event);
    Dispatch(window, message->message, message->wParam, message->lParam);
    return true;
  }
  return false;
}

// A top-level window's move or resize has ended when no other follows for
// a moment: WM_EXITSIZEMOVE then, as the desktop sends at the end of a drag.
void cSubclasser::MovedOrSized(QWidget* window) {
  if (!window->isWindow() || !Registered(window, WM_EXITSIZEMOVE)) return;
  auto& settle = settle_[window];
  if (!settle) {
    settle = std::make_unique<QTimer>();
    settle->setSingleShot(true);
    QPointer<QWidget> target = window;
    connect(settle.get(), &QTimer::timeout, this, [this, target] {
      if (target) Dispatch(target, WM_EXITSIZEMOVE, 0, 0);
    });
  }
  settle->start(kSettleMs);
}

// WM_ACTIVATE; a window losing the activation ends a live sizing in it.
bool cSubclasser::Activation(QWidget* window, bool active) {
  if (sizing_ && !active) {
    QWidget* sized = sizing_->Window();
    sizing_.reset();
    if (sized) Dispatch(sized, WM_EXITSIZEMOVE, 0, 0);
  }
  return Dispatch(window, WM_ACTIVATE, active ? 1 : 0, 0).consumed;
}
