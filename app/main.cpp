// Reelwise II: a catalogue of a personal collection of video files.
#include "app/HomeFolder.h"
#include "app/modReelwise_startup.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt's X11 platform would end the program with an abort;
// the user is told instead what the program needs.
bool DisplayMissing() {
  return qgetenv("QT_QPA_PLATFORM").startsWith("xcb") && qEnvironmentVariableIsEmpty("DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  // The program places its own top-level windows, which only X11 allows
  // (XWayland under a Wayland session).
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  if (DisplayMissing()) {
    std::fputs("Reelwise II needs a graphical session (X11, or XWayland under Wayland): no display is set.\n", stderr);
    return EXIT_FAILURE;
  }
  // Settings, documents and data go under the home folder; never at the root.
  if (!EnsureHomeFolder()) return EXIT_FAILURE;
  // Video is rendered in a context of its own whose textures the video
  // windows draw, so contexts share their objects.
  QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  // Qt has set the locale from the environment; numbers the media engine
  // reads and writes keep a decimal point.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QStringLiteral("Reelwise II"));
  QApplication::setApplicationVersion(QStringLiteral("1.6.5"));

  // Start-up builds everything and shows the main window; the program then
  // runs until that window is closed or a signal tells it to end.
  if (!modReelwise::Main(QApplication::arguments().mid(1))) return EXIT_FAILURE;
  return modReelwise::Run();
}
