#include "core/SettingsStore.h"

#include "core/NumericText.h"
#include "core/ShownNumbers.h"
#include "platform/Contract.h"
#include "platform/DragController.h"
#include "platform/OwnFileWrites.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <utility>

namespace {

constexpr const char* kSignature = "; Reelwise II settings";
// Far beyond any settings file the program writes (a few kilobytes).
constexpr qint64 kMaxFileBytes = 64LL << 20;

int64_t Nanoseconds(const timespec& time) { return int64_t(time.tv_sec) * 1000000000 + time.tv_nsec; }

FileStamp StampOf(const struct stat& info) {
  return {uint64_t(info.st_dev), uint64_t(info.st_ino), int64_t(info.st_size), Nanoseconds(info.st_mtim),
          Nanoseconds(info.st_ctim)};
}

// Up to `limit` bytes of the file. The first read asks for what the file
// held when it was looked at (and one byte more); a file that grew since is
// read on in small steps. A single read of `limit` bytes would reserve room
// for all of them first, however small the file.
QByteArray ReadAtMost(QFile& file, qint64 limit, qint64 expected) {
  constexpr qint64 kStep = 64 * 1024;
  QByteArray bytes = file.read(std::clamp<qint64>(expected + 1, 1, limit));
  while (bytes.size() < limit) {
    const QByteArray more = file.read(std::min<qint64>(limit - bytes.size(), kStep));
    if (more.isEmpty()) break;
    bytes += more;
  }
  return bytes;
}

struct CachedTree {
  FileStamp stamp;
  QByteArray bytes;
  std::shared_ptr<SettingsTree> tree;
};

// The last tree read or written of each settings file, shared by every store
// of the process (settings are read from more than one thread). The cache,
// its mutex and the empty tree live as long as the process and are never
// destroyed: objects destroyed at exit (the window manager saves its
// placement from its destructor) still read and write settings after the
// function statics made later than them are gone.
std::mutex& CacheMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

QHash<QString, CachedTree>& Cache() {
  static auto* cache = new QHash<QString, CachedTree>;
  return *cache;
}

std::shared_ptr<const SettingsTree> Remember(const QString& path, const FileStamp& stamp, const QByteArray& bytes,
                                             SettingsTree&& tree) {
  auto kept = std::make_shared<SettingsTree>(std::move(tree));
  const std::lock_guard<std::mutex> hold(CacheMutex());
  Cache().insert(path, CachedTree{stamp, bytes, kept});
  return kept;
}

// The tree an update edits: the cached one itself when no reader holds it
// (it leaves the cache until saved), else a copy. Parsing and copying a
// large file once per start is what keeps its start fast.
SettingsTree TreeToEdit(const QString& path, std::shared_ptr<const SettingsTree> read) {
  const std::lock_guard<std::mutex> hold(CacheMutex());
  const auto cached = Cache().find(path);
  if (cached != Cache().end() && cached->tree == read) {
    read.reset();
    if (cached->tree.use_count() == 1) {
      SettingsTree taken = std::move(*cached->tree);
      Cache().erase(cached);
      return taken;
    }
    return *cached->tree;
  }
  return *read;
}

std::shared_ptr<const SettingsTree> EmptyTree() {
  static const auto* empty = new std::shared_ptr<const SettingsTree>(std::make_shared<const SettingsTree>());
  return *empty;
}

using Change = std::function<bool(SettingsTree&)>;

// The changes to each settings file that could not be written when they
// were made, in their order, for every store of the process: another
// process held the store's lock past the limit. Each is kept until a later
// update, which holds the lock, writes it before its own change; every read
// sees them meanwhile. Guarded by the cache's mutex, and never destroyed
// either (see CacheMutex).
QHash<QString, std::vector<Change>>& Pending() {
  static auto* pending = new QHash<QString, std::vector<Change>>;
  return *pending;
}

void KeepPending(const QString& path, const Change& change) {
  const std::lock_guard<std::mutex> hold(CacheMutex());
  Pending()[path].push_back(change);
}

std::vector<Change> TakePending(const QString& path) {
  const std::lock_guard<std::mutex> hold(CacheMutex());
  return Pending().take(path);
}

// Changes taken to be written and not written go back before any kept since.
void PutBackPending(const QString& path, std::vector<Change> changes) {
  if (changes.empty()) return;
  const std::lock_guard<std::mutex> hold(CacheMutex());
  std::vector<Change>& kept = Pending()[path];
  changes.insert(changes.end(), kept.begin(), kept.end());
  kept = std::move(changes);
}

// The tree as it reads with the changes still to be written.
std::shared_ptr<const SettingsTree> WithPending(const QString& path, std::shared_ptr<const SettingsTree> tree) {
  std::vector<Change> changes;
  {
    const std::lock_guard<std::mutex> hold(CacheMutex());
    const auto found = Pending().constFind(path);
    if (found == Pending().constEnd()) return tree;
    changes = found.value();
  }
  auto changed = std::make_shared<SettingsTree>(*tree);
  for (const Change& change : changes) change(*changed);
  return changed;
}

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
std::optional<QString> ReadQuoted(QStringView line, qsizetype& pos) {
  if (pos >= line.size() || line.at(pos) != QLatin1Char('"')) return std::nullopt;
  QString out;
  for (++pos; pos < line.size(); ++pos) {
    const QChar c = line.at(pos);
    if (c == QLatin1Char('"')) {
      ++pos;
      return out;
    }
    if (c != QLatin1Char('\\')) {
      // Plain characters up to the next quote or escape are taken at once.
      qsizetype end = pos + 1;
      while (end < line.size() && line.at(end) != QLatin1Char('"') && line.at(end) != QLatin1Char('\\')) ++end;
      out += line.sliced(pos, end - pos);
      pos = end - 1;
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

std::optional<StoredValue> ParseData(QStringView data) {
  StoredValue value;
  if (data.startsWith(QLatin1Char('"'))) {
    qsizetype pos = 0;
    std::optional<QString> text = ReadQuoted(data, pos);
    if (!text || pos != data.size()) return std::nullopt;
    value.text = *text;
    return value;
  }
  if (data.startsWith(QLatin1String("dword:"))) {
    const QStringView digits = data.sliced(6);
    bool ok = false;
    const uint number = digits.toUInt(&ok, 16);
    if (!ok || digits.isEmpty() || digits.size() > 8) return std::nullopt;
    value.type = RegType::Dword;
    value.number = static_cast<int32_t>(number);
    return value;
  }
  if (data.startsWith(QLatin1String("hex:")) || data.startsWith(QLatin1String("hex("))) {
    value.type = RegType::Other;
    value.raw = data.toString();
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
// process cannot freeze every other one (a negative limit waits as long as
// it takes); flock ends with its process. The time is the program's clock,
// which tests drive.
class StoreLock {
 public:
  explicit StoreLock(const QString& lockPath, int64_t limitMs = SettingsStore::kLockLimitMs) {
    fd_ = OwnFileWrites::Open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    const uint64_t start = ctl::GetTickCount64();
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (limitMs >= 0 && ctl::GetTickCount64() - start > static_cast<uint64_t>(limitMs)) return;
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
  // The errno of a lock file that could not be opened; 0 otherwise.
  int Error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
  bool locked_ = false;
};

}  // namespace

QString NormaliseKeyPath(const QString& path) { return TrimChar(path, QLatin1Char('\\')); }

// ---- SettingsTree ----------------------------------------------------------

std::optional<SettingsTree> SettingsTree::Parse(const QByteArray& data) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString text = decoder(data);
  if (decoder.hasError()) return std::nullopt;
  const QList<QStringView> lines = QStringView(text).split(QLatin1Char('\n'));
  if (lines.isEmpty() || lines.first().trimmed() != QLatin1String(kSignature)) return std::nullopt;
  SettingsTree tree;
  std::optional<size_t> current;
  for (qsizetype i = 1; i < lines.size(); ++i) tree.ParseLine(lines.at(i), current);
  return tree;
}

// A named value whose data is of no form the program writes ("qword:...")
// is kept as a value of another type (it reads as empty, so its default
// applies); a line with no name of this form ("@=...") is kept as it
// stands. Either costs that line alone.
void SettingsTree::ParseLine(QStringView rawLine, std::optional<size_t>& current) {
  const QStringView line = rawLine.endsWith(QLatin1Char('\r')) ? rawLine.chopped(1) : rawLine;
  if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char(';'))) return;
  if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
    current = KeyIndex(CreateKey(line.sliced(1, line.size() - 2).toString()));
    return;
  }
  qsizetype pos = 0;
  const std::optional<QString> name = ReadQuoted(line, pos);
  if (!current || !name || pos >= line.size() || line.at(pos) != QLatin1Char('=')) {
    (current ? keys_[*current].unread : unreadBeforeKeys_).push_back(line.toString());
    return;
  }
  const QStringView data = line.sliced(pos + 1);
  std::optional<StoredValue> value = ParseData(data);
  if (!value) {
    value = StoredValue{};
    value->type = RegType::Other;
    value->raw = data.toString();
  }
  value->name = *name;
  SetAt(*current, *value);
}

QByteArray SettingsTree::Serialize() const {
  QString out = QLatin1String(kSignature) + QLatin1Char('\n');
  for (const QString& line : unreadBeforeKeys_) out += line + QLatin1Char('\n');
  for (const StoredKey& key : keys_) {
    out += QLatin1String("\n[") + key.path + QLatin1String("]\n");
    for (const StoredValue& value : key.values) {
      out += QLatin1Char('"') + Escape(value.name) + QLatin1String("\"=") + DataText(value) + QLatin1Char('\n');
    }
    for (const QString& line : key.unread) out += line + QLatin1Char('\n');
  }
  return out.toUtf8();
}

bool SettingsTree::KeyExists(const QString& path) const {
  const QString wanted = NormaliseKeyPath(path);
  return !wanted.isEmpty() && keysAndParents_.contains(wanted.toCaseFolded());
}

StoredKey* SettingsTree::FindKey(const QString& path) {
  const auto found = keyIndex_.constFind(NormaliseKeyPath(path).toCaseFolded());
  return found == keyIndex_.constEnd() ? nullptr : &keys_[found.value()];
}

const StoredKey* SettingsTree::FindKey(const QString& path) const {
  return const_cast<SettingsTree*>(this)->FindKey(path);
}

const StoredValue* SettingsTree::Find(const QString& path, const QString& name) const {
  const auto key = keyIndex_.constFind(NormaliseKeyPath(path).toCaseFolded());
  if (key == keyIndex_.constEnd()) return nullptr;
  const QHash<QString, size_t>& names = valueIndex_[key.value()];
  const auto value = names.constFind(name.toCaseFolded());
  return value == names.constEnd() ? nullptr : &keys_[key.value()].values[value.value()];
}

StoredKey& SettingsTree::CreateKey(const QString& path) {
  if (StoredKey* key = FindKey(path)) return *key;
  const QString normalised = NormaliseKeyPath(path);
  const QString folded = normalised.toCaseFolded();
  keyIndex_.insert(folded, keys_.size());
  keys_.push_back(StoredKey{normalised, {}});
  valueIndex_.emplace_back();
  for (qsizetype at = 0; at >= 0; at = folded.indexOf(QLatin1Char('\\'), at + 1)) {
    if (at > 0) keysAndParents_.insert(folded.left(at));
  }
  keysAndParents_.insert(folded);
  return keys_.back();
}

size_t SettingsTree::KeyIndex(const StoredKey& key) const { return static_cast<size_t>(&key - keys_.data()); }

bool SettingsTree::Set(const QString& path, const StoredValue& value) { return SetAt(KeyIndex(CreateKey(path)), value); }

bool SettingsTree::SetAt(size_t keyAt, const StoredValue& value) {
  StoredKey& key = keys_[keyAt];
  QHash<QString, size_t>& names = valueIndex_[keyAt];
  const QString folded = value.name.toCaseFolded();
  const auto existing = names.constFind(folded);
  if (existing == names.constEnd()) {
    names.insert(folded, key.values.size());
    key.values.push_back(value);
    return true;
  }
  StoredValue& stored = key.values[existing.value()];
  if (stored.type == value.type && stored.text == value.text && stored.number == value.number &&
      stored.raw == value.raw) {
    return false;
  }
  const QString spelling = stored.name;
  stored = value;
  stored.name = spelling;
  return true;
}

// ---- SettingsStore ---------------------------------------------------------

SettingsStore::SettingsStore(QString filePath) : path_(std::move(filePath)) {}

QString SettingsStore::DefaultPath() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return config + QStringLiteral("/Reelwise II/Settings.txt");
}

// Whether the path names something that is not a settings file: reading a
// device such as /dev/zero never ends, opening a FIFO waits for a writer,
// and a folder or a file of gigabytes is no settings file either. Such a
// path is left alone entirely.
bool SettingsStore::Refused() {
  refusal_.clear();
  struct stat info {};
  if (::stat(QFile::encodeName(path_).constData(), &info) != 0) return false;  // no file yet
  if (S_ISDIR(info.st_mode)) {
    refusal_ = QStringLiteral("it is a folder.");
  } else if (!S_ISREG(info.st_mode)) {
    refusal_ = QStringLiteral("it is not a regular file (a device, a pipe or a socket).");
  } else if (info.st_size > kMaxFileBytes) {
    refusal_ = QStringLiteral("it is far too large for a settings file (%1 MB).")
                   .arg(ShownNumbers::Count(info.st_size >> 20));
  }
  return !refusal_.isEmpty();
}

// The file's tree, parsed only when the file changed since it was last read.
// A reader takes the file's stamp for that; an update, which must never edit
// an old tree (a stamp can repeat within a clock tick), compares the bytes.
// Nothing when the file cannot be read; `damaged` when it does not parse.
std::shared_ptr<const SettingsTree> SettingsStore::ReadFile(bool& damaged, bool exact) {
  damaged = false;
  readFailure_.clear();
  readShortOfHandles_ = false;
  stamp_.reset();
  bytes_.clear();
  QFile file;
  if (!QFileInfo::exists(path_)) return EmptyTree();
  const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    // Unreadable, not damaged.
    const int error = errno;
    if (fd >= 0) ::close(fd);
    readFailure_ = error == EACCES || error == EPERM ? QStringLiteral("you have no permission to read it.")
                                                     : QStringLiteral("it cannot be read.");
    readShortOfHandles_ = error == EMFILE || error == ENFILE;
    return nullptr;
  }
  struct stat info {};
  if (::fstat(file.handle(), &info) != 0) return nullptr;
  stamp_ = StampOf(info);
  CachedTree cached;
  {
    const std::lock_guard<std::mutex> hold(CacheMutex());
    cached = Cache().value(path_);
  }
  if (!exact && cached.tree && cached.stamp == *stamp_) {
    bytes_ = cached.bytes;
    return cached.tree;
  }
  bytes_ = ReadAtMost(file, kMaxFileBytes + 1, info.st_size);
  if (bytes_.trimmed().isEmpty()) return EmptyTree();
  if (cached.tree && cached.bytes == bytes_) return cached.tree;
  std::optional<SettingsTree> parsed = SettingsTree::Parse(bytes_);
  damaged = !parsed.has_value();
  if (damaged) return nullptr;
  return Remember(path_, *stamp_, bytes_, std::move(*parsed));
}

std::shared_ptr<const SettingsTree> SettingsStore::Load() { return WithPending(path_, LoadStored()); }

std::shared_ptr<const SettingsTree> SettingsStore::LoadStored() {
  setAside_.clear();
  if (Refused()) return EmptyTree();
  bool damaged = false;
  std::shared_ptr<const SettingsTree> tree = ReadFile(damaged, false);
  if (tree) return tree;
  // With no file handle to spare, the tree read last stands.
  if (readShortOfHandles_) {
    const std::lock_guard<std::mutex> hold(CacheMutex());
    const CachedTree cached = Cache().value(path_);
    return cached.tree ? cached.tree : EmptyTree();
  }
  if (!damaged) {
    refusal_ = readFailure_;
    return EmptyTree();
  }
  StoreLock lock(path_ + QStringLiteral(".lock"), LockLimitHere());
  if (!lock.Locked()) return EmptyTree();
  // Another process may have repaired or replaced it meanwhile.
  tree = ReadFile(damaged, true);
  if (tree) return tree;
  return damaged ? SetAsideDamaged() : EmptyTree();
}

std::shared_ptr<const SettingsTree> SettingsStore::SetAsideDamaged() {
  for (int n = 1; n < 1000; ++n) {
    const QString aside = path_ + QStringLiteral(".damaged-%1").arg(n);
    if (QFileInfo::exists(aside)) continue;
    if (OwnFileWrites::Rename(QFile::encodeName(path_).constData(), QFile::encodeName(aside).constData()) == 0) {
      setAside_ = aside;
    }
    break;
  }
  return EmptyTree();
}

bool SettingsStore::Update(const std::function<bool(SettingsTree&)>& change, int64_t lockLimitMs) {
  setAside_.clear();
  writeFailure_.clear();
  if (Refused()) return false;
  const QString folderProblem = MakeFolderPath(QFileInfo(path_).absolutePath());
  if (!folderProblem.isEmpty()) {
    refusal_ = QStringLiteral("its folder cannot be made. ") + folderProblem;
    return false;
  }
  StoreLock lock(path_ + QStringLiteral(".lock"), lockLimitMs);
  if (!lock.Locked()) {
    // No lock file can be made beside the settings file: nor can the file.
    if (LastingFileError(lock.Error())) {
      refusal_ = QStringLiteral("it cannot be written. ") + FileErrorText(lock.Error());
      return false;
    }
    // Another process holds the lock past the limit (or its file cannot be
    // made just now): the change is kept, read as made, and written with
    // the next update that takes the lock.
    KeepPending(path_, change);
    return true;
  }
  if (Refused()) return false;
  bool damaged = false;
  std::shared_ptr<const SettingsTree> tree = ReadFile(damaged, true);
  if (!tree && readShortOfHandles_) {
    // No file handle to spare just now: the change is kept as for want of
    // the lock.
    KeepPending(path_, change);
    return true;
  }
  if (!tree && !damaged) {
    // Unreadable: never replace what we cannot read.
    refusal_ = readFailure_;
    return false;
  }
  if (damaged) {
    SetAsideDamaged();
    if (setAside_.isEmpty()) return false;
  }
  const bool fromFile = tree && tree != EmptyTree();
  SettingsTree current = fromFile ? TreeToEdit(path_, std::move(tree)) : SettingsTree();
  // The changes kept from before go first, in their order.
  std::vector<Change> pending = TakePending(path_);
  bool changed = false;
  for (const Change& kept : pending) changed = kept(current) || changed;
  changed = change(current) || changed;
  if (changed) {
    if (Save(std::move(current))) return true;
    PutBackPending(path_, std::move(pending));
    return false;
  }
  if (fromFile) Remember(path_, *stamp_, bytes_, std::move(current));
  return true;
}

// The window stands unpainted while its thread waits: a change it makes
// while another process holds the store is kept (Update) after long work's
// grace rather than the whole limit.
int64_t SettingsStore::LockLimitHere() { return contract::OnUiThread() ? kWindowLockLimitMs : kLockLimitMs; }

bool SettingsStore::WritePending(int64_t lockLimitMs) {
  if (!HasPending()) return true;
  return Update([](SettingsTree&) { return false; }, lockLimitMs) && !HasPending();
}

bool SettingsStore::HasPending() const {
  const std::lock_guard<std::mutex> hold(CacheMutex());
  return Pending().contains(path_);
}

bool SettingsStore::ProbeWrite() {
  if (Refused()) return false;
  WholeFileWriter probe(path_);
  if (probe.Open() || !probe.Lasting()) return true;
  refusal_ = QStringLiteral("it cannot be written. ") + probe.ErrorString();
  return false;
}

bool SettingsStore::Save(SettingsTree&& tree) {
  const QByteArray bytes = tree.Serialize();
  WholeFileWriter file(path_);
  if (!(file.Open() && file.Write(bytes) && file.Commit())) {
    if (file.Lasting()) {
      refusal_ = QStringLiteral("it cannot be written. ") + file.ErrorString();
    } else {
      writeFailure_ = file.ErrorString();
    }
    return false;
  }
  struct stat info {};
  if (::stat(QFile::encodeName(path_).constData(), &info) == 0) Remember(path_, StampOf(info), bytes, std::move(tree));
  return true;
}
