#include "ui/WidgetObject.h"

#include "ui/CairoObject.h"
#include "ui/WidgetCollection.h"
#include "ui/WidgetRootObject.h"
#include "ui/modCairo.h"

WidgetObject::WidgetObject() : children_(std::make_unique<WidgetCollection>(*this)) {}

WidgetObject::~WidgetObject() = default;

void WidgetObject::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  // Shown or hidden, the parent's picture changes.
  if (WidgetRootObject* root = Root(); root && root->TopWidget().IsShown()) root->Repaint();
}

void WidgetObject::Move(double left, double top, double width, double height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (WidgetRootObject* root = Root(); root && root->TopWidget().IsShown()) root->Repaint();
}

void WidgetObject::Refresh() {
  if (IsShown()) Root()->Repaint();
}

WidgetRootObject* WidgetObject::Root() const {
  const WidgetObject* widget = this;
  while (widget->parent_) widget = widget->parent_;
  return widget->root_;
}

bool WidgetObject::IsShown() const {
  const WidgetObject* widget = this;
  for (; widget->parent_; widget = widget->parent_) {
    if (!widget->visible_) return false;
  }
  return widget->root_ && widget->root_->Control() && widget->root_->Control()->isVisible();
}

WidgetClass::WidgetClass() : W(modCairo::GetCairo()->NewWidget()) { W->SetEvents(this); }

WidgetClass::~WidgetClass() { W->SetEvents(nullptr); }
