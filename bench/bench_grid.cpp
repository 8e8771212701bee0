// Scrolling the tile grid through 50,000 results in the running program, the
// way Page Down and the arrow keys do: each step moves the scroll bar, the
// grid's top row follows, the thumbnails of the rows now in view are decoded
// from the cache (every thumbnail of the library is cached) and the grid is
// painted. Goal: a screen in under 16 ms on a 1920 x 1080 window. Page Down
// through the list view of the same results costs the same at any result
// count: at RW_BENCH_SCALE 4 at most 1.5 times its figure at 1.
//
// The floor beside it is what a screen costs at the least: the thumbnails of
// one page decoded once each and painted into a picture of the grid's size.
#include "bench/support/LargeLibrary.h"
#include "library/ViewSpec.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "browser/ResultsPane.h"
#include "mainwindow/frmReelwise.h"
#include "platform/JpegCodec.h"
#include "platform/SqlConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

namespace {

const int kResults = ScaledSegments();

// The program with every segment of the large library as its results in
// the tile view.
struct Browser : ProgramInPrivateHome {
  Browser() {
    OpenLargeResults({}, true, QStringLiteral("mnuViewTile"));
  }
};

Browser& TheBrowser() {
  static Browser browser;
  return browser;
}

int PageRows() { return static_cast<int>(gTileRowsVisible); }
int PageTiles() { return static_cast<int>(gTileColumns) * PageRows(); }

// Rows of the tile grid that hold thumbnails (not the blank tiles after the
// last result): the rows in view and the one just below, however far the
// grid has been scrolled.
int RowsWithThumbnails() {
  ctl::FlexGrid& grid = *gMainForm->Results().flexThumbsTiled;
  const qint64 blank = gMainForm->Results().picBlankTile->Picture().cacheKey();
  int rows = 0;
  for (int r = 0; r < grid.Rows(); ++r) {
    for (int c = 1; c < grid.Cols() - 1; ++c) {
      const QPixmap& picture = grid.Model().Cell(r, c).picture;
      if (!picture.isNull() && picture.cacheKey() != blank) {
        ++rows;
        break;
      }
    }
  }
  return rows;
}

void Report(benchmark::State& state, int screens) {
  state.counters["tiles_per_screen"] = PageTiles();
  state.counters["rows_with_thumbnails"] = RowsWithThumbnails();
  state.counters["rows_in_view"] = PageRows();
  state.counters["screens"] = screens;
  state.counters["boxes"] = TheBrowser().boxes;
}

// One key on the tile grid, as the user presses it.
void Press(int keyCode) {
  int key = keyCode;
  gMainForm->Results().flexThumbsTiled_KeyDown(key, 0);
}

// One key on the list, as the user presses it, and the list painted as the
// window's next paint does.
void PressInList(int keyCode) {
  int key = keyCode;
  gMainForm->Results().flexThumbsList_KeyDown(key, 0);
  gMainForm->Results().flexThumbsList->repaint();
}

// Shows the results in the view the command names, without the cursor's
// blink.
void ShowView(const QString& command) {
  gMainForm->MainToolbarHandler(command);
  gMainForm->Results().Timer1->SetEnabled(false);
}

// Until the window is on the screen a repaint paints nothing; a quick start
// may come here before the window system has shown it.
void WaitUntilShown() {
  QElapsedTimer waited;
  waited.start();
  while (!(gMainForm->windowHandle() && gMainForm->windowHandle()->isExposed()) && waited.elapsed() < 10000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
}

// Presses Page Down once an iteration through the whole results, going back
// Home (untimed) from the last screen; `after` runs after each Page Down.
// Returns the screens paged.
template <typename After = void (*)()>
int PageDownScreens(benchmark::State& state, void (*press)(int), After after = [] {}) {
  ctl::VScrollBar& bar = *gMainForm->Results().scrollFlex;
  press(ctl::vbKeyHome);
  int screens = 0;
  for (auto _ : state) {
    if (bar.Value() >= bar.Max()) {
      state.PauseTiming();
      press(ctl::vbKeyHome);
      state.ResumeTiming();
    }
    press(ctl::vbKeyPageDown);
    after();
    ++screens;
  }
  return screens;
}

// Page Down from the first row to the last, then Home and again.
void BM_PageDownThroughTheTiles(benchmark::State& state) {
  TheBrowser();
  WaitUntilShown();
  int bottom = 0;
  const int screens = PageDownScreens(state, Press, [&bottom] {
    bottom = std::max(bottom, (gMainForm->Results().scrollFlex->Value() + PageRows()) * static_cast<int>(gTileColumns));
  });
  Report(state, screens);
  state.counters["last_tile_reached"] = std::min(bottom, kResults);
}

// The arrow key one row at a time: the cursor walks down and the grid
// scrolls a row whenever it leaves the view.
void BM_ArrowDownThroughTheTiles(benchmark::State& state) {
  TheBrowser();
  ctl::FlexGrid& grid = *gMainForm->Results().flexThumbsTiled;
  // From the bottom row of the view every step scrolls.
  const auto toBottomOfView = [&grid] {
    Press(ctl::vbKeyHome);
    grid.SetRow(PageRows() - 1);
    gMainForm->Results().flexThumbsTiled_SelChange();
  };
  toBottomOfView();
  int screens = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (grid.Row() >= grid.Rows() - 1) toBottomOfView();
    // The grid moves its cursor itself before the key reaches the handler.
    grid.SetRow(grid.Row() + 1);
    gMainForm->Results().flexThumbsTiled_SelChange();
    state.ResumeTiming();
    Press(ctl::vbKeyDown);
    ++screens;
  }
  Report(state, screens);
}

// Page Down through the list view from the first row to the last, then Home
// and again, each screen painted.
void BM_ListScreenPageDown(benchmark::State& state) {
  TheBrowser();
  ShowView(QStringLiteral("mnuViewList"));
  WaitUntilShown();
  const int screens = PageDownScreens(state, PressInList);
  state.counters["rows"] = gMainForm->Results().flexThumbsList->Rows() - 1;
  state.counters["screens"] = screens;
  state.counters["boxes"] = TheBrowser().boxes;
  state.counters["painted"] = gMainForm->windowHandle()->isExposed();
  ShowView(QStringLiteral("mnuViewTile"));
}

// Floor: one page of thumbnails decoded from the cache and painted.
void BM_Floor_DecodeAndPaintPage(benchmark::State& state) {
  TheBrowser();
  const ctl::FlexGrid& grid = *gMainForm->Results().flexThumbsTiled;
  JpegCodec codec;
  QImage screen(grid.size(), QImage::Format_ARGB32_Premultiplied);
  const int columns = static_cast<int>(gTileColumns);
  int first = 1;
  for (auto _ : state) {
    QPainter painter(&screen);
    for (int i = 0; i < PageTiles(); ++i) {
      const int segment = first + i;
      const QByteArray& jpeg = gLibrary->ThumbnailCache.Item(gLibrary->ThumbnailCache.Exists(segment) ? segment : 0);
      const ImageSurfacePtr picture = codec.Decode(jpeg);
      painter.drawImage(QPoint(i % columns * 104, i / columns * 79), picture->Image());
    }
    first = first + PageTiles() < kResults - PageTiles() ? first + PageTiles() : 1;
  }
  state.counters["tiles_per_screen"] = PageTiles();
}

// 550 pages of 7 rows of 13 tiles reach the last of the 50,000 results.
BENCHMARK(BM_PageDownThroughTheTiles)->Iterations(550)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArrowDownThroughTheTiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_DecodeAndPaintPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListScreenPageDown)->Unit(benchmark::kMillisecond);

}  // namespace
