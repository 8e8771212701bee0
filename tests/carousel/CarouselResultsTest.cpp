// The frame around the carousel's ring: the front file's tag list with its
// separators and brackets, announcements and the wipe-in only in TV-Out mode
// once the program is ready, the start-up splash's frames and pauses, and the
// reset for a new result set.
#include "tests/carousel/CarouselFixture.h"

#include <QImage>

#include <vector>

namespace {

using rwtest::CountingPacer;

// Counts frames and notes every pause, with the ready flag as it stood.
class RecordingPacer : public CarouselPacer {
 public:
  struct Log {
    int frames = 0;
    std::vector<int> waits;
    std::vector<bool> readyDuringWaits;
  };
  explicit RecordingPacer(Log& log) : log_(log) {}
  void BeginFrame() override {}
  void EndFrame() override { ++log_.frames; }
  void Wait(std::chrono::milliseconds duration) override {
    log_.waits.push_back(static_cast<int>(duration.count()));
    log_.readyDuringWaits.push_back(gAppReady);
  }

 private:
  Log& log_;
};

class CarouselResultsTest : public rwtest::CarouselFixture {
 protected:
  // Tags 10 A, 11 B, 12 C and 13 D; A implies B and C through links. Segment
  // 101 is a cut of file 2.
  static QString TagSql() {
    return QStringLiteral(
        "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'A', 'T'), (11, 'B', 'T'), (12, 'C', 'T'), (13, 'D', 'T');"
        "INSERT INTO TagLinks VALUES (10, 11, 'L'), (10, 12, 'L');"
        "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating) "
        "VALUES (101, 2, NULL, 5, 10, 1, 0);");
  }
  void Put(int segment, int tag) { Exec(QStringLiteral("INSERT INTO SegmentTags VALUES (%1, %2)").arg(segment).arg(tag)); }

  // The tag list of the result showing `segment`, as the details tick builds it.
  void ShowTagsOf(int32_t segment) {
    for (int32_t i = 1; i <= gLibrary->ResultCount; ++i) {
      if (SegmentAt(i) == segment) Move(i);
    }
    ASSERT_EQ(gCurrentItem.SegmentID, segment);
    gCarousel->TimerEvent();
  }
  static QStringList Captions() {
    QStringList captions;
    for (const TagListRow& row : gCarousel->TagRows()) captions << row.Caption;
    return captions;
  }
  static QString Kinds() {
    QString kinds;
    for (const TagListRow& row : gCarousel->TagRows()) kinds += row.Separator ? '-' : 'T';
    return kinds;
  }

  void UseRecordingPacer() { gCarousel->SetPacer(std::make_unique<RecordingPacer>(record)); }
  static QImage CanvasImage() {
    gCarousel->Canvas().Surface().Flush();
    return gCarousel->Canvas().Surface().Image().copy();
  }
  // A canvas of one colour, kept as the snapshot the announcements draw over.
  static void PlainCanvas(COLORREF colour) {
    gCarousel->Canvas().SetSourceColour(colour);
    gCarousel->Canvas().Paint();
    gCarousel->SaveContext();
  }

  RecordingPacer::Log record;
};

TEST_F(CarouselResultsTest, ImpliedTagsAreGroupedInParenthesesAfterTheirTag) {
  OpenResults(3, TagSql());
  Put(1, 10);
  Put(1, 13);
  MakeCarousel();
  ShowTagsOf(1);
  EXPECT_TRUE(gCarousel->HasTags);
  EXPECT_EQ(Captions(), QStringList({"", "A", " (", "B", ", ", "C", "); ", "D", ""}))
      << "no closing row: the group closed before D; the last row only ends the list";
  EXPECT_EQ(Kinds(), QStringLiteral("-T-T-T-TT"));
  const std::vector<TagListRow>& rows = gCarousel->TagRows();
  EXPECT_EQ(rows[1].TagID, 10);
  EXPECT_EQ(rows[3].TagID, 11);
  EXPECT_EQ(rows[3].LinkedTagID, 10) << "an implied tag hangs under its explicit tag";
  EXPECT_EQ(rows[7].LinkedTagID, 13);
  EXPECT_GT(rows[1].Width, 0);
  EXPECT_GT(rows[2].Width, rows[1].Width) << "\" (\" in italic Verdana is wider than \"A\"";
  EXPECT_EQ(rows[0].Width, 0);
  EXPECT_EQ(gCarousel->HighlightedTag(), 1) << "the highlight stays on a tag row";
}

TEST_F(CarouselResultsTest, OpenGroupsAreClosedAndTagsOfASegmentBracketed) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> tags;  // segment, tag
    QStringList captions;
    QString viaSegment;  // per row: 'v' a tag through a segment
  };
  const Case cases[] = {
      {"an implied group at the end", {{2, 10}}, {"", "A", " (", "B", ", ", "C", ")", ""}, "........"},
      {"a segment's tag after the file's", {{2, 13}, {101, 10}},
       {"", "D", ";  [", "A", " (", "B", ", ", "C", ")]", ""}, "...v.v.v.."},
      {"only a segment's tag", {{101, 13}}, {"[", "D", "]", ""}, ".v.."},
  };
  OpenResults(3, TagSql());
  MakeCarousel();
  for (const Case& c : cases) {
    Exec(QStringLiteral("DELETE FROM SegmentTags"));
    for (const auto& [segment, tag] : c.tags) Put(segment, tag);
    ShowTagsOf(2);
    EXPECT_EQ(Captions(), c.captions) << c.name;
    QString via;
    for (const TagListRow& row : gCarousel->TagRows()) via += row.ViaSegment ? 'v' : '.';
    EXPECT_EQ(via, c.viaSegment) << c.name;
  }
}

TEST_F(CarouselResultsTest, AFileWithoutTagsShowsNoTagsAndItsTagsZoneCannotBeReached) {
  OpenResults(3, TagSql());
  MakeCarousel();
  gCarousel->HasTags = true;
  ShowTagsOf(3);
  EXPECT_FALSE(gCarousel->HasTags);
  EXPECT_EQ(Captions(), QStringList({"No Tags", ""}));
  EXPECT_EQ(Kinds(), QStringLiteral("-T"));
  EXPECT_EQ(gCarousel->TagRows()[0].TagID, 0);

  gTVOutMode = true;
  gBrowserMode = 3;
  pane_->CarouselTimer->SetEnabled(false);
  gCarousel->SetMenuMode(QStringLiteral("Title"));
  int down = ctl::vbKeyDown;
  gCarousel->KeyPress(down);
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("Rating")) << "Down from the title passes the tags by";
}

TEST_F(CarouselResultsTest, AnnouncementsDrawOnlyInTVOutModeWhenTheProgramIsReady) {
  OpenResults(3);
  MakeCarousel();
  Move(1);
  UseRecordingPacer();
  PlainCanvas(RGB(40, 80, 120));
  const QImage before = CanvasImage();
  const int16_t wipes = gCarousel->ResultsWipedIn();

  gCarousel->Broadcast(QStringLiteral("BUSY"), 50, 0);
  EXPECT_EQ(record.frames, 0);
  EXPECT_EQ(CanvasImage(), before) << "outside TV-Out mode nothing is drawn";
  EXPECT_EQ(gCarousel->ResultsWipedIn(), wipes);

  gTVOutMode = true;
  gAppReady = false;
  gCarousel->Broadcast(QStringLiteral("BUSY"), 50, 0);
  EXPECT_EQ(record.frames, 0) << "nor while the program is not ready";

  gAppReady = true;
  gCarousel->Broadcast(QStringLiteral("BUSY"), 50, 0);
  EXPECT_EQ(record.frames, 9) << "50 down to 2 in steps of 6";
  EXPECT_EQ(gCarousel->ResultsWipedIn(), wipes + 1);
  const QImage busy = CanvasImage();
  EXPECT_NE(busy, before);
  gCarousel->Broadcast(QStringLiteral("w"), 50, 0);
  EXPECT_EQ(CanvasImage(), busy) << "\"BUSY\" is the glyph \"w\"";

  record = {};
  gCarousel->Broadcast(QStringLiteral("Please Wait..."), 0, 100);
  EXPECT_EQ(record.frames, 10) << "0 up to 99 in steps of 11";
  record = {};
  gCarousel->Broadcast(QStringLiteral("O"), 1e12, -5);
  EXPECT_EQ(record.frames, 10) << "percentages out of range are kept to 0..100";
}

TEST_F(CarouselResultsTest, TheWipeInRunsOnlyInTVOutModeAndEndsOnTheNewPicture) {
  OpenResults(5);
  MakeCarousel();
  Move(3);
  gCarousel->NewResults();
  EXPECT_EQ(gBrowserIndex, 0);
  EXPECT_EQ(gCarousel->ResultsWipedIn(), 0);
  EXPECT_FALSE(gCarousel->MenuShown());

  UseRecordingPacer();
  const QImage before = CanvasImage();
  gCarousel->WipeInResults();
  EXPECT_EQ(gCarousel->ResultsWipedIn(), 1);
  EXPECT_EQ(record.frames, 0);
  EXPECT_EQ(CanvasImage(), before) << "outside TV-Out mode the wipe-in only notes that it ran";

  gTVOutMode = true;
  for (const char* glyph : {"D", "L"}) {
    gCarousel->BroadcastMsg = QLatin1String(glyph);
    PlainCanvas(RGB(200, 10, 10));  // the old picture
    gCarousel->Canvas().SetSourceColour(RGB(10, 10, 200));
    gCarousel->Canvas().Paint();  // the new one
    const QImage fresh = CanvasImage();
    record = {};
    gCarousel->WipeInResults();
    EXPECT_EQ(record.frames, 16) << glyph << ": Int(10 x 1.6) frames";
    EXPECT_EQ(CanvasImage(), fresh) << glyph << ": the last frame is the new picture";
  }

  // The first move of a new result set wipes it in, once.
  int16_t increments = 5;
  gCarousel->SetScrollIncrements(increments);
  gCarousel->NewResults();
  record = {};
  Move(2, false);
  EXPECT_EQ(record.frames, 8) << "Int(5 x 1.6) frames";
  EXPECT_EQ(gCarousel->ResultsWipedIn(), 1);
  record = {};
  Move(4, false);
  EXPECT_EQ(record.frames, 0);
}

TEST_F(CarouselResultsTest, TheStartUpSplashPausesThroughThePacerAndLeavesTheProgramNotReady) {
  OpenResults(0);
  MakeCarousel();
  UseRecordingPacer();
  struct Case {
    bool first, second;
    std::vector<std::pair<int, int>> waits;  // duration, how many in a row
    int frames;
  };
  const Case cases[] = {
      {true, false, {{5, 101}, {10, 51}, {200, 1}, {500, 1}}, 152},
      {false, true, {{30, 50}, {200, 1}, {5, 100}, {500, 1}}, 150},
      {false, false, {{500, 1}}, 0},
  };
  for (const Case& c : cases) {
    record = {};
    gAppReady = false;
    gCarousel->AppStartUp(c.first, c.second);
    std::vector<int> expected;
    for (const auto& [ms, count] : c.waits) expected.insert(expected.end(), count, ms);
    EXPECT_EQ(record.waits, expected) << c.first << c.second;
    EXPECT_EQ(record.frames, c.frames) << c.first << c.second;
    EXPECT_FALSE(gAppReady);
    ASSERT_FALSE(record.readyDuringWaits.empty());
    EXPECT_FALSE(record.readyDuringWaits.back()) << "the last pause follows the end of the splash";
    for (size_t k = 0; k + 1 < record.readyDuringWaits.size(); ++k) {
      EXPECT_TRUE(record.readyDuringWaits[k]) << "the program counts as ready while the splash runs";
    }
  }
}

TEST_F(CarouselResultsTest, TheViewStripIsMadeAndPaintedOnlyInTVOutMode) {
  OpenResults(3);
  MakeCarousel();
  Move(2);
  EXPECT_EQ(gCarousel->ViewStrip(), nullptr);
  gTVOutMode = true;
  Move(3);
  ASSERT_NE(gCarousel->ViewStrip(), nullptr);
  // The bands at the sides are tinted; the middle is left clear.
  gCarousel->ViewStrip()->Surface().Flush();
  const QImage strip = gCarousel->ViewStrip()->Surface().Image();
  EXPECT_GT(qAlpha(strip.pixel(5, 400)), 0);
  EXPECT_GT(qAlpha(strip.pixel(1275, 600)), 0);
  EXPECT_EQ(qAlpha(strip.pixel(640, 400)), 0);
}

}  // namespace
