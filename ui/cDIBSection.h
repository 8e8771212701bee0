#pragma once
// A 24-bit picture held in memory laid out the way the colour-scheme
// recolouring expects to walk it: rows stored bottom row first, each pixel
// three bytes blue, green, red, each row padded to a multiple of 4 bytes.
// Pictures are copied in and out with LoadPictureBlt and PaintPicture; hdc is
// a QImage over the same bytes, so anything drawn into it changes the bits.
// Because the rows are bottom-up, hdc sees the picture upside down.
#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <memory>

class QPainter;
class QPaintDevice;

class cDIBSection {
 public:
  // The only raster operation supported: a plain copy of source to destination.
  static constexpr int32_t SRCCOPY = 0x00CC0020;
  // Largest accepted side, and largest block of pixel memory, in bytes.
  static constexpr int32_t kMaxSide = 32768;
  static constexpr int64_t kMaxBytes = int64_t{1} << 30;

  cDIBSection() = default;
  ~cDIBSection();
  cDIBSection(const cDIBSection&) = delete;
  cDIBSection& operator=(const cDIBSection&) = delete;

  // A picture of that size, all black. False (and an empty picture) when the
  // size is not positive, too large, or the memory cannot be had.
  bool Create(int32_t Width, int32_t Height);
  // Made the size of Picture, with Picture copied in; empty when Picture is.
  void CreateFromPicture(const QImage& Picture);

  int32_t BytesPerScanLine() const { return bytesPerScanLine_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  // Copies the area of hDC at (SrcLeft, SrcTop) to (0, 0) of this picture; a
  // negative SrcWidth or SrcHeight means this picture's Width or Height.
  // Raises error 5 for any Rop but SRCCOPY.
  void LoadPictureBlt(const QImage& hDC, int32_t SrcLeft = 0, int32_t SrcTop = 0, int32_t SrcWidth = -1,
                      int32_t SrcHeight = -1, int32_t Rop = SRCCOPY);
  // Copies the area of this picture at (SrcLeft, SrcTop) to (DestLeft, DestTop)
  // of the target, the right way up; a negative DestWidth or DestHeight means
  // Width or Height. Raises error 5 for any Rop but SRCCOPY.
  void PaintPicture(QPainter& hDC, int32_t DestLeft = 0, int32_t DestTop = 0, int32_t DestWidth = -1,
                    int32_t DestHeight = -1, int32_t SrcLeft = 0, int32_t SrcTop = 0, int32_t Rop = SRCCOPY);
  void PaintPicture(QPaintDevice& hDC, int32_t DestLeft = 0, int32_t DestTop = 0, int32_t DestWidth = -1,
                    int32_t DestHeight = -1, int32_t SrcLeft = 0, int32_t SrcTop = 0, int32_t Rop = SRCCOPY);

  // The QImage over the pixel memory (rows in memory order); null when empty.
  QImage& hdc() { return hdc_; }
  const QImage& hdc() const { return hdc_; }
  // The block that holds the pixels; null when empty.
  const void* hDib() const { return bits_.get(); }
  // The first byte of the stored bottom row; null when empty.
  uint8_t* DIBSectionBitsPtr() { return bits_.get(); }
  const uint8_t* DIBSectionBitsPtr() const { return bits_.get(); }

  // Frees the picture; every size and pointer becomes 0.
  void ClearUp();

 private:
  struct FreeBits {
    void operator()(uint8_t* bits) const { std::free(bits); }
  };

  // Sets the size and allocates zeroed memory for it; false for a bad size.
  bool CreateDIB(int32_t Width, int32_t Height);
  static void CheckRop(int32_t Rop);

  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t bytesPerScanLine_ = 0;
  std::unique_ptr<uint8_t, FreeBits> bits_;
  QImage hdc_;
};
