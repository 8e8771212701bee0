#pragma once
// The one way the program runs a step that may fail and goes on. A failure
// (an RWError, or any other exception as error 51) is reported in a message
// box, by default the program's own with "number: description", style 48 and
// the font "Tahoma"; Run then answers false. What a caller needs otherwise
// (a title, a text in another prescribed form, one report per pass, errors
// that are expected, the system's box) it sets in the report's options.
//
// A full disk, a library file that can no longer be written and one that
// lacks a table or column are always told in a titled sentence of the
// program's own, naming the file, whatever form the caller prescribes (its
// title stays); the guard then reports nothing more, since what fails after
// such a fault follows from it, and no other guard tells the same fault
// again before the outermost Run under way ends (the rest of the command).
// Every entry point from the event loop runs its handler through a guard,
// so no failure reaches Qt.
#include "platform/MessageBoxSeam.h"
#include "platform/RWError.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <utility>
#include <vector>

class QWidget;

struct ErrorReport {
  // The text of a report; empty: "number: description" (RWError::Text).
  using TextOf = std::function<QString(const RWError&)>;

  QString title{};
  int style = vbExclamation;
  // The window the box belongs to.
  QWidget* owner = nullptr;
  TextOf text{};
  // Only the first failure of the guard is reported; later ones are passed over.
  bool oncePerPass = false;
  // Nothing is reported while this answers true; with `quiet` never.
  std::function<bool()> silent{};
  bool quiet = false;
  // Error numbers that are expected and never reported.
  std::vector<int32_t> passOver{};
  // The system's box (start-up and shut-down, before or after the program's
  // own windows).
  bool systemBox = false;
  // The box opens once control is back in the event loop (for failures in a
  // paint, where no box can open).
  bool deferred = false;
};

class ErrorGuard {
 public:
  ErrorGuard() = default;
  explicit ErrorGuard(ErrorReport report) : report_(std::move(report)) {}

  // Runs the step; false when it failed, the failure reported as the
  // options say.
  template <typename Step>
  bool Run(Step&& step) {
    const StepScope underWay;
    try {
      std::forward<Step>(step)();
      return true;
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

  // A full disk, a library file that can no longer be written or one that
  // lacks a table or column: a fault every later write meets too, so a
  // command that meets it ends there, rolled back whole.
  static bool IsStorageFault(const RWError& error);

  // A text of the prescribed form number, separator, description (and a
  // tail), for reports that are not "number: description".
  static ErrorReport::TextOf Numbered(const QString& separator, const QString& tail = QString());

 private:
  // Marks a Run under way; the outermost one ends the command.
  class StepScope {
   public:
    StepScope();
    ~StepScope();
    StepScope(const StepScope&) = delete;
    StepScope& operator=(const StepScope&) = delete;
  };

  bool Reports(const RWError& error) const;

  ErrorReport report_;
  int failures_ = 0;
  bool reported_ = false;
  bool faultTold_ = false;
};
