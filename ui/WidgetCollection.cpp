#include "ui/WidgetCollection.h"

#include "ui/WidgetRootObject.h"

void WidgetCollection::AddWidget(std::shared_ptr<void> owner, WidgetObject& widget, const QString& key, double left,
                                 double top, double width, double height, bool visible) {
  children_.Add(Child{std::move(owner), widget.shared_from_this()}, key);
  widget.key_ = key;
  widget.parent_ = &owner_;
  widget.visible_ = visible;
  widget.Move(left, top, width, height);
}

void WidgetCollection::Detach(WidgetObject& widget) {
  widget.parent_ = nullptr;
  widget.key_.clear();
}

void WidgetCollection::Remove(const QString& key) {
  const Child child = children_.Item(key);
  WidgetRootObject* root = owner_.Root();
  children_.Remove(key);
  Detach(*child.widget);
  if (root && root->TopWidget().IsShown()) root->Repaint();
}

void WidgetCollection::RemoveAll() {
  WidgetRootObject* root = owner_.Root();
  for (int i = 0; i < children_.Count(); ++i) Detach(*children_.ItemAt(i).widget);
  children_.Clear();
  if (root && root->TopWidget().IsShown()) root->Repaint();
}
