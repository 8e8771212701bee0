#include "tests/support/PowerCut.h"

#include <QFile>

#include <mutex>
#include <set>
#include <vector>

namespace rwtest {

namespace {

// What must be undone of a call the disk has not kept yet. Files are told
// apart by a number that follows them through renames, as an inode does.
struct Record {
  enum Kind { Written, Truncated, Dirty, Created, Renamed } kind;
  int file = -1;
  long long offset = 0;
  long long amount = 0;
  QByteArray old;
  long long oldSize = 0;
  std::string name;  // Created: the new name; Renamed: the target
  std::string from;  // Renamed
  int replaced = -1;  // Renamed: the file that stood at the target
};

struct Disk {
  bool holding = false;
  bool made = false;
  int next = 0;
  std::map<std::string, int> names;
  std::set<std::string> touched;
  // The bytes of files a rename put out of reach of their name.
  std::map<int, std::optional<QByteArray>> replaced;
  std::vector<Record> records;
  std::set<int> dirty;
  std::map<QString, std::optional<QByteArray>> image;
};

struct State : Disk {
  std::mutex mutex;
};

State& TheState() {
  static State state;
  return state;
}

bool Recording(const Disk& disk) { return disk.holding && !disk.made; }

// Notes a call on the disk while a cut is armed and not yet made.
template <typename Note>
void Hold(Note&& note) {
  State& state = TheState();
  const std::lock_guard lock(state.mutex);
  if (Recording(state)) note(state);
}

std::optional<QByteArray> Bytes(const std::string& name) {
  QFile file(QString::fromStdString(name));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll();
}

int FileOf(Disk& disk, const std::string& name) {
  disk.touched.insert(name);
  const auto [at, added] = disk.names.try_emplace(name, disk.next);
  if (added) ++disk.next;
  return at->second;
}

std::string FolderOf(const std::string& name) { return name.substr(0, name.rfind('/')); }

// Undoes one record on the image under way; `torn`: the write lands half.
void Undo(const Record& r, std::map<std::string, int>& names, std::map<int, std::optional<QByteArray>>& bytes,
          bool torn) {
  std::optional<QByteArray>& file = bytes[r.file];
  switch (r.kind) {
    case Record::Written: {
      if (!file) return;
      const long long kept = torn ? r.amount / 2 : 0;
      if (kept < r.old.size()) file->replace(r.offset + kept, r.old.size() - kept, r.old.mid(kept));
      const long long size = std::max(r.oldSize, torn ? r.offset + kept : 0);
      if (file->size() > size) file->truncate(size);
      return;
    }
    case Record::Truncated:
      if (file) *file = file->left(r.oldSize - r.old.size()) + r.old;
      return;
    case Record::Dirty:
      if (file) file->truncate(0);
      return;
    case Record::Created:
      if (names.count(r.name) && names[r.name] == r.file) names.erase(r.name);
      return;
    case Record::Renamed:
      if (!names.count(r.name) || names[r.name] != r.file) return;
      names.erase(r.name);
      names[r.from] = r.file;
      if (r.replaced >= 0) names[r.name] = r.replaced;
      return;
  }
}

}  // namespace

void PowerCut::Start() {
  State& state = TheState();
  const std::lock_guard lock(state.mutex);
  static_cast<Disk&>(state) = Disk{};
  state.holding = true;
}

void PowerCut::Stop() {
  State& state = TheState();
  const std::lock_guard lock(state.mutex);
  state.holding = false;
}

bool PowerCut::Holding() {
  bool holding = false;
  Hold([&](Disk&) { holding = true; });
  return holding;
}

void PowerCut::Write(const std::string& path, long long offset, long long amount, const QByteArray& old,
                     long long oldSize) {
  Hold([&](Disk& disk) { disk.records.push_back({Record::Written, FileOf(disk, path), offset, amount, old, oldSize}); });
}

void PowerCut::Truncate(const std::string& path, const QByteArray& tail, long long oldSize) {
  Hold([&](Disk& disk) { disk.records.push_back({Record::Truncated, FileOf(disk, path), 0, 0, tail, oldSize}); });
}

void PowerCut::Sync(const std::string& path, bool withName) {
  Hold([&](Disk& disk) {
    if (!disk.names.count(path)) return;
    const int file = disk.names[path];
    std::erase_if(disk.records, [&](const Record& r) {
      return r.file == file && r.kind != Record::Renamed && (r.kind != Record::Created || withName);
    });
  });
}

void PowerCut::Created(const std::string& path) {
  Hold([&](Disk& disk) {
    disk.names.erase(path);
    disk.records.push_back({Record::Created, FileOf(disk, path), 0, 0, {}, 0, path});
  });
}

void PowerCut::Deleted(const std::string& path) {
  Hold([&](Disk& disk) {
    disk.touched.insert(path);
    disk.names.erase(path);
  });
}

void PowerCut::Renamed(const std::string& from, const std::string& to) {
  Hold([&](Disk& disk) {
    Record r{Record::Renamed, FileOf(disk, from), 0, 0, {}, 0, to, from};
    if (std::optional<QByteArray> there = Bytes(to)) {
      r.replaced = FileOf(disk, to);
      disk.replaced[r.replaced] = std::move(there);
    }
    disk.touched.insert(to);
    disk.names.erase(from);
    disk.names[to] = r.file;
    disk.records.push_back(std::move(r));
  });
}

void PowerCut::FolderSynced(const std::string& folder) {
  Hold([&](Disk& disk) {
    std::erase_if(disk.records, [&](const Record& r) {
      return (r.kind == Record::Created || r.kind == Record::Renamed) && FolderOf(r.name) == folder;
    });
  });
}

void PowerCut::WroteTo(int fd) {
  Hold([&](Disk& disk) { disk.dirty.insert(fd); });
}

void PowerCut::SyncedFd(int fd) {
  Hold([&](Disk& disk) { disk.dirty.erase(fd); });
}

void PowerCut::Closed(int fd, const std::string& path) {
  Hold([&](Disk& disk) {
    if (disk.dirty.erase(fd) && !path.empty()) disk.records.push_back({Record::Dirty, FileOf(disk, path)});
  });
}

void PowerCut::Cut(bool torn) {
  Hold([torn](Disk& disk) {
    disk.made = true;
    std::map<int, std::optional<QByteArray>> bytes = disk.replaced;
    for (const auto& [name, file] : disk.names) bytes[file] = Bytes(name);
    std::map<std::string, int> names = disk.names;
    // Torn: the unsynced writes to the file written last landed but the
    // last of them, which landed half; those to other files are lost.
    size_t last = disk.records.size();
    for (size_t i = 0; i < disk.records.size(); ++i) {
      if (disk.records[i].kind == Record::Written) last = i;
    }
    const int lastFile = last < disk.records.size() ? disk.records[last].file : -1;
    for (size_t i = disk.records.size(); i-- > 0;) {
      const Record& r = disk.records[i];
      const bool data = r.kind == Record::Written || r.kind == Record::Truncated || r.kind == Record::Dirty;
      if (torn && data && r.file == lastFile && i != last) continue;
      Undo(r, names, bytes, torn && i == last);
    }
    for (const std::string& name : disk.touched) {
      disk.image[QString::fromStdString(name)] = names.count(name) ? bytes[names[name]] : std::nullopt;
    }
  });
}

bool PowerCut::Made() {
  State& state = TheState();
  const std::lock_guard lock(state.mutex);
  return state.made;
}

std::map<QString, std::optional<QByteArray>> PowerCut::Image() {
  State& state = TheState();
  const std::lock_guard lock(state.mutex);
  return state.image;
}

}  // namespace rwtest
