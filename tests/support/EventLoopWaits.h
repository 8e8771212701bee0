#pragma once
// Waits that hold on a machine whose every core is busy: each ends on what
// the event loop has done, never on how much time has passed.
namespace rwtest {

// The longest a test waits for something that should come: far beyond any
// normal wait, so that only a fault ends it.
inline constexpr int kWaitCeilingMs = 60000;

// Runs the event loop until a timer of `milliseconds`, started now, has
// fired. Qt runs timers in the order they fall due, so by then every timer
// already running that falls due within that time (allowing Qt's coarse
// timers their 5 % of slack) has had its turn, however slow the machine is.
// For checks that a timer did nothing it should not do.
void RunTimersDueWithin(int milliseconds);

// Lets the event loop go round `passes` times without waiting: what is
// posted now is delivered, and what that posts in turn, `passes` deep. For
// checks that nothing queued did what it should not.
void RunEventLoopPasses(int passes = 10);

}  // namespace rwtest
