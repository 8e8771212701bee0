// The colour and font dialogs.
#include "ui/clsDialogs.h"

#include "platform/Rounding.h"

int32_t clsDialogs::lngChooseColor(COLORREF Colour) {
  int32_t chosen = -1;
  Guarded(QStringLiteral("CHOOSE COLOR ERROR"), [&] { chosen = RunColourDialog(Colour); });
  return chosen;
}

int32_t clsDialogs::RunColourDialog(COLORREF Colour) {
  FileDialogRequest request;
  request.kind = FileDialogKind::Colour;
  request.colour = Colour;
  request.customColours = customColours_;
  request.owner = lngHWnd;
  const FileDialogResult result = ShowFileDialog(request);
  // The user's changes to the custom colours count even when cancelled.
  if (result.extendedError == 0) customColours_ = result.customColours;
  if (result.extendedError != 0 || !result.accepted) {
    ReportDialogError(result.extendedError);
    return -1;
  }
  lngColor = result.colour;
  return static_cast<int32_t>(lngColor);
}

bool clsDialogs::blnChooseFont(const QFont& Font, COLORREF Colour) {
  bool chosen = false;
  Guarded(QStringLiteral("CHOOSE_FONT_ERROR"), [&] { chosen = RunFontDialog(Font, Colour); });
  return chosen;
}

bool clsDialogs::RunFontDialog(const QFont& Font, COLORREF Colour) {
  FileDialogRequest request;
  request.kind = FileDialogKind::Font;
  // Name, size, weight, italic, underline and strike-out as given.
  request.font = Font;
  request.colour = Colour;
  request.owner = lngHWnd;
  const FileDialogResult result = ShowFileDialog(request);
  if (result.extendedError != 0 || !result.accepted) {
    ReportDialogError(result.extendedError);
    return false;
  }
  TakeFont(result.font, Colour);
  return true;
}

void clsDialogs::TakeFont(const QFont& chosen, COLORREF Colour) {
  // The size travels in tenths of a point; anything under one point (a font
  // sized in pixels has none) counts as 10 points.
  double tenths = RoundHalfEven(chosen.pointSizeF() * 10);
  if (tenths < 10) tenths = 100;
  lngFontSize_ = static_cast<int32_t>(RoundHalfEven(tenths / 10));
  strFontFaceName_ = StripNull(chosen.family());
  lngFontColor_ = Colour;
  // Qt's fonts are all screen fonts.
  lngFontType_ = (chosen.bold() ? BOLD_FONTTYPE : REGULAR_FONTTYPE) | (chosen.italic() ? ITALIC_FONTTYPE : 0) |
                 SCREEN_FONTTYPE;
  blnIsFontBold_ = (lngFontType_ & BOLD_FONTTYPE) != 0;
  blnIsFontItalic_ = (lngFontType_ & ITALIC_FONTTYPE) != 0;
  // Italic wins when both are set.
  strFontStyle_ = blnIsFontItalic_ ? QStringLiteral("Italic") : blnIsFontBold_ ? QStringLiteral("Bold") : QString();
}
