// The Add Files command's folder walk over 12,000 hard links with long names
// to one empty clip (quick to make, each an entry to walk): the whole walk and
// the longest stretch of it without a yield to the caller, which the walk
// promises at least every 50 ms (its test once held that stretch under
// 80 ms), beside a plain walk of the same folder by QDirIterator.
#include "import/modFolderScan.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace {

constexpr int kLinks = 12000;

struct LinkFolder {
  QTemporaryDir folder;
  QString top;

  LinkFolder() {
    top = folder.path() + QLatin1Char('/');
    const QByteArray clip = QFile::encodeName(top + QStringLiteral("clip.wmv"));
    QFile file(QFile::decodeName(clip));
    if (!file.open(QIODevice::WriteOnly)) std::abort();
    file.close();
    const QByteArray title(200, 'x');
    for (int i = 0; i < kLinks; ++i) {
      const QByteArray link = QFile::encodeName(top) + "clip" + QByteArray::number(i) + title + ".wmv";
      if (::link(clip.constData(), link.constData()) != 0) std::abort();
    }
  }
};

LinkFolder& Folder() {
  static LinkFolder folder;
  return folder;
}

void BM_FolderScan_Walk(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const QString top = Folder().top;
  Clock::time_point since;
  Clock::duration longest{};
  int64_t yields = 0;
  const auto yield = [&] {
    longest = std::max(longest, Clock::now() - since);
    ++yields;
    since = Clock::now();
  };
  QStringList queue;
  for (auto _ : state) {
    queue.clear();
    modFolderScan::SkippedEntries skips;
    since = Clock::now();
    modFolderScan::ScanFolder(top, {.pattern = QStringLiteral("*.wmv"), .yield = yield}, queue, skips);
    longest = std::max(longest, Clock::now() - since);
  }
  state.counters["files"] = static_cast<double>(queue.size());
  state.counters["yields"] = static_cast<double>(yields) / static_cast<double>(state.iterations());
  state.counters["longest_gap_ms"] = std::chrono::duration<double, std::milli>(longest).count();
}
BENCHMARK(BM_FolderScan_Walk)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline: the same folder listed by QDirIterator, with each file's size.
void BM_Baseline_QDirIterator(benchmark::State& state) {
  const QString top = Folder().top;
  int64_t files = 0;
  for (auto _ : state) {
    files = 0;
    QDirIterator it(top, {QStringLiteral("*.wmv")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      it.next();
      benchmark::DoNotOptimize(it.fileInfo().size());
      ++files;
    }
  }
  state.counters["files"] = static_cast<double>(files);
}
BENCHMARK(BM_Baseline_QDirIterator)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
