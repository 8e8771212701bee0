#include "tests/support/TempHome.h"

#include <QDir>
#include <QFile>

namespace rwtest {

void TempHomeTest::SetEnv(const char* name, const QString& value) {
  if (!saved_.count(name)) {
    saved_[name] = qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name)) : std::nullopt;
  }
  qputenv(name, QFile::encodeName(value));
}

void TempHomeTest::SetUp() {
  ASSERT_TRUE(home_.isValid());
  ASSERT_TRUE(scratch_.isValid());
  QDir home(home_.path());
  for (const char* folder : {".config", ".local/share", ".cache", ".local/state", "Documents", "runtime"}) {
    ASSERT_TRUE(home.mkpath(QString::fromLatin1(folder)));
  }
  QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  SetEnv("HOME", home_.path());
  SetEnv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")));
  SetEnv("XDG_DATA_HOME", home.filePath(QStringLiteral(".local/share")));
  SetEnv("XDG_CACHE_HOME", home.filePath(QStringLiteral(".cache")));
  SetEnv("XDG_STATE_HOME", home.filePath(QStringLiteral(".local/state")));
  SetEnv("XDG_RUNTIME_DIR", home.filePath(QStringLiteral("runtime")));
  system_.emplace();
}

void TempHomeTest::TearDown() {
  system_.reset();
  for (const auto& [name, value] : saved_) {
    if (value) {
      qputenv(name.constData(), *value);
    } else {
      qunsetenv(name.constData());
    }
  }
  saved_.clear();
}

}  // namespace rwtest
