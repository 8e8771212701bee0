// The carousel's keys on a library of ten results: the 100 ms gate on a
// clock that never wraps, the moves of the top level, the windowed view's
// limits, and the focus zones and menus of TV-Out mode.
#include "tests/carousel/CarouselFixture.h"

#include "platform/DragController.h"
#include "platform/controls/VbInput.h"

namespace {

using namespace ctl;

class CarouselKeysTest : public rwtest::CarouselFixture {
 protected:
  void SetUp() override {
    rwtest::CarouselFixture::SetUp();
    previousClock_ = SetTickCountFunction([this] { return now_; });
    OpenResults(10);
    MakeCarousel();
    gBrowserMode = 3;
  }
  void TearDown() override {
    SetTickCountFunction(previousClock_);
    rwtest::CarouselFixture::TearDown();
  }

  // A key `afterMs` after the one before.
  void Press(int key, uint64_t afterMs = 1000) {
    now_ += afterMs;
    gCarousel->KeyPress(key);
  }
  void At(int32_t index) {
    Move(index, false);
    log = {};
  }
  // TV-Out mode with the details drawn (the carousel timer has fired).
  void TVOut() {
    gTVOutMode = true;
    pane_->CarouselTimer->SetEnabled(false);
  }
  static QString Mode() { return gCarousel->MenuMode(); }

  uint64_t now_ = 5000;

 private:
  TickCountFunction previousClock_;
};

TEST_F(CarouselKeysTest, ASecondKeyWithin100msIsDroppedWhicheverItIs) {
  At(5);
  Press(vbKeyRight);
  EXPECT_EQ(gBrowserIndex, 6);
  Press(vbKeyRight, 50);
  EXPECT_EQ(gBrowserIndex, 6);
  Press(vbKeyLeft, 49);
  EXPECT_EQ(gBrowserIndex, 6) << "a different key is dropped as well";
  Press(vbKeyLeft, 1);
  EXPECT_EQ(gBrowserIndex, 5) << "100 ms after the last accepted key";
  EXPECT_TRUE(gCarousel->KeyNavigation());
  Press(vbKeyPageDown);
  EXPECT_FALSE(gCarousel->KeyNavigation()) << "the other keys clear it";
}

TEST_F(CarouselKeysTest, TheGateHoldsAfterWeeksOfUptime) {
  // Beyond 2^31 ms (24.8 days) and across 2^32 ms (49.7 days).
  for (uint64_t start : {uint64_t{3'000'000'000}, uint64_t{0xFFFFFFF0}}) {
    At(5);
    now_ = start;
    Press(vbKeyRight, 0);
    Press(vbKeyRight, 50);
    EXPECT_EQ(gBrowserIndex, 6) << start;
    Press(vbKeyRight, 100);
    EXPECT_EQ(gBrowserIndex, 7) << start;
  }
}

TEST_F(CarouselKeysTest, MovesOfTheTopLevel) {
  struct Case {
    int key;
    int32_t from;
    int32_t to;
  };
  const Case cases[] = {
      {vbKeyLeft, 1, 1},          {vbKeyLeft, 4, 3},          {vbKeyRight, 10, 10},     {vbKeyRight, 9, 10},
      {vbKeyPageUp, 4, 1},        {vbKeyComma, 4, 1},         {vbKeyPageUp, 10, 1},     {vbKeyPageUp, 1, 1},
      {vbKeyPageDown, 4, 10},     {vbKeyPeriod, 8, 10},       {vbKeyPageDown, 10, 10},  {vbKeyEnd, 3, 10},
      {vbKeyCloseBracket, 3, 10}, {vbKeyHome, 5, 1},          {vbKeyOpenBracket, 5, 1}, {vbKeyL, 5, 2},
      {vbKeyL, 2, 1},             {vbKeyL, 1, 1},             {vbKeyR, 3, 6},           {vbKeyR, 8, 9},
      {vbKeyR, 10, 10},           {vbKeySpace, 5, 5},         {vbKeyF1, 5, 5},          {vbKeyUp, 5, 5},
  };
  for (const Case& c : cases) {
    At(c.from);
    Press(c.key);
    EXPECT_EQ(gBrowserIndex, c.to) << "key " << c.key << " on " << c.from;
    if (c.from == c.to) {
      EXPECT_EQ(log.frames, 0) << "key " << c.key << " on " << c.from;
    }
  }
}

TEST_F(CarouselKeysTest, TheWindowedViewIgnoresKeysInAMenuAndUpAndDownAtTheTopLevel) {
  At(5);
  for (int key : {vbKeyUp, vbKeyDown}) {
    Press(key);
    EXPECT_EQ(Mode(), QStringLiteral("NULL"));
  }
  gCarousel->SetMenuMode(QStringLiteral("Main"));
  for (int key : {vbKeyRight, vbKeyEscape, vbKeyUp, vbKeyPageUp}) {
    Press(key);
    EXPECT_EQ(Mode(), QStringLiteral("Main")) << key;
    EXPECT_EQ(gBrowserIndex, 5) << key;
  }
  gBrowserMode = 1;
  gCarousel->SetMenuMode(QStringLiteral("NULL"));
  Press(vbKeyRight);
  EXPECT_EQ(gBrowserIndex, 5) << "only the carousel view takes keys";
}

TEST_F(CarouselKeysTest, TVOutZonesAndMenus) {
  At(5);
  gTVOutMode = true;
  pane_->CarouselTimer->SetEnabled(true);
  Press(vbKeyDown);
  EXPECT_EQ(Mode(), QStringLiteral("NULL")) << "not before the details are drawn";
  TVOut();
  struct Case {
    const char* mode;
    int key;
    bool tags;      // HasTags
    bool overflow;  // DescriptionOverflow
    const char* after;
    int32_t index;  // the highlighted entry after, 0 when not checked
  };
  const Case cases[] = {
      {"NULL", vbKeyDown, false, false, "Carousel", 0},
      {"Carousel", vbKeyDown, false, false, "Title", 0},
      {"Title", vbKeyDown, false, false, "Rating", 0},
      {"Title", vbKeyDown, true, false, "Tags", 0},
      {"Tags", vbKeyDown, true, false, "Rating", 0},
      {"Rating", vbKeyDown, true, false, "Carousel", 0},  // the description fits
      {"Rating", vbKeyDown, true, true, "Description", 0},
      {"Description", vbKeyDown, true, true, "Carousel", 0},
      {"Description", vbKeyUp, true, true, "Rating", 0},
      {"Rating", vbKeyUp, true, false, "Tags", 0},
      {"Rating", vbKeyUp, false, false, "Title", 0},
      {"Tags", vbKeyUp, true, false, "Title", 0},
      {"Title", vbKeyUp, true, false, "Carousel", 0},
      {"Carousel", vbKeyUp, true, false, "NULL", 0},
      {"Carousel", vbKeyReturn, true, false, "CarouselMain", 0},
      {"Title", vbKeyReturn, true, false, "TitleMain", 0},
      {"Rating", vbKeyReturn, true, false, "Rating", 0},
      {"Title", vbKeyEscape, true, false, "NULL", 0},
      {"CarouselMain", vbKeyUp, true, false, "Carousel", 0},
      {"TagsMain", vbKeyUp, true, false, "Tags", 0},
      {"Options", vbKeyUp, true, false, "Main", 7},
      {"SegmentFilter", vbKeyUp, true, false, "Options", 1},
      {"OfflineFilter", vbKeyUp, true, false, "Options", 2},
      {"Colours", vbKeyUp, true, false, "Options", 3},
      {"Main", vbKeyUp, true, false, "NULL", 0},
      {"Options", vbKeyEscape, true, false, "NULL", 0},
  };
  for (const Case& c : cases) {
    gCarousel->SetMenuMode(QLatin1String(c.mode));
    gCarousel->HasTags = c.tags;
    gCarousel->DescriptionOverflow = c.overflow;
    Press(c.key);
    EXPECT_EQ(Mode(), QLatin1String(c.after)) << c.mode << " " << c.key;
    if (c.index != 0) {
      EXPECT_EQ(gCarousel->CurrentMenuIndex(), c.index) << c.mode;
    }
  }
}

TEST_F(CarouselKeysTest, TheTagsZoneStepsFromTagToTagAndTheRatingStaysWithin0To5) {
  At(5);
  TVOut();
  auto tag = [](int32_t id, const char* caption) {
    TagListRow row;
    row.TagID = id;
    row.Caption = QLatin1String(caption);
    row.Separator = id == 0;
    return row;
  };
  gCarousel->SetTagRows({tag(0, ""), tag(10, "A"), tag(0, "; "), tag(11, "B"), tag(0, "")}, 1);
  gCarousel->SetMenuMode(QStringLiteral("Tags"));
  const int32_t highlights[] = {3, 1, 3};  // Right, Right (wrapping), Left (wrapping)
  const int keys[] = {vbKeyRight, vbKeyRight, vbKeyLeft};
  for (int k = 0; k < 3; ++k) {
    Press(keys[k]);
    EXPECT_EQ(gCarousel->HighlightedTag(), highlights[k]) << k;
  }
  Press(vbKeyPageUp);
  EXPECT_EQ(gBrowserIndex, 5) << "no moves from the tag list";

  gCarousel->SetMenuMode(QStringLiteral("Rating"));
  Press(vbKeyLeft);
  EXPECT_EQ(gCurrentItem.Rating, 0) << "nothing below 0";
  for (int k = 1; k <= 6; ++k) Press(vbKeyRight);
  EXPECT_EQ(gCurrentItem.Rating, 5) << "nothing above 5";
  Press(vbKeyLeft);
  auto stored = gLibrary->Connection().OpenRecordset(
      QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = %1").arg(SegmentAt(5)));
  EXPECT_EQ(stored->Value(0).toInt(), 4);
}

}  // namespace
