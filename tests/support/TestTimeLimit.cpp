#include "tests/support/TestTimeLimit.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace rwtest {

int TestTimeLimit::Seconds() {
  const char* text = std::getenv("RW_TEST_TIME_LIMIT");
  const int seconds = text ? std::atoi(text) : 0;
  if (seconds > 0) return seconds;
  // The fault sweep run whole (every call, every code) takes an hour or more.
  const char* sweep = std::getenv("RW_FAULT_SWEEP");
  if (sweep && std::string(sweep) == "all") return kWholeSweepSeconds;
  return kDefaultSeconds;
}

TestTimeLimit::TestTimeLimit() : limit_(Seconds()), watcher_([this] { Watch(); }) {}

TestTimeLimit::~TestTimeLimit() {
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  watcher_.join();
}

void TestTimeLimit::OnTestStart(const ::testing::TestInfo& test) {
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    running_ = std::string(test.test_suite_name()) + '.' + test.name();
    deadline_ = std::chrono::steady_clock::now() + limit_;
  }
  changed_.notify_all();
}

void TestTimeLimit::OnTestEnd(const ::testing::TestInfo&) {
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    running_.clear();
  }
  changed_.notify_all();
}

// Waits for the running test's deadline; a test still running then ends the
// process (exit, not abort: no core file, and the output is flushed).
void TestTimeLimit::Watch() {
  std::unique_lock<std::mutex> hold(mutex_);
  while (!stopping_) {
    if (running_.empty()) {
      changed_.wait(hold);
      continue;
    }
    const std::string test = running_;
    const auto deadline = deadline_;
    if (changed_.wait_until(hold, deadline) == std::cv_status::timeout && running_ == test && deadline_ == deadline) {
      std::fprintf(stderr, "\n[ TIME OUT ] %s did not end within its limit of %lld s; the test binary ends here.\n",
                   test.c_str(), static_cast<long long>(limit_.count()));
      std::fflush(stdout);
      std::fflush(stderr);
      std::_Exit(kExitCode);
    }
  }
}

}  // namespace rwtest
