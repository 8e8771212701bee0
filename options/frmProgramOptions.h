#pragma once
// The options dialog. A least version until the dialog is built: the empty
// window the menu commands open on a page, and applying the colour scheme to
// the program's skin.
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

// The Normal, Hover and Down faces of one preview transport button.
struct MediaButtonFaces {
  QPixmap Normal;
  QPixmap Hover;
  QPixmap Down;
};
// One record per transport button, from index 1.
extern std::vector<MediaButtonFaces> gMediaButtons;

class frmProgramOptions : public QWidget {
 public:
  frmProgramOptions();

  // The page the dialog opens on: 1 general settings, 2 external
  // applications, 3 file previews, 4 TV-Out, 5 library overview and
  // statistics, 6 colour scheme.
  int16_t OptionGroup = 1;

  // Takes the skin as compiled in (until colour schemes are built, nothing is
  // recoloured): the scheme colours are sampled from it, the transport
  // buttons' faces made, and the windows painted again.
  void ApplyColourScheme();

  // What a new scheme repaints besides this window: the main window sets it
  // when it is made, and paints its panes in the scheme colours.
  static std::function<void()> RepaintInScheme;
};
