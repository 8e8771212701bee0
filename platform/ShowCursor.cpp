#include "platform/ShowCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

int gDisplayCount = 0;

}  // namespace

// The blank pointer is one override cursor, set when the count falls below 0
// and removed when it comes back to 0; other override cursors (the busy
// pointer) stack over it as usual.
int ShowCursor(bool show) {
  const bool hiddenBefore = gDisplayCount < 0;
  gDisplayCount += show ? 1 : -1;
  const bool hidden = gDisplayCount < 0;
  if (hidden && !hiddenBefore && qGuiApp) QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
  if (!hidden && hiddenBefore && qGuiApp) QGuiApplication::restoreOverrideCursor();
  return gDisplayCount;
}

int CursorDisplayCount() { return gDisplayCount; }
