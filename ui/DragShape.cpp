#include "ui/DragShape.h"

#include "ui/CairoContext.h"

#include <cmath>
#include <numbers>

DragShape::DragShape(const QString& key, double x, double y, COLORREF colour, double size, double opacity)
    : key_(key), x_(x), y_(y), colour_(colour), width_(size), height_(size), opacity_(opacity) {}

void DragShape::SetSize(double width, double height) {
  width_ = width;
  height_ = height;
}

void DragShape::BeginDrag(double x, double y) {
  dragging_ = true;
  offsetX_ = x_ - x;
  offsetY_ = y_ - y;
}

bool DragShape::Contains(double x, double y) const {
  return std::abs(x - x_) <= width_ / 2 && std::abs(y - y_) <= height_ / 2;
}

void DragShape::Draw(CairoContext& cc) const {
  if (width_ <= 0 || height_ <= 0) return;
  cc.Save();
  cc.Translate(x_, y_);
  // An ellipse is a unit circle scaled to the shape's extent.
  cc.Scale(width_ / 2, height_ / 2);
  cc.Arc(0, 0, 1, 0, 2 * std::numbers::pi);
  cc.SetSourceColour(colour_, opacity_);
  cc.Fill();
  cc.Restore();
}

bool DragShape::DragTo(double pointerX, double pointerY) {
  double x = pointerX + offsetX_;
  double y = pointerY + offsetY_;
  if (PositionChanging) PositionChanging(x, y);
  const bool moved = x != x_ || y != y_;
  x_ = x;
  y_ = y;
  return moved;
}

std::shared_ptr<DragShape> DragShapeCollection::Add(const QString& key, double x, double y, COLORREF colour,
                                                    double size, double opacity) {
  shapes_.push_back(std::make_shared<DragShape>(key, x, y, colour, size, opacity));
  return shapes_.back();
}

DragShape* DragShapeCollection::MouseMove(double x, double y, bool tracking, bool* changed) {
  bool anyChange = false;
  if (tracking) {
    for (const auto& shape : shapes_) {
      if (shape->Dragging() && shape->DragTo(x, y)) anyChange = true;
    }
  }
  DragShape* hit = HitTest(x, y);
  if (tracking) {
    if (hit != hover_) anyChange = true;
    hover_ = hit;
  }
  if (changed) *changed = anyChange;
  return hit;
}

void DragShapeCollection::MouseUp() {
  for (const auto& shape : shapes_) shape->EndDrag();
}

void DragShapeCollection::Draw(CairoContext& cc) const {
  for (const auto& shape : shapes_) shape->Draw(cc);
}

// The last added shape lies on top, so it is hit first.
DragShape* DragShapeCollection::HitTest(double x, double y) const {
  for (auto it = shapes_.rbegin(); it != shapes_.rend(); ++it) {
    if ((*it)->Contains(x, y)) return it->get();
  }
  return nullptr;
}
