// INI files with the profile-string rules, and the external-applications file
// read at start-up.
#include "core/modINIfiles.h"
#include "core/modReelwise.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TempHome.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace modINIfiles;

namespace {

class IniFilesTest : public rwtest::TempHomeTest {
 protected:
  void SetUp() override {
    rwtest::TempHomeTest::SetUp();
    ini_ = ScratchPath(QStringLiteral("test.ini"));
  }
  void WriteText(const QByteArray& text) {
    QFile file(ini_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  }
  QByteArray ReadText() const {
    QFile file(ini_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QString Read(const char* section, const char* key, const QString& fallback = QString()) const {
    return ReadIniString(QString::fromLatin1(section), QString::fromLatin1(key), ini_, fallback);
  }

  QString ini_;
};

TEST_F(IniFilesTest, DefaultsForMissingFilesKeysAndEmptyValues) {
  EXPECT_EQ(Read("App1", "Enabled", QStringLiteral("0")), QStringLiteral("0")) << "no file";
  WriteText("[App1]\nEnabled=\nMenuText=Convert\n");
  EXPECT_EQ(Read("App1", "Enabled", QStringLiteral("0")), QStringLiteral("0")) << "an empty value";
  EXPECT_EQ(Read("App1", "Contexts", QStringLiteral("0")), QStringLiteral("0")) << "a missing key";
  EXPECT_EQ(Read("App2", "MenuText"), QString()) << "a missing section";
  EXPECT_EQ(Read("App1", "MenuText"), QStringLiteral("Convert"));
}

TEST_F(IniFilesTest, NamesIgnoreCaseAndBlanksAroundThem) {
  WriteText("; a comment\r\n[ app1 ]\r\n  menutext =  Convert to MP4  \r\n;Enabled=1\r\n");
  EXPECT_EQ(Read("App1", "MenuText"), QStringLiteral("Convert to MP4"));
  EXPECT_EQ(Read("APP1", "Enabled", QStringLiteral("0")), QStringLiteral("0")) << "a commented-out key";
  ASSERT_TRUE(WriteIniString(QStringLiteral("APP1"), QStringLiteral("MENUTEXT"), QStringLiteral("Tag"), ini_));
  EXPECT_EQ(ReadText(), QByteArray("; a comment\r\n[ app1 ]\r\nMENUTEXT=Tag\r\n;Enabled=1\r\n"))
      << "the key is replaced in place; other lines and the line ends stay";
}

TEST_F(IniFilesTest, SectionsAndKeysAreAddedWhereTheyBelong) {
  WriteText("[App1]\nAppPath=a\n\n[App2]\nAppPath=b\n");
  ASSERT_TRUE(WriteIniString(QStringLiteral("App1"), QStringLiteral("Enabled"), QStringLiteral("1"), ini_));
  ASSERT_TRUE(WriteIniString(QStringLiteral("App3"), QStringLiteral("MenuText"), QStringLiteral("New"), ini_));
  EXPECT_EQ(ReadText(), QByteArray("[App1]\nAppPath=a\nEnabled=1\n\n[App2]\nAppPath=b\n[App3]\nMenuText=New\n"));
}

TEST_F(IniFilesTest, LongValuesAndAwkwardCharactersRoundTrip) {
  const QStringList values = {
      QString(600, QLatin1Char('x')) + QStringLiteral("END"),
      QStringLiteral("\"/usr/bin/ffmpeg\" -i \"<File>\" -vf \"scale=640:-2;crop=1\" \"<Temp>out.mp4\""),
      QStringLiteral("\"quoted at both ends\""),
      QStringLiteral("'single'"),
      QStringLiteral("  blanks around  "),
      QStringLiteral("a=b;c ; [d]"),
      QStringLiteral("Ünïcödé ✓"),
      QStringLiteral("\""),
  };
  int n = 0;
  for (const QString& value : values) {
    const QString key = QStringLiteral("Key%1").arg(++n);
    ASSERT_TRUE(WriteIniString(QStringLiteral("App1"), key, value, ini_)) << value.toStdString();
    EXPECT_EQ(ReadIniString(QStringLiteral("App1"), key, ini_), value) << value.toStdString();
  }
}

TEST_F(IniFilesTest, WriterRefusesWhatItCannotStoreOrRead) {
  EXPECT_FALSE(WriteIniString(QStringLiteral("App1"), QStringLiteral("Key"), QStringLiteral("two\nlines"), ini_));
  EXPECT_FALSE(WriteIniString(QStringLiteral("App1"), QStringLiteral("K=ey"), QStringLiteral("v"), ini_));
  EXPECT_FALSE(QFile::exists(ini_));
  EXPECT_FALSE(WriteIniString(QStringLiteral("App1"), QStringLiteral("Key"), QStringLiteral("v"),
                              ScratchPath(QStringLiteral("no/such/folder/x.ini"))));
  ASSERT_TRUE(QDir().mkpath(ini_)) << "a folder where the file should be";
  EXPECT_FALSE(WriteIniString(QStringLiteral("App1"), QStringLiteral("Key"), QStringLiteral("v"), ini_));
  EXPECT_EQ(ReadIniString(QStringLiteral("App1"), QStringLiteral("Key"), ini_, QStringLiteral("d")), QStringLiteral("d"));
}

TEST_F(IniFilesTest, OnAFullDiskTheWriteFailsAndTheFileIsKept) {
  rwtest::SmallDisk disk;
  if (!disk.Here()) return;
  ini_ = disk.Path(QStringLiteral("ExternalApps.ini"));
  ASSERT_TRUE(WriteIniString(QStringLiteral("App1"), QStringLiteral("AppPath"), QStringLiteral("/usr/bin/vlc"), ini_));
  const QByteArray before = ReadText();
  disk.Fill();
  EXPECT_FALSE(WriteIniString(QStringLiteral("App1"), QStringLiteral("MenuText"), QString(5000, QLatin1Char('m')), ini_));
  EXPECT_EQ(ReadText(), before);
}

TEST_F(IniFilesTest, OldSingleByteFilesAreReadAndKeepTheirOtherLines) {
  WriteText("[App1]\nMenuText=Caf\xe9\n[Other]\nX=1\n");
  EXPECT_EQ(Read("App1", "MenuText"), QStringLiteral("Café"));
  ASSERT_TRUE(WriteIniString(QStringLiteral("App1"), QStringLiteral("Enabled"), QStringLiteral("1"), ini_));
  EXPECT_EQ(Read("App1", "MenuText"), QStringLiteral("Café"));
  EXPECT_EQ(Read("Other", "X"), QStringLiteral("1"));
}

// ---- the external-applications file ----------------------------------------------

class ExternalAppsTest : public IniFilesTest {
 protected:
  void SetUp() override {
    IniFilesTest::SetUp();
    modReelwise::ComputeProgramFolders();
    modReelwise::CreateProgramFolders();
    ini_ = gDocsFolder + QStringLiteral("ExternalApps.ini");
  }
};

TEST_F(ExternalAppsTest, FreshUserGetsTenEmptySectionsAndAnEmptyTable) {
  modReelwise::LoadExternalApps();
  QByteArray expected;
  for (int n = 1; n <= 10; ++n) {
    expected += "[App" + QByteArray::number(n) + "]\nAppPath=\nCommandLine=\nMenuText=\nExtensions=\nContexts=\nEnabled=\n";
  }
  EXPECT_EQ(ReadText(), expected);
  for (const ExternalAppEntry& entry : gExternalApps) EXPECT_TRUE(entry.MenuText.isEmpty());
}

TEST_F(ExternalAppsTest, DefinedSectionsLoadUpToThirty) {
  modReelwise::LoadExternalApps();
  const QString command = QStringLiteral("\"<File>\" -o \"<Temp>x=1;y.mp4\" ") + QString(300, QLatin1Char('z'));
  const auto write = [&](const char* section, const char* key, const QString& value) {
    ASSERT_TRUE(WriteIniString(QString::fromLatin1(section), QString::fromLatin1(key), value, ini_));
  };
  write("App3", "MenuText", QStringLiteral("Skipped"));
  write("App3", "MenuText", QString());
  write("App3", "AppPath", QStringLiteral("/usr/bin/x"));
  write("App12", "AppPath", QStringLiteral("/usr/bin/ffmpeg"));
  write("App12", "CommandLine", command);
  write("App12", "MenuText", QStringLiteral("Convert"));
  write("App12", "Extensions", QStringLiteral("AVI;MPG"));
  write("App12", "Contexts", QStringLiteral("5"));
  write("App12", "Enabled", QStringLiteral("1"));
  write("App30", "MenuText", QStringLiteral("Last"));
  write("App30", "Contexts", QStringLiteral("abc"));
  write("App31", "MenuText", QStringLiteral("Beyond"));

  modReelwise::LoadExternalApps();
  const ExternalAppEntry& app12 = gExternalApps[12];
  EXPECT_EQ(app12.AppPath, QStringLiteral("/usr/bin/ffmpeg"));
  EXPECT_EQ(app12.CommandLine, command) << "long command lines survive";
  EXPECT_EQ(app12.MenuText, QStringLiteral("Convert"));
  EXPECT_EQ(app12.Extensions, QStringLiteral("AVI;MPG"));
  EXPECT_EQ(app12.Contexts, 5);
  EXPECT_EQ(app12.Enabled, 1);
  EXPECT_TRUE(gExternalApps[3].AppPath.isEmpty()) << "no menu text, not loaded";
  EXPECT_EQ(gExternalApps[30].MenuText, QStringLiteral("Last"));
  EXPECT_EQ(gExternalApps[30].Contexts, 0) << "a non-numeric Contexts does not stop the start-up";
  EXPECT_EQ(gExternalApps[30].Enabled, 0) << "no Enabled key: disabled";
  EXPECT_EQ(gExternalApps.size(), 31u) << "App31 has no entry";
  EXPECT_TRUE(ReadText().contains("[App31]"));
}

TEST_F(ExternalAppsTest, UnreadableFileIsReportedNotReplaced) {
  ASSERT_TRUE(QDir().mkpath(ini_));
  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(vbOK);
  modReelwise::LoadExternalApps();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains(ini_));
  EXPECT_FALSE(boxes.Last().systemBox);
  EXPECT_TRUE(QFileInfo(ini_).isDir()) << "left as it was";
}

}  // namespace
