#pragma once
// A top-level window of the widget kit, placed in screen pixels, showing one
// widget root. With the root's back colour -1 only what the widgets draw is
// seen (a tool tip's balloon and glow).
#include "ui/WidgetRootObject.h"

#include <QWidget>

#include <functional>
#include <memory>

class WidgetFormObject {
 public:
  WidgetFormObject();
  ~WidgetFormObject();
  WidgetFormObject(const WidgetFormObject&) = delete;
  WidgetFormObject& operator=(const WidgetFormObject&) = delete;

  WidgetRootObject& WidgetRoot() { return *root_; }
  WidgetCollection& Widgets() { return root_->Widgets(); }
  QWidget* Window() const { return window_.get(); }

  void Move(double left, double top, double width, double height);
  // Shows the form modeless, without taking the focus; the owner, when given,
  // keeps the form above it.
  void Show(bool modal = false, QWidget* owner = nullptr);
  void Close();

  // Raised for pointer moves over the form, in form pixels.
  void SetMouseMove(std::function<void(int button, int shift, double x, double y)> handler);

 private:
  std::unique_ptr<QWidget> window_;
  std::unique_ptr<WidgetRootObject> root_;
};

// The factory the drawing library offers for forms.
class WidgetFormFactory {
 public:
  std::shared_ptr<WidgetFormObject> Create() const { return std::make_shared<WidgetFormObject>(); }
};
