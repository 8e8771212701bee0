#pragma once
// The poster, the second story-board style: one 1250 x 800 picture of 23
// frames of gSavedItem (frame 12 dimmed behind everything), the title, the
// description or tags, four featured frames in slanted panels, all 23 frames
// in film-frame art around the border and a clapperboard with the file's
// facts. It is saved as gTempFolder + "Story Board.jpg".
#include "platform/ColorRef.h"
#include "platform/ImageSurface.h"

#include <QSize>
#include <QSizeF>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class CairoContext;
class clsRWPlayer;
class QWidget;

struct FramePlacement {
  int32_t X = 0;
  int32_t Y = 0;
  double Angle = 0;
};

class cFilePosterArt {
 public:
  static constexpr int kWidth = 1250;
  static constexpr int kHeight = 800;
  static constexpr int kFrames = 23;
  // The smallest title size tried: a title that is still too wide there is
  // drawn at it (Pango takes no size of 0 or less).
  static constexpr double kTitleFloorSize = 4.0;

  // framePlayer owns the grabbing player's video window.
  explicit cFilePosterArt(QWidget* framePlayer);
  ~cFilePosterArt();

  // Builds and saves the poster; false when nothing was drawn because the
  // file gives no frames (the refusal has then been shown).
  bool DrawPoster();
  void OutlinedTextOut(const QString& Text, const QString& FontName, double Size, bool Bold, bool Italic,
                       int OutlineWidth, double X, double Y, double Opacity, COLORREF Colour, CairoContext& Context);

  ImageSurface* Surface() const { return m_Surface.get(); }
  // The seconds of frame i (1..23) and whether it was grabbed.
  double FrameTime(int i) const;
  bool FrameGrabbed(int i) const { return i >= 1 && i <= kFrames && grabbed_[static_cast<size_t>(i)]; }
  // The time of the frame shown for frame i, -1 when it was not grabbed.
  double FrameShownAt(int i) const;
  // The size a frame is taken at: its display size, shrunk to fit the
  // poster when larger.
  static QSize PosterFrameSize(QSize display);
  double Step() const { return step_; }
  double TitleSize() const { return titleSize_; }
  static const std::array<FramePlacement, kFrames + 1>& Placements();
  // Seconds between frames: the length (StoryBoardLength) / 24 above 5 s,
  // else / 23.
  static double PosterStep(double duration);

 private:
  int GrabFrames();
  QByteArray FrameToJPGBytes(const QImage& Frame);
  void DrawBackground();
  void DrawFeaturedFrames();
  void DrawFeaturedFrame(const QString& Key, double X, double Y, char Shape);
  void DrawFrameStrip();
  // Later stretch: how much wider and higher what is drawn here is shown
  // (a panel drawn at 640 x 360 is shown at 530 x 280).
  void RenderFrame(CairoContext& Context, const QString& Key, double X, double Y, double Width, double Height,
                   int Filter, QSizeF LaterStretch = QSizeF(1, 1)) const;
  void DrawClapperboard();
  void DrawImageRotated(const QString& Key, double X, double Y, double Width, double Height, double Scale,
                        double Angle);
  void DrawTitle();
  void DrawDescription();
  void DrawOutlinedCaption(const QString& Text, double Size, int OutlineWidth, double X, double Y, double Width,
                           double Height, COLORREF Colour);
  void DrawJustifiedText(CairoContext& Context, const QString& Text, double X, double& Y);
  void Save();
  void RemoveKeys();

  QWidget* framePlayer_;
  std::unique_ptr<clsRWPlayer> m_Player;
  ImageSurfacePtr m_Surface;
  std::shared_ptr<CairoContext> m_Context;
  QString m_Title;
  QString m_Description;
  COLORREF m_TextColour = 0xFFFFFF;
  double step_ = 0;
  // The display size of the frames' video, the shape they are drawn in.
  QSize display_;
  double titleSize_ = 0;
  std::array<bool, kFrames + 1> grabbed_{};
  std::array<double, kFrames + 1> shownAt_{};
};
