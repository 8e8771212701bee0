#include "tests/support/EventLoopWaits.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace rwtest {

void RunTimersDueWithin(int milliseconds) {
  bool fired = false;
  QTimer marker;
  marker.setSingleShot(true);
  marker.setTimerType(Qt::PreciseTimer);
  QObject::connect(&marker, &QTimer::timeout, [&fired] { fired = true; });
  marker.start(milliseconds + milliseconds / 10 + 1);
  if (!QTest::qWaitFor([&fired] { return fired; }, kWaitCeilingMs + milliseconds)) {
    ADD_FAILURE() << "a timer of " << milliseconds << " ms never fired";
  }
}

void RunEventLoopPasses(int passes) {
  for (int pass = 0; pass < passes; ++pass) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace rwtest
