// The device table rebuilt on the generated large library in the running
// program: one of its two devices present (a FAT disk on a mount table of the
// benchmark's own), so 10,000 files map online and 10,000 offline. Beside it
// the floor: the two full-table UPDATEs every rebuild makes at the least.
// With RW_SCREENSHOT set, the main window is saved there with the storage
// devices shown.
#include "bench/support/LargeLibrary.h"
#include "bench/support/ProgramInPrivateHome.h"
#include "browser/LibraryTreePane.h"
#include "devices/modStorageDevices.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/TreeView.h"
#include "tests/support/FakeSystemRoot.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

struct Program : ProgramInPrivateHome {
  rwtest::FakeSystemRoot system;
  QString library;
  QString films;  // where the FILMS disk is mounted
  int moves = 0;

  Program() {
    MountFilms(QStringLiteral("films"));
    library = MakeLargeLibrary(home.path(), QStringLiteral("Large.rw2"));
    gLibrary->OpenLibrary(library, true);
  }
  SqlConnection& Db() { return gLibrary->Connection(); }
  void MountFilms(const QString& name) {
    films = system.MountPoint(name);
    system.MountDisk(films, QStringLiteral("vfat"),
                     {.device = QStringLiteral("/dev/sdb1"), .uuid = QStringLiteral("1A2B-3C4D"), .label = "FILMS"});
    system.Write();
  }
  // The disk at another mount point: every one of its files changes path.
  void MoveFilms() {
    system.Unmount(films);
    MountFilms(QStringLiteral("films %1").arg(++moves));
  }
};

Program& TheProgram() {
  static Program program;
  return program;
}

int Count(const char* sql) { return TheProgram().Db().OpenRecordset(QLatin1String(sql))->Value(0).toInt(); }

// Arg 0: the devices as they were (the open of a library, most device
// events); arg 1: the present disk at a new mount point each time.
void BM_EnumStorageDevices(benchmark::State& state) {
  Program& program = TheProgram();
  for (auto _ : state) {
    if (state.range(0) == 1) {
      state.PauseTiming();
      program.MoveFilms();
      state.ResumeTiming();
    }
    modStorageDevices::EnumStorageDevices(*gLibrary);
  }
  state.counters["online"] = Count("SELECT count(*) FROM VideoFiles WHERE CurrentPath NOT LIKE '[Offline]%'");
  state.counters["offline"] = Count("SELECT count(*) FROM VideoFiles WHERE CurrentPath LIKE '[Offline]%'");
  state.counters["boxes"] = TheProgram().boxes;
}

void BM_Floor_TwoFullTableUpdates(benchmark::State& state) {
  SqlConnection& db = TheProgram().Db();
  for (auto _ : state) {
    TransactionGuard guard(db, QStringLiteral("Floor"));
    db.Execute(QStringLiteral("UPDATE VideoFiles SET CurrentPath = NULL"));
    db.Execute(QStringLiteral("UPDATE VideoSegments SET Online = 0"));
    guard.Commit();
  }
  modStorageDevices::EnumStorageDevices(*gLibrary);
}

// Not a measurement: the picture of the window once the runs are over.
void BM_Picture(benchmark::State& state) {
  TheProgram();
  for (auto _ : state) {
    const QString path = qEnvironmentVariable("RW_SCREENSHOT");
    if (path.isEmpty()) continue;
    gLibrary->LoadStorageDeviceNodes();
    if (ctl::Node* disks = gMainForm->Tree().tvwLibrary->Nodes.Find(QStringLiteral("DISKS"))) {
      disks->SetExpanded(true);
      if (ctl::Node* last = disks->Child()) {
        while (last->Next()) last = last->Next();
        last->EnsureVisible();
      }
    }
    QApplication::processEvents();
    gMainForm->grab().save(path, "PNG");
  }
}

}  // namespace

BENCHMARK(BM_EnumStorageDevices)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_TwoFullTableUpdates)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Picture)->Iterations(1);
