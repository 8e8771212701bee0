// The options dialog without the main window: page switching, the general
// settings' round trip and immediate effects, the number fields, the cursor
// colour, the statistics report, the colour page, APPLY and the recolouring,
// the story-board page and the carousel sliders.
#include "options/frmProgramOptions.h"

#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBox.h"
#include "resources/Resources.h"
#include "tests/library/LibraryFixture.h"
#include "ui/SchemeColours.h"
#include "ui/cwSlider.h"
#include "ui/ucCarouselOptionsPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

int32_t Other(const char* name) { return modRegistry::GetSettingLong(kRegOther, QLatin1String(name)); }

class ProgramOptionsTest : public rwtest::LibraryTest {
 protected:
  void SetUp() override {
    rwtest::LibraryTest::SetUp();
    gHandCursor = LoadResCursor(QStringLiteral("HAND_POINTER"));
    frmProgramOptions::Main = {};
    frmProgramOptions::Main.MainToolbarHandler = [this](const QString& key) { commands << key; };
  }
  void TearDown() override {
    frmProgramOptions::Main = {};
    frmProgramOptions::SchemeStepWatch = nullptr;
    frmProgramOptions::RepaintInScheme = nullptr;
    frmProgramOptions::SchemeWindow = nullptr;
    rwtest::LibraryTest::TearDown();
  }
  std::unique_ptr<frmProgramOptions> Loaded(int16_t page = 1) {
    auto form = std::make_unique<frmProgramOptions>();
    form->StartPage = page;
    form->Load();
    return form;
  }
  void Sql(const QString& sql) { gLibrary->Connection().Execute(sql); }

  QStringList commands;
  rwtest::ScriptedFileDialogs dialogs;
};

TEST_F(ProgramOptionsTest, PagesOpenUnderTheirLabels) {
  struct Case {
    int16_t page;
    std::array<int, 6> tops;
  };
  const Case cases[] = {
      {0, {32, 158, 204, 250, 296, 342}},
      {3, {32, 78, 124, 250, 296, 342}},
      {6, {32, 78, 124, 170, 216, 262}},
  };
  for (const Case& c : cases) {
    auto form = Loaded(c.page);
    const int selected = c.page == 0 ? 1 : c.page;
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(form->lblOptionGroup[i]->y(), c.tops[i - 1]) << c.page << " label " << i;
    EXPECT_EQ(form->lblOptionGroupHint->y(), form->lblOptionGroup[selected]->y() + 50);
    EXPECT_EQ(form->lblOptionGroup[selected]->ForeColor(), gSchemeColour2);
    EXPECT_EQ(form->Line1[0]->Y1(), form->lblOptionGroup[selected]->y() + 32);
    // The selected page is the topmost of the six.
    const QObjectList& siblings = form->children();
    int topmost = 0;
    for (int i = 1; i <= 6; ++i) {
      if (siblings.indexOf(form->picProgOptions[i]) > siblings.indexOf(form->picProgOptions[topmost == 0 ? 1 : topmost]))
        topmost = i;
    }
    EXPECT_EQ(topmost == 0 ? 1 : topmost, selected);
  }
  auto form = Loaded();
  form->OptionGroup = 4;
  EXPECT_EQ(form->StartPage, 4);
  EXPECT_EQ(form->lblOptionGroup[2]->Caption(), "MENU CONFiG");
  // Each page name draws as its capitals: "StORY BOARDS" as "STORY BOARDS".
  for (int i = 1; i <= 6; ++i) {
    const ctl::Label& name = *form->lblOptionGroup[i];
    const auto drawn = [&name](const QString& caption) {
      ctl::Label label;
      label.setFont(name.font());
      label.resize(name.size());
      label.SetCaption(caption);
      return label.grab().toImage();
    };
    EXPECT_EQ(drawn(name.Caption()), drawn(name.Caption().toUpper())) << name.Caption().toStdString();
  }
  EXPECT_EQ(form->chkSendToTray->text(), "Minimize button sends to Tray");
  // The options icon, its magenta shown transparent.
  const QImage icon = form->picOptionsIcon->Picture().toImage();
  ASSERT_EQ(icon.size(), QSize(48, 48));
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
  int opaque = 0;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) opaque += qAlpha(icon.pixel(x, y)) == 255 ? 1 : 0;
  }
  EXPECT_GT(opaque, 300);
}

TEST_F(ProgramOptionsTest, GeneralSettingsRoundTrip) {
  auto form = Loaded();
  EXPECT_TRUE(commands.isEmpty()) << "setting the offline box at load is no click";
  form->chkCompactDB->setChecked(true);
  form->chkSendToTray->setChecked(true);
  form->optInternalPlayer[1]->click();
  form->optPlaylistFormat[1]->setChecked(true);
  form->chkUseRecycleBin->setChecked(false);
  form->chkTooltipAliases->setChecked(true);
  form->chkTipOfTheDay->setChecked(false);
  form->txtThumbTimeOut->SetText(QStringLiteral("99999"));
  form->txtTooltipDelay->SetText(QString());
  bool toRecycleBin = true;
  frmProgramOptions::Main.SetDeleteMenu = [&](bool on) { toRecycleBin = on; };
  form->lblDone_Click();
  EXPECT_EQ(Other("CompactOnExit"), 1);
  EXPECT_EQ(Other("MinimizeToTray"), 1);
  EXPECT_EQ(Other("UseInternalPlayer"), 0);
  EXPECT_FALSE(gUseInternalPlayer);
  EXPECT_EQ(modRegistry::GetSettingText(kRegOther, QStringLiteral("PlaylistFormat")), "M3U");
  EXPECT_EQ(gPlaylistFormat, "M3U");
  EXPECT_EQ(Other("UseRecycleBin"), 0);
  EXPECT_FALSE(toRecycleBin);
  EXPECT_EQ(Other("TooltipAliases"), 1);
  EXPECT_EQ(Other("TipOfTheDay"), 0);
  EXPECT_EQ(Other("ThumbnailTimeout"), 32767);
  EXPECT_EQ(Other("PopupDelay"), 50);
  EXPECT_EQ(gPopupDelayMs, 500);
  EXPECT_FALSE(form->isVisible());
  // A new dialog reads them back.
  auto again = Loaded();
  EXPECT_TRUE(again->chkCompactDB->isChecked());
  EXPECT_TRUE(again->optInternalPlayer[1]->isChecked());
  EXPECT_TRUE(again->optPlaylistFormat[1]->isChecked());
  EXPECT_EQ(again->txtThumbTimeOut->Text(), "32767");
  again->txtTooltipDelay->SetText(QStringLiteral("9999999999"));
  // Esc in a field closes the dialog as DONE and its close button do.
  again->show();
  again->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(again.get()));
  again->txtTooltipDelay->setFocus();
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(again->isVisible());
  EXPECT_EQ(Other("PopupDelay"), 214748364);
}

TEST_F(ProgramOptionsTest, ImmediateEffects) {
  auto form = Loaded();
  form->optInternalPlayer[1]->click();
  EXPECT_FALSE(form->chkStretchToScreen->isEnabled());
  for (QRadioButton* option : form->optPlaylistFormat) EXPECT_TRUE(option->isEnabled());
  form->optInternalPlayer[0]->click();
  EXPECT_TRUE(form->chkStretchToScreen->isEnabled());
  for (QRadioButton* option : form->optPlaylistFormat) EXPECT_FALSE(option->isEnabled());
  form->chkIndicateOffline->click();
  EXPECT_EQ(commands, QStringList{"mnuBrowserRefresh"});
  EXPECT_EQ(gIndicateOffline, form->chkIndicateOffline->isChecked());
  form->optThumbnailPolicy[2]->click();
  EXPECT_EQ(gLibrary->ThumbPolicy(), 2);
  form->optThumbnailPolicy[0]->click();
  EXPECT_EQ(gLibrary->ThumbPolicy(), 0);
  form->chkTreeStyle->click();
  EXPECT_EQ(gLibraryTreeClassic, form->chkTreeStyle->isChecked());
}

TEST_F(ProgramOptionsTest, NumberFields) {
  auto form = Loaded();
  for (int key : {'a', '-', ' ', '.'}) {
    int keyAscii = key;
    form->txtTooltipDelay->KeyPress(keyAscii);
    EXPECT_EQ(keyAscii, 0);
  }
  for (int key : {int{'0'}, int{'9'}, 8}) {
    int keyAscii = key;
    form->txtThumbTimeOut->KeyPress(keyAscii);
    EXPECT_EQ(keyAscii, key);
  }
  const struct {
    const char* text;
    const char* timeout;
    const char* delay;
  } cases[] = {{"", "5", "500"}, {"0", "5", "500"}, {"7", "7", "7"}};
  for (const auto& c : cases) {
    form->txtThumbTimeOut->SetText(QLatin1String(c.text));
    form->txtTooltipDelay->SetText(QLatin1String(c.text));
    form->txtThumbTimeOut_LostFocus();
    form->txtTooltipDelay_LostFocus();
    EXPECT_EQ(form->txtThumbTimeOut->Text(), c.timeout);
    EXPECT_EQ(form->txtTooltipDelay->Text(), c.delay);
  }
}

TEST_F(ProgramOptionsTest, CursorColourChosenAndCancelled) {
  gCursorColour = RGB(1, 2, 3);
  auto form = Loaded(6);
  std::vector<COLORREF> followed;
  frmProgramOptions::Main.CursorColourChanged = [&](COLORREF colour) { followed.push_back(colour); };
  dialogs.Cancel();
  form->lblCursorColour_DblClick();
  EXPECT_EQ(gCursorColour, RGB(1, 2, 3));
  EXPECT_TRUE(followed.empty());
  dialogs.ChooseColour(RGB(200, 10, 20));
  form->lblCursorColour_DblClick();
  EXPECT_EQ(gCursorColour, RGB(200, 10, 20));
  EXPECT_EQ(followed, std::vector<COLORREF>{RGB(200, 10, 20)});
  for (ctl::Label* label : form->lblCursorColour) EXPECT_EQ(label->ForeColor(), RGB(200, 10, 20));
  EXPECT_NE(static_cast<COLORREF>(Other("CursorColour")), RGB(200, 10, 20)) << "written only by DONE";
  form->lblDone_Click();
  EXPECT_EQ(static_cast<COLORREF>(Other("CursorColour")), RGB(200, 10, 20));
}

// The decorative lines follow the page label clicked; none of them runs
// through a label of the menu or the hint under the selected one.
TEST_F(ProgramOptionsTest, TheMenusLinesCrossNoLabel) {
  auto form = Loaded(1);
  form->show();
  for (int page = 1; page <= 6; ++page) {
    QTest::mouseClick(form->lblOptionGroup[page], Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(form->lblOptionGroup[page]->ForeColor(), gSchemeColour2) << "page " << page << " chosen";
    for (int line : {0, 2, 3}) {
      const QRect drawn = form->Line1[static_cast<size_t>(line)]->geometry();
      for (int i = 1; i <= 6; ++i) {
        EXPECT_FALSE(drawn.intersects(form->lblOptionGroup[i]->geometry())) << "line " << line << ", label " << i;
      }
      EXPECT_FALSE(drawn.intersects(form->lblOptionGroupHint->geometry())) << "line " << line << ", the hint";
    }
    EXPECT_EQ(form->Line1[3]->Y1(), form->Line1[2]->Y1()) << "line 3 hangs from line 2";
  }
  QTest::mouseClick(form->lblOptionGroup[3], Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(form->lblOptionGroupHint->Caption(),
            QStringLiteral("Configure the way that file preview images are laid out and displayed"));
}

// Counts as the program writes numbers, in sentences without gaps: a clause
// whose count is nought is left out or said in other words, and one of a
// thing is said in the singular.
TEST_F(ProgramOptionsTest, StatisticsOfALibrary) {
  EXPECT_EQ(frmProgramOptions::LibraryStatistics(), "No Library Loaded");
  gLibrary->LibraryPath = Scratch() + QStringLiteral("/<NUM_FILES>.rw2");
  const QString empty = frmProgramOptions::LibraryStatistics();
  EXPECT_EQ(empty, "The library '" + gLibrary->LibraryPath + "' holds no video files yet.\r\n\r\n"
                   "The content of this library has not been catalogued with Tags yet\r\n\r\n"
                   "No Segments have been created.\r\n\r\n"
                   "The total playback time, for all content, is " +
                   ShownNumbers::OnOneLine(gLibrary->GetPlayListStats(false)));

  // One file of half a megabyte, one category, one unplayable file.
  Sql(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize) "
                     "VALUES (1, 'A', 'f\\', 'f1', 524288)"));
  Sql(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, Online, Rating, SelectionEnd) "
                     "VALUES (1, 1, 'Y', 1, 0, 60)"));
  Sql(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type, Behaviour) VALUES (52, 'Genre', 'C', NULL)"));
  Sql(QStringLiteral("INSERT INTO SegmentTags VALUES (1, 1)"));
  const QString one = frmProgramOptions::LibraryStatistics();
  EXPECT_TRUE(one.contains("' holds data for 1 video file occupying less than 1 MB of disk space across 1 storage "
                           "device.")) << one.toStdString();
  EXPECT_TRUE(one.contains("\r\n\r\nThe library has 1 Category but no Tags yet\r\n\r\n")) << one.toStdString();
  EXPECT_TRUE(one.contains("\r\n\r\n1 File is yet to be tagged and the library contains 1 unplayable file\r\n"))
      << one.toStdString();
  Sql(QStringLiteral("DELETE FROM SegmentTags; DELETE FROM VideoSegments; DELETE FROM VideoFiles; "
                     "DELETE FROM Tags WHERE TagID = 52"));

  // 1,234 files of 1 MB on two disks; file 1 tagged by a 'T' tag, file 2 by
  // a category-behaviour tag only, file 3 unplayable; 1,001 user segments.
  Sql(QStringLiteral(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1234) "
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize) "
      "SELECT i, CASE WHEN i % 2 THEN 'A' ELSE 'B' END, 'f\\', 'f' || i, 1048576 FROM n"));
  Sql(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, Online, Rating, SelectionEnd) VALUES (1, 1, 'Y', 1, 0, 60), (2, 2, 'Y', 1, 0, 60), (3, 3, 'Y', 1, 0, 60)"));
  Sql(QStringLiteral(
      "WITH RECURSIVE n(i) AS (SELECT 4 UNION ALL SELECT i + 1 FROM n WHERE i < 1004) "
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, Online, Rating, SelectionEnd) "
      "SELECT i, 1, NULL, 1, 0, 30 FROM n"));
  Sql(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type, Behaviour) VALUES (50, 'Film', 'T', 'T'), (51, 'Mood', 'T', 'C'), (52, 'Genre', 'C', NULL)"));
  Sql(QStringLiteral("INSERT INTO SegmentTags VALUES (4, 50), (2, 51), (3, 1)"));
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
  const QString text = frmProgramOptions::LibraryStatistics();
  QLocale::setDefault(QLocale::c());
  EXPECT_TRUE(text.contains(u"<NUM_FILES>.rw2' holds data for 1,234 video files occupying 1,234\u00A0MB of disk "
                            "space across 2 storage devices."))
      << text.toStdString();
  EXPECT_TRUE(text.contains("using 2 Tags organised into 1 Category")) << text.toStdString();
  EXPECT_TRUE(text.contains("\r\n\r\n1,001 Segments have been created.")) << text.toStdString();
  EXPECT_TRUE(text.contains("\r\n\r\n2 Files are yet to be tagged and the library contains 1 unplayable file\r\n"))
      << text.toStdString();
  EXPECT_TRUE(text.contains("The total playback time, for all content, is " +
                            ShownNumbers::OnOneLine(gLibrary->GetPlayListStats(false))));

  // In French: the counts grouped as French groups them, and 178 weeks and
  // 4 days of playing time on one line at any width the page's label wraps
  // its last sentence at.
  Sql(QStringLiteral("UPDATE VideoSegments SET SelectionEnd = 108000000 WHERE SegmentID = 1"));
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  const auto form = Loaded(5);
  QLocale::setDefault(QLocale::c());
  const QString french = form->lblLibraryInfo->Caption();
  EXPECT_TRUE(french.contains(u"holds data for 1\u202F234 video files occupying 1\u202F234\u00A0MB of disk space"))
      << french.toStdString();
  EXPECT_TRUE(french.contains(u"\r\n\r\n1\u202F001 Segments have been created.")) << french.toStdString();
  const QString sentence = french.mid(french.lastIndexOf(QLatin1Char('\n')) + 1);
  const qsizetype start = sentence.lastIndexOf(QStringLiteral("is ")) + 3;
  ASSERT_EQ(QString(sentence.mid(start)).remove(QChar(0x2060)).replace(QChar(0x00A0), QLatin1Char(' ')),
            QStringLiteral("178w 4d 0h:02m:00s"));
  QTextOption wrapped;
  wrapped.setWrapMode(QTextOption::WordWrap);
  for (int width = 100; width <= form->lblLibraryInfo->width(); ++width) {
    QTextLayout layout(sentence, form->lblLibraryInfo->font());
    layout.setTextOption(wrapped);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) line.setLineWidth(width);
    layout.endLayout();
    ASSERT_EQ(layout.lineForTextPosition(start).lineNumber(),
              layout.lineForTextPosition(sentence.size() - 1).lineNumber())
        << "broken at a width of " << width;
  }
}

TEST_F(ProgramOptionsTest, PresetsRenderOnce) {
  auto form = Loaded(6);
  const int before = form->PreviewRenders();
  form->cmbColourSchemes->setCurrentText(QStringLiteral("Reelwise Blues"));
  form->cmbColourSchemes_Click();
  EXPECT_EQ(form->PreviewRenders(), before + 1);
  EXPECT_EQ(form->CurrentScheme(), (ColourScheme{35, 60, 60, 456, 41, 1, 0}));
  form->cmbColourSchemes->setEditable(true);
  form->cmbColourSchemes->setEditText(QStringLiteral("no such scheme"));
  form->cmbColourSchemes_Click();
  EXPECT_EQ(form->CurrentScheme().AdjHLS, 0);
  EXPECT_EQ(form->CurrentScheme().AdjRGB, 0);
  const int afterPresets = form->PreviewRenders();
  form->HScroll1[1]->setValue(150);
  EXPECT_EQ(form->PreviewRenders(), afterPresets + 1);
  form->Caption_Click(3);
  EXPECT_TRUE(form->chkAdjHLS->isChecked());
  EXPECT_EQ(form->PreviewRenders(), afterPresets + 2);
  QStringList shown;
  for (int i = 0; i < form->cmbColourSchemes->count(); ++i) shown << form->cmbColourSchemes->itemText(i);
  EXPECT_EQ(shown, ColourSchemePresetNames());
}

TEST_F(ProgramOptionsTest, ApplyRunsInOrderAndSavesAfterwards) {
  auto form = Loaded(6);
  QStringList steps;
  frmProgramOptions::SchemeStepWatch = [&](const char* step) {
    steps << QLatin1String(step);
    if (QLatin1String(step) == QLatin1String("main window")) {
      EXPECT_EQ(Other("Red"), 100) << "saved after the recolouring";
    }
  };
  form->cmbColourSchemes->setCurrentText(QStringLiteral("Sense of Fern"));
  form->cmbColourSchemes_Click();
  steps.clear();
  form->lblApplyColours_Click();
  EXPECT_EQ(steps, QStringList({"preview", "form", "recolour", "colours", "toolbar", "buttons", "main window", "save"}));
  EXPECT_EQ(ReadColourScheme(), (ColourScheme{151, 100, 80, 214, 16, 1, 0}));
  // DONE leaves the colour page unsaved.
  form->HScroll1[1]->setValue(20);
  form->lblDone_Click();
  EXPECT_EQ(ReadColourScheme().Red, 151);
}

TEST_F(ProgramOptionsTest, SchemeColoursComeFromTheRecolouredSkin) {
  const QImage skin = LoadResPicture(QStringLiteral("MPLAYER"), kResCustom);
  const SchemeColours raw = *SampleSchemeColours(skin);
  frmProgramOptions unshown;
  unshown.ApplyColourScheme();
  EXPECT_EQ(gSchemeColour1, raw.colour1);
  EXPECT_EQ(gSchemeColour2, raw.colour2);
  EXPECT_EQ(gSchemeColour3, raw.colour3);
  EXPECT_EQ(gSchemeColour4, raw.colour4);
  const ColourScheme blues = ColourSchemeFromText(ColourSchemePresetText(QStringLiteral("Reelwise Blues")));
  SaveColourScheme(blues);
  const SchemeColours expected = *SampleSchemeColours(AdjustImageColours(skin, blues));
  for (int run = 0; run < 2; ++run) {
    frmProgramOptions form;
    form.ApplyColourScheme();
    EXPECT_EQ(gSchemeColour1, expected.colour1) << run;
    EXPECT_EQ(gSchemeColour4, expected.colour4) << run;
    EXPECT_EQ(SchemePicture(QStringLiteral("TILE"), kResCustom),
              AdjustImageColours(LoadResPicture(QStringLiteral("TILE"), kResCustom), blues));
  }
  ASSERT_EQ(gMediaButtons.size(), 16u);
  EXPECT_EQ(gMediaButtons[3].Hover.toImage().convertToFormat(QImage::Format_ARGB32),
            AdjustImageColours(LoadResPicture(QStringLiteral("3_HOVER"), kResBitmap), blues));
}

TEST_F(ProgramOptionsTest, AFailingStepIsReportedOnceAndReleasesTheWindow) {
  QWidget window;
  frmProgramOptions::SchemeWindow = [&] { return &window; };
  frmProgramOptions::RepaintInScheme = [&] {
    EXPECT_FALSE(window.updatesEnabled());
    throw RWError(5, QStringLiteral("Invalid procedure call or argument"));
  };
  boxes.Answer(1);
  frmProgramOptions form;
  form.ApplyColourScheme();
  EXPECT_TRUE(window.updatesEnabled());
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains("Invalid procedure call or argument"));
}

TEST_F(ProgramOptionsTest, StoryBoardPageRoundTrip) {
  gPosterStyle = 0;
  auto form = Loaded(3);
  EXPECT_EQ(form->Text1[0]->Text(), "5");
  EXPECT_EQ(form->Text1[6]->Text(), "75");
  EXPECT_EQ(form->lblColourOption[1]->ForeColor(), 0xFF0000u);
  EXPECT_TRUE(form->lblSaveDir->Caption().endsWith("Story Board.jpg'"));
  form->Text1_GotFocus(0);
  form->Text1[0]->SetText(QStringLiteral("0"));
  EXPECT_TRUE(form->Text1_LostFocus(0));
  EXPECT_EQ(form->Text1[0]->Text(), "1");
  form->Text1_GotFocus(1);
  form->Text1[1]->SetText(QString());
  EXPECT_FALSE(form->Text1_LostFocus(1));
  EXPECT_EQ(form->Text1[1]->Text(), "5");
  form->Text1[6]->SetText(QStringLiteral("0"));
  EXPECT_TRUE(form->Text1_LostFocus(6));
  EXPECT_EQ(form->Text1[6]->Text(), "0");
  QFont chosen(QStringLiteral("DejaVu Sans"));
  chosen.setPointSize(20);
  chosen.setBold(true);
  dialogs.ChooseFont(chosen);
  form->lblColourOption_DblClick(1);
  for (ctl::Label* label : form->lblColourOption) {
    EXPECT_EQ(label->FontSize(), 16);
    EXPECT_TRUE(label->FontBold());
  }
  EXPECT_EQ(form->lblColourOption[0]->ForeColor(), 0u);
  form->optPosterStyle[1]->click();
  EXPECT_EQ(gPosterStyle, 1);
  // A field never left keeps the leaving rules at DONE.
  form->Text1[2]->SetText(QStringLiteral("0"));
  form->Text1[3]->SetText(QStringLiteral("99999"));
  form->lblDone_Click();
  auto posters = [](const char* name) { return modRegistry::GetSettingLong(kRegFilePosters, QLatin1String(name)); };
  EXPECT_EQ(posters("HorizontalTiles"), 1);
  EXPECT_EQ(posters("VerticalTiles"), 5);
  EXPECT_EQ(posters("TileWidth"), 1);
  EXPECT_EQ(posters("TileHeight"), 150);
  EXPECT_EQ(posters("Compression"), 0);
  EXPECT_EQ(posters("CaptionSize"), 16);
  EXPECT_EQ(modRegistry::GetSettingText(kRegFilePosters, QStringLiteral("CaptionFont")), "DejaVu Sans");
  EXPECT_EQ(posters("StoryBoardStyle"), 1);
}

TEST_F(ProgramOptionsTest, SlidersDriveTheCarousel) {
  int16_t entries = 11;
  int16_t increments = 10;
  int rebuilds = 0;
  frmProgramOptions::Main.CarouselEntries = [&] { return entries; };
  frmProgramOptions::Main.SetCarouselEntries = [&](int16_t n) { entries = n, ++rebuilds; };
  frmProgramOptions::Main.ScrollIncrements = [&] { return increments; };
  frmProgramOptions::Main.SetScrollIncrements = [&](int16_t n) { increments = n; };
  auto form = Loaded(4);
  EXPECT_DOUBLE_EQ(form->CarouselEntriesSlider->Value(), 5);
  EXPECT_DOUBLE_EQ(form->CarouselSmoothnessSlider->Value(), 10);
  EXPECT_EQ(form->CarouselEntriesSlider->Colour(), gSchemeColour3);
  form->CarouselEntriesSlider->SetValue(8);
  EXPECT_EQ(entries, 17);
  form->CarouselEntriesSlider->SetValue(4);
  EXPECT_EQ(entries, 9);
  EXPECT_EQ(rebuilds, 2);
  form->CarouselEntriesSlider_ValueChanged(4.2);
  EXPECT_EQ(rebuilds, 2) << "the same number rebuilds nothing";
  form->CarouselSmoothnessSlider->SetValue(17);
  EXPECT_EQ(increments, 17);
  form->resize(form->size());
  form->show();
  EXPECT_EQ(form->CarouselOptions->geometry(), form->picProgOptions[4]->contentsRect());
  form->hide();
}

}  // namespace
