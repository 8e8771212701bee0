// The README names only menus, items and keys the program has: a bold
// "Menu > Item" or a row of its keys table is an item of the main menu's
// table, a key given with it is that item's shortcut, "Alt+letter" opens the
// menu whose caption underlines the letter, a lone bold name is an item of
// the library tree's menu, and every key of the full-screen player's table
// does something there.
#include "browser/LibraryTreePane.h"
#include "mainwindow/MainMenu.h"
#include "player/frmDSSink.h"
#include "tests/mainwindow/CommandRun.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

using ReadmeTest = rwtest::CommandTest;

QString Readme() {
  QFile file(QStringLiteral(RW_SOURCE_DIR "/README.md"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "README.md of the source tree";
  return QString::fromUtf8(file.readAll());
}

// The caption as the menu shows it: no "&", no shortcut.
QString Shown(const MainMenu::Entry& entry) {
  return QString::fromUtf8(entry.caption).section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
}
QString Shortcut(const MainMenu::Entry& entry) {
  return QString::fromUtf8(entry.caption).section(QLatin1Char('\t'), 1);
}

// The entry of a path "Library > New" (a menu, then its items and
// sub-items), or none.
std::optional<MainMenu::Entry> Find(const QStringList& path) {
  const auto table = frmReelwise::MainMenuTable();
  size_t from = 0;
  for (int level = 0; level < path.size(); ++level) {
    bool found = false;
    for (size_t i = from; i < table.size() && (i == from || table[i].level >= level); ++i) {
      const bool item = !(table[i].flags & (MainMenu::kHeader | MainMenu::kNoItem));
      if (table[i].level == level && item && Shown(table[i]) == path[level]) {
        if (level + 1 == path.size()) return table[i];
        from = i + 1;
        found = true;
        break;
      }
    }
    if (!found) return std::nullopt;
  }
  return std::nullopt;
}

QStringList Path(const QString& text) { return text.trimmed().split(QStringLiteral(" > ")); }

TEST_F(ReadmeTest, EveryMenuItemAndKeyItNamesIsTheProgramsOwn) {
  const QString readme = Readme();
  int paths = 0;
  // Bold paths, with the key that may follow them in brackets.
  static const QRegularExpression bold(QStringLiteral("\\*\\*([^*]+)\\*\\*(?: \\(([^)]+)\\))?"));
  for (auto it = bold.globalMatch(readme); it.hasNext();) {
    const auto match = it.next();
    const QString name = match.captured(1);
    SCOPED_TRACE(name.toStdString());
    if (!name.contains(QStringLiteral(" > "))) {
      // Section labels end with "." or ":"; any other bold name is an item
      // of the tree's menu.
      if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(':'))) continue;
      bool inTreeMenu = false;
      for (QAction* action : gMainForm->Tree().mnuTree->actions()) inTreeMenu |= action->text() == name;
      EXPECT_TRUE(inTreeMenu) << "an item of the tree's menu";
      continue;
    }
    const auto entry = Find(Path(name));
    ASSERT_TRUE(entry) << "a menu item";
    ++paths;
    if (match.hasCaptured(2)) {
      EXPECT_EQ(Shortcut(*entry), match.captured(2));
    }
  }
  EXPECT_GE(paths, 10);

  // The keys table: "| key | does | menu |".
  int keys = 0;
  static const QRegularExpression row(QStringLiteral("^\\| ([^|`]+) \\| [^|]+ \\| ([^|]+ > [^|]+) \\|$"),
                                      QRegularExpression::MultilineOption);
  for (auto it = row.globalMatch(readme); it.hasNext();) {
    const auto match = it.next();
    SCOPED_TRACE(match.captured(0).toStdString());
    const auto entry = Find(Path(match.captured(2)));
    ASSERT_TRUE(entry);
    EXPECT_EQ(Shortcut(*entry), match.captured(1).trimmed());
    ++keys;
  }
  EXPECT_GE(keys, 15);

  // "Alt+L Library": the menu bar's caption underlines that letter.
  int menus = 0;
  static const QRegularExpression alt(QStringLiteral("Alt\\+([A-Z]) ([A-Z][a-z]+)"));
  for (auto it = alt.globalMatch(readme); it.hasNext(); ++menus) {
    const auto match = it.next();
    const auto entry = Find({match.captured(2)});
    ASSERT_TRUE(entry) << match.captured(2).toStdString();
    const QString caption = QString::fromUtf8(entry->caption);
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    ASSERT_GE(amp, 0) << caption.toStdString();
    EXPECT_EQ(caption.mid(amp + 1, 1).toUpper(), match.captured(1)) << caption.toStdString();
  }
  EXPECT_EQ(menus, 5);
}

TEST_F(ReadmeTest, EveryKeyOfThePlayersTableDoesSomethingThere) {
  const QString readme = Readme();
  const qsizetype table = readme.indexOf(QStringLiteral("While a file plays full screen:"));
  ASSERT_GE(table, 0);
  static const std::map<QString, int> codes{
      {"Enter", 13}, {"Esc", 27}, {"Left", 37}, {"Right", 39}, {"Up", 38},   {"Down", 40},    {",", 188},
      {".", 190},    {"1", 49},   {"5", 53},    {"[", 219},    {"]", 221},   {"S", 83},       {"R", 82},
      {"H", 72},     {"L", 76},   {"Alt", 18},  {"F10", 121},  {"Num +", 107}, {"Num -", 109}, {"Num 0", 96}};
  static const QRegularExpression row(QStringLiteral("^\\| (`[^|]+) \\|"), QRegularExpression::MultilineOption);
  static const QRegularExpression key(QStringLiteral("`([^`]+)`"));
  int named = 0;
  // The rows up to the first line that is not the table's.
  const QString rows = readme.mid(table).section(QStringLiteral("\n\n"), 1, 1);
  for (auto it = row.globalMatch(rows); it.hasNext();) {
    const QString cell = it.next().captured(1);
    for (auto k = key.globalMatch(cell); k.hasNext(); ++named) {
      const QString name = k.next().captured(1);
      SCOPED_TRACE(name.toStdString());
      const auto code = codes.find(name);
      ASSERT_NE(code, codes.end()) << "a key this test knows";
      EXPECT_TRUE(!frmDSSink::CommandForKey(code->second).isEmpty() || frmDSSink::StartsTagging(code->second));
    }
  }
  EXPECT_GE(named, 20);
}

}  // namespace
