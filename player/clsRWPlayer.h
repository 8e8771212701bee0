#pragma once
// The player object of the preview and the full-screen player. A least
// version until the player is built: it holds the options start-up gives it
// and answers for a player with no file open.
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>

class clsRWPlayer {
 public:
  // Full-screen video fills the screen instead of keeping its proportions.
  bool StretchToScreen = true;

  // Stops playback and releases the file.
  void CleanUp() {}
  // Pauses the preview.
  void Pause() {}
  // 0 to 100.
  int32_t Volume() const { return volume_; }
  // Native size of the open video; 0 when none is open.
  int32_t VideoWidth() const { return 0; }
  int32_t VideoHeight() const { return 0; }
  // 0 stopped, 1 paused, 2 running.
  int32_t PlayState() const { return 0; }
  // The window that owns the video window.
  QWidget* Owner() const { return owner_; }
  void SetOwner(QWidget* owner) { owner_ = owner; }

 private:
  int32_t volume_ = 100;
  QPointer<QWidget> owner_;
};

extern std::unique_ptr<clsRWPlayer> gPlayer;
