#include "platform/DragController.h"

#include "platform/controls/Control.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMouseEvent>

namespace ctl {

namespace {

constexpr int16_t kHeld = static_cast<int16_t>(0xFF80);

int16_t DesktopKeyState(int virtualKey) {
  const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
  const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
  bool held = false;
  switch (virtualKey) {
    case 16:
      held = keys & Qt::ShiftModifier;
      break;
    case 17:
      held = keys & Qt::ControlModifier;
      break;
    case 18:
      held = keys & Qt::AltModifier;
      break;
    case 1:
      held = buttons & Qt::LeftButton;
      break;
    case 2:
      held = buttons & Qt::RightButton;
      break;
    case 4:
      held = buttons & Qt::MiddleButton;
      break;
    default:
      break;
  }
  return held ? kHeld : int16_t{0};
}

KeyStateFunction& KeyState() {
  static KeyStateFunction function = DesktopKeyState;
  return function;
}

QPoint GlobalPoint(const QEvent* event) {
  return static_cast<const QMouseEvent*>(event)->globalPosition().toPoint();
}

uint64_t SystemTickCount() {
  static const QElapsedTimer started = [] {
    QElapsedTimer timer;
    timer.start();
    return timer;
  }();
  return static_cast<uint64_t>(started.elapsed());
}

TickCountFunction& TickCount() {
  static TickCountFunction function = SystemTickCount;
  return function;
}

}  // namespace

int16_t GetKeyState(int virtualKey) { return KeyState()(virtualKey); }

uint64_t GetTickCount64() { return TickCount()(); }

TickCountFunction SetTickCountFunction(TickCountFunction function) {
  TickCountFunction previous = std::move(TickCount());
  TickCount() = function ? std::move(function) : TickCountFunction(SystemTickCount);
  return previous;
}

KeyStateFunction SetKeyStateFunction(KeyStateFunction function) {
  KeyStateFunction previous = std::move(KeyState());
  KeyState() = function ? std::move(function) : KeyStateFunction(DesktopKeyState);
  return previous;
}

DragController& DragController::Instance() {
  static DragController* controller = new DragController();
  return *controller;
}

// Defined here, where Control is complete, so that the header needs only its name.
Control* DragController::Source() const { return source_; }

void DragController::Begin(Control& source) {
  if (Dragging()) End(false);
  source_ = &source;
  target_ = nullptr;
  pointer_ = QCursor::pos();
  qApp->installEventFilter(this);
  QGuiApplication::setOverrideCursor(source.DragIcon());
  cursorShown_ = true;
}

// A drag ended without a drop leaves the control it was over, as a move off
// it would, so that the control takes back what it showed for the drag.
void DragController::End(bool drop) {
  if (drop && Dragging()) {
    DropAt(pointer_);
    return;
  }
  if (Dragging() && target_) {
    const QPointer<Control> target = target_;
    target_ = nullptr;
    RaiseOver(*target, pointer_, vbLeave);
  }
  Finish();
}

// The drag is over before the drop handler runs, so that a handler may open
// a modal window or start another drag.
void DragController::Finish() {
  qApp->removeEventFilter(this);
  if (cursorShown_) QGuiApplication::restoreOverrideCursor();
  cursorShown_ = false;
  source_ = nullptr;
  target_ = nullptr;
}

Control* DragController::TargetAt(const QPoint& global) const {
  QWidget* widget = QApplication::widgetAt(global);
  for (; widget; widget = widget->parentWidget()) {
    if (auto* control = dynamic_cast<Control*>(widget)) return control->isEnabled() ? control : nullptr;
  }
  return nullptr;
}

QPointF DragController::PointerOver(Control& target, const QPoint& global) {
  const QPointF at = target.clientArea_->mapFromGlobal(QPointF(global));
  target.DragPointerMoved(at);
  const ScaleUnits units = target.EventUnits();
  return QPointF(PixelsToUnitsX(at.x(), units), PixelsToUnitsY(at.y(), units));
}

void DragController::RaiseOver(Control& target, const QPoint& global, int state) {
  const QPointF at = PointerOver(target, global);
  target.Raise(target.DragOver, *source_, at.x(), at.y(), state);
}

void DragController::ShowDragIcon() {
  if (cursorShown_ && source_) QGuiApplication::changeOverrideCursor(source_->DragIcon());
}

void DragController::MoveTo(const QPoint& global) {
  if (!Dragging()) return;
  pointer_ = global;
  Control* target = TargetAt(global);
  if (target_ && target_ != target) RaiseOver(*target_, global, vbLeave);
  if (!Dragging()) return;
  const bool entering = target && target_ != target;
  target_ = target;
  if (target) RaiseOver(*target, global, entering ? vbEnter : vbOver);
  ShowDragIcon();
}

void DragController::DropAt(const QPoint& global) {
  if (!Dragging()) return;
  QPointer<Control> source = source_;
  QPointer<Control> target = TargetAt(global);
  Finish();
  if (!target || !source) return;
  const QPointF at = PointerOver(*target, global);
  target->Raise(target->DragDrop, *source, at.x(), at.y());
}

bool DragController::eventFilter(QObject* watched, QEvent* event) {
  if (!Dragging()) {
    // The source went away during the drag.
    Finish();
    return QObject::eventFilter(watched, event);
  }
  // The window system's mouse events reach the top-level window first, which
  // hands them to the widget pressed or under the pointer and ends its record
  // of the pressed widget with the release. They are taken at that widget:
  // a release taken at the window would leave every later move going to the
  // drag's source until the next click.
  if (!watched->isWidgetType()) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseMove:
      MoveTo(GlobalPoint(event));
      return true;
    case QEvent::MouseButtonRelease:
      DropAt(GlobalPoint(event));
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace ctl
