// Tree nodes dropped on the browser (or entered) open as view steps with the
// operator of the keys held: tags, ratings, dates, formats, devices, saved
// searches and views; a result released on itself (or clicked) opens in the
// inspector; the drag icons say which. The last test drags a tag from the
// tree onto the tile grid with the mouse, as a person does, and can leave
// pictures of the result (see docs/DEVELOPING.md).
#include "browser/ResultGrids.h"
#include "browser/cToolTipHost.h"
#include "platform/DragController.h"
#include "platform/Twips.h"
#include "platform/controls/TreeView.h"
#include "resources/GlyphFont.h"
#include "tests/app/ProgramRun.h"
#include "tests/library/SearchFixture.h"
#include "tests/platform/controls/ControlTestSupport.h"

#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using rwtest::RowSet;

using SearchTest = rwtest::SearchTestOn<rwtest::RunningProgramTest>;

class OpenNodeTest : public SearchTest {
 protected:
  void SetUp() override {
    SearchTest::SetUp();
    gMainForm->Results().Timer1->SetInterval(24 * 3600 * 1000);
    previousKeys_ = ctl::SetKeyStateFunction([this](int key) {
      const bool held = (key == 16 && shift) || (key == 17 && ctrl) || (key == 18 && alt);
      return held ? static_cast<int16_t>(0xFF80) : int16_t{0};
    });
  }

  void TearDown() override {
    ctl::DragController::Instance().End(false);
    ctl::SetKeyStateFunction(previousKeys_);
    gSelectedById.Reset();
    SearchTest::TearDown();
  }

  static ctl::Node& Node(const QString& key) { return Tree().Nodes.Item(key); }

  // Drops the node on the tile grid with the keys as they are set.
  void Drop(const QString& key) {
    Tree().SetSelectedItem(&Node(key));
    gMainForm->Results().BrowserDragDrop(0, 0, QStringLiteral("tvwLibrary"), QString());
  }
  void Keys(bool withShift, bool withCtrl, bool withAlt) {
    shift = withShift;
    ctrl = withCtrl;
    alt = withAlt;
  }

  static QImage IconOf(const ctl::Control& control) { return control.DragIcon().pixmap().toImage(); }
  static QImage Icon(const char* key) { return gMainForm->imglstDragIcons.Picture(QLatin1String(key)).toImage(); }

  static RowSet ShownResults() {
    RowSet rows;
    for (int i = 1; i <= gLibrary->ResultCount; ++i) rows.insert(gResults[static_cast<size_t>(i)].SegmentID);
    return rows;
  }

  bool shift = false;
  bool ctrl = false;
  bool alt = false;

 private:
  ctl::KeyStateFunction previousKeys_;
};

TEST_F(OpenNodeTest, ATagOpensNewWithNoKeyAddsWithShiftKeepingTheSelectionAndExcludesWithAltAndCtrl) {
  Drop(QStringLiteral("ID11"));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11"));
  const RowSet anna = ExpectedTagStep(QStringLiteral("_"), 11, ResultScope::File, StorageFilter::All, {});
  EXPECT_EQ(SearchResults(), anna);
  EXPECT_EQ(ShownResults(), anna) << "fetched and shown";
  EXPECT_EQ(gHistory.back().Caption, QStringLiteral("Anna")) << "the node's text starts a history entry";

  gMainForm->Results().ApplySelection(QStringLiteral("Select"), 1, 1);
  const int selected = gResults[1].SegmentID;
  Keys(true, false, false);
  Drop(QStringLiteral("ID14"));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11|&T:14"));
  const RowSet withBeach = ExpectedTagStep(QStringLiteral("&"), 14, ResultScope::File, StorageFilter::All, anna);
  EXPECT_EQ(SearchResults(), withBeach);
  EXPECT_NE(gSelectedById[selected], 0) << "an added step keeps the selection";
  EXPECT_TRUE(gHistory.back().Caption.endsWith(QStringLiteral("[plus Filters]")));

  Keys(true, true, true);
  Drop(QStringLiteral("ID14"));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11|&T:14|-T:14"));
  EXPECT_EQ(SearchResults(), ExpectedTagStep(QStringLiteral("-"), 14, ResultScope::File, StorageFilter::All, withBeach));

  Keys(false, true, false);
  Drop(QStringLiteral("ID11"));
  EXPECT_TRUE(gViewSpec.endsWith(QStringLiteral("|+T:11")));
  EXPECT_FALSE(gLibrary->Connection().InTransaction()) << "the step's transaction is closed";
}

TEST_F(OpenNodeTest, RatingDateFormatAndDeviceNodesRunTheirSearchStepsWithTheirCaptions) {
  Drop(QStringLiteral("R-0"));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_?R:Unrated"));
  EXPECT_EQ(gHistory.back().Caption, QStringLiteral("Rated Unrated"));
  EXPECT_EQ(SearchResults(), ExpectedSearchStep(QStringLiteral("_"), QStringLiteral("?R:Unrated"),
                                                ResultScope::File, StorageFilter::All, {}));

  Drop(QStringLiteral("D-07d"));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_?D:D-07d"));
  EXPECT_EQ(gHistory.back().Caption, QStringLiteral("Added: Past Week"));

  ctl::Node* format = Tree().Nodes.Find(QStringLiteral("F-MPEG-4"));
  ASSERT_NE(format, nullptr);
  Keys(false, true, false);
  Drop(format->Key());
  EXPECT_EQ(gViewSpec, QStringLiteral("|_?D:D-07d|+?C:MPEG-4"));

  ctl::Node& device = Node(QStringLiteral("M-AAAA1111"));
  device.SetImage(QStringLiteral("DISK-STICK"));
  device.SetTag(QStringLiteral("AAAA1111"));
  Keys(false, false, false);
  Drop(device.Key());
  EXPECT_EQ(gViewSpec, QStringLiteral("|_?M:AAAA1111"));
  EXPECT_EQ(gHistory.back().Caption, QStringLiteral("Device: ") + device.Text());
  EXPECT_EQ(SearchResults(), ExpectedSearchStep(QStringLiteral("_"), QStringLiteral("?M:AAAA1111"),
                                                ResultScope::File, StorageFilter::All, {}));
}

TEST_F(OpenNodeTest, ASavedSearchTakesTheOperatorOnlyWhereItsStepsSayNew) {
  gLibrary->SaveView(QStringLiteral("|_?FAD:my_clip"), QStringLiteral("Clips"), true);
  ctl::Node* search = Tree().SelectedItem();
  ASSERT_NE(search, nullptr);
  ASSERT_EQ(search->Image(), QStringLiteral("SEARCH"));
  Drop(QStringLiteral("ID11"));
  Keys(false, true, false);
  Drop(search->Key());
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11|+?FAD:my_clip")) << "the text keeps its underscore";

  gLibrary->SaveView(QStringLiteral("|_T:13|_?F23:a_b"), QStringLiteral("Two steps"), true);
  Keys(true, false, false);
  Drop(Tree().SelectedItem()->Key());
  EXPECT_TRUE(gViewSpec.endsWith(QStringLiteral("|+?FAD:my_clip|&T:13|&?F23:a_b"))) << gViewSpec.toStdString();
}

TEST_F(OpenNodeTest, ASavedViewRunsItsStepsUnchanged) {
  gLibrary->SaveView(QStringLiteral("|_T:10|-T:12"), QStringLiteral("People"), false);
  gMainForm->Tree().tvwEditTimer->SetEnabled(false);
  Keys(true, false, false);
  Drop(Tree().SelectedItem()->Key());
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:10|-T:12"));
  EXPECT_EQ(gHistory.back().Caption, QStringLiteral("View: People"));
}

TEST_F(OpenNodeTest, EnterOnANodeActsAsADropWithTheKeysHeldThen) {
  Tree().SetSelectedItem(&Node(QStringLiteral("ID13")));
  Tree().setFocus();
  QTest::keyClick(Tree().focusProxy(), Qt::Key_Return);
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:13"));
  Tree().SetSelectedItem(&Node(QStringLiteral("ID11")));
  Keys(true, false, false);
  QTest::keyClick(Tree().focusProxy(), Qt::Key_Return);
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:13|&T:11"));
}

TEST_F(OpenNodeTest, ADropFromAnyOtherControlOrWithoutASelectedNodeDoesNothing) {
  Drop(QStringLiteral("ID11"));
  const QString spec = gViewSpec;
  gMainForm->Results().BrowserDragDrop(0, 1, QStringLiteral("picThumbnail"), QString());
  Tree().SetSelectedItem(nullptr);
  gMainForm->Results().BrowserDragDrop(0, 0, QStringLiteral("tvwLibrary"), QStringLiteral("_"));
  EXPECT_EQ(gViewSpec, spec);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(OpenNodeTest, AResultReleasedOnItselfOpensTheInspectorAndOnAnotherDoesNothing) {
  Drop(QStringLiteral("ID11"));
  ASSERT_GE(gLibrary->ResultCount, 2);
  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewInspector"));  // collapse
  ASSERT_LT(gMainForm->Inspector().picBottom->Height(), 338);
  ASSERT_EQ(gCurrentItem.SegmentID, gResults[1].SegmentID);
  gMainForm->Results().BrowserDragDrop(0, 2, QStringLiteral("flexThumbsTiled"), QString());
  EXPECT_LT(gMainForm->Inspector().picBottom->Height(), 338) << "released on another result";
  gMainForm->Results().BrowserDragDrop(0, 1, QStringLiteral("flexThumbsTiled"), QString());
  EXPECT_EQ(gMainForm->Inspector().picBottom->Height(), 338);

  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewList"));
  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewInspector"));
  gMainForm->Results().BrowserDragDrop(0, 1, QStringLiteral("flexThumbsList"), QString());
  EXPECT_LT(gMainForm->Inspector().picBottom->Height(), 338) << "the header row";
  const int row = gMainForm->Results().flexThumbsList->Row();
  gMainForm->Results().BrowserDragDrop(row, 1, QStringLiteral("flexThumbsList"), QString());
  EXPECT_EQ(gMainForm->Inspector().picBottom->Height(), 338);
}

// A plain click is a press and a release on one result with no drag between:
// the result released on itself, opened once the double-click time has
// passed without a second click. Clicked through the grids as a person does.
TEST_F(OpenNodeTest, APlainClickOnATileOrAListRowOpensTheResultInTheInspector) {
  Drop(QStringLiteral("ID11"));
  ASSERT_GE(gLibrary->ResultCount, 3);
  ResultsPane& results = gMainForm->Results();
  ctl::FlexGrid& tiles = *results.flexThumbsTiled;
  const auto tile = [&](int col) { return QPoint(1 + (col - 1) * tiles.ColWidth(1) / 15 + 30, 30); };
  const auto inspected = [](int index) {
    const int segment = gResults[static_cast<size_t>(index)].SegmentID;
    return QTest::qWaitFor([segment] { return gInspectedItem.SegmentID == segment; }, 10000);
  };
  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewInspector"));  // collapse
  ASSERT_LT(gMainForm->Inspector().picBottom->Height(), 338);
  gInspectedItem = ResultItem{};
  QTest::mousePress(&tiles, Qt::LeftButton, {}, tile(2));
  EXPECT_FALSE(results.ClickOpenPending()) << "the press alone opens nothing";
  QTest::mouseRelease(&tiles, Qt::LeftButton, {}, tile(2) + QPoint(3, 2));
  EXPECT_TRUE(results.ClickOpenPending());
  ASSERT_TRUE(inspected(2));
  EXPECT_EQ(gMainForm->Inspector().picBottom->Height(), 338) << "the collapsed inspector is shown first";

  QTest::mouseClick(&tiles, Qt::LeftButton, Qt::ControlModifier, tile(1));
  EXPECT_FALSE(results.ClickOpenPending()) << "a Ctrl-click only selects";
  QTest::mousePress(&tiles, Qt::LeftButton, {}, tile(1));
  QTest::mouseRelease(&tiles, Qt::LeftButton, {}, tile(3));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !results.ClickOpenPending(); }, 10000));
  EXPECT_EQ(gInspectedItem.SegmentID, gResults[2].SegmentID) << "released on another result";
  QTest::mouseClick(&tiles, Qt::LeftButton, {}, tile(1));
  QTest::mouseClick(&tiles, Qt::LeftButton, {}, tile(3));
  EXPECT_TRUE(results.ClickOpenPending()) << "a second click on another tile takes the first one's place";
  ASSERT_TRUE(inspected(3));

  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewList"));
  ctl::FlexGrid& list = *results.flexThumbsList;
  const int rowHeight = list.RowHeight(1) / 15;
  const int row = list.TopRow();  // the first row in view
  const QPoint onRow(list.ColWidth(0) / 15 + list.ColWidth(1) / 15 + 20, list.RowHeight(0) / 15 + rowHeight / 2);
  QTest::mouseClick(&list, Qt::LeftButton, {}, onRow);
  EXPECT_TRUE(inspected(list.TextMatrix(row, 0).toInt()));
}

TEST_F(OpenNodeTest, TheDragIconSaysWhatADropWouldDo) {
  ctl::TreeView& tree = Tree();
  Keys(false, true, true);
  gMainForm->Results().BrowserDragOver(QStringLiteral("tvwLibrary"), ctl::vbOver);
  EXPECT_EQ(IconOf(tree), Icon("FILTERIN")) << "Ctrl is asked first here";
  Keys(false, false, true);
  gMainForm->Results().BrowserDragOver(QStringLiteral("tvwLibrary"), ctl::vbOver);
  EXPECT_EQ(IconOf(tree), Icon("FILTEROUT"));
  Keys(true, false, false);
  gMainForm->Results().BrowserDragOver(QStringLiteral("tvwLibrary"), ctl::vbOver);
  EXPECT_EQ(IconOf(tree), Icon("APPENDFILES"));
  Keys(false, false, false);
  gMainForm->Results().BrowserDragOver(QStringLiteral("tvwLibrary"), ctl::vbEnter);
  EXPECT_EQ(IconOf(tree), Icon("FILES"));

  Drop(QStringLiteral("ID11"));
  ctl::FlexGrid& tiles = *gMainForm->Results().flexThumbsTiled;
  const auto hover = [&](int col) {
    const QPoint at(1 + (col - 1) * tiles.ColWidth(1) / 15 + 20, 20);
    QMouseEvent move(QEvent::MouseMove, at, tiles.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&tiles, &move);
  };
  hover(1);
  gMainForm->Results().BrowserDragOver(QStringLiteral("flexThumbsTiled"), ctl::vbOver);
  EXPECT_EQ(IconOf(tiles), Icon("OPENFILE"));
  EXPECT_EQ(IconOf(*gMainForm->Results().flexThumbsList), Icon("OPENFILE"));
  hover(2);
  gMainForm->Results().BrowserDragOver(QStringLiteral("flexThumbsTiled"), ctl::vbOver);
  EXPECT_EQ(IconOf(tiles), Icon("FILE"));
  hover(1);
  gMainForm->Results().BrowserDragOver(QStringLiteral("flexThumbsTiled"), ctl::vbLeave);
  EXPECT_EQ(IconOf(tiles), Icon("FILE"));
}

// A long step caption, padded towards its count as the history pads it, is
// shown from its first letter, as the same caption alone would be.
TEST_F(OpenNodeTest, TheHistoryComboShowsALongStepFromItsFirstLetter) {
  Drop(QStringLiteral("D-03m"));
  ctl::ImageCombo& history = HistoryCombo();
  const QString entry = history.Text();
  const QString caption = entry.left(entry.lastIndexOf(QLatin1Char('['))).trimmed();
  ASSERT_GT(caption.size(), 20) << entry.toStdString();
  ctl::ImageCombo alone;
  alone.setFont(history.font());
  alone.SetImageList(history.Images());
  alone.resize(history.size());
  alone.ComboItems.Add(0, QString(), caption, history.SelectedItem()->Image());
  alone.ComboItems(1).SetSelected(true);
  alone.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&alone));
  const auto textStart = [](ctl::ImageCombo& combo) {
    const QImage face = combo.grab().toImage();
    return rwtest::FirstInkColumn(face, combo.Box()->lineEdit()->x(), face.width() - 24);
  };
  ASSERT_GT(textStart(alone), 0);
  EXPECT_NEAR(textStart(history), textStart(alone), 1);
  EXPECT_EQ(history.Box()->lineEdit()->cursorPosition(), 0);
}

// ---- A tag dragged with the mouse ----

class TreeDragTest : public OpenNodeTest {
 protected:
  // A thumbnail for every file, so the tiles show pictures.
  static void AddThumbnails() {
    for (const rwtest::FixtureFile& file : Files()) {
      QImage picture(100, 75, QImage::Format_RGB32);
      picture.fill(QColor::fromHsv(file.id * 50 % 360, 160, 200));
      QPainter painter(&picture);
      painter.drawText(picture.rect(), Qt::AlignCenter, file.name);
      painter.end();
      gLibrary->SaveThumbnail(file.id, file.id, picture);
    }
  }

  // The middle of the node's label in the tree's viewport.
  static QPoint LabelOf(const ctl::Node& node) {
    QWidget* viewport = Tree().focusProxy()->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport"));
    for (int y = 0; y < viewport->height(); y += 2) {
      for (int x = 0; x < viewport->width(); x += 4) {
        int flags = 0;
        if (Tree().HitTestInfo(x, y, &flags) == &node && (flags & ctl::tvhtOnItemLabel)) return QPoint(x + 8, y);
      }
    }
    return QPoint(-1, -1);
  }

  // The area of the node's row where the tree hit-tests `flag`, in viewport pixels.
  static QRect AreaOf(const ctl::Node& node, int flag) {
    QRect area;
    const QWidget* viewport = Viewport();
    for (int y = 0; y < viewport->height(); ++y) {
      for (int x = 0; x < viewport->width(); ++x) {
        int flags = 0;
        if (Tree().HitTestInfo(x, y, &flags) == &node && flags == flag) area |= QRect(x, y, 1, 1);
      }
    }
    return area;
  }

  // The pixels of an area of the tree drawn in a selection colour.
  static int HighlightPixels(const QRect& area) {
    const QImage shot = Viewport()->grab().toImage();
    const QPalette palette = Viewport()->palette();
    const QColor highlights[] = {palette.color(QPalette::Active, QPalette::Highlight),
                                 palette.color(QPalette::Inactive, QPalette::Highlight)};
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        const QColor pixel = shot.pixelColor(x, y);
        found += std::any_of(std::begin(highlights), std::end(highlights), [&](const QColor& highlight) {
          return std::abs(pixel.red() - highlight.red()) <= 16 && std::abs(pixel.green() - highlight.green()) <= 16 &&
                 std::abs(pixel.blue() - highlight.blue()) <= 16;
        });
      }
    }
    return found;
  }

  // Drags the node by its label to a point of the viewport and releases it
  // there, or cancels the drag there before the release.
  static void DragNode(const ctl::Node& node, const QPoint& to, bool cancel = false) {
    const QPoint label = LabelOf(node);
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, label);
    QTest::mouseMove(Viewport(), label + QPoint(3, 1));
    ASSERT_TRUE(ctl::DragController::Instance().Dragging());
    QTest::mouseMove(Viewport(), to);
    if (cancel) Tree().Drag(ctl::vbCancel);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
    ASSERT_FALSE(ctl::DragController::Instance().Dragging());
  }

  static QWidget* Viewport() {
    return Tree().focusProxy()->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport"));
  }

  // Saves a picture of the main window when RW_SCREENSHOT names a file; the
  // list view's picture goes beside it with "-list" before the extension.
  static void Picture(const QString& suffix) {
    QString path = qEnvironmentVariable("RW_SCREENSHOT");
    if (path.isEmpty()) return;
    if (!suffix.isEmpty()) {
      const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
      path.insert(dot < 0 ? path.size() : dot, suffix);
    }
    EXPECT_TRUE(gMainForm->grab().save(path, "PNG"));
  }
};

TEST_F(TreeDragTest, ATagDraggedFromTheTreeOntoTheBrowserShowsItsFilesInTheTilesAndTheList) {
  AddThumbnails();
  ctl::Node& people = Node(QStringLiteral("ID10"));
  people.EnsureVisible();
  QWidget* viewport = Tree().focusProxy()->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport"));
  ASSERT_NE(viewport, nullptr);
  const QPoint label = LabelOf(people);
  ASSERT_GE(label.x(), 0) << "the node is on screen";

  ctl::FlexGrid& tiles = *gMainForm->Results().flexThumbsTiled;
  const QPoint overTiles = viewport->mapFromGlobal(tiles.mapToGlobal(QPoint(150, 40)));
  QTest::mousePress(viewport, Qt::LeftButton, {}, label);
  EXPECT_EQ(Tree().SelectedItem(), &people);
  QTest::mouseMove(viewport, label + QPoint(3, 1));
  ASSERT_TRUE(ctl::DragController::Instance().Dragging()) << "the tree drags its selected node";
  QTest::mouseMove(viewport, overTiles);
  EXPECT_EQ(IconOf(Tree()), Icon("FILES"));
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, overTiles);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());

  const RowSet expected = ExpectedTagStep(QStringLiteral("_"), 10, ResultScope::File, StorageFilter::All, {});
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:10"));
  EXPECT_EQ(ShownResults(), expected);
  EXPECT_EQ(gMainForm->Results().lblResultSize->Caption(), QStringLiteral("%1 File(s)").arg(expected.size()));
  for (int i = 1; i <= gLibrary->ResultCount; ++i) {
    const int row = (i - 1) / ResultGrids::TileColumns();
    const int col = (i - 1) % ResultGrids::TileColumns() + 1;
    EXPECT_FALSE(tiles.Model().Cell(row, col).picture.isNull()) << "tile " << i;
  }
  Picture(QString());

  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewList"));
  ctl::FlexGrid& list = *gMainForm->Results().flexThumbsList;
  RowSet listed;
  for (int r = 1; r < list.Rows(); ++r) {
    const int i = ResultGrids::ListIndex(list, r);
    if (ResultGrids::IsResult(i)) listed.insert(gResults[static_cast<size_t>(i)].SegmentID);
    EXPECT_EQ(list.TextMatrix(r, 4), gResults[static_cast<size_t>(i)].FileName);
  }
  EXPECT_EQ(listed, expected);
  const ctl::FlexCell& name = list.Model().Cell(1, 4);
  EXPECT_TRUE(name.fontId < 0 || list.Model().Font(name.fontId).family() != kGlyphFontFamily)
      << "only the thumbnail column shows glyphs";
  Picture(QStringLiteral("-list"));
  EXPECT_EQ(boxes.Count(), 0);
}

// Once a tag is dropped on the tiles, the pointer's moves go to the window
// under it again, not to the tree it was dragged from: the tile under the
// pointer arms its tip without a click first. The mouse events come to the
// main window, as the window system's do, which hands them to its widgets.
TEST_F(TreeDragTest, AfterATagDroppedOnTheTilesTheTileUnderThePointerArmsItsTip) {
  ctl::Node& people = Node(QStringLiteral("ID10"));
  people.EnsureVisible();
  ctl::FlexGrid& tiles = *gMainForm->Results().flexThumbsTiled;
  QWindow* window = gMainForm->windowHandle();
  ASSERT_NE(window, nullptr);
  const auto inWindow = [](const QWidget* widget, const QPoint& at) { return widget->mapTo(gMainForm, at); };
  const QPoint label = inWindow(Viewport(), LabelOf(people));
  const QPoint drop = inWindow(&tiles, QPoint(150, 40));
  QTest::mousePress(window, Qt::LeftButton, {}, label);
  QTest::mouseMove(window, label + QPoint(3, 1));
  ASSERT_TRUE(ctl::DragController::Instance().Dragging());
  QTest::mouseMove(window, drop);
  QTest::mouseRelease(window, Qt::LeftButton, {}, drop);
  ASSERT_EQ(gViewSpec, QStringLiteral("|_T:10"));
  ASSERT_GE(gLibrary->ResultCount, 2);

  // The middle of tile 2: row 0, column 2 after the margin column.
  int x = TwipsToPixelsX(tiles.ColWidth(2)) / 2;
  for (int col = 0; col < 2; ++col) x += TwipsToPixelsX(tiles.ColWidth(col));
  const QPoint tile(x, TwipsToPixelsY(tiles.RowHeight(0)) / 2);
  gHoverItem.FileID = -1;
  QCursor::setPos(tiles.mapToGlobal(tile));
  QTest::mouseMove(window, inWindow(&tiles, tile));
  EXPECT_EQ(gHoverItem.FileID, gResults[2].FileID) << "the move went to the tree";
  cToolTipHost& tips = *gMainForm->Results().m_cToolTips;
  EXPECT_TRUE(QTest::qWaitFor([&] { return tips.Armed(); }, 10000)) << "no tip";
  tips.DestroyTip();
  EXPECT_EQ(boxes.Count(), 0);
}

// The indent left of a dragged child node is where a selection square could
// stay behind; it shows only the tree's background however the drag ended.
TEST_F(TreeDragTest, ADraggedChildNodeLeavesNoSelectionSquareInTheTree) {
  ctl::Node& anna = Node(QStringLiteral("ID11"));
  anna.EnsureVisible();
  const QRect indent = AreaOf(anna, ctl::tvhtOnItemIndent);
  ASSERT_GE(indent.width(), 10) << "a child node is indented";
  ctl::FlexGrid& tiles = *gMainForm->Results().flexThumbsTiled;

  DragNode(anna, Viewport()->mapFromGlobal(tiles.mapToGlobal(QPoint(150, 40))));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11")) << "dropped on the tiles";
  EXPECT_EQ(HighlightPixels(indent), 0) << "after a drop on the browser";
  EXPECT_EQ(HighlightPixels(AreaOf(anna, ctl::tvhtOnItemLabel)), 0) << "the tree has lost the focus";

  DragNode(anna, Viewport()->mapFromGlobal(QPoint(-40, -40)));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11")) << "dropped where no control lies";
  EXPECT_EQ(HighlightPixels(indent), 0) << "after a drop on nothing";

  DragNode(anna, LabelOf(anna) + QPoint(20, 0), true);
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11")) << "cancelled";
  EXPECT_EQ(HighlightPixels(indent), 0) << "after a drag cancelled over the tree";
  EXPECT_EQ(boxes.Count(), 0);
}

// The node a drag is over is highlighted as the drop target; a drag
// cancelled there takes the highlight along.
TEST_F(TreeDragTest, ADragCancelledOverTheTreeLeavesNoDropHighlight) {
  ctl::Node& anna = Node(QStringLiteral("ID11"));
  ctl::Node& ben = Node(QStringLiteral("ID13"));
  anna.EnsureVisible();
  ben.EnsureVisible();
  const QPoint label = LabelOf(anna);
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, label);
  QTest::mouseMove(Viewport(), label + QPoint(3, 1));
  ASSERT_TRUE(ctl::DragController::Instance().Dragging());
  QTest::mouseMove(Viewport(), LabelOf(ben));
  ASSERT_EQ(Tree().DropHighlight(), &ben) << "the drop target is highlighted";
  ASSERT_GT(HighlightPixels(AreaOf(ben, ctl::tvhtOnItemLabel)), 0);
  Tree().Drag(ctl::vbCancel);
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, LabelOf(ben));
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
  EXPECT_EQ(Tree().DropHighlight(), nullptr);
  EXPECT_EQ(HighlightPixels(AreaOf(ben, ctl::tvhtOnItemLabel)), 0) << "nothing drawn as a drop target";
  EXPECT_EQ(anna.Parent(), &Node(QStringLiteral("ID10"))) << "nothing dropped";
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
