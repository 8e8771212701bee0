// Save As of the generated large library in the running program (the copy,
// its sync, its rename and the open of the copy), beside its floor: the
// sqlite3 shell's .backup of the same file, run as a process. Both are timed
// by the wall clock (the floor's work is another process's).
#include "bench/support/ProgramInPrivateHome.h"
#include "library/clsRWLibrary.h"
#include "platform/FileDialogSeam.h"

#include <QFile>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

struct Program : ProgramInPrivateHome {
  QString library;

  Program() {
    library = MakeLargeLibrary(home.path(), QStringLiteral("Large.rw2"));
    gLibrary->OpenLibrary(library, true);
  }
};

Program& TheProgram() {
  static Program program;
  return program;
}

// Each round saves the open library under the name the round before did
// not use, and the copy becomes the open library, as after the user's Save As.
void BM_SaveAs(benchmark::State& state) {
  Program& program = TheProgram();
  QString target;
  const FileDialogHandler before = SetFileDialogResponder([&target](const FileDialogRequest&) {
    FileDialogResult answer;
    answer.accepted = true;
    answer.files = {target};
    return answer;
  });
  static int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    target = program.home.filePath(QStringLiteral("Copy%1.rw2").arg(++round % 2));
    QFile::remove(target);
    state.ResumeTiming();
    gLibrary->SaveLibraryAsDialog(false);
  }
  SetFileDialogResponder(before);
  if (gLibrary->LibraryPath != target || program.boxes != 0) state.SkipWithError("Save As did not open its copy");
}

// The floor: the shell copies the library the program has open.
void BM_Floor_ShellBackup(benchmark::State& state) {
  Program& program = TheProgram();
  const QString target = program.home.filePath(QStringLiteral("Floor.rw2"));
  for (auto _ : state) {
    state.PauseTiming();
    QFile::remove(target);
    state.ResumeTiming();
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {gLibrary->LibraryPath, QStringLiteral(".backup '%1'").arg(target)});
    if (!shell.waitForFinished(-1) || shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
      state.SkipWithError("The sqlite3 shell did not copy the library");
      break;
    }
  }
}

}  // namespace

BENCHMARK(BM_SaveAs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Floor_ShellBackup)->Unit(benchmark::kMillisecond)->UseRealTime();
