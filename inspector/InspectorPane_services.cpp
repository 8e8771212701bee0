// The inspector's services that other parts call: the four tabs collapsed,
// sized and placed side by side with the View menu's marks, their background
// and scheme colours, and a segment's new rating in the segments grid.
#include "inspector/InspectorPane.h"

#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "resources/Resources.h"
#include "ui/SchemeColours.h"

#include <algorithm>

namespace {

// The View menu's item for each tab, 1 to 4.
const char* const kTabMenuKeys[] = {"", "mnuViewExpandSpecs", "mnuViewExpandPreview", "mnuViewExpandCataloguing",
                                    "mnuViewExpandSegments"};
constexpr int kFitsWidth = 340 + 356 + 368 + 166 + 15;
constexpr int kNarrowestFrame = 700;

}  // namespace

bool InspectorPane::TabCollapsed(int tab) const {
  return static_cast<int>(picInspector[tab]->Width()) == m_InspectorTabs[static_cast<size_t>(tab - 1)].CollapsedWidth;
}

void InspectorPane::SetTabWidth(int tab, double width) {
  picInspector[tab]->Move(picInspector[tab]->Left(), 0, std::max(1.0, width), picBottomFrame->ScaleHeight());
}

// Which of the file-details and tagging tabs take the free width, collapsing
// one of them when the frame is too narrow for all four tabs; then the
// arrows, the places (tabs 1, 2, 4, 3 from left, overlapping by a pixel at
// two joints) and the View menu's marks.
void InspectorPane::ArrangeInspector(int tab) {
  if (picBottom->window()->isMinimized() || gWindowMode == 2) return;
  if (picBottomFrame->Width() < kNarrowestFrame) picBottomFrame->SetWidth(kNarrowestFrame);
  // The first arrangement starts each tab as the View menu marks it.
  if (!tabsSized_) {
    tabsSized_ = true;
    for (int i = 1; i <= 4; ++i) {
      const InspectorTab& record = m_InspectorTabs[static_cast<size_t>(i - 1)];
      SetTabWidth(i, MenuMarked(i) ? record.FullWidth : record.CollapsedWidth);
    }
  }
  const double frame = picBottomFrame->Width();
  const bool fits = frame >= kFitsWidth;
  const bool c1 = TabCollapsed(1);
  const bool c3 = TabCollapsed(3);
  bool stretchS = true;
  bool stretchC = true;
  auto collapse = [&](int which) { SetTabWidth(which, m_InspectorTabs[static_cast<size_t>(which - 1)].CollapsedWidth); };
  if (fits) {
    if (tab == 1) stretchS = false;
    if (tab == 3) stretchC = false;
    if (tab == 2 || tab == 4) {
      if (c1) stretchS = false;
      else if (c3) stretchC = false;
    }
  } else if (tab == 3) {
    if (c3) {
      stretchC = false;
    } else {
      collapse(1);
      stretchS = false;
    }
  } else if (tab == 1) {
    if (c1) {
      stretchS = false;
    } else {
      collapse(3);
      stretchC = false;
    }
  } else if (c1) {
    stretchS = false;
  } else if (!c3) {
    collapse(1);
    stretchS = false;
  } else {
    stretchC = false;
  }
  const double w1 = picInspector[1]->Width(), w2 = picInspector[2]->Width(), w3 = picInspector[3]->Width(),
               w4 = picInspector[4]->Width();
  if (stretchS && stretchC) {
    const double half = (frame - w2 - w4 - 2) / 2;
    SetTabWidth(1, half);
    SetTabWidth(3, half);
  } else if (stretchC) {
    SetTabWidth(3, frame - w1 - w2 - w4 - 2);
  } else if (stretchS) {
    SetTabWidth(1, frame - w2 - w3 - w4 - 2);
  }
  PlaceTabs();
  lblFileData[0]->SetCaption(FitCaption(*lblFileData[0], gInspectedItem.FileName + QLatin1Char(' ')));
}

// The host only flips a mark and says the new one: flipping twice reads it.
bool InspectorPane::MenuMarked(int tab) {
  const QString key = QLatin1String(kTabMenuKeys[tab]);
  const bool flipped = host_.ToggleMenuCheck(key);
  host_.ToggleMenuCheck(key);
  return !flipped;
}

void InspectorPane::MarkTab(int tab) {
  const bool collapsed = TabCollapsed(tab);
  lblCollapseTab[tab]->SetCaption(collapsed ? QStringLiteral("4") : QStringLiteral("3"));
  const QString key = QLatin1String(kTabMenuKeys[tab]);
  if (host_.ToggleMenuCheck(key) == collapsed) host_.ToggleMenuCheck(key);
}

void InspectorPane::PlaceTabs() {
  for (int i = 1; i <= 4; ++i) MarkTab(i);
  picInspector[1]->SetLeft(0);
  picInspector[2]->SetLeft(picInspector[1]->Left() + picInspector[1]->Width() - 1);
  picInspector[4]->SetLeft(picInspector[2]->Left() + picInspector[2]->Width());
  picInspector[3]->SetLeft(picInspector[4]->Left() + picInspector[4]->Width() - 1);
  for (int i = 1; i <= 4; ++i) picInspector_Resize(i);
}

// The file-details labels follow their tab's width, as do the boxes of the
// tagging tab, which shows them collapsed too.
void InspectorPane::picInspector_Resize(int Index) {
  PaintTabBackground(Index);
  const double width = picInspector[Index]->Width();
  if (Index == 3) FitCataloguingBoxes(width);
  if (Index != 1 || TabCollapsed(Index)) return;
  lblFileData[0]->SetWidth(std::max(1.0, width - 34));
  const double right = lblFileData[0]->Left() + lblFileData[0]->Width();
  lblFileData[1]->SetWidth(std::max(1.0, right - lblFileData[1]->Left()));
  for (int i : {10, 11}) lblFileData[i]->SetWidth(lblFileData[0]->Width());
}

// Each box keeps whole inside the tab, up to its own width: the tag list
// with its arrows beside it, the details grid under it as wide as the tab
// less 146, and never narrower than the list's room where the tab is narrow.
void InspectorPane::FitCataloguingBoxes(double width) {
  constexpr double kLeft = 26, kRight = 4, kArrows = 18, kList = 136;
  const double room = std::max(1.0, width - kLeft - kRight);
  const double list = std::clamp(room - kArrows, 1.0, kList);
  lstFileTags->SetWidth(list);
  if (lstFileTags->ColumnHeaders.Count() >= 2) lstFileTags->ColumnHeaders.SetWidth(2, list - 4);
  for (ctl::Label* arrow : lblTagListScroll) arrow->SetLeft(kLeft + list + 2);
  flexFileDetails->SetWidth(std::max(width - 146, std::min(kList, room)));
  flexFileDetails->SetColWidth(0, static_cast<int>(flexFileDetails->Width() * gTwipsPerPixelX));
}

// The tabs' background: the left strip of the skin's tab picture stretched
// over the whole tab, so its shading runs from top to bottom at any size.
void InspectorPane::PaintTabBackground(int Index) {
  const QPixmap& skin = picTabBG->Picture();
  ctl::PictureBox& tab = *picInspector[Index];
  if (skin.isNull() || tab.width() <= 0 || tab.height() <= 0) return;
  const QPixmap strip = skin.copy(0, 0, std::min(2, skin.width()), skin.height());
  tab.SetPicture(strip.scaled(tab.width(), tab.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void InspectorPane::PaintInSchemeColours() {
  picTabBG->SetPicture(QPixmap::fromImage(LoadResPicture(QStringLiteral("TAB_BG"), kResCustom)));
  for (int i = 1; i <= 4; ++i) {
    picInspector[i]->SetBackColor(gSchemeColour4);
    lblCollapseTab[i]->SetForeColor(gSchemeColour4);
    PaintTabBackground(i);
  }
  for (ctl::Label* arrow : {lblTagListScroll[0], lblTagListScroll[1], lblSegmentsScroll[0], lblSegmentsScroll[1]})
    arrow->SetForeColor(gSchemeColour3);
  ShowMediaButtonFaces();
  // The band's tile and the sliders' thumbs.
  auto bitmap = [](const char* name) { return QPixmap::fromImage(LoadResPicture(QLatin1String(name), kResBitmap)); };
  picSelection->SetPicture(bitmap("SEL_TRACK"));
  imgSliderThumb->SetPicture(bitmap("SLIDER_THUMB"));
  picVolume->SetPicture(bitmap("VOL_SLIDER"));
  picVolumeThumb->SetPicture(bitmap("VOL_THUMB"));
  picThumbnail->SetBackColor(gSchemeColour2);
  lblStartPoint->SetForeColor(gSchemeColour2);
  lblEndPoint->SetForeColor(gSchemeColour2);
}

// An expanded tab collapses, a collapsed one gets its full width; the others
// make room.
void InspectorPane::lblCollapseTab_Click(int16_t Index) {
  if (Index < 1 || Index > 4) return;
  const InspectorTab& record = m_InspectorTabs[static_cast<size_t>(Index - 1)];
  if (!tabsSized_) ArrangeInspector(0);
  SetTabWidth(Index, TabCollapsed(Index) ? record.FullWidth : record.CollapsedWidth);
  MarkTab(Index);  // also in compact mode, where the tabs are not arranged
  ArrangeInspector(Index);
}

void InspectorPane::ShowSegmentRating(int32_t SegmentID, int16_t Rating) {
  const QString id = QString::number(SegmentID);
  for (int row = 1; row < flexSegments->Rows(); ++row) {
    if (flexSegments->TextMatrix(row, 4) == id) flexSegments->SetTextMatrix(row, 5, QString::number(Rating));
  }
}
