#pragma once
// The result set in memory: one ResultItem per row of the current results,
// the selection flags by segment, and the single records other windows keep.
#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

struct ResultItem {
  int32_t SegmentID = 0;
  int32_t FileID = 0;
  QString FileAlias;
  QString Description;
  QString CurrentPath;  // ends in "/"; "[Offline] ..." for a file on a medium not connected
  QString FileName;
  double FileSize = 0;
  QDate FileDate;
  bool IsFileRow = false;  // the whole-file row
  float FrameRate = 0;
  int32_t Bitrate = 0;  // kbit/s
  QString Dimensions;
  double Duration = 0;
  double SelectionStart = 0;
  double SelectionEnd = 0;
  bool Selected = false;
  int32_t DisplayState = 0;  // 5 online, 9 offline; one less when selected
  int16_t Rating = 0;
  QString FileFormat;
  int32_t BrowserRow = 0;  // the row a copy was taken from
};

// Rows 1 to the result count; row 0 is never used.
extern std::vector<ResultItem> gResults;
// Indexed 0..50000 by SegmentID; not 0 means selected.
inline constexpr int kMaxSelectionId = 50000;
extern std::vector<int16_t> gSelectedById;

extern ResultItem gCurrentItem;
extern ResultItem gInspectedItem;
extern ResultItem gSavedItem;
extern ResultItem gHoverItem;
