#pragma once
// A message in the program's own box with the arguments the application core
// always passes: no time-out, fitted to its text, the box's own width, Tahoma.
#include "platform/MessageBoxSeam.h"

// Returns the box's answer. `owner` is the window the box belongs to.
int ShowProgramMessage(const QString& prompt, int style, const QString& title, QWidget* owner = nullptr);

// The window that owns the messages of code that has no window of its own
// (the library object, the general procedures): the main window, which
// hands itself over when it is made; nullptr before and after.
void SetProgramMessageOwner(QWidget* owner);
QWidget* ProgramMessageOwner();

// Where a file on a medium that is not connected lies, read from its stored
// folder ("[Offline] Films:\\clips\\"): the volume's name ("Films") and the
// folder on it ("clips/", empty at its root).
struct OfflineLocation {
  QString volume;
  QString onVolume;
  // The name, then the folder on it after a "/": "Films/clips/", "Films".
  QString Shown() const;
};
OfflineLocation ReadOfflineLocation(const QString& folder);

// The message for a file on a medium that is not connected: the file's name
// in quotes and where it may be, titled "Offline Volume: " and the volume's
// name.
void ShowOfflineFileMessage(const QString& fileName, const QString& folder, QWidget* owner);
