// The carousel menus kept in step with the program: which entries can be
// chosen (a library open, results, history, a modified view), the captions
// and glyphs that show a state (music, shuffle, result kind, storage filter,
// deletion to the recycle bin), and the tags menu's entries for the
// highlighted tag. Entries are addressed by their commands; the menus' table
// says which menu holds each.
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
  using C = CarouselCommand;
  // 1. Opening, searching and adding need a library.
  const bool libraryOpen = gLibrary && !gLibrary->LibraryName.isEmpty();
  SetEnabled(MenuEntry(C::OpenFiles), libraryOpen);
  SetEnabled(MenuEntry(C::Search), libraryOpen);
  SetEnabled(MenuEntry(C::AddFiles), libraryOpen);
  // 2 to 5. The entries that show a state.
  SetFace(MenuEntry(C::Music), m_MusicEnabled ? Face{"m", "Music ON [Enter/OK to turn OFF]"}
                                                 : Face{"n", "Music OFF [Enter/OK to turn ON]"});
  RenewShuffleCaptions();
  SetFace(MenuEntry(C::ResultKindMenu), ResultKindFace(gResultKind));
  SetFace(MenuEntry(C::StorageMenu), StorageFilterFace(gOnlineFilter));
  // 6, 7. Results and history.
  const bool noResults = OpenSegmentCount() == 0;
  const int16_t history = gLibrary ? gLibrary->HistoryIndex() : 0;
  const bool firstStep = history == 0 || history == 1;
  const bool lastStep = history == 0 || gLibrary->NoFurtherHistory();
  const bool modified = gLibrary && gLibrary->ViewModified();
  SetEnabled(MenuEntry(C::PlayAll), !noResults);
  SetEnabled(MenuEntry(C::FilterOut), !noResults);
  SetEnabled(MenuEntry(C::FilterTo), !noResults);
  SetEnabled(MenuEntry(C::PreviousSet), !firstStep);
  SetEnabled(MenuEntry(C::NextSet), !lastStep);
  SetEnabled(MenuEntry(C::UndoViewChange), modified);
  SetEnabled(MenuEntry(C::SaveView), modified);
  // 8. Deleting goes to the recycle bin when the settings say so.
  SetFace(MenuEntry(C::DeleteFile), gDeleteToRecycleBin ? Face{"J", "Send '<FILE-TOKEN>' to Recycle Bin"}
                                                   : Face{"k", "Delete '<FILE-TOKEN>'"});
}

// The shuffle entry and the play entry's caption of the main menu.
void cCarousel::RenewShuffleCaptions() {
  SetFace(MenuEntry(CarouselCommand::Shuffle), gRandomPlayback ? Face{"S", "Shuffle is ON [Enter/OK to change]"}
                                               : Face{"d", "Shuffle is OFF [Enter/OK to change]"});
  if (CarouselMenuEntry* play = MenuEntry(CarouselCommand::PlayAll)) {
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
  EnableEntry(CarouselCommand::RemoveTag, removeTag);
  EnableEntry(CarouselCommand::RemoveTagLink, removeLink);
}

void cCarousel::SetTagRows(std::vector<TagListRow> rows, int32_t highlighted) {
  m_TagList = std::move(rows);
  if (m_TagList.empty()) m_TagList.assign(1, TagListRow{});
  HasTags = std::any_of(m_TagList.begin(), m_TagList.end(),
                        [](const TagListRow& row) { return !row.Separator && row.TagID != 0; });
  SetHighlightedTag(highlighted);
}
