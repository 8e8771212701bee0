#pragma once
// Writing a file whole or not at all. The bytes go to a new file beside the
// target, every write and the flush to disk are checked, and only then is the
// new file renamed over the old one: a full disk, a quota or an I/O error
// leaves the earlier file as it was and is reported, never taken for success.
// Where the file system allows, the new file has no name until the commit,
// so a write that fails leaves no file of its own behind.
// (QSaveFile cannot be trusted for this: with Qt 6 its commit can succeed
// after a failed write and leave an empty file.)
#include <QByteArray>
#include <QString>

#include <functional>

class WholeFileWriter {
 public:
  explicit WholeFileWriter(QString path);
  // A file not committed is removed.
  ~WholeFileWriter();
  WholeFileWriter(const WholeFileWriter&) = delete;
  WholeFileWriter& operator=(const WholeFileWriter&) = delete;

  // Makes the new file beside the target (a link's target when the path is a
  // symbolic link), with the target's permissions when it exists.
  bool Open();
  // False from the first failed write on; later writes are passed over.
  bool Write(const QByteArray& bytes);
  // Flushes the new file to disk and renames it over the target; when
  // `beforeRename` answers false, removes it instead and fails (ECANCELED).
  bool Commit(const std::function<bool()>& beforeRename = {});

  // The errno of the first failure; 0 while none.
  int Error() const { return error_; }
  // Why it failed, as a sentence ("The disk is full.").
  QString ErrorString() const;
  // Whether the failure lasts until the user acts (see LastingFileError).
  bool Lasting() const;
  // The new file's name beside the target until the commit renames it;
  // empty where it has none (or no new file is open).
  QString TemporaryPath() const;

 private:
  void Fail(int error);
  void Discard();
  void NameUnnamed();

  QString target_;
  QByteArray temporary_;
  int fd_ = -1;
  int error_ = 0;
};

// Writes the file whole in one call; false with `reason` set when it failed.
bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

// A message naming the file that could not be written and why, for the
// program's message box.
QString FileNotWrittenText(const QString& path, const QString& reason);

// Why a file could not be written, as a sentence ("The disk is full."), for
// an errno value; an error without a sentence of its own is logged.
QString FileErrorText(int error);
// Whether a write failed for a reason that lasts until the user acts (no
// permission, a read-only disk, a file where a folder should be), unlike a
// full disk or an input/output error, which a later write may get past.
bool LastingFileError(int error);

// Makes the folder and every missing folder above it. Empty when the folder
// is there then; otherwise why not, as sentences naming the folder at fault
// ("A file stands where the folder ... should be.").
QString MakeFolderPath(const QString& folder);
// MakeFolderPath, then whether a new file of `room` bytes can be made inside
// (a probe file is written and removed): empty when it can, else why not,
// naming the folder.
QString FolderWriteProblem(const QString& folder, qint64 room = 0);
