// Keypad tagging in the full-screen player, on a library of a few tags and
// without any video: the window is made but never shown (showing it starts
// a run), and the display's text and the sounds asked for are what the test
// reads.
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/modSound.h"
#include "player/frmDSSink.h"
#include "player/modMainPlayer.h"
#include "tests/library/LibraryFixture.h"
#include "tests/support/EventLoopWaits.h"

#include <QElapsedTimer>
#include <QTest>

#include <initializer_list>

namespace {

constexpr int kNumpad0 = 96;
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kUp = 38;
constexpr int kDown = 40;
// Numpad digit d is key 96 + d.
int Digit(int d) { return 96 + d; }

class KeypadTaggingTest : public rwtest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    const QString path = gLibrariesFolder + QStringLiteral("Keypad.rw2");
    modReelwise::ExtractTemplateLibrary(path);
    SqlConnection::Open(path)->Execute(QStringLiteral(
        "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (5, 'S', '', 'a.mkv');"
        "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, Rating) VALUES "
        "(6, 5, NULL, 10, 1, 0)"));
    gLibrary->OpenLibrary(path, true);
    // Keypad digits: Apple 27753, Big Tree 244 8733, The Beach 843 23224,
    // Theatre 8432873, Treasure 8732773. No tag holds a 9.
    for (const char* name : {"The Beach", "Theatre", "Treasure", "Big Tree", "Apple"}) {
      gLibrary->CreateTag(QString::fromLatin1(name), QStringLiteral("T"), QVariant());
    }
    gLibrary->CreateTag(QStringLiteral("Animals"), QStringLiteral("C"), QVariant());  // not a tag to apply
    savedBeep_ = gSoundBeep;
    savedClick_ = gSoundClick;
    gSoundBeep = QByteArrayLiteral("beep");
    gSoundClick = QByteArrayLiteral("click");
    gPlayItem = ResultItem{};
    gPlayItem.SegmentID = 6;
    gOsdIcon.clear();
    gOsdText.clear();
    gOsdTimeText.clear();
    modSound::ClearEffectsLog();
  }

  void TearDown() override {
    form_.reset();
    modMainPlayer::SetPlayerHooks({});
    gSoundBeep = savedBeep_;
    gSoundClick = savedClick_;
    gPlayItem = ResultItem{};
    gOsdIcon.clear();
    gOsdText.clear();
    gOsdTimeText.clear();
    modSound::ClearEffectsLog();
    LibraryTest::TearDown();
  }

  frmDSSink& Form() { return *form_; }
  void Press(std::initializer_list<int> keys) {
    for (int key : keys) form_->Form_KeyUp(key, 0);
  }
  // The first value of a query's first row.
  static int Scalar(const QString& sql) { return gLibrary->Connection().OpenRecordset(sql)->Value(0).toInt(); }

  std::unique_ptr<frmDSSink> form_ = std::make_unique<frmDSSink>();

 private:
  QByteArray savedBeep_;
  QByteArray savedClick_;
};

TEST_F(KeypadTaggingTest, NumpadZeroShowsEveryTagWholeInNameOrder) {
  Press({kNumpad0});
  EXPECT_TRUE(Form().TaggingMode());
  EXPECT_EQ(gOsdText, QStringLiteral("////Apple//1/5")) << "tag 1 and the category are not offered";
  EXPECT_EQ(modSound::EffectsLog(), QList<QByteArray>{gSoundClick});
}

TEST_F(KeypadTaggingTest, TypedDigitsAreSetApartAndUpAndDownStayWithinTheMatches) {
  Press({kNumpad0, Digit(8), Digit(4), Digit(3)});
  EXPECT_EQ(gOsdText, QStringLiteral("//The// Beach//1/2"));
  Press({kUp});
  EXPECT_EQ(gOsdText, QStringLiteral("//The// Beach//1/2"));
  Press({kDown, kDown});
  EXPECT_EQ(gOsdText, QStringLiteral("//The//atre//2/2"));
  EXPECT_EQ(Form().CurrentTagID(), Scalar(QStringLiteral("SELECT TagID FROM Tags WHERE Tag = 'Theatre'")));
}

TEST_F(KeypadTaggingTest, DigitsFurtherInAreListedAfterEveryTagBeginningWithThem) {
  Press({kNumpad0, Digit(8), Digit(7), Digit(3)});
  EXPECT_EQ(gOsdText, QStringLiteral("//Tre//asure//1/3"));
  Press({kDown});
  EXPECT_EQ(gOsdText, QStringLiteral("Big //Tre//e//2/3"));
  Press({kDown});
  EXPECT_EQ(gOsdText, QStringLiteral("Thea//tre////3/3"));
}

TEST_F(KeypadTaggingTest, NoMatchBeepsAndTakesTheDigitBackThenKeysHeldMeanwhileFollowInOrder) {
  Press({kNumpad0, Digit(8)});
  modSound::ClearEffectsLog();
  QElapsedTimer wait;
  wait.start();
  Press({Digit(9)});
  EXPECT_EQ(gOsdText, QStringLiteral("////No Matches//"));
  EXPECT_EQ(Form().CurrentTagID(), 0);
  EXPECT_EQ(modSound::EffectsLog(), (QList<QByteArray>{gSoundClick, gSoundBeep}));
  Press({Digit(4), Digit(3)});  // released during the wait
  EXPECT_EQ(Form().TypedDigits(), QStringLiteral("89")) << "held while the wait lasts";
  ASSERT_TRUE(QTest::qWaitFor([this] { return Form().TypedDigits() == QLatin1String("843"); }, rwtest::kWaitCeilingMs))
      << Form().TypedDigits().toStdString();
  // Three quarters of a second, less the 5 % Qt's timers may come early.
  EXPECT_GE(wait.elapsed(), 712) << "the digit is not taken back before the wait is over";
  EXPECT_EQ(gOsdText, QStringLiteral("//The// Beach//1/2"));
}

TEST_F(KeypadTaggingTest, ClosingTheWindowDuringTheWaitLeavesTheDigitsAsTheyAre) {
  Press({kNumpad0, Digit(9)});
  Press({Digit(8)});
  Form().close();
  rwtest::RunTimersDueWithin(750);  // the wait would have ended
  EXPECT_EQ(Form().TypedDigits(), QStringLiteral("9"));
}

TEST_F(KeypadTaggingTest, EnterTagsThePlayingSegmentOnlyWhenATagIsShown) {
  form_->HandleTaggingKey(kEnter, 0);
  EXPECT_TRUE(gOsdText.isEmpty());
  EXPECT_TRUE(modSound::EffectsLog().isEmpty());

  Press({kNumpad0, Digit(2), kEnter});
  EXPECT_EQ(Scalar(QStringLiteral("SELECT count(*) FROM SegmentTags ST JOIN Tags T ON T.TagID = ST.TagID "
                                 "WHERE ST.SegmentID = 6 AND T.Tag = 'Apple'")),
            1);
  EXPECT_EQ(gOsdText, QStringLiteral("////Tag Applied...//"));
  EXPECT_FALSE(Form().TaggingMode());
  EXPECT_TRUE(Form().TypedDigits().isEmpty());
}

TEST_F(KeypadTaggingTest, EscapeCancelsAndRestartsTheFade) {
  int fades = 0;
  modMainPlayer::PlayerHooks hooks;
  hooks.RestartFade = [&fades] { ++fades; };
  modMainPlayer::SetPlayerHooks(hooks);
  Press({kNumpad0, Digit(8), kEscape});
  EXPECT_FALSE(Form().TaggingMode());
  EXPECT_EQ(gOsdText, QStringLiteral("////Cancelled...//"));
  EXPECT_EQ(gOsdIcon, QStringLiteral("OV_TAG"));
  EXPECT_EQ(fades, 1);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT count(*) FROM SegmentTags")), 0);
}

TEST_F(KeypadTaggingTest, NumpadZeroOnlyBeepsWhileAnABRepeatIsSet) {
  gOsdTimeText = QStringLiteral("AB");
  Press({kNumpad0});
  EXPECT_FALSE(Form().TaggingMode());
  EXPECT_TRUE(gOsdText.isEmpty());
  EXPECT_EQ(modSound::EffectsLog(), QList<QByteArray>{gSoundBeep});
}

}  // namespace
