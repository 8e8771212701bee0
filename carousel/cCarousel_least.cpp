// Least versions of what the ring calls of the details, menus, keys,
// announcements, music and colour themes: what it needs of them today. Each
// goes when its full version is written.
#include "carousel/cCarousel.h"

#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "platform/controls/VbInput.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

// A least version of the tint schemes: scheme 0 takes the program's colour
// scheme; any other number keeps the tints it has.
void cCarousel::ApplyPalette(int32_t Scheme) {
  m_TintScheme = Scheme;
  COLORREF* tint = m_TintColour;
  if (Scheme == 0) {
    tint[0] = gSchemeColour2;
    tint[1] = BlendColor(gSchemeColour2, gSchemeColour3, 128);
    lColour3 = gSchemeColour1;
    tint[2] = BlendColor(gSchemeColour1, gSchemeColour4, 128);
    tint[3] = gSchemeColour4;
  }
  const COLORREF white = RGB(255, 255, 255);
  const COLORREF black = RGB(0, 0, 0);
  HighlightColour = Scheme == 0 ? gCursorColour : RGB(255, 128, 0);
  lMenuColour1 = BlendColor(tint[0], white, 100);
  lMenuColour2 = BlendColor(tint[1], white, 160);
  lMenuColour3 = tint[3];
  if (m_Invert) {
    std::swap(tint[0], tint[3]);
    std::swap(tint[1], tint[2]);
    lTextColour = BlendColor(tint[1], black, 100);
    lBGColour = BlendColor(lColour3, white, 100);
  } else {
    lTextColour = BlendColor(tint[1], white, 60);
    lBGColour = BlendColor(lColour3, black, 60);
  }
  if (Scheme == 0 || Scheme == 8) {
    lBGColour = tint[3];
    lTextColour = tint[0];
  }
}

void cCarousel::SetColourScheme(int32_t Scheme) {
  ApplyPalette(Scheme);
  SyncMenuState();
  BuildCardTile();
  LoadEntries(gBrowserIndex);
  DrawFrame();
  RedrawAll(false, false);
  if (gTVOutMode) {
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TV-Out Theme"), Scheme);
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("Invert Colours"), m_Invert ? 1 : 0);
  }
}

// A least version: no music plays yet.
void cCarousel::PlayBackgroundSFX(bool) {}
void cCarousel::LoadMusicList() {}
