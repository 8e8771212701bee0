// The input gate during an add-files run, tried as a user tries it, with
// pointer and key events that go through the window's queue: no key or
// click of any window runs a command inside the run, Esc in each of them
// stops it, the Abort button takes its own click, and a request to close the
// program (the window system's close, the title bar's close box, Ctrl+Q)
// ends the run after the file in hand and then the program, with what was
// added kept and the library whole.
#include "tests/import/AddFilesFixture.h"

#include "browser/frmFindFiles.h"
#include "carousel/CarouselPane.h"
#include "carousel/frmTagCloud.h"
#include "carousel/ucCanvas.h"
#include "library/ViewSpec.h"
#include "options/frmProgramOptions.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/Label.h"
#include "platform/controls/TextBox.h"
#include "platform/controls/Toolbar.h"
#include "player/frmDSSink.h"
#include "player/modMainPlayer.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/RealInput.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>

namespace rwtest {
namespace {

class AddFilesGateTest : public AddFilesTest {
 protected:
  // 50 files under `folder`, added in the fast scope (names only).
  void MakeFiles(const QString& folder) {
    for (int i = 1; i <= 50; ++i) MakeFile(folder + QStringLiteral("/Clip %1.avi").arg(i, 2, 10, QLatin1Char('0')));
  }

  // Adds `folder` in the fast scope; `during` runs once, when the progress
  // says a fifth of the files are done (the tenth file is being added).
  void RunWith(const QString& folder, const std::function<void()>& during) {
    bool done = false;
    TitleWatch watch([&](const QString& title) {
      if (done || title != QLatin1String("Scanning: 20%")) return;
      done = true;
      during();
    });
    RunAddFiles(folder, [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
    EXPECT_TRUE(done) << "the run never got to its tenth file";
  }

  static int Files() { return Count(QStringLiteral("SELECT count(*) FROM VideoFiles")); }
};

// What a command changes: the view, the results, the browser's mode, kind
// and filter, the library open and the windows shown.
QString CommandState() {
  QStringList shown;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && !window->objectName().isEmpty()) shown << window->objectName();
  }
  shown.sort();
  return QStringList{gViewSpec,
                     QString::number(gLibrary->ResultCount),
                     QString::number(gBrowserMode),
                     QString::number(static_cast<int>(gResultKind)),
                     QString::number(static_cast<int>(gOnlineFilter)),
                     QString::number(gLibrary->HistoryIndex()),
                     gLibrary->LibraryPath,
                     shown.join(QLatin1Char(','))}
      .join(QLatin1Char('|'));
}

QPoint ButtonCentre(ctl::Toolbar& bar, const char* key) {
  const ctl::Button& button = bar.Buttons(QLatin1String(key));
  return QPoint(static_cast<int>(button.Left() + button.Width() / 2),
                static_cast<int>(button.Top() + button.Height() / 2));
}

// A window that can take keys while a run goes on, the control in it that
// has the focus, and the keys and click that would run a command there.
struct GatedWindow {
  const char* name;
  std::function<void()> open;
  std::function<QWidget*()> control;
  std::function<void(QWidget& control)> keysAndClick;
  std::function<void()> close;
};

// Each window in turn, in a run of its own: the keys and the click (real
// events, through the window's queue) change nothing a command would, and
// Esc there stops the run after its tenth file, which is kept and shown; the
// window stays as it was (the cloud is not hidden, Find not cancelled). In a
// last run the Abort button takes its own click, pressed and released by the
// mouse on it as the window system delivers them.
TEST_F(AddFilesGateTest, NoWindowRunsACommandDuringTheRunAndEscInEachOrAClickOnAbortStopsIt) {
  ScriptedFileDialogs dialogs;
  std::unique_ptr<frmFindFiles> find;
  std::unique_ptr<frmProgramOptions> options;
  const auto send = [](const char* key) { gMainForm->MainToolbarHandler(QLatin1String(key)); };
  const std::vector<GatedWindow> windows = {
      {"main window", [] {}, [] { return static_cast<QWidget*>(gMainForm->Results().flexThumbsTiled); },
       [](QWidget&) {
         // A command from a timer asks the gate as one from a key does.
         QTimer::singleShot(0, [] { gMainForm->MainToolbarHandler(QStringLiteral("LIST_VIEW")); });
         TypeKey(Qt::Key_L, Qt::ControlModifier);  // List View
         TypeKey(Qt::Key_F5);                      // Refresh
         TypeKey(Qt::Key_L, Qt::AltModifier);      // the Library menu, then Open
         TypeKey(Qt::Key_O);
         ClickAt(*gMainForm->tbMain, ButtonCentre(*gMainForm->tbMain, "LIST_VIEW"));
       },
       [] {}},
      {"tag cloud", [&] { send("mnuViewTagCloud"); }, [] { return static_cast<QWidget*>(gTagCloudForm.data()); },
       [](QWidget&) {
         TypeKey(Qt::Key_L, Qt::ControlModifier);
         TypeKey(Qt::Key_F5);
         ClickAt(*gTagCloudForm->imgClose);  // hides the cloud
       },
       [&] { send("mnuViewTagCloud"); }},
      {"carousel", [&] { send("mnuViewCarousel"); },
       [] { return static_cast<QWidget*>(gMainForm->Carousel().ucCarouselCanvas); },
       [](QWidget& canvas) {
         TypeKey(Qt::Key_3);  // the keypad's 3: matching segments
         TypeKey(Qt::Key_Right);
         ClickAt(canvas, {}, Qt::MiddleButton);  // the tile view
       },
       [&] { send("mnuViewTile"); }},
      {"find",
       [&] {
         find = std::make_unique<frmFindFiles>();
         find->show();
         find->txtSearchExpression->SetText(QStringLiteral("Clip"));
       },
       [&] { return static_cast<QWidget*>(find->txtSearchExpression); },
       [&](QWidget&) {
         TypeKey(Qt::Key_Return);  // SEARCH, the default button
         ClickAt(*find->lblFind);
       },
       [&] { find.reset(); }},
      {"options",
       [&] {
         options = std::make_unique<frmProgramOptions>();
         options->show();
       },
       [&] { return static_cast<QWidget*>(options.get()); },
       [&](QWidget&) {
         TypeKey(Qt::Key_Return);
         ClickAt(*options->lblDone);  // applies and closes
       },
       [&] { options.reset(); }},
  };
  int expected = 0;
  for (const GatedWindow& window : windows) {
    SCOPED_TRACE(window.name);
    const QString folder = QString::fromLatin1(window.name).remove(QLatin1Char(' '));
    MakeFiles(folder);
    window.open();
    QString before;
    QString after;
    QPointer<QWidget> control;
    RunWith(folder, [&] {
      control = window.control();
      ASSERT_TRUE(control && control->isVisible());
      ASSERT_TRUE(FocusOn(*control));
      before = CommandState();
      window.keysAndClick(*control);
      after = CommandState();
      ASSERT_TRUE(control && FocusOn(*control)) << "the window is still there";
      EXPECT_TRUE(TypeKey(Qt::Key_Escape));
    });
    expected += 10;
    EXPECT_EQ(after.toStdString(), before.toStdString()) << "a command ran inside the run";
    EXPECT_EQ(Files(), expected) << "Esc stopped the run after its tenth file";
    EXPECT_EQ(gLibrary->ResultCount, 10) << "and showed the files it added";
    EXPECT_TRUE(control && control->isVisible()) << "Esc went to the run, not to the window";
    EXPECT_EQ(dialogs.Count(), 0);
    EXPECT_EQ(gLibrary->LibraryPath, library_);
    window.close();
  }
  EXPECT_EQ(boxes.Count(), 0);

  // Abort takes a real mouse click.
  MakeFiles(QStringLiteral("Films"));
  RunWith(QStringLiteral("Films"), [] {
    QPushButton& abort = *gMainForm->Import().cmdAbortScan;
    ASSERT_TRUE(abort.isVisible() && abort.isEnabled());
    ClickAt(abort);
  });
  EXPECT_EQ(Files(), expected + 10);
  EXPECT_EQ(gLibrary->ResultCount, 10);
  EXPECT_FALSE(gMainForm->Import().cmdAbortScan->isVisible());
}

// Each request to close the program during the run (the window system's
// close, the title bar's close box, Ctrl+Q) ends the run after the file in
// hand and then the program, asking nothing; the files added are kept and
// the library file is whole. The program is started again for the next.
TEST_F(AddFilesGateTest, ACloseRequestOrCtrlQEndsTheRunAfterTheFileInHandAndThenTheProgram) {
  const std::vector<std::pair<const char*, std::function<void()>>> requests = {
      {"window system", [] { gMainForm->windowHandle()->close(); }},
      {"close box", [] { ClickAt(*gMainForm->tbControlBox, ButtonCentre(*gMainForm->tbControlBox, "CLOSE")); }},
      {"Ctrl+Q",
       [] {
         ASSERT_TRUE(FocusOn(*gMainForm->Results().flexThumbsTiled));
         TypeKey(Qt::Key_Q, Qt::ControlModifier);
       }},
  };
  int expected = 0;
  for (const auto& [name, request] : requests) {
    SCOPED_TRACE(name);
    const QString folder = QString::fromLatin1(name).remove(QLatin1Char(' ')).remove(QLatin1Char('+'));
    MakeFiles(folder);
    RunWith(folder, request);
    expected += 10;
    EXPECT_TRUE(QTest::qWaitFor([] { return gMainForm.isNull(); }, kWaitCeilingMs)) << "the program closed";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(boxes.Count(), 0);
    {
      auto db = SqlConnection::Open(library_);
      EXPECT_EQ(db->OpenRecordset(QStringLiteral("PRAGMA integrity_check"))->Value(0).toString(), QStringLiteral("ok"));
      EXPECT_EQ(db->OpenRecordset(QStringLiteral("SELECT count(*) FROM VideoFiles"))->Value(0).toInt(), expected)
          << "the run stopped after its tenth file and kept it";
    }
    ASSERT_TRUE(Start());
    gLibrary->OpenLibrary(library_, true);
  }
}

// The full-screen run holds the gate too: its window takes the player's
// keys, and no key or click there runs a command of the main window; Esc
// ends the run. A Ctrl+Q whose press and release come together, as a key
// macro or a remote's bridge sends it (Ctrl lets go before Q), ends the run
// and then the program.
TEST_F(AddFilesGateTest, TheFullScreenRunTakesOnlyItsOwnKeysAndAQuickCtrlQEndsItAndTheProgram) {
  RW_REQUIRE_FFMPEG();
  TestVideoSpec minute;
  minute.seconds = 60;
  MakeClip(QStringLiteral("Long clip.mp4"), minute);
  RunAddFiles();
  ASSERT_EQ(gLibrary->ResultCount, 1);
  // Runs `step` once, from the run's own loop, when its entry plays; a run
  // that goes on fails the test instead of hanging it.
  const auto inTheRun = [](const std::function<void()>& step) {
    bool done = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (done || !gDSSinkForm || !gFullScreenFileOpen) return;
      done = true;
      step();
    });
    poll.start(20);
    QTimer ceiling;
    ceiling.setSingleShot(true);
    QObject::connect(&ceiling, &QTimer::timeout, [] {
      if (gDSSinkForm) gDSSinkForm->close();
    });
    ceiling.start(kWaitCeilingMs);
    QElapsedTimer run;
    run.start();
    gMainForm->MainToolbarHandler(QStringLiteral("mnuToolsRunPlaylist"));
    EXPECT_TRUE(done);
    EXPECT_LT(run.elapsed(), 50000) << "the run ended before its minute-long clip";
    EXPECT_TRUE(gDSSinkForm.isNull());
  };

  QString before;
  QString after;
  inTheRun([&] {
    ASSERT_TRUE(FocusOn(*gDSSinkForm));
    before = CommandState();
    TypeKey(Qt::Key_L, Qt::ControlModifier);
    TypeKey(Qt::Key_F5);
    TypeKey(Qt::Key_F9);
    ClickAt(*gDSSinkForm, {}, Qt::RightButton);
    after = CommandState();
    EXPECT_TRUE(TypeKey(Qt::Key_Escape));
  });
  EXPECT_EQ(after.toStdString(), before.toStdString()) << "a command of the main window ran inside the run";
  ASSERT_TRUE(gMainForm);

  inTheRun([] {
    QWindow* window = gDSSinkForm->windowHandle();
    QTest::keyPress(window, Qt::Key_Control);
    QTest::keyPress(window, Qt::Key_Q, Qt::ControlModifier);
    QTest::keyRelease(window, Qt::Key_Control);
    QTest::keyRelease(window, Qt::Key_Q);
  });
  EXPECT_TRUE(QTest::qWaitFor([] { return gMainForm.isNull(); }, kWaitCeilingMs)) << "the program closed";
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
}  // namespace rwtest
