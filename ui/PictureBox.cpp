#include "ui/PictureBox.h"

#include "ui/modBlendColorAlpha.h"

#include "platform/RWError.h"

#include <QDebug>
#include <QPainter>

#include <algorithm>

#include <cairo.h>

namespace {
constexpr COLORREF kButtonFace = 0x8000000Fu;
}

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), backColour_(static_cast<COLORREF>(TranslateColor(kButtonFace))) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::SetBackColour(COLORREF colour) {
  backColour_ = colour;
  Image().Fill(colour);
  update();
}

ImageSurface& PictureBox::Image() {
  const int w = std::max(1, width());
  const int h = std::max(1, height());
  if (!image_ || image_->Width() != w || image_->Height() != h) {
    // A resized box keeps what was drawn, as far as it still fits.
    auto grown = std::make_unique<ImageSurface>(w, h);
    grown->Fill(backColour_);
    if (image_) {
      cairo_t* cr = cairo_create(grown->CairoSurface());
      cairo_set_source_surface(cr, image_->CairoSurface(), 0, 0);
      cairo_paint(cr);
      cairo_destroy(cr);
      grown->Flush();
    }
    image_ = std::move(grown);
  }
  return *image_;
}

void PictureBox::Refresh() { repaint(); }

void PictureBox::paintEvent(QPaintEvent*) {
  try {
    ImageSurface& image = Image();
    image.Flush();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, image.Image());
  } catch (const RWError& error) {
    // A box too large for an image shows nothing rather than failing its paint.
    qWarning() << "Picture box:" << error.Text();
  }
}
