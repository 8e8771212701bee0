#include "platform/Contract.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <cstdlib>

namespace contract {

void Broken(const char* what, const char* file, int line) {
  std::fprintf(stderr, "Contract broken at %s:%d: %s\n", file, line, what);
  std::fflush(stderr);
  std::abort();
}

bool OnUiThread() {
  const QCoreApplication* application = QCoreApplication::instance();
  return application && QThread::currentThread() == application->thread();
}

}  // namespace contract
