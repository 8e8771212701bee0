#pragma once
// A request to close the program that waits, not yet handled, in the window
// system's queue while the window's thread handles no input: during long
// work (LongWork.h), which handles no event at all, and during a wait that
// holds the input gate without taking input (InputGate.h). Such a wait looks
// at the queue as it goes, taking nothing from it, and a request it finds
// is carried out as one made at once: the work stops at its next step and
// the program closes once it is over. The request itself stays queued and
// is handled by the event loop after the work, as always.
//
// Requests: the window manager's close of the main window (its close box,
// Alt+F4) and Ctrl+Q pressed in any window of the program. On the X window
// system the queue is the one Qt's X platform keeps and looks at itself
// (looked up in its library, as Qt offers no public call for it); on any
// other platform nothing is found and a request waits for the work's end.
#include <QWidget>

#include <functional>

namespace QueuedClose {

// How a request found is carried out (called once, on the window's
// thread), and the window whose close by the window manager is one.
void Set(QWidget* mainWindow, std::function<void()> close);

// Looks at the queue and carries out a request found there; nothing once
// the program has been asked to end, or off the window's thread. Long work
// looks as it waits and once more at its end, and a message box before it
// shows: a box shown over the window takes the window's input, and the
// window system's close of a window under a box is not carried out.
void Look();

// Whether such a request waits in the queue now.
bool Waiting();

}  // namespace QueuedClose
