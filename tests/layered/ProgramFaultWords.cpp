// Every test of a layer above platform runs with the program's own words for
// failures installed in the error guard, as the running program has them
// (start-up installs them with its other upward calls, shut-down removes
// them: each test starts with them again).
#include "core/FaultSentences.h"

#include <gtest/gtest.h>

namespace {

class ProgramFaultWords : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { FaultSentences::Install(); }
};

const bool kInstalled = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new ProgramFaultWords);
  return true;
}();

}  // namespace
