// Small and scaled screens: the main window and every window its commands
// open lie whole on the work area, each screen in a child process whose
// offscreen platform has it.
#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "carousel/frmTagCloud.h"
#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "options/frmExternalAppConfig.h"
#include "options/frmProgramOptions.h"
#include "tests/mainwindow/CommandRun.h"
#include "tests/support/TwoScreens.h"
#include "ui/WorkArea.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

using ScreenFitTest = rwtest::CommandTest;

// The window's frame and all on its work area, or what it is off by.
::testing::AssertionResult Whole(const QWidget& window) {
  const QRect work = WorkArea::Of(&window);
  const QRect outer = window.frameGeometry();
  if (work.contains(outer)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << window.objectName().toStdString() << " at " << outer.x() << ","
                                       << outer.y() << " " << outer.width() << "x" << outer.height()
                                       << " on a work area of " << work.width() << "x" << work.height();
}

TEST_F(ScreenFitTest, TheMainWindowAndEveryWindowItOpensLieWholeOnTheWorkArea) {
  const struct {
    QSize pixels;
    QString scale;
  } screens[] = {{{1024, 768}, QString()},
                 {{1280, 720}, QString()},
                 {{1366, 768}, QStringLiteral("1.5")},
                 {{1920, 1080}, QStringLiteral("1.5")},
                 {{1920, 1080}, QStringLiteral("2")}};
  const bool inChild = qEnvironmentVariableIsSet("RW_TEST_SCREEN_SIZE");
  for (const auto& c : screens) {
    SCOPED_TRACE(rwtest::ScreenSizeName(c.pixels).toStdString() + " at " + c.scale.toStdString());
    if (inChild ? !rwtest::IsPrimaryScreenOf(c.pixels, c.scale) : !rwtest::OnPrimaryScreenOf(c.pixels, c.scale)) {
      continue;
    }
    // 1920 x 1080 at 2 is 960 x 540 to the program: the window's least
    // size of 560 x 560 is cut to it, as its first size is.
    EXPECT_TRUE(Whole(Form()));
    const QRect work = WorkArea::Of(&Form());
    if (work.width() < 1024 || work.height() < 768) EXPECT_EQ(Form().frameGeometry().size(), work.size().boundedTo({1024, 768}));
    // The panes laid out inside it: the tree and the browser above the
    // inspector, which reaches the window's foot with its transport bar.
    for (const ctl::Control* pane : {static_cast<const ctl::Control*>(Form().Tree().picLeft),
                                     static_cast<const ctl::Control*>(Form().Results().picRight),
                                     static_cast<const ctl::Control*>(Form().Inspector().picBottom)}) {
      EXPECT_TRUE(Form().rect().contains(pane->geometry())) << pane->objectName().toStdString();
      EXPECT_GT(pane->height(), 0) << pane->objectName().toStdString();
    }
    EXPECT_EQ(Form().Inspector().picBottom->geometry().bottom(), Form().height() - 1);
    Form().resize(300, 200);
    EXPECT_TRUE(Whole(Form())) << "never larger than the work area, however small it is asked to be";

    // Find Files and Add Files need an open library.
    const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
    modReelwise::ExtractTemplateLibrary(library);
    gLibrary->OpenLibrary(library, true);
    rwtest::ModalWatch watch;
    QStringList checked;
    watch.inside = [&](QWidget& window) {
      EXPECT_TRUE(Whole(window));
      checked << window.objectName();
      // The external application's configuration window, from the options.
      if (auto* options = dynamic_cast<frmProgramOptions*>(&window); options && checked.size() == 1) {
        frmExternalAppConfig config(options);
        config.show();
        EXPECT_TRUE(Whole(config));
        checked << config.objectName();
      }
    };
    for (const char* command : {"mnuToolsOptions", "mnuLibraryInfo", "mnuToolsFindFiles", "mnuHelpAbout",
                                "mnuLibraryAddFiles"}) {
      SCOPED_TRACE(command);
      Send(command);
      QCoreApplication::processEvents();
      // Windows that are not modal are looked at here, then closed.
      for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == &Form() || !window->isVisible() || window->windowType() == Qt::Popup) continue;
        EXPECT_TRUE(Whole(*window));
        checked << window->objectName();
        window->close();
      }
    }
    Send("mnuViewTagCloud");
    ASSERT_NE(gTagCloudForm, nullptr);
    EXPECT_TRUE(gTagCloudForm->isVisible());
    EXPECT_TRUE(Whole(*gTagCloudForm));
    // Inside or beside the main window, under its title bar, menus and toolbar.
    const QRect cloud = gTagCloudForm->frameGeometry();
    EXPECT_GE(cloud.top(), Form().picHolder->mapToGlobal(QPoint(0, Form().picHolder->height())).y());
    EXPECT_TRUE(cloud.intersects(Form().frameGeometry().adjusted(-1, -1, 1, 1)));
    Send("mnuViewTagCloud");
    for (const char* window : {"frmProgramOptions", "frmExternalAppConfig", "frmFindFiles", "frmAboutReelwise",
                               "frmAddToLibrary"}) {
      EXPECT_TRUE(checked.contains(QLatin1String(window))) << window << " in " << checked.join(',').toStdString() << " of " << watch.shown.join(',').toStdString();
    }
  }
}

}  // namespace
