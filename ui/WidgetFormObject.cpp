#include "ui/WidgetFormObject.h"

#include "platform/Rounding.h"

WidgetFormObject::WidgetFormObject()
    : window_(std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)),
      root_(std::make_unique<WidgetRootObject>()) {
  window_->setAttribute(Qt::WA_TranslucentBackground);
  window_->setAttribute(Qt::WA_ShowWithoutActivating);
  root_->BindTo(window_.get());
}

WidgetFormObject::~WidgetFormObject() {
  root_->Widgets().RemoveAll();
  root_.reset();
}

void WidgetFormObject::Move(double left, double top, double width, double height) {
  window_->setGeometry(static_cast<int>(RoundHalfEven(left)), static_cast<int>(RoundHalfEven(top)),
                       static_cast<int>(RoundHalfEven(width)), static_cast<int>(RoundHalfEven(height)));
}

void WidgetFormObject::Show(bool /*modal*/, QWidget* owner) {
  if (owner && window_->parentWidget() != owner) window_->setParent(owner, window_->windowFlags());
  window_->show();
  window_->raise();
}

void WidgetFormObject::Close() { window_->hide(); }

void WidgetFormObject::SetMouseMove(std::function<void(int, int, double, double)> handler) {
  root_->MouseMove = std::move(handler);
}
