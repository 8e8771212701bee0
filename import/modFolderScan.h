#pragma once
// The folder walk of the Add Files command: every file of a folder (and of
// its sub-folders) whose name matches the chosen patterns becomes one item of
// the add queue, "<size>???<path>". Entries the walk will not take (links,
// other mounts, folders it cannot read, names it cannot show, pipes, sockets
// and devices named like the files asked for) are counted, with a few
// examples, for one message at the end of the run.
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <functional>

namespace modFolderScan {

// NoFile: a pipe, socket or device whose name the patterns match.
enum class SkipReason { SymbolicLink = 0, OtherMount = 1, Unreadable = 2, BadName = 3, NoFile = 4 };

struct SkippedEntries {
  std::array<int, 5> count{};           // by SkipReason
  std::array<QStringList, 5> examples;  // the first 3 paths of each reason, as found

  int Total() const;
  void Add(SkipReason reason, const QString& path);
  // The text of the one message shown after a run that skipped something;
  // empty when nothing was skipped. Lines are separated by "\r\n".
  QString Report() const;
};

struct ScanOptions {
  // "*.avi;*.divx;*.mkv": patterns separated by ";", each with * and ?,
  // matched case-insensitively against the whole file name.
  QString pattern;
  // Descend into sub-folders.
  bool recursive = true;
  // Called at least every 50 ms of walking, so the caller can tell that the
  // walk goes on; when empty, the walk hands nothing over.
  std::function<void()> yield;
};

// Walks `folder` (an absolute path ending with "/") and appends one item per
// matching file to `queue`, in walk order: the entries of a folder in byte
// order of their names, a sub-folder walked where its name comes.
void ScanFolder(const QString& folder, const ScanOptions& options, QStringList& queue, SkippedEntries& skips);

bool MatchesPattern(const QString& fileName, const QString& pattern);

// An item: the size in decimal bytes, "???", then the full path
// ("1024???/media/films/Clip.avi").
QString MakeQueueItem(qint64 size, const QString& path);
// Splits an item at its FIRST "???" (file names may themselves hold "???");
// false when there is none or the size is not a decimal number.
bool SplitQueueItem(const QString& item, qint64& size, QString& path);

}  // namespace modFolderScan
