#include "carousel/cCarousel.h"

#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"

#include <algorithm>

std::unique_ptr<cCarousel> gCarousel;

void cCarousel::AppStartUp(bool, bool) {
  gAppReady = true;
  gAppReady = false;
}

void cCarousel::NewResults() { gBrowserIndex = 0; }

void cCarousel::SetCarouselIndex(int32_t NewIndex, bool, bool) {
  const int32_t count = gLibrary ? gLibrary->ResultCount : 0;
  gBrowserIndex = count > 0 ? std::clamp(NewIndex, 1, count) : 0;
}
