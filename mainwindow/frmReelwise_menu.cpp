// The main window's menu, the tool-button style and the command dispatcher.
#include "mainwindow/frmReelwise.h"

#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/cPopupMenu.h"

#include <QMenu>

namespace {

struct MenuEntry {
  const char* caption;
  const char* key;
  const char* icon;  // key in imglstMenus, or none
};

}  // namespace

// The top-level items and the items whose commands exist so far.
void frmReelwise::BuildMainMenu() {
  m_cMenu = std::make_unique<cPopupMenu>(this);
  m_cMenu->SetImageList(&imglstMenus);
  m_cMenu->Click = [this](int item) { m_cMenu_Click(item); };
  auto icon = [this](const char* key) {
    const ctl::ListImage* image = key ? imglstMenus.ListImages.Find(QLatin1String(key)) : nullptr;
    return image ? image->Index() - 1 : -1;
  };
  auto add = [&](int parent, const MenuEntry& entry) {
    return m_cMenu->AddItem(QString::fromUtf8(entry.caption), QString(), 0, parent, icon(entry.icon), false, true,
                            QLatin1String(entry.key));
  };
  const int library = add(0, {"&Library", "mnuLibrary", nullptr});
  add(library, {"&New", "mnuLibraryNew", "NEW_LIB"});
  add(library, {"&Open...", "mnuLibraryOpen", "OPEN_LIB"});
  m_cMenu->SetEnabled(add(library, {"Save As...\tF12", "mnuLibrarySaveAs", nullptr}), false);
  add(library, {"-", "", nullptr});
  m_cMenu->SetChecked(add(library, {"Save Workspace", "mnuLibrarySaveWorkspace", nullptr}), gSaveWorkspace);
  add(library, {"-", "", nullptr});
  add(library, {"Quit Reelwise II\tCtrl+Q", "mnuLibraryQuitRW2", nullptr});
  add(0, {"&Browser", "mnuBrowser", nullptr});
  add(0, {"&Tools", "mnuTools", nullptr});
  const int view = add(0, {"&View", "mnuView", nullptr});
  add(view, {"TV-Out Mode\tF10", "mnuTV-Out", "TV"});
  add(0, {"&Help", "mnuHelp", nullptr});

  // The menu bar: one button per top-level item.
  for (int item : m_cMenu->TopLevelItems()) {
    tbrMenu->Buttons.Add(0, m_cMenu->ItemKey(item), m_cMenu->Caption(item).remove(QLatin1Char('&')));
  }
}

void frmReelwise::tbrMenu_ButtonClick(ctl::Button& Button) {
  QMenu* menu = m_cMenu ? m_cMenu->Menu(m_cMenu->IndexForKey(Button.Key())) : nullptr;
  if (menu) menu->popup(tbrMenu->mapToGlobal(QPoint(static_cast<int>(Button.Left()), tbrMenu->height())));
}

void frmReelwise::m_cMenu_Click(int ItemNumber) { MainToolbarHandler(m_cMenu->ItemKey(ItemNumber)); }

// Errors are passed over: a button without a picture of its own key keeps its picture.
void frmReelwise::SetInterfaceStyle() {
  tbMain->SetImageList(&imglistToolBar);
  for (const auto& button : tbMain->Buttons) {
    if (imglistToolBar.ListImages.Exists(button->Key())) button->SetImage(button->Key());
  }
  tbMain->Buttons(QStringLiteral("UI-STANDARD")).SetValue(m_GUILayout == 1 ? ctl::tbrPressed : ctl::tbrUnpressed);
  tbMain->Buttons(QStringLiteral("UI-ALTERNATE")).SetValue(m_GUILayout == 2 ? ctl::tbrPressed : ctl::tbrUnpressed);
}

// The item's check mark is the state; the program-wide mirror follows it.
void frmReelwise::ToggleMenuCheck(const QString& key, bool& mirror) {
  const int item = m_cMenu->IndexForKey(key);
  m_cMenu->SetChecked(item, !m_cMenu->Checked(item));
  mirror = m_cMenu->Checked(item);
}

void frmReelwise::MainToolbarHandler(const QString& sCommand) {
  if (sCommand == QLatin1String("mnuLibraryNew")) {
    if (gLibrary) gLibrary->SaveLibraryAsDialog(true);
  } else if (sCommand == QLatin1String("mnuLibrarySaveAs")) {
    if (gLibrary) gLibrary->SaveLibraryAsDialog(false);
  } else if (sCommand == QLatin1String("mnuLibrarySaveWorkspace")) {
    ToggleMenuCheck(sCommand, gSaveWorkspace);
  } else if (sCommand == QLatin1String("mnuLibraryQuitRW2")) {
    close();
  } else if (sCommand == QLatin1String("mnuTV-Out")) {
    ToggleMenuCheck(sCommand, gTVOutMode);
  }
}
