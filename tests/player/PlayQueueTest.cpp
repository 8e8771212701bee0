// The full-screen player's play queue built from the results, and the
// playlist files handed to another player (launched through a recording
// desktop, so nothing starts).
#include "core/DesktopShell.h"
#include "player/modMainPlayer.h"
#include "tests/library/LibraryFixture.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

using modMainPlayer::BuildPlaylist;

struct CountingDesktop : DesktopShell {
  QStringList opened;
  int result = kShellLaunched;  // what every launch answers
  int OpenWithDefault(const QString& path) override {
    opened << path;
    return result;
  }
  int OpenWith(const QString&, const QString& path) override { return OpenWithDefault(path); }
  std::vector<DesktopApp> AppsFor(const QString&) override { return {}; }
  bool ShowOpenWithChooser(const QString&) override { return false; }
  bool ShowProperties(const QString&) override { return false; }
};

ResultItem Row(int32_t segmentId, const QString& path, const QString& name, double start = 0) {
  ResultItem item;
  item.SegmentID = segmentId;
  item.FileID = segmentId;
  item.CurrentPath = path;
  item.FileName = name;
  item.FileAlias = name.section(QLatin1Char('.'), 0, 0);
  item.SelectionStart = start;
  return item;
}

class PlayQueueTest : public rwtest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    auto desktop = std::make_unique<CountingDesktop>();
    desktop_ = desktop.get();
    previousDesktop_ = SetDesktopShell(std::move(desktop));
    ResetQueue();
    gUseInternalPlayer = true;  // no playlist file unless a test asks for one
    gTVOutMode = false;
    gPlaylistFormat = QStringLiteral("M3U");
  }

  void TearDown() override {
    SetDesktopShell(std::move(previousDesktop_));
    ResetQueue();
    LibraryTest::TearDown();
  }

  static void ResetQueue() {
    gPlayQueue.assign(1, ResultItem{});
    gPlayCount = 0;
    gPlayIndex = 0;
    gPlayQueueBuilt = false;
    gRandomPlayback = false;
    gPlayStartIndex = 0;
    gRepeatEntry = false;
  }

  // Rows 1 to n: SegmentID 10 * row, "Clip <row>.avi".
  static void Results(int n) {
    gResults.assign(1, ResultItem{});
    for (int i = 1; i <= n; ++i) {
      gResults.push_back(Row(10 * i, QStringLiteral("/videos/"), QStringLiteral("Clip %1.avi").arg(i)));
    }
    gLibrary->ResultCount = n;
    gLibrary->SelectedCount = 0;
  }
  // Exactly these rows selected.
  static void Select(std::initializer_list<int> rows) {
    gSelectedById.Reset();
    for (size_t i = 1; i < gResults.size(); ++i) gResults[i].Selected = false;
    for (int row : rows) {
      gResults[row].Selected = true;
      gSelectedById.Set(gResults[row].SegmentID, 1);
    }
    gLibrary->SelectedCount = static_cast<int32_t>(rows.size());
  }
  static std::vector<int32_t> Queued() {
    std::vector<int32_t> ids;
    for (int n = 1; n <= gPlayCount; ++n) ids.push_back(gPlayQueue[n].SegmentID);
    return ids;
  }
  static std::vector<ResultItem> Entries() { return {gPlayQueue.begin() + 1, gPlayQueue.begin() + 1 + gPlayCount}; }

  CountingDesktop* desktop_ = nullptr;
  std::unique_ptr<DesktopShell> previousDesktop_;
};

TEST_F(PlayQueueTest, WithoutASelectionEveryRowIsQueuedInResultOrderFromTheCurrentItem) {
  Results(4);
  gCurrentItem = gResults[3];
  BuildPlaylist();
  EXPECT_EQ(Queued(), (std::vector<int32_t>{10, 20, 30, 40}));
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(gPlayQueue[n].BrowserRow, n);
  EXPECT_TRUE(gPlayWholeQueue);
  EXPECT_TRUE(gPlayQueueBuilt);
  EXPECT_EQ(gPlayIndex, 3);
  EXPECT_FALSE(gRepeatEntry);
  EXPECT_TRUE(desktop_->opened.isEmpty()) << "the internal player plays the queue";
}

TEST_F(PlayQueueTest, ASelectionQueuesOnlyItsRowsAndTheRunStartsAtTheCurrentItemsPlaceInTheQueue) {
  Results(5);
  Select({2, 5});
  gCurrentItem = gResults[5];
  BuildPlaylist();
  EXPECT_EQ(Queued(), (std::vector<int32_t>{20, 50}));
  EXPECT_EQ(gPlayQueue[2].BrowserRow, 5);
  EXPECT_EQ(gPlayIndex, 2) << "the queue's place, not the row";

  gPlayQueueBuilt = false;
  gCurrentItem = gResults[3];
  BuildPlaylist();
  EXPECT_EQ(gPlayIndex, 1) << "a current item not queued starts the run at the first entry";

  Select({4});
  gPlayQueueBuilt = false;
  BuildPlaylist();
  EXPECT_EQ(Queued(), (std::vector<int32_t>{40}));
  EXPECT_TRUE(gRepeatEntry) << "a queue of one repeats it";
}

TEST_F(PlayQueueTest, ShuffledQueueHoldsTheSameRowsAndStartsAsManyEntriesInAsWereQueuedBeforeTheCurrentItem) {
  Results(60);
  gRandomPlayback = true;
  gCurrentItem = gResults[11];
  BuildPlaylist();
  std::vector<int32_t> ids = Queued();
  std::vector<int32_t> inOrder;
  for (int i = 1; i <= 60; ++i) inOrder.push_back(10 * i);
  EXPECT_NE(ids, inOrder);
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, inOrder);
  for (int n = 1; n <= 60; ++n) EXPECT_EQ(gPlayQueue[n].SegmentID, 10 * gPlayQueue[n].BrowserRow) << "entry " << n;
  EXPECT_EQ(gPlayIndex, 10);

  // Kept, the shuffled queue goes on at the current item's entry.
  const std::vector<int32_t> shuffled = Queued();
  gCurrentItem = gResults[30];
  BuildPlaylist();
  EXPECT_EQ(Queued(), shuffled);
  EXPECT_EQ(gPlayQueue[gPlayIndex].SegmentID, 300);
}

TEST_F(PlayQueueTest, AKeptQueueIsNotRebuiltAndResumesAtTheCurrentItem) {
  Results(3);
  BuildPlaylist();
  gResults[1].SegmentID = 99;
  gCurrentItem = gResults[2];
  BuildPlaylist();
  EXPECT_EQ(Queued(), (std::vector<int32_t>{10, 20, 30}));
  EXPECT_EQ(gPlayIndex, 2);
}

TEST_F(PlayQueueTest, AOneItemRunPlaysEntryZeroAndResumesItWhenBuiltAgain) {
  Results(3);
  gPlayStartIndex = 2;
  BuildPlaylist();
  EXPECT_FALSE(gPlayWholeQueue);
  EXPECT_EQ(gPlayCount, 0);
  EXPECT_EQ(gPlayQueue[0].SegmentID, 20);
  EXPECT_EQ(gPlayQueue[0].BrowserRow, 2);
  EXPECT_FALSE(gPlayQueueBuilt);
  BuildPlaylist();
  EXPECT_TRUE(gPlayQueueBuilt);
  EXPECT_EQ(gPlayQueue[0].SegmentID, 20);
}

// Another library may number another file's segment as the queued one: the
// run then plays the new row's file from its start, not the old file.
TEST_F(PlayQueueTest, AOneItemRunOfAnotherFileWithTheSameSegmentNumberIsNotResumed) {
  Results(3);
  gPlayStartIndex = 2;
  BuildPlaylist();
  gResults[2].FileID = 77;
  gResults[2].CurrentPath = QStringLiteral("/other library/");
  gResults[2].FileName = QStringLiteral("Other.mkv");
  BuildPlaylist();
  EXPECT_FALSE(gPlayQueueBuilt) << "nothing to resume";
  EXPECT_EQ(gPlayQueue[0].FileName, QStringLiteral("Other.mkv"));
  EXPECT_EQ(gPlayQueue[0].CurrentPath, QStringLiteral("/other library/"));
}

// Rows for the playlist texts: a unicode name, a name with XML's special
// characters, an offline file, a name with a line break and a plain one.
std::vector<ResultItem> PlaylistRows() {
  return {Row(1, QStringLiteral("/videos/films/"), QStringLiteral("Ünïcødé 映画.mp4")),
          Row(2, QStringLiteral("/videos/it's/"), QStringLiteral("Tom & Jerry <1>.avi"), 12.5),
          Row(3, QStringLiteral("[Offline] Holiday disk/"), QStringLiteral("Beach.mkv")),
          Row(4, QStringLiteral("/videos/"), QStringLiteral("Two\nlines.mkv")),
          Row(5, QStringLiteral("/videos/"), QStringLiteral("Last.mkv"), 3)};
}

TEST_F(PlayQueueTest, PlaylistTextsInTheirThreeFormatsLeaveOutWhatAnotherProgramCannotOpen) {
  QStringList left;
  EXPECT_EQ(modMainPlayer::PlaylistText(PlaylistRows(), QStringLiteral("M3U"), &left),
            QByteArray("#EXTM3U\r\n"
                       "#EXTINF:Ünïcødé 映画\r\n/videos/films/Ünïcødé 映画.mp4\r\n"
                       "#EXTINF:Tom & Jerry <1>\r\n/videos/it's/Tom & Jerry <1>.avi\r\n"
                       "#EXTINF:Last\r\n/videos/Last.mkv\r\n"));
  EXPECT_EQ(left, QStringList({QStringLiteral("Beach.mkv"), QStringLiteral("Two lines.mkv")}));

  EXPECT_EQ(modMainPlayer::PlaylistText(PlaylistRows(), QStringLiteral("ASX")),
            QByteArray("<asx version = 3.0>\r\n"
                       "  <entry>\r\n"
                       "    <title>\"Ünïcødé 映画.mp4\"</title>\r\n"
                       "    <ref href = \"/videos/films/Ünïcødé 映画.mp4\"/>\r\n"
                       "    <STARTTIME  Value = \"0\" />\r\n"
                       "  </entry>\r\n"
                       "  <entry>\r\n"
                       "    <title>\"Tom &amp; Jerry &lt;1&gt;.avi\"</title>\r\n"
                       "    <ref href = \"/videos/it&apos;s/Tom &amp; Jerry &lt;1&gt;.avi\"/>\r\n"
                       "    <STARTTIME  Value = \"12.5\" />\r\n"
                       "  </entry>\r\n"
                       "  <entry>\r\n"
                       "    <title>\"Last.mkv\"</title>\r\n"
                       "    <ref href = \"/videos/Last.mkv\"/>\r\n"
                       "    <STARTTIME  Value = \"3\" />\r\n"
                       "  </entry>\r\n"
                       "</asx>\r\n"));

  EXPECT_EQ(modMainPlayer::PlaylistText(PlaylistRows(), QStringLiteral("PLS")),
            QByteArray("[playlist]\r\n"
                       "File1=/videos/films/Ünïcødé 映画.mp4\r\n"
                       "File2=/videos/it's/Tom & Jerry <1>.avi\r\n"
                       "File3=/videos/Last.mkv\r\n"));
}

// Names escaped at their first and last characters, a character beyond the
// basic plane, a lone surrogate and a name longer than a usual entry: the
// bytes are those of the expected text encoded whole.
TEST_F(PlayQueueTest, PlaylistTextIsTheWholeTextEncodedWhateverTheNames) {
  const QString longName = QString(1000, QChar(0x6620)) + QStringLiteral(".mkv");
  const QString lone = QStringLiteral("Lone ") + QChar(0xD83C) + QStringLiteral(".mkv");
  const std::vector<ResultItem> rows = {Row(1, QStringLiteral("/v/'x&/"), QStringLiteral("<\"&'>.mkv")),
                                        Row(2, QStringLiteral("/v/"), QStringLiteral("Pop 🎬.mp4"), 0.25),
                                        Row(3, QStringLiteral("/v/"), lone),
                                        Row(4, QStringLiteral("/v/"), longName)};
  QString asx = QStringLiteral("<asx version = 3.0>\r\n");
  for (const auto& [title, href, start] :
       {std::tuple{QStringLiteral("&lt;&quot;&amp;&apos;&gt;.mkv"),
                   QStringLiteral("/v/&apos;x&amp;/&lt;&quot;&amp;&apos;&gt;.mkv"), QStringLiteral("0")},
        std::tuple{QStringLiteral("Pop 🎬.mp4"), QStringLiteral("/v/Pop 🎬.mp4"), QStringLiteral("0.25")},
        std::tuple{lone, QStringLiteral("/v/") + lone, QStringLiteral("0")},
        std::tuple{longName, QStringLiteral("/v/") + longName, QStringLiteral("0")}}) {
    asx += QStringLiteral("  <entry>\r\n    <title>\"") + title + QStringLiteral("\"</title>\r\n    <ref href = \"") +
           href + QStringLiteral("\"/>\r\n    <STARTTIME  Value = \"") + start +
           QStringLiteral("\" />\r\n  </entry>\r\n");
  }
  asx += QStringLiteral("</asx>\r\n");
  EXPECT_EQ(modMainPlayer::PlaylistText(rows, QStringLiteral("ASX")), asx.toUtf8());
  QString m3u = QStringLiteral("#EXTM3U\r\n");
  for (const ResultItem& row : rows) {
    m3u += QStringLiteral("#EXTINF:") + row.FileAlias + QStringLiteral("\r\n") + row.CurrentPath + row.FileName +
           QStringLiteral("\r\n");
  }
  EXPECT_EQ(modMainPlayer::PlaylistText(rows, QStringLiteral("M3U")), m3u.toUtf8());
}

TEST_F(PlayQueueTest, WholeFilesForAnotherPlayerAreWrittenAndLaunchedAtEveryRunNamingTheFilesLeftOut) {
  gUseInternalPlayer = false;
  gResultKind = ResultScope::File;
  Results(2);
  gResults.push_back(Row(30, QStringLiteral("[Offline] Holiday disk/"), QStringLiteral("Beach.mkv")));
  gLibrary->ResultCount = 3;
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });

  BuildPlaylist();
  const QString path = gTempFolder + QStringLiteral("playlist.M3U");
  EXPECT_EQ(desktop_->opened, QStringList({path}));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), modMainPlayer::PlaylistText(Entries(), gPlaylistFormat));
  file.close();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.endsWith(QStringLiteral("\r\nBeach.mkv")));
  EXPECT_EQ(boxes.Last().style, vbInformation);

  gPlayQueueBuilt = false;
  BuildPlaylist();
  EXPECT_EQ(desktop_->opened.size(), 2) << "the same playlist is launched again";
  ASSERT_TRUE(gPlayQueueBuilt);
  BuildPlaylist();
  EXPECT_EQ(desktop_->opened.size(), 3) << "a kept queue is written and launched as well";
}

// Without an application for playlists the user learns where the playlist
// is, to open it by hand; any other failure names the playlist too.
TEST_F(PlayQueueTest, WithNoApplicationForPlaylistsTheMessageNamesThePlaylistsFullPath) {
  gUseInternalPlayer = false;
  gResultKind = ResultScope::File;
  Results(2);
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  desktop_->result = SE_ERR_NOASSOC;
  BuildPlaylist();
  const QString path = QDir::toNativeSeparators(gTempFolder + QStringLiteral("playlist.M3U"));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Playlist"));
  EXPECT_EQ(boxes.Last().style, vbExclamation);
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("No application of this desktop opens M3U playlists")))
      << boxes.Last().prompt.toStdString();
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("\r\n") + path + QStringLiteral("\r\n")));
  EXPECT_TRUE(QFile::exists(path)) << "the playlist is there to be opened by hand";

  desktop_->result = SE_ERR_ACCESSDENIED;
  const QString told = modMainPlayer::WriteAndLaunchPlaylist();
  EXPECT_EQ(told, boxes.Last().prompt);
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("Access denied")));
  EXPECT_TRUE(boxes.Last().prompt.endsWith(path));
}

TEST_F(PlayQueueTest, NothingIsWrittenOrLaunchedWhenEveryEntryIsOffline) {
  gResults.assign(1, ResultItem{});
  gResults.push_back(Row(10, QStringLiteral("[Offline] A/"), QStringLiteral("One.mkv")));
  gResults.push_back(Row(20, QStringLiteral("[Offline] B/"), QStringLiteral("Two.mkv")));
  gLibrary->ResultCount = 2;
  BuildPlaylist();
  boxes.Answer(vbOK);
  EXPECT_FALSE(modMainPlayer::WriteAndLaunchPlaylist().isEmpty());
  EXPECT_TRUE(desktop_->opened.isEmpty());
  EXPECT_FALSE(QFile::exists(gTempFolder + QStringLiteral("playlist.M3U")));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.endsWith(QStringLiteral("One.mkv\r\nTwo.mkv")));
}

// On a real full disk each format's earlier playlist stays whole, the
// failure is told with the file's name, and nothing is launched.
TEST_F(PlayQueueTest, OnAFullDiskTheEarlierPlaylistIsKeptAndNothingIsLaunched) {
  rwtest::SmallDisk disk;
  if (!disk.Here()) return;
  gUseInternalPlayer = false;
  gResultKind = ResultScope::File;
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  const QString temp = gTempFolder;
  gTempFolder = disk.Folder() + QLatin1Char('/');
  for (const QString& format : {QStringLiteral("M3U"), QStringLiteral("ASX"), QStringLiteral("PLS")}) {
    SCOPED_TRACE(format.toStdString());
    gPlaylistFormat = format;
    const QString path = gTempFolder + QStringLiteral("playlist.") + format;
    Results(2);
    gPlayQueueBuilt = false;
    BuildPlaylist();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    Results(300);  // a playlist of many kilobytes
    gPlayQueueBuilt = false;
    disk.Fill();
    boxes.Clear();
    const int launched = static_cast<int>(desktop_->opened.size());
    BuildPlaylist();
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Last().prompt.contains(QDir::toNativeSeparators(path))) << boxes.Last().prompt.toStdString();
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("The disk is full.")));
    EXPECT_EQ(desktop_->opened.size(), launched);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();
    disk.Free();
  }
  gTempFolder = temp;
}

}  // namespace
