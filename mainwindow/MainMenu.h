#pragma once
// The main menu as one table: every item's level, caption (a shortcut after
// a tab; "-" a separator; "-WORD" a header), key, icon of the menu image list
// and the command the key runs. The menu, the shortcuts and the command
// dispatcher are all made from it (frmReelwise::MainMenuTable).
class frmReelwise;

namespace MainMenu {

enum Flag : unsigned {
  kNone = 0,
  kHeader = 1,         // a header: flagged and hidden
  kDisabled = 2,
  kChecked = 4,
  kRadioOn = 8,
  kRadioOff = 16,
  kWorkspace = 32,     // checked when the workspace is saved
  kExternalApps = 64,  // stands for the 31 external-application items
  kNoItem = 128,       // a command of the toolbar only; no menu item
};

struct Entry {
  int level;            // 0 the menu bar, 1 a menu's item, 2 a sub-menu's item
  const char* caption;
  const char* key;
  const char* icon;     // key in imglstMenus, or none
  unsigned flags;
  // The command of the key; none for menus, headers and separators.
  void (*run)(frmReelwise&);
};

}  // namespace MainMenu
