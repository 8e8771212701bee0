// Renaming a tag of the generated large library (20 categories of 99 tags,
// the fixed groups, formats and devices) in the running program: the whole
// end of a label edit that accepts a name (the full-path check over every
// node, the UPDATE of Tags and the re-sort of the tree, repaint included),
// and its three parts one by one. The name alternates, so every rename
// changes the row and moves the node.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/LibraryTreePane.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/controls/TreeView.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

struct Program : ProgramInPrivateHome {
  Program() { gLibrary->OpenLibrary(MakeLargeLibrary(home.path(), QStringLiteral("Large.rw2")), true); }
};

LibraryTreePane& TreePane() {
  static Program program;
  return gMainForm->Tree();
}

// A tag in the middle of the tree, with its category expanded.
ctl::Node& Tag() {
  ctl::TreeView& tree = *TreePane().tvwLibrary;
  ctl::Node* middle = nullptr;
  int tags = 0;
  for (const auto& node : tree.Nodes) {
    if (node->Image() == QLatin1String("TAG") && ++tags == 1000) middle = node.get();
  }
  if (!middle) std::abort();
  middle->EnsureVisible();
  return *middle;
}

QString NameFor(int64_t iteration) {
  return iteration % 2 ? QStringLiteral("Aardvark Bench") : QStringLiteral("Zebra Bench");
}

void Counters(benchmark::State& state) {
  state.counters["nodes"] = TreePane().tvwLibrary->Nodes.Count();
  state.counters["shown"] = TreePane().tvwLibrary->Viewport()->isVisible() ? 1 : 0;
}

void BM_Rename(benchmark::State& state) {
  LibraryTreePane& tree = TreePane();
  ctl::Node& node = Tag();
  tree.tvwLibrary->SetSelectedItem(&node);
  int64_t i = 0;
  for (auto _ : state) {
    gPendingRenameNode = &node;
    int cancel = 0;
    QString name = NameFor(++i);
    tree.tvwLibrary_AfterLabelEdit(cancel, name);
    tree.tvwLibrary->repaint();
    if (cancel || node.Text() != name) state.SkipWithError("the name was refused");
  }
  Counters(state);
}

void BM_Rename_Uniqueness(benchmark::State& state) {
  LibraryTreePane& tree = TreePane();
  const ctl::Node& node = Tag();
  for (auto _ : state) benchmark::DoNotOptimize(tree.IsUniqueTreeNode(node));
  Counters(state);
}

void BM_Rename_Update(benchmark::State& state) {
  LibraryTreePane& tree = TreePane();
  const QString key = Tag().Key();
  int64_t i = 0;
  for (auto _ : state) tree.RenameTreeItem(key, NameFor(++i));
}

void BM_Rename_SortTree(benchmark::State& state) {
  LibraryTreePane& tree = TreePane();
  Tag();
  for (auto _ : state) {
    gLibrary->SortTree();
    tree.tvwLibrary->repaint();
  }
  Counters(state);
}

}  // namespace

// Qt paints parts of the tree on threads of its own: the CPU time is the
// process's.
BENCHMARK(BM_Rename)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rename_Uniqueness)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rename_Update)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rename_SortTree)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
