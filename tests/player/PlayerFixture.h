#pragma once
// Players opened on clips made for the test: colour bars with each frame's
// index drawn along the top, 25 frames per second, played without a sound
// device. The clips are made once for all tests of a binary.
#include "core/modRegistry.h"
#include "core/modReelwise.h"
#include "player/ModMixers.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestVideo.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <cmath>
#include <map>
#include <memory>

namespace rwtest {

// The frame index a frameIndex clip shows in the picture, or -1 when the
// squares cannot be read (not pure black or white).
inline int FrameIndexIn(const QImage& picture, int clipWidth) {
  if (picture.isNull()) return -1;
  const double scale = static_cast<double>(picture.width()) / clipWidth;
  const int side = IndexSquareSize(clipWidth);
  int index = 0;
  for (int bit = 0; bit < 8; ++bit) {
    const QPoint centre(static_cast<int>((bit * side + side / 2) * scale), static_cast<int>(side / 2 * scale));
    const int grey = qGray(picture.pixel(centre));
    if (grey > 60 && grey < 190) return -1;
    if (grey >= 190) index |= 1 << bit;
  }
  return index;
}

// The distance between two colours, channel by channel at most.
inline int ColourDistance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

class PlayerTest : public TempHomeTest {
 protected:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 360;

  static void SetUpTestSuite() {
    clips_ = std::make_unique<QTemporaryDir>();
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
  }
  static void TearDownTestSuite() {
    madeClips_.clear();
    clips_.reset();
  }

  void SetUp() override {
    TempHomeTest::SetUp();
    RW_REQUIRE_FFMPEG();
    gTempFolder = HomePath(QStringLiteral("Temp/"));
    QDir().mkpath(gTempFolder);
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("ThumbnailTimeout"), 5);
    host_ = std::make_unique<QWidget>();
    host_->resize(kWidth, kHeight);
    player_ = std::make_unique<clsRWPlayer>();
  }

  void TearDown() override {
    ModMixers::SetBackendForTests(nullptr);
    player_.reset();
    host_.reset();
    TempHomeTest::TearDown();
  }

  // A clip of the given kind, made at its first use.
  static QString Clip(const QString& name, const TestVideoSpec& spec) {
    auto& made = madeClips_[name];
    if (made.isEmpty()) {
      QString error;
      made = MakeTestVideo(clips_->path(), name, spec, &error).value_or(QString());
      EXPECT_FALSE(made.isEmpty()) << error.toStdString();
    }
    return made;
  }
  // Four seconds of bars with frame indexes and a tone.
  static QString BarsClip() {
    TestVideoSpec spec;
    spec.seconds = 4;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.frameIndex = true;
    spec.audio = true;
    return Clip(QStringLiteral("bars «été».mkv"), spec);
  }
  // Ten seconds of interlaced MPEG-2 with frame indexes, a keyframe every 12
  // frames, in the container the name's extension gives (.mpg, .ts).
  static QString InterlacedMpeg2Clip(const QString& name) {
    TestVideoSpec spec;
    spec.seconds = 10;
    spec.frameIndex = spec.interlaced = true;
    spec.codec = QStringLiteral("mpeg2video");
    spec.keyframeInterval = 12;
    return Clip(name, spec);
  }
  static QString AudioClip() {
    TestVideoSpec spec;
    spec.seconds = 3;
    spec.video = false;
    spec.audio = true;
    return Clip(QStringLiteral("tone.m4a"), spec);
  }

  QString Open(const QString& path) { return player_->OpenFile(path, 0, 0, kWidth, kHeight, host_.get(), true); }
  int GrabbedIndex() { return FrameIndexIn(player_->GrabFrame(), kWidth); }

  std::unique_ptr<QWidget> host_;
  std::unique_ptr<clsRWPlayer> player_;

 private:
  static inline std::unique_ptr<QTemporaryDir> clips_;
  static inline std::map<QString, QString> madeClips_;
};

}  // namespace rwtest
