#pragma once
// Items kept in insertion order and found by key or by position. Keys are
// numbers (segment and file ids) or texts; a text key matches regardless of
// case, and the number 5 and the text "5" are different keys.
#include "platform/RWError.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

class CollectionKey {
 public:
  template <typename T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
  CollectionKey(T number) : key_(static_cast<int64_t>(number)) {}
  CollectionKey(const QString& text) : key_(text.toCaseFolded()) {}
  CollectionKey(const char* text) : CollectionKey(QString::fromUtf8(text)) {}

  bool operator==(const CollectionKey& other) const { return key_ == other.key_; }
  QString Text() const {
    return std::holds_alternative<int64_t>(key_) ? QString::number(std::get<int64_t>(key_)) : std::get<QString>(key_);
  }
  size_t Hash() const {
    return std::holds_alternative<int64_t>(key_) ? qHash(std::get<int64_t>(key_)) : qHash(std::get<QString>(key_)) ^ 1u;
  }

 private:
  std::variant<int64_t, QString> key_;
};

inline size_t qHash(const CollectionKey& key, size_t seed = 0) { return key.Hash() ^ seed; }

template <typename T>
class KeyedCollection {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool Exists(const CollectionKey& key) const { return index_.contains(key); }

  // Adds at the end; a key already present raises error 457.
  void Add(const T& item, const CollectionKey& key) {
    if (index_.contains(key)) {
      throw RWError(kErrDuplicateKey,
                    QStringLiteral("This key is already associated with an element of this collection (%1)")
                        .arg(key.Text()),
                    QStringLiteral("KeyedCollection"));
    }
    index_.insert(key, items_.size());
    items_.push_back({key, item});
  }

  // A missing key raises error 5.
  T& Item(const CollectionKey& key) { return items_[Find(key)].item; }
  const T& Item(const CollectionKey& key) const { return items_[Find(key)].item; }
  // Position from 0 in insertion order.
  T& ItemAt(int position) { return items_[CheckPosition(position)].item; }
  const T& ItemAt(int position) const { return items_[CheckPosition(position)].item; }

  void Remove(const CollectionKey& key) { RemoveAt(static_cast<int>(Find(key))); }
  void RemoveAt(int position) {
    const size_t at = CheckPosition(position);
    index_.remove(items_[at].key);
    items_.erase(items_.begin() + static_cast<ptrdiff_t>(at));
    for (auto it = index_.begin(); it != index_.end(); ++it) {
      if (it.value() > at) --it.value();
    }
  }
  void Clear() {
    items_.clear();
    index_.clear();
  }

 private:
  struct Entry {
    CollectionKey key;
    T item;
  };

  size_t Find(const CollectionKey& key) const {
    const auto it = index_.constFind(key);
    if (it == index_.cend()) {
      throw RWError(kErrInvalidArgument, QStringLiteral("There is no item with the key '%1'").arg(key.Text()),
                    QStringLiteral("KeyedCollection"));
    }
    return it.value();
  }
  size_t CheckPosition(int position) const {
    if (position < 0 || position >= Count()) {
      throw RWError(kErrInvalidArgument,
                    QStringLiteral("There is no item at position %1 (%2 items)").arg(position).arg(Count()),
                    QStringLiteral("KeyedCollection"));
    }
    return static_cast<size_t>(position);
  }

  std::vector<Entry> items_;
  QHash<CollectionKey, size_t> index_;
};
