#pragma once
// Exact frames of a file's video, read straight through the decoding
// libraries for story boards and posters, which ask for many frames at
// times that only grow.
//
// The frame at a time is the one the player shows after an exact seek there
// (clsRWPlayer::SetPosition): the time is moved back to the start of the
// frame period it falls in, and the first frame from there on is taken; past
// the last frame (or the last that can be read of a damaged file), the last
// frame. A container that finds its place by the times of the packets (MPEG
// program and transport streams) can land past the keyframe before a time:
// its moves then go as far before their times as it takes, and its frames
// are as exact as any. A time that lies in the stretch between
// keyframes the reader has already reached is decoded on to from where the
// reader stands, so the frames of tiles that share a keyframe cost one pass
// from that keyframe; only a time beyond the next keyframe (or before the
// frame last taken) seeks. Non-reference frames that nothing asked for
// shows (before the time asked for, or between its frame and the next time
// to be asked for) are not decoded at all.
//
// A reader is used by one thread at a time; it may be handed from thread to
// thread (story boards read on a worker thread, LongWork::Run).
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

class FrameReader {
 public:
  struct Frame {
    QImage picture;        // RGB32, unturned
    double seconds = 0;    // its time from the file's start, as the player counts it
  };

  // Opens the file's first video stream; `frameRate` is the rate the player
  // moves times by (clsRWPlayer::FrameRate), 0 to take the stream's own.
  FrameReader(const QString& path, double frameRate);
  ~FrameReader();
  FrameReader(const FrameReader&) = delete;
  FrameReader& operator=(const FrameReader&) = delete;

  // False when the file has no video this reader can decode.
  bool IsOpen() const;

  // The frame at `seconds`, scaled to `size` (when empty, its display size:
  // its pixels' shape applied, not turned). `nextSeconds` is the time the next call will ask for
  // (kNothingAfter: none), so that the frames between the two need not be
  // decoded; unknown (NaN), every later frame may be asked for. `keepReading`
  // is asked before every packet read and stops the read when false; nullopt
  // then, and when the file gives no frame at all.
  static constexpr double kNothingAfter = std::numeric_limits<double>::infinity();
  std::optional<Frame> FrameAt(double seconds, QSize size, const std::function<bool()>& keepReading,
                               double nextSeconds = std::numeric_limits<double>::quiet_NaN());

  // How many times the reader moved to a keyframe (its first read counts).
  int Seeks() const;

 private:
  struct Codec;
  double From(double seconds) const;
  std::unique_ptr<Codec> codec_;
};
