// The toolbar: buttons by key, pressed states of check and group buttons,
// placeholders, drop-down menus and the pictures of the image list.
#include "platform/controls/ControlErrors.h"
#include "platform/controls/Toolbar.h"
#include "tests/platform/controls/ControlTestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using ctl::Button;
using ctl::Toolbar;

class ToolbarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    images.ListImages.Add("TILE_VIEW", rwtest::Square(QColor(255, 0, 0)));
    images.ListImages.Add("LIST_VIEW", rwtest::Square(QColor(0, 255, 0)));
    images.ListImages.Add("ALL_DISKS", rwtest::Square(QColor(0, 0, 255)));
    images.ListImages.Add("ONLINE_DISKS", rwtest::Square(QColor(255, 255, 0)));
    bar.SetImageList(&images);
    bar.resize(600, 24);
    bar.Buttons.Add(0, "TILE_VIEW", "", ctl::tbrButtonGroup, "TILE_VIEW");
    bar.Buttons.Add(0, "LIST_VIEW", "", ctl::tbrButtonGroup, "LIST_VIEW");
    bar.Buttons.Add(0, "CAROUSEL_VIEW", "", ctl::tbrButtonGroup, "LIST_VIEW");
    bar.Buttons.Add(0, "", "", ctl::tbrSeparator);
    bar.Buttons.Add(0, "CLOUD", "", ctl::tbrCheck, "TILE_VIEW");
    bar.Buttons.Add(0, "PROGRESS", "", ctl::tbrPlaceholder);
    Button& filter = bar.Buttons.Add(0, "SD_FILTER", "", ctl::tbrDropdown, "ALL_DISKS");
    filter.ButtonMenus.Add(0, "ALL_SDs", "Show All Files");
    filter.ButtonMenus.Add(0, "ONLINE_SDs", "Show Online Files Only");
    filter.ButtonMenus.Add(0, "OFFLINE_SDs", "Show Offline Files Only");
    bar.ButtonClick = [&](Button& button) {
      log.Add(QStringLiteral("ButtonClick %1 value %2").arg(button.Key()).arg(button.Value()));
    };
    bar.ButtonMenuClick = [&](ctl::ButtonMenu& menu) { log.Add("ButtonMenuClick " + menu.Key()); };
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  }

  QPoint Centre(const QString& key) {
    const Button& button = bar.Buttons(key);
    return QPoint(static_cast<int>(button.Left() + 6), static_cast<int>(button.Top() + button.Height() / 2));
  }

  ctl::ImageList images;
  Toolbar bar;
  rwtest::EventLog log;
};

TEST_F(ToolbarTest, ButtonsAreFoundByKeyAndIndex) {
  EXPECT_EQ(bar.Buttons.Count(), 7);
  EXPECT_EQ(bar.Buttons("CLOUD").Index(), 5);
  EXPECT_EQ(bar.Buttons(7).Key(), "SD_FILTER");
  EXPECT_EQ(bar.Buttons("SD_FILTER").ButtonMenus(2).Text(), "Show Online Files Only");
  EXPECT_THROW(bar.Buttons("MISSING"), RWError);
  try {
    bar.Buttons.Add(0, "CLOUD");
    ADD_FAILURE() << "a used key was accepted";
  } catch (const RWError& error) {
    EXPECT_EQ(error.Number(), ctl::kErrKeyNotUnique);
  }
}

TEST_F(ToolbarTest, PressingAGroupButtonReleasesTheRestOfItsGroup) {
  bar.Buttons("TILE_VIEW").SetValue(ctl::tbrPressed);
  bar.Buttons("CLOUD").SetValue(ctl::tbrPressed);
  bar.Buttons("LIST_VIEW").SetValue(ctl::tbrPressed);
  EXPECT_EQ(bar.Buttons("TILE_VIEW").Value(), ctl::tbrUnpressed);
  EXPECT_EQ(bar.Buttons("CLOUD").Value(), ctl::tbrPressed) << "the separator ends the group";
  EXPECT_TRUE(log.Entries().isEmpty()) << "code raises no click";
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre("CAROUSEL_VIEW"));
  EXPECT_EQ(bar.Buttons("LIST_VIEW").Value(), ctl::tbrUnpressed);
  EXPECT_EQ(log.Joined(), "ButtonClick CAROUSEL_VIEW value 1");
}

TEST_F(ToolbarTest, CheckButtonsToggleAndDisabledButtonsDoNothing) {
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre("CLOUD"));
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre("CLOUD"));
  bar.Buttons("TILE_VIEW").SetEnabled(false);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre("TILE_VIEW"));
  EXPECT_EQ(log.Joined(), "ButtonClick CLOUD value 1 | ButtonClick CLOUD value 0");
}

TEST_F(ToolbarTest, PlaceholdersKeepTheWidthTheyAreGivenAndHiddenButtonsTakeNoRoom) {
  Button& progress = bar.Buttons("PROGRESS");
  progress.SetWidth(268.75);
  EXPECT_DOUBLE_EQ(progress.Width(), 268.75);
  const double filterLeft = bar.Buttons("SD_FILTER").Left();
  EXPECT_DOUBLE_EQ(filterLeft, progress.Left() + 269);
  bar.Buttons("CLOUD").SetVisible(false);
  EXPECT_DOUBLE_EQ(bar.Buttons("SD_FILTER").Left(), filterLeft - bar.Buttons("CLOUD").Width());
}

TEST_F(ToolbarTest, TheArrowOfADropDownButtonOpensItsMenu) {
  const Button& filter = bar.Buttons("SD_FILTER");
  const QPoint arrow(static_cast<int>(filter.Left() + filter.Width() - 4), 10);
  QTimer::singleShot(50, [] {
    QWidget* menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QTest::mouseClick(&bar, Qt::LeftButton, {}, arrow);
  EXPECT_EQ(log.Joined(), "ButtonMenuClick ONLINE_SDs");
  log.Clear();
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre("SD_FILTER"));
  EXPECT_EQ(log.Joined(), "ButtonClick SD_FILTER value 0");
}

TEST_F(ToolbarTest, ButtonsShowThePictureOfTheirImageKey) {
  const auto pixel = [&] { return bar.grab().toImage().pixelColor(Centre("SD_FILTER") + QPoint(4, 0)); };
  EXPECT_EQ(pixel(), QColor(0, 0, 255));
  bar.Buttons("SD_FILTER").SetImage("ONLINE_DISKS");
  EXPECT_EQ(bar.Buttons("SD_FILTER").Image(), "ONLINE_DISKS");
  EXPECT_EQ(pixel(), QColor(255, 255, 0));
  bar.Buttons("SD_FILTER").SetEnabled(false);
  EXPECT_NE(pixel(), QColor(255, 255, 0)) << "a disabled button is greyed";
}

TEST_F(ToolbarTest, ACaptionsLetterAfterAnAmpersandIsUnderlinedInPlaceOfTheAmpersand) {
  Button& view = bar.Buttons.Add(0, "VIEW", "View");
  const double width = view.Width();
  const auto picture = [&] {
    return bar.grab(QRect(static_cast<int>(view.Left()), 0, static_cast<int>(width), bar.height())).toImage();
  };
  const QImage plain = picture();
  view.SetCaption("&View");
  EXPECT_EQ(view.Width(), width) << "the ampersand takes no room";
  const QImage underlined = picture();
  // A row of dark pixels under the text where the plain caption has none.
  const auto dark = [](const QImage& image, int y) {
    int count = 0;
    for (int x = 0; x < image.width(); ++x) count += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    return count;
  };
  bool line = false;
  for (int y = 0; y < plain.height(); ++y) line = line || (dark(plain, y) == 0 && dark(underlined, y) >= 4);
  EXPECT_TRUE(line) << "the V is underlined";
}

TEST_F(ToolbarTest, TheClassPatternPaintsEveryToolbar) {
  QPixmap pattern(4, 4);
  pattern.fill(QColor(10, 100, 10));
  Toolbar::SetClassBackground(pattern);
  EXPECT_EQ(bar.grab().toImage().pixelColor(590, 20), QColor(10, 100, 10));
  Toolbar::SetClassBackground(QPixmap());
}

}  // namespace
