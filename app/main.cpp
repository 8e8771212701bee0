// Reelwise II: a catalogue of a personal collection of video files.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  // The program places its own top-level windows, which only X11 allows
  // (XWayland under a Wayland session).
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Reelwise II"));
  QApplication::setApplicationVersion(QStringLiteral("1.6.5"));

  // The main window arrives with the start-up sequence; until then the program
  // shows that it runs and ends when that window is closed.
  QLabel window(QStringLiteral("Reelwise II"));
  window.setWindowTitle(QStringLiteral("Reelwise II"));
  window.setAlignment(Qt::AlignCenter);
  window.resize(480, 270);
  window.show();
  return QApplication::exec();
}
