#include "platform/MountWatcher.h"

#include <QDir>

#include <algorithm>

MountWatcher::MountWatcher(Listener listener) : listener_(std::move(listener)) {
  burst_.setSingleShot(true);
  burst_.setInterval(kBurstMilliseconds);
  connect(&burst_, &QTimer::timeout, this, &MountWatcher::ReportBurst);
}

MountWatcher::~MountWatcher() = default;

bool MountWatcher::Start() {
  if (Watching()) return true;
  mountinfo_.setFileName(QDir::cleanPath(MountTable::SystemRoot() + QStringLiteral("/proc/self/mountinfo")));
  if (!mountinfo_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return false;
  // The kernel raises POLLPRI (with POLLERR) on the open file when the table
  // changes, and clears it once a poll has seen it, so nothing needs to be
  // read from this descriptor. Qt's Exception notifier waits for exactly
  // that priority event; a plain file (a test's table) never raises it.
  notifier_ = std::make_unique<QSocketNotifier>(mountinfo_.handle(), QSocketNotifier::Exception);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &MountWatcher::Recheck);
  known_ = ReadDrives({});
  return true;
}

// The mounts that hold files now, each with its kind: a mount known before
// keeps the kind judged then, a new one is judged now.
std::vector<MountWatcher::KnownMount> MountWatcher::ReadDrives(const std::vector<KnownMount>& previous) {
  std::vector<KnownMount> drives;
  for (MountEntry& mount : MountTable::Drives()) {
    const auto before = std::find_if(previous.begin(), previous.end(),
                                     [&](const KnownMount& known) { return known.mount == mount; });
    const MountKind kind = before != previous.end() ? before->kind : MountTable::KindOf(mount);
    drives.push_back({std::move(mount), kind});
  }
  return drives;
}

// Matched as multisets: the same filesystem may be mounted twice at one
// place, and one of the two may go. A medium exchanged is seen as the old one
// gone, then the new one there.
std::vector<MountChange> MountWatcher::Changes(const std::vector<KnownMount>& before,
                                               const std::vector<KnownMount>& now) {
  std::vector<bool> stays(before.size(), false);
  std::vector<MountChange> added;
  for (const KnownMount& mount : now) {
    size_t i = 0;
    while (i < before.size() && (stays[i] || !(before[i].mount == mount.mount))) ++i;
    if (i < before.size()) {
      stays[i] = true;
    } else {
      added.push_back({mount.mount, mount.kind, true});
    }
  }
  std::vector<MountChange> changes;
  for (size_t i = 0; i < before.size(); ++i) {
    if (!stays[i]) changes.push_back({before[i].mount, before[i].kind, false});
  }
  changes.insert(changes.end(), added.begin(), added.end());
  return changes;
}

void MountWatcher::Recheck() {
  if (!Watching()) return;
  std::vector<KnownMount> now = ReadDrives(known_);
  const std::vector<MountChange> changes = Changes(known_, now);
  known_ = std::move(now);
  if (changes.empty()) return;
  pending_.insert(pending_.end(), changes.begin(), changes.end());
  if (!burst_.isActive()) burst_.start();
}

void MountWatcher::ReportBurst() {
  std::vector<MountChange> changes;
  changes.swap(pending_);
  if (!changes.empty() && listener_) listener_(changes);
}
