#include "core/MediaInfoDLL.h"

#include <MediaInfoDLL/MediaInfoDLL_Static.h>

#include <locale.h>

#include <algorithm>
#include <string>

namespace MediaInfoDLL {

QString PtrToString(const char16_t* pointer) { return pointer ? QString::fromUtf16(pointer) : QString(); }

QString PtrToString(const wchar_t* pointer) { return pointer ? QString::fromWCharArray(pointer) : QString(); }

namespace {

// For its scope, the calling thread runs under C.UTF-8: the library's case
// rules are then the same under every locale, and it can still turn a file's
// name that is not ASCII into the C library's multibyte encoding to open it.
// Only this thread changes, so the library may run on a helper thread.
class FixedLocale {
 public:
  FixedLocale() {
    static const locale_t fixed = newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (fixed) previous_ = uselocale(fixed);
  }
  ~FixedLocale() {
    if (previous_) uselocale(previous_);
  }
  FixedLocale(const FixedLocale&) = delete;
  FixedLocale& operator=(const FixedLocale&) = delete;

 private:
  locale_t previous_ = nullptr;
};

QString Inform(void* handle, const wchar_t* what) {
  MediaInfo_Option(handle, L"Inform", what);
  return PtrToString(MediaInfo_Inform(handle, 0)).trimmed();
}

// The video and audio answers run the names of all the file's streams
// together, so only a line break tells them from a format.
bool OneLine(const QString& text) {
  return std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
}

}  // namespace

bool IsFormatName(const QString& text) { return text.size() <= 64 && OneLine(text); }

Formats ReadFormats(const QString& path) {
  const FixedLocale fixed;
  Formats formats;
  void* handle = MediaInfo_New();
  if (!handle) return formats;
  // Only the three format names are read, which the headers give: no frames
  // are parsed (an AVI file's open takes a tenth of the time).
  MediaInfo_Option(handle, L"ParseSpeed", L"0");
  const std::wstring file = path.toStdWString();
  if (MediaInfo_Open(handle, file.c_str()) != 0) {
    formats.general = Inform(handle, L"General;%Format%");
    formats.video = Inform(handle, L"Video;%Format%");
    formats.audio = Inform(handle, L"Audio;%Format%");
  }
  MediaInfo_Close(handle);
  MediaInfo_Delete(handle);
  if (IsFormatName(formats.general) && OneLine(formats.video) && OneLine(formats.audio)) return formats;
  return {};
}

// The path and the report pass as UTF-8.
QString Report(const QString& path, bool& opened) {
  const FixedLocale fixed;
  opened = false;
  MediaInfoA_Option(nullptr, "CharSet", "UTF-8");
  void* handle = MediaInfoA_New();
  if (!handle) return {};
  opened = MediaInfoA_Open(handle, path.toUtf8().constData()) != 0;
  QString report;
  if (opened) {
    MediaInfoA_Option(handle, "Inform", "");
    MediaInfoA_Option(handle, "Complete", "");
    const char* text = MediaInfoA_Inform(handle, 0);
    report = text ? QString::fromUtf8(text) : QString();
  }
  MediaInfoA_Close(handle);
  MediaInfoA_Delete(handle);
  return report;
}

}  // namespace MediaInfoDLL
