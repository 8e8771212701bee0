#pragma once
// The result fetch's rows: the results table's segments with their files'
// facts, as vw_SearchResults gives them, read into ResultItems in the view's
// order.
#include "library/ResultItem.h"

#include <QString>

#include <span>

class SqlCommand;

namespace ResultRows {

// The rows of SearchResults with the view's columns, in no particular order:
// the view's ORDER BY has SQLite copy every row into a sorter and back, which
// costs a large fetch a fifth of its time, while the rows come from the
// results table nearly in the view's order already (see InViewOrder).
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

// Watches the rows as they are read, in segment order, for whether they are
// in the view's order already: by file, a file's rows in segment order.
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

// Rows read in segment order put into the view's order: by file, a file's
// rows in segment order (the order they were read in).
void InViewOrder(std::span<ResultItem> rows);

}  // namespace ResultRows
