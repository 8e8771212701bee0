#include "tests/support/DeadMount.h"

#include "tests/support/EventLoopWaits.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <linux/fuse.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rwtest {

namespace {

QString SystemError(const char* what) { return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno))); }

}  // namespace

DeadMount::DeadMount(const QString& folder, int releaseAfterMs) : folder_(folder) {
  fd_ = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
  if (fd_ < 0) {
    problem_ = SystemError("/dev/fuse cannot be opened");
    return;
  }
  const QByteArray options = QStringLiteral("fd=%1,rootmode=40000,user_id=%2,group_id=%3")
                                 .arg(fd_)
                                 .arg(::getuid())
                                 .arg(::getgid())
                                 .toLatin1();
  if (::mount("rwtest", QFile::encodeName(folder).constData(), "fuse.rwtest", MS_NOSUID | MS_NODEV,
              options.constData()) != 0) {
    problem_ = SystemError("no FUSE mount is allowed here");
    ::close(fd_);
    fd_ = -1;
    return;
  }
  mounted_ = true;
  server_ = std::thread([this] { Serve(); });
  watchdog_ = std::thread([this, releaseAfterMs] {
    std::unique_lock<std::mutex> lock(mutex_);
    if (ending_.wait_for(lock, std::chrono::milliseconds(releaseAfterMs), [this] { return stopping_.load(); })) return;
    lock.unlock();
    Release();
  });
}

DeadMount::~DeadMount() {
  if (!mounted_) return;
  Release();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  ending_.notify_all();
  watchdog_.join();
  ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
  server_.join();
  ::close(fd_);
}

void DeadMount::Release() {
  const std::lock_guard<std::mutex> lock(mutex_);
  released_ = true;
  for (const uint64_t unique : waiting_) AnswerError(unique, EIO);
  waiting_.clear();
}

bool DeadMount::ReleaseAndOutliveWaiters() {
  Release();
  std::vector<uint32_t> threads;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    threads = waiters_;
  }
  const auto waiterLives = [&threads] {
    return std::any_of(threads.begin(), threads.end(), [](uint32_t thread) {
      return QFileInfo::exists(QStringLiteral("/proc/self/task/%1").arg(thread));
    });
  };
  QElapsedTimer clock;
  clock.start();
  while (waiterLives() && clock.elapsed() < kWaitCeilingMs) QThread::msleep(10);
  return !waiterLives();
}

int DeadMount::Unanswered() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(waiting_.size());
}

// Reads the kernel's requests until the object ends; the poll lets the
// thread see the end without a request to wake it.
void DeadMount::Serve() {
  std::vector<char> buffer(FUSE_MIN_READ_BUFFER + 256 * 1024);
  while (!stopping_) {
    pollfd ready{fd_, POLLIN, 0};
    if (::poll(&ready, 1, 100) <= 0) continue;
    const ssize_t size = ::read(fd_, buffer.data(), buffer.size());
    if (size < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == ENOENT) continue;
      return;  // ENODEV: unmounted
    }
    if (static_cast<size_t>(size) < sizeof(fuse_in_header)) continue;
    fuse_in_header header{};
    std::memcpy(&header, buffer.data(), sizeof header);
    if (header.opcode == FUSE_INIT) {
      AnswerInit(header.unique);
    } else if (header.opcode == FUSE_GETATTR && header.nodeid == FUSE_ROOT_ID) {
      AnswerRootAttributes(header.unique);
    } else if (header.opcode != FUSE_FORGET && header.opcode != FUSE_BATCH_FORGET &&
               header.opcode != FUSE_INTERRUPT) {  // those three are answered by no one
      const std::lock_guard<std::mutex> lock(mutex_);
      if (released_) {
        AnswerError(header.unique, EIO);
      } else {
        waiting_.push_back(header.unique);
        waiters_.push_back(header.pid);
      }
    }
  }
}

void DeadMount::Answer(const void* data, size_t size) { [[maybe_unused]] const ssize_t written = ::write(fd_, data, size); }

// A reply to the request `unique`: the header, then `body`.
template <typename Body>
void DeadMount::AnswerWith(uint64_t unique, const Body& body) {
  struct {
    fuse_out_header header;
    Body body;
  } reply{};
  reply.header.len = sizeof reply;
  reply.header.unique = unique;
  reply.body = body;
  Answer(&reply, sizeof reply);
}

void DeadMount::AnswerError(uint64_t unique, int error) {
  fuse_out_header header{};
  header.len = sizeof header;
  header.error = -error;
  header.unique = unique;
  Answer(&header, sizeof header);
}

void DeadMount::AnswerInit(uint64_t unique) {
  fuse_init_out init{};
  init.major = FUSE_KERNEL_VERSION;
  init.minor = 31;
  init.max_write = 64 * 1024;
  init.max_readahead = 64 * 1024;
  AnswerWith(unique, init);
}

void DeadMount::AnswerRootAttributes(uint64_t unique) {
  fuse_attr_out attributes{};
  attributes.attr.ino = FUSE_ROOT_ID;
  attributes.attr.mode = S_IFDIR | 0755;
  attributes.attr.nlink = 2;
  attributes.attr.uid = ::getuid();
  attributes.attr.gid = ::getgid();
  attributes.attr.blksize = 4096;
  AnswerWith(unique, attributes);
}

class WaitWatch::Receiver : public QObject {
 public:
  static inline const QEvent::Type kTurn = static_cast<QEvent::Type>(QEvent::registerEventType());
  int run = 0;
  int longestRun = 0;

  void Post() {
    QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest));
    QCoreApplication::postEvent(this, new QEvent(kTurn));
  }

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::UpdateRequest) {
      longestRun = std::max(longestRun, ++run);
      Post();
    } else if (e->type() == kTurn) {
      run = 0;
    }
    return true;
  }
};

WaitWatch::WaitWatch() : receiver_(std::make_unique<Receiver>()) { receiver_->Post(); }

WaitWatch::~WaitWatch() = default;

bool WaitWatch::PaintedAlone() const { return receiver_->longestRun >= 5; }

}  // namespace rwtest
