#pragma once
// What the controls' keyed collections share (list images, toolbar buttons
// and their menus, combo items, list items and sub-items): items kept in
// order, each knowing its 1-based Index and its Key, found by either. A key
// matches exactly; a used key raises 35602, a missing key 35601 and an index
// out of range 35600, the numbers the program's handlers test.
#include "platform/controls/ControlErrors.h"

#include <QString>

#include <memory>
#include <variant>
#include <vector>

namespace ctl {

// An item of a keyed collection is named by its key or by its 1-based index.
using ItemRef = std::variant<int, QString>;

class KeyedItem {
 public:
  int Index() const { return index_; }
  const QString& Key() const { return key_; }

 private:
  template <typename T>
  friend class ItemCollection;
  int index_ = 0;
  QString key_;
};

template <typename T>
class ItemCollection {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  T& Item(const ItemRef& ref) const { return *items_[Position(ref)]; }
  T& operator()(const ItemRef& ref) const { return Item(ref); }
  T* Find(const QString& key) const {
    for (const auto& item : items_) {
      if (item->Key() == key) return item.get();
    }
    return nullptr;
  }
  bool Exists(const QString& key) const { return Find(key) != nullptr; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 protected:
  explicit ItemCollection(QString source) : source_(std::move(source)) {}

  // Checks a new item's key and index; returns the position it will take
  // (index 0 adds at the end, else before the 1-based index).
  size_t NewPosition(int index, const QString& key) const {
    if (!key.isEmpty() && Find(key)) RaiseControlError(kErrKeyNotUnique, source_);
    if (index < 0 || index > Count() + 1) RaiseControlError(kErrIndexOutOfBounds, source_);
    return index == 0 ? items_.size() : static_cast<size_t>(index - 1);
  }
  T& Place(size_t position, const QString& key, std::unique_ptr<T> item) {
    item->key_ = key;
    T& placed = **items_.insert(items_.begin() + static_cast<ptrdiff_t>(position), std::move(item));
    Renumber();
    return placed;
  }
  T& Insert(int index, const QString& key, std::unique_ptr<T> item) {
    return Place(NewPosition(index, key), key, std::move(item));
  }
  void Erase(size_t position) {
    items_.erase(items_.begin() + static_cast<ptrdiff_t>(position));
    Renumber();
  }
  size_t Position(const ItemRef& ref) const {
    if (const int* index = std::get_if<int>(&ref)) {
      if (*index < 1 || *index > Count()) RaiseControlError(kErrIndexOutOfBounds, source_);
      return static_cast<size_t>(*index - 1);
    }
    const T* item = Find(std::get<QString>(ref));
    if (!item) RaiseControlError(kErrElementNotFound, source_);
    return static_cast<size_t>(item->Index() - 1);
  }
  void Renumber() {
    for (size_t i = 0; i < items_.size(); ++i) items_[i]->index_ = static_cast<int>(i) + 1;
  }

  std::vector<std::unique_ptr<T>> items_;

 private:
  QString source_;
};

}  // namespace ctl
