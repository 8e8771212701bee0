#pragma once
// The per-user settings file that stands in for the registry tree of the
// program: one text file under $XDG_CONFIG_HOME/Reelwise II/, holding keys
// (paths such as "Software\Reelwise II\General") with typed values. Key paths
// and value names are matched without regard to case, as the registry does.
//
// File form, one item a line:
//   ; Reelwise II settings              (first line, marks the file as ours)
//   [Software\Reelwise II\General]      (a key)
//   "AppTop"=dword:0000009c             (a 32-bit number, two's complement hex)
//   "CaptionFont"="Tahoma"              (text; \\ \" \n \r \0 escaped)
//   "Other"=hex(2):41,00                (any other type: kept, reads as empty)
// Every write takes a lock, writes a temporary file and renames it over the old
// one, so two processes never lose each other's values and a reader never sees
// half a file. A line the reader cannot make out (another tool's "@=..." or
// "qword:" value) is kept as it stands and costs that line alone; a file
// that is not a settings file at all is set aside, never overwritten.
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

enum class RegType { String, Dword, Other };

struct StoredValue {
  QString name;
  RegType type = RegType::String;
  QString text;        // String: the text as written
  int32_t number = 0;  // Dword
  QString raw;         // Other: the data as it stands in the file
};

struct StoredKey {
  QString path;
  std::vector<StoredValue> values;
  // Lines under the key the reader could not make out, written back as they were.
  std::vector<QString> unread;
};

class SettingsTree {
 public:
  // Nothing when the data is not a settings file of ours (no first line of
  // ours, or not UTF-8 text).
  static std::optional<SettingsTree> Parse(const QByteArray& data);
  QByteArray Serialize() const;

  // True for a stored key and for every key above one ("A" when "A\B" exists).
  bool KeyExists(const QString& path) const;
  const StoredValue* Find(const QString& path, const QString& name) const;
  // The key, created when missing.
  StoredKey& CreateKey(const QString& path);
  // Stores the value under its name; an existing value keeps its spelling.
  // False when the value was stored so already.
  bool Set(const QString& path, const StoredValue& value);

 private:
  StoredKey* FindKey(const QString& path);
  const StoredKey* FindKey(const QString& path) const;
  void ParseLine(QStringView line, std::optional<size_t>& current);
  size_t KeyIndex(const StoredKey& key) const;
  bool SetAt(size_t keyAt, const StoredValue& value);

  // Keys and values are found by their case-folded names, so a file of
  // thousands of values is looked up as fast as a small one.
  std::vector<StoredKey> keys_;
  QHash<QString, size_t> keyIndex_;                // folded path -> keys_
  std::vector<QHash<QString, size_t>> valueIndex_;  // per key: folded name -> values
  QSet<QString> keysAndParents_;                   // folded paths of every key and key above one
  std::vector<QString> unreadBeforeKeys_;          // unread lines above the first key
};

// "Software\Reelwise II\General\" and "\software\reelwise ii\general" name one key.
QString NormaliseKeyPath(const QString& path);

// What tells one state of a file from another: a save renames a new file
// over the old one (a new inode), an edit in place changes its time or size.
struct FileStamp {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modifiedNs = 0;
  int64_t changedNs = 0;
  bool operator==(const FileStamp& other) const = default;
};

class SettingsStore {
 public:
  // How long an update waits for another process to release the store; on
  // the window's thread, which paints nothing meanwhile, at most long work's
  // grace (LockLimitHere).
  static constexpr int64_t kLockLimitMs = 5000;
  static constexpr int64_t kWindowLockLimitMs = 400;
  static int64_t LockLimitHere();

  explicit SettingsStore(QString filePath);
  // $XDG_CONFIG_HOME/Reelwise II/Settings.txt, looked up at each call.
  static QString DefaultPath();

  // The stored tree, with the changes still waiting to be written (see
  // Update); empty when there is no file yet, when the file was
  // damaged (it is then set aside, see SetAsidePath) or refused. The file is
  // parsed once and its tree kept, for every store of this path in the
  // process, until the file changes.
  std::shared_ptr<const SettingsTree> Load();
  // Locks the store, loads it, lets `change` edit the tree and saves it when
  // `change` returns true. False when the save failed, or the store cannot
  // be used (Refusal). A lock another process holds past `lockLimitMs`
  // (negative: no limit) does not lose the change: it is kept, Load reads it
  // as made, and the next update that takes the lock writes it first.
  bool Update(const std::function<bool(SettingsTree&)>& change, int64_t lockLimitMs = kLockLimitMs);
  // Writes the changes kept for want of the lock; true when none is left.
  bool WritePending(int64_t lockLimitMs = kLockLimitMs);
  // Whether changes to this store wait to be written.
  bool HasPending() const;
  // Whether a new file can be made beside the settings file, as every save
  // makes one: false, with Refusal() saying why, when it cannot for a reason
  // that lasts. Nothing is left behind.
  bool ProbeWrite();
  // Where a damaged file was moved by the last Load or Update; empty if none.
  const QString& SetAsidePath() const { return setAside_; }
  // Why the file cannot serve as the store, found by the last Load or
  // Update: it is no regular file (a device, a FIFO, a folder) or far too
  // large for a settings file, it cannot be read, or it cannot be written for
  // a reason that lasts (no permission, a read-only disk, a file where its
  // folder should be). A sentence of the program's own; empty when none.
  const QString& Refusal() const { return refusal_; }
  // Why the last Update could not save the file for a passing reason (a
  // full disk, an input/output error); empty if it did.
  const QString& WriteFailure() const { return writeFailure_; }

 private:
  bool Refused();
  std::shared_ptr<const SettingsTree> LoadStored();
  std::shared_ptr<const SettingsTree> ReadFile(bool& damaged, bool exact);
  std::shared_ptr<const SettingsTree> SetAsideDamaged();
  bool Save(SettingsTree&& tree);

  QString path_;
  QString setAside_;
  QString refusal_;
  QString writeFailure_;
  // Why the last ReadFile could not open the file; empty when it could.
  QString readFailure_;
  // Whether that was for want of a file handle: a passing shortage, which
  // refuses nothing.
  bool readShortOfHandles_ = false;
  // The state and bytes of the file the last ReadFile parsed or found cached.
  std::optional<FileStamp> stamp_;
  QByteArray bytes_;
};
