#include "ui/cDIBSection.h"

#include "platform/RWError.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <cstring>

cDIBSection::~cDIBSection() { ClearUp(); }

bool cDIBSection::CreateDIB(int32_t Width, int32_t Height) {
  if (Width <= 0 || Height <= 0 || Width > kMaxSide || Height > kMaxSide) return false;
  const int32_t stride = (Width * 3 + 3) & ~3;
  const int64_t bytes = int64_t{stride} * Height;
  if (bytes > kMaxBytes) return false;
  // calloc: a new picture starts black, and large blocks are not touched until used.
  bits_.reset(static_cast<uint8_t*>(std::calloc(static_cast<size_t>(bytes), 1)));
  if (!bits_) return false;
  width_ = Width;
  height_ = Height;
  bytesPerScanLine_ = stride;
  return true;
}

bool cDIBSection::Create(int32_t Width, int32_t Height) {
  ClearUp();
  if (!CreateDIB(Width, Height)) return false;
  hdc_ = QImage(bits_.get(), width_, height_, bytesPerScanLine_, QImage::Format_BGR888);
  return true;
}

void cDIBSection::CreateFromPicture(const QImage& Picture) {
  if (Create(Picture.width(), Picture.height())) LoadPictureBlt(Picture, 0, 0, -1, -1, SRCCOPY);
}

void cDIBSection::CheckRop(int32_t Rop) {
  if (Rop != SRCCOPY) {
    throw RWError(kErrInvalidArgument, QStringLiteral("Invalid procedure call or argument"),
                  QCoreApplication::applicationName() + QStringLiteral(".cDIBSection"));
  }
}

void cDIBSection::LoadPictureBlt(const QImage& hDC, int32_t SrcLeft, int32_t SrcTop, int32_t SrcWidth,
                                 int32_t SrcHeight, int32_t Rop) {
  if (!bits_) return;
  CheckRop(Rop);
  if (SrcWidth < 0) SrcWidth = width_;
  if (SrcHeight < 0) SrcHeight = height_;
  // Only what lies inside the source and fits in this picture is copied.
  const QRect wanted(SrcLeft, SrcTop, std::min(SrcWidth, width_), std::min(SrcHeight, height_));
  const QRect area = wanted.intersected(hDC.rect());
  if (area.isEmpty()) return;
  const QImage source = hDC.copy(area).convertToFormat(QImage::Format_BGR888);
  for (int row = 0; row < area.height(); ++row) {
    const int y = area.top() - SrcTop + row;  // row in this picture, counted from the top
    uint8_t* dest = bits_.get() + int64_t{height_ - 1 - y} * bytesPerScanLine_ + (area.left() - SrcLeft) * 3;
    std::memcpy(dest, source.constScanLine(row), static_cast<size_t>(area.width()) * 3);
  }
}

void cDIBSection::PaintPicture(QPainter& hDC, int32_t DestLeft, int32_t DestTop, int32_t DestWidth,
                               int32_t DestHeight, int32_t SrcLeft, int32_t SrcTop, int32_t Rop) {
  if (!bits_) return;
  CheckRop(Rop);
  if (DestWidth < 0) DestWidth = width_;
  if (DestHeight < 0) DestHeight = height_;
  const QRect area = QRect(SrcLeft, SrcTop, DestWidth, DestHeight).intersected(QRect(0, 0, width_, height_));
  if (area.isEmpty()) return;
  // The rows are stored bottom-up, so the area lies mirrored in hdc: take it
  // from there and flip it back before drawing.
  const QRect stored(area.left(), height_ - area.top() - area.height(), area.width(), area.height());
  const QImage upright = hdc_.copy(stored).mirrored(false, true);
  hDC.save();
  hDC.setCompositionMode(QPainter::CompositionMode_Source);
  hDC.drawImage(QPoint(DestLeft + area.left() - SrcLeft, DestTop + area.top() - SrcTop), upright);
  hDC.restore();
}

void cDIBSection::PaintPicture(QPaintDevice& hDC, int32_t DestLeft, int32_t DestTop, int32_t DestWidth,
                               int32_t DestHeight, int32_t SrcLeft, int32_t SrcTop, int32_t Rop) {
  if (!bits_) return;
  CheckRop(Rop);
  QPainter painter(&hDC);
  if (painter.isActive()) PaintPicture(painter, DestLeft, DestTop, DestWidth, DestHeight, SrcLeft, SrcTop, Rop);
}

void cDIBSection::ClearUp() {
  // The image goes before the memory it looks at.
  hdc_ = QImage();
  bits_.reset();
  width_ = 0;
  height_ = 0;
  bytesPerScanLine_ = 0;
}
