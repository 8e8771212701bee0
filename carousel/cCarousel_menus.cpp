// The carousel's on-canvas menus: the nine menus, the open one and its
// highlighted entry, and the menu bar across the top of the canvas with the
// ring's strip along the bottom, shown in place or slid in and out.
#include "carousel/cCarousel.h"

#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "platform/modSound.h"
#include "ui/CairoObject.h"
#include "ui/CairoPattern.h"
#include "ui/modBlendColorAlpha.h"
#include "ui/modCairo.h"

#include <chrono>
#include <cmath>

namespace {

constexpr int kBarHeight = 85;
const QString kGlyphFont = QStringLiteral("RW2dings");

bool IsMenuName(const QString& name) {
  for (const CarouselMenuTable& table : CarouselMenuTables()) {
    if (name == QLatin1String(table.Name)) return true;
  }
  return false;
}

// The colours a colour patch can take, by the caption that names them.
bool NamedColour(const QString& caption, COLORREF& colour) {
  static const std::map<QString, COLORREF> colours = {
      {QStringLiteral("Red"), 0xFF},          {QStringLiteral("Green"), 0xFF00},
      {QStringLiteral("Blue"), 0xFF0000},     {QStringLiteral("Yellow"), 0xFFFF},
      {QStringLiteral("Magenta"), 0xFF00FF}, {QStringLiteral("Cyan"), 0xFFFF00},
      {QStringLiteral("Black"), 0}};
  const auto found = colours.find(caption);
  if (found == colours.end()) return false;
  colour = found->second;
  return true;
}

double GlyphX(int position) { return 90.0 * position - 38; }

}  // namespace

void cCarousel::FillMenus() {
  m_Menus.clear();
  for (const CarouselMenuTable& table : CarouselMenuTables()) {
    CarouselMenu& menu = m_Menus[QString::fromLatin1(table.Name)];
    menu.assign(1, CarouselMenuEntry{});  // index 0 is unused
    for (const CarouselMenuRow& row : table.Rows) {
      menu.push_back(
          {CommandNumber(row.Command), QString::fromLatin1(row.Glyph), QString::fromLatin1(row.Caption), true});
    }
  }
  m_ActiveMenu = m_Menus[QStringLiteral("Main")];
}

const CarouselMenu& cCarousel::Menu(const QString& name) const {
  static const CarouselMenu none(1);
  const auto found = m_Menus.find(name);
  return found == m_Menus.end() ? none : found->second;
}

namespace {

CarouselMenuEntry* EntryIn(CarouselMenu& menu, CarouselCommand command) {
  for (size_t i = 1; i < menu.size(); ++i) {
    if (menu[i].ID == CommandNumber(command)) return &menu[i];
  }
  return nullptr;
}

}  // namespace

CarouselMenuEntry* cCarousel::MenuEntry(CarouselCommand command) {
  const char* name = MenuOf(command);
  if (!name) return nullptr;
  const auto found = m_Menus.find(QString::fromLatin1(name));
  return found == m_Menus.end() ? nullptr : EntryIn(found->second, command);
}

void cCarousel::EnableEntry(CarouselCommand command, bool enabled) {
  const char* name = MenuOf(command);
  if (!name) return;
  if (CarouselMenuEntry* entry = MenuEntry(command)) entry->Enabled = enabled;
  if (m_MenuMode != QLatin1String(name)) return;
  if (CarouselMenuEntry* open = EntryIn(m_ActiveMenu, command)) open->Enabled = enabled;
}

void cCarousel::SetMenuMode(const QString& sValue) {
  if (sValue == QLatin1String("NULL")) {
    m_ActiveMenu = m_Menus[QStringLiteral("Main")];
  } else if (sValue == QLatin1String("CarouselMain")) {
    m_HighlightedTagCaption.clear();
    m_ActiveMenu = m_Menus[sValue];
  } else if (IsMenuName(sValue)) {
    m_ActiveMenu = m_Menus[sValue];
  }
  int32_t first = 1;
  SetCurrentMenuIndex(first);
  m_DescriptionPage = 1;
  m_MenuMode = sValue;
}

void cCarousel::SetCurrentMenuIndex(int32_t& iValue) {
  const auto count = static_cast<int32_t>(m_ActiveMenu.size()) - 1;
  int32_t index = iValue;
  if (index < 1) index = count;
  if (index > count) index = 1;
  m_CurrentMenuIndex = index;
}

// The caption with its tokens: the highlighted tag and the tag it hangs
// under in the tags menu, else the front file's alias (when aliases are
// shown and it has one) or its file name.
QString cCarousel::MenuCaption(const CarouselMenuEntry& entry) const {
  QString caption = entry.Caption;
  if (m_MenuMode == QLatin1String("TagsMain")) {
    const auto row = static_cast<size_t>(m_HighlightedTagIndex);
    const QString linked = row < m_TagList.size() ? m_TagList[row].LinkedCaption : QString();
    caption.replace(QLatin1String("<TAG-TOKEN>"), m_HighlightedTagCaption);
    caption.replace(QLatin1String("<LINKED-TAG-TOKEN>"), linked);
  } else {
    const bool alias = gTooltipAliases && !gCurrentItem.FileAlias.isEmpty();
    caption.replace(QLatin1String("<FILE-TOKEN>"), alias ? gCurrentItem.FileAlias : gCurrentItem.FileName);
  }
  return caption;
}

// ---- Drawing ----

void cCarousel::DrawMenu(bool bHide, bool bSlideIn) {
  PlayBackgroundSFX(true);
  if (bHide && !m_MenuShown) return;
  m_MenuShown = !bHide;
  if (!bHide) modSound::PlayEffect(bSlideIn ? gSoundScrape : gSoundWhip);
  // The bar that leaves is the one on the canvas, whatever menu is open now.
  if (!bHide || !m_MenuBarSurface) PrepareMenuBar();
  PrepareMenuStrip();
  SlideMenu(bHide, bSlideIn);
}

// The bar of the open menu on a surface of the canvas's width, 85 high:
// shaded background, the current entry's caption, the glyphs, the colour
// patches and the glossy ring around the current glyph.
void cCarousel::PrepareMenuBar() {
  if (!m_MenuBarSurface || m_MenuBarSurface->Width() != m_CanvasWidth) {
    m_MenuBarSurface = std::make_shared<CairoSurface>(m_CanvasWidth, kBarHeight);
  }
  auto bar = m_MenuBarSurface->Context();
  bar->SetSourceColour(BlendColor(lMenuColour1, RGB(0, 0, 0), 220));
  bar->Paint();
  auto shade = modCairo::GetCairo()->CreateLinearPattern(0, 0, 0, kBarHeight);
  shade->AddThreeColourStops(RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0), 0.25, 0.05, 0.35, 0.45);
  bar->Paint(1, shade.get());
  if (m_MenuMode == QLatin1String("TagsMain")) SyncTagsMenuState();
  const auto count = static_cast<int32_t>(m_ActiveMenu.size()) - 1;
  if (m_CurrentMenuIndex >= 1 && m_CurrentMenuIndex <= count) {
    const CarouselMenuEntry& current = m_ActiveMenu[static_cast<size_t>(m_CurrentMenuIndex)];
    const COLORREF colour = current.Enabled ? lMenuColour3 : BlendColor(lMenuColour3, lMenuColour1, 140);
    bar->SelectFont(QStringLiteral("Arial"), 14, colour, true);
    bar->TextOut(90.0 * m_CurrentMenuIndex + 2, 60, MenuCaption(current));
  }
  PaintMenuGlyphs(*bar);
  const double cx = 90.0 * m_CurrentMenuIndex - 15;
  auto gloss = modCairo::GetCairo()->CreateRadialPattern(cx - 10, 28, 4, cx, 40, 38);
  gloss->AddThreeColourStops(RGB(255, 255, 255), RGB(255, 255, 255), lMenuColour2, 0.45, 0.12, 0, 0.6);
  bar->Arc(cx, 40, 38, 0, 2 * CarouselRing::Pi);
  bar->Fill(false, gloss.get());
}

void cCarousel::PaintMenuGlyphs(CairoContext& bar) {
  const COLORREF otherOutline = BlendColor(lMenuColour1, lMenuColour3, 100);
  COLORREF lastColour = lMenuColour3;
  for (int32_t i = 1; i < static_cast<int32_t>(m_ActiveMenu.size()); ++i) {
    const CarouselMenuEntry& entry = m_ActiveMenu[static_cast<size_t>(i)];
    const bool current = i == m_CurrentMenuIndex;
    if (current) {
      // A large faint copy of the current glyph, tilted, behind it.
      bar.Save();
      bar.Translate(GlyphX(i) - 20, 7 - 16);
      bar.RotateDegrees(-12);
      bar.SelectFont(kGlyphFont, 116, lMenuColour3);
      bar.TextOut(0, 0, entry.Glyph, 0.15);
      bar.Restore();
    }
    COLORREF outline = otherOutline;
    COLORREF text = lMenuColour3;
    double opacity = 0.3;
    if (!entry.Enabled) {
      text = BlendColor(lMenuColour3, lMenuColour1, 100);
      opacity = 0.1;
    } else if (current) {
      outline = lMenuColour2;
      opacity = 0.2;
    }
    OutlinedTextOut(entry.Glyph, kGlyphFont, 48, false, false, 2, GlyphX(i), 7, opacity, text, outline, bar);
    lastColour = text;
  }
  PaintColourPatches(bar, lastColour);
}

// A colour swatch over each "P" glyph in the colour its caption names; a
// caption naming none gets it in the glyphs' font and last colour. "Theme"
// keeps its plain glyph.
void cCarousel::PaintColourPatches(CairoContext& bar, COLORREF lastColour) {
  for (int32_t i = 1; i < static_cast<int32_t>(m_ActiveMenu.size()); ++i) {
    const CarouselMenuEntry& entry = m_ActiveMenu[static_cast<size_t>(i)];
    if (entry.Glyph != QLatin1String("P") || entry.Caption == QLatin1String("Theme")) continue;
    COLORREF colour = lastColour;
    NamedColour(entry.Caption, colour);
    bar.SelectFont(kGlyphFont, 48, colour);
    bar.TextOut(GlyphX(i), 6, QStringLiteral("Q"));
  }
}

// The lower panel as far as its 85-pixel strip shows it, cut rather than
// scaled: the ring layer stretched to (100, 0, width - 200, 230). The
// details layer, placed at y 220, lies wholly below the strip's 85 rows.
void cCarousel::PrepareMenuStrip() {
  if (!m_MenuStripSurface || m_MenuStripSurface->Width() != m_CanvasWidth) {
    m_MenuStripSurface = std::make_shared<CairoSurface>(m_CanvasWidth, kBarHeight);
  }
  m_MenuStripSurface->Surface().Fill(0, 0);
  m_MenuStripSurface->Surface().MarkDirty();
  if (!m_RingSurface) return;
  auto strip = m_MenuStripSurface->Context();
  strip->RenderSurface(*m_RingSurface, 100, 0, m_CanvasWidth - 200, CarouselRing::SurfaceHeight);
}

// One frame: the frame layer over the whole canvas, the bar with its top at
// offset - 85 and the strip with its top at the canvas height - offset.
void cCarousel::ComposeMenuFrame(double offset) {
  CairoContext& canvas = *m_CanvasContext;
  PaintFrameLayer();
  const double shown = std::round(offset);
  canvas.RenderSurface(*m_MenuBarSurface, 0, shown - kBarHeight);
  canvas.RenderSurface(*m_MenuStripSurface, 0, m_CanvasHeight - shown);
}

// Hiding slides out in 0.6 S frames, showing slides in in S frames (S the
// frames of a step), or stands in place in one frame.
void cCarousel::SlideMenu(bool hide, bool slideIn) {
  const int steps = std::max(1, m_Frames.Frame);
  int frames = 1;
  if (hide) {
    frames = std::max(1, static_cast<int>(std::ceil(0.6 * steps - 1e-9)));
  } else if (slideIn) {
    frames = steps;
  }
  const double step = hide ? kBarHeight / (0.6 * steps) : kBarHeight / static_cast<double>(steps);
  for (int k = 1; k <= frames; ++k) {
    double offset = kBarHeight;
    if (hide) {
      offset = k == frames ? 0 : std::max(0.0, kBarHeight - k * step);
    } else if (slideIn) {
      offset = k == frames ? kBarHeight : std::min<double>(kBarHeight, k * step);
    }
    m_Pacer->BeginFrame();
    ComposeMenuFrame(offset);
    RefreshCanvas();
    m_Pacer->EndFrame();
  }
  if (hide) {
    m_Pacer->Wait(std::chrono::milliseconds(10));
    RefreshCanvas();
  }
}
