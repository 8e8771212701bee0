#include "carousel/CarouselPane.h"

#include "carousel/cCarousel.h"

CarouselPane::CarouselPane(QWidget* window, QWidget* browserFrame) {
  ucCarouselCanvas = new ucCanvas(browserFrame);
  ucCarouselCanvas->setObjectName(QStringLiteral("ucCarouselCanvas"));
  ucCarouselCanvas->SetVisible(false);
  NonT9Timer = new ctl::TimerControl(window);
  NonT9Timer->setObjectName(QStringLiteral("NonT9Timer"));
  NonT9Timer->SetInterval(250);
  CarouselTimer = new ctl::TimerControl(window);
  CarouselTimer->setObjectName(QStringLiteral("CarouselTimer"));
  CarouselTimer->SetInterval(100);
  for (ctl::TimerControl* timer : {NonT9Timer, CarouselTimer}) timer->SetEnabled(false);
  CarouselTimer->Timer = [this] { CarouselTimer_Timer(); };
  NonT9Timer->Timer = [] { NonT9Timer_Timer(); };
}

// One shot: the details a move left for later.
void CarouselPane::CarouselTimer_Timer() {
  CarouselTimer->SetEnabled(false);
  if (gCarousel) gCarousel->TimerEvent();
}

// The keypad panel's blink and multi-tap commit.
void CarouselPane::NonT9Timer_Timer() {
  if (gCarousel) gCarousel->TimerEvent();
}
