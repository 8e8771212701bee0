#pragma once
// The running program with a library open and a disk mounted on the test's
// own mount table, and the means to run the Add Files command with the
// dialog filled in as a user would.
#include "core/modReelwise.h"
#include "import/ImportPane.h"
#include "import/frmAddToLibrary.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "player/cMpvCore.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/TestVideo.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <functional>

namespace rwtest {

// Calls `seen` with every title the main window takes while it lives.
class TitleWatch : public QObject {
 public:
  explicit TitleWatch(std::function<void(const QString&)> seen) : seen_(std::move(seen)) {
    gMainForm->installEventFilter(this);
  }
  ~TitleWatch() override {
    if (gMainForm) gMainForm->removeEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (object == gMainForm && event->type() == QEvent::WindowTitleChange) seen_(gMainForm->windowTitle());
    return false;
  }

 private:
  std::function<void(const QString&)> seen_;
};

class AddFilesTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    library_ = gLibrariesFolder + QStringLiteral("Films.rw2");
    modReelwise::ExtractTemplateLibrary(library_);
    gLibrary->OpenLibrary(library_, true);
    disk_ = System().MountPoint(QStringLiteral("Films disk"));
    System().MountDisk(disk_, QStringLiteral("ext4"),
                       {.device = QStringLiteral("/dev/sdb1"), .uuid = QStringLiteral("4f1c2d3e-aaaa-bbbb-cccc-0123456789ab"),
                        .label = QStringLiteral("Films"), .major = 8, .minor = 17});
    System().Write();
    if (!disk_.endsWith(QLatin1Char('/'))) disk_ += QLatin1Char('/');
  }

  void TearDown() override {
    gAddingFiles = false;
    RunningProgramTest::TearDown();
  }

  static constexpr const char* kSerial = "4F1C2D3E";

 public:
  // A file of `bytes` at `relative` on the disk (folders made as needed).
  QString MakeFile(const QString& relative, const QByteArray& bytes = QByteArray("x")) {
    const QString path = disk_ + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  // A clip made by ffmpeg at `relative` on the disk.
  QString MakeClip(const QString& relative, TestVideoSpec spec = {}) {
    const QString path = disk_ + relative;
    QDir().mkpath(QFileInfo(path).path());
    QString error;
    EXPECT_TRUE(MakeTestVideo(QFileInfo(path).path(), QFileInfo(path).fileName(), spec, &error)) << error.toStdString();
    return path;
  }

  // Runs Add Files; `fill` sets the dialog up (the location is the disk's
  // folder `folder` unless it sets another) and START is pressed unless
  // `fill` closed the dialog itself.
  void RunAddFiles(const QString& folder = QString(), const std::function<void(frmAddToLibrary&)>& fill = {}) {
    QTimer::singleShot(0, [this, folder, fill] {
      frmAddToLibrary* dialog = OpenDialog();
      if (!dialog) return;
      dialog->cmbSearchPath->setEditText(disk_ + folder);
      if (fill) fill(*dialog);
      if (dialog->isVisible()) dialog->lblStart_Click();
      if (dialog->isVisible()) dialog->lblCancel_Click();
    });
    gMainForm->Import().AddScannedFiles();
  }

  static frmAddToLibrary* OpenDialog() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* dialog = dynamic_cast<frmAddToLibrary*>(window); dialog && dialog->isVisible()) return dialog;
    }
    ADD_FAILURE() << "the add-files dialog is not open";
    return nullptr;
  }

 protected:
  static SqlConnection& Db() { return gLibrary->Connection(); }
  static int Count(const QString& sql) {
    auto rs = Db().OpenRecordset(sql);
    return rs->Eof() ? 0 : rs->Value(0).toInt();
  }
  // A column of the VideoFiles row of the file name.
  static SqlValue FileColumn(const QString& name, const QString& column) {
    auto rs = Db().OpenRecordset(QStringLiteral("SELECT %1 FROM VideoFiles WHERE FileName = '%2'").arg(column, name));
    return rs->Eof() ? SqlValue() : rs->Value(0);
  }
  static QImage Thumbnail(const QString& name) {
    auto rs = Db().OpenRecordset(QStringLiteral("SELECT T.Thumbnail FROM SegmentThumbnails T JOIN VideoFiles F ON "
                                                "F.FileID = T.FileID WHERE F.FileName = '%1'")
                                     .arg(name));
    if (rs->Eof()) return {};
    return QImage::fromData(rs->Value(0).toBytes(), "JPEG");
  }

  QString library_;
  QString disk_;
};

}  // namespace rwtest
