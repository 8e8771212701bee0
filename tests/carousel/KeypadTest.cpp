// The carousel's keypad panel: finding tags by their keypad digits, the
// multi-tap text entry, what Enter does in each mode, the modal wait and its
// ends (keys, the window's close, the application's quit, the carousel going
// away), and the picture over the dimmed canvas. Every wait of the panel goes
// through a pacer that runs the test's steps instead of sleeping, and the
// panel's timer ticks only when a step ticks it.
#include "carousel/ClsT9Interface.h"
#include "platform/DragController.h"
#include "platform/InputGate.h"
#include "platform/controls/VbInput.h"
#include "platform/modSound.h"
#include "tests/carousel/CarouselFixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <functional>

namespace {

using ctl::vbKeyDown;
using ctl::vbKeyEscape;
using ctl::vbKeyLeft;
using ctl::vbKeyNumpad0;
using ctl::vbKeyReturn;
using ctl::vbKeyRight;
using ctl::vbKeyUp;

const QByteArray kBeep = QByteArrayLiteral("beep");
const QByteArray kClick = QByteArrayLiteral("click");
const QString kCancelled = QStringLiteral("*CANCELLED*");

uint64_t gNow = 1'000'000;  // the test's clock, in ms

// Numpad key of a digit.
constexpr int Pad(int digit) { return vbKeyNumpad0 + digit; }

ClsT9Interface& Keypad() { return gCarousel->Keypad(); }

// The match line as "before|match|after".
QString Line() { return Keypad().Before() + QLatin1Char('|') + Keypad().Match() + QLatin1Char('|') + Keypad().After(); }

// Runs the test's steps at the panel's 30 ms polls, one per poll, and moves
// the clock by every wait instead of sleeping. With no step left it presses
// Esc, so that a test never hangs in the panel.
class ScriptPacer : public CarouselPacer {
 public:
  void BeginFrame() override {}
  void EndFrame() override { ++frames; }
  void Wait(std::chrono::milliseconds duration) override {
    gNow += static_cast<uint64_t>(duration.count());
    waits.push_back(static_cast<int>(duration.count()));
    if (duration.count() != 30) {
      if (onOtherWait) onOtherWait(static_cast<int>(duration.count()));
      return;
    }
    if (steps.empty()) {
      ++ranDry;
      int esc = vbKeyEscape;
      Keypad().KeyPressHandler(esc);
      return;
    }
    const std::function<void()> step = std::move(steps.front());
    steps.pop_front();
    step();
  }

  std::deque<std::function<void()>> steps;
  std::function<void(int)> onOtherWait;
  std::vector<int> waits;
  int frames = 0;
  int ranDry = 0;
};

// The main window's services as a record of what the panel asked for.
class RecordingHost : public ICarouselHost {
 public:
  void BrowserDragDrop(int32_t, int32_t, const QString& source, const QString& mode) override {
    drops << source + QStringLiteral(":") + mode;
  }
  void SetFocusToBrowser() override { ++focus; }
  void MainToolbarHandler(const QString& command) override { commands << command; }
  QStringList drops;
  QStringList commands;
  int focus = 0;
};

// Swallows the application's quit, so that a test can send one without
// ending the test program's event loops.
class QuitSwallower : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Quit; }
};

struct TagSpec {
  int id;
  const char* name;
  const char* type;
};

class KeypadTest : public rwtest::CarouselFixture {
 protected:
  void SetUp() override {
    rwtest::CarouselFixture::SetUp();
    savedBeep_ = gSoundBeep;
    savedClick_ = gSoundClick;
    gSoundBeep = kBeep;
    gSoundClick = kClick;
    modSound::ClearEffectsLog();
    savedClock_ = ctl::SetTickCountFunction([] { return gNow; });
  }
  void TearDown() override {
    gCarousel.reset();
    ctl::SetTickCountFunction(savedClock_);
    gSoundBeep = savedBeep_;
    gSoundClick = savedClick_;
    rwtest::CarouselFixture::TearDown();
  }

  // Files 1..3 and the tags with their keypad digits; the carousel on result
  // 1, its window on screen.
  void OpenTags(const std::vector<TagSpec>& tags, const QString& sql = QString()) {
    QString rows;
    for (const TagSpec& tag : tags) {
      const QString name = QString::fromUtf8(tag.name);
      rows += QStringLiteral("INSERT INTO Tags (TagID, Tag, Type, T9Text) VALUES (%1, '%2', '%3', '%4');")
                  .arg(tag.id)
                  .arg(name, QString::fromLatin1(tag.type), clsRWLibrary::ConvertToT9(name));
    }
    OpenResults(3, rows + sql);
    gLibrary->PopulateTree();
    MakeCarousel();
    gCarousel = std::make_unique<cCarousel>(pane_.get(), &host);
    auto pacer = std::make_unique<ScriptPacer>();
    pacer_ = pacer.get();
    gCarousel->SetPacer(std::move(pacer));
    gCarousel->NewResults();
    gCarousel->SetCarouselIndex(1, false, false);
    pane_->CarouselTimer->SetEnabled(false);  // the details' tick would only blink the text cursor
    // The test ticks the panel's timer itself (Ticks): the real one, which
    // would tick between the steps as the machine's load has it, is held.
    EXPECT_EQ(pane_->NonT9Timer->Interval(), 250) << "four ticks a second: eight make the two seconds";
    pane_->NonT9Timer->SetInterval(24 * 3600 * 1000);
    window_->show();
  }

  // The steps the panel runs while it waits, one per poll.
  void Steps(std::vector<std::function<void()>> steps) {
    for (auto& step : steps) pacer_->steps.push_back(std::move(step));
  }
  static std::function<void()> Key(int code) {
    return [code] {
      int key = code;
      Keypad().KeyPressHandler(key);
    };
  }
  static std::function<void()> Ticks(int count) {
    return [count] {
      for (int i = 0; i < count; ++i) gCarousel->TimerEvent();
    };
  }
  static bool Played(const QByteArray& sound) {
    const bool played = modSound::EffectsLog().contains(sound);
    modSound::ClearEffectsLog();
    return played;
  }

  RecordingHost host;
  ScriptPacer* pacer_ = nullptr;

 private:
  QByteArray savedBeep_;
  QByteArray savedClick_;
  ctl::TickCountFunction savedClock_;
};

const std::vector<TagSpec> kHeroAndThe = {{10, "Hero", "T"}, {11, "The", "T"}, {12, "Apple", "T"}};
const std::vector<TagSpec> kFruit = {{10, "Banana", "T"}, {11, "Apple", "T"}, {12, "Avocado", "T"}};

TEST(KeypadMatchSpanTest, TheTypedDigitsCoverTheLettersTheyStandFor) {
  struct Case {
    const char* name;
    const char* digits;
    int start;
    int length;
  };
  const std::vector<Case> cases = {
      {"Hero", "43", 0, 2},
      {"The", "43", 1, 2},
      {"Maßband", "226", 3, 3},  // "MASSBAND": the two S's are one letter of the name
      {"Straße", "773", 4, 2},
      {"Fuß Ball", "7 2", 2, 3},
      {"Hero", "", 0, 0},
      {"Hero", "9", 0, 0},
      {"", "2", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ClsT9Interface::Span span =
        ClsT9Interface::MatchSpan(QString::fromUtf8(c.name), QString::fromLatin1(c.digits));
    EXPECT_EQ(span.Start, c.start);
    EXPECT_EQ(span.Length, c.length);
  }
}

TEST_F(KeypadTest, PrefixMatchesComeFirstAndTheMatchLineSplitsAroundTheTypedLetters) {
  OpenTags(kHeroAndThe);
  Steps({Key(Pad(4)), Key(Pad(3)),
         [] {
           EXPECT_EQ(Line(), QStringLiteral("|He|ro"));
           EXPECT_EQ(Keypad().Counter(), QStringLiteral("1 / 2  "));
           EXPECT_EQ(Keypad().NodeKey(), QStringLiteral("ID10"));
           EXPECT_EQ(Keypad().KindGlyph(), QStringLiteral("t"));
         },
         Key(vbKeyDown),
         [] {
           EXPECT_EQ(Line(), QStringLiteral("T|he|"));
           EXPECT_EQ(Keypad().Counter(), QStringLiteral("2 / 2  "));
         },
         Key(vbKeyRight),
         [] {
           EXPECT_EQ(Keypad().Digits(), QString());
           EXPECT_EQ(Keypad().TagID(), 11) << "Right keeps The current";
           EXPECT_EQ(Line(), QStringLiteral("||The"));
           EXPECT_EQ(Keypad().Counter(), QStringLiteral("3 / 3  "));
         },
         Key(vbKeyEscape)});
  Keypad().Show(1);
  EXPECT_EQ(Keypad().EnteredText(), kCancelled);
  EXPECT_FALSE(Keypad().Visible());
  EXPECT_EQ(pacer_->ranDry, 0);
}

TEST_F(KeypadTest, ANameWhoseUpperCaseIsLongerSplitsAtItsOwnLetters) {
  OpenTags({{10, "Maßband", "T"}});
  Steps({Key(Pad(2)), Key(Pad(2)), Key(Pad(6)), [] { EXPECT_EQ(Line(), QStringLiteral("Maß|ban|d")); }});
  Keypad().Show(1);
}

TEST_F(KeypadTest, DownOnTheLastRowReadsTheListAgainUpOnTheFirstWrapsWithoutReading) {
  OpenTags(kFruit);
  Steps({[] {
           EXPECT_EQ(Keypad().Match() + Keypad().After(), QStringLiteral("Apple"));
           gSQL.clear();
         },
         Key(vbKeyUp),
         [] {
           EXPECT_EQ(Keypad().TagID(), 10) << "Banana, the last";
           EXPECT_TRUE(gSQL.isEmpty()) << "no query for Up";
         },
         Key(vbKeyDown),
         [] {
           EXPECT_EQ(Keypad().TagID(), 11) << "Apple, the first";
           EXPECT_FALSE(gSQL.isEmpty()) << "the list read again";
           EXPECT_TRUE(gSQL.contains(QStringLiteral("ORDER BY Sort, Tag COLLATE NOCASE")));
         }});
  Keypad().Show(1);
}

TEST_F(KeypadTest, KeypadZeroGoesOnToTheNextInitialAndFromTheLastToTheFirstRow) {
  OpenTags(kFruit);
  Steps({Key(vbKeyNumpad0), [] { EXPECT_EQ(Keypad().TagID(), 10) << "Apple to Banana"; },
         Key(vbKeyNumpad0), [] { EXPECT_EQ(Keypad().TagID(), 11) << "Banana, the last initial, to Apple"; },
         Key(vbKeyDown), Key(vbKeyNumpad0), [] { EXPECT_EQ(Keypad().TagID(), 10) << "Avocado to Banana"; },
         Key(Pad(2)), Key(vbKeyNumpad0),
         [] {
           EXPECT_EQ(Keypad().TagID(), 11) << "with digits typed 0 only clicks";
           EXPECT_EQ(Keypad().Digits(), QStringLiteral("2"));
         }});
  Keypad().Show(1);
}

TEST_F(KeypadTest, NoMatchBeepsShowsNoMatchesForHalfASecondAndTakesTheDigitBack) {
  OpenTags(kHeroAndThe);
  QString shownDuringWait;
  pacer_->onOtherWait = [&](int ms) {
    if (ms == 500) shownDuringWait = Keypad().Match();
  };
  Steps({Key(Pad(4)), Key(Pad(3)), [] { modSound::ClearEffectsLog(); }, Key(Pad(9)),
         [] {
           EXPECT_TRUE(Played(kBeep));
           EXPECT_EQ(Keypad().Digits(), QStringLiteral("43"));
           EXPECT_EQ(Line(), QStringLiteral("|He|ro"));
         }});
  Keypad().Show(1);
  EXPECT_EQ(shownDuringWait, QStringLiteral("No Matches"));
}

TEST_F(KeypadTest, AnEmptyListShowsNoMatchesAndEnterOnlyHides) {
  OpenTags({});
  Steps({[] {
           EXPECT_EQ(Keypad().Match(), QStringLiteral("No Matches"));
           EXPECT_TRUE(Keypad().NodeKey().isEmpty());
         },
         Key(vbKeyUp), Key(vbKeyNumpad0), Key(vbKeyReturn)});
  Keypad().Show(1);
  EXPECT_FALSE(Keypad().Visible());
  EXPECT_TRUE(host.drops.isEmpty());
  EXPECT_EQ(Keypad().EnteredText(), QString());
}

TEST_F(KeypadTest, MultiTapGivesTheKeysLettersInTurnAndCommitsOnANewKeyOrTwoSeconds) {
  struct Case {
    const char* name;
    std::vector<std::function<void()>> steps;
    const char* committed;
    const char* pending;
  };
  const std::vector<Case> cases = {
      {"4 4 4", {Key(Pad(4)), Key(Pad(4)), Key(Pad(4))}, "", "I"},
      {"4, two seconds, 4", {Key(Pad(4)), Ticks(8), Key(Pad(4))}, "G", "g"},
      {"4, under two seconds, 4", {Key(Pad(4)), Ticks(7), Key(Pad(4))}, "", "H"},
      {"2 3", {Key(Pad(2)), Key(Pad(3))}, "A", "d"},
      {"7 five times", {Key(Pad(7)), Key(Pad(7)), Key(Pad(7)), Key(Pad(7)), Key(Pad(7))}, "", "P"},
      {"4 Right 4 6", {Key(Pad(4)), Key(vbKeyRight), Key(Pad(4)), Key(Pad(6))}, "G G", "m"},
      {"2 3 Left", {Key(Pad(2)), Key(Pad(3)), Key(vbKeyLeft)}, "A", ""},
  };
  OpenTags({});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Steps(c.steps);
    QString committed, pending;
    Steps({[&] {
      committed = Keypad().Match();
      pending = Keypad().After();
    }});
    Keypad().Show(-2);
    EXPECT_EQ(committed, QString::fromLatin1(c.committed));
    EXPECT_EQ(pending, QString::fromLatin1(c.pending));
    EXPECT_EQ(Keypad().EnteredText(), kCancelled);
  }
}

TEST_F(KeypadTest, TextKeysWithoutARoleOrWithNothingToActOnBeepAndChangeNothing) {
  OpenTags({});
  Steps({Key(vbKeyLeft), [] { EXPECT_TRUE(Played(kBeep)); }, Key(vbKeyRight), [] { EXPECT_TRUE(Played(kBeep)); },
         Key(Pad(4)), Key(vbKeyUp),
         [] {
           EXPECT_TRUE(Played(kBeep));
           EXPECT_EQ(Line(), QStringLiteral("||G")) << "the pending letter stays";
         },
         Key(Pad(4)), [] { EXPECT_EQ(Keypad().After(), QStringLiteral("H")); }});
  Keypad().Show(-2);
}

TEST_F(KeypadTest, TheTimerBlinksTheCursorOnlyWhileATextIsTyped) {
  OpenTags(kHeroAndThe);
  Steps({[this] {
           EXPECT_TRUE(pane_->NonT9Timer->Enabled());
           EXPECT_EQ(Keypad().Caption(), QStringLiteral("Enter term to search for"));
           EXPECT_EQ(Keypad().KindGlyph(), QStringLiteral("s"));
         },
         Ticks(1), [] { EXPECT_TRUE(Keypad().CursorOn()); }, Ticks(1), [] { EXPECT_FALSE(Keypad().CursorOn()); }});
  Keypad().Show(-2);
  EXPECT_FALSE(pane_->NonT9Timer->Enabled());
  Steps({[this] { EXPECT_FALSE(pane_->NonT9Timer->Enabled()); }, Ticks(1),
         [] { EXPECT_FALSE(Keypad().CursorOn()) << "no cursor for tags"; }});
  Keypad().Show(1);
}

TEST_F(KeypadTest, EnterSearchesTheTypedTextOrEveryFileWhenNothingIsTyped) {
  OpenTags({});
  Steps({Key(Pad(4)), Key(Pad(6)), Key(Pad(6)), Key(Pad(6)), Key(vbKeyReturn)});
  Keypad().Show(-2);
  EXPECT_EQ(Keypad().EnteredText(), QStringLiteral("|_?FAD:Go"));
  EXPECT_FALSE(Keypad().Visible());
  Steps({Key(vbKeyReturn)});
  Keypad().Show(-2);
  EXPECT_EQ(Keypad().EnteredText(), QStringLiteral("|_?FAD:*"));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_?FAD:*"));
  EXPECT_EQ(pacer_->ranDry, 0);
  // Any other text mode needs a text: Enter beeps and the panel stays.
  Steps({Key(vbKeyReturn), [] {
           EXPECT_TRUE(Played(kBeep));
           EXPECT_TRUE(Keypad().Visible());
         },
         Key(vbKeyEscape)});
  Keypad().Show(-3);
  EXPECT_EQ(Keypad().EnteredText(), kCancelled);
}

TEST_F(KeypadTest, EnterInModeMinusOneSavesTheViewUnderTheTypedName) {
  OpenTags({});
  gViewSpec = QStringLiteral("|_T:ID13");
  Steps({[] { EXPECT_EQ(Keypad().Caption(), QStringLiteral("Enter a name for this view")); }, Key(Pad(4)),
         Key(Pad(6)), Key(Pad(6)), Key(Pad(6)), Key(vbKeyReturn)});
  Keypad().Show(-1);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM Tags T, Views V WHERE V.TagID = T.TagID AND T.Tag = 'Go' "
                                 "AND T.Type = 'V' AND V.ViewSpec = '|_T:ID13'")),
            1);
  EXPECT_EQ(Keypad().EnteredText(), QString());
}

TEST_F(KeypadTest, EnterAddsTheCurrentResultToThePlaylistChosen) {
  OpenTags({{20, "Favourites", "L"}, {21, "Drama", "T"}});
  gCarousel->SetCarouselIndex(2, false, false);
  Steps({[] { EXPECT_EQ(Keypad().Counter(), QStringLiteral("1 / 1  ")) << "playlists only"; }, Key(vbKeyReturn)});
  Keypad().Show(0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentTags WHERE SegmentID = %1 AND TagID = 20")
                      .arg(SegmentAt(2))),
            1);
  EXPECT_EQ(Keypad().Mode(), 1);
}

TEST_F(KeypadTest, EnterLinksTheHighlightedTagToTheChosenOne) {
  OpenTags({{10, "Drama", "T"}, {11, "Noir", "T"}, {12, "Night", "C"}});
  std::vector<TagListRow> rows(3);
  rows[1].TagID = 10;
  rows[1].Caption = QStringLiteral("Drama");
  rows[0].Separator = true;
  gCarousel->SetTagRows(rows, 1);
  ASSERT_EQ(gCarousel->HighlightedTagID, QStringLiteral("ID10"));
  Steps({Key(Pad(6)), Key(Pad(4)),
         [] { EXPECT_EQ(Keypad().Counter(), QStringLiteral("1 / 1  ")) << "the category Night is no tag"; },
         Key(vbKeyReturn)});
  Keypad().Show(6);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM TagLinks WHERE TagID = 10 AND LinkedTag = 11 AND "
                                 "Relationship = 'L'")),
            1);
}

TEST_F(KeypadTest, EnterDropsTheTagsNodeOnTheBrowserWithTheModesOperator) {
  OpenTags({{10, "Drama", "T"}, {11, "Noir", "T"}, {12, "Comedy", "T"}},
           QStringLiteral("INSERT INTO SegmentTags VALUES (1, 10), (1, 11);"));
  struct Case {
    int16_t mode;
    const char* drop;
    const char* counter;  // the tag cloud's tags only, or all
    const char* chosen;   // the second row: Drama of all, Noir of the cloud's
  };
  for (const Case& c : std::vector<Case>{{1, "tvwLibrary:_", "1 / 3  ", "ID10"},
                                         {2, "tvwLibrary:+", "1 / 2  ", "ID11"},
                                         {3, "tvwLibrary:-", "1 / 2  ", "ID11"},
                                         {4, "tvwLibrary:&", "1 / 3  ", "ID10"}}) {
    SCOPED_TRACE(c.mode);
    host = RecordingHost{};
    QString counter;
    Steps({[&] { counter = Keypad().Counter(); }, Key(vbKeyDown), Key(vbKeyReturn)});
    Keypad().Show(c.mode);
    EXPECT_EQ(counter, QString::fromLatin1(c.counter));
    EXPECT_EQ(host.drops, QStringList{QString::fromLatin1(c.drop)});
    EXPECT_EQ(host.focus, 1);
    ASSERT_TRUE(View().tree.SelectedItem());
    EXPECT_EQ(View().tree.SelectedItem()->Key(), QString::fromLatin1(c.chosen));
  }
  // A tag the tree does not show runs no search.
  gLibrary->View().LibraryTree()->Nodes.Remove(QStringLiteral("ID12"));
  host = RecordingHost{};
  modSound::ClearEffectsLog();
  Steps({Key(vbKeyReturn)});
  Keypad().Show(1);
  EXPECT_TRUE(Played(kBeep));
  EXPECT_TRUE(host.drops.isEmpty());
}

TEST_F(KeypadTest, AKeyWhileThePanelIsUpGoesToThePanelNotTheRing) {
  OpenTags(kHeroAndThe);
  const int32_t savedMode = gBrowserMode;
  gBrowserMode = 3;
  auto press = [](int code) {
    return [code] {
      gNow += 200;  // past the carousel's key gate
      int key = code;
      gCarousel->KeyPress(key);
    };
  };
  Steps({press(vbKeyRight), press(Pad(4)), [] {
           EXPECT_EQ(gBrowserIndex, 1) << "the ring stays";
           EXPECT_EQ(Keypad().Digits(), QStringLiteral("4"));
         },
         press(vbKeyEscape)});
  Keypad().Show(1);
  gBrowserMode = savedMode;
  EXPECT_EQ(Keypad().EnteredText(), kCancelled);
  EXPECT_EQ(pacer_->ranDry, 0);
}

// A laptop or a remote control without a keypad sends the top row's digits.
TEST_F(KeypadTest, TheTopRowsDigitsTypedOnTheCanvasActAsTheKeypads) {
  OpenTags(kHeroAndThe);
  const int32_t savedMode = gBrowserMode;
  gBrowserMode = 3;
  ucCanvas& canvas = *pane_->ucCarouselCanvas;
  canvas.KeyDown = [](int& key, int) { gCarousel->KeyPress(key); };  // as the results pane hands them on
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  canvas.SetFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == &canvas; }, 5000));
  auto type = [](Qt::Key key) {
    return [key] {
      gNow += 200;  // past the carousel's key gate
      QTest::keyClick(QApplication::focusWidget(), key);
    };
  };
  Steps({type(Qt::Key_4), type(Qt::Key_3), [] { EXPECT_EQ(Line(), QStringLiteral("|He|ro")); }, type(Qt::Key_0),
         [] { EXPECT_EQ(Keypad().Digits(), QStringLiteral("43")) << "0 with digits typed moves nowhere"; },
         type(Qt::Key_Escape)});
  Keypad().Show(1);
  EXPECT_EQ(Keypad().EnteredText(), kCancelled);

  Steps({type(Qt::Key_4), type(Qt::Key_4), type(Qt::Key_4), [] { EXPECT_EQ(Keypad().After(), QStringLiteral("I")); },
         type(Qt::Key_Escape)});
  Keypad().Show(-2);

  // At the top level too: 3 shows the matching segments.
  type(Qt::Key_3)();
  gBrowserMode = savedMode;
  EXPECT_EQ(host.commands, QStringList{QStringLiteral("mnuBrowserMatchingSegments")});
  EXPECT_EQ(pacer_->ranDry, 0);
}

TEST_F(KeypadTest, ASecondShowIsRefusedAndAHiddenCanvasTakesNoPanel) {
  OpenTags(kHeroAndThe);
  Steps({[] {
    Keypad().Show(2);
    EXPECT_EQ(Keypad().Mode(), 1);
    EXPECT_TRUE(Keypad().Visible());
  }});
  Keypad().Show(1);
  window_->hide();
  Keypad().Show(1);
  EXPECT_EQ(Keypad().EnteredText(), kCancelled);
  EXPECT_EQ(pacer_->ranDry, 1) << "only the first Show waited";
}

TEST_F(KeypadTest, ThePanelFadesInAndOutOverTheDimmedCanvasAndLeavesItAsItWas) {
  OpenTags(kHeroAndThe);
  gCarousel->RedrawAll(false, true);
  const CairoSurfacePtr& canvas = pane_->ucCarouselCanvas->Surface();
  const QRgb before = Pixel(*canvas, 5, 5);
  const QRgb middleBefore = Pixel(*canvas, 640, 330);
  QRgb dimmed = 0;
  QRgb middle = 0;
  Steps({[&] {
    dimmed = Pixel(*canvas, 5, 5);
    middle = Pixel(*canvas, 640, 330);
    const QByteArray path = qgetenv("RW_SCREENSHOT");
    if (!path.isEmpty()) {
      EXPECT_TRUE(canvas->Surface().Image().save(QString::fromLocal8Bit(path), "PNG"));
    }
  }});
  Keypad().Show(1);
  EXPECT_EQ(pacer_->frames, 42) << "21 frames in, 21 out";
  EXPECT_EQ(std::count(pacer_->waits.begin(), pacer_->waits.end(), 10), 42);
  const COLORREF half = RGB((qRed(before) + 20) / 2, (qGreen(before) + 20) / 2, (qBlue(before) + 20) / 2);
  EXPECT_TRUE(Close(dimmed, half, 2)) << "half way to RGB(20, 20, 20)";
  EXPECT_FALSE(Close(middle, half, 2)) << "the panel lies over the middle";
  EXPECT_EQ(Pixel(*canvas, 5, 5), before);
  EXPECT_EQ(Pixel(*canvas, 640, 330), middleBefore);
}

TEST_F(KeypadTest, ShutDownEndsTheWaitAsCancelled) {
  OpenTags(kHeroAndThe);
  // The window's close is held until Show has returned.
  Steps({[this] { window_->close(); }});
  Keypad().Show(1);
  EXPECT_EQ(Keypad().EnteredText(), kCancelled);
  EXPECT_TRUE(window_->isVisible());
  QCoreApplication::processEvents();
  EXPECT_FALSE(window_->isVisible()) << "closed once Show had returned";
  window_->show();
  // The application's quit.
  QuitSwallower swallower;
  qApp->installEventFilter(&swallower);
  Steps({[] { QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit)); }});
  Keypad().Show(1);
  qApp->removeEventFilter(&swallower);
  EXPECT_EQ(Keypad().EnteredText(), kCancelled);
  EXPECT_EQ(pacer_->ranDry, 0);
  // Inside the wait the gate is held for the canvas alone: a command of any
  // other control, as one from a timer, does nothing.
  std::vector<bool> admitted;
  Steps({[&] { admitted = {InputGate::Held(), InputGate::Admits(), InputGate::Admits(pane_->ucCarouselCanvas)}; },
         Key(vbKeyEscape)});
  Keypad().Show(1);
  EXPECT_EQ(admitted, (std::vector<bool>{true, false, true}));
  // The carousel going away while Show waits.
  Steps({[] { QTimer::singleShot(0, [] { gCarousel.reset(); }); }});
  Keypad().Show(1);
  EXPECT_FALSE(gCarousel);
}

}  // namespace
