// The external applications in the Tools menu and in the context menu of a
// result or the inspected file: which entries each offers for which file.
#include "core/modReelwise.h"
#include "mainwindow/MainMenu.h"
#include "options/frmProgramOptions.h"
#include "tests/mainwindow/CommandRun.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

class ExternalAppMenusTest : public rwtest::CommandTest {
 protected:
  void SetUp() override {
    rwtest::CommandTest::SetUp();
    saved_ = gExternalApps;
    gExternalApps = {};
  }
  void TearDown() override {
    gExternalApps = saved_;
    rwtest::CommandTest::TearDown();
  }
  static bool Shown(int n) { return Form().mnuApp[static_cast<size_t>(n)]->isVisible(); }
  static bool InTools(int n) {
    return Menu().Visible(Menu().IndexForKey(QStringLiteral("mnuToolsExternalApps%1").arg(n)));
  }

 private:
  std::array<ExternalAppEntry, kExternalAppCount + 1> saved_;
};

ExternalAppEntry App(const char* caption, const char* extensions, int16_t contexts, int16_t enabled = 1) {
  return {QStringLiteral("/bin/true"), QString(), QLatin1String(caption), QLatin1String(extensions), contexts, enabled};
}

TEST_F(ExternalAppMenusTest, ItemsSitBetweenTheDefaultPlayerAndChooseProgram) {
  auto* apps = qobject_cast<QMenu*>(Form().mnuDefault->parent());
  ASSERT_NE(apps, nullptr);
  const QList<QAction*> items = apps->actions();
  ASSERT_EQ(items.size(), 1 + 1 + 31 + 1 + 1);
  EXPECT_EQ(items[0], Form().mnuDefault);
  EXPECT_TRUE(items[1]->isSeparator());
  EXPECT_EQ(items[1]->objectName(), QStringLiteral("mnuSep15"));
  for (int n = 0; n <= 30; ++n) EXPECT_EQ(items[2 + n], Form().mnuApp[static_cast<size_t>(n)]);
  EXPECT_TRUE(items[33]->isSeparator());
  EXPECT_EQ(items[33]->objectName(), QStringLiteral("mnuApp(99)"));
  EXPECT_EQ(items[34], Form().mnuOpenWith);
}

// Rows: entry, file, context; the item is shown or not.
TEST_F(ExternalAppMenusTest, TheContextMenuMatrix) {
  gExternalApps[1] = App("Any", "*", 3);
  gExternalApps[2] = App("Mpeg", "MPEG", 2);
  gExternalApps[3] = App("Avi", "avi;MKV", 7);
  gExternalApps[4] = App("Ts", "TS", 7);
  gExternalApps[5] = App("DotTs", "MPG;.TS", 7);
  gExternalApps[6] = App("ToolsOnly", "*", 4);
  gExternalApps[7] = App("Inspector", "*", 1);
  gExternalApps[8] = App("Off", "*", 7, 0);
  gExternalApps[9] = App("Empty", "", 7);
  gExternalApps[10] = App("Odd", "*", 9);
  const struct {
    int entry;
    const char* file;
    int16_t context;
    bool shown;
  } cases[] = {
      {1, "clip.avi", 2, true},     {1, "README", 2, true},        {1, "clip.avi", 1, true},
      {2, "clip.mpeg", 2, true},    {2, "clip.mpeg", 1, false},    {2, "clip.mpg", 2, false},
      {3, "CLIP.AVI", 2, true},     {3, "clip.Avi", 1, true},      {3, "clip.mkv", 2, true},
      {3, "clip.mp4", 2, false},    {4, "clip.ts", 2, false},      {5, "clip.ts", 2, true},
      {6, "clip.avi", 2, false},    {6, "clip.avi", 1, false},     {7, "clip.avi", 1, true},
      {7, "clip.avi", 2, false},    {8, "clip.avi", 2, false},     {8, "clip.avi", 1, false},
      {9, "clip.avi", 2, false},    {10, "clip.avi", 1, false},
  };
  for (const auto& c : cases) {
    Form().InitExternalAppMenus(QLatin1String(c.file), c.context, false);
    EXPECT_EQ(Shown(c.entry), c.shown) << c.entry << " " << c.file << " context " << c.context;
  }
  EXPECT_EQ(Form().mnuApp[8]->text(), QStringLiteral("Off")) << "a disabled entry keeps its caption";
  EXPECT_FALSE(Shown(0));
}

TEST_F(ExternalAppMenusTest, TheToolsMenuOffersContextsFourAndAbove) {
  gExternalApps[4] = App("Tools", "*", 4);
  gExternalApps[1] = App("Inspector", "*", 1);
  gExternalApps[7] = App("All", "*", 7);
  gExternalApps[8] = App("Off", "*", 7, 0);
  Form().InitExternalAppMenus(QString(), 0, true);
  EXPECT_TRUE(InTools(4));
  EXPECT_FALSE(InTools(1));
  EXPECT_TRUE(InTools(7));
  EXPECT_FALSE(InTools(8));
  EXPECT_FALSE(InTools(0));
  gExternalApps = {};
  Form().InitExternalAppMenus(QString(), 0, true);
  EXPECT_TRUE(InTools(0)) << "only \"None defined for this menu\"";
  for (int n = 1; n <= 30; ++n) EXPECT_FALSE(InTools(n));
}

// Choosing item n runs entry n: a program that is not there is reported
// under its own path.
TEST_F(ExternalAppMenusTest, ChoosingAnItemRunsItsEntry) {
  gExternalApps[5] = App("Missing", "*", 7);
  gExternalApps[5].AppPath = QStringLiteral("/nonexistent/rw-missing-program");
  boxes.Answer(1);
  Form().mnuApp[5]->trigger();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("/nonexistent/rw-missing-program")))
      << boxes.Last().prompt.toStdString();
}

// The options dialog reaches the menus through its hooks.
TEST_F(ExternalAppMenusTest, TheOptionsDialogCaptionsAndRefreshesTheMenus) {
  gExternalApps[2] = App("Cut", "*", 4);
  ASSERT_TRUE(frmProgramOptions::ExternalApps.SetAppCaption);
  frmProgramOptions::ExternalApps.SetAppCaption(2, QStringLiteral("Cut"));
  EXPECT_EQ(Form().mnuApp[2]->text(), QStringLiteral("Cut"));
  frmProgramOptions::ExternalApps.InitExternalAppMenus(QString(), 0, true);
  EXPECT_TRUE(InTools(2));
}

}  // namespace
