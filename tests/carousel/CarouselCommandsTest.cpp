// The carousel's menu commands: each command's end state (menu, index,
// announcement glyph, the key the main window's dispatcher received, the
// keypad mode), the refusals that beep, the confirmations and their Cancel,
// the tag commands on the library, the tints and the music switch.
#include "carousel/ClsT9Interface.h"
#include "library/ViewSpec.h"
#include "platform/DragController.h"
#include "platform/modSound.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/VbInput.h"
#include "tests/carousel/CarouselFixture.h"
#include "tests/support/FaultTrigger.h"
#include "tests/support/PaintCounter.h"

#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <set>

namespace {

const QByteArray kBeep = QByteArrayLiteral("beep");

// The main window's services as a record of what the carousel asked for.
class RecordingHost : public ICarouselHost {
 public:
  void MainToolbarHandler(const QString& sCommand) override { keys << sCommand; }
  void BrowserDblClick(int32_t index) override { played = index; }
  void BrowserDragDrop(int32_t, int32_t, const QString& source, const QString& mode) override {
    drops << source + QStringLiteral(":") + mode;
  }
  void SetFocusToBrowser() override { ++focus; }
  void PostQuit() override { ++quits; }
  void SelectHistoryComboItem(int index) override { historyItem = index; }

  QStringList keys;
  QStringList drops;
  int32_t played = -1;
  int focus = 0;
  int quits = 0;
  int historyItem = 0;
};

// Counts the canvas control's repaints.
class CarouselCommandsTest : public rwtest::CarouselFixture {
 protected:
  void SetUp() override {
    rwtest::CarouselFixture::SetUp();
    savedBeep_ = gSoundBeep;
    gSoundBeep = kBeep;
    modSound::ClearEffectsLog();
  }
  void TearDown() override {
    gSoundBeep = savedBeep_;
    rwtest::CarouselFixture::TearDown();
  }

  // Files 1..n with tags 10 (Drama), 11 (Noir) and 12 (Comedy); file 1
  // carries Drama and Noir. The carousel on result 1.
  void OpenTaggedResults(int n, const QString& sql = QString()) {
    OpenResults(n, QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Drama', 'T'), "
                                  "(11, 'Noir', 'T'), (12, 'Comedy', 'T');"
                                  "INSERT INTO SegmentTags VALUES (1, 10), (1, 11);") +
                       sql);
    gLibrary->PopulateTree();
    MakeCarousel();
    gCarousel = std::make_unique<cCarousel>(pane_.get(), &host);
    gCarousel->SetPacer(std::make_unique<rwtest::CountingPacer>(log));
    gCarousel->NewResults();
    Move(1);
  }
  // The tag list "Drama (Noir)" with row `row` highlighted.
  static void HighlightTag(int32_t row) {
    std::vector<TagListRow> rows(6);
    const std::vector<std::pair<int32_t, const char*>> texts = {
        {0, ""}, {10, "Drama"}, {0, " ("}, {11, "Noir"}, {0, ")"}};
    for (size_t i = 0; i < texts.size(); ++i) {
      rows[i].TagID = texts[i].first;
      rows[i].Caption = QString::fromLatin1(texts[i].second);
      rows[i].Separator = texts[i].first == 0;
    }
    gCarousel->SetTagRows(rows, row);
  }
  static void Open(const QString& menu, int32_t index) {
    gCarousel->SetMenuMode(menu);
    gCarousel->SetCurrentMenuIndex(index);
  }
  static bool Beeped() {
    const bool beeped = modSound::EffectsLog().contains(kBeep);
    modSound::ClearEffectsLog();
    return beeped;
  }
  static int SegmentTags(int segment) {
    return Count(QStringLiteral("SELECT count(*) FROM SegmentTags WHERE SegmentID = %1").arg(segment));
  }

  RecordingHost host;

 private:
  QByteArray savedBeep_;
};

TEST_F(CarouselCommandsTest, EachCommandEndsInItsMenuStateAnnouncementAndDispatcherKey) {
  struct Case {
    int32_t id;
    const char* mode;   // MenuMode afterwards
    int32_t index;      // CurrentMenuIndex afterwards
    const char* glyph;  // BroadcastMsg afterwards
    const char* key;    // the dispatcher's key, if any
    int16_t keypad;     // the keypad's mode, 99 when not opened
    bool focus;         // the focus goes back to the canvas
  };
  const std::vector<Case> cases = {
      {1, "Options", 2, "D", "", 1, true},
      {2, "Options", 2, "I", "", 4, true},
      {3, "Options", 2, "C", "", 3, true},
      {4, "Options", 2, "B", "", 2, true},
      {5, "Options", 2, "", "mnuBrowserBack", 99, true},
      {6, "Options", 2, "", "mnuBrowserForward", 99, true},
      {91, "Options", 2, "s", "", -2, true},
      {24, "SegmentFilter", 1, "", "", 99, true},
      {27, "OfflineFilter", 1, "", "", 99, true},
      {28, "Options", 1, "", "", 99, true},
      {30, "Colours", 1, "", "", 99, true},
      {41, "Options", 2, "", "mnuToolsRunPlaylist", 99, true},
      {42, "Options", 2, "", "mnuToolsRandomPlayback", 99, true},
      {52, "NULL", 1, "h", "mnuBrowserSegmentsFromFiles", 99, true},
      {53, "NULL", 1, "i", "mnuBrowserMatchingSegments", 99, true},
      {62, "NULL", 1, "V", "mnuBrowserStorageOffline", 99, true},
      {63, "NULL", 1, "W", "mnuBrowserStorageOnline", 99, true},
      {72, "NULL", 1, "", "", -1, true},
      {79, "Options", 2, "", "mnuToolsCreatePoster", 99, true},
      {80, "Confirmation", 1, "", "", 99, true},
      {81, "Confirmation", 1, "", "", 99, true},
      {84, "TitleMain", 3, "", "", 0, true},
      {86, "Confirmation", 1, "", "", 99, true},
      {50, "Options", 2, "", "", 99, true},
      {100, "Options", 2, "", "", 99, true},
  };
  OpenTaggedResults(3);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Open(QStringLiteral("Options"), 2);  // every entry of the options menu can be chosen
    gCarousel->BroadcastMsg.clear();
    host = RecordingHost{};
    gCarousel->Keypad().Show(99);
    // The display and storage entries show the other modes, so that each change is taken.
    gResultKind = ResultScope::File;
    gOnlineFilter = StorageFilter::All;
    gCarousel->SetCarouselIndex(2, false, false);
    gCarousel->SetCarouselIndex(1, false, false);
    Open(QStringLiteral("Options"), 2);
    gCarousel->ProcessMenuCommand(c.id);
    EXPECT_EQ(gCarousel->MenuMode(), QString::fromLatin1(c.mode));
    EXPECT_EQ(gCarousel->CurrentMenuIndex(), c.index);
    EXPECT_EQ(gCarousel->BroadcastMsg, QString::fromLatin1(c.glyph));
    EXPECT_EQ(host.keys, *c.key ? QStringList{QString::fromLatin1(c.key)} : QStringList{});
    EXPECT_EQ(gCarousel->Keypad().Mode(), c.keypad);
    EXPECT_EQ(host.focus, c.focus ? 1 : 0);
    EXPECT_FALSE(Beeped());
  }
}

TEST_F(CarouselCommandsTest, EnterRunsTheHighlightedEntryAndTheSubMenusStayOnTheCanvas) {
  OpenTaggedResults(3);
  Open(QStringLiteral("Options"), 3);
  gCarousel->ProcessMenuCommand(0);
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("Colours"));
  EXPECT_TRUE(gCarousel->MenuShown());
  int32_t blue = 3;
  gCarousel->SetCurrentMenuIndex(blue);
  gCarousel->ProcessMenuCommand(0);
  EXPECT_EQ(gCarousel->ColourScheme(), 3);
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("Colours")) << "the tints keep their menu";
  EXPECT_TRUE(gCarousel->MenuShown());
  gCarousel->ProcessMenuCommand(34);
  EXPECT_EQ(gCarousel->ColourScheme(), 0) << "Theme";
}

TEST_F(CarouselCommandsTest, ADisabledEntryBeepsAndDoesNothingAlsoWithAnExplicitId) {
  OpenTaggedResults(3);
  ASSERT_FALSE(gCarousel->Menu(QStringLiteral("Main"))[2].Enabled) << "no earlier set of files";
  Open(QStringLiteral("Main"), 2);
  gCarousel->ProcessMenuCommand(0);
  EXPECT_TRUE(Beeped());
  EXPECT_TRUE(host.keys.isEmpty());
  EXPECT_EQ(host.focus, 0) << "the focus stays";
  gCarousel->ProcessMenuCommand(28);
  EXPECT_TRUE(Beeped());
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("Main"));
  EXPECT_EQ(gCarousel->CurrentMenuIndex(), 2);
}

TEST_F(CarouselCommandsTest, AModeAlreadyShownBeepsAndAnotherHidesTheMenuAndRunsTheView) {
  OpenTaggedResults(3);
  Open(QStringLiteral("SegmentFilter"), 1);
  gCarousel->DrawMenu(false, false);
  gCarousel->ProcessMenuCommand(0);
  EXPECT_TRUE(Beeped()) << "matching files are shown already";
  EXPECT_TRUE(host.keys.isEmpty());
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("SegmentFilter"));
  gCarousel->ProcessMenuCommand(53);
  EXPECT_FALSE(gCarousel->MenuShown());
  EXPECT_EQ(gCarousel->Menu(QStringLiteral("Options"))[1].Glyph, QStringLiteral("i"));
  EXPECT_EQ(host.keys, QStringList{QStringLiteral("mnuBrowserMatchingSegments")});
  gCarousel->ProcessMenuCommand(53);
  EXPECT_TRUE(Beeped()) << "the entry shows the new mode until the view says otherwise";
}

TEST_F(CarouselCommandsTest, CancelReturnsToTheEntryThatAskedAndConfirmRunsTheFollowUp) {
  OpenTaggedResults(3);
  struct Case {
    int32_t ask;
    const char* caption;
    int32_t followUp;
    const char* menu;
    int32_t index;
  };
  for (const Case& c : {Case{80, "Confirm Delete", 82, "TitleMain", 4}, Case{81, "Confirm Removal", 83, "TitleMain", 5},
                        Case{86, "Confirm Shutdown", 99, "Main", 8}}) {
    gCarousel->ProcessMenuCommand(c.ask);
    const CarouselMenu& confirmation = gCarousel->ActiveMenu();
    EXPECT_EQ(confirmation[2].Caption, QString::fromLatin1(c.caption));
    EXPECT_EQ(confirmation[2].ID, c.followUp);
    EXPECT_EQ(gCarousel->CurrentMenuIndex(), 1) << "Cancel first";
    gCarousel->ProcessMenuCommand(0);
    EXPECT_EQ(gCarousel->MenuMode(), QString::fromLatin1(c.menu));
    EXPECT_EQ(gCarousel->CurrentMenuIndex(), c.index);
    EXPECT_TRUE(gCarousel->MenuShown());
  }
  EXPECT_EQ(host.quits, 0);
  gCarousel->ProcessMenuCommand(86);
  int32_t confirm = 2;
  gCarousel->SetCurrentMenuIndex(confirm);
  const int focus = host.focus;
  gCarousel->ProcessMenuCommand(0);
  EXPECT_EQ(host.quits, 1) << "the window closes after the key's event";
  EXPECT_EQ(host.focus, focus);
}

TEST_F(CarouselCommandsTest, AConfirmedRemovalTakesTheFrontFileOnlyOnce) {
  OpenTaggedResults(3);
  Move(2);
  gCarousel->ProcessMenuCommand(81);
  int32_t confirm = 2;
  gCarousel->SetCurrentMenuIndex(confirm);
  gCarousel->ProcessMenuCommand(0);
  EXPECT_EQ(gCarousel->BroadcastMsg, QStringLiteral("w"));
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles WHERE FileID = 2")), 0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("NULL")) << "a second Enter asks again";
  gCurrentItem.FileID = 0;
  Open(QStringLiteral("Confirmation"), 1);
  gCarousel->ProcessMenuCommand(83);
  EXPECT_TRUE(Beeped()) << "no front file: the selection is never taken instead";
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
}

// On a library whose disk is full, a tag, a link and a file removed from
// the carousel are each told once, under "Disk Full" naming the library's
// file, and the library keeps them all.
TEST_F(CarouselCommandsTest, CommandsTheLibrarysFullDiskRefusesAreToldOnceAndChangeNothing) {
  OpenTaggedResults(3);
  Exec(QStringLiteral("INSERT INTO TagLinks VALUES (11, 10, 'L')"));
  for (const char* table : {"SegmentTags", "TagLinks", "VideoFiles"}) {
    rwtest::AddFaultTrigger(gLibrary->Connection(), QStringLiteral("CREATE TEMP TRIGGER Full%1 BEFORE DELETE ON %1 "
                                                                   "BEGIN SELECT rw_fault(13)"
                                                                   "; END")
                                                        .arg(QLatin1String(table)));
  }
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  const auto stored = [] {
    return QStringList{QString::number(Count(QStringLiteral("SELECT count(*) FROM SegmentTags"))),
                       QString::number(Count(QStringLiteral("SELECT count(*) FROM TagLinks"))),
                       QString::number(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")))};
  };
  const QStringList before = stored();
  const struct {
    const char* name;
    std::function<void()> choose;
  } commands[] = {
      {"remove tag", [] { HighlightTag(1); Open(QStringLiteral("TagsMain"), 5); }},
      {"remove link", [] { HighlightTag(3); Open(QStringLiteral("TagsMain"), 6); }},
      {"remove file", [this] {
         Move(2);
         gCarousel->ProcessMenuCommand(81);
         int32_t confirm = 2;
         gCarousel->SetCurrentMenuIndex(confirm);
       }},
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(command.name);
    command.choose();
    gCarousel->DrawMenu(false, false);
    boxes.Clear();
    // As the canvas's Enter runs it.
    ErrorGuard().Run([] { gCarousel->ProcessMenuCommand(0); });
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Disk Full"));
    EXPECT_TRUE(boxes.Last().prompt.contains(gLibrary->LibraryPath)) << boxes.Last().prompt.toStdString();
    EXPECT_EQ(stored(), before);
  }
}

TEST_F(CarouselCommandsTest, TagSearchesDropTheTagsNodeAndAMissingNodeBeeps) {
  OpenTaggedResults(3);
  struct Case {
    int32_t id;
    const char* glyph;
    const char* drop;
  };
  for (const Case& c : {Case{16, "D", "tvwLibrary:"}, Case{17, "I", "tvwLibrary:&"}, Case{18, "C", "tvwLibrary:-"},
                        Case{19, "B", "tvwLibrary:+"}}) {
    host = RecordingHost{};
    HighlightTag(3);
    Open(QStringLiteral("TagsMain"), 1);
    gCarousel->ProcessMenuCommand(c.id);
    EXPECT_EQ(host.drops, QStringList{QString::fromLatin1(c.drop)}) << c.id;
    EXPECT_EQ(gCarousel->BroadcastMsg, QString::fromLatin1(c.glyph));
    EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("NULL"));
    ASSERT_TRUE(View().tree.SelectedItem());
    EXPECT_EQ(View().tree.SelectedItem()->Key(), QStringLiteral("ID11"));
  }
  host = RecordingHost{};
  gLibrary->View().LibraryTree()->Nodes.Remove(QStringLiteral("ID11"));
  Open(QStringLiteral("TagsMain"), 1);
  gCarousel->ProcessMenuCommand(17);
  EXPECT_TRUE(Beeped());
  EXPECT_TRUE(host.drops.isEmpty()) << "no search runs";
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("TagsMain"));
}

TEST_F(CarouselCommandsTest, RemovingTheTagRebuildsTheListWithoutARepaintBeforeTheSlide) {
  OpenTaggedResults(3);
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  rwtest::PaintCounter counter(pane_->ucCarouselCanvas);
  HighlightTag(1);
  Open(QStringLiteral("TagsMain"), 5);
  gCarousel->DrawMenu(false, false);
  ASSERT_TRUE(gCarousel->ActiveMenu()[5].Enabled);
  counter.paints = 0;
  log = {};
  gCarousel->ProcessMenuCommand(0);
  EXPECT_EQ(SegmentTags(1), 1) << "only Drama's row of the front segment goes";
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentTags WHERE TagID = 11")), 1);
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("NULL"));
  EXPECT_FALSE(gCarousel->MenuShown());
  EXPECT_EQ(log.frames, 6);
  EXPECT_EQ(counter.paints, log.frames + 1) << "the slide's frames and its last repaint, nothing before";
  for (const TagListRow& row : gCarousel->TagRows()) EXPECT_NE(row.TagID, 10) << "the list is built again";
}

TEST_F(CarouselCommandsTest, RemovingALinkTakesTheHighlightedRowsLinkedTag) {
  OpenTaggedResults(3, QStringLiteral("INSERT INTO TagLinks VALUES (11, 10, 'L');"));
  HighlightTag(3);
  Open(QStringLiteral("TagsMain"), 6);
  gCarousel->DrawMenu(false, false);
  ASSERT_TRUE(gCarousel->ActiveMenu()[6].Enabled);
  gCarousel->ProcessMenuCommand(0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM TagLinks WHERE TagID = 11")), 0);
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("NULL"));
  EXPECT_FALSE(gCarousel->MenuShown());
  HighlightTag(1);  // Drama hangs under nothing
  Open(QStringLiteral("TagsMain"), 1);
  gCarousel->ProcessMenuCommand(21);
  EXPECT_TRUE(Beeped());
}

TEST_F(CarouselCommandsTest, ACancelledLinkLeavesTheMenuAsItWas) {
  OpenTaggedResults(3);
  HighlightTag(1);
  Open(QStringLiteral("TagsMain"), 7);
  gCarousel->DrawMenu(false, false);
  gCarousel->ProcessMenuCommand(0);
  EXPECT_EQ(gCarousel->Keypad().Mode(), 6);
  EXPECT_EQ(gCarousel->Keypad().EnteredText(), QStringLiteral("*CANCELLED*"));
  EXPECT_EQ(gCarousel->MenuMode(), QStringLiteral("TagsMain"));
  EXPECT_TRUE(gCarousel->MenuShown());
}

TEST_F(CarouselCommandsTest, UndoSelectsTheItemBeforeTheLastOrDoesNothingSilently) {
  OpenTaggedResults(3);
  View().combo.ComboItems.Clear();
  gCarousel->ProcessMenuCommand(7);
  EXPECT_EQ(gCarousel->BroadcastMsg, QStringLiteral("R"));
  EXPECT_EQ(host.historyItem, 0);
  EXPECT_FALSE(Beeped());
  EXPECT_EQ(host.focus, 0);
  for (const char* text : {"All", "Drama", "Drama, -Noir"}) {
    View().AddHistoryComboItem(QString::fromLatin1(text), QString());
  }
  gCarousel->ProcessMenuCommand(7);
  EXPECT_EQ(host.historyItem, 2);
  EXPECT_EQ(host.focus, 1);
}

TEST_F(CarouselCommandsTest, PlayBroadcastsAndOpensTheFrontResult) {
  OpenTaggedResults(3);
  QTemporaryDir folder;
  ASSERT_TRUE(QFile(folder.filePath(gResults[3].FileName)).open(QIODevice::WriteOnly));
  gResults[3].CurrentPath = folder.path() + QLatin1Char('/');
  gResults[3].DisplayState = 5;  // on a disk that is connected
  Move(3);
  pane_->CarouselTimer_Timer();  // the details find the file
  gCarousel->ProcessMenuCommand(85);
  EXPECT_EQ(host.played, 3);
  EXPECT_FALSE(Beeped());
}

TEST_F(CarouselCommandsTest, AFrontFileOfflineOrMissingCannotBePlayedBoardedOrDeletedAndEnterSaysWhy) {
  uint64_t now = 0;
  const ctl::TickCountFunction clock = ctl::SetTickCountFunction([&now] { return now += 1000; });  // no key is gated
  OpenTaggedResults(3);
  gBrowserMode = 3;
  QTemporaryDir folder;
  ASSERT_TRUE(QFile(folder.filePath(gResults[1].FileName)).open(QIODevice::WriteOnly));
  gResults[1].CurrentPath = folder.path() + QLatin1Char('/');  // there
  gResults[1].DisplayState = 5;
  gResults[2].DisplayState = 9;  // on a disk not connected
  gResults[3].DisplayState = 5;  // on a connected disk, in a folder that is not there: missing
  auto enabled = [](int32_t id) {
    for (const CarouselMenuEntry& entry : gCarousel->Menu(QStringLiteral("TitleMain"))) {
      if (entry.ID == id) return entry.Enabled;
    }
    ADD_FAILURE() << "no entry " << id;
    return false;
  };
  struct Case {
    int32_t index;
    bool playable;
    bool offline;
  };
  for (const Case& c : {Case{1, true, false}, Case{2, false, true}, Case{3, false, false}, Case{1, true, false}}) {
    SCOPED_TRACE(c.index);
    Move(c.index, false);
    EXPECT_FALSE(enabled(85)) << "play waits until the details have looked for the file";
    pane_->CarouselTimer_Timer();
    for (int32_t id : {85, 79, 80}) EXPECT_EQ(enabled(id), c.playable) << "entry " << id;
    EXPECT_TRUE(enabled(84)) << "a playlist can still take the file";
    host = RecordingHost{};
    modSound::ClearEffectsLog();
    boxes.Clear();
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
    int enter = ctl::vbKeyReturn;
    gCarousel->KeyPress(enter);
    EXPECT_EQ(host.played, c.playable ? c.index : -1);
    // Offline: the message a double-click gives; missing: a beep.
    EXPECT_EQ(Beeped(), !c.playable && !c.offline);
    ASSERT_EQ(boxes.Count(), c.offline ? 1 : 0);
    if (c.offline) {
      EXPECT_TRUE(boxes.Last().title.startsWith(QStringLiteral("Offline Volume"))) << boxes.Last().title.toStdString();
      EXPECT_TRUE(boxes.Last().prompt.contains(gResults[2].FileName));
    }
  }
  ctl::SetTickCountFunction(clock);
}

TEST_F(CarouselCommandsTest, RandomTwoColoursAreTwoOfTheEightAndNeverTheSame) {
  OpenTaggedResults(3);
  const std::set<int> table = {0xFF, 0xFFFF, 0xFF00, 0xFF0000, 0xFF00FF, 0xFFFF00, 0, 0xFFFFFF};
  auto setting = [](const char* name) {
    return modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QString::fromLatin1(name)).ToLong(-1);
  };
  gTVOutMode = true;  // where the tint and its inversion are stored
  std::set<int> seen;
  int inverts = 0;
  for (uint64_t seed = 1; seed <= 120; ++seed) {
    gCarousel->SeedMenuRandom(seed);
    const int invert = setting("Invert Colours");
    gCarousel->ProcessMenuCommand(40);
    const int first = setting("TV-Out Colour1");
    const int second = setting("TV-Out Colour2");
    EXPECT_NE(first, second) << seed;
    EXPECT_TRUE(table.count(first) && table.count(second)) << seed;
    seen.insert(first);
    inverts += setting("Invert Colours") != invert ? 1 : 0;
  }
  EXPECT_EQ(seen, table) << "each of the eight comes up";
  EXPECT_GT(inverts, 30);
  EXPECT_LT(inverts, 90);
  EXPECT_EQ(gCarousel->ColourScheme(), 8);
}

TEST_F(CarouselCommandsTest, TheMusicSwitchFlipsItsEntryAndItsSetting) {
  OpenTaggedResults(3);
  Open(QStringLiteral("Options"), 4);
  const bool before = gCarousel->ActiveMenu()[4].Glyph == QLatin1String("m");
  gCarousel->ProcessMenuCommand(0);
  EXPECT_EQ(gCarousel->ActiveMenu()[4].Glyph, before ? QStringLiteral("n") : QStringLiteral("m"));
  EXPECT_EQ(gCarousel->CurrentMenuIndex(), 4) << "the menu is renewed in place";
  EXPECT_EQ(modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TV-Out Music")).ToLong(-1),
            before ? 0 : 1);
}

}  // namespace
