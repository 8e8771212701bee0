// Background music of TV-Out mode: one random track at a time from the
// ".mp3" files in "SFX/" of the documents folder, on an audio core of its
// own, so that a sound effect never cuts it. Nothing plays outside TV-Out
// mode; a track that cannot be played is silence until the next request.
#include "carousel/cCarousel.h"

#include "core/modReelwise.h"
#include "platform/cAudioPlayer.h"

#include <QDir>
#include <QFileInfo>

#include <random>

namespace {

// The level the music plays at: a tenth of full amplitude (-20 dB), which on
// mpv's cubic volume scale is 100 x 0.1^(1/3).
constexpr double kBackgroundMusicVolume = 46.4;

// Names the file system gave that do not decode as UTF-8 cannot be opened
// again by name: they are left out.
bool IsCleanName(const QString& name) { return !name.contains(QChar::ReplacementCharacter); }

}  // namespace

cAudioPlayer& cCarousel::Music() {
  if (!m_Music) m_Music = std::make_unique<cAudioPlayer>();
  return *m_Music;
}

// Every ".mp3" file (any case) of the folder, in the file system's order;
// there is no limit to their number.
void cCarousel::LoadMusicList() {
  m_MusicFiles.clear();
  const QDir folder(gDocsFolder + QStringLiteral("SFX"));
  if (!folder.exists()) return;
  for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted)) {
    if (file.suffix().compare(QLatin1String("mp3"), Qt::CaseInsensitive) != 0) continue;
    if (IsCleanName(file.fileName())) m_MusicFiles.append(file.fileName());
  }
}

void cCarousel::PlayBackgroundSFX(bool Play) {
  if (!gTVOutMode) return;
  if (!m_MusicEnabled || m_MusicFiles.isEmpty()) Play = false;
  if (!Play) {
    if (m_Music) m_Music->SetPaused(true);
    return;
  }
  // A track asked for and not yet loaded is as good as playing.
  if (Music().Loading()) return;
  switch (Music().Mode()) {
    case cAudioPlayer::PlayMode::Playing:
      return;
    case cAudioPlayer::PlayMode::Paused:
      m_Music->SetPaused(false);
      return;
    case cAudioPlayer::PlayMode::Stopped:
      StartNewTrack();
      return;
  }
}

// A random track other than the last one, unless it is the only one.
void cCarousel::StartNewTrack() {
  if (!m_ChooseTrack) {
    // One generator for the carousel's life, seeded once.
    m_ChooseTrack = [engine = std::mt19937(std::random_device{}())](int n) mutable {
      return std::uniform_int_distribution<int>(0, n - 1)(engine);
    };
  }
  const int count = static_cast<int>(m_MusicFiles.size());
  int32_t track = m_ChooseTrack(count) + 1;
  if (count > 1) {
    while (track == m_LastTrack) track = m_ChooseTrack(count) + 1;
  }
  m_LastTrack = track;
  cAudioPlayer& music = Music();
  music.SetVolume(kBackgroundMusicVolume);
  music.PlayFile(gDocsFolder + QStringLiteral("SFX/") + m_MusicFiles[track - 1]);
}
