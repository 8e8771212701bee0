#pragma once
// The label: a caption drawn in its font and colours, left, right or centred,
// optionally wrapped, optionally sizing itself to its caption (the program
// measures text widths with an auto-sizing label).
#include "platform/ColorRef.h"
#include "platform/controls/Control.h"
#include "platform/controls/TextInk.h"

#include <QFont>

#include <optional>

namespace ctl {

inline constexpr int vbLeftJustify = 0;
inline constexpr int vbRightJustify = 1;
inline constexpr int vbCenter = 2;

class Label : public Control {
 public:
  explicit Label(QWidget* parent = nullptr);

  const QString& Caption() const { return caption_; }
  // What a caption in the font shows: the arrows 3 to 6 of the symbol fonts
  // "Webdings" and "Marlett" as triangles, other text as it is.
  static QString SymbolText(const QString& fontName, const QString& caption);
  void SetCaption(const QString& caption);
  int Alignment() const { return alignment_; }
  void SetAlignment(int alignment);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  // The pixels of the caption's ink above its font's ascent (an accent over
  // a capital, TextInk.h): an auto-sized label is that much higher and its
  // text that much lower, so a label set on a line of others goes up by it.
  int CaptionInkAbove() const;
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);
  // 0 transparent, 1 opaque.
  int BackStyle() const { return backStyle_; }
  void SetBackStyle(int style);
  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);
  COLORREF ForeColor() const { return foreColor_; }
  void SetForeColor(COLORREF colour);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void FitToCaption();
  int TextFlags() const;
  // The caption's ink beyond its lines, measured once for a caption and font.
  const Ink& CaptionInk() const;

  QString caption_;
  mutable std::optional<Ink> ink_;
  int alignment_ = vbLeftJustify;
  bool autoSize_ = false;
  bool wordWrap_ = false;
  int backStyle_ = 1;
  COLORREF backColor_ = RGB(240, 240, 240);
  COLORREF foreColor_ = 0;
};

}  // namespace ctl
