#include "platform/ErrorGuard.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {

void Show(const MessageBoxRequest& request, QWidget* owner, bool deferred) {
  if (!deferred) {
    ShowMessageBox(request);
    return;
  }
  const QPointer<QWidget> window = owner;
  QTimer::singleShot(0, QCoreApplication::instance(), [request, window] {
    MessageBoxRequest shown = request;
    shown.owner = window;
    ShowMessageBox(shown);
  });
}

}  // namespace

void ErrorGuard::Failed(const RWError& error) {
  ++failures_;
  if (!Reports(error)) return;
  reported_ = true;
  MessageBoxRequest request;
  request.prompt = report_.text ? report_.text(error) : error.Text();
  request.style = report_.style;
  request.title = report_.title;
  request.systemBox = report_.systemBox;
  if (!report_.systemBox) {
    request.fit = true;
    request.width = -1;
    request.fontName = QStringLiteral("Tahoma");
    request.owner = report_.owner;
  }
  Show(request, report_.owner, report_.deferred);
}

bool ErrorGuard::Reports(const RWError& error) const {
  if (report_.quiet || (report_.oncePerPass && reported_)) return false;
  if (report_.silent && report_.silent()) return false;
  const auto& expected = report_.passOver;
  return std::find(expected.begin(), expected.end(), error.Number()) == expected.end();
}

ErrorReport::TextOf ErrorGuard::Numbered(const QString& separator, const QString& tail) {
  return [separator, tail](const RWError& error) {
    return QString::number(error.Number()) + separator + error.Description() + tail;
  };
}
