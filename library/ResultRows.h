#pragma once
// The result fetch's rows: the results table's segments with their files'
// facts, as vw_SearchResults gives them, read into ResultItems in the view's
// order.
#include "library/ResultItem.h"

#include <QString>

#include <span>

class SqlCommand;

namespace ResultRows {

// The statement that makes vw_SearchResults, as the empty library's schema
// (library/EmptyLibrary.sql) writes it: the one source of the view's columns,
// for the upgrade that makes the view again and for ResultsQuery.
const QString& ViewStatement();

// The rows of SearchResults with the view's columns, in the results table's
// own order, unsorted: by SegmentID (its row number), or by FileID and then
// SegmentID where SQLite reads the table through its FileID index. Either way
// a file's rows come in segment order, which is all InViewOrder relies on.
// The view's ORDER BY would have SQLite copy every row into a sorter and
// back, a fifth of a large fetch's time.
const QString& ResultsQuery();

// The view's columns in a statement of ResultsQuery, found by name.
struct Columns {
  explicit Columns(const SqlCommand& rows);

  int segmentId, fileId, currentPath, fileName, fileSize, frameRate, bitrate, dimensions, start, end, fileFlag, alias,
      description, online, format, rating;
};

// The row the statement stands on into `item`, with its selected flag from
// gSelectedById and its display state; a NULL text reads as empty text.
void Read(const SqlCommand& row, const Columns& columns, ResultItem& item);

// Watches the rows as they are read (a file's rows in segment order, see
// ResultsQuery) for whether they are in the view's order already: by file.
class FileOrder {
 public:
  void See(const ResultItem& item) {
    inOrder_ = inOrder_ && item.FileID >= lastFile_;
    lastFile_ = item.FileID;
  }
  bool InOrder() const { return inOrder_; }

 private:
  bool inOrder_ = true;
  int32_t lastFile_ = INT32_MIN;
};

// Rows as ResultsQuery reads them put into the view's order: by file, a
// file's rows in the order they were read in (segment order).
void InViewOrder(std::span<ResultItem> rows);

// Rows in the view's order with each file's texts (its path, name, size of
// picture and format, and an alias that is its name) held once for all of
// its rows: read unsorted, a file's rows come apart, and the texts read for
// each would stand beside one another, a third of a large result set.
void ShareFileTexts(std::span<ResultItem> rows);

}  // namespace ResultRows
