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
// half a file. A file that does not parse is set aside, never overwritten.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
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
};

class SettingsTree {
 public:
  // Nothing when the data is not a settings file of ours or is damaged.
  static std::optional<SettingsTree> Parse(const QByteArray& data);
  QByteArray Serialize() const;

  // True for a stored key and for every key above one ("A" when "A\B" exists).
  bool KeyExists(const QString& path) const;
  const StoredValue* Find(const QString& path, const QString& name) const;
  // The key, created when missing.
  StoredKey& CreateKey(const QString& path);
  // Stores the value under its name; an existing value keeps its spelling.
  void Set(const QString& path, const StoredValue& value);

 private:
  StoredKey* FindKey(const QString& path);
  const StoredKey* FindKey(const QString& path) const;
  bool ParseLine(const QString& line, std::optional<QString>& current);

  std::vector<StoredKey> keys_;
};

// "Software\Reelwise II\General\" and "\software\reelwise ii\general" name one key.
QString NormaliseKeyPath(const QString& path);

class SettingsStore {
 public:
  explicit SettingsStore(QString filePath);
  // $XDG_CONFIG_HOME/Reelwise II/Settings.txt, looked up at each call.
  static QString DefaultPath();

  // The stored tree; empty when there is no file yet, or when the file was
  // damaged (it is then set aside, see SetAsidePath).
  SettingsTree Load();
  // Locks the store, loads it, lets `change` edit the tree and saves it when
  // `change` returns true. False when the lock or the save failed.
  bool Update(const std::function<bool(SettingsTree&)>& change);
  // Where a damaged file was moved by the last Load or Update; empty if none.
  const QString& SetAsidePath() const { return setAside_; }

 private:
  std::optional<SettingsTree> ReadFile(bool& damaged) const;
  SettingsTree SetAsideDamaged();
  bool Save(const SettingsTree& tree) const;

  QString path_;
  QString setAside_;
};
