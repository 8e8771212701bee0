// The result fetch's rows put into the view's order in place.
#include "library/ResultItem.h"
#include "library/ResultRows.h"

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// Rows read in segment order of files in any order, many to a file: the
// view's order is a stable sort by file, whatever cycles the rows must move in.
TEST(InViewOrderTest, RowsEndByFileAndInTheirReadOrderWithinAFile) {
  std::mt19937 random(11);
  for (const int count : {0, 1, 2, 7, 1000}) {
    std::vector<ResultItem> rows(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      rows[static_cast<size_t>(i)].SegmentID = i;
      rows[static_cast<size_t>(i)].FileID = static_cast<int32_t>(random() % 40) - 20;
      rows[static_cast<size_t>(i)].FileName = QString::number(i);
    }
    std::vector<ResultItem> expected = rows;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const ResultItem& a, const ResultItem& b) { return a.FileID < b.FileID; });
    ResultRows::InViewOrder(rows);
    for (size_t i = 0; i < rows.size(); ++i) {
      ASSERT_EQ(rows[i].SegmentID, expected[i].SegmentID) << count << " rows, at " << i;
      ASSERT_EQ(rows[i].FileName, QString::number(rows[i].SegmentID)) << "each row moved whole";
    }
  }
}

}  // namespace
