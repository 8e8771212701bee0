#pragma once
// The program's own words for a failure that is no fault of the program: a
// full disk, a library file that can no longer be written, is damaged, is
// held by another program or lacks what the program expects, and a change
// another program's rule refused. Each is a title and a sentence naming the
// file and what the user can do; SQLite's words never appear in one. The
// error guard asks for them (installed with the program's other upward calls).
#include "platform/ErrorGuard.h"

#include <optional>

namespace FaultSentences {

// The program's words for the failure; none for a failure of the program's
// own (no fault of the disk or a file), which its caller tells.
// `command` names the command that met it, where known.
std::optional<FaultTelling> Of(const RWError& error, const QString& command = QString());

// Makes the error guard tell failures in these words.
void Install();

}  // namespace FaultSentences
