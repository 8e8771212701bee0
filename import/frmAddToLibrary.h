#pragma once
// The "Add Movie Files" dialog: where to look (a folder, a whole drive or a
// mounted share), which file types, whether to descend into sub-folders, how
// much to collect per file, and whether to relocate catalogued files instead
// of adding new ones. START identifies the storage device of the location,
// records it in the device table and walks the folders into gScanQueue; the
// add-files run (ImportPane::AddScannedFiles) shows the dialog and reads
// what it left behind.
#include "devices/StorageDevice.h"
#include "import/modFolderScan.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>

class IImportHost;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
namespace ctl {
class Label;
}

// The scan queue: one item per matching file, "size???path" in walk order.
extern QStringList gScanQueue;
// The storage device of the scanned location.
extern StorageDevice gScanDevice;
// What the run collects per file: video data (opening the file), and a
// thumbnail from it.
extern bool gScanVideoData;
extern bool gScanMakeThumbnail;

class frmAddToLibrary : public QWidget {
 public:
  explicit frmAddToLibrary(IImportHost& host);
  ~frmAddToLibrary() override;

  // Read by the run after the dialog closes: the files queued (-1 after
  // CANCEL) and whether catalogued files are to be relocated.
  int32_t FilesFound = 0;
  bool RelocateFiles = false;
  // Entries the walk passed over, for the run's closing message.
  modFolderScan::SkippedEntries Skipped;
  // How long the walk took, in nanoseconds.
  qint64 ScanNs = 0;

  QLabel* Image1;
  QComboBox* cmbSearchPath;
  ctl::Label* lblBrowse;
  ctl::Label* lblStart;
  ctl::Label* lblCancel;
  ctl::Label* lblCancelHint;
  QCheckBox* chkRecursive;
  QCheckBox* chkRelocateFiles;
  QWidget* Picture1;
  std::array<QRadioButton*, 3> optImportScope{};
  std::array<QCheckBox*, 5> chkFindFileType{};
  QLineEdit* txtOtherFileTypes;
  QPushButton* cmdStart;
  QPushButton* cmdCancel;
  std::array<ctl::Label*, 3> Caption{};

  void lblBrowse_Click();
  void lblStart_Click();
  void lblCancel_Click();
  void chkFindFileType_Click();
  void chkRelocateFiles_Click();
  void optImportScope_Click(int Index);
  // Completes the combo's text against its list as a character is typed.
  void AutoCompleteSearchPath(QChar typed);
  // False, after saying so, when the Other extensions do not form a list of
  // extensions separated by ";".
  bool ValidateOtherFileTypes();
  // The patterns of the ticked groups: "*.avi;*.divx;...".
  QString BuildFileTypePattern();
  // "/Films/" for "/films": the location with a trailing "/" and its first
  // letter in upper case.
  static QString NormaliseSearchPath(const QString& location);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void Form_Load();
  void ColourControls();
  void FillSearchPaths();
  void SetOtherTag();
  QString Location() const;
  bool IdentifyLocation(QString& location);
  bool RefuseLocation(const QString& status);
  bool ScanLocation(const QString& searchPath);
  struct Walk;
  bool WalkWatched(const QString& searchPath, modFolderScan::ScanOptions options);

  IImportHost& host_;
  // Box 4's extensions as the text box gives them.
  QString otherTag_;
};
