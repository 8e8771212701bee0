// The carousel's on-canvas menus: the nine menus, the open menu and its
// wrapping index, the bar sliding in and out (frames counted, sounds heard),
// the captions' tokens, the colour patches, and the menu state that follows
// the library, the history and the highlighted tag.
#include "library/ViewSpec.h"
#include "platform/modSound.h"
#include "tests/carousel/CarouselFixture.h"

#include <functional>

namespace {

const QByteArray kScrape = QByteArrayLiteral("scrape");
const QByteArray kWhip = QByteArrayLiteral("whip");

// Counts the frames and the pauses of the menu's slides, never waiting.
class SlidePacer : public CarouselPacer {
 public:
  struct Log {
    int frames = 0;
    int waits = 0;
  };
  explicit SlidePacer(Log& log) : log_(log) {}
  void BeginFrame() override {}
  void EndFrame() override { ++log_.frames; }
  void Wait(std::chrono::milliseconds) override { ++log_.waits; }

 private:
  Log& log_;
};

class CarouselMenusTest : public rwtest::CarouselFixture {
 protected:
  void SetUp() override {
    rwtest::CarouselFixture::SetUp();
    saved_ = {gSoundScrape, gSoundWhip};
    gSoundScrape = kScrape;
    gSoundWhip = kWhip;
    modSound::ClearEffectsLog();
  }
  void TearDown() override {
    gSoundScrape = saved_.first;
    gSoundWhip = saved_.second;
    gTooltipAliases = false;
    gRandomPlayback = false;
    gDeleteToRecycleBin = false;
    rwtest::CarouselFixture::TearDown();
  }

  void MakeMenuCarousel() {
    MakeCarousel();
    gCarousel->SetPacer(std::make_unique<SlidePacer>(slides));
  }
  // The frames one call draws.
  int Frames(const std::function<void()>& call) {
    slides = {};
    call();
    return slides.frames;
  }
  // The sounds played since the last look.
  static QList<QByteArray> Effects() {
    QList<QByteArray> effects = modSound::EffectsLog();
    modSound::ClearEffectsLog();
    return effects;
  }
  static const CarouselMenuEntry& Entry(const char* menu, int32_t id) {
    static const CarouselMenuEntry none;
    for (const CarouselMenuEntry& entry : gCarousel->Menu(QString::fromLatin1(menu))) {
      if (entry.ID == id) return entry;
    }
    ADD_FAILURE() << menu << " has no entry " << id;
    return none;
  }
  // Tag rows from (TagID, caption) pairs, TagID 0 making a header row, and
  // the empty row that ends the list.
  static std::vector<TagListRow> TagRows(const std::vector<std::pair<int32_t, const char*>>& rows) {
    std::vector<TagListRow> list;
    for (const auto& [id, caption] : rows) {
      TagListRow row;
      row.TagID = id;
      row.Caption = QString::fromUtf8(caption);
      row.Separator = id == 0;
      list.push_back(row);
    }
    list.emplace_back();
    return list;
  }
  static QRgb CanvasPixel(int x, int y) {
    ImageSurface& canvas = gCarousel->Canvas().Surface();
    canvas.Flush();
    return canvas.Image().pixel(x, y);
  }

  // The pixels of entry i's glyph cell on the bar that are close to a colour.
  static int CellPixelsNear(const CairoSurface& bar, int i, COLORREF colour) {
    int count = 0;
    for (int y = 8; y < 58; ++y) {
      for (int x = 90 * i - 36; x < 90 * i + 10; ++x) count += Close(Pixel(bar, x, y), colour, 20) ? 1 : 0;
    }
    return count;
  }

  SlidePacer::Log slides;

 private:
  std::pair<QByteArray, QByteArray> saved_;
};

std::vector<int32_t> IdsOf(const CarouselMenu& menu) {
  std::vector<int32_t> ids;
  for (size_t i = 1; i < menu.size(); ++i) ids.push_back(menu[i].ID);
  return ids;
}

TEST_F(CarouselMenusTest, TheNineMenusHoldTheirEntriesInPositionOrder) {
  OpenResults(3);
  MakeMenuCarousel();
  const std::vector<std::pair<QString, std::vector<int32_t>>> menus = {
      {"Main", {1, 5, 6, 91, 41, 42, 28, 86}},
      {"CarouselMain", {7, 2, 3, 4, 72}},
      {"TagsMain", {16, 17, 18, 19, 20, 21, 22}},
      {"TitleMain", {85, 79, 84, 80, 81}},
      {"Options", {24, 27, 30, 64}},
      {"SegmentFilter", {51, 52, 53}},
      {"OfflineFilter", {61, 63, 62}},
      {"Colours", {31, 32, 33, 35, 36, 37, 38, 34, 40, 39}},
      {"Confirmation", {89, 82}}};
  for (const auto& [name, ids] : menus) EXPECT_EQ(IdsOf(gCarousel->Menu(name)), ids) << name.toStdString();
  EXPECT_EQ(gCarousel->Menu(QStringLiteral("Main"))[8].Caption, QStringLiteral("Quit Reelwise II"));
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("NULL"));
  EXPECT_EQ(IdsOf(gCarousel->ActiveMenu()), menus[0].second) << "nothing open is the main menu";
}

TEST_F(CarouselMenusTest, TheIndexWrapsAtBothEndsOfTheOpenMenu) {
  OpenResults(3);
  MakeMenuCarousel();
  struct Case {
    const char* menu;
    int32_t asked;
    int32_t got;
  };
  for (const Case& c : {Case{"Main", 0, 8}, Case{"Main", 9, 1}, Case{"Main", 5, 5}, Case{"Colours", -1, 10},
                        Case{"Colours", 11, 1}, Case{"Confirmation", 3, 1}}) {
    gCarousel->SetMenuMode(QString::fromLatin1(c.menu));
    int32_t index = c.asked;
    gCarousel->SetCurrentMenuIndex(index);
    EXPECT_EQ(gCarousel->CurrentMenuIndex(), c.got) << c.menu << " " << c.asked;
  }
}

TEST_F(CarouselMenusTest, AZoneNameKeepsTheEntriesAndResetsTheIndexAndThePage) {
  OpenResults(3);
  MakeMenuCarousel();
  gCarousel->SetMenuMode(QStringLiteral("Options"));
  int32_t third = 3;
  gCarousel->SetCurrentMenuIndex(third);
  gCarousel->DescriptionOverflow = true;
  gCarousel->ProcessMenuCommand(70);
  ASSERT_EQ(gCarousel->DescriptionPage(), 2);

  gCarousel->SetMenuMode(QStringLiteral("Description"));
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("Description"));
  EXPECT_EQ(IdsOf(gCarousel->ActiveMenu()), IdsOf(gCarousel->Menu(QStringLiteral("Options"))));
  EXPECT_EQ(gCarousel->CurrentMenuIndex(), 1);
  EXPECT_EQ(gCarousel->DescriptionPage(), 1);
}

TEST_F(CarouselMenusTest, TheDescriptionPageStepsOnWhileItOverflowsAndThenStartsAgain) {
  OpenResults(3);
  MakeMenuCarousel();
  gCarousel->DescriptionOverflow = true;
  gCarousel->ProcessMenuCommand(70);
  gCarousel->ProcessMenuCommand(70);
  EXPECT_EQ(gCarousel->DescriptionPage(), 3);
  gCarousel->DescriptionOverflow = false;  // the last page fits
  gCarousel->ProcessMenuCommand(70);
  EXPECT_EQ(gCarousel->DescriptionPage(), 1);
  gCarousel->ProcessMenuCommand(70);
  EXPECT_EQ(gCarousel->DescriptionPage(), 2) << "from the first page it always steps on";
}

TEST_F(CarouselMenusTest, TheBarSlidesInInSFramesStandsInOneAndSlidesOutInSixTenthsOfS) {
  OpenResults(5);
  MakeMenuCarousel();
  Move(2);
  struct Case {
    int16_t increments;
    int in, out;
  };
  for (const Case& c : {Case{10, 10, 6}, Case{3, 3, 2}, Case{1, 1, 1}}) {
    int16_t s = c.increments;
    gCarousel->SetScrollIncrements(s);
    gCarousel->SetMenuMode(QStringLiteral("Main"));
    EXPECT_EQ(Frames([] { gCarousel->DrawMenu(false, true); }), c.in) << "S " << c.increments;
    EXPECT_EQ(Effects(), (QList<QByteArray>{kScrape}));
    EXPECT_TRUE(gCarousel->MenuShown());
    EXPECT_EQ(Frames([] { gCarousel->DrawMenu(false, false); }), 1);
    EXPECT_EQ(Effects(), (QList<QByteArray>{kWhip}));
    EXPECT_EQ(Frames([] { gCarousel->DrawMenu(true, true); }), c.out);
    EXPECT_EQ(slides.waits, 1) << "a short pause before the last repaint";
    EXPECT_TRUE(Effects().isEmpty());
    EXPECT_FALSE(gCarousel->MenuShown());
  }
}

TEST_F(CarouselMenusTest, HidingTwiceSlidesOnceAndPlaysNothing) {
  OpenResults(5);
  MakeMenuCarousel();
  gCarousel->SetMenuMode(QStringLiteral("Main"));
  gCarousel->DrawMenu(false, false);
  Effects();
  EXPECT_EQ(Frames([] { gCarousel->DrawMenu(true, true); }), 6);
  EXPECT_EQ(Frames([] { gCarousel->DrawMenu(true, false); }), 0);
  EXPECT_EQ(slides.waits, 0);
  EXPECT_TRUE(Effects().isEmpty());
}

TEST_F(CarouselMenusTest, TheBarLiesAtTheTopAndTheRingStripAtTheBottomThenBothLeave) {
  OpenResults(5);
  MakeMenuCarousel();
  Move(3);
  gCarousel->RedrawAll(false, false);
  const QRgb frameTop = CanvasPixel(3, 3);
  const QRgb frameBottom = CanvasPixel(3, 700);
  gCarousel->SetMenuMode(QStringLiteral("Main"));
  gCarousel->DrawMenu(false, false);
  for (const QPoint p : {QPoint(3, 3), QPoint(600, 40), QPoint(1270, 80)}) {
    EXPECT_EQ(CanvasPixel(p.x(), p.y()), Pixel(*gCarousel->MenuBar(), p.x(), p.y())) << p.x() << "," << p.y();
  }
  // Where the ring's strip has a card, the canvas shows it.
  const CairoSurface& strip = *gCarousel->MenuStrip();
  int cards = 0;
  for (int y = 0; y < 85; y += 3) {
    for (int x = 0; x < 1280; x += 7) {
      if (qAlpha(Pixel(strip, x, y)) < 255) continue;
      ++cards;
      ASSERT_EQ(CanvasPixel(x, 720 - 85 + y), Pixel(strip, x, y)) << x << "," << y;
    }
  }
  EXPECT_GT(cards, 200);
  gCarousel->DrawMenu(true, true);
  EXPECT_EQ(CanvasPixel(3, 3), frameTop) << "the frame layer again";
  EXPECT_EQ(CanvasPixel(3, 700), frameBottom);
}

TEST_F(CarouselMenusTest, FileTokensTakeTheAliasOnlyWhenAliasesAreShown) {
  OpenResults(3, QStringLiteral("UPDATE VideoSegments SET FileAlias = 'Holiday' WHERE SegmentID = 2;"));
  MakeMenuCarousel();
  Move(2);
  gCarousel->SetMenuMode(QStringLiteral("TitleMain"));
  const CarouselMenuEntry play = gCarousel->ActiveMenu()[1];
  gTooltipAliases = true;
  EXPECT_EQ(gCarousel->MenuCaption(play), QStringLiteral("Play 'Holiday'"));
  gTooltipAliases = false;
  EXPECT_EQ(gCarousel->MenuCaption(play), QStringLiteral("Play 'Film.mkv'"));
  Move(3);
  gCarousel->SetMenuMode(QStringLiteral("TitleMain"));
  gTooltipAliases = true;
  EXPECT_EQ(gCarousel->MenuCaption(play), QStringLiteral("Play 'Film.mkv'")) << "no alias: the file name";
}

TEST_F(CarouselMenusTest, TheRemoveLinkCaptionNamesBothTagsOfTheHighlightedRow) {
  OpenResults(3);
  MakeMenuCarousel();
  Move(1);
  // Drama, then Noir reached through Drama's link: "Drama (Noir)".
  gCarousel->SetTagRows(TagRows({{0, ""}, {10, "Drama"}, {0, " ("}, {11, "Noir"}, {0, ")"}}), 3);
  gCarousel->SetMenuMode(QStringLiteral("TagsMain"));
  gCarousel->DrawMenu(false, false);
  EXPECT_EQ(gCarousel->MenuCaption(gCarousel->ActiveMenu()[6]),
            QStringLiteral("Remove the link from 'Noir' to 'Drama'"));
  EXPECT_EQ(gCarousel->MenuCaption(gCarousel->ActiveMenu()[1]), QStringLiteral("Open files tagged with 'Noir'"));
}

TEST_F(CarouselMenusTest, ColourEntriesShowTheirColourButThemeRandomAndInvertShowNone) {
  OpenResults(3);
  MakeMenuCarousel();  // the fixture has registered the glyph font
  gCarousel->SetMenuMode(QStringLiteral("Colours"));
  int32_t invert = 10;  // the glossy highlight away from the colours
  gCarousel->SetCurrentMenuIndex(invert);
  gCarousel->DrawMenu(false, false);
  const CairoSurface& bar = *gCarousel->MenuBar();
  const std::vector<COLORREF> named = {0xFF, 0xFF00, 0xFF0000, 0xFFFF, 0xFF00FF, 0xFFFF00};
  for (int i = 1; i <= 6; ++i) {
    EXPECT_GT(CellPixelsNear(bar, i, named[static_cast<size_t>(i - 1)]), 20) << "entry " << i;
  }
  for (int i : {8, 9, 10}) {
    for (COLORREF colour : named) EXPECT_EQ(CellPixelsNear(bar, i, colour), 0) << "entry " << i;
  }
}

TEST_F(CarouselMenusTest, TheOpenAndSearchEntriesNeedALibraryWhateverTheResults) {
  OpenResults(3);
  MakeMenuCarousel();
  Move(1);
  EXPECT_TRUE(Entry("Main", 1).Enabled);
  EXPECT_TRUE(Entry("Main", 91).Enabled);
  EXPECT_TRUE(Entry("CarouselMain", 2).Enabled);
  gLibrary->LibraryName.clear();
  Move(2);
  EXPECT_FALSE(Entry("Main", 1).Enabled);
  EXPECT_FALSE(Entry("Main", 91).Enabled);
  EXPECT_FALSE(Entry("CarouselMain", 2).Enabled);
  EXPECT_TRUE(Entry("Main", 41).Enabled) << "the results can still be played";
}

TEST_F(CarouselMenusTest, TheHistoryEntriesFollowTheHistoryStep) {
  OpenResults(3);
  MakeMenuCarousel();
  Move(1);
  ASSERT_EQ(gLibrary->HistoryIndex(), 1);
  EXPECT_FALSE(Entry("Main", 5).Enabled) << "on the first step there is no previous set";
  EXPECT_FALSE(Entry("Main", 6).Enabled) << "nor a next one";
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID13"), false, QString());
  int16_t first = 1;
  gLibrary->SetHistoryIndex(first);
  Move(2);
  EXPECT_FALSE(Entry("Main", 5).Enabled);
  EXPECT_TRUE(Entry("Main", 6).Enabled);
}

TEST_F(CarouselMenusTest, WithoutAHistoryBothHistoryEntriesAreOff) {
  OpenWith();
  MakeMenuCarousel();
  ASSERT_EQ(gLibrary->HistoryIndex(), 0);
  gCarousel->SetCarouselIndex(1, false, false);
  EXPECT_FALSE(Entry("Main", 5).Enabled);
  EXPECT_FALSE(Entry("Main", 6).Enabled);
  EXPECT_FALSE(Entry("Main", 41).Enabled) << "nothing to play";
  EXPECT_FALSE(Entry("CarouselMain", 3).Enabled);
  EXPECT_FALSE(Entry("CarouselMain", 4).Enabled);
}

TEST_F(CarouselMenusTest, AOneStepViewCannotBeUndoneOrSavedAndATwoStepViewCan) {
  OpenResults(3);
  MakeMenuCarousel();
  gViewSpec = QStringLiteral("|_T:13");
  Move(1);
  EXPECT_FALSE(Entry("CarouselMain", 7).Enabled);
  EXPECT_FALSE(Entry("CarouselMain", 72).Enabled);
  EXPECT_FALSE(Entry("TitleMain", 85).Enabled) << "play waits until the details have found the file";
  gViewSpec = QStringLiteral("|_T:13|+T:14");
  Move(2);
  EXPECT_TRUE(Entry("CarouselMain", 7).Enabled);
  EXPECT_TRUE(Entry("CarouselMain", 72).Enabled);
}

TEST_F(CarouselMenusTest, StateEntriesShowMusicShuffleKindFilterAndDeletion) {
  OpenResults(3);
  MakeMenuCarousel();
  gRandomPlayback = true;
  gResultKind = ResultScope::SegmentsOfFiles;
  gOnlineFilter = StorageFilter::Offline;
  gDeleteToRecycleBin = true;
  Move(1);
  EXPECT_EQ(Entry("Main", 42).Glyph, QStringLiteral("S"));
  EXPECT_EQ(Entry("Main", 41).Caption, QStringLiteral("Play All Files, in any order"));
  EXPECT_EQ(Entry("Options", 24).Caption,
            QStringLiteral("Showing Segments within Matching Files [Enter/OK to change]"));
  EXPECT_EQ(Entry("Options", 27).Glyph, QStringLiteral("V"));
  EXPECT_EQ(Entry("TitleMain", 80).Caption, QStringLiteral("Send '<FILE-TOKEN>' to Recycle Bin"));
  gRandomPlayback = false;
  gResultKind = ResultScope::Segment;
  gOnlineFilter = StorageFilter::Online;
  gDeleteToRecycleBin = false;
  Move(2);
  EXPECT_EQ(Entry("Main", 42).Caption, QStringLiteral("Shuffle is OFF [Enter/OK to change]"));
  EXPECT_EQ(Entry("Main", 41).Caption, QStringLiteral("Play All Files, in their current order"));
  EXPECT_EQ(Entry("Options", 24).Glyph, QStringLiteral("i"));
  EXPECT_EQ(Entry("Options", 27).Glyph, QStringLiteral("W"));
  EXPECT_EQ(Entry("TitleMain", 80).Glyph, QStringLiteral("k"));
  const bool music = gCarousel->Menu(QStringLiteral("Options"))[4].Glyph == QLatin1String("m");
  EXPECT_EQ(Entry("Options", 64).Caption,
            music ? QStringLiteral("Music ON [Enter/OK to turn OFF]")
                  : QStringLiteral("Music OFF [Enter/OK to turn ON]"));
}

TEST_F(CarouselMenusTest, ALinkedTagCanLoseItsLinkAndATagOfASegmentCannotBeRemoved) {
  OpenResults(3);
  MakeMenuCarousel();
  Move(1);
  // A (Tier 1) with B and C through a link, then D; E comes from a segment.
  std::vector<TagListRow> rows = TagRows({{0, ""}, {10, "A"}, {0, " ("}, {11, "B"}, {0, ", "}, {12, "C"},
                                          {0, "); "}, {13, "D"}, {0, " ["}, {14, "E"}, {0, "]"}});
  rows[9].ViaSegment = true;
  struct Case {
    int32_t row;
    bool removeTag, removeLink;
    const char* linked;
  };
  for (const Case& c : {Case{1, true, false, ""}, Case{3, false, true, "A"}, Case{5, false, true, "A"},
                        Case{7, true, false, ""}, Case{9, false, false, ""}}) {
    gCarousel->SetTagRows(rows, c.row);
    gCarousel->SetMenuMode(QStringLiteral("TagsMain"));
    gCarousel->DrawMenu(false, false);
    EXPECT_EQ(gCarousel->ActiveMenu()[5].Enabled, c.removeTag) << "row " << c.row;
    EXPECT_EQ(gCarousel->ActiveMenu()[6].Enabled, c.removeLink) << "row " << c.row;
    EXPECT_EQ(gCarousel->TagRows()[static_cast<size_t>(c.row)].LinkedCaption, QString::fromLatin1(c.linked));
    if (c.removeLink) {
      EXPECT_EQ(gCarousel->TagRows()[static_cast<size_t>(c.row)].LinkedTagID, 10);
    }
  }
}

}  // namespace
