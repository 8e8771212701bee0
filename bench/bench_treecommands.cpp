// The tree menu's "Expand All" and "Collapse All" on the generated large
// library (20 categories of 99 tags, the fixed groups, formats and devices)
// in the running program: each from the opposite state, including the
// tree's repaint, so that the time is what the user waits for.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/BrowserPane.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"

#include <benchmark/benchmark.h>

namespace {

struct Program : ProgramInPrivateHome {
  Program() {
    gLibrary->OpenLibrary(MakeLargeLibrary(home.path(), QStringLiteral("Large.rw2")), true);
  }
};

BrowserPane& Pane() {
  static Program program;
  return gMainForm->Browser();
}

int Expanded() {
  int expanded = 0;
  for (const auto& node : Pane().tvwLibrary->Nodes) expanded += node->Expanded() ? 1 : 0;
  return expanded;
}

void Counters(benchmark::State& state, int expanded) {
  state.counters["nodes"] = Pane().tvwLibrary->Nodes.Count();
  state.counters["expanded"] = expanded;
  state.counters["shown"] = Pane().tvwLibrary->Viewport()->isVisible() ? 1 : 0;
}

void BM_ExpandAll(benchmark::State& state) {
  BrowserPane& pane = Pane();
  int expanded = 0;
  for (auto _ : state) {
    state.PauseTiming();
    pane.mnuCollapseAll_Click();
    pane.picLeft->repaint();
    state.ResumeTiming();
    pane.mnuExpandAll_Click();
    pane.picLeft->repaint();
    state.PauseTiming();
    expanded = Expanded();
    state.ResumeTiming();
  }
  Counters(state, expanded);
}

void BM_CollapseAll(benchmark::State& state) {
  BrowserPane& pane = Pane();
  int expanded = 0;
  for (auto _ : state) {
    state.PauseTiming();
    pane.mnuExpandAll_Click();
    pane.picLeft->repaint();
    state.ResumeTiming();
    pane.mnuCollapseAll_Click();
    pane.picLeft->repaint();
    state.PauseTiming();
    expanded = Expanded();
    state.ResumeTiming();
  }
  Counters(state, expanded);
}

BENCHMARK(BM_ExpandAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollapseAll)->Unit(benchmark::kMillisecond);

}  // namespace
