#pragma once
// The program's one error type: a number, a description and the source that
// raised it, shown to the user as "number: description"; with the file it is
// about, where the raiser knows it (a database error names its database).
#include <QString>

#include <cstdint>
#include <exception>
#include <string>

// Number of every error raised by the database layer; some callers test it to
// pass over an expected failure (a duplicate key, a schema probe).
inline constexpr int32_t kErrDatabase = static_cast<int32_t>(0x80040000u);

// Numbers of the runtime errors the program raises itself.
inline constexpr int32_t kErrInvalidArgument = 5;   // invalid procedure call or argument
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrFileNotFound = 53;
inline constexpr int32_t kErrResourceNotFound = 326;
inline constexpr int32_t kErrDeviceIO = 57;
inline constexpr int32_t kErrDiskFull = 61;
inline constexpr int32_t kErrDiskNotReady = 71;
inline constexpr int32_t kErrFileAccess = 75;       // path/file access error
inline constexpr int32_t kErrDuplicateKey = 457;    // key already in a collection
inline constexpr int32_t kErrInvalidPicture = 481;
// An exception that is no RWError (the standard library's, a failed allocation).
inline constexpr int32_t kErrInternal = 51;

class RWError : public std::exception {
 public:
  RWError(int32_t number, QString description, QString source = QString(), QString file = QString());

  int32_t Number() const noexcept { return number_; }
  const QString& Description() const noexcept { return description_; }
  const QString& Source() const noexcept { return source_; }
  const QString& File() const noexcept { return file_; }

  // "number: description", the form every error report shows.
  QString Text() const;
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  int32_t number_;
  QString description_;
  QString source_;
  QString file_;
  std::string what_;
};
