// Page 2 of the options dialog (the external applications' list and file)
// and the configuration window of one entry.
#include "core/modINIfiles.h"
#include "core/modReelwise.h"
#include "options/frmExternalAppConfig.h"
#include "options/frmProgramOptions.h"
#include "platform/controls/Label.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TextBox.h"
#include "platform/controls/VbInput.h"
#include "resources/Resources.h"
#include "tests/library/LibraryFixture.h"
#include "ui/SchemeColours.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

class ExternalAppsPageTest : public rwtest::LibraryTest {
 protected:
  void SetUp() override {
    rwtest::LibraryTest::SetUp();
    saved_ = gExternalApps;
    gExternalApps = {};
    gHandCursor = LoadResCursor(QStringLiteral("HAND_POINTER"));
    frmProgramOptions::Main = {};
    frmProgramOptions::ExternalApps.InitExternalAppMenus = [this](const QString& file, int16_t context, bool tools) {
      menuCalls << QStringLiteral("%1|%2|%3").arg(file).arg(context).arg(tools);
    };
    frmProgramOptions::ExternalApps.SetAppCaption = [this](int n, const QString& caption) {
      captions[n] = caption;
    };
  }
  void TearDown() override {
    gExternalAppConfigForm.reset();
    frmProgramOptions::ExternalApps = {};
    gExternalApps = saved_;
    rwtest::LibraryTest::TearDown();
  }
  std::unique_ptr<frmProgramOptions> Loaded() {
    auto form = std::make_unique<frmProgramOptions>();
    form->StartPage = 2;
    form->Load();
    return form;
  }
  static QString Ini(int n, const char* key) {
    return modINIfiles::ReadIniString(QStringLiteral("App%1").arg(n), QLatin1String(key),
                                      gDocsFolder + QStringLiteral("ExternalApps.ini"));
  }
  // Clicks the check box of row n as the user does.
  static void ToggleRow(frmProgramOptions& form, int n) {
    QTreeView* view = form.lvExternalApps->View();
    const QModelIndex index = view->model()->index(n - 1, 0);
    const bool on = view->model()->data(index, Qt::CheckStateRole).toInt() == Qt::Checked;
    view->model()->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
  }

  QStringList menuCalls;
  std::map<int, QString> captions;
  rwtest::ScriptedFileDialogs dialogs;

 private:
  std::array<ExternalAppEntry, kExternalAppCount + 1> saved_;
};

TEST_F(ExternalAppsPageTest, AFreshInstallationListsThirtyEmptyUntickedRows) {
  auto form = Loaded();
  const ctl::ListView& list = *form->lvExternalApps;
  ASSERT_EQ(list.ListItems.Count(), 30);
  for (int n = 1; n <= 30; ++n) {
    const ctl::ListItem& item = list.ListItems.Item(n);
    EXPECT_TRUE(item.Text().isEmpty());
    EXPECT_FALSE(item.Checked());
    EXPECT_EQ(item.SubItems(2), QStringLiteral("None"));
    EXPECT_EQ(item.ForeColor(), gSchemeColour4) << "an unticked row is drawn in the fourth scheme colour";
  }
  ASSERT_EQ(list.ColumnHeaders.Count(), 3);
  const struct {
    const char* text;
    double width;
    int alignment;
  } columns[] = {{"Menu Item", 200, 0}, {"Extensions", 140, 2}, {"Visibility", 145, 2}};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(list.ColumnHeaders.Item(c + 1).Text(), QLatin1String(columns[c].text));
    EXPECT_EQ(list.ColumnHeaders.Item(c + 1).Width(), columns[c].width);
    EXPECT_EQ(list.ColumnHeaders.Item(c + 1).Alignment(), columns[c].alignment);
  }
  EXPECT_EQ(form->lblExternalAppsHint->Caption(),
            QStringLiteral("Check/un-check to enable/disable. Double-click to configure."));
}

TEST_F(ExternalAppsPageTest, VisibilityTextsFollowContexts) {
  const char* const texts[] = {"None",  "Inspector",        "Browser",        "Browser, Inspector",
                               "Tools", "Inspector, Tools", "Browser, Tools", "Browser, Inspector, Tools"};
  for (int c = 0; c <= 7; ++c) EXPECT_EQ(frmProgramOptions::VisibilityText(c), QLatin1String(texts[c])) << c;
  EXPECT_TRUE(frmProgramOptions::VisibilityText(8).isEmpty());
  EXPECT_TRUE(frmProgramOptions::VisibilityText(-1).isEmpty());
  gExternalApps[4] = {QStringLiteral("/usr/bin/cut"), QString(), QStringLiteral("Cut"), QStringLiteral("AVI"), 5, 1};
  auto form = Loaded();
  const ctl::ListItem& item = form->lvExternalApps->ListItems.Item(4);
  EXPECT_EQ(item.Text(), QStringLiteral("Cut"));
  EXPECT_EQ(item.SubItems(1), QStringLiteral("AVI"));
  EXPECT_EQ(item.SubItems(2), QStringLiteral("Inspector, Tools"));
  EXPECT_TRUE(item.Checked());
  EXPECT_EQ(item.ForeColor(), 0u);
  EXPECT_EQ(item.ListSubItems.Item(2).ForeColor(), 0u);
}

TEST_F(ExternalAppsPageTest, TickingWritesTheEntryAndRefreshesTheToolsMenu) {
  gExternalApps[3] = {QStringLiteral("/usr/bin/cut"), QStringLiteral("<File>"), QStringLiteral("Cut"),
                      QStringLiteral("*"), 4, 0};
  auto form = Loaded();
  ToggleRow(*form, 3);
  EXPECT_EQ(gExternalApps[3].Enabled, 1);
  EXPECT_EQ(Ini(3, "Enabled"), QStringLiteral("1"));
  EXPECT_EQ(Ini(3, "Contexts"), QStringLiteral("4"));
  EXPECT_EQ(Ini(3, "MenuText"), QStringLiteral("Cut"));
  EXPECT_EQ(menuCalls, QStringList{QStringLiteral("|0|1")});
  EXPECT_EQ(captions[3], QStringLiteral("Cut"));
  EXPECT_EQ(form->lvExternalApps->ListItems.Item(3).ForeColor(), 0u);

  ToggleRow(*form, 3);
  EXPECT_EQ(gExternalApps[3].Enabled, 0);
  EXPECT_EQ(Ini(3, "Enabled"), QStringLiteral("0"));
  EXPECT_EQ(form->lvExternalApps->ListItems.Item(3).ForeColor(), gSchemeColour4);
}

// The writer and the start-up reader use the same file, and nothing cuts a
// long command line.
TEST_F(ExternalAppsPageTest, SavedEntriesAreFoundAgainAtTheNextStart) {
  const QString longLine = QStringLiteral("-i <File> ") + QString(300, QLatin1Char('x'));
  gExternalApps[17] = {QStringLiteral("Tools/conv"), longLine, QStringLiteral("Convert"), QStringLiteral("MPG;AVI"), 6, 1};
  auto form = Loaded();
  form->SaveExternalApp(17);
  gExternalApps = {};
  modReelwise::LoadExternalApps();
  EXPECT_EQ(gExternalApps[17].CommandLine, longLine);
  EXPECT_EQ(gExternalApps[17].AppPath, QStringLiteral("Tools/conv"));
  EXPECT_EQ(gExternalApps[17].Extensions, QStringLiteral("MPG;AVI"));
  EXPECT_EQ(gExternalApps[17].Contexts, 6);
  EXPECT_EQ(gExternalApps[17].Enabled, 1);
}

TEST_F(ExternalAppsPageTest, AFileThatCannotBeWrittenIsReportedOnce) {
  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(1);
  const QString ini = gDocsFolder + QStringLiteral("ExternalApps.ini");
  QFile::remove(ini);
  ASSERT_TRUE(QDir().mkpath(ini));  // a folder where the file should be
  gExternalApps[2] = {QString(), QString(), QStringLiteral("Two"), QString(), 2, 1};
  auto form = Loaded();
  form->SaveExternalApp(2);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains(ini));
  EXPECT_EQ(gExternalApps[2].MenuText, QStringLiteral("Two")) << "the table keeps the entry";
  QDir(ini).removeRecursively();
}

TEST_F(ExternalAppsPageTest, DoubleClickEditsTheEntryAndWritesItBack) {
  gExternalApps[5] = {QStringLiteral("/usr/bin/a"), QString(), QStringLiteral("Old"), QStringLiteral("AVI"), 5, 1};
  auto form = Loaded();
  form->lvExternalApps->ListItems.Item(5).SetSelected(true);
  QTimer::singleShot(0, [] {
    frmExternalAppConfig& config = *gExternalAppConfigForm;
    EXPECT_EQ(config.AppIndex, 5);
    EXPECT_TRUE(config.chkContexts[1]->isChecked());
    EXPECT_FALSE(config.chkContexts[2]->isChecked());
    EXPECT_TRUE(config.chkContexts[3]->isChecked());
    EXPECT_EQ(config.txtPath->Text(), QStringLiteral("/usr/bin/a"));
    config.txtMenuText->SetText(QStringLiteral("New"));
    config.chkContexts[1]->setChecked(false);
    config.chkContexts[2]->setChecked(true);
    config.chkContexts[3]->setChecked(false);
    config.cmdDone->click();
  });
  form->lvExternalApps_DblClick();
  EXPECT_EQ(gExternalApps[5].MenuText, QStringLiteral("New"));
  EXPECT_EQ(gExternalApps[5].Contexts, 2) << "File Browser alone";
  EXPECT_EQ(gExternalApps[5].Enabled, 1) << "the row's tick";
  EXPECT_EQ(Ini(5, "MenuText"), QStringLiteral("New"));
  EXPECT_EQ(form->lvExternalApps->ListItems.Item(5).SubItems(2), QStringLiteral("Browser"));
  EXPECT_EQ(form->property("Tag").toString(), QStringLiteral("SAVE"));
  EXPECT_TRUE(menuCalls.contains(QStringLiteral("|0|1")));
}

// The user's own clicks: the box of row 2, then a double click on row 4.
TEST_F(ExternalAppsPageTest, ClicksOnTheList) {
  gExternalApps[2] = {QString(), QString(), QStringLiteral("Two"), QStringLiteral("*"), 4, 0};
  auto form = Loaded();
  form->show();
  QTreeView* view = form->lvExternalApps->View();
  const QRect row2 = view->visualRect(view->model()->index(1, 0));
  const QPoint box(row2.left() + view->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 + 3, row2.center().y());
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box);
  EXPECT_EQ(gExternalApps[2].Enabled, 1);
  EXPECT_EQ(Ini(2, "Enabled"), QStringLiteral("1"));

  int opened = 0;
  QTimer::singleShot(0, [&opened] {
    opened = gExternalAppConfigForm->AppIndex;
    gExternalAppConfigForm->lblCancel_Click();
  });
  const QRect row4 = view->visualRect(view->model()->index(3, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row4.center());
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row4.center());
  EXPECT_EQ(opened, 4);
  EXPECT_EQ(gExternalApps[2].Enabled, 1) << "row 2 untouched";
}

TEST_F(ExternalAppsPageTest, CancelLeavesTheEntryAsItWas) {
  gExternalApps[1] = {QStringLiteral("/usr/bin/a"), QString(), QStringLiteral("Keep"), QString(), 1, 0};
  auto form = Loaded();
  form->lvExternalApps->ListItems.Item(1).SetSelected(true);
  QTimer::singleShot(0, [] {
    gExternalAppConfigForm->txtMenuText->SetText(QStringLiteral("Lost"));
    gExternalAppConfigForm->cmdCancel->click();
  });
  form->lvExternalApps_DblClick();
  EXPECT_EQ(gExternalApps[1].MenuText, QStringLiteral("Keep"));
  EXPECT_TRUE(form->property("Tag").toString().isEmpty());
}

TEST_F(ExternalAppsPageTest, ContextsFromTheBoxes) {
  const struct {
    bool inspector, browser, tools;
    int16_t contexts;
  } cases[] = {{false, false, false, 0}, {true, false, false, 1}, {false, true, false, 2}, {true, true, false, 3},
               {false, false, true, 4},  {true, false, true, 5},  {false, true, true, 6},  {true, true, true, 7}};
  for (const auto& c : cases) {
    EXPECT_EQ(frmExternalAppConfig::ContextsFromBoxes(c.inspector, c.browser, c.tools), c.contexts) << c.contexts;
  }
}

TEST_F(ExternalAppsPageTest, BrowseFillsTheProgramWithAnyFile) {
  auto form = Loaded();
  frmExternalAppConfig config(form.get());
  config.AppIndex = 1;
  config.Load();
  dialogs.Choose({QStringLiteral("/opt/tools/trim")});
  config.Command3->click();
  EXPECT_EQ(config.txtPath->Text(), QStringLiteral("/opt/tools/trim"));
  ASSERT_EQ(dialogs.Count(), 1);
  EXPECT_EQ(dialogs.Last().title, QStringLiteral("Locate the External Application"));
  EXPECT_TRUE(dialogs.Last().filter.startsWith(QStringLiteral("Programs (*)"))) << dialogs.Last().filter.toStdString();
}

// With RW_SCREENSHOT naming a file, page 2 with two entries and the
// configuration window of the first are saved side by side as a PNG.
TEST_F(ExternalAppsPageTest, PictureOfThePageAndTheConfigurationWindow) {
  gExternalApps[1] = {QStringLiteral("/usr/bin/ffmpeg"), QStringLiteral("-i <File> -c copy <NewFile>"),
                      QStringLiteral("Remux with ffmpeg"), QStringLiteral("AVI;MKV;MP4"), 3, 1};
  gExternalApps[2] = {QStringLiteral("Tools/trim.sh"), QStringLiteral("<BackupFile> <File> <SelectionStart>"),
                      QStringLiteral("Trim to selection"), QStringLiteral("*"), 5, 0};
  auto form = Loaded();
  form->show();
  frmExternalAppConfig config(form.get());
  config.AppIndex = 1;
  config.Load();
  config.show();
  EXPECT_EQ(form->lvExternalApps->ListItems.Item(2).SubItems(2), QStringLiteral("Inspector, Tools"));
  const QString path = qEnvironmentVariable("RW_SCREENSHOT");
  if (path.isEmpty()) return;
  const QPixmap page = form->grab();
  const QPixmap window = config.grab();
  QPixmap picture(page.width() + window.width() + 10, std::max(page.height(), window.height()));
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.drawPixmap(0, 0, page);
  painter.drawPixmap(page.width() + 10, 0, window);
  painter.end();
  EXPECT_TRUE(picture.save(path, "PNG"));
}

class PlaceholderTest : public ExternalAppsPageTest {
 protected:
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(config->txtCommandLine->Edit(), key, modifiers);
  }
  QString Selected() const { return config->txtCommandLine->SelText(); }
  void SetUp() override {
    ExternalAppsPageTest::SetUp();
    form = Loaded();
    config = std::make_unique<frmExternalAppConfig>(form.get());
    config->AppIndex = 1;
    config->Load();
    config->show();
    config->txtCommandLine->Edit()->setFocus();
  }
  void TearDown() override {
    config.reset();
    form.reset();
    ExternalAppsPageTest::TearDown();
  }
  std::unique_ptr<frmProgramOptions> form;
  std::unique_ptr<frmExternalAppConfig> config;
};

TEST_F(PlaceholderTest, UpAndDownCycleTheSelectedPlaceholder) {
  QTest::keyClicks(config->txtCommandLine->Edit(), QStringLiteral("-i <>"));
  EXPECT_EQ(Selected(), QStringLiteral("<>")) << "typing > after < selects the pair";
  Key(Qt::Key_Down);
  EXPECT_EQ(config->txtCommandLine->Text(), QStringLiteral("-i <File>"));
  EXPECT_EQ(Selected(), QStringLiteral("<File>"));
  Key(Qt::Key_Down);
  EXPECT_EQ(config->txtCommandLine->Text(), QStringLiteral("-i <BackupFile>"));
  Key(Qt::Key_Up);
  EXPECT_EQ(Selected(), QStringLiteral("<File>"));
  Key(Qt::Key_Up);
  EXPECT_EQ(config->txtCommandLine->Text(), QStringLiteral("-i <Tags>"));
}

TEST_F(PlaceholderTest, LeftAndRightSelectTheWholePlaceholder) {
  config->txtCommandLine->SetText(QStringLiteral("a <File> b"));
  config->txtCommandLine->SetSelStart(9);
  Key(Qt::Key_Left);  // caret 8, just after ">"
  EXPECT_EQ(Selected(), QStringLiteral("<File>"));
  Key(Qt::Key_Left);  // collapses the selection, then moves on
  EXPECT_TRUE(Selected().isEmpty());
  config->txtCommandLine->SetSelStart(1);
  Key(Qt::Key_Right);  // caret 2, just before "<"
  EXPECT_EQ(Selected(), QStringLiteral("<File>"));
  Key(Qt::Key_Down);
  EXPECT_EQ(config->txtCommandLine->Text(), QStringLiteral("a <File> b"));
  EXPECT_EQ(Selected(), QStringLiteral("<File>")) << "index 0 after none was inserted";
}

TEST_F(PlaceholderTest, UpAndDownWithoutASelectionChangeNothing) {
  config->txtCommandLine->SetText(QStringLiteral("plain"));
  config->txtCommandLine->SetSelStart(2);
  Key(Qt::Key_Down);
  Key(Qt::Key_Up);
  EXPECT_EQ(config->txtCommandLine->Text(), QStringLiteral("plain"));
}

TEST_F(PlaceholderTest, SchemeColoursByName) {
  EXPECT_EQ(config->txtCommandLine->Edit()->palette().color(QPalette::Base), ColorRefToQColor(gSchemeColour2));
  EXPECT_EQ(config->Edge->BorderColor(), gSchemeColour4);
}

// The window's hint says the command line gives the Program's arguments and
// lists every placeholder, whole, inside the window and clear of DONE.
TEST_F(PlaceholderTest, TheHintListsThePlaceholders) {
  ASSERT_NE(config->lblHint, nullptr);
  const QString hint = config->lblHint->Caption();
  EXPECT_TRUE(hint.contains(QStringLiteral("arguments")));
  for (const QString& name : frmExternalAppConfig::Placeholders()) EXPECT_TRUE(hint.contains(name)) << name.toStdString();
  const QRect place = config->lblHint->geometry();
  EXPECT_TRUE(config->rect().contains(place));
  EXPECT_FALSE(place.intersects(config->lblApply->geometry()));
  const QRect needed = config->lblHint->fontMetrics().boundingRect(QRect(0, 0, place.width(), 1000),
                                                                   Qt::TextWordWrap, hint);
  EXPECT_LE(needed.height(), place.height()) << "the whole hint is shown";
}

}  // namespace
