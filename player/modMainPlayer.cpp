#include "player/modMainPlayer.h"

#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

std::vector<ResultItem> gPlayQueue(1);
int32_t gPlayCount = 0;
int32_t gPlayIndex = 0;
bool gPlayWholeQueue = true;

ResultItem gPlayItem;
bool gOpeningEntry = false;
bool gEntryDone = false;
bool gRepeatEntry = false;
bool gStopPlaylist = false;
int32_t gLastSegmentID = 0;
int32_t gOpenFileID = 0;
bool gFullScreenFileOpen = false;
double gResumePosition = 0;

QString gOsdIcon;
QString gOsdText;
QString gOsdTimeText;

namespace modMainPlayer {

namespace {

std::function<OsdPalette()>& PaletteSource() {
  static std::function<OsdPalette()> source;
  return source;
}

PlayerHooks& TheHooks() {
  static PlayerHooks hooks;
  return hooks;
}

}  // namespace

void SetPlayerHooks(PlayerHooks hooks) { TheHooks() = std::move(hooks); }

const PlayerHooks& Hooks() { return TheHooks(); }

OsdPalette DefaultOsdPalette() {
  const COLORREF tint1 = BlendColor(gSchemeColour2, gSchemeColour3, 128);
  return {BlendColor(tint1, RGB(255, 255, 255), 160), gSchemeColour4};
}

void SetOsdPaletteSource(std::function<OsdPalette()> source) { PaletteSource() = std::move(source); }

OsdPalette OsdColours() {
  const auto& source = PaletteSource();
  return source ? source() : DefaultOsdPalette();
}

}  // namespace modMainPlayer
