#include "platform/ErrorGuard.h"

#include "platform/Contract.h"
#include "platform/HangGuard.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <optional>
#include <utility>

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

ErrorGuard::AfterFailure& InstalledAfterFailure() {
  static ErrorGuard::AfterFailure after;
  return after;
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

// Whether a guard met a failure during the command under way.
bool& FailedThisCommand() {
  thread_local bool failed = false;
  return failed;
}

// Whether the command under way is work the user did not start.
bool& BackgroundCommand() {
  thread_local bool background = false;
  return background;
}

// The last fault of the disk or a file told, until a command the user
// started runs without a failure: work in the background (a timer that
// redraws from the library) that meets it again does not tell it again.
QString& LastStorageFaultTold() {
  thread_local QString told;
  return told;
}

// Whether a fault of the disk or a file was told during the command under
// way: the first one stands for whatever follows from it (a disk that fails
// fails every file on it), so the command tells no other.
bool& StorageFaultToldThisCommand() {
  thread_local bool told = false;
  return told;
}

// The same fault is the same sentence, whatever title a guard gives it.
bool ToldThisCommand(const MessageBoxRequest& request, bool storageFault) {
  return FaultToldThisCommand() == request.prompt || (storageFault && StorageFaultToldThisCommand());
}

void RememberToldFault(const MessageBoxRequest& request, bool storageFault) {
  if (storageFault) LastStorageFaultTold() = request.prompt;
  if (StepsUnderWay() == 0) return;
  FaultToldThisCommand() = request.prompt;
  if (storageFault) StorageFaultToldThisCommand() = true;
}

}  // namespace

ErrorGuard::StepScope::StepScope(bool background) {
  if (StepsUnderWay()++ != 0) return;
  BackgroundCommand() = background;
  // A command's waits on a slow disk count from its start.
  if (contract::OnUiThread()) HangGuard::NewCommand();
}

ErrorGuard::StepScope::~StepScope() {
  if (--StepsUnderWay() != 0) return;
  FaultToldThisCommand().clear();
  StorageFaultToldThisCommand() = false;
  const bool failed = std::exchange(FailedThisCommand(), false);
  if (!failed && !BackgroundCommand()) LastStorageFaultTold().clear();
  if (failed && InstalledAfterFailure()) InstalledAfterFailure()();
}

void ErrorGuard::SetFaultWords(FaultWords words) { InstalledWords() = std::move(words); }

void ErrorGuard::SetDamageTold(DamageTold told) { InstalledDamageTold() = std::move(told); }

void ErrorGuard::SetAfterFailure(AfterFailure after) { InstalledAfterFailure() = std::move(after); }

void ErrorGuard::Failed(const RWError& error) {
  ++failures_;
  if (StepsUnderWay() > 0) FailedThisCommand() = true;
  if (error.SqliteCode() != 0) Log(error);
  if (Reports(error)) Tell(error);
  // A damaged file is written no more, whether this guard or an earlier one
  // told it; nor is one whose last change is known only at its next open.
  const bool damaged = error.Kind() == FaultKind::Damaged || error.Kind() == FaultKind::Mismatch ||
                       error.Kind() == FaultKind::Unconfirmed;
  if (damaged && !error.File().isEmpty() && InstalledDamageTold()) InstalledDamageTold()(error.File());
}

void ErrorGuard::Tell(const RWError& error) {
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
  const bool storageFault = EndsTheCommand(error);
  if (storageFault) faultTold_ = true;
  if (fault && ToldThisCommand(request, storageFault)) return;
  if (fault && storageFault && StepsUnderWay() > 0 && BackgroundCommand() && LastStorageFaultTold() == request.prompt) {
    return;
  }
  request.systemBox = report_.systemBox;
  if (!report_.systemBox) {
    request.fit = true;
    request.width = -1;
    request.fontName = QStringLiteral("Tahoma");
    request.owner = report_.owner;
  }
  Show(request, report_.owner, report_.deferred);
  if (fault) RememberToldFault(request, storageFault);
}

QString ErrorGuard::InOwnWords(const RWError& error, const QString& otherwise, const QString& command) {
  if (error.SqliteCode() != 0) Log(error);
  const std::optional<FaultTelling> fault =
      InstalledWords() ? InstalledWords()(error, command) : std::optional<FaultTelling>();
  return fault ? fault->sentence : otherwise;
}

bool ErrorGuard::StorageFaultTold() { return StorageFaultToldThisCommand(); }

bool ErrorGuard::EndsTheCommand(const RWError& error) {
  return StorageFault::IsStorageKind(error.Kind()) || error.Kind() == FaultKind::Mismatch;
}

bool ErrorGuard::Reports(const RWError& error) const {
  if (faultTold_ || (report_.oncePerPass && reported_)) return false;
  if (report_.silent && report_.silent()) return false;
  if (EndsTheCommand(error)) {
    const auto& expected = report_.passOverFaults;
    return std::find(expected.begin(), expected.end(), error.Kind()) == expected.end();
  }
  if (report_.quiet) return false;
  const auto& expected = report_.passOver;
  return std::find(expected.begin(), expected.end(), error.Number()) == expected.end();
}

ErrorReport::TextOf ErrorGuard::Numbered(const QString& separator, const QString& tail) {
  return [separator, tail](const RWError& error) {
    return QString::number(error.Number()) + separator + error.Description() + tail;
  };
}
