#include "bench/support/ProgramInPrivateHome.h"

#include "app/modReelwise_startup.h"
#include "browser/ResultsPane.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlConnection.h"
#include "platform/controls/TimerControl.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "platform/MessageBoxSeam.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>

#include <cstdlib>

namespace {

// The program ends as the user ends it, by closing its main window, while
// the application object still stands (its post routines run first as it
// goes): left to the statics' destruction, the window manager would save
// its placement after the widget system was gone and corrupt the heap.
void EndProgram() {
  if (gMainForm) gMainForm->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

void EnterPrivateHome(const QTemporaryDir& home, int& boxes) {
  for (const char* folder : {".config", ".local/share", "Documents"}) QDir(home.path()).mkpath(folder);
  qputenv("HOME", QFile::encodeName(home.path()));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
  SetMessageBoxHandler([&boxes](const MessageBoxRequest&) {
    ++boxes;
    return vbOK;
  });
  modReelwise::ComputeProgramFolders();
  modReelwise::CreateProgramFolders();
}

ProgramInPrivateHome::ProgramInPrivateHome() {
  EnterPrivateHome(home, boxes);
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TipOfTheDay"), 0);
  if (!modReelwise::Main({})) std::abort();
  while (modReelwise::FirstOpenPending()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  if (!gMainForm) std::abort();
  qAddPostRoutine(EndProgram);
}

ProgramInPrivateHome::~ProgramInPrivateHome() { modReelwise::ReleaseScratchLibrary(); }

void ProgramInPrivateHome::OpenLargeResults(const LargeLibrarySpec& spec, bool preload, const QString& viewCommand) {
  gMainForm->resize(1920, 1080);
  gLibrary->OpenLibrary(MakeLargeLibrary(home.path(), QStringLiteral("Large.rw2"), spec), true);
  if (preload) {
    gLibrary->ThumbnailPolicy = 0;
    gLibrary->LoadThumbnails();
  }
  gResultKind = ResultScope::Segment;
  gLibrary->Connection().Execute(QStringLiteral(
      "DELETE FROM SearchResults; INSERT INTO SearchResults SELECT SegmentID, FileID FROM VideoSegments"));
  gLibrary->FetchSearchResults();
  if (!viewCommand.isEmpty()) {
    gMainForm->MainToolbarHandler(viewCommand);
    gMainForm->Results().Timer1->SetEnabled(false);
  }
  if (gLibrary->ResultCount != ScaledSegments(spec)) std::abort();
}
