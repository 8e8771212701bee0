#include "core/SettingsStore.h"

#include "core/NumericText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <utility>

namespace {

constexpr const char* kSignature = "; Reelwise II settings";
constexpr std::chrono::milliseconds kLockTimeout{5000};

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString Escape(const QString& text) {
  QString out;
  out.reserve(text.size() + 2);
  for (const QChar c : text) {
    switch (c.unicode()) {
      case '\\': out += QLatin1String("\\\\"); break;
      case '"': out += QLatin1String("\\\""); break;
      case '\n': out += QLatin1String("\\n"); break;
      case '\r': out += QLatin1String("\\r"); break;
      case 0: out += QLatin1String("\\0"); break;
      default: out += c;
    }
  }
  return out;
}

// Reads a quoted, escaped text starting at `pos` (on the opening quote);
// leaves `pos` after the closing quote. Nothing when the text is malformed.
std::optional<QString> ReadQuoted(const QString& line, qsizetype& pos) {
  if (pos >= line.size() || line.at(pos) != QLatin1Char('"')) return std::nullopt;
  QString out;
  for (++pos; pos < line.size(); ++pos) {
    const QChar c = line.at(pos);
    if (c == QLatin1Char('"')) {
      ++pos;
      return out;
    }
    if (c != QLatin1Char('\\')) {
      out += c;
      continue;
    }
    if (++pos >= line.size()) return std::nullopt;
    switch (line.at(pos).unicode()) {
      case '\\': out += QLatin1Char('\\'); break;
      case '"': out += QLatin1Char('"'); break;
      case 'n': out += QLatin1Char('\n'); break;
      case 'r': out += QLatin1Char('\r'); break;
      case '0': out += QChar(0); break;
      default: return std::nullopt;
    }
  }
  return std::nullopt;
}

std::optional<StoredValue> ParseData(const QString& data) {
  StoredValue value;
  if (data.startsWith(QLatin1Char('"'))) {
    qsizetype pos = 0;
    std::optional<QString> text = ReadQuoted(data, pos);
    if (!text || pos != data.size()) return std::nullopt;
    value.text = *text;
    return value;
  }
  if (data.startsWith(QLatin1String("dword:"))) {
    const QString digits = data.mid(6);
    bool ok = false;
    const uint number = digits.toUInt(&ok, 16);
    if (!ok || digits.isEmpty() || digits.size() > 8) return std::nullopt;
    value.type = RegType::Dword;
    value.number = static_cast<int32_t>(number);
    return value;
  }
  if (data.startsWith(QLatin1String("hex:")) || data.startsWith(QLatin1String("hex("))) {
    value.type = RegType::Other;
    value.raw = data;
    return value;
  }
  return std::nullopt;
}

QString DataText(const StoredValue& value) {
  switch (value.type) {
    case RegType::Dword:
      return QStringLiteral("dword:%1").arg(static_cast<uint32_t>(value.number), 8, 16, QLatin1Char('0'));
    case RegType::Other:
      return value.raw;
    case RegType::String:
      break;
  }
  return QLatin1Char('"') + Escape(value.text) + QLatin1Char('"');
}

// An exclusive lock on the store's lock file, given up after a time so a hung
// process cannot freeze every other one; flock ends with its process.
class StoreLock {
 public:
  explicit StoreLock(const QString& lockPath) {
    fd_ = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + kLockTimeout;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (std::chrono::steady_clock::now() > deadline) return;
      QThread::msleep(2);
    }
    locked_ = true;
  }
  ~StoreLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
  bool Locked() const { return locked_; }

 private:
  int fd_ = -1;
  bool locked_ = false;
};

}  // namespace

QString NormaliseKeyPath(const QString& path) { return TrimChar(path, QLatin1Char('\\')); }

// ---- SettingsTree ----------------------------------------------------------

std::optional<SettingsTree> SettingsTree::Parse(const QByteArray& data) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString text = decoder(data);
  if (decoder.hasError()) return std::nullopt;
  const QStringList lines = text.split(QLatin1Char('\n'));
  if (lines.isEmpty() || lines.first().trimmed() != QLatin1String(kSignature)) return std::nullopt;
  SettingsTree tree;
  std::optional<QString> current;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    if (!tree.ParseLine(lines.at(i), current)) return std::nullopt;
  }
  return tree;
}

bool SettingsTree::ParseLine(const QString& rawLine, std::optional<QString>& current) {
  const QString line = rawLine.endsWith(QLatin1Char('\r')) ? rawLine.chopped(1) : rawLine;
  if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char(';'))) return true;
  if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
    current = CreateKey(line.mid(1, line.size() - 2)).path;
    return true;
  }
  qsizetype pos = 0;
  const std::optional<QString> name = ReadQuoted(line, pos);
  if (!current || !name || pos >= line.size() || line.at(pos) != QLatin1Char('=')) return false;
  std::optional<StoredValue> value = ParseData(line.mid(pos + 1));
  if (!value) return false;
  value->name = *name;
  Set(*current, *value);
  return true;
}

QByteArray SettingsTree::Serialize() const {
  QString out = QLatin1String(kSignature) + QLatin1Char('\n');
  for (const StoredKey& key : keys_) {
    out += QLatin1String("\n[") + key.path + QLatin1String("]\n");
    for (const StoredValue& value : key.values) {
      out += QLatin1Char('"') + Escape(value.name) + QLatin1String("\"=") + DataText(value) + QLatin1Char('\n');
    }
  }
  return out.toUtf8();
}

bool SettingsTree::KeyExists(const QString& path) const {
  const QString wanted = NormaliseKeyPath(path);
  if (wanted.isEmpty()) return false;
  for (const StoredKey& key : keys_) {
    if (SameName(key.path, wanted)) return true;
    if (key.path.startsWith(wanted + QLatin1Char('\\'), Qt::CaseInsensitive)) return true;
  }
  return false;
}

StoredKey* SettingsTree::FindKey(const QString& path) {
  const QString wanted = NormaliseKeyPath(path);
  for (StoredKey& key : keys_) {
    if (SameName(key.path, wanted)) return &key;
  }
  return nullptr;
}

const StoredKey* SettingsTree::FindKey(const QString& path) const {
  return const_cast<SettingsTree*>(this)->FindKey(path);
}

const StoredValue* SettingsTree::Find(const QString& path, const QString& name) const {
  const StoredKey* key = FindKey(path);
  if (!key) return nullptr;
  for (const StoredValue& value : key->values) {
    if (SameName(value.name, name)) return &value;
  }
  return nullptr;
}

StoredKey& SettingsTree::CreateKey(const QString& path) {
  if (StoredKey* key = FindKey(path)) return *key;
  keys_.push_back(StoredKey{NormaliseKeyPath(path), {}});
  return keys_.back();
}

void SettingsTree::Set(const QString& path, const StoredValue& value) {
  StoredKey& key = CreateKey(path);
  for (StoredValue& stored : key.values) {
    if (SameName(stored.name, value.name)) {
      const QString spelling = stored.name;
      stored = value;
      stored.name = spelling;
      return;
    }
  }
  key.values.push_back(value);
}

// ---- SettingsStore ---------------------------------------------------------

SettingsStore::SettingsStore(QString filePath) : path_(std::move(filePath)) {}

QString SettingsStore::DefaultPath() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return config + QStringLiteral("/Reelwise II/Settings.txt");
}

std::optional<SettingsTree> SettingsStore::ReadFile(bool& damaged) const {
  damaged = false;
  QFile file(path_);
  if (!file.exists()) return SettingsTree();
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;  // unreadable, not damaged
  const QByteArray data = file.readAll();
  if (data.trimmed().isEmpty()) return SettingsTree();
  std::optional<SettingsTree> tree = SettingsTree::Parse(data);
  damaged = !tree.has_value();
  return tree;
}

SettingsTree SettingsStore::Load() {
  setAside_.clear();
  bool damaged = false;
  std::optional<SettingsTree> tree = ReadFile(damaged);
  if (tree) return *tree;
  if (!damaged) return SettingsTree();
  StoreLock lock(path_ + QStringLiteral(".lock"));
  if (!lock.Locked()) return SettingsTree();
  // Another process may have repaired or replaced it meanwhile.
  tree = ReadFile(damaged);
  if (tree) return *tree;
  return damaged ? SetAsideDamaged() : SettingsTree();
}

SettingsTree SettingsStore::SetAsideDamaged() {
  for (int n = 1; n < 1000; ++n) {
    const QString aside = path_ + QStringLiteral(".damaged-%1").arg(n);
    if (QFileInfo::exists(aside)) continue;
    if (QFile::rename(path_, aside)) setAside_ = aside;
    break;
  }
  return SettingsTree();
}

bool SettingsStore::Update(const std::function<bool(SettingsTree&)>& change) {
  setAside_.clear();
  if (!QDir().mkpath(QFileInfo(path_).absolutePath())) return false;
  StoreLock lock(path_ + QStringLiteral(".lock"));
  if (!lock.Locked()) return false;
  bool damaged = false;
  std::optional<SettingsTree> tree = ReadFile(damaged);
  if (!tree && !damaged) return false;  // unreadable: never replace what we cannot read
  SettingsTree current = tree ? *tree : SetAsideDamaged();
  if (damaged && setAside_.isEmpty()) return false;
  if (!change(current)) return true;
  return Save(current);
}

bool SettingsStore::Save(const SettingsTree& tree) const {
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(tree.Serialize());
  return file.commit();
}
