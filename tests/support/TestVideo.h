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
  bool audio = false;
  // The file name's extension chooses the container: mp4, mkv, avi, mov...
};

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
