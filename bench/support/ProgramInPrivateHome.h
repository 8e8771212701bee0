#pragma once
// The whole program started for a benchmark in a private home (its own
// settings, documents and data folders), with message boxes counted instead
// of shown.
#include <QTemporaryDir>

struct ProgramInPrivateHome {
  QTemporaryDir home;
  int boxes = 0;

  // Runs Main; a start that fails ends the benchmark program.
  ProgramInPrivateHome();
  // The program outlives the benchmarks' application object; only its
  // scratch file and lock go before the home folder does.
  ~ProgramInPrivateHome();
  ProgramInPrivateHome(const ProgramInPrivateHome&) = delete;
  ProgramInPrivateHome& operator=(const ProgramInPrivateHome&) = delete;
};
