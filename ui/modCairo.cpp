#include "ui/modCairo.h"

#include "ui/CairoObject.h"

namespace modCairo {

std::shared_ptr<CairoObject> GetCairo() {
  static std::shared_ptr<CairoObject> cairoObject;
  if (!cairoObject) {
    cairoObject = std::make_shared<CairoObject>();
    cairoObject->Initialise(0);
  }
  return cairoObject;
}

}  // namespace modCairo
