#include "core/MediaInfoDLL.h"

namespace MediaInfoDLL {

QString PtrToString(const char16_t* pointer) { return pointer ? QString::fromUtf16(pointer) : QString(); }

QString PtrToString(const wchar_t* pointer) { return pointer ? QString::fromWCharArray(pointer) : QString(); }

}  // namespace MediaInfoDLL
