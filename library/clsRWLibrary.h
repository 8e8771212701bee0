#pragma once
// The library object: the one owner of the open library file. It creates,
// opens, verifies, upgrades and compacts libraries, keeps the result set's
// counts, the thumbnail cache and the view history, and every catalogue
// operation of the program is one of its methods.
//
// A connection always exists: the object opens the scratch library when it is
// made, and a library stays open until another one opens.
//
// Every catalogue operation follows one frame: a caption in the progress
// strip, statements built as text with quotes doubled, a named transaction
// around multi-row work (rolled back when an error leaves it), then a re-run
// of the view when gAutoRefresh is set and a redraw of the tag cloud while it
// is shown; an unexpected error is reported in the program's message box as
// "number: description".
//
// The object knows no window: what it shows goes to its view (ILibraryView),
// which the main window hands over.
#include "devices/StorageDevice.h"
#include "library/ILibraryView.h"
#include "library/ThumbnailStore.h"
#include "library/UpkeptFile.h"
#include "platform/ErrorGuard.h"
#include "platform/FileLock.h"
#include "platform/ImageSurface.h"
#include "platform/JpegCodec.h"
#include "platform/KeyedCollection.h"
#include "platform/LongWork.h"
#include "platform/SqlConnection.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class RWError;
struct ResultItem;

// The file name of a library path without its folder and its last extension
// ("/x/Films.rw2" gives "Films"); a name without "." is taken whole.
QString LibraryNameOf(const QString& path);
// Where the file is copied before an upgrade that renumbers its files.
QString UpgradeBackupPath(const QString& libraryPath);

class clsRWLibrary : public IDeviceTableHost {
 public:
  // Opens the scratch library gPlaceholderLibraryPath.
  clsRWLibrary();
  ~clsRWLibrary();
  clsRWLibrary(const clsRWLibrary&) = delete;
  clsRWLibrary& operator=(const clsRWLibrary&) = delete;

  // The windows that show the library; nullptr: none (every call to the view
  // then does nothing).
  void SetView(ILibraryView* view);
  ILibraryView& View() const;

  // ---- Members ----
  // 0 "Pre-load All", 1 "Load-on-Demand and Retain", 2 "Load-on-Demand and Discard".
  int16_t ThumbnailPolicy = 0;
  // Thumbnail JPEG pictures keyed by SegmentID (a segment without a picture
  // of its own shows its file's); LoadThumbnails puts the "NO_THUMB" image
  // under 0. Stored pictures are read from the library when asked for.
  ThumbnailStore ThumbnailCache;
  // Full path of the open library file, and its file name without folder and extension.
  QString LibraryPath;
  QString LibraryName;
  // Rows and selected rows of the current result set.
  int32_t ResultCount = 0;
  int32_t SelectedCount = 0;
  // Set by the add-files dialog after a folder scan.
  int16_t ScanFlag = 0;

  // The open library's connection; other objects run their own statements on it.
  SqlConnection& Connection() const { return *m_Connection; }
  // How many connections the object has opened so far: work that waits with
  // the event loop running compares it with the count it began under, to
  // learn whether the library it began on is still the open one.
  uint64_t ConnectionCount() const { return m_ConnectionCount; }

  // The same members under the names the inspector, player and carousel use.
  int32_t OpenSegmentCount() const { return ResultCount; }
  int32_t SelectedSegmentCount() const { return SelectedCount; }
  ThumbnailStore& Thumbnails() { return ThumbnailCache; }
  int16_t ThumbPolicy() const { return ThumbnailPolicy; }
  void SetThumbPolicy(int16_t policy) { ThumbnailPolicy = policy; }

  // ---- Opening, new libraries and copies ----
  // Opens the library at `path`: with `reload` the file is upgraded, the tree
  // rebuilt and the saved view (gViewSpec) replayed; without, only the
  // connection, names and result state change. A file that cannot be opened
  // is reported and the library that was open stays open.
  void OpenLibrary(const QString& path, bool reload);
  // The library at `path`, once told damaged (corrupt, or lacking a table or
  // column), is closed: no later command meets the damage again and nothing
  // more is written to it. The program goes back to its welcome page.
  void CloseDamagedLibrary(const QString& path);
  // True while the scratch library is the open one.
  bool Unsaved() const;
  // Asks for a file name and creates a new empty library there (isNew) or a
  // copy of the open one, then opens it.
  void SaveLibraryAsDialog(bool isNew);
  // Compacts the open file.
  void CompactDatabase();

  // ---- Tags and links ----
  int32_t CreateTag(const QString& Name, const QString& Type, const QVariant& Parent);
  void DeleteTreeNode(QString& Key);
  // True when the link row was stored.
  bool CreateTagRelationship(int32_t TagID, int32_t LinkedTag, const QString& Relationship);
  void DeleteTagRelationship(int32_t TagA, int32_t TagB);
  void SetNodeBehaviours(bool OnlyUnset);
  static QString ConvertToT9(const QString& Text);

  // ---- Segments, tagging, ratings and files ----
  void TagSegment(int32_t SegmentID, int32_t TagID, bool Remove);
  // While one lives, TagSegment leaves the tag cloud as it is; when the last
  // one ends, the cloud is redrawn once if a TagSegment asked for it (a drop
  // that tags thousands of results recounts the cloud once).
  class TagCloudDeferral {
   public:
    explicit TagCloudDeferral(clsRWLibrary& library);
    ~TagCloudDeferral();
    TagCloudDeferral(const TagCloudDeferral&) = delete;
    TagCloudDeferral& operator=(const TagCloudDeferral&) = delete;
    // The tagging asked for since was rolled back: the cloud is right as it is.
    void Undone();

   private:
    clsRWLibrary& library_;
  };
  void RateSegment(int16_t Rating, int32_t SegmentID);
  // A rating stored for the segment shown wherever the program holds it: the
  // inspector's segment list, the results, the current and inspected items.
  void ShowStoredRating(int32_t SegmentID, int16_t Rating);
  void CreateSegment(double Start, double End, int32_t FileID, int32_t SegmentID, int32_t& Result);
  void UpdateSegmentAB(int32_t SegmentID, double Start, double End);
  void RemoveSegment(int32_t SegmentID);
  void RemoveFile(int32_t FileID, bool DeleteFromDisk);
  QString GetSegmentTags(bool WholeFile, int32_t FileID, int32_t SegmentID, bool Layout, bool StructureOnly);

  // ---- Searches, results and history ----
  // One step of a view ("_" new, "&" add, "+" narrow, "-" exclude) on
  // SearchResults: a tag and the tags below it (Key "ID" and a TagID, "ID-1"
  // Untagged), or an attribute or text search (Step from its "?"). Each adds
  // itself to gViewSpec, the history combo and the view history; the caller
  // fetches and shows the rows.
  void BuildSearchResults(const QString& Op, const QString& Key, bool KeepSelection, const QString& Caption);
  void ExecuteSearch(const QString& Op, const QString& Step, const QString& Caption);
  void DeleteSearchResults();
  // SearchResults into gResults; gResults into the browser and its labels.
  void FetchSearchResults();
  void ShowSearchResults();
  // Runs every step of a view spec, then fetches and shows the rows.
  void ShowView(const QString& Spec, const QString& Caption);
  // Runs the current view again up to the step selected in the history combo.
  // keepFrontCard (after a mount change, which changes where files are, not
  // which one the user looks at): the carousel's front card stays on its
  // result where the result is still there.
  void RefreshResults(bool keepFrontCard = false);
  int16_t HistoryIndex() const { return m_HistoryIndex; }
  // Moves to entry n (clamped in place to the entries there are) and replays it.
  void SetHistoryIndex(int16_t& n);
  bool NoFurtherHistory() const;
  bool ViewModified() const;
  QString GetViewSpec(QString& Key);
  void SaveView(const QString& Spec, const QString& Name, bool IsSearch);

  // ---- Library tree ----
  void PopulateTree();
  void SortTree();
  void LoadStorageDeviceNodes();

  // ---- Tag cloud and statistics ----
  void ShowTagCloud(bool Repopulate);
  void PopulateTagCloudTable();
  QString GetPlayListStats(bool Current);
  void LibraryAnalysis();

  // ---- Thumbnails ----
  // Fills the cache with every stored thumbnail (policy 0).
  void LoadThumbnails();
  // Paints the thumbnails of the visible results of the browser view.
  void DrawGridImages();
  // The thumbnail cached under the SegmentID (its own, else its file's),
  // else "NO_THUMB", also for bytes that are no picture; the FileID is not
  // a key. The picture owns its pixels.
  void ThumbnailToPicture(int32_t SegmentID, int32_t FileID, QImage& Picture);
  // ThumbnailToPicture in two steps: the bytes it decodes (empty for the
  // placeholder), and the picture of those bytes. The bytes are the cache's
  // own copy, shared (QByteArray::isSharedWith) by every read of the same
  // picture while it stays cached and unchanged: a caller holding them can
  // tell that a picture it made from them is still the one to show.
  QByteArray ThumbnailBytes(int32_t SegmentID, int32_t FileID);
  void ThumbnailBytesToPicture(const QByteArray& bytes, QImage& Picture);
  // Reads the pictures ThumbnailToPicture will show for these (SegmentID,
  // FileID) pairs from the library in one look-up, ahead of a page of them.
  void ReadThumbnailsAhead(const std::vector<std::pair<int32_t, int32_t>>& segmentsAndFiles);
  // Replaces the segment's thumbnail by the picture as a JPEG of quality 90;
  // the caller's picture is emptied.
  void SaveThumbnail(int32_t SegmentID, int32_t FileID, QImage& Picture);
  void PictureToJPGBytes(const QImage& Picture, int32_t Quality, QByteArray& Bytes);

  // ---- Library checks ----
  void GetPotentialDuplicates();
  void GetMissingThumnails();
  void GetMissingFiles();

 private:
  // The device table's view of the library.
  SqlConnection& DeviceTableConnection() override { return *m_Connection; }
  void ShowDeviceProgress(const QString& caption) override { ShowProgress(caption, 0); }
  void DeviceProgressOff() override { ProgressOff(); }
  void DeviceWorkGoesOn() override {
    if (m_OpenPacer) m_OpenPacer->Due();
  }

  // The frame of the catalogue operations (clsRWLibrary_frame.cpp).
  // A caption and a position in the progress strip; during an open that has
  // run past its grace the window's painting is done after (LongWork.h).
  void ShowProgress(const QString& Caption, int32_t Value = 0);
  void ProgressOff();
  // Whether a loop's progress report is due: by the open's pacer during an
  // open, else by the loop's own.
  bool ProgressDue(LongWork::Pacer& own);
  // Inside work that reports no position (a long statement, a big tree's
  // nodes): the strip pulses past the grace, by the open's pacer during an
  // open, else by the work's own.
  void WorkGoesOn(LongWork::Pacer& own);
  // How long the open under way has held the window; 0 outside an open.
  int64_t OpenElapsedMs() const;
  // Runs the work in the named transaction and commits it; an error rolls
  // the transaction back and is reported. False when the work failed.
  bool RunInTransaction(const QString& Name, const std::function<void()>& Work);
  // After an edit: the view re-run (gAutoRefresh) and the cloud redrawn
  // (gTagCloudShown).
  void RefreshAfterEdit();
  // How the library reports a failure: in the program's message box, owned
  // by the main window, with the title (none by default).
  static ErrorReport Reporting(const QString& title = QString());

  // Opening (clsRWLibrary_open.cpp).
  // The checked connection, and in `lock` the library's lock when this
  // object does not hold it yet; nothing when the file is refused.
  std::unique_ptr<SqlConnection> OpenCheckedConnection(const QString& path, std::unique_ptr<FileLock>& lock);
  void ResetLibraryState(const QString& path);
  // `upkept`: set once the upkeep stands (the file is usable as it is).
  bool ReloadLibrary(bool& upkept);
  void AbandonOpen();
  void ShowFirstView();
  void OpenNewLibraryFile(const QString& name);
  // Save As's copy of the open library to `name`, as long work with a quiet
  // limit; false when a request to end the program stopped it. A copy that
  // cannot be written raises its own failure, naming `name`.
  bool CopyLibraryTo(const QString& name);
  void ReturnToScratchLibrary();
  void UseWorkTables();
  // True, having told the user, when another copy of the program has the
  // file open; nothing when its disk did not answer.
  std::optional<bool> RefusedAsOpenElsewhere(const QString& path);

  bool CheckLibraryVersion(const QString& path);
  // The upkeep steps an open of `path` needs (UpkeptFile.h): none when it is
  // as this object, or the program before, left it after an upkeep; those
  // the program's own writes since may have given work when nothing else
  // wrote it; every step otherwise.
  unsigned WorkLeft(const QString& path);
  // Before the open library's connection goes: remembers the file with the
  // steps left for its next open.
  void ReleaseUpkeptFile();
  // After an open's upkeep and its own writes: the file as it is now needs
  // nothing more.
  void MarkUpkept();
  // After Save As has opened its copy: a copy the open found as it was
  // written owes the upkeep the library it was copied from owed.
  void TakeOverWrittenCopy(const QString& name);
  // Runs `work` as long work on a connection of its own to the library file.
  void RunOwnWrites(std::function<void(SqlConnection&)> work);
  void SetLoadingState(bool& starting);
  bool HouseKeep();
  // The upkeep stopped by a request to end the program: undone whole; false.
  bool GiveUpStoppedUpkeep(std::optional<TransactionGuard>& whole);
  // A stored thumbnail as the upgrade's resizing reads it.
  struct StoredThumbnail {
    int32_t segmentId;
    int32_t fileId;
    QByteArray bytes;
  };
  void ResizeThumbnails();
  void ResizeThumbnail(const StoredThumbnail& row);
  bool BackUpBeforeRenumbering(QString& notWritten);
  void TellUpgradeCopyNote();

  // View steps and history (clsRWLibrary_search.cpp, clsRWLibrary_history.cpp).
  // A search step whose caption a text step replaces with its description.
  void SearchStep(const QString& op, const QString& searchSpec, QString& caption);
  void GatherTagFamily(const QString& tagId);
  void EnsureSearchIndexes();
  void RunView(const QString& spec, QString& caption);
  void RecordHistoryStep(const QString& op, const QString& caption);
  void ClearSearch();

  // The thumbnail store (clsRWLibrary_thumbnails.cpp).
  void CacheThumbnailRows(const QString& sql);
  void CacheFileThumbnails();
  // Whether the cache holds a picture of the segment's own (not the placeholder).
  bool HasOwnPicture(int32_t segmentId) const;
  void CacheSharedRows(const std::vector<std::pair<int32_t, int32_t>>& rows);
  // Makes `connection` the open library's, with the thumbnail cache reading
  // from it; a rename under way in the tree ends.
  void UseConnection(std::unique_ptr<SqlConnection> connection);
  void SetProgressMax(int32_t Max);
  const QImage& NoThumbPicture();
  // The cache entry a result's picture is read from.
  int32_t ThumbnailKey(int32_t SegmentID, int32_t FileID) const;

  ILibraryView* m_View = nullptr;
  // The pacer of the open running now, none between opens.
  LongWork::Pacer* m_OpenPacer = nullptr;
  // The open's upkeep stored the tags' behaviours: its tree need not.
  bool m_BehavioursStored = false;
  // What the open tells of an upgrade copy it could not keep, once the open
  // has shown the library and met no fault (which it tells instead).
  QString m_UpgradeCopyNote;
  std::unique_ptr<SqlConnection> m_Connection;
  uint64_t m_ConnectionCount = 0;
  // Held while a library file is open, so that one copy of the program at a
  // time has it open; none for the scratch library.
  std::unique_ptr<FileLock> m_Lock;
  // The open library's stamp and SQLite's data version right after this
  // object's upkeep of it (the stamp not valid before one completed), and
  // the upkeep steps the open running now has to do (UpkeepStep bits).
  LibraryFileStamp m_UpkeptStamp;
  int64_t m_UpkeptDataVersion = 0;
  QString m_UpkeptPath;
  unsigned m_OpeningWork = 0;
  // The steps the upkept file owed when it became this object's without an
  // upkeep of its own (a copy Save As wrote); none after an upkeep.
  unsigned m_UpkeptOwed = 0;
  // The copy Save As wrote last: its name, its stamp as written, the steps
  // it owes (those of the library it was copied from), and whether the open
  // found it as written.
  struct WrittenCopy {
    QString path;
    LibraryFileStamp stamp;
    unsigned owed = 0;
    bool openedAsWritten = false;
  } m_WrittenCopy;
  // Whether the last upkeep's mapping of file paths completed; a file whose
  // mapping failed is not remembered as upkept.
  bool m_PathsMapped = false;
  QString m_SQL;
  int16_t m_HistoryIndex = 0;
  int16_t m_LastHistoryIndex = 0;
  bool m_RecordHistory = true;
  // The tag steps' indexes are in the file of the current connection.
  bool m_SearchIndexesMade = false;
  std::unique_ptr<JpegCodec> m_JpegCodec;
  QImage m_NoThumb;
  // Open TagCloudDeferrals, and whether a TagSegment asked for a redraw meanwhile.
  int m_TagCloudDeferrals = 0;
  bool m_TagCloudStale = false;
};

extern std::unique_ptr<clsRWLibrary> gLibrary;

// Window state that depends on the open library, reset whenever one opens:
// whether the tag cloud's category menu is current, and the category TagIDs
// the tag cloud shows, "(3,7)" ("(-1)" for none, empty for all categories).
extern bool gCategoryMenuBuilt;
extern QString gTagCloudCategories;
