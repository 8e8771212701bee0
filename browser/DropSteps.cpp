#include "browser/DropSteps.h"

#include "core/ProgramMessage.h"
#include "platform/DragController.h"
#include "platform/ErrorGuard.h"

namespace DropSteps {

namespace {
constexpr int32_t kErrFail = static_cast<int32_t>(0x80004005u);
}

bool AltHeld(int16_t altState) { return (altState & 0x80) != 0; }
bool Held(int virtualKey) { return ctl::GetKeyState(virtualKey) < 0; }

QString OperatorFromKeys() {
  if (AltHeld(ctl::GetKeyState(kVkAlt))) return QStringLiteral("-");
  if (Held(kVkControl)) return QStringLiteral("+");
  if (Held(kVkShift)) return QStringLiteral("&");
  return QStringLiteral("_");
}

void DropStep(const std::function<void()>& step) {
  ErrorGuard({.owner = ProgramMessageOwner(),
              .text = ErrorGuard::Numbered(QStringLiteral(" ")),
              .passOver = {kErrFail}})
      .Run(step);
}

}  // namespace DropSteps
