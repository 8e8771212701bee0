#pragma once
// A folder made read-only (no write bit for anyone) for the life of the
// object, then writable by its owner again, so that the test's temporary
// folders can be removed whatever the test did.
#include <QFile>
#include <QString>

namespace rwtest {

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(QString folder) : folder_(std::move(folder)) {
    made_ = QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                               QFile::ReadOther | QFile::ExeOther);
  }
  ~ReadOnlyFolder() { QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  bool Made() const { return made_; }

 private:
  QString folder_;
  bool made_ = false;
};

}  // namespace rwtest
