#include "ui/ucCarouselOptionsPanel.h"

#include "ui/CairoObject.h"
#include "ui/modCairo.h"

ucCarouselOptionsPanel::ucCarouselOptionsPanel(QWidget* parent) : QWidget(parent) {}

ucCarouselOptionsPanel::~ucCarouselOptionsPanel() {
  if (root_) root_->BindTo(nullptr);
}

WidgetRootObject& ucCarouselOptionsPanel::WidgetRoot() {
  if (!root_) {
    root_ = modCairo::GetCairo()->NewWidgetRoot();
    root_->BindTo(this);
  }
  return *root_;
}
