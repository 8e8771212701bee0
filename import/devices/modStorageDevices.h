#pragma once
// The storage devices of the open library: FileLocations rebuilt for the
// devices present, and every file's current folder and online state.

namespace modStorageDevices {

// Rebuilds the device table and the files' CurrentPath and Online. For now
// it leaves the stored state as it is; the device enumeration comes with the
// storage-device work.
void EnumStorageDevices();

}  // namespace modStorageDevices
