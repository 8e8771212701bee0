#pragma once
// What is known of a network share by its "\\server\share" name. No server
// is asked on this system: the mount table answers. A CIFS/SMB share mounted
// here from "//server/share" is that share, its mount point the local path;
// a well-formed name of a share not mounted is reported as a share that
// cannot be found (2310), a malformed one with its own failure (123).
// Nothing raises.
#include "platform/MountTable.h"

#include <QString>

#include <cstdint>
#include <optional>

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

  // Where "\\server\share\folder" ("/" separators too) lies here: the
  // CIFS/SMB mount of that share that holds the folder (of several, the one
  // mounted from deepest in the share) and the folder's local path, "/"
  // ended. Server, share and folders match whatever their case.
  struct MountedFolder {
    MountEntry mount;
    QString localPath;
  };
  static std::optional<MountedFolder> MountedShare(const QString& uncPath);

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
