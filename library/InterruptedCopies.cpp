#include "library/InterruptedCopies.h"

#include "core/modReelwise.h"
#include "platform/MountProbe.h"
#include "platform/SqlConnection.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <optional>

namespace {

const QString kNotePrefix = QStringLiteral("Copying-");
const QString kPartialSuffix = QStringLiteral(".partial");

bool Running(qint64 pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

}  // namespace

QString PartialCopyOf(const QString& target) { return SqlConnection::NewPartialName(target); }

// A note that cannot be written leaves the copy unnoted: the Save As goes on.
CopyUnderWay::CopyUnderWay(const QString& partial) : partial_(partial) {
  const QString note = gTempFolder + kNotePrefix + QString::number(QCoreApplication::applicationPid());
  if (WriteFileWhole(note, QFile::encodeName(partial))) note_ = note;
}

// A copy that could not be removed (its disk failing) keeps its note, for a
// later start to remove it once the disk lets it.
CopyUnderWay::~CopyUnderWay() {
  if (!note_.isEmpty() && !QFileInfo::exists(partial_)) QFile::remove(note_);
}

void RemoveInterruptedCopies() {
  const QDir folder(gTempFolder);
  for (const QString& name : folder.entryList({kNotePrefix + QLatin1Char('*')}, QDir::Files)) {
    bool number = false;
    const qint64 pid = name.mid(kNotePrefix.size()).toLongLong(&number);
    if (!number || Running(pid)) continue;
    QFile note(folder.filePath(name));
    if (!note.open(QIODevice::ReadOnly)) continue;
    const QString partial = QFile::decodeName(note.read(64 * 1024));
    note.close();
    // Only a copy of the program's own naming is ever removed; a disk that
    // does not answer keeps the note for a later start.
    const std::optional<bool> removed = MountProbe::CallOnPath(partial, [partial] {
      if (partial.endsWith(kPartialSuffix) && QFileInfo(partial).isFile()) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
      }
      return true;
    });
    if (removed) note.remove();
  }
}
