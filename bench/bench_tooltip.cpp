// The rich tool tip's first tick on the large library with its deep and wide
// tag hierarchy: measuring (with the library's segment tag structure) and
// drawing the tip, for a cut segment and for a whole-file row. Beside them,
// GetSegmentTags alone for the same rows, so the tip's own share shows; and
// the tick for texts no tip has laid out before.
// Goal: under 30 ms a tick, of which the tip's own work under 5 ms.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/cTipTagLines.h"
#include "browser/cToolTipHost.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kSegment = 20001;  // a cut segment of file 2
constexpr int kFile = 2;
constexpr int kChains = 5;
constexpr int kChainLength = 20;
constexpr int kWideLinks = 500;
constexpr int kFirstNewTag = 100000;

// The hierarchy of bench_tagstore: five tags at the ends of chains of 20
// parent links and one tag linked across to 500 others, on the segment; the
// same tags on the file's whole-file segment.
void AddHierarchy(SqlConnection& db) {
  TransactionGuard guard(db, QStringLiteral("Hierarchy"));
  auto tag = db.Prepare(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (?, ?, 'T')"));
  auto link = db.Prepare(QStringLiteral("INSERT INTO TagLinks (TagID, LinkedTag, Relationship) VALUES (?, ?, ?)"));
  auto put = db.Prepare(QStringLiteral("INSERT OR IGNORE INTO SegmentTags (SegmentID, TagID) VALUES (?, ?)"));
  auto putBoth = [&](int tagId) {
    for (int segment : {kSegment, kFile}) {
      put->Bind(1, segment);
      put->Bind(2, tagId);
      put->Execute();
    }
  };
  int id = kFirstNewTag;
  for (int chain = 0; chain < kChains; ++chain) {
    int parent = 100 + chain * 100;
    for (int level = 0; level < kChainLength; ++level, ++id) {
      tag->Bind(1, id);
      tag->Bind(2, QStringLiteral("Chain %1 level %2").arg(chain).arg(level));
      tag->Execute();
      link->Bind(1, id);
      link->Bind(2, parent);
      link->Bind(3, "P");
      link->Execute();
      parent = id;
    }
    putBoth(parent);
  }
  tag->Bind(1, id);
  tag->Bind(2, QStringLiteral("Everything"));
  tag->Execute();
  for (int i = 0; i < kWideLinks; ++i) {
    link->Bind(1, id);
    link->Bind(2, 101 + i + i / 99);
    link->Bind(3, "L");
    link->Execute();
  }
  putBoth(id);
  guard.Commit();
}

struct Library : ProgramInPrivateHome {
  Library() {
    gLibrary->OpenLibrary(MakeLargeLibrary(home.path(), QStringLiteral("Large.rw2")), true);
    AddHierarchy(gLibrary->Connection());
  }
};

void UseLibrary() { static Library library; }

ResultItem Hovered(bool wholeFile) {
  ResultItem item;
  item.FileID = kFile;
  item.SegmentID = wholeFile ? kFile : kSegment;
  item.IsFileRow = wholeFile;
  item.FileName = QStringLiteral("A film with a fairly long name.mkv");
  item.FileFormat = QStringLiteral("MPEG-4");
  item.Dimensions = QStringLiteral("1920x1080");
  item.Bitrate = 8000;
  item.FrameRate = 29.97f;
  item.FileSize = 700.0 * 1024 * 1024;
  item.Duration = 5400;
  item.Rating = 3;
  return item;
}

// Show, the first tick (measure, place, show) and one paint of the form, then
// DestroyTip; the released form and timer are deleted outside the timing.
// With `unseen`, the kept lines and texts are let go of before each run, so
// every text is laid out anew.
void TipTicks(benchmark::State& state, bool unseen) {
  UseLibrary();
  gHoverItem = Hovered(state.range(0) != 0);
  cToolTipHost host;
  for (auto _ : state) {
    if (unseen) {
      state.PauseTiming();
      cTipTagLines::ForgetKeptLines();
      state.ResumeTiming();
    }
    host.Show(nullptr, 400, 600);
    host.cwTimer_Timer();
    if (!host.Shown()) std::abort();
    benchmark::DoNotOptimize(host.TipForm()->WidgetRoot().Render());
    host.DestroyTip();
    state.PauseTiming();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
  state.SetLabel(state.range(0) ? "whole file" : "segment");
}

void BM_TipFirstTick(benchmark::State& state) { TipTicks(state, false); }

// The same tick for texts no tip has shown before.
void BM_TipFirstTickUnseenTexts(benchmark::State& state) { TipTicks(state, true); }

void BM_GetSegmentTagsAlone(benchmark::State& state) {
  UseLibrary();
  const ResultItem item = Hovered(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(gLibrary->GetSegmentTags(item.IsFileRow, item.FileID, item.SegmentID, true, false));
  }
  state.SetLabel(state.range(0) ? "whole file" : "segment");
}

BENCHMARK(BM_TipFirstTick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TipFirstTickUnseenTexts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetSegmentTagsAlone)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
