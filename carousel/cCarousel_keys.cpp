// The carousel's keys: from a remote control or the keyboard alone they move
// the current result, the focus between the zones of the screen ("Carousel",
// "Title", "Tags", "Rating", "Description") and the highlight within the
// on-canvas menus, or run menu commands directly.
#include "carousel/cCarousel.h"

#include "carousel/CarouselPane.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/DragController.h"
#include "platform/InputGate.h"
#include "platform/Rounding.h"
#include "platform/controls/VbInput.h"

#include <algorithm>
#include <optional>

namespace {

using namespace ctl;

const QString kNull = QStringLiteral("NULL");
constexpr uint64_t kKeyGateMs = 100;

using C = CarouselCommand;

bool IsMenu(const QString& mode) {
  const auto& tables = CarouselMenuTables();
  return std::any_of(tables.begin(), tables.end(),
                     [&mode](const CarouselMenuTable& table) { return mode == QLatin1String(table.Name); });
}

// Up within a sub-menu: the entry of the menu above that leads here.
struct MenuParent {
  const char* menu;
  CarouselCommand entry;
};
constexpr MenuParent kMenuParents[] = {{"Options", C::OptionsMenu},
                                       {"SegmentFilter", C::ResultKindMenu},
                                       {"OfflineFilter", C::StorageMenu},
                                       {"Colours", C::ColoursMenu}};

// The three zone menus and the zones they return to.
constexpr const char* kZoneMenus[][2] = {
    {"CarouselMain", "Carousel"}, {"TitleMain", "Title"}, {"TagsMain", "Tags"}};

// The keys besides the arrows, Enter and Esc: a move at the top level, or a
// command at the top level or in the "Tags" zone (None for none).
enum class Move { None, Back10, Forward10, Last, First, Half, HalfOfRest };
struct OtherKey {
  int key;
  int alias;
  Move move;
  CarouselCommand topCommand;
  CarouselCommand tagsCommand;
};
constexpr OtherKey kOtherKeys[] = {
    {vbKeyPageUp, vbKeyComma, Move::Back10, C::None, C::None},
    {vbKeyPageDown, vbKeyPeriod, Move::Forward10, C::None, C::None},
    {vbKeyEnd, vbKeyCloseBracket, Move::Last, C::None, C::FilterOutTagged},
    {vbKeyHome, vbKeyOpenBracket, Move::First, C::None, C::FilterToTagged},
    {vbKeyL, 0, Move::Half, C::None, C::AppendTagged},
    {vbKeyR, 0, Move::HalfOfRest, C::None, C::OpenTagged},
    {vbKeyNumpad0, 0, Move::None, C::Shuffle, C::None},
    {vbKeyNumpad1, 0, Move::None, C::ShowMatchingFiles, C::None},
    {vbKeyNumpad2, 0, Move::None, C::ShowSegmentsOfFiles, C::None},
    {vbKeyNumpad3, 0, Move::None, C::ShowMatchingSegments, C::None},
    {vbKeyNumpad4, 0, Move::None, C::ShowAllStorage, C::None},
    {vbKeyNumpad5, 0, Move::None, C::ShowOnline, C::None},
    {vbKeyNumpad6, 0, Move::None, C::ShowOffline, C::None},
};

// Where a move goes from `index` of `count` results (SetCarouselIndex
// clamps it); none when it cannot start there (the first result backwards,
// the last one forwards).
std::optional<int32_t> MoveTarget(Move move, int32_t index, int32_t count) {
  const bool back = index >= 2;
  const bool forward = index < count;
  switch (move) {
    case Move::Back10: if (back) return index - 10; break;
    case Move::Forward10: if (forward) return index + 10; break;
    case Move::Last: if (forward) return count; break;
    case Move::First: if (back) return 1; break;
    case Move::Half: if (back) return CLng(index / 2.0); break;
    case Move::HalfOfRest: if (forward) return CLng(index + (count - index) / 2.0); break;
    case Move::None: break;
  }
  return std::nullopt;
}

}  // namespace

// The top row's digits have no keys of their own here: they stand for the
// keypad's, in the keypad panel as at the top level.
void cCarousel::KeyPress(int& KeyCode) {
  // Keys come here also from a remote's bridge: none acts while other work
  // holds the input gate (the keypad's wait and the fades hold it for the
  // canvas).
  if (!Admitted() || !KeyGatePasses()) return;
  if (gBrowserMode != 3) return;
  if (m_MenuMode != kNull && !gTVOutMode) return;
  int key = AsKeypadDigit(KeyCode);
  if (m_Keypad->Visible()) {
    m_Keypad->KeyPressHandler(key);
    return;
  }
  switch (key) {
    case vbKeyLeft: return LeftRightKey(false);
    case vbKeyRight: return LeftRightKey(true);
    case vbKeyUp: return UpKey();
    case vbKeyDown: return DownKey();
    case vbKeyReturn: return EnterKey();
    case vbKeyEscape: return EscapeKey();
    default: return OtherKeys(key);
  }
}

bool cCarousel::Admitted() const { return InputGate::Admits(m_Pane ? m_Pane->ucCarouselCanvas : nullptr); }

// A key within 100 ms of the last accepted one is dropped, whichever it is.
// The clock is the monotonic 64-bit one, so the gate holds at any uptime.
bool cCarousel::KeyGatePasses() {
  const uint64_t now = ctl::GetTickCount64();
  if (m_KeyAccepted && now >= m_LastKeyTime && now - m_LastKeyTime < kKeyGateMs) return false;
  m_KeyAccepted = true;
  m_LastKeyTime = now;
  return true;
}

void cCarousel::MoveTo(int32_t Index) { SetCarouselIndex(Index, true, true); }

void cCarousel::StepMenu(int32_t Delta) {
  int32_t index = m_CurrentMenuIndex + Delta;
  SetCurrentMenuIndex(index);
  DrawMenu(false, false);
}

void cCarousel::ShowZone(const QString& Zone) {
  SetMenuMode(Zone);
  RedrawAll(false, true);
}

bool cCarousel::CarouselTimerRunning() const { return m_Pane && m_Pane->CarouselTimer->Enabled(); }

void cCarousel::LeftRightKey(bool Right) {
  const QString mode = m_MenuMode;
  if (mode == kNull) {
    if (Right ? gBrowserIndex >= OpenSegmentCount() : gBrowserIndex < 2) return;
    m_KeyNavigation = true;
    MoveTo(gBrowserIndex + (Right ? 1 : -1));
  } else if (IsMenu(mode)) {
    StepMenu(Right ? 1 : -1);
  } else if (mode == QLatin1String("Tags")) {
    int32_t row = m_HighlightedTagIndex + (Right ? 1 : -2);
    SetHighlightedTag(row);
    RedrawAll(false, true);
  } else if (mode == QLatin1String("Rating")) {
    RateBy(Right ? 1 : -1);
  }
}

// A rating of 0 to 5 one step up or down; nothing past either end.
void cCarousel::RateBy(int Delta) {
  const int rating = std::clamp<int>(gCurrentItem.Rating, 0, 5) + Delta;
  if (rating < 0 || rating > 5 || !gLibrary) return;
  gLibrary->RateSegment(static_cast<int16_t>(rating), gCurrentItem.SegmentID);
  RedrawAll(false, true);
}

void cCarousel::UpKey() {
  const QString mode = m_MenuMode;
  if (mode == kNull) {
    m_KeyNavigation = true;
    if (!gTVOutMode || CarouselTimerRunning()) return;
    SetMenuMode(QStringLiteral("Main"));
    DrawMenu(false, true);
  } else if (mode == QLatin1String("Carousel")) {
    ShowZone(kNull);
  } else if (mode == QLatin1String("Title") || mode == QLatin1String("Tags")) {
    ShowZone(mode == QLatin1String("Title") ? QStringLiteral("Carousel") : QStringLiteral("Title"));
  } else if (mode == QLatin1String("Rating")) {
    ShowZone(HasTags ? QStringLiteral("Tags") : QStringLiteral("Title"));
  } else if (mode == QLatin1String("Description")) {
    ShowZone(QStringLiteral("Rating"));
  } else if (IsMenu(mode)) {
    LeaveMenu(mode);
  }
}

// Up within a menu: one level out.
void cCarousel::LeaveMenu(const QString& Menu) {
  if (Menu == QLatin1String("Main")) {
    DrawMenu(true, true);
    RedrawAll(false, true);
    SetMenuMode(kNull);
    return;
  }
  if (Menu == QLatin1String(MenuOf(C::CancelConfirmation))) {
    int32_t cancel = PositionOf(C::CancelConfirmation);
    SetCurrentMenuIndex(cancel);
    ProcessMenuCommand(C::None);
    return;
  }
  for (const auto& zone : kZoneMenus) {
    if (Menu != QLatin1String(zone[0])) continue;
    DrawMenu(true, false);
    SetMenuMode(QString::fromLatin1(zone[1]));
    return;
  }
  for (const MenuParent& parent : kMenuParents) {
    if (Menu != QLatin1String(parent.menu)) continue;
    SetMenuMode(QString::fromLatin1(MenuOf(parent.entry)));
    int32_t entry = PositionOf(parent.entry);
    SetCurrentMenuIndex(entry);
    DrawMenu(false, false);
    return;
  }
}

void cCarousel::DownKey() {
  const QString mode = m_MenuMode;
  if (mode == kNull) {
    m_KeyNavigation = true;
    if (!gTVOutMode || CarouselTimerRunning()) return;
    ShowZone(QStringLiteral("Carousel"));
  } else if (mode == QLatin1String("Carousel")) {
    if (OpenSegmentCount() > 0) ShowZone(QStringLiteral("Title"));
  } else if (mode == QLatin1String("Title")) {
    ShowZone(HasTags ? QStringLiteral("Tags") : QStringLiteral("Rating"));
  } else if (mode == QLatin1String("Tags")) {
    ShowZone(QStringLiteral("Rating"));
  } else if (mode == QLatin1String("Rating")) {
    ShowZone(DescriptionOverflow ? QStringLiteral("Description") : QStringLiteral("Carousel"));
  } else if (mode == QLatin1String("Description")) {
    ShowZone(QStringLiteral("Carousel"));
  } else if (IsMenu(mode)) {
    StepMenu(1);
  }
}

void cCarousel::EnterKey() {
  const QString mode = m_MenuMode;
  if (mode == kNull) {
    ProcessMenuCommand(C::PlayFile);
  } else if (mode == QLatin1String("Carousel") || mode == QLatin1String("Title") || mode == QLatin1String("Tags")) {
    SetMenuMode(mode + QStringLiteral("Main"));
    DrawMenu(false, true);
  } else if (mode == QLatin1String("Description")) {
    ProcessMenuCommand(C::NextDescriptionPage);
    RedrawAll(false, true);
  } else if (IsMenu(mode)) {
    ProcessMenuCommand(C::None);
  }
}

void cCarousel::EscapeKey() {
  const QString mode = m_MenuMode;
  if (mode == kNull) return;
  if (IsMenu(mode)) DrawMenu(true, true);
  ShowZone(kNull);
}

void cCarousel::OtherKeys(int KeyCode) {
  const bool top = m_MenuMode == kNull;
  if (!top && m_MenuMode != QLatin1String("Tags")) return;
  if (KeyCode < 33 || KeyCode > 221) return;
  const auto row = std::find_if(std::begin(kOtherKeys), std::end(kOtherKeys), [KeyCode](const OtherKey& k) {
    return k.key == KeyCode || (k.alias != 0 && k.alias == KeyCode);
  });
  if (row == std::end(kOtherKeys)) return;
  m_KeyNavigation = false;
  if (!top) {
    if (row->tagsCommand != C::None) ProcessMenuCommand(row->tagsCommand);
  } else if (row->topCommand != C::None) {
    ProcessMenuCommand(row->topCommand);
  } else if (const auto target = MoveTarget(row->move, gBrowserIndex, OpenSegmentCount())) {
    MoveTo(*target);
  }
}
