#include "platform/MessageBoxSeam.h"

#include "platform/QueuedClose.h"
#include "platform/QuitRequest.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace {

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

MessageBoxHandler& Responder() {
  static MessageBoxHandler responder;
  return responder;
}

struct ButtonSpec {
  QMessageBox::StandardButton button;
  int answer;
};

std::vector<ButtonSpec> ButtonsFor(int style) {
  switch (style & 15) {
    case vbOKCancel:
      return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case vbAbortRetryIgnore:
      return {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
    case vbYesNoCancel:
      return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case vbYesNo:
      return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case vbRetryCancel:
      return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    default:
      return {{QMessageBox::Ok, vbOK}};
  }
}

QMessageBox::Icon IconFor(int style) {
  switch (style & 0x70) {
    case vbCritical:
      return QMessageBox::Critical;
    case vbQuestion:
      return QMessageBox::Question;
    case vbExclamation:
      return QMessageBox::Warning;
    case vbInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// The stand-in used until the program's own box exists, and for the system box.
int PlainBox(const MessageBoxRequest& request) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
  QMessageBox box(IconFor(request.style), request.title.isEmpty() ? QStringLiteral("Reelwise II") : request.title,
                  request.prompt, QMessageBox::NoButton, request.owner);
  const std::vector<ButtonSpec> buttons = ButtonsFor(request.style);
  for (const ButtonSpec& spec : buttons) box.addButton(spec.button);
  const size_t defaultIndex = static_cast<size_t>((request.style >> 8) & 3);
  if (defaultIndex < buttons.size()) box.setDefaultButton(buttons[defaultIndex].button);
  box.exec();
  const auto clicked = box.standardButton(box.clickedButton());
  for (const ButtonSpec& spec : buttons) {
    if (spec.button == clicked) return spec.answer;
  }
  return 0;
}

}  // namespace

// Once the program has been asked to end nobody is there to answer: a box
// closes at once without an answer, as a countdown would close it. A
// request to close that waits unhandled (QueuedClose.h) is looked for first.
int ShowMessageBox(const MessageBoxRequest& request) {
  if (Responder()) return Responder()(request);
  QueuedClose::Look();
  if (QuitRequest::Requested()) return 0;
  if (Handler() && !request.systemBox) return Handler()(request);
  return PlainBox(request);
}

int SystemMessageBox(const QString& prompt, int style, const QString& title) {
  MessageBoxRequest request;
  request.prompt = prompt;
  request.style = style;
  request.title = title;
  request.systemBox = true;
  return ShowMessageBox(request);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) { return std::exchange(Handler(), std::move(handler)); }

MessageBoxHandler SetMessageBoxResponder(MessageBoxHandler responder) {
  return std::exchange(Responder(), std::move(responder));
}
