#pragma once
// The one gate for commands while work the user steers lets the event loop
// go round: the Add Files run between two files, the full-screen player's
// run, the playback engine's waits (a file opening, a seek settling, a frame
// grabbed), the carousel's fades and its keypad panel. Long work
// (LongWork.h) handles no event at all and needs no gate.
//
// Such work holds the gate (Hold) while it runs. Meanwhile:
// - Every command asks the gate first (Admits) and does nothing while it is
//   held: the dispatcher does for every menu key, toolbar button and
//   shortcut, and so does every entry that does not pass the dispatcher (the
//   tag cloud's tag steps, the tree's drops and renames, the carousel's
//   commands, a click's opening of a result, which waits for the gate). A
//   command started inside the work would run on a library whose
//   transaction the work holds open, or pull the file the work is playing
//   from under it.
// - Input to any window of the program (keys, clicks, the wheel, context
//   menus, drops) is refused before it reaches a widget, except input to the
//   work's own controls (Controls::own: the Abort button, the full-screen
//   player's window, the carousel's canvas), to controls that stand for the window's frame
//   (PassesAlways: the title bar's close box) and to windows the work itself
//   opened while it held the gate (its message boxes). The pointer's moves
//   without a button pass, so that what lies under it is known at once.
// - Esc, tapped or held, in any window whose input is refused stops the
//   innermost work that has a stop (Controls::escape).
// - Ctrl+Q in a window whose input is refused is a request to close the
//   program (SetCloseRequest), as the window's close box is: the program
//   ends once the work has stopped at its next step.
//
// A wait that is not steered by the user (the engine's wait inside a
// command, as when a clicked result opens) holds the gate without controls
// and handles no input: keys and clicks wait in the window system's queue,
// in their order, until it is over, and what reaches a widget all the same
// (sent to it at once) is kept and delivered to it once the gate opens. So a
// click on another result while one opens opens that one next.
//
// Input is refused by the window it goes to: those shown when the
// outermost hold began. Any window shown after that is taken for the work's
// own (a box the work shows) and takes all its input until the gate opens,
// whoever showed it. A new window's keys and clicks are gated with no code
// of its own as long as it was shown before the work began; a command of
// it that can also start from a timer or a queued call asks Admits() first.
//
// Work that holds the gate turns the event loop through Turn, TurnUntil or
// TurnFor, the one door for it: the program calls processEvents or runs a
// nested event loop nowhere else (a modal window's own loop,
// platform/ModalLoop.h, aside).
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

namespace InputGate {

// What the work holding the gate lets through.
struct Controls {
  // Input to these widgets, to what lies inside them and to the windows
  // they own passes.
  std::vector<QPointer<QWidget>> own;
  // Called on each press of Esc in a window whose input is refused; empty
  // when the work has no stop of its own (an outer work's then takes it).
  std::function<void()> escape;
};

// Holds the gate for its lifetime. Holds nest (the engine's wait inside the
// Add Files run): a widget passes when it is among the controls of any of
// them, and Esc goes to the innermost one that has a stop. Off the event
// loop's thread (a wait on a worker of its own) it holds nothing.
class Hold {
 public:
  explicit Hold(Controls controls = {});
  ~Hold();
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;

 private:
  Controls controls_;
  bool held_ = false;
};

bool Held();
// Whether a command may run now: false while the gate is held.
bool Admits();
// Whether a command of `control` may run now: the gate is open, or the
// innermost work holding it has `control` (or a widget it lies inside)
// among its own controls, as the carousel's panel is its fades' and its
// keypad's.
bool Admits(const QWidget* control);
// Whether the work holding the gate takes input at all (it has controls of
// its own or a stop); false when the gate is open.
bool Steered();
// Runs `call` from the event loop once the gate is open (at the next turn
// of the loop when it is open now); calls run in their order.
void WhenOpen(std::function<void()> call);
// Input to `widget` and what lies inside it passes even while the gate is
// held: a control that stands for the window's frame (its close box).
void PassesAlways(QWidget* widget);
// How Ctrl+Q in a window whose input is refused closes the program.
void SetCloseRequest(std::function<void()> close);

// Lets the event loop go round once inside work that holds the gate (a
// contract): the events waiting are handled, input among them only while
// the work takes input (Steered), else it stays queued.
void Turn();
// Turns the loop as Turn does, waiting for events, until `done` answers
// true or `timeoutMs` milliseconds have passed; true when `done` does.
bool TurnUntil(const std::function<bool()>& done, int timeoutMs);
// Turns the loop for `ms` milliseconds.
void TurnFor(int ms);

}  // namespace InputGate
