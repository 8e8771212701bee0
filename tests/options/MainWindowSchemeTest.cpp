// The colour scheme in the running program: the main window's scheme colours
// and pictures come from the recoloured skin at start-up and after APPLY, and
// the library tree keeps the red of the nodes whose red marks a state.
#include "browser/frmFindFiles.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/controls/Label.h"
#include "options/frmProgramOptions.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TreeView.h"
#include "resources/Resources.h"
#include "tests/app/ProgramRun.h"
#include "ui/SchemeColours.h"

#include <QComboBox>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QImage Argb(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

ColourScheme Preset(const char* name) { return ColourSchemeFromText(ColourSchemePresetText(QLatin1String(name))); }

class MainWindowSchemeTest : public rwtest::ProgramTest {
 protected:
  static void ExpectColoursOf(const ColourScheme& scheme) {
    const SchemeColours expected =
        *SampleSchemeColours(AdjustImageColours(LoadResPicture(QStringLiteral("MPLAYER"), kResCustom), scheme));
    EXPECT_EQ(gSchemeColour1, expected.colour1);
    EXPECT_EQ(gSchemeColour2, expected.colour2);
    EXPECT_EQ(gSchemeColour3, expected.colour3);
    EXPECT_EQ(gSchemeColour4, expected.colour4);
  }
};

TEST_F(MainWindowSchemeTest, StartUpTakesTheSavedScheme) {
  modRegistry::EnsureDefaultSettings();
  SaveColourScheme(Preset("Reelwise Blues"));
  ASSERT_TRUE(Start());
  ExpectColoursOf(Preset("Reelwise Blues"));
  InspectorPane& inspector = gMainForm->Inspector();
  const QImage skin = AdjustImageColours(LoadResPicture(QStringLiteral("MPLAYER"), kResCustom), Preset("Reelwise Blues"));
  EXPECT_EQ(Argb(inspector.picMPlayerSkin->Picture()), skin);
  const QImage tile = SchemePicture(QStringLiteral("TILE"), kResCustom);
  EXPECT_EQ(Argb(gMainForm->Results().picBlankTile->Picture()), tile);
  EXPECT_EQ(Argb(inspector.picThumbnail->Picture()), tile) << "nothing is inspected";
  EXPECT_EQ(gSearchBanner, SchemePicture(QStringLiteral("SEARCH_BANNER"), kResCustom));
  EXPECT_EQ(Argb(gMainForm->imgBanner->Picture()), SchemePicture(QStringLiteral("RW_BANNER"), kResCustom));
  EXPECT_EQ(Argb(gMainForm->Picture1->Picture()), SchemePicture(QStringLiteral("MAIN_TB_BG"), kResBitmap));
  EXPECT_TRUE(gMainForm->updatesEnabled());
}

TEST_F(MainWindowSchemeTest, ApplyRepaintsTheMainWindowAndKeepsStateRed) {
  ASSERT_TRUE(Start());
  ExpectColoursOf(ColourScheme{});
  ctl::NodeCollection& nodes = gMainForm->Tree().tvwLibrary->Nodes;
  // No library is open: the nodes are the test's.
  nodes.Add(QString(), ctl::tvwLast, QStringLiteral("ID1"), QStringLiteral("Unplayable"))->SetForeColor(0);
  ctl::Node* offline = nodes.Add(QString(), ctl::tvwLast, QStringLiteral("M-OFFLINE"), QStringLiteral("Disk"));
  offline->SetForeColor(255);
  ctl::Node* plain = nodes.Add(QString(), ctl::tvwLast, QStringLiteral("M-ONLINE"), QStringLiteral("Disk 2"));
  plain->SetForeColor(gSchemeColour4);
  frmProgramOptions options;
  options.StartPage = 6;
  options.Load();
  options.cmbColourSchemes->setCurrentText(QStringLiteral("Aqua"));
  options.cmbColourSchemes_Click();
  options.lblApplyColours_Click();
  ExpectColoursOf(Preset("Aqua"));
  EXPECT_EQ(nodes.Find(QStringLiteral("ID1"))->ForeColor(), 255u);
  EXPECT_EQ(offline->ForeColor(), 255u);
  EXPECT_EQ(plain->ForeColor(), gSchemeColour4);
  EXPECT_EQ(gMainForm->picBannerLogo->BackColor(), gSchemeColour1);
  EXPECT_TRUE(gMainForm->updatesEnabled());
  // With a file inspected its thumbnail is left alone.
  QPixmap own(100, 75);
  own.fill(Qt::red);
  InspectorPane& inspector = gMainForm->Inspector();
  inspector.picThumbnail->SetPicture(own);
  gInspectedItem.FileID = 5;
  options.lblApplyColours_Click();
  gInspectedItem.FileID = 0;
  EXPECT_EQ(Argb(inspector.picThumbnail->Picture()), Argb(own));
  // Applying again gives the same colours: pictures come from the resources.
  const COLORREF first = gSchemeColour1;
  options.lblApplyColours_Click();
  EXPECT_EQ(gSchemeColour1, first);
}

// A small library open, the dialog shown on its general, statistics and
// colour pages with "Reelwise Blues" chosen, then applied. With RW_SCREENSHOT
// naming a PNG, the general page is saved there, the others beside it
// ("-library", "-colours") and the main window after APPLY ("-main").
TEST_F(MainWindowSchemeTest, DialogPagesAndTheAppliedMainWindow) {
  ASSERT_TRUE(Start());
  const QString library = Scratch() + QStringLiteral("/Films.rw2");
  modReelwise::ExtractTemplateLibrary(library);
  gLibrary->OpenLibrary(library, true);
  SqlConnection& db = gLibrary->Connection();
  db.Execute(QStringLiteral(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1234) "
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize) "
      "SELECT i, 'A', 'films\\', 'film' || i || '.mkv', 734003200 FROM n"));
  db.Execute(QStringLiteral("INSERT INTO VideoSegments (FileID, FileFlag, Online, Rating, SelectionEnd) "
                            "SELECT FileID, 'Y', 1, 0, 5400 FROM VideoFiles"));
  const QString picture = qEnvironmentVariable("RW_SCREENSHOT");
  auto save = [&](QWidget& window, const char* suffix) {
    if (picture.isEmpty()) return;
    const QFileInfo info(picture);
    const QString path = info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1String(suffix) + QStringLiteral(".png");
    EXPECT_TRUE(window.grab().save(path, "PNG"));
  };
  frmProgramOptions options;
  options.StartPage = 1;
  options.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&options));
  save(options, "");
  options.lblOptionGroup_Click(5);
  EXPECT_TRUE(options.lblLibraryInfo->Caption().contains(QStringLiteral("1,234 video files")))
      << options.lblLibraryInfo->Caption().toStdString();
  save(options, "-library");
  options.lblOptionGroup_Click(6);
  options.cmbColourSchemes->setCurrentText(QStringLiteral("Reelwise Blues"));
  options.cmbColourSchemes_Click();
  save(options, "-colours");
  options.lblApplyColours_Click();
  ExpectColoursOf(Preset("Reelwise Blues"));
  options.hide();
  QCoreApplication::processEvents();
  save(*gMainForm, "-main");
}

}  // namespace
