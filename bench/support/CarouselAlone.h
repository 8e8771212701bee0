#pragma once
// The running program with the generated large library's results in the
// carousel view, the carousel's canvas taken out into a window of its own at
// 1920 x 1080 and shown, so that every repaint reaches a screen.
#include "bench/support/ProgramInPrivateHome.h"

class ucCanvas;

struct CarouselAlone : ProgramInPrivateHome {
  CarouselAlone();
  ucCanvas& Canvas() const;
};
