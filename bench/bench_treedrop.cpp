// Drops on the library tree in the running program over the large library,
// with every segment (50,000) as the results and the tag cloud shown:
//  - a drop of a selected result on a tag, tagging all 5,000 selected
//    results in one transaction and recounting the cloud once (iterations
//    alternate tagging and, with Ctrl held, untagging, so each finds the
//    library as the one before left it). Goal: under 1 s.
//  - one drag-over call of a result over the tree: hit test, highlight,
//    hover record, drag icon and the status in the progress strip (each
//    call over another node, so the strip is redrawn). Goal: under 2 ms.
// The floor beside the drop is the tagging alone: the same 5,000 rows
// written by one prepared statement in one transaction.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/DragController.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/TreeView.h"
#include "ui/DragState.h"

namespace {

const int kResults = ScaledSegments();
constexpr int kSelected = 5000;

bool ctrlHeld = false;

// The program with every segment as its results in the tile view, the
// first 5,000 selected, and the tag cloud window open.
struct TaggingBrowser : ProgramInPrivateHome {
  TaggingBrowser() {
    OpenLargeResults({}, false, QStringLiteral("mnuViewTile"));
    gMainForm->MainToolbarHandler(QStringLiteral("mnuViewTagCloud"));
    gMainForm->Results().ApplySelection(QStringLiteral("Select"), 1, kSelected);
    if (gLibrary->ResultCount != kResults || !gTagCloudShown) std::abort();
    ctl::SetKeyStateFunction([](int key) { return key == 17 && ctrlHeld ? static_cast<int16_t>(0xFF80) : int16_t{0}; });
    DragState& drag = gMainForm->m_DragState;
    drag.Source = QStringLiteral("Browser");
    drag.SegmentID = gResults[1].SegmentID;
    drag.ItemSelected = 1;
  }
};

TaggingBrowser& TheBrowser() {
  static TaggingBrowser browser;
  return browser;
}

ctl::TreeView& Tree() { return *gMainForm->Tree().tvwLibrary; }

// The middle of the node's label, in the twips of the tree's drag events.
QPointF LabelOf(const QString& key) {
  ctl::Node& node = Tree().Nodes.Item(key);
  node.EnsureVisible();
  const QWidget* viewport = Tree().Viewport();
  for (int y = 0; y < viewport->height(); y += 2) {
    for (int x = 0; x < viewport->width(); x += 2) {
      int flags = 0;
      if (Tree().HitTestInfo(x, y, &flags) == &node && (flags & ctl::tvhtOnItemLabel)) {
        return QPointF((x + 6) * gTwipsPerPixelX, y * gTwipsPerPixelY);
      }
    }
  }
  std::abort();
}

int TaggedWith(int tag) {
  auto rs = gLibrary->Connection().OpenRecordset(
      QStringLiteral("SELECT COUNT(*) FROM SegmentTags WHERE TagID = %1").arg(tag));
  return rs->Value(0).toInt();
}

// A tag carried by few segments, so the drop adds nearly 5,000 rows.
constexpr int kTag = 150;

void BM_DropTaggingFiveThousandSelectedResults(benchmark::State& state) {
  TheBrowser();
  ctl::Control& tiles = *gMainForm->Results().flexThumbsTiled;
  const QPointF at = LabelOf(QStringLiteral("ID%1").arg(kTag));
  // Untagged first, so the first drop tags all of them.
  ctrlHeld = true;
  gMainForm->Tree().tvwLibrary_DragDrop(tiles, at.x(), at.y());
  const int others = TaggedWith(kTag);
  for (auto _ : state) {
    ctrlHeld = !ctrlHeld;
    gMainForm->Tree().tvwLibrary_DragDrop(tiles, at.x(), at.y());
    state.PauseTiming();
    if (TaggedWith(kTag) != others + (ctrlHeld ? 0 : kSelected)) std::abort();
    state.ResumeTiming();
  }
  state.counters["tagged_per_drop"] = kSelected;
  state.counters["unselected_carriers"] = others;
  state.counters["boxes"] = TheBrowser().boxes;
}

void BM_Floor_TagFiveThousandRowsInOneStatement(benchmark::State& state) {
  TheBrowser();
  SqlConnection& db = gLibrary->Connection();
  bool remove = false;
  for (auto _ : state) {
    remove = !remove;
    db.BeginTrans(QStringLiteral("Floor"));
    auto tag =
        db.Prepare(remove ? QStringLiteral("DELETE FROM SegmentTags WHERE SegmentID = ? AND TagID = ?")
                          : QStringLiteral("INSERT OR IGNORE INTO SegmentTags (SegmentID, TagID) VALUES (?, ?)"));
    tag->Bind(2, kTag);
    for (int i = 1; i <= kSelected; ++i) {
      tag->Bind(1, gResults[static_cast<size_t>(i)].SegmentID);
      tag->Execute();
    }
    db.CommitTrans(QStringLiteral("Floor"));
  }
}

void BM_DragOverTheTree(benchmark::State& state) {
  TheBrowser();
  ctl::Control& tiles = *gMainForm->Results().flexThumbsTiled;
  ctrlHeld = false;
  const QPointF points[] = {LabelOf(QStringLiteral("ID101")), LabelOf(QStringLiteral("ID102"))};
  int n = 0;
  for (auto _ : state) {
    const QPointF& at = points[n++ & 1];
    gMainForm->Tree().tvwLibrary_DragOver(tiles, at.x(), at.y(), ctl::vbOver);
  }
  state.counters["boxes"] = TheBrowser().boxes;
}

BENCHMARK(BM_DropTaggingFiveThousandSelectedResults)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_TagFiveThousandRowsInOneStatement)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragOverTheTree)->Unit(benchmark::kMicrosecond);

}  // namespace
