// Opening documents, Open-With, properties and deletion, with a stand-in for
// the desktop so that no application is ever started.
#include "core/DesktopShell.h"
#include "core/frmFileProperties.h"
#include "core/frmOpenWith.h"
#include "core/modLaunchDoc.h"
#include "core/modRegistry.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace modLaunchDoc;

namespace {

struct FakeDesktop : DesktopShell {
  int openResult = kShellLaunched;
  bool hasChooser = false;
  bool hasProperties = false;
  std::vector<DesktopApp> apps;
  QStringList calls;

  int OpenWithDefault(const QString& path) override {
    calls << QStringLiteral("default ") + path;
    return openResult;
  }
  int OpenWith(const QString& appId, const QString& path) override {
    calls << appId + QLatin1Char(' ') + path;
    return openResult;
  }
  std::vector<DesktopApp> AppsFor(const QString&) override { return apps; }
  bool ShowOpenWithChooser(const QString& path) override {
    calls << QStringLiteral("chooser ") + path;
    return hasChooser;
  }
  bool ShowProperties(const QString& path) override {
    calls << QStringLiteral("properties ") + path;
    return hasProperties;
  }
};

class LaunchDocTest : public rwtest::TempHomeTest {
 protected:
  void SetUp() override {
    rwtest::TempHomeTest::SetUp();
    auto fake = std::make_unique<FakeDesktop>();
    desktop_ = fake.get();
    previous_ = SetDesktopShell(std::move(fake));
    file_ = HomePath(QStringLiteral("My Film's \"Cut\".mkv"));
    QFile file(file_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("video");
  }
  void TearDown() override {
    for (QWidget* window : QApplication::topLevelWidgets()) delete window;
    SetDesktopShell(std::move(previous_));
    gDeleteToRecycleBin = true;
    rwtest::TempHomeTest::TearDown();
  }
  template <typename T>
  static T* OpenWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* found = dynamic_cast<T*>(window); found && found->isVisible()) return found;
    }
    return nullptr;
  }

  FakeDesktop* desktop_ = nullptr;
  std::unique_ptr<DesktopShell> previous_;
  QString file_;
};

TEST_F(LaunchDocTest, SuccessfulLaunchShowsNothing) {
  rwtest::ScriptedMessageBoxes boxes;
  EXPECT_EQ(LaunchDocument(file_), QString());
  EXPECT_EQ(desktop_->calls, QStringList{QStringLiteral("default ") + file_});
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(LaunchDocTest, FailuresAreToldWithTheShellTexts) {
  rwtest::ScriptedMessageBoxes boxes;
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  desktop_->openResult = SE_ERR_NOASSOC;
  EXPECT_EQ(LaunchDocument(file_), QStringLiteral("No association for file extension"));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error Launching Document"));
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("No association for file extension"));
  EXPECT_EQ(boxes.Last().style, vbExclamation);
  EXPECT_EQ(boxes.Last().fontName, QStringLiteral("Tahoma"));

  EXPECT_EQ(LaunchDocument(HomePath(QStringLiteral("missing.avi"))), QStringLiteral("File not found"));
  EXPECT_EQ(LaunchDocument(HomePath(QStringLiteral("no folder/missing.avi"))), QStringLiteral("Path not found"));
  EXPECT_EQ(desktop_->calls.size(), 1) << "missing files never reach the desktop";
  EXPECT_EQ(ShellErrorText(17), QStringLiteral("Unknown error"));
  EXPECT_EQ(ShellErrorText(11), QStringLiteral("Invalid EXE file or error in EXE image"));
}

TEST_F(LaunchDocTest, OpenWithUsesTheDesktopChooserWhenThereIsOne) {
  desktop_->hasChooser = true;
  OpenWithDialog(file_);
  EXPECT_EQ(desktop_->calls, QStringList{QStringLiteral("chooser ") + file_});
  EXPECT_EQ(OpenWindow<frmOpenWith>(), nullptr);
}

TEST_F(LaunchDocTest, OpenWithFallsBackToOurListOfApplications) {
  desktop_->apps = {{QStringLiteral("mpv.desktop"), QStringLiteral("mpv Media Player")},
                    {QStringLiteral("vlc.desktop"), QStringLiteral("VLC media player")}};
  OpenWithDialog(file_);
  frmOpenWith* window = OpenWindow<frmOpenWith>();
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(window->lstPrograms->count(), 2);
  EXPECT_EQ(window->lstPrograms->item(1)->text(), QStringLiteral("VLC media player"));
  window->lstPrograms->setCurrentRow(1);
  window->cmdOpen->click();
  EXPECT_EQ(desktop_->calls.last(), QStringLiteral("vlc.desktop ") + file_);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(LaunchDocTest, OpenWithWithoutApplicationsSaysSo) {
  OpenWithDialog(file_);
  frmOpenWith* window = OpenWindow<frmOpenWith>();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->cmdOpen->isEnabled());
  EXPECT_EQ(window->lstPrograms->count(), 0);
}

TEST_F(LaunchDocTest, PropertiesFromTheDesktopOrOurWindow) {
  EXPECT_FALSE(ShowFileProperties(HomePath(QStringLiteral("missing.avi"))));
  desktop_->hasProperties = true;
  EXPECT_TRUE(ShowFileProperties(file_));
  EXPECT_EQ(OpenWindow<frmFileProperties>(), nullptr);

  desktop_->hasProperties = false;
  EXPECT_TRUE(ShowFileProperties(file_));
  frmFileProperties* window = OpenWindow<frmFileProperties>();
  ASSERT_NE(window, nullptr);
  const auto facts = window->Facts();
  ASSERT_GE(facts.size(), 4);
  EXPECT_EQ(facts.at(0), qMakePair(QStringLiteral("Name:"), QStringLiteral("My Film's \"Cut\".mkv")));
  EXPECT_TRUE(std::any_of(facts.begin(), facts.end(), [](const auto& fact) {
    return fact.first == QLatin1String("Size:") && fact.second.contains(QLatin1String("5 bytes"));
  }));

  // Under Arabic the window's facts are in the program's words and the
  // digits 0 to 9 throughout: no Arabic unit, type or time of day beside
  // "bytes" and "Modified:".
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
  const frmFileProperties arabic(file_);
  QLocale::setDefault(saved);
  for (const auto& [caption, text] : arabic.Facts()) {
    const bool latin = std::none_of(text.begin(), text.end(), [](QChar c) {
      return c.script() == QChar::Script_Arabic || c == QChar(0x200F) || c == QChar(0x061C);
    });
    EXPECT_TRUE(latin) << caption.toStdString() << " " << text.toStdString();
  }
}

TEST_F(LaunchDocTest, DeletionGoesToTheTrashOfTheUsersDataFolder) {
  gDeleteToRecycleBin = true;
  EXPECT_TRUE(DeleteFileToBin(file_, false, false));
  EXPECT_FALSE(QFile::exists(file_));
  const QDir trash(HomePath(QStringLiteral(".local/share/Trash/files")));
  EXPECT_TRUE(trash.exists(QStringLiteral("My Film's \"Cut\".mkv")));
}

TEST_F(LaunchDocTest, ConfirmationOnlyYesDeletes) {
  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(vbNo).Answer(0).Answer(vbYes);
  EXPECT_FALSE(DeleteFileToBin(file_, true, false));
  EXPECT_FALSE(DeleteFileToBin(file_, true, false)) << "a box closed unanswered is no consent";
  EXPECT_TRUE(QFile::exists(file_));
  EXPECT_TRUE(DeleteFileToBin(file_, true, false));
  EXPECT_FALSE(QFile::exists(file_));
  EXPECT_TRUE(boxes.Last().prompt.contains(QLatin1String("Trash")));
}

TEST_F(LaunchDocTest, WithoutTheRecycleBinSettingFilesAreDeletedForGood) {
  gDeleteToRecycleBin = false;
  EXPECT_TRUE(DeleteFileToBin(file_, false, true));
  EXPECT_FALSE(QFile::exists(file_));
  EXPECT_FALSE(QDir(HomePath(QStringLiteral(".local/share/Trash/files"))).exists(QStringLiteral("My Film's \"Cut\".mkv")));
}

TEST_F(LaunchDocTest, FailedDeletionIsReportedAndNeverMadePermanent) {
  // A trash that cannot be made: its place is taken by a file.
  QDir(HomePath(QStringLiteral(".local/share"))).mkpath(QStringLiteral("."));
  QFile blocker(HomePath(QStringLiteral(".local/share/Trash")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();

  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(vbOK);
  EXPECT_FALSE(DeleteFileToBin(file_, false, false));
  EXPECT_TRUE(QFile::exists(file_)) << "no silent permanent deletion";
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error Deleting File"));
  EXPECT_FALSE(DeleteFileToBin(HomePath(QStringLiteral("missing.avi")), false, false));
  EXPECT_EQ(boxes.Count(), 1) << "nothing to delete, nothing to report";
}

}  // namespace

namespace {

// The system's shell, only where it cannot start anything: an application id
// that matches nothing, and the desktop's windows with no session bus.
TEST_F(LaunchDocTest, SystemShellWithoutADesktop) {
  const std::unique_ptr<DesktopShell> system = MakeSystemDesktopShell();
  EXPECT_EQ(system->OpenWith(QStringLiteral("no-such-application.desktop"), file_), SE_ERR_NOASSOC);
  for (const DesktopApp& app : system->AppsFor(file_)) EXPECT_FALSE(app.id.isEmpty());

  const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
  qunsetenv("DBUS_SESSION_BUS_ADDRESS");  // XDG_RUNTIME_DIR is the test's own, without a bus
  const bool chooser = system->ShowOpenWithChooser(file_);
  const bool properties = system->ShowProperties(file_);
  if (!bus.isEmpty()) qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
  EXPECT_FALSE(chooser);
  EXPECT_FALSE(properties);
}

}  // namespace
