#pragma once
// The carousel's part of the main window: the canvas the carousel draws on,
// which lies in the result browser's frame in place of the grids, and the
// carousel's timers (the deferred details drawing and the keypad panel's
// blink). Until the carousel is built, the browser shows and focuses the
// canvas, which draws nothing and takes no input, and the timers never run.
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
};
