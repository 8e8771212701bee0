#pragma once
// A whole run of the program in a private home: Main builds everything, and
// the run ends the way the user ends it, by closing the main window.
#include "app/modReelwise_startup.h"
#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/CarouselPane.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "import/ImportPane.h"
#include "inspector/InspectorPane.h"
#include "mainwindow/frmReelwise.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QTest>

#include <malloc.h>

namespace rwtest {

class ProgramTest : public TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    // No tip of the day unless a test asks for one.
    SetOther("TipOfTheDay", 0);
  }

  void TearDown() override {
    EndProgram();
    frmReelwise::LoadStepHook = nullptr;
    TempHomeTest::TearDown();
  }

  static void SetOther(const char* name, const QVariant& value) {
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QLatin1String(name), value);
  }
  static RegValue Other(const char* name) {
    return modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QLatin1String(name));
  }

  // A start goes on until the first library has opened, from the event loop.
  static bool Start(const QStringList& arguments = {}) {
    if (!modReelwise::Main(arguments)) return false;
    return QTest::qWaitFor([] { return !modReelwise::FirstOpenPending(); }, 60000) && gMainForm;
  }

  // Closes the main window through its own unload path and lets the
  // deferred deletions run.
  static void EndProgram() {
    if (gMainForm) gMainForm->close();
    mallopt(M_PERTURB, 0x5A);  // what they free is scribbled on: a handler still reaching into it crashes
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    mallopt(M_PERTURB, 0);
  }

  static QStringList ScratchFiles() {
    return QDir(gTempFolder).entryList({QStringLiteral("InitRW2*")}, QDir::Files);
  }

  static int VisibleWindows() {
    int visible = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) visible += window->isVisible() ? 1 : 0;
    return visible;
  }

  ScriptedMessageBoxes boxes;
};

// The running program, started for the test, with the controls the library
// fills reached by the names the library's own fixtures use.
class RunningProgramTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_TRUE(Start());
  }

  static ctl::TreeView& Tree() { return *gMainForm->Tree().tvwLibrary; }
  static ctl::ImageCombo& HistoryCombo() { return *gMainForm->Results().cmbBrowserHistory; }
  static ctl::ButtonMenuCollection& HistoryMenu() {
    return gMainForm->tbMain->Buttons(QStringLiteral("HISTORY")).ButtonMenus;
  }
};

}  // namespace rwtest
