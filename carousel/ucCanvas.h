#pragma once
// The canvas the carousel draws on: a control holding one 1280 x 720 Cairo
// surface, made with the control so that its drawing context exists before
// the carousel takes it. The surface never changes size; painting scales it
// to the control's whole area. Mouse and drag events report X and Y in the
// control's pixels (not the surface's), key events the program's key codes.
// The repeats of a held key that the carousel cannot keep up with are
// dropped (KeyRepeats), so that it stops when the key is let go.
//
// Events besides the ones of every control (KeyDown, MouseDown, MouseMove,
// DblClick, GotFocus, LostFocus, DragOver, DragDrop): RefreshContents, on
// every resize, with the drawing context.
#include "platform/KeyRepeats.h"
#include "platform/controls/Control.h"
#include "ui/CairoContext.h"
#include "ui/CairoSurface.h"

#include <QImage>

#include <functional>
#include <memory>

class ucCanvas : public ctl::Control {
 public:
  static constexpr int kSurfaceWidth = 1280;
  static constexpr int kSurfaceHeight = 720;

  explicit ucCanvas(QWidget* parent = nullptr);

  // The surface and its drawing context; either may be replaced from
  // outside (a null one leaves the canvas showing nothing).
  const CairoSurfacePtr& Surface() const { return surface_; }
  void SetSurface(CairoSurfacePtr surface) { surface_ = std::move(surface); }
  const std::shared_ptr<CairoContext>& Context() const { return context_; }
  void SetContext(std::shared_ptr<CairoContext> context) { context_ = std::move(context); }

  // Refresh (of every control) repaints at once: the whole surface is copied
  // onto the control, scaled to its size.
  // What the control shows: the surface scaled to the control's size.
  QImage Shown() const;

  std::function<void(CairoContext& context)> RefreshContents;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Copy(QPainter& painter) const;

  CairoSurfacePtr surface_;
  std::shared_ptr<CairoContext> context_;
  KeyRepeats repeats_;
};
