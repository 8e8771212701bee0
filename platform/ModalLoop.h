#pragma once
// The loop of a modal window of the program's own (its message box, the
// external program's settings, a command's window shown over the glass, the
// full-screen player's window): the event loop goes round inside it, every
// event handled, until the window goes. Besides the input gate's door for
// work (InputGate::Turn), it is the only place the program turns the loop
// itself.
#include <QWidget>

namespace ModalLoop {

// The loop ends, besides when the window is destroyed:
enum class Until {
  Hidden,     // when the program hides the window (a close it accepts does)
  Closed,     // as Hidden, and when the window is asked to close, whatever it answers
  Destroyed,  // only then
};

// Returns at once when `window` is not visible, unless it waits for its end.
void Run(QWidget& window, Until until = Until::Hidden);

}  // namespace ModalLoop
