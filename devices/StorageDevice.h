#pragma once
// The records by which the program names a storage device, and what the
// device-table code needs of the open library.
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
};
