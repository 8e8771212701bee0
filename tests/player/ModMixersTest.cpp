// The master-volume mixer: its control table and percent arithmetic over a
// fake mixer, and the real mixers' quiet "no mixer" on a machine without sound.
#include "player/ModMixers.h"
#include "tests/player/FakeMixer.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ModMixers;
using rwtest::FakeMixer;

// A home of its own: the sound server's client library keeps files there.
class ModMixersTest : public rwtest::TempHomeTest {
 protected:
  // A fake with all four controls: volumes 0..65535 (ids 1, 2), mutes 0..1 (ids 3, 4).
  FakeMixer* Install(bool withWaveOut = true) {
    auto fake = std::make_unique<FakeMixer>();
    fake->controls[{kComponentSpeakers, kControlVolume}] = {1, 0, 65535};
    fake->controls[{kComponentSpeakers, kControlMute}] = {3, 0, 1};
    if (withWaveOut) {
      fake->controls[{kComponentWaveOut, kControlVolume}] = {2, 0, 65535};
      fake->controls[{kComponentWaveOut, kControlMute}] = {4, 0, 1};
    }
    FakeMixer* raw = fake.get();
    SetBackendForTests(std::move(fake));
    return raw;
  }
  void TearDown() override {
    SetBackendForTests(nullptr);
    TempHomeTest::TearDown();
  }
};

TEST_F(ModMixersTest, OpeningFillsTheFourControlsAtTheirIndicesOnly) {
  Install();
  ASSERT_TRUE(OpenMixer(0));
  EXPECT_NE(gMixerHandle, 0);
  EXPECT_TRUE(HasVolumeControl());
  const std::map<int, uint32_t> expected = {{0, 1}, {5, 2}, {7, 3}, {12, 4}};
  for (int i = 0; i < 21; ++i) {
    const uint32_t id = expected.count(i) ? expected.at(i) : 0;
    EXPECT_EQ(gMixerControls[i].dwControlID, id) << "index " << i;
    if (!id) {
      EXPECT_EQ(gMixerControls[i].lMaximum, 0) << "index " << i;
    }
  }
}

TEST_F(ModMixersTest, AMissingLineLeavesOnlyItsRecordsEmpty) {
  Install(/*withWaveOut=*/false);
  ASSERT_TRUE(OpenMixer(0));
  EXPECT_EQ(gMixerControls[0].dwControlID, 1u);
  EXPECT_EQ(gMixerControls[7].dwControlID, 3u);
  EXPECT_EQ(gMixerControls[5].dwControlID, 0u);
  EXPECT_EQ(gMixerControls[12].dwControlID, 0u);
}

TEST_F(ModMixersTest, AMixerThatCannotBeHadLeavesAnEmptyTable) {
  FakeMixer* fake = Install();
  ASSERT_TRUE(OpenMixer(0));
  const int32_t first = gMixerHandle;
  EXPECT_FALSE(OpenMixer(1)) << "only device 0 exists";
  EXPECT_FALSE(OpenMixer(-1));
  EXPECT_EQ(fake->openCalls, 1) << "a device out of range is never opened";
  fake->opens = false;
  EXPECT_FALSE(OpenMixer(0));
  EXPECT_EQ(gMixerHandle, 0);
  EXPECT_EQ(gMixerControls[0].dwControlID, 0u) << "every open empties the table first";
  EXPECT_FALSE(HasVolumeControl());
  fake->opens = true;
  ASSERT_TRUE(OpenMixer(0));
  EXPECT_FALSE(SetMixerControlValue(first, gMixerControls[0], 50)) << "the handle of an earlier open";
}

TEST_F(ModMixersTest, NoMixerReadsZeroAndWritesNothing) {
  FakeMixer* fake = Install();
  fake->devices = 0;
  EXPECT_FALSE(OpenMixer(0));
  EXPECT_FALSE(HasVolumeControl());
  SetVolume(0, 50);
  EXPECT_TRUE(fake->written.empty());
  EXPECT_EQ(GetVolume(0), 0);
}

TEST_F(ModMixersTest, AWideRangeIsScaledInWholeHundredthsAndReadBack) {
  FakeMixer* fake = Install();
  ASSERT_TRUE(OpenMixer(0));
  SetVolume(0, 50);
  ASSERT_EQ(fake->written.size(), 1u);
  EXPECT_EQ(fake->written[0], std::make_pair(1u, 32750u));
  EXPECT_EQ(GetVolume(0), 50);
  SetVolume(5, 150);
  EXPECT_EQ(fake->values[2], 65535u) << "kept at the maximum";
  SetVolume(5, -20);
  EXPECT_EQ(fake->values[2], 0u) << "kept at the minimum";
}

TEST_F(ModMixersTest, ARangeUpTo100TakesThePercentAsItIs) {
  FakeMixer* fake = Install();
  ASSERT_TRUE(OpenMixer(0));
  MixerControl percent{9, 10, 100};
  EXPECT_TRUE(SetMixerControlValue(gMixerHandle, percent, 37));
  EXPECT_EQ(fake->values[9], 37u);
  EXPECT_EQ(GetMixerControlValue(gMixerHandle, percent), 37) << "read raw, the minimum not taken off";
  EXPECT_TRUE(SetMixerControlValue(gMixerHandle, percent, 5));
  EXPECT_EQ(fake->values[9], 10u) << "kept at the minimum";
  SetVolume(7, 1);
  EXPECT_EQ(GetVolume(7), 1);
}

TEST_F(ModMixersTest, ReadingAWideRangeRoundsHalvesToEvenAfterTakingOffTheMinimum) {
  FakeMixer* fake = Install();
  ASSERT_TRUE(OpenMixer(0));
  const MixerControl wide{9, 0, 200};
  const std::vector<std::pair<uint32_t, int32_t>> cases = {{1, 0}, {3, 2}, {5, 2}, {7, 4}, {200, 100}};
  for (auto [raw, percent] : cases) {
    fake->values[9] = raw;
    EXPECT_EQ(GetMixerControlValue(gMixerHandle, wide), percent) << "raw " << raw;
  }
  fake->values[9] = 500;
  EXPECT_EQ(GetMixerControlValue(gMixerHandle, MixerControl{9, 5, 1000}), 45);
  fake->values[9] = 101;
  EXPECT_EQ(GetMixerControlValue(gMixerHandle, MixerControl{9, 0, 101}), 100) << "101 is a wide range";
}

TEST_F(ModMixersTest, EmptyRecordsFailuresAndIndicesOutsideTheTableGiveNothing) {
  FakeMixer* fake = Install(/*withWaveOut=*/false);
  ASSERT_TRUE(OpenMixer(0));
  EXPECT_FALSE(SetMixerControlValue(gMixerHandle, gMixerControls[5], 50));
  EXPECT_EQ(GetVolume(5), 0);
  SetVolume(21, 50);
  SetVolume(-1, 50);
  EXPECT_TRUE(fake->written.empty());
  EXPECT_EQ(GetVolume(21), 0);
  fake->writes = false;
  EXPECT_FALSE(SetMixerControlValue(gMixerHandle, gMixerControls[0], 50));
  fake->values[1] = 32750;
  fake->reads = false;
  EXPECT_EQ(GetVolume(0), 0);
}

// The machine the tests run on may have no sound at all: then every real
// mixer says "no mixer", without a word on stderr. Where there is one, its
// master volume has a usable range. How long they take to answer is
// measured by bench_player.
TEST_F(ModMixersTest, TheRealMixersAnswerQuietlyAndTheirVolumeHasARange) {
  testing::internal::CaptureStderr();
  for (auto make : {MakePulseBackend, MakeAlsaBackend}) {
    const int32_t devices = make()->DeviceCount();
    EXPECT_TRUE(devices == 0 || devices == 1) << devices;
  }
  const bool found = OpenMixer(0);
  const std::string printed = testing::internal::GetCapturedStderr();
  if (!found) {
    EXPECT_EQ(printed, "");
    EXPECT_FALSE(HasVolumeControl());
    EXPECT_EQ(GetVolume(0), 0);
  } else if (HasVolumeControl()) {
    EXPECT_EQ(gMixerControls[0].lMinimum, 0);
    EXPECT_GT(gMixerControls[0].lMaximum, 0);
    EXPECT_GE(GetVolume(0), 0);
  }
}

}  // namespace
