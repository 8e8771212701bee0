// The thumbnail store: JPEG pictures of the segments in the library file and
// in the cache, turned back into pictures, and painted into the visible part
// of the result grids.
#include "library/clsRWLibrary.h"

#include "carousel/cCarousel.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "mainwindow/frmReelwise.h"
#include "options/ColourSchemeModel.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlValue.h"
#include "resources/Resources.h"
#include "ui/cwProgress.h"
#include "ui/modBlendColorAlpha.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kThumbnailQuality = 90;
constexpr int kTileWidth = 100;
constexpr int kTileHeight = 75;
const QString kLoadingCaption = QStringLiteral("Loading Thumbnails...");

void ReportLoadError(const RWError& error) {
  ShowProgramMessage(QString::number(error.Number()) + QLatin1Char(' ') + error.Description(), vbExclamation,
                     QStringLiteral("Error Loading Thumbnails"), gMainForm);
}

void ReportGridError(const RWError& error) {
  ShowProgramMessage(error.Text(), vbExclamation, QStringLiteral("Error Refreshing Grid Images"), gMainForm);
}

// Paints one cell; an error is shown and the painting goes on, so one bad
// cell does not leave the rest of the page empty.
template <typename Work>
void GridStep(Work&& work) {
  try {
    work();
  } catch (const RWError& error) {
    ReportGridError(error);
  }
}

// The glyph the grid draws over a result's picture: its display state (5
// online, 9 offline), one less when the result is selected.
QString DisplayCode(const ResultItem& item, bool selected) {
  return QString::number(item.DisplayState - (selected ? 1 : 0));
}

bool IsSelectedId(int32_t segmentId) {
  return gSelectedById[segmentId] != 0;
}

// Off-screen cells give their pictures back; a cell with none costs a test.
void ClearPicture(ctl::FlexGrid& grid, int row, int col) {
  if (grid.Model().Cell(row, col).picture.isNull()) return;
  grid.SetRow(row);
  grid.SetCol(col);
  grid.SetCellPicture(QPixmap());
}

// A tile after the last result: the blank tile, without a state glyph.
void ShowBlankTile(ctl::FlexGrid& grid, int row, int col, const QPixmap& blank) {
  const ctl::FlexCell& cell = grid.Model().Cell(row, col);
  if (cell.picture.cacheKey() == blank.cacheKey() && cell.text.isEmpty()) return;
  grid.SetRow(row);
  grid.SetCol(col);
  grid.SetCellPicture(blank);
  grid.SetTextMatrix(row, col, QString());
}

// The results the grids can show: entries 1 to the count that exist.
int ShownResults(int32_t resultCount) { return std::clamp(resultCount, 0, static_cast<int>(gResults.size()) - 1); }

}  // namespace

// ---- The cache ----

void clsRWLibrary::LoadThumbnails() {
  ThumbnailCache = KeyedCollection<QByteArray>();
  try {
    ThumbnailCache.Add(LoadResData(QStringLiteral("NO_THUMB"), kResCustom), 0);
  } catch (const RWError& error) {
    ReportLoadError(error);
  }
  CacheThumbnailRows(QStringLiteral("Select SegmentID, Thumbnail from SegmentThumbnails WHERE Thumbnail IS NOT NULL"));
  // Segments whose own row holds no picture show their file's.
  CacheThumbnailRows(QStringLiteral(
      "SELECT ST1.SegmentID, ST2.Thumbnail FROM SegmentThumbnails ST1, VideoSegments S2, SegmentThumbnails ST2 Where "
      "ST1.FileID = S2.FileID AND S2.SegmentId = ST2.SegmentID AND ST1.Thumbnail IS NULL AND S2.FileFlag = 'Y'"));
  ProgressOff();
}

// Puts the pictures of (SegmentID, Thumbnail) rows into the cache; a segment
// cached already keeps its picture.
void clsRWLibrary::CacheThumbnailRows(const QString& sql) {
  try {
    SqlRecordset rows(*m_Connection, sql);
    SetProgressMax(rows.RecordCount());
    ShowProgress(kLoadingCaption, 0);
    for (int done = 1; !rows.Eof(); rows.MoveNext(), ++done) {
      const int32_t segmentId = rows.Value(0).toInt();
      if (!ThumbnailCache.Exists(segmentId)) ThumbnailCache.Add(rows.Value(1).toBytes(), segmentId);
      if (done % 100 == 0) ShowProgress(kLoadingCaption, done);
    }
  } catch (const RWError& error) {
    ReportLoadError(error);
  }
}

void clsRWLibrary::SetProgressMax(int32_t Max) {
  if (gMainForm && gMainForm->progProgress) gMainForm->progProgress->SetMax(Max);
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
    // The segment's own picture, else its file's, else the cached placeholder.
    int32_t key = 0;
    if (ThumbnailCache.Exists(SegmentID)) {
      key = SegmentID;
    } else if (ThumbnailCache.Exists(FileID)) {
      key = FileID;
    }
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

QPixmap clsRWLibrary::ThumbnailPixmap(const ResultItem& item) {
  QImage picture;
  ThumbnailToPicture(item.SegmentID, item.FileID, picture);
  return QPixmap::fromImage(std::move(picture));
}

void clsRWLibrary::DrawGridImages() {
  if (!gMainForm) return;
  frmReelwise& form = *gMainForm;
  form.Timer1->SetEnabled(false);
  const int top = form.scrollFlex->Value();
  switch (gBrowserMode) {
    case 3:
      if (gCarousel) gCarousel->SetCarouselIndex(gBrowserIndex, false, true);
      break;
    case 2:
      DrawListImages(*form.flexThumbsList, top);
      break;
    case 1:
      DrawTileImages(*form.flexThumbsTiled, top, form.picBlankTile->Picture());
      break;
    default:
      break;
  }
  form.Timer1->SetEnabled(true);
}

// Rows from the first visible one to the one just below the page get their
// thumbnail on the row's stripe colour; the others give their pictures back.
// Column 0 of a row holds the index of its result.
void clsRWLibrary::DrawListImages(ctl::FlexGrid& grid, int32_t Top) {
  grid.SetRedraw(false);
  const COLORREF stripe = BlendColor(gSchemeColour2, gSchemeColour4, 245);
  const int savedRow = grid.Row();
  const double bottom = Top + gTileRowsVisible;
  const int rows = std::min(ShownResults(ResultCount), grid.Rows() - 1);
  GridStep([&] { grid.SetCol(1); });
  for (int i = 1; i <= rows; ++i) {
    GridStep([&] {
      if (i < Top || i > bottom) {
        ClearPicture(grid, i, 1);
        return;
      }
      grid.SetRow(i);
      grid.SetCol(1);
      grid.SetColSel(grid.Cols() - 1);
      grid.SetFillStyle(ctl::flexFillRepeat);
      grid.SetCellBackColor(i % 2 == 0 ? stripe : gSchemeColour2);
      grid.SetFillStyle(ctl::flexFillSingle);
      const int index = grid.TextMatrix(i, 0).toInt();
      if (index < 1 || index > ShownResults(ResultCount)) return;
      const ResultItem& item = gResults[static_cast<size_t>(index)];
      grid.SetCellPicture(ThumbnailPixmap(item));
      grid.SetTextMatrix(i, 1, DisplayCode(item, item.Selected));
    });
  }
  GridStep([&] { grid.SetRow(savedRow); });
  grid.SetRedraw(true);
}

// Tile i lies in row (i - 1) div C and column (i - 1) mod C + 1 (column 0 is
// a margin); rows from the first visible one to the one just below the page
// are painted, the others give their pictures back, and the tiles after the
// last result are blank.
void clsRWLibrary::DrawTileImages(ctl::FlexGrid& grid, int32_t Top, const QPixmap& Blank) {
  const int savedCol = grid.Col();
  const int savedRow = grid.Row();
  grid.SetRedraw(false);
  const int columns = std::max(1, CLng(gTileColumns));
  const int cells = columns * grid.Rows();
  const int results = ShownResults(ResultCount);
  const double bottom = Top + gTileRowsVisible;
  for (int i = 1; i <= cells; ++i) {
    const int row = (i - 1) / columns;
    const int col = (i - 1) % columns + 1;
    if (col >= grid.Cols()) continue;
    GridStep([&] {
      if (i > results) {
        ShowBlankTile(grid, row, col, Blank);
      } else if (row < Top || row > bottom) {
        ClearPicture(grid, row, col);
      } else {
        const ResultItem& item = gResults[static_cast<size_t>(i)];
        grid.SetRow(row);
        grid.SetCol(col);
        grid.SetCellPicture(ThumbnailPixmap(item));
        grid.SetTextMatrix(row, col, DisplayCode(item, IsSelectedId(item.SegmentID)));
      }
    });
  }
  GridStep([&] {
    grid.SetCol(savedCol);
    grid.SetRow(savedRow);
  });
  grid.SetRedraw(true);
  grid.Refresh();
}
