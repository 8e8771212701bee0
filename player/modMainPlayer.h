#pragma once
// The full-screen player's procedures: the run of the play queue, one entry
// played and waited for, and the command interpreter by which keys (and the
// rest of the program) steer it; the play queue and the playlist files for
// another player.
#include "library/ResultItem.h"
#include "platform/ColorRef.h"

#include <QString>
#include <QStringList>

class QWidget;

#include <cstdint>
#include <functional>
#include <vector>

// The two colours the on-screen display takes from the carousel's palette:
// the band's colour (lMenuColour2) and the dark colour its texts and the
// tagging counter are drawn in (lMenuColour3).
struct OsdPalette {
  COLORREF lMenuColour2 = 0;
  COLORREF lMenuColour3 = 0;
};

namespace modMainPlayer {

// What the player needs of the windows above it: the main window's position
// timer (Timer1), the display's fade timer (Timer2) and the carousel. Start-up
// connects them (app/UpwardCalls.cpp); an empty function does nothing.
struct PlayerHooks {
  std::function<void(bool)> SetPositionTimer;  // Timer1 on or off
  std::function<void()> RestartFade;           // Timer2: tag empty, enabled
  std::function<void()> StopFade;              // Timer2: off, interval 100 ms
  std::function<void(int)> SetFadeInterval;    // Timer2's interval
  std::function<void(bool)> CarouselMusic;     // the carousel's PlayBackgroundSFX
  std::function<void()> Quit;                  // the main window's Quit command
};
void SetPlayerHooks(PlayerHooks hooks);
const PlayerHooks& Hooks();

// Runs the queue in the full-screen window (gDSSinkForm) until KillPlayback,
// or hands whole files to another player as a playlist.
void RunPlaylist();
// Plays one entry and returns when it is over.
void PlayFileFullScreen(ResultItem& Item);
// The wait of an entry: 10 ms sleeps running the message loop.
void WaitForEntryEnd();
// The interpreter of player commands ("Play/Pause", "JumpForward", ...).
// While an entry opens, "KillPlayback" ends the run at once and the others
// wait for RunWaitingCommands.
void ExecutePlayerCommand(const QString& command);
// Carries out the commands given while the entry opened, once it plays.
void RunWaitingCommands();
// Forgets them (a new run begins with none).
void DropWaitingCommands();
// True while a run is going on.
bool RunActive();
// After a run, the carousel's background music plays on in carousel mode.
void ResumeCarouselMusic();
// Shows the full-screen window (gDSSinkForm) modally over the owner's screen;
// returns when the run it starts is over and the window is gone. A queue of
// whole files for another player runs without the window.
void ShowFullScreenPlayer(QWidget* owner);
// A full-screen window that runs no queue closes at once.
void CloseIdleWindow();

// ---- The play queue and external playlists ----
// Fills the queue from the results (the selected rows, else all, in result
// order), shuffled when random playback is on, and for whole files played by
// another program writes and launches the playlist file at every run.
void BuildPlaylist();
// True when the queue goes to the desktop's player as a playlist: whole files
// with the internal player off, outside TV-Out mode.
bool QueueGoesToOtherPlayer();
// A Fisher-Yates shuffle of entries 1 to gPlayCount, entry 0 the swap space.
void ShufflePlaylist();
// What a playlist file holds for the entries, in the format "M3U", "ASX" or
// any other (PLS): lines ending in CR LF, UTF-8. Entries that cannot be
// played by another program (offline, or a name with a line break) are left
// out and named in `left`.
QByteArray PlaylistText(const std::vector<ResultItem>& entries, const QString& format, QStringList* left = nullptr);
// Writes gTempFolder & "playlist." & format with the queue's entries and
// opens it with the desktop's application for its type; the text of the
// message that told why not (naming the playlist's path when it could not
// be opened), else empty.
QString WriteAndLaunchPlaylist();

// The carousel's colours for its first theme (the program's colour scheme),
// from the scheme colours as they are now: what the display shows while no
// carousel gives it colours.
OsdPalette DefaultOsdPalette();
// The carousel lies above the player, so the display asks it for its colours
// through this function at every drawing; start-up connects it
// (app/UpwardCalls.cpp). An empty function brings the default back.
void SetOsdPaletteSource(std::function<OsdPalette()> source);
OsdPalette OsdColours();

}  // namespace modMainPlayer

// The play queue: entries 1 to gPlayCount (entry 0 the one entry of a
// one-item run and the shuffle's swap space), the entry played, and whether
// the run steps through the queue or plays entry 0.
extern std::vector<ResultItem> gPlayQueue;
extern int32_t gPlayCount;
extern int32_t gPlayIndex;
extern bool gPlayWholeQueue;

// The run's state: the entry played (its SelectionStart and SelectionEnd are
// the A and B points), the flags of the entry's life, and where it stopped.
extern ResultItem gPlayItem;
extern bool gOpeningEntry;
extern bool gEntryDone;
extern bool gRepeatEntry;
extern bool gStopPlaylist;
extern int32_t gLastSegmentID;
extern int32_t gOpenFileID;
extern bool gFullScreenFileOpen;
extern double gResumePosition;

// The on-screen display's texts: the icon's name (of the "OV_ICONS"
// pictures), the message ("//" between the parts of the tagging layout) and
// the position text ("AB" while an A-B repeat is set).
extern QString gOsdIcon;
extern QString gOsdText;
extern QString gOsdTimeText;
