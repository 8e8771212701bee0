#pragma once
// The options dialog's panel that hosts drawn widgets (the carousel sliders):
// its widget root, made on first use, paints the panel and routes its mouse
// input to the widgets.
#include "ui/WidgetCollection.h"
#include "ui/WidgetRootObject.h"

#include "platform/ColorRef.h"

#include <QWidget>

#include <memory>

class ucCarouselOptionsPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ucCarouselOptionsPanel(QWidget* parent = nullptr);
  ~ucCarouselOptionsPanel() override;

  WidgetRootObject& WidgetRoot();
  WidgetCollection& Widgets() { return WidgetRoot().Widgets(); }
  void SetBackColour(COLORREF colour) { WidgetRoot().SetBackColour(static_cast<int32_t>(colour)); }

 private:
  std::shared_ptr<WidgetRootObject> root_;
};
