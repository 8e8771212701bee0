#include "import/frmAddToLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "devices/cNetShareGetInfo.h"
#include "devices/modStorageDevices.h"
#include "import/ImportPane.h"
#include "library/clsRWLibrary.h"
#include "options/frmProgramOptions.h"
#include "platform/FileDialogSeam.h"
#include "platform/MessageBoxSeam.h"
#include "platform/MountProbe.h"
#include "platform/LongWork.h"
#include "platform/SqlConnection.h"
#include "platform/ThreadStart.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/Label.h"
#include "resources/Resources.h"
#include "ui/FormDesign.h"
#include "ui/SchemeColours.h"
#include "ui/cwProgress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>

QStringList gScanQueue;
StorageDevice gScanDevice;
bool gScanVideoData = true;
bool gScanMakeThumbnail = true;

namespace {

const QString kComboPrompt = QStringLiteral("Select or type a location or click 'Browse'");
const QString kDefaultOtherTypes = QStringLiteral("rm; mp4; mkv; flv; m4v; mts; m2ts; f4v; 3gp");

struct FileTypeGroup {
  const char* caption;
  const char* tag;
};
constexpr FileTypeGroup kFileTypeGroups[5] = {
    {"AVI Files (avi; divx; xvid)", ";avi;divx;xvid"},
    {"MPEG files (mpeg; mpg; vob; mpv; m1v; mpe)", ";mpg;mpeg;vob;mpv;m1v;mpe"},
    {"Quicktime files (mov; qt)", ";mov;qt"},
    {"Windows Media files (wmv; asf)", ";wmv;asf"},
    {"Other:", ";rm;mp4;mkv;flv;m4v;mts;m2ts;f4v;3gp"}};

struct ImportScope {
  const char* caption;
  const char* toolTip;
};
constexpr ImportScope kImportScopes[3] = {
    {"Collect File Details only (fast)", "Import File Path, Name and Filesize only (Fastest)"},
    {"Collect above plus Video Data", "Import above plus Video data"},
    {"Collect above plus Create Thumbnail", "Import above plus create a thumbnail"}};

QString Css(const char* property, COLORREF colour) {
  return QStringLiteral("%1: %2;").arg(QLatin1String(property), ColorRefToQColor(colour).name());
}

}  // namespace

frmAddToLibrary::frmAddToLibrary(IImportHost& host) : host_(host) {
  setObjectName(QStringLiteral("frmAddToLibrary"));
  setWindowTitle(QStringLiteral("Add Movie Files"));
  setWindowFlags(Qt::Dialog);
  setFixedSize(440, 470);
  CreateControls();
  Form_Load();
}

frmAddToLibrary::~frmAddToLibrary() {
  ctl::Control::EndEvents(*this);
  modReelwise::SetDropShadow(this, false);
}

void frmAddToLibrary::CreateControls() {
  using FormDesign::Make;
  using FormDesign::MakeLabel;
  Image1 = Make<QLabel>(this, "Image1");
  Image1->setGeometry(0, 0, 255, 64);
  const char* captions[3] = {" Scan Location", " File Types (by extension)", " Options"};
  const int captionTops[3] = {76, 136, 282};
  for (int i = 0; i < 3; ++i) {
    Caption[i] = MakeLabel(this, QStringLiteral("Caption(%1)").arg(i), QLatin1String(captions[i]), 12,
                           captionTops[i], 416, 18);
    Caption[i]->SetBackStyle(1);
  }
  cmbSearchPath = Make<QComboBox>(this, "cmbSearchPath");
  cmbSearchPath->setEditable(true);
  cmbSearchPath->setInsertPolicy(QComboBox::NoInsert);
  cmbSearchPath->setCompleter(nullptr);
  cmbSearchPath->setGeometry(12, 100, 330, 24);
  cmbSearchPath->lineEdit()->installEventFilter(this);
  lblBrowse = MakeLabel(this, QStringLiteral("lblBrowse"), QStringLiteral("BROWSE..."), 352, 103, 80, 18);
  for (int i = 0; i < 5; ++i) {
    chkFindFileType[i] = Make<QCheckBox>(this, QStringLiteral("chkFindFileType(%1)").arg(i));
    chkFindFileType[i]->setText(QLatin1String(kFileTypeGroups[i].caption));
    chkFindFileType[i]->setGeometry(20, 160 + 22 * i, i == 4 ? 66 : 400, 20);
    chkFindFileType[i]->setChecked(true);
    connect(chkFindFileType[i], &QCheckBox::clicked, this, [this] { chkFindFileType_Click(); });
  }
  txtOtherFileTypes = Make<QLineEdit>(this, "txtOtherFileTypes");
  txtOtherFileTypes->setGeometry(90, 248, 338, 22);
  txtOtherFileTypes->setText(kDefaultOtherTypes);
  txtOtherFileTypes->installEventFilter(this);
  connect(txtOtherFileTypes, &QLineEdit::textChanged, this, [this] { SetOtherTag(); });
  otherTag_ = QLatin1String(kFileTypeGroups[4].tag);
  chkRecursive = Make<QCheckBox>(this, "chkRecursive");
  chkRecursive->setText(QStringLiteral("Search in sub-folders"));
  chkRecursive->setGeometry(20, 306, 400, 20);
  chkRecursive->setChecked(true);
  chkRelocateFiles = Make<QCheckBox>(this, "chkRelocateFiles");
  chkRelocateFiles->setText(QStringLiteral("Update Library with New File Locations"));
  chkRelocateFiles->setToolTip(
      QStringLiteral("Check if you have moved existing files to the Scan Location above and wish to update the "
                     "Library"));
  chkRelocateFiles->setGeometry(20, 328, 400, 20);
  connect(chkRelocateFiles, &QCheckBox::clicked, this, [this] { chkRelocateFiles_Click(); });
  Picture1 = Make<QWidget>(this, "Picture1");
  Picture1->setGeometry(20, 352, 400, 70);
  for (int i = 0; i < 3; ++i) {
    optImportScope[i] = Make<QRadioButton>(Picture1, QStringLiteral("optImportScope(%1)").arg(i));
    optImportScope[i]->setText(QLatin1String(kImportScopes[i].caption));
    optImportScope[i]->setToolTip(QLatin1String(kImportScopes[i].toolTip));
    optImportScope[i]->setGeometry(0, 22 * i, 400, 20);
    connect(optImportScope[i], &QRadioButton::clicked, this, [this, i] { optImportScope_Click(i); });
  }
  lblCancelHint = MakeLabel(this, QStringLiteral("lblCancelHint"),
                            QStringLiteral("You may cancel this operation whilst it is in progress by pressing the "
                                           "'ESC' key..."),
                            12, 428, 260, 34);
  lblCancelHint->SetWordWrap(true);
  lblStart = MakeLabel(this, QStringLiteral("lblStart"), QStringLiteral("START"), 296, 436, 56, 18);
  lblCancel = MakeLabel(this, QStringLiteral("lblCancel"), QStringLiteral("CANCEL"), 360, 436, 68, 18);
  lblBrowse->Click = [this] { lblBrowse_Click(); };
  lblStart->Click = [this] { lblStart_Click(); };
  lblCancel->Click = [this] { lblCancel_Click(); };
  // The keyboard's default and cancel buttons; Enter and Esc press them.
  cmdStart = Make<QPushButton>(this, "cmdStart");
  cmdStart->setText(QStringLiteral("Start"));
  cmdStart->hide();
  connect(cmdStart, &QPushButton::clicked, this, [this] { lblStart_Click(); });
  cmdCancel = Make<QPushButton>(this, "cmdCancel");
  cmdCancel->setText(QStringLiteral("Cancel"));
  cmdCancel->hide();
  connect(cmdCancel, &QPushButton::clicked, this, [this] { lblCancel_Click(); });
}

void frmAddToLibrary::Form_Load() {
  if (QWidget* main = host_.MainWindow()) {
    move(main->geometry().center() - rect().center());
  }
  modReelwise::SetDropShadow(this, true);
  // The banner as the colour scheme recoloured it, else as compiled in.
  if (gAddFilesBanner.isNull()) gAddFilesBanner = LoadResPicture(QStringLiteral("ADD_FILES_BANNER"), kResCustom);
  Image1->setPixmap(QPixmap::fromImage(gAddFilesBanner));
  ColourControls();
  optImportScope[2]->setChecked(true);
  FillSearchPaths();
  gScanMakeThumbnail = true;
  gScanVideoData = true;
}

void frmAddToLibrary::ColourControls() {
  const QString back = Css("background-color", gSchemeColour1);
  setStyleSheet(QStringLiteral("QCheckBox, QRadioButton { %1 } QWidget#Picture1 { %1 }").arg(back));
  for (QWidget* edit : {static_cast<QWidget*>(txtOtherFileTypes), static_cast<QWidget*>(cmbSearchPath)}) {
    edit->setStyleSheet(Css("background-color", gSchemeColour2));
  }
  for (ctl::Label* caption : Caption) {
    caption->SetBackColor(gSchemeColour4);
    caption->SetForeColor(gSchemeColour1);
  }
  for (ctl::Label* action : {lblBrowse, lblStart, lblCancel}) {
    action->setCursor(gHandCursor);
    action->SetForeColor(gSchemeColour4);
  }
  lblCancelHint->SetForeColor(gSchemeColour2);
}

void frmAddToLibrary::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ColorRefToQColor(gSchemeColour1));
  QLinearGradient band(0, 0, width(), 0);
  band.setColorAt(0, ColorRefToQColor(gSchemeColour4));
  band.setColorAt(1, ColorRefToQColor(gSchemeColour1));
  painter.fillRect(QRect(0, 0, width(), 64), band);
}

// The folders of the online catalogued files, as choices of the combo.
void frmAddToLibrary::FillSearchPaths() {
  if (gLibrary) {
    auto rs = gLibrary->Connection().OpenRecordset(
        QStringLiteral("SELECT Distinct CurrentPath FROM VideoFiles WHERE NOT CurrentPath LIKE '[Offline]%' "
                       "ORDER BY 1"));
    for (; !rs->Eof(); rs->MoveNext()) cmbSearchPath->addItem(rs->Value(QStringLiteral("CurrentPath")).toString());
  }
  cmbSearchPath->setEditText(kComboPrompt);
}

void frmAddToLibrary::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  cmbSearchPath->setFocus();
  cmbSearchPath->lineEdit()->selectAll();
}

void frmAddToLibrary::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    cmdStart->click();
  } else if (event->key() == Qt::Key_Escape) {
    cmdCancel->click();
  } else {
    QWidget::keyPressEvent(event);
  }
}

bool frmAddToLibrary::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cmbSearchPath->lineEdit()) {
    if (event->type() == QEvent::FocusIn) {
      QMetaObject::invokeMethod(cmbSearchPath->lineEdit(), &QLineEdit::selectAll, Qt::QueuedConnection);
    } else if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      const QString text = key->text();
      // Only a printable character is typed: Delete comes with the control
      // character "\x7f" and keeps its own effect.
      if (text.size() == 1 && text.at(0).isPrint() && !(key->modifiers() & Qt::ControlModifier)) {
        AutoCompleteSearchPath(text.at(0));
        return true;
      }
    }
  } else if (watched == txtOtherFileTypes && event->type() == QEvent::FocusOut) {
    ValidateOtherFileTypes();
  }
  return QWidget::eventFilter(watched, event);
}

// The character replaces the selection; an entry of the list that begins
// with the text so far (the first entry tried last) completes it, the rest
// selected so that the next character types over it.
void frmAddToLibrary::AutoCompleteSearchPath(QChar typed) {
  QLineEdit* edit = cmbSearchPath->lineEdit();
  edit->insert(QString(typed));
  const QString text = edit->text().left(edit->cursorPosition());
  const int count = cmbSearchPath->count();
  for (int n = 1; n <= count; ++n) {
    const QString entry = cmbSearchPath->itemText(n % count);
    if (!entry.startsWith(text, Qt::CaseInsensitive)) continue;
    // The entry's own spelling: folder names are case-sensitive here.
    edit->setText(entry);
    edit->setSelection(text.size(), static_cast<int>(entry.size() - text.size()));
    return;
  }
}

void frmAddToLibrary::lblBrowse_Click() {
  FileDialogRequest request;
  request.kind = FileDialogKind::Folder;
  request.title = QStringLiteral("Select a folder or network resource to scan...");
  request.owner = this;
  const FileDialogResult result = ShowFileDialog(request);
  const QString folder = result.accepted && !result.files.isEmpty() ? result.files.first() : QString();
  cmbSearchPath->setEditText(folder.section(QChar(u'\0'), 0, 0));
}

void frmAddToLibrary::SetOtherTag() {
  otherTag_ = QStringLiteral(";") + txtOtherFileTypes->text().replace(QStringLiteral("; "), QStringLiteral(";"));
}

void frmAddToLibrary::chkFindFileType_Click() {
  const bool other = chkFindFileType[4]->isChecked();
  txtOtherFileTypes->setEnabled(other);
  if (other) SetOtherTag();
}

void frmAddToLibrary::chkRelocateFiles_Click() {
  RelocateFiles = chkRelocateFiles->isChecked();
  optImportScope[RelocateFiles ? 0 : 2]->setChecked(true);
  optImportScope_Click(RelocateFiles ? 0 : 2);
  optImportScope[1]->setEnabled(!RelocateFiles);
  optImportScope[2]->setEnabled(!RelocateFiles);
  Picture1->setEnabled(!RelocateFiles);
}

void frmAddToLibrary::optImportScope_Click(int Index) {
  gScanVideoData = Index >= 1;
  gScanMakeThumbnail = Index == 2;
}

// The Other list must be extensions separated by ";": none empty, and no
// wildcard or folder separator in any.
bool frmAddToLibrary::ValidateOtherFileTypes() {
  const QStringList extensions = otherTag_.mid(1).split(QLatin1Char(';'));
  const bool valid = std::all_of(extensions.begin(), extensions.end(), [](const QString& extension) {
    const QString trimmed = extension.trimmed();
    return !trimmed.isEmpty() && !trimmed.contains(QRegularExpression(QStringLiteral("[*?/\\\\]")));
  });
  if (valid) return true;
  ShowProgramMessage(QStringLiteral("There is an error in the Search Pattern you have specified"),
                           vbExclamation, QString(), this);
  txtOtherFileTypes->setFocus();
  return false;
}

QString frmAddToLibrary::BuildFileTypePattern() {
  if (!ValidateOtherFileTypes()) return {};
  QString tags;
  for (int i = 0; i < 5; ++i) {
    if (!chkFindFileType[i]->isChecked()) continue;
    tags += i == 4 ? otherTag_ : QLatin1String(kFileTypeGroups[i].tag);
  }
  tags.replace(QStringLiteral(";"), QStringLiteral(";*."));
  return tags.mid(1);
}

QString frmAddToLibrary::NormaliseSearchPath(const QString& location) {
  QString path = location;
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  if (!path.isEmpty()) path[0] = path.at(0).toUpper();
  return path;
}

// The location typed or chosen, with a trailing "/", in its canonical form
// when the folder exists (links resolved, "." and ".." gone).
QString frmAddToLibrary::Location() const {
  QString location = cmbSearchPath->currentText().trimmed();
  if (!location.endsWith(QLatin1Char('/'))) location += QLatin1Char('/');
  return location;
}

// Resolves the location (links, "." and ".." gone) and identifies the device
// that holds it into gScanDevice; false, after saying why, when it cannot be
// searched. Every call on the location runs within the mount probe's time
// limit, since on a mount whose server went away it would wait for minutes;
// the mount point is found from the path's text, as resolving the path would
// itself wait. A mount that does not answer is not walked.
bool frmAddToLibrary::IdentifyLocation(QString& location) {
  gScanDevice = StorageDevice{};
  // Shares are searched where they are mounted; a path of another platform's
  // share form is no folder here.
  if (location.startsWith(QStringLiteral("\\\\"))) return RefuseLocation(QStringLiteral("Invalid Path."));
  const QString typed = location;
  const std::optional<QString> canonical =
      MountProbe::CallUnder(QString(), [typed] { return QFileInfo(typed).canonicalFilePath(); });
  if (!canonical) return RefuseLocation(QStringLiteral("The drive does not answer: ") + location);
  if (!canonical->isEmpty()) location = canonical->endsWith(QLatin1Char('/')) ? *canonical : *canonical + QLatin1Char('/');
  QString root = MountProbe::MountPointOf(location);
  if (!root.isEmpty() && !root.endsWith(QLatin1Char('/'))) root += QLatin1Char('/');
  const QString folder = location;
  const std::optional<bool> exists =
      root.isEmpty() || MountProbe::RootAnswers(root)
          ? MountProbe::CallUnder(root, [folder] { return modReelwise::FolderExists(folder); })
          : std::nullopt;
  if (!exists) return RefuseLocation(QStringLiteral("The drive does not answer: ") + root);
  if (!*exists) return RefuseLocation(QStringLiteral("Invalid Path."));
  bool allowIdentifier = true;
  gScanDevice = modStorageDevices::ScanStorageDevice(modStorageDevices::MountRootOf(location), allowIdentifier);
  if (gScanDevice.Status == QLatin1String("OK")) return true;
  return RefuseLocation(gScanDevice.Status);
}

bool frmAddToLibrary::RefuseLocation(const QString& status) {
  gScanDevice.Status = status;
  ShowProgramMessage(
      QStringLiteral("Unable to search the selected path. The error returned was:\r\n\r\n") + gScanDevice.Status,
      vbExclamation, QStringLiteral("Invalid Search Location"), this);
  return false;
}

void frmAddToLibrary::lblStart_Click() {
  // As CANCEL, START waits for a valid Other list rather than searching with
  // no pattern at all.
  if (!ValidateOtherFileTypes()) return;
  QString location = Location();
  // A share is searched where it is mounted here.
  if (const auto mounted = cNetShareGetInfo::MountedShare(location)) location = mounted->localPath;
  if (!IdentifyLocation(location)) return;
  modStorageDevices::UpsertFileLocation(gScanDevice);
  const QString searchPath = NormaliseSearchPath(location);
  cmbSearchPath->setEditText(searchPath);
  if (!ScanLocation(searchPath)) {
    RefuseLocation(QStringLiteral("The drive does not answer: ") + searchPath);
    return;
  }
  FilesFound = static_cast<int32_t>(gScanQueue.size());
  if (FilesFound == 0) {
    ShowProgramMessage(QStringLiteral("There are no media files of the selected File Type(s) in\r\nyour "
                                            "chosen location.\r\n\r\nTry another search..."),
                             vbInformation, QStringLiteral("Nothing found!"), this);
  } else {
    gAddingFiles = true;
  }
}

// Walks the location into the queue with the dialog hidden and the main
// window's progress display saying so. The walk runs on a helper thread
// while the window waits as long work does (it paints, and runs nothing of
// its own); one that makes no progress for the mount probe's time limit (a
// server gone away under the walk) is given up, its mount remembered as
// dead, and the answer is false.
bool frmAddToLibrary::ScanLocation(const QString& searchPath) {
  modFolderScan::ScanOptions options;
  options.pattern = BuildFileTypePattern();
  options.recursive = chkRecursive->isChecked();
  const QRect covered = frameGeometry();
  hide();
  host_.ShowBusyIndicator(true);
  host_.Progress().BroadcastProgress(QStringLiteral("Initialising File Scan..."), 0, gSchemeColour4);
  // The window shows without the dialog, and with the progress, before the
  // walk; nothing else is handled in between.
  LongWork::PaintUncovered(covered);
  LongWork::Paint();
  Skipped = modFolderScan::SkippedEntries{};
  QElapsedTimer clock;
  clock.start();
  bool answered = true;
  if (!options.pattern.isEmpty()) answered = WalkWatched(searchPath, options);
  ScanNs = clock.nsecsElapsed();
  host_.ProgressOff();
  if (!answered) MountProbe::MarkDead(MountProbe::MountPointOf(searchPath));
  return answered;
}

// What the walk's thread fills; it keeps it alive when the walk is given up.
struct frmAddToLibrary::Walk {
  QStringList queue;
  modFolderScan::SkippedEntries skipped;
  std::atomic<qint64> steps{0};
  LongWork::Done outcome;
};

bool frmAddToLibrary::WalkWatched(const QString& searchPath, modFolderScan::ScanOptions options) {
  auto walk = std::make_shared<Walk>();
  // The walk yields at least every 50 ms while it reads entries.
  options.yield = [walk] { ++walk->steps; };
  ThreadStart::Start([walk, searchPath, options] {
    modFolderScan::ScanFolder(searchPath, options, walk->queue, walk->skipped);
    walk->outcome.Finish();
  }).detach();
  qint64 seen = -1;
  LongWork::Wait wait;
  while (!wait.For(walk->outcome, MountProbe::kTimeLimitMs)) {
    if (walk->steps == seen) return false;
    seen = walk->steps;
  }
  gScanQueue += walk->queue;
  Skipped = walk->skipped;
  return true;
}

void frmAddToLibrary::lblCancel_Click() {
  if (!ValidateOtherFileTypes()) return;
  FilesFound = -1;
  hide();
}
