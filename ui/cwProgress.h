#pragma once
// The captioned progress strip every long operation reports through: each
// BroadcastProgress redraws the strip at once into its picture box, so it
// shows inside the caller's loop without a return to the event loop; inside
// paced long work (LongWork::Paced) the pacer paints it, past its grace.
#include "ui/CairoContext.h"
#include "ui/CairoSurface.h"

#include "platform/ColorRef.h"

#include <QPointer>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>

namespace ctl {
class PictureBox;
}

class cwProgress {
 public:
  // The picture box the strip is drawn into (the main window's progress box).
  void SetHost(ctl::PictureBox* picProgress);
  ctl::PictureBox* Host() const;

  double Min() const { return min_; }
  double Max() const { return max_; }
  // The range; neither redraws. With Max 0 no bar is drawn.
  void SetMin(double value);
  void SetMax(double value);
  int32_t Value() const { return value_; }
  const QString& Caption() const { return caption_; }

  // Stores the caption, the position and the caption's colour, then draws
  // unless the strip would look as it does already (a long loop reports far
  // more positions than the strip has pixels). A drawing failure is logged,
  // never passed to the operation reporting progress.
  void BroadcastProgress(const QString& Caption, int32_t Value, COLORREF Colour);
  // Work that reports no position (a copy, a compaction, a disk that does
  // not answer yet) shows that it goes on: a band a fifth of the strip wide
  // sweeps across it and back every two seconds, `elapsedMs` into the
  // wait, under the caption; the next BroadcastProgress ends it. Within a
  // moment of a BroadcastProgress the strip is left as it was reported.
  void Pulse(int64_t elapsedMs);
  // Redraws the strip: the panel colour, the bar of Value against the range
  // with its ticks (or the pulse's band), and the caption centred. A strip
  // without width draws nothing.
  void Draw();

 private:
  void DrawIfChanged();
  void DrawBar(CairoContext& cc) const;
  void DrawBand(CairoContext& cc) const;
  void DrawTicks(CairoContext& cc, double filledWidth) const;
  // Everything the strip's look depends on.
  struct Look {
    QString caption;
    COLORREF colour = 0;
    int width = 0;
    int height = 0;
    int64_t barPixels = -1;  // the bar's length in whole pixels
    int64_t bandPixels = -1; // the pulse's band's left edge in whole pixels
    COLORREF scheme[4] = {};
    bool operator==(const Look&) const = default;
  };
  Look CurrentLook() const;
  Look drawn_;

  QPointer<ctl::PictureBox> host_;
  double width_ = 0;
  double height_ = 0;
  double min_ = 0;
  double max_ = 0;
  QString caption_;
  int32_t value_ = 0;
  double band_ = -1;  // the pulse's band's left edge, as a share of the strip; -1 for none
  std::chrono::steady_clock::time_point reported_;  // the last BroadcastProgress
  COLORREF colour_ = 0;
  std::shared_ptr<CairoContext> context_;
  CairoSurfacePtr surface_;
};
