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

#include <QDebug>
#include <QPainter>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int kThumbnailQuality = 90;
constexpr int kTileWidth = 100;
constexpr int kTileHeight = 75;
const QString kLoadingCaption = QStringLiteral("Loading Thumbnails...");

// The loading redraws its progress at most every 100 ms: drawing the strip
// for every 100th of 50,000 rows took longer than the rows. Outside an open
// the window is not painted meanwhile: the results on show would be drawn
// from a cache half filled.
LongWork::Pacer ProgressPacer() { return LongWork::Pacer(LongWork::Pacer::kNoPainting); }

// A failure of the loading is shown as number and description, and the
// loading goes on.
ErrorGuard LoadingGuard() {
  return ErrorGuard({.title = QStringLiteral("Error Loading Thumbnails"),
                     .owner = ProgramMessageOwner(),
                     .text = ErrorGuard::Numbered(QStringLiteral(" "))});
}

}  // namespace

// ---- The cache ----

// The cache is an index: which segment shows which stored row. The pictures
// themselves stay in the library and are read when a cell shows them, so an
// open holds a few bytes per segment rather than every stored picture.
void clsRWLibrary::LoadThumbnails() {
  ThumbnailCache.Clear();
  LoadingGuard().Run([this] { ThumbnailCache.Add(LoadResData(QStringLiteral("NO_THUMB"), kResCustom), 0); });
  CacheThumbnailRows(QStringLiteral("FROM SegmentThumbnails WHERE Thumbnail IS NOT NULL"));
  CacheFileThumbnails();
  ProgressOff();
}

// Indexes the thumbnail rows `from` names ("FROM ... WHERE ...") under their
// own segments; a segment cached already keeps its picture. The progress
// maximum is the table's row count, which SQLite counts from the small FileID
// index instead of a second pass over every picture.
void clsRWLibrary::CacheThumbnailRows(const QString& from) {
  LoadingGuard().Run([&] {
    SqlRecordset count(*m_Connection, QStringLiteral("SELECT count(*) FROM SegmentThumbnails"));
    const int rowCount = count.Value(0).toInt();
    SetProgressMax(rowCount);
    ShowProgress(kLoadingCaption, 0);
    ThumbnailCache.Reserve(rowCount);
    SqlCommand rows(*m_Connection, QStringLiteral("SELECT SegmentID ") + from);
    LongWork::Pacer pacer = ProgressPacer();
    for (int done = 1; rows.Step(); ++done) {
      ThumbnailCache.AddOwnRow(static_cast<int32_t>(rows.ColumnInt(0)));
      if (done % 100 == 0 && ProgressDue(pacer)) ShowProgress(kLoadingCaption, done);
    }
  });
}

// Every segment without a picture of its own, whether its thumbnail row is
// empty or missing, shows its file's whole-file picture under its own
// SegmentID. The cache, just filled with every stored picture, tells which
// segments have one: the segments are read once, one row at a time and
// without their thumbnail rows, and only when some segment lacks a picture
// are the files' whole-file segments looked up for it.
void clsRWLibrary::CacheFileThumbnails() {
  LoadingGuard().Run([&] {
    std::vector<std::pair<int32_t, int32_t>> segments;    // (SegmentID, FileID) without a picture
    std::vector<std::pair<int32_t, int32_t>> wholeFiles;  // (FileID, SegmentID) with a picture
    SqlCommand rows(*m_Connection, QStringLiteral("SELECT SegmentID, FileID, FileFlag = 'Y' FROM VideoSegments"));
    while (rows.Step()) {
      const int32_t segmentId = rows.toInt(0);
      const int32_t fileId = rows.toInt(1);
      if (!HasOwnPicture(segmentId)) {
        segments.emplace_back(segmentId, fileId);
      } else if (rows.toInt(2) == 1) {
        wholeFiles.emplace_back(fileId, segmentId);
      }
    }
    if (segments.empty()) return;
    // A file's whole-file segments are found in the list sorted by file, in
    // the order they were read: a table of lists, one a file, held several
    // times the memory of the pairs.
    const auto byFile = [](const std::pair<int32_t, int32_t>& a, const std::pair<int32_t, int32_t>& b) {
      return a.first < b.first;
    };
    std::stable_sort(wholeFiles.begin(), wholeFiles.end(), byFile);
    std::vector<std::pair<int32_t, int32_t>> shared;  // (SegmentID, source SegmentID)
    for (const auto& [segmentId, fileId] : segments) {
      auto source = std::lower_bound(wholeFiles.begin(), wholeFiles.end(), std::pair(fileId, 0), byFile);
      for (; source != wholeFiles.end() && source->first == fileId; ++source) {
        shared.emplace_back(segmentId, source->second);
      }
    }
    CacheSharedRows(shared);
  });
}

bool clsRWLibrary::HasOwnPicture(int32_t segmentId) const {
  return segmentId != 0 && ThumbnailCache.Exists(segmentId);
}

// Each (SegmentID, source SegmentID) row: the segment shows the source's
// picture; a segment cached already keeps its picture.
void clsRWLibrary::CacheSharedRows(const std::vector<std::pair<int32_t, int32_t>>& rows) {
  SetProgressMax(static_cast<int32_t>(rows.size()));
  ShowProgress(kLoadingCaption, 0);
  int done = 0;
  LongWork::Pacer pacer = ProgressPacer();
  for (const auto& [segmentId, sourceId] : rows) {
    ThumbnailCache.Share(segmentId, sourceId);
    if (++done % 100 == 0 && ProgressDue(pacer)) ShowProgress(kLoadingCaption, done);
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

// The segment's own entry (its picture, else its file's), else the file's:
// a file's FileID is the SegmentID of its whole-file segment, so a segment no
// fetch has cached (a cut segment the inspector lists) still shows its file's
// picture. A miss takes the cached placeholder.
int32_t clsRWLibrary::ThumbnailKey(int32_t SegmentID, int32_t FileID) const {
  return ThumbnailCache.Exists(SegmentID) ? SegmentID : ThumbnailCache.Exists(FileID) ? FileID : 0;
}

void clsRWLibrary::ReadThumbnailsAhead(const std::vector<std::pair<int32_t, int32_t>>& segmentsAndFiles) {
  QList<int32_t> keys;
  keys.reserve(static_cast<qsizetype>(segmentsAndFiles.size()));
  for (const auto& [segmentId, fileId] : segmentsAndFiles) keys.append(ThumbnailKey(segmentId, fileId));
  ThumbnailCache.ReadAhead(keys);
}

QByteArray clsRWLibrary::ThumbnailBytes(int32_t SegmentID, int32_t FileID) {
  try {
    const int32_t key = ThumbnailKey(SegmentID, FileID);
    if (ThumbnailCache.Exists(key)) return ThumbnailCache.Item(key);
  } catch (const RWError&) {
    // An entry that cannot be read shows the placeholder, like a missing one.
  } catch (const StorageFault& fault) {
    // A picture is drawn where no box can open: the cell shows the
    // placeholder, and the next command that reads the file tells the fault.
    qWarning() << "Thumbnail:" << fault.Error().Text();
  }
  return QByteArray();
}

void clsRWLibrary::ThumbnailBytesToPicture(const QByteArray& bytes, QImage& Picture) {
  Picture = QImage();
  if (!bytes.isEmpty()) {
    try {
      // An opaque picture of its own: the grids make pixmaps of it without
      // a look for alpha or a copy.
      QImage image = m_JpegCodec->DecodeOpaque(bytes);
      Picture = image.size() == QSize(kTileWidth, kTileHeight)
                    ? std::move(image)
                    : image.scaled(kTileWidth, kTileHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } catch (const RWError&) {
      // Bytes that are no picture show the placeholder, like a missing one.
      Picture = QImage();
    }
  }
  if (Picture.isNull()) Picture = NoThumbPicture();
}

void clsRWLibrary::ThumbnailToPicture(int32_t SegmentID, int32_t FileID, QImage& Picture) {
  ThumbnailBytesToPicture(ThumbnailBytes(SegmentID, FileID), Picture);
}

// ---- Storing ----

void clsRWLibrary::SaveThumbnail(int32_t SegmentID, int32_t FileID, QImage& Picture) {
  QByteArray bytes;
  PictureToJPGBytes(Picture, kThumbnailQuality, bytes);
  TransactionGuard guard(*m_Connection, QStringLiteral("SaveThumb"));
  // Segments showing the old picture as their file's keep it, as copies
  // made when the cache was filled would.
  ThumbnailCache.KeepSharedCopies(SegmentID);
  m_SQL = QStringLiteral("DELETE FROM SegmentThumbnails WHERE SegmentID = %1").arg(SegmentID);
  m_Connection->Execute(m_SQL);
  auto insert = m_Connection->Prepare(
      QStringLiteral("INSERT INTO SegmentThumbnails (SegmentID, FileID, Thumbnail) VALUES (?,?,?)"));
  insert->Bind(1, SegmentID);
  insert->Bind(2, FileID);
  insert->Bind(3, SqlValue::Blob(bytes));
  insert->Execute();
  guard.Commit();
  ThumbnailCache.StoreOwnRow(SegmentID, bytes);
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

// The pictures of a page are read in one read of the file: it is locked once
// instead of once per picture. A file that cannot begin one is painted
// without it.
void clsRWLibrary::DrawGridImages() {
  std::optional<TransactionGuard> snapshot;
  try {
    snapshot.emplace(*m_Connection, QStringLiteral("DrawGridImages"));
  } catch (const RWError&) {
    snapshot.reset();
  }
  View().DrawGridImages();
  if (snapshot) snapshot->Commit();
}
