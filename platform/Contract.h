#pragma once
// Contracts: what a caller of the program's own must keep where a wrong call
// would corrupt data or crash later, far from its cause. RW_CONTRACT states
// one at the place it binds. A broken one prints what was broken and where,
// then aborts, so the test that makes the wrong call fails at it. They are
// checked in every build: each is a comparison or two, on paths that are no
// inner loop, and stopping is better than writing a library wrong.
//
// What comes from outside the program (another program's library file, the
// user's text, the disk) is never a contract: it is refused with a message
// like any other fault.
namespace contract {

[[noreturn]] void Broken(const char* what, const char* file, int line);

// The thread of the event loop: the only one that may touch the widgets, the
// result set (gResults and what shows it) and the library object.
bool OnUiThread();

}  // namespace contract

#define RW_CONTRACT(condition, what) ((condition) ? void(0) : ::contract::Broken((what), __FILE__, __LINE__))
