#include "library/SegmentIdMap.h"

#include <algorithm>

void SegmentIdMap::Insert(int32_t id, int32_t value) {
  if (value != kAbsent && id >= 0 && !InDense(id) && static_cast<size_t>(id) < DenseBound()) {
    GrowDenseTo(std::min(DenseBound(), std::max({static_cast<size_t>(id) + 1, 2 * dense_.size(), kLeastDense})));
  }
  if (value != kAbsent && InDense(id)) {
    int32_t& slot = dense_[static_cast<size_t>(id)];
    if (slot == kAbsent) size_ += sparse_.remove(id) ? 0 : 1;
    slot = value;
    return;
  }
  if (InDense(id) && dense_[static_cast<size_t>(id)] != kAbsent) {
    dense_[static_cast<size_t>(id)] = kAbsent;
    --size_;
  }
  if (!sparse_.contains(id)) ++size_;
  sparse_.insert(id, value);
}

bool SegmentIdMap::Remove(int32_t id) {
  if (InDense(id) && dense_[static_cast<size_t>(id)] != kAbsent) {
    dense_[static_cast<size_t>(id)] = kAbsent;
  } else if (!sparse_.remove(id)) {
    return false;
  }
  --size_;
  return true;
}

void SegmentIdMap::Clear() {
  dense_ = std::vector<int32_t>();
  sparse_.clear();
  size_ = 0;
  reserved_ = 0;
}

void SegmentIdMap::Reserve(int count) { reserved_ = std::max(reserved_, count); }

size_t SegmentIdMap::DenseBound() const {
  return std::max(kLeastDense, 2 * static_cast<size_t>(std::max(size_, reserved_)) + 1);
}

// IDs the hash held that the vector now covers move into it.
void SegmentIdMap::GrowDenseTo(size_t size) {
  dense_.resize(size, kAbsent);
  for (auto entry = sparse_.begin(); entry != sparse_.end();) {
    if (entry.value() != kAbsent && InDense(entry.key())) {
      dense_[static_cast<size_t>(entry.key())] = entry.value();
      entry = sparse_.erase(entry);
    } else {
      ++entry;
    }
  }
}
