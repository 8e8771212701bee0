#pragma once
// The carousel's part of the main window: the canvas the carousel draws on,
// which lies in the result browser's frame in place of the grids, and the
// carousel's timers (the deferred details drawing and the keypad panel's
// blink). The canvas's mouse, key and drag events are the browser's to
// handle: they act on the current result like the grids' events.
#include "carousel/ucCanvas.h"
#include "platform/controls/TimerControl.h"

#include <QWidget>

class CarouselPane {
 public:
  // The canvas goes into `browserFrame`, the timers belong to `window`.
  CarouselPane(QWidget* window, QWidget* browserFrame);
  CarouselPane(const CarouselPane&) = delete;
  CarouselPane& operator=(const CarouselPane&) = delete;

  ucCanvas* ucCarouselCanvas;
  ctl::TimerControl* CarouselTimer;
  ctl::TimerControl* NonT9Timer;

  void CarouselTimer_Timer();
  static void NonT9Timer_Timer();
};
