#pragma once
// The copy a Save As or an upgrade writes beside its target
// ("<target>.<pid>.partial") is renamed over the target only when whole. A
// copy cut short by the program's end (a crash, a kill, a power cut, or an
// end while a disk that stopped answering still holds the copy's work) would
// stay beside the target, as large as the library, until the next copy to
// that name: each copy is therefore noted in the program's temporary folder
// while it is written, and a start removes the copies whose program is gone.
// An export's new file ("<target>.<random>.new", WholeFileWriter) is noted
// the same way.
#include <QString>

class CopyUnderWay {
 public:
  // Notes that `partial` (ending in ".partial" or ".new") is being written
  // by this process; each note is a file of its own.
  explicit CopyUnderWay(const QString& partial);
  // The copy is finished, renamed or removed: the note goes. A copy still
  // there (its removal failed) keeps it.
  ~CopyUnderWay();
  CopyUnderWay(const CopyUnderWay&) = delete;
  CopyUnderWay& operator=(const CopyUnderWay&) = delete;

 private:
  QString partial_;
  QString note_;
};

// A new name of the program's own for a copy to `target` to be written under
// (SqlConnection::NewPartialName), ending in ".partial".
QString PartialCopyOf(const QString& target);

// Removes the copies (and their journals) noted by processes that no longer
// run, with their notes; a copy another running copy of the program writes
// is left alone.
void RemoveInterruptedCopies();
