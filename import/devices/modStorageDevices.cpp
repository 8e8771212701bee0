#include "import/devices/modStorageDevices.h"

namespace modStorageDevices {

void EnumStorageDevices() {}

}  // namespace modStorageDevices
