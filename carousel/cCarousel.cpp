#include "carousel/cCarousel.h"

#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "player/modMainPlayer.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

#include <algorithm>

std::unique_ptr<cCarousel> gCarousel;

cCarousel::cCarousel()
    : lMenuColour2(BlendColor(BlendColor(gSchemeColour2, gSchemeColour3, 128), RGB(255, 255, 255), 160)),
      lMenuColour3(gSchemeColour4) {
  modMainPlayer::SetOsdPaletteSource([] {
    return gCarousel ? OsdPalette{gCarousel->lMenuColour2, gCarousel->lMenuColour3}
                     : modMainPlayer::DefaultOsdPalette();
  });
}

void cCarousel::AppStartUp(bool, bool) {
  gAppReady = true;
  gAppReady = false;
}

void cCarousel::NewResults() { gBrowserIndex = 0; }

void cCarousel::SetCarouselIndex(int32_t NewIndex, bool, bool) {
  const int32_t count = gLibrary ? gLibrary->ResultCount : 0;
  gBrowserIndex = count > 0 ? std::clamp(NewIndex, 1, count) : 0;
}
