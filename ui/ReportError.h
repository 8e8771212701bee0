#pragma once
// Entry points from the event loop (widget events, timer ticks) run through
// here, so that no failure reaches Qt: it is reported in the program's own
// message box as "number: description".
#include <functional>

class RWError;

void ReportUnexpectedError(const RWError& error);
// Runs the handler; any failure is reported and swallowed.
void GuardEventHandler(const std::function<void()>& handler);
