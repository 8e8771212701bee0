#include "carousel/CarouselRing.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>

namespace CarouselRing {

namespace {

// Depth scale of a card centred at centreY: 90 % on the ring's top edge,
// 100 % on its bottom edge.
double ScaleAt(double centreY, double radiusY) {
  return ((centreY - (CentreY - radiusY)) * ScaleSlope + MinScalePercent) * 0.01;
}

// How far a card drawn at loop position i is blended towards grey.
int32_t GreynessAt(int i) { return CLng((1.0 - 1.0 / i) * 156); }

double NotBelowZero(double value) { return std::max(0.0, value); }

}  // namespace

int FrontSlot(int entries) { return static_cast<int>(RoundHalfEven((entries + 1) / 2.0)); }

double AngleStep(int entries) { return 2 * Pi / entries; }

double RestBaseAngle(int entries) { return Pi / 2 - AngleStep(entries) / 2; }

Pose RestPose(int entries) {
  Pose pose;
  pose.BaseAngle = RestBaseAngle(entries);
  return pose;
}

bool IsMoving(int entries, const Pose& pose) { return pose.BaseAngle != RestBaseAngle(entries); }

Slot SlotAt(int slot, int entries, const Pose& pose) {
  Slot place;
  place.Angle = slot * AngleStep(entries) + pose.BaseAngle;
  place.CentreX = CLng(-std::cos(place.Angle) * pose.RadiusX + CentreX);
  place.CentreY = CLng(-std::sin(place.Angle) * pose.RadiusY + CentreY);
  const double scale = ScaleAt(place.CentreY, pose.RadiusY);
  place.Width = scale * CardWidth;
  place.Height = scale * CardHeight;
  place.X = CLng(place.CentreX - place.Width * 0.5);
  place.Y = CLng(place.CentreY - place.Height * 0.5);
  return place;
}

std::vector<Slot> Slots(int entries, const Pose& pose) {
  std::vector<Slot> slots(static_cast<size_t>(entries) + 1);
  for (int i = 1; i <= entries; ++i) slots[static_cast<size_t>(i)] = SlotAt(i, entries, pose);
  return slots;
}

double SlotOpacity(int slot, int entries, const Pose& pose) {
  const bool moving = IsMoving(entries, pose);
  const double fadingIn = pose.StepFraction - 0.1;
  const double fadingOut = 1 - (pose.StepFraction + 0.1);
  if (slot == 1) return moving && pose.Direction == 1 ? NotBelowZero(fadingIn) : 0.0;
  if (slot == entries) return moving && pose.Direction == -1 ? NotBelowZero(fadingIn) : 0.0;
  if (slot == 2 && moving && pose.Direction == -1) return NotBelowZero(fadingOut);
  if (slot == entries - 1 && moving && pose.Direction == 1) return NotBelowZero(fadingOut);
  return 1.0;
}

std::vector<CardDraw> DrawOrder(int entries, const Pose& pose, double imageAlpha) {
  std::vector<CardDraw> order;
  const int front = FrontSlot(entries);
  for (int i = 1; i <= front; ++i) {
    for (int slot : {i, entries + 1 - i}) {
      order.push_back({slot, SlotOpacity(slot, entries, pose), imageAlpha, GreynessAt(i)});
    }
  }
  if (pose.FastMode) return order;
  if (!IsMoving(entries, pose)) {
    order.push_back({front, 1.0, 1.0, GreynessAt(front)});
  } else {
    const double alpha = pose.LastStep ? pose.StepFraction : 0.4;
    order.push_back({front - pose.Direction, NotBelowZero(pose.StepFraction - 0.1), alpha, GreynessAt(front)});
  }
  return order;
}

Box StretchedRing(int canvasWidth) { return {100, 0, static_cast<double>(canvasWidth - 200), SurfaceHeight}; }

Box OnCanvas(const Box& onRing, int canvasWidth) {
  const Box ring = StretchedRing(canvasWidth);
  const double sx = ring.Width / SurfaceWidth;
  const double sy = ring.Height / SurfaceHeight;
  return {ring.X + onRing.X * sx, ring.Y + onRing.Y * sy, onRing.Width * sx, onRing.Height * sy};
}

FrameCounts FrameCountsFor(int scrollIncrements) {
  FrameCounts counts;
  counts.Frame = std::max(1, scrollIncrements);
  counts.Middle = counts.Frame / 4 + 2;
  counts.Fast = counts.Middle / 2 + 1;
  return counts;
}

int FramesOfStep(const FrameCounts& counts, int32_t index, int32_t start, int32_t stop, bool fastMode) {
  if (index == start || index == stop) return counts.Frame;
  return fastMode ? counts.Fast : counts.Middle;
}

void AdvanceFrame(Pose& pose, int entries, int k, int frames, bool contract, bool expand) {
  const int half = frames / 2;
  if (contract && k < half) {
    pose.RadiusX -= 75.0 / frames;
    pose.RadiusY -= 20.0 / frames;
  }
  if (expand && k >= half) {
    pose.RadiusX += 75.0 / frames;
    pose.RadiusY += 20.0 / frames;
  }
  pose.StepFraction = static_cast<double>(k) / frames;
  pose.BaseAngle += AngleStep(entries) / frames * pose.Direction;
}

EntriesChange NewEntries(int requested, int current) {
  if (requested == current) return {false, current};
  return {true, std::clamp(requested, MinEntries, MaxEntries)};
}

}  // namespace CarouselRing
