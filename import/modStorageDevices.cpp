#include "import/modStorageDevices.h"

namespace modStorageDevices {

void EnumStorageDevices() {}

}  // namespace modStorageDevices
