#pragma once
// Drag-and-hit areas over a drawn widget: shapes placed by their centre that
// report which one lies under the pointer and follow the pointer while one is
// dragged. Each shape draws as a disc (an ellipse once SetSize makes it
// unequal) of its colour and opacity.
#include "platform/ColorRef.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CairoContext;

class DragShape {
 public:
  // A shape covering a size x size area around (x, y).
  DragShape(const QString& key, double x, double y, COLORREF colour, double size, double opacity);

  const QString& Key() const { return key_; }
  double X() const { return x_; }
  double Y() const { return y_; }
  // Placing the shape from code raises no PositionChanging: only a drag does.
  void SetX(double x) { x_ = x; }
  void SetY(double y) { y_ = y; }
  // The shape now covers a width x height area around its centre.
  void SetSize(double width, double height);
  double Width() const { return width_; }
  double Height() const { return height_; }
  COLORREF Colour() const { return colour_; }
  double Opacity() const { return opacity_; }

  // Starts dragging from the pointer at (x, y): the shape keeps its offset to
  // the pointer until the collection's MouseUp.
  void BeginDrag(double x, double y);
  bool Dragging() const { return dragging_; }

  bool Contains(double x, double y) const;
  void Draw(CairoContext& cc) const;

  // Raised while the shape is dragged, with the position the pointer asks
  // for; the handler may change it, and the shape then goes where it says.
  std::function<void(double& x, double& y)> PositionChanging;

 private:
  friend class DragShapeCollection;
  // Follows the pointer; true when the shape moved.
  bool DragTo(double pointerX, double pointerY);
  void EndDrag() { dragging_ = false; }

  QString key_;
  double x_;
  double y_;
  COLORREF colour_;
  double width_;
  double height_;
  double opacity_;
  bool dragging_ = false;
  double offsetX_ = 0;
  double offsetY_ = 0;
};

class DragShapeCollection {
 public:
  // A new shape on top of the others.
  std::shared_ptr<DragShape> Add(const QString& key, double x, double y, COLORREF colour, double size,
                                 double opacity);
  int Count() const { return static_cast<int>(shapes_.size()); }

  // Processes a pointer position and returns the topmost shape under it, or
  // none. With tracking the pointer really moved: a dragged shape follows it,
  // and changed tells whether a shape moved or the shape under the pointer is
  // another than at the last tracked position. Without tracking it only hits.
  DragShape* MouseMove(double x, double y, bool tracking, bool* changed = nullptr);
  // Ends any drag.
  void MouseUp();
  // Draws the shapes in the order they were added.
  void Draw(CairoContext& cc) const;

 private:
  DragShape* HitTest(double x, double y) const;

  std::vector<std::shared_ptr<DragShape>> shapes_;
  const DragShape* hover_ = nullptr;
};
