// The "Add Movie Files" dialog as the Add Files command shows it: its
// defaults, the file types it searches, the relocation switch, completion of
// a typed location, BROWSE, and what START and CANCEL leave for the run.
#include "tests/import/AddFilesFixture.h"

#include "devices/DeviceSerial.h"

#include <QLineEdit>
#include <QTest>

namespace rwtest {
namespace {

const QString kPrompt = QStringLiteral("Select or type a location or click 'Browse'");
const QString kPatternError = QStringLiteral("There is an error in the Search Pattern you have specified");
const QString kInvalidPath =
    QStringLiteral("Unable to search the selected path. The error returned was:\r\n\r\nInvalid Path.");

class AddFilesDialogTest : public AddFilesTest {
 protected:
  // Runs the Add Files command with `act` working the open dialog; a dialog
  // still open afterwards is cancelled. found_ is FilesFound once `act` ends.
  void WithDialog(const std::function<void(frmAddToLibrary&)>& act) {
    found_ = -2;
    QTimer::singleShot(0, [this, act] {
      frmAddToLibrary* dialog = OpenDialog();
      if (!dialog) return;
      act(*dialog);
      found_ = dialog->FilesFound;
      if (dialog->isVisible()) dialog->lblCancel_Click();
      if (dialog->isVisible()) dialog->hide();
    });
    gMainForm->Import().AddScannedFiles();
  }

  // Catalogued files in three online folders (one twice) and one offline.
  static void CatalogueFolders() {
    Db().Execute(QStringLiteral(
        "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) VALUES "
        "(1, 'AAAA1111', 'films\\', 'a.avi', '/mnt/archive/'), (2, 'AAAA1111', 'films\\', 'b.avi', '/media/films/'), "
        "(3, 'AAAA1111', 'films\\', 'c.avi', '/media/music/'), (4, 'AAAA1111', 'films\\', 'd.avi', '/media/films/'), "
        "(5, 'BBBB2222', 'old\\', 'e.avi', '[Offline] /media/old/')"));
  }

  static int Files() { return Count(QStringLiteral("SELECT count(*) FROM VideoFiles")); }

  int found_ = -2;
};

TEST_F(AddFilesDialogTest, OpensWithEveryTypeTickedAndTheOnlineFoldersOfTheLibraryToChooseFrom) {
  CatalogueFolders();
  gScanVideoData = gScanMakeThumbnail = false;
  WithDialog([](frmAddToLibrary& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add Movie Files"));
    EXPECT_TRUE(dialog.optImportScope[2]->isChecked());
    EXPECT_EQ(dialog.optImportScope[2]->text(), QStringLiteral("Collect above plus Create Thumbnail"));
    EXPECT_TRUE(gScanVideoData && gScanMakeThumbnail);
    EXPECT_TRUE(dialog.chkRecursive->isChecked());
    EXPECT_EQ(dialog.chkRecursive->text(), QStringLiteral("Search in sub-folders"));
    EXPECT_FALSE(dialog.chkRelocateFiles->isChecked());
    EXPECT_EQ(dialog.chkRelocateFiles->text(), QStringLiteral("Update Library with New File Locations"));
    for (QCheckBox* box : dialog.chkFindFileType) EXPECT_TRUE(box->isChecked()) << box->text().toStdString();
    EXPECT_EQ(dialog.txtOtherFileTypes->text(), QStringLiteral("rm; mp4; mkv; flv; m4v; mts; m2ts; f4v; 3gp"));
    EXPECT_EQ(dialog.BuildFileTypePattern(),
              QStringLiteral("*.avi;*.divx;*.xvid;*.mpg;*.mpeg;*.vob;*.mpv;*.m1v;*.mpe;*.mov;*.qt;*.wmv;*.asf;"
                             "*.rm;*.mp4;*.mkv;*.flv;*.m4v;*.mts;*.m2ts;*.f4v;*.3gp"));
    EXPECT_EQ(dialog.cmbSearchPath->currentText(), kPrompt);
    QStringList entries;
    for (int i = 0; i < dialog.cmbSearchPath->count(); ++i) entries << dialog.cmbSearchPath->itemText(i);
    EXPECT_EQ(entries, (QStringList{"/media/films/", "/media/music/", "/mnt/archive/"}));
  });
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(AddFilesDialogTest, AnOtherListThatIsNotExtensionsIsRefusedAndAValidOneSetsThePattern) {
  MakeFile(QStringLiteral("Clip.mp4"));
  WithDialog([this](frmAddToLibrary& dialog) {
    for (const char* text : {"mp4;;mkv", "*.mp4", "mp4; a/b"}) {
      dialog.txtOtherFileTypes->setText(QLatin1String(text));
      boxes.Clear();
      boxes.Answer(1);
      EXPECT_FALSE(dialog.ValidateOtherFileTypes()) << text;
      ASSERT_EQ(boxes.Count(), 1) << text;
      EXPECT_EQ(boxes.Last().prompt, kPatternError);
      boxes.Answer(1);
      EXPECT_EQ(dialog.BuildFileTypePattern(), QString()) << text;
    }
    boxes.Clear();
    boxes.Answer(1);
    dialog.lblCancel_Click();
    EXPECT_TRUE(dialog.isVisible()) << "CANCEL waits for a valid list";
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().prompt, kPatternError);
    boxes.Clear();
    boxes.Answer(1);
    dialog.cmbSearchPath->setEditText(disk_);
    dialog.lblStart_Click();
    ASSERT_TRUE(dialog.isVisible()) << "START waits for a valid list too";
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().prompt, kPatternError);

    dialog.txtOtherFileTypes->setText(QStringLiteral("ogm; webm"));
    EXPECT_TRUE(dialog.BuildFileTypePattern().endsWith(QStringLiteral(";*.wmv;*.asf;*.ogm;*.webm")))
        << dialog.BuildFileTypePattern().toStdString();
    dialog.chkFindFileType[4]->click();
    EXPECT_FALSE(dialog.txtOtherFileTypes->isEnabled());
    EXPECT_TRUE(dialog.BuildFileTypePattern().endsWith(QStringLiteral(";*.qt;*.wmv;*.asf")))
        << dialog.BuildFileTypePattern().toStdString();
    dialog.chkFindFileType[4]->click();
    EXPECT_TRUE(dialog.txtOtherFileTypes->isEnabled());
    EXPECT_TRUE(dialog.BuildFileTypePattern().endsWith(QStringLiteral(";*.asf;*.ogm;*.webm")));
    dialog.lblCancel_Click();
    EXPECT_FALSE(dialog.isVisible());
  });
  EXPECT_EQ(boxes.Count(), 1) << "a valid list closes the dialog without a word";
  EXPECT_EQ(Files(), 0);
}

// Ticking forces the details-only scope and greys the scope panel with its
// choices; unticking gives them back.
TEST_F(AddFilesDialogTest, RelocatingCollectsFileDetailsOnlyAndUntickingRestoresThumbnails) {
  WithDialog([](frmAddToLibrary& dialog) {
    QTest::mouseClick(dialog.chkRelocateFiles, Qt::LeftButton);
    EXPECT_TRUE(dialog.optImportScope[0]->isChecked());
    EXPECT_FALSE(gScanVideoData || gScanMakeThumbnail);
    EXPECT_FALSE(dialog.optImportScope[1]->isEnabled() || dialog.optImportScope[2]->isEnabled());
    EXPECT_FALSE(dialog.Picture1->isEnabled()) << "the scope panel";
    EXPECT_TRUE(dialog.RelocateFiles);
    QTest::mouseClick(dialog.chkRelocateFiles, Qt::LeftButton);
    EXPECT_TRUE(dialog.optImportScope[2]->isChecked());
    EXPECT_TRUE(dialog.Picture1->isEnabled());
    EXPECT_TRUE(dialog.optImportScope[1]->isEnabled() && dialog.optImportScope[2]->isEnabled());
    EXPECT_TRUE(gScanVideoData && gScanMakeThumbnail);
    EXPECT_FALSE(dialog.RelocateFiles);
    dialog.optImportScope[1]->click();
    EXPECT_TRUE(gScanVideoData);
    EXPECT_FALSE(gScanMakeThumbnail);
  });
}

TEST_F(AddFilesDialogTest, TypingALocationCompletesItFromTheListAndBrowseFillsItIn) {
  CatalogueFolders();
  ScriptedFileDialogs folders;
  WithDialog([&](frmAddToLibrary& dialog) {
    QLineEdit* edit = dialog.cmbSearchPath->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("/m"));
    EXPECT_EQ(edit->text(), QStringLiteral("/media/music/")) << "the first entry is tried last";
    EXPECT_EQ(edit->selectedText(), QStringLiteral("edia/music/"));
    QTest::keyClick(edit, Qt::Key_N);
    EXPECT_EQ(edit->text(), QStringLiteral("/mnt/archive/"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("t/archive/"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("/mn")) << "backspace removes the completed rest";
    QTest::keyClick(edit, Qt::Key_T);
    // The desktop sends Delete with the text "\x7f"; it deletes, it is not typed.
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Delete, QString(QChar(0x7f)), Qt::NoModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("/mnt"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("/m"));
    QTest::keyClicks(edit, QStringLiteral("edia/f"));
    EXPECT_EQ(edit->text(), QStringLiteral("/media/films/"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("ilms/"));
    QTest::keyClicks(edit, QStringLiteral("x"));
    EXPECT_EQ(edit->text(), QStringLiteral("/media/fx")) << "no entry: what was typed stays";
    EXPECT_EQ(edit->selectedText(), QString());

    folders.Choose({disk_ + "Films"});
    dialog.lblBrowse_Click();
    ASSERT_EQ(folders.Count(), 1);
    EXPECT_EQ(folders.Last().kind, FileDialogKind::Folder);
    EXPECT_EQ(folders.Last().title, QStringLiteral("Select a folder or network resource to scan..."));
    EXPECT_EQ(dialog.cmbSearchPath->currentText(), disk_ + "Films");
    folders.Cancel();
    dialog.lblBrowse_Click();
    EXPECT_EQ(dialog.cmbSearchPath->currentText(), QString());
  });
}

TEST_F(AddFilesDialogTest, CancelAndEscLeaveNothingForTheRunAndEnterStarts) {
  MakeFile(QStringLiteral("Clip.avi"));
  WithDialog([](frmAddToLibrary& dialog) { dialog.lblCancel_Click(); });
  EXPECT_EQ(found_, -1);
  EXPECT_TRUE(gScanQueue.isEmpty());
  EXPECT_EQ(Files(), 0);
  EXPECT_FALSE(gAddingFiles);
  WithDialog([](frmAddToLibrary& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
  EXPECT_EQ(found_, -1);
  EXPECT_EQ(Files(), 0);
  EXPECT_EQ(boxes.Count(), 0);
  WithDialog([this](frmAddToLibrary& dialog) {
    dialog.cmbSearchPath->setEditText(disk_);
    dialog.optImportScope[0]->click();
    QTest::keyClick(&dialog, Qt::Key_Return);
  });
  EXPECT_EQ(found_, 1);
  EXPECT_EQ(Files(), 1);
}

TEST_F(AddFilesDialogTest, StartRefusesALocationItCannotSearchOrWhereNothingMatches) {
  MakeFile(QStringLiteral("Films/Clip.avi"));
  MakeFile(QStringLiteral("Notes/read me.txt"));
  for (const QString& location : {disk_ + "No such folder", QStringLiteral("\\\\server\\share\\")}) {
    boxes.Clear();
    boxes.Answer(1);
    WithDialog([&](frmAddToLibrary& dialog) {
      dialog.cmbSearchPath->setEditText(location);
      dialog.lblStart_Click();
      EXPECT_TRUE(dialog.isVisible()) << location.toStdString();
    });
    ASSERT_EQ(boxes.Count(), 1) << location.toStdString();
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Invalid Search Location"));
    EXPECT_EQ(boxes.Last().prompt, kInvalidPath);
    EXPECT_EQ(found_, 0);
  }
  const std::function<void(frmAddToLibrary&)> noTypes = [](frmAddToLibrary& dialog) {
    for (QCheckBox* box : dialog.chkFindFileType) box->click();
  };
  for (const auto& [folder, untick] : {std::pair{QStringLiteral("Films"), true}, {QStringLiteral("Notes"), false}}) {
    boxes.Clear();
    boxes.Answer(1);
    WithDialog([&](frmAddToLibrary& dialog) {
      dialog.cmbSearchPath->setEditText(disk_ + folder);
      if (untick) noTypes(dialog);
      dialog.lblStart_Click();
    });
    ASSERT_EQ(boxes.Count(), 1) << folder.toStdString();
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Nothing found!"));
    EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("There are no media files of the selected File Type(s) in")));
    EXPECT_EQ(found_, 0);
  }
  EXPECT_EQ(Files(), 0);
}

// A typed "\\server\share\folder" is searched where that share is mounted
// here, and the share is recorded as the device of its mount; the same
// share's folder outside the part mounted is refused as any missing folder.
TEST_F(AddFilesDialogTest, ATypedShareIsSearchedWhereItIsMounted) {
  const QString films = System().MountPoint(QStringLiteral("nas films"));
  const QString archive = System().MountPoint(QStringLiteral("nas archive"));
  System().Mount(films, QStringLiteral("cifs"), QStringLiteral("//nas/Films"));
  System().Mount(archive, QStringLiteral("cifs"), QStringLiteral("//nas/Archive/2020"));
  System().Write();
  for (const char* name : {"/Drama/a.avi", "/Drama/b.mkv", "/Comedy/c.avi"}) {
    QDir().mkpath(QFileInfo(films + QLatin1String(name)).path());
    QFile file(films + QLatin1String(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QString shown;
  WithDialog([&](frmAddToLibrary& dialog) {
    dialog.cmbSearchPath->setEditText(QStringLiteral("\\\\NAS\\films\\Drama"));
    dialog.optImportScope[0]->click();
    dialog.lblStart_Click();
    shown = dialog.cmbSearchPath->currentText();
  });
  EXPECT_EQ(found_, 2);
  EXPECT_EQ(shown, films + QStringLiteral("/Drama/"));
  const QString serial = DeviceSerial::Hex(DeviceSerial::Hash(QStringLiteral("\\\\NAS\\Films")));
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM FileLocations WHERE DiskSerialNo = '%1' AND LogicalPath = '%2'")
                      .arg(serial, films + QLatin1Char('/'))),
            1);
  EXPECT_EQ(boxes.Count(), 0);

  boxes.Answer(1);
  WithDialog([&](frmAddToLibrary& dialog) {
    dialog.cmbSearchPath->setEditText(QStringLiteral("\\\\nas\\Archive\\2019"));
    dialog.lblStart_Click();
  });
  ASSERT_EQ(boxes.Count(), 1) << "only 2020 of the archive is mounted";
  EXPECT_EQ(boxes.Last().prompt, kInvalidPath);
}

TEST_F(AddFilesDialogTest, StartQueuesTheMatchingFilesOfTheCanonicalLocationAndRecordsItsDisk) {
  for (const char* name : {"Top/a.avi", "Top/b.mkv", "Top/c.txt", "Top/Sub/d.avi"}) MakeFile(QLatin1String(name));
  QString shown;
  auto start = [&](const QString& location, bool recursive) {
    WithDialog([&](frmAddToLibrary& dialog) {
      dialog.cmbSearchPath->setEditText(location);
      dialog.chkRecursive->setChecked(recursive);
      dialog.optImportScope[0]->click();
      dialog.lblStart_Click();
      shown = dialog.cmbSearchPath->currentText();
    });
  };
  start(disk_ + "Top", true);
  EXPECT_EQ(found_, 3);
  EXPECT_EQ(shown, disk_ + "Top/");
  EXPECT_EQ(Files(), 3);
  auto rs = Db().OpenRecordset(QStringLiteral("SELECT LogicalPath FROM FileLocations WHERE DiskSerialNo = '%1'")
                                   .arg(QLatin1String(kSerial)));
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Value(0).toString(), disk_);
  start(disk_ + "Top/Sub/../", false);
  EXPECT_EQ(found_, 2) << "only the files directly in the location";
  EXPECT_EQ(shown, disk_ + "Top/");
  start(disk_ + "Top/./Sub", false);
  EXPECT_EQ(found_, 1);
  EXPECT_EQ(shown, disk_ + "Top/Sub/");
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
}  // namespace rwtest
