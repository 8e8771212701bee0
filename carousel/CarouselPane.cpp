#include "carousel/CarouselPane.h"

CarouselPane::CarouselPane(QWidget* window, QWidget* browserFrame) {
  ucCarouselCanvas = new ucCanvas(browserFrame);
  ucCarouselCanvas->setObjectName(QStringLiteral("ucCarouselCanvas"));
  ucCarouselCanvas->SetVisible(false);
  NonT9Timer = new ctl::TimerControl(window);
  NonT9Timer->setObjectName(QStringLiteral("NonT9Timer"));
  CarouselTimer = new ctl::TimerControl(window);
  CarouselTimer->setObjectName(QStringLiteral("CarouselTimer"));
  for (ctl::TimerControl* timer : {NonT9Timer, CarouselTimer}) timer->SetEnabled(false);
}
