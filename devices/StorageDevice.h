#pragma once
// The records by which the program names a storage device, the texts of its
// types, and what the device-table code needs of the open library.
#include <QString>

class SqlConnection;

// A storage device as the program knows it; the fields but Status are the
// columns of the library's FileLocations table. LogicalPath is native (a
// mount point with a trailing "/"); PhysicalPath is where LogicalPath lies
// inside the device, ":\" plus the folder with "\" separators.
struct StorageDevice {
  QString DiskSerialNo;  // upper-case hex serial, or the identifier file's text; empty: unidentified
  QString DiskLabel;     // "(no label)" for a blank label
  QString DiskType;      // GetDriveTypeText's text
  QString LogicalPath;
  QString PhysicalPath;
  QString Status;        // "OK", or why the device cannot be used
};

// The device types GetDriveTypeText gives and the device table stores in
// DiskType; the tree and the inspector choose a device's picture by them, so
// they compare against these same texts.
namespace DriveType {
inline constexpr char kRemovable[] = "Removable drive";
inline constexpr char kFixed[] = "Fixed Disk";
inline constexpr char kNetwork[] = "Remote (network) drive";
inline constexpr char kOptical[] = "Optical drive (CD or DVD)";
inline constexpr char kRamDisk[] = "RAM Disk";
}  // namespace DriveType

struct VolumeDetails {
  QString RootPath;
  QString SerialHex;
  QString Label;
};

// The open library as the device table sees it: its connection and the main
// window's progress display.
class IDeviceTableHost {
 public:
  virtual ~IDeviceTableHost() = default;
  virtual SqlConnection& DeviceTableConnection() = 0;
  virtual void ShowDeviceProgress(const QString& caption) = 0;
  virtual void DeviceProgressOff() = 0;
  // Between the steps of the mapping: long work may let the window paint.
  virtual void DeviceWorkGoesOn() {}
};
