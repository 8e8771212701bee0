// The player on real clips: what an open reads, exact seeks and grabbed
// frames, transport, and what a player without a file answers.
#include "tests/player/PlayerFixture.h"

#include "player/modMainPlayer.h"
#include "tests/player/FakeMixer.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/support/EventLoopWaits.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

namespace rwtest {
namespace {

TEST_F(PlayerTest, AnOpenReadsTheClipsFactsAndLeavesItStoppedInAHiddenWindow) {
  ASSERT_EQ(Open(BarsClip()), QString());
  EXPECT_TRUE(player_->FileLoaded());
  EXPECT_NEAR(player_->Duration(), 4.0, 0.05);
  EXPECT_EQ(player_->VideoWidth(), kWidth);
  EXPECT_EQ(player_->VideoHeight(), kHeight);
  EXPECT_EQ(player_->FrameRate(), 25.0);
  EXPECT_TRUE(player_->CanGrabFrame());
  EXPECT_EQ(player_->PlayState(), 0);
  EXPECT_FALSE(player_->Visible());
  EXPECT_EQ(player_->Owner(), host_.get());
  EXPECT_EQ(player_->StopTime(), player_->Duration());
  EXPECT_EQ(player_->Volume(), 75) << "no mixer here: the player keeps its volume";
}

TEST_F(PlayerTest, GrabsShowTheFrameAtThePositionSetStepsAndForcedPositions) {
  ASSERT_EQ(Open(BarsClip()), QString());
  for (double t : {0.0, 1.0, 1.02, 2.5, 3.13}) {
    player_->SetPosition(t);
    EXPECT_EQ(GrabbedIndex(), static_cast<int>(std::floor(t * 25 + 1e-9))) << "Position := " << t;
  }
  player_->SetPosition(1.0);
  for (int frame = 26; frame <= 28; ++frame) {
    player_->SetPosition(player_->Position() + 1 / player_->FrameRate());
    EXPECT_EQ(GrabbedIndex(), frame) << "a step forward";
  }
  for (int frame = 27; frame >= 25; --frame) {
    player_->SetPosition(player_->Position() - 1 / player_->FrameRate());
    EXPECT_EQ(GrabbedIndex(), frame) << "a step back";
  }
  player_->ForcePosition(2.2);
  EXPECT_EQ(GrabbedIndex(), 55);
  EXPECT_EQ(player_->PlayState(), 1) << "a grab leaves the player paused";
}

TEST_F(PlayerTest, AGrabbedFrameShowsTheBarsAtTheVideosSize) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->SetPosition(1.0);
  const QImage frame = player_->GrabFrame();
  ASSERT_EQ(frame.size(), QSize(kWidth, kHeight));
  for (int bar = 0; bar < 7; ++bar) {
    const QPoint centre(kWidth * (2 * bar + 1) / 14, kHeight * 2 / 5);
    EXPECT_LE(ColourDistance(frame.pixel(centre), kColourBars[bar]), 24) << "bar " << bar;
  }
}

TEST_F(PlayerTest, PositionsAreClampedToTheFile) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->SetPosition(2.0);
  player_->SetPosition(-5);
  EXPECT_EQ(player_->Position(), 0.0);
  EXPECT_EQ(GrabbedIndex(), 0);
  player_->SetPosition(99);
  EXPECT_EQ(player_->Position(), player_->Duration()) << "while the seek runs";
  player_->GrabFrame();
  EXPECT_NEAR(player_->Position(), player_->Duration(), 0.05) << "at the last frame";
  player_->TimeJump(-1.5);
  player_->GrabFrame();
  EXPECT_NEAR(player_->Position(), player_->Duration() - 1.5, 0.05);
  player_->TimeJump(-10);
  EXPECT_EQ(player_->Position(), 0.0);
}

TEST_F(PlayerTest, PlayRunsToTheStopTimeAndPausesWithinAFrame) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->ForcePosition(0.5);
  player_->SetStopTime(1.0);
  // The pause follows the engine's position events through the event loop;
  // at a quarter of the speed a frame lasts 160 ms, so a busy machine's late
  // event still lands within the frame the stop time falls in.
  player_->SetPlaybackRate(0.25);
  player_->Play();
  EXPECT_EQ(player_->PlayState(), 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return player_->PlayState() != 2; }, rwtest::kWaitCeilingMs));
  EXPECT_EQ(player_->PlayState(), 1);
  EXPECT_GE(player_->Position(), 1.0);
  EXPECT_LT(player_->Position(), 1.0 + 2 / 25.0) << "paused within a frame period of the stop time";
  player_->StopPlayback();
  EXPECT_EQ(player_->PlayState(), 0);
}

TEST_F(PlayerTest, PlayAtTheRoundedEndStartsAgainButNotBeforeIt) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->SetPosition(3.4);  // 3 s after rounding, the end is 4 s
  player_->GrabFrame();
  player_->Play();
  EXPECT_GE(player_->Position(), 3.4);
  player_->Pause();
  player_->SetPosition(3.96);
  player_->GrabFrame();
  player_->Play();
  EXPECT_LT(player_->Position(), 1.0) << "the file starts again";
  player_->Pause();
}

TEST_F(PlayerTest, RateVolumeAndBalanceKeepToTheirRanges) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->SetPlaybackRate(0);
  EXPECT_DOUBLE_EQ(player_->PlaybackRate(), 0.1);
  player_->SetPlaybackRate(2);
  EXPECT_DOUBLE_EQ(player_->PlaybackRate(), 2.0);
  player_->SetVolume(150);
  EXPECT_EQ(player_->Volume(), 100);
  player_->SetVolume(-3);
  EXPECT_EQ(player_->Volume(), 0);
  player_->SetBalance(-20000);
  EXPECT_EQ(player_->Balance(), -10000);
  player_->SetBalance(2500);
  EXPECT_EQ(player_->Balance(), 2500);
  player_->Play();
  EXPECT_TRUE(QTest::qWaitFor([&] { return player_->Position() > 0.5; }, rwtest::kWaitCeilingMs))
      << "plays through the filter";
  player_->Pause();
}

TEST_F(PlayerTest, TheStartVolumeIsTheMasterVolumeAndWithoutAMixerThePlayersOwn) {
  auto fake = std::make_unique<FakeMixer>();
  fake->controls[{ModMixers::kComponentSpeakers, ModMixers::kControlVolume}] = {1, 0, 65535};
  fake->values[1] = 26214;  // 40 %
  ModMixers::SetBackendForTests(std::move(fake));
  ASSERT_EQ(Open(BarsClip()), QString());
  EXPECT_EQ(player_->Volume(), 40);
  player_->SetVolume(60);

  auto silent = std::make_unique<FakeMixer>();
  silent->devices = 0;
  ModMixers::SetBackendForTests(std::move(silent));
  ASSERT_EQ(Open(BarsClip()), QString());
  EXPECT_EQ(player_->Volume(), 60) << "no mixer: the volume is kept, not set to 0";

  auto mute = std::make_unique<FakeMixer>();
  mute->controls[{ModMixers::kComponentSpeakers, ModMixers::kControlMute}] = {3, 0, 1};
  ModMixers::SetBackendForTests(std::move(mute));
  ASSERT_EQ(Open(BarsClip()), QString());
  EXPECT_EQ(player_->Volume(), 60) << "a mixer without a master volume control";
  ModMixers::SetBackendForTests(nullptr);
}

TEST_F(PlayerTest, FrameRatesKeepThreeDecimals) {
  TestVideoSpec spec;
  spec.seconds = 1;
  spec.frameRate = QStringLiteral("30000/1001");
  ASSERT_EQ(Open(Clip(QStringLiteral("ntsc.mkv"), spec)), QString());
  EXPECT_EQ(player_->FrameRate(), 29.97);
}

TEST_F(PlayerTest, AnAudioOnlyFilePlaysWithoutVideoOrFrames) {
  ASSERT_EQ(Open(AudioClip()), QString());
  EXPECT_FALSE(player_->CanGrabFrame());
  EXPECT_EQ(player_->VideoWidth(), 0);
  EXPECT_EQ(player_->FrameRate(), 0.0);
  EXPECT_FALSE(player_->Visible());
  EXPECT_TRUE(player_->GrabFrame().isNull());
  gOsdIcon.clear();
  player_->ForcePosition(1.0);
  EXPECT_EQ(gOsdIcon, QString()) << "a settled seek needs video";
  player_->Play();
  EXPECT_EQ(player_->PlayState(), 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return player_->Position() > 0.3; }, rwtest::kWaitCeilingMs));
  player_->Pause();
}

TEST_F(PlayerTest, AZeroThumbnailTimeoutGivesNoFrameAtOnce) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->SetPosition(1.0);
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("ThumbnailTimeout"), 0);
  // The player waits for a frame with the event loop running: a call posted
  // before the grab shows whether it waited.
  bool waited = false;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&waited] { waited = true; }, Qt::QueuedConnection);
  EXPECT_TRUE(player_->GrabFrame().isNull());
  EXPECT_FALSE(waited) << "no wait for the frame";
  rwtest::RunEventLoopPasses(1);
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("ThumbnailTimeout"), 5);
  EXPECT_EQ(GrabbedIndex(), 25) << "read at every grab";
}

TEST_F(PlayerTest, ASettledSeekWritesThePlainPositionUnderADecimalComma) {
  DecimalCommaLocale german;
  if (!german.Switched()) GTEST_SKIP() << kNoGermanLocale;
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->ForcePosition(2.5);
  EXPECT_EQ(gOsdIcon, QStringLiteral("OV_PLAY"));
  EXPECT_EQ(gOsdTimeText, QStringLiteral("2.5"));
  EXPECT_EQ(GrabbedIndex(), 62);
  player_->SetPosition(1.5);
  EXPECT_EQ(GrabbedIndex(), 37);
  EXPECT_EQ(player_->FrameRate(), 25.0);
}

TEST_F(PlayerTest, AfterCleanUpEveryReadIsEmptyButTheStoredOnesStay) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->SetVolume(40);
  player_->CleanUp();
  EXPECT_FALSE(player_->FileLoaded());
  EXPECT_EQ(player_->Duration(), 0.0);
  EXPECT_EQ(player_->Position(), 0.0);
  EXPECT_EQ(player_->StopTime(), 0.0);
  EXPECT_EQ(player_->FrameRate(), 0.0);
  EXPECT_EQ(player_->VideoWidth(), 0);
  EXPECT_EQ(player_->BitRate(), 0);
  EXPECT_EQ(player_->PlayState(), 0);
  EXPECT_EQ(player_->PlaybackRate(), 0.0);
  EXPECT_FALSE(player_->CanGrabFrame());
  EXPECT_TRUE(player_->GrabFrame().isNull());
  EXPECT_FALSE(player_->Visible());
  EXPECT_EQ(player_->Volume(), 40);
  EXPECT_EQ(player_->Owner(), host_.get());
  player_->Play();
  player_->SetPosition(2);
  player_->ForcePosition(2);
  player_->TimeJump(1);
  player_->SetVisible(true);
  player_->SetFullScreen(true);
  EXPECT_FALSE(player_->FullScreen());
  EXPECT_EQ(Open(BarsClip()), QString()) << "the next file opens on the same engine";
}

TEST_F(PlayerTest, EveryOpenDescribesThePlaybackChainInTheTempFolder) {
  ASSERT_EQ(Open(BarsClip()), QString());
  auto read = [](const QString& name) {
    QFile file(gTempFolder + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  };
  const QString automatic = read(QStringLiteral("RWGraph 1-Auto.grf"));
  const QString final = read(QStringLiteral("RWGraph.grf"));
  EXPECT_TRUE(automatic.contains(QStringLiteral("bars «été».mkv")));
  EXPECT_TRUE(automatic.contains(QStringLiteral("mpeg4")));
  EXPECT_FALSE(automatic.contains(QStringLiteral("frame grab")));
  EXPECT_TRUE(final.contains(QStringLiteral("frame grab")));
  EXPECT_LT(final.indexOf(QStringLiteral("video decoder")), final.indexOf(QStringLiteral("frame grab")));
  ASSERT_EQ(Open(AudioClip()), QString());
  EXPECT_TRUE(read(QStringLiteral("RWGraph.grf")).contains(QStringLiteral("tone.m4a")));
  EXPECT_FALSE(read(QStringLiteral("RWGraph.grf")).contains(QStringLiteral("frame grab")));
}

}  // namespace
}  // namespace rwtest
