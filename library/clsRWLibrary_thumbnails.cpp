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

#include <QPainter>

namespace {

constexpr int kThumbnailQuality = 90;
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
  LoadingGuard().Run([this] { ThumbnailCache.Add(LoadResData(QStringLiteral("NO_THUMB"), kResCustom), 0); });
  CacheThumbnailRows(QStringLiteral("Select SegmentID, Thumbnail from SegmentThumbnails WHERE Thumbnail IS NOT NULL"));
  CacheFileThumbnails();
  ProgressOff();
}

// Puts the pictures of (SegmentID, Thumbnail) rows into the cache; a segment
// cached already keeps its picture.
void clsRWLibrary::CacheThumbnailRows(const QString& sql) {
  LoadingGuard().Run([&] {
    SqlRecordset rows(*m_Connection, sql);
    SetProgressMax(rows.RecordCount());
    ShowProgress(kLoadingCaption, 0);
    for (int done = 1; !rows.Eof(); rows.MoveNext(), ++done) {
      const int32_t segmentId = rows.Value(0).toInt();
      if (!ThumbnailCache.Exists(segmentId)) ThumbnailCache.Add(rows.Value(1).toBytes(), segmentId);
      if (done % 100 == 0) ShowProgress(kLoadingCaption, done);
    }
  });
}

// Every segment without a picture of its own, whether its thumbnail row is
// empty or missing, gets its file's whole-file picture under its own
// SegmentID, so a lookup never needs the FileID. The bytes are the file's
// cached ones, shared rather than read again for each segment.
void clsRWLibrary::CacheFileThumbnails() {
  CacheSharedRows(QStringLiteral(
      "SELECT S1.SegmentID, S2.SegmentID FROM VideoSegments S1 "
      "JOIN VideoSegments S2 ON S2.FileID = S1.FileID AND S2.FileFlag = 'Y' AND S2.SegmentID <> S1.SegmentID "
      "WHERE EXISTS (SELECT 1 FROM SegmentThumbnails T2 WHERE T2.SegmentID = S2.SegmentID AND T2.Thumbnail IS NOT NULL) "
      "AND NOT EXISTS (SELECT 1 FROM SegmentThumbnails T1 WHERE T1.SegmentID = S1.SegmentID AND T1.Thumbnail IS NOT NULL)"));
}

// Caches, for each (SegmentID, source SegmentID) row, the source's cached
// picture under the segment; a segment cached already keeps its picture.
void clsRWLibrary::CacheSharedRows(const QString& sql) {
  LoadingGuard().Run([&] {
    SqlRecordset rows(*m_Connection, sql);
    SetProgressMax(rows.RecordCount());
    ShowProgress(kLoadingCaption, 0);
    for (int done = 1; !rows.Eof(); rows.MoveNext(), ++done) {
      const int32_t segmentId = rows.Value(0).toInt();
      const int32_t sourceId = rows.Value(1).toInt();
      if (!ThumbnailCache.Exists(segmentId) && ThumbnailCache.Exists(sourceId)) {
        ThumbnailCache.Add(ThumbnailCache.Item(sourceId), segmentId);
      }
      if (done % 100 == 0) ShowProgress(kLoadingCaption, done);
    }
  });
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
