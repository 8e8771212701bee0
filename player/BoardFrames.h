#pragma once
// The frames of a story board or a poster: exact frames at times that only
// grow, taken by a FrameReader in one forward pass where they share a
// stretch between keyframes, upright and scaled to the size they are drawn
// at. The reading runs on a worker thread under LongWork::Run (no event is
// handled meanwhile, the progress is painted past half a second), as many
// frames at a time as fit in a few tens of megabytes, so that the window's
// thread hands the work over once for a whole board rather than once a
// tile. A read that makes no progress for ThumbnailTimeout seconds (a medium
// that stopped answering) is given up and left to end by itself: the frames
// read until then are kept and every later one is missing. A file the
// reader cannot decode falls back to the player's own exact seek and grab.
#include <QImage>
#include <QSize>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class clsRWPlayer;
class FrameReader;

class BoardFrames {
 public:
  // The frames of the file open in `player` (which gives its frame rate,
  // display size and rotation, and grabs the frames itself when the reader
  // cannot) at `times`, which only grow, scaled to `size` (upright; empty:
  // the display size).
  BoardFrames(const QString& path, clsRWPlayer& player, std::vector<double> times, QSize size);
  ~BoardFrames();
  BoardFrames(const BoardFrames&) = delete;
  BoardFrames& operator=(const BoardFrames&) = delete;

  // Whether the frames are read by the reader (else by the player).
  bool Reads() const { return reads_; }

  struct Taken {
    QImage picture;      // null when there is none
    double seconds = 0;  // the time of the frame shown
  };
  // Frame i (from 0, asked in order), or a null picture when the file gives
  // none, the read was given up, or the program is to end. A frame not yet
  // read is read with those after it; while the reading is painted,
  // `progress` is told how many of the frames are read.
  Taken Take(size_t i, const std::function<void(int)>& progress = {});

  // Moves of the reader to a keyframe so far.
  int Seeks() const { return seeks_; }

 private:
  void ReadFrom(size_t first, const std::function<void(int)>& progress);

  clsRWPlayer& player_;
  std::vector<double> times_;
  QSize size_;
  std::shared_ptr<FrameReader> reader_;
  std::vector<std::optional<Taken>> read_;  // by index, until taken
  bool reads_ = false;
  int seeks_ = 0;
};
