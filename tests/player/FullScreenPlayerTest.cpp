// Runs of the full-screen player over clips of 2 s at 25 frames a second in
// a fixture library, steered by keys that a timer sends while the run plays:
// A-B repeat, ratings, highlights, frame steps, wrapping, resuming, skipped
// entries, selections, one-item runs, and the window on a second screen.
#include "tests/app/ProgramRun.h"

#include "tests/app/ClipLibrary.h"

#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "platform/QuitRequest.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/TimerControl.h"
#include "platform/modSound.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"
#include "player/frmDSSink.h"
#include "player/modMainPlayer.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/TestVideo.h"
#include "tests/support/TwoScreens.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QKeyEvent>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <deque>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <functional>

namespace rwtest {
namespace {

// Steps run in order while the player plays: each waits for its condition,
// checked every 20 ms on the event loop the run keeps turning. A run that
// outlasts the deadline is stopped, so a test never hangs.
class Script {
 public:
  explicit Script(int deadlineMs = rwtest::kWaitCeilingMs) {
    clock_.start();
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this, deadlineMs] { Tick(deadlineMs); });
    timer_.start();
  }
  Script& Then(std::function<bool()> when, std::function<void()> act) {
    steps_.push_back({std::move(when), std::move(act)});
    return *this;
  }
  // Every 20 ms while the run lasts.
  std::function<void()> Watch;
  bool Finished() const { return steps_.empty(); }
  bool TimedOut() const { return timedOut_; }

 private:
  void Tick(int deadlineMs) {
    if (Watch) Watch();
    if (clock_.elapsed() > deadlineMs) {
      timedOut_ = true;
      gStopPlaylist = true;
      return;
    }
    if (steps_.empty() || gOpeningEntry || !steps_.front().first()) return;
    auto act = std::move(steps_.front().second);
    steps_.pop_front();
    act();
  }

  QTimer timer_;
  QElapsedTimer clock_;
  std::deque<std::pair<std::function<bool()>, std::function<void()>>> steps_;
  bool timedOut_ = false;
};

class FullScreenPlayerTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    RW_REQUIRE_FFMPEG();
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    folder_ = ScratchPath(QStringLiteral("films/"));
    OpenClipLibrary(folder_);
    TestVideoSpec spec;
    spec.frameIndex = true;
    for (int file = 1; file <= 3; ++file) {
      ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Clip%1.mkv").arg(file), spec));
      AddClipFile(file, QStringLiteral("Clip%1.mkv").arg(file), folder_, 2);
    }
    // File 1's saved segments, for Highlights.
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, "
                                "SelectionEnd, Online, Rating) VALUES (11, 1, NULL, 1.2, 1.5, 1, 0), "
                                "(10, 1, NULL, 0.2, 0.5, 1, 0)"));
    gResultKind = ResultScope::File;
    gRandomPlayback = false;
    gPlayQueueBuilt = false;
    // A one-item run resumes the row its entry holds: none from another test.
    gPlayQueue.assign(1, ResultItem{});
    gUseInternalPlayer = true;
    if (gSoundBeep.isEmpty()) gSoundBeep = QByteArray("BEEP");
    modSound::ClearEffectsLog();
    Results({FileRow(1), FileRow(2), FileRow(3)});
  }

  static SqlConnection& Db() { return gLibrary->Connection(); }

  ResultItem FileRow(int file) const {
    ResultItem item;
    item.SegmentID = file;
    item.FileID = file;
    item.FileName = QStringLiteral("Clip%1.mkv").arg(file);
    item.FileAlias = QStringLiteral("Clip %1").arg(file);
    item.CurrentPath = folder_;
    item.IsFileRow = true;
    item.SelectionEnd = 2;
    item.DisplayState = 5;
    return item;
  }

  // The results, the first current; rows marked Selected count as selected.
  static void Results(std::vector<ResultItem> rows) {
    gResults.assign(1, ResultItem{});
    gSelectedById.Reset();
    int selected = 0;
    for (ResultItem& row : rows) {
      row.BrowserRow = static_cast<int32_t>(gResults.size());
      gResults.push_back(row);
      if (row.Selected) {
        gSelectedById.Set(row.SegmentID, 1);
        ++selected;
      }
    }
    gLibrary->ResultCount = static_cast<int32_t>(rows.size());
    gLibrary->SelectedCount = selected;
    gCurrentItem = gResults[1];
    gPlayQueueBuilt = false;
  }

  // A key released in the full-screen window, as the keyboard sends it.
  static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ASSERT_TRUE(gDSSinkForm);
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(gDSSinkForm, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(gDSSinkForm, &release);
  }

  // Whether the run's window has the keyboard: keys typed before go to the
  // main window, which had it until then.
  static bool KeyboardTaken() {
    return gDSSinkForm && QGuiApplication::focusWindow() == gDSSinkForm->windowHandle();
  }
  // A key pressed and released as the keyboard does: to the focused widget,
  // else to the window that has the keyboard, which hands it to its widget.
  static void TypeKey(Qt::Key key) {
    if (QWidget* focused = QApplication::focusWidget()) {
      QTest::keyClick(focused, key);
      return;
    }
    QWindow* window = QGuiApplication::focusWindow();
    ASSERT_TRUE(window) << "no window has the keyboard";
    QTest::keyClick(window, key);
  }

  // The same key posted: a command that plays on (Highlights) then runs
  // in the run's own loop, where the script keeps watching.
  static void PostKey(Qt::Key key) {
    QCoreApplication::postEvent(gDSSinkForm, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
  }

  static std::function<bool()> Playing(int segment, double after = 0.3) {
    return [segment, after] {
      return gDSSinkForm && gPlayItem.SegmentID == segment && gPlayer->PlayState() == 2 &&
             gPlayer->Position() >= after;
    };
  }
  static std::function<bool()> Paused() {
    return [] { return gPlayer->PlayState() == 1; };
  }

  // With RW_SCREENSHOT set: the window as it shows a jump message.
  static void SaveScreenshot() {
    const QString path = qEnvironmentVariable("RW_SCREENSHOT");
    if (path.isEmpty()) return;
    Key(Qt::Key_Left);  // back to the start: the clips are shorter than a jump
    EXPECT_EQ(gOsdText, QStringLiteral("Jump 10 secs"));
    QEventLoop drawing;
    QTimer::singleShot(200, &drawing, &QEventLoop::quit);
    drawing.exec();
    QImage shown = gPlayer->VideoWindow()->Picture();
    if (gDSSinkForm->windowHandle() && QGuiApplication::platformName() != QLatin1String("offscreen")) {
      shown = gDSSinkForm->screen()->grabWindow(0, gDSSinkForm->x(), gDSSinkForm->y(), gDSSinkForm->width(),
                                                gDSSinkForm->height()).toImage();
    }
    shown.save(path, "PNG");
  }

  // The entries played, in the order they began: an entry counts once its
  // picture has moved on. (A Matroska file cut short after its header opens
  // with the duration the header gives and runs for an instant without a
  // frame; on a busy machine the watch may catch it running.)
  void RecordEntries(Script& script) {
    script.Watch = [this] { RecordEntry(); };
  }
  void RecordEntry() {
    if (!gDSSinkForm || gOpeningEntry || gPlayer->PlayState() != 2 || gPlayer->Position() <= 0) return;
    if (played_.empty() || played_.back() != gPlayItem.SegmentID) played_.push_back(gPlayItem.SegmentID);
  }

  static void RunQueue() { gMainForm->MainToolbarHandler(QStringLiteral("mnuToolsRunPlaylist")); }

  QString folder_;
  std::vector<int> played_;
};

TEST_F(FullScreenPlayerTest, ABRepeatSetsItsPointsLoopsBetweenThemAndCancels) {
  double pointA = 0;
  double pointB = 0;
  double lowest = 99;
  double highest = 0;
  Script script;
  script.Then(Playing(1, 0.9), [] { Key(Qt::Key_BracketRight); })
      .Then([] { return true; },
            [] {
              EXPECT_EQ(gOsdText, QStringLiteral("Set Point A"));
              EXPECT_EQ(gOsdIcon, QStringLiteral("OV_SET_A"));
              EXPECT_EQ(gOsdTimeText, QStringLiteral("AB"));
              EXPECT_NEAR(gPlayItem.SelectionEnd, 0.9, 0.15);
            })
      .Then([] { return gPlayer->Position() > 0.3 && gPlayer->Position() < 0.6; },
            [&] {
              Key(Qt::Key_BracketLeft);
              pointA = gPlayItem.SelectionStart;
              pointB = gPlayItem.SelectionEnd;
              EXPECT_EQ(gOsdText, QStringLiteral("A-B Repeat Initiated!"));
              EXPECT_EQ(gOsdIcon, QStringLiteral("OV_AB_INIT"));
              Key(Qt::Key_3);  // a rating under A-B only beeps
            });
  // A step back of more than half the stretch is the loop going from B back
  // to A.
  int loops = 0;
  double previous = -1;
  script.Watch = [&] {
    if (pointA <= 0 || gPlayItem.SegmentID != 1 || gOpeningEntry || gPlayer->PlayState() != 2) return;
    const double position = gPlayer->Position();
    lowest = std::min(lowest, position);
    highest = std::max(highest, position);
    if (previous >= 0 && position < previous - (pointB - pointA) / 2) ++loops;
    previous = position;
  };
  // Twice round between A and B, then a new entry clears A-B.
  script.Then([&] { return loops >= 2; }, [] { Key(Qt::Key_Down); })
      .Then(Playing(2, 0.3), [] { Key(Qt::Key_BracketLeft); })
      .Then([] { return true; },
            [] {
              EXPECT_EQ(gOsdText, QStringLiteral("Set Point B"));
              Key(Qt::Key_BracketLeft);
              EXPECT_EQ(gOsdText, QStringLiteral("A-B Repeat Cancelled"));
              EXPECT_EQ(gOsdIcon, QStringLiteral("OV_AB_CANCEL"));
              EXPECT_TRUE(gOsdTimeText.isEmpty());
            })
      .Then(Playing(2, 0.6), [] { Key(Qt::Key_Escape); });
  RunQueue();

  ASSERT_FALSE(script.TimedOut());
  EXPECT_GT(pointA, 0.25);
  EXPECT_GE(lowest, pointA - 0.1) << "the loop starts again at A";
  EXPECT_LE(highest, pointB + 0.15) << "and never passes B";
  EXPECT_TRUE(modSound::EffectsLog().contains(gSoundBeep));
  auto rating = Db().OpenRecordset(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = 1"));
  EXPECT_EQ(rating->Value(0).toInt(), 0) << "refused under A-B";
}

TEST_F(FullScreenPlayerTest, RatingsHighlightsFrameStepsWrappingAndEscape) {
  double pausedAt = 0;
  Script script;
  RecordEntries(script);
  script.Then(Playing(1, 0.1), [] { Key(Qt::Key_Up); })  // wraps to the last
      .Then(Playing(3, 0.1), [] { Key(Qt::Key_Down); })    // and back to the first
      .Then(Playing(1, 0.1), [] { PostKey(Qt::Key_H); })  // highlights: segments 10 and 11
      .Then(Playing(2, 0.3),
            [] {
              SaveScreenshot();
              Key(Qt::Key_4);
              EXPECT_EQ(gOsdIcon, QStringLiteral("OV_STAR"));
              EXPECT_EQ(gOsdText, QStringLiteral("4"));
              Key(Qt::Key_L);
              EXPECT_EQ(gOsdText, QStringLiteral("No Saved Segments..."));
              EXPECT_EQ(gOsdIcon, QStringLiteral("OV_ILLEGAL"));
              Key(Qt::Key_Return);
            })
      .Then(Paused(),
            [&] {
              pausedAt = gPlayer->Position();
              Key(Qt::Key_Right);
              EXPECT_EQ(gOsdText, QStringLiteral("Frame Advance"));
              EXPECT_NEAR(gPlayer->Position(), pausedAt + 0.04, 0.005);
              Key(Qt::Key_Escape);
            });
  RunQueue();

  ASSERT_FALSE(script.TimedOut());
  EXPECT_EQ(played_, (std::vector<int>{1, 3, 1, 10, 11, 2}));
  EXPECT_EQ(gCurrentItem.SegmentID, 2);
  EXPECT_EQ(gResults[2].Rating, 4) << "the rating is mirrored into its row";
  auto rating = Db().OpenRecordset(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = 2"));
  EXPECT_EQ(rating->Value(0).toInt(), 4);
  EXPECT_FALSE(gDSSinkForm);
  EXPECT_EQ(gMainForm->Inspector().Timer2->Interval(), 100);
  EXPECT_TRUE(gMainForm->Results().Timer1->Enabled());

  // Run again without a change: file 2 resumes where it stopped.
  Script again;
  double resumedAt = -1;
  again.Then([] { return gPlayItem.SegmentID == 2 && !gOpeningEntry && gFullScreenFileOpen; },
             [&] {
               resumedAt = gPlayer->Position();
               Key(Qt::Key_Escape);
             });
  RunQueue();
  ASSERT_FALSE(again.TimedOut());
  EXPECT_NEAR(resumedAt, pausedAt + 0.04, 0.1);
}

TEST_F(FullScreenPlayerTest, OfflineMissingAndTruncatedEntriesAreSkipped) {
  QFile truncated(folder_ + QStringLiteral("Cut.mkv"));
  ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
  QFile whole(folder_ + QStringLiteral("Clip1.mkv"));
  ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
  truncated.write(whole.read(600));
  truncated.close();
  ResultItem offline = FileRow(4);
  offline.CurrentPath = QStringLiteral("[Offline] Films/");
  ResultItem missing = FileRow(5);
  missing.FileName = QStringLiteral("Gone.mkv");
  ResultItem cut = FileRow(6);
  cut.FileName = QStringLiteral("Cut.mkv");
  Results({offline, missing, FileRow(2), cut});

  // Entry 2 begins again once the run has gone round the queue: seen as its
  // return after other entries, or as its position starting over.
  Script script;
  int startsOfTwo = 0;
  bool playingTwo = false;
  double previous = 0;
  script.Watch = [&] {
    RecordEntry();
    const bool two =
        gDSSinkForm && !gOpeningEntry && gFullScreenFileOpen && gPlayItem.SegmentID == 2 && gPlayer->PlayState() == 2;
    if (!two) {
      playingTwo = false;
      return;
    }
    const double position = gPlayer->Position();
    if (!playingTwo || position < previous - 0.5) ++startsOfTwo;
    playingTwo = true;
    previous = position;
  };
  script.Then([&] { return startsOfTwo >= 2; }, [] { Key(Qt::Key_Escape); });
  RunQueue();
  ASSERT_FALSE(script.TimedOut());
  ASSERT_FALSE(played_.empty());
  for (int entry : played_) EXPECT_EQ(entry, 2);
  EXPECT_EQ(boxes.Count(), 0);

  // Nothing playable: the run ends by itself with one message.
  Results({offline, missing, cut});
  boxes.Answer(1);
  Script none;
  RunQueue();
  EXPECT_FALSE(none.TimedOut());
  EXPECT_EQ(boxes.Count(), 1);
  EXPECT_FALSE(gDSSinkForm);
}

TEST_F(FullScreenPlayerTest, ASelectionPlaysInResultOrderFromTheCurrentItem) {
  std::vector<ResultItem> rows;
  for (int row = 1; row <= 5; ++row) {
    ResultItem item = FileRow((row - 1) % 3 + 1);
    item.SegmentID = 100 + row;
    item.IsFileRow = false;
    item.SelectionEnd = 0.5;
    item.Selected = row == 2 || row == 5;
    rows.push_back(item);
  }
  Results(rows);
  gCurrentItem = gResults[5];

  Script script;
  RecordEntries(script);
  // Closing the window mid-run ends the run as Esc does.
  script.Then(Playing(102, 0.1), [] {}).Then(Playing(105, 0.1), [] { gDSSinkForm->close(); });
  RunQueue();
  ASSERT_FALSE(script.TimedOut());
  EXPECT_EQ(played_, (std::vector<int>{105, 102, 105}));
  EXPECT_FALSE(gDSSinkForm);
}

// A request to end the program (a termination signal) ends the run in the
// entry it plays; the program's event loop is ended only after the run.
TEST_F(FullScreenPlayerTest, ARequestToEndTheProgramEndsTheRunBeforeTheLoopIsEnded) {
  bool endedAfterTheRun = false;
  Script script;
  RecordEntries(script);
  script.Then(Playing(1, 0.3), [&] {
    QuitRequest::Request([&] { endedAfterTheRun = !modMainPlayer::RunActive() && !gFullScreenFileOpen; });
  });
  RunQueue();
  QuitRequest::Reset();
  ASSERT_FALSE(script.TimedOut());
  EXPECT_EQ(played_, std::vector<int>{1});
  EXPECT_TRUE(endedAfterTheRun);
  EXPECT_EQ(boxes.Count(), 0);
}

// A double click on a tile begins with a click; the window system queues the
// second press while the first click is being answered. The double click
// plays the file, and no half-opened preview marks it unplayable.
TEST_F(FullScreenPlayerTest, ADoubleClickOnATilePlaysItAndLeavesItPlayable) {
  ResultsPane& results = gMainForm->Results();
  results.LayoutThumbnailGrid(3);
  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewTile"));
  gMainForm->Inspector().ClearInspector();
  ctl::FlexGrid& tiles = *results.flexThumbsTiled;
  const QPoint at((tiles.ColWidth(0) + tiles.ColWidth(1) + tiles.ColWidth(2) / 2) / 15, tiles.RowHeight(0) / 30);
  const auto post = [&](QEvent::Type type) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QCoreApplication::postEvent(&tiles, new QMouseEvent(type, at, tiles.mapToGlobal(at), Qt::LeftButton, held,
                                                        Qt::NoModifier));
  };
  QString previewedFirst = QStringLiteral("-");
  Script script;
  script.Then(Playing(2, 0.1), [&] {
    previewedFirst = gInspectedItem.FileName;
    TypeKey(Qt::Key_Escape);
  });
  QTest::mousePress(&tiles, Qt::LeftButton, {}, at);
  post(QEvent::MouseButtonRelease);
  post(QEvent::MouseButtonDblClick);
  post(QEvent::MouseButtonRelease);
  ASSERT_TRUE(QTest::qWaitFor([&] { return script.Finished() && !gDSSinkForm; }, 30000));
  EXPECT_FALSE(script.TimedOut());
  EXPECT_EQ(gCurrentItem.SegmentID, 2);
  EXPECT_EQ(previewedFirst, QString()) << "the double click's first click opened no preview to be cut short";
  auto unplayable = Db().OpenRecordset(QStringLiteral("SELECT COUNT(*) FROM SegmentTags WHERE TagID = 1"));
  EXPECT_EQ(unplayable->Value(0).toInt(), 0) << "no file is tagged Unplayable";
  EXPECT_TRUE(gMainForm->Inspector().lblOpenFileStatus->Caption().isEmpty());
}

TEST_F(FullScreenPlayerTest, ADoubleClickPlaysOneItemAgainUntilEscape) {
  gCurrentItem = gResults[2];
  int starts = 0;
  double last = 0;
  Script script;
  script.Watch = [&] {
    if (!gDSSinkForm || gPlayItem.SegmentID != 2) return;
    const double now = gPlayer->Position();
    if (now + 0.5 < last) ++starts;
    last = now;
  };
  script.Then([&] { return starts >= 1 && gPlayer->Position() > 0.2; }, [] { Key(Qt::Key_Escape); });
  gMainForm->Results().BrowserDblClick(2);
  ASSERT_FALSE(script.TimedOut());
  EXPECT_EQ(gCurrentItem.SegmentID, 2);
  EXPECT_EQ(gPlayStartIndex, 2);
}

TEST_F(FullScreenPlayerTest, KeypadTaggingHoldsTheEntryAndTagsItOnEnter) {
  gLibrary->CreateTag(QStringLiteral("The Beach"), QStringLiteral("T"), QVariant());
  gLibrary->CreateTag(QStringLiteral("Apple"), QStringLiteral("T"), QVariant());
  int whiteColumns = 0;
  double latest = 0;
  Script script;
  script.Then(Playing(1, 0.2),
              [] {
                Key(Qt::Key_0, Qt::KeypadModifier);
                EXPECT_EQ(gOsdText, QStringLiteral("////Apple//1/2"));
                EXPECT_EQ(gOsdIcon, QStringLiteral("OV_TAG"));
                for (Qt::Key digit : {Qt::Key_8, Qt::Key_4, Qt::Key_3}) Key(digit, Qt::KeypadModifier);
                EXPECT_EQ(gOsdText, QStringLiteral("//The// Beach//1/1"));
              })
      .Then([] { return true; },
            [&] {
              const QImage band = gPlayer->VideoWindow()->OverlayPicture();
              for (int x = 0; x < band.width(); ++x) {
                for (int y = 0; y < band.height(); ++y) {
                  if (band.pixel(x, y) == qRgb(255, 255, 255)) {
                    ++whiteColumns;
                    break;
                  }
                }
              }
            })
      // The entry is held past its end while the tag is shown.
      .Then([&] {
        latest = std::max(latest, gPlayer->Position());
        return latest > 1.9 && gPlayer->Position() < 1.0;
      },
            [] {
              EXPECT_EQ(gPlayItem.SegmentID, 1);
              Key(Qt::Key_Enter, Qt::KeypadModifier);
              EXPECT_EQ(gOsdText, QStringLiteral("////Tag Applied...//"));
              Key(Qt::Key_Escape);
            });
  RunQueue();
  ASSERT_FALSE(script.TimedOut());
  EXPECT_GT(whiteColumns, 10) << "the typed part is drawn in white";
  auto tagged = Db().OpenRecordset(QStringLiteral(
      "SELECT COUNT(*) FROM SegmentTags S JOIN Tags T ON T.TagID = S.TagID WHERE S.SegmentID = 1 AND T.Tag = 'The Beach'"));
  EXPECT_EQ(tagged->Value(0).toInt(), 1);
}

// A portrait picture fills the screen's height between black bars; F10 puts
// the video window in its own full-screen mode, where the picture shows at
// its own size, and back. Without "Stretch to Screen" the run starts there.
TEST_F(FullScreenPlayerTest, APortraitPictureKeepsItsProportionsAndF10ShowsItAtItsOwnSize) {
  TestVideoSpec spec;
  spec.frameIndex = true;
  spec.width = 180;
  spec.height = 320;
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Tall.mkv"), spec));
  AddClipFile(4, QStringLiteral("Tall.mkv"), folder_, 2);
  ResultItem tall = FileRow(4);
  tall.FileName = QStringLiteral("Tall.mkv");
  Results({tall});
  const QRect stretched(656, 0, 607, 1080);
  const QRect ownSize(870, 380, 180, 320);
  std::vector<QRect> pictures;
  std::vector<bool> blackSides;
  const auto look = [&] {
    cVideoWindow* window = gPlayer->VideoWindow();
    pictures.push_back(window->PictureRect());
    const QImage shown = window->Picture();
    blackSides.push_back(qGray(shown.pixel(100, 540)) == 0 && qGray(shown.pixel(1820, 540)) == 0);
  };
  const auto shownAgain = [] { return gPlayer->PlayState() == 2 && gPlayer->VideoWindow()->isVisible(); };
  gPlayer->StretchToScreen = true;
  Script script;
  script.Then(Playing(4, 0.1),
              [&] {
                look();
                TypeKey(Qt::Key_F10);
              })
      .Then([&] { return shownAgain() && gPlayer->FullScreen() && gPlayer->VideoWindow()->width() == 1920; },
            [&] {
              look();
              TypeKey(Qt::Key_F10);
            })
      .Then([&] { return shownAgain() && !gPlayer->FullScreen(); }, [&] {
        look();
        TypeKey(Qt::Key_Escape);
      });
  RunQueue();
  ASSERT_FALSE(script.TimedOut());
  EXPECT_EQ(pictures, (std::vector<QRect>{stretched, ownSize, stretched}));
  EXPECT_EQ(blackSides, (std::vector<bool>{true, true, true}));

  gPlayer->StretchToScreen = false;
  pictures.clear();
  Script alone;
  alone.Then(Playing(4, 0.1), [&] {
    look();
    TypeKey(Qt::Key_Escape);
  });
  RunQueue();
  gPlayer->StretchToScreen = true;
  ASSERT_FALSE(alone.TimedOut());
  EXPECT_EQ(pictures, (std::vector<QRect>{ownSize}));
}

// An entry whose file opens only when something writes to it, as a file on
// a network mount that went away: file 4, a pipe, before file 2.
class OpeningEntryTest : public FullScreenPlayerTest {
 protected:
  void SetUp() override {
    FullScreenPlayerTest::SetUp();
    if (IsSkipped()) return;
    pipe_ = folder_ + QStringLiteral("Opening.mkv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe_).constData(), 0600), 0);
    AddClipFile(4, QStringLiteral("Opening.mkv"), folder_, 2);
    ResultItem opening = FileRow(4);
    opening.FileName = QStringLiteral("Opening.mkv");
    Results({opening, FileRow(2)});
  }
  void TearDown() override {
    // An open still waiting on the pipe is let go.
    const int writer = ::open(QFile::encodeName(pipe_).constData(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    FullScreenPlayerTest::TearDown();
  }
  QString pipe_;
};

// Esc while an entry opens ends the run at once: the open is given up and
// no later entry plays.
TEST_F(OpeningEntryTest, EscWhileAnEntryOpensEndsTheRunAtOnce) {
  Script script;
  RecordEntries(script);
  bool pressed = false;
  const auto watch = script.Watch;
  script.Watch = [&] {
    watch();
    if (pressed || !gOpeningEntry || gPlayItem.SegmentID != 4 || !KeyboardTaken()) return;
    pressed = true;
    TypeKey(Qt::Key_Escape);
  };
  RunQueue();
  EXPECT_TRUE(pressed);
  EXPECT_FALSE(script.TimedOut()) << "the run ended on Esc";
  EXPECT_TRUE(played_.empty()) << "no later entry played";
  EXPECT_FALSE(gDSSinkForm);
}

// A key typed while the entry opens is carried out once it plays: here a
// rating, typed before the pipe delivers the clip.
TEST_F(OpeningEntryTest, AKeyTypedWhileAnEntryOpensIsCarriedOutOnceItPlays) {
  QProcess feeder;
  bool typed = false;
  Script script;
  script.Watch = [&] {
    if (typed || !gOpeningEntry || gPlayItem.SegmentID != 4 || !KeyboardTaken()) return;
    typed = true;
    TypeKey(Qt::Key_3);
    EXPECT_NE(gOsdIcon, QStringLiteral("OV_STAR")) << "not while the entry opens";
    feeder.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("cat \"$0\" > \"$1\""),
                                        folder_ + QStringLiteral("Clip1.mkv"), pipe_});
  };
  script.Then([] { return gPlayItem.SegmentID == 4 && gPlayer->PlayState() == 2; }, [] { TypeKey(Qt::Key_Escape); });
  RunQueue();
  feeder.waitForFinished(5000);
  ASSERT_TRUE(typed);
  EXPECT_FALSE(script.TimedOut());
  auto rating = Db().OpenRecordset(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = 4"));
  EXPECT_EQ(rating->Value(0).toInt(), 3);
  EXPECT_EQ(gResults[1].Rating, 3);
}

TEST_F(FullScreenPlayerTest, TheWindowCoversTheScreenOfTheMainWindow) {
  if (!OnTwoScreens()) return;
  gMainForm->setGeometry(2000, 100, 1024, 700);
  QRect covered;
  Script script;
  script.Then(Playing(1, 0.1), [&] {
    covered = gDSSinkForm->geometry();
    ASSERT_TRUE(gPlayer->VideoWindow());
    EXPECT_EQ(gPlayer->VideoWindow()->size(), QSize(1280, 1024));
    Key(Qt::Key_Escape);
  });
  RunQueue();
  EXPECT_EQ(covered, QRect(1920, 0, 1280, 1024));
}

}  // namespace
}  // namespace rwtest
