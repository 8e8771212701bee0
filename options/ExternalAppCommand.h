#pragma once
// The command line of an external application, turned into a program and its
// arguments without any shell: the template is split into words first, then
// the placeholders inside each word are replaced by their literal values, so a
// file name reaches the program byte for byte, whatever characters it holds.
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace ExternalAppCommand {

// Splits a template into words. Blanks (spaces and tabs) separate words;
// "..." and '...' group blanks into a word and are removed. Outside '...' a
// backslash before a quote or a backslash stands for that character alone
// (\" \' \\); any other backslash is kept as typed. Nothing else is special.
// An unmatched quote gives nullopt.
std::optional<QStringList> SplitWords(const QString& commandLine);

// Placeholder texts and their values, in the order they are looked for.
using Values = std::vector<std::pair<QString, QString>>;

// Replaces every placeholder in `word` by its value in one pass from the
// left: an inserted value is never searched again. Unknown placeholders stay
// as typed; placeholders are case-sensitive.
QString ExpandWord(const QString& word, const Values& values);

// "<SelectionStart>" and the like: a colon-style time with hundredths, or for
// FLVTool2 the plain number of seconds with "." as the decimal point.
QString SelectionTime(double seconds, bool plainSeconds);
// "<Tags>": "***" removed, blanks turned into "+", the first "," removed.
QString TagsArgument(QString tags);

}  // namespace ExternalAppCommand

// What the launcher needs from windows above the options layer. Start-up
// connects them to the main window (app/UpwardCalls.cpp); the defaults keep
// the path in memory and reload nothing.
struct ExternalAppHost {
  // The main window's Tag: the launcher puts the file's path in it and the
  // status window reads it from there.
  std::function<void(const QString&)> setMainWindowTag;
  std::function<QString()> mainWindowTag;
  // Loads gInspectedItem into the inspector again after a program changed it.
  std::function<void()> reloadInspector;
  // The folder relative program paths are found in, ending in "/"; empty:
  // the program folder's "Tools/" subfolder.
  QString toolsFolder;
};
ExternalAppHost& gExternalAppHost();
// Puts the defaults back in the three functions (the tools folder stays), so
// that a launch or a status window after the main window is gone never calls
// an empty function.
void ResetExternalAppHost();
