#pragma once
// The database work behind the tag tree, segments, tagging, ratings, the tag
// structure of a file or segment and the playlist statistics: plain functions
// over the open library's connection. The library object's methods of the same
// names call them and add what concerns the windows (progress captions,
// refreshing the view, the tag cloud, tree nodes, the inspector, message
// boxes); each function's comment says which of those steps the method adds.
//
// Statements are text with every quote doubled; seconds are bound as
// parameters, since SQLite's own text-to-real conversion is not always exact
// and a segment is found again by its bounds.
#include "library/ThumbnailStore.h"
#include "platform/KeyedCollection.h"
#include "platform/RWError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class SqlConnection;

namespace TagStore {

// The library object's thumbnail cache: JPEG pictures keyed by SegmentID (0
// holds the placeholder picture).
using ThumbnailCache = ThumbnailStore;

// ---------------------------------------------------------------- tag tree

// The text in keypad digits: upper case, A-C 2 ... W-Z 9; every other
// character (digits, blanks, accented letters) unchanged.
QString ConvertToT9(const QString& text);

// Adds a Tags row (T9Text filled, Behaviour and CategoryID left for
// SetNodeBehaviours) and, when `parent` is not empty, its 'P' link. `parent`
// is a TagID as text; one that is not a number raises error 13 and one that
// names no tag error 5, before anything is written. Returns the new TagID.
// The method adds: RefreshResults when gAutoRefresh.
int32_t CreateTag(SqlConnection& db, const QString& name, const QString& type, const QString& parent);

// Whether `parent` may become the parent of `tag`. Every writer of 'P' links
// asks this first (the tree's move by drag and drop too): a second parent
// makes the tree show the tag twice, and a cycle makes the tree build loop.
// `moving`: the tag's present parent link is about to be replaced, so it does
// not count as a second parent.
enum class ParentLinkCheck { Allowed, SameTag, ClosesCycle, SecondParent };
ParentLinkCheck CheckParentLink(SqlConnection& db, int32_t tag, int32_t parent, bool moving = false);
// The text to tell the user why a link was refused; empty for Allowed and SameTag.
QString ParentLinkRefusal(ParentLinkCheck check);

struct LinkOutcome {
  bool stored = false;                              // the link row was written
  ParentLinkCheck check = ParentLinkCheck::Allowed;  // why a 'P' link was refused
};
// Stores the link (TagID, LinkedTag, relationship 'P' or 'L') and takes
// `linked` off every segment that also carries `tag`, since `tag` implies it
// from now on. Equal tags do nothing; a 'P' link that CheckParentLink refuses
// writes nothing; a pair that exists already ends it silently with nothing
// written, and any other failure raises, with nothing written.
// The method adds, only when `stored`: RefreshResults when gAutoRefresh,
// ShowTagCloud(True) when gTagCloudShown; when `check` is a refusal, it shows
// ParentLinkRefusal(check) in the message box (style 48, font "Tahoma").
LinkOutcome CreateTagRelationship(SqlConnection& db, int32_t tag, int32_t linked, const QString& relationship);

// Removes the link between a and b in both directions, whatever its letter.
// The method adds: RefreshResults when gAutoRefresh; ShowTagCloud(True) when
// gTagCloudShown.
void DeleteTagRelationship(SqlConnection& db, int32_t a, int32_t b);

// Deletes the node keyed "ID" & TagID with its subtree as the tree shows it
// (children over 'P' links, leaving out playlists, which the tree shows under
// "Saved Playlists", and the fixed nodes 1 to 4): the Tags rows, their use on
// segments, every link from or to them and their saved views and searches.
// Tags only 'L'-linked to the subtree stay. A key whose rest is not a number
// raises error 13 before anything is written. Transaction "DelNode".
// The method adds: RefreshResults when gAutoRefresh; ShowTagCloud(True) when
// gTagCloudShown. The caller removes the tree node.
void DeleteTreeNode(SqlConnection& db, const QString& key);

// Derives Tags.Behaviour and Tags.CategoryID from the Tags and TagLinks rows
// by the tree's placement: a node sits under its 'P' parent (the lowest TagID
// when an old library gives it several), a playlist always under "Saved
// Playlists", the fixed nodes 1 to 4 always at the top. Behaviour is the row's
// Type, or 'T' when a tag is above it; CategoryID the outermost category above
// it. The fixed nodes count as neither tag nor category. A tag without a place
// in the tree (no 'P' parent, only 'L' links) is a top-level node here: its
// own Type and no category; what lies below it is derived through it.
// `onlyUnset`: only rows whose Behaviour (for the Type) or CategoryID (for
// the derived values) is NULL are touched; otherwise every row is set, and a
// CategoryID that no longer applies is cleared. No window steps.
void SetNodeBehaviours(SqlConnection& db, bool onlyUnset);

struct LevelTag;
// SetNodeBehaviours(db, false) for tags already read, with each tag's row
// (Type, Behaviour, CategoryID as stored) and its lowest parent link: every
// tag's values are derived at once and the rows whose values differ written
// through one prepared statement. `progress` is called every few hundred
// rows with the rows done, for the caller to report (and paint) past half a
// second.
void WriteTagLevels(SqlConnection& db, const std::vector<LevelTag>& tags,
                    const std::function<void(int done)>& progress = {});

// ---------------------------------------------------------------- segments

struct NewSegment {
  int32_t result = 0;     // the source SegmentID passed in, which the segment editor selects next
  int32_t segmentId = 0;  // the row just added
};
// Adds a sub-segment of `fileId` from `start` to `end` seconds. A sub-segment
// with the same bounds is replaced: its tags move to the new row, its result
// and thumbnail rows go. The new segment's cached picture is the source
// segment's (none when the source has none, so the file's shows). The caller
// reloads its segment list; no other window steps.
NewSegment CreateSegment(SqlConnection& db, double start, double end, int32_t fileId, int32_t sourceSegmentId,
                         ThumbnailCache& cache);

// Moves a segment's bounds. No window steps.
void UpdateSegmentAB(SqlConnection& db, int32_t segmentId, double start, double end);

// Removes a segment with its thumbnail (row and cached picture), tags and
// result row. The method adds: unless the scope gResultKind is whole files,
// FetchSearchResults and ShowSearchResults.
void RemoveSegment(SqlConnection& db, int32_t segmentId, ThumbnailCache& cache);

// Puts a tag on a segment or takes it off; true when a row changed. A pair
// already there (or already gone) is no error.
// The method adds: ShowTagCloud(True) when gTagCloudShown, whatever the result.
bool TagSegment(SqlConnection& db, int32_t segmentId, int32_t tagId, bool remove);

// Stores a rating (0 to 5, written unchanged); true when the segment exists.
// The method adds: in the inspector's flexSegments, column 5 := the rating in
// every used row whose column 4 is this SegmentID (the rated segment, not the
// inspected one); the rating shown by the matching carousel and grid items.
bool RateSegment(SqlConnection& db, int16_t rating, int32_t segmentId);

// Empties SearchResults (transaction "DSR"). No window steps.
void DeleteSearchResults(SqlConnection& db);

// One row of the result set, as RemoveFile needs it.
struct ResultRowRef {
  int32_t fileId = 0;
  bool selected = false;
};
struct RemoveFileRequest {
  int32_t fileId = 0;                 // 0: the files of the selected rows below
  std::vector<ResultRowRef> results;  // gResults rows 1 to its upper bound
  bool deleteFromDisk = false;
  int32_t inspectedFileId = 0;        // gInspectedItem.FileID
  // Called just before the inspected file's rows go: gPlayer.CleanUp, then
  // frmReelwise.ClearInspector.
  std::function<void()> releaseInspected;
  // Called after every candidate with the row number (fileId 0) or the FileID.
  std::function<void(int32_t)> progress;
};
struct RemoveFileResult {
  std::vector<int32_t> removed;  // files whose rows went, in order
  QStringList messages;          // to show, each in the message box
  // With deleteFromDisk, the fault that ended the removal after the files
  // before it went, for the caller to tell.
  std::optional<StorageFault> fault;
};
// Removes files from the library: the file row, its segments, their tags,
// thumbnails (rows and cached pictures) and result rows; with deleteFromDisk
// the file goes to the trash too (modLaunchDoc::DeleteFileToBin), one file
// at a time once its rows are gone and committed. A file already gone from
// the disk is removed silently; a file on an offline device or at no known
// path, or one the trash refused (told by DeleteFileToBin; its rows are put
// back), stays on disk and in the library. A file whose rows fail keeps them
// all; the next file is taken. A full disk or a library file that cannot be
// written ends the removal: without the disk it raises, with every file kept
// as it was (transaction "RemoveFile"); with it, the files before stay
// removed from both and `fault` holds it.
// The method adds: picProgress visible and "Removing Files..." at 0 in
// gSchemeColour4 with maximum SelectedCount (fileId 0) or 1; `progress` and
// `releaseInspected` as above; each message in the message box (style 48, no
// title, font "Tahoma"); then FetchSearchResults, ShowSearchResults, an empty
// caption at 0 and ProgressOff.
RemoveFileResult RemoveFile(SqlConnection& db, const RemoveFileRequest& request, ThumbnailCache& cache);

// --------------------------------------------------------- segment tag structure

// The tags of a file (wholeFile: every segment of it) or of a segment (the
// file's whole-file segment and that segment), explicit and implied over
// links of both letters, real tags only, left in TEMP_FileTagStructure with
// their categories. Returns the text (empty with structureOnly): verbose,
// lines grouped by category; compact, a ", " list with implied tags in "***".
// A row's category is the outermost category above its tag (the one
// Tags.CategoryID names), "Orphan Tag" when there is none; an explicit
// category, folder or playlist leaves only what it implies, under its own
// category. Rows come file tags first, then those of a sub-segment.
// Transaction "GST". The method adds: an unexpected error is shown as number,
// blank, description (style 48, font "Tahoma"), and the text is then empty.
QString GetSegmentTags(SqlConnection& db, bool wholeFile, int32_t fileId, int32_t segmentId, bool verbose,
                       bool structureOnly);

// --------------------------------------------------------------- statistics

// The total length of the result set's segments (resultsOnly) or of every
// file, as "1w 2d 3h:00m:00s" ("0h:00m:00s" when there is none or the query
// fails). No window steps.
QString GetPlayListStats(SqlConnection& db, bool resultsOnly);

// True when the view spec has two or more steps.
bool ViewModified(const QString& viewSpec);

}  // namespace TagStore
