#include "import/modFolderScan.h"

#include "core/ShownNumbers.h"
#include "platform/DragController.h"
#include "platform/MountTable.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace modFolderScan {

namespace {

constexpr int kReasons = 5;
constexpr qsizetype kExamplesPerReason = 3;
constexpr uint64_t kYieldIntervalMs = 50;
constexpr QLatin1StringView kItemSeparator("???");
constexpr QLatin1StringView kLineBreak("\r\n");
constexpr QLatin1StringView kExampleIndent("     ");

// The line of the report for each reason, for one entry and for several.
struct ReasonText {
  const char* one;
  const char* many;
};
constexpr ReasonText kReasonTexts[kReasons] = {
    {"%1 symbolic link (not followed)", "%1 symbolic links (not followed)"},
    {"%1 folder on another mount (scan it on its own)", "%1 folders on another mount (scan those on their own)"},
    {"%1 folder that could not be read", "%1 folders that could not be read"},
    {"%1 name not valid UTF-8 or holding a backslash", "%1 names not valid UTF-8 or holding a backslash"},
    {"%1 entry that is no file (a pipe, socket or device)", "%1 entries that are no files (pipes, sockets or devices)"},
};

// A name as the system gives it, decoded from UTF-8 exactly (a leading byte
// order mark is kept, nothing is normalised); `valid` is false when the bytes
// are not strict UTF-8, and the bad bytes are then replacement characters.
QString DecodedName(const QByteArray& name, bool& valid) {
  QStringDecoder decoder(QStringDecoder::Utf8,
                         QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString text = decoder(name);
  valid = !decoder.hasError();
  return text;
}

// A name as the report shows it, whether it is valid UTF-8 or not.
QString DecodedName(const QByteArray& name) {
  bool valid = false;
  return DecodedName(name, valid);
}

// A name the program can store and show: UTF-8 without a backslash, which
// the catalogue would read as a folder separator.
bool UsableName(const QByteArray& name, bool validUtf8) { return validUtf8 && !name.contains('\\'); }

// The name folded for a case-insensitive comparison, one code point a place,
// so that "?" stands for one character.
std::u32string Folded(const QString& text) {
  std::u32string folded;
  for (const char32_t c : text.toUcs4()) folded += QChar::toCaseFolded(c);
  return folded;
}

// "*" and "?" against the whole name. A "*" of the pattern is always a
// wildcard, also where the name itself holds a "*" at that place.
bool GlobMatches(const std::u32string& name, const std::u32string& glob) {
  size_t n = 0;
  size_t g = 0;
  size_t starAt = std::u32string::npos;  // the last "*" seen, to try it on one more character
  size_t starName = 0;
  while (n < name.size()) {
    if (g < glob.size() && glob[g] == U'*') {
      starAt = g++;
      starName = n;
    } else if (g < glob.size() && (glob[g] == U'?' || glob[g] == name[n])) {
      ++n;
      ++g;
    } else if (starAt != std::u32string::npos) {
      g = starAt + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (g < glob.size() && glob[g] == U'*') ++g;
  return g == glob.size();
}

// A folder's path as the report shows it: without its trailing "/".
QString FolderShown(const QString& folder) { return folder.size() > 1 ? folder.chopped(1) : folder; }

// One entry of a folder as it stands, links not followed.
struct Entry {
  QByteArray name;
  mode_t mode = 0;
  dev_t device = 0;
  qint64 size = 0;
};

// A folder opened for listing; -1 when it cannot be. The folder chosen by
// the user may be reached through a link; a sub-folder never is.
int OpenFolder(const QByteArray& path, bool followLink) {
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
  return ::open(path.constData(), flags);
}

class Walker {
 public:
  Walker(const ScanOptions& options, QStringList& queue, SkippedEntries& skips)
      : options_(options), queue_(queue), skips_(skips), lastYield_(ctl::GetTickCount64()) {
    // Read once for the walk: a folder is a mount point when
    // MountTable::MountAt would find a mount there.
    for (const MountEntry& mount : MountTable::Read()) mountPoints_.insert(mount.mountPoint);
  }

  void WalkTop(const QString& folder) {
    const QByteArray raw = QFile::encodeName(folder);
    const int fd = OpenFolder(raw, true);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
      if (fd >= 0) ::close(fd);
      skips_.Add(SkipReason::Unreadable, FolderShown(folder));
      return;
    }
    device_ = info.st_dev;
    Walk(fd, raw, folder);
  }

 private:
  // `raw` and `folder` are the same path with a trailing "/": as bytes to
  // open, and as text for the queue.
  void Walk(int fd, const QByteArray& raw, const QString& folder) {
    bool complete = true;
    const std::vector<Entry> entries = ReadEntries(fd, complete);
    if (!complete) skips_.Add(SkipReason::Unreadable, FolderShown(folder));
    for (const Entry& entry : entries) {
      Take(entry, raw, folder);
      Tick();
    }
  }

  // The entries of the folder but hidden ones, in byte order of their names;
  // closes `fd`. `complete` is false when some could not be listed or examined.
  std::vector<Entry> ReadEntries(int fd, bool& complete) {
    std::vector<Entry> entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(fd), &::closedir);
    if (!dir) {
      ::close(fd);
      complete = false;
      return entries;
    }
    for (;;) {
      Tick();
      errno = 0;
      const dirent* found = ::readdir(dir.get());
      if (!found) {
        if (errno != 0) complete = false;
        break;
      }
      if (found->d_name[0] == '.') continue;
      struct stat info {};
      if (::fstatat(::dirfd(dir.get()), found->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
        entries.push_back({QByteArray(found->d_name), info.st_mode, info.st_dev, qint64(info.st_size)});
      } else if (errno != ENOENT) {  // an entry removed meanwhile is simply gone
        complete = false;
      }
    }
    std::ranges::sort(entries, {}, &Entry::name);
    return entries;
  }

  void Take(const Entry& entry, const QByteArray& raw, const QString& folder) {
    if (S_ISLNK(entry.mode)) {
      skips_.Add(SkipReason::SymbolicLink, folder + DecodedName(entry.name));
    } else if (S_ISDIR(entry.mode)) {
      if (options_.recursive) TakeFolder(entry, raw, folder);
    } else if (S_ISREG(entry.mode)) {
      TakeFile(entry, folder);
    } else if (const QString name = DecodedName(entry.name); MatchesPattern(name, options_.pattern)) {
      skips_.Add(SkipReason::NoFile, folder + name);
    }
  }

  void TakeFile(const Entry& entry, const QString& folder) {
    bool valid = false;
    const QString name = DecodedName(entry.name, valid);
    if (!MatchesPattern(name, options_.pattern)) return;
    if (!UsableName(entry.name, valid)) {
      skips_.Add(SkipReason::BadName, folder + name);
      return;
    }
    queue_.append(MakeQueueItem(entry.size, folder + name));
  }

  void TakeFolder(const Entry& entry, const QByteArray& raw, const QString& folder) {
    bool valid = false;
    const QString path = folder + DecodedName(entry.name, valid);
    if (!UsableName(entry.name, valid)) {
      skips_.Add(SkipReason::BadName, path);
    } else if (entry.device != device_ || mountPoints_.contains(path)) {
      skips_.Add(SkipReason::OtherMount, path);
    } else if (const int fd = OpenFolder(raw + entry.name, false); fd < 0) {
      skips_.Add(SkipReason::Unreadable, path);
    } else {
      Walk(fd, raw + entry.name + '/', path + QLatin1Char('/'));
    }
  }

  // Hands control to the caller once 50 ms of walking have passed since it
  // last had it; the time the caller keeps it is not walking. The time is
  // the program's clock, which tests drive.
  void Tick() {
    if (!options_.yield || ctl::GetTickCount64() - lastYield_ < kYieldIntervalMs) return;
    options_.yield();
    lastYield_ = ctl::GetTickCount64();
  }

  const ScanOptions& options_;
  QStringList& queue_;
  SkippedEntries& skips_;
  uint64_t lastYield_;
  dev_t device_ = 0;
  QSet<QString> mountPoints_;
};

}  // namespace

int SkippedEntries::Total() const {
  int total = 0;
  for (const int n : count) total += n;
  return total;
}

void SkippedEntries::Add(SkipReason reason, const QString& path) {
  const auto at = static_cast<size_t>(reason);
  ++count[at];
  if (examples[at].size() < kExamplesPerReason) examples[at].append(path);
}

QString SkippedEntries::Report() const {
  if (Total() == 0) return {};
  QStringList lines = {QStringLiteral("Some entries were not scanned:"), QString()};
  for (size_t at = 0; at < kReasons; ++at) {
    if (count[at] == 0) continue;
    const ReasonText& text = kReasonTexts[at];
    lines.append(QString::fromLatin1(count[at] == 1 ? text.one : text.many).arg(ShownNumbers::Count(count[at])));
    for (const QString& path : examples[at]) lines.append(kExampleIndent + path);
  }
  return lines.join(kLineBreak);
}

void ScanFolder(const QString& folder, const ScanOptions& options, QStringList& queue, SkippedEntries& skips) {
  const QString withSlash = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
  Walker(options, queue, skips).WalkTop(withSlash);
}

bool MatchesPattern(const QString& fileName, const QString& pattern) {
  const std::u32string name = Folded(fileName);
  for (const QString& piece : pattern.split(QLatin1Char(';'))) {
    const QString glob = piece.trimmed();
    if (!glob.isEmpty() && GlobMatches(name, Folded(glob))) return true;
  }
  return false;
}

QString MakeQueueItem(qint64 size, const QString& path) { return QString::number(size) + kItemSeparator + path; }

bool SplitQueueItem(const QString& item, qint64& size, QString& path) {
  const qsizetype at = item.indexOf(kItemSeparator);
  if (at < 0) return false;
  bool ok = false;
  const qint64 parsed = QStringView(item).left(at).toLongLong(&ok);
  if (!ok) return false;
  size = parsed;
  path = item.mid(at + kItemSeparator.size());
  return true;
}

}  // namespace modFolderScan
