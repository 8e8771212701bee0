#pragma once
// Small test videos made with the ffmpeg command line at test time.
#include <QString>

#include <optional>

namespace rwtest {

struct TestVideoSpec {
  double seconds = 2.0;
  int width = 320;
  int height = 240;
  int framesPerSecond = 25;
  // A rate as ffmpeg writes it ("30000/1001"); framesPerSecond when empty.
  QString frameRate;
  bool audio = false;
  // False makes an audio-only clip (a sine tone; needs audio = true).
  bool video = true;
  // Colour bars with the frame's index drawn along the top edge as 8 squares,
  // lowest bit first, white for 1 and black for 0; IndexSquareSize gives
  // their size. Otherwise ffmpeg's moving test pattern.
  bool frameIndex = false;
  // The pixels' shape as ffmpeg writes it ("64/45"); square when empty.
  QString sampleAspect;
  // The rotation written into the container as ffmpeg's "rotate" tag (mp4
  // and mov only); players turn the picture as ffmpeg itself reads the tag.
  int rotation = 0;
  // ffmpeg's video encoder; MPEG-4 part 2 when empty. "ffv1" takes frames
  // far wider than MPEG-4 allows.
  QString codec;
  // Frames from one keyframe to the next (the encoder's own when 0), and
  // B-frames between two references (MPEG-4's B-frames are never
  // references).
  int keyframeInterval = 0;
  int bFrames = 0;
  // Interlaced coding, fields and their transforms (MPEG-2 as broadcast), at a fine quality.
  bool interlaced = false;
  // The file name's extension chooses the container: mp4, mkv, avi, mov...
};

// Side of one index square of a frameIndex clip of the given width.
int IndexSquareSize(int width);
// The colour bars of a frameIndex clip, left to right, as RGB at 75 %.
inline constexpr unsigned kColourBars[7] = {0xBFBFBF, 0xBFBF00, 0x00BFBF, 0x00BF00, 0xBF00BF, 0xBF0000, 0x0000BF};

bool HaveFfmpeg();
// Writes folder/fileName; nullopt (with the reason in *error) when ffmpeg is
// missing or fails.
std::optional<QString> MakeTestVideo(const QString& folder, const QString& fileName,
                                     const TestVideoSpec& spec = TestVideoSpec{}, QString* error = nullptr);

}  // namespace rwtest

// Skips the current test when ffmpeg is not installed.
#define RW_REQUIRE_FFMPEG()                                               \
  do {                                                                    \
    if (!::rwtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed"; \
  } while (0)
