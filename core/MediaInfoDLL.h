#pragma once
// Texts handed back by pointer from the media-information library.
#include <QString>

namespace MediaInfoDLL {

// The NUL-terminated UTF-16 text at `pointer`, copied; empty for a null pointer.
QString PtrToString(const char16_t* pointer);
// The same for the library's wide-character (UTF-32 on Linux) interface.
QString PtrToString(const wchar_t* pointer);

}  // namespace MediaInfoDLL
