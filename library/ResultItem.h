#pragma once
// The result set in memory: one ResultItem per row of the current results,
// the selection flags by segment, and the single records other windows keep.
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <unordered_map>
#include <vector>

// The fields every selection walk reads (the segment, the flag and the
// display state) come first, within 16 bytes, so a walk over tens of
// thousands of results fetches one cache line of nearly every result
// rather than three.
struct ResultItem {
  int32_t SegmentID = 0;
  int32_t FileID = 0;
  bool Selected = false;
  int32_t DisplayState = 0;  // 5 online, 9 offline; one less when selected
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
  int16_t Rating = 0;
  QString FileFormat;
  int32_t BrowserRow = 0;  // the row a copy was taken from
};

// The selection flags by SegmentID, for any SegmentID a library holds. The
// IDs up to kDenseIds (a library's usual range) have a place each, so a
// selection over tens of thousands of results costs no allocation; higher
// IDs keep only the flags that are set. A flag that was never set reads 0.
class SelectionFlags {
 public:
  static constexpr int32_t kDenseIds = 50000;

  int16_t operator[](int32_t segmentId) const {
    if (IsDense(segmentId)) return dense_.empty() ? int16_t{0} : dense_[static_cast<size_t>(segmentId)];
    const auto it = sparse_.find(segmentId);
    return it == sparse_.end() ? int16_t{0} : it->second;
  }
  // 0 clears the flag.
  void Set(int32_t segmentId, int16_t value) {
    if (IsDense(segmentId)) {
      if (dense_.empty()) {
        if (value == 0) return;
        dense_.assign(kDenseIds + 1, 0);
      }
      int16_t& flag = dense_[static_cast<size_t>(segmentId)];
      count_ += (value != 0) - (flag != 0);
      flag = value;
    } else if (value == 0) {
      count_ -= static_cast<int32_t>(sparse_.erase(segmentId));
    } else {
      count_ += sparse_.insert_or_assign(segmentId, value).second ? 1 : 0;
    }
  }
  // Every flag back to 0.
  void Reset() {
    dense_.clear();
    sparse_.clear();
    count_ = 0;
  }
  // How many flags are set.
  int32_t Count() const { return count_; }

 private:
  static bool IsDense(int32_t segmentId) { return segmentId >= 0 && segmentId <= kDenseIds; }

  std::vector<int16_t> dense_;
  std::unordered_map<int32_t, int16_t> sparse_;
  int32_t count_ = 0;
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

// The list's detail fields, core/modReelwise.h.
enum class DetailField : int;

// The list grid's text of a detail field of a result.
QString ResultListText(const ResultItem& item, DetailField field);
