// The tree menu's "Expand All" and "Collapse All" on the generated large
// library (20 categories of 99 tags, the fixed groups, formats and devices)
// in the running program: each from the opposite state, including the
// tree's repaint, so that the time is what the user waits for.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/LibraryTreePane.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"

#include <benchmark/benchmark.h>

namespace {

struct Program : ProgramInPrivateHome {
  Program() {
    gLibrary->OpenLibrary(MakeLargeLibrary(home.path(), QStringLiteral("Large.rw2")), true);
  }
};

LibraryTreePane& TreePane() {
  static Program program;
  return gMainForm->Tree();
}

int Expanded() {
  int expanded = 0;
  for (const auto& node : TreePane().tvwLibrary->Nodes) expanded += node->Expanded() ? 1 : 0;
  return expanded;
}

void Counters(benchmark::State& state, int expanded) {
  state.counters["nodes"] = TreePane().tvwLibrary->Nodes.Count();
  state.counters["expanded"] = expanded;
  state.counters["shown"] = TreePane().tvwLibrary->Viewport()->isVisible() ? 1 : 0;
}

void BM_ExpandAll(benchmark::State& state) {
  LibraryTreePane& tree = TreePane();
  int expanded = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tree.mnuCollapseAll_Click();
    tree.picLeft->repaint();
    state.ResumeTiming();
    tree.mnuExpandAll_Click();
    tree.picLeft->repaint();
    state.PauseTiming();
    expanded = Expanded();
    state.ResumeTiming();
  }
  Counters(state, expanded);
}

void BM_CollapseAll(benchmark::State& state) {
  LibraryTreePane& tree = TreePane();
  int expanded = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tree.mnuExpandAll_Click();
    tree.picLeft->repaint();
    state.ResumeTiming();
    tree.mnuCollapseAll_Click();
    tree.picLeft->repaint();
    state.PauseTiming();
    expanded = Expanded();
    state.ResumeTiming();
  }
  Counters(state, expanded);
}

// Qt paints parts of the tree on threads of its own: the CPU time is the
// process's.
BENCHMARK(BM_ExpandAll)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollapseAll)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
