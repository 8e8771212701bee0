// One click on a category of the tag cloud's menu in the running program:
// the filter text written, the cloud's rows read again for the checked
// categories and their labels laid out anew and painted. The large library
// holds 2,000 tags in 21 categories and every segment is among the results,
// so the cloud shows all 2,000; each click turns one category of 99 tags
// off or on again, re-laying 1,901 or 2,000 labels.
// Goal: under 100 ms a click.
//
// The floor beside it is what a re-lay costs at the least: the same rows
// read through the library's connection, each label moved once, and the
// window painted.
//
// F9 with the first 10,000 segments among the results, none or all of them
// selected, the window made before: the cloud counted, its labels laid out
// and the window shown and painted. Its floor reads the results' tags and
// the cloud's rows, moves each label once and shows and paints the window.
#include "bench/support/ProgramInPrivateHome.h"
#include "carousel/frmTagCloud.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlRecordset.h"

#include <QAction>
#include <QMenu>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// The program with the large library's results and its tag cloud shown, the
// category menu built.
struct Cloud : ProgramInPrivateHome {
  Cloud() {
    LargeLibrarySpec spec;
    spec.tags = 2021;  // 21 categories and 2,000 tags
    OpenLargeResults(spec);
    gMainForm->MainToolbarHandler(QStringLiteral("mnuViewTagCloud"));
    frmTagCloud& cloud = TagCloudForm();
    cloud.imgCloudMenu->Click();
    cloud.mnuCategorySelector->hide();
    if (cloud.CategoryCount() != 21 || Shown() != 2000) std::abort();
  }
  static int Shown() {
    int shown = 0;
    for (const ctl::Label* label : TagCloudForm().lblTag) shown += label->Visible() ? 1 : 0;
    return shown;
  }
};

Cloud& TheCloud() {
  static Cloud cloud;
  return cloud;
}

// The least a re-lay of the cloud costs: its rows read, each label moved
// once (the other way each time) and the window painted.
void RelayAtTheLeast(frmTagCloud& cloud, int& shift) {
  const QString sql = QStringLiteral(
      "SELECT TagID, Tag, SUM(TagCount) AS TagCount FROM (SELECT T.TagID AS TagID, T.Tag AS Tag, TC.TagCount AS "
      "TagCount FROM TagCloud TC, Tags T WHERE T.TagID = TC.LinkedTag AND T.Type = 'T')GROUP BY TagID, Tag ORDER BY "
      "Tag");
  int rows = 0;
  for (SqlRecordset tags(gLibrary->Connection(), sql); !tags.Eof(); tags.MoveNext()) {
    benchmark::DoNotOptimize(tags.Value(1).toString());
    ++rows;
  }
  for (int n = 1; n <= rows && n <= cloud.TagLabelUBound(); ++n) {
    ctl::Label& label = *cloud.lblTag[static_cast<size_t>(n)];
    label.Move(label.Left() + shift, label.Top());
  }
  shift = -shift;
  cloud.repaint();
}

// The first `count` segments as the results, all or none selected, the
// cloud shown; nothing is done when they are so already.
void UseResults(int count, bool selected) {
  TheCloud();
  if (!gTagCloudShown) gMainForm->MainToolbarHandler(QStringLiteral("mnuViewTagCloud"));
  if (gLibrary->ResultCount != count) {
    gLibrary->Connection().Execute(
        QStringLiteral("DELETE FROM SearchResults; INSERT INTO SearchResults SELECT SegmentID, FileID FROM "
                       "VideoSegments ORDER BY SegmentID LIMIT %1")
            .arg(count));
    gLibrary->FetchSearchResults();
  }
  if ((gLibrary->SelectedCount == count) != selected)
    gMainForm->MainToolbarHandler(selected ? QStringLiteral("mnuBrowserSelectAll") : QStringLiteral("mnuBrowserSelectNone"));
  if (gLibrary->ResultCount != count || (gLibrary->SelectedCount == count) != selected) std::abort();
}

void BM_TagCloudCategoryToggle(benchmark::State& state) {
  UseResults(ScaledSegments(), false);
  frmTagCloud& cloud = TagCloudForm();
  for (auto _ : state) {
    cloud.mnuCategory[1]->trigger();
    cloud.repaint();
  }
  state.counters["labels"] = Cloud::Shown();
  if (!gTagCloudCategories.isEmpty()) cloud.mnuCategory[1]->trigger();
}
BENCHMARK(BM_TagCloudCategoryToggle)->Unit(benchmark::kMillisecond);

void BM_TagCloudRelayFloor(benchmark::State& state) {
  UseResults(ScaledSegments(), false);
  frmTagCloud& cloud = TagCloudForm();
  int shift = 1;
  for (auto _ : state) RelayAtTheLeast(cloud, shift);
}
BENCHMARK(BM_TagCloudRelayFloor)->Unit(benchmark::kMillisecond);

constexpr int kShownResults = 10000;

void BM_TagCloudShow(benchmark::State& state) {
  UseResults(kShownResults, state.range(0) != 0);
  for (auto _ : state) {
    state.PauseTiming();
    gMainForm->MainToolbarHandler(QStringLiteral("mnuViewTagCloud"));
    state.ResumeTiming();
    gMainForm->MainToolbarHandler(QStringLiteral("mnuViewTagCloud"));
    TagCloudForm().repaint();
  }
  state.counters["selected"] = gLibrary->SelectedCount;
  state.counters["labels"] = Cloud::Shown();
}
BENCHMARK(BM_TagCloudShow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Floor_TagCloudShow(benchmark::State& state) {
  UseResults(kShownResults, false);
  frmTagCloud& cloud = TagCloudForm();
  const QString sql = QStringLiteral("SELECT ST.SegmentID, ST.TagID FROM SearchResults SR JOIN SegmentTags ST ON "
                                     "ST.SegmentID = SR.SegmentID");
  int shift = 1;
  for (auto _ : state) {
    state.PauseTiming();
    cloud.hide();
    state.ResumeTiming();
    for (SqlRecordset tags(gLibrary->Connection(), sql); !tags.Eof(); tags.MoveNext())
      benchmark::DoNotOptimize(tags.Value(1).toInt());
    cloud.show();
    RelayAtTheLeast(cloud, shift);
  }
}
BENCHMARK(BM_Floor_TagCloudShow)->Unit(benchmark::kMillisecond);

}  // namespace
