// The parts of the details panel below the tags: the title, the rating
// stars, the description block and the line of technical facts with the
// file's status icon. The file is looked for at every drawing; a mount that
// does not answer counts as missing instead of holding the carousel up.
#include "carousel/cCarousel.h"

#include "carousel/CarouselPane.h"
#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "platform/DragController.h"
#include "platform/MountProbe.h"
#include "ui/cBusyIndicator.h"

#include <atomic>
#include <memory>

namespace {

constexpr double kPanelCentre = 600;
constexpr int kStarSize = 32;
// A mount that did not answer is asked again after this long.
constexpr uint64_t kSilentMountMs = 30000;

// A file test that has not come back within the probe's time limit counts
// as a missing file; the helper thread keeps its own copy of the answer.
bool FileExistsWithin(const QString& path) {
  auto found = std::make_shared<std::atomic<bool>>(false);
  const bool finished =
      MountProbe::FinishesWithin([found, path] { *found = modReelwise::FileExists(path); }, MountProbe::kTimeLimitMs);
  return finished && *found;
}

}  // namespace

void cCarousel::DrawTitle() {
  if (OpenSegmentCount() == 0) return;
  const ResultItem& item = gCurrentItem;
  const QString title = gTooltipAliases && !item.FileAlias.isEmpty() ? item.FileAlias : item.FileName;
  const bool focused = m_MenuMode == QLatin1String("Title");
  DrawHaloText(title, 24, 4, 5, 5, 1188, 250, kAlignCentre, focused ? HighlightColour : m_TintColour[0],
               focused ? lMenuColour3 : lTextColour);
}

void cCarousel::DrawRating() {
  if (OpenSegmentCount() == 0) return;
  for (const auto& [key, bytes] : {std::pair{QStringLiteral("Star"), &m_Star}, {QStringLiteral("UnStar"), &m_UnStar}}) {
    try {
      m_Images.AddFromBytes(key, *bytes, kStarSize, kStarSize);
    } catch (const std::exception&) {
      m_Images.Remove(key);  // a picture that does not decode is left out
    }
  }
  CairoContext& context = *m_DetailsContext;
  for (int k = 0; k < 5; ++k) {
    const QString key = k < gCurrentItem.Rating ? QStringLiteral("Star") : QStringLiteral("UnStar");
    if (!m_Images.Exists(key)) continue;
    const ImageSurface& star = *m_Images.Item(key);
    const double x = kPanelCentre - 80 + kStarSize * k;
    context.RenderSurface(star, x - 2, m_TagsBottom - 2, 36, 36, 0.1);
    context.RenderSurface(star, x, m_TagsBottom, kStarSize, kStarSize);
  }
  if (m_MenuMode != QLatin1String("Rating")) return;
  for (const auto& [arrow, x] : {std::pair{QStringLiteral("<"), 480.0}, {QStringLiteral(">"), 700.0}}) {
    double opacity = 1;
    OutlinedTextOut(arrow, QStringLiteral("RW2dings"), 24, false, false, 4, x, m_TagsBottom + 1, opacity,
                    HighlightColour, lMenuColour3, context);
  }
}

void cCarousel::DrawDescriptionBlock() {
  if (OpenSegmentCount() == 0) return;
  m_DetailsContext->SelectFont(QStringLiteral("Verdana"), 18, lTextColour);
  DrawDescription(gCurrentItem.Description, 10, m_TagsBottom + 39);
}

void cCarousel::DrawFileStatus() {
  const ResultItem& item = gCurrentItem;
  m_FileOffline = item.DisplayState >= 6;
  m_FileMissing = false;
  if (!m_FileOffline) {
    const bool busy = gTVOutMode && gBusyIndicator && m_Pane;
    if (busy) gBusyIndicator->Show(400, 940, 500, 100, 40, 0, m_Pane->ucCarouselCanvas);
    m_FileMissing = !FileReachable(item.CurrentPath + item.FileName);
    if (busy) gBusyIndicator->Hide();
  }
  const bool available = !m_FileMissing && !m_FileOffline;
  try {
    m_Images.AddFromBytes(QStringLiteral("FileStatus"), available ? m_Ticket : m_NoTicket, 64, 64);
  } catch (const std::exception&) {
    m_Images.Remove(QStringLiteral("FileStatus"));
  }
  EnableFileEntries(available);
  if (OpenSegmentCount() == 0) return;
  CairoContext& context = *m_DetailsContext;
  const QString gap = QStringLiteral("   -   ");
  const QString facts = item.FileFormat + gap + item.Dimensions + gap + ShownNumbers::BitRate(item.Bitrate) +
                        QStringLiteral(" kbps") + gap + ShownNumbers::FrameRate(item.FrameRate) +
                        QStringLiteral(" fps") + gap +
                        ShownNumbers::Duration(item.SelectionEnd - item.SelectionStart, false, false);
  context.SelectFont(QStringLiteral("Verdana"), 13, lTextColour, true);
  context.DrawText(0, 480, 1200, 800, facts, true, kAlignCentre);
  if (m_Images.Exists(QStringLiteral("FileStatus"))) {
    context.RenderSurface(*m_Images.Item(QStringLiteral("FileStatus")), 568, 420, 64, 64);
  }
}

// Whether the file can be opened; the mount that holds it is asked first.
bool cCarousel::FileReachable(const QString& Path) {
  if (Path.isEmpty()) return false;
  const QString root = MountProbe::MountPointOf(Path);
  if (!root.isEmpty() && !MountAnswers(root)) return false;
  return FileExistsWithin(Path);
}

bool cCarousel::MountAnswers(const QString& Root) {
  const uint64_t now = ctl::GetTickCount64();
  const auto silent = m_SilentMounts.find(Root);
  if (silent != m_SilentMounts.end()) {
    if (now - silent->second < kSilentMountMs) return false;
    m_SilentMounts.erase(silent);
  }
  if (MountProbe::RootAnswers(Root)) return true;
  m_SilentMounts[Root] = now;
  return false;
}

// Playing, the story board and deleting act on the front file itself; the
// open copy of their menu follows.
void cCarousel::EnableFileEntries(bool Enabled) {
  for (const CarouselCommand command :
       {CarouselCommand::PlayFile, CarouselCommand::StoryBoard, CarouselCommand::DeleteFile}) {
    EnableEntry(command, Enabled);
  }
}
