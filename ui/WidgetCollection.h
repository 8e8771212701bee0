#pragma once
// The child widgets of a widget or root, in drawing order (later ones on top),
// each kept with the class object that owns it.
#include "ui/WidgetObject.h"

#include "platform/KeyedCollection.h"

#include <QString>

#include <functional>
#include <memory>

class WidgetCollection {
 public:
  explicit WidgetCollection(WidgetObject& owner) : owner_(owner) {}

  // Adds the object's widget (T offers Widget()) under the key at that place
  // and size, and keeps the object alive while it is added. A used key raises
  // error 457. Returns the object.
  template <typename T>
  std::shared_ptr<T> Add(std::shared_ptr<T> object, const QString& key, double left, double top, double width,
                         double height, bool visible = true, bool /*reserved*/ = false) {
    AddWidget(object, object->Widget(), key, left, top, width, height, visible);
    return object;
  }

  int Count() const { return children_.Count(); }
  bool Exists(const QString& key) const { return children_.Exists(key); }
  // A missing key raises error 5.
  WidgetObject& Item(const QString& key) const { return *children_.Item(key).widget; }
  WidgetObject& ItemAt(int position) const { return *children_.ItemAt(position).widget; }
  void Remove(const QString& key);
  void RemoveAll();

 private:
  struct Child {
    std::shared_ptr<void> owner;
    std::shared_ptr<WidgetObject> widget;
  };

  void AddWidget(std::shared_ptr<void> owner, WidgetObject& widget, const QString& key, double left, double top,
                 double width, double height, bool visible);
  void Detach(WidgetObject& widget);

  WidgetObject& owner_;
  KeyedCollection<Child> children_;
};
