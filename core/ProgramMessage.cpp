#include "core/ProgramMessage.h"

#include <QPointer>
#include <QWidget>

namespace {

QPointer<QWidget>& Owner() {
  static QPointer<QWidget> owner;
  return owner;
}

}  // namespace

int ShowProgramMessage(const QString& prompt, int style, const QString& title, QWidget* owner) {
  MessageBoxRequest request;
  request.prompt = prompt;
  request.style = style;
  request.title = title;
  request.fit = true;
  request.width = -1;
  request.fontName = QStringLiteral("Tahoma");
  request.owner = owner;
  return ShowMessageBox(request);
}

void SetProgramMessageOwner(QWidget* owner) { Owner() = owner; }

QWidget* ProgramMessageOwner() { return Owner(); }

// The folder reads "[Offline] ", the volume's name, ":\" and the folder on
// it: the name stands alone, without the ":\" of a drive letter the name
// never had, and the folder on it takes "/" between its parts, as a folder
// on a connected disk does. A folder without the mark (on a mount that
// stopped answering) is named as it is.
OfflineLocation ReadOfflineLocation(const QString& folder) {
  QString volume = folder;
  volume.remove(QStringLiteral("[Offline]"));
  volume = volume.trimmed();
  if (volume.size() == folder.size()) return {volume, QString()};
  for (const QLatin1String root : {QLatin1String(":\\"), QLatin1String(":/")}) {
    const qsizetype at = volume.indexOf(root);
    if (at >= 0) return {volume.left(at), volume.mid(at + root.size()).replace(QLatin1Char('\\'), QLatin1Char('/'))};
  }
  return {volume, QString()};
}

QString OfflineLocation::Shown() const { return onVolume.isEmpty() ? volume : volume + QLatin1Char('/') + onVolume; }

void ShowOfflineFileMessage(const QString& fileName, const QString& folder, QWidget* owner) {
  const QString volume = ReadOfflineLocation(folder).volume;
  ShowProgramMessage(QLatin1Char('\'') + fileName + QLatin1Char('\'') +
                         QStringLiteral("\r\n\r\nThis file is most likely either:\r\n\r\n"
                                        "     - on a disk that is not connected \r\n"
                                        "     - on a CD/DVD that is not inserted\r\n"
                                        "     - on a network drive that is not connected"),
                     64, QStringLiteral("Offline Volume: ") + volume, owner);
}
