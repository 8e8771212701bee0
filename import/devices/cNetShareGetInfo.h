#pragma once
// What is known of a network share by its "\\server\share" name. No server
// is asked on this system: a well-formed name is reported as a share that
// cannot be found (2310), a malformed one with its own failure (123), so
// callers treat every share row of a library as offline. Nothing raises.
#include <QString>

#include <cstdint>

struct MountEntry;

class cNetShareGetInfo {
 public:
  int32_t NET_API_STATUS() const { return status_; }
  QString strLastError() const { return lastError_; }
  int32_t nLastError() const { return lastErrorNumber_; }
  QString strPath() const { return path_; }
  int32_t nMax_uses() const { return maxUses_; }
  int32_t nCurrent_uses() const { return currentUses_; }
  QString strRemark() const { return remark_; }
  int32_t nType() const { return type_; }
  QString strType() const;
  QString strNetName() const { return netName_; }
  QString strServer() const { return server_; }

  void Initialize();
  void GetInfo(const QString& uncPath);
  // The device the mount at `drive` (a mount point) comes from: its source.
  QString GetNtDeviceNameForDrive(const QString& drive);
  // For a mount of a folder of a filesystem (a bind mount, a subvolume):
  // ":" and that folder with "\" separators (":\Videos"); empty otherwise.
  QString SUBST_Mapping(const QString& drive);
  // The same for a mount already read.
  static QString FolderMapping(const MountEntry& mount);

 private:
  void Fail(int32_t number, const QString& text);

  int32_t status_ = 0;
  QString lastError_;
  int32_t lastErrorNumber_ = 0;
  QString path_;
  int32_t maxUses_ = 0;
  int32_t currentUses_ = 0;
  QString remark_;
  int32_t type_ = 0;
  QString netName_;
  QString server_;
};
