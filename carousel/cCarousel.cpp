// The carousel object: creation and destruction, the settings of the ring,
// the deferred details tick, the full redraw and the tag highlight.
#include "carousel/cCarousel.h"

#include "carousel/CarouselPane.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "platform/Rounding.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/cAudioPlayer.h"
#include "player/modMainPlayer.h"
#include "resources/Resources.h"
#include "ui/CairoObject.h"
#include "ui/modCairo.h"

#include <algorithm>

std::unique_ptr<cCarousel> gCarousel;

namespace {

int16_t ClampedSetting(const QString& name, int32_t fallback, int32_t low, int32_t high) {
  const int32_t value = modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, name).ToLong(fallback);
  return static_cast<int16_t>(std::clamp(value, low, high));
}

QByteArray CustomResource(const QString& name) {
  try {
    return LoadResData(name, QStringLiteral("CUSTOM"));
  } catch (const std::exception&) {
    return {};  // a missing picture draws as an empty card
  }
}

}  // namespace

cCarousel::cCarousel(CarouselPane* pane, ICarouselHost* host)
    : m_Pane(pane), m_Host(host ? host : &m_NoHost), m_Pacer(std::make_unique<CarouselPacer>()) {
  // 1, 2: the canvas's context, and a spare surface of the canvas's size.
  if (pane && pane->ucCarouselCanvas->Context()) {
    m_CanvasContext = pane->ucCarouselCanvas->Context();
  } else {
    m_OwnCanvas = modCairo::GetCairo()->CreateSurface(m_CanvasWidth, m_CanvasHeight);
    m_CanvasContext = m_OwnCanvas->Context();
  }
  m_SpareSurface = modCairo::GetCairo()->CreateSurface(m_CanvasWidth, m_CanvasHeight);
  m_SpareContext = m_SpareSurface->Context();
  // 3, 4, 5: the ring's settings and rest pose, the colour and music switches.
  LoadSettings();
  // 6: the menus.
  FillMenus();
  // 7: the pictures of cards and details.
  LoadResources();
  // 8: the music.
  LoadMusicList();
  // 9: an empty tag list, no menu.
  m_TagList.assign(1, TagListRow{});
  m_MenuMode = QStringLiteral("NULL");
  // 10: the keypad panel.
  m_Keypad = std::make_unique<ClsT9Interface>(*this, m_Pane, *m_Host, m_Pacer);
  // The palette of the program's colour scheme, without a redraw: the
  // recolouring at load sets it again and draws.
  ApplyPalette(0);
  // 11: the empty card.
  BuildCardTile();
}

// Stopping and closing the music comes with the music itself.
cCarousel::~cCarousel() = default;

void cCarousel::LoadSettings() {
  int16_t entries = ClampedSetting(QStringLiteral("CarouselEntries"), CarouselRing::DefaultEntries,
                                   CarouselRing::MinEntries, CarouselRing::MaxEntries);
  m_Entries = 0;  // so that the let below takes the stored count
  SetCarouselEntries(entries);
  int16_t increments = ClampedSetting(QStringLiteral("CarouselScrollIncrements"), 10, 1, 100);
  SetScrollIncrements(increments);
  m_Invert = modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("Invert Colours")).ToBool(false);
  m_MusicEnabled = modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TV-Out Music")).ToBool(true);
}

void cCarousel::LoadResources() {
  m_NoThumb = CustomResource(QStringLiteral("NO_THUMB"));
  m_Star = CustomResource(QStringLiteral("STAR"));
  m_UnStar = CustomResource(QStringLiteral("UNSTAR"));
  m_Ticket = CustomResource(QStringLiteral("TICKET"));
  m_NoTicket = CustomResource(QStringLiteral("NOTICKET"));
}

// ---- Settings ----

void cCarousel::SetCarouselEntries(int16_t& N) {
  const CarouselRing::EntriesChange change = CarouselRing::NewEntries(N, m_Entries);
  if (!change.Changed) return;
  N = static_cast<int16_t>(change.Count);
  m_Entries = change.Count;
  m_FrontSlot = CarouselRing::FrontSlot(m_Entries);
  m_SlotImages.assign(static_cast<size_t>(m_Entries) + 1, 0);
  // The ring of the new count stands at rest: a pose left from the old count
  // would draw it turned, with no card at the front.
  m_Pose = CarouselRing::RestPose(m_Entries);
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("CarouselEntries"), N);
}

void cCarousel::SetScrollIncrements(int16_t& S) {
  m_ScrollIncrements = S;
  // Below 1 counts as 1: a step of no frames would divide by zero.
  m_Frames = CarouselRing::FrameCountsFor(S);
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("CarouselScrollIncrements"), S);
}

// ---- Deferred drawing ----

void cCarousel::TimerEvent() {
  if (m_Keypad->Visible()) {
    m_Keypad->TimerEvent();
    return;
  }
  if (OpenSegmentCount() == 0) return;
  m_Scrolling = false;
  gLibrary->View().ShowBusyIndicator(true);
  DrawFileTagList();
  DrawDetails();
  RefreshCanvas();
  PlayBackgroundSFX(true);
  gLibrary->View().ShowBusyIndicator(false);
  m_DetailsDrawn = true;
}

void cCarousel::RedrawAll(bool RebuildTags, bool Refresh) {
  if (RebuildTags) DrawFileTagList();
  DrawFrame();
  DrawRing(0.4, 1);
  m_SlowTimer = false;
  DrawDetails();
  if (Refresh) RefreshCanvas();
}

void cCarousel::SetHighlightedTag(int32_t& Value) {
  const int32_t upper = static_cast<int32_t>(m_TagList.size()) - 1;
  auto separator = [&](int32_t row) { return row >= 0 && row <= upper && m_TagList[static_cast<size_t>(row)].Separator; };
  int32_t index = Value;
  if (gBrowserIndex == 0 || upper <= 1) {
    index = 0;
  } else {
    if (index < 0) {
      index = upper - 1;
      if (separator(index)) --index;
    }
    if (index >= upper) {
      index = separator(0) ? 1 : 0;
    }
    if (separator(index)) {
      ++index;
      if (index >= upper) index = 0;
      if (separator(index)) ++index;
    }
  }
  index = std::clamp(index, 0, upper);
  m_HighlightedTagIndex = index;
  const TagListRow& row = m_TagList[static_cast<size_t>(index)];
  HighlightedTagID = QStringLiteral("ID") + QString::number(row.TagID);
  m_HighlightedTagCaption = row.Caption;
}

void cCarousel::SetCarouselTimer(int intervalMs, bool enabled) {
  if (!m_Pane) return;
  m_Pane->CarouselTimer->SetInterval(intervalMs);
  m_Pane->CarouselTimer->SetEnabled(enabled);
}

int32_t cCarousel::OpenSegmentCount() const { return gLibrary ? gLibrary->OpenSegmentCount() : 0; }

void cCarousel::InsideHotSpot(double X, double Y, bool& Inside) {
  Inside = false;
  if (gTVOutMode) return;
  const double width = m_Pane ? m_Pane->ucCarouselCanvas->width() : m_CanvasWidth;
  const double height = m_Pane ? m_Pane->ucCarouselCanvas->height() : m_CanvasHeight;
  const double sx = width / m_CanvasWidth;
  const double sy = height / m_CanvasHeight;
  using namespace CarouselRing;
  const int32_t top = CLng((CentreY + m_Pose.RadiusY - CardHeight / 2) * sy);
  const int32_t left = CLng(width / 2 - sx * CardWidth);
  const int32_t bottom = CLng(sy * CardHeight + top);
  const int32_t right = CLng(2 * CardWidth * sx + left);
  Inside = left < X && X < right && top < Y && Y < bottom;
}
