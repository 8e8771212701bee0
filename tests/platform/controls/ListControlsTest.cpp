// The image combo and the list view: keyed items, selection by code and by
// the user, the rotation of the tag list that relies on the list's own
// keyboard movement, hit tests in twips and items per page.
#include "platform/controls/ControlErrors.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/ListView.h"
#include "tests/platform/controls/ControlTestSupport.h"
#include "tests/support/TestFonts.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

using ctl::ImageCombo;
using ctl::ListView;

class ImageComboTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    images.ListImages.Add("_T", picture);
    combo.SetImageList(&images);
    combo.resize(300, 22);
  }

  ctl::ImageList images;
  ImageCombo combo;
};

TEST_F(ImageComboTest, ItemsAreAddedWithoutSelectingAndSelectedByCode) {
  combo.SetText("Potential Duplicate Files");
  combo.ComboItems.Add(0, "", "Tag: Holiday   [+12]", "_T");
  combo.ComboItems.Add(0, "", "Rated 5   [-3]", "&R");
  EXPECT_EQ(combo.ComboItems.Count(), 2);
  EXPECT_EQ(combo.SelectedItem(), nullptr);
  EXPECT_EQ(combo.Text(), "Potential Duplicate Files");
  try {
    combo.SelectedIndex();
    ADD_FAILURE() << "no selection raised nothing";
  } catch (const RWError& error) {
    EXPECT_EQ(error.Number(), ctl::kErrObjectNotSet);
  }
  combo.ComboItems(2).SetSelected(true);
  EXPECT_EQ(combo.SelectedIndex(), 2);
  EXPECT_TRUE(combo.ComboItems(2).Selected());
  combo.ComboItems(1).SetText("Tag: Holiday        [+12]");
  EXPECT_EQ(combo.Box()->itemText(0), "Tag: Holiday        [+12]");
  EXPECT_FALSE(combo.Box()->itemIcon(0).isNull());
  combo.ComboItems.Clear();
  EXPECT_EQ(combo.SelectedItem(), nullptr);
  EXPECT_EQ(combo.ComboItems.Count(), 0);
}

TEST_F(ImageComboTest, ChoosingAnItemInTheListRaisesClick) {
  combo.ComboItems.Add(0, "", "First");
  combo.ComboItems.Add(0, "", "Second");
  combo.ComboItems(1).SetSelected(true);
  int clicks = 0;
  combo.Click = [&] { ++clicks; };
  combo.ComboItems(2).SetSelected(true);
  EXPECT_EQ(clicks, 0) << "code raises nothing";
  combo.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
  emit combo.Box()->activated(0);
  EXPECT_EQ(clicks, 1);
}

// Where the text of the combo's edit starts to show, right of its picture.
int FirstInkColumn(ImageCombo& combo) {
  const QImage face = combo.grab().toImage();
  return rwtest::FirstInkColumn(face, combo.Box()->lineEdit()->x(), face.width() - 24);
}

// A history entry padded far past the combo's width towards its count, as
// the history pads them, shows from its first letter, not scrolled to its end.
TEST_F(ImageComboTest, ALongPaddedTextShowsFromItsFirstLetterWithOrWithoutAPicture) {
  const QString text = QStringLiteral("Added to Library: Past Week");
  const QString padded = text + QString(500, QLatin1Char(' ')) + QStringLiteral(" [+12]");
  combo.ComboItems.Add(0, "", text, "_T");
  combo.ComboItems.Add(0, "", padded, "_T");
  combo.ComboItems.Add(0, "", text);
  combo.ComboItems.Add(0, "", padded);
  combo.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
  for (int plain : {1, 3}) {
    combo.ComboItems(plain).SetSelected(true);
    const int start = FirstInkColumn(combo);
    ASSERT_GT(start, 0);
    combo.ComboItems(plain + 1).SetSelected(true);
    EXPECT_NEAR(FirstInkColumn(combo), start, 1) << "item " << plain + 1;
    EXPECT_EQ(combo.Box()->lineEdit()->cursorPosition(), 0);
  }
  combo.ComboItems(2).SetSelected(true);
  const int withPicture = FirstInkColumn(combo);
  combo.ComboItems(2).SetImage("_T");
  EXPECT_NEAR(FirstInkColumn(combo), withPicture, 1) << "the same text set again with its picture";
  combo.ComboItems(2).SetText(padded);
  EXPECT_NEAR(FirstInkColumn(combo), withPicture, 1) << "the same text set again";
  combo.SetText(padded);
  EXPECT_EQ(combo.Box()->lineEdit()->cursorPosition(), 0) << "an edit text of its own";
}

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.ColumnHeaders.Clear();
    list.ColumnHeaders.Add(0, "", "Tags", 20);
    list.ColumnHeaders.Add(0, "", "Tags", 160);
    list.SetHideColumnHeaders(true);
    for (int i = 1; i <= 12; ++i) AddTag(0, i);
    // Room for eight and a half rows.
    list.resize(200, 8 * List()->sizeHintForRow(0) + List()->sizeHintForRow(0) / 2 + 2 * List()->frameWidth());
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  }

  void AddTag(int index, int position) {
    ctl::ListItem& item = list.ListItems.Add(index, QStringLiteral("ID%1").arg(position + 100), "");
    item.SetTag(QString::number(position + 100));
    ctl::ListSubItem& sub = item.ListSubItems.Add(0, "", QStringLiteral("Tag %1").arg(position));
    sub.SetTag(QString::number(position));
    sub.SetBold(position % 2 == 0);
  }

  QTreeView* List() { return list.findChild<QTreeView*>(); }

  // The tag list rotates its items instead of scrolling (no scroll bar).
  void KeyDownRotating(int& key, int) {
    const int n = list.CountPerPage();
    ctl::ListItem* selected = list.SelectedItem();
    if (key != ctl::vbKeyDown || !selected || list.ListItems.Count() <= n || selected->Index() != n) return;
    if (selected->ListSubItems(1).Tag().toInt() == list.ListItems.Count()) {
      list.ListItems(n - 1).SetSelected(true);
      return;
    }
    const ctl::ListItem& first = list.ListItems(1);
    const int position = first.ListSubItems(1).Tag().toInt();
    list.ListItems.Remove(1);
    AddTag(0, position);
  }

  ListView list;
};

TEST_F(ListViewTest, ItemsCarrySubItemsWithTheirOwnLook) {
  EXPECT_EQ(list.ListItems.Count(), 12);
  EXPECT_EQ(list.ColumnHeaders.Count(), 2);
  EXPECT_EQ(list.ListItems("ID105").SubItems(1), "Tag 5");
  EXPECT_TRUE(list.ListItems(4).ListSubItems(1).Bold());
  list.ListItems(3).SetSubItems(1, "Renamed");
  EXPECT_EQ(List()->model()->index(2, 1).data().toString(), "Renamed");
  EXPECT_EQ(list.ListItems.Find("ID999"), nullptr);
  EXPECT_THROW(list.ListItems.Add(0, "ID101"), RWError);
}

TEST_F(ListViewTest, CountPerPageAndHitTestFollowTheRows) {
  EXPECT_EQ(list.CountPerPage(), 8);
  const QRect third = List()->visualRect(List()->model()->index(2, 1));
  ctl::ListItem* hit = list.HitTest(third.center().x() * 15.0, third.center().y() * 15.0);
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->Index(), 3);
}

// The marks a row's own text carries, above the ascent of the program's
// Tahoma (accents over capitals, Thai tone marks, the tops of Devanagari) or
// below its descent, show whole in its row below a row of plain Latin, plain
// or bold, at any size, with Noto for what Tahoma lacks too.
TEST_F(ListViewTest, TheMarksOfARowsTextShowWholeInItsRow) {
  rwtest::AlsoWithNotoFonts();
  const rwtest::WineTahoma tahoma;
  const QString texts[] = {QStringLiteral("\u00C9t\u00E9"), QStringLiteral("\u1ED6"),
                           QStringLiteral("\u0E1C\u0E39\u0E49\u0E43\u0E2B\u0E0D\u0E48"),
                           QStringLiteral("\u0939\u093F\u0928\u094D\u0926\u0940")};
  for (const int points : {7, 8, 12, 24}) {
    list.setFont(QFont(QStringLiteral("Tahoma"), points));
    for (const QString& text : texts) {
      for (const int row : {2, 3}) {
        list.ListItems(row).SetSubItems(1, text);
        const QModelIndex index = List()->model()->index(row - 1, 1);
        const QFont font = index.data(Qt::FontRole).value<QFont>();
        SCOPED_TRACE(text.toStdString() + " " + std::to_string(points) + (font.bold() ? " bold" : ""));
        const auto [freeTop, freeBottom] = rwtest::FreeInkRows(font, text);
        QCoreApplication::processEvents();
        const QImage shown = List()->viewport()->grab(List()->visualRect(index)).toImage();
        const auto [top, bottom] = rwtest::InkRows(shown);
        ASSERT_GE(top, 0);
        EXPECT_GE(bottom - top, freeBottom - freeTop) << "every row of the ink, the marks' too";
      }
    }
  }
}

TEST_F(ListViewTest, SelectionByCodeAndTheKeyHandlerRunsBeforeTheListMoves) {
  list.ListItems(8).SetSelected(true);
  EXPECT_TRUE(list.ListItems(8).Selected());
  list.ListItems(8).SetSelected(false);
  EXPECT_EQ(list.SelectedItem(), nullptr);
  list.SetSelectedItem(&list.ListItems(8));
  list.KeyDown = [this](int& key, int shift) { KeyDownRotating(key, shift); };
  list.setFocus();
  for (int press = 0; press < 6; ++press) QTest::keyClick(List(), Qt::Key_Down);
  // Four rotations bring tag 12 to the last visible row; then the cursor stays.
  EXPECT_EQ(list.ListItems(1).SubItems(1), "Tag 5");
  EXPECT_EQ(list.ListItems(8).SubItems(1), "Tag 12");
  ASSERT_NE(list.SelectedItem(), nullptr);
  EXPECT_EQ(list.SelectedItem()->Index(), 8);
}

TEST_F(ListViewTest, RightClickReportsTwipsOfTheClientArea) {
  double seenY = -1;
  int button = 0;
  list.MouseDown = [&](int b, int, double, double y) {
    button = b;
    seenY = y;
  };
  const QRect second = List()->visualRect(List()->model()->index(1, 1));
  QTest::mouseClick(List()->viewport(), Qt::RightButton, {}, second.center());
  EXPECT_EQ(button, ctl::vbRightButton);
  EXPECT_DOUBLE_EQ(seenY, second.center().y() * 15.0);
  EXPECT_EQ(list.HitTest(0, seenY)->Index(), 2);
}

TEST_F(ListViewTest, BackgroundPictureFillsTheList) {
  QPixmap picture(8, 8);
  picture.fill(QColor(20, 40, 60));
  list.ListItems.Clear();
  list.SetPicture(picture);
  EXPECT_EQ(List()->viewport()->grab().toImage().pixelColor(50, 50), QColor(20, 40, 60));
}

}  // namespace
