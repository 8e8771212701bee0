#include "platform/ErrorGuard.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <initializer_list>
#include <optional>

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

// A fault of the disk or of the library's file said as a user reads it, with
// a title; SQLite's own words follow for whoever looks into it.
struct PlainFault {
  QString title;
  QString sentence;
};

std::optional<PlainFault> PlainFaultOf(const RWError& error) {
  const QString& said = error.Description();
  const auto saying = [&](std::initializer_list<const char*> texts) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const char* text) { return said.contains(QLatin1String(text), Qt::CaseInsensitive); });
  };
  const QString details = QStringLiteral("\r\n\r\n(") + said + QLatin1Char(')');
  if (error.Number() == kErrDiskFull || saying({"database or disk is full", "The disk is full."})) {
    return PlainFault{QStringLiteral("Disk Full"),
                      QStringLiteral("The disk is full, so this could not be saved; everything saved before is "
                                     "kept. Free some space on the disk and try again.") +
                          details};
  }
  if (error.Number() != kErrDatabase) return std::nullopt;
  if (saying({"attempt to write a readonly database", "disk I/O error", "unable to open database file"})) {
    return PlainFault{QStringLiteral("Library Not Available"),
                      QStringLiteral("The Library's file can no longer be written: its folder was deleted, moved or "
                                     "unmounted, its disk was removed, or the file or its folder was made read-only. "
                                     "This change was not saved; what was saved before is kept in the file.\r\n\r\n"
                                     "Open the Library again once its disk and folder are back and writable.") +
                          details};
  }
  if (saying({"no such column", "no such table", "no such view"})) {
    return PlainFault{QStringLiteral("Damaged Library"),
                      QStringLiteral("The Library's file does not hold the tables and columns Reelwise II expects: it "
                                     "was changed by another program, or is damaged. Nothing was changed.") +
                          details};
  }
  return std::nullopt;
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
  // The default "number: description" is no sentence for a full disk or a
  // library file that went away or was changed.
  if (const std::optional<PlainFault> fault = report_.text ? std::nullopt : PlainFaultOf(error)) {
    request.prompt = fault->sentence;
    if (request.title.isEmpty()) request.title = fault->title;
  }
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
