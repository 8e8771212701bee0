#pragma once
// The upgrade every library gets when it is opened with a full reload: each
// schema feature of older program versions is probed for and added when
// missing, the program's version is stamped, and rows that refer to nothing
// are removed. Nothing asks the user; a step that fails leaves its part of the
// schema as it was and the next step runs.
#include <QString>

class SqlConnection;

struct UpgradeReport {
  // The file had no DateAdded column: its thumbnails come from a version that
  // stored other sizes and must be brought to 100 x 75.
  bool resizeThumbnails = false;
  // The renumbering of files (libraries older than 1.6.0) could not complete
  // and was undone; orphan clean-up must not run on the half-old layout.
  bool renumberingFailed = false;
  // For the user, when something could not be upgraded.
  QString problem;
};

// True when the library predates the result view, so the renumbering of
// files will run; the caller backs the file up before the upgrade starts.
bool NeedsRenumbering(SqlConnection& db);

// Probes for and adds every missing feature, in order, inside the caller's
// transaction; the renumbering runs in its own nested transaction "v1.6.0".
UpgradeReport UpgradeLibrarySchema(SqlConnection& db);

// Replaces VersionData by the program's version, "Final".
void StampLibraryVersion(SqlConnection& db);

// Removes thumbnails, links, segments and segment tags that refer to nothing,
// and tags implied by another tag of the same segment.
void RemoveOrphanRows(SqlConnection& db);
