#include "player/modMainPlayer.h"

#include "player/frmDSSink.h"

#include <QApplication>

QString gOsdIcon;
QString gOsdText;
QString gOsdTimeText;

namespace modMainPlayer {

namespace {

// The full-screen player is shown modally as a window of its own (owned by
// the main window while it plays).
void ClosePlayerWindows() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (dynamic_cast<frmDSSink*>(window) && window->isVisible()) window->close();
  }
}

}  // namespace

void ExecutePlayerCommand(const QString& command) {
  if (command == QLatin1String("KillPlayback")) ClosePlayerWindows();
}

}  // namespace modMainPlayer
