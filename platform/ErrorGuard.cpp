#include "platform/ErrorGuard.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
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

ErrorGuard::FaultWords& InstalledWords() {
  static ErrorGuard::FaultWords words;
  return words;
}

ErrorGuard::DamageTold& InstalledDamageTold() {
  static ErrorGuard::DamageTold told;
  return told;
}

// SQLite's own words and codes are for the log, never a box.
void Log(const RWError& error) {
  qWarning().noquote() << QStringLiteral("Failure (SQLite code %1) on %2: %3")
                              .arg(error.SqliteCode())
                              .arg(error.File().isEmpty() ? QStringLiteral("-") : error.File(), error.Text());
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

void ErrorGuard::SetFaultWords(FaultWords words) { InstalledWords() = std::move(words); }

void ErrorGuard::SetDamageTold(DamageTold told) { InstalledDamageTold() = std::move(told); }

void ErrorGuard::Failed(const RWError& error) {
  ++failures_;
  if (error.SqliteCode() != 0) Log(error);
  if (!Reports(error)) return;
  reported_ = true;
  MessageBoxRequest request;
  request.prompt = report_.text ? report_.text(error) : error.Text();
  request.style = report_.style;
  request.title = report_.title;
  // The program's words replace any prescribed form: SQLite's text is no
  // help to the user. What fails after a storage fault is its consequence.
  const std::optional<FaultTelling> fault =
      InstalledWords() ? InstalledWords()(error, report_.command) : std::optional<FaultTelling>();
  if (fault) {
    request.prompt = fault->sentence;
    if (request.title.isEmpty()) request.title = fault->title;
  }
  if (EndsTheCommand(error)) faultTold_ = true;
  if (fault && ToldThisCommand(request)) return;
  request.systemBox = report_.systemBox;
  if (!report_.systemBox) {
    request.fit = true;
    request.width = -1;
    request.fontName = QStringLiteral("Tahoma");
    request.owner = report_.owner;
  }
  Show(request, report_.owner, report_.deferred);
  if (fault) RememberToldFault(request);
  const bool damaged = error.Kind() == FaultKind::Damaged || error.Kind() == FaultKind::Mismatch;
  if (damaged && !error.File().isEmpty() && InstalledDamageTold()) InstalledDamageTold()(error.File());
}

QString ErrorGuard::InOwnWords(const RWError& error, const QString& otherwise, const QString& command) {
  if (error.SqliteCode() != 0) Log(error);
  const std::optional<FaultTelling> fault =
      InstalledWords() ? InstalledWords()(error, command) : std::optional<FaultTelling>();
  return fault ? fault->sentence : otherwise;
}

bool ErrorGuard::EndsTheCommand(const RWError& error) {
  return StorageFault::IsStorageKind(error.Kind()) || error.Kind() == FaultKind::Mismatch;
}

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
