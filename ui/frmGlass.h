#pragma once
// The dimming overlay: a dark grey, translucent sheet laid over the whole
// main window while one of its modal dialogs is open, with "Wait....." in its
// middle. A translucent top-level window needs a compositor on X11, so the
// overlay is a child widget of the main window painted over its content.
//
// There is one overlay, gGlassForm. Callers load it over the main window
// (ShowGlass) before the dialog and unload it (UnloadGlass) after; it
// measures the main window only when it loads, so it does not follow a later
// move or resize.
#include "platform/ColorRef.h"

#include <QPointer>
#include <QWidget>

class QLabel;

class frmGlass : public QWidget {
 public:
  // The sheet's opacity, of 255.
  static constexpr int kAlpha = 160;
  // The back colour it loads with; the colour-scheme code may change it.
  static constexpr COLORREF kLoadColour = RGB(50, 50, 50);

  // Loads the overlay over the main window: Form_Load places and tints it.
  // It stays hidden until shown.
  explicit frmGlass(QWidget* mainWindow);

  QLabel* lblInfo;

  // The colour painted at kAlpha; a colour scheme sets gSchemeColour3.
  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Form_Load();

  COLORREF backColor_ = kLoadColour;
};

// The overlay while it is loaded; null while it is not.
extern QPointer<frmGlass> gGlassForm;

// Makes the overlay visible above the main window's controls, loading it over
// mainWindow first when it is not loaded. Without a loaded overlay and
// without a main window it does nothing.
void ShowGlass(QWidget* mainWindow);
// Unloads the overlay, which removes the dimming; the next ShowGlass loads
// it afresh.
void UnloadGlass();
