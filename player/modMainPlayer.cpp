#include "player/modMainPlayer.h"

#include "player/frmDSSink.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

#include <QApplication>

QString gOsdIcon;
QString gOsdText;
QString gOsdTimeText;

namespace modMainPlayer {

namespace {

std::function<OsdPalette()>& PaletteSource() {
  static std::function<OsdPalette()> source;
  return source;
}

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

OsdPalette DefaultOsdPalette() {
  const COLORREF tint1 = BlendColor(gSchemeColour2, gSchemeColour3, 128);
  return {BlendColor(tint1, RGB(255, 255, 255), 160), gSchemeColour4};
}

void SetOsdPaletteSource(std::function<OsdPalette()> source) { PaletteSource() = std::move(source); }

OsdPalette OsdColours() {
  const auto& source = PaletteSource();
  return source ? source() : DefaultOsdPalette();
}

}  // namespace modMainPlayer
