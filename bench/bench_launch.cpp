// The start of the program to its main window shown with the large library
// open (the saved workspace names it), beside a bare Qt main window shown in
// the same run. Each start ends by closing the window, outside the timing.
// The first start finds the library as the generator wrote it; the later ones
// find it as the program left it, as a user's next start does.
#include "app/modReelwise_startup.h"
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/MessageBoxSeam.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// A private home with the large library in it.
struct Home {
  QTemporaryDir home;
  QString library;
  int boxes = 0;

  Home() {
    EnterPrivateHome(home, boxes);
    library = MakeLargeLibrary(home.path(), QStringLiteral("Large.rw2"));
  }
};

Home& TheHome() {
  static Home home;
  return home;
}

// Processes events until the window is on the screen.
void WaitShown(QWidget& window) {
  while (!window.windowHandle() || !window.windowHandle()->isExposed()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
}

void BM_Launch_LargeLibrary(benchmark::State& state) {
  Home& home = TheHome();
  for (auto _ : state) {
    state.PauseTiming();
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TipOfTheDay"), 0);
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("SaveWorkspace"), home.library);
    state.ResumeTiming();
    if (!modReelwise::Main({})) std::abort();
    while (modReelwise::FirstOpenPending()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    state.PauseTiming();
    if (gLibrary->LibraryPath != home.library) std::abort();
    gMainForm->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
  state.counters["boxes"] = home.boxes;
}

void BM_Launch_BareWindow(benchmark::State& state) {
  for (auto _ : state) {
    QMainWindow window;
    window.resize(1024, 768);
    window.show();
    WaitShown(window);
  }
}

// The launch's open works on helper threads: the CPU time of both is the
// process's.
BENCHMARK(BM_Launch_LargeLibrary)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Launch_BareWindow)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
