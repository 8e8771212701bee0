#include "library/ResultRows.h"

#include "core/modRegistry.h"
#include "library/ResultsViewSql.h"
#include "platform/Contract.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ResultRows {

namespace {

// The select list of the view's columns, under the view's names, for a query
// over VideoSegments VS joined to their files VideoFiles VF: the view's own.
const QString& SelectList() {
  static const QString list = [] {
    const QString& view = ViewStatement();
    const qsizetype from = view.indexOf(QLatin1String(" AS SELECT ")) + 11;
    return view.mid(from, view.indexOf(QLatin1String(" FROM ")) - from);
  }();
  return list;
}

int Find(const SqlCommand& rows, const char* name) {
  const int column = rows.FieldIndex(QLatin1String(name));
  if (column < 0) {
    throw RWError(kErrInvalidArgument, QStringLiteral("Item not found in this collection (%1)").arg(QLatin1String(name)));
  }
  return column;
}

}  // namespace

const QString& ViewStatement() {
  static const QString statement = QString::fromUtf8(kResultsViewSql);
  return statement;
}

const QString& ResultsQuery() {
  static const QString query = QStringLiteral(
                                   "SELECT %1 FROM SearchResults SR CROSS JOIN VideoSegments VS CROSS JOIN VideoFiles "
                                   "VF WHERE VS.SegmentID = SR.SegmentID AND VF.FileID = VS.FileID")
                                   .arg(SelectList());
  return query;
}

Columns::Columns(const SqlCommand& rows)
    : segmentId(Find(rows, "SegmentID")),
      fileId(Find(rows, "FileID")),
      currentPath(Find(rows, "CurrentPath")),
      fileName(Find(rows, "FileName")),
      fileSize(Find(rows, "Filesize")),
      frameRate(Find(rows, "FrameRate")),
      bitrate(Find(rows, "Bitrate")),
      dimensions(Find(rows, "Dimensions")),
      start(Find(rows, "SelectionStart")),
      end(Find(rows, "SelectionEnd")),
      fileFlag(Find(rows, "FileFlag")),
      alias(Find(rows, "FileAlias")),
      description(Find(rows, "Description")),
      online(Find(rows, "Online")),
      format(Find(rows, "FileFormat")),
      rating(Find(rows, "Rating")) {}

void Read(const SqlCommand& row, const Columns& c, ResultItem& item) {
  item.SegmentID = row.toInt(c.segmentId);
  item.FileID = row.toInt(c.fileId);
  item.Description = row.toString(c.description);
  item.CurrentPath = row.toString(c.currentPath);
  item.FileName = row.toString(c.fileName);
  // A segment without an alias of its own shows its file's name: the text
  // is shared rather than made again.
  const bool ownAlias = row.IsNull(c.alias) || row.ColumnText(c.alias) != row.ColumnText(c.fileName);
  item.FileAlias = ownAlias ? row.toString(c.alias) : item.FileName;
  item.FileSize = row.toDouble(c.fileSize);
  item.IsFileRow = row.ColumnText(c.fileFlag) == "Y";
  item.FrameRate = static_cast<float>(row.toDouble(c.frameRate));
  item.Bitrate = row.toInt(c.bitrate);
  item.Dimensions = row.toString(c.dimensions);
  item.SelectionStart = row.toDouble(c.start);
  item.SelectionEnd = row.toDouble(c.end);
  item.Duration = item.SelectionEnd - item.SelectionStart;
  item.Selected = gSelectedById[item.SegmentID] != 0;
  item.DisplayState = row.toBool(c.online) || !gIndicateOffline ? 5 : 9;
  item.Rating = static_cast<int16_t>(row.toInt(c.rating));
  item.FileFormat = row.toString(c.format);
}

void InViewOrder(std::span<ResultItem> rows) {
  // The file numbers are sorted with each row's place, and the rows are then
  // moved round the cycles of that order in place: a sort of the rows
  // themselves would move each of them at every level of the sort, and a
  // sorted copy would hold the results twice for a moment.
  RW_CONTRACT(rows.size() < 0xFFFFFFFFu, "InViewOrder packs each row's place into 32 bits");
  std::vector<uint64_t> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const uint64_t file = static_cast<uint32_t>(rows[i].FileID) ^ 0x80000000u;  // signed order
    keys[i] = file << 32 | i;
  }
  std::sort(keys.begin(), keys.end());
  // keys[i]'s low half: the place of the row that belongs at i; a place
  // filled already is marked by its own number there.
  constexpr uint64_t kPlace = 0xFFFFFFFFu;
  for (size_t i = 0; i < rows.size(); ++i) {
    if ((keys[i] & kPlace) == i) continue;
    ResultItem first = std::move(rows[i]);
    size_t to = i;
    for (size_t from = keys[to] & kPlace; from != i; from = keys[to] & kPlace) {
      rows[to] = std::move(rows[from]);
      keys[to] = to;
      to = from;
    }
    rows[to] = std::move(first);
    keys[to] = to;
  }
}

void ShareFileTexts(std::span<ResultItem> rows) {
  for (size_t i = 1; i < rows.size(); ++i) {
    const ResultItem& file = rows[i - 1];
    ResultItem& item = rows[i];
    // The same file's row of the same read: its texts are the same.
    if (item.FileID != file.FileID) continue;
    const bool aliasIsName = item.FileAlias == item.FileName;
    item.CurrentPath = file.CurrentPath;
    item.FileName = file.FileName;
    item.Dimensions = file.Dimensions;
    item.FileFormat = file.FileFormat;
    if (aliasIsName) item.FileAlias = item.FileName;
  }
}

}  // namespace ResultRows
