#include "core/MediaInfoDLL.h"

#include <langinfo.h>

#include <cstring>

namespace MediaInfoDLL {

QString PtrToString(const char16_t* pointer) { return pointer ? QString::fromUtf16(pointer) : QString(); }

QString PtrToString(const wchar_t* pointer) { return pointer ? QString::fromWCharArray(pointer) : QString(); }

Utf8FileNames::Utf8FileNames() {
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
  utf8_ = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  if (utf8_) previous_ = uselocale(utf8_);
}

Utf8FileNames::~Utf8FileNames() {
  if (!utf8_) return;
  uselocale(previous_);
  freelocale(utf8_);
}

}  // namespace MediaInfoDLL
