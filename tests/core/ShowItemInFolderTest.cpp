// Showing a file in its folder: a desktop shell without a file manager of
// its own opens the file's folder with the folder's default application;
// nothing is run through a shell.
#include "core/DesktopShell.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct FolderOpeningShell : DesktopShell {
  QStringList opened;
  int answer = kShellLaunched;
  int OpenWithDefault(const QString& path) override {
    opened << path;
    return answer;
  }
  int OpenWith(const QString&, const QString&) override { return SE_ERR_NOASSOC; }
  std::vector<DesktopApp> AppsFor(const QString&) override { return {}; }
  bool ShowOpenWithChooser(const QString&) override { return false; }
  bool ShowProperties(const QString&) override { return false; }
};

TEST(ShowItemInFolderTest, WithoutAFileManagerTheFolderOpens) {
  FolderOpeningShell shell;
  EXPECT_TRUE(shell.ShowItemInFolder(QStringLiteral("/films/new \"cut\"; rm -rf/Big Film.mkv")));
  EXPECT_EQ(shell.opened, QStringList({"/films/new \"cut\"; rm -rf/"}));
  shell.answer = SE_ERR_NOASSOC;
  EXPECT_FALSE(shell.ShowItemInFolder(QStringLiteral("/films/a.avi")));
}

}  // namespace
