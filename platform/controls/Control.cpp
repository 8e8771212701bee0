#include "platform/controls/Control.h"

#include "platform/MessageBoxSeam.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "platform/Twips.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace ctl {

double PixelsToUnitsX(double pixels, ScaleUnits units) {
  return units == ScaleUnits::Twips ? pixels * TwipsPerPixelX() : pixels;
}

double PixelsToUnitsY(double pixels, ScaleUnits units) {
  return units == ScaleUnits::Twips ? pixels * TwipsPerPixelY() : pixels;
}

int UnitsToPixelsX(double value, ScaleUnits units) {
  return units == ScaleUnits::Twips ? TwipsToPixelsX(value) : static_cast<int>(RoundHalfEven(value));
}

int UnitsToPixelsY(double value, ScaleUnits units) {
  return units == ScaleUnits::Twips ? TwipsToPixelsY(value) : static_cast<int>(RoundHalfEven(value));
}

Control::Control(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void Control::SetContainerUnits(ScaleUnits units) {
  CurrentGeometry();
  const Geometry old = geometry_;
  containerUnits_ = units;
  geometry_.left = PixelsToUnitsX(old.placed.x(), units);
  geometry_.top = PixelsToUnitsY(old.placed.y(), units);
  geometry_.width = PixelsToUnitsX(old.placed.width(), units);
  geometry_.height = PixelsToUnitsY(old.placed.height(), units);
}

const Control::Geometry& Control::CurrentGeometry() const {
  // Something other than Move (a layout, the window system) placed the widget:
  // its own geometry is the truth.
  if (geometry() != geometry_.placed) {
    const QRect rect = geometry();
    geometry_ = {PixelsToUnitsX(rect.x(), containerUnits_), PixelsToUnitsY(rect.y(), containerUnits_),
                 PixelsToUnitsX(rect.width(), containerUnits_), PixelsToUnitsY(rect.height(), containerUnits_), rect};
  }
  return geometry_;
}

double Control::Left() const { return CurrentGeometry().left; }
double Control::Top() const { return CurrentGeometry().top; }
double Control::Width() const { return CurrentGeometry().width; }
double Control::Height() const { return CurrentGeometry().height; }

void Control::SetLeft(double left) { Move(left, Top()); }
void Control::SetTop(double top) { Move(Left(), top); }
void Control::SetWidth(double width) { Move(Left(), Top(), width); }
void Control::SetHeight(double height) { Move(Left(), Top(), Width(), height); }
void Control::Move(double left, double top) { Place(left, top, Width(), Height()); }
void Control::Move(double left, double top, double width) { Place(left, top, width, Height()); }
void Control::Move(double left, double top, double width, double height) { Place(left, top, width, height); }

void Control::Place(double left, double top, double width, double height) {
  // A negative size raises no error here; the widget simply gets none.
  const QRect rect(UnitsToPixelsX(left, containerUnits_), UnitsToPixelsY(top, containerUnits_),
                   std::max(0, UnitsToPixelsX(width, containerUnits_)),
                   std::max(0, UnitsToPixelsY(height, containerUnits_)));
  setGeometry(rect);
  geometry_ = {left, top, width, height, geometry()};
}

void Control::SetFontName(const QString& name) {
  QFont changed = font();
  changed.setFamily(name);
  setFont(changed);
}

void Control::SetFontSize(double points) {
  QFont changed = font();
  changed.setPointSizeF(points);
  setFont(changed);
}

void Control::SetFontBold(bool bold) {
  QFont changed = font();
  changed.setBold(bold);
  setFont(changed);
}

void Control::SetMouseIcon(const QCursor& cursor) {
  mouseIcon_ = cursor;
  setCursor(cursor);
}

void Control::Drag(int action) {
  DragController& drag = DragController::Instance();
  if (action == vbBeginDrag) {
    drag.Begin(*this);
  } else if (drag.Source() == this) {
    drag.End(action == vbEndDrag);
  }
}

void Control::EndEvents(QWidget& form) {
  // Controls declare no meta-object of their own, so findChildren cannot tell them from other widgets.
  QList<QWidget*> widgets = form.findChildren<QWidget*>();
  widgets.append(&form);
  for (QWidget* widget : widgets) {
    if (auto* control = dynamic_cast<Control*>(widget)) control->ended_ = true;
  }
  DragController& drag = DragController::Instance();
  if (widgets.contains(drag.Source())) drag.End(false);
}

void Control::ZOrder(int position) {
  if (position == 0) {
    raise();
  } else {
    lower();
  }
}

void Control::WatchInput(QWidget* inner) {
  inner->installEventFilter(this);
  inner->setMouseTracking(true);
}

bool Control::eventFilter(QObject* watched, QEvent* event) {
  auto* inner = qobject_cast<QWidget*>(watched);
  if (!inner || inner == this) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      return FilterMouse(inner, event);
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return FilterKey(event);
    case QEvent::FocusIn:
      Raise(GotFocus);
      return false;
    case QEvent::FocusOut:
      Raise(LostFocus);
      return false;
    default:
      return QWidget::eventFilter(watched, event);
  }
}

bool Control::FilterMouse(QWidget* inner, QEvent* event) {
  const auto* mouse = static_cast<QMouseEvent*>(event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      RaiseMousePress(mouse, inner);
      break;
    case QEvent::MouseButtonRelease:
      RaiseMouseRelease(mouse, inner);
      break;
    case QEvent::MouseButtonDblClick:
      if (mouse->button() == Qt::LeftButton) Raise(DblClick);
      break;
    default:
      RaiseMouse(MouseMove, mouse, inner);
      break;
  }
  return false;
}

bool Control::FilterKey(QEvent* event) {
  const auto* key = static_cast<QKeyEvent*>(event);
  if (event->type() == QEvent::KeyRelease) return RaiseKeyUp(key) == 0 && VbKeyCode(key) != 0;
  if (RaiseKeyDown(key) == 0 && VbKeyCode(key) != 0) return true;
  return RaiseKeyPress(key) == 0 && VbKeyAscii(key) != 0;
}

void Control::RaiseMouse(const std::function<void(int, int, double, double)>& handler, const QMouseEvent* event,
                         QWidget* source) {
  if (!handler) return;
  // An event another widget passed on (a disabled list's move goes up to its
  // parent) may come from outside the client area: its point is taken from
  // the screen, not by mapping up from a widget that need not be inside it.
  const QPointF at = source == clientArea_ ? event->position() : clientArea_->mapFromGlobal(event->globalPosition());
  const int button = event->type() == QEvent::MouseMove ? VbButtons(event->buttons()) : VbButton(event->button());
  Raise(handler, button, VbShift(event->modifiers()), PixelsToUnitsX(at.x(), EventUnits()),
        PixelsToUnitsY(at.y(), EventUnits()));
}

void Control::RaiseMousePress(const QMouseEvent* event, QWidget* source) {
  lastButton_ = VbButton(event->button());
  pressedInside_ = true;
  RaiseMouse(MouseDown, event, source);
}

void Control::RaiseMouseRelease(const QMouseEvent* event, QWidget* source) {
  RaiseMouse(MouseUp, event, source);
  const bool inside = source->rect().contains(event->position().toPoint());
  const bool clicks = clickOnAnyButton_ || event->button() == Qt::LeftButton;
  if (pressedInside_ && inside && clicks) Raise(Click);
  pressedInside_ = false;
}

int Control::RaiseKeyDown(const QKeyEvent* event) {
  int keyCode = VbKeyCode(event);
  if (keyCode != 0) Raise(KeyDown, keyCode, VbShift(event->modifiers()));
  return keyCode;
}

int Control::RaiseKeyPress(const QKeyEvent* event) {
  int keyAscii = VbKeyAscii(event);
  if (keyAscii != 0) Raise(KeyPress, keyAscii);
  return keyAscii;
}

int Control::RaiseKeyUp(const QKeyEvent* event) {
  int keyCode = VbKeyCode(event);
  if (keyCode != 0) Raise(KeyUp, keyCode, VbShift(event->modifiers()));
  return keyCode;
}

// A control built on an inner widget (its focus proxy) reports that widget's
// input through the event filter; what the inner widget leaves unhandled and
// passes up to the control must not be reported twice.
bool Control::ReportedByInner(QEvent* event) {
  if (!focusProxy()) return false;
  event->ignore();
  return true;
}

void Control::mousePressEvent(QMouseEvent* event) {
  if (!ReportedByInner(event)) RaiseMousePress(event, this);
}

void Control::mouseReleaseEvent(QMouseEvent* event) {
  if (!ReportedByInner(event)) RaiseMouseRelease(event, this);
}

void Control::mouseMoveEvent(QMouseEvent* event) {
  if (!ReportedByInner(event)) RaiseMouse(MouseMove, event, this);
}

void Control::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!ReportedByInner(event) && event->button() == Qt::LeftButton) Raise(DblClick);
}

void Control::keyPressEvent(QKeyEvent* event) {
  if (ReportedByInner(event)) return;
  if (RaiseKeyDown(event) != 0 || VbKeyCode(event) == 0) RaiseKeyPress(event);
}

void Control::keyReleaseEvent(QKeyEvent* event) {
  if (!ReportedByInner(event)) RaiseKeyUp(event);
}

void Control::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  Raise(GotFocus);
}

void Control::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  Raise(LostFocus);
}

}  // namespace ctl
