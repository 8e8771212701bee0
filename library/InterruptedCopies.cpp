#include "library/InterruptedCopies.h"

#include "core/modReelwise.h"
#include "platform/MountProbe.h"
#include "platform/SqlConnection.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <limits>
#include <optional>
#include <vector>

namespace {

const QString kNotePrefix = QStringLiteral("Copying-");
const QString kPartialSuffix = QStringLiteral(".partial");
const QString kNewSuffix = QStringLiteral(".new");

bool Running(qint64 pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

// Decimal digits as the program writes a number: the first not 0.
bool OwnNumber(QStringView number) {
  if (number.isEmpty() || number.front() == QLatin1Char('0')) return false;
  for (const QChar c : number) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  }
  return true;
}

// The process number of a note of the program's own: "Copying-" and a
// process number as the program writes it, and "-" and the note's own
// number after it but for the first. Any other name (a number 0, a sign, a
// blank) is no note of the program's, whatever kill() says of it: such a
// note and its copy are left alone.
std::optional<qint64> OwnNoteNumber(const QString& name) {
  QStringView number = QStringView(name).sliced(kNotePrefix.size());
  if (const qsizetype dash = number.indexOf(QLatin1Char('-')); dash >= 0) {
    if (!OwnNumber(number.sliced(dash + 1))) return std::nullopt;
    number = number.first(dash);
  }
  if (!OwnNumber(number)) return std::nullopt;
  bool ok = false;
  const qint64 pid = number.toLongLong(&ok);
  const bool processNumber = ok && pid > 0 && pid <= std::numeric_limits<pid_t>::max();
  return processNumber ? std::optional<qint64>(pid) : std::nullopt;
}

struct CopyNote {
  QString file;     // the note itself
  QString partial;  // the copy it names
  bool live = false;
};

// The notes of the program's own in the folder, with the copies they name.
// A note is read without touching the copy's disk: one that does not answer
// must not hold the start.
std::vector<CopyNote> OwnNotes(const QDir& folder) {
  std::vector<CopyNote> notes;
  for (const QString& name : folder.entryList({kNotePrefix + QLatin1Char('*')}, QDir::Files)) {
    const std::optional<qint64> pid = OwnNoteNumber(name);
    if (!pid) continue;
    QFile note(folder.filePath(name));
    if (!note.open(QIODevice::ReadOnly)) continue;
    const QString partial = QFile::decodeName(note.read(64 * 1024));
    if (partial.isEmpty()) continue;
    notes.push_back({note.fileName(), partial, Running(*pid)});
  }
  return notes;
}

// One name for one copy, however a note spelled its path.
QString SameCopy(const QString& partial) { return QDir::cleanPath(QDir::current().absoluteFilePath(partial)); }

}  // namespace

QString PartialCopyOf(const QString& target) { return SqlConnection::NewPartialName(target); }

// A note that cannot be written leaves the copy unnoted: the Save As goes on.
CopyUnderWay::CopyUnderWay(const QString& partial) : partial_(partial) {
  static std::atomic<int> made{0};
  const int n = made.fetch_add(1);
  const QString note = gTempFolder + kNotePrefix + QString::number(QCoreApplication::applicationPid()) +
                       (n == 0 ? QString() : QStringLiteral("-%1").arg(n));
  if (WriteFileWhole(note, QFile::encodeName(partial))) note_ = note;
}

// A copy that could not be removed (its disk failing) keeps its note, for a
// later start to remove it once the disk lets it.
CopyUnderWay::~CopyUnderWay() {
  if (!note_.isEmpty() && !QFileInfo::exists(partial_)) QFile::remove(note_);
}

// The notes are read all first: a copy named by a dead note and by a live
// one (the same target saved to again by a program still running) is the
// running program's, and stays.
void RemoveInterruptedCopies() {
  const std::vector<CopyNote> notes = OwnNotes(QDir(gTempFolder));
  QSet<QString> written;
  for (const CopyNote& note : notes) {
    if (note.live) written.insert(SameCopy(note.partial));
  }
  for (const CopyNote& note : notes) {
    if (note.live) continue;
    if (written.contains(SameCopy(note.partial))) {
      QFile::remove(note.file);
      continue;
    }
    const QString partial = note.partial;
    // Only a copy of the program's own naming is ever removed; a disk that
    // does not answer keeps the note for a later start.
    const std::optional<bool> removed = MountProbe::CallOnPath(partial, [partial] {
      if ((partial.endsWith(kPartialSuffix) || partial.endsWith(kNewSuffix)) && QFileInfo(partial).isFile()) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
      }
      return true;
    });
    if (removed) QFile::remove(note.file);
  }
}
