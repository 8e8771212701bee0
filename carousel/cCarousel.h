#pragma once
// The carousel, the ten-foot browser of TV-Out mode. A least version until
// the carousel is built: it answers the calls of start-up and of the library
// and keeps the current result's index, and draws nothing.
#include "platform/ColorRef.h"

#include <QString>

#include <cstdint>
#include <memory>

class cCarousel {
 public:
  // Takes the palette of the first colour theme (the program's colour
  // scheme) and lends the player's on-screen display its menu colours.
  cCarousel();

  // Palette colours: a light variant and the dark one.
  COLORREF lMenuColour2;
  COLORREF lMenuColour3;

  // The start-up animation of TV-Out mode; gAppReady is held True while it
  // runs and cleared at its end.
  void AppStartUp(bool First, bool Second);
  // "L" runs the next wipe-in of new results in reverse; any other text
  // the normal way.
  QString WipeDirection;

  // Keeps a snapshot of the canvas.
  void SaveContext() {}
  // An announcement across the canvas, its size and opacity running from
  // `From` to `To`.
  void Broadcast(const QString& Message, double From, double To) {}
  // Forgets the old result set: no current result.
  void NewResults();
  // Makes a result current (clamped to the results).
  void SetCarouselIndex(int32_t NewIndex, bool Animate, bool SlowTimer);
  void RedrawAll(bool RebuildTags, bool Refresh) {}
  // Background music: true plays or resumes it, false pauses it. Nothing
  // plays yet.
  void PlayBackgroundSFX(bool Play) {}
  // The on-canvas menu shown ("NULL" none); kept, nothing drawn yet.
  QString MenuMode;
};

extern std::unique_ptr<cCarousel> gCarousel;
