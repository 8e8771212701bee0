#include "core/FaultSentences.h"

#include <QDir>

namespace FaultSentences {

namespace {

// The file in a line of its own, or a blank when the error names none.
QString FileLine(const QString& file) {
  return file.isEmpty() ? QStringLiteral(" ")
                        : QStringLiteral("\r\n") + QDir::toNativeSeparators(file) + QStringLiteral("\r\n");
}

FaultTelling DiskFull(const RWError& error) {
  if (error.Number() != kErrDatabase) {
    // The program's own words, which name the file.
    return {QStringLiteral("Disk Full"),
            error.Description() + QStringLiteral("\r\n\r\nFree some space on the disk and try again.")};
  }
  if (error.File().isEmpty()) {
    return {QStringLiteral("Disk Full"),
            QStringLiteral("The disk is full, so this could not be saved; everything saved before is kept. Free some "
                           "space on the disk and try again.")};
  }
  return {QStringLiteral("Disk Full"),
          QStringLiteral("The disk is full, so this could not be written to the Library") + FileLine(error.File()) +
              QStringLiteral("\r\nNone of it was kept, and everything saved before is unchanged. Free some space on "
                             "the disk that holds the Library and try again.")};
}

FaultTelling NotAvailable(const QString& file) {
  return {QStringLiteral("Library Not Available"),
          QStringLiteral("The Library's file") + FileLine(file) +
              QStringLiteral("can no longer be written: its folder was deleted, moved or unmounted, its disk was "
                             "removed, or the file or its folder was made read-only. This change was not saved; what "
                             "was saved before is kept in the file.\r\n\r\n"
                             "Open the Library again once its disk and folder are back and writable.")};
}

FaultTelling Damaged(const QString& file, const QString& what) {
  return {QStringLiteral("Damaged Library"),
          QStringLiteral("The Library's file") + FileLine(file) + what +
              QStringLiteral(": it was changed by another program, or is damaged. Reelwise II writes nothing more to "
                             "it and closes it; the change under way was not written.\r\n\r\n"
                             "Open a copy of the Library kept from before, or a new Library.")};
}

// What the file lacks, as the connection named it. A file that lacks a
// table or column was changed by another program; what the step under way
// would have written was not, and nothing more is written, but what steps
// before it wrote (the open's own upkeep) may have been, so the sentence
// does not say the file is unchanged.
FaultTelling Lacking(const RWError& error) {
  QString what = QStringLiteral("lacks a table or column Reelwise II expects");
  if (!error.MissingColumn().isEmpty()) {
    what += QStringLiteral(": the column \"%1\" of its table \"%2\"").arg(error.MissingColumn(), error.MissingTable());
  } else if (!error.MissingTable().isEmpty()) {
    what += QStringLiteral(": its table \"%1\"").arg(error.MissingTable());
  }
  return {QStringLiteral("Damaged Library"),
          QStringLiteral("The Library's file") + FileLine(error.File()) + what +
              QStringLiteral(". Another program changed it, or it is damaged. Reelwise II writes nothing more to it "
                             "and closes it; this change was not written.\r\n\r\n"
                             "Open a copy of the Library kept from before, or a new Library.")};
}

// A failure of the program's own, not of the file: the library stays open.
FaultTelling ProgramError(const QString& file) {
  return {QStringLiteral("Program Error"),
          QStringLiteral("Reelwise II met an error of its own while working with the Library") + FileLine(file) +
              QStringLiteral("so this was not done. The Library's file is not at fault: it stays open, and what "
                             "was saved in it is kept.\r\n\r\n"
                             "If this happens again, please report it at the Reelwise II forum.")};
}

FaultTelling ProgramConflict(const QString& file) {
  return {QStringLiteral("Program Error"),
          QStringLiteral("Two steps of Reelwise II's own needed the Library") + FileLine(file) +
              QStringLiteral("at once, so this was not done. No other program is involved and the file is not at "
                             "fault: it stays open, and what was saved in it is kept.\r\n\r\n"
                             "Try again; if this happens again, please report it at the Reelwise II forum.")};
}

FaultTelling NotAnswering(const QString& file) {
  return {QStringLiteral("Library Not Answering"),
          QStringLiteral("The disk that holds the Library's file") + FileLine(file) +
              QStringLiteral("did not answer within 3 seconds, so Reelwise II stopped waiting for it. This change was "
                             "not saved; what was saved before is kept in the file.\r\n\r\n"
                             "Check the disk or its network connection, then try again.")};
}

// A call given up may still complete the change once the disk answers:
// SQLite's journal, read at the file's next open, decides.
FaultTelling Unconfirmed(const QString& file) {
  return {QStringLiteral("Library Not Answering"),
          QStringLiteral("The disk that holds the Library's file") + FileLine(file) +
              QStringLiteral("did not answer within 3 seconds while this change was being stored, so Reelwise II "
                             "stopped waiting for it. Whether the change was stored can only be known once the disk "
                             "answers: the Library is closed now, and when it is opened again it holds either this "
                             "change or what was saved before it.\r\n\r\n"
                             "Check the disk or its network connection, then open the Library again.")};
}

FaultTelling InUse(const QString& file) {
  return {QStringLiteral("Library In Use"),
          QStringLiteral("Another program is using the Library's file") + FileLine(file) +
              QStringLiteral("and holds it locked, so nothing was written to it.\r\n\r\n"
                             "Close the other program, or wait until it is done, and try again.")};
}

FaultTelling Refused(const QString& file, const QString& command) {
  const QString change = command.isEmpty() ? QStringLiteral("this change")
                                           : QStringLiteral("the change \"%1\"").arg(command);
  return {QStringLiteral("Change Refused"),
          QStringLiteral("The Library's file") + FileLine(file) + QStringLiteral("refused ") + change +
              QStringLiteral(": a rule another program added to the file does not allow it. "
                             "Nothing was written.\r\n\r\n"
                             "Use a copy of the Library kept from before, or a new Library, for such changes.")};
}

}  // namespace

std::optional<FaultTelling> Of(const RWError& error, const QString& command) {
  const QString& file = error.File();
  switch (error.Kind()) {
    case FaultKind::DiskFull:
      return DiskFull(error);
    case FaultKind::ReadOnly:
    case FaultKind::InputOutput:
    case FaultKind::CannotOpen:
      return NotAvailable(file);
    case FaultKind::Damaged:
      return Damaged(file, QStringLiteral("is damaged"));
    case FaultKind::Mismatch:
      return Lacking(error);
    case FaultKind::ProgramError:
      return ProgramError(file);
    case FaultKind::ProgramConflict:
      return ProgramConflict(file);
    case FaultKind::Busy:
      return InUse(file);
    case FaultKind::NotAnswering:
      return NotAnswering(file);
    case FaultKind::Unconfirmed:
      return Unconfirmed(file);
    case FaultKind::NoFileHandles:
      return FaultTelling{QStringLiteral("Too Many Open Files"),
                          QStringLiteral("Reelwise II could not open another file for the Library") + FileLine(file) +
                              QStringLiteral("because it has as many files open as the system allows. The Library's "
                                             "file is not at fault: nothing of this was written, and what was saved "
                                             "before is kept.\r\n\r\nClose other programs or windows and try "
                                             "again.")};
    case FaultKind::OutOfMemory:
      return FaultTelling{QStringLiteral("Out of Memory"),
                          QStringLiteral("There was not enough memory to finish this with the Library") +
                              FileLine(file) +
                              QStringLiteral("so nothing was written to it.\r\n\r\nClose other programs and try "
                                             "again.")};
    case FaultKind::Refused:
      return Refused(file, command);
    case FaultKind::KeyConflict:
      return FaultTelling{QStringLiteral("Already There"),
                          QStringLiteral("The Library's file") + FileLine(file) +
                              QStringLiteral("holds this already, so nothing was written.")};
    case FaultKind::None:
      break;
  }
  // A file of the program's own that could not be written (a new library,
  // an export, a picture): its own sentence names the file and why.
  if (error.SqliteCode() == 0 && error.Number() == kErrFileAccess) {
    return FaultTelling{QStringLiteral("File Not Written"), error.Description()};
  }
  if (error.SqliteCode() == 0) return std::nullopt;
  // Any other failure of SQLite: its words are in the log.
  return FaultTelling{QStringLiteral("Library Error"),
                      QStringLiteral("Reelwise II could not read or change the Library's file") + FileLine(file) +
                          QStringLiteral("so nothing was written to it.\r\n\r\nTry again; if it fails again, open a "
                                         "copy of the Library kept from before.")};
}

void Install() {
  ErrorGuard::SetFaultWords([](const RWError& error, const QString& command) { return Of(error, command); });
}

}  // namespace FaultSentences
