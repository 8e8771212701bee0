// Background music on a real audio core with the null output: random tracks
// from "SFX/" in TV-Out mode only, never the same twice in a row, paused and
// resumed without a new choice, silence for what cannot be played.
#include "platform/cAudioPlayer.h"
#include "tests/carousel/CarouselFixture.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/TestVideo.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <deque>

namespace {

using MusicMode = cAudioPlayer::PlayMode;

class CarouselMusicTest : public rwtest::CarouselFixture {
 protected:
  void SetUp() override {
    rwtest::CarouselFixture::SetUp();
    cAudioPlayer::SetAudioOutput(QStringLiteral("null"));
    sfx = gDocsFolder + QStringLiteral("SFX/");
  }
  void TearDown() override {
    gTVOutMode = false;
    rwtest::CarouselFixture::TearDown();
  }

  // A second of a tone as an MP3.
  bool MakeTrack(const QString& name) {
    QDir().mkpath(sfx);
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=1",
                                            "-c:a", "libmp3lame", sfx + name});
    return ffmpeg.waitForFinished(30000) && ffmpeg.exitCode() == 0;
  }
  void MakeFile(const QString& name, const QByteArray& bytes = "ID3") {
    QDir().mkpath(sfx);
    QFile file(sfx + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  // The carousel made now (it lists the music at creation), in TV-Out mode,
  // its tracks chosen from `picks` in turn.
  void MakeMusicCarousel(std::deque<int> picks = {}) {
    MakeCarousel();
    gCarousel->SetMusicEnabled(true);
    if (!picks.empty()) {
      gCarousel->SetTrackChooser([picks](int) mutable {
        const int pick = picks.front();
        if (picks.size() > 1) picks.pop_front();
        return pick;
      });
    }
    gTVOutMode = true;
  }

  static cAudioPlayer& Music() { return gCarousel->Music(); }
  static QStringList Played() {
    QStringList names;
    for (const cAudioPlayer::Request& request : Music().Requests()) names << QFileInfo(request.path).fileName();
    return names;
  }
  static bool WaitFor(MusicMode mode) {
    return QTest::qWaitFor([mode] { return !Music().Loading() && Music().Mode() == mode; }, rwtest::kWaitCeilingMs);
  }
  // Nothing marks the moment a request that should not have been made would
  // be answered: a paused track is watched for four times as long as the
  // player took to answer a pause just before, under the machine's present
  // load, and at least a fifth of a second.
  static bool ResumesWithin(qint64 answerMs) {
    const int watch = static_cast<int>(std::max<qint64>(4 * answerMs, 200));
    return QTest::qWaitFor([] { return Music().Mode() == MusicMode::Playing; }, watch);
  }

  QString sfx;
};

TEST_F(CarouselMusicTest, NothingPlaysOutsideTVOutModeOrWithoutFiles) {
  MakeMusicCarousel();
  gCarousel->PlayBackgroundSFX(true);
  EXPECT_TRUE(Played().isEmpty()) << "no SFX folder: no music";
  gCarousel.reset();
  gTVOutMode = false;

  MakeFile(QStringLiteral("a.mp3"));
  MakeCarousel();
  gCarousel->PlayBackgroundSFX(true);
  EXPECT_TRUE(Played().isEmpty()) << "outside TV-Out mode nothing is asked";
}

TEST_F(CarouselMusicTest, TheListTakesEveryMp3FileInAnyCaseAndSkipsTheRest) {
  for (int i = 1; i <= 60; ++i) MakeFile(QStringLiteral("track %1.mp3").arg(i));
  MakeFile(QStringLiteral("LOUD.MP3"));
  MakeFile(QStringLiteral("notes.txt"));
  QDir().mkpath(sfx + QStringLiteral("folder.mp3"));
  MakeMusicCarousel();
  EXPECT_EQ(gCarousel->MusicFiles().size(), 61) << "beyond 50 files, files only, any case";
  EXPECT_TRUE(gCarousel->MusicFiles().contains(QStringLiteral("LOUD.MP3")));
  EXPECT_FALSE(gCarousel->MusicFiles().contains(QStringLiteral("folder.mp3")));
}

TEST_F(CarouselMusicTest, ARequestStartsPausesAndResumesOneTrackWithoutANewChoice) {
  RW_REQUIRE_FFMPEG();
  const QString odd = QStringLiteral("Don't Stop – Ünïcode.mp3");
  ASSERT_TRUE(MakeTrack(odd));
  ASSERT_TRUE(MakeTrack(QStringLiteral("b.mp3")));
  MakeMusicCarousel();
  const int oddIndex = static_cast<int>(gCarousel->MusicFiles().indexOf(odd));
  gCarousel->SetTrackChooser([oddIndex](int) { return oddIndex; });
  gCarousel->PlayBackgroundSFX(true);
  ASSERT_TRUE(WaitFor(MusicMode::Playing));
  gCarousel->PlayBackgroundSFX(true);
  EXPECT_EQ(Played(), QStringList{odd}) << "a request while playing changes nothing";

  QElapsedTimer answer;
  answer.start();
  gCarousel->PlayBackgroundSFX(false);
  ASSERT_TRUE(WaitFor(MusicMode::Paused));
  const qint64 answerMs = answer.elapsed();
  gTVOutMode = false;
  gCarousel->PlayBackgroundSFX(true);
  EXPECT_FALSE(ResumesWithin(answerMs)) << "outside TV-Out mode a paused track stays paused";
  gTVOutMode = true;

  gCarousel->SetMusicEnabled(false);  // the music switched off: every request pauses
  gCarousel->PlayBackgroundSFX(true);
  EXPECT_FALSE(ResumesWithin(answerMs));
  EXPECT_EQ(Music().Mode(), MusicMode::Paused);
  gCarousel->SetMusicEnabled(true);  // and on again: the same track resumes
  gCarousel->PlayBackgroundSFX(true);
  ASSERT_TRUE(WaitFor(MusicMode::Playing));
  EXPECT_EQ(Played(), QStringList{odd});
}

TEST_F(CarouselMusicTest, AFinishedTrackIsFollowedByAnotherOrTheOnlyOneAgain) {
  RW_REQUIRE_FFMPEG();
  ASSERT_TRUE(MakeTrack(QStringLiteral("a.mp3")));
  ASSERT_TRUE(MakeTrack(QStringLiteral("b.mp3")));
  MakeMusicCarousel({0, 0, 0, 1});
  gCarousel->PlayBackgroundSFX(true);
  ASSERT_TRUE(WaitFor(MusicMode::Playing));
  ASSERT_TRUE(WaitFor(MusicMode::Stopped)) << "the second of tone ends";
  gCarousel->PlayBackgroundSFX(true);
  ASSERT_EQ(Played().size(), 2);
  EXPECT_NE(Played()[0], Played()[1]) << "never the same track twice in a row";
  gCarousel.reset();

  QFile::remove(sfx + QStringLiteral("b.mp3"));
  MakeMusicCarousel({0});
  gCarousel->PlayBackgroundSFX(true);
  ASSERT_TRUE(WaitFor(MusicMode::Playing));
  ASSERT_TRUE(WaitFor(MusicMode::Stopped));
  gCarousel->PlayBackgroundSFX(true);
  EXPECT_EQ(Played(), (QStringList{"a.mp3", "a.mp3"})) << "the only track plays again";
}

TEST_F(CarouselMusicTest, ATrackThatCannotPlayIsSilenceAndTheNextRequestPicksAgain) {
  MakeFile(QStringLiteral("broken.mp3"), QByteArray("ID3\x03\x00\x00\x00", 7));
  MakeFile(QStringLiteral("text.mp3"), "not music at all");
  MakeMusicCarousel({0, 1});
  gCarousel->PlayBackgroundSFX(true);
  ASSERT_TRUE(WaitFor(MusicMode::Stopped));
  gCarousel->PlayBackgroundSFX(true);
  EXPECT_EQ(Played().size(), 2);
  ASSERT_TRUE(WaitFor(MusicMode::Stopped));
}

}  // namespace
