#pragma once
// The drawing library's one object: it makes surfaces, patterns, widgets,
// widget roots and forms, and holds the keyed image list.
#include "ui/CairoImageList.h"
#include "ui/CairoPattern.h"
#include "ui/CairoSurface.h"
#include "ui/WidgetFormObject.h"
#include "ui/WidgetObject.h"
#include "ui/WidgetRootObject.h"

#include <memory>

class CairoObject {
 public:
  // One-time set-up; later calls do nothing.
  void Initialise(int reserved);
  bool Initialised() const { return initialised_; }

  // A new transparent ARGB surface.
  CairoSurfacePtr CreateSurface(int width, int height) const;
  std::shared_ptr<CairoPattern> CreateLinearPattern(double x1, double y1, double x2, double y2) const;
  std::shared_ptr<CairoPattern> CreateRadialPattern(double cx0, double cy0, double r0, double cx1, double cy1,
                                                    double r1) const;

  CairoImageList& ImageList() { return imageList_; }

  std::shared_ptr<WidgetObject> NewWidget() const { return std::make_shared<WidgetObject>(); }
  std::shared_ptr<WidgetRootObject> NewWidgetRoot() const { return std::make_shared<WidgetRootObject>(); }
  const WidgetFormFactory& WidgetForms() const { return forms_; }

 private:
  bool initialised_ = false;
  CairoImageList imageList_;
  WidgetFormFactory forms_;
};
