#include "platform/ThreadStart.h"

#include "platform/RWError.h"

#include <QDebug>

#include <atomic>
#include <cerrno>
#include <system_error>

namespace ThreadStart {

namespace {

std::atomic<int>& Refusals() {
  static std::atomic<int> refusals{0};
  return refusals;
}

}  // namespace

std::thread Start(std::function<void()> body) {
  try {
    if (Refusals().load() > 0 && Refusals().fetch_sub(1) > 0) {
      throw std::system_error(EAGAIN, std::generic_category(), "thread start refused by the test");
    }
    return std::thread(std::move(body));
  } catch (const std::system_error& error) {
    // The C++ library's words are for the log.
    qWarning().noquote() << "A thread could not be started:" << error.what();
    throw StorageFault(RWError(kErrOutOfMemory, QStringLiteral("Out of memory: a thread could not be started"),
                               QStringLiteral("ThreadStart"), QString(), 0, FaultKind::OutOfMemory));
  }
}

void RefuseNext(int count) { Refusals().store(count); }

}  // namespace ThreadStart
