#pragma once
// The carousel's ring as arithmetic only: where each card sits on the
// 480 x 230 ring surface, how large and how opaque it is, in which order the
// cards are drawn, how a scroll frame turns the ring, how many frames a move
// takes and how many cards the ring may hold. No drawing happens here; the
// carousel feeds these figures to the card painter and the canvas.
#include <cstdint>
#include <vector>

namespace CarouselRing {

constexpr double Pi = 3.14159265358979;

// The ring surface and the ellipse the card centres run on.
constexpr int SurfaceWidth = 480;
constexpr int SurfaceHeight = 230;
constexpr double CentreX = 240;
constexpr double CentreY = 110;
constexpr double RestRadiusX = 180;  // 380 / 2 - 10
constexpr double RestRadiusY = 28;
// Card size at the front; cards at the back are scaled down to 90 %.
constexpr double CardWidth = 100;
constexpr double CardHeight = 170;
constexpr double MinScalePercent = 90;
constexpr double ScaleSlope = (100.0 - 90.0) / (2 * 28.0);

// How many cards the ring holds, and the count when none is set.
constexpr int MinEntries = 9;
constexpr int MaxEntries = 17;
constexpr int DefaultEntries = 11;

// The slot that shows the current result: (N + 1) / 2, half to even.
int FrontSlot(int entries);
// The angle between neighbouring slots.
double AngleStep(int entries);
// The ring's turn at rest, which puts the front slot at the bottom centre.
double RestBaseAngle(int entries);

// The ring's state during a scroll; RestPose gives it between moves.
struct Pose {
  double BaseAngle = 0;
  double RadiusX = RestRadiusX;
  double RadiusY = RestRadiusY;
  int Direction = 0;          // -1 towards lower indexes, +1 higher, 0 none
  double StepFraction = 0;    // k / M within the current step, 0 at rest
  bool FastMode = false;      // a long move skipping its middle
  bool LastStep = false;      // the step that lands on the target
};
Pose RestPose(int entries);
// True while the ring is turned away from its rest angle.
bool IsMoving(int entries, const Pose& pose);

// One slot's place on the ring surface.
struct Slot {
  double Angle = 0;
  int32_t CentreX = 0;
  int32_t CentreY = 0;
  double Width = 0;   // card size after depth scaling
  double Height = 0;
  int32_t X = 0;      // top-left corner of the card
  int32_t Y = 0;
};
// Slot `slot` (1 .. entries) of a ring in `pose`.
Slot SlotAt(int slot, int entries, const Pose& pose);
// Slots 1 .. entries, index 0 unused, as the carousel keeps them.
std::vector<Slot> Slots(int entries, const Pose& pose);

// A card's opacity: the two back slots are hidden at rest; while moving the
// one coming round fades in and the one going behind fades out. Never below 0.
double SlotOpacity(int slot, int entries, const Pose& pose);

// One card as handed to the card painter, in drawing order.
struct CardDraw {
  int Slot = 0;
  double Opacity = 0;
  double ImageAlpha = 0;  // opacity of the thumbnail on the card
  int32_t Greyness = 0;   // 0 .. 156: how far the card colour is blended to grey
};
// Back to front, each pair of mirrored slots in turn (the middle drawn twice),
// then, unless in fast mode, the front once more on top at full strength.
// `imageAlpha` is the thumbnails' opacity on the cards behind the front.
std::vector<CardDraw> DrawOrder(int entries, const Pose& pose, double imageAlpha);

// A rectangle in canvas or ring-surface pixels.
struct Box {
  double X = 0;
  double Y = 0;
  double Width = 0;
  double Height = 0;
};
// Where the ring surface is stretched on a canvas of `canvasWidth`:
// x 100, y 0, width canvasWidth - 200, height 230.
Box StretchedRing(int canvasWidth);
// A rectangle of the ring surface as it lands on the canvas.
Box OnCanvas(const Box& onRing, int canvasWidth);

// Frames per step of a move, from the "ScrollIncrements" setting S (below 1
// counts as 1): S for the first and last steps, S\4+2 in the middle, and
// (S\4+2)\2+1 in the middle of a fast move.
struct FrameCounts {
  int Frame = 1;
  int Middle = 2;
  int Fast = 2;
};
FrameCounts FrameCountsFor(int scrollIncrements);
// Frames M of the step at `index` in a move from `start` to `stop`.
int FramesOfStep(const FrameCounts& counts, int32_t index, int32_t start, int32_t stop, bool fastMode);

// Frame k (1 .. frames - 1) of a step: the ring contracts over the first
// half of a move's first step, expands over the second half of its last,
// and turns by one slot over the step. `contract`/`expand` are False for a
// move to a neighbour, which keeps its radii.
void AdvanceFrame(Pose& pose, int entries, int k, int frames, bool contract, bool expand);

// A new ring size: unchanged when equal to the current one (no clamp, no
// store); else clamped to 9 .. 17 and to be stored.
struct EntriesChange {
  bool Changed = false;
  int Count = DefaultEntries;
};
EntriesChange NewEntries(int requested, int current);

}  // namespace CarouselRing
