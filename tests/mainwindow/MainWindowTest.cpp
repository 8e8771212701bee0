// The main window's construction: its controls as the rest of the program
// relies on them, the settings and screen density it follows, its minimum
// size, and the shared procedures that lay out its grids.
#include "app/UpwardCalls.h"
#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/cCarousel.h"
#include "options/ExternalAppCommand.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "mainwindow/frmReelwise.h"
#include "player/clsRWPlayer.h"
#include "platform/RWError.h"
#include "platform/cPopupMenu.h"
#include "tests/support/TempHome.h"
#include "ui/cWindowMgr.h"
#include "ui/cwProgress.h"
#include "ui/modReelwise_drawing.h"

#include <QAction>
#include <QApplication>

#include <gtest/gtest.h>

#include <vector>

namespace {

class MainWindowTest : public rwtest::TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    modRegistry::EnsureDefaultSettings();
    // The hooks the main window answers, as start-up connects them.
    modReelwise::ConnectUpwardCalls();
  }

  void TearDown() override {
    delete gMainForm;
    modReelwise::DisconnectUpwardCalls();
    gWindowMgr.reset();
    gCarousel.reset();
    frmReelwise::LoadStepHook = nullptr;
    SetDensity(15);
    gLibraryTreeClassic = false;
    gDeleteToRecycleBin = true;
    gTileColumns = 0;
    gTileRowsVisible = 0;
    gBrowserMode = 1;
    TempHomeTest::TearDown();
  }

  static void SetDensity(int twipsPerPixel) {
    gTwipsPerPixelX = gTwipsPerPixelY = twipsPerPixel;
    gTileWidthTwips = 104 * twipsPerPixel;
    gTileHeightTwips = 79 * twipsPerPixel;
  }

  frmReelwise& Build() {
    delete gMainForm;
    gMainForm = new frmReelwise();
    gMainForm->Load();
    return *gMainForm;
  }
};

TEST_F(MainWindowTest, ListGridHasTheDetailColumnsWithTheirHeadersAndWidths) {
  const frmReelwise& form = Build();
  const ctl::FlexGrid& list = *form.Results().flexThumbsList;
  ASSERT_EQ(list.Cols(), 11);
  const struct {
    int width;
    const char* header;
  } columns[] = {{0, ""},          {gTileWidthTwips, ""}, {0, "Description"},  {2200, "File Path"},
                 {3600, "File Name"}, {1250, "File Size"},  {1200, "Duration"},   {1150, "Resolution"},
                 {750, "Frame Rate"}, {1100, "Bitrate"},    {1100, "Format"}};
  for (int c = 0; c < 11; ++c) {
    EXPECT_EQ(list.ColWidth(c), columns[c].width) << c;
    EXPECT_EQ(list.TextMatrix(0, c), QLatin1String(columns[c].header)) << c;
  }
  EXPECT_EQ(list.ColAlignment(4), ctl::flexAlignLeftCenter);
  EXPECT_EQ(list.ColAlignment(5), ctl::flexAlignRightCenter);
  EXPECT_EQ(list.ColAlignment(7), ctl::flexAlignCenterCenter);
  EXPECT_EQ(form.Inspector().flexSegments->TextMatrix(0, 1), QStringLiteral("Start"));
  EXPECT_EQ(form.Inspector().flexFileDetails->TextMatrix(0, 0), QStringLiteral(" Title / Alias"));
}

TEST_F(MainWindowTest, TreeStyleAndStateIconsFollowTheClassicTreeSetting) {
  gLibraryTreeClassic = true;
  const frmReelwise& classic = Build();
  EXPECT_EQ(classic.Tree().tvwLibrary->Style(), ctl::tvwTreelinesPlusMinusPictureText);
  EXPECT_EQ(classic.Tree().tvwLibrary->StateImages(), nullptr);
  EXPECT_EQ(gTreeHwnd, classic.Tree().tvwLibrary);

  gLibraryTreeClassic = false;
  const frmReelwise& plain = Build();
  EXPECT_EQ(plain.Tree().tvwLibrary->Style(), ctl::tvwPictureText);
  EXPECT_EQ(plain.Tree().tvwLibrary->StateImages(), &plain.ilStateIcons);
  EXPECT_EQ(plain.Tree().tvwLibrary->Images(), &plain.imglstReelwise);
}

TEST_F(MainWindowTest, DeleteCommandNamesTheRecycleBinWhenItIsUsed) {
  gDeleteToRecycleBin = true;
  EXPECT_EQ(Build().mnuDeleteFile->text(), QStringLiteral("Delete to Recycle Bin"));
  gDeleteToRecycleBin = false;
  EXPECT_EQ(Build().mnuDeleteFile->text(), QStringLiteral("Delete File"));
}

TEST_F(MainWindowTest, FontsAndWidthsFollowTheScreenDensity) {
  SetDensity(12);  // 120 dots per inch
  const frmReelwise& form = Build();
  EXPECT_DOUBLE_EQ(form.Tree().tvwLibrary->FontSize(), 8);
  EXPECT_DOUBLE_EQ(form.Results().cmbBrowserHistory->FontSize(), 7.2);
  EXPECT_DOUBLE_EQ(form.Results().lblResultSize->FontSize(), 7.2);
  EXPECT_DOUBLE_EQ(form.Results().lblSelectCount->FontSize(), 7.2);
  EXPECT_DOUBLE_EQ(form.Results().flexThumbsTiled->FontSize(), 57.6);
  EXPECT_DOUBLE_EQ(form.Results().tbFileBrowser->Buttons(QStringLiteral("FILE_COUNT")).Width(), 268.75);
}

TEST_F(MainWindowTest, WindowIsFramelessAndNeverSmallerThan560Square) {
  frmReelwise& form = Build();
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  form.show();
  EXPECT_EQ(form.minimumSize(), QSize(560, 560));
  form.resize(300, 200);
  EXPECT_GE(form.width(), 560);
  EXPECT_GE(form.height(), 560);
  form.hide();
}

TEST_F(MainWindowTest, ConstructionRunsItsStepsOnceInOrder) {
  std::vector<int> steps;
  frmReelwise::LoadStepHook = [&](int step) { steps.push_back(step); };
  const frmReelwise& form = Build();
  std::vector<int> expected;
  for (int step = 1; step <= 30; ++step) expected.push_back(step);
  EXPECT_EQ(steps, expected);
  EXPECT_EQ(gWindowMode, 1);
  EXPECT_EQ(form.Inspector().m_HoverButton, 1);
  EXPECT_EQ(form.Inspector().m_InspectorTabs[2].CollapsedWidth, 138);
  EXPECT_TRUE(form.Results().Timer1->Enabled());
  EXPECT_TRUE(gCarousel);
  EXPECT_EQ(form.tbMain->Buttons(QStringLiteral("TILE_VIEW")).Value(), ctl::tbrPressed);
  EXPECT_EQ(form.tbMain->Buttons(QStringLiteral("UI-STANDARD")).Value(), ctl::tbrPressed);
  EXPECT_EQ(form.tbMain->Buttons(QStringLiteral("UI-ALTERNATE")).Value(), ctl::tbrUnpressed);
  EXPECT_FALSE(form.m_cMenu->Enabled(form.m_cMenu->IndexForKey(QStringLiteral("mnuLibrarySaveAs"))));
  EXPECT_EQ(form.lblWelcome[0]->Caption(), QStringLiteral("    to open an existing Library, or"));
  EXPECT_EQ(form.lblWelcome[1]->Caption(), QStringLiteral("    to create a new one"));
}

TEST_F(MainWindowTest, TheExternalAppLauncherKeepsItsPathInTheWindowsTag) {
  frmReelwise& form = Build();
  ExternalAppHost& launcher = gExternalAppHost();
  ASSERT_TRUE(launcher.setMainWindowTag && launcher.mainWindowTag && launcher.reloadInspector);
  launcher.setMainWindowTag(QStringLiteral("/films/a b.mkv"));
  EXPECT_EQ(form.Tag(), QStringLiteral("/films/a b.mkv"));
  EXPECT_EQ(launcher.mainWindowTag(), QStringLiteral("/films/a b.mkv"));
}

TEST_F(MainWindowTest, TheBannerLogoKeepsToTheRightEndOfTheBands) {
  frmReelwise& form = Build();
  for (const int width : {1024, 1600}) {
    form.resize(width, 768);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.picBannerLogo->geometry().right() + 1, form.picHolder->width() - 4) << width;
  }
}

TEST_F(MainWindowTest, SaveWorkspaceCommandTogglesItsCheckMark) {
  frmReelwise& form = Build();
  gSaveWorkspace = false;
  form.MainToolbarHandler(QStringLiteral("mnuLibrarySaveWorkspace"));
  EXPECT_TRUE(gSaveWorkspace);
  EXPECT_TRUE(form.m_cMenu->Checked(form.m_cMenu->IndexForKey(QStringLiteral("mnuLibrarySaveWorkspace"))));
  form.MainToolbarHandler(QStringLiteral("mnuLibrarySaveWorkspace"));
  EXPECT_FALSE(gSaveWorkspace);
  form.MainToolbarHandler(QStringLiteral("mnuLibraryHeader"));  // no command: nothing happens
  EXPECT_FALSE(gSaveWorkspace);
}

TEST_F(MainWindowTest, ProgressOffLeavesAnEmptyStrip) {
  frmReelwise& form = Build();
  form.progProgress->BroadcastProgress(QStringLiteral("Fetching Data..."), 5, RGB(1, 2, 3));
  form.ProgressOff();
  EXPECT_TRUE(form.progProgress->Caption().isEmpty());
  EXPECT_EQ(form.progProgress->Value(), 0);
}

// The preview poll ticks from the window's load on, which lets the event
// loop run; there is no player while the window is built before it, nor once
// shut-down has released it.
TEST_F(MainWindowTest, ThePreviewPollWithoutAPlayerShowsNothing) {
  frmReelwise& form = Build();
  ASSERT_EQ(gPlayer, nullptr);
  form.Results().Timer1_Timer();
  EXPECT_EQ(form.Results().Timer1->Interval(), 300) << "the poll goes on";
}

class GridLayoutTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Build();
    gTileColumns = kColumns;
    gTileRowsVisible = 3;
  }
  static constexpr int kColumns = 5;
};

TEST_F(GridLayoutTest, TileGridHasAColumnPerTileAndAtLeastAPageOfRows) {
  const ctl::FlexGrid& tiles = *gMainForm->Results().flexThumbsTiled;
  const struct {
    int items;
    int rows;
  } cases[] = {{0, 3}, {1, 3}, {kColumns, 3}, {kColumns + 1, 3}, {10 * kColumns, 10}, {10 * kColumns + 1, 11}};
  for (const auto& c : cases) {
    gMainForm->Results().LayoutThumbnailGrid(c.items);
    EXPECT_EQ(tiles.Rows(), c.rows) << c.items;
    EXPECT_EQ(tiles.Cols(), kColumns + 2);
    EXPECT_EQ(tiles.ColWidth(0), 10);
    EXPECT_EQ(tiles.ColWidth(kColumns + 1), 10);
    EXPECT_EQ(tiles.ColWidth(1), gTileWidthTwips);
    EXPECT_EQ(tiles.RowHeight(0), gTileHeightTwips);
    EXPECT_EQ(tiles.Col(), c.items == 0 ? 0 : 1) << c.items;
    // The scroll bar pages through the rows beyond the first page.
    EXPECT_EQ(gMainForm->Results().scrollFlex->Max(), c.rows - 3) << c.items;
    EXPECT_EQ(gMainForm->Results().scrollFlex->LargeChange(), 3);
    EXPECT_EQ(gMainForm->Results().scrollFlex->Value(), 0);
    EXPECT_TRUE(gMainForm->Results().scrollFlex->Tag().isEmpty());
  }
}

TEST_F(GridLayoutTest, ListGridHasARowPerResultAndBandedRows) {
  const ctl::FlexGrid& list = *gMainForm->Results().flexThumbsList;
  gBrowserMode = 2;
  const struct {
    int items;
    int rows;
  } cases[] = {{0, 4}, {1, 2}, {kColumns, kColumns + 1}, {kColumns + 1, kColumns + 2}, {10 * kColumns, 51}};
  for (const auto& c : cases) {
    gMainForm->Results().LayoutThumbnailGrid(c.items);
    EXPECT_EQ(list.Rows(), c.rows) << c.items;
    EXPECT_EQ(list.RowHeight(0), 570);
    EXPECT_EQ(list.RowHeight(1), gTileHeightTwips);
  }
  // Under another view the list keeps no rows for the results.
  gBrowserMode = 1;
  gMainForm->Results().LayoutThumbnailGrid(10 * kColumns);
  EXPECT_EQ(list.Rows(), 4);
}

TEST_F(GridLayoutTest, ListScrollBarCountsTheRowsThatFit) {
  gBrowserMode = 2;
  ctl::FlexGrid& list = *gMainForm->Results().flexThumbsList;
  gMainForm->Results().LayoutThumbnailGrid(10 * kColumns);
  // Four data rows fit under the header.
  list.SetHeight((570 + 4 * gTileHeightTwips) / gTwipsPerPixelY);
  const struct {
    int items;
    int max;
  } cases[] = {{0, 1}, {1, 1}, {4, 1}, {5, 2}, {50, 47}};
  for (const auto& c : cases) {
    gMainForm->Results().UpdateThumbnailScrollBar(c.items);
    EXPECT_EQ(gMainForm->Results().scrollFlex->Min(), 1);
    EXPECT_EQ(gMainForm->Results().scrollFlex->LargeChange(), 4);
    EXPECT_EQ(gMainForm->Results().scrollFlex->Max(), c.max) << c.items;
  }
  gBrowserMode = 3;
  gMainForm->Results().UpdateThumbnailScrollBar(50);
  EXPECT_EQ(gMainForm->Results().scrollFlex->Min(), 1);
  EXPECT_EQ(gMainForm->Results().scrollFlex->Max(), 1);
}

TEST_F(GridLayoutTest, NoLayoutValueDividesByZero) {
  gTileColumns = 0;
  gTileRowsVisible = 0;
  gBrowserMode = 2;
  gMainForm->Results().LayoutThumbnailGrid(7);
  EXPECT_EQ(gMainForm->Results().flexThumbsTiled->Cols(), 3) << "one tile column";
  EXPECT_EQ(gMainForm->Results().flexThumbsTiled->Rows(), 7);
  gMainForm->Results().flexThumbsList->SetRowHeight(1, 0);
  gMainForm->Results().UpdateThumbnailScrollBar(7);
  EXPECT_EQ(gMainForm->Results().scrollFlex->LargeChange(), 0);
}

TEST_F(GridLayoutTest, HistoryEntriesLineUpTheirBracketsAndOthersStay) {
  ctl::ImageCombo& combo = *gMainForm->Results().cmbBrowserHistory;
  combo.SetWidth(400);
  combo.ComboItems.Add(0, QString(), QStringLiteral("Holiday   [12 Files]"), QStringLiteral("_T"));
  combo.ComboItems.Add(0, QString(), QStringLiteral("Rated 5 [3 Files]"), QStringLiteral("&R"));
  combo.ComboItems.Add(0, QString(), QStringLiteral("No brackets here"), QStringLiteral("+T"));
  combo.ComboItems.Add(0, QString(), QString(500, QLatin1Char('x')) + QStringLiteral(" [1]"), QStringLiteral("-T"));
  gMainForm->Results().AlignBrowserHistory();
  const QString first = combo.ComboItems(1).Text();
  const QString second = combo.ComboItems(2).Text();
  EXPECT_EQ(first.size(), second.size());
  EXPECT_TRUE(first.startsWith(QStringLiteral("Holiday ")));
  EXPECT_TRUE(first.endsWith(QStringLiteral("  [12 Files]")));
  EXPECT_EQ(combo.ComboItems(3).Text(), QStringLiteral("No brackets here"));
  EXPECT_EQ(combo.ComboItems(4).Text(), QString(500, QLatin1Char('x')) + QStringLiteral("[1]")) << "no blanks";
}

TEST_F(GridLayoutTest, RedrawLockIsOneForTheProgramAndRemembersItsState) {
  QWidget& window = *gMainForm;
  modReelwise::SetWindowRedraw(&window, false);  // whatever came before, now released
  EXPECT_FALSE(modReelwise::SetWindowRedraw(&window, false));
  EXPECT_TRUE(modReelwise::SetWindowRedraw(&window, true));
  EXPECT_FALSE(window.updatesEnabled());
  EXPECT_FALSE(modReelwise::SetWindowRedraw(gMainForm->Tree().tvwLibrary, true));
  EXPECT_TRUE(modReelwise::SetWindowRedraw(nullptr, false));
  EXPECT_TRUE(window.updatesEnabled());
}

TEST_F(GridLayoutTest, ExpandIconShowsTheNodeState) {
  ctl::TreeView& tree = *gMainForm->Tree().tvwLibrary;
  ctl::Node* parent = tree.Nodes.Add(QString(), ctl::tvwFirst, QStringLiteral("ID5"), QStringLiteral("People"));
  ctl::Node* child = tree.Nodes.Add(QStringLiteral("ID5"), ctl::tvwChild, QStringLiteral("ID6"), QStringLiteral("Anna"));
  int16_t state = 0;
  EXPECT_TRUE(modReelwise::UpdateNodeExpandIcon(&tree, parent, state));
  EXPECT_EQ(state, 1);
  parent->SetExpanded(true);
  modReelwise::UpdateNodeExpandIcon(&tree, parent, state);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(parent->StateImage(), 2);
  modReelwise::UpdateNodeExpandIcon(&tree, child, state);
  EXPECT_EQ(state, 3);
  EXPECT_FALSE(child->Expanded());
}

TEST_F(GridLayoutTest, AddTreeNodeGivesTheLookAndTheParentItsExpandIcon) {
  LibraryTreePane& tree = gMainForm->Tree();
  ctl::Node* top = tree.AddTreeNode(QStringLiteral("Folder"), QStringLiteral("ID7"), QString(),
                                       QStringLiteral("FOLDERCLOSED"), RGB(1, 2, 3), false);
  EXPECT_EQ(top->Parent(), nullptr) << "no parent key: the top level";
  EXPECT_EQ(top->StateImage(), 3) << "no children yet";
  ctl::Node* child = tree.AddTreeNode(QStringLiteral("Tag"), QStringLiteral("ID8"), QStringLiteral("ID7"),
                                         QStringLiteral("TAG"), RGB(9, 8, 7), true);
  EXPECT_EQ(child->Parent(), top);
  EXPECT_TRUE(child->Bold());
  EXPECT_EQ(child->ForeColor(), RGB(9, 8, 7));
  EXPECT_EQ(top->StateImage(), 1) << "the parent now shows it has children";
  EXPECT_THROW(tree.AddTreeNode(QStringLiteral("Again"), QStringLiteral("ID8"), QString(), QString(), 0, false),
               RWError);
}

TEST_F(GridLayoutTest, BrowserControlsAreEnabledAndDisabledTogether) {
  gMainForm->SetBrowserControlsEnabled(false);
  for (QWidget* control : std::initializer_list<QWidget*>{gMainForm->Tree().picLeft, gMainForm->Results().picRight,
                                                          gMainForm->Inspector().picBottom, gMainForm->Results().tbFileBrowser,
                                                          gMainForm->Inspector().tbSegments, gMainForm->Results().cmbBrowserHistory,
                                                          gMainForm->picHolder}) {
    EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
  }
  gMainForm->SetBrowserControlsEnabled(true);
  EXPECT_TRUE(gMainForm->picHolder->isEnabled());
}

TEST_F(GridLayoutTest, LogoIsDrawnOnWhiteAtTheAskedSize) {
  const QImage logo = modReelwise::DrawLogo(183, 177).toImage();
  EXPECT_EQ(logo.size(), QSize(183, 177));
  EXPECT_EQ(logo.pixelColor(0, 0), QColor(Qt::white));
  EXPECT_NE(logo.pixelColor(91, 60), QColor(Qt::white)) << "the reel in the middle";
}

}  // namespace
