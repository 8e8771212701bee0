#pragma once
// The library object's thumbnail cache: which JPEG picture each segment
// shows, keyed by SegmentID (0 holds the placeholder picture).
//
// A segment's entry either holds its bytes (pictures handed in, such as the
// placeholder or a fetch's rows) or names the SegmentThumbnails row whose
// picture it shows (its own, or its file's whole-file row). Named rows are
// read from the library when asked for, through one prepared statement, and
// the pictures last read are kept in a small cache of bounded size: the
// memory grows with the number of segments, not with the bytes of every
// stored picture.
#include "library/SegmentIdMap.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <cstdint>
#include <list>
#include <memory>
#include <utility>

class SqlCommand;
class SqlConnection;

class ThumbnailStore {
 public:
  // Enough pictures for several pages of tiles, the carousel and the
  // inspector at once; a few megabytes of JPEG bytes.
  static constexpr int kDefaultReadCacheSize = 4096;

  explicit ThumbnailStore(int readCacheSize = kDefaultReadCacheSize);
  ~ThumbnailStore();
  ThumbnailStore(const ThumbnailStore&) = delete;
  ThumbnailStore& operator=(const ThumbnailStore&) = delete;

  // The library the named rows are read from; null reads nothing. Called
  // before the connection it names goes, so no statement outlives it.
  void Attach(SqlConnection* connection);

  int Count() const { return static_cast<int>(held_.size()) + rows_.Size(); }
  bool Exists(int32_t segmentId) const { return rows_.Contains(segmentId) || held_.contains(segmentId); }
  // The picture the segment shows; a missing segment raises error 5. A named
  // row that is gone or empty gives empty bytes (no picture).
  QByteArray Item(int32_t segmentId) const;

  // Reads the pictures of these segments that Item would read from the
  // library, all in one statement, into the read cache: a page of tiles
  // costs one look-up in the library instead of one per tile.
  void ReadAhead(const QList<int32_t>& segmentIds) const;

  // The segment holds these bytes; a segment present already raises error 457.
  void Add(const QByteArray& bytes, int32_t segmentId);
  // The segment shows the SegmentThumbnails row of `rowId` (its own, or its
  // file's whole-file row); a segment present already keeps its entry.
  void AddRow(int32_t segmentId, int32_t rowId);
  void AddOwnRow(int32_t segmentId) { AddRow(segmentId, segmentId); }
  // The segment shows what `sourceId` shows (the same row, or the same
  // bytes); nothing when the segment is present or the source is not.
  void Share(int32_t segmentId, int32_t sourceId);
  // The segment's own row was just written with these bytes: the segment
  // shows it from now on, whatever it showed before.
  void StoreOwnRow(int32_t segmentId, const QByteArray& bytes);
  // Before the row of `segmentId` is replaced or deleted: every other
  // segment showing it keeps the picture it shows now, as a copy of its own.
  void KeepSharedCopies(int32_t segmentId);

  // Room for this many segments showing their own rows.
  void Reserve(int count) { rows_.Reserve(count); }

  // A missing segment raises error 5.
  void Remove(int32_t segmentId);
  void Clear();

  // How many pictures the read cache holds now (at most its size).
  int ReadCacheCount() const { return static_cast<int>(recent_.size()); }

 private:
  QByteArray ReadRow(int32_t rowId) const;
  void Remember(int32_t rowId, const QByteArray& bytes) const;
  void Forget(int32_t rowId) const;
  [[noreturn]] static void Missing(int32_t segmentId);

  QHash<int32_t, QByteArray> held_;  // SegmentID -> bytes of its own
  SegmentIdMap rows_;                // SegmentID -> the SegmentID of the row it shows
  // Rows whose picture other segments show, with those segments (an entry
  // may since point elsewhere: only those still naming the row count).
  QHash<int32_t, QList<int32_t>> sharers_;

  // The read cache: pictures of rows, the most recently used first.
  int readCacheSize_;
  mutable std::list<std::pair<int32_t, QByteArray>> recent_;
  mutable QHash<int32_t, std::list<std::pair<int32_t, QByteArray>>::iterator> recentByRow_;

  SqlConnection* connection_ = nullptr;
  mutable std::unique_ptr<SqlCommand> read_;
  // The read-ahead's statement, for this many rows.
  mutable std::unique_ptr<SqlCommand> readAhead_;
  mutable qsizetype readAheadRows_ = 0;
};
