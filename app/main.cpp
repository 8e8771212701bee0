// Reelwise II: a catalogue of a personal collection of video files.
#include "app/modReelwise_startup.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
  // The program places its own top-level windows, which only X11 allows
  // (XWayland under a Wayland session).
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Reelwise II"));
  QApplication::setApplicationVersion(QStringLiteral("1.6.5"));

  // Start-up builds everything and shows the main window; the program then
  // runs until that window is closed.
  if (!modReelwise::Main(QApplication::arguments().mid(1))) return EXIT_FAILURE;
  return QApplication::exec();
}
