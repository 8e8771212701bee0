#include "platform/controls/ControlErrors.h"

namespace ctl {

namespace {

QString Description(int32_t number) {
  switch (number) {
    case kErrIndexOutOfBounds:
      return QStringLiteral("Index out of bounds");
    case kErrElementNotFound:
      return QStringLiteral("Element not found");
    case kErrKeyNotUnique:
      return QStringLiteral("Key is not unique in collection");
    case kErrInvalidRowValue:
      return QStringLiteral("Invalid Row value");
    case kErrInvalidColValue:
      return QStringLiteral("Invalid Col value");
    case kErrSubscriptOutOfRange:
      return QStringLiteral("Subscript out of range");
    case kErrObjectNotSet:
      return QStringLiteral("Object variable or With block variable not set");
    default:
      return QStringLiteral("Control error");
  }
}

}  // namespace

void RaiseControlError(int32_t number, const QString& source) { throw RWError(number, Description(number), source); }

}  // namespace ctl
