// The preview panel P and its transport bar, laid out for library mode (the
// fixed place in the inspector) or compact mode (the whole window under the
// caption strip), with the panel's skin stretched to its size.
//
// P's face is picMPlayerSkin, which covers P and holds the video area and
// the transport bar: its Picture is the recoloured skin S the colour scheme
// sets, and the stretched skin is its persistent drawing, painted over S
// once per layout so that repaints only copy it.
#include "mainwindow/frmReelwise.h"

#include "browser/ResultsPane.h"
#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "platform/Rounding.h"
#include "platform/controls/Frame.h"
#include "player/clsRWPlayer.h"

#include <QPainter>

#include <algorithm>

namespace {

// P is never laid out smaller than the skin's fixed pieces.
constexpr double kMinPanelWidth = 324;
constexpr double kMinPanelHeight = 140;

// True while a layout runs: a resize that its own moves bring must not start
// a second one inside the first.
bool gLayingOutPanel = false;

// Marks a layout running, and P's painting suspended, for a scope, however
// the scope ends.
class PanelLayoutScope {
 public:
  PanelLayoutScope() { gLayingOutPanel = true; }
  ~PanelLayoutScope() {
    if (frozen_) modReelwise::SetWindowRedraw(frozen_, false);
    gLayingOutPanel = false;
  }
  PanelLayoutScope(const PanelLayoutScope&) = delete;
  PanelLayoutScope& operator=(const PanelLayoutScope&) = delete;
  void Freeze(QWidget* panel) { frozen_ = modReelwise::SetWindowRedraw(panel, true) ? panel : nullptr; }
  void Thaw() {
    if (frozen_) modReelwise::SetWindowRedraw(frozen_, false);
    frozen_ = nullptr;
  }

 private:
  QWidget* frozen_ = nullptr;
};

int Whole(double value) { return static_cast<int>(RoundHalfEven(value)); }

struct Piece {
  double sx, sy, sw, sh;  // in S
  double dx, dy, dw, dh;  // in the target
};

// Plain stretching copies of the pieces, in order, onto the box's
// persistent drawing; no smoothing, so every pixel is one of S's.
void PaintPieces(ctl::PictureBox& target, const QImage& skin, std::initializer_list<Piece> pieces) {
  ImageSurface& surface = target.Surface();
  surface.Flush();
  QPainter painter(&surface.Image());
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  for (const Piece& p : pieces) {
    const QRect to(Whole(p.dx), Whole(p.dy), Whole(p.dw), Whole(p.dh));
    const QRect from(Whole(p.sx), Whole(p.sy), Whole(p.sw), Whole(p.sh));
    if (to.width() > 0 && to.height() > 0) painter.drawImage(to, skin, from);
  }
  painter.end();
  surface.MarkDirty();
  target.update();
}

// Step 4: the transport bar for P's width W and height H.
void PlaceTransportBar(InspectorPane& in, double W, double H) {
  in.lblOpenFileStatus->Move(10, 10, 280, 200);
  in.lblStartPoint->SetTop(H - 53);
  // The B time right-aligned under the B buttons, ending inside the frame.
  in.lblEndPoint->Move(W - 57, H - 53, 52, in.lblEndPoint->Height());
  in.imgSelection->SetTop(H - 53);
  in.picSlider->Move(60, H - 70, W - 120, 16);
  in.picVolume->Move(W - 126, H - 18);
  for (int i : {1, 2, 3, 4, 5, 14}) in.picMediaControl[i]->SetTop(H - 35);
  in.picMediaControl[6]->SetTop(H - 69);
  in.picMediaControl[7]->SetTop(H - 70);
  in.picMediaControl[8]->SetTop(H - 69);
  in.picMediaControl[9]->Move(W - 52, H - 69);
  in.picMediaControl[10]->Move(W - 40, H - 70);
  in.picMediaControl[11]->Move(W - 24, H - 69);
  in.picMediaControl[12]->Move(W - 56, H - 25);
  in.picMediaControl[13]->Move(W - 32, H - 25);
  in.picMediaControl[15]->Move(W - 148, H - 25);
}

// Steps 5 and 6: P's frame and the slider's track from S.
void PaintSkin(InspectorPane& in, double W, double H) {
  const QImage skin = in.picMPlayerSkin->Picture().toImage();
  if (skin.isNull()) return;
  const double SW = skin.width();
  const double SH = skin.height();
  PaintPieces(*in.picMPlayerSkin, skin,
              {{0, 0, 50, 50, 0, 0, 50, 50},
               {50, 0, 5, 15, 50, 0, W, 15},
               {SW - 50, 0, 50, 50, W - 50, 0, 50, 50},
               {0, 50, 15, 5, 0, 50, 15, H},
               {SW - 15, 50, 15, 5, W - 15, 50, 15, H},
               {0, SH - 90, 180, 90, 0, H - 90, 180, 90},
               {200, SH - 90, 2, 90, 180, H - 90, W - 180, 90},
               {SW - 144, SH - 90, 144, 90, W - 144, H - 90, 144, 90}});
  const double SLW = in.picSlider->Width();
  const double SLH = in.picSlider->Height();
  PaintPieces(*in.picSlider, skin,
              {{60, 243, 10, 16, 0, 0, 10, 16},
               {160, 243, 2, 16, 10, 0, SLW - 10, SLH},
               {254, 243, 10, 16, SLW - 10, 0, 10, 16}});
}

}  // namespace

// lFlag -1: the library-mode geometry; 0: P follows the window (compact
// mode); -99: P keeps its geometry and the player is not resized; any other
// value: as -99, but the player takes the video area's size.
void frmReelwise::ResizeCompactGUI(int32_t lFlag) {
  if (gLayingOutPanel) return;
  PanelLayoutScope scope;
  InspectorPane& in = Inspector();
  ctl::PictureBox& panel = *in.picOpenFile;
  if (lFlag == -1) {
    in.framPreview->Move(7, 6, 310, 232);
    panel.Move(28, 7, 324, 316);
  } else if (lFlag == 0) {
    const double caption = picCaption->Height();
    panel.Move(2, caption, std::max(kMinPanelWidth, width() - 4.0), std::max(kMinPanelHeight, height() - caption - 2));
    in.framPreview->Move(7, 6, panel.Width() - 14, panel.Height() - 84);
  }
  const double W = panel.Width();
  const double H = panel.Height();
  scope.Freeze(&panel);
  in.picMPlayerSkin->Move(0, 0, W, H);
  in.RWLoadingInd->Move((in.framPreview->Width() - in.RWLoadingInd->Width()) / 2,
                        (in.framPreview->Height() - in.RWLoadingInd->Height()) / 2);
  PlaceTransportBar(in, W, H);
  PaintSkin(in, W, H);
  in.DrawSelectionMarkers(false);
  if (gPlayer) Results().Timer1_Timer();  // the poll reads the player, made later at start-up
  scope.Thaw();
  if (lFlag != -99 && gPlayer) gPlayer->ResizeWindow(Whole(in.framPreview->Width()), Whole(in.framPreview->Height()));
}
