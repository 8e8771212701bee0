#pragma once
// The full-screen player's command interpreter: the rest of the program
// steers the full-screen player by command name, whatever the player is
// doing. A least version until the player is built: "KillPlayback" closes an
// open full-screen player window (frmDSSink), which ends its playback; every
// other command does nothing yet.
#include <QString>

namespace modMainPlayer {

void ExecutePlayerCommand(const QString& command);

}  // namespace modMainPlayer

// The on-screen display's texts: the icon's name (of the "OV_ICONS"
// pictures), the message ("//" between the parts of the tagging layout) and
// the position text ("AB" while an A-B repeat is set).
extern QString gOsdIcon;
extern QString gOsdText;
extern QString gOsdTimeText;
