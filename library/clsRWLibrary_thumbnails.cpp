// Storing thumbnails: a picture as a JPEG of the segment, in the file and in
// the cache.
#include "library/clsRWLibrary.h"

#include "platform/SqlValue.h"

#include <QPainter>

namespace {

constexpr int kThumbnailQuality = 90;

}  // namespace

void clsRWLibrary::SaveThumbnail(int32_t SegmentID, int32_t FileID, QImage& Picture) {
  QByteArray bytes;
  PictureToJPGBytes(Picture, kThumbnailQuality, bytes);
  TransactionGuard guard(*m_Connection, QStringLiteral("SaveThumb"));
  m_SQL = QStringLiteral("DELETE FROM SegmentThumbnails WHERE SegmentID = %1").arg(SegmentID);
  m_Connection->Execute(m_SQL);
  if (ThumbnailCache.Exists(SegmentID)) ThumbnailCache.Remove(SegmentID);
  ThumbnailCache.Add(bytes, SegmentID);
  auto insert = m_Connection->Prepare(QStringLiteral("INSERT INTO SegmentThumbnails (SegmentID, FileID, Thumbnail) VALUES (?,?,?)"));
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
