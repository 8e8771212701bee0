#pragma once
// A window shape made from a picture: every pixel of one transparent colour is
// cut away. The shape stays with this object and is given to windows as their
// mask; each window gets its own copy, so removing the shape from one window,
// or destroying this object, never leaves another window with a dangling shape.
#include "platform/ColorRef.h"

#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

class cDIBSection;

// Numbers of the errors Save raises.
inline constexpr int32_t kErrNoRegionToSave = 26010;
inline constexpr int32_t kErrRegionSize = 26011;
inline constexpr int32_t kErrRegionData = 26012;

class cDIBSectionRegion {
 public:
  cDIBSectionRegion() = default;
  ~cDIBSectionRegion();
  cDIBSectionRegion(const cDIBSectionRegion&) = delete;
  cDIBSectionRegion& operator=(const cDIBSectionRegion&) = delete;

  // True when the window is in the list of windows the shape was applied to.
  bool Applied(const QWidget* hWnd) const;
  // True: lists the window once and gives it the shape as its mask. False:
  // clears the window's mask in any case and drops it from the list if listed.
  void SetApplied(QWidget* hWnd, bool value);
  int32_t AppliedToCount() const { return static_cast<int32_t>(windows_.size()); }
  // The window at Index, counted from 1; null outside the list or when that
  // window no longer exists.
  QWidget* hWndForIndex(int32_t Index) const;

  // Clears the mask of every listed window, empties the list, drops the shape.
  void Destroy();
  // The shape of DIB without its pixels of TransparentColour (red in the low byte).
  void Create(const cDIBSection& DIB, COLORREF TransparentColour);
  // Writes the shape as region data: a 32-byte header, then one 16-byte
  // rectangle (left, top, right, bottom) per horizontal run, little-endian, in
  // bands from top to bottom and left to right within a band. True when written;
  // raises 26010 when there is no shape and the file error when it cannot be written.
  bool Save(const QString& FileName) const;

 private:
  void ApplyTo(QWidget& window) const;

  std::optional<QRegion> region_;
  std::vector<QPointer<QWidget>> windows_;
};
