#pragma once
// The full-screen player's command interpreter: the rest of the program
// steers the full-screen player by command name, whatever the player is
// doing. A least version until the player is built: "KillPlayback" closes an
// open full-screen player window (frmDSSink), which ends its playback; every
// other command does nothing yet.
#include "platform/ColorRef.h"

#include <QString>

#include <functional>

// The two colours the on-screen display takes from the carousel's palette:
// the band's colour (lMenuColour2) and the dark colour its texts and the
// tagging counter are drawn in (lMenuColour3).
struct OsdPalette {
  COLORREF lMenuColour2 = 0;
  COLORREF lMenuColour3 = 0;
};

namespace modMainPlayer {

void ExecutePlayerCommand(const QString& command);

// The carousel's colours for its first theme (the program's colour scheme),
// from the scheme colours as they are now: what the display shows while no
// carousel gives it colours.
OsdPalette DefaultOsdPalette();
// The carousel lies above the player, so it hands the display its colours
// through this function, asked at every drawing. An empty function brings
// the default back.
void SetOsdPaletteSource(std::function<OsdPalette()> source);
OsdPalette OsdColours();

}  // namespace modMainPlayer

// The on-screen display's texts: the icon's name (of the "OV_ICONS"
// pictures), the message ("//" between the parts of the tagging layout) and
// the position text ("AB" while an A-B repeat is set).
extern QString gOsdIcon;
extern QString gOsdText;
extern QString gOsdTimeText;
