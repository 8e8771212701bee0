#pragma once
// The result set in memory: one ResultItem per row of the current results,
// the selection flags by segment, and the single records other windows keep.
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <unordered_map>
#include <vector>

struct ResultItem {
  int32_t SegmentID = 0;
  int32_t FileID = 0;
  QString FileAlias;
  QString Description;
  QString CurrentPath;  // ends in "/"; "[Offline] ..." for a file on a medium not connected
  QString FileName;
  double FileSize = 0;
  QDateTime FileDate;
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

// The selection flags by SegmentID, for any SegmentID a library holds: only
// the flags that are set are kept, so the table grows with the selection,
// never with the numbers. A flag that was never set reads 0.
class SelectionFlags {
 public:
  int16_t operator[](int32_t segmentId) const {
    const auto it = flags_.find(segmentId);
    return it == flags_.end() ? int16_t{0} : it->second;
  }
  // 0 clears the flag.
  void Set(int32_t segmentId, int16_t value) {
    if (value == 0) {
      flags_.erase(segmentId);
    } else {
      flags_[segmentId] = value;
    }
  }
  // Every flag back to 0.
  void Reset() { flags_.clear(); }
  // How many flags are set.
  int32_t Count() const { return static_cast<int32_t>(flags_.size()); }

 private:
  std::unordered_map<int32_t, int16_t> flags_;
};

// Rows 1 to the result count; row 0 is never used.
extern std::vector<ResultItem> gResults;
// Not 0 means the segment is selected; kept across fetches, reset by the
// search steps.
extern SelectionFlags gSelectedById;

// The browser view the results are shown in (1 tiles, 2 list, 3 carousel)
// and the current result's index there, 1-based (0 none).
extern int32_t gBrowserMode;
extern int32_t gBrowserIndex;
// True while the play queue matches the current results and selection; a new
// result set, a selection change or a shuffle clears it.
extern bool gPlayQueueBuilt;

extern ResultItem gCurrentItem;
extern ResultItem gInspectedItem;
extern ResultItem gSavedItem;
extern ResultItem gHoverItem;

// The list grid's text of field 1..8 of a result (path, title, size,
// duration, dimensions, frame rate, bit rate, format); empty for any other.
QString ResultListText(const ResultItem& item, int field);
