// The carousel's menu commands: the entry chosen in an on-canvas menu (or a
// key mapped to a command) opens the keypad panel, steps through the view's
// history, acts on the highlighted tag or the front file, switches menus,
// tints and options, or hands a menu key to the main window's dispatcher.
// Refusals beep.
#include "carousel/cCarousel.h"

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

}  // namespace

void cCarousel::ProcessMenuCommand(int32_t MenuIndex) {
  const auto count = static_cast<int32_t>(m_ActiveMenu.size()) - 1;
  const bool hasCurrent = m_CurrentMenuIndex >= 1 && m_CurrentMenuIndex <= count;
  const CarouselMenuEntry* current = hasCurrent ? &m_ActiveMenu[static_cast<size_t>(m_CurrentMenuIndex)] : nullptr;
  const int32_t id = MenuIndex != 0 ? MenuIndex : (current ? current->ID : 0);
  // A disabled highlighted entry refuses whatever command is asked for.
  if (current && !current->Enabled) {
    Beep();
    return;
  }
  if (RunMenuCommand(id)) m_Host->SetFocusToBrowser();
}

bool cCarousel::RunMenuCommand(int32_t id) {
  if (id <= 7 || id == 91) return RunViewCommand(id);
  if (id >= 16 && id <= 22) return RunTagCommand(id);
  if (id >= 30 && id <= 40) return RunColourCommand(id);
  if (id >= 72) return RunFileCommand(id);
  return RunOptionCommand(id);
}

// 1 to 7 and 91: the keypad's searches and the view's history.
bool cCarousel::RunViewCommand(int32_t id) {
  switch (id) {
    case 1: BroadcastMsg = QStringLiteral("D"); m_Keypad->Show(1); break;
    case 2: BroadcastMsg = QStringLiteral("I"); m_Keypad->Show(4); break;
    case 3: BroadcastMsg = QStringLiteral("C"); m_Keypad->Show(3); break;
    case 4: BroadcastMsg = QStringLiteral("B"); m_Keypad->Show(2); break;
    case 5: m_Host->MainToolbarHandler(QStringLiteral("mnuBrowserBack")); break;
    case 6: m_Host->MainToolbarHandler(QStringLiteral("mnuBrowserForward")); break;
    case 7: {
      // Undo: the history combo's item before the last one, run again.
      BroadcastMsg = QStringLiteral("R");
      const int items = gLibrary ? gLibrary->View().HistoryComboCount() : 0;
      if (items < 2) return false;
      m_Host->SelectHistoryComboItem(items - 1);
      gLibrary->RefreshResults();
      break;
    }
    case 91: BroadcastMsg = QStringLiteral("s"); m_Keypad->Show(-2); break;
    default: break;
  }
  return true;
}

// 16 to 22: the highlighted tag of the front file.
bool cCarousel::RunTagCommand(int32_t id) {
  const auto row = static_cast<size_t>(m_HighlightedTagIndex);
  const TagListRow tag = row < m_TagList.size() ? m_TagList[row] : TagListRow{};
  switch (id) {
    case 16: return RunTagSearch(QStringLiteral("D"), QString(), true);
    case 17: return RunTagSearch(QStringLiteral("I"), QStringLiteral("&"), false);
    case 18: return RunTagSearch(QStringLiteral("C"), QStringLiteral("-"), false);
    case 19: return RunTagSearch(QStringLiteral("B"), QStringLiteral("+"), false);
    case 20: {
      const int32_t tagId = HighlightedTagID.mid(2).toInt();
      if (tagId <= 0 || !gLibrary) break;
      gLibrary->TagSegment(gCurrentItem.SegmentID, tagId, true);
      SetMenuMode(QStringLiteral("NULL"));
      RedrawAll(true, false);
      HideMenu();
      return true;
    }
    case 21:
      if (tag.TagID <= 0 || tag.LinkedTagID <= 0 || !gLibrary) break;
      gLibrary->DeleteTagRelationship(tag.TagID, tag.LinkedTagID);
      SetMenuMode(QStringLiteral("NULL"));
      HideMenu();
      RedrawAll(true, true);
      return true;
    case 22:
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

// 30 to 40: the tints.
bool cCarousel::RunColourCommand(int32_t id) {
  switch (id) {
    case 30: SetMenuMode(QStringLiteral("Colours")); break;
    case 31: case 32: case 33: SetColourScheme(id - 30); break;
    case 34: SetColourScheme(0); break;
    case 35: case 36: case 37: case 38: SetColourScheme(id - 31); break;
    case 39: m_Invert = !m_Invert; SetColourScheme(m_TintScheme); break;
    case 40: RandomTwoColours(); SetColourScheme(8); break;
    default: break;
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

// 24 to 28, 41 to 70: sub-menus, playback, display options, music and the
// description's pages.
bool cCarousel::RunOptionCommand(int32_t id) {
  switch (id) {
    case 24: SetMenuMode(QStringLiteral("SegmentFilter")); ShowMenuAgain(); break;
    case 27: SetMenuMode(QStringLiteral("OfflineFilter")); ShowMenuAgain(); break;
    case 28: SetMenuMode(QStringLiteral("Options")); ShowMenuAgain(); break;
    case 41: m_Host->MainToolbarHandler(QStringLiteral("mnuToolsRunPlaylist")); break;
    case 42:
      m_Host->MainToolbarHandler(QStringLiteral("mnuToolsRandomPlayback"));
      RenewShuffleCaptions();
      DrawViewStrip();
      m_ActiveMenu = m_Menus[QStringLiteral("Main")];
      if (m_MenuShown) ShowMenuAgain(); else RedrawAll(true, true);
      break;
    case 51: return ChangeOption(24, "g", "Showing Matching Files [Enter/OK to change]", "mnuBrowserMatchingFiles");
    case 52:
      return ChangeOption(24, "h", "Showing Segments within Matching Files [Enter/OK to change]",
                          "mnuBrowserSegmentsFromFiles");
    case 53:
      return ChangeOption(24, "i", "Showing Matching Segments [Enter/OK to change]", "mnuBrowserMatchingSegments");
    case 61:
      return ChangeOption(27, "U", "Showing all files; Online and Offline [Enter/OK to change]",
                          "mnuBrowserStorageAll");
    case 62:
      return ChangeOption(27, "V", "Showing Offline files only [Enter/OK to change]", "mnuBrowserStorageOffline");
    case 63:
      return ChangeOption(27, "W", "Showing Online files only [Enter/OK to change]", "mnuBrowserStorageOnline");
    case 64:
      m_MusicEnabled = !m_MusicEnabled;
      PlayBackgroundSFX(m_MusicEnabled);
      SyncMenuState();
      m_ActiveMenu = m_Menus[QStringLiteral("Options")];
      ShowMenuAgain();
      SetOtherSetting(QStringLiteral("TV-Out Music"), m_MusicEnabled ? 1 : 0);
      break;
    case 70:
      // The next page of the description, or the first once all was shown;
      // the key handler redraws the details.
      m_DescriptionPage = !DescriptionOverflow && m_DescriptionPage > 1 ? 1 : m_DescriptionPage + 1;
      break;
    default: break;
  }
  return true;
}

// The display mode (entry 24 of the options menu) or storage filter (27):
// a mode already shown beeps; another becomes the entry's face and the
// dispatcher runs the view again with it.
bool cCarousel::ChangeOption(int32_t optionId, const QString& glyph, const QString& caption, const QString& key) {
  CarouselMenuEntry* option = MenuEntry(QStringLiteral("Options"), optionId);
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

// 72 to 99: the front file, confirmations and quitting.
bool cCarousel::RunFileCommand(int32_t id) {
  switch (id) {
    case 72:
      m_Keypad->Show(-1);
      HideMenu();
      RedrawAll(false, false);
      SetMenuMode(QStringLiteral("NULL"));
      break;
    case 79:
      HideMenu();
      RedrawAll(false, false);
      m_Host->MainToolbarHandler(QStringLiteral("mnuToolsCreatePoster"));
      break;
    case 80: AskConfirmation(82, QStringLiteral("Confirm Delete")); break;
    case 81: AskConfirmation(83, QStringLiteral("Confirm Removal")); break;
    case 86: AskConfirmation(99, QStringLiteral("Confirm Shutdown")); break;
    case 82: case 83:
      // Without a front file the library would take the selected files instead.
      if (gCurrentItem.FileID <= 0 || !gLibrary) {
        Beep();
        return false;
      }
      BroadcastMsg = QStringLiteral("w");
      gLibrary->RemoveFile(gCurrentItem.FileID, id == 82);
      // The confirmation is used up: another Enter must not take the next file.
      SetMenuMode(QStringLiteral("NULL"));
      HideMenu();
      break;
    case 84: {
      m_Keypad->Show(0);
      SetMenuMode(QStringLiteral("TitleMain"));
      int32_t playlist = 3;
      SetCurrentMenuIndex(playlist);
      break;
    }
    case 85: {
      const CarouselMenuEntry* play = MenuEntry(QStringLiteral("TitleMain"), 85);
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
    case 89: return CancelConfirmation();
    case 99:
      // The window closes once the key's event has returned.
      PlayBackgroundSFX(false);
      m_Host->PostQuit();
      return false;
    default: break;
  }
  return true;
}

void cCarousel::AskConfirmation(int32_t followUp, const QString& caption) {
  CarouselMenu& confirmation = m_Menus[QStringLiteral("Confirmation")];
  if (confirmation.size() < 3) return;
  confirmation[2].ID = followUp;
  confirmation[2].Caption = caption;
  SetMenuMode(QStringLiteral("Confirmation"));
  ShowMenuAgain();
}

// Back to the entry that asked: delete, removal or quit.
bool cCarousel::CancelConfirmation() {
  const CarouselMenu& confirmation = m_Menus[QStringLiteral("Confirmation")];
  const int32_t followUp = confirmation.size() >= 3 ? confirmation[2].ID : 0;
  QString menu;
  int32_t index = 0;
  if (followUp == 82) {
    menu = QStringLiteral("TitleMain"), index = 4;
  } else if (followUp == 83) {
    menu = QStringLiteral("TitleMain"), index = 5;
  } else if (followUp == 99) {
    menu = QStringLiteral("Main"), index = 8;
  } else {
    return true;
  }
  SetMenuMode(menu);
  SetCurrentMenuIndex(index);
  ShowMenuAgain();
  return true;
}
