#pragma once
// Texts handed back by pointer from the media-information library, and the
// character type it needs to open files whose names are not ASCII.
#include <QString>

#include <locale.h>

namespace MediaInfoDLL {

// The NUL-terminated UTF-16 text at `pointer`, copied; empty for a null pointer.
QString PtrToString(const char16_t* pointer);
// The same for the library's wide-character (UTF-32 on Linux) interface.
QString PtrToString(const wchar_t* pointer);

// For its scope, the calling thread's character type is UTF-8. The library
// turns a file's name into the C library's multibyte encoding to open it;
// under the "C" locale that fails for any name that is not ASCII. Only this
// thread changes, so the library may run on a helper thread.
class Utf8FileNames {
 public:
  Utf8FileNames();
  ~Utf8FileNames();
  Utf8FileNames(const Utf8FileNames&) = delete;
  Utf8FileNames& operator=(const Utf8FileNames&) = delete;

 private:
  locale_t utf8_ = nullptr;
  locale_t previous_ = nullptr;
};

}  // namespace MediaInfoDLL
