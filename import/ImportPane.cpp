// The import pane: the Abort button and the two record writers of the run.
#include "import/ImportPane.h"

#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"
#include "platform/SqlValue.h"

#include <QDate>

// The button sits over the toolbar's right end but is not its child: the
// toolbar is disabled while a run works, and the button must stay usable.
ImportPane::ImportPane(IImportHost& host, QWidget* toolbar) : host_(host), toolbar_(toolbar) {
  cmdAbortScan = new QPushButton(toolbar->parentWidget());
  cmdAbortScan->setObjectName(QStringLiteral("cmdAbortScan"));
  cmdAbortScan->setText(QStringLiteral("Abort"));
  cmdAbortScan->setVisible(false);
  QObject::connect(cmdAbortScan, &QPushButton::clicked, cmdAbortScan, [this] { cmdAbortScan_Click(); });
}

void ImportPane::ShowAbortButton(bool on) {
  if (on) {
    const QRect bar = toolbar_->geometry();
    cmdAbortScan->setGeometry(bar.right() - 70, bar.top() + 4, 64, bar.height() - 8);
    cmdAbortScan->raise();
  }
  cmdAbortScan->setVisible(on);
}

namespace {

// The parts of a device path "SERIAL:\folder\name": the serial, the folder
// inside the device ("\"-separated, ending "\", empty at the root) and the
// file name.
struct DevicePathParts {
  QString serial;
  QString folder;
  QString name;
};

DevicePathParts SplitDevicePath(const QString& devicePath) {
  DevicePathParts parts;
  const qsizetype colon = devicePath.indexOf(QStringLiteral(":\\"));
  parts.serial = devicePath.left(colon);
  const QString rest = devicePath.mid(colon + 2);
  const qsizetype slash = rest.lastIndexOf(QLatin1Char('\\'));
  parts.folder = rest.left(slash + 1);
  parts.name = rest.mid(slash + 1);
  return parts;
}

}  // namespace

// The name and size are matched exactly and bound as values, so names with
// quotes or any other character match their rows.
std::vector<int32_t> ImportPane::RelocateFileRecord(const QString& devicePath, int64_t size,
                                                    const QString& foundFolder) {
  const DevicePathParts parts = SplitDevicePath(devicePath);
  SqlConnection& db = gLibrary->Connection();
  auto update = db.Prepare(QStringLiteral(
      "UPDATE VideoFiles SET DiskSerialNo = ?, FilePath = ?, CurrentPath = ? WHERE FileName = ? AND FileSize = ?"));
  update->Bind(1, SqlValue(parts.serial));
  update->Bind(2, SqlValue(parts.folder));
  update->Bind(3, SqlValue(foundFolder));
  update->Bind(4, SqlValue(parts.name));
  update->Bind(5, SqlValue(size));
  update->Execute();
  std::vector<int32_t> ids;
  auto rows = db.OpenRecordset(QStringLiteral("SELECT FileID FROM VideoFiles WHERE FileName = %1 AND FileSize = %2")
                                   .arg(SqlQuote(parts.name))
                                   .arg(size));
  for (; !rows->Eof(); rows->MoveNext()) ids.push_back(rows->Value(0).toInt());
  return ids;
}

ResultItem ImportPane::MakeTransientFileRecord(const QString& devicePath, const QString& foundFolder, int64_t size) {
  SqlConnection& db = gLibrary->Connection();
  const DevicePathParts parts = SplitDevicePath(devicePath);
  db.Execute(QStringLiteral(
      "INSERT INTO VideoSegments (FileID, FileFlag, Online, Rating) VALUES (0, 'Y', 1, 0)"));
  const int32_t id = db.LastInsertRowNumber();
  auto segment = db.Prepare(QStringLiteral("UPDATE VideoSegments SET FileID = ? WHERE SegmentID = ?"));
  segment->Bind(1, SqlValue(id));
  segment->Bind(2, SqlValue(id));
  segment->Execute();
  auto file = db.Prepare(QStringLiteral(
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, DateAdded, CurrentPath) "
      "VALUES (?, ?, ?, ?, ?, ?, ?)"));
  file->Bind(1, SqlValue(id));
  file->Bind(2, SqlValue(parts.serial));
  file->Bind(3, SqlValue(parts.folder));
  file->Bind(4, SqlValue(parts.name));
  file->Bind(5, SqlValue(size));
  file->Bind(6, SqlValue(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
  file->Bind(7, SqlValue(foundFolder));
  file->Execute();
  ResultItem record;
  record.SegmentID = -id;
  record.FileID = id;
  record.CurrentPath = foundFolder;
  record.FileName = parts.name;
  return record;
}
