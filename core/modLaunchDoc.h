#pragma once
// Opening documents with the desktop's applications, their Open-With and
// properties windows, and deleting files to the trash.
#include <QString>

namespace modLaunchDoc {

// The text for a launch result below 33 ("File not found", ... "Unknown error").
QString ShellErrorText(int code);
// Shows the text for `code` titled "Error Launching Document" in the program's
// message box and returns it.
QString ReportLaunchError(int code);

// Opens the file with its default application. Returns the empty text on
// success, else the reason, which has then been shown to the user.
QString LaunchDocument(const QString& path);
// The desktop's Open-With chooser for the file, or a window of ours that lists
// the applications registered for its type. Callers pass the browser's current
// item (its CurrentPath and FileName joined).
void OpenWithDialog(const QString& path);
// The desktop's properties window for the file, or a window of ours with its
// facts. False when the file does not exist.
bool ShowFileProperties(const QString& path);
// Moves the file to the trash when gDeleteToRecycleBin is set, else deletes it
// for good; with `confirm` the user is asked first (only Yes goes on). True when
// the file is gone; a failure is reported, and a failed move to the trash never
// turns into a permanent deletion. `silent` asks for no progress display, which
// a single file never has.
bool DeleteFileToBin(const QString& path, bool confirm, bool silent);

}  // namespace modLaunchDoc
