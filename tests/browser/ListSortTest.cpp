// Sorting the list by its header: text columns compare case-sensitively,
// number columns by the numbers their padded texts show, ties fall to the
// next key, all eight fields can be keys, a failure is reported and leaves
// the grid, and the scroll bar follows the list back to its first row. With
// RW_SCREENSHOT set, the list sorted by two keys is saved as a PNG.
#include "tests/browser/BrowserTestSupport.h"

#include "platform/ColorRef.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QLocale>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace {

using rwtest::GridTest;

class ListSortTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    for (size_t k = 0; k < gListColumns.size(); ++k) gListColumns[k] = {static_cast<int16_t>(k + 3), 0};
  }

  static LibraryTreePane& TreePane() { return gMainForm->Tree(); }
  static ResultsPane& Results() { return gMainForm->Results(); }

  // Results 1..n in the list with what `fill` gives each of them.
  static void ShowFilledResults(int n, const std::function<void(ResultItem&, int)>& fill) {
    ShowResults(n, 2);
    for (int i = 1; i <= n; ++i) fill(gResults[static_cast<size_t>(i)], i - 1);
    Send("mnuViewList");
  }

  // The result index of each data row, top to bottom.
  static QList<int> RowOrder() {
    QList<int> order;
    for (int r = 1; r < List().Rows(); ++r) order << List().TextMatrix(r, 0).toInt();
    return order;
  }

  static QStringList Headers() {
    QStringList headers;
    for (int c = 3; c <= 10; ++c) headers << List().TextMatrix(0, c);
    return headers;
  }
};

TEST_F(ListSortTest, TextColumnsCompareCaseSensitivelyWithUpperCaseFirst) {
  const QStringList names{"apple", "Banana", "Apple", "cherry", "banana"};
  ShowFilledResults(5, [&](ResultItem& item, int i) { item.FileName = item.FileAlias = names[i]; });
  Results().SortListColumn(4);  // "File Name"
  EXPECT_EQ(RowOrder(), QList<int>({3, 2, 1, 5, 4}));
}

// Each number column, sorted alone, by values whose padded texts would sort
// otherwise; a text that shows no number comes first, as blank text does;
// values that show the same number are equal.
// Resolutions compare by their pixels, and by text where those are equal.
TEST_F(ListSortTest, NumberColumnsSortByTheNumbersTheyShow) {
  struct Case {
    int16_t column;
    std::function<void(ResultItem&, int)> fill;
    QList<int> order;
  };
  const double megabyte = 1024.0 * 1024.0;
  const std::vector<Case> cases{
      {5,
       [&](ResultItem& item, int i) { item.FileSize = std::array{47683.0, 117737.0, 1.5, 9.0, 1.25}[i] * megabyte; },
       {5, 3, 4, 1, 2}},
      {6, [](ResultItem& item, int i) { item.Duration = std::array{3600, 36000, 3599, 7200, 0}[i]; }, {5, 3, 1, 4, 2}},
      {7,
       [](ResultItem& item, int i) {
         item.Dimensions = QStringList{"1920x1080", "704x576", "1080x1920", "", "720x480"}[i];
       },
       {4, 5, 2, 3, 1}},  // as many pixels either way up: by text
      {8, [](ResultItem& item, int i) { item.FrameRate = std::array{25.f, 100.f, 29.97f, 23.976f, 23.5f}[i]; },
       {5, 4, 1, 3, 2}},
      {9, [](ResultItem& item, int i) { item.Bitrate = std::array{800, 1200000, 96, 999999, 5000}[i]; },
       {3, 1, 5, 4, 2}},
      // Values that show the same number tie and keep their order, whatever
      // lies beyond what is shown; texts without a number (a minus sign)
      // come first, in text order.
      {5,
       [&](ResultItem& item, int i) { item.FileSize = std::array{1.0004, 1.0001, -2.0, 1.0, 0.9996}[i] * megabyte; },
       {3, 1, 2, 4, 5}},
      {6, [](ResultItem& item, int i) { item.Duration = std::array{3600.9, 3600.2, 59.5, -5.0, 0.5}[i]; },
       {4, 5, 3, 1, 2}},
      {9, [](ResultItem& item, int i) { item.Bitrate = std::array{-1, 800, -7, 5, 800}[i]; }, {1, 3, 4, 2, 5}},
  };
  // The same under a locale whose decimal separator is a comma.
  const QLocale saved;
  const auto restore = qScopeGuard([&saved] { QLocale::setDefault(saved); });
  for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::French, QLocale::France)}) {
    QLocale::setDefault(locale);
    for (const Case& test : cases) {
      ShowFilledResults(5, test.fill);
      const QString header = List().TextMatrix(0, test.column);
      Results().SortListColumn(test.column);
      EXPECT_EQ(RowOrder(), test.order) << header.toStdString() << " " << locale.name().toStdString();
      Results().SortListColumn(1);
    }
  }
}

// A sort stands over a new result set, with the same comparison.
TEST_F(ListSortTest, ASortStandsOverNewResultsAndStillComparesNumbers) {
  const double megabyte = 1024.0 * 1024.0;
  const auto sizes = [&](ResultItem& item, int i) { item.FileSize = std::array{47683.0, 117737.0, 9.0}[i] * megabyte; };
  ShowFilledResults(3, sizes);
  Results().SortListColumn(5);
  ShowFilledResults(3, sizes);  // filled again, the sort still standing
  EXPECT_EQ(RowOrder(), QList<int>({3, 1, 2}));
  Results().SortListColumn(1);
}

// Also the picture: the list sorted by "File Size" and then "Duration", with
// merged runs of equal sizes and the header pictures.
TEST_F(ListSortTest, TiesOfTheFirstKeyFallToTheSecondAndEqualNeighboursMerge) {
  gMainForm->resize(1600, 1000);
  const double megabyte = 1024.0 * 1024.0;
  ShowFilledResults(24, [&](ResultItem& item, int i) {
    item.FileSize = (i % 3 == 0 ? 117737.0 : i % 3 == 1 ? 47683.0 : 700.5) * megabyte;
    item.Duration = i % 4 == 0 ? 36000 : 3600.0 * (1 + i % 2);
    item.Dimensions = QStringLiteral("1920x1080");
    item.FrameRate = 25.f;
    item.Bitrate = 8000;
    item.FileFormat = QStringLiteral("Matroska");
  });
  Click(List(), CellCentre(List(), 0, 5));  // "File Size"
  Click(List(), CellCentre(List(), 0, 6));  // "Duration"
  ASSERT_EQ(Headers().mid(0, 2), QStringList({"File Size", "Duration"}));
  EXPECT_EQ(List().MergeCells(), ctl::flexMergeRestrictColumns);
  EXPECT_TRUE(List().MergeCol(3) && List().MergeCol(4));
  EXPECT_FALSE(List().Model().Cell(0, 4).picture.isNull()) << "SORTED";
  std::vector<std::pair<double, double>> keys;
  for (int r = 1; r <= 24; ++r) {
    const ResultItem& item = gResults[static_cast<size_t>(List().TextMatrix(r, 0).toInt())];
    keys.emplace_back(item.FileSize, item.Duration);
  }
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_EQ(List().TextMatrix(1, 3), List().TextMatrix(8, 3)) << "eight results of 700.5 MB lead";
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    EXPECT_TRUE(gMainForm->grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG"));
  }
  Results().SortListColumn(1);
}

// Sort marks beside "Resolution" and "Frame Rate": each key column is
// widened to show its header whole beside its mark, and no other column
// changes width.
TEST_F(ListSortTest, EachKeyColumnShowsItsHeaderWholeBesideItsSortMark) {
  gMainForm->resize(1600, 1000);
  ShowFilledResults(6, [](ResultItem& item, int i) {
    item.Dimensions = i % 2 ? QStringLiteral("1920x1080") : QStringLiteral("720x576");
    item.FrameRate = i % 3 ? 25.f : 29.97f;
  });
  const int homeWidth = List().ColWidth(9);
  Click(List(), CellCentre(List(), 0, 7));  // "Resolution"
  Click(List(), CellCentre(List(), 0, 8));  // "Frame Rate"
  ASSERT_EQ(Headers().mid(0, 2), QStringList({"Resolution", "Frame Rate"}));
  for (int column : {3, 4}) {
    ASSERT_FALSE(List().Model().Cell(0, column).picture.isNull()) << "SORTED";
    EXPECT_GE(TwipsToPixelsX(List().ColWidth(column)), List().CellFittingPixels(0, column)) << column;
  }
  EXPECT_EQ(List().ColWidth(9), homeWidth) << "not a key";
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    EXPECT_TRUE(gMainForm->grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG"));
  }
  Results().SortListColumn(1);
}

// Only the current row shows the selection colour: a merged cell of the
// sort key takes it in that row's part alone (the cell's text keeping clear
// of that part), and after a search without
// results no empty row and no column of empty rows takes it at all.
TEST_F(ListSortTest, OnlyTheCurrentRowShowsTheSelectionColourNotItsMergedGroupNorEmptyRows) {
  gMainForm->resize(1600, 1000);
  const double megabyte = 1024.0 * 1024.0;
  ShowFilledResults(6, [&](ResultItem& item, int i) {
    item.Duration = 3600;
    item.FileSize = (i + 1) * megabyte;
  });
  Click(List(), CellCentre(List(), 0, 6));  // "Duration": one run of equal times
  ASSERT_EQ(Headers().first(), QStringLiteral("Duration"));
  ASSERT_EQ(List().TextMatrix(1, 3), List().TextMatrix(6, 3));
  ASSERT_EQ(List().Row(), 1);
  const QColor selection = ColorRefToQColor(List().BackColorSel());
  // A background pixel of cell (row, col): near its top-left corner.
  const auto background = [&](const QImage& shot, int row, int col) {
    const QPoint centre = CellCentre(List(), row, col);
    return shot.pixelColor(centre.x() - TwipsToPixelsX(List().ColWidth(col)) / 2 + 3,
                           centre.y() - TwipsToPixelsY(List().RowHeight(row)) / 2 + 3);
  };
  QImage shot = List().grab().toImage();
  EXPECT_EQ(background(shot, 1, 4), selection) << "the current row";
  EXPECT_EQ(background(shot, 1, 3), selection) << "the merged cell's part in the current row";
  EXPECT_NE(background(shot, 3, 3), selection) << "the merged cell's part in another row";

  // The current row in the middle of the group, where the group's text would
  // lie centred: the text keeps to the rows below it, clear of its colour.
  List().setFocus();
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() == &List(); }, 10000));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  ASSERT_EQ(List().Row(), 3);
  shot = List().grab().toImage();
  const auto cellArea = [&](int row, int col) {
    const QPoint centre = CellCentre(List(), row, col);
    const QSize size(TwipsToPixelsX(List().ColWidth(col)), TwipsToPixelsY(List().RowHeight(row)));
    return QRect(centre - QPoint(size.width() / 2, size.height() / 2), size).adjusted(1, 1, -2, -2);
  };
  const auto pixelsOtherThan = [&](const QRect& area, const QColor& colour) {
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) found += shot.pixelColor(x, y) != colour;
    }
    return found;
  };
  EXPECT_EQ(pixelsOtherThan(cellArea(3, 3), selection), 0) << "the current row's part shows its colour alone";
  EXPECT_GT(pixelsOtherThan(cellArea(5, 3), background(shot, 4, 3)), 0) << "the text amid the rows below";

  gLibrary->ResultCount = 0;
  gResults.assign(1, ResultItem{});
  Results().LayoutThumbnailGrid(0);
  gLibrary->ShowSearchResults();
  shot = List().grab().toImage();
  for (int row = 1; row < List().Rows(); ++row) {
    for (int col = 1; col <= 10; ++col) {
      if (List().ColWidth(col) < 300) continue;
      EXPECT_NE(background(shot, row, col), selection) << "row " << row << ", column " << col;
    }
  }
  Results().SortListColumn(1);
}

TEST_F(ListSortTest, AllEightFieldsBecomeKeysAndANinthClickChangesNothing) {
  const QStringList formats{"MPEG-4", "AVI", "Matroska", "AVI", "MPEG-4", "avi"};
  ShowFilledResults(6, [&](ResultItem& item, int i) {
    item.FileFormat = formats[i];
    item.Bitrate = std::array{800, 2000, 800, 100, 800, 800}[i];
    item.FrameRate = std::array{100.f, 25.f, 25.f, 25.f, 25.f, 25.f}[i];
  });
  // Column 10 always holds the last field that is no key yet.
  for (int key = 1; key <= 8; ++key) Results().SortListColumn(10);
  EXPECT_EQ(Headers(), QStringList({"Format", "Bitrate", "Frame Rate", "Resolution", "Duration", "File Size",
                                    "File Name", "File Path"}));
  for (size_t k = 0; k < 8; ++k) {
    EXPECT_EQ(gListColumns[k].Column, 10 - static_cast<int>(k));
    EXPECT_NE(gListColumns[k].SortFlag, 0);
  }
  const QList<int> order = RowOrder();
  EXPECT_EQ(order, QList<int>({4, 2, 5, 1, 3, 6}));
  Results().SortListColumn(6);
  EXPECT_EQ(Headers()[3], QStringLiteral("Resolution"));
  EXPECT_EQ(RowOrder(), order);

  Click(List(), CellCentre(List(), 0, 3), {}, Qt::RightButton);
  for (int i = 3; i <= 10; ++i) {
    EXPECT_TRUE(Results().mnuListViewCol[static_cast<size_t>(i)]->isChecked()) << i;
    EXPECT_FALSE(Results().mnuListViewCol[static_cast<size_t>(i)]->isEnabled()) << i;
  }
  Results().SortListColumn(0);
  for (int c = 3; c <= 10; ++c) EXPECT_TRUE(List().Model().Cell(0, c).picture.isNull()) << c;
  EXPECT_EQ(RowOrder(), QList<int>({1, 2, 3, 4, 5, 6}));
}

TEST_F(ListSortTest, AFailureShowsItsDescriptionAndEmptiesTheGridsTag) {
  ShowResults(4, 2);
  Results().SortListColumn(5);
  List().SetTag(QStringLiteral("2"));
  boxes.Answer(vbOK);
  Results().SortListColumn(11);  // no such column
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().style, vbExclamation);
  EXPECT_EQ(boxes.Last().title, QString());
  EXPECT_EQ(boxes.Last().fontName, QStringLiteral("Tahoma"));
  EXPECT_EQ(boxes.Last().owner, gMainForm);
  EXPECT_FALSE(boxes.Last().prompt.isEmpty());
  EXPECT_FALSE(boxes.Last().prompt.contains(QLatin1Char(':'))) << "the description alone";
  EXPECT_EQ(List().Tag(), QString());
  EXPECT_EQ(List().TextMatrix(0, 3), QStringLiteral("File Size")) << "the key reached stays";
  Results().SortListColumn(1);
}

TEST_F(ListSortTest, AfterASortTheScrollBarFollowsTheListToItsFirstRow) {
  ShowResults(300, 2);
  ctl::VScrollBar& bar = *Results().scrollFlex;
  Key(List(), Qt::Key_PageDown);
  const int onePage = bar.Value();
  ASSERT_GT(onePage, 1);
  for (int i = 0; i < 10; ++i) Key(List(), Qt::Key_PageDown);
  const int scrolled = List().TopRow();
  ASSERT_GT(scrolled, 10 * onePage / 2);

  Results().SortListColumn(4);
  EXPECT_EQ(List().TopRow(), 1);
  EXPECT_EQ(bar.Value(), 1);
  EXPECT_FALSE(List().Model().Cell(1, 1).picture.isNull()) << "the rows now in view are painted";
  EXPECT_TRUE(List().Model().Cell(scrolled + 1, 1).picture.isNull()) << "the rows out of view are not";
  Key(List(), Qt::Key_PageDown);
  EXPECT_EQ(bar.Value(), onePage) << "paging goes on from the first row";
  EXPECT_EQ(List().TopRow(), onePage);
  Results().SortListColumn(1);
}

}  // namespace
