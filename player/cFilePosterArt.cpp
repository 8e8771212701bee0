// The poster's frames, background, featured panels, film strip and
// clapperboard, and its saving.
#include "player/cFilePosterArt.h"

#include "core/ProgramMessage.h"
#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/JpegCodec.h"
#include "platform/LongWork.h"
#include "platform/QuitRequest.h"
#include "platform/RWError.h"
#include "player/BoardFrames.h"
#include "player/clsRWPlayer.h"
#include "player/frmFilePreview.h"
#include "resources/Resources.h"
#include "ui/CairoContext.h"
#include "ui/CairoImageList.h"
#include "ui/CairoObject.h"
#include "ui/PictureFit.h"
#include "ui/modCairo.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

CairoImageList& Images() { return modCairo::GetCairo()->ImageList(); }

QString FrameKey(int i) { return QStringLiteral("Frame%1").arg(i); }

ILibraryView* View() { return gLibrary ? &gLibrary->View() : nullptr; }

}  // namespace

cFilePosterArt::cFilePosterArt(QWidget* framePlayer) : framePlayer_(framePlayer) {}

cFilePosterArt::~cFilePosterArt() { RemoveKeys(); }

const std::array<FramePlacement, cFilePosterArt::kFrames + 1>& cFilePosterArt::Placements() {
  static const std::array<FramePlacement, kFrames + 1> table = {{
      {0, 0, 0},       {190, 30, 2},    {315, 30, -5},   {460, 30, 2},    {610, 38, -8},   {750, 30, 5},
      {900, 30, -5},   {1050, 50, 5},   {1050, 180, -10}, {1050, 300, 4}, {1050, 410, -8}, {1050, 520, 6},
      {1050, 635, -7}, {910, 635, 8},   {770, 635, -5},  {630, 635, 3},   {485, 635, -6},  {355, 635, 8},
      {210, 635, -8},  {70, 645, 3},    {50, 530, -7},   {50, 400, 7},    {50, 290, -3},   {50, 170, 5},
  }};
  return table;
}

// As the story board's interval: a segment under a second no longer puts
// every frame at its start.
double cFilePosterArt::PosterStep(double duration) {
  const double length = StoryBoardLength(duration);
  return length > 5 ? length / 24 : length / 23;
}

double cFilePosterArt::FrameTime(int i) const { return gSavedItem.SelectionStart + i * step_; }

double cFilePosterArt::FrameShownAt(int i) const {
  return FrameGrabbed(i) ? shownAt_[static_cast<size_t>(i)] : -1;
}

QSize cFilePosterArt::PosterFrameSize(QSize display) {
  if (display.isEmpty()) return {};
  if (display.width() <= kWidth && display.height() <= kHeight) return display;
  const QSizeF fitted = QSizeF(display).scaled(kWidth, kHeight, Qt::KeepAspectRatio);
  return {std::max(1, qRound(fitted.width())), std::max(1, qRound(fitted.height()))};
}

void cFilePosterArt::RemoveKeys() {
  if (!modCairo::GetCairo()) return;
  for (int i = 1; i <= kFrames; ++i) Images().Remove(FrameKey(i));
  for (const char* key : {"MovieFrame", "Clapperboard", "ThisFrame", "ClapperboardFinal"}) {
    Images().Remove(QLatin1String(key));
  }
}

// A file without frames to grab is refused in the message box and nothing
// is drawn or saved.
bool cFilePosterArt::DrawPoster() {
  // A request to end the program, or a termination signal taken while a
  // frame is read, stops the grabs at the next frame; the unfinished poster
  // is neither drawn nor saved.
  const QuitRequest::LongWork work;
  m_Surface = std::make_shared<ImageSurface>(kWidth, kHeight);
  m_Context = std::make_shared<CairoContext>(m_Surface);
  m_Context->SetSourceColour(0, 1.0);
  m_Context->Paint(1.0);
  const int grabbed = GrabFrames();
  if (LongWork::EndRequested()) return false;
  if (grabbed == 0) {
    if (ILibraryView* view = View()) view->ProgressOff();
    ShowProgramMessage(kStoryBoardRefusal, 48, QStringLiteral("Story Board"), ProgramMessageOwner());
    return false;
  }
  DrawBackground();
  DrawTitle();
  DrawDescription();
  DrawFeaturedFrames();
  DrawFrameStrip();
  DrawClapperboard();
  Save();
  return true;
}

// The frames are taken in one forward pass where they share a stretch
// between keyframes (BoardFrames), at most at the poster's own size: the
// background, the largest picture made of them, fills the poster.
int cFilePosterArt::GrabFrames() {
  m_Player = std::make_unique<clsRWPlayer>();
  m_Player->OpenFile(gSavedItem.CurrentPath + gSavedItem.FileName, 0, 0, 320, 240, framePlayer_, true);
  m_Player->SetVisible(true);
  step_ = PosterStep(gSavedItem.Duration);
  int count = 0;
  if (m_Player->CanGrabFrame()) {
    const double duration = m_Player->Duration();
    const double frameRate = m_Player->FrameRate();
    // Each frame's time, past the end of the video its last frame's.
    std::vector<double> times;
    for (int i = 1; i <= kFrames; ++i) {
      const double seconds = FrameTime(i);
      times.push_back(duration > 0 && frameRate > 0 ? std::min(seconds, std::max(0.0, duration - 1.0 / frameRate))
                                                    : seconds);
    }
    BoardFrames frames(gSavedItem.CurrentPath + gSavedItem.FileName, *m_Player, times,
                       PosterFrameSize(m_Player->DisplaySize()));
    if (!frames.Reads()) m_Player->ForcePosition(gSavedItem.SelectionStart);
    if (ILibraryView* view = View()) {
      view->SetProgressMax(kFrames);
      view->ShowProgress(QStringLiteral("Creating Story Board..."), 0);
      view->CarouselSaveContext();
    }
    const auto& busy = GetStoryBoardHooks().CarouselBusy;
    const auto showProgress = [&busy](int i) {
      if (gBrowserMode == 3 && busy) busy(static_cast<int>((i - 1) / 23.0 * 50 + 1));
      if (ILibraryView* view = View()) {
        view->ShowProgress(QStringLiteral("Creating Story Board..."), i);
        view->Repaint();
      }
    };
    for (int i = 1; i <= kFrames && !LongWork::EndRequested(); ++i) {
      showProgress(i);
      // The frames after it are read with it; the strip follows the reading.
      const BoardFrames::Taken taken =
          frames.Take(static_cast<size_t>(i - 1), [&showProgress](int read) { showProgress(std::max(read, 1)); });
      // Past the end of what can be read of a damaged file, the last frame read.
      const QImage& frame = taken.picture;
      const QByteArray bytes = FrameToJPGBytes(frame);
      if (bytes.isEmpty()) continue;
      display_ = m_Player->DisplaySize().isEmpty() ? frame.size() : m_Player->DisplaySize();
      Images().AddFromBytes(FrameKey(i), bytes);
      grabbed_[static_cast<size_t>(i)] = true;
      shownAt_[static_cast<size_t>(i)] = taken.seconds;
      ++count;
    }
  }
  m_Player->CleanUp();
  m_Player.reset();
  Images().AddFromBytes(QStringLiteral("MovieFrame"), LoadResData(QStringLiteral("MOVIE_FRAME"), kResCustom), 170, 156);
  Images().AddFromBytes(QStringLiteral("Clapperboard"), LoadResData(QStringLiteral("CLAPPERBOARD"), kResCustom), 256,
                        256);
  if (ILibraryView* view = View()) view->ProgressOff();
  return count;
}

// The frame as JPEG bytes at quality 90; empty for a missing frame.
QByteArray cFilePosterArt::FrameToJPGBytes(const QImage& Frame) {
  if (Frame.isNull()) return {};
  try {
    ImageSurfacePtr surface = SurfaceFromImage(Frame);
    return JpegCodec().Encode(*surface, 90);
  } catch (const RWError&) {
    return {};
  }
}

// A frame in the box (X, Y, Width, Height) in its video's display
// proportions as finally shown, the rest of the box black: a box that is
// shown stretched gets a picture as much narrower or lower.
void cFilePosterArt::RenderFrame(CairoContext& Context, const QString& Key, double X, double Y, double Width,
                                 double Height, int Filter, QSizeF LaterStretch) const {
  const QRectF box(X, Y, Width, Height);
  const QSizeF shape(display_.width() / LaterStretch.width(), display_.height() / LaterStretch.height());
  const QRectF fitted = FitPictureInBox(shape, box);
  if (fitted != box) {
    Context.Save();
    Context.SetSourceColour(0);
    Context.Rectangle(X, Y, Width, Height);
    Context.Fill();
    Context.Restore();
  }
  Context.RenderSurface(Key, fitted.x(), fitted.y(), fitted.width(), fitted.height(), 1.0, Filter);
}

void cFilePosterArt::DrawBackground() {
  if (Images().Exists(FrameKey(12))) RenderFrame(*m_Context, FrameKey(12), 0, 0, kWidth, kHeight, kFilterGood);
  m_Context->SetSourceColour(RGB(128, 128, 128), 0.2);
  m_Context->Paint(0.2);
  m_Context->SetSourceColour(0, 0.4);
  m_Context->Paint(0.4);
  m_Context->SetSourceColour(0, 1.0);
}

// The image turned about its top-left corner; a missing image is skipped.
void cFilePosterArt::DrawImageRotated(const QString& Key, double X, double Y, double Width, double Height,
                                      double Scale, double Angle) {
  if (!Images().Exists(Key)) return;
  m_Context->Save();
  m_Context->Translate(X, Y);
  m_Context->Scale(Scale, Scale);
  m_Context->RotateDegrees(Angle);
  m_Context->RenderSurface(Key, 0, 0, Width, Height, 1.0, kFilterBest);
  m_Context->Restore();
}

void cFilePosterArt::DrawFeaturedFrames() {
  DrawFeaturedFrame(FrameKey(3), 65, 200, 'L');
  DrawFeaturedFrame(FrameKey(10), 275, 200, 'C');
  DrawFeaturedFrame(FrameKey(16), 485, 200, 'C');
  DrawFeaturedFrame(FrameKey(22), 695, 200, 'R');
}

// A slanted panel with a white border: the panels' slanted edges line up
// when drawn side by side. Antialiasing is left at Cairo's default (0), so
// the border and the clip have smooth edges.
void cFilePosterArt::DrawFeaturedFrame(const QString& Key, double X, double Y, char Shape) {
  if (!Images().Exists(Key)) return;
  auto panel = std::make_shared<ImageSurface>(640, 360);
  auto picture = std::make_shared<ImageSurface>(640, 360);
  {
    CairoContext q(picture);
    RenderFrame(q, Key, 0, 0, 640, 360, kFilterBest, QSizeF(530.0 / 640, 280.0 / 360));
  }
  {
    CairoContext p(panel);
    p.SetLineJoin(1);
    p.SetLineWidth(10);
    p.SetSourceColour(0xFFFFFF, 1.0);
    cairo_set_antialias(p.Raw(), CAIRO_ANTIALIAS_DEFAULT);
    const double third = 640.0 / 3;
    p.MoveTo(third, 20);
    if (Shape == 'L') {
      p.RelLineTo(third, 0);
      p.RelLineTo(-40, 320);
      p.RelLineTo(-third + 40, 0);
    } else if (Shape == 'C') {
      p.RelLineTo(third, 0);
      p.RelLineTo(-40, 320);
      p.RelLineTo(-third, 0);
    } else {
      p.RelLineTo(third - 40, 0);
      p.RelLineTo(0, 320);
      p.RelLineTo(-third, 0);
    }
    p.ClosePath();
    p.Stroke(true);
    p.Clip();
    p.RenderSurface(*picture, 0, 0, 640, 360, 1.0, kFilterBest);
    p.ResetClip();
  }
  panel->Flush();
  m_Context->RenderSurface(*panel, X, Y, 530, 280, 1.0, kFilterBest);
}

void cFilePosterArt::DrawFrameStrip() {
  if (!Images().Exists(QStringLiteral("MovieFrame"))) return;
  const ImageSurfacePtr art = Images().Item(QStringLiteral("MovieFrame"));
  const int w = art->Width();
  const int h = art->Height();
  for (int i = 1; i <= kFrames; ++i) {
    if (!Images().Exists(FrameKey(i))) continue;
    auto surface = std::make_shared<ImageSurface>(w, h);
    {
      CairoContext c(surface);
      c.RenderSurface(*art, 0, 0, w, h, 1.0, kFilterGood);
      // The strip's art is shown at 240 x 180, whatever its own size.
      RenderFrame(c, FrameKey(i), 9, 26, 160, 106, kFilterGood, QSizeF(240.0 / w, 180.0 / h));
    }
    surface->Flush();
    Images().AddSurface(QStringLiteral("ThisFrame"), surface);
    const FramePlacement& at = Placements()[static_cast<size_t>(i)];
    DrawImageRotated(QStringLiteral("ThisFrame"), at.X, at.Y, 240, 180, 0.66, at.Angle);
    Images().Remove(QStringLiteral("ThisFrame"));
    Images().Remove(FrameKey(i));
  }
  Images().Remove(QStringLiteral("MovieFrame"));
}

void cFilePosterArt::DrawClapperboard() {
  if (!Images().Exists(QStringLiteral("Clapperboard"))) return;
  const ImageSurfacePtr art = Images().Item(QStringLiteral("Clapperboard"));
  auto surface = std::make_shared<ImageSurface>(art->Width(), art->Height());
  {
    CairoContext c(surface);
    c.Save();
    c.RenderSurface(*art, 0, 0, art->Width(), art->Height(), 1.0, kFilterGood);
    c.SelectFont(QStringLiteral("Arial"), 16, 0xFFFFFF, true);
    c.RotateDegrees(-3);
    const ResultItem& item = gSavedItem;
    const QString lines[5] = {
        item.FileFormat,
        item.Dimensions.trimmed(),
        ShownNumbers::Duration(item.Duration, false, false),
        ShownNumbers::FrameRate(item.FrameRate) + QStringLiteral(" fps"),
        ShownNumbers::Megabytes(item.FileSize, ShownNumbers::Grouping::None),
    };
    for (int n = 0; n < 5; ++n) c.TextOut(30, 100 + 25 * n, lines[n], 1.0);
    c.Restore();
  }
  surface->Flush();
  Images().AddSurface(QStringLiteral("ClapperboardFinal"), surface);
  DrawImageRotated(QStringLiteral("ClapperboardFinal"), 35, 45, art->Width(), art->Height(), 0.6, -10);
  Images().Remove(QStringLiteral("ClapperboardFinal"));
  Images().Remove(QStringLiteral("Clapperboard"));
}

// Written at Compression (1..100), replacing an older file only once the new
// one is whole; a failure is reported once.
void cFilePosterArt::Save() {
  m_Surface->Flush();
  const int quality = std::clamp(modRegistry::GetSettingLong(kRegFilePosters, QStringLiteral("Compression")), 1, 100);
  const QString path = gTempFolder + QStringLiteral("Story Board.jpg");
  try {
    JpegCodec().EncodeToFile(*m_Surface, quality, path);
  } catch (const RWError& error) {
    TellStoryBoardNotSaved(error, ProgramMessageOwner());
  }
}
