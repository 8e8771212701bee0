#include "platform/TerminationSignals.h"

#include "platform/FileLock.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[3] = {SIGTERM, SIGINT, SIGHUP};
// The pipe's writing end, for the handler; -1 when no object is installed.
volatile sig_atomic_t gWriteEnd = -1;
// Signals the handler has taken since the object was made.
volatile sig_atomic_t gTaken = 0;

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  gTaken = 0;
  gWriteEnd = pipe_[1];
  struct sigaction action {};
  action.sa_handler = &TerminationSignals::Handler;
  // One handler at a time, so that each signal is counted.
  sigemptyset(&action.sa_mask);
  for (const int number : kSignals) sigaddset(&action.sa_mask, number);
  action.sa_flags = SA_RESTART;
  handlersSet_ = true;  // a handler not set is put back to its default
  for (int i = 0; i < 3; ++i) {
    if (::sigaction(kSignals[i], &action, &previous_[i]) != 0) return;
  }
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { Deliver(); });
  installed_ = true;
}

TerminationSignals::~TerminationSignals() {
  RestoreHandlers();
  gWriteEnd = -1;
  for (int fd : pipe_) {
    if (fd >= 0) ::close(fd);
  }
}

// Only async-signal-safe calls, with errno kept for the code the signal
// interrupted. The first signal is handed to the event loop. A second one,
// whether or not the loop has taken the first (a window that no longer
// answers), ends the process: the file locks are let go first, since a
// helper thread waiting on a dead mount would hold them until the mount
// answers, then the default action comes back and the signal is raised
// again, to be delivered as the handler returns.
void TerminationSignals::Handler(int number) {
  const int saved = errno;
  gTaken = gTaken + 1;
  if (gTaken > 1) {
    FileLock::ReleaseAllNow();
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(number, &fallback, nullptr);
    ::raise(number);
  } else if (const int fd = gWriteEnd; fd >= 0) {
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
  }
  errno = saved;
}

bool TerminationSignals::Taken() { return gWriteEnd >= 0 && gTaken > 0; }

void TerminationSignals::Deliver() {
  unsigned char byte = 0;
  int number = 0;
  while (::read(pipe_[0], &byte, 1) == 1) {
    if (number == 0) number = byte;
  }
  if (number == 0) return;
  notifier_->setEnabled(false);
  if (onSignal_) onSignal_(number);
}

void TerminationSignals::RestoreHandlers() {
  if (!handlersSet_) return;
  handlersSet_ = false;
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &previous_[i], nullptr);
}
