#pragma once
// A map from SegmentID to a number, for maps that hold most of a library's
// segments. A library's SegmentIDs are mostly 1 to the segment count: those
// below a bound that grows with the count have a place each in a vector, so
// a look-up is an array read, where a hash's probes of hundreds of thousands
// of entries miss the processor's caches at nearly every look-up. The other
// IDs (negative ones, or far beyond the rest) are kept in a hash. Either way
// the memory grows with the entries, not with the largest ID.
#include <QHash>

#include <cstdint>
#include <optional>
#include <vector>

class SegmentIdMap {
 public:
  // The value of `id`, none when there is none. A copy, not a pointer into
  // the map: an Insert may move the vector or rehash the hash, which would
  // leave a pointer taken before it reading freed memory.
  std::optional<int32_t> Find(int32_t id) const {
    if (InDense(id)) {
      const int32_t value = dense_[static_cast<size_t>(id)];
      if (value != kAbsent) return value;
    }
    if (sparse_.isEmpty()) return std::nullopt;
    const auto found = sparse_.constFind(id);
    if (found == sparse_.cend()) return std::nullopt;
    return found.value();
  }
  bool Contains(int32_t id) const { return Find(id).has_value(); }
  int Size() const { return size_; }

  // Sets the value of `id`, whether or not it had one.
  void Insert(int32_t id, int32_t value);
  // True when `id` had a value.
  bool Remove(int32_t id);
  void Clear();
  // Room for this many entries.
  void Reserve(int count);

 private:
  // Held in the vector's free places; an entry of this value (which a
  // damaged library might hold) is kept in the hash.
  static constexpr int32_t kAbsent = INT32_MIN;
  // The vector always covers this many IDs, so that a small library needs no
  // hash at all.
  static constexpr size_t kLeastDense = 4096;

  bool InDense(int32_t id) const { return id >= 0 && static_cast<size_t>(id) < dense_.size(); }
  // How far the vector may reach: twice the entries, so that its free places
  // never cost more than the entries themselves.
  size_t DenseBound() const;
  void GrowDenseTo(size_t size);

  std::vector<int32_t> dense_;
  QHash<int32_t, int32_t> sparse_;  // IDs outside the vector, and kAbsent values
  int size_ = 0;
  int reserved_ = 0;
};
