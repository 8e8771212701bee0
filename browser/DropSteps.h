// What a drop on a result browser shares between the tree pane, which makes
// the search step, and the results pane, which receives the drop: the
// operator the modifier keys held at the drop give, and drop steps whose
// failure is told and the next step run.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace DropSteps {

inline constexpr int kVkShift = 16;
inline constexpr int kVkControl = 17;
inline constexpr int kVkAlt = 18;

// Alt counts as held by the toggle bit of its key state.
bool AltHeld(int16_t altState);
bool Held(int virtualKey);

// Alt "-" exclude, else Ctrl "+" narrow, else Shift "&" add, else "_" new.
QString OperatorFromKeys();

// One step of a drop: a failure is shown as number and description and the
// next step runs; the generic failure E_FAIL is passed over.
void DropStep(const std::function<void()>& step);

}  // namespace DropSteps
