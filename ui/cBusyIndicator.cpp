#include "ui/cBusyIndicator.h"

std::unique_ptr<cBusyIndicator> gBusyIndicator;

void cBusyIndicator::Show(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, QWidget* canvas) {
  canvas_ = canvas;
  showing_ = true;
}

void cBusyIndicator::Hide() {
  showing_ = false;
  canvas_ = nullptr;
}
