// The carousel's menu commands by name and the one table of its nine
// on-canvas menus: which menu holds each command's entry and where. The
// commands' numbers are the IDs the entries carry (and the settings and
// tests see); nothing else in the carousel spells them.
#pragma once

#include <cstdint>
#include <vector>

enum class CarouselCommand : int32_t {
  None = 0,
  // The main menu and the current view's menu.
  OpenFiles = 1,
  AddFiles = 2,
  FilterOut = 3,
  FilterTo = 4,
  PreviousSet = 5,
  NextSet = 6,
  UndoViewChange = 7,
  // The highlighted tag's menu.
  OpenTagged = 16,
  AppendTagged = 17,
  FilterOutTagged = 18,
  FilterToTagged = 19,
  RemoveTag = 20,
  RemoveTagLink = 21,
  LinkTag = 22,
  // Options and the sub-menus they open.
  ResultKindMenu = 24,
  StorageMenu = 27,
  OptionsMenu = 28,
  ColoursMenu = 30,
  TintRed = 31,
  TintGreen = 32,
  TintBlue = 33,
  TintTheme = 34,
  TintYellow = 35,
  TintMagenta = 36,
  TintCyan = 37,
  TintBlack = 38,
  InvertTint = 39,
  RandomTwoColours = 40,
  PlayAll = 41,
  Shuffle = 42,
  ShowMatchingFiles = 51,
  ShowSegmentsOfFiles = 52,
  ShowMatchingSegments = 53,
  ShowAllStorage = 61,
  ShowOffline = 62,
  ShowOnline = 63,
  Music = 64,
  // Enter in the description zone: no menu holds it.
  NextDescriptionPage = 70,
  // The view, the front file, confirmations and quitting.
  SaveView = 72,
  StoryBoard = 79,
  DeleteFile = 80,
  RemoveFile = 81,
  ConfirmDelete = 82,
  ConfirmRemoval = 83,
  AddToPlaylist = 84,
  PlayFile = 85,
  Quit = 86,
  CancelConfirmation = 89,
  Search = 91,
  ConfirmQuit = 99,
};

constexpr int32_t CommandNumber(CarouselCommand command) { return static_cast<int32_t>(command); }

// One entry as the menu starts: its command, glyph in the program's symbol
// font and caption (with the tokens the bar fills in).
struct CarouselMenuRow {
  CarouselCommand Command;
  const char* Glyph;
  const char* Caption;
};

struct CarouselMenuTable {
  const char* Name;
  std::vector<CarouselMenuRow> Rows;  // position 1 first
};

// The nine menus in position order. The confirmation's second entry is the
// confirmation of whatever asked (ConfirmDelete as the table starts).
const std::vector<CarouselMenuTable>& CarouselMenuTables();

// Every command, each once.
const std::vector<CarouselCommand>& AllCarouselCommands();

// The menu holding the command's entry (nullptr for NextDescriptionPage) and
// its 1-based position there (0 for none). The three confirmations share the
// confirmation's second entry.
const char* MenuOf(CarouselCommand command);
int32_t PositionOf(CarouselCommand command);

// The confirmation a deleting, removing or quitting command asks for, and
// back from it the command that asked (None for any other).
CarouselCommand ConfirmationOf(CarouselCommand asking);
CarouselCommand AskerOf(CarouselCommand confirmation);
