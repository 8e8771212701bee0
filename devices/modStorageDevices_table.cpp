// The library's device table, FileLocations, rebuilt for the mounts present,
// and every file's current folder and online state derived from it.
#include "core/ProgramMessage.h"
#include "devices/modStorageDevices.h"
#include "platform/ErrorGuard.h"
#include "platform/MountProbe.h"
#include "platform/MountTable.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <functional>
#include <set>
#include <tuple>
#include <vector>

namespace modStorageDevices {

namespace {

DeviceTableHostOf& InstalledHost() {
  static DeviceTableHostOf host;
  return host;
}

IDeviceTableHost* OpenLibrary() {
  const DeviceTableHostOf& host = InstalledHost();
  return host ? host() : nullptr;
}

ErrorGuard RebuildGuard() {
  return ErrorGuard({.title = QStringLiteral("Processing Storage Devices"),
                     .style = vbExclamation,
                     .owner = ProgramMessageOwner(),
                     .text = ErrorGuard::Numbered(QStringLiteral(" "))});
}

// A failing statement of the rebuild is reported and the next one runs. A
// full disk or a library file that cannot be written ends the rebuild, so
// that it is undone whole and told once.
void RebuildStep(ErrorGuard& guard, const std::function<void()>& step) {
  try {
    step();
  } catch (const RWError& error) {
    guard.Failed(error);
  } catch (const std::exception& error) {
    guard.Failed(RWError(kErrInternal, QString::fromLocal8Bit(error.what())));
  }
}

// Every mount that holds files, each filesystem folder once: a filesystem
// mounted twice at the same folder keeps its first mount point.
QStringList DriveRoots() {
  QStringList roots;
  std::set<std::tuple<unsigned, unsigned, QString>> seen;
  for (const MountEntry& mount : MountTable::Drives()) {
    if (!seen.insert({mount.major, mount.minor, mount.root}).second) continue;
    roots << (mount.mountPoint.endsWith(QLatin1Char('/')) ? mount.mountPoint : mount.mountPoint + QLatin1Char('/'));
  }
  return roots;
}

// Rows of drives lose their folder rows (substituted drives), keeping a root
// row for a device that had only folder rows; every row starts offline.
void ResetDriveRows(SqlConnection& db, ErrorGuard& guard) {
  for (const char* sql :
       {"INSERT INTO FileLocations SELECT DiskSerialNo, DiskLabel, ':\\', LogicalPath, DiskType, FriendlyName, 0 "
        "FROM FileLocations WHERE substr(LogicalPath, 1, 2) <> '\\\\' AND DiskSerialNo NOT IN (SELECT DiskSerialNO "
        "FROM FileLocations WHERE PhysicalPath = ':\\') GROUP BY DiskSerialNo",
        "DELETE FROM FileLocations WHERE PhysicalPath != ':\\' AND substr(LogicalPath, 1, 2) <> '\\\\'",
        "UPDATE FileLocations SET Online = 0"}) {
    RebuildStep(guard, [&] { db.Execute(QString::fromLatin1(sql)); });
  }
}

void ScanDriveRoots(IDeviceTableHost& library, ErrorGuard& guard) {
  for (const QString& root : DriveRoots()) {
    // A mount whose server has gone away would hang the window: it counts
    // as absent this time.
    if (!MountProbe::RootAnswers(root)) continue;
    bool allowWrite = false;
    const StorageDevice device = ScanStorageDevice(root, allowWrite);
    RebuildStep(guard, [&] { UpsertFileLocation(library, device); });
  }
}

struct ShareRow {
  QString serial, label, physical, logical;
};

QString ShareChangeMessage(const ShareRow& row, const StorageDevice& device) {
  QString message;
  if (row.serial != device.DiskSerialNo) {
    message = QStringLiteral("The share '%1' no longer refers to the device '%2'").arg(row.logical, row.serial);
  }
  if (row.physical != device.PhysicalPath) {
    message += QStringLiteral("The share '%1' no longer refers to the path '%2'").arg(row.logical, row.physical);
  }
  return message;
}

void TellShareChanged(const QString& message) {
  ShowProgramMessage(message + QStringLiteral("\r\n\r\nReelwise II has updated its data to reflect the current "
                                              "details for this share.\r\n\r\nAs a result, it is possible that "
                                              "some files will be 'offline', unless those files are\r\nreferenced "
                                              "by an alternative share or drive mapping."),
                     vbInformation, QStringLiteral("Problem with Existing Network Share"), ProgramMessageOwner());
}

// Share rows ("\\server\share\") are asked for again; one that cannot be
// asked stays offline without a word. A share mounted here is known by the
// serial of its mount, while the row of a library made on another platform
// holds the serial its server gave: such a row is another identity and is
// left as it is (rewriting it would cut its files off from any device).
void RecheckShareRows(SqlConnection& db, ErrorGuard& guard) {
  std::vector<ShareRow> rows;
  RebuildStep(guard, [&] {
    SqlRecordset rs(db, QStringLiteral("SELECT DiskSerialNo, DiskLabel, PhysicalPath, LogicalPath FROM "
                                       "FileLocations WHERE substr(LogicalPath, 1, 2) = '\\\\'"));
    for (; !rs.Eof(); rs.MoveNext()) {
      rows.push_back({rs.Value(0).toString(), rs.Value(1).toString(), rs.Value(2).toString(), rs.Value(3).toString()});
    }
  });
  for (const ShareRow& row : rows) {
    const StorageDevice device = GetShareDetails(row.logical);
    if (device.Status != QLatin1String("OK") || device.DiskSerialNo != row.serial) continue;
    const QString message = ShareChangeMessage(row, device);
    RebuildStep(guard, [&] {
      SqlCommand update(db, QStringLiteral("UPDATE FileLocations SET DiskSerialNo = ?1, LogicalPath = ?2, "
                                           "PhysicalPath = ?3, DiskLabel = ?4, Online = 1 WHERE DiskSerialNo = ?5 "
                                           "AND PhysicalPath = ?6 AND LogicalPath = ?7"));
      const QString values[] = {device.DiskSerialNo, device.LogicalPath, device.PhysicalPath, device.DiskLabel,
                                row.serial,          row.physical,       row.logical};
      for (int i = 0; i < 7; ++i) update.Bind(i + 1, values[i]);
      update.Execute();
    });
    if (!message.isEmpty()) TellShareChanged(message);
  }
}

// The statements of the mapping. A file's folder comes from the online row of
// its device whose PhysicalPath is exactly the start of ":\" and its
// FilePath (the root row before folder rows, then the longest): that start
// is replaced by the row's LogicalPath and "\" by "/". A file without one
// reads "[Offline] ", its device's friendly name or label, ":\" and its
// FilePath; a file whose device has no row at all gets no path. A segment
// is online when its file has a folder. The new values are worked out once
// per folder of a device (files share their folders), and only rows whose
// values change are written, so a rebuild that finds every device as it was
// writes nothing. The folders are read off the rows in one pass: through the
// index of devices, each row would be looked up for its folder. The files of
// a device whose folders are all online are taken through the index of
// devices, without looking up each file's folder; only a device with some
// folders online and some not needs that look-up (a file with no device
// serial has no device row, so it is never online).
const char* const kMappingStatements[] = {
    "DROP TABLE IF EXISTS temp.MappedFolders",
    "DROP TABLE IF EXISTS temp.OnlineFiles",
    "CREATE TEMP TABLE MappedFolders (DiskSerialNo, FilePath, Path, Shown, PRIMARY KEY (DiskSerialNo, FilePath))",
    "CREATE TEMP TABLE OnlineFiles (FileID INTEGER PRIMARY KEY)",
    "INSERT INTO temp.MappedFolders SELECT F.DiskSerialNo, F.FilePath, F.Path, COALESCE(F.Path, (SELECT '[Offline] "
    "' || IFNULL(FriendlyName, DiskLabel) || ':\\' || F.FilePath FROM FileLocations FL WHERE FL.DiskSerialNo = "
    "F.DiskSerialNo)) FROM (SELECT D.DiskSerialNo, D.FilePath, (SELECT SD.LogicalPath || replace(substr(':\\' || "
    "D.FilePath, length(SD.PhysicalPath) + 1), '\\', '/') FROM FileLocations SD WHERE SD.DiskSerialNo = "
    "D.DiskSerialNo AND SD.Online = 1 AND substr(':\\' || D.FilePath, 1, length(SD.PhysicalPath)) = SD.PhysicalPath "
    "ORDER BY SD.PhysicalPath <> ':\\', length(SD.PhysicalPath) DESC LIMIT 1) AS Path FROM (SELECT DISTINCT "
    "DiskSerialNo, FilePath FROM VideoFiles NOT INDEXED) D) F",
    "UPDATE VideoFiles SET CurrentPath = M.Shown FROM temp.MappedFolders M WHERE M.DiskSerialNo IS "
    "VideoFiles.DiskSerialNo AND M.FilePath IS VideoFiles.FilePath AND VideoFiles.CurrentPath IS NOT M.Shown",
    "INSERT INTO temp.OnlineFiles SELECT FileID FROM VideoFiles WHERE DiskSerialNo IN (SELECT DiskSerialNo FROM "
    "temp.MappedFolders GROUP BY DiskSerialNo HAVING count(Path) = count(*))",
    "INSERT INTO temp.OnlineFiles SELECT VF.FileID FROM VideoFiles VF JOIN temp.MappedFolders M ON M.DiskSerialNo IS "
    "VF.DiskSerialNo AND M.FilePath IS VF.FilePath WHERE M.Path IS NOT NULL AND VF.DiskSerialNo IN (SELECT "
    "DiskSerialNo FROM temp.MappedFolders GROUP BY DiskSerialNo HAVING count(Path) BETWEEN 1 AND count(*) - 1)",
    "UPDATE VideoSegments SET Online = (FileID IN temp.OnlineFiles) WHERE Online IS NOT (FileID IN temp.OnlineFiles)",
    "DROP TABLE temp.MappedFolders",
    "DROP TABLE temp.OnlineFiles"};

void ReportMappingFailure(const RWError& error) {
  ShowProgramMessage(QStringLiteral("There was a problem mapping your files to their current locations. As a "
                                    "result,\r\nthe Online status of some or all of your files may be incorrectly "
                                    "reported.\r\n\r\nYou are advised to report this problem to the program's "
                                    "author.\r\n\r\n%1")
                         .arg(ErrorGuard::InOwnWords(
                             error, QStringLiteral("%1 - %2").arg(error.Number()).arg(error.Description()))),
                     vbCritical, QStringLiteral("Mapping Failed"), ProgramMessageOwner());
}

// The device rows as one text, in a fixed order; empty when they cannot be read.
QString LocationRows(SqlConnection& db) {
  try {
    auto rs = db.OpenRecordset(QStringLiteral(
        "SELECT quote(DiskSerialNo) || ',' || quote(DiskLabel) || ',' || quote(PhysicalPath) || ',' || "
        "quote(LogicalPath) || ',' || quote(DiskType) || ',' || quote(FriendlyName) || ',' || quote(Online) "
        "FROM FileLocations ORDER BY 1"));
    QString text = QStringLiteral("rows:");
    for (; !rs->Eof(); rs->MoveNext()) text += rs->Value(0).toString() + QLatin1Char('\n');
    return text;
  } catch (const RWError&) {
    return QString();
  }
}

// False when a statement failed; what was done before it is kept, except
// after a full disk or a library file that cannot be written, which undoes
// the mapping whole and is told through the guard.
bool MapPaths(IDeviceTableHost& library, ErrorGuard& guard) {
  SqlConnection& db = library.DeviceTableConnection();
  bool mapped = false;
  guard.Run([&] {
    TransactionGuard transaction(db, QStringLiteral("Mappings"));
    try {
      for (const char* sql : kMappingStatements) {
        db.Execute(QString::fromLatin1(sql));
        library.DeviceWorkGoesOn();
      }
      mapped = true;
    } catch (const RWError& error) {
      transaction.Commit();
      ReportMappingFailure(error);
      return;
    }
    transaction.Commit();
  });
  return mapped;
}

}  // namespace

void SetDeviceTableHost(DeviceTableHostOf host) { InstalledHost() = std::move(host); }

void EnumStorageDevices() {
  if (IDeviceTableHost* library = OpenLibrary()) EnumStorageDevices(*library);
}

void EnumStorageDevices(IDeviceTableHost& library) { EnumStorageDevices(library, false); }

bool EnumStorageDevices(IDeviceTableHost& library, bool pathsMapped) {
  SqlConnection& db = library.DeviceTableConnection();
  const QString before = pathsMapped ? LocationRows(db) : QString();
  library.ShowDeviceProgress(QStringLiteral("Enumerating Storage Devices..."));
  ErrorGuard guard = RebuildGuard();
  // The rows are stored whole or not at all: a library that cannot be
  // written keeps the rows and the file paths it had. A rebuild that finds
  // every device as it was (told by the rows, when the paths were mapped
  // from them) is undone: on its own, it leaves the file unwritten.
  bool unchanged = false;
  const bool rebuilt = guard.Run([&] {
    TransactionGuard whole(db, QStringLiteral("DeviceTable"));
    {
      TransactionGuard transaction(db, QStringLiteral("EnumStorageDevices"));
      ResetDriveRows(db, guard);
      transaction.Commit();
    }
    {
      TransactionGuard transaction(db, QStringLiteral("EnumStorageDevices"));
      ScanDriveRoots(library, guard);
      RecheckShareRows(db, guard);
      transaction.Commit();
    }
    unchanged = !before.isEmpty() && LocationRows(db) == before;
    if (unchanged) {
      whole.Rollback();
    } else {
      whole.Commit();
    }
  });
  if (!rebuilt || unchanged) {
    library.DeviceProgressOff();
    return rebuilt;
  }
  library.ShowDeviceProgress(QStringLiteral("Mapping File Paths..."));
  const bool mapped = MapPaths(library, guard);
  library.DeviceProgressOff();
  return mapped;
}

void UpsertFileLocation(StorageDevice& device) {
  if (IDeviceTableHost* library = OpenLibrary()) UpsertFileLocation(*library, device);
}

void UpsertFileLocation(IDeviceTableHost& library, const StorageDevice& device) {
  if (device.DiskSerialNo.isEmpty()) return;
  SqlConnection& db = library.DeviceTableConnection();
  SqlCommand update(db, QStringLiteral("UPDATE FileLocations SET LogicalPath = ?1, Online = 1 WHERE DiskSerialNo = "
                                       "?2 AND PhysicalPath = ?3"));
  update.Bind(1, device.LogicalPath);
  update.Bind(2, device.DiskSerialNo);
  update.Bind(3, device.PhysicalPath);
  if (update.Execute() > 0) return;
  SqlCommand insert(db, QStringLiteral("INSERT INTO FileLocations (DiskSerialNo, LogicalPath, PhysicalPath, "
                                       "DiskType, DiskLabel, Online) VALUES (?1, ?2, ?3, ?4, ?5, 1)"));
  const QString values[] = {device.DiskSerialNo, device.LogicalPath, device.PhysicalPath, device.DiskType,
                            device.DiskLabel};
  for (int i = 0; i < 5; ++i) insert.Bind(i + 1, values[i]);
  insert.Execute();
}

void MapFilePaths() {
  if (IDeviceTableHost* library = OpenLibrary()) MapFilePaths(*library);
}

void MapFilePaths(IDeviceTableHost& library) {
  ErrorGuard guard = RebuildGuard();
  MapPaths(library, guard);
}

}  // namespace modStorageDevices
