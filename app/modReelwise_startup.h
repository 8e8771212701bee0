#pragma once
// Start-up and shut-down of the program: the run-time frame is built in a
// fixed order (folders, settings, shared objects, scratch library, main
// window) before the event loop runs, and torn down when the main window
// unloads. They sit above everything they create.
#include <QString>
#include <QStringList>

namespace modReelwise {

// Builds the run-time frame and shows the window; the first library opens
// from the event loop once the window is on the screen (FirstOpenPending).
// `commandLine` is the program's arguments (without the program itself).
// False when start-up failed: the failure has been reported and no window is
// left.
bool Main(const QStringList& commandLine);
// Whether the first library has still to open: until it has, the input gate
// is held. A first open that fails ends the program as a failed start does.
bool FirstOpenPending();
// Runs the event loop until the main window closes, or until SIGTERM, SIGINT
// or SIGHUP tells the program to end: then open boxes and dialogs are
// closed and the window closes as the user would close it, asking nothing.
// The program's exit code.
int Run();
// Tears the frame down. The main window passes its own name; a failed start
// passes "Dummy", which only unloads the windows and clears up.
void ShutDown(const QString& formName);
// Takes the library to open and "TV" (or "-TV") from the arguments; a library
// that does not exist is reported and the arguments are not looked at further.
void ParseCommandLine(const QStringList& arguments);
// The library path and view spec of a saved workspace text ("<path>.rw2 |...").
// The path ends at a ".rw2" (any case) followed by " |", a final blank or the
// end; with no such ".rw2" both parts are empty.
struct SavedWorkspace {
  QString libraryPath;
  QString viewSpec;
};
SavedWorkspace SplitSavedWorkspace(const QString& text);

}  // namespace modReelwise
