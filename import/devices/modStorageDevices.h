#pragma once
// The storage devices of the open library: FileLocations rebuilt for the
// devices present, and every file's current folder and online state.

namespace modStorageDevices {

// Rebuilds the device table and the files' CurrentPath and Online. Until the
// storage devices are built: leaves the stored state as it is.
void EnumStorageDevices();

}  // namespace modStorageDevices
