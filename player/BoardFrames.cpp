#include "player/BoardFrames.h"

#include "core/modRegistry.h"
#include "platform/LongWork.h"
#include "player/FrameReader.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"

#include <optional>

BoardFrames::BoardFrames(const QString& path, clsRWPlayer& player)
    : player_(player), reader_(std::make_shared<FrameReader>(path, player.FrameRate())) {
  reads_ = reader_->IsOpen();
  if (!reads_) reader_.reset();
}

BoardFrames::~BoardFrames() = default;

BoardFrames::Taken BoardFrames::Take(double seconds, QSize size) {
  Taken taken;
  if (!reads_) {
    player_.SetPosition(seconds);
    taken.picture = player_.GrabFrame();
    taken.seconds = player_.Position();
    return taken;
  }
  if (!reader_) return taken;
  const int rotation = player_.Rotation();
  const QSize unturned = size.isEmpty() ? QSize() : cMpvCore::Turned(size, rotation);
  const int timeoutS = std::max(1, modRegistry::GetSettingLong(kRegOther, QStringLiteral("ThumbnailTimeout")));
  // The worker owns what it reads into: a read given up ends by itself.
  auto frame = std::make_shared<std::optional<FrameReader::Frame>>();
  const std::shared_ptr<FrameReader> reader = reader_;
  const bool finished = LongWork::Run(
      [reader, frame, seconds, unturned](LongWork::Job& job) {
        *frame = reader->FrameAt(seconds, unturned, [&job] {
          job.Step();
          return !job.Cancelled();
        });
      },
      {.quietLimitMs = timeoutS * 1000});
  if (!finished) {
    reader_.reset();
    return taken;
  }
  seeks_ = reader_->Seeks();
  if (!*frame) return taken;
  taken.picture = cMpvCore::Turned((*frame)->picture, rotation);
  taken.seconds = (*frame)->seconds;
  return taken;
}
