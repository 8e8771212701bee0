#pragma once
// The frames of a story board or a poster: exact frames at times that only
// grow, taken by a FrameReader in one forward pass where they share a
// stretch between keyframes, upright and scaled to the size they are drawn
// at. The reading runs on a worker thread under LongWork::Run (no event is
// handled meanwhile, the progress is painted past half a second); a read
// that makes no progress for ThumbnailTimeout seconds (a medium that
// stopped answering) is given up and left to end by itself, and every later
// frame is then missing. A file the reader cannot decode falls back to the
// player's own exact seek and grab.
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class clsRWPlayer;
class FrameReader;

class BoardFrames {
 public:
  // The file open in `player`, which gives its frame rate, display size and
  // rotation (and grabs the frames itself when the reader cannot).
  BoardFrames(const QString& path, clsRWPlayer& player);
  ~BoardFrames();
  BoardFrames(const BoardFrames&) = delete;
  BoardFrames& operator=(const BoardFrames&) = delete;

  // Whether the frames are read by the reader (else by the player).
  bool Reads() const { return reads_; }

  struct Taken {
    QImage picture;      // null when there is none
    double seconds = 0;  // the time of the frame shown
  };
  // The frame at `seconds` scaled to `size` (upright; empty: the display
  // size), or a null picture when the file gives none, the read was given
  // up, or the program is to end.
  Taken Take(double seconds, QSize size);

  // Moves of the reader to a keyframe so far.
  int Seeks() const { return seeks_; }

 private:
  clsRWPlayer& player_;
  std::shared_ptr<FrameReader> reader_;
  bool reads_ = false;
  int seeks_ = 0;
};
