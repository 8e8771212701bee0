#pragma once
// The upgrade every library gets when it is opened with a full reload: each
// schema feature of older program versions is probed for and added when
// missing, the program's version is stamped, and rows that refer to nothing
// are removed. Nothing asks the user; a step that fails leaves its part of the
// schema as it was and the next step runs.
#include <QString>

#include <optional>

class SqlConnection;
struct SqlWrites;

// The steps of the upkeep, as bits. An open of a file the program knows runs
// only the steps left to do (UpkeptFile.h); an open of any other file runs
// every one.
enum UpkeepStep : unsigned {
  kCheckPages = 1u << 0,        // SQLite's quick check of every page, before anything is changed
  kUpgradeSchema = 1u << 1,     // the upgrade, the version stamp and the program's indexes
  kSweepThumbnails = 1u << 2,   // thumbnails without a picture or a segment
  kSweepLinks = 1u << 3,        // links of or to a tag that is gone
  kSweepSegments = 1u << 4,     // segments of a file that is gone
  kSweepSegmentTags = 1u << 5,  // tags of a segment that is gone
  kSweepImpliedTags = 1u << 6,  // tags implied by another tag of their segment
  kMapPaths = 1u << 7,          // the files' folders and the segments' online flags
};
inline constexpr unsigned kOrphanSweeps = kSweepThumbnails | kSweepLinks | kSweepSegments | kSweepSegmentTags;
inline constexpr unsigned kEveryUpkeepStep = (kMapPaths << 1) - 1;

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

// The steps the program's own writes, as its connection recorded them, may
// have given work: a row added that refers to something, or a row removed
// that something refers to, the version row, the files' locations. Writes
// of names, ratings, descriptions or saved views give none.
unsigned UpkeepAfterWrites(const SqlWrites& writes);

// What the sweeps of `steps` would remove, found without changing anything.
// A column of a table of the library, as the survey names what it found.
struct TableColumn {
  QString table;
  QString column;
};

struct OrphanSurvey {
  // A reference to nothing that is not a whole number (nor empty): damage,
  // not a row the program's history left, so the file must be refused
  // rather than rows removed. None when there is none.
  std::optional<TableColumn> damagedKey;
  // A row number beyond the 32 bits the program keeps one in (read, it would
  // name another row), or of 0 or below (read as none). Looked for only with
  // the orphan sweeps' steps (a file another program may have written).
  std::optional<TableColumn> keyOutOfRange;
  // The first table whose index no longer matches its rows (another program
  // wrote rows while SQLite did not know the index), found with the orphan
  // sweeps' steps among the catalogue tables the program reads through an
  // index, the segment tags and thumbnails among them; empty when there is
  // none. SQLite's quick check of the pages does not compare an index with
  // its table.
  QString damagedIndex;
  // The sweeps of `steps` that have rows to remove (or could not be
  // surveyed), the implied tags among them when some segment carries a tag
  // another tag links to.
  unsigned sweeps = 0;
};
OrphanSurvey SurveyOrphans(SqlConnection& db, unsigned steps);

// The sweeps of `steps`: thumbnails, links, segments and segment tags that
// refer to nothing, and tags implied by another tag of the same segment.
// Segments removed bring their tags' sweep with them.
void RemoveOrphanRows(SqlConnection& db, unsigned steps = kOrphanSweeps | kSweepImpliedTags);

// An index of the thumbnails that hold a picture, so that the pre-load and
// the clean-up find them without reading every picture. Other programs
// reading the file do not use it (one older than SQLite 3.8 cannot read a
// partial index's definition, as with the tag steps' own).
void AddPictureIndex(SqlConnection& db);
