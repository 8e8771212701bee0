// The identifier file at the root of a device without serial number: one
// line of 19 characters, "RW2", the local date and time of its making and
// the hundredths of that second, ended by CR LF.
#include "core/ProgramMessage.h"
#include "devices/modStorageDevices.h"
#include "platform/MountProbe.h"
#include "platform/RWError.h"
#include "platform/WholeFile.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <unistd.h>

namespace modStorageDevices {

namespace {

QByteArray IdentifierPath(const StorageDevice& device) {
  return QFile::encodeName(device.LogicalPath + QLatin1String(kIdentifierFileName));
}

// A medium that is not there (an empty drive) or does not answer.
bool NotReady(int error) { return error == ENOMEDIUM || error == EIO; }

// The first field of the file: up to a comma or the end of the line. Sets
// `notReady` when the device did not answer.
QString ReadFirstField(const QByteArray& path, bool& notReady) {
  const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    notReady = NotReady(errno);
    return {};
  }
  char buffer[256];
  const ssize_t count = ::read(fd, buffer, sizeof buffer);
  notReady = count < 0 && NotReady(errno);
  ::close(fd);
  if (count <= 0) return {};
  QByteArray text(buffer, count);
  for (const char end : {',', '\r', '\n'}) {
    const qsizetype at = text.indexOf(end);
    if (at >= 0) text.truncate(at);
  }
  return QString::fromUtf8(text).trimmed();
}

QString NewIdentifier() {
  const QDateTime now = QDateTime::currentDateTime();
  const int hundredths = now.time().msec() / 10;
  return QStringLiteral("RW2") + now.toString(QStringLiteral("yyyyMMddhhmmss")) +
         QStringLiteral("%1").arg(hundredths, 2, 10, QLatin1Char('0'));
}

// Writes the file whole or not at all. The error's number and text, or 0.
int WriteWhole(const QByteArray& path, const QByteArray& line, QString& description) {
  WholeFileWriter file(QFile::decodeName(path));
  if (file.Open() && file.Write(line) && file.Commit()) return 0;
  description = file.ErrorString();
  if (file.Error() == ENOSPC || file.Error() == EDQUOT) return kErrDiskFull;
  if (file.Error() == EIO) return kErrDeviceIO;
  return kErrFileAccess;
}

void ReportWriteFailure(const StorageDevice& device, int number, const QString& description) {
  QString text = QStringLiteral(
                     "Failed to mark the Storage Device mapped to %1\r\n\r\nReelwise II could not establish any "
                     "reliable method of identifying\r\nor marking this storage device and, therefore, will not "
                     "permit files \r\nfrom this device to be added to this Library\r\n\r\n")
                     .arg(device.LogicalPath);
  if (number == kErrFileAccess) {
    text += QStringLiteral("Check that the device is not read-only and that you have sufficient permissions");
  } else {
    text += QStringLiteral("The error reported was:\r\n[%1] %2").arg(number).arg(description);
  }
  ShowProgramMessage(text, vbExclamation, QStringLiteral("Failed"), ProgramMessageOwner());
}

}  // namespace

QString ReadDeviceIdentifier(StorageDevice& device, bool& allowWrite) {
  // Read on a helper thread within the mount probe's time limit: a mount
  // whose root answers may still hang on the file below it.
  const QByteArray path = IdentifierPath(device);
  const auto read = MountProbe::CallUnder(device.LogicalPath, [path] {
    bool notReady = false;
    QString identifier = ReadFirstField(path, notReady);
    return std::pair{identifier, notReady};
  });
  if (!read || read->second) return {};
  const QString& identifier = read->first;
  if (!identifier.isEmpty()) return identifier;
  return allowWrite ? WriteDeviceIdentifier(device) : QString();
}

QString WriteDeviceIdentifier(StorageDevice& device) {
  const int answer = ShowProgramMessage(
      QStringLiteral("This device has no serial number. As such, Reelwise II\r\nwill not be able to identify it in "
                     "the future.\r\n\r\nThis can be resolved if you allow Reelwise II to write a\r\nvery small file "
                     "to this device for identification purposes.\r\n\r\nProceed?"),
      vbYesNo | vbExclamation, QStringLiteral("Problem with drive ") + device.LogicalPath, ProgramMessageOwner());
  if (answer != vbYes) return {};
  const QString identifier = NewIdentifier();
  QString description;
  const int error = WriteWhole(IdentifierPath(device), identifier.toLatin1() + "\r\n", description);
  if (error != 0) {
    ReportWriteFailure(device, error, description);
    return {};
  }
  device.DiskSerialNo = identifier;
  UpsertFileLocation(device);
  return identifier;
}

}  // namespace modStorageDevices
