#pragma once
// Errors the controls raise, with the numbers and wording callers test for:
// a second node with a used key (35602) is passed over quietly by the tree
// code, a missing key or index (35601, 35600) and a grid row or column out of
// range (30009, 30010) are skipped by the scroll loops.
#include "platform/RWError.h"

#include <cstdint>

namespace ctl {

inline constexpr int32_t kErrIndexOutOfBounds = 35600;
inline constexpr int32_t kErrElementNotFound = 35601;
inline constexpr int32_t kErrKeyNotUnique = 35602;
inline constexpr int32_t kErrInvalidRowValue = 30009;
inline constexpr int32_t kErrInvalidColValue = 30010;
inline constexpr int32_t kErrSubscriptOutOfRange = 381;
inline constexpr int32_t kErrObjectNotSet = 91;

[[noreturn]] void RaiseControlError(int32_t number, const QString& source);

}  // namespace ctl
