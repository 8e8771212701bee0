// The frame reader of story boards and posters: exact frames, the player's
// own, read in one forward pass between keyframes.
#include "player/FrameReader.h"
#include "tests/player/PlayerFixture.h"

#include <cmath>
#include <vector>

namespace rwtest {
namespace {

class FrameReaderTest : public PlayerTest {
 protected:
  // 25 frames a second with their index, two B-frames between references
  // (MPEG-4's B-frames are never references: the reader leaves out those
  // before the time asked for).
  static QString IndexClip(const QString& name, double seconds, int keyframeInterval) {
    TestVideoSpec spec;
    spec.seconds = seconds;
    spec.frameIndex = true;
    spec.keyframeInterval = keyframeInterval;
    spec.bFrames = 2;
    return Clip(name, spec);
  }
  static int Expected(double seconds, int last) {
    return std::min(last, static_cast<int>(std::floor(seconds * 25 + 1e-6)));
  }
};

// A single keyframe: every time asked for, growing, comes from one pass; a
// time on a frame's start, between two, two times on one frame and a time
// past the end each give the frame the player shows there, the frames in
// between left out.
TEST_F(FrameReaderTest, TimesThatGrowAreReadInOnePassEachThePlayersOwnFrame) {
  for (const char* name : {"one-key.mkv", "one-key.mp4"}) {
    const QString clip = IndexClip(QString::fromLatin1(name), 4, 1000);
    ASSERT_TRUE(Open(clip).isEmpty()) << name;
    FrameReader reader(clip, player_->FrameRate());
    ASSERT_TRUE(reader.IsOpen()) << name;
    // Each call names the next time, so that the frames between are left
    // out; the last names none.
    const std::vector<double> times{0.0, 0.02, 0.04, 0.05, 0.079, 0.5, 1.0, 1.333, 2.2, 2.21, 3.97, 3.99, 60.0};
    for (size_t i = 0; i < times.size(); ++i) {
      const double t = times[i];
      const double next = i + 1 < times.size() ? times[i + 1] : FrameReader::kNothingAfter;
      const auto frame = reader.FrameAt(t, QSize(), {}, next);
      ASSERT_TRUE(frame) << name << " at " << t;
      const int expected = Expected(t, 99);
      EXPECT_EQ(FrameIndexIn(frame->picture, 320), expected) << name << " at " << t;
      EXPECT_NEAR(frame->seconds, expected / 25.0, 0.002) << name << " at " << t;
      if (t == 0.079 || t == 1.333 || t == 3.97) {
        player_->SetPosition(t);
        EXPECT_EQ(FrameIndexIn(player_->GrabFrame(), 320), expected) << name << ": the player's frame at " << t;
      }
    }
    EXPECT_EQ(reader.Seeks(), 0) << name << ": one pass from the keyframe";
    // Back to an earlier time, scaled: the reader goes back to the keyframe.
    const auto earlier = reader.FrameAt(1.0, QSize(160, 120), {});
    ASSERT_TRUE(earlier) << name;
    EXPECT_EQ(earlier->picture.size(), QSize(160, 120));
    EXPECT_EQ(FrameIndexIn(earlier->picture, 320), 25) << name;
    EXPECT_EQ(reader.Seeks(), 1) << name;
  }
}

// A keyframe about every second (the encoder puts them 24 to 27 frames
// apart, one of them at 3 s): a time past the next keyframe moves there, one
// before it reads on, and a time on a keyframe starts from that keyframe,
// not the one before; told to stop, the reader gives nothing; a file of
// pixels that are not square gives its frames at their display size. MPEG-2 streams, whose own seeks land
// late, give exact frames; cut short, every time past the cut gives the last frame there is.
TEST_F(FrameReaderTest, ATimePastTheNextKeyframeMovesThereAndAStopGivesNothing) {
  const QString clip = IndexClip(QStringLiteral("key-each-second.mkv"), 10, 25);
  FrameReader reader(clip, 25);
  ASSERT_TRUE(reader.IsOpen());
  const struct {
    double seconds;
    int seeks;
  } steps[] = {{0.3, 0}, {0.6, 0}, {3.0, 1}, {5.4, 2}, {5.5, 2}, {5.6, 2}, {9.3, 3}};
  for (const auto& step : steps) {
    int packets = 0;
    const auto frame = reader.FrameAt(step.seconds, QSize(), [&] { return ++packets > 0; });
    ASSERT_TRUE(frame) << step.seconds;
    EXPECT_EQ(FrameIndexIn(frame->picture, 320), Expected(step.seconds, 249)) << step.seconds;
    EXPECT_EQ(reader.Seeks(), step.seeks) << step.seconds;
    // The keyframe before lies 24 frames back (a decoder on many threads
    // reads some frames ahead).
    if (step.seconds == 3.0) {
      EXPECT_LT(packets, 24) << "from the keyframe at 3 s";
    }
  }
  int asked = 0;
  EXPECT_FALSE(reader.FrameAt(9.6, QSize(), [&] { return ++asked < 2; }));
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(FrameReader(ScratchPath(QStringLiteral("none.mkv")), 25).IsOpen());

  // Asked for no size, a frame of pixels that are not square comes at its
  // display size, as the player grabs it.
  TestVideoSpec spec;
  spec.width = 360;
  spec.height = 288;
  spec.sampleAspect = QStringLiteral("64/45");
  const QString anamorphic = Clip(QStringLiteral("anamorphic.mkv"), spec);
  ASSERT_EQ(Open(anamorphic), QString());
  player_->SetPosition(1.0);
  const auto frame = FrameReader(anamorphic, player_->FrameRate()).FrameAt(1.0, QSize(), {});
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->picture.size(), QSize(512, 288));
  EXPECT_EQ(frame->picture.size(), player_->GrabFrame().size());
  const auto index = [](const std::optional<FrameReader::Frame>& f) { return f ? FrameIndexIn(f->picture, 320) : -1; };
  for (const char* name : {"interlaced.mpg", "interlaced.ts"}) {
    const QString mpeg2 = InterlacedMpeg2Clip(QString::fromLatin1(name));
    ASSERT_EQ(Open(mpeg2), QString()) << name;
    FrameReader exact(mpeg2, 25);
    for (const double t : {0.385, 0.77, 5.0, 9.6, 2.3}) {
      EXPECT_EQ(index(exact.FrameAt(t, QSize(), {})), Expected(t, 249)) << name << " at " << t;
      player_->SetPosition(t);
      EXPECT_EQ(FrameIndexIn(player_->GrabFrame(), 320), Expected(t, 249)) << name << ": the player's frame at " << t;
    }
    const QString cut = ScratchPath(QStringLiteral("cut ") + QString::fromLatin1(name));
    ASSERT_TRUE(QFile::copy(mpeg2, cut));
    QFile(cut).resize(QFile(cut).size() * 9 / 10);
    FrameReader readOn(cut, 25);
    EXPECT_EQ(index(readOn.FrameAt(8.0, QSize(), {})), 200) << name;
    const auto last = readOn.FrameAt(9.6, QSize(), {});
    ASSERT_TRUE(last) << name;
    EXPECT_GT(index(last), 200) << name;
    EXPECT_NEAR(last->seconds, index(last) / 25.0, 0.002) << name << ": its own time";
    EXPECT_EQ(index(FrameReader(cut, 25).FrameAt(30, QSize(), {})), index(last)) << name << ": moved far past the cut";
    EXPECT_EQ(index(readOn.FrameAt(60, QSize(), {})), index(last)) << name;
  }
}

}  // namespace
}  // namespace rwtest
