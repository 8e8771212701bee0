// The fault sweep: every command of the menu table and every long job runs
// once without a fault, counting the calls it makes to the disk (through the
// test VFS every connection of the program uses) and to the program's own
// files (through OwnFileWrites); then again with the Nth call of each kind
// failing, N = 1, 2, 3 ... until the command completes, for each result code
// that call can meet, once and from then on. Each run must end with exactly
// one titled box in the program's words, or none when the command completed
// (its library and what the window shows as without the fault); the library
// as before the command or as after it, and sound; no exception out of the
// command or into Qt; nothing left busy; and the next command must work.
//
// A kind whose calls number more than a few is sampled: its first and last
// calls and calls evenly between (see Sample), with the codes and the two
// ways (once, from then on) taken in turn. RW_FAULT_SWEEP=all runs every
// call with every code both ways. The figures are printed at the end.
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "carousel/ucCanvas.h"
#include "import/frmAddToLibrary.h"
#include "inspector/InspectorPane.h"
#include "library/UpkeptFile.h"
#include "mainwindow/MainMenu.h"
#include "platform/DragController.h"
#include "platform/ErrorGuard.h"
#include "platform/OwnFileWrites.h"
#include "platform/SqlConnection.h"
#include "platform/WholeFile.h"
#include "player/frmDSSink.h"
#include "player/modMainPlayer.h"
#include "tests/library/OldLibraries.h"
#include "tests/mainwindow/CommandRun.h"
#include "tests/mainwindow/FaultRun.h"
#include "tests/support/FaultVfs.h"
#include "tests/support/OwnFileFaults.h"
#include "tests/support/PowerCut.h"
#include "ui/DragState.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <functional>
#include <map>
#include <set>

namespace rwtest {
namespace {

using OwnCall = OwnFileWrites::Call;

bool WholeSweep() { return qEnvironmentVariable("RW_FAULT_SWEEP") == QLatin1String("all"); }

bool WriteCall(DiskCall call) { return call == DiskCall::Write || call == DiskCall::Sync || call == DiskCall::Truncate; }

// One way a call can fail: the call (of the library's files, or of the
// program's own) and what it answers.
struct FaultWay {
  bool ownFile = false;
  int call = 0;  // DiskCall or OwnFileWrites::Call
  int code = 0;  // SQLite's result code, or an errno
  bool lasting = false;
  // The library's calls counted from the open of a file whose path holds
  // this text (DiskFault::after), not from the command's start.
  QString after{};
};

QString WayName(const FaultWay& way, int nth) {
  const QString call = way.ownFile ? QString::fromLatin1(OwnFileFaults::CallName(static_cast<OwnCall>(way.call)))
                                   : QString::fromLatin1(DiskCallName(static_cast<DiskCall>(way.call)));
  const QString code = way.ownFile && way.code > 0 ? QString::fromLatin1(strerrorname_np(way.code)) : DiskCodeName(way.code);
  return QStringLiteral("%1%2 #%3%4 %5%6")
      .arg(way.ownFile ? QStringLiteral("own file ") : QString(), call)
      .arg(nth)
      .arg(way.after.isEmpty() ? QString() : QStringLiteral(" after the open of *%1*").arg(way.after))
      .arg(code, way.lasting ? QStringLiteral(" from then on") : QStringLiteral(" once"));
}

// The codes each kind of call is swept with: what a disk that fills, fails,
// is unmounted or made read-only, or a lock another program holds, gives.
std::vector<int> DiskCodes(DiskCall call) {
  switch (call) {
    case DiskCall::Open:
      return {SQLITE_CANTOPEN, SQLITE_READONLY};
    case DiskCall::Read:
      return {SQLITE_IOERR_READ, kForeignBytes};
    case DiskCall::Write:
      return {SQLITE_FULL, SQLITE_IOERR_WRITE};
    case DiskCall::Sync:
      return {SQLITE_IOERR_FSYNC};
    case DiskCall::Truncate:
      return {SQLITE_IOERR_TRUNCATE, SQLITE_FULL};
    case DiskCall::Lock:
      return {SQLITE_BUSY, SQLITE_IOERR_LOCK};
    case DiskCall::Delete:
      return {SQLITE_IOERR_DELETE};
    case DiskCall::Access:
      return {SQLITE_IOERR_ACCESS};
    case DiskCall::FileSize:
      return {SQLITE_IOERR_FSTAT};
  }
  return {};
}

std::vector<int> OwnCodes(OwnCall call) {
  switch (call) {
    case OwnCall::Open:
      return {ENOSPC, EACCES};
    case OwnCall::Write:
      return {ENOSPC, EIO};
    case OwnCall::Sync:
      return {EIO};
    case OwnCall::Rename:
      return {EACCES, EIO};
    case OwnCall::MakeFolder:
      return {EACCES};
  }
  return {};
}

// The calls of a kind a sweep fails, from 1 to `calls`: all of them when
// they are few or the sweep runs whole; else the first and last (a
// command's first reads and its commit) and calls evenly between.
std::vector<int> Sample(int calls, int budget) {
  std::vector<int> picked;
  if (WholeSweep() || calls <= budget) {
    for (int n = 1; n <= calls; ++n) picked.push_back(n);
    return picked;
  }
  const int ends = budget / 4;
  for (int n = 1; n <= ends; ++n) picked.push_back(n);
  const int between = budget - 2 * ends;
  for (int i = 1; i <= between; ++i) picked.push_back(ends + (calls - 2 * ends) * i / (between + 1));
  for (int n = calls - ends + 1; n <= calls; ++n) picked.push_back(n);
  return picked;
}

// How many runs each kind of call is given, when not swept whole, and how
// many power cuts.
constexpr int kRunsPerKind = 8;
constexpr int kCutsPerKind = 12;

// The figures of the whole sweep, printed when the binary's tests end.
struct Figures {
  int commands = 0;
  long calls = 0;
  int runs = 0;
  int injected = 0;
  int absorbed = 0;
  int retried = 0;
  int failures = 0;
  int cuts = 0;
  int states = 0;
  qint64 ms = 0;
};

Figures& Totals() {
  static Figures figures;
  return figures;
}

// One command or long job, as the user starts it.
struct SweepCase {
  QString name;
  // The state the command starts from (run without faults, after the
  // library is put back as it was).
  std::function<void()> prepare{};
  std::function<void()> run{};
  // Library files besides the open one whose content counts (a copy made,
  // another library opened); each is removed or put back before a run by
  // `prepare`.
  QStringList files{};
  // What a run leaves that the next must not find (a mode of the window),
  // put back once the run is judged.
  std::function<void()> after{};
  // The command changes the library when nothing stands in its way: a run
  // without a fault that leaves it as it was means the case drove nothing.
  bool writes = false;
  // Runs made whatever the sample: faults the whole sweep found, pinned to
  // the step they hit (FaultWay::after), so that every run of the suite
  // keeps them mended.
  std::vector<std::pair<FaultWay, int>> pinned{};
  // The command writes only the files it makes, never the open library: a
  // write, sync or truncate that fails is theirs, and a box that names the
  // open library blames the wrong file.
  bool writesOnlyItsOwnFiles = false;
  // Files of `files` a run either leaves byte for byte or makes as the
  // command makes them (an earlier library at a Save As's target).
  QStringList kept{};
  // The command is also cut off by a power cut at its syncs, renames and
  // writes (PowerCuts).
  bool powerCut = false;
};

// What one run left.
struct Observed {
  std::vector<MessageBoxRequest> boxes;
  std::map<QString, FileState> files;
  // What the window showed as the command started, and after it.
  QStringList shownBefore;
  QStringList shown;
  // The program's own files (and the kept ones) with their bytes, as the
  // command started and after it.
  std::map<QString, QByteArray> ownBefore;
  std::map<QString, QByteArray> own;
  QStringList busy;
  bool exception = false;
  bool loose = false;
};

class FaultSweepTest : public CommandTest {
 protected:
  void SetUp() override {
    FaultVfs::Install();
    CommandTest::SetUp();
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
    library_ = gLibrariesFolder + QStringLiteral("Films.rw2");
    snapshot_ = ScratchPath(QStringLiteral("Films snapshot.rw2"));
    MakeLibrary(library_);
    gLibrary->OpenLibrary(library_, true);
    ASSERT_EQ(gLibrary->LibraryPath, library_);
    // The search indexes the first search makes belong to the library as a
    // command finds it.
    ShowTag();
    TakeSnapshot();
    Settle();
    watch.shown.clear();
    boxes.Clear();
  }

  void TearDown() override {
    FaultVfs::Stop();
    OwnFileFaults::Stop();
    CommandTest::TearDown();
  }

  static void TearDownTestSuite() {
    const Figures& f = Totals();
    if (f.commands == 0) return;
    std::printf("[ sweep    ] %d commands, %ld calls swept, %d runs, %d faults injected (%d absorbed, %d of them "
                "retried), %d power cuts (%d files opened again), %d failures, %.1f s%s\n",
                f.commands, f.calls, f.runs, f.injected, f.absorbed, f.retried, f.cuts, f.states, f.failures,
                f.ms / 1000.0,
                WholeSweep() ? " (whole)" : " (sampled; RW_FAULT_SWEEP=all runs it whole)");
  }

  // Two files on a disk, under tags of a category, one rated and described,
  // with a cut segment, a link, a saved search, a playlist, a view and
  // thumbnails.
  static void MakeLibrary(const QString& path) {
    QFile::remove(path);
    modReelwise::ExtractTemplateLibrary(path);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImage picture(100, 75, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.save(&buffer, "JPG");
    auto db = SqlConnection::Open(path);
    db->Execute(QStringLiteral(
        "INSERT INTO VideoFiles (FileID, FileName, FilePath, DiskSerialNo, FileSize, Bitrate, CurrentPath, "
        "FileFormat, Dimensions) VALUES "
        "(1, 'One.mkv', 'films\\', '1A2B3C4D', 1000, 800, '/films/', 'MKV', '640x480'), "
        "(2, 'Two.mkv', 'films\\', '1A2B3C4D', 1000, 800, '/films/', 'MKV', '640x480'), "
        "(3, 'Three.avi', 'films\\', '1A2B3C4D', 2000, 900, '/films/', 'AVI', '320x240');"
        "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating, "
        "FileAlias, Description) VALUES (1, 1, 'Y', 0, 60, 1, 4, 'First', 'On the beach'), "
        "(2, 2, 'Y', 0, 60, 1, 0, NULL, NULL), (3, 3, 'Y', 0, 90, 1, 2, NULL, NULL), "
        "(4, 1, NULL, 10, 20, 1, 3, 'Cut', NULL);"
        "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'People', 'C'), (11, 'Anna', 'T'), (12, 'Ben', 'T'), "
        "(13, 'Places', 'F'), (14, 'Berlin', 'T'), (15, 'Party', 'L'), (16, 'Clips', 'S'), (17, 'Best', 'V');"
        "INSERT INTO TagLinks VALUES (11, 10, 'P'), (12, 10, 'P'), (13, 10, 'P'), (14, 13, 'P'), (11, 12, 'L'), "
        "(16, 3, 'P'), (17, 4, 'P'), (15, 2, 'P');"
        "INSERT INTO Views VALUES ('|_?F2D:One', 'S', 16), ('|_T:11', 'V', 17);"
        "INSERT INTO SegmentTags VALUES (1, 11), (2, 11), (3, 12), (4, 14), (1, 15);"
        "INSERT INTO FileLocations VALUES ('1A2B3C4D', 'FILMS', ':\\', '/films/', 'Fixed Disk', 'Films', 1);"));
    // The keypad's digits of each tag, as the program stores them.
    auto t9 = db->Prepare(QStringLiteral("UPDATE Tags SET T9Text = ? WHERE Tag = ?"));
    for (const char* tag : {"People", "Anna", "Ben", "Places", "Berlin", "Party", "Clips", "Best"}) {
      t9->Bind(1, clsRWLibrary::ConvertToT9(QLatin1String(tag)));
      t9->Bind(2, QString::fromLatin1(tag));
      t9->Execute();
    }
    auto insert = db->Prepare(QStringLiteral("INSERT INTO SegmentThumbnails VALUES (?, ?, ?)"));
    for (int segment : {1, 2, 3, 4}) {
      insert->BindInt(1, segment);
      insert->Bind(2, SqlValue::Blob(jpeg));
      insert->BindInt(3, segment == 4 ? 1 : segment);
      insert->Execute();
    }
  }

  // The tag "Anna" opened as a search: two files in the results.
  static void ShowTag() { gLibrary->ShowView(QStringLiteral("|_T:ID11"), QStringLiteral("Anna")); }

  // The state most commands start from: the tag's files shown, the first
  // selected and current.
  static void TagShownFirstSelected() {
    ShowTag();
    if (gResults.size() > 1) {
      gResults[1].Selected = true;
      gSelectedById.Set(gResults[1].SegmentID, 1);
      gLibrary->SelectedCount = 1;
      gCurrentItem = gResults[1];
    }
  }

  // The open library as it is now becomes the one every run starts from.
  void TakeSnapshot() { ASSERT_TRUE(CopyDatabase(gLibrary->Connection().Handle(), snapshot_)); }

  // The library back as the snapshot: written through the program's own
  // connection, as its own write (so the program takes it for no other
  // program's); reopened first when a command closed it or opened another.
  void RestoreLibrary() {
    if (gLibrary->LibraryPath != library_) {
      QFile::remove(library_ + QStringLiteral("-journal"));
      QFile::remove(library_);
      ASSERT_TRUE(QFile::copy(snapshot_, library_));
      gLibrary->OpenLibrary(library_, true);
      ASSERT_EQ(gLibrary->LibraryPath, library_) << "the library opens again";
      // A view to go back to, as SetUp left one.
      ShowTag();
    }
    ASSERT_TRUE(CopyDatabase(snapshot_, gLibrary->Connection().Handle()))
        << sqlite3_errmsg(gLibrary->Connection().Handle());
    // The tree shows the library as it is again.
    gLibrary->PopulateTree();
    gLibrary->SortTree();
  }

  // What a command queued for after itself (a damaged library's close, a
  // box that opens back in the event loop) runs.
  static void Settle() {
    for (int i = 0; i < 10; ++i) {
      QCoreApplication::sendPostedEvents();
      QCoreApplication::processEvents();
    }
    // A story board a command asked for opens from the inspector's timer a
    // moment later: it belongs to that command.
    if (gMainForm) (void)QTest::qWaitFor([] { return !gMainForm->Inspector().timerFilePreview->Enabled(); }, 5000);
  }

  Observed RunOnce(const SweepCase& c, const std::function<void()>& arm, const QStringList& outputs = {}) {
    Observed seen;
    QElapsedTimer phase;
    phase.start();
    RestoreLibrary();
    // The view and its history as every run finds them.
    ShowTag();
    if (c.prepare) c.prepare();
    Settle();
    // The files in Temp the command writes (an export, a playlist) hold an
    // earlier version, which a write that was lost leaves there.
    for (const QString& output : outputs) WriteFileWhole(output, "an earlier version\n");
    phases_[0] += phase.restart();
    seen.shownBefore = Shown();
    seen.ownBefore = OwnFiles(c);
    watch.shown.clear();
    const size_t from = boxes.Shown().size();
    LooseExceptionWatch::Forget();
    arm();
    try {
      c.run();
      Settle();
    } catch (...) {
      seen.exception = true;
    }
    FaultVfs::Stop();
    OwnFileFaults::Stop();
    try {
      Settle();
    } catch (...) {
      seen.exception = true;
    }
    phases_[1] += phase.restart();
    seen.loose = LooseExceptionWatch::Loose();
    seen.boxes.assign(boxes.Shown().begin() + static_cast<std::ptrdiff_t>(from), boxes.Shown().end());
    seen.own = OwnFiles(c);
    for (const QString& file : QStringList{library_} + c.files) seen.files[file] = StateOfLibraryFile(file);
    seen.shown = Shown();
    seen.busy = LeftBusy();
    phases_[2] += phase.restart();
    return seen;
  }

  // What the window shows, part by part; the times of day a view names
  // ("New Files (since 19:55:37)") differ from run to run.
  static QStringList Shown() {
    static const QRegularExpression time(QStringLiteral("\\d\\d:\\d\\d:\\d\\d"));
    QStringList parts = ShownParts();
    for (QString& part : parts) part.replace(time, QStringLiteral("hh:mm:ss"));
    return parts;
  }

  // The program's own files (settings, the exports, playlists and notes in
  // Temp, pictures written out: every file of the home outside the
  // libraries' folder) and the case's kept files, with their bytes.
  std::map<QString, QByteArray> OwnFiles(const SweepCase& c) const {
    std::map<QString, QByteArray> files;
    QDirIterator found(Home(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    QStringList paths = c.kept;
    while (found.hasNext()) {
      const QString path = found.next();
      // The scratch library is a library the program holds open.
      if (!path.startsWith(gLibrariesFolder) && !path.startsWith(gPlaceholderLibraryPath)) paths << path;
    }
    for (const QString& path : paths) {
      QFile file(path);
      if (file.open(QIODevice::ReadOnly)) files[path] = OwnBytes(file.readAll());
    }
    return files;
  }

  // An own file's bytes as compared: the settings' stamp of the library last
  // upkept changes with every write of the file, the library put back before
  // each run's among them.
  static QByteArray OwnBytes(const QByteArray& bytes) {
    static const QRegularExpression stamp(QStringLiteral("\"UpkeptLibrary\"=[^\n]*"));
    return QString::fromUtf8(bytes).remove(stamp).toUtf8();
  }

  // What the case puts back, then the next command.
  QString AfterRun(const SweepCase& c) {
    if (c.after) c.after();
    return NextCommandFails();
  }

  static QStringList Texts(const std::vector<MessageBoxRequest>& shown) {
    QStringList texts;
    for (const MessageBoxRequest& box : shown) texts << BoxText(box);
    return texts;
  }

  // Whether the next command works, with no box. In turn: a check of the
  // library that reads it and shows what it finds; a tag opened from the
  // tree as a search; the tag's files dropped on a rating, which the library
  // then holds (on the library the runs start from, while it is open).
  QString NextCommandFails() {
    const int before = boxes.Count();
    const int turn = nextTurn_++ % 3;
    const bool open = gLibrary->LibraryPath == library_;
    bool rated = true;
    try {
      if (turn == 1 && open) {
        Tree().SetSelectedItem(&Node(QStringLiteral("ID12")));
        QTest::keyClick(Tree().focusProxy(), Qt::Key_Return);
      } else if (turn == 2 && open) {
        DragShownFiles();
        DropOn(*gMainForm->Results().flexThumbsTiled, QStringLiteral("R-1"));
        rated = DumpRows(gLibrary->Connection().Handle(),
                         QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = %1").arg(gResults[1].SegmentID)) ==
                QLatin1String("1\n");
      } else {
        Send("mnuToolsShowMissingThumbs");
      }
      Settle();
    } catch (...) {
      return QStringLiteral("the next command let an exception out");
    }
    if (boxes.Count() != before) return QStringLiteral("the next command failed: ") + BoxText(boxes.Last());
    return rated ? QString() : QStringLiteral("the next command's rating was not stored");
  }

  // What a command does without a fault: the library before and after,
  // what the window shows, the boxes it shows by itself, and its calls.
  struct Baseline {
    std::map<QString, FileState> before;
    Observed clean;
    QStringList boxes;
    std::vector<std::pair<FaultWay, int>> calls;  // each kind made, with its count
    QStringList outputs;  // the files in Temp it writes whole
  };

  Baseline RunWithoutFault(const SweepCase& c) {
    Baseline base;
    RestoreLibrary();
    ShowTag();
    if (c.prepare) c.prepare();
    Settle();
    for (const QString& file : QStringList{library_} + c.files) base.before[file] = StateOfLibraryFile(file);
    std::map<QString, std::optional<QByteArray>> bytes;
    base.clean = RunOnce(c, [&] {
      for (const QString& file : QStringList{library_} + c.files) bytes[file] = Contents(file);
      FaultVfs::Start();
      OwnFileFaults::Start();
    });
    if (c.after) c.after();
    for (int k = 0; k < kDiskCallKinds; ++k) {
      if (const int calls = FaultVfs::Calls(static_cast<DiskCall>(k))) base.calls.push_back({FaultWay{false, k}, calls});
    }
    for (int k = 0; k < OwnFileWrites::kCallKinds; ++k) {
      if (const int calls = OwnFileFaults::Calls(static_cast<OwnCall>(k))) base.calls.push_back({FaultWay{true, k}, calls});
    }
    for (const QString& file : OwnFileFaults::Renamed()) {
      if (file.startsWith(gTempFolder) && base.clean.own.count(file) && !base.outputs.contains(file)) base.outputs << file;
    }
    const Observed& clean = base.clean;
    // Its calls reach the fault layer: a file whose bytes it changed (a
    // compaction's, its rows as they were) was written and synced there, and
    // a command that writes the library read and locked it there first.
    bool changed = false;
    for (const auto& [file, was] : bytes) changed = changed || Contents(file) != was;
    QStringList unreached;
    for (DiskCall kind : {DiskCall::Write, DiskCall::Sync, DiskCall::Read, DiskCall::Lock}) {
      const bool expected = WriteCall(kind) ? changed : c.writes;
      if (expected && FaultVfs::Calls(kind) == 0) unreached << QLatin1String(DiskCallName(kind));
    }
    EXPECT_TRUE(unreached.isEmpty()) << "its calls never reached the fault layer: no "
                                     << unreached.join(QStringLiteral(", ")).toStdString() << " counted";
    EXPECT_FALSE(clean.exception || clean.loose) << "an exception without a fault";
    if (c.writes) {
      EXPECT_NE(clean.files.at(library_), base.before.at(library_)) << "the command changed nothing";
    }
    EXPECT_TRUE(clean.busy.isEmpty()) << "left on without a fault: " << clean.busy.join(QStringLiteral(", ")).toStdString();
    for (const MessageBoxRequest& box : clean.boxes) EXPECT_FALSE(RawBox(box)) << BoxText(box).toStdString();
    base.boxes = Texts(clean.boxes);
    return base;
  }

  // The runs a kind of call is given: (call N, way) pairs, every way for
  // each sampled call when they are few, else the ways in turn.
  static std::vector<std::pair<int, FaultWay>> Plan(const FaultWay& kind, int calls) {
    std::vector<FaultWay> ways;
    for (int code : kind.ownFile ? OwnCodes(static_cast<OwnCall>(kind.call)) : DiskCodes(static_cast<DiskCall>(kind.call))) {
      for (bool lasting : {false, true}) ways.push_back({kind.ownFile, kind.call, code, lasting});
    }
    const std::vector<int> picked = Sample(calls, kRunsPerKind);
    const bool everyWay = WholeSweep() || picked.size() * ways.size() <= size_t(kRunsPerKind) * 2;
    std::vector<std::pair<int, FaultWay>> plan;
    for (size_t i = 0; i < picked.size(); ++i) {
      for (size_t w = 0; w < ways.size(); ++w) {
        if (everyWay || w == (i + static_cast<size_t>(kind.call)) % ways.size()) plan.push_back({picked[i], ways[w]});
      }
    }
    return plan;
  }

  // One run with call `nth` failing the given way; what went wrong, if anything.
  QString RunWithFault(const SweepCase& c, const Baseline& base, int nth, const FaultWay& way) {
    const Observed seen = RunOnce(c, [&] {
      if (way.ownFile) {
        FaultVfs::Start();
        OwnFileFaults::Start(FileFault{static_cast<OwnCall>(way.call), nth, way.code, way.lasting});
      } else {
        OwnFileFaults::Start();
        // A fault from then on is the libraries' disk failing; the
        // program's own folder and SQLite's temporary files are on another.
        FaultVfs::Start(
            DiskFault{static_cast<DiskCall>(way.call), nth, way.code, way.lasting, gLibrariesFolder, way.after});
      }
    }, base.outputs);
    Figures& totals = Totals();
    const bool injected = way.ownFile ? OwnFileFaults::Injected() > 0 : FaultVfs::Injected() > 0;
    ++totals.runs;
    if (injected) ++totals.injected;
    QString problem = Judge(c, base.clean, base.before, base.boxes, seen, injected);
    if (c.writesOnlyItsOwnFiles && !way.ownFile && WriteCall(static_cast<DiskCall>(way.call))) {
      for (const MessageBoxRequest& box : BoxesBeyond(seen.boxes, 0, base.boxes)) {
        if (box.prompt.contains(library_)) {
          problem += (problem.isEmpty() ? QString() : QStringLiteral("; ")) + QStringLiteral("the open library is blamed: ") +
                     BoxText(box);
        }
      }
    }
    if (!problem.isEmpty()) {
      if (c.after) c.after();
      return problem;
    }
    // Told nothing and completed as without the fault: absorbed (retried by
    // SQLite, as a lock by its busy handler, or passed by a probe).
    if (injected && BoxesBeyond(seen.boxes, 0, base.boxes).empty()) {
      ++totals.absorbed;
      if (!way.ownFile && FaultVfs::Retried()) ++totals.retried;
    }
    return AfterRun(c);
  }

  // A power cut at the command's syncs, its own files' renames and its
  // writes, sampled as the faults are, and once it is over; each way in turn
  // (the unsynced writes lost, or torn: see PowerCut.h). The files as the
  // cut left them, opened again, must each be as before the command or as
  // after it and sound, and every own file as before or whole.
  QStringList PowerCuts(const SweepCase& c, const Baseline& base) {
    QStringList failures;
    for (const auto& [kind, calls] : base.calls) {
      const bool cutHere = kind.ownFile ? kind.call == int(OwnCall::Sync) || kind.call == int(OwnCall::Rename)
                                        : kind.call == int(DiskCall::Sync) || kind.call == int(DiskCall::Write);
      if (!cutHere) continue;
      const std::vector<int> picked = Sample(calls, kCutsPerKind);
      for (size_t i = 0; i < picked.size() * (WholeSweep() ? 2 : 1); ++i) {
        const FaultWay way{kind.ownFile, kind.call, (i + kind.call) % 2 ? kPowerCutTorn : kPowerCut};
        if (OneRunAsked(way, picked[i % picked.size()])) failures << CutOnce(c, base, way, picked[i % picked.size()]);
      }
    }
    // And once the command is over, both ways.
    for (const int code : {kPowerCut, kPowerCutTorn}) failures << CutOnce(c, base, FaultWay{false, 0, code}, 0);
    failures.removeAll(QString());
    return failures;
  }

  // One run cut off at the call `nth` of the way's kind, or after it ends.
  QString CutOnce(const SweepCase& c, const Baseline& base, const FaultWay& way, int nth) {
    SweepCase cut = c;
    if (nth == 0) {
      cut.run = [&c, &way] {
        c.run();
        Settle();
        PowerCut::Cut(way.code == kPowerCutTorn);
      };
    }
    std::map<QString, std::optional<QByteArray>> start;
    const Observed seen = RunOnce(cut, [&] {
      for (const QString& file : QStringList{library_} + c.files) start[file] = Contents(file);
      PowerCut::Start();
      const bool own = way.ownFile && nth > 0;
      FaultVfs::Start(own || nth == 0 ? std::nullopt : std::optional(DiskFault{DiskCall(way.call), nth, way.code, false, {}, {}}));
      OwnFileFaults::Start(own ? std::optional(FileFault{OwnCall(way.call), nth, way.code}) : std::nullopt);
    }, base.outputs);
    PowerCut::Stop();
    if (c.after) c.after();
    if (!PowerCut::Made()) return {};
    ++Totals().cuts;
    const QString problem = JudgeCut(base, seen, start, PowerCut::Image());
    if (problem.isEmpty()) return {};
    return (nth == 0 ? QStringLiteral("%1 once the command is over").arg(DiskCodeName(way.code)) : WayName(way, nth)) +
           QStringLiteral(": ") + problem;
  }

  static std::optional<QByteArray> Contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
  }

  QString JudgeCut(const Baseline& base, const Observed& seen, const std::map<QString, std::optional<QByteArray>>& start,
                   const std::map<QString, std::optional<QByteArray>>& image) const {
    QStringList wrong;
    QDir folder(ScratchPath(QStringLiteral("after the cut")));
    for (const auto& [file, atStart] : start) {
      if (!image.count(file) && !image.count(file + QStringLiteral("-journal"))) continue;
      folder.removeRecursively();
      QDir().mkpath(folder.path());
      const QString copy = folder.filePath(QFileInfo(file).fileName());
      for (const QString& suffix : {QString(), QStringLiteral("-journal")}) {
        const auto cut = image.find(file + suffix);
        const std::optional<QByteArray> bytes = cut != image.end() ? cut->second : suffix.isEmpty() ? atStart : std::nullopt;
        if (bytes) WriteFileWhole(copy + suffix, *bytes);
      }
      ++Totals().states;
      const FileState state = StateOfLibraryFile(copy);
      if (!(state == base.before.at(file)) && !(state == base.clean.files.at(file))) {
        wrong << QStringLiteral("%1 is neither as before (%2) nor as after (%3)")
                     .arg(QFileInfo(file).fileName(), FirstDifference(base.before.at(file).dump, state.dump),
                          FirstDifference(base.clean.files.at(file).dump, state.dump));
      }
      if (!state.integrity.isEmpty() && state.integrity != QLatin1String("ok")) {
        wrong << QStringLiteral("%1 fails its integrity check: %2").arg(QFileInfo(file).fileName(), state.integrity);
      }
    }
    for (const auto& [file, bytes] : image) {
      const bool own = seen.ownBefore.count(file) || base.clean.own.count(file);
      if (!own || start.count(file)) continue;
      ++Totals().states;
      const QByteArray kept = bytes ? OwnBytes(*bytes) : QByteArray();
      if (kept != BytesOf(seen.ownBefore, file) && kept != BytesOf(base.clean.own, file)) {
        wrong << QStringLiteral("the file %1 is neither as before nor whole").arg(file);
      }
    }
    return wrong.join(QStringLiteral("; "));
  }

  // RW_FAULT_SWEEP_RUN="read #4" (a failing run's name as the sweep prints
  // it, up to its number) makes only that run of each kind's plan, to see
  // one failure again.
  static bool OneRunAsked(const FaultWay& way, int nth) {
    const QString only = qEnvironmentVariable("RW_FAULT_SWEEP_RUN");
    return only.isEmpty() || WayName(way, nth).startsWith(only + QLatin1Char(' '));
  }

  // Sweeps one command; every failure is added to the test's failures.
  void Sweep(const SweepCase& c) {
    // RW_FAULT_SWEEP_CASE=text sweeps only the cases whose name holds it.
    const QString only = qEnvironmentVariable("RW_FAULT_SWEEP_CASE");
    if (!only.isEmpty() && !c.name.contains(only)) return;
    SCOPED_TRACE(c.name.toStdString());
    QElapsedTimer clock;
    clock.start();
    Figures& totals = Totals();
    ++totals.commands;
    const Baseline base = RunWithoutFault(c);
    QStringList failures;
    for (const auto& [kind, calls] : base.calls) {
      totals.calls += calls;
      for (const auto& [nth, way] : Plan(kind, calls)) {
        if (!OneRunAsked(way, nth)) continue;
        const QString problem = RunWithFault(c, base, nth, way);
        if (!problem.isEmpty()) failures << WayName(way, nth) + QStringLiteral(": ") + problem;
      }
    }
    for (const auto& [way, nth] : c.pinned) {
      const QString problem = RunWithFault(c, base, nth, way);
      if (!problem.isEmpty()) failures << WayName(way, nth) + QStringLiteral(": ") + problem;
    }
    if (c.powerCut) failures << PowerCuts(c, base);
    totals.failures += static_cast<int>(failures.size());
    totals.ms += clock.elapsed();
    if (qEnvironmentVariableIsSet("RW_FAULT_SWEEP_TIMES")) PrintTimes(c, base, clock.elapsed());
    phases_ = {};
    if (!failures.isEmpty()) {
      ADD_FAILURE() << failures.size() << " failing runs of " << c.name.toStdString() << ":\n"
                    << failures.mid(0, 40).join(QLatin1Char('\n')).toStdString();
    }
  }

  void PrintTimes(const SweepCase& c, const Baseline& base, qint64 ms) const {
    QStringList calls;
    for (const auto& [kind, count] : base.calls) {
      calls << QStringLiteral("%1 %2").arg(count).arg(
                   kind.ownFile ? QStringLiteral("own ") + QLatin1String(OwnFileFaults::CallName(static_cast<OwnCall>(kind.call)))
                                : QLatin1String(DiskCallName(static_cast<DiskCall>(kind.call))));
    }
    std::printf("[ sweep    ] %s: %lld ms; putting back and preparing %lld, running %lld, reading %lld; calls: %s\n",
                qPrintable(c.name), static_cast<long long>(ms), static_cast<long long>(phases_[0]),
                static_cast<long long>(phases_[1]), static_cast<long long>(phases_[2]),
                qPrintable(calls.join(QStringLiteral(", "))));
  }

  // What is wrong with a run under a fault; empty when nothing is.
  QString Judge(const SweepCase& c, const Observed& clean, const std::map<QString, FileState>& before,
                const QStringList& cleanBoxes, const Observed& seen, bool injected) const {
    QStringList wrong;
    if (seen.exception) wrong << QStringLiteral("an exception left the command");
    if (seen.loose) wrong << QStringLiteral("an exception reached Qt");
    const std::vector<MessageBoxRequest> told = BoxesBeyond(seen.boxes, 0, cleanBoxes);
    if (told.size() > 1) {
      QStringList texts;
      for (const MessageBoxRequest& box : told) texts << box.title + QStringLiteral(" \"") + box.prompt.left(90) + QLatin1Char('"');
      wrong << QStringLiteral("%1 boxes (%2)").arg(told.size()).arg(texts.join(QStringLiteral(", ")));
    }
    for (const MessageBoxRequest& box : told) {
      if (RawBox(box)) wrong << QStringLiteral("a box not in the program's words: ") + BoxText(box);
    }
    bool asClean = seen.shown == clean.shown;
    for (const auto& [file, state] : seen.files) {
      const bool asBefore = state == before.at(file);
      const bool asAfter = state == clean.files.at(file);
      asClean = asClean && asAfter;
      if (!asBefore && !asAfter && qEnvironmentVariableIsSet("RW_FAULT_SWEEP_DUMPS")) {
        const QString dir = qEnvironmentVariable("RW_FAULT_SWEEP_DUMPS");
        for (const auto& [name, text] : {std::pair{QStringLiteral("before"), before.at(file).dump},
                                         std::pair{QStringLiteral("after"), clean.files.at(file).dump},
                                         std::pair{QStringLiteral("seen"), state.dump}}) {
          QFile out(dir + QLatin1Char('/') + name + QStringLiteral(".txt"));
          if (out.open(QIODevice::WriteOnly)) out.write(text.toUtf8());
        }
      }
      if (!asBefore && !asAfter) {
        wrong << QStringLiteral("%1 is neither as before (%2) nor as after (%3)")
                     .arg(QFileInfo(file).fileName(), FirstDifference(before.at(file).dump, state.dump),
                          FirstDifference(clean.files.at(file).dump, state.dump));
      }
      if (!state.integrity.isEmpty() && state.integrity != QLatin1String("ok")) {
        wrong << QStringLiteral("%1 fails its integrity check: %2").arg(file, state.integrity);
      }
      if (c.kept.contains(file) && !asAfter && BytesOf(seen.own, file) != BytesOf(seen.ownBefore, file)) {
        wrong << QStringLiteral("%1 was changed, and is not what the command makes").arg(QFileInfo(file).fileName());
      }
    }
    // The program's own files: each as before, or whole as the command
    // writes it; a fault put into one and not told was truly got past.
    std::set<QString> own;
    for (const auto* files : {&seen.ownBefore, &seen.own, &clean.own}) {
      for (const auto& entry : *files) own.insert(entry.first);
    }
    for (const QString& file : c.kept) own.erase(file);
    for (const QString& file : own) {
      const bool asBefore = BytesOf(seen.own, file) == BytesOf(seen.ownBefore, file);
      const bool asAfter = BytesOf(seen.own, file) == BytesOf(clean.own, file);
      asClean = asClean && asAfter;
      if (!asBefore && !asAfter) {
        wrong << QStringLiteral("the file %1 is neither as before (%2) nor as the command writes it (%3)")
                     .arg(file, FirstDifference(QString::fromUtf8(BytesOf(seen.ownBefore, file)), QString::fromUtf8(BytesOf(seen.own, file))),
                          FirstDifference(QString::fromUtf8(BytesOf(clean.own, file)), QString::fromUtf8(BytesOf(seen.own, file))));
      }
    }
    wrong << WindowFaults(seen, clean, before, !told.empty());
    if (!seen.busy.isEmpty()) wrong << QStringLiteral("left on: ") + seen.busy.join(QStringLiteral(", "));
    if (told.empty() && !asClean) {
      QString differs = FirstDifference(clean.shown.join(QLatin1Char('\n')), seen.shown.join(QLatin1Char('\n')));
      for (const auto& [file, state] : seen.files) {
        if (differs.isEmpty()) differs = FirstDifference(clean.files.at(file).dump, state.dump);
      }
      for (const QString& file : own) {
        if (differs.isEmpty() && BytesOf(seen.own, file) != BytesOf(clean.own, file)) differs = file + QStringLiteral(" differs");
      }
      wrong << (injected ? QStringLiteral("the fault vanished without a word: the command did not complete (%1)")
                         : QStringLiteral("without a fault met, the command ended otherwise than without one (%1)"))
                   .arg(differs);
    }
    wrong.removeAll(QString());
    return wrong.join(QStringLiteral("; "));
  }

  static QByteArray BytesOf(const std::map<QString, QByteArray>& files, const QString& file) {
    const auto found = files.find(file);
    return found == files.end() ? QByteArray() : found->second;
  }

  // What the window shows, box or no box: the caption, the results, the
  // tree and the inspector each as before or as the command leaves them (the
  // results emptied by a failed read once it is told), and none showing a
  // change the library did not keep. A library closed by the fault (found
  // damaged) shows none of it.
  QString WindowFaults(const Observed& seen, const Observed& clean, const std::map<QString, FileState>& before,
                       bool told) const {
    const auto part = [](const QStringList& parts, int i) { return parts.value(i); };
    if (part(seen.shown, 0) != part(seen.shownBefore, 0) && part(seen.shown, 0) != part(clean.shown, 0)) return {};
    const bool keptNothing = seen.files.at(library_) == before.at(library_) &&
                             !(before.at(library_) == clean.files.at(library_)) &&
                             part(seen.shown, 0) == part(seen.shownBefore, 0);
    QStringList wrong;
    for (int i : {2, 3, 4}) {
      const QString now = part(seen.shown, i);
      const QString differs = FirstWordDifference(part(seen.shownBefore, i), now);
      const bool emptied = i == 2 && told && (now.startsWith(QLatin1String("0: ")) || now.startsWith(QLatin1String("-1: ")));
      if (now != part(seen.shownBefore, i) && now != part(clean.shown, i) && !emptied) {
        wrong << QStringLiteral("%1 shows neither what it showed (%2) nor what the command shows (%3)")
                     .arg(QLatin1String(kShownPartNames[i]), differs, FirstWordDifference(part(clean.shown, i), now));
      } else if (keptNothing && i >= 3 && now != part(seen.shownBefore, i)) {
        wrong << QStringLiteral("%1 shows a change the library did not keep (%2)").arg(QLatin1String(kShownPartNames[i]), differs);
      }
    }
    return wrong.join(QStringLiteral("; "));
  }

  // A library file put where a case needs it: a copy of the snapshot, or
  // another library made by `make`, with no journal beside it.
  void PutLibrary(const QString& path, const std::function<void(const QString&)>& make = {}) {
    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path);
    if (make) {
      make(path);
    } else {
      QFile::copy(snapshot_, path);
    }
  }
  // The program opens the file and lets it go again, remembering it as
  // upkept: the next open of it is an open of a file it knows.
  void OpenAndLetGo(const QString& path) {
    gLibrary->OpenLibrary(path, true);
    gLibrary->OpenLibrary(library_, true);
  }

  static ctl::TreeView& Tree() { return *gMainForm->Tree().tvwLibrary; }
  static LibraryTreePane& TreePane() { return gMainForm->Tree(); }
  static ctl::Node& Node(const QString& key) { return Tree().Nodes.Item(key); }

  // A point of the node's label, in the twips of the tree's drag events.
  static QPointF At(ctl::Node& node) {
    node.EnsureVisible();
    QWidget* viewport = Tree().Viewport();
    for (int y = 0; y < viewport->height(); y += 2) {
      for (int x = 0; x < viewport->width(); x += 2) {
        int flags = 0;
        if (Tree().HitTestInfo(x, y, &flags) == &node && (flags & ctl::tvhtOnItemLabel)) {
          return QPointF((x + 6) * gTwipsPerPixelX, y * gTwipsPerPixelY);
        }
      }
    }
    ADD_FAILURE() << "node not shown: " << node.Text().toStdString();
    return {};
  }
  // As the tree's drop event runs it (Control::Raise): under a guard.
  static void DropOn(ctl::Control& source, const QString& key) {
    const QPointF at = At(Node(key));
    ErrorGuard({.owner = gMainForm}).Run([&] { TreePane().tvwLibrary_DragDrop(source, at.x(), at.y()); });
  }
  // The tag's files shown, all selected and the first dragged from the tiles.
  static void DragShownFiles() {
    TagShownFirstSelected();
    gMainForm->Results().ApplySelection(QStringLiteral("Select"), 1, gLibrary->ResultCount);
    DragState& drag = gMainForm->m_DragState;
    drag.Source = QStringLiteral("Browser");
    drag.SegmentID = gResults[1].SegmentID;
    drag.ItemSelected = 1;
  }
  // A tree command as its menu item runs it, on the node selected first.
  static void TreeMenu(const char* key, QAction* item) {
    Tree().SetSelectedItem(&Node(QLatin1String(key)));
    item->trigger();
  }

  rwtest::ScriptedFileDialogs dialogs;
  rwtest::ModalWatch watch;
  QString library_;
  QString snapshot_;
  // Milliseconds spent putting back and preparing, running, and reading
  // what the runs left (RW_FAULT_SWEEP_TIMES prints them per case).
  std::array<qint64, 3> phases_{};
  // Which next command follows a run (NextCommandFails).
  int nextTurn_ = 0;
};

// Every row of the menu table that runs a command, on the library with the
// tag's files shown and the first selected.
TEST_F(FaultSweepTest, EveryMenuCommand) {
  // A row that asks for a file is given one: a copy of the open library,
  // which Open opens and Save As replaces (a failure leaves it byte for
  // byte); New is given a name no file has. Which rows ask is found by a run
  // of each, the dialog cancelled.
  const QString chosen = gLibrariesFolder + QStringLiteral("Chosen.rw2");
  for (const MainMenu::Entry& entry : frmReelwise::MainMenuTable()) {
    const QString key = QLatin1String(entry.key);
    // Quitting ends the run; the full screen's tagging and the playlist's
    // run have sweeps of their own.
    if (!entry.run || key == QLatin1String("mnuLibraryQuitRW2") || key == QLatin1String("mnuViewFullScreen")) {
      continue;
    }
    // The playlist goes to the desktop's player (its file written each
    // time); the full-screen player's run has tests of its own.
    const bool playlist = key == QLatin1String("mnuToolsRunPlaylist");
    const auto modesLeft = [] {
      gUseInternalPlayer = true;
      if (gTVOutMode) Send("mnuTV-Out");
      if (gBrowserMode != 1) Send("mnuViewTile");
      if (gResultKind != ResultScope::File) Send("mnuBrowserMatchingFiles");
      if (gOnlineFilter != StorageFilter::All) Send("mnuBrowserStorageAll");
      if (gTagCloudShown) Send("mnuViewTagCloud");
    };
    const int dialogsBefore = dialogs.Count();
    RunOnce({.name = key, .run = [&entry] { Send(entry.key); }}, [this] {
      dialogs.ClearAnswers();
      dialogs.Cancel();
    });
    modesLeft();
    const bool asks = dialogs.Count() > dialogsBefore;
    const bool makesNew = key == QLatin1String("mnuLibraryNew");
    Sweep({.name = key,
           .prepare =
               [&, playlist, asks, makesNew] {
                 dialogs.ClearAnswers();
                 if (asks) {
                   PutLibrary(chosen, makesNew ? [](const QString&) {} : std::function<void(const QString&)>());
                   dialogs.Choose({chosen});
                 }
                 TagShownFirstSelected();
                 if (playlist) gUseInternalPlayer = false;
               },
           .run = [&entry] { Send(entry.key); },
           .files = asks ? QStringList{chosen} : QStringList(),
           // A mode a command switched on is left again, so that every run
           // of it starts from the same window.
           .after = modesLeft,
           .kept = asks && !makesNew ? QStringList{chosen} : QStringList()});
  }
}

// A library another program replaced while it was open (a text file copied
// over it): the next command that reads it tells it once as damaged and the
// library closes, reading nothing more through its connection, so no fault
// escapes the close (once it ended the program); the next command works.
TEST_F(FaultSweepTest, ALibraryReplacedWhileOpenIsToldOnceAndClosedWithoutAnExceptionLeft) {
  TagShownFirstSelected();
  bool loaded = false;
  gMainForm->Inspector().LoadInspector(gResults[1], loaded);
  Settle();
  boxes.Clear();
  const LooseExceptionWatch loose;
  {
    QFile over(library_);
    ASSERT_TRUE(over.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (int i = 0; i < 200; ++i) over.write("These are the notes of another program, written over the library.\n");
  }
  try {
    Send("mnuBrowserRefresh");
    Settle();
  } catch (...) {
    ADD_FAILURE() << "an exception left the command or the close";
  }
  EXPECT_FALSE(LooseExceptionWatch::Loose());
  ASSERT_EQ(boxes.Count(), 1) << BoxText(boxes.Last()).toStdString();
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Damaged Library"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QDir::toNativeSeparators(library_))) << boxes.Last().prompt.toStdString();
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("nothing in it was changed")))
      << "a file written over, or one a run had written to before the damage, was changed";
  EXPECT_NE(gLibrary->LibraryPath, library_) << "closed";
  EXPECT_EQ(gInspectedItem.SegmentID, 0);
  // Nor does the history name a view of the library closed.
  EXPECT_EQ(gMainForm->Results().cmbBrowserHistory->Text(), QString());
  EXPECT_EQ(gMainForm->Results().cmbBrowserHistory->ComboItems.Count(), 0);
  EXPECT_EQ(LeftBusy(), QStringList());
  EXPECT_TRUE(NextCommandFails().isEmpty());
}

// The first reads of the library's file after a copy of it is opened (the
// pages the copy takes), each returning another program's bytes once.
std::vector<std::pair<FaultWay, int>> CopyReads(const QString& copy, int reads) {
  std::vector<std::pair<FaultWay, int>> runs;
  for (int n = 1; n <= reads; ++n) runs.push_back({FaultWay{false, int(DiskCall::Read), kForeignBytes, false, copy}, n});
  return runs;
}

// Each of the first reads of the library returning another program's bytes
// from then on.
std::vector<std::pair<FaultWay, int>> ForeignBytesFromThenOn(int reads) {
  std::vector<std::pair<FaultWay, int>> runs;
  for (int n = 1; n <= reads; ++n) runs.push_back({FaultWay{false, int(DiskCall::Read), kForeignBytes, true}, n});
  return runs;
}

// The open of a library: one the program knows and left unchanged, one
// another program edited since, one of the oldest layout (upgraded after a
// copy is kept), and a new one.
TEST_F(FaultSweepTest, OpeningLibraries) {
  const QString known = gLibrariesFolder + QStringLiteral("Known.rw2");
  const QString edited = gLibrariesFolder + QStringLiteral("Edited.rw2");
  const QString old = gLibrariesFolder + QStringLiteral("Old.rw2");
  const QString made = gLibrariesFolder + QStringLiteral("New.rw2");
  const auto open = [this](const QString& path) {
    return [this, path] {
      dialogs.Choose({path});
      Send("mnuLibraryOpen");
    };
  };
  Sweep({.name = QStringLiteral("open a known library"),
         .prepare =
             [&] {
               // Made and opened once, and again only when a run left it
               // changed since the program let it go.
               if (RememberedWork(known, StampOfLibraryFile(known)) != 0) {
                 PutLibrary(known);
                 OpenAndLetGo(known);
               }
             },
         .run = open(known),
         .files = {known}});
  // Any file the program does not know as it left it is opened as one
  // another program may have written: every check of the open runs.
  Sweep({.name = QStringLiteral("open a library another program edited"),
         .prepare =
             [&] {
               PutLibrary(edited);
               SqlConnection::Open(edited)->Execute(
                   QStringLiteral("UPDATE VideoSegments SET Rating = 5 WHERE SegmentID = 2;"
                                  "INSERT INTO SegmentTags VALUES (3, 11)"));
             },
         .run = open(edited),
         .files = {edited}});
  Sweep({.name = QStringLiteral("open and upgrade an old library"),
         .prepare =
             [&] {
               QFile::remove(UpgradeBackupPath(old));
               PutLibrary(old, [](const QString& path) {
                 auto db = SqlConnection::Create(path);
                 db->Execute(QLatin1String(kOldestLibrary));
               });
             },
         .run = open(old),
         .files = {old, UpgradeBackupPath(old)},
         // The copy kept before the upgrade reads another program's bytes
         // from the library: the copy reads back damaged, and so does the
         // page the library's connection keeps of them. Told once, as damage
         // (the copy's own note went with it as a second box).
         .pinned = CopyReads(QStringLiteral(".rw2.bak"), 8),
         .powerCut = true});
  Sweep({.name = QStringLiteral("make a new library"),
         .prepare = [&] { PutLibrary(made, [](const QString&) {}); },
         .run =
             [this, made] {
               dialogs.Choose({made});
               Send("mnuLibraryNew");
             },
         .files = {made}});
}

// Save As (onto a new name, and onto an earlier library, which a copy that
// fails leaves byte for byte), the export of the results, the compaction at
// the end of a run and a setting changed.
TEST_F(FaultSweepTest, SaveAsExportCompactionAndSettings) {
  const QString copy = gLibrariesFolder + QStringLiteral("Copy.rw2");
  const auto saveAs = [this, copy] {
    dialogs.Choose({copy});
    Send("mnuLibrarySaveAs");
  };
  Sweep({.name = QStringLiteral("save as"),
         .prepare = [&] { PutLibrary(copy, [](const QString&) {}); },
         .run = saveAs,
         .files = {copy},
         .writesOnlyItsOwnFiles = true,
         .powerCut = true});
  Sweep({.name = QStringLiteral("save as over an earlier library"),
         .prepare = [&] { PutLibrary(copy, [](const QString& path) { MakeLibrary(path); }); },
         .run = saveAs,
         .files = {copy},
         .writesOnlyItsOwnFiles = true,
         .kept = {copy},
         .powerCut = true});
  Sweep({.name = QStringLiteral("export the results"),
         .prepare = [] { TagShownFirstSelected(); },
         .run = [] { Send("mnuToolsExportCSV"); },
         .powerCut = true});
  // As the program's end runs it when "compact on exit" is set.
  Sweep({.name = QStringLiteral("compaction"),
         .run =
             [] {
               ErrorGuard({.title = QStringLiteral("Shutdown Error"),
                           .text = ErrorGuard::Numbered(QStringLiteral(" - ")),
                           .systemBox = true})
                   .Run([] { gLibrary->CompactDatabase(); });
             },
         .powerCut = true});
  Sweep({.name = QStringLiteral("a setting changed"),
         .prepare = [] { Send("mnuViewGUIStandard"); },
         .run = [] { Send("mnuViewGUIAlternate"); },
         .after = [] { Send("mnuViewGUIStandard"); },
         .powerCut = true});
}

// The library tree's commands and what is dropped on it.
TEST_F(FaultSweepTest, TreeCommandsAndDrops) {
  ctl::FlexGrid& tiles = *gMainForm->Results().flexThumbsTiled;
  const struct {
    const char* name;
    std::function<void()> prepare;
    std::function<void()> run;
    bool writes = true;
  } commands[] = {
      {"open a tag as a search", [] { Tree().SetSelectedItem(&Node(QStringLiteral("ID12"))); },
       [] { QTest::keyClick(Tree().focusProxy(), Qt::Key_Return); }, false},
      {"drop files on a rating", [] { DragShownFiles(); }, [&tiles] { DropOn(tiles, QStringLiteral("R-5")); }},
      {"drop files on a tag", [] { DragShownFiles(); }, [&tiles] { DropOn(tiles, QStringLiteral("ID14")); }},
      {"move a tag", [] { Tree().SetSelectedItem(&Node(QStringLiteral("ID14"))); },
       [] { DropOn(Tree(), QStringLiteral("ID12")); }},
      {"rename a tag", [] { Tree().SetSelectedItem(&Node(QStringLiteral("ID12"))); },
       [] {
         // As the tree's end of an edit runs it.
         gPendingRenameNode = &Node(QStringLiteral("ID12"));
         int cancel = 0;
         QString name = QStringLiteral("Bernd");
         ErrorGuard().Run([&] { TreePane().tvwLibrary_AfterLabelEdit(cancel, name); });
       }},
      {"delete a tag", {}, [] { TreeMenu("ID13", TreePane().mnuDeleteTag); }},
      {"new tag", {}, [] { TreeMenu("ID10", TreePane().mnuCreateTag); }},
      {"new folder", {}, [] { TreeMenu("ID10", TreePane().mnuNewFolder); }},
      {"new category", {}, [] { TreeMenu("ID10", TreePane().mnuNewCategory); }},
      {"to the top level", {}, [] { TreeMenu("ID12", TreePane().mnuMakeRoot); }},
  };
  for (const auto& command : commands) {
    Sweep({.name = QLatin1String(command.name),
           .prepare =
               [&command] {
                 gMainForm->m_DragState.Clear();
                 if (command.prepare) command.prepare();
               },
           .run =
               [&command] {
                 command.run();
                 // A label edit the command opened ends as Esc ends it.
                 if (QWidget* editor = QApplication::focusWidget(); editor && editor->inherits("QLineEdit")) {
                   QTest::keyClick(editor, Qt::Key_Escape);
                 }
               },
           .writes = command.writes,
           .powerCut = QLatin1String(command.name).startsWith(QLatin1String("drop"))});
  }
}

// Add Files: two files on a disk of the mount table, added to the library
// without being opened.
TEST_F(FaultSweepTest, AddFiles) {
  QString disk = System().MountPoint(QStringLiteral("Films disk"));
  System().MountDisk(disk, QStringLiteral("ext4"),
                     {.device = QStringLiteral("/dev/sdb1"), .uuid = QStringLiteral("4f1c2d3e-aaaa-bbbb-cccc-0123456789ab"),
                      .label = QStringLiteral("Films"), .major = 8, .minor = 17});
  System().Write();
  ASSERT_TRUE(QDir().mkpath(disk + QStringLiteral("/New")));
  for (const char* name : {"/New/Dawn.avi", "/New/Dusk.mkv"}) {
    QFile file(disk + QLatin1String(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a film");
  }
  // The dialog filled in as the user does: the folder, the fast scope, START.
  const auto addFrom = [disk](const QString& folder) {
    QTimer::singleShot(0, [disk, folder] {
      for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = dynamic_cast<frmAddToLibrary*>(window);
        if (!dialog || !dialog->isVisible()) continue;
        dialog->cmbSearchPath->setEditText(disk + folder);
        dialog->optImportScope[0]->click();
        dialog->lblStart_Click();
        if (dialog->isVisible()) dialog->lblCancel_Click();
      }
    });
    Send("mnuLibraryAddFiles");
  };
  // The library knows the disk from an earlier run (START records the disk
  // searched as it opens the run, whatever the run then stores).
  ASSERT_TRUE(QDir().mkpath(disk + QStringLiteral("/Old")));
  QFile seen(disk + QStringLiteral("/Old/Seen.avi"));
  ASSERT_TRUE(seen.open(QIODevice::WriteOnly));
  seen.write("seen before");
  seen.close();
  addFrom(QStringLiteral("/Old"));
  TakeSnapshot();
  Sweep({.name = QStringLiteral("add files"),
         .prepare = [] { TagShownFirstSelected(); },
         .run = [addFrom] { addFrom(QStringLiteral("/New")); },
         .writes = true,
         // The library's file found damaged by the run (another program's
         // bytes from its first reads on): told as damage, and the library
         // closed, not told as a file that could not store the files and
         // written on by the next command.
         .pinned = ForeignBytesFromThenOn(6),
         .powerCut = true});
}

// Rating and tagging where the carousel and the full screen take them: the
// front file's stars stepped up and a tag taken off it, and the full-screen
// player's rating and keypad tagging keys.
TEST_F(FaultSweepTest, CarouselAndFullScreenTaggingAndRating) {
  // The carousel takes one key per 100 ms of the program's clock.
  uint64_t now = 0;
  const ctl::TickCountFunction previousClock = ctl::SetTickCountFunction([&now] { return now += 1000; });
  // The carousel's zones and menus take keys in TV-Out mode, which each run
  // leaves again (an open in it waits for the carousel's animation).
  const auto carousel = [] {
    TagShownFirstSelected();
    if (gBrowserMode != 3) Send("mnuViewCarousel");
    gTVOutMode = true;
    gCarousel->SetCarouselIndex(1, false, true);
    gCarousel->RedrawAll(true, false);
  };
  const auto leave = [] {
    gTVOutMode = false;
    if (gCarousel) gCarousel->SetMenuMode(QStringLiteral("NULL"));
    Send("mnuViewTile");
  };
  Sweep({.name = QStringLiteral("carousel rating"),
         .prepare =
             [&] {
               carousel();
               gCarousel->SetMenuMode(QStringLiteral("Rating"));
             },
         .run = [] { QTest::keyClick(gMainForm->Carousel().ucCarouselCanvas, Qt::Key_Right); },
         .after = leave,
         .writes = true});
  Sweep({.name = QStringLiteral("carousel tag removed"),
         .prepare =
             [&] {
               carousel();
               int32_t row = 1;
               gCarousel->SetHighlightedTag(row);
               gCarousel->SetMenuMode(QStringLiteral("TagsMain"));
               int32_t remove = 5;
               gCarousel->SetCurrentMenuIndex(remove);
               gCarousel->DrawMenu(false, false);
             },
         .run = [] { QTest::keyClick(gMainForm->Carousel().ucCarouselCanvas, Qt::Key_Return); },
         .after = leave,
         .writes = true});
  // A notch of the wheel over the carousel turns it to the next file, whose
  // details it reads under a guard that passes its own failures over (a
  // fault of the disk is told all the same). The canvas leaves the wheel to
  // the window, which hands it on (Qt passes no made-up event on itself).
  // The turn's animation in its fewest frames: the runs wait for it.
  int16_t frames = 1;
  int16_t framesBefore = 10;
  Sweep({.name = QStringLiteral("carousel wheel"),
         .prepare =
             [&] {
               carousel();
               framesBefore = gCarousel->ScrollIncrements();
               gCarousel->SetScrollIncrements(frames);
             },
         .run =
             [this] {
               const int told = boxes.Count();
               ucCanvas& canvas = *gMainForm->Carousel().ucCarouselCanvas;
               canvas.setFocus(Qt::OtherFocusReason);
               QApplication::setActiveWindow(gMainForm);
               const QPointF at(5, 5);
               QWheelEvent wheel(canvas.mapTo(gMainForm, at), canvas.mapToGlobal(at), QPoint(), QPoint(0, -120),
                                 Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
               QApplication::sendEvent(gMainForm, &wheel);
               // The details of the new front file follow on the carousel's
               // timer (unless a fault stops them): they belong to the turn.
               (void)QTest::qWaitFor(
                   [&] { return !gCarousel || gCarousel->DetailsDrawn() || boxes.Count() > told; }, 5000);
             },
         .after =
             [&] {
               if (gCarousel) gCarousel->SetScrollIncrements(framesBefore);
               leave();
             }});
  // The full-screen player's window takes the keys as it does while it
  // plays the tag's first file: a digit rates it, the keypad's 0, the
  // digits of a tag and Enter tag it.
  std::unique_ptr<frmDSSink> sink;
  const auto key = [&sink](Qt::Key code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, code, modifiers);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers);
    QApplication::sendEvent(sink.get(), &press);
    QApplication::sendEvent(sink.get(), &release);
  };
  const auto playing = [&sink] {
    TagShownFirstSelected();
    gPlayItem = gResults[1];
    gPlayItem.BrowserRow = 1;
    sink = std::make_unique<frmDSSink>(gMainForm);
  };
  const auto stopped = [&sink] {
    sink.reset();
    gPlayItem = ResultItem{};
  };
  Sweep({.name = QStringLiteral("full-screen rating"),
         .prepare = playing,
         .run = [&key] { key(Qt::Key_3); },
         .after = stopped,
         .writes = true});
  Sweep({.name = QStringLiteral("full-screen tagging"),
         .prepare =
             [&] {
               playing();
               key(Qt::Key_0, Qt::KeypadModifier);
               for (Qt::Key digit : {Qt::Key_2, Qt::Key_3, Qt::Key_6}) key(digit, Qt::KeypadModifier);
             },
         .run = [&key] { key(Qt::Key_Enter, Qt::KeypadModifier); },
         .after = stopped,
         .writes = true});
  gTVOutMode = false;
  Send("mnuViewTile");
  ctl::SetTickCountFunction(previousClock);
}

}  // namespace
}  // namespace rwtest
