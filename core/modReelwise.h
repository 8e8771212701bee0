#pragma once
// The program's main module: its folders, the external-applications table, and
// the small file and formatting procedures every window uses.
#include "core/ExternalAppEntry.h"
#include "platform/KeyedCollection.h"

#include <QByteArray>
#include <QCursor>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// The program's folders, each ending in "/".
extern QString gAppDataFolder;    // <application data>/Reelwise II/
extern QString gDocsFolder;       // <documents>/Reelwise II/
extern QString gTempFolder;       // gDocsFolder + "Temp/"
extern QString gLibrariesFolder;  // gDocsFolder + "Libraries/"

// Entries 1..30 of the external applications; entry 0 is never used.
inline constexpr int kExternalAppCount = 30;
extern std::array<ExternalAppEntry, kExternalAppCount + 1> gExternalApps;

namespace modReelwise {

// Sets the folder variables from the desktop's special folders.
void ComputeProgramFolders();
// What of the program's folders could not be made or written, and what the
// program does instead.
struct FolderProblems {
  // Sentences naming each folder at fault (without repeats); empty when all is well.
  QStringList reasons;
  // The folder that stands in for "Temp" this run; empty when Temp serves.
  QString standInTemp;
  // Neither Temp nor a stand-in could be made: the program cannot start.
  bool tempFolderMissing = false;
  // The documents folder takes no files: the external applications' file
  // cannot be written.
  bool externalAppsLost = false;
};
// Creates the application-data, documents, "SFX/", Temp and Libraries folders.
// The documents, Temp and Libraries folders must take files; when Temp
// cannot, a private folder under the system's temporary folder, removed when
// the program ends, stands in for it (gTempFolder then names it).
FolderProblems CreateProgramFolders();
// The titled message's text for the problems: each folder named, what is not
// kept, and what to do; empty when there are none.
QString FolderProblemsText(const FolderProblems& problems);

// The size of a regular file that can be opened for reading; -1 otherwise
// (missing, unreadable, a folder, a FIFO or a device).
int64_t GetFileSizeBytes(const QString& path);
// True for a regular file that can be opened for reading.
bool FileExists(const QString& path);
// FileExists for a path as the file system names it (QFile::encodeName).
bool FileExistsAt(const char* fileSystemPath);
// FileExists asked through the mount probe, within its time limit: nothing
// when the mount that holds the path does not answer (a network share whose
// server went away), so that the window never waits on it.
std::optional<bool> FileThere(const QString& path);
// True for an existing folder; false on any error.
bool FolderExists(const QString& path);
// "OK", or the text that tells the user why the file cannot be played: the
// offline text for a path marked "[" (without touching the disk), "File not
// found!" or "Cannot open file!" for an empty file.
QString CheckFileAvailable(const QString& path);
// The text for a file whose device is offline or does not answer.
QString OfflineFileText();

// Seconds as hours, two-digit minutes and two-digit seconds: "1:02:05" or
// "1h:02m:05s", with hundredths "1:02:05.45" whatever the locale (as exports
// and command lines take it; the windows show it through ShownNumbers).
// Every field comes from one whole number of milliseconds rounded half to
// even; negative and NaN input count as 0.
QString FormatDuration(double seconds, bool colonStyle, bool hundredths);

// Creates "ExternalApps.ini" in gDocsFolder with ten empty sections when it
// does not exist, then fills gExternalApps from the sections App1..App30 that
// have a menu text.
void LoadExternalApps();

}  // namespace modReelwise

// ---- The run-time frame: program-wide state set by start-up ----

// False while Main runs and while other code does work the timers must not
// draw into (the carousel waits for it).
extern bool gAppReady;
// True while an add-files run adds scanned files to the library: the
// inspector loads files without showing the preview, the player opens them
// without its on-screen display, and device changes wait for the run's end.
extern bool gAddingFiles;
// The library to open first (the scratch library when none) and the view to
// replay after opening it.
extern QString gLibraryToOpen;
extern QString gViewSpec;
// The "Save Workspace" menu check.
extern bool gSaveWorkspace;
// The scratch library in gTempFolder, open whenever no real library is.
extern QString gPlaceholderLibraryPath;
// Screen metrics: twips per pixel, and one tile cell of the thumbnail grid
// (104 x 79 pixels) in twips.
extern int32_t gTwipsPerPixelX;
extern int32_t gTwipsPerPixelY;
extern int32_t gTileWidthTwips;
extern int32_t gTileHeightTwips;
// The main window's mode (1 library, 2 compact) and whether TV-Out mode is
// on; the main window's mode switches set them, the window manager and the
// library read them.
extern int32_t gWindowMode;
extern bool gTVOutMode;
// The library's refresh policy: re-run the view after edits, redraw the cloud.
extern bool gAutoRefresh;
extern bool gTagCloudShown;
extern bool gRandomPlayback;
// The result row of a one-item full-screen run; 0 for a queue run.
extern int32_t gPlayStartIndex;
// The one text in which windows build a statement for the library's connection.
extern QString gSQL;
// The list grid's eight detail fields in their home order, the one
// numbering of them: gListColumns is indexed by it, ResultListText and the
// list's sort name a field by it.
enum class DetailField : int { Path, Name, Size, Duration, Resolution, FrameRate, Bitrate, Format };
inline constexpr int kDetailFields = 8;
// The list grid's detail columns, one per DetailField: the grid column the
// field shows in (field + 3 at start) and whether it is a sort key.
struct ListColumn {
  int16_t Column = 0;
  int16_t SortFlag = 0;
};
extern std::array<ListColumn, kDetailFields> gListColumns;
extern QCursor gHandCursor;
// The sound effects as WAV data.
extern QByteArray gSoundClick;
extern QByteArray gSoundScrape;
extern QByteArray gSoundWhip;
extern QByteArray gSoundBeep;

class QPixmap;
class QWidget;
namespace ctl {
class Node;
class TreeView;
}  // namespace ctl

// The tree node of a rename under way: the node whose label edit the
// tree-edit timer (tvwEditTimer) starts, until a name for it is accepted.
// It is held by the node's key, so that a node removed meanwhile is simply
// not found again. Assigning nullptr ends the rename; rebuilding the tree
// does so.
class PendingRenameNode {
 public:
  PendingRenameNode& operator=(const ctl::Node* node);
  const QString& Key() const { return key_; }
  // The node's text when its rename began: the name the library holds.
  const QString& NameBefore() const { return nameBefore_; }
  // The node in `tree`; nullptr when no rename is under way or its node is gone.
  ctl::Node* In(const ctl::TreeView& tree) const;
  bool operator==(const ctl::Node* node) const;

 private:
  QString key_;
  QString nameBefore_;
};
extern PendingRenameNode gPendingRenameNode;
// What the Find dialog opens for: empty a plain search, "SAVE" a new saved
// search, else the view spec of the saved search it edits.
extern QString gFindFilesMode;

namespace modReelwise {

// The resource that holds the empty library, written out for every new
// library and for the scratch library.
inline constexpr const char* kEmptyLibraryResourceType = "CUSTOM";
inline constexpr const char* kEmptyLibraryResourceName = "DB";
// Writes the empty library template to `path`, replacing a file there;
// `beforePlacing`, when given, is asked before it is put in place, and false
// leaves nothing under the name (WholeFileWriter::Commit).
void ExtractTemplateLibrary(const QString& path, const std::function<bool()>& beforePlacing = {});
// Shows the tip numbered by "TipOfTheDayIndex" and stores the next number.
void ShowTipOfTheDay();
// The tip texts 1..19; 0 is empty.
QString TipText(int index);

// Keep the display awake and the screen saver off while the program runs
// (the desktop's screen-saver inhibition over the session bus); true when the
// request reached the desktop. Without a session bus nothing happens.
void KeepDisplayOn();
bool SetScreenSaverActive(bool active);

// The scratch library: "InitRW2" in gTempFolder, or "InitRW2-<pid>" while
// another running instance holds that one; locked for this process. Files of
// instances that are gone are deleted.
QString ClaimScratchLibrary();
// Deletes this process's scratch file and its journal, and drops the lock.
void ReleaseScratchLibrary();

// ---- Window procedures (modReelwise_window.cpp) ----
// The procedures that act on one pane of the main window are that pane's;
// those that draw are in the drawing layer (ui/modReelwise_drawing.h).

// Font sizes and widths the windows give for 96 dots per inch: a font size
// shrinks in proportion on denser screens (times gTwipsPerPixelY / 15), a
// width grows (times 15 / gTwipsPerPixelX).
double ScaledFont(double points);
double ScaledWidth(double pixels);
// Stops (true) or resumes (false) all drawing of a window; one lock for the
// whole program. False when the state asked for is the one already in force.
bool SetWindowRedraw(QWidget* hWnd, bool lock);
// Gives (or takes) a window the desktop's drop shadow.
void SetDropShadow(QWidget* hWnd, bool on);
void InitCommonControlsVB();

}  // namespace modReelwise
