#pragma once
// Every test of a binary runs under a time limit well below ctest's: a test
// that hangs is named on stderr and its binary ends with exit code 124, so a
// hang is told as such, with its test, instead of as ctest's bare timeout.
// RW_TEST_TIME_LIMIT sets the limit in seconds (default kDefaultSeconds, or
// kWholeSweepSeconds while RW_FAULT_SWEEP=all).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace rwtest {

class TestTimeLimit : public ::testing::EmptyTestEventListener {
 public:
  static constexpr int kDefaultSeconds = 150;
  // With RW_FAULT_SWEEP=all (the fault sweep run whole) and no limit set.
  static constexpr int kWholeSweepSeconds = 4 * 3600;
  static constexpr int kExitCode = 124;

  // The limit of this binary's tests, and the shorter one a test gives the
  // copy of itself it runs as a child process, so that the child's hang is
  // told by the child, and waited for, before the parent's limit passes.
  static int Seconds();
  static int ChildSeconds() { return Seconds() * 4 / 5; }

  TestTimeLimit();
  ~TestTimeLimit() override;
  TestTimeLimit(const TestTimeLimit&) = delete;
  TestTimeLimit& operator=(const TestTimeLimit&) = delete;

  void OnTestStart(const ::testing::TestInfo& test) override;
  void OnTestEnd(const ::testing::TestInfo& test) override;

 private:
  void Watch();

  std::chrono::seconds limit_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string running_;  // empty between tests
  std::chrono::steady_clock::time_point deadline_;
  bool stopping_ = false;
  std::thread watcher_;
};

}  // namespace rwtest
