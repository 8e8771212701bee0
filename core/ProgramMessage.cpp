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
