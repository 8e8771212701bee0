#include "platform/MpvHandle.h"

#include <mpv/client.h>

#include <clocale>
#include <string>

namespace MpvHandle {

namespace {

QString& AudioOutput() {
  static QString output;
  return output;
}

int SetOption(mpv_handle* handle, const char* name, const QByteArray& value) {
  return value.isEmpty() ? 0 : mpv_set_option_string(handle, name, value.constData());
}

}  // namespace

void SetAudioOutput(const QString& output) { AudioOutput() = output; }

mpv_handle* Create(const std::vector<Option>& options, int* status) {
  // mpv refuses to start under a locale with a decimal comma; nothing is
  // passed to it as text that holds a number, so the locale is switched
  // only around its creation.
  const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
  std::setlocale(LC_NUMERIC, "C");
  mpv_handle* handle = mpv_create();
  std::setlocale(LC_NUMERIC, numeric.c_str());
  int result = handle ? 0 : MPV_ERROR_NOMEM;
  for (const auto& [name, value] : options) {
    if (result >= 0 && handle) result = SetOption(handle, name, value);
  }
  if (result >= 0 && handle) result = SetOption(handle, "ao", AudioOutput().toUtf8());
  if (result >= 0 && handle) result = mpv_initialize(handle);
  if (result < 0 && handle) {
    mpv_terminate_destroy(handle);
    handle = nullptr;
  }
  if (handle) mpv_request_log_messages(handle, "no");
  if (status) *status = result;
  return handle;
}

QString ErrorText(int code) {
  return QStringLiteral("Error %1: %2").arg(code).arg(QString::fromUtf8(mpv_error_string(code)));
}

}  // namespace MpvHandle
