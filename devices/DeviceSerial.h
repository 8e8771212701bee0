#pragma once
// How a mounted filesystem is named as a storage device: the 32-bit serial
// number from its UUID (the values FAT, exFAT and NTFS volumes were known by
// on the platform where libraries were first made, so those libraries find
// their disks again), and the server, share and folder of a network mount.
#include <QString>

#include <cstdint>
#include <optional>

struct MountEntry;

namespace DeviceSerial {

// The serial of a filesystem of type `fsType` with `uuid`: FAT and exFAT
// "1A2B-3C4D" -> 0x1A2B3C4D; NTFS the low 32 bits; ext2/3/4, btrfs and xfs
// the first eight hex digits; any other UUID hashed (FNV-1a, never 0).
// Nothing for an empty UUID or one that does not read as its type's form.
std::optional<uint32_t> FromUuid(const QString& fsType, const QString& uuid);
// FNV-1a-32 of the text's UTF-8 bytes; 1 where the hash is 0.
uint32_t Hash(const QString& text);
// Upper-case hexadecimal without leading zeros ("0" for 0).
QString Hex(uint32_t serial);

// A network mount as a share: "\\SERVER\share" for CIFS; for NFS and sshfs
// the server alone identifies the device and the export's path is the
// folder on it.
struct RemoteMount {
  QString server;   // upper case
  QString share;    // CIFS: the share; NFS, sshfs: the last folder of the path (the server when none)
  QString folder;   // the folder below the share (CIFS) or the server's root, with "\" separators, no
                    // leading or trailing "\" ("" for the root)
  uint32_t serial = 0;
};
std::optional<RemoteMount> RemoteOf(const MountEntry& mount);

}  // namespace DeviceSerial
