// The tag-cloud window over a library of six files and five tags in three
// categories: clicks run search steps with the operator of the keys held
// (and keep or clear the selection), other buttons run none, the category
// menu's filter texts and what the cloud then shows, hover scrolling to both
// ends through the trackers' events, the hover highlight and its hands, keys
// sent to the dispatcher, the shape and the drag of the window, a failing
// step inside "LTC", and, in the running program, the main window's hooks.
#include "carousel/frmTagCloud.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "platform/DragController.h"
#include "resources/Resources.h"
#include "tests/app/ProgramRun.h"
#include "tests/library/TreeFixture.h"
#include "tests/support/EventLoopWaits.h"
#include "ui/ISubclass.h"
#include "ui/ProgramFonts.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

// The keys GetKeyState reports as held.
struct HeldKeys {
  bool alt = false;
  bool ctrl = false;
  bool shift = false;
};

template <class Host>
class TagCloudTestOn : public rwtest::OpenLibraryTestOn<Host> {
 protected:
  void SetUp() override {
    rwtest::OpenLibraryTestOn<Host>::SetUp();
    RegisterProgramFonts();
    previousKeys_ = ctl::SetKeyStateFunction([this](int key) -> int16_t {
      const bool held = (key == ctl::vbKeyMenu && keys.alt) || (key == ctl::vbKeyControl && keys.ctrl) ||
                        (key == ctl::vbKeyShift && keys.shift);
      return held ? int16_t(0xFF80) : int16_t(0);
    });
  }
  void TearDown() override {
    ctl::SetKeyStateFunction(previousKeys_);
    // The hooks outlive the window; a test's own must not outlive the test.
    frmTagCloud::SetHooks({});
    delete gTagCloudForm;
    rwtest::OpenLibraryTestOn<Host>::TearDown();
  }

  // Categories Animals (5), Books (9) and Cities (12); Cat and Dog are
  // animals, Novel a book, Rome a city, Loose in no category. Cat is on
  // files 1 to 3, Dog on 2, Novel on 4, Rome on 5, Loose on 6.
  static QString CatalogueSql() {
    QString sql = QStringLiteral(
        "INSERT INTO Tags (TagID, Tag, Type) VALUES (5, 'Animals', 'C'), (9, 'Books', 'C'), (12, 'Cities', 'C'), "
        "(20, 'Cat', 'T'), (21, 'Dog', 'T'), (22, 'Novel', 'T'), (23, 'Rome', 'T'), (24, 'Loose', 'T');"
        "INSERT INTO TagLinks VALUES (20, 5, 'P'), (21, 5, 'P'), (22, 9, 'P'), (23, 12, 'P');"
        "INSERT INTO SegmentTags VALUES (1, 20), (2, 20), (3, 20), (2, 21), (4, 22), (5, 23), (6, 24);");
    for (int i = 1; i <= 6; ++i)
      sql += rwtest::OpenLibraryTestOn<Host>::FileRow(i, QStringLiteral("Clip %1.avi").arg(i));
    return sql;
  }

  // Every file among the results, none selected.
  static void AllResults() {
    rwtest::OpenLibraryTestOn<Host>::Exec(
        QStringLiteral("DELETE FROM SearchResults; INSERT INTO SearchResults SELECT SegmentID, FileID FROM "
                       "VideoSegments"));
    gLibrary->FetchSearchResults();
    gSelectedById.Reset();
    gViewSpec.clear();
  }
  static std::set<int> Results() {
    std::set<int> ids;
    for (const QString& id :
         rwtest::OpenLibraryTestOn<Host>::Column(QStringLiteral("SELECT SegmentID FROM SearchResults")))
      ids.insert(id.toInt());
    return ids;
  }
  static frmTagCloud& Cloud() { return TagCloudForm(); }
  static ctl::Label* LabelOf(const QString& caption) {
    for (ctl::Label* label : Cloud().lblTag) {
      if (label->Visible() && label->Caption() == caption) return label;
    }
    return nullptr;
  }
  static void Show() {
    Cloud().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Cloud()));
  }
  static void MoveOver(QWidget& widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget.mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &move);
  }

  HeldKeys keys;

 private:
  ctl::KeyStateFunction previousKeys_;
};

// The library alone, its view recording what it shows; the window's hooks
// record the dispatcher's commands and the tree nodes handed over.
class TagCloudWindowTest : public TagCloudTestOn<rwtest::LibraryTest> {
 protected:
  void SetUp() override {
    TagCloudTestOn::SetUp();
    OpenWith(CatalogueSql());
    AllResults();
    gLibrary->ShowTagCloud(true);
    Cloud().ShowTags(View().cloud, gLibrary->ResultCount);
    Cloud().SetHooks(
        {.MainToolbarHandler = [this](const QString& command) { commands << command; },
         .SetTreeViewFirstVisibleNode = [this](ctl::TreeView&, ctl::Node* node) { revealed << node->Key(); }});
  }
  static QStringList Shown() {
    QStringList names;
    for (const TagCloudEntry& tag : View().cloud) names << tag.Tag;
    return names;
  }
  static QAction& Category(int index) { return *Cloud().mnuCategory[static_cast<size_t>(index)]; }
  static QStringList Checked() {
    QStringList ids;
    for (int k = 1; k <= Cloud().CategoryCount(); ++k) {
      if (Category(k).isChecked()) ids << Category(k).data().toString();
    }
    return ids;
  }
  void OpenMenu() {
    Show();
    QTest::mouseClick(Cloud().imgCloudMenu, Qt::LeftButton);
  }

  QStringList commands;
  QStringList revealed;
};

// ---- Clicks ----

TEST_F(TagCloudWindowTest, ClickRunsTheStepOfTheHeldKeysAndKeepsTheSelectionOnlyWhenModified) {
  struct Row {
    HeldKeys held;
    const char* step;
    std::set<int> results;
    int selected;
  };
  const Row rows[] = {
      {{}, "|_T:20", {1, 2, 3}, 0},
      {{.shift = true}, "|&T:20", {1, 2, 3, 4, 5, 6}, 1},
      {{.ctrl = true}, "|+T:20", {1, 2, 3}, 1},
      {{.alt = true}, "|-T:20", {4, 5, 6}, 1},
      {{.alt = true, .ctrl = true}, "|-T:20", {4, 5, 6}, 1},
      {{.ctrl = true, .shift = true}, "|+T:20", {1, 2, 3}, 1},
  };
  Show();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.step);
    AllResults();
    gSelectedById.Set(4, 1);
    keys = row.held;
    QTest::mouseClick(LabelOf(QStringLiteral("Cat")), Qt::LeftButton);
    EXPECT_EQ(gViewSpec, QLatin1String(row.step));
    EXPECT_EQ(Results(), row.results);
    EXPECT_EQ(gLibrary->ResultCount, static_cast<int32_t>(row.results.size()));
    EXPECT_EQ(gSelectedById.Count(), row.selected);
    EXPECT_FALSE(gLibrary->Connection().InTransaction()) << "LTC is committed";
    EXPECT_FALSE(View().busy);
  }
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TagCloudWindowTest, OtherButtonsRunNoSearchAndTheRightOneShowsTheTagInTheTree) {
  Show();
  QTest::mouseClick(LabelOf(QStringLiteral("Dog")), Qt::RightButton);
  QTest::mouseClick(LabelOf(QStringLiteral("Dog")), Qt::MiddleButton);
  EXPECT_TRUE(gViewSpec.isEmpty());
  EXPECT_EQ(Results().size(), 6u);
  EXPECT_EQ(revealed, QStringList{"ID21"}) << "only the right button shows the tag";

  // A tag the tree no longer shows is passed over.
  Tree().Nodes.Remove(QStringLiteral("ID21"));
  QTest::mouseClick(LabelOf(QStringLiteral("Dog")), Qt::RightButton);
  EXPECT_EQ(revealed.size(), 1);
  EXPECT_EQ(boxes.Count(), 0);
}

// A step that fails inside the transaction takes the whole click back: the
// results are those before it, "LTC" is not left open, one report.
TEST_F(TagCloudWindowTest, FailingStepInsideTheTransactionIsRolledBackAndReportedOnce) {
  const auto refuseFetch = [](void*, int action, const char* what, const char* name, const char*, const char*) {
    const bool refused = action == SQLITE_SAVEPOINT && what && name && std::strcmp(what, "BEGIN") == 0 &&
                         std::strcmp(name, "FetchResults") == 0;
    return refused ? SQLITE_DENY : SQLITE_OK;
  };
  Show();
  boxes.Answer(vbOK);
  sqlite3_set_authorizer(gLibrary->Connection().Handle(), refuseFetch, nullptr);
  QTest::mouseClick(LabelOf(QStringLiteral("Cat")), Qt::LeftButton);
  sqlite3_set_authorizer(gLibrary->Connection().Handle(), nullptr, nullptr);
  ASSERT_EQ(boxes.Count(), 1);
  // In the program's words; SQLite's are for the log.
  EXPECT_TRUE(boxes.Last().prompt.contains(QLatin1String("could not read or change"))) << boxes.Last().prompt.toStdString();
  EXPECT_FALSE(boxes.Last().prompt.contains(QLatin1String("not authorized"))) << boxes.Last().prompt.toStdString();
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  EXPECT_EQ(Results(), (std::set<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_FALSE(View().busy);
}

// ---- The category menu ----

TEST_F(TagCloudWindowTest, CategoryMenuFiltersByTheCheckedCategoriesInMenuOrder) {
  OpenMenu();
  ASSERT_EQ(Cloud().CategoryCount(), 3);
  EXPECT_TRUE(gCategoryMenuBuilt);
  EXPECT_TRUE(Cloud().mnuCategorySelector->isVisible());
  EXPECT_EQ(Checked(), (QStringList{"5", "9", "12"})) << "every category shown, in name order";
  EXPECT_FALSE(Category(0).isVisible());

  Category(3).trigger();
  EXPECT_EQ(gTagCloudCategories, QStringLiteral("(5,9)"));
  EXPECT_EQ(Shown(), (QStringList{"Cat", "Dog", "Novel"}));

  keys.ctrl = true;
  Category(2).trigger();
  keys.ctrl = false;
  EXPECT_EQ(gTagCloudCategories, QStringLiteral("(9)"));
  EXPECT_EQ(Checked(), QStringList{"9"}) << "Ctrl leaves the clicked category alone checked";
  EXPECT_EQ(Shown(), QStringList{"Novel"});

  Category(2).trigger();
  EXPECT_EQ(gTagCloudCategories, QStringLiteral("(-1)"));
  EXPECT_TRUE(Shown().isEmpty()) << "no category checked shows no tag";

  Cloud().mnuSelectAll->trigger();
  EXPECT_EQ(Checked().size(), 3);
  EXPECT_TRUE(gTagCloudCategories.isEmpty());
  EXPECT_EQ(Shown(), (QStringList{"Cat", "Dog", "Loose", "Novel", "Rome"}))
      << "every category checked shows the tags in no category too";
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TagCloudWindowTest, MenuIsBuiltOncePerLibraryAndKeepsItsMarks) {
  OpenMenu();
  Category(1).trigger();
  Cloud().mnuCategorySelector->hide();
  Exec(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (30, 'Aardvarks', 'C')"));
  QTest::mouseClick(Cloud().imgCloudMenu, Qt::LeftButton);
  EXPECT_EQ(Checked(), (QStringList{"9", "12"})) << "the marks stay until the next build";

  gLibrary->OpenLibrary(gLibrary->LibraryPath, true);
  EXPECT_FALSE(gCategoryMenuBuilt);
  EXPECT_TRUE(gTagCloudCategories.isEmpty());
  QTest::mouseClick(Cloud().imgCloudMenu, Qt::LeftButton);
  EXPECT_EQ(Checked(), (QStringList{"30", "5", "9", "12"}));
}

TEST_F(TagCloudWindowTest, LibraryWithoutCategoriesShowsNoMenu) {
  Exec(QStringLiteral("DELETE FROM Tags WHERE Type = 'C'"));
  OpenMenu();
  EXPECT_TRUE(gCategoryMenuBuilt);
  EXPECT_EQ(Cloud().CategoryCount(), 0);
  EXPECT_FALSE(Cloud().mnuCategorySelector->isVisible());
}

// ---- Hovering ----

TEST_F(TagCloudWindowTest, HoverScrollingStepsByFourteenAndStopsAtBothEnds) {
  std::vector<TagCloudEntry> many;
  for (int i = 0; i < 150; ++i) many.push_back({QString::number(100 + i), QStringLiteral("Tag %1").arg(i), 1});
  Cloud().ShowTags(many, 10);
  ctl::PictureBox& tags = *Cloud().picTags;
  const double lowest = Cloud().picTagContainer->Height() - tags.Height();
  ASSERT_LT(lowest, -28) << "a cloud taller than its frame";
  ASSERT_EQ(tags.Top(), 0);
  const auto hover = [](ctl::PictureBox* arrow) { gSubclasser.SendWindowMessage(arrow, WM_MOUSEHOVER, 0, 0); };

  hover(Cloud().picScrollDown);
  EXPECT_EQ(tags.Top(), -14);
  hover(Cloud().picScrollDown);
  EXPECT_EQ(tags.Top(), -28);
  for (int i = 0; i < 200; ++i) hover(Cloud().picScrollDown);
  EXPECT_EQ(tags.Top(), lowest) << "the bottom of the cloud stops at the bottom of its frame";

  hover(Cloud().picScrollUp);
  EXPECT_EQ(tags.Top(), std::min(lowest + 14, 0.0));
  for (int i = 0; i < 200; ++i) hover(Cloud().picScrollUp);
  EXPECT_EQ(tags.Top(), 0);

  QTest::mouseClick(Cloud().picScrollDown, Qt::LeftButton);
  EXPECT_EQ(tags.Top(), lowest);
  QTest::mouseClick(Cloud().picScrollUp, Qt::LeftButton);
  EXPECT_EQ(tags.Top(), 0);

  // A cloud shorter than its frame stays centred.
  Cloud().ShowTags(View().cloud, 6);
  const double centred = tags.Top();
  ASSERT_GT(centred, 0);
  hover(Cloud().picScrollDown);
  hover(Cloud().picScrollUp);
  QTest::mouseClick(Cloud().picScrollDown, Qt::LeftButton);
  EXPECT_EQ(tags.Top(), centred);
}

// The wheel turned over a tag of a tall cloud: three steps a notch, within
// the same ends as the arrows; a short cloud stays where it is.
TEST_F(TagCloudWindowTest, TheWheelScrollsTheCloudThreeStepsANotchBetweenItsEnds) {
  std::vector<TagCloudEntry> many;
  for (int i = 0; i < 150; ++i) many.push_back({QString::number(100 + i), QStringLiteral("Tag %1").arg(i), 1});
  Cloud().ShowTags(many, 10);
  Show();
  ctl::PictureBox& tags = *Cloud().picTags;
  const double lowest = Cloud().picTagContainer->Height() - tags.Height();
  ASSERT_LT(lowest, -84) << "a cloud taller than its frame";
  // A notch (negative: towards the user) at the middle of the cloud's frame,
  // to the widget under that point, as the window system's wheel comes.
  const auto wheel = [&](int delta) {
    const QPoint at = Cloud().picTagContainer->mapTo(&Cloud(), Cloud().picTagContainer->rect().center());
    QWidget* under = Cloud().childAt(at);
    ASSERT_NE(under, nullptr);
    QWheelEvent event(under->mapFrom(&Cloud(), QPointF(at)), Cloud().mapToGlobal(QPointF(at)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(under, &event);
  };
  wheel(-120);
  EXPECT_EQ(tags.Top(), -42);
  wheel(-240);
  EXPECT_EQ(tags.Top(), -126);
  wheel(120);
  EXPECT_EQ(tags.Top(), -84);
  for (int i = 0; i < 100; ++i) wheel(-120);
  EXPECT_EQ(tags.Top(), lowest) << "the bottom of the cloud stops at the bottom of its frame";
  for (int i = 0; i < 100; ++i) wheel(120);
  EXPECT_EQ(tags.Top(), 0);

  Cloud().ShowTags(View().cloud, 6);
  const double centred = tags.Top();
  wheel(-120);
  EXPECT_EQ(tags.Top(), centred) << "a short cloud stays centred";
}

TEST_F(TagCloudWindowTest, HoveredTagTakesTheCursorColourAndTheHandOfTheHeldKeys) {
  Show();
  ctl::Label& dog = *LabelOf(QStringLiteral("Dog"));
  const COLORREF own = dog.ForeColor();
  ASSERT_NE(own, gCursorColour);
  struct Row {
    HeldKeys held;
    const char* cursor;
  };
  for (const Row& row : {Row{{}, "HANDOPEN"}, Row{{.shift = true}, "HANDAPPEND"}, Row{{.ctrl = true}, "HANDFILTERIN"},
                         Row{{.alt = true, .ctrl = true}, "HANDFILTEROUT"}}) {
    keys = row.held;
    MoveOver(dog);
    EXPECT_EQ(dog.ForeColor(), gCursorColour);
    EXPECT_EQ(dog.MouseIcon().pixmap().toImage(), LoadResCursor(QLatin1String(row.cursor)).pixmap().toImage())
        << row.cursor;
  }
  ctl::Label& cat = *LabelOf(QStringLiteral("Cat"));
  const COLORREF catOwn = cat.ForeColor();
  MoveOver(cat);
  EXPECT_EQ(dog.ForeColor(), own) << "the label left gets its colour back";
  gSubclasser.SendWindowMessage(Cloud().picTags, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(cat.ForeColor(), catOwn) << "leaving the cloud restores the last one";

  // A cloud laid out again under the mouse keeps its new colours.
  MoveOver(cat);
  gLibrary->ResultCount = 100;
  Cloud().ShowTags(View().cloud, 100);
  const COLORREF relaid = cat.ForeColor();
  gSubclasser.SendWindowMessage(Cloud().picTags, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(cat.ForeColor(), relaid);
}

// ---- Keys, closing, shape and dragging ----

TEST_F(TagCloudWindowTest, KeysAreSentToTheDispatcher) {
  Show();
  struct Row {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* command;
  };
  const Row rows[] = {{Qt::Key_L, Qt::ControlModifier, "mnuViewList"},
                      {Qt::Key_T, Qt::ControlModifier, "mnuViewTile"},
                      {Qt::Key_F3, {}, "mnuViewInspector"},
                      {Qt::Key_F4, {}, "mnuBrowserBack"},
                      {Qt::Key_F5, {}, "mnuBrowserRefresh"},
                      {Qt::Key_F6, {}, "mnuBrowserForward"},
                      {Qt::Key_F9, {}, "mnuViewTagCloud"},
                      {Qt::Key_Escape, {}, "mnuViewTagCloud"},
                      {Qt::Key_Escape, Qt::ShiftModifier, nullptr},
                      {Qt::Key_L, {}, nullptr},
                      {Qt::Key_A, Qt::ControlModifier, nullptr},
                      {Qt::Key_F7, {}, nullptr}};
  for (const Row& row : rows) {
    commands.clear();
    QTest::keyClick(&Cloud(), row.key, row.modifiers);
    EXPECT_EQ(commands, row.command ? QStringList{QLatin1String(row.command)} : QStringList()) << row.key;
  }
  commands.clear();
  QTest::mouseClick(Cloud().imgClose, Qt::LeftButton);
  EXPECT_EQ(commands, QStringList{"mnuViewTagCloud"});
}

TEST_F(TagCloudWindowTest, WindowTakesTheOutlineOfItsPictureAndItsBodyDragsIt) {
  Show();
  EXPECT_TRUE(Cloud().WindowRegion().Applied(&Cloud()));
  const QRegion shape = Cloud().mask();
  EXPECT_FALSE(shape.contains(QPoint(0, 0))) << "the rounded corner is cut away";
  EXPECT_FALSE(shape.contains(QPoint(399, 299)));
  EXPECT_TRUE(shape.contains(QPoint(200, 0)));
  EXPECT_TRUE(shape.contains(QPoint(200, 150)));
  EXPECT_EQ(Cloud().picTagContainer->BackColor(), QColorToColorRef(Cloud().WindowPicture().pixelColor(10, 34)));

  const QPoint start = Cloud().pos();
  QTest::mousePress(&Cloud(), Qt::RightButton, {}, QPoint(200, 12));
  QTest::mouseMove(&Cloud(), QPoint(260, 40));
  QTest::mouseRelease(&Cloud(), Qt::RightButton, {}, QPoint(260, 40));
  EXPECT_EQ(Cloud().pos(), start) << "only the left button drags";
  QTest::mousePress(&Cloud(), Qt::LeftButton, {}, QPoint(200, 12));
  QTest::mouseMove(&Cloud(), QPoint(250, 40));
  QTest::mouseRelease(&Cloud(), Qt::LeftButton, {}, QPoint(250, 40));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Cloud().pos() == start + QPoint(50, 28); }, rwtest::kWaitCeilingMs))
      << Cloud().pos().x();
}

TEST_F(TagCloudWindowTest, PictureOfTheWindowOverTheResults) {
  QString sql;
  const char* names[] = {"Beach",     "Birthday", "Christmas", "Concert", "Family",  "Garden", "Holiday", "Kids",
                         "Mountains", "Party",    "Snow",      "Sunset",  "Wedding", "Zoo",    "Grandma", "Road trip"};
  for (int i = 0; i < 16; ++i) {
    sql += QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (%1, '%2', 'T');").arg(40 + i).arg(names[i]);
    for (int s = 1; s <= 1 + (i * 7) % 6; ++s)
      sql += QStringLiteral("INSERT INTO SegmentTags VALUES (%1, %2);").arg(s).arg(40 + i);
  }
  Exec(sql);
  gLibrary->ShowTagCloud(true);
  Cloud().ShowTags(View().cloud, gLibrary->ResultCount);
  Show();
  MoveOver(*LabelOf(QStringLiteral("Holiday")));
  ASSERT_GE(View().cloud.size(), 20u);
  for (const TagCloudEntry& tag : View().cloud) {
    const ctl::Label* label = LabelOf(tag.Tag);
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(QRect(0, 0, 356, 256).contains(label->geometry().translated(Cloud().picTags->pos())))
        << tag.Tag.toStdString() << " lies inside the frame";
  }
  const QImage picture = Cloud().grab().toImage();
  EXPECT_EQ(picture.size(), QSize(400, 300));
  if (qEnvironmentVariableIsSet("RW_SCREENSHOT")) picture.save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
}

// ---- In the running program ----

class TagCloudInProgramTest : public TagCloudTestOn<rwtest::RunningProgramTest> {
 protected:
  void SetUp() override {
    TagCloudTestOn::SetUp();
    OpenWith(CatalogueSql());
    AllResults();
    gMainForm->MainToolbarHandler(QStringLiteral("mnuViewTagCloud"));
    ASSERT_TRUE(gTagCloudShown);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Cloud()));
  }
  void TearDown() override {
    gTagCloudShown = false;
    TagCloudTestOn::TearDown();
  }
};

TEST_F(TagCloudInProgramTest, MainWindowHooksCarryKeysClicksAndTheTree) {
  ASSERT_NE(LabelOf(QStringLiteral("Rome")), nullptr) << "the main window shows the library's cloud";
  QTest::keyClick(&Cloud(), Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(gBrowserMode, 2) << "Ctrl+L shows the list";

  QTest::mouseClick(LabelOf(QStringLiteral("Rome")), Qt::RightButton);
  ASSERT_NE(Tree().SelectedItem(), nullptr);
  EXPECT_EQ(Tree().SelectedItem()->Key(), QStringLiteral("ID23"));

  QTest::mouseClick(LabelOf(QStringLiteral("Rome")), Qt::LeftButton);
  EXPECT_EQ(Results(), std::set<int>{5});
  EXPECT_EQ(LabelOf(QStringLiteral("Cat")), nullptr) << "the cloud follows the new results";

  QTest::mouseClick(Cloud().imgClose, Qt::LeftButton);
  EXPECT_FALSE(gTagCloudShown);
  EXPECT_FALSE(Cloud().isVisible());

  // Closed by the window system, the cloud is hidden through the dispatcher too.
  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewTagCloud"));
  ASSERT_TRUE(gTagCloudShown);
  Cloud().close();
  EXPECT_FALSE(gTagCloudShown);
  EXPECT_FALSE(Cloud().isVisible());

  // Esc, as its close button does.
  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewTagCloud"));
  ASSERT_TRUE(gTagCloudShown);
  Cloud().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Cloud()));
  QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &Cloud(), Qt::Key_Escape);
  EXPECT_FALSE(gTagCloudShown);
  EXPECT_FALSE(Cloud().isVisible());
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
