#include "player/BoardFrames.h"

#include "core/modRegistry.h"
#include "platform/LongWork.h"
#include "player/FrameReader.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

// The frames read in one go at most take this much memory.
constexpr qsizetype kAheadBytes = 32 * 1024 * 1024;

// What a read on the worker thread fills in; it outlives a wait that gave
// up on it.
struct Batch {
  std::mutex mutex;
  std::vector<std::optional<FrameReader::Frame>> frames;
  std::atomic<int> done{0};
  int seeks = 0;
};

}  // namespace

BoardFrames::BoardFrames(const QString& path, clsRWPlayer& player, std::vector<double> times, QSize size)
    : player_(player),
      times_(std::move(times)),
      size_(size),
      reader_(std::make_shared<FrameReader>(path, player.FrameRate())),
      read_(times_.size()) {
  reads_ = reader_->IsOpen();
  if (!reads_) reader_.reset();
}

BoardFrames::~BoardFrames() = default;

BoardFrames::Taken BoardFrames::Take(size_t i, const std::function<void(int)>& progress) {
  if (i >= times_.size()) return {};
  if (!reads_) {
    Taken taken;
    player_.SetPosition(times_[i]);
    taken.picture = player_.GrabFrame();
    taken.seconds = player_.Position();
    return taken;
  }
  // Once the program is to end nothing more is read.
  if (!read_[i] && reader_ && !LongWork::EndRequested()) ReadFrom(i, progress);
  Taken taken = read_[i].value_or(Taken{});
  read_[i].reset();
  return taken;
}

// Reads frame `first` and those after it that fit in kAheadBytes.
void BoardFrames::ReadFrom(size_t first, const std::function<void(int)>& progress) {
  const int rotation = player_.Rotation();
  const QSize unturned = size_.isEmpty() ? QSize() : cMpvCore::Turned(size_, rotation);
  // Frames at their own size count as large as 4K.
  const QSize largest = unturned.isEmpty() ? QSize(3840, 2160) : unturned;
  const qsizetype frameBytes = std::max<qsizetype>(1, static_cast<qsizetype>(largest.width()) * largest.height() * 4);
  const size_t fit = static_cast<size_t>(std::max<qsizetype>(1, kAheadBytes / frameBytes));
  const size_t count = std::min(times_.size() - first, fit);
  const std::vector<double> times(times_.begin() + static_cast<std::ptrdiff_t>(first),
                                  times_.begin() + static_cast<std::ptrdiff_t>(first + count));
  const double after = first + count < times_.size() ? times_[first + count] : FrameReader::kNothingAfter;
  const int timeoutS = std::max(1, modRegistry::GetSettingLong(kRegOther, QStringLiteral("ThumbnailTimeout")));
  // The worker owns what it reads into: a read given up ends by itself.
  auto batch = std::make_shared<Batch>();
  batch->frames.resize(count);
  const std::shared_ptr<FrameReader> reader = reader_;
  LongWork::Options options;
  options.quietLimitMs = timeoutS * 1000;
  options.report = [&](int) {
    if (progress) progress(static_cast<int>(first) + batch->done.load());
  };
  const bool finished = LongWork::Run(
      [reader, batch, times, after, unturned](LongWork::Job& job) {
        const auto keepReading = [&job] {
          job.Step();
          return !job.Cancelled();
        };
        for (size_t j = 0; j < times.size() && !job.Cancelled(); ++j) {
          auto frame = reader->FrameAt(times[j], unturned, keepReading, j + 1 < times.size() ? times[j + 1] : after);
          const bool got = frame.has_value();
          const std::lock_guard<std::mutex> lock(batch->mutex);
          batch->frames[j] = std::move(frame);
          batch->seeks = reader->Seeks();
          ++batch->done;
          // Without a frame here there is none later either.
          if (!got) break;
        }
      },
      options);
  const std::lock_guard<std::mutex> lock(batch->mutex);
  seeks_ = batch->seeks;
  for (size_t j = 0; j < count; ++j) {
    if (!batch->frames[j]) continue;
    Taken taken;
    taken.picture = cMpvCore::Turned(batch->frames[j]->picture, rotation);
    taken.seconds = batch->frames[j]->seconds;
    read_[first + j] = std::move(taken);
  }
  // A read given up leaves the reader to its worker; after a frame missing
  // (the file gave none, the program is to end) no later one is read.
  if (!finished || !batch->frames[count - 1]) reader_.reset();
}
