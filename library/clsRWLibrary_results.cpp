// The result set: FetchSearchResults reads the rows of SearchResults (as
// vw_SearchResults gives them) into gResults with their selection and
// display state and, under the on-demand thumbnail policies, their
// thumbnails; ShowSearchResults has the view put them into the browser's
// grids and labels.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "library/ResultRows.h"
#include "library/cFactory.h"
#include "platform/Contract.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QElapsedTimer>

#include <functional>
#include <span>

namespace {

const QString kFetching = QStringLiteral("Fetching Data...");

// The thumbnails of the fetched rows not cached yet: each row's own, else
// its file's, cached under the row's SegmentID. The rows are looked up in
// one statement through a list in the temporary database, which costs a
// fraction of one query per row. The cache notes which stored row each
// picture is in; the pictures are read when shown.
void LoadUncachedThumbnails(SqlConnection& db, ThumbnailStore& cache) {
  db.Execute(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS rw2_Uncached (SegmentID INTEGER PRIMARY KEY, FileID integer)"));
  db.Execute(QStringLiteral("DELETE FROM temp.rw2_Uncached"));
  {
    auto insert = db.Prepare(QStringLiteral("INSERT OR IGNORE INTO temp.rw2_Uncached VALUES (?, ?)"));
    for (size_t i = 1; i < gResults.size(); ++i) {
      if (cache.Exists(gResults[i].SegmentID)) continue;
      insert->Bind(1, gResults[i].SegmentID);
      insert->Bind(2, gResults[i].FileID);
      insert->Execute();
    }
  }
  auto rs = db.OpenRecordset(QStringLiteral(
      "SELECT U.SegmentID, COALESCE("
      "(SELECT SegmentID FROM SegmentThumbnails WHERE Thumbnail IS NOT NULL AND SegmentID = U.SegmentID), "
      "(SELECT ST.SegmentID FROM VideoSegments VS, SegmentThumbnails ST WHERE VS.SegmentId = ST.SegmentID AND "
      "Thumbnail IS NOT NULL AND VS.FileFlag = 'Y' AND VS.FileID = U.FileID)) FROM temp.rw2_Uncached U"));
  for (; !rs->Eof(); rs->MoveNext()) {
    if (!rs->Value(1).IsNull()) cache.AddRow(rs->Value(0).toInt(), rs->Value(1).toInt());
  }
}

// Path separators are followed by a zero-width space, so that a long path
// can wrap there without showing a blank.
QString WrappablePath(const QString& path) {
  QString text;
  text.reserve(path.size() + path.size() / 8);
  for (const QChar c : path) {
    text += c;
    if (c == QLatin1Char('/') || c == QLatin1Char('\\')) text += QChar(0x200B);
  }
  return text;
}

// "0.000 MB" in 12 places, the digits not grouped.
QString MegabyteText(double bytes) {
  return ShownNumbers::Megabytes(bytes, ShownNumbers::Grouping::None).rightJustified(12);
}

// How often a fetch redraws its progress at most: often enough to look
// alive, seldom enough that drawing costs little beside the reading.
constexpr int kProgressIntervalMs = 100;

// The rows a fetch is likely to read, for the progress bar's length before
// the rows are read: the result list's own rows (the view drops those whose
// segment or file is gone).
int32_t ExpectedRows(SqlConnection& db) {
  try {
    return db.OpenRecordset(QStringLiteral("SELECT count(*) FROM SearchResults"))->Value(0).toInt();
  } catch (const RWError&) {
    return 0;
  }
}

// Appends the rows to gResults with the selected count and progress every
// 100 rows once the last report is kProgressIntervalMs old, and puts them in
// the view's order, each file's texts held once. The rows are read one at a
// time straight into the results: a recordset would first hold a copy of
// every field.
void FetchRows(SqlCommand& rows, clsRWLibrary& library, ErrorGuard& report,
               const std::function<void(int32_t)>& progress) {
  const ResultRows::Columns columns(rows);
  ResultRows::FileOrder order;
  QElapsedTimer sinceReport;
  sinceReport.start();
  for (int32_t i = 1; rows.Step(); ++i) {
    ResultItem& item = gResults.emplace_back();
    ResultRows::Read(rows, columns, item);
    order.See(item);
    if (item.Selected) ++library.SelectedCount;
    if (i % 100 == 0 && sinceReport.hasExpired(kProgressIntervalMs)) {
      report.Run([&] { progress(i); });
      sinceReport.restart();
    }
  }
  const std::span<ResultItem> fetched = std::span<ResultItem>(gResults).subspan(1);
  if (!order.InOrder()) ResultRows::InViewOrder(fetched);
  ResultRows::ShareFileTexts(fetched);
}

}  // namespace

QString ResultListText(const ResultItem& item, DetailField field) {
  switch (field) {
    case DetailField::Path:
      return WrappablePath(item.CurrentPath);
    case DetailField::Name:
      return gTooltipAliases ? item.FileAlias : item.FileName;
    case DetailField::Size:
      return MegabyteText(item.FileSize);
    case DetailField::Duration:
      return ShownNumbers::Duration(item.Duration, false, false);
    case DetailField::Resolution:
      return item.Dimensions;
    case DetailField::FrameRate:
      return ShownNumbers::FrameRate(item.FrameRate);
    case DetailField::Bitrate:
      return ShownNumbers::BitRate(item.Bitrate).rightJustified(6) + QStringLiteral(" kbps");
    case DetailField::Format:
      return item.FileFormat;
  }
  return QString();
}

void clsRWLibrary::FetchSearchResults() {
  RW_CONTRACT(contract::OnUiThread(), "the result set is filled on the thread of the event loop, which shows it");
  // One message per pass, so that a bad row cannot bury the user in boxes;
  // nothing is worth a message while there are no rows.
  ErrorReport once = Reporting(QStringLiteral("Error Fetching View Data"));
  once.oncePerPass = true;
  once.silent = [this] { return ResultCount == 0; };
  ErrorGuard report(std::move(once));
  View().CarouselNewResults();
  ResultCount = -1;
  gCurrentItem.SegmentID = 0;
  if (ThumbnailPolicy == 2) ThumbnailCache.Clear();
  int32_t expected = 0;
  {
    // One read of the file for the rows and their thumbnails: a consistent
    // picture, and the file is locked once instead of once per thumbnail.
    TransactionGuard snapshot(*m_Connection, QStringLiteral("FetchResults"));
    expected = ExpectedRows(*m_Connection);
    SelectedCount = 0;
    View().SetProgressMax(expected + 1);
    report.Run([&] { ShowProgress(kFetching, 0); });
    gResults.clear();
    // A failure at any row leaves no rows, as one before the first would.
    const bool read = report.Run([&] {
      gResults.reserve(static_cast<size_t>(expected) + 1);
      gResults.emplace_back();
      m_SQL = ResultRows::ResultsQuery();
      const auto rows = m_Connection->Prepare(m_SQL);
      FetchRows(*rows, *this, report, [this](int32_t row) { ShowProgress(kFetching, row); });
    });
    if (!read) {
      gResults.resize(1);
      SelectedCount = 0;
    }
    ResultCount = static_cast<int32_t>(gResults.size()) - 1;
    if (ResultCount > 0 && ThumbnailPolicy != 0) {
      report.Run([&] { LoadUncachedThumbnails(*m_Connection, ThumbnailCache); });
    }
    snapshot.Commit();
  }
  if (ResultCount != expected) View().SetProgressMax(ResultCount + 1);
  report.Run([&] { ShowProgress(kFetching, ResultCount + 1); });
  gCurrentItem.SegmentID = 0;
  report.Run([&] { View().LayoutThumbnailGrid(ResultCount); });
  if (gTagCloudShown) report.Run([&] { ShowTagCloud(true); });
  gPlayQueueBuilt = false;
}

void clsRWLibrary::ShowSearchResults() { View().ShowSearchResults(); }
