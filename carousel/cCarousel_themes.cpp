// The carousel's colour themes: a small palette derived from a tint scheme,
// either the program's own colour scheme (0) or one of eight fixed or
// stored tints, optionally inverted.
#include "carousel/cCarousel.h"

#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

#include <utility>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The single tint of schemes 1 to 6: red, green, blue, yellow, magenta, cyan.
COLORREF SingleTint(int32_t scheme) {
  static constexpr COLORREF tints[] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                                       RGB(255, 255, 0), RGB(255, 0, 255), RGB(0, 255, 255)};
  return tints[scheme - 1];
}

// A stored colour; an empty or unreadable one counts as 0 (black).
COLORREF StoredColour(const QString& name) {
  return static_cast<COLORREF>(modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, name).ToLong(0));
}

}  // namespace

void cCarousel::SetTintColours(COLORREF Light, COLORREF Dark) {
  COLORREF* tint = m_TintColour;
  tint[4] = Light == Dark || m_Invert ? Light : Dark;
  tint[0] = BlendColor(kWhite, Light, 128);
  tint[1] = BlendColor(tint[0], Light, 128);
  lColour3 = BlendColor(Dark, Light, 128);
  tint[3] = BlendColor(Dark, kBlack, 128);
  tint[2] = BlendColor(Dark, tint[3], 128);
}

// The palette of a scheme, without the redraw; any number but 0 to 8 keeps
// the tints as they are.
void cCarousel::ApplyPalette(int32_t Scheme) {
  m_TintScheme = Scheme;
  COLORREF* tint = m_TintColour;
  if (Scheme == 0) {
    tint[0] = gSchemeColour2;
    tint[1] = BlendColor(gSchemeColour2, gSchemeColour3, 128);
    lColour3 = gSchemeColour1;
    tint[2] = BlendColor(gSchemeColour1, gSchemeColour4, 128);
    tint[3] = gSchemeColour4;
  } else if (Scheme >= 1 && Scheme <= 6) {
    SetTintColours(SingleTint(Scheme), SingleTint(Scheme));
  } else if (Scheme == 7) {
    SetTintColours(RGB(180, 180, 180), RGB(75, 75, 75));
  } else if (Scheme == 8) {
    tint[3] = StoredColour(QStringLiteral("TV-Out Colour1"));
    tint[0] = StoredColour(QStringLiteral("TV-Out Colour2"));
    SetTintColours(tint[0], tint[3]);
  }
  HighlightColour = Scheme == 0 ? gCursorColour : RGB(255, 128, 0);
  // The menu colours come from the ramp before any inversion.
  lMenuColour1 = BlendColor(tint[0], kWhite, 100);
  lMenuColour2 = BlendColor(tint[1], kWhite, 160);
  lMenuColour3 = tint[3];
  if (m_Invert) {
    std::swap(tint[0], tint[3]);
    std::swap(tint[1], tint[2]);
    lTextColour = BlendColor(tint[1], kBlack, 100);
    lBGColour = BlendColor(lColour3, kWhite, 100);
  } else {
    lTextColour = BlendColor(tint[1], kWhite, 60);
    lBGColour = BlendColor(lColour3, kBlack, 60);
  }
  if (Scheme == 0 || Scheme == 8) {
    lBGColour = tint[3];
    lTextColour = tint[0];
  }
}

void cCarousel::SetColourScheme(int32_t Scheme) {
  m_TintScheme = Scheme;
  SyncMenuState();
  ApplyPalette(Scheme);
  BuildCardTile();
  LoadEntries(gBrowserIndex);
  DrawFrame();
  RedrawAll(false, false);
  // Only TV-Out mode remembers its theme.
  if (gTVOutMode) {
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TV-Out Theme"), Scheme);
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("Invert Colours"), m_Invert ? 1 : 0);
  }
}
