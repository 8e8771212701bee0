// The README names only menus, items and keys the program has: every
// "Menu > Item" it writes (bold, in prose, in backticks or in a table) is an
// item of the main menu's table, a key given with it is that item's
// shortcut, "Alt+letter" opens the menu whose caption underlines the letter,
// every other key it names (in prose or backticks) is a menu item's shortcut
// or a key the program is seen to handle, a lone bold name is an item of the
// library tree's menu, and every key of the full-screen player's table does
// something there.
#include "browser/LibraryTreePane.h"
#include "mainwindow/MainMenu.h"
#include "player/frmDSSink.h"
#include "tests/browser/BrowserTestSupport.h"
#include "tests/mainwindow/CommandRun.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

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

// Every item of the main menu as the README writes it, "Menu > Item" or
// "Menu > Item > Sub-item", with its shortcut.
std::map<QString, QString> MenuPaths() {
  std::map<QString, QString> paths;
  QStringList path;
  for (const MainMenu::Entry& entry : frmReelwise::MainMenuTable()) {
    if (entry.flags & (MainMenu::kHeader | MainMenu::kNoItem)) continue;
    path = path.mid(0, entry.level);
    path << Shown(entry);
    if (entry.level > 0) paths[path.join(QStringLiteral(" > "))] = Shortcut(entry);
  }
  return paths;
}

// The line of the README around `at`, for failure messages.
std::string LineAt(const QString& text, qsizetype at) {
  const qsizetype from = text.lastIndexOf(QLatin1Char('\n'), at) + 1;
  const qsizetype to = text.indexOf(QLatin1Char('\n'), at);
  return text.mid(from, to < 0 ? -1 : to - from).toStdString();
}

bool WordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// Each place where a text writes "Word > ", in any form, starts the longest
// menu path written there, or is a path the program does not have (its line).
struct PathsWritten {
  QStringList found;
  std::vector<std::string> unknown;
};

// A path is written as the menu shows it, "Library > New": one written in
// small letters ("library > new") or with another mark ("Library → New",
// "Library -> New") is not the program's.
PathsWritten MenuPathsIn(const QString& readme) {
  const std::map<QString, QString> known = MenuPaths();
  PathsWritten paths;
  static const QRegularExpression start(QStringLiteral("([A-Za-z][\\w-]*) (>|\u2192|->|\u00BB) "));
  qsizetype coveredTo = 0;
  for (auto it = start.globalMatch(readme); it.hasNext();) {
    const auto match = it.next();
    const qsizetype at = match.capturedStart(1);
    if (at < coveredTo) continue;
    if (match.captured(2) != QLatin1String(">")) {
      paths.unknown.push_back(LineAt(readme, at));
      coveredTo = match.capturedEnd(0);
      continue;
    }
    QString longest;
    for (const auto& [path, key] : known) {
      const qsizetype end = at + path.size();
      const bool whole = end >= readme.size() || !WordChar(readme[end]);
      if (path.size() > longest.size() && whole && QStringView(readme).mid(at).startsWith(path)) longest = path;
    }
    if (longest.isEmpty()) {
      paths.unknown.push_back(LineAt(readme, at));
      continue;
    }
    paths.found << longest;
    coveredTo = at + longest.size();
  }
  return paths;
}

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

// Every key the README names outside its tables' key columns: in prose, in
// bold brackets or in backticks. Keys with Ctrl, Shift or Alt and function
// keys are found in small letters too ("ctrl+q", "f4"), which the program's
// own names never are; a key named alone ("press Insert") is found by its
// name.
QStringList KeysNamed(const QString& text) {
  static const QRegularExpression keyNamed(
      QStringLiteral("(?<![\\w+])((?:(?i:ctrl|shift|alt)\\+)+(?:[Ff]\\d{1,2}|click|[A-Za-z0-9](?!\\w)|[A-Za-z][a-z]+)"
                     "|[Ff]\\d{1,2}(?!\\w)|Menu key"
                     "|(?:Insert|Ins|Delete|Del|Home|End|Page Up|Page Down|PgUp|PgDn|Tab|Backspace|Space|Spacebar|"
                     "Enter|Return|Esc|Escape|Pause|Break|Print Screen|Caps Lock|Num Lock|Scroll Lock|Left|Right|Up|"
                     "Down)(?![\\w-]))"));
  QStringList keys;
  for (auto it = keyNamed.globalMatch(text); it.hasNext();) keys << it.next().captured(1);
  return keys;
}

// The shortcuts of the main menu's items and Alt with each menu's letter.
std::set<QString> MenuKeys() {
  std::set<QString> keys;
  for (const auto& [path, key] : MenuPaths()) {
    if (!key.isEmpty()) keys.insert(key);
  }
  for (const MainMenu::Entry& entry : frmReelwise::MainMenuTable()) {
    const QString caption = QString::fromUtf8(entry.caption);
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    if (entry.level == 0 && amp >= 0) keys.insert(QStringLiteral("Alt+") + caption.mid(amp + 1, 1).toUpper());
  }
  return keys;
}

// The keys the program handles outside the menu, as the README names them.
const std::set<QString>& KeysOutsideTheMenu() {
  static const std::set<QString> keys{QStringLiteral("Menu key"), QStringLiteral("Shift+F10"),
                                      QStringLiteral("Ctrl+click"), QStringLiteral("Ctrl+Shift+click")};
  return keys;
}

// The keys named alone that the program answers: the full-screen player's
// (each of which its table gives a command, as EveryKeyOfThePlayersTable...
// below checks) and, besides them, the carousel's moves by ten and to the
// ends (CarouselKeysTest). Menus, dialogs and the carousel take the arrows,
// Enter and Esc too.
const std::map<QString, int>& KeysAlone() {
  static const std::map<QString, int> keys{{"Enter", 13}, {"Esc", 27},       {"Left", 37},      {"Up", 38},
                                           {"Right", 39}, {"Down", 40},      {"Page Up", 33},  {"Page Down", 34},
                                           {"End", 35},   {"Home", 36}};
  return keys;
}

bool KnownKey(const QString& key) {
  return MenuKeys().count(key) || KeysOutsideTheMenu().count(key) || KeysAlone().count(key);
}

// A key as the keyboard sends it, to the focused widget.
void TreeMenuOpensBy(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  gMainForm->Tree().tvwLibrary->SetFocus();
  ASSERT_TRUE(QTest::qWaitFor([] { return gMainForm->Tree().tvwLibrary->isAncestorOf(QApplication::focusWidget()); },
                              10000));
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  EXPECT_EQ(QApplication::activePopupWidget(), gMainForm->Tree().mnuTree) << "the tree's menu opens";
  if (QWidget* menu = QApplication::activePopupWidget()) QTest::keyClick(menu, Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, 10000));
}

// The keys handled outside the menu are tried here as the user gives them:
// the menu key and Shift+F10 open the tree's menu, Ctrl+click and
// Ctrl+Shift+click select results one by one and by range.
class ReadmeKeysTest : public rwtest::GridTest {
 protected:
  void Try(const QString& key) {
    SCOPED_TRACE(key.toStdString());
    if (key == QLatin1String("Menu key")) return TreeMenuOpensBy(Qt::Key_Menu, {});
    if (key == QLatin1String("Shift+F10")) return TreeMenuOpensBy(Qt::Key_F10, Qt::ShiftModifier);
    ShowResults(10);
    ctrl = true;
    Click(Tiles(), TileCentre(2), Qt::ControlModifier);
    const bool range = key == QLatin1String("Ctrl+Shift+click");
    shift = range;
    Click(Tiles(), TileCentre(6), range ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    ctrl = shift = false;
    EXPECT_EQ(gLibrary->SelectedCount, range ? 5 : 2);
  }
};

TEST_F(ReadmeKeysTest, EveryKeyAndMenuPathWrittenAnywhereIsTheProgramsOwn) {
  const QString readme = Readme();
  const PathsWritten paths = MenuPathsIn(readme);
  EXPECT_GE(paths.found.size(), 30) << "the bold paths, the keys table and those in prose";
  for (const std::string& line : paths.unknown) ADD_FAILURE() << "a menu path the program does not have: " << line;
  const QStringList keys = KeysNamed(readme);
  EXPECT_GE(keys.size(), 40);
  std::set<QString> tried;
  for (const QString& key : keys) {
    ASSERT_TRUE(KnownKey(key)) << "a key no menu item has and the program is not known to handle: "
                               << key.toStdString();
    if (!MenuKeys().count(key) && !KeysAlone().count(key) && tried.insert(key).second) {
      ASSERT_NO_FATAL_FAILURE(Try(key));
    }
  }
  EXPECT_EQ(tried, KeysOutsideTheMenu()) << "each key handled outside the menu is one the README names";
}

// A made-up path or key, in prose or in backticks, is found.
TEST(ReadmeCheckTest, AMadeUpPathOrKeyInProseOrBackticksFails) {
  EXPECT_EQ(KeysNamed(QStringLiteral("press Ctrl+K, then `Shift+F7` or F13")),
            (QStringList{"Ctrl+K", "Shift+F7", "F13"}));
  for (const QString& key : KeysNamed(QStringLiteral("press Ctrl+K, then `Shift+F7` or F13"))) {
    EXPECT_FALSE(KnownKey(key)) << key.toStdString();
  }
  EXPECT_TRUE(KnownKey(QStringLiteral("Ctrl+F")) && KnownKey(QStringLiteral("Alt+T")));
  for (const char* text : {"Choose Tools > Frobnicate to do it.", "Run `Library > Open Twice` first."}) {
    EXPECT_EQ(MenuPathsIn(QString::fromUtf8(text)).unknown.size(), 1u) << text;
  }
  const PathsWritten known = MenuPathsIn(QStringLiteral("choose Tools > Find Files... or Library > New."));
  EXPECT_EQ(known.found, (QStringList{"Tools > Find Files...", "Library > New"}));
  EXPECT_TRUE(known.unknown.empty());
  // A path in small letters or with another mark, a key in small letters
  // and a key named alone that the program does not answer.
  for (const char* text : {"choose library > new", "choose Library \u2192 New", "choose Library -> New",
                           "choose Tools > find files..."}) {
    EXPECT_EQ(MenuPathsIn(QString::fromUtf8(text)).unknown.size(), 1u) << text;
  }
  EXPECT_EQ(KeysNamed(QStringLiteral("press ctrl+q, f4 or Shift+f10; press Insert, then Enter; Right-click")),
            (QStringList{"ctrl+q", "f4", "Shift+f10", "Insert", "Enter"}));
  for (const char* key : {"ctrl+q", "f4", "Shift+f10", "Insert"}) EXPECT_FALSE(KnownKey(QLatin1String(key))) << key;
  EXPECT_TRUE(KnownKey(QStringLiteral("Enter")) && KnownKey(QStringLiteral("Page Down")));
}

}  // namespace
