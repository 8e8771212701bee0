#include "library/ThumbnailStore.h"

#include "platform/RWError.h"
#include "platform/SqlConnection.h"

#include <algorithm>

namespace {

const QString kSource = QStringLiteral("ThumbnailCache");

}  // namespace

ThumbnailStore::ThumbnailStore(int readCacheSize) : readCacheSize_(readCacheSize < 1 ? 1 : readCacheSize) {}

ThumbnailStore::~ThumbnailStore() = default;

void ThumbnailStore::Attach(SqlConnection* connection) {
  read_.reset();
  readAhead_.reset();
  connection_ = connection;
  // Pictures read from another file say nothing about this one.
  recent_.clear();
  recentByRow_.clear();
}

QByteArray ThumbnailStore::Item(int32_t segmentId) const {
  const auto held = held_.constFind(segmentId);
  if (held != held_.cend()) return held.value();
  const std::optional<int32_t> row = rows_.Find(segmentId);
  if (!row) Missing(segmentId);
  const int32_t rowId = *row;
  const auto recent = recentByRow_.constFind(rowId);
  if (recent != recentByRow_.cend()) {
    recent_.splice(recent_.begin(), recent_, recent.value());
    return recent_.front().second;
  }
  QByteArray bytes = ReadRow(rowId);
  Remember(rowId, bytes);
  return bytes;
}

// One row by its key; the statement is prepared once per connection. The
// second step ends the statement, so it holds no read lock between calls.
QByteArray ThumbnailStore::ReadRow(int32_t rowId) const {
  if (!connection_) return QByteArray();
  if (!read_) {
    read_ = std::make_unique<SqlCommand>(*connection_,
                                         QStringLiteral("SELECT Thumbnail FROM SegmentThumbnails WHERE SegmentID = ?"));
  }
  read_->Bind(1, rowId);
  QByteArray bytes;
  if (read_->Step()) {
    bytes = read_->ColumnBytes(0);
    while (read_->Step()) {
    }
  }
  return bytes;
}

void ThumbnailStore::ReadAhead(const QList<int32_t>& segmentIds) const {
  if (!connection_) return;
  QList<int32_t> rows;
  for (const int32_t segmentId : segmentIds) {
    if (held_.contains(segmentId)) continue;
    const std::optional<int32_t> row = rows_.Find(segmentId);
    if (row && !recentByRow_.contains(*row) && !rows.contains(*row)) rows.append(*row);
  }
  // No more than the read cache keeps, lest the first be gone before use.
  rows.resize(std::min<qsizetype>(rows.size(), readCacheSize_));
  if (rows.size() < 2) return;
  // Pages of one size follow each other: the statement for as many rows as
  // the last look-up's is kept.
  if (!readAhead_ || readAheadRows_ != rows.size()) {
    QString sql = QStringLiteral("SELECT SegmentID, Thumbnail FROM SegmentThumbnails WHERE SegmentID IN (?");
    for (qsizetype k = 1; k < rows.size(); ++k) sql += QStringLiteral(", ?");
    readAhead_.reset();
    readAhead_ = std::make_unique<SqlCommand>(*connection_, sql + QLatin1Char(')'));
    readAheadRows_ = rows.size();
  }
  SqlCommand& read = *readAhead_;
  for (qsizetype k = 0; k < rows.size(); ++k) read.BindInt(static_cast<int>(k) + 1, rows[k]);
  // A row that is gone gives empty bytes, as ReadRow gives them.
  QHash<int32_t, QByteArray> found;
  while (read.Step()) found.insert(static_cast<int32_t>(read.ColumnInt(0)), read.ColumnBytes(1));
  for (const int32_t row : rows) Remember(row, found.value(row));
}

void ThumbnailStore::Remember(int32_t rowId, const QByteArray& bytes) const {
  Forget(rowId);
  recent_.emplace_front(rowId, bytes);
  recentByRow_.insert(rowId, recent_.begin());
  while (static_cast<int>(recent_.size()) > readCacheSize_) {
    recentByRow_.remove(recent_.back().first);
    recent_.pop_back();
  }
}

void ThumbnailStore::Forget(int32_t rowId) const {
  const auto recent = recentByRow_.find(rowId);
  if (recent == recentByRow_.end()) return;
  recent_.erase(recent.value());
  recentByRow_.erase(recent);
}

void ThumbnailStore::Add(const QByteArray& bytes, int32_t segmentId) {
  if (Exists(segmentId)) {
    throw RWError(kErrDuplicateKey,
                  QStringLiteral("This key is already associated with an element of this collection (%1)")
                      .arg(segmentId),
                  kSource);
  }
  held_.insert(segmentId, bytes);
}

void ThumbnailStore::AddRow(int32_t segmentId, int32_t rowId) {
  if (Exists(segmentId)) return;
  rows_.Insert(segmentId, rowId);
  if (rowId != segmentId) sharers_[rowId].append(segmentId);
}

void ThumbnailStore::Share(int32_t segmentId, int32_t sourceId) {
  if (Exists(segmentId)) return;
  const auto held = held_.constFind(sourceId);
  if (held != held_.cend()) {
    held_.insert(segmentId, held.value());
    return;
  }
  if (const std::optional<int32_t> row = rows_.Find(sourceId)) AddRow(segmentId, *row);
}

void ThumbnailStore::StoreOwnRow(int32_t segmentId, const QByteArray& bytes) {
  held_.remove(segmentId);
  rows_.Insert(segmentId, segmentId);
  Remember(segmentId, bytes);
}

void ThumbnailStore::KeepSharedCopies(int32_t segmentId) {
  const QList<int32_t> sharers = sharers_.take(segmentId);
  if (sharers.isEmpty()) return;
  QByteArray bytes;
  bool read = false;
  for (const int32_t sharer : sharers) {
    const std::optional<int32_t> row = rows_.Find(sharer);
    if (sharer == segmentId || !row || *row != segmentId) continue;
    if (!read) {
      bytes = Item(sharer);
      read = true;
    }
    rows_.Remove(sharer);
    held_.insert(sharer, bytes);  // one copy of the bytes, shared by every sharer
  }
}

void ThumbnailStore::Remove(int32_t segmentId) {
  if (!held_.remove(segmentId) && !rows_.Remove(segmentId)) Missing(segmentId);
  // The row may be gone or reused by the next segment of that number.
  Forget(segmentId);
}

void ThumbnailStore::Clear() {
  held_.clear();
  rows_.Clear();
  sharers_.clear();
  recent_.clear();
  recentByRow_.clear();
}

void ThumbnailStore::Missing(int32_t segmentId) {
  throw RWError(kErrInvalidArgument, QStringLiteral("There is no item with the key '%1'").arg(segmentId), kSource);
}
