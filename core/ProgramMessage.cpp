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

void ShowOfflineFileMessage(const QString& fileName, const QString& folder, QWidget* owner) {
  QString volume = folder;
  volume.remove(QStringLiteral("[Offline]"));
  ShowProgramMessage(QLatin1Char('\'') + fileName + QLatin1Char('\'') +
                         QStringLiteral("\r\n\r\nThis file is most likely either:\r\n\r\n"
                                        "     - on a disk that is not connected \r\n"
                                        "     - on a CD/DVD that is not inserted\r\n"
                                        "     - on a network drive that is not connected"),
                     64, QStringLiteral("Offline Volume: ") + volume, owner);
}
