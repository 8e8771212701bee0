// The ring's arithmetic: the front card's place and size, front slots of odd
// and even counts, mirrored slots, opacities at rest and while turning, the
// drawing order, one step's frames, frame counts and the entry-count clamp.
#include "carousel/CarouselRing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace CarouselRing;

TEST(CarouselRingTest, ElevenCardsPutTheFrontCardBottomCentreAtFullSize) {
  EXPECT_EQ(FrontSlot(11), 6);
  const Slot front = SlotAt(6, 11, RestPose(11));
  EXPECT_EQ(front.X, 190);
  EXPECT_EQ(front.Y, 53);
  EXPECT_DOUBLE_EQ(front.Width, 100);
  EXPECT_DOUBLE_EQ(front.Height, 170);

  const Box ring = StretchedRing(1280);
  EXPECT_DOUBLE_EQ(ring.X, 100);
  EXPECT_DOUBLE_EQ(ring.Y, 0);
  EXPECT_DOUBLE_EQ(ring.Width, 1080);
  EXPECT_DOUBLE_EQ(ring.Height, 230);
  const Box card = OnCanvas({190, 53, 100, 170}, 1280);
  EXPECT_DOUBLE_EQ(card.X, 527.5);
  EXPECT_DOUBLE_EQ(card.Y, 53);
  EXPECT_DOUBLE_EQ(card.Width, 225);
  EXPECT_DOUBLE_EQ(card.Height, 170);
}

TEST(CarouselRingTest, EvenCountsRoundTheFrontSlotHalfToEven) {
  EXPECT_EQ(FrontSlot(9), 5);
  EXPECT_EQ(FrontSlot(10), 6);
  EXPECT_EQ(FrontSlot(12), 6);
  EXPECT_EQ(FrontSlot(14), 8);
  EXPECT_EQ(FrontSlot(16), 8);
  EXPECT_EQ(FrontSlot(17), 9);
}

TEST(CarouselRingTest, SlotsMirrorEachOtherAndShrinkTowardsTheBack) {
  for (int n = MinEntries; n <= MaxEntries; ++n) {
    const std::vector<Slot> slots = Slots(n, RestPose(n));
    ASSERT_EQ(slots.size(), static_cast<size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
      const Slot& a = slots[static_cast<size_t>(i)];
      const Slot& b = slots[static_cast<size_t>(n + 1 - i)];
      EXPECT_EQ(a.CentreX + b.CentreX, 480) << "n " << n << " slot " << i;
      EXPECT_EQ(a.CentreY, b.CentreY) << "n " << n << " slot " << i;
      EXPECT_DOUBLE_EQ(a.Width, b.Width);
    }
    const int front = FrontSlot(n);
    for (int i = 2; i < front; ++i) {
      EXPECT_LT(slots[static_cast<size_t>(i - 1)].Width, slots[static_cast<size_t>(i)].Width) << "n " << n;
    }
  }
}

TEST(CarouselRingTest, AtRestTheBackSlotsAreHiddenAndTheFrontIsDrawnLastAtFullStrength) {
  const Pose rest = RestPose(11);
  EXPECT_FALSE(IsMoving(11, rest));
  for (int slot = 1; slot <= 11; ++slot) {
    EXPECT_DOUBLE_EQ(SlotOpacity(slot, 11, rest), slot == 1 || slot == 11 ? 0.0 : 1.0) << slot;
  }
  const std::vector<CardDraw> order = DrawOrder(11, rest, 0.4);
  ASSERT_EQ(order.size(), 13u);
  const std::vector<int> slots = {1, 11, 2, 10, 3, 9, 4, 8, 5, 7, 6, 6, 6};
  for (size_t k = 0; k < order.size(); ++k) EXPECT_EQ(order[k].Slot, slots[k]) << k;
  EXPECT_EQ(order[0].Greyness, 0);
  EXPECT_EQ(order[2].Greyness, 78);
  EXPECT_EQ(order[8].Greyness, 125);  // 124.8
  EXPECT_DOUBLE_EQ(order[10].ImageAlpha, 0.4);
  EXPECT_DOUBLE_EQ(order.back().Opacity, 1.0);
  EXPECT_DOUBLE_EQ(order.back().ImageAlpha, 1.0);

  Pose fast = rest;
  fast.FastMode = true;
  EXPECT_EQ(DrawOrder(11, fast, 0.4).size(), 12u);
}

TEST(CarouselRingTest, TurningFadesTheIncomingBackCardInAndTheOutgoingOneOut) {
  Pose up = RestPose(11);
  up.Direction = 1;
  AdvanceFrame(up, 11, 5, 10, false, false);
  ASSERT_TRUE(IsMoving(11, up));
  EXPECT_DOUBLE_EQ(up.StepFraction, 0.5);
  EXPECT_DOUBLE_EQ(SlotOpacity(1, 11, up), 0.4);
  EXPECT_DOUBLE_EQ(SlotOpacity(10, 11, up), 0.4);
  EXPECT_DOUBLE_EQ(SlotOpacity(11, 11, up), 0.0);
  EXPECT_DOUBLE_EQ(SlotOpacity(2, 11, up), 1.0);
  const CardDraw top = DrawOrder(11, up, 0.4).back();
  EXPECT_EQ(top.Slot, 5);
  EXPECT_DOUBLE_EQ(top.Opacity, 0.4);

  Pose down = RestPose(11);
  down.Direction = -1;
  AdvanceFrame(down, 11, 1, 20, false, false);  // StepFraction 0.05
  EXPECT_DOUBLE_EQ(SlotOpacity(11, 11, down), 0.0);  // below 0 counts as 0
  EXPECT_DOUBLE_EQ(SlotOpacity(1, 11, down), 0.0);
  EXPECT_DOUBLE_EQ(SlotOpacity(2, 11, down), 0.85);
  down.LastStep = true;
  EXPECT_EQ(DrawOrder(11, down, 0.4).back().Slot, 7);
  EXPECT_DOUBLE_EQ(DrawOrder(11, down, 0.4).back().ImageAlpha, 0.05);
}

TEST(CarouselRingTest, AStepTurnsOneSlotAndOnlyLongMovesContractAndExpand) {
  Pose neighbour = RestPose(11);
  neighbour.Direction = 1;
  for (int k = 1; k <= 9; ++k) AdvanceFrame(neighbour, 11, k, 10, false, false);
  EXPECT_DOUBLE_EQ(neighbour.RadiusX, 180);
  EXPECT_DOUBLE_EQ(neighbour.RadiusY, 28);
  // The last frame k = M is never drawn; the full slot turn completes there.
  EXPECT_NEAR(neighbour.BaseAngle + AngleStep(11) / 10, RestBaseAngle(11) + AngleStep(11), 1e-12);

  Pose move = RestPose(11);
  move.Direction = -1;
  for (int k = 1; k <= 9; ++k) AdvanceFrame(move, 11, k, 10, true, false);
  EXPECT_DOUBLE_EQ(move.RadiusX, 180 - 4 * 7.5);  // k = 1 .. 4 lie below M \ 2
  EXPECT_DOUBLE_EQ(move.RadiusY, 28 - 4 * 2.0);
  for (int k = 1; k <= 9; ++k) AdvanceFrame(move, 11, k, 10, false, true);
  EXPECT_DOUBLE_EQ(move.RadiusX, 180 - 4 * 7.5 + 5 * 7.5);
}

TEST(CarouselRingTest, FrameCountsFollowTheScrollIncrementsSetting) {
  const FrameCounts ten = FrameCountsFor(10);
  EXPECT_EQ(ten.Frame, 10);
  EXPECT_EQ(ten.Middle, 4);
  EXPECT_EQ(ten.Fast, 3);
  const FrameCounts one = FrameCountsFor(1);
  EXPECT_EQ(one.Frame, 1);
  EXPECT_EQ(one.Middle, 2);
  EXPECT_EQ(one.Fast, 2);
  EXPECT_EQ(FrameCountsFor(0).Frame, 1);
  EXPECT_EQ(FrameCountsFor(-5).Frame, 1);

  EXPECT_EQ(FramesOfStep(ten, 1, 1, 14, true), 10);
  EXPECT_EQ(FramesOfStep(ten, 14, 1, 14, true), 10);
  EXPECT_EQ(FramesOfStep(ten, 5, 1, 14, true), 3);
  EXPECT_EQ(FramesOfStep(ten, 5, 1, 13, false), 4);
}

TEST(CarouselRingTest, EntryCountIsClampedOnlyWhenItChanges) {
  const EntriesChange low = NewEntries(8, 11);
  EXPECT_TRUE(low.Changed);
  EXPECT_EQ(low.Count, 9);
  const EntriesChange high = NewEntries(20, 11);
  EXPECT_TRUE(high.Changed);
  EXPECT_EQ(high.Count, 17);
  EXPECT_EQ(NewEntries(10, 11).Count, 10);
  const EntriesChange same = NewEntries(11, 11);
  EXPECT_FALSE(same.Changed);
  EXPECT_EQ(same.Count, 11);
}

}  // namespace
