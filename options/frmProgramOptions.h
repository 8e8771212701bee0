#pragma once
// The options dialog. So far only what the main window's load calls:
// applying the colour scheme to the program's skin.
#include <QPixmap>
#include <QWidget>

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

  // Takes the skin as compiled in (the scheme's recolouring comes with the
  // colour-scheme work): the scheme colours are sampled from it, and the
  // transport buttons get their faces.
  void ApplyColourScheme();
};
