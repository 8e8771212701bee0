// The audio-only player on the "null" output, which keeps time without a
// sound device: sounds from memory and from files play to their end, a new
// sound cuts the last, pausing shows in the mode, and bytes that are no sound
// end quietly. The effects played through modSound are logged in order.
#include "platform/cAudioPlayer.h"
#include "platform/modSound.h"
#include "tests/support/EventLoopWaits.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using Mode = cAudioPlayer::PlayMode;

// A mono 16-bit PCM WAV of a 440 Hz tone, 22050 samples a second.
QByteArray Wav(double seconds) {
  const quint32 rate = 22050;
  const auto samples = static_cast<quint32>(seconds * rate);
  QByteArray wav;
  auto put32 = [&](quint32 v) {
    for (int i = 0; i < 4; ++i) wav.append(char(v >> (8 * i)));
  };
  auto put16 = [&](quint16 v) { wav.append(char(v)).append(char(v >> 8)); };
  wav.append("RIFF");
  put32(36 + samples * 2);
  wav.append("WAVEfmt ");
  put32(16);
  put16(1);         // PCM
  put16(1);         // one channel
  put32(rate);
  put32(rate * 2);  // bytes a second
  put16(2);         // bytes a frame
  put16(16);        // bits a sample
  wav.append("data");
  put32(samples * 2);
  for (quint32 i = 0; i < samples; ++i) put16(quint16(qint16(8000 * std::sin(i * 2 * std::numbers::pi * 440 / rate))));
  return wav;
}

class AudioPlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { cAudioPlayer::SetAudioOutput(QStringLiteral("null")); }

  void SetUp() override {
    QObject::connect(&player, &cAudioPlayer::ModeChanged, [this](Mode mode) { modes.append(mode); });
    QObject::connect(&player, &cAudioPlayer::Ended, [this](bool completed) { ends.append(completed); });
  }

  bool WaitForEnds(qsizetype count) {
    return QTest::qWaitFor([&] { return ends.size() >= count; }, rwtest::kWaitCeilingMs);
  }

  cAudioPlayer player;
  QList<Mode> modes;
  QList<bool> ends;
};

TEST_F(AudioPlayerTest, SoundFromMemoryPlaysToItsEndAndStops) {
  const QByteArray wav = Wav(0.2);
  player.PlayBytes(wav);
  ASSERT_TRUE(WaitForEnds(1));
  EXPECT_EQ(modes, (QList<Mode>{Mode::Playing, Mode::Stopped}));
  EXPECT_EQ(ends, QList<bool>{true});
  EXPECT_EQ(player.Requests(), (QList<cAudioPlayer::Request>{{wav, {}}}));
}

// The ten-second sound is cut, not played out: its end comes first and says
// it did not complete.
TEST_F(AudioPlayerTest, NewSoundCutsTheOneThatPlays) {
  player.PlayBytes(Wav(10));
  ASSERT_TRUE(QTest::qWaitFor([&] { return player.Mode() == Mode::Playing; }, rwtest::kWaitCeilingMs));
  player.PlayBytes(Wav(0.2));
  ASSERT_TRUE(WaitForEnds(2));
  EXPECT_EQ(ends, (QList<bool>{false, true}));
  EXPECT_EQ(player.Mode(), Mode::Stopped);
}

TEST_F(AudioPlayerTest, PauseAndResumeShowInTheModeAndStopEnds) {
  player.PlayBytes(Wav(10));
  ASSERT_TRUE(QTest::qWaitFor([&] { return player.Mode() == Mode::Playing; }, rwtest::kWaitCeilingMs));
  player.SetPaused(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return player.Mode() == Mode::Paused; }, rwtest::kWaitCeilingMs));
  player.SetPaused(false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return player.Mode() == Mode::Playing; }, rwtest::kWaitCeilingMs));
  player.Stop();
  ASSERT_TRUE(WaitForEnds(1));
  EXPECT_EQ(player.Mode(), Mode::Stopped);
  EXPECT_EQ(ends, QList<bool>{false});
}

TEST_F(AudioPlayerTest, FileWithSpacesQuotesAndNonAsciiNamePlays) {
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath(QStringLiteral("a b 'c' \"d\" ; é 音.wav"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(Wav(0.2));
  file.close();
  player.PlayFile(path);
  ASSERT_TRUE(WaitForEnds(1));
  EXPECT_EQ(ends, QList<bool>{true});
  EXPECT_EQ(modes, (QList<Mode>{Mode::Playing, Mode::Stopped}));
  EXPECT_EQ(player.Requests(), (QList<cAudioPlayer::Request>{{{}, path}}));
}

TEST_F(AudioPlayerTest, BytesThatAreNoSoundEndStopped) {
  QByteArray garbage(4096, '\0');
  for (int i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 7919) ^ (i >> 3));
  player.PlayBytes(garbage);
  ASSERT_TRUE(WaitForEnds(1));
  EXPECT_EQ(ends, QList<bool>{false});
  EXPECT_EQ(player.Mode(), Mode::Stopped);
  // A header that promises more samples than follow it.
  player.PlayBytes(Wav(0.2).left(60));
  ASSERT_TRUE(WaitForEnds(2));
  EXPECT_EQ(player.Mode(), Mode::Stopped);
}

TEST_F(AudioPlayerTest, OutputThatCannotOpenIsSilence) {
  // The output is read when the core is made, at the first play.
  cAudioPlayer::SetAudioOutput(QStringLiteral("no-such-output"));
  player.PlayBytes(Wav(0.2));
  cAudioPlayer::SetAudioOutput(QStringLiteral("null"));
  ASSERT_TRUE(WaitForEnds(1));
  EXPECT_EQ(player.Mode(), Mode::Stopped);
  EXPECT_EQ(player.Requests().size(), 1);
}

TEST(SoundEffectsTest, EveryRequestIsLoggedInOrder) {
  cAudioPlayer::SetAudioOutput(QStringLiteral("null"));
  modSound::ClearEffectsLog();
  const QByteArray click = Wav(0.05);
  const QByteArray beep = Wav(0.1);
  modSound::PlayEffect(click);
  modSound::PlayEffect({});
  modSound::PlayEffect(beep);
  EXPECT_EQ(modSound::EffectsLog(), (QList<QByteArray>{click, {}, beep}));
  modSound::ClearEffectsLog();
  EXPECT_TRUE(modSound::EffectsLog().isEmpty());
}

}  // namespace
