// The carousel's deferred details in the running program: the tick after a
// move builds the front file's tag list from the library, draws the details
// panel (tags, title, rating, description, file status) and paints the
// canvas on a 1920 x 1080 window. The large library's results are shown in
// the carousel; two of its segments get a tag structure of their own: one
// tag implying a chain 40 tags deep, and 60 tags implying five each.
// Goal: under 50 ms a tick for either.
//
// The floor beside it is the canvas painted alone: what the tick costs
// beyond the tags and the panel.
#include "bench/support/CarouselAlone.h"
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlConnection.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kDeepIndex = 100;
constexpr int kWideIndex = 200;
constexpr int kFirstNewTag = 100000;

void AddTag(SqlConnection& db, int id, const QString& name) {
  auto tag = db.Prepare(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type, CategoryID) VALUES (?, ?, 'T', 5)"));
  tag->Bind(1, id);
  tag->Bind(2, name);
  tag->Execute();
}

void Link(SqlConnection& db, int tag, int linked) {
  auto link = db.Prepare(QStringLiteral("INSERT INTO TagLinks (TagID, LinkedTag, Relationship) VALUES (?, ?, 'P')"));
  link->Bind(1, tag);
  link->Bind(2, linked);
  link->Execute();
}

void TagSegment(SqlConnection& db, int segment, int tag) {
  auto put = db.Prepare(QStringLiteral("INSERT OR IGNORE INTO SegmentTags (SegmentID, TagID) VALUES (?, ?)"));
  put->Bind(1, segment);
  put->Bind(2, tag);
  put->Execute();
}

// Result kDeepIndex: one tag with a chain of 40 above it; result kWideIndex:
// 60 tags, each implying five of its own.
void AddHierarchies() {
  SqlConnection& db = gLibrary->Connection();
  db.Execute(QStringLiteral("BEGIN"));
  int id = kFirstNewTag;
  const int deepSegment = gResults[kDeepIndex].SegmentID;
  for (int depth = 0; depth <= 40; ++depth, ++id) {
    AddTag(db, id, QStringLiteral("Deep tag %1").arg(depth));
    if (depth > 0) Link(db, id - 1, id);
  }
  TagSegment(db, deepSegment, kFirstNewTag);
  const int wideSegment = gResults[kWideIndex].SegmentID;
  for (int t = 0; t < 60; ++t) {
    const int explicitTag = id++;
    AddTag(db, explicitTag, QStringLiteral("Wide tag %1").arg(t));
    TagSegment(db, wideSegment, explicitTag);
    for (int i = 0; i < 5; ++i, ++id) {
      AddTag(db, id, QStringLiteral("Implied %1.%2").arg(t).arg(i));
      Link(db, explicitTag, id);
    }
  }
  db.Execute(QStringLiteral("COMMIT"));
}

CarouselAlone& TheCarousel() {
  static CarouselAlone carousel;
  static const bool added = (AddHierarchies(), true);
  (void)added;
  return carousel;
}

void BM_CarouselDetailsTick(benchmark::State& state) {
  TheCarousel();
  gCarousel->SetCarouselIndex(static_cast<int32_t>(state.range(0)), false, false);
  for (auto _ : state) gCarousel->TimerEvent();
  state.counters["tags"] = gCarousel->HasTags ? 1 : 0;
}
BENCHMARK(BM_CarouselDetailsTick)->Arg(kDeepIndex)->Arg(kWideIndex)->Unit(benchmark::kMillisecond);

void BM_CarouselDetailsFloor(benchmark::State& state) {
  TheCarousel();
  gCarousel->SetCarouselIndex(kDeepIndex, false, false);
  ucCanvas& canvas = TheCarousel().Canvas();
  for (auto _ : state) canvas.Refresh();
}
BENCHMARK(BM_CarouselDetailsFloor)->Unit(benchmark::kMillisecond);

}  // namespace
