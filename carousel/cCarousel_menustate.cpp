// The carousel menus kept in step with the program: which entries can be
// chosen (a library open, results, history, a modified view), the captions
// and glyphs that show a state (music, shuffle, result kind, storage filter,
// deletion to the recycle bin), and the tags menu's entries for the
// highlighted tag. Entries are addressed by their IDs in the menus that hold
// them: the entries of the current view (7, 2, 3, 4, 72) in "CarouselMain",
// those of the front file (85, 79, 84, 80, 81) in "TitleMain".
#include "carousel/cCarousel.h"

#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"

#include <algorithm>

namespace {

struct Face {
  const char* Glyph;
  const char* Caption;
};

Face ResultKindFace(ResultScope kind) {
  switch (kind) {
    case ResultScope::File:
      return {"g", "Showing Matching Files [Enter/OK to change]"};
    case ResultScope::SegmentsOfFiles:
      return {"h", "Showing Segments within Matching Files [Enter/OK to change]"};
    case ResultScope::Segment:
      break;
  }
  return {"i", "Showing Matching Segments [Enter/OK to change]"};
}

Face StorageFilterFace(StorageFilter filter) {
  switch (filter) {
    case StorageFilter::All:
      return {"U", "Showing all files; Online and Offline [Enter/OK to change]"};
    case StorageFilter::Offline:
      return {"V", "Showing Offline files only [Enter/OK to change]"};
    case StorageFilter::Online:
      break;
  }
  return {"W", "Showing Online files only [Enter/OK to change]"};
}

void SetFace(CarouselMenuEntry* entry, const Face& face) {
  if (!entry) return;
  entry->Glyph = QString::fromLatin1(face.Glyph);
  entry->Caption = QString::fromLatin1(face.Caption);
}

void SetEnabled(CarouselMenuEntry* entry, bool enabled) {
  if (entry) entry->Enabled = enabled;
}

}  // namespace

void cCarousel::SyncMenuState() {
  const QString main = QStringLiteral("Main");
  const QString view = QStringLiteral("CarouselMain");
  const QString file = QStringLiteral("TitleMain");
  const QString options = QStringLiteral("Options");
  // 1. Opening, searching and adding need a library.
  const bool libraryOpen = gLibrary && !gLibrary->LibraryName.isEmpty();
  SetEnabled(MenuEntry(main, 1), libraryOpen);
  SetEnabled(MenuEntry(main, 91), libraryOpen);
  SetEnabled(MenuEntry(view, 2), libraryOpen);
  // 2 to 5. The entries that show a state.
  SetFace(MenuEntry(options, 64), m_MusicEnabled ? Face{"m", "Music ON [Enter/OK to turn OFF]"}
                                                 : Face{"n", "Music OFF [Enter/OK to turn ON]"});
  RenewShuffleCaptions();
  SetFace(MenuEntry(options, 24), ResultKindFace(gResultKind));
  SetFace(MenuEntry(options, 27), StorageFilterFace(gOnlineFilter));
  // 6, 7. Results and history.
  const bool noResults = OpenSegmentCount() == 0;
  const int16_t history = gLibrary ? gLibrary->HistoryIndex() : 0;
  const bool firstStep = history == 0 || history == 1;
  const bool lastStep = history == 0 || gLibrary->NoFurtherHistory();
  const bool modified = gLibrary && gLibrary->ViewModified();
  SetEnabled(MenuEntry(main, 41), !noResults);
  SetEnabled(MenuEntry(view, 3), !noResults);
  SetEnabled(MenuEntry(view, 4), !noResults);
  SetEnabled(MenuEntry(main, 5), !firstStep);
  SetEnabled(MenuEntry(main, 6), !lastStep);
  SetEnabled(MenuEntry(view, 7), modified);
  SetEnabled(MenuEntry(view, 72), modified);
  // 8. Deleting goes to the recycle bin when the settings say so.
  SetFace(MenuEntry(file, 80), gDeleteToRecycleBin ? Face{"J", "Send '<FILE-TOKEN>' to Recycle Bin"}
                                                   : Face{"k", "Delete '<FILE-TOKEN>'"});
}

// The shuffle entry and the play entry's caption of the main menu.
void cCarousel::RenewShuffleCaptions() {
  const QString main = QStringLiteral("Main");
  SetFace(MenuEntry(main, 42), gRandomPlayback ? Face{"S", "Shuffle is ON [Enter/OK to change]"}
                                               : Face{"d", "Shuffle is OFF [Enter/OK to change]"});
  if (CarouselMenuEntry* play = MenuEntry(main, 41)) {
    play->Caption = gRandomPlayback ? QStringLiteral("Play All Files, in any order")
                                    : QStringLiteral("Play All Files, in their current order");
  }
}

// Decides for the highlighted tag row whether the tag can be taken off the
// file (not when it comes through a link or a segment) and whether it hangs
// under a linked tag whose link can be removed. Walking up from the row, a
// header holding ")" closes a group and " (" opens one; an opening header
// that is not matched by a closing one starts the row's own group, whose tag
// is the row just above that header. Both the tags menu and its open copy
// take the result.
void cCarousel::SyncTagsMenuState() {
  const auto highlighted = static_cast<size_t>(m_HighlightedTagIndex);
  if (highlighted >= m_TagList.size()) return;
  TagListRow& row = m_TagList[highlighted];
  row.LinkedCaption.clear();
  bool removeTag = true;
  bool removeLink = false;
  int depth = 0;
  for (size_t r = highlighted; r >= 1; --r) {
    const TagListRow& header = m_TagList[r];
    if (!header.Separator) continue;
    if (header.Caption.contains(QLatin1Char(')'))) ++depth;
    if (header.Caption == QLatin1String(" (")) --depth;
    if (depth < 0) {
      const TagListRow& parent = m_TagList[r - 1];
      removeTag = false;
      removeLink = true;
      row.LinkedCaption = parent.Caption;
      row.LinkedTagID = parent.TagID;
      break;
    }
  }
  if (row.ViaSegment) removeTag = false;
  const bool tagsMenuOpen = m_MenuMode == QLatin1String("TagsMain");
  for (CarouselMenu* menu : {&m_Menus[QStringLiteral("TagsMain")], tagsMenuOpen ? &m_ActiveMenu : nullptr}) {
    if (!menu) continue;
    for (CarouselMenuEntry& entry : *menu) {
      if (entry.ID == 20) entry.Enabled = removeTag;
      if (entry.ID == 21) entry.Enabled = removeLink;
    }
  }
}

void cCarousel::SetTagRows(std::vector<TagListRow> rows, int32_t highlighted) {
  m_TagList = std::move(rows);
  if (m_TagList.empty()) m_TagList.assign(1, TagListRow{});
  HasTags = std::any_of(m_TagList.begin(), m_TagList.end(),
                        [](const TagListRow& row) { return !row.Separator && row.TagID != 0; });
  SetHighlightedTag(highlighted);
}
