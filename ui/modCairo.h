#pragma once
// The shared drawing object of the process, made on first use.
#include <memory>

class CairoObject;

namespace modCairo {

// The one CairoObject (set up once); every call hands out the same object.
std::shared_ptr<CairoObject> GetCairo();

}  // namespace modCairo
