#include "ui/cDIBSectionRegion.h"

#include "platform/RWError.h"
#include "platform/WholeFile.h"
#include "ui/cDIBSection.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr int32_t kHeaderBytes = 32;
constexpr int32_t kRectBytes = 16;
constexpr int32_t kRectanglesType = 1;

[[noreturn]] void Raise(int32_t number, const QString& description) {
  throw RWError(number, description, QCoreApplication::applicationName() + QStringLiteral(".cDIBSectionRegion"));
}

// The [left, right) spans of the pixels of one stored row that are not the transparent colour.
using Spans = std::vector<std::pair<int, int>>;

Spans OpaqueSpans(const uint8_t* row, int width, COLORREF transparent) {
  const uint8_t red = GetRValue(transparent), green = GetGValue(transparent), blue = GetBValue(transparent);
  Spans spans;
  for (int x = 0; x < width; ++x) {
    const uint8_t* pixel = row + 3 * x;
    if (pixel[0] == blue && pixel[1] == green && pixel[2] == red) continue;
    if (!spans.empty() && spans.back().second == x) {
      spans.back().second = x + 1;  // the pixel extends the span before it
    } else {
      spans.emplace_back(x, x + 1);
    }
  }
  return spans;
}

// The opaque pixels as rectangles in the banded order a region keeps: rows
// with equal spans next to each other form one band, one rectangle per span.
QRegion OpaqueRegion(const cDIBSection& dib, COLORREF transparent) {
  std::vector<QRect> rects;
  Spans band;
  int bandTop = 0;
  auto closeBand = [&](int bottom) {
    for (const auto& [left, right] : band) rects.emplace_back(left, bandTop, right - left, bottom - bandTop);
  };
  for (int y = 0; y < dib.Height(); ++y) {
    // Rows are stored bottom-up: row y from the top is stored Height - 1 - y rows in.
    const uint8_t* row = dib.DIBSectionBitsPtr() + int64_t{dib.Height() - 1 - y} * dib.BytesPerScanLine();
    Spans spans = OpaqueSpans(row, dib.Width(), transparent);
    if (y == 0 || spans != band) {
      closeBand(y);
      band = std::move(spans);
      bandTop = y;
    }
  }
  closeBand(dib.Height());
  QRegion region;
  region.setRects(rects.data(), static_cast<int>(rects.size()));
  return region;
}

int64_t RegionDataSize(const QRegion& region) { return kHeaderBytes + int64_t{kRectBytes} * region.rectCount(); }

QByteArray RegionData(const QRegion& region) {
  QByteArray data;
  data.reserve(static_cast<qsizetype>(RegionDataSize(region)));
  auto put = [&data](int32_t value) {
    const int32_t le = qToLittleEndian(value);
    data.append(reinterpret_cast<const char*>(&le), sizeof le);
  };
  auto putRect = [&put](const QRect& r) {
    put(r.x());
    put(r.y());
    put(r.x() + r.width());
    put(r.y() + r.height());
  };
  put(kHeaderBytes);
  put(kRectanglesType);
  put(region.rectCount());
  put(kRectBytes * region.rectCount());
  putRect(region.boundingRect());
  for (const QRect& r : region) putRect(r);
  return data;
}

}  // namespace

cDIBSectionRegion::~cDIBSectionRegion() { Destroy(); }

bool cDIBSectionRegion::Applied(const QWidget* hWnd) const {
  return hWnd && std::find(windows_.begin(), windows_.end(), hWnd) != windows_.end();
}

void cDIBSectionRegion::SetApplied(QWidget* hWnd, bool value) {
  if (!hWnd) return;
  const auto listed = std::find(windows_.begin(), windows_.end(), hWnd);
  if (value) {
    if (listed == windows_.end()) windows_.emplace_back(hWnd);
    ApplyTo(*hWnd);
    return;
  }
  hWnd->clearMask();
  if (listed != windows_.end()) windows_.erase(listed);
}

QWidget* cDIBSectionRegion::hWndForIndex(int32_t Index) const {
  if (Index < 1 || Index > AppliedToCount()) return nullptr;
  return windows_[static_cast<size_t>(Index - 1)];
}

void cDIBSectionRegion::ApplyTo(QWidget& window) const {
  if (!region_) {
    window.clearMask();
  } else if (region_->isEmpty()) {
    // An empty mask means "no mask" to Qt; a shape wholly outside the window
    // hides all of it, as a fully transparent picture should.
    window.setMask(QRegion(-1, -1, 1, 1));
  } else {
    window.setMask(*region_);
  }
}

void cDIBSectionRegion::Destroy() {
  for (const QPointer<QWidget>& window : windows_) {
    if (window) window->clearMask();
  }
  windows_.clear();
  region_.reset();
}

void cDIBSectionRegion::Create(const cDIBSection& DIB, COLORREF TransparentColour) {
  Destroy();
  region_ = OpaqueRegion(DIB, TransparentColour);
}

bool cDIBSectionRegion::Save(const QString& FileName) const {
  if (!region_) Raise(kErrNoRegionToSave, QStringLiteral("No region to save"));
  const int64_t size = RegionDataSize(*region_);
  if (size <= 0 || size > std::numeric_limits<int32_t>::max()) {
    Raise(kErrRegionSize, QStringLiteral("Unable to determine size of region"));
  }
  const QByteArray data = RegionData(*region_);
  if (data.size() != size) Raise(kErrRegionData, QStringLiteral("Unable to get region data"));

  QString reason;
  if (!WriteFileWhole(FileName, data, &reason)) Raise(kErrFileAccess, FileNotWrittenText(FileName, reason));
  return true;
}
