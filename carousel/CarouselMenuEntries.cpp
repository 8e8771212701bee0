// The table of the carousel's menus and the lookups of a command's place in
// it. The dynamic glyphs and captions start as shown here and follow the
// program's state through the carousel's menu state rules.
#include "carousel/CarouselMenuEntries.h"

#include <cstddef>

namespace {

using C = CarouselCommand;

struct Place {
  const char* Menu = nullptr;
  int32_t Position = 0;
};

Place PlaceInTable(CarouselCommand command) {
  for (const CarouselMenuTable& table : CarouselMenuTables()) {
    for (std::size_t i = 0; i < table.Rows.size(); ++i) {
      if (table.Rows[i].Command == command) return {table.Name, static_cast<int32_t>(i) + 1};
    }
  }
  return {};
}

// The confirmations that take over the confirmation's entry stand where the
// table's own one does.
Place PlaceOf(CarouselCommand command) {
  if (command == C::ConfirmRemoval || command == C::ConfirmQuit) return PlaceInTable(C::ConfirmDelete);
  return PlaceInTable(command);
}

struct Confirmation {
  CarouselCommand Asker;
  CarouselCommand Confirm;
};
constexpr Confirmation kConfirmations[] = {
    {C::DeleteFile, C::ConfirmDelete}, {C::RemoveFile, C::ConfirmRemoval}, {C::Quit, C::ConfirmQuit}};

}  // namespace

const std::vector<CarouselMenuTable>& CarouselMenuTables() {
  static const std::vector<CarouselMenuTable> tables = {
      {"Main",
       {{C::OpenFiles, "D", "Open a new set of files"},
        {C::PreviousSet, "L", "Previous Set of Files"},
        {C::NextSet, "M", "Next Set of Files"},
        {C::Search, "s", "Search Filenames, Titles and Descriptions"},
        {C::PlayAll, "O", "Play All Files, in their current order"},
        {C::Shuffle, "d", "Shuffle is OFF [Enter/OK to change]"},
        {C::OptionsMenu, "o", "Options"},
        {C::Quit, "F", "Quit Reelwise II"}}},
      {"CarouselMain",
       {{C::UndoViewChange, "R", "Undo the last change to the current View"},
        {C::AddFiles, "I", "Add more files to the current View"},
        {C::FilterOut, "C", "Filter out a set of files"},
        {C::FilterTo, "B", "Filter to a set of files"},
        {C::SaveView, "u", "Save as a New View"}}},
      {"TagsMain",
       {{C::OpenTagged, "D", "Open files tagged with '<TAG-TOKEN>'"},
        {C::AppendTagged, "I", "Append: Add all other files tagged with '<TAG-TOKEN>'"},
        {C::FilterOutTagged, "C", "Filter out: Remove all files tagged with '<TAG-TOKEN>'"},
        {C::FilterToTagged, "B", "Filter to: Remove all files NOT tagged with '<TAG-TOKEN>'"},
        {C::RemoveTag, "E", "Remove the tag '<TAG-TOKEN>' from the current file"},
        {C::RemoveTagLink, "K", "Remove the link from '<TAG-TOKEN>' to '<LINKED-TAG-TOKEN>'"},
        {C::LinkTag, "G", "Create a link from '<TAG-TOKEN>' to another tag"}}},
      {"TitleMain",
       {{C::PlayFile, "N", "Play '<FILE-TOKEN>'"},
        {C::StoryBoard, "p", "View Story Board for '<FILE-TOKEN>'"},
        {C::AddToPlaylist, "X", "Add '<FILE-TOKEN>' to a Playlist..."},
        {C::DeleteFile, "k", "Delete '<FILE-TOKEN>'"},
        {C::RemoveFile, "T", "Remove '<FILE-TOKEN>' from this Library"}}},
      {"Options",
       {{C::ResultKindMenu, "g", "Showing Matching Files [Enter/OK to change]"},
        {C::StorageMenu, "U", "Showing all files; Online and Offline [Enter/OK to change]"},
        {C::ColoursMenu, "P", "Change Colour Tint"},
        {C::Music, "m", "Music ON [Enter/OK to turn OFF]"}}},
      {"SegmentFilter",
       {{C::ShowMatchingFiles, "g", "Show Matching Files"},
        {C::ShowSegmentsOfFiles, "h", "Show Segments from Matching Files"},
        {C::ShowMatchingSegments, "i", "Show Matching Segments"}}},
      {"OfflineFilter",
       {{C::ShowAllStorage, "U", "Show All files (both Online and Offline)"},
        {C::ShowOnline, "W", "Show Online Files Only"},
        {C::ShowOffline, "V", "Show Offline Files Only"}}},
      {"Colours",
       {{C::TintRed, "P", "Red"},
        {C::TintGreen, "P", "Green"},
        {C::TintBlue, "P", "Blue"},
        {C::TintYellow, "P", "Yellow"},
        {C::TintMagenta, "P", "Magenta"},
        {C::TintCyan, "P", "Cyan"},
        {C::TintBlack, "P", "Black"},
        {C::TintTheme, "P", "Theme"},
        {C::RandomTwoColours, "e", "Random Two Colours"},
        {C::InvertTint, "Y", "Invert"}}},
      {"Confirmation", {{C::CancelConfirmation, "x", "Cancel"}, {C::ConfirmDelete, "y", "Confirm"}}},
  };
  return tables;
}

const std::vector<CarouselCommand>& AllCarouselCommands() {
  static const std::vector<CarouselCommand> commands = {
      C::OpenFiles,        C::AddFiles,          C::FilterOut,           C::FilterTo,
      C::PreviousSet,      C::NextSet,           C::UndoViewChange,      C::OpenTagged,
      C::AppendTagged,     C::FilterOutTagged,   C::FilterToTagged,      C::RemoveTag,
      C::RemoveTagLink,    C::LinkTag,           C::ResultKindMenu,      C::StorageMenu,
      C::OptionsMenu,      C::ColoursMenu,       C::TintRed,             C::TintGreen,
      C::TintBlue,         C::TintTheme,         C::TintYellow,          C::TintMagenta,
      C::TintCyan,         C::TintBlack,         C::InvertTint,          C::RandomTwoColours,
      C::PlayAll,          C::Shuffle,           C::ShowMatchingFiles,   C::ShowSegmentsOfFiles,
      C::ShowMatchingSegments, C::ShowAllStorage, C::ShowOffline,        C::ShowOnline,
      C::Music,            C::NextDescriptionPage, C::SaveView,          C::StoryBoard,
      C::DeleteFile,       C::RemoveFile,        C::ConfirmDelete,       C::ConfirmRemoval,
      C::AddToPlaylist,    C::PlayFile,          C::Quit,                C::CancelConfirmation,
      C::Search,           C::ConfirmQuit};
  return commands;
}

const char* MenuOf(CarouselCommand command) { return PlaceOf(command).Menu; }

int32_t PositionOf(CarouselCommand command) { return PlaceOf(command).Position; }

CarouselCommand ConfirmationOf(CarouselCommand asking) {
  for (const Confirmation& c : kConfirmations) {
    if (c.Asker == asking) return c.Confirm;
  }
  return C::None;
}

CarouselCommand AskerOf(CarouselCommand confirmation) {
  for (const Confirmation& c : kConfirmations) {
    if (c.Confirm == confirmation) return c.Asker;
  }
  return C::None;
}
