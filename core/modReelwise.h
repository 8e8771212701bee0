#pragma once
// The program's main module: its folders, the external-applications table, and
// the small file and formatting procedures every window uses.
#include "core/ExternalAppEntry.h"

#include <QString>

#include <array>
#include <cstdint>

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
// Creates the application-data, documents, "SFX/", Temp and Libraries folders;
// an existing folder, or one that cannot be made, is passed over.
void CreateProgramFolders();

// The size of a regular file that can be opened for reading; -1 otherwise
// (missing, unreadable, a folder, a FIFO or a device).
int64_t GetFileSizeBytes(const QString& path);
// True for a regular file that can be opened for reading.
bool FileExists(const QString& path);
// True for an existing folder; false on any error.
bool FolderExists(const QString& path);
// "OK", or the text that tells the user why the file cannot be played: the
// offline text for a path marked "[" (without touching the disk), "File not
// found!" or "Cannot open file!" for an empty file.
QString CheckFileAvailable(const QString& path);

// Seconds as hours, two-digit minutes and two-digit seconds: "1:02:05" or
// "1h:02m:05s", with hundredths "1:02:05.45". Every field comes from one whole
// number of milliseconds rounded half to even; negative and NaN input count as 0.
QString FormatDuration(double seconds, bool colonStyle, bool hundredths);

// Creates "ExternalApps.ini" in gDocsFolder with ten empty sections when it
// does not exist, then fills gExternalApps from the sections App1..App30 that
// have a menu text.
void LoadExternalApps();

}  // namespace modReelwise
