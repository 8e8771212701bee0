#include "core/ProgramMessage.h"

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
