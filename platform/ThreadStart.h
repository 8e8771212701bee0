#pragma once
// Starting a thread of the program's own. The system may refuse one: no room
// left for its stack (a limited address space) or no threads left. That is
// told as a shortage of memory in the program's own words (a StorageFault of
// kind OutOfMemory: the command ends, rolled back, and the program runs on),
// never as the C++ library's std::system_error, which a guard could only
// show as an unnamed error 51 in the system's words.
#include <functional>
#include <thread>

namespace ThreadStart {

// Starts `body` on a new thread.
std::thread Start(std::function<void()> body);

// For tests: the next `count` starts are refused as the system refuses one.
void RefuseNext(int count);

}  // namespace ThreadStart
