// The folder walk of the Add Files command over real folders of the test:
// the walk order, what is passed over and what is counted as skipped (hidden
// entries, links, other mounts, folders that cannot be read, unusable names),
// the sizes and paths of the items, the yield during a long walk, the report
// of a run and the file patterns.
#include "import/modFolderScan.h"
#include "tests/support/DroppedFileCapabilities.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestTickClock.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using modFolderScan::SkippedEntries;
using modFolderScan::SkipReason;

constexpr auto kVideoPatterns = "*.avi;*.divx;*.mkv;*.mp4;*.m4v;*.mov;*.mpg;*.mpeg;*.ts;*.m2ts;*.vob;*.webm;*.wmv";

int Count(const SkippedEntries& skips, SkipReason reason) { return skips.count[static_cast<size_t>(reason)]; }

const QStringList& Examples(const SkippedEntries& skips, SkipReason reason) {
  return skips.examples[static_cast<size_t>(reason)];
}

// The permissions of a file or folder changed for a test, then put back to
// the owner's, so that the temporary folders can be removed.
class ChangedMode {
 public:
  ChangedMode(QByteArray path, mode_t mode) : path_(std::move(path)) { made_ = ::chmod(path_.constData(), mode) == 0; }
  ~ChangedMode() { ::chmod(path_.constData(), 0700); }
  ChangedMode(const ChangedMode&) = delete;
  ChangedMode& operator=(const ChangedMode&) = delete;

  bool Made() const { return made_; }

 private:
  QByteArray path_;
  bool made_ = false;
};

class FolderScanTest : public rwtest::TempHomeTest {
 protected:
  // The scratch folder as the walk is given it, with a trailing "/".
  QString Top() const { return Scratch() + QLatin1Char('/'); }
  // A path below the scratch folder as bytes, which need not be UTF-8.
  QByteArray Raw(const QByteArray& relative) const { return QFile::encodeName(Top()) + relative; }

  void MakeFile(const QByteArray& relative, qint64 size = 0) {
    const int fd = ::open(Raw(relative).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << relative.toHex().constData();
    made_.push_back(Raw(relative));
    if (size > 0) {
      EXPECT_EQ(::ftruncate(fd, size), 0);
    }
    ::close(fd);
  }
  void MakeFolder(const QByteArray& relative) {
    ASSERT_EQ(::mkdir(Raw(relative).constData(), 0755), 0) << relative.toHex().constData();
    made_.push_back(Raw(relative));
  }
  void MakeLink(const QByteArray& target, const QByteArray& relative) {
    ASSERT_EQ(::symlink(target.constData(), Raw(relative).constData()), 0) << relative.constData();
    made_.push_back(Raw(relative));
  }

  void Scan(const QString& pattern = QStringLiteral("*"), bool recursive = true) { ScanAt(Top(), pattern, recursive); }
  void ScanAt(const QString& folder, const QString& pattern = QStringLiteral("*"), bool recursive = true) {
    queue.clear();
    skips = {};
    modFolderScan::ScanFolder(folder, {.pattern = pattern, .recursive = recursive, .yield = [] {}}, queue, skips);
  }

  // The queued paths below the scratch folder, in queue order.
  QStringList Queued() const {
    QStringList paths;
    for (const QString& item : queue) {
      qint64 size = -1;
      QString path;
      EXPECT_TRUE(modFolderScan::SplitQueueItem(item, size, path)) << item.toStdString();
      EXPECT_TRUE(path.startsWith(Top())) << item.toStdString();
      paths.append(path.mid(Top().size()));
    }
    return paths;
  }

  // Removes what the test made, last first: the temporary folder's own
  // removal cannot reach names that are not UTF-8.
  void TearDown() override {
    for (auto path = made_.rbegin(); path != made_.rend(); ++path) {
      if (::unlink(path->constData()) != 0) ::rmdir(path->constData());
    }
    rwtest::TempHomeTest::TearDown();
  }

  QStringList queue;
  SkippedEntries skips;

 private:
  std::vector<QByteArray> made_;
};

// --- What the walk takes, and in which order -------------------------------

TEST_F(FolderScanTest, HiddenEntriesAreNeitherEnteredNorQueuedNorCounted) {
  MakeFile("shown.avi");
  MakeFile(".hidden.avi");
  MakeFolder(".cache");
  MakeFile(".cache/inside.avi");
  MakeLink("shown.avi", ".link.avi");
  MakeFolder(".back\\slash");
  MakeFile(".\xFF.avi");

  Scan();

  EXPECT_EQ(Queued(), QStringList{QStringLiteral("shown.avi")});
  EXPECT_EQ(skips.Total(), 0);
  EXPECT_TRUE(skips.Report().isEmpty());
}

TEST_F(FolderScanTest, WalksDepthFirstInByteOrderOfNames) {
  for (const char* folder : {"a", "a/b", "Z"}) MakeFolder(folder);
  for (const char* file : {"b.avi", "a.avi", "a/z.avi", "a/b/y.avi", "c.avi", "Z/x.avi", "\xC3\xA9.avi"}) {
    MakeFile(file);
  }
  MakeFile("B.avi", 3);

  Scan();

  // Upper case before lower case, "a" before "a.avi", "é" (0xC3) after ASCII;
  // a sub-folder's files come where its name comes.
  const QStringList expected = {QStringLiteral("B.avi"),   QStringLiteral("Z/x.avi"), QStringLiteral("a/b/y.avi"),
                                QStringLiteral("a/z.avi"), QStringLiteral("a.avi"),   QStringLiteral("b.avi"),
                                QStringLiteral("c.avi"),   QStringLiteral(u"\u00E9.avi")};
  EXPECT_EQ(Queued(), expected);
  ASSERT_FALSE(queue.isEmpty());
  EXPECT_EQ(queue.first(), QStringLiteral("3???") + Top() + QStringLiteral("B.avi"));
}

TEST_F(FolderScanTest, WithoutSubFoldersOnlyTheFolderItselfIsWalked) {
  MakeFile("top.avi");
  MakeFolder("sub");
  MakeFile("sub/inner.avi");
  MakeFolder("bad\\name");
  MakeFolder("locked");
  const ChangedMode locked(Raw("locked"), 0);

  Scan(QStringLiteral("*"), false);

  EXPECT_EQ(Queued(), QStringList{QStringLiteral("top.avi")});
  EXPECT_EQ(skips.Total(), 0);  // folders not walked are not skipped either
}

TEST_F(FolderScanTest, OnlyRegularFilesMatchingThePatternAreQueued) {
  for (const char* file : {"*Star.avi", "Clip.AVI", "film.mkv", "film.mkv.part", "notes.txt"}) MakeFile(file);
  MakeFolder("folder.avi");
  MakeFile("folder.avi/x.mkv");
  ASSERT_EQ(::mkfifo(Raw("pipe.avi").constData(), 0644), 0);
  ASSERT_EQ(::mkfifo(Raw("pipe.txt").constData(), 0644), 0);

  Scan(QStringLiteral("*.avi;*.mkv"));

  const QStringList expected = {QStringLiteral("*Star.avi"), QStringLiteral("Clip.AVI"), QStringLiteral("film.mkv"),
                                QStringLiteral("folder.avi/x.mkv")};
  EXPECT_EQ(Queued(), expected);
  // The pipe named like a film is told as not scanned; one named otherwise
  // is passed over as any other file the patterns do not ask for.
  EXPECT_EQ(skips.Total(), 1);
  EXPECT_EQ(Examples(skips, SkipReason::NoFile), QStringList{Top() + QStringLiteral("pipe.avi")});
  EXPECT_TRUE(skips.Report().contains(QStringLiteral("1 entry that is no file (a pipe, socket or device)\r\n     ") +
                                      Top() + QStringLiteral("pipe.avi")))
      << skips.Report().toStdString();
}

// --- Entries counted as skipped ---------------------------------------------

TEST_F(FolderScanTest, SymbolicLinksAreCountedAndNeverFollowed) {
  MakeFolder("loop");
  MakeFile("loop/film.avi");
  MakeLink("..", "loop/up");  // a link to its own parent: following it never ends
  MakeLink("film.avi", "loop/alias.avi");
  MakeLink("nowhere", "dangling.avi");

  Scan();

  EXPECT_EQ(Queued(), QStringList{QStringLiteral("loop/film.avi")});
  EXPECT_EQ(Count(skips, SkipReason::SymbolicLink), 3);
  const QStringList examples = {Top() + QStringLiteral("dangling.avi"), Top() + QStringLiteral("loop/alias.avi"),
                                Top() + QStringLiteral("loop/up")};
  EXPECT_EQ(Examples(skips, SkipReason::SymbolicLink), examples);
  EXPECT_EQ(skips.Total(), 3);
}

TEST_F(FolderScanTest, FolderListedAsAMountPointIsSkippedButTheScannedFolderMayBeOne) {
  MakeFolder("disk");
  MakeFile("disk/film.avi");
  MakeFolder("plain");
  MakeFile("plain/film.avi");
  System().Mount(Scratch(), QStringLiteral("ext4"), QStringLiteral("/dev/sdb1"));
  System().Mount(ScratchPath(QStringLiteral("disk")), QStringLiteral("ext4"), QStringLiteral("/dev/sdc1"));
  System().Write();

  Scan();

  EXPECT_EQ(Queued(), QStringList{QStringLiteral("plain/film.avi")});
  EXPECT_EQ(Count(skips, SkipReason::OtherMount), 1);
  EXPECT_EQ(Examples(skips, SkipReason::OtherMount), QStringList{ScratchPath(QStringLiteral("disk"))});
  EXPECT_TRUE(skips.Report().contains(QStringLiteral("1 folder on another mount (scan it on its own)\r\n     ") +
                                      ScratchPath(QStringLiteral("disk"))));
}

TEST_F(FolderScanTest, FolderOnAnotherDeviceIsSkippedThoughTheMountTableIsEmpty) {
  // /dev usually holds mounts of its own; the test's mount table lists none,
  // so only their device numbers tell.
  struct stat dev {};
  ASSERT_EQ(::stat("/dev", &dev), 0);
  int others = 0;
  for (const char* path : {"/dev/pts", "/dev/shm", "/dev/mqueue"}) {
    struct stat sub {};
    if (::lstat(path, &sub) == 0 && S_ISDIR(sub.st_mode) && sub.st_dev != dev.st_dev) ++others;
  }
  if (others == 0) GTEST_SKIP() << "no sub-folder of /dev is on another device here";

  ScanAt(QStringLiteral("/dev/"), QString());

  EXPECT_TRUE(queue.isEmpty());
  EXPECT_GE(Count(skips, SkipReason::OtherMount), others);
  for (const QString& path : Examples(skips, SkipReason::OtherMount)) {
    struct stat sub {};
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &sub), 0) << path.toStdString();
    EXPECT_NE(sub.st_dev, dev.st_dev) << path.toStdString();
  }
}

TEST_F(FolderScanTest, BackslashesAndInvalidUtf8AreBadNamesOfFilesAndFolders) {
  MakeFile("good.avi");
  MakeFile("back\\slash.avi");
  MakeFolder("dir\\x");
  MakeFile("dir\\x/in.avi");
  MakeFile("\xFF" "clip.avi");
  MakeFolder("\xFE" "dir");
  MakeFile("\xFE" "dir/in.avi");
  MakeFile("\xFF.txt");  // a file the pattern does not take is no loss

  Scan(QStringLiteral("*.avi"));

  EXPECT_EQ(Queued(), QStringList{QStringLiteral("good.avi")});
  EXPECT_EQ(Count(skips, SkipReason::BadName), 4);
  const QStringList examples = {Top() + QStringLiteral("back\\slash.avi"), Top() + QStringLiteral("dir\\x"),
                                Top() + QStringLiteral(u"\uFFFDdir")};
  EXPECT_EQ(Examples(skips, SkipReason::BadName), examples);
  EXPECT_EQ(skips.Total(), 4);
}

TEST_F(FolderScanTest, Utf8IsCheckedStrictlyAndKeptExactly) {
  for (const char* bad : {"\xC0\xAF.avi",           // overlong "/"
                          "\xE0\x80\xAF.avi",       // overlong, three bytes
                          "\xED\xA0\x80.avi",       // a surrogate
                          "\xF4\x90\x80\x80.avi",   // beyond U+10FFFF
                          "\xE2\x82.avi"}) {        // cut short
    MakeFile(bad);
  }
  MakeFile("\xF0\x9F\x8E\xAC.avi");          // U+1F3AC, four bytes
  MakeFile("\xEF\xBB\xBF" "bom.avi");         // begins with a byte order mark
  MakeFile("a\xE2\x80\x8B" "b.avi");         // a zero-width space inside

  Scan();

  EXPECT_EQ(Count(skips, SkipReason::BadName), 5);
  const QStringList expected = {QStringLiteral(u"a\u200Bb.avi"), QStringLiteral(u"\uFEFFbom.avi"),
                                QString::fromUcs4(U"\U0001F3AC.avi")};
  EXPECT_EQ(Queued(), expected);
}

TEST_F(FolderScanTest, NfcAndNfdNamesAreBothQueuedUnchanged) {
  MakeFile("caf\xC3\xA9.avi");   // é as one code point
  MakeFile("cafe\xCC\x81.avi");  // e and a combining acute accent
  MakeFolder("\xC3\xA9t\xC3\xA9");
  MakeFile("\xC3\xA9t\xC3\xA9/e\xCC\x81.avi");

  Scan();

  const QStringList expected = {QStringLiteral(u"cafe\u0301.avi"), QStringLiteral(u"caf\u00E9.avi"),
                                QStringLiteral(u"\u00E9t\u00E9/e\u0301.avi")};
  EXPECT_EQ(Queued(), expected);
  EXPECT_EQ(skips.Total(), 0);
}

TEST_F(FolderScanTest, LongNamesAreQueuedWhole) {
  const QByteArray ascii = QByteArray(246, 'x') + ".avi";  // 250 bytes
  QByteArray accented;
  for (int i = 0; i < 125; ++i) accented += "\xC3\xA9";
  accented += "x.mkv";  // 255 bytes, the most a name may have
  ASSERT_EQ(ascii.size(), 250);
  ASSERT_EQ(accented.size(), 255);
  MakeFolder(ascii.left(200));
  MakeFile(ascii.left(200) + '/' + ascii);
  MakeFile(accented);

  Scan();

  const QStringList expected = {QString::fromLatin1(ascii.left(200) + '/' + ascii), QString::fromUtf8(accented)};
  EXPECT_EQ(Queued(), expected);
}

TEST_F(FolderScanTest, SizeOfASixGigabyteFileIsExact) {
  MakeFile("big.mkv", 6442450944LL);  // sparse: takes no room on the disk
  MakeFile("small.mkv", 1);

  Scan();

  const QStringList expected = {QStringLiteral("6442450944???") + Top() + QStringLiteral("big.mkv"),
                                QStringLiteral("1???") + Top() + QStringLiteral("small.mkv")};
  EXPECT_EQ(queue, expected);
}

TEST_F(FolderScanTest, NamesHoldingTheSeparatorSplitAtItsFirstOccurrence) {
  MakeFolder("x???y");
  MakeFile("x???y/a???b???.avi", 7);

  Scan();

  ASSERT_EQ(queue.size(), 1);
  qint64 size = -1;
  QString path;
  ASSERT_TRUE(modFolderScan::SplitQueueItem(queue.first(), size, path));
  EXPECT_EQ(size, 7);
  EXPECT_EQ(path, Top() + QStringLiteral("x???y/a???b???.avi"));
}

// --- Permissions -------------------------------------------------------------

TEST_F(FolderScanTest, FoldersThatCannotBeReadAreReportedAndUnreadableFilesQueued) {
  MakeFolder("locked");
  MakeFile("locked/film.avi");
  MakeFolder("listonly");  // listed, but its entries cannot be examined
  MakeFile("listonly/film.avi");
  MakeFolder("readonly");
  MakeFile("readonly/film.avi");
  MakeFile("private.avi");
  const ChangedMode locked(Raw("locked"), 0);
  const ChangedMode listOnly(Raw("listonly"), 0400);
  const ChangedMode privateFile(Raw("private.avi"), 0);
  const rwtest::ReadOnlyFolder readOnly(ScratchPath(QStringLiteral("readonly")));
  ASSERT_TRUE(locked.Made() && listOnly.Made() && privateFile.Made() && readOnly.Made());

  // Root reads every folder whatever its permissions.
  const rwtest::DroppedFileCapabilities dropped;
  const int probe = ::open(Raw("locked").constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (probe >= 0) {
    ::close(probe);
    GTEST_SKIP() << "the folder with no permissions can still be read: the capabilities to read any file could "
                    "not be given up (dropped: "
                 << dropped.Dropped() << ")";
  }

  Scan();

  const QStringList expected = {QStringLiteral("private.avi"), QStringLiteral("readonly/film.avi")};
  EXPECT_EQ(Queued(), expected);
  EXPECT_EQ(Count(skips, SkipReason::Unreadable), 2);
  const QStringList examples = {ScratchPath(QStringLiteral("listonly")), ScratchPath(QStringLiteral("locked"))};
  EXPECT_EQ(Examples(skips, SkipReason::Unreadable), examples);
  EXPECT_TRUE(skips.Report().contains(QStringLiteral("2 folders that could not be read\r\n     ") + examples[0]));

  // The scanned folder itself.
  ScanAt(ScratchPath(QStringLiteral("locked/")));
  EXPECT_TRUE(queue.isEmpty());
  EXPECT_EQ(Count(skips, SkipReason::Unreadable), 1);
  EXPECT_EQ(Examples(skips, SkipReason::Unreadable), QStringList{ScratchPath(QStringLiteral("locked"))});
}

TEST_F(FolderScanTest, MissingScannedFolderIsReportedAsUnreadable) {
  ScanAt(ScratchPath(QStringLiteral("gone/")));

  EXPECT_TRUE(queue.isEmpty());
  EXPECT_EQ(Count(skips, SkipReason::Unreadable), 1);
  EXPECT_EQ(Examples(skips, SkipReason::Unreadable), QStringList{ScratchPath(QStringLiteral("gone"))});
}

// --- Yielding ----------------------------------------------------------------

// The walk runs on a clock of the test's that moves on a millisecond at every
// reading: the walk must read it for every entry and hand control over once
// 50 of those milliseconds have passed. How long a real walk goes without a
// yield is measured by bench_folderscan.
TEST_F(FolderScanTest, LongWalkYieldsAtLeastEvery50Ms) {
  constexpr int kLinks = 1000;
  MakeFile("clip.wmv");
  const QByteArray first = Raw("clip.wmv");
  for (int i = 0; i < kLinks; ++i) {
    ASSERT_EQ(::link(first.constData(), Raw("clip" + QByteArray::number(i) + ".wmv").constData()), 0);
  }
  rwtest::TestTickClock clock;
  clock.stepPerRead = 1;
  uint64_t since = clock.now;
  uint64_t longest = 0;
  int yields = 0;
  const auto yield = [&] {
    longest = std::max(longest, clock.now - since);
    ++yields;
    since = clock.now;
  };

  modFolderScan::ScanFolder(Top(), {.pattern = QLatin1String(kVideoPatterns), .yield = yield}, queue, skips);
  longest = std::max(longest, clock.now - since);

  EXPECT_EQ(queue.size(), kLinks + 1);
  EXPECT_LE(longest, 51u) << "the longest stretch without a yield, in readings of the clock";
  EXPECT_GE(yields, kLinks / 50) << "the clock is read for every entry";

  // Without a yield function the walk handles none of the program's events:
  // a call queued before it runs after it.
  bool delivered = false;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&] { delivered = true; }, Qt::QueuedConnection);
  queue.clear();
  modFolderScan::ScanFolder(Top(), {.pattern = QLatin1String(kVideoPatterns), .yield = {}}, queue, skips);
  EXPECT_EQ(queue.size(), kLinks + 1);
  EXPECT_FALSE(delivered) << "the walk handled an event";
  EXPECT_TRUE(QTest::qWaitFor([&] { return delivered; }, rwtest::kWaitCeilingMs));
}

// --- The report --------------------------------------------------------------

TEST(FolderScanReportTest, NothingSkippedGivesNoText) {
  const SkippedEntries none;
  EXPECT_EQ(none.Total(), 0);
  EXPECT_TRUE(none.Report().isEmpty());
}

TEST(FolderScanReportTest, ReasonsInOrderWithAtMostThreeExamplesEach) {
  SkippedEntries skips;
  for (const char* path : {"/m/r1", "/m/r2", "/m/r3", "/m/r4"}) skips.Add(SkipReason::Unreadable, path);
  skips.Add(SkipReason::BadName, QStringLiteral("/m/b\\c.avi"));
  skips.Add(SkipReason::SymbolicLink, QStringLiteral("/m/a/link"));
  skips.Add(SkipReason::BadName, QStringLiteral(u"/m/\uFFFD.avi"));

  EXPECT_EQ(skips.Total(), 7);
  EXPECT_EQ(skips.Report(), QStringLiteral(u"Some entries were not scanned:\r\n"
                                           u"\r\n"
                                           u"1 symbolic link (not followed)\r\n"
                                           u"     /m/a/link\r\n"
                                           u"4 folders that could not be read\r\n"
                                           u"     /m/r1\r\n"
                                           u"     /m/r2\r\n"
                                           u"     /m/r3\r\n"
                                           u"2 names not valid UTF-8 or holding a backslash\r\n"
                                           u"     /m/b\\c.avi\r\n"
                                           u"     /m/\uFFFD.avi"));
}

TEST(FolderScanReportTest, SingularAndPluralOfEachReason) {
  SkippedEntries one;
  SkippedEntries two;
  for (int reason = 0; reason < 5; ++reason) {
    one.Add(SkipReason(reason), QStringLiteral("/x"));
    two.Add(SkipReason(reason), QStringLiteral("/x"));
    two.Add(SkipReason(reason), QStringLiteral("/y"));
  }
  const QStringList oneLines = one.Report().split(QStringLiteral("\r\n"));
  const QStringList twoLines = two.Report().split(QStringLiteral("\r\n"));
  EXPECT_EQ(oneLines.filter(QRegularExpression(QStringLiteral("^\\d"))),
            QStringList({QStringLiteral("1 symbolic link (not followed)"),
                         QStringLiteral("1 folder on another mount (scan it on its own)"),
                         QStringLiteral("1 folder that could not be read"),
                         QStringLiteral("1 name not valid UTF-8 or holding a backslash"),
                         QStringLiteral("1 entry that is no file (a pipe, socket or device)")}));
  EXPECT_EQ(twoLines.filter(QRegularExpression(QStringLiteral("^\\d"))),
            QStringList({QStringLiteral("2 symbolic links (not followed)"),
                         QStringLiteral("2 folders on another mount (scan those on their own)"),
                         QStringLiteral("2 folders that could not be read"),
                         QStringLiteral("2 names not valid UTF-8 or holding a backslash"),
                         QStringLiteral("2 entries that are no files (pipes, sockets or devices)")}));
}

// --- Patterns and queue items -------------------------------------------------

TEST(FolderScanPatternTest, SeveralPatternsMatchTheWholeNameIgnoringCase) {
  using modFolderScan::MatchesPattern;
  const QString videos = QStringLiteral("*.avi;*.mkv");
  EXPECT_TRUE(MatchesPattern(QStringLiteral("Clip.AVI"), videos));
  EXPECT_TRUE(MatchesPattern(QStringLiteral("x.mkv"), videos));
  EXPECT_FALSE(MatchesPattern(QStringLiteral("x.mkv.part"), videos));
  EXPECT_FALSE(MatchesPattern(QStringLiteral("x.avix"), videos));
  EXPECT_FALSE(MatchesPattern(QStringLiteral("avi"), videos));
  EXPECT_TRUE(MatchesPattern(QStringLiteral(u"\u00C9T\u00C9.avi"), QStringLiteral(u"\u00E9t\u00E9.*")));
  EXPECT_TRUE(MatchesPattern(QStringLiteral("a.mkv"), QStringLiteral("  *.avi ;  *.mkv  ")));
  EXPECT_TRUE(MatchesPattern(QStringLiteral("my clip.avi"), QStringLiteral("my clip.avi")));
}

TEST(FolderScanPatternTest, StarAndQuestionMarkAreTheOnlyWildcards) {
  using modFolderScan::MatchesPattern;
  EXPECT_TRUE(MatchesPattern(QStringLiteral("clip1.avi"), QStringLiteral("clip?.avi")));
  EXPECT_FALSE(MatchesPattern(QStringLiteral("clip.avi"), QStringLiteral("clip?.avi")));
  EXPECT_FALSE(MatchesPattern(QStringLiteral("clip12.avi"), QStringLiteral("clip?.avi")));
  EXPECT_TRUE(MatchesPattern(QStringLiteral(u"clip\u00E9.avi"), QStringLiteral("clip?.avi")));
  EXPECT_TRUE(MatchesPattern(QString::fromUcs4(U"clip\U0001F3AC.avi"), QStringLiteral("clip?.avi")));
  EXPECT_TRUE(MatchesPattern(QStringLiteral("xaxxbyb.avi"), QStringLiteral("*a*b?b.avi")));
  EXPECT_FALSE(MatchesPattern(QStringLiteral("xab.avix"), QStringLiteral("*a*b.avi")));
  EXPECT_TRUE(MatchesPattern(QStringLiteral("anything"), QStringLiteral("**")));
  EXPECT_TRUE(MatchesPattern(QStringLiteral("clip.avi"), QStringLiteral("clip.avi*")));
  EXPECT_TRUE(MatchesPattern(QStringLiteral("[ab].avi"), QStringLiteral("[ab].avi")));
  EXPECT_FALSE(MatchesPattern(QStringLiteral("a.avi"), QStringLiteral("[ab].avi")));
  // A "*" in the name is an ordinary character for the pattern's wildcards.
  EXPECT_TRUE(MatchesPattern(QStringLiteral("*Best of.avi"), QStringLiteral("*.avi")));
  EXPECT_TRUE(MatchesPattern(QStringLiteral("**.mkv"), QStringLiteral("*.mkv")));
  EXPECT_TRUE(MatchesPattern(QStringLiteral("a*b.avi"), QStringLiteral("a*.avi")));
  EXPECT_FALSE(MatchesPattern(QStringLiteral("*x.avix"), QStringLiteral("*.avi")));
}

TEST(FolderScanPatternTest, AnEmptyPatternMatchesNothing) {
  using modFolderScan::MatchesPattern;
  for (const char* pattern : {"", " ", ";", " ; "}) {
    EXPECT_FALSE(MatchesPattern(QStringLiteral("x.avi"), QLatin1String(pattern))) << '"' << pattern << '"';
  }
}

TEST(FolderScanQueueItemTest, SizeSeparatorAndPath) {
  EXPECT_EQ(modFolderScan::MakeQueueItem(1024, QStringLiteral("/media/films/Clip.avi")),
            QStringLiteral("1024???" "/media/films/Clip.avi"));

  qint64 size = -1;
  QString path;
  ASSERT_TRUE(modFolderScan::SplitQueueItem(QStringLiteral("6442450944???" "/m/a???b.avi"), size, path));
  EXPECT_EQ(size, 6442450944LL);
  EXPECT_EQ(path, QStringLiteral("/m/a???b.avi"));

  size = -1;
  path = QStringLiteral("unchanged");
  EXPECT_FALSE(modFolderScan::SplitQueueItem(QStringLiteral("1024/media/Clip.avi"), size, path));
  EXPECT_FALSE(modFolderScan::SplitQueueItem(QStringLiteral("big???" "/media/Clip.avi"), size, path));
  EXPECT_EQ(size, -1);
  EXPECT_EQ(path, QStringLiteral("unchanged"));
}

}  // namespace
