#include "ui/WidgetRootObject.h"

#include "platform/ErrorGuard.h"
#include "ui/CairoContext.h"
#include "ui/CairoSurface.h"
#include "ui/LibraryTimer.h"

#include <QDebug>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <exception>

namespace {

int ButtonCode(Qt::MouseButtons buttons) {
  int code = 0;
  if (buttons & Qt::LeftButton) code |= 1;
  if (buttons & Qt::RightButton) code |= 2;
  if (buttons & Qt::MiddleButton) code |= 4;
  return code;
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
  int code = 0;
  if (modifiers & Qt::ShiftModifier) code |= 1;
  if (modifiers & Qt::ControlModifier) code |= 2;
  if (modifiers & Qt::AltModifier) code |= 4;
  return code;
}

int WholePixels(double length) { return std::max(1, static_cast<int>(std::ceil(length))); }

// Where the widget lies in its root's control: a captured widget gets
// positions relative to itself even while the pointer is outside it.
QPointF Offset(const WidgetObject* widget) {
  QPointF offset;
  for (; widget && widget->Parent(); widget = widget->Parent()) offset += QPointF(widget->Left(), widget->Top());
  return offset;
}

}  // namespace

WidgetRootObject::WidgetRootObject() { top_.root_ = this; }

WidgetRootObject::~WidgetRootObject() {
  if (control_) control_->removeEventFilter(this);
  top_.Widgets().RemoveAll();
}

void WidgetRootObject::BindTo(QWidget* control) {
  if (control_) control_->removeEventFilter(this);
  control_ = control;
  if (!control_) return;
  control_->setMouseTracking(true);
  control_->installEventFilter(this);
  top_.Move(0, 0, control_->width(), control_->height());
  control_->update();
}

void WidgetRootObject::SetBackColour(int32_t colour) {
  backColour_ = colour;
  if (top_.IsShown()) Repaint();
}

std::shared_ptr<LibraryTimer> WidgetRootObject::NewTimer(int intervalMs, bool enabled) {
  return std::make_shared<LibraryTimer>(intervalMs, enabled);
}

void WidgetRootObject::Repaint() {
  if (control_) control_->repaint();
}

ImageSurfacePtr WidgetRootObject::Render() {
  const int width = control_ ? control_->width() : WholePixels(top_.Width());
  const int height = control_ ? control_->height() : WholePixels(top_.Height());
  auto surface = std::make_shared<ImageSurface>(width, height);
  CairoContext cc(surface);
  if (backColour_ != -1) {
    cc.SetSourceColour(static_cast<COLORREF>(backColour_));
    cc.Paint();
  }
  RenderChildren(top_, cc);
  return surface;
}

// Each widget draws into a surface of its own size, which is then placed in its parent.
void WidgetRootObject::RenderChildren(WidgetObject& parent, CairoContext& target) {
  WidgetCollection& children = parent.Widgets();
  for (int i = 0; i < children.Count(); ++i) {
    WidgetObject& child = children.ItemAt(i);
    if (!child.Visible() || child.Width() <= 0 || child.Height() <= 0) continue;
    auto surface = std::make_shared<ImageSurface>(WholePixels(child.Width()), WholePixels(child.Height()));
    {
      CairoContext cc(surface);
      if (child.Events()) child.Events()->W_Paint(cc, 0, 0, child.Width(), child.Height());
      RenderChildren(child, cc);
    }
    target.RenderSurface(*surface, child.Left(), child.Top());
  }
}

WidgetObject* WidgetRootObject::HitTest(WidgetObject& parent, double x, double y, double& localX, double& localY) {
  WidgetCollection& children = parent.Widgets();
  for (int i = children.Count() - 1; i >= 0; --i) {
    WidgetObject& child = children.ItemAt(i);
    const double cx = x - child.Left();
    const double cy = y - child.Top();
    if (!child.Visible() || cx < 0 || cy < 0 || cx >= child.Width() || cy >= child.Height()) continue;
    if (WidgetObject* inner = HitTest(child, cx, cy, localX, localY)) return inner;
    localX = cx;
    localY = cy;
    return &child;
  }
  return nullptr;
}

WidgetObject* WidgetRootObject::Alive(const std::weak_ptr<WidgetObject>& widget) const {
  auto locked = widget.lock();
  return locked && locked->Root() == this ? locked.get() : nullptr;
}

void WidgetRootObject::SetHover(WidgetObject* widget) {
  WidgetObject* old = Alive(hover_);
  if (old == widget) return;
  hover_ = widget ? widget->weak_from_this() : std::weak_ptr<WidgetObject>();
  if (old && old->Events()) old->Events()->W_MouseLeave();
}

void WidgetRootObject::RouteMouse(QEvent* event) {
  if (event->type() == QEvent::Leave) {
    SetHover(nullptr);
    return;
  }
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPointF at = mouse->position();
  const int shift = ShiftCode(mouse->modifiers());
  if (event->type() == QEvent::MouseMove && MouseMove) MouseMove(ButtonCode(mouse->buttons()), shift, at.x(), at.y());

  double x = 0;
  double y = 0;
  WidgetObject* target = Alive(captured_);
  if (target) {
    const QPointF local = at - Offset(target);
    x = local.x();
    y = local.y();
  } else {
    target = HitTest(top_, at.x(), at.y(), x, y);
  }
  if (event->type() == QEvent::MouseMove) SetHover(target);
  if (!target || !target->Events()) return;
  const auto keep = target->shared_from_this();
  WidgetEvents* events = target->Events();
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      captured_ = keep;
      events->W_MouseDown(ButtonCode(mouse->button()), shift, x, y);
      break;
    case QEvent::MouseMove:
      events->W_MouseMove(ButtonCode(mouse->buttons()), shift, x, y);
      break;
    case QEvent::MouseButtonRelease:
      captured_.reset();
      events->W_MouseUp(ButtonCode(mouse->button()), shift, x, y);
      break;
    default:
      break;
  }
}

bool WidgetRootObject::eventFilter(QObject* watched, QEvent* event) {
  if (watched != control_) return false;
  switch (event->type()) {
    case QEvent::Paint:
      try {
        ImageSurfacePtr picture = Render();
        picture->Flush();
        QPainter painter(control_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, picture->Image());
      } catch (const std::exception& error) {
        // A paint handler cannot show a modal box; the failure is logged and the picture left as it was.
        qWarning() << "Widget painting failed:" << error.what();
      } catch (const StorageFault& fault) {
        qWarning() << "Widget painting failed:" << fault.Error().Text();
      }
      return true;
    case QEvent::Resize:
      top_.width_ = control_->width();
      top_.height_ = control_->height();
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::Leave:
      ErrorGuard().Run([&] { RouteMouse(event); });
      return event->type() != QEvent::Leave;
    default:
      return false;
  }
}
