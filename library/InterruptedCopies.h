#pragma once
// The copy a Save As writes beside its target ("<target>.<pid>.partial") is renamed
// over the target only when whole. A copy cut short by the program's end (a
// crash, a kill, a power cut) would stay beside the target, as large as the
// library, until the next Save As to that name: each copy is therefore noted
// in the program's temporary folder while it is written, and a start removes
// the copies whose program is gone.
#include <QString>

class CopyUnderWay {
 public:
  // Notes that `partial` is being written by this process.
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
