// The carousel's menu commands: the entry chosen in an on-canvas menu (or a
// key mapped to a command) opens the keypad panel, steps through the view's
// history, acts on the highlighted tag or the front file, switches menus,
// tints and options, or hands a menu key to the main window's dispatcher.
// Refusals beep.
#include "carousel/cCarousel.h"

#include "carousel/CarouselPane.h"
#include "carousel/ucCanvas.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/controls/TreeView.h"
#include "platform/modSound.h"

#include <chrono>

namespace {

const QString kCancelled = QStringLiteral("*CANCELLED*");

void Beep() { modSound::PlayEffect(gSoundBeep); }

// The tints "Random Two Colours" draws from.
constexpr COLORREF kRandomColours[8] = {0xFF, 0xFFFF, 0xFF00, 0xFF0000, 0xFF00FF, 0xFFFF00, 0, 0xFFFFFF};

void SetOtherSetting(const QString& name, int value) {
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, name, value);
}

// One step of splitmix64: a well-mixed 64-bit number from a moving state.
uint64_t NextRandom(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

using C = CarouselCommand;

// The tint scheme each tint entry chooses.
int TintSchemeOf(CarouselCommand command) {
  switch (command) {
    case C::TintRed: return 1;
    case C::TintGreen: return 2;
    case C::TintBlue: return 3;
    case C::TintYellow: return 4;
    case C::TintMagenta: return 5;
    case C::TintCyan: return 6;
    case C::TintBlack: return 7;
    default: return 0;  // the theme's own
  }
}

}  // namespace

void cCarousel::ProcessMenuCommand(int32_t MenuIndex) { ProcessMenuCommand(static_cast<CarouselCommand>(MenuIndex)); }

void cCarousel::ProcessMenuCommand(CarouselCommand command) {
  // The carousel's commands ask the input gate, as the dispatcher does.
  if (!Admitted()) return;
  const auto count = static_cast<int32_t>(m_ActiveMenu.size()) - 1;
  const bool hasCurrent = m_CurrentMenuIndex >= 1 && m_CurrentMenuIndex <= count;
  const CarouselMenuEntry* current = hasCurrent ? &m_ActiveMenu[static_cast<size_t>(m_CurrentMenuIndex)] : nullptr;
  const CarouselCommand chosen = command != C::None ? command
                                 : current         ? static_cast<CarouselCommand>(current->ID)
                                                   : C::None;
  // A disabled highlighted entry refuses whatever command is asked for.
  if (current && !current->Enabled) {
    Beep();
    return;
  }
  if (RunMenuCommand(chosen)) m_Host->SetFocusToBrowser();
}

// Each group of commands by the menus that hold them; a number no command
// has does nothing but hand the focus back.
bool cCarousel::RunMenuCommand(CarouselCommand command) {
  switch (command) {
    case C::OpenFiles: case C::AddFiles: case C::FilterOut: case C::FilterTo:
    case C::PreviousSet: case C::NextSet: case C::UndoViewChange: case C::Search:
      return RunViewCommand(command);
    case C::OpenTagged: case C::AppendTagged: case C::FilterOutTagged: case C::FilterToTagged:
    case C::RemoveTag: case C::RemoveTagLink: case C::LinkTag:
      return RunTagCommand(command);
    case C::ColoursMenu: case C::TintRed: case C::TintGreen: case C::TintBlue: case C::TintTheme:
    case C::TintYellow: case C::TintMagenta: case C::TintCyan: case C::TintBlack:
    case C::InvertTint: case C::RandomTwoColours:
      return RunColourCommand(command);
    case C::SaveView: case C::StoryBoard: case C::DeleteFile: case C::RemoveFile: case C::ConfirmDelete:
    case C::ConfirmRemoval: case C::AddToPlaylist: case C::PlayFile: case C::Quit:
    case C::CancelConfirmation: case C::ConfirmQuit:
      return RunFileCommand(command);
    default:
      return RunOptionCommand(command);
  }
}

// The keypad's searches and the view's history.
bool cCarousel::RunViewCommand(CarouselCommand command) {
  switch (command) {
    case C::OpenFiles: BroadcastMsg = QStringLiteral("D"); m_Keypad->Show(1); break;
    case C::AddFiles: BroadcastMsg = QStringLiteral("I"); m_Keypad->Show(4); break;
    case C::FilterOut: BroadcastMsg = QStringLiteral("C"); m_Keypad->Show(3); break;
    case C::FilterTo: BroadcastMsg = QStringLiteral("B"); m_Keypad->Show(2); break;
    case C::PreviousSet: m_Host->MainToolbarHandler(QStringLiteral("mnuBrowserBack")); break;
    case C::NextSet: m_Host->MainToolbarHandler(QStringLiteral("mnuBrowserForward")); break;
    case C::UndoViewChange: {
      // Undo: the history combo's item before the last one, run again.
      BroadcastMsg = QStringLiteral("R");
      const int items = gLibrary ? gLibrary->View().HistoryComboCount() : 0;
      if (items < 2) return false;
      m_Host->SelectHistoryComboItem(items - 1);
      gLibrary->RefreshResults();
      break;
    }
    case C::Search: BroadcastMsg = QStringLiteral("s"); m_Keypad->Show(-2); break;
    default: break;
  }
  return true;
}

// The highlighted tag of the front file.
bool cCarousel::RunTagCommand(CarouselCommand command) {
  const auto row = static_cast<size_t>(m_HighlightedTagIndex);
  const TagListRow tag = row < m_TagList.size() ? m_TagList[row] : TagListRow{};
  switch (command) {
    case C::OpenTagged: return RunTagSearch(QStringLiteral("D"), QString(), true);
    case C::AppendTagged: return RunTagSearch(QStringLiteral("I"), QStringLiteral("&"), false);
    case C::FilterOutTagged: return RunTagSearch(QStringLiteral("C"), QStringLiteral("-"), false);
    case C::FilterToTagged: return RunTagSearch(QStringLiteral("B"), QStringLiteral("+"), false);
    case C::RemoveTag: {
      const int32_t tagId = HighlightedTagID.mid(2).toInt();
      if (tagId <= 0 || !gLibrary) break;
      gLibrary->TagSegment(gCurrentItem.SegmentID, tagId, true);
      SetMenuMode(QStringLiteral("NULL"));
      RedrawAll(true, false);
      HideMenu();
      return true;
    }
    case C::RemoveTagLink:
      if (tag.TagID <= 0 || tag.LinkedTagID <= 0 || !gLibrary) break;
      gLibrary->DeleteTagRelationship(tag.TagID, tag.LinkedTagID);
      SetMenuMode(QStringLiteral("NULL"));
      HideMenu();
      RedrawAll(true, true);
      return true;
    case C::LinkTag:
      m_Keypad->Show(6);
      if (m_Keypad->EnteredText() == kCancelled) return true;
      SetMenuMode(QStringLiteral("NULL"));
      RedrawAll(true, true);
      HideMenu();
      return true;
    default: return true;
  }
  Beep();  // no tag, or no link, to act on
  return false;
}

// Opens, adds, removes or keeps the files of the highlighted tag as a drop
// of its tree node on the browser would. A tag without a node in the tree
// runs no search.
bool cCarousel::RunTagSearch(const QString& glyph, const QString& mode, bool hideFirst) {
  ctl::TreeView* tree = gLibrary ? gLibrary->View().LibraryTree() : nullptr;
  ctl::Node* node = tree ? tree->Nodes.Find(HighlightedTagID) : nullptr;
  if (!node) {
    Beep();
    return false;
  }
  if (hideFirst) HideMenu();
  tree->SetSelectedItem(node);
  BroadcastMsg = glyph;
  m_Host->BrowserDragDrop(0, 0, QStringLiteral("tvwLibrary"), mode);
  SetMenuMode(QStringLiteral("NULL"));
  return true;
}

// The tints.
bool cCarousel::RunColourCommand(CarouselCommand command) {
  switch (command) {
    case C::ColoursMenu: SetMenuMode(QStringLiteral("Colours")); break;
    case C::InvertTint: m_Invert = !m_Invert; SetColourScheme(m_TintScheme); break;
    case C::RandomTwoColours: RandomTwoColours(); SetColourScheme(8); break;
    default: SetColourScheme(TintSchemeOf(command)); break;
  }
  ShowMenuAgain();
  return true;
}

// Two different tints of the eight, stored for scheme 8, and a coin toss for
// inverting them.
void cCarousel::RandomTwoColours() {
  const COLORREF second = kRandomColours[MenuRandom(8)];
  COLORREF first = second;
  while (first == second) first = kRandomColours[MenuRandom(8)];
  SetOtherSetting(QStringLiteral("TV-Out Colour1"), static_cast<int>(first));
  SetOtherSetting(QStringLiteral("TV-Out Colour2"), static_cast<int>(second));
  if (MenuRandom(2) == 0) m_Invert = !m_Invert;
}

void cCarousel::SeedMenuRandom(uint64_t seed) {
  m_MenuRandomState = seed;
  m_MenuRandomSeeded = true;
}

// A whole number from 0 to below count, from one generator seeded once.
int cCarousel::MenuRandom(int count) {
  if (!m_MenuRandomSeeded) {
    SeedMenuRandom(static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  }
  return static_cast<int>(NextRandom(m_MenuRandomState) % static_cast<uint64_t>(count));
}

// Sub-menus, playback, display options, music and the description's pages.
bool cCarousel::RunOptionCommand(CarouselCommand command) {
  switch (command) {
    case C::ResultKindMenu: SetMenuMode(QStringLiteral("SegmentFilter")); ShowMenuAgain(); break;
    case C::StorageMenu: SetMenuMode(QStringLiteral("OfflineFilter")); ShowMenuAgain(); break;
    case C::OptionsMenu: SetMenuMode(QStringLiteral("Options")); ShowMenuAgain(); break;
    case C::PlayAll: m_Host->MainToolbarHandler(QStringLiteral("mnuToolsRunPlaylist")); break;
    case C::Shuffle:
      m_Host->MainToolbarHandler(QStringLiteral("mnuToolsRandomPlayback"));
      RenewShuffleCaptions();
      DrawViewStrip();
      m_ActiveMenu = m_Menus[QStringLiteral("Main")];
      if (m_MenuShown) ShowMenuAgain(); else RedrawAll(true, true);
      break;
    case C::ShowMatchingFiles:
      return ChangeOption(C::ResultKindMenu, "g", "Showing Matching Files [Enter/OK to change]", "mnuBrowserMatchingFiles");
    case C::ShowSegmentsOfFiles:
      return ChangeOption(C::ResultKindMenu, "h", "Showing Segments within Matching Files [Enter/OK to change]",
                          "mnuBrowserSegmentsFromFiles");
    case C::ShowMatchingSegments:
      return ChangeOption(C::ResultKindMenu, "i", "Showing Matching Segments [Enter/OK to change]", "mnuBrowserMatchingSegments");
    case C::ShowAllStorage:
      return ChangeOption(C::StorageMenu, "U", "Showing all files; Online and Offline [Enter/OK to change]",
                          "mnuBrowserStorageAll");
    case C::ShowOffline:
      return ChangeOption(C::StorageMenu, "V", "Showing Offline files only [Enter/OK to change]", "mnuBrowserStorageOffline");
    case C::ShowOnline:
      return ChangeOption(C::StorageMenu, "W", "Showing Online files only [Enter/OK to change]", "mnuBrowserStorageOnline");
    case C::Music:
      m_MusicEnabled = !m_MusicEnabled;
      PlayBackgroundSFX(m_MusicEnabled);
      SyncMenuState();
      m_ActiveMenu = m_Menus[QStringLiteral("Options")];
      ShowMenuAgain();
      SetOtherSetting(QStringLiteral("TV-Out Music"), m_MusicEnabled ? 1 : 0);
      break;
    case C::NextDescriptionPage:
      // The next page of the description, or the first once all was shown;
      // the key handler redraws the details.
      m_DescriptionPage = !DescriptionOverflow && m_DescriptionPage > 1 ? 1 : m_DescriptionPage + 1;
      break;
    default: break;
  }
  return true;
}

// The display mode or storage filter entry of the options menu: a mode
// already shown beeps; another becomes the entry's face and the dispatcher
// runs the view again with it.
bool cCarousel::ChangeOption(CarouselCommand optionEntry, const QString& glyph, const QString& caption,
                             const QString& key) {
  CarouselMenuEntry* option = MenuEntry(optionEntry);
  if (!option || option->Glyph == glyph) {
    Beep();
    return false;
  }
  option->Glyph = glyph;
  option->Caption = caption;
  DrawViewStrip();
  HideMenu();
  SetMenuMode(QStringLiteral("NULL"));
  BroadcastMsg = glyph;
  m_Host->MainToolbarHandler(key);
  return true;
}

// Saving the view, the front file, confirmations and quitting.
bool cCarousel::RunFileCommand(CarouselCommand command) {
  switch (command) {
    case C::SaveView:
      m_Keypad->Show(-1);
      HideMenu();
      RedrawAll(false, false);
      SetMenuMode(QStringLiteral("NULL"));
      break;
    case C::StoryBoard:
      HideMenu();
      RedrawAll(false, false);
      m_Host->MainToolbarHandler(QStringLiteral("mnuToolsCreatePoster"));
      break;
    case C::DeleteFile: AskConfirmation(command, QStringLiteral("Confirm Delete")); break;
    case C::RemoveFile: AskConfirmation(command, QStringLiteral("Confirm Removal")); break;
    case C::Quit: AskConfirmation(command, QStringLiteral("Confirm Shutdown")); break;
    case C::ConfirmDelete: case C::ConfirmRemoval:
      // Without a front file the library would take the selected files instead.
      if (gCurrentItem.FileID <= 0 || !gLibrary) {
        Beep();
        return false;
      }
      BroadcastMsg = QStringLiteral("w");
      gLibrary->RemoveFile(gCurrentItem.FileID, command == C::ConfirmDelete);
      // The confirmation is used up: another Enter must not take the next file.
      SetMenuMode(QStringLiteral("NULL"));
      HideMenu();
      break;
    case C::AddToPlaylist: {
      m_Keypad->Show(0);
      SetMenuMode(QString::fromLatin1(MenuOf(command)));
      int32_t playlist = PositionOf(command);
      SetCurrentMenuIndex(playlist);
      break;
    }
    case C::PlayFile: {
      const CarouselMenuEntry* play = MenuEntry(command);
      // A front file the details found offline gets the message a
      // double-click on it gives.
      if (m_DetailsDrawn && m_FileOffline && gBrowserIndex >= 1) {
        ShowOfflineFileMessage(gCurrentItem.FileName, gCurrentItem.CurrentPath, m_Pane ? m_Pane->ucCarouselCanvas->window() : nullptr);
        return false;
      }
      if ((play && !play->Enabled) || gBrowserIndex < 1) {
        Beep();
        return false;
      }
      SaveContext();
      Broadcast(QStringLiteral("N"), 1, 50);
      m_Host->BrowserDblClick(gBrowserIndex);
      RedrawAll(true, true);
      break;
    }
    case C::CancelConfirmation: return CancelConfirmation();
    case C::ConfirmQuit:
      // The window closes once the key's event has returned.
      PlayBackgroundSFX(false);
      m_Host->PostQuit();
      return false;
    default: break;
  }
  return true;
}

// The confirmation's confirm entry becomes the confirmation the asking
// entry wants.
void cCarousel::AskConfirmation(CarouselCommand asking, const QString& caption) {
  const CarouselCommand follow = ConfirmationOf(asking);
  CarouselMenu& confirmation = m_Menus[QString::fromLatin1(MenuOf(follow))];
  const auto slot = static_cast<size_t>(PositionOf(follow));
  if (confirmation.size() <= slot) return;
  confirmation[slot].ID = CommandNumber(follow);
  confirmation[slot].Caption = caption;
  SetMenuMode(QString::fromLatin1(MenuOf(follow)));
  ShowMenuAgain();
}

// Back to the entry that asked: delete, removal or quit.
bool cCarousel::CancelConfirmation() {
  const CarouselCommand cancel = CarouselCommand::CancelConfirmation;
  const CarouselMenu& confirmation = m_Menus[QString::fromLatin1(MenuOf(cancel))];
  const auto slot = static_cast<size_t>(PositionOf(CarouselCommand::ConfirmDelete));
  const auto followUp = confirmation.size() > slot ? static_cast<CarouselCommand>(confirmation[slot].ID) : C::None;
  const CarouselCommand asker = AskerOf(followUp);
  if (asker == C::None) return true;
  int32_t index = PositionOf(asker);
  SetMenuMode(QString::fromLatin1(MenuOf(asker)));
  SetCurrentMenuIndex(index);
  ShowMenuAgain();
  return true;
}
