#pragma once
// Making an mpv core the way the program wants every core: its options all
// set here by the caller (nothing read from the user's configuration), the
// audio output the program chose, and mpv started under the "C" numeric
// locale it insists on.
#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

struct mpv_handle;

namespace MpvHandle {

using Option = std::pair<const char*, QByteArray>;

// The audio output of every core made from now on ("" lets mpv choose;
// tests use "null", which keeps time without a sound device).
void SetAudioOutput(const QString& output);

// A new, initialised core with the options (an empty value is left unset)
// and the chosen audio output; null with mpv's error code in *status.
mpv_handle* Create(const std::vector<Option>& options, int* status);

// "Error <n>: <description>" as mpv numbers and describes it.
QString ErrorText(int code);

}  // namespace MpvHandle
