// The library tree over tag hierarchies of two shapes with the same number
// of tags: a chain, each tag below the one before it, and a flat set, every
// tag below one category. The tree's work grows with the number of tags
// whatever their depth, so the chain should cost about what the flat set
// costs. Each is measured as the whole open the user waits for and as the
// tree's rebuild alone, in the running program.
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/LibraryTreePane.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlConnection.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

enum Shape { kFlat = 0, kChain = 1 };

constexpr int kFirstTag = 10;  // after the library's fixed nodes

// A library from the template whose tags hang from tag 10: in a chain (each
// tag the parent of the next) or all side by side below it. No tag is a
// category, so no tag ever gets one and every open places every tag anew.
// One clip carries tag 10, which other tags link to, so every open's upkeep
// looks for tags its segment's other tags imply.
QString MakeHierarchy(const QString& folder, Shape shape, int tags) {
  const QString path = folder + QStringLiteral("/%1-%2.rw2").arg(shape == kChain ? "Chain" : "Flat").arg(tags);
  modReelwise::ExtractTemplateLibrary(path);
  auto db = SqlConnection::Open(path);
  TransactionGuard guard(*db, QStringLiteral("Hierarchy"));
  auto tag = db->Prepare(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (?, ?, 'T')"));
  auto link = db->Prepare(QStringLiteral("INSERT INTO TagLinks (TagID, LinkedTag, Relationship) VALUES (?, ?, 'P')"));
  for (int i = 0; i < tags; ++i) {
    const int id = kFirstTag + i;
    tag->Bind(1, id);
    tag->Bind(2, QStringLiteral("Tag %1").arg(i));
    tag->Execute();
    if (i == 0) continue;
    link->Bind(1, id);
    link->Bind(2, shape == kChain ? id - 1 : kFirstTag);
    link->Execute();
  }
  db->Execute(QStringLiteral(
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileFormat) VALUES (1, 'S', 'clips\\', "
      "'a.mkv', 'AVI'); INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, "
      "Rating) VALUES (1, 1, 'Y', 0, 60, 1, 0); INSERT INTO SegmentTags VALUES (1, %1)")
                  .arg(kFirstTag));
  guard.Commit();
  return path;
}

struct Program : ProgramInPrivateHome {
  std::map<std::pair<int, int>, QString> libraries;

  const QString& Library(Shape shape, int tags) {
    QString& path = libraries[{shape, tags}];
    if (path.isEmpty()) path = MakeHierarchy(home.path(), shape, tags);
    return path;
  }
};

Program& TheProgram() {
  static Program program;
  return program;
}

void Counters(benchmark::State& state) {
  state.counters["nodes"] = gMainForm->Tree().tvwLibrary->Nodes.Count();
  state.counters["boxes"] = TheProgram().boxes;
}

// range(0): the shape, range(1): the number of tags.
void BM_OpenHierarchy(benchmark::State& state) {
  const QString path = TheProgram().Library(static_cast<Shape>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) gLibrary->OpenLibrary(path, true);
  Counters(state);
}

void BM_TreeOfHierarchy(benchmark::State& state) {
  const QString path = TheProgram().Library(static_cast<Shape>(state.range(0)), static_cast<int>(state.range(1)));
  gLibrary->OpenLibrary(path, true);
  for (auto _ : state) {
    gLibrary->PopulateTree();
    gLibrary->SortTree();
  }
  Counters(state);
}

void Shapes(benchmark::internal::Benchmark* bench) {
  for (const int tags : {500, 2000, 8000}) {
    for (const Shape shape : {kFlat, kChain}) bench->Args({shape, tags});
  }
  // An open works on helper threads, and Qt paints parts of the tree on
  // threads of its own: the CPU time is the process's.
  bench->ArgNames({"chain", "tags"})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_OpenHierarchy)->Apply(Shapes);
BENCHMARK(BM_TreeOfHierarchy)->Apply(Shapes);

}  // namespace
