#pragma once
// The canvas control the carousel draws on. A least version until the
// carousel is built: a plain picture box.
#include "platform/controls/PictureBox.h"

class ucCanvas : public ctl::PictureBox {
 public:
  using ctl::PictureBox::PictureBox;
};
