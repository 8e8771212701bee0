#pragma once
// A look at the events the window system has sent the program that the
// event loop has not handled yet, taking nothing from them: on the X window
// system, the queue Qt's X platform keeps, looked at as that platform looks
// at it itself (through the call it exports for its X11 helpers, looked up in
// its library: Qt offers no public one). Elsewhere nothing is found. Only on
// the window's thread.
#include <xcb/xcb.h>

#include <functional>

namespace WindowSystemQueue {

// True when `match` answers true for one of the waiting events, each asked
// in turn, oldest first.
bool Holds(const std::function<bool(const xcb_generic_event_t& event)>& match);

// The program's X connection; null on any other window system.
xcb_connection_t* XConnection();

}  // namespace WindowSystemQueue
