#pragma once
// The storage devices that hold the catalogued files. A drive is a mounted
// filesystem, reached through its mount point (LogicalPath, with a trailing
// "/"); it is identified by a serial number from its filesystem UUID or, when
// it has none, by an identifier file written at its root. The library's
// FileLocations table lists the devices known to it, and every file's
// current folder and online state are derived from that table.
#include "devices/StorageDevice.h"

#include <QString>

#include <functional>

namespace modStorageDevices {

inline constexpr const char* kIdentifierFileName = "Reelwise_II_Identifier";

// Identification (modStorageDevices_identify.cpp).
// The device mounted at `path` (a mount point, "/" ended or not). Reads the
// identifier file of a device without serial number, and writes one when
// `allowIdentifierFile` and the user agrees.
StorageDevice ScanStorageDevice(const QString& path, bool& allowIdentifierFile);
// A share "\\server\share\folder": the device of the CIFS/SMB mount that
// holds it here (cNetShareGetInfo::MountedShare); for a share not mounted
// only Status is set, telling why it cannot be used.
StorageDevice GetShareDetails(const QString& path);
// "\\server\share\" in the spelling of a mounted share (server upper case);
// the prefix as given when none matches. `prefix` is turned to upper case.
QString NormaliseShareName(QString& prefix);
// "\\SERVER\share" of the network mount at `path`; for any other path the
// path itself without its trailing "/".
QString GetConnectionRemoteName(const QString& path);
QString GetDriveTypeText(const QString& root);
VolumeDetails GetVolumeDetails(const QString& root);
// The mount point (with a trailing "/") of the mount that holds `path`;
// empty when none does.
QString MountRootOf(const QString& path);

// The identifier file (modStorageDevices_identifier.cpp).
QString ReadDeviceIdentifier(StorageDevice& device, bool& allowWrite);
QString WriteDeviceIdentifier(StorageDevice& device);

// The device table (modStorageDevices_table.cpp).
// The library these operations work on when none is given: the open one.
// Start-up installs a function that names it (nullptr when none is open).
using DeviceTableHostOf = std::function<IDeviceTableHost*()>;
void SetDeviceTableHost(DeviceTableHostOf host);
// Rebuilds FileLocations for the mounts present, then maps the file paths.
void EnumStorageDevices();
void EnumStorageDevices(IDeviceTableHost& library);
// As above for a library whose files' paths and online flags are known to be
// mapped from the FileLocations rows it holds now (`pathsMapped`, a library
// the program left after an open and nothing wrote since): when the rebuilt
// rows are the same, the mapping, which would change nothing, is left out.
// False when the mapping failed (it was reported).
bool EnumStorageDevices(IDeviceTableHost& library, bool pathsMapped);
// Updates the device's row (new LogicalPath, online) or adds one; nothing
// for a device without serial number.
void UpsertFileLocation(StorageDevice& device);
void UpsertFileLocation(IDeviceTableHost& library, const StorageDevice& device);
// Recomputes VideoFiles.CurrentPath and VideoSegments.Online.
void MapFilePaths();
void MapFilePaths(IDeviceTableHost& library);

}  // namespace modStorageDevices
