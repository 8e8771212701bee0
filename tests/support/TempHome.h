#pragma once
// A test fixture that gives each test its own empty HOME and XDG folders, so
// settings, documents, trash and libraries never touch the real user's files.
#include "tests/support/FakeSystemRoot.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace rwtest {

class TempHomeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The temporary home and paths inside it.
  QString Home() const { return home_.path(); }
  QString HomePath(const QString& relative) const { return home_.filePath(relative); }
  // A scratch folder of the test, outside the home.
  QString Scratch() const { return scratch_.path(); }
  QString ScratchPath(const QString& relative) const { return scratch_.filePath(relative); }
  // The mount table the test sees: empty until the test mounts devices.
  FakeSystemRoot& System() { return *system_; }

 private:
  void SetEnv(const char* name, const QString& value);

  QTemporaryDir home_;
  QTemporaryDir scratch_;
  std::map<QByteArray, std::optional<QByteArray>> saved_;
  std::optional<FakeSystemRoot> system_;
};

}  // namespace rwtest
