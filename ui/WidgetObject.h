#pragma once
// A drawn widget of the widget kit: a rectangle in its parent, drawn with
// Cairo when its root paints, receiving mouse input the root routes to it.
// The class that owns a widget (a slider, a tool tip) receives its events
// and never paints outside W_Paint: when its look changes it calls Refresh.
#include <QString>

#include <memory>

class CairoContext;
class WidgetCollection;
class WidgetRootObject;

// Mouse buttons (1 left, 2 right, 4 middle) and shift state (1 Shift, 2 Ctrl,
// 4 Alt) as the events pass them; positions in the widget's own pixels.
class WidgetEvents {
 public:
  virtual ~WidgetEvents() = default;
  virtual void W_Paint(CairoContext& cc, double x, double y, double dx, double dy) {}
  virtual void W_MouseDown(int button, int shift, double x, double y) {}
  virtual void W_MouseMove(int button, int shift, double x, double y) {}
  virtual void W_MouseUp(int button, int shift, double x, double y) {}
  virtual void W_MouseLeave() {}
};

class WidgetObject : public std::enable_shared_from_this<WidgetObject> {
 public:
  WidgetObject();
  ~WidgetObject();
  WidgetObject(const WidgetObject&) = delete;
  WidgetObject& operator=(const WidgetObject&) = delete;

  // The receiver of this widget's events (none: the widget only shows its children).
  void SetEvents(WidgetEvents* events) { events_ = events; }
  WidgetEvents* Events() const { return events_; }

  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const QString& Key() const { return key_; }
  WidgetObject* Parent() const { return parent_; }

  // Places and sizes the widget in its parent, then repaints.
  void Move(double left, double top, double width, double height);
  WidgetCollection& Widgets() { return *children_; }

  // Repaints at once (the root raises W_Paint again) when the widget is on
  // screen; a hidden widget is painted when it is shown.
  void Refresh();
  // Visible up to a root whose control is on screen.
  bool IsShown() const;
  // The root the widget lives in; none while it is not added anywhere.
  WidgetRootObject* Root() const;

 private:
  friend class WidgetCollection;
  friend class WidgetRootObject;

  WidgetEvents* events_ = nullptr;
  double left_ = 0;
  double top_ = 0;
  double width_ = 0;
  double height_ = 0;
  bool visible_ = true;
  QString key_;
  WidgetObject* parent_ = nullptr;
  WidgetRootObject* root_ = nullptr;  // set on a root's own top widget only
  std::unique_ptr<WidgetCollection> children_;
};

// The pattern every widget class follows: it makes its library widget W at
// construction, receives W's events, and offers Widget and Widgets.
class WidgetClass : public WidgetEvents {
 public:
  WidgetClass();
  ~WidgetClass() override;
  WidgetClass(const WidgetClass&) = delete;
  WidgetClass& operator=(const WidgetClass&) = delete;

  WidgetObject& Widget() const { return *W; }
  WidgetCollection& Widgets() const { return W->Widgets(); }

 protected:
  std::shared_ptr<WidgetObject> W;
};
