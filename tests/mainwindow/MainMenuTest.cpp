// The main menu as built at start-up, its marks, its shortcuts, the menu and
// tool bands, and the menu bar driven by the keyboard.
#include "browser/LibraryTreePane.h"
#include "mainwindow/MainMenu.h"
#include "platform/ColorRef.h"
#include "platform/controls/TreeView.h"
#include "resources/Resources.h"
#include "tests/mainwindow/CommandRun.h"
#include "tests/support/ScriptedDialogs.h"
#include "ui/SchemeColours.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <span>

namespace {

using rwtest::CommandTest;

using MainMenuTest = CommandTest;

// Whether the table entry at `i` opens a menu of the entries below it.
bool OpensAMenu(std::span<const MainMenu::Entry> table, size_t i) {
  return i + 1 < table.size() && table[i + 1].level > table[i].level && !(table[i + 1].flags & MainMenu::kNoItem);
}

bool IsSeparator(const MainMenu::Entry& entry) { return qstrcmp(entry.caption, "-") == 0; }

TEST_F(MainMenuTest, EveryItemOfTheTableRunsACommandAndEveryCommandKeyIsOneItem) {
  const auto table = frmReelwise::MainMenuTable();
  QStringList keys;
  for (size_t i = 0; i < table.size(); ++i) {
    const MainMenu::Entry& entry = table[i];
    SCOPED_TRACE(entry.key);
    const bool hasNoCommand = IsSeparator(entry) || (entry.flags & MainMenu::kHeader) || OpensAMenu(table, i) ||
                              (entry.flags & MainMenu::kExternalApps);
    EXPECT_EQ(entry.run == nullptr, hasNoCommand) << "menus, headers and separators run nothing; items do";
    // The external applications' entry names its items by its key and a number.
    if (IsSeparator(entry) || (entry.flags & MainMenu::kExternalApps)) continue;
    EXPECT_FALSE(keys.contains(QLatin1String(entry.key))) << "no key twice";
    keys << QLatin1String(entry.key);
    if (entry.run && !(entry.flags & MainMenu::kNoItem)) {
      EXPECT_GT(Item(entry.key), 0) << "a command of the menu has its item";
    }
  }
}

TEST_F(MainMenuTest, NoShortcutIsGivenTwiceAndEachIsAKey) {
  QStringList shortcuts;
  for (const MainMenu::Entry& entry : frmReelwise::MainMenuTable()) {
    const QString caption = QString::fromUtf8(entry.caption);
    const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
    if (tab < 0) continue;
    const QKeySequence key(caption.mid(tab + 1), QKeySequence::PortableText);
    EXPECT_EQ(key.count(), 1) << entry.key;
    EXPECT_FALSE(shortcuts.contains(key.toString())) << entry.key << " repeats " << key.toString().toStdString();
    shortcuts << key.toString();
    EXPECT_EQ(Menu().Action(Item(entry.key))->shortcut(), key) << entry.key;
  }
  EXPECT_GE(shortcuts.size(), 20);
}

TEST_F(MainMenuTest, EveryIconKeyIsAPictureOfTheMenuImages) {
  const QStringList icons = ImageListKeys(QStringLiteral("imglstMenus"));
  for (const MainMenu::Entry& entry : frmReelwise::MainMenuTable()) {
    if (!entry.icon) continue;
    EXPECT_TRUE(icons.contains(QLatin1String(entry.icon))) << entry.key << " " << entry.icon;
    EXPECT_TRUE(Form().imglstMenus.ListImages.Exists(QLatin1String(entry.icon))) << entry.icon;
    EXPECT_EQ(Menu().IconIndex(Item(entry.key)), icons.indexOf(QLatin1String(entry.icon))) << entry.key;
  }
}

TEST_F(MainMenuTest, TheMenuIsBuiltFromTheTableInItsOrder) {
  const cPopupMenu& menu = Menu();
  const auto table = frmReelwise::MainMenuTable();
  int item = 0;
  int parents[3] = {0, 0, 0};
  for (const MainMenu::Entry& entry : table) {
    if (entry.flags & MainMenu::kNoItem) {
      EXPECT_EQ(menu.IndexForKey(QLatin1String(entry.key)), 0) << "a toolbar key only";
      continue;
    }
    const int parent = entry.level > 0 ? parents[entry.level - 1] : 0;
    if (entry.flags & MainMenu::kExternalApps) {
      // One table entry stands for the items 0 to 30; only the placeholder
      // shows while no application is set up.
      for (int n = 0; n <= 30; ++n) {
        ++item;
        EXPECT_EQ(menu.ItemKey(item), QStringLiteral("mnuToolsExternalApps%1").arg(n));
        EXPECT_EQ(menu.Parent(item), parent);
        EXPECT_EQ(menu.Visible(item), n == 0);
      }
      continue;
    }
    ++item;
    SCOPED_TRACE(entry.caption);
    ASSERT_LE(item, menu.Count());
    EXPECT_EQ(menu.ItemKey(item), QLatin1String(entry.key));
    EXPECT_EQ(menu.Caption(item), QString::fromUtf8(entry.caption));
    EXPECT_EQ(menu.Parent(item), parent);
    parents[entry.level] = item;
  }
  EXPECT_EQ(item, menu.Count());
  EXPECT_EQ(Form().tbrMenu->Buttons.Count(), 5) << "one menu-bar button per top-level item";
}

TEST_F(MainMenuTest, OnlySaveAsStartsDisabledAndTheMarksAreTheInitialOnes) {
  for (int i = 1; i <= Menu().Count(); ++i) {
    EXPECT_EQ(Menu().Enabled(i), Menu().ItemKey(i) != QLatin1String("mnuLibrarySaveAs")) << i;
    EXPECT_EQ(Menu().Header(i), Menu().Caption(i).startsWith(QLatin1String("-")) && Menu().Caption(i).size() > 1);
    const bool unusedApp = frmReelwise::ExternalAppNumber(Menu().ItemKey(i)) > 0;
    EXPECT_EQ(Menu().Visible(i), !Menu().Header(i) && !unusedApp) << "headers and unused applications are hidden";
  }
  QStringList checked;
  QStringList radio;
  for (int i = 1; i <= Menu().Count(); ++i) {
    if (Menu().Checked(i)) checked << Menu().ItemKey(i);
    if (Menu().RadioChecked(i)) radio << Menu().ItemKey(i);
  }
  EXPECT_EQ(checked, QStringList({"mnuViewInspector", "mnuViewExpandPreview", "mnuViewExpandSegments",
                                  "mnuViewExpandCataloguing"}));
  EXPECT_EQ(radio, QStringList({"mnuBrowserMatchingFiles", "mnuBrowserStorageAll", "mnuViewTile"}));
  // The shown entries carry the same marks and states.
  QAction* saveAs = Menu().Action(Item("mnuLibrarySaveAs"));
  EXPECT_FALSE(saveAs->isEnabled());
  EXPECT_EQ(saveAs->shortcut(), QKeySequence(Qt::Key_F12));
  EXPECT_TRUE(Menu().Action(Item("mnuViewTile"))->isChecked());
  EXPECT_FALSE(Menu().Action(Item("mnuLibraryHeader"))->isVisible());
  EXPECT_EQ(Menu().Action(Item("mnuLibraryHeader"))->text(), QStringLiteral("LIBRARY"));
}

TEST_F(MainMenuTest, ToolsMenuOffersTheEnabledApplicationsMeantForIt) {
  const auto saved = gExternalApps;
  gExternalApps[12] = {QStringLiteral("/usr/bin/trim"), QString(), QStringLiteral("Trim Clip"), QStringLiteral("*"), 4, 1};
  gExternalApps[3] = {QString(), QString(), QStringLiteral("Convert"), QStringLiteral("AVI"), 7, 0};
  gExternalApps[5] = {QString(), QString(), QStringLiteral("Inspect"), QStringLiteral("AVI"), 2, 1};
  gExternalApps[7] = {QString(), QString(), QStringLiteral("Everywhere"), QStringLiteral("AVI"), 7, 1};
  Form().InitExternalAppMenus(QString(), 0, true);
  auto item = [](int n) { return Menu().IndexForKey(QStringLiteral("mnuToolsExternalApps%1").arg(n)); };
  EXPECT_TRUE(Menu().Visible(item(12)));
  EXPECT_EQ(Menu().Caption(item(12)), QStringLiteral("Trim Clip"));
  EXPECT_TRUE(Menu().Visible(item(7)));
  EXPECT_FALSE(Menu().Visible(item(3))) << "disabled";
  EXPECT_EQ(Menu().Caption(item(3)), QStringLiteral("Convert")) << "the caption is written all the same";
  EXPECT_FALSE(Menu().Visible(item(5))) << "for the browser's context menu only";
  EXPECT_FALSE(Menu().Visible(item(0)));

  gExternalApps = saved;
  Form().InitExternalAppMenus(QString(), 0, true);
  EXPECT_TRUE(Menu().Visible(item(0)));
  EXPECT_FALSE(Menu().Visible(item(12)));
}

TEST_F(MainMenuTest, SavedWorkspaceStartsWithItsItemChecked) {
  EndProgram();
  SetOther("SaveWorkspace", QStringLiteral("somewhere.rw2 |"));
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Checked("mnuLibrarySaveWorkspace"));
  EXPECT_TRUE(gSaveWorkspace);
}

TEST_F(MainMenuTest, ChoosingAnItemChangesItsMarkOnceWhicheverMarkItHad) {
  QAction* random = Menu().Action(Item("mnuToolsRandomPlayback"));
  random->trigger();
  EXPECT_TRUE(gRandomPlayback);
  EXPECT_TRUE(Checked("mnuToolsRandomPlayback"));
  EXPECT_TRUE(random->isChecked());
  random->trigger();
  EXPECT_FALSE(gRandomPlayback);
  EXPECT_FALSE(random->isChecked());

  QAction* inspector = Menu().Action(Item("mnuViewInspector"));
  inspector->trigger();
  EXPECT_FALSE(Checked("mnuViewInspector"));
  EXPECT_FALSE(inspector->isChecked());
  EXPECT_EQ(Form().Inspector().picBottom->Height(), 0);
  inspector->trigger();
  EXPECT_TRUE(inspector->isChecked());
  EXPECT_EQ(Form().Inspector().picBottom->Height(), 338);
}

class ShortcutTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    QApplication::setActiveWindow(gMainForm);
    ASSERT_TRUE(gMainForm->isActiveWindow());
  }
  static void Press(QKeyCombination key) { QTest::keyClick(gMainForm, key.key(), key.keyboardModifiers()); }
};

TEST_F(ShortcutTest, KeysActForEnabledItemsOnly) {
  rwtest::ScriptedFileDialogs dialogs;
  Press(Qt::Key_F12);
  EXPECT_EQ(dialogs.Count(), 0) << "Save As is disabled while no library is open";

  Press(Qt::CTRL | Qt::Key_R);
  EXPECT_TRUE(gRandomPlayback);
  EXPECT_EQ(Form().tbMain->Buttons(QStringLiteral("SHUFFLE")).Value(), ctl::tbrPressed);

  // TV-Out mode disables view items: their keys do nothing either.
  Menu().SetEnabled(Item("mnuViewList"), false);
  Press(Qt::CTRL | Qt::Key_L);
  EXPECT_EQ(gBrowserMode, 1);
  Menu().SetEnabled(Item("mnuViewList"), true);
  Press(Qt::CTRL | Qt::Key_L);
  EXPECT_EQ(gBrowserMode, 2);

  // An item in a disabled menu is out of reach too.
  Menu().SetEnabled(Item("mnuTools"), false);
  Press(Qt::CTRL | Qt::Key_R);
  EXPECT_TRUE(gRandomPlayback);
  Menu().SetEnabled(Item("mnuTools"), true);
  Press(Qt::CTRL | Qt::Key_R);
  EXPECT_FALSE(gRandomPlayback);
}

TEST_F(ShortcutTest, KeysWorkInCompactModeAndReachSubMenuItems) {
  gWindowMode = 2;
  Press(Qt::ALT | Qt::Key_1);
  EXPECT_TRUE(Checked("mnuViewExpandSpecs"));
  Press(Qt::Key_F10);
  EXPECT_TRUE(gTVOutMode);
  EXPECT_TRUE(Checked("mnuTV-Out"));
  gWindowMode = 1;
}

TEST_F(MainMenuTest, RebarCanBeBuiltAgainAndKeepsEveryMark) {
  Send("mnuToolsRandomPlayback");
  Send("mnuBrowserStorageOffline");
  Send("mnuViewList");
  Send("mnuViewExpandSpecs");
  Menu().SetEnabled(Item("mnuLibrarySaveAs"), true);
  const QStringList before = MenuState();

  gSchemeColour1 = RGB(10, 20, 30);
  Form().BuildRebar();
  Form().BuildRebar();
  EXPECT_EQ(MenuState(), before);
  EXPECT_EQ(Menu().Menu(Item("mnuLibrary"))->palette().color(QPalette::Window), QColor(10, 20, 30));
  EXPECT_EQ(Menu().Menu(Item("mnuLibrary"))->palette().color(QPalette::HighlightedText),
            ColorRefToQColor(gSchemeColour4))
      << "the highlighted item in the text colour";
  EXPECT_EQ(Form().tbrMenu->Buttons.Count(), 5) << "the menu bar is not built twice";

  const double menuBar = Form().tbrMenu->Height();
  EXPECT_EQ(menuBar, Menu().ItemHeight(Item("mnuLibrary")));
  EXPECT_EQ(Form().picHolder->Height(), menuBar + Form().cReBar1->Height() - 4);
  EXPECT_EQ(Form().tbMain->Top(), menuBar - 4);
  EXPECT_GE(Form().picHolder->Height(), Form().tbMain->Top() + Form().tbMain->Height()) << "the toolbar fits";
}

TEST_F(MainMenuTest, MenuBarButtonsOpenTheirMenus) {
  ASSERT_EQ(Form().tbrMenu->Buttons.Count(), 5);
  const char* captions[] = {"&Library", "&Browser", "&Tools", "&View", "&Help"};
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(Form().tbrMenu->Buttons(i).Caption(), QLatin1String(captions[i - 1]));
  ctl::Button& tools = Form().tbrMenu->Buttons(QStringLiteral("mnuTools"));
  Form().tbrMenu->ButtonClick(tools);
  QMenu* menu = Menu().Menu(Item("mnuTools"));
  EXPECT_TRUE(menu->isVisible());
  menu->close();
}

// A key as the keyboard sends it: to the open menu, else to the focused widget.
void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* popup = QApplication::activePopupWidget();
  QWidget* to = popup ? popup : QApplication::focusWidget();
  ASSERT_NE(to, nullptr) << "nothing has the keyboard";
  QTest::keyClick(to, key, modifiers);
}

TEST_F(MainMenuTest, AltWithACaptionsLetterOpensItsMenuWhichTheKeysThenDrive) {
  QApplication::setActiveWindow(gMainForm);
  ctl::TreeView& tree = *Form().Tree().tvwLibrary;
  tree.SetFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return tree.isAncestorOf(QApplication::focusWidget()); }, 5000));
  const auto open = [] { return QApplication::activePopupWidget(); };
  const auto menuOf = [](const char* key) -> QWidget* { return Menu().Menu(Item(key)); };
  const auto active = [](const char* key) { return Menu().Menu(Item(key))->activeAction(); };

  // A menu bar whose keys are connected again keeps one key per menu, each
  // of which still opens it (two would make the letter ambiguous, opening none).
  Form().ConnectMenuBarKeys();
  const std::pair<Qt::Key, const char*> letters[] = {
      {Qt::Key_L, "mnuLibrary"}, {Qt::Key_B, "mnuBrowser"}, {Qt::Key_T, "mnuTools"},
      {Qt::Key_V, "mnuView"},    {Qt::Key_H, "mnuHelp"}};
  for (const auto& [letter, key] : letters) {
    SCOPED_TRACE(key);
    Type(letter, Qt::AltModifier);
    ASSERT_EQ(open(), menuOf(key));
    Type(Qt::Key_Escape);
    EXPECT_EQ(open(), nullptr);
    EXPECT_TRUE(tree.isAncestorOf(QApplication::focusWidget())) << "Esc gives the keys back";
  }

  // Left and Right go round the menu bar; Right on a sub-menu's item opens it.
  Type(Qt::Key_L, Qt::AltModifier);
  EXPECT_EQ(active("mnuLibrary"), Menu().Action(Item("mnuLibraryNew"))) << "the first item highlighted";
  Type(Qt::Key_Right);
  EXPECT_EQ(open(), menuOf("mnuBrowser"));
  Type(Qt::Key_Right);
  Type(Qt::Key_Down);
  ASSERT_EQ(active("mnuTools"), Menu().Action(Item("mnuToolsLibraryMaintenance")));
  Type(Qt::Key_Right);
  EXPECT_EQ(open(), menuOf("mnuToolsLibraryMaintenance"));
  Type(Qt::Key_Left);
  EXPECT_EQ(open(), menuOf("mnuTools"));
  Type(Qt::Key_Left);
  Type(Qt::Key_Left);
  Type(Qt::Key_Left);
  EXPECT_EQ(open(), menuOf("mnuHelp")) << "round from the first menu to the last";
  Type(Qt::Key_Escape);

  // Down and Enter choose an item (Save As, disabled, is passed over).
  const bool workspace = gSaveWorkspace;
  Type(Qt::Key_L, Qt::AltModifier);
  for (int i = 0; i < 4; ++i) Type(Qt::Key_Down);
  EXPECT_EQ(active("mnuLibrary"), Menu().Action(Item("mnuLibrarySaveWorkspace")));
  Type(Qt::Key_Return);
  EXPECT_EQ(gSaveWorkspace, !workspace);
  EXPECT_EQ(open(), nullptr);

  // An item's own letter chooses it: N makes a new library, O opens one.
  rwtest::ScriptedFileDialogs dialogs;
  dialogs.Cancel().Cancel();
  Type(Qt::Key_L, Qt::AltModifier);
  Type(Qt::Key_N);
  ASSERT_EQ(dialogs.Count(), 1);
  EXPECT_EQ(dialogs.Last().kind, FileDialogKind::Save);
  Type(Qt::Key_L, Qt::AltModifier);
  Type(Qt::Key_O);
  ASSERT_EQ(dialogs.Count(), 2);
  EXPECT_EQ(dialogs.Last().kind, FileDialogKind::Open);
}

}  // namespace
