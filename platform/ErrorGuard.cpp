#include "platform/ErrorGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
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
// a title: which file, what happened, what the user can do. SQLite's own
// words are no help to the user and are left out.
struct PlainFault {
  QString title;
  QString sentence;
};

// The file in a line of its own, or nothing when the error names none.
QString FileLine(const QString& file) {
  return file.isEmpty() ? QString() : QStringLiteral("\r\n") + QDir::toNativeSeparators(file) + QStringLiteral("\r\n");
}

PlainFault DiskFull(const RWError& error) {
  QString sentence;
  if (!error.File().isEmpty()) {
    sentence = QStringLiteral("The disk is full, so this could not be written to the Library") +
               FileLine(error.File()) +
               QStringLiteral("\r\nNone of it was kept, and everything saved before is unchanged. Free some space on "
                              "the disk that holds the Library and try again.");
  } else if (error.Number() != kErrDatabase) {
    // The program's own words, which name the file.
    sentence = error.Description() + QStringLiteral("\r\n\r\nFree some space on the disk and try again.");
  } else {
    sentence = QStringLiteral("The disk is full, so this could not be saved; everything saved before is kept. Free "
                              "some space on the disk and try again.");
  }
  return {QStringLiteral("Disk Full"), sentence};
}

std::optional<PlainFault> PlainFaultOf(const RWError& error) {
  const QString& said = error.Description();
  const auto saying = [&](std::initializer_list<const char*> texts) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const char* text) { return said.contains(QLatin1String(text), Qt::CaseInsensitive); });
  };
  if (error.Number() == kErrDiskFull || saying({"database or disk is full", "The disk is full."})) {
    return DiskFull(error);
  }
  if (error.Number() != kErrDatabase) return std::nullopt;
  const QString file = FileLine(error.File());
  const QString separator = file.isEmpty() ? QStringLiteral(" ") : file;
  if (saying({"attempt to write a readonly database", "disk I/O error", "unable to open database file"})) {
    return PlainFault{QStringLiteral("Library Not Available"),
                      QStringLiteral("The Library's file") + separator +
                          QStringLiteral("can no longer be written: its folder was deleted, moved or unmounted, its "
                                         "disk was removed, or the file or its folder was made read-only. This change "
                                         "was not saved; what was saved before is kept in the file.\r\n\r\n"
                                         "Open the Library again once its disk and folder are back and writable.")};
  }
  if (saying({"no such column", "no such table", "no such view"})) {
    static const QRegularExpression missing(QStringLiteral("no such (table|column|view): ([^\\s(]+)"));
    const QRegularExpressionMatch part = missing.match(said);
    const QString lacks =
        part.hasMatch()
            ? QStringLiteral("lacks the %1 \"%2\" Reelwise II expects").arg(part.captured(1), part.captured(2))
            : QStringLiteral("does not hold the tables and columns Reelwise II expects");
    return PlainFault{QStringLiteral("Damaged Library"),
                      QStringLiteral("The Library's file") + separator + lacks +
                          QStringLiteral(": it was changed by another program, or is damaged. Nothing was changed."
                                         "\r\n\r\nOpen a copy of the Library kept from before, or a new Library.")};
  }
  return std::nullopt;
}

// The steps under way in Run, and the fault told while they are: the
// outermost Run is the command of an event (every entry point from the event
// loop runs through one), so the steps of one command that meet the same
// fault, each under a guard of its own (the open of a library: its devices,
// its tree, its first view), tell it once.
int& StepsUnderWay() {
  thread_local int steps = 0;
  return steps;
}

QString& FaultToldThisCommand() {
  thread_local QString told;
  return told;
}

// The same fault is the same sentence, whatever title a guard gives it.
bool ToldThisCommand(const MessageBoxRequest& request) { return FaultToldThisCommand() == request.prompt; }

void RememberToldFault(const MessageBoxRequest& request) {
  if (StepsUnderWay() > 0) FaultToldThisCommand() = request.prompt;
}

}  // namespace

ErrorGuard::StepScope::StepScope() { ++StepsUnderWay(); }

ErrorGuard::StepScope::~StepScope() {
  if (--StepsUnderWay() == 0) FaultToldThisCommand().clear();
}

void ErrorGuard::Failed(const RWError& error) {
  ++failures_;
  if (!Reports(error)) return;
  reported_ = true;
  MessageBoxRequest request;
  request.prompt = report_.text ? report_.text(error) : error.Text();
  request.style = report_.style;
  request.title = report_.title;
  // No prescribed form is a sentence for a full disk or a library file that
  // went away or was changed. What fails after it is its consequence.
  const std::optional<PlainFault> fault = PlainFaultOf(error);
  if (fault) {
    request.prompt = fault->sentence;
    if (request.title.isEmpty()) request.title = fault->title;
    faultTold_ = true;
    if (ToldThisCommand(request)) return;
  }
  request.systemBox = report_.systemBox;
  if (!report_.systemBox) {
    request.fit = true;
    request.width = -1;
    request.fontName = QStringLiteral("Tahoma");
    request.owner = report_.owner;
  }
  Show(request, report_.owner, report_.deferred);
  if (fault) RememberToldFault(request);
}

bool ErrorGuard::IsStorageFault(const RWError& error) { return PlainFaultOf(error).has_value(); }

bool ErrorGuard::Reports(const RWError& error) const {
  if (report_.quiet || faultTold_ || (report_.oncePerPass && reported_)) return false;
  if (report_.silent && report_.silent()) return false;
  const auto& expected = report_.passOver;
  return std::find(expected.begin(), expected.end(), error.Number()) == expected.end();
}

ErrorReport::TextOf ErrorGuard::Numbered(const QString& separator, const QString& tail) {
  return [separator, tail](const RWError& error) {
    return QString::number(error.Number()) + separator + error.Description() + tail;
  };
}
