#pragma once
// The whole program started for a benchmark in a private home (its own
// settings, documents and data folders), with message boxes counted instead
// of shown.
#include "bench/support/LargeLibrary.h"

#include <QString>
#include <QTemporaryDir>

// Points HOME and the XDG folders at `home`, makes the program's folders
// there and counts message boxes in `boxes` instead of showing them.
void EnterPrivateHome(const QTemporaryDir& home, int& boxes);

struct ProgramInPrivateHome {
  QTemporaryDir home;
  int boxes = 0;

  // Runs Main; a start that fails ends the benchmark program.
  ProgramInPrivateHome();
  // The program outlives the benchmarks' application object; only its
  // scratch file and lock go before the home folder does.
  ~ProgramInPrivateHome();
  ProgramInPrivateHome(const ProgramInPrivateHome&) = delete;

  // Opens the generated large library (written into the home) with every
  // segment among the results; with `preload` every thumbnail is cached
  // first. A view command ("mnuViewTile", "mnuViewList") shows them in the
  // main window at 1920 x 1080, without the cursor's blink, whose repaints
  // would only come between the steps. Ends the program when the results
  // are not all there.
  void OpenLargeResults(const LargeLibrarySpec& spec = {}, bool preload = false, const QString& viewCommand = {});
  ProgramInPrivateHome& operator=(const ProgramInPrivateHome&) = delete;
};
