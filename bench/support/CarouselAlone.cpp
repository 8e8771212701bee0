#include "bench/support/CarouselAlone.h"

#include "carousel/CarouselPane.h"
#include "mainwindow/frmReelwise.h"
#include "platform/cAudioPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>

CarouselAlone::CarouselAlone() {
  // The carousel's sounds and music go nowhere: a benchmark times drawing.
  cAudioPlayer::SetAudioOutput(QStringLiteral("null"));
  OpenLargeResults({}, true, QStringLiteral("mnuViewCarousel"));
  ucCanvas& canvas = Canvas();
  canvas.setParent(nullptr);
  canvas.resize(1920, 1080);
  canvas.show();
  // Until the window is exposed a repaint paints nothing.
  QElapsedTimer waited;
  waited.start();
  while (!(canvas.windowHandle() && canvas.windowHandle()->isExposed()) && waited.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
}

ucCanvas& CarouselAlone::Canvas() const { return *gMainForm->Carousel().ucCarouselCanvas; }
