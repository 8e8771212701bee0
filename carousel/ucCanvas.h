#pragma once
// The canvas control the carousel draws on. So far a plain picture box; the
// carousel's drawing and input come with its own work.
#include "platform/controls/PictureBox.h"

class ucCanvas : public ctl::PictureBox {
 public:
  using ctl::PictureBox::PictureBox;
};
