// The settings store: defaults of a fresh user, typed values and their
// conversion, case-insensitive names, concurrent writers and a damaged file.
#include "core/SettingsStore.h"
#include "core/modRegistry.h"
#include "tests/support/ChildRun.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestTickClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace modRegistry;

namespace {

// A test binary started with RW_SETTINGS_WRITER=<prefix> writes 100 values named
// <prefix>0..99 and ends before any test runs: the second process of the
// concurrent-writer test.
class SettingsWriterProcess : public ::testing::Environment {
 public:
  void SetUp() override {
    const QString prefix = qEnvironmentVariable("RW_SETTINGS_WRITER");
    if (prefix.isEmpty()) return;
    for (int i = 0; i < 100; ++i) SetRegValue(HKEY_CURRENT_USER, kRegOther, prefix + QString::number(i), i);
    // A change made while another writer held the store is kept, not lost:
    // the last of them is written before the process ends, however long
    // the others hold the store.
    if (!WritePendingSettings(-1)) std::_Exit(1);
    std::_Exit(0);
  }
};
[[maybe_unused]] ::testing::Environment* const kWriterProcess =
    ::testing::AddGlobalTestEnvironment(new SettingsWriterProcess);

class SettingsTest : public rwtest::TempHomeTest {
 protected:
  static RegValue Get(const QString& key, const QString& name) { return GetRegValue(HKEY_CURRENT_USER, key, name); }
  static void Set(const QString& name, const QVariant& value) { SetRegValue(HKEY_CURRENT_USER, kRegOther, name, value); }
  static RegValue Other(const QString& name) { return Get(kRegOther, name); }
  static QString StorePath() { return SettingsStore::DefaultPath(); }
  static QByteArray StoreBytes() {
    QFile file(StorePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // Writes `bytes` as the whole of the file at `path`, as another tool
  // would, making its folder; false when it cannot.
  static bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
  }
};

// A fresh user gets every default (no TV-Out colours), the window's place
// rounded half to even; a stored value the program cannot use reads as the
// table's default, the mirrors follow the store, the defaults fill only
// empty values, and a value written as it is stored leaves the file alone.
TEST_F(SettingsTest, AFreshUserGetsEveryDefaultAndTheDefaultsFillOnlyWhatIsEmpty) {
  EXPECT_TRUE(StorePath().startsWith(HomePath(QStringLiteral(".config/Reelwise II/"))));
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, QStringLiteral("Software\\Reelwise II\\General")));
  EnsureDefaultSettings();

  const std::vector<SettingDefault> defaults = DefaultSettings(QSize(1920, 1080));
  ASSERT_EQ(defaults.size(), 6u + 13u + 30u);
  for (const SettingDefault& entry : defaults) {
    const RegValue stored = Get(entry.keyPath, entry.name);
    if (entry.value.typeId() == QMetaType::QString) {
      EXPECT_FALSE(stored.IsNumber()) << entry.name.toStdString();
      EXPECT_EQ(stored.Text(), entry.value.toString()) << entry.name.toStdString();
    } else {
      EXPECT_TRUE(stored.IsNumber()) << entry.name.toStdString();
      EXPECT_EQ(stored.Number(), entry.value.toInt()) << entry.name.toStdString();
    }
  }
  EXPECT_EQ(Get(kRegGeneral, QStringLiteral("AppTop")).Number(), 156);
  EXPECT_EQ(Get(kRegGeneral, QStringLiteral("AppLeft")).Number(), 448);
  EXPECT_EQ(Get(kRegFilePosters, QStringLiteral("CaptionTextColour")).Number(), 0xFF0000);
  EXPECT_EQ(Other(QStringLiteral("CursorColour")).Number(), 33023);
  EXPECT_EQ(Other(QStringLiteral("TV-Out Theme")).Number(), 0);
  EXPECT_EQ(Other(QStringLiteral("Invert Colours")).Number(), 0);
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, QStringLiteral("Software\\Reelwise II\\ProgramOptions")));

  const QByteArray file = StoreBytes();
  EXPECT_TRUE(file.contains("\"SaveWorkspace\"=\"\"")) << "an empty text value, not a missing one";
  EXPECT_FALSE(file.contains("TV-Out Colour"));
  EXPECT_TRUE(Other(QStringLiteral("TV-Out Colour1")).IsEmpty());
  EXPECT_EQ(GetSettingLong(kRegOther, QStringLiteral("TV-Out Colour2")), 0);

  // Placement defaults round halves to even.
  const auto placement = [](QSize screen) {
    std::vector<int32_t> values;
    for (const SettingDefault& entry : DefaultSettings(screen)) {
      if (entry.name == QLatin1String("AppTop") || entry.name == QLatin1String("AppLeft")) {
        SetRegValue(HKEY_CURRENT_USER, entry.keyPath, entry.name, entry.value);
        values.push_back(GetRegValue(HKEY_CURRENT_USER, entry.keyPath, entry.name).Number());
      }
    }
    return values;
  };
  EXPECT_EQ(placement(QSize(1027, 773)), (std::vector<int32_t>{2, 2})) << "2.5 -> 2, 1.5 -> 2";
  EXPECT_EQ(placement(QSize(1031, 775)), (std::vector<int32_t>{4, 4})) << "3.5 -> 4";

  // Unusable stored values fall back to the table's default.
  Set(QStringLiteral("TipOfTheDayIndex"), QStringLiteral("abc"));
  Set(QStringLiteral("UseRecycleBin"), QStringLiteral("maybe"));
  Set(QStringLiteral("PopupDelay"), QStringLiteral("7.5"));
  EXPECT_EQ(GetSettingLong(kRegOther, QStringLiteral("TipOfTheDayIndex")), 1);
  EXPECT_TRUE(GetSettingBool(kRegOther, QStringLiteral("UseRecycleBin")));
  EXPECT_EQ(GetSettingLong(kRegOther, QStringLiteral("PopupDelay")), 8) << "a number stored as text still counts";
  EXPECT_EQ(GetSettingText(kRegOther, QStringLiteral("SearchSettings")), QStringLiteral("F--"));

  // The mirrors follow the store.
  Set(QStringLiteral("UseInternalPLayer"), 0);
  Set(QStringLiteral("PopupDelay"), 20);
  Set(QStringLiteral("CursorColour"), 0xFF);
  Set(QStringLiteral("SearchSettings"), QStringLiteral("FAD"));
  Set(QStringLiteral("UseRecycleBin"), 0);
  ReadSettingsMirrors();
  EXPECT_FALSE(gUseInternalPlayer);
  EXPECT_FALSE(gDeleteToRecycleBin);
  EXPECT_EQ(gPopupDelayMs, 200);
  EXPECT_EQ(gCursorColour, 0xFFu);
  EXPECT_EQ(gSearchSettings, QStringLiteral("FAD"));
  EXPECT_TRUE(gMinimiseToTray);
  EXPECT_EQ(gPlaylistFormat, QStringLiteral("M3U"));

  EnsureDefaultSettings();
  Set(QStringLiteral("UseInternalPlayer"), 1);
  Set(QStringLiteral("UseRecycleBin"), 1);
  ReadSettingsMirrors();
  EXPECT_TRUE(gUseInternalPlayer);
  EXPECT_TRUE(gDeleteToRecycleBin);

  // The defaults fill only empty values.
  Set(QStringLiteral("PlaylistFormat"), QStringLiteral("ASX"));
  Set(QStringLiteral("PopupDelay"), QString());
  Set(QStringLiteral("Hue"), 0);
  EnsureDefaultSettings();
  EXPECT_EQ(Other(QStringLiteral("PlaylistFormat")).Text(), QStringLiteral("ASX")) << "a user's value stays";
  EXPECT_EQ(Other(QStringLiteral("PopupDelay")), RegValue::FromNumber(50)) << "an empty value returns to its default";
  EXPECT_EQ(Other(QStringLiteral("Hue")), RegValue::FromNumber(0)) << "0 is a value, not an empty one";

  SetRegDefault(HKEY_CURRENT_USER, kRegOther, QStringLiteral("PlaylistFormat"), QStringLiteral("M3U"));
  EXPECT_EQ(Other(QStringLiteral("PlaylistFormat")).Text(), QStringLiteral("ASX"));

  // A value written as it is stored already does not rewrite the file: a hard
  // link to it stays a link to the file in use until a real change replaces it.
  Set(QStringLiteral("PlaylistFormat"), QStringLiteral("ASX"));
  const QString witness = StorePath() + QStringLiteral(".witness");
  ASSERT_EQ(::link(QFile::encodeName(StorePath()).constData(), QFile::encodeName(witness).constData()), 0);
  const auto links = [&] {
    struct stat info {};
    return ::stat(QFile::encodeName(witness).constData(), &info) == 0 ? int(info.st_nlink) : -1;
  };
  Set(QStringLiteral("PlaylistFormat"), QStringLiteral("ASX"));
  SetRegDefault(HKEY_CURRENT_USER, kRegOther, QStringLiteral("PlaylistFormat"), QStringLiteral("M3U"));
  EnsureDefaultSettings();
  EXPECT_EQ(links(), 2) << "no write for a value that did not change";

  Set(QStringLiteral("PlaylistFormat"), QStringLiteral("PLS"));
  EXPECT_EQ(links(), 1);
  EXPECT_TRUE(StoreBytes().contains("\"PlaylistFormat\"=\"PLS\""));
}

// Numbers and numeric text are stored as numbers, other text trimmed; names
// of values and keys are found under any case, keeping their first spelling;
// text with quotes, backslashes and line breaks comes back as it was.
TEST_F(SettingsTest, ValuesAreStoredAsNumbersOrTrimmedTextUnderNamesOfAnyCase) {
  Set(QStringLiteral("A"), 2.5);
  Set(QStringLiteral("B"), 3.5);
  Set(QStringLiteral("C"), QStringLiteral("12"));
  Set(QStringLiteral("D"), QStringLiteral("  Tahoma  "));
  Set(QStringLiteral("E"), QStringLiteral("3000000000"));
  Set(QStringLiteral("F"), QStringLiteral(" -2.5 "));
  Set(QStringLiteral("G"), true);
  Set(QStringLiteral("H"), QStringLiteral("1e3"));
  Set(QStringLiteral("I"), 3e9);

  EXPECT_EQ(Other(QStringLiteral("A")), RegValue::FromNumber(2));
  EXPECT_EQ(Other(QStringLiteral("B")), RegValue::FromNumber(4));
  EXPECT_EQ(Other(QStringLiteral("C")), RegValue::FromNumber(12)) << "the integer, not the text";
  EXPECT_EQ(Other(QStringLiteral("D")), RegValue::FromText(QStringLiteral("Tahoma")));
  EXPECT_EQ(Other(QStringLiteral("E")), RegValue::FromText(QStringLiteral("3000000000")));
  EXPECT_EQ(Other(QStringLiteral("F")), RegValue::FromNumber(-2));
  EXPECT_EQ(Other(QStringLiteral("G")), RegValue::FromNumber(1));
  EXPECT_EQ(Other(QStringLiteral("H")), RegValue::FromNumber(1000));
  EXPECT_EQ(Other(QStringLiteral("I")), RegValue::FromText(QStringLiteral("3000000000")));
  EXPECT_EQ(Other(QStringLiteral("Missing")), RegValue());

  // Value names and keys ignore case.
  SetRegValue(HKEY_CURRENT_USER, QStringLiteral("software\\REELWISE II\\ProgramOptions\\other\\"),
              QStringLiteral("UseInternalPLayer"), 0);
  EXPECT_EQ(Other(QStringLiteral("UseInternalPlayer")), RegValue::FromNumber(0));
  Set(QStringLiteral("USEINTERNALPLAYER"), 1);
  EXPECT_EQ(Other(QStringLiteral("useinternalplayer")), RegValue::FromNumber(1));
  EXPECT_EQ(StoreBytes().count("nternalPLayer"), 1) << "one value, keeping its first spelling";

  // Text with quotes, backslashes and line breaks round-trips.
  const QString workspace = QStringLiteral("/media/x/My \"Films\"\\.rw2 |_T:12\r\n=;[x]");
  Set(QStringLiteral("SaveWorkspace"), workspace);
  EXPECT_EQ(Other(QStringLiteral("SaveWorkspace")).Text(), workspace);
}

TEST_F(SettingsTest, DecimalPointIsReadTheSameUnderAGermanLocale) {
  rwtest::DecimalCommaLocale german;
  if (!german.Switched()) GTEST_SKIP() << rwtest::kNoGermanLocale;
  ASSERT_EQ(german.TwoAndAHalf(), "2,5") << "the C library should write a decimal comma under de_DE.UTF-8";

  Set(QStringLiteral("A"), QStringLiteral("2.5"));
  Set(QStringLiteral("B"), 3.5);
  Set(QStringLiteral("C"), QStringLiteral("2,5"));
  Set(QStringLiteral("D"), 2.75e10);
  const RegValue a = Other(QStringLiteral("A"));
  const RegValue b = Other(QStringLiteral("B"));
  const RegValue c = Other(QStringLiteral("C"));
  const RegValue d = Other(QStringLiteral("D"));

  german.Restore();
  EXPECT_EQ(a, RegValue::FromNumber(2));
  EXPECT_EQ(b, RegValue::FromNumber(4));
  EXPECT_EQ(c, RegValue::FromText(QStringLiteral("2,5")));
  EXPECT_EQ(d, RegValue::FromText(QStringLiteral("27500000000")));
}

// Two other processes writing at once with this one lose nothing of anyone's.
// Another process then holds the store past the time an update waits for it
// (it hangs in its write): a change made meanwhile reads as made, and is
// written with the next change, or at the end of the run, never lost and
// never told; only a holder that never lets go by the end of the run loses
// it, and that is told.
TEST_F(SettingsTest, ProcessesWritingAtOnceOrHoldingTheStoreLoseNoChange) {
  EnsureDefaultSettings();
  std::vector<std::unique_ptr<QProcess>> writers;
  for (const char* prefix : {"WriterA", "WriterB"}) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("RW_SETTINGS_WRITER"), QString::fromLatin1(prefix));
    process->setProcessEnvironment(environment);
    process->setProgram(QCoreApplication::applicationFilePath());
    process->setArguments({QStringLiteral("--gtest_filter=SettingsTest.ProcessesWritingAtOnceOrHoldingTheStoreLoseNoChange")});
    writers.push_back(std::move(process));
  }
  for (auto& writer : writers) writer->start();
  for (auto& writer : writers) ASSERT_TRUE(writer->waitForStarted());
  for (int i = 0; i < 100; ++i) Set(QStringLiteral("Parent%1").arg(i), i);
  ASSERT_TRUE(WritePendingSettings(-1));
  for (auto& writer : writers) {
    ASSERT_TRUE(writer->waitForFinished(60000));
    EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
  }
  for (const char* prefix : {"WriterA", "WriterB", "Parent"}) {
    for (int i = 0; i < 100; ++i) {
      EXPECT_EQ(Other(QString::fromLatin1(prefix) + QString::number(i)), RegValue::FromNumber(i)) << prefix << i;
    }
  }
  EXPECT_EQ(Other(QStringLiteral("CursorColour")), RegValue::FromNumber(33023)) << "earlier values survive";

  // A change made while another process holds the store is kept and written next.
  rwtest::ScriptedMessageBoxes boxes;
  // A lock of another open file description is another holder's, as another
  // process's would be.
  const auto holdStore = [] {
    const int held = ::open(QFile::encodeName(StorePath() + QStringLiteral(".lock")).constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    EXPECT_EQ(::flock(held, LOCK_EX), 0);
    return held;
  };
  const auto changeWhileHeld = [](const char* name, int value) {
    rwtest::TestTickClock clock;
    clock.stepPerRead = 1000;  // each look at the clock a second later
    const uint64_t before = clock.now;
    Set(QLatin1String(name), value);
    EXPECT_LT(clock.now - before, 5000u) << "the window's thread keeps the change after long work's grace";
  };

  int held = holdStore();
  changeWhileHeld("WhileHeld", 5);
  EXPECT_EQ(Other(QStringLiteral("WhileHeld")), RegValue::FromNumber(5)) << "read as made";
  EXPECT_FALSE(StoreBytes().contains("\"WhileHeld\"")) << "not written past the holder";
  ::close(held);
  Set(QStringLiteral("Next"), 6);
  EXPECT_TRUE(StoreBytes().contains("\"WhileHeld\"=dword:00000005")) << StoreBytes().toStdString();
  EXPECT_TRUE(StoreBytes().contains("\"Next\"=dword:00000006"));

  // The last change of a run, with nothing after it: the end writes it.
  held = holdStore();
  changeWhileHeld("Last", 7);
  ::close(held);
  EXPECT_TRUE(WritePendingSettings());
  EXPECT_TRUE(StoreBytes().contains("\"Last\"=dword:00000007"));
  EXPECT_EQ(boxes.Count(), 0);

  // A holder that never lets go by the end of the run: the change is told lost, naming the file.
  held = holdStore();
  changeWhileHeld("Never", 8);
  boxes.Answer(vbOK);
  {
    rwtest::TestTickClock clock;
    clock.stepPerRead = 1000;
    EXPECT_FALSE(WritePendingSettings());
  }
  ::close(held);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Reelwise II Settings"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QDir::toNativeSeparators(StorePath())));
}

// A damaged store is set aside as it was and the user told once, whether a
// reader or a writer finds it; the defaults are written anew and the change
// that found it is kept.
TEST_F(SettingsTest, ADamagedStoreIsSetAsideAndToldOnceWhoeverFindsIt) {
  EnsureDefaultSettings();
  Set(QStringLiteral("PlaylistFormat"), QStringLiteral("PLS"));
  const QByteArray garbage("\x00\x01 not a settings file \xff\xfe", 25);
  ASSERT_TRUE(WriteFile(StorePath(), garbage));

  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(vbOK);
  EXPECT_EQ(Other(QStringLiteral("PlaylistFormat")).Text(), QStringLiteral("M3U")) << "defaults written anew";
  EXPECT_EQ(Other(QStringLiteral("Hue")), RegValue::FromNumber(100));
  Set(QStringLiteral("Sat"), 7);
  EXPECT_EQ(Other(QStringLiteral("Sat")), RegValue::FromNumber(7));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().systemBox);
  EXPECT_TRUE(boxes.Last().prompt.contains(StorePath() + QStringLiteral(".damaged-1")));

  QFile aside(StorePath() + QStringLiteral(".damaged-1"));
  ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
  EXPECT_EQ(aside.readAll(), garbage) << "the damaged file is kept as it was";
  aside.close();

  // Damage found by a writer is set aside too.
  ASSERT_TRUE(QFile::remove(aside.fileName()));
  boxes.Clear();
  ASSERT_TRUE(WriteFile(StorePath(), "[Software\\Reelwise II\\General]\n\"AppTop\"=dword:0000000c\n"));  // no first line of ours
  boxes.Answer(vbOK);
  Set(QStringLiteral("Sat"), 7);
  EXPECT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(QFile::exists(StorePath() + QStringLiteral(".damaged-1")));
  EXPECT_EQ(Other(QStringLiteral("Sat")), RegValue::FromNumber(7));
  EXPECT_EQ(Get(kRegGeneral, QStringLiteral("AppWidth")), RegValue::FromNumber(1024));
}

// A file another tool wrote: values of types the program does not write read
// empty and take the default; thousands of values are read once, and a value
// another writer changes is seen at the next read all the same (the file is
// parsed again when it changed); lines the reader cannot make out cost those
// lines alone (every other setting is read, nothing is set aside or said, and
// the lines are written back as they were).
TEST_F(SettingsTest, AFileAnotherToolWroteIsReadWhereverItCanBeAndItsChangesSeen) {
  ASSERT_TRUE(WriteFile(StorePath(), "; Reelwise II settings\n[Software\\Reelwise II\\ProgramOptions\\Other]\n"
                                     "\"Hue\"=hex(2):41,00\n\"Sat\"=\"12\\0junk\"\n"));
  EXPECT_TRUE(Other(QStringLiteral("Hue")).IsEmpty());
  EXPECT_EQ(Other(QStringLiteral("Sat")).Text(), QStringLiteral("12")) << "text is cut at its first NUL";
  SetRegDefault(HKEY_CURRENT_USER, kRegOther, QStringLiteral("Hue"), 100);
  EXPECT_EQ(Other(QStringLiteral("Hue")), RegValue::FromNumber(100));

  // A large file is read, and a change by another writer is seen.
  EnsureDefaultSettings();
  QByteArray extra = "\n[Software\\Reelwise II\\Extra]\n";
  for (int i = 0; i < 20000; ++i) extra += "\"Value" + QByteArray::number(i) + "\"=dword:" + QByteArray::number(i, 16) + "\n";
  QFile file(StorePath());
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write(extra);
  file.close();
  EXPECT_EQ(Get(QStringLiteral("Software\\Reelwise II\\Extra"), QStringLiteral("value19999")),
            RegValue::FromNumber(19999));
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, QStringLiteral("software\\reelwise ii")));
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, QStringLiteral("Software\\Reelwise")));

  QByteArray text = StoreBytes();
  text.replace("\"Value7\"=dword:7\n", "\"Value7\"=dword:70\n");
  ASSERT_TRUE(WriteFile(StorePath(), text));
  EXPECT_EQ(Get(QStringLiteral("Software\\Reelwise II\\Extra"), QStringLiteral("Value7")), RegValue::FromNumber(0x70));
  Set(QStringLiteral("Sat"), 9);
  EXPECT_TRUE(StoreBytes().contains("\"Value7\"=dword:00000070")) << "the update kept the other writer's value";

  // Lines the reader cannot make out cost themselves alone.
  ASSERT_TRUE(WriteFile(StorePath(), "; Reelwise II settings\n"
                                     "Stray line above every key\n"
                                     "[Software\\Reelwise II\\ProgramOptions\\Other]\n"
                                     "@=\"the key's default\"\n"
                                     "\"PlaylistFormat\"=\"ASX\"\n"
                                     "\"PopupDelay\"=qword:0000000000000007\n"
                                     "\"Hue\"=dword:00000007\n"));
  rwtest::ScriptedMessageBoxes boxes;
  EXPECT_EQ(Other(QStringLiteral("PlaylistFormat")).Text(), QStringLiteral("ASX"));
  EXPECT_EQ(Other(QStringLiteral("Hue")), RegValue::FromNumber(7));
  EXPECT_TRUE(Other(QStringLiteral("PopupDelay")).IsEmpty());
  EXPECT_EQ(GetSettingLong(kRegOther, QStringLiteral("PopupDelay")), 50) << "the default stands in";
  Set(QStringLiteral("Sat"), 9);
  EXPECT_EQ(Other(QStringLiteral("Sat")), RegValue::FromNumber(9));
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_FALSE(QFile::exists(StorePath() + QStringLiteral(".damaged-1")));
  const QByteArray written = StoreBytes();
  for (const char* line : {"Stray line above every key\n", "@=\"the key's default\"\n",
                           "\"PopupDelay\"=qword:0000000000000007\n", "\"PlaylistFormat\"=\"ASX\"\n"}) {
    EXPECT_TRUE(written.contains(line)) << line << " in\n" << written.toStdString();
  }
}

// A settings file that cannot be read, or cannot be written, or whose
// folder cannot be made, is told once, naming the file; the program runs on
// with its settings in memory (those it could read, else the defaults), and
// the file is left as it was. Run as an ordinary user, for whom a file's
// modes count.
TEST_F(SettingsTest, AFileThatCannotBeReadOrWrittenIsToldOnceAndTheRunKeepsItsSettings) {
  RW_RUN_AS_ORDINARY_USER();
  const QByteArray stored = "; Reelwise II settings\n[Software\\Reelwise II\\ProgramOptions\\Other]\n"
                            "\"PlaylistFormat\"=\"ASX\"\n";
  const struct {
    const char* name;
    std::function<void(const QString& folder)> make;
    const char* says;
    const char* format;  // what the run reads before any change
  } cases[] = {
      {"unreadable file",
       [&](const QString& folder) {
         ASSERT_TRUE(WriteFile(folder + QStringLiteral("/Settings.txt"), stored));
         ASSERT_TRUE(QFile::setPermissions(folder + QStringLiteral("/Settings.txt"), QFileDevice::WriteOwner));
       },
       "you have no permission to read it", "M3U"},
      {"read-only folder",
       [&](const QString& folder) {
         ASSERT_TRUE(WriteFile(folder + QStringLiteral("/Settings.txt"), stored));
         ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
       },
       "Permission to write there is denied.", "ASX"},
      {"a file for its folder",
       [](const QString& folder) {
         ASSERT_TRUE(QDir(folder).removeRecursively());
         QFile file(folder);
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
       },
       "A file stands where the folder", "M3U"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString config = HomePath(QStringLiteral("config-%1").arg(&c - cases));
    const QString folder = config + QStringLiteral("/Reelwise II");
    ASSERT_TRUE(QDir().mkpath(folder));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    c.make(folder);
    const QByteArray before = QFileInfo(folder).isDir() ? stored : QByteArray();

    rwtest::ScriptedMessageBoxes boxes;
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
    EXPECT_EQ(GetSettingText(kRegOther, QStringLiteral("PlaylistFormat")), QLatin1String(c.format));
    EnsureDefaultSettings();
    Set(QStringLiteral("PlaylistFormat"), QStringLiteral("PLS"));
    Set(QStringLiteral("Sat"), 9);
    EXPECT_EQ(Other(QStringLiteral("PlaylistFormat")).Text(), QStringLiteral("PLS")) << "kept for the run";
    EXPECT_EQ(Other(QStringLiteral("Sat")), RegValue::FromNumber(9));
    EXPECT_EQ(Get(kRegGeneral, QStringLiteral("AppWidth")), RegValue::FromNumber(1024)) << "defaults are there";

    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Reelwise II Settings"));
    EXPECT_TRUE(boxes.Last().prompt.contains(StorePath())) << boxes.Last().prompt.toStdString();
    EXPECT_TRUE(boxes.Last().prompt.contains(QLatin1String(c.says))) << boxes.Last().prompt.toStdString();
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("are not kept"))) << boxes.Last().prompt.toStdString();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(StorePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(StoreBytes(), before) << "the file is left as it was";
  }
}

// A settings file that is no regular file is left exactly as it is: a link
// to /dev/zero would be read for ever, a FIFO would block the start, a folder
// would silently keep nothing. The user is told once; the program runs on
// the defaults, and a change lasts for the run.
TEST_F(SettingsTest, ASettingsFileThatIsNoRegularFileIsRefusedOnceAndLeftAlone) {
  struct OddFile {
    const char* name;
    std::function<bool(const QString&)> make;
    std::function<bool(const QString&)> intact;
  };
  const std::vector<OddFile> kinds = {
      {"folder", [](const QString& path) { return QDir().mkpath(path + QStringLiteral("/inside")); },
       [](const QString& path) { return QFileInfo(path).isDir() && QFileInfo::exists(path + "/inside"); }},
      {"fifo", [](const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; },
       [](const QString& path) {
         struct stat info {};
         return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
       }},
      {"link to /dev/zero", [](const QString& path) { return QFile::link(QStringLiteral("/dev/zero"), path); },
       [](const QString& path) { return QFileInfo(path).symLinkTarget() == QStringLiteral("/dev/zero"); }},
  };
  for (const OddFile& kind : kinds) {
    SCOPED_TRACE(kind.name);
    const QString config = HomePath(QStringLiteral("config-%1").arg(&kind - kinds.data()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    ASSERT_TRUE(QDir().mkpath(config + QStringLiteral("/Reelwise II")));
    ASSERT_TRUE(kind.make(StorePath()));

    rwtest::ScriptedMessageBoxes boxes;
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
    EnsureDefaultSettings();
    ReadSettingsMirrors();
    EXPECT_EQ(GetSettingText(kRegOther, QStringLiteral("PlaylistFormat")), QStringLiteral("M3U"));
    EXPECT_EQ(Get(kRegGeneral, QStringLiteral("AppWidth")), RegValue::FromNumber(1024)) << "defaults are there";
    Set(QStringLiteral("PlaylistFormat"), QStringLiteral("PLS"));
    EXPECT_EQ(Other(QStringLiteral("PlaylistFormat")).Text(), QStringLiteral("PLS")) << "kept for the run";

    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Reelwise II Settings"));
    EXPECT_TRUE(boxes.Last().prompt.contains(StorePath())) << boxes.Last().prompt.toStdString();
    EXPECT_FALSE(boxes.Last().systemBox) << "the program's own box";
    EXPECT_TRUE(kind.intact(StorePath())) << "the odd file is left as it was";
    EXPECT_EQ(QDir(config + QStringLiteral("/Reelwise II"))
                  .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Settings.txt")})
        << "nothing set aside or written beside it";
  }
}

// On a full disk the settings file is kept whole, and the user is told once
// which file could not be written until a write succeeds again.
TEST_F(SettingsTest, OnAFullDiskTheSettingsFileIsKeptAndTheFailureToldOnce) {
  rwtest::SmallDisk disk;
  if (!disk.Here()) return;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(disk.Folder()));
  EnsureDefaultSettings();
  Set(QStringLiteral("PlaylistFormat"), QStringLiteral("ASX"));
  const QByteArray before = StoreBytes();
  ASSERT_TRUE(before.contains("ASX"));
  disk.Fill();

  rwtest::ScriptedMessageBoxes boxes;
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  Set(QStringLiteral("PlaylistFormat"), QStringLiteral("PLS"));
  Set(QStringLiteral("Sat"), 9);
  EXPECT_EQ(StoreBytes(), before) << "the settings file is whole";
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains(StorePath())) << boxes.Last().prompt.toStdString();
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("The disk is full."))) << boxes.Last().prompt.toStdString();
  EXPECT_EQ(Other(QStringLiteral("PlaylistFormat")).Text(), QStringLiteral("ASX"));

  disk.Free();
  Set(QStringLiteral("PlaylistFormat"), QStringLiteral("PLS"));
  EXPECT_TRUE(StoreBytes().contains("PLS"));
  disk.Fill();
  Set(QStringLiteral("PlaylistFormat"), QStringLiteral("M3U"));
  EXPECT_EQ(boxes.Count(), 2) << "told again after a write had succeeded";
  disk.Free();
}

}  // namespace

void PrintTo(const RegValue& value, std::ostream* os) {
  *os << (value.IsNumber() ? "number " : "text \"") << value.Text().toStdString() << (value.IsNumber() ? "" : "\"");
}
