#pragma once
// The one way the program runs a step that may fail and goes on. A failure
// (an RWError, a StorageFault, or any other exception as error 51) is
// reported in a message box, by default the program's own with "number:
// description", style 48 and the font "Tahoma"; Run then answers false. A
// guard that is silent now reports nothing, a storage fault included: it is
// for steps whose failure is meant to pass unseen (a quiet guard still tells
// a storage fault, below). What a caller needs otherwise (a title, a text in
// another prescribed form, one report per pass, errors that are expected,
// the system's box) it sets in the report's options.
//
// A failure of SQLite is told by its result code, never by its words: a
// fault of the disk or of a file (a StorageFault, or a file that lacks a
// table or column) and a change another program's rule refused are told in
// the titled sentence of the program's own words installed from above
// (SetFaultWords: platform knows no product), naming the file, whatever form
// the caller prescribes (its title stays); SQLite's words go to the log
// (stderr). After a storage fault the guard reports nothing more, since what
// fails after it follows from it, and no other guard tells the same fault,
// or any other fault of the disk or a file, before the outermost Run under
// way ends (the rest of the command): a disk that fails fails every file on
// it, and the first fault told stands for the rest.
// A guard that passes a step's own failures over (`quiet`, `passOver`) still
// tells a storage fault or damage; a damaged file is closed (DamageTold)
// whichever guard meets it.
// Every entry point from the event loop runs its handler through a guard,
// so no failure reaches Qt.
#include "platform/MessageBoxSeam.h"
#include "platform/RWError.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QWidget;

struct ErrorReport {
  // The text of a report; empty: "number: description" (RWError::Text).
  using TextOf = std::function<QString(const RWError&)>;

  QString title{};
  // The command the guard runs, as the user named it ("Delete Tag"): the
  // program's words for a refused change name it.
  QString command{};
  int style = vbExclamation;
  // The window the box belongs to.
  QWidget* owner = nullptr;
  TextOf text{};
  // Only the first failure of the guard is reported; later ones are passed over.
  bool oncePerPass = false;
  // Nothing is reported while this answers true; with `quiet` never.
  std::function<bool()> silent{};
  // The step's own failures are passed over; a fault of the disk or the
  // file, or damage, is still told (it ends the command, and a damaged file
  // is closed), unless its kind is in `passOverFaults`.
  bool quiet = false;
  // Error numbers that are expected and never reported.
  std::vector<int32_t> passOver{};
  // Faults of the disk or the file that are expected and never reported
  // (a file that may be read-only or locked for a while).
  std::vector<FaultKind> passOverFaults{};
  // The system's box (start-up and shut-down, before or after the program's
  // own windows).
  bool systemBox = false;
  // The box opens once control is back in the event loop (for failures in a
  // paint, where no box can open).
  bool deferred = false;
  // The step is work the user did not start (a timer's tick, a paint): a
  // fault of the disk or the file told before is not told again, by this
  // guard or any guard of the steps inside, until a command the user started
  // has run without a failure.
  bool background = false;
};

// How the program tells a failure in its own words: a title and a sentence
// naming the file and what to do.
struct FaultTelling {
  QString title;
  QString sentence;
};

class ErrorGuard {
 public:
  // The program's words for a failure; none: the failure is told in the
  // caller's form ("number: description").
  // `command`: the command that met the failure, as the user knows it (may be empty).
  using FaultWords = std::function<std::optional<FaultTelling>(const RWError&, const QString& command)>;
  static void SetFaultWords(FaultWords words);
  // Asked after a file was told damaged (corrupt, or lacking a table or
  // column), or its change unconfirmed: the program stops using it, so that
  // no later command tells it again.
  using DamageTold = std::function<void(const QString& file)>;
  static void SetDamageTold(DamageTold told);
  // Asked as a command (the outermost Run) ends in which a guard met a
  // failure: the steps that failed may have left the window's marks of work
  // (progress, busy indicator) on, which the program then puts back.
  using AfterFailure = std::function<void()>;
  static void SetAfterFailure(AfterFailure after);

  ErrorGuard() = default;
  explicit ErrorGuard(ErrorReport report) : report_(std::move(report)) {}

  // Runs the step; false when it failed, the failure reported as the
  // options say.
  template <typename Step>
  bool Run(Step&& step) {
    const StepScope underWay(report_.background);
    try {
      std::forward<Step>(step)();
      return true;
    } catch (const StorageFault& fault) {
      Failed(fault.Error());
    } catch (const RWError& error) {
      Failed(error);
    } catch (const std::exception& error) {
      Failed(RWError(kErrInternal, QString::fromLocal8Bit(error.what())));
    }
    return false;
  }

  // Reports a failure that was caught elsewhere, as Run would.
  void Failed(const RWError& error);
  // How many steps of this guard failed.
  int Failures() const { return failures_; }

  // A storage fault, or a file that lacks a table or column: a fault every
  // later step meets too, after which the guard tells nothing more.
  static bool EndsTheCommand(const RWError& error);
  // Whether a guard told such a fault during the command under way: a
  // refusal the program tells in words of its own that follows from the
  // same disk (a file found locked or unreadable after it) is not told too.
  static bool StorageFaultTold();
  // The program's own sentence for the failure, for a caller that tells it
  // in a text of its own; `otherwise` where the program has none (a failure
  // of the program's own, in its own words). SQLite's words go to the log.
  static QString InOwnWords(const RWError& error, const QString& otherwise, const QString& command = QString());

  // A text of the prescribed form number, separator, description (and a
  // tail), for reports that are not "number: description".
  static ErrorReport::TextOf Numbered(const QString& separator, const QString& tail = QString());

 private:
  // Marks a Run under way; the outermost one ends the command.
  class StepScope {
   public:
    explicit StepScope(bool background);
    ~StepScope();
    StepScope(const StepScope&) = delete;
    StepScope& operator=(const StepScope&) = delete;
  };

  bool Reports(const RWError& error) const;
  void Tell(const RWError& error);

  ErrorReport report_;
  int failures_ = 0;
  bool reported_ = false;
  bool faultTold_ = false;
};
