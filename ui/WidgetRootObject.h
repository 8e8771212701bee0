#pragma once
// The root of a widget tree, bound to one Qt widget (a user control or a
// widget form): it paints the control with its back colour and every visible
// widget, and routes the control's mouse input to the widget under the pointer.
#include "ui/WidgetCollection.h"
#include "ui/WidgetObject.h"

#include "platform/ImageSurface.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class CairoContext;
class LibraryTimer;

class WidgetRootObject : public QObject {
  Q_OBJECT

 public:
  WidgetRootObject();
  ~WidgetRootObject() override;

  // Takes over painting and mouse input of the control.
  void BindTo(QWidget* control);
  QWidget* Control() const { return control_; }

  WidgetCollection& Widgets() { return top_.Widgets(); }
  WidgetObject& TopWidget() { return top_; }

  // Back colour as RGB, or -1 for none (only what the widgets draw is seen).
  int32_t BackColour() const { return backColour_; }
  void SetBackColour(int32_t colour);

  // A timer ticking on the user-interface thread.
  std::shared_ptr<LibraryTimer> NewTimer(int intervalMs, bool enabled);

  // Paints the control now, raising W_Paint on every visible widget.
  void Repaint();
  // What the control shows: the back colour and the widgets, drawn now.
  ImageSurfacePtr Render();

  // Raised for every pointer move over the control, in control pixels.
  std::function<void(int button, int shift, double x, double y)> MouseMove;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RenderChildren(WidgetObject& parent, CairoContext& target);
  WidgetObject* HitTest(WidgetObject& parent, double x, double y, double& localX, double& localY);
  void RouteMouse(QEvent* event);
  WidgetObject* Alive(const std::weak_ptr<WidgetObject>& widget) const;
  void SetHover(WidgetObject* widget);

  WidgetObject top_;
  QPointer<QWidget> control_;
  int32_t backColour_ = -1;
  std::weak_ptr<WidgetObject> captured_;
  std::weak_ptr<WidgetObject> hover_;
};
