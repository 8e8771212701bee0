// The preview's transport bar: the buttons that play, pause, step and seek
// the inspected file, move and set its A and B points, open the current
// result and grab the thumbnail; the position and volume sliders; the
// buttons' faces under the pointer.
#include "inspector/InspectorPane.h"

#include "core/ProgramMessage.h"
#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "options/frmProgramOptions.h"
#include "platform/DragController.h"
#include "platform/Rounding.h"
#include "player/ModMixers.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"
#include "ui/cMouseTrack.h"

#include <algorithm>
#include <memory>

std::function<void(int ms)> InspectorPane::WaitHook;

namespace {

constexpr int kFrameSteps = 15;
constexpr double kLongestStep = 600;

bool CtrlDown() { return ctl::GetKeyState(17) < 0; }

}  // namespace

void InspectorPane::RepeatWhileHeld(int intervalMs, std::function<void()> step, std::function<bool()> goesOn) {
  held_.Stop();
  heldWork_.emplace(*this);
  HeldRepeat::Steps steps;
  steps.intervalMs = intervalMs;
  steps.step = std::move(step);
  steps.goesOn = std::move(goesOn);
  steps.pause = WaitHook;
  steps.ended = [this] { heldWork_.reset(); };
  held_.Start(std::move(steps));
}

// A repeat ends with its release, and also when the preview lost its file or
// the window is to close (EndHeldLoops): a release that never comes cannot
// step for ever.
bool InspectorPane::HeldLoopGoesOn() const { return m_MouseHeld && gPlayer && gPlayer->FileLoaded(); }

void InspectorPane::EndHeldLoops() {
  m_MouseHeld = false;
  lblSegmentsScroll[0]->SetTag(QString());
  held_.Stop();
}

double InspectorPane::NextStep(int count, double step, double frameRate, bool ctrl) {
  if (count < kFrameSteps) return ctrl ? 1.0 : (frameRate > 0 ? 1.0 / frameRate : 0);
  if (count % 5 == 0) step *= 1.5;
  return std::min(step, kLongestStep);
}

void InspectorPane::ReportPosition() {
  const QString position = ShownNumbers::Duration(gPlayer->Position(), true, false);
  gPlayer->OverlayText(position, 1.0, gOsdTimeText, false);
}

void InspectorPane::ShowButtonFace(int Index, const QPixmap MediaButtonFaces::*face) {
  if (Index < 1 || static_cast<size_t>(Index) >= gMediaButtons.size()) return;
  picMediaControl[static_cast<size_t>(Index)]->SetPicture(gMediaButtons[static_cast<size_t>(Index)].*face);
}

void InspectorPane::picMediaControl_MouseDown(int Index, int Button, int, double, double) {
  if (Index != 12 && (gInspectedItem.FileID == 0 || !gPlayer || !gPlayer->FileLoaded())) return;
  if (Button != 1) return;
  ShowButtonFace(Index, &MediaButtonFaces::Down);
  switch (Index) {
    case 1: GoToA(); break;
    case 2: case 4: StepWhileHeld(Index); break;
    case 3:
      picMediaControl[14]->ZOrder(0);
      gPlayer->SetStopTime(gPlayer->Duration());
      gPlayer->Play();
      break;
    case 5: GoToB(); break;
    case 6: case 8: case 9: case 11: MovePointWhileHeld(Index); break;
    case 7: SetA(gPlayer->Position()); break;
    case 10: SetB(gPlayer->Position()); break;
    case 12: OpenCurrentResult(); break;
    case 13: GrabThumbnail(); break;
    case 14:
      picMediaControl[3]->ZOrder(0);
      gPlayer->Pause();
      break;
    default: break;
  }
}

// Inside the segment to A, at A to 0, at 0 to A.
void InspectorPane::GoToA() {
  const double position = gPlayer->Position();
  if (position != 0 && !(position > m_SegmentStart)) {
    gPlayer->ForcePosition(0);
  } else if (gPlayer->PlayState() == 2) {
    gPlayer->SetPosition(m_SegmentStart);
  } else {
    gPlayer->ForcePosition(m_SegmentStart);
  }
  ReportPosition();
}

// Before B to B, at or after B to the end, at the end back to B.
void InspectorPane::GoToB() {
  const double position = gPlayer->Position();
  const double duration = gPlayer->Duration();
  gPlayer->ForcePosition(position == duration || position < m_SegmentEnd - 0.001 ? m_SegmentEnd : duration);
  ReportPosition();
}

void InspectorPane::SetA(double position) {
  m_SegmentStart = position;
  if (!(m_SegmentEnd - 0.01 > m_SegmentStart)) m_SegmentEnd = (m_DurationHundredths - 1) / 100.0;
  DrawSelectionMarkers(true);
}

void InspectorPane::SetB(double position) {
  m_SegmentEnd = position == 0 ? gPlayer->Duration() : position;
  if (!(m_SegmentEnd - 0.01 > m_SegmentStart)) m_SegmentStart = 0;
  DrawSelectionMarkers(true);
}

// A step at once and one every 200 ms while held: a frame (a second with
// Ctrl) for the first moves, then growing (NextStep).
void InspectorPane::StepWhileHeld(int Index) {
  m_MouseHeld = true;
  auto count = std::make_shared<int>(0);
  auto step = std::make_shared<double>(0);
  RepeatWhileHeld(
      200,
      [this, Index, count, step] {
        const bool ctrl = *count < kFrameSteps && CtrlDown();
        *step = NextStep(*count, *step, gPlayer->FrameRate(), ctrl);
        if (ctrl) *count = kFrameSteps;
        gPlayer->TimeJump(Index == 4 ? *step : -*step);
        ++*count;
        ReportPosition();
      },
      [this] { return HeldLoopGoesOn(); });
}

// A or B moves a frame (a second with Ctrl) at once and every 100 ms while
// held, never past its neighbour or the file's ends.
void InspectorPane::MovePointWhileHeld(int Index) {
  m_MouseHeld = true;
  RepeatWhileHeld(
      100,
      [this, Index] {
        const double frame = gPlayer->FrameRate() > 0 ? 1.0 / gPlayer->FrameRate() : 0;
        const double step = CtrlDown() ? 1.0 : frame;
        double moved = 0;
        switch (Index) {
          case 6: moved = m_SegmentStart = std::max(0.0, m_SegmentStart - step); break;
          case 8: moved = m_SegmentStart = std::min(m_SegmentEnd, m_SegmentStart + step); break;
          case 9: moved = m_SegmentEnd = std::max(m_SegmentStart, m_SegmentEnd - step); break;
          default: moved = m_SegmentEnd = std::min(gPlayer->Duration(), m_SegmentEnd + step); break;
        }
        gPlayer->SetPosition(moved);
        DrawSelectionMarkers(true);
        ReportPosition();
      },
      [this] { return HeldLoopGoesOn(); });
}

void InspectorPane::OpenCurrentResult() {
  if (gCurrentItem.SegmentID == 0) return;
  ResultItem item = gCurrentItem;
  bool loaded = false;
  LoadInspector(item, loaded);
}

void InspectorPane::GrabThumbnail() {
  if (!gPlayer->CanGrabFrame()) {
    ShowProgramMessage(QStringLiteral("It was not possible to initialise frame-grabbing for this movie"), 64,
                       QStringLiteral("Can't create thumbnail"), picBottom->window());
    return;
  }
  host_.ShowBusyIndicator(true);
  bool shown = false;
  ShowGrabbedFrame(gPlayer->GrabFrame(), shown);
  if (shown && gLibrary) {
    QImage thumbnail = picThumbnail->Picture().toImage();
    gLibrary->SaveThumbnail(picThumbnail->Tag().toInt(), gEditedSegment.FileID, thumbnail);
    gLibrary->DrawGridImages();
  }
  host_.ShowBusyIndicator(false);
}

// The button under the pointer shows its hover face until the pointer
// leaves it; leaving a held button ends its repeat.
void InspectorPane::picMediaControl_MouseMove(int Index, int, int, double, double) {
  if (Index == m_HoverButton) return;
  if (m_HoverButton != 0) ShowButtonFace(m_HoverButton, &MediaButtonFaces::Normal);
  m_HoverButton = static_cast<int16_t>(Index);
  m_picThisButton = std::make_unique<cMouseTrack>();
  m_picThisButton->MouseLeave = [this] { m_picThisButton_MouseLeave(); };
  m_picThisButton->AttachMouseTracking(picMediaControl[static_cast<size_t>(Index)], -1, 0);
  m_picThisButton->StartMouseTracking();
  ShowButtonFace(Index, &MediaButtonFaces::Hover);
}

void InspectorPane::m_picThisButton_MouseLeave() {
  if (m_picThisButton) m_picThisButton->DetachMouseTracking();
  ShowButtonFace(m_HoverButton, &MediaButtonFaces::Normal);
  m_HoverButton = 0;
  m_MouseHeld = false;
  held_.Stop();
}

void InspectorPane::picMediaControl_MouseUp(int, int, int, double, double) {
  m_MouseHeld = false;
  held_.Stop();
}

// The thumb's left edge runs from 4 to the width - 12; the poll stays off
// while the player seeks, so it cannot move the thumb back meanwhile: until
// 100 ms after the last press or move on the slider.
void InspectorPane::picSlider_MouseDown(int, int, double X, double) {
  const double right = picSlider->Width() - 12;
  const double x = std::clamp(X - 4, 4.0, std::max(4.0, right));
  imgSliderThumb->SetLeft(x);
  const double track = picSlider->Width() - 16;
  const double fraction = track > 0 ? (x - 4) / track : 0;
  host_.SetPreviewTimer(false);
  gPlayer->SetPosition(gPlayer->Duration() * fraction);
  sliderSettle_.start(WaitHook ? 0 : 100);
}

void InspectorPane::SliderSettled() {
  if (WaitHook) WaitHook(100);
  if (gPlayer) {
    const double settled = gPlayer->Position();
    ReportPosition();
    gPlayer->SetPosition(settled);
  }
  host_.SetPreviewTimer(true);
}

void InspectorPane::picSlider_MouseMove(int Button, int Shift, double X, double Y) {
  if (Button == 1) picSlider_MouseDown(Button, Shift, X, Y);
}

void InspectorPane::picVolume_MouseDown(int, int, double X, double) {
  const double x = std::clamp(X, 8.0, 48.0);
  picVolumeThumb->SetLeft(x - 8);
  const int32_t percent = CLng((x - 8) * 100 / 40);
  ModMixers::SetVolume(0, percent);
  ModMixers::SetVolume(5, percent);
  gPlayer->SetVolume(percent);
}

void InspectorPane::picVolume_MouseMove(int Button, int Shift, double X, double Y) {
  if (Button == 1) picVolume_MouseDown(Button, Shift, X, Y);
}

// The poll's share of the preview: the thumb follows the position, the play
// or the pause button shows, and the time is on the display. The poll may
// tick while there is no player (before start-up has made it, or in a
// message box after shut-down has released it): nothing to show then.
void InspectorPane::ShowPreviewPosition() {
  if (!gPlayer) return;
  const double duration = gPlayer->Duration();
  const double position = gPlayer->Position();
  if (duration > 0) imgSliderThumb->SetLeft((picSlider->Width() - 16) * position / duration + 4);
  if (gPlayer->PlayState() == 2) {
    picMediaControl[3]->ZOrder(1);
  } else {
    picMediaControl[3]->ZOrder(0);
  }
  gPlayer->OverlayText(ShownNumbers::Duration(position, true, false), 1.0, gOsdTimeText, false);
}

void InspectorPane::ConnectTransportControls() {
  sliderSettle_.setSingleShot(true);
  QObject::connect(&sliderSettle_, &QTimer::timeout, [this] { SliderSettled(); });
  for (int i = 1; i <= 15; ++i) {
    ctl::PictureBox& button = *picMediaControl[static_cast<size_t>(i)];
    button.MouseDown = [this, i](int b, int s, double x, double y) { picMediaControl_MouseDown(i, b, s, x, y); };
    button.MouseMove = [this, i](int b, int s, double x, double y) { picMediaControl_MouseMove(i, b, s, x, y); };
    button.MouseUp = [this, i](int b, int s, double x, double y) { picMediaControl_MouseUp(i, b, s, x, y); };
  }
  picSlider->MouseDown = [this](int b, int s, double x, double y) { picSlider_MouseDown(b, s, x, y); };
  picSlider->MouseMove = [this](int b, int s, double x, double y) { picSlider_MouseMove(b, s, x, y); };
  picVolume->MouseDown = [this](int b, int s, double x, double y) { picVolume_MouseDown(b, s, x, y); };
  picVolume->MouseMove = [this](int b, int s, double x, double y) { picVolume_MouseMove(b, s, x, y); };
}
