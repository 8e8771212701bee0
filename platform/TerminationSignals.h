#pragma once
// SIGTERM, SIGINT and SIGHUP (a session logging out, Ctrl+C in a terminal)
// delivered as a call on the event loop instead of ending the process at
// once: the handler writes the first signal's number to a pipe, whose
// reading end a socket notifier watches. A second signal ends the program by its
// default action, at once, whether or not the event loop has taken the first:
// a program whose window no longer responds still ends. Its file locks are
// let go before, so that the program can start again at once even while the
// kernel holds up the end of this one.
#include <QObject>

#include <csignal>
#include <functional>

class QSocketNotifier;

class TerminationSignals : public QObject {
 public:
  // `onSignal` runs on the event loop with the signal's number. One object at
  // a time; its destruction puts the previous handlers back.
  explicit TerminationSignals(std::function<void(int)> onSignal);
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // False when the pipe or the handlers could not be set up; the signals
  // then keep their default actions.
  bool Installed() const { return installed_; }
  // Whether the handler has taken a signal, which the event loop may not
  // have handled yet (long work asks it, LongWork.h).
  static bool Taken();

 private:
  static void Handler(int number);
  void Deliver();
  void RestoreHandlers();

  std::function<void(int)> onSignal_;
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  struct sigaction previous_[3] = {};
  bool installed_ = false;
  bool handlersSet_ = false;
};
