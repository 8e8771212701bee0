// Every test of the library and the layers above it runs with the library's
// layout survey installed in the connection, as the running program has it
// (start-up installs it with its other upward calls, shut-down removes it:
// each test starts with it again): a statement that does not compile is
// blamed on the file only where the file lacks what the program expects.
#include "library/LibraryLayout.h"
#include "platform/SqlConnection.h"

#include <gtest/gtest.h>

namespace {

class LibraryLayoutSurvey : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { SqlConnection::SetLayoutSurvey(LibraryLayout::Missing); }
};

const bool kInstalled = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new LibraryLayoutSurvey);
  return true;
}();

}  // namespace
