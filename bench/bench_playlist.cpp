// The play queue and the playlist files with 50,000 results (every segment
// of the large library): building and shuffling the queue, and the text of
// an M3U, ASX and PLS playlist of the shuffled queue, alone and together
// with the build. Beside them, a plain loop that appends the same bytes to a
// QByteArray, the floor of the text's cost.
// Goals: each under 200 ms, and the text within 3x of the plain loop.
//
// The rows' folders are put online and one name in ten made unicode, so
// every entry is written; nothing is launched (the results are segments,
// and the desktop is replaced by one that only counts).
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "core/DesktopShell.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "player/modMainPlayer.h"
#include "ui/cWindowMgr.h"

#include <QLocale>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const int kResults = ScaledSegments();

struct CountingDesktop : DesktopShell {
  int launches = 0;
  int OpenWithDefault(const QString&) override {
    ++launches;
    return kShellLaunched;
  }
  int OpenWith(const QString&, const QString& path) override { return OpenWithDefault(path); }
  std::vector<DesktopApp> AppsFor(const QString&) override { return {}; }
  bool ShowOpenWithChooser(const QString&) override { return false; }
  bool ShowProperties(const QString&) override { return false; }
};

struct Results : ProgramInPrivateHome {
  Results() {
    SetDesktopShell(std::make_unique<CountingDesktop>());
    OpenLargeResults();
    for (size_t i = 1; i < gResults.size(); ++i) {
      ResultItem& row = gResults[i];
      row.CurrentPath = QStringLiteral("/media/films/Year %1/").arg(2000 + row.FileID % 25);
      if (i % 10 == 0) row.FileName = QStringLiteral("Ünïcødé 映画 %1.mkv").arg(row.FileID);
      row.FileAlias = row.FileName.section(QLatin1Char('.'), 0, 0);
    }
    gUseInternalPlayer = true;
    gTVOutMode = false;
    gRandomPlayback = true;
    gPlayStartIndex = 0;
    gCurrentItem = gResults[kResults / 2];
  }
  // The window manager saves its placement into the settings as it goes, as
  // the program's shut-down has it do; at exit the settings' caches would be
  // gone already.
  ~Results() { gWindowMgr.reset(); }
};

void UseResults() { static Results results; }

void BuildShuffled() {
  gPlayQueueBuilt = false;
  modMainPlayer::BuildPlaylist();
}

std::vector<ResultItem> QueuedEntries() { return {gPlayQueue.begin() + 1, gPlayQueue.begin() + 1 + gPlayCount}; }

// The same bytes as PlaylistText for entries that are all online, with no
// line breaks and none of XML's special characters.
QByteArray PlainLoop(const std::vector<ResultItem>& entries, const QString& format) {
  QByteArray out;
  if (format == QLatin1String("M3U")) {
    out += "#EXTM3U\r\n";
    for (const ResultItem& e : entries) {
      out += "#EXTINF:" + e.FileAlias.toUtf8() + "\r\n" + (e.CurrentPath + e.FileName).toUtf8() + "\r\n";
    }
  } else if (format == QLatin1String("ASX")) {
    out += "<asx version = 3.0>\r\n";
    for (const ResultItem& e : entries) {
      out += "  <entry>\r\n    <title>\"" + e.FileName.toUtf8() + "\"</title>\r\n    <ref href = \"" +
             (e.CurrentPath + e.FileName).toUtf8() + "\"/>\r\n    <STARTTIME  Value = \"" +
             QByteArray::number(e.SelectionStart, 'f', QLocale::FloatingPointShortest) + "\" />\r\n  </entry>\r\n";
    }
    out += "</asx>\r\n";
  } else {
    out += "[playlist]\r\n";
    int n = 0;
    for (const ResultItem& e : entries) {
      out += "File" + QByteArray::number(++n) + "=" + (e.CurrentPath + e.FileName).toUtf8() + "\r\n";
    }
  }
  return out;
}

void BM_BuildAndShuffle(benchmark::State& state) {
  UseResults();
  for (auto _ : state) {
    BuildShuffled();
    benchmark::DoNotOptimize(gPlayQueue.data());
  }
  if (gPlayCount != kResults) state.SkipWithError("the queue is not every result");
}
BENCHMARK(BM_BuildAndShuffle)->Unit(benchmark::kMillisecond);

// Build, shuffle and the playlist's text, as a run for another player does
// before writing the file.
void BM_BuildShuffleAndText(benchmark::State& state, const char* format) {
  UseResults();
  for (auto _ : state) {
    BuildShuffled();
    QByteArray text = modMainPlayer::PlaylistText(QueuedEntries(), QLatin1String(format));
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK_CAPTURE(BM_BuildShuffleAndText, M3U, "M3U")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BuildShuffleAndText, ASX, "ASX")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BuildShuffleAndText, PLS, "PLS")->Unit(benchmark::kMillisecond);

void BM_PlaylistText(benchmark::State& state, const char* format) {
  UseResults();
  BuildShuffled();
  const std::vector<ResultItem> entries = QueuedEntries();
  if (modMainPlayer::PlaylistText(entries, QLatin1String(format)) != PlainLoop(entries, QLatin1String(format))) {
    state.SkipWithError("the plain loop writes other bytes");
    return;
  }
  for (auto _ : state) {
    QByteArray text = modMainPlayer::PlaylistText(entries, QLatin1String(format));
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK_CAPTURE(BM_PlaylistText, M3U, "M3U")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlaylistText, ASX, "ASX")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlaylistText, PLS, "PLS")->Unit(benchmark::kMillisecond);

void BM_PlainLoop(benchmark::State& state, const char* format) {
  UseResults();
  BuildShuffled();
  const std::vector<ResultItem> entries = QueuedEntries();
  for (auto _ : state) {
    QByteArray text = PlainLoop(entries, QLatin1String(format));
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK_CAPTURE(BM_PlainLoop, M3U, "M3U")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlainLoop, ASX, "ASX")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlainLoop, PLS, "PLS")->Unit(benchmark::kMillisecond);

}  // namespace
