// The result export: the file read back by an independent CSV reader
// (Python's csv module), the number formats of the user's locale, the tags
// of each row's file, and the refusals and failures the user is told of.
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "tests/mainwindow/CommandRun.h"
#include "tests/support/ChildRun.h"
#include "tests/support/DeadMount.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

namespace {

using rwtest::CommandTest;

// Every record of the file as a list of fields, read by Python's csv module
// with the byte-order mark taken off ("utf-8-sig").
std::vector<QStringList> ReadWithPython(const QString& path) {
  QProcess python;
  python.start(QStringLiteral("python3"),
               {QStringLiteral("-c"),
                QStringLiteral("import csv, json, sys\n"
                               "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                               "    json.dump(list(csv.reader(f, strict=True)), sys.stdout)\n"),
                path});
  EXPECT_TRUE(python.waitForFinished(30000));
  EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  std::vector<QStringList> records;
  for (const QJsonValue& record : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
    QStringList fields;
    for (const QJsonValue& field : record.toArray()) fields << field.toString();
    records.push_back(fields);
  }
  return records;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ExportTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    locale_ = QLocale();
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  }
  void TearDown() override {
    QLocale::setDefault(locale_);
    CommandTest::TearDown();
  }
  QLocale locale_;

  static QString ExportPath() { return gTempFolder + QStringLiteral("export.csv"); }

  static void Result(int i, const QString& name, double bytes, double seconds, float fps, int kbps) {
    ResultItem& item = gResults[static_cast<size_t>(i)];
    item.FileName = name;
    item.CurrentPath = QStringLiteral("/media/films/");
    item.FileSize = bytes;
    item.Duration = seconds;
    item.Dimensions = QStringLiteral("640x480");
    item.FrameRate = fps;
    item.Bitrate = kbps;
  }

  // Five rows: names with a comma, a quote, a line break, CJK and an emoji.
  static void FiveResults() {
    FakeResults(5);
    Result(1, QStringLiteral("Fish, Chips.avi"), 1572864, 3725.4, 25.0f, 1500);
    Result(2, QStringLiteral("The \"Big\" One.mkv"), 0, 42, 29.97f, 0);
    Result(3, QStringLiteral("Two\r\nLines.mp4"), 1024, 0, 23.976f, 800);
    Result(4, QStringLiteral("東京の夜.mp4"), 5e9, 59.5, 59.94f, 12000);
    Result(5, QStringLiteral("Party 🎉.webm"), 3.5e6, 7200, 0.0f, 64);
  }
};

TEST_F(ExportTest, NoResultsOnlySaysSo) {
  FakeResults(0);
  QFile::remove(ExportPath());
  Send("mnuToolsExportCSV");
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Export Failed!"));
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("You are not currently browsing any files!"));
  EXPECT_EQ(boxes.Last().style, 48);
  EXPECT_FALSE(QFile::exists(ExportPath()));
}

TEST_F(ExportTest, RecordsReadBackFieldForFieldInTheUsersLocale) {
  if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty()) GTEST_SKIP() << "python3 is not installed";
  struct Case {
    QLocale locale;
    const char* mb1;
    const char* mb4;
    const char* fps3;
  };
  const Case cases[] = {{QLocale(QLocale::English, QLocale::UnitedStates), "1.500 MB", "4768.372 MB", "23.976fps"},
                        {QLocale(QLocale::German, QLocale::Germany), "1,500 MB", "4768,372 MB", "23,976fps"}};
  for (const Case& c : cases) {
    QLocale::setDefault(c.locale);
    FiveResults();
    boxes.Clear();
    Send("mnuToolsExportCSV");
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Export Complete"));
    EXPECT_EQ(boxes.Last().prompt, QStringLiteral("File Exported to ") + QDir::toNativeSeparators(ExportPath()));
    QFile file(ExportPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF\"Fish, Chips.avi\",\"/media/films/\",")) << bytes.left(40).toStdString();
    EXPECT_TRUE(bytes.endsWith("\"No Tags\"\r\n"));
    EXPECT_FALSE(bytes.contains("***"));
    const std::vector<QStringList> records = ReadWithPython(ExportPath());
    ASSERT_EQ(records.size(), 5u);
    for (const QStringList& record : records) EXPECT_EQ(record.size(), 8);
    const QString german = QLatin1String(c.mb1) == QLatin1String("1,500 MB") ? QStringLiteral(",") : QStringLiteral(".");
    EXPECT_EQ(records[0], QStringList({"Fish, Chips.avi", "/media/films/", c.mb1, "1h:02m:05s", "640x480", "25fps",
                                       "1500kbps", "No Tags"}));
    EXPECT_EQ(records[1][0], QStringLiteral("The \"Big\" One.mkv"));
    EXPECT_EQ(records[1][2], QStringLiteral("0") + german + QStringLiteral("000 MB"));
    EXPECT_EQ(records[1][3], QStringLiteral("0h:00m:42s"));
    EXPECT_EQ(records[1][5], QStringLiteral("29") + german + QStringLiteral("97fps"));
    EXPECT_EQ(records[1][6], QStringLiteral("0kbps"));
    EXPECT_EQ(records[2][0], QStringLiteral("Two\r\nLines.mp4"));
    EXPECT_EQ(records[2][5], QLatin1String(c.fps3));
    EXPECT_EQ(records[3][0], QStringLiteral("東京の夜.mp4"));
    EXPECT_EQ(records[3][2], QLatin1String(c.mb4));
    EXPECT_EQ(records[4][0], QStringLiteral("Party 🎉.webm"));
    EXPECT_EQ(records[4][3], QStringLiteral("2h:00m:00s"));
    EXPECT_EQ(records[4][5], QStringLiteral("0fps"));
  }
}

TEST_F(ExportTest, EachRowCarriesItsFilesTagsImpliedOnesPlain) {
  if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty()) GTEST_SKIP() << "python3 is not installed";
  SqlConnection& db = gLibrary->Connection();
  db.Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (900, 'Outer', 'T'), (901, 'Inner', 'T')"));
  db.Execute(QStringLiteral("INSERT INTO TagLinks VALUES (901, 900, 'L')"));
  db.Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, "
                            "Online, Rating) VALUES (9001, 1, 'Y', 0, 10, 1, 0), (9002, 1, NULL, 2, 4, 1, 0)"));
  db.Execute(QStringLiteral("INSERT INTO SegmentTags VALUES (9002, 901)"));
  FakeResults(3);
  gResults[2].FileID = 1;  // a segment of the same file
  Send("mnuToolsExportCSV");
  const std::vector<QStringList> records = ReadWithPython(ExportPath());
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0][7], QStringLiteral("Inner, Outer"));
  EXPECT_EQ(records[1][7], QStringLiteral("Inner, Outer"));
  EXPECT_EQ(records[2][7], QStringLiteral("No Tags"));
}

// A name, folder, dimensions or tag list a spreadsheet would run as a
// formula is kept as text by a leading "'"; the numbers the program writes
// stay numbers, a negative one too.
TEST_F(ExportTest, TextsThatASpreadsheetWouldRunAsFormulasAreWrittenAsText) {
  if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty()) GTEST_SKIP() << "python3 is not installed";
  gLibrary->Connection().Execute(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (900, '@SUM(1+1)', 'T');"
                     "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, "
                     "Rating) VALUES (9001, 1, 'Y', 0, 10, 1, 0);"
                     "INSERT INTO SegmentTags VALUES (9001, 900)"));
  FakeResults(6);
  const QString names[] = {"=HYPERLINK(\"http://x\",\"y\").mp4", "+1+2.avi", "-2+3.mkv", "@SUM(A1).mov",
                           "\tTabbed.mp4", "\rReturn.mp4"};
  for (int i = 1; i <= 6; ++i) Result(i, names[i - 1], 1048576, 60, 25.0f, -5);
  gResults[1].FileID = 1;
  gResults[2].CurrentPath = QStringLiteral("=cmd|' /C calc'!A0/");
  gResults[3].Dimensions = QStringLiteral("-1x1");
  Send("mnuToolsExportCSV");
  const std::vector<QStringList> records = ReadWithPython(ExportPath());
  ASSERT_EQ(records.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(records[i][0], QLatin1Char('\'') + names[i]);
  EXPECT_EQ(records[0][7], QStringLiteral("'@SUM(1+1)"));
  EXPECT_EQ(records[1][1], QStringLiteral("'=cmd|' /C calc'!A0/"));
  EXPECT_EQ(records[2][4], QStringLiteral("'-1x1"));
  EXPECT_EQ(records[0][1], QStringLiteral("/media/films/")) << "other texts are as they were";
  EXPECT_EQ(records[0][4], QStringLiteral("640x480"));
  EXPECT_EQ(records[0][6], QStringLiteral("-5kbps")) << "a number the program writes is left as it is";
  EXPECT_EQ(records[1][7], QStringLiteral("No Tags"));
}

// Another program may store a NUL in a name, a folder or a tag; readers of
// CSV take it for the end of the file or refuse the line, so none is written.
TEST_F(ExportTest, ANulInAnyTextNeverReachesTheFile) {
  if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty()) GTEST_SKIP() << "python3 is not installed";
  const QString nul(QChar(u'\0'));
  SqlConnection& db = gLibrary->Connection();
  db.Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (900, 'Be' || char(0) || 'ach', 'T');"
                            "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, "
                            "Online, Rating) VALUES (9001, 1, 'Y', 0, 10, 1, 0);"
                            "INSERT INTO SegmentTags VALUES (9001, 900)"));
  FakeResults(2);
  Result(1, QStringLiteral("Holi") + nul + QStringLiteral("day.mp4"), 1048576, 60, 25.0f, 800);
  Result(2, nul + QStringLiteral("=1+1.mp4"), 1048576, 60, 25.0f, 800);
  gResults[1].FileID = 1;
  gResults[1].CurrentPath = QStringLiteral("/media/") + nul + QStringLiteral("films/");
  gResults[2].Dimensions = QStringLiteral("640") + nul + QStringLiteral("x480");
  Send("mnuToolsExportCSV");
  EXPECT_FALSE(ReadAll(ExportPath()).contains('\0'));
  const std::vector<QStringList> records = ReadWithPython(ExportPath());
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0][0], QStringLiteral("Holiday.mp4"));
  EXPECT_EQ(records[0][1], QStringLiteral("/media/films/"));
  EXPECT_EQ(records[0][7], QStringLiteral("Beach"));
  EXPECT_EQ(records[1][0], QStringLiteral("'=1+1.mp4")) << "a formula behind a NUL is still kept as text";
  EXPECT_EQ(records[1][4], QStringLiteral("640x480"));
}

// The export to a folder on a mount whose server stopped answering is given
// up after the time limit with one message, while the server still does not
// answer. A call queued and a zero-delay timer set meanwhile run only after
// the export; the write given up ends once the mount answers.
TEST_F(ExportTest, ADiskThatStopsAnsweringIsGivenUpWithOneMessageAndNothingRunsInsideTheExport) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  const QString folder = ScratchPath(QStringLiteral("share"));
  ASSERT_TRUE(QDir().mkpath(folder));
  std::optional<rwtest::DeadMount> dead;
  dead.emplace(folder);
  if (!dead->Mounted()) GTEST_SKIP() << dead->Problem().toStdString();
  FiveResults();
  const QString temp = gTempFolder;
  gTempFolder = folder + QLatin1Char('/');
  bool exporting = true;
  QStringList during;
  QStringList after;
  QTimer::singleShot(0, [&] { (exporting ? during : after) << QStringLiteral("timer"); });
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&] { (exporting ? during : after) << QStringLiteral("queued"); },
      Qt::QueuedConnection);
  QElapsedTimer took;
  took.start();
  Send("mnuToolsExportCSV");
  const qint64 ms = took.elapsed();
  exporting = false;
  const QString path = ExportPath();
  gTempFolder = temp;
  EXPECT_FALSE(dead->Released()) << "the export came back while the server still did not answer";
  EXPECT_LT(ms, 15000);
  EXPECT_TRUE(during.isEmpty()) << during.join(QLatin1Char(' ')).toStdString();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Export Failed!"));
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("The export file ") + path +
                                     QStringLiteral(" could not be written:\r\nIts disk did not answer within 3 "
                                                    "seconds."));
  EXPECT_TRUE(QTest::qWaitFor([&] { return after.size() == 2; }, rwtest::kWaitCeilingMs)) << "and then run";
  EXPECT_TRUE(dead->ReleaseAndOutliveWaiters()) << "the write given up ends once answered";
}

TEST_F(ExportTest, AFileThatCannotBeWrittenIsReportedWithItsReason) {
  FakeResults(2);
  QFile::remove(ExportPath());
  ASSERT_TRUE(QDir().mkpath(ExportPath()));  // export.csv is a folder
  Send("mnuToolsExportCSV");
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Export Failed!"));
  EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("The export file "))) << boxes.Last().prompt.toStdString();
  EXPECT_TRUE(QFileInfo(ExportPath()).isDir());
  QDir(ExportPath()).removeRecursively();

  // An export that fails keeps the one before it.
  Send("mnuToolsExportCSV");
  QFile earlier(ExportPath());
  ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
  const QByteArray before = earlier.readAll();
  earlier.close();
  const QString temp = gTempFolder;
  gTempFolder = temp + QStringLiteral("missing/");
  boxes.Clear();
  Send("mnuToolsExportCSV");
  gTempFolder = temp;
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Export Failed!"));
  ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
  EXPECT_EQ(earlier.readAll(), before);
}

// On a real full disk the earlier export stays whole and the failure names
// the file and says why; it is never told as "Export Complete".
TEST_F(ExportTest, OnAFullDiskTheEarlierExportIsKeptAndTheFailureIsTold) {
  rwtest::SmallDisk disk;
  if (!disk.Here()) return;
  FakeResults(2);
  const QString temp = gTempFolder;
  gTempFolder = disk.Folder() + QLatin1Char('/');
  Send("mnuToolsExportCSV");
  const QByteArray before = ReadAll(ExportPath());
  ASSERT_FALSE(before.isEmpty());
  FiveResults();
  disk.Fill();
  boxes.Clear();
  Send("mnuToolsExportCSV");
  const QString path = ExportPath();
  gTempFolder = temp;
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Export Failed!"));
  EXPECT_TRUE(boxes.Last().prompt.contains(path)) << boxes.Last().prompt.toStdString();
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("The disk is full."))) << boxes.Last().prompt.toStdString();
  EXPECT_EQ(ReadAll(path), before);
}

}  // namespace
