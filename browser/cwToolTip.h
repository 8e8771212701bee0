#pragma once
// The content of the result grids' rich tool tip: a balloon with a pointer
// arrow holding the hovered result's title, its rating as five stars, its
// duration, its tags (one per line) and a line of technical details. The
// content always describes gHoverItem as it is when Initialise runs.
#include "browser/cTipTagLines.h"
#include "ui/CairoContext.h"
#include "ui/CairoSurface.h"
#include "ui/WidgetObject.h"

#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>

class QWidget;
class QRegion;

class cwToolTip : public WidgetClass {
 public:
  cwToolTip();

  // Stores the asking grid and the pointer position (screen pixels), measures
  // the content and places the balloon beside the pointer on the screen the
  // pointer is on.
  void Initialise(QWidget* id, int32_t x, int32_t y);
  // The form's rectangle in screen pixels: the balloon with room for its glow
  // and arrow.
  void GetTipRect(int32_t& left, int32_t& top, int32_t& width, int32_t& height) const;

  void W_Paint(CairoContext& cc, double x, double y, double dx, double dy) override;
  // What of the form the balloon covers (its glow and arrow included), as
  // the form's shape where no compositor blends it.
  QRegion BalloonMask() const;

  int32_t ContentWidth() const { return contentWidth_; }
  int32_t ContentHeight() const { return contentHeight_; }
  int32_t BalloonWidth() const { return balloonWidth_; }
  int32_t BalloonHeight() const { return balloonHeight_; }
  bool ArrowOnRight() const { return arrowOnRight_; }
  int32_t ArrowOffset() const { return arrowOffset_; }
  int32_t WidestTagLine() const { return widestTagLine_; }
  const QString& Title() const { return title_; }
  const QString& Tags() const { return tags_; }
  const cTipTagLines& TagLines() const { return tagLines_; }
  const QString& Details() const { return details_; }
  QWidget* Id() const { return id_; }

 private:
  void MeasureContent(const QRect& screen);
  void PlaceBalloon(const QRect& screen);
  void PrepareTexts();
  template <typename Outline>
  void TraceBalloon(Outline& outline) const;
  void DrawBalloon(CairoContext& cc) const;
  void DrawContent(CairoContext& cc) const;
  void DrawStars(CairoContext& cc) const;
  void DrawFooter(CairoContext& cc) const;

  QWidget* id_ = nullptr;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t contentWidth_ = 0;
  int32_t contentHeight_ = 0;
  int32_t balloonWidth_ = 0;
  int32_t balloonHeight_ = 0;
  bool arrowOnRight_ = false;
  int32_t arrowOffset_ = 0;
  int32_t dx_ = 0;
  int32_t dy_ = 0;
  QString title_;
  QString tags_;
  QString details_;
  int32_t widestTagLine_ = 0;
  // The tip's texts, laid out once when it is measured.
  struct Texts {
    CairoText title, dashes26, dashes24, dashes28, spacedDashes28, duration, details;
  } text_;
  cTipTagLines tagLines_;
};
