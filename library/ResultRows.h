#pragma once
// A result row as vw_SearchResults gives it (a segment with its file's
// facts), read into a ResultItem: by the result fetch from the view, and by
// the library checks that read the rows they may show in their own query.
#include "library/ResultItem.h"

#include <QString>

class SqlCommand;

namespace ResultRows {

// The select list of the view's columns, under the view's names, for a query
// over VideoSegments VS joined to their files VideoFiles VF.
const QString& SelectList();

// The view's columns in a statement, found by name; a column that is
// missing raises.
struct Columns {
  explicit Columns(const SqlCommand& rows);

  int segmentId, fileId, currentPath, fileName, fileSize, frameRate, bitrate, dimensions, start, end, fileFlag, alias,
      description, online, format, rating;
};

// The row the statement stands on into `item`, with its selected flag from
// gSelectedById and its display state; a NULL text reads as empty text.
void Read(const SqlCommand& row, const Columns& columns, ResultItem& item);

}  // namespace ResultRows
