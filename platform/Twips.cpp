#include "platform/Twips.h"

#include "platform/Rounding.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kDefaultDpi = 96.0;

double LogicalDpi(bool horizontal) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return kDefaultDpi;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return kDefaultDpi;
  const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
  return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace

double TwipsPerPixelX() { return kTwipsPerInch / LogicalDpi(true); }
double TwipsPerPixelY() { return kTwipsPerInch / LogicalDpi(false); }

int TwipsToPixelsX(double twips) { return static_cast<int>(RoundHalfEven(twips / TwipsPerPixelX())); }
int TwipsToPixelsY(double twips) { return static_cast<int>(RoundHalfEven(twips / TwipsPerPixelY())); }
double PixelsToTwipsX(int pixels) { return pixels * TwipsPerPixelX(); }
double PixelsToTwipsY(int pixels) { return pixels * TwipsPerPixelY(); }
