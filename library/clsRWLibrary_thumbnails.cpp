// The thumbnail store: JPEG pictures of the segments in the library file and
// in the cache, turned back into pictures; the view paints them into the
// visible part of the result grids.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "platform/RWError.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlValue.h"
#include "resources/Resources.h"

#include <QHash>
#include <QPainter>
#include <QScopeGuard>

#include <utility>
#include <vector>

namespace {

constexpr int kThumbnailQuality = 90;
constexpr int kLoadingCacheKiB = 1024;
constexpr int kTileWidth = 100;
constexpr int kTileHeight = 75;
const QString kLoadingCaption = QStringLiteral("Loading Thumbnails...");

// A failure of the loading is shown as number and description, and the
// loading goes on.
ErrorGuard LoadingGuard() {
  return ErrorGuard({.title = QStringLiteral("Error Loading Thumbnails"),
                     .owner = ProgramMessageOwner(),
                     .text = ErrorGuard::Numbered(QStringLiteral(" "))});
}

}  // namespace

// ---- The cache ----

void clsRWLibrary::LoadThumbnails() {
  ThumbnailCache = KeyedCollection<QByteArray>();
  // The pictures are read once, front to back: a full page cache would not
  // speed that up, but its pages would stand beside every picture at the
  // program's peak. The cache is emptied down to a little for the load and
  // refills as later work reads pages.
  m_Connection->SetCacheKiB(kLoadingCacheKiB);
  const auto restore = qScopeGuard([this] { m_Connection->SetCacheKiB(SqlConnection::kDefaultCacheKiB); });
  LoadingGuard().Run([this] { ThumbnailCache.Add(LoadResData(QStringLiteral("NO_THUMB"), kResCustom), 0); });
  CacheThumbnailRows(QStringLiteral("FROM SegmentThumbnails WHERE Thumbnail IS NOT NULL"));
  CacheFileThumbnails();
  ProgressOff();
}

// Puts the pictures of the thumbnail rows `from` names ("FROM ... WHERE ...")
// into the cache; a segment cached already keeps its picture. The rows are
// counted first and then read one at a time, so no copy of every picture is
// held beside the cache.
void clsRWLibrary::CacheThumbnailRows(const QString& from) {
  LoadingGuard().Run([&] {
    SqlRecordset count(*m_Connection, QStringLiteral("SELECT count(*) ") + from);
    SetProgressMax(count.Value(0).toInt());
    ShowProgress(kLoadingCaption, 0);
    SqlCommand rows(*m_Connection, QStringLiteral("SELECT SegmentID, Thumbnail ") + from);
    for (int done = 1; rows.Step(); ++done) {
      const auto segmentId = static_cast<int32_t>(rows.ColumnInt(0));
      if (!ThumbnailCache.Exists(segmentId)) ThumbnailCache.Add(rows.ColumnBytes(1), segmentId);
      if (done % 100 == 0) ShowProgress(kLoadingCaption, done);
    }
  });
}

// Every segment without a picture of its own, whether its thumbnail row is
// empty or missing, gets its file's whole-file picture under its own
// SegmentID. The bytes are the file's cached ones, shared rather than read
// again for each segment. The cache, just filled with every stored picture,
// tells which segments have one: the segments are read once, without their
// thumbnail rows, and paired with their files' whole-file segments here.
void clsRWLibrary::CacheFileThumbnails() {
  LoadingGuard().Run([&] {
    std::vector<std::pair<int32_t, int32_t>> segments;  // (SegmentID, FileID)
    QHash<int32_t, std::vector<int32_t>> wholeFile;    // FileID -> its whole-file segments
    SqlRecordset rows(*m_Connection, QStringLiteral("SELECT SegmentID, FileID, FileFlag = 'Y' FROM VideoSegments"));
    for (; !rows.Eof(); rows.MoveNext()) {
      const int32_t segmentId = rows.Value(0).toInt();
      const int32_t fileId = rows.Value(1).toInt();
      if (rows.Value(2).toInt() == 1) wholeFile[fileId].push_back(segmentId);
      if (!HasOwnPicture(segmentId)) segments.emplace_back(segmentId, fileId);
    }
    std::vector<std::pair<int32_t, int32_t>> shared;  // (SegmentID, source SegmentID)
    for (const auto& [segmentId, fileId] : segments) {
      for (const int32_t source : wholeFile.value(fileId)) {
        if (source != segmentId && HasOwnPicture(source)) shared.emplace_back(segmentId, source);
      }
    }
    CacheSharedRows(shared);
  });
}

bool clsRWLibrary::HasOwnPicture(int32_t segmentId) const {
  return segmentId != 0 && ThumbnailCache.Exists(segmentId);
}

// Caches, for each (SegmentID, source SegmentID) row, the source's cached
// picture under the segment; a segment cached already keeps its picture.
void clsRWLibrary::CacheSharedRows(const std::vector<std::pair<int32_t, int32_t>>& rows) {
  SetProgressMax(static_cast<int32_t>(rows.size()));
  ShowProgress(kLoadingCaption, 0);
  int done = 0;
  for (const auto& [segmentId, sourceId] : rows) {
    if (!ThumbnailCache.Exists(segmentId) && ThumbnailCache.Exists(sourceId)) {
      ThumbnailCache.Add(ThumbnailCache.Item(sourceId), segmentId);
    }
    if (++done % 100 == 0) ShowProgress(kLoadingCaption, done);
  }
}

void clsRWLibrary::SetProgressMax(int32_t Max) {
  View().SetProgressMax(Max);
}

// The placeholder stays outside the cache, so that a cache emptied by a
// result fetch can never lose it.
const QImage& clsRWLibrary::NoThumbPicture() {
  if (m_NoThumb.isNull()) m_NoThumb = LoadResPicture(QStringLiteral("NO_THUMB"), kResCustom);
  return m_NoThumb;
}

void clsRWLibrary::ThumbnailToPicture(int32_t SegmentID, int32_t FileID, QImage& Picture) {
  Picture = QImage();
  try {
    // The segment's own entry (its picture, else its file's), else the
    // file's: a file's FileID is the SegmentID of its whole-file segment, so
    // a segment no fetch has cached (a cut segment the inspector lists) still
    // shows its file's picture. A miss takes the cached placeholder.
    const int32_t key = ThumbnailCache.Exists(SegmentID) ? SegmentID : ThumbnailCache.Exists(FileID) ? FileID : 0;
    if (ThumbnailCache.Exists(key)) {
      const ImageSurfacePtr decoded = m_JpegCodec->Decode(ThumbnailCache.Item(key));
      const QImage& image = decoded->Image();
      // The picture owns its pixels: a caller may keep it past the next call.
      Picture = image.size() == QSize(kTileWidth, kTileHeight)
                    ? image.copy()
                    : image.scaled(kTileWidth, kTileHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
  } catch (const RWError&) {
    // Bytes that are no picture show the placeholder, like a missing one.
    Picture = QImage();
  }
  if (Picture.isNull()) Picture = NoThumbPicture();
}

// ---- Storing ----

void clsRWLibrary::SaveThumbnail(int32_t SegmentID, int32_t FileID, QImage& Picture) {
  QByteArray bytes;
  PictureToJPGBytes(Picture, kThumbnailQuality, bytes);
  TransactionGuard guard(*m_Connection, QStringLiteral("SaveThumb"));
  m_SQL = QStringLiteral("DELETE FROM SegmentThumbnails WHERE SegmentID = %1").arg(SegmentID);
  m_Connection->Execute(m_SQL);
  if (ThumbnailCache.Exists(SegmentID)) ThumbnailCache.Remove(SegmentID);
  ThumbnailCache.Add(bytes, SegmentID);
  auto insert = m_Connection->Prepare(
      QStringLiteral("INSERT INTO SegmentThumbnails (SegmentID, FileID, Thumbnail) VALUES (?,?,?)"));
  insert->Bind(1, SegmentID);
  insert->Bind(2, FileID);
  insert->Bind(3, SqlValue::Blob(bytes));
  insert->Execute();
  guard.Commit();
  Picture = QImage();
}

void clsRWLibrary::PictureToJPGBytes(const QImage& Picture, int32_t Quality, QByteArray& Bytes) {
  ImageSurface surface(Picture.width(), Picture.height());
  {
    QPainter painter(&surface.Image());
    painter.drawImage(0, 0, Picture);
  }
  surface.MarkDirty();
  Bytes = m_JpegCodec->Encode(surface, Quality);
}

// ---- The result grids ----

void clsRWLibrary::DrawGridImages() { View().DrawGridImages(); }
