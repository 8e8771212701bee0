// The library tree's context menu: its items, the captions and enabled
// states each kind of node gives them before every popup (F2 reuses the same
// preparation), and the wiring of the items and of the tree's events to
// their handlers.
#include "browser/LibraryTreePane.h"

#include "platform/ErrorGuard.h"

#include <QAction>
#include <QMenu>

#include <optional>

namespace {

// One item's caption (nullptr: left as it was) and enabled state.
struct ItemState {
  const char* caption;
  bool enabled;
};

// The six items a node decides; "Collapse All" and "Expand All" are always enabled.
struct TreeMenuState {
  ItemState create;
  ItemState folder;
  ItemState category;
  ItemState rename;
  ItemState remove;
  bool root;
};

// Where no node, or Untagged, offers the three items of a node, they are
// greyed under their design captions: the captions another kind of node
// gave them ("Rename View") would name what is not there.
constexpr TreeMenuState kNoNode = {{"New Tag", false},    {"New Folder", true},  {"New Tag Category", true},
                                   {"Rename Tag", false}, {"Delete Tag", false}, false};
constexpr TreeMenuState kUntagged = {{"New Tag", false},    {"New Folder", false}, {"New Tag Category", false},
                                     {"Rename Tag", false}, {"Delete Tag", false}, false};
constexpr TreeMenuState kFolder = {{"New Tag", true},       {"New Sub-Folder", true}, {nullptr, true},
                                   {"Rename Folder", true}, {"Delete Folder", true},  true};
constexpr TreeMenuState kCategory = {{"New Tag", true},         {"New Folder", true},      {nullptr, true},
                                     {"Rename Category", true}, {"Delete Category", true}, true};
constexpr TreeMenuState kTag = {{"New Sub-Tag", true}, {"New Sub-Folder", true}, {nullptr, true},
                                {"Rename Tag", true},  {"Delete Tag", true},     false};
constexpr TreeMenuState kLink = {{"New Tag", false},    {"New Folder", false}, {nullptr, true},
                                 {"Rename Tag", false}, {"Remove Link", true}, false};
constexpr TreeMenuState kSynonym = {{"New Tag", false},    {"New Folder", false},    {nullptr, true},
                                    {"Rename Tag", false}, {"Remove Synonym", true}, false};
constexpr TreeMenuState kPlaylists = {{"New Playlist", true},     {"New Folder", false},      {nullptr, false},
                                      {"Rename Playlist", false}, {"Delete Playlist", false}, false};
constexpr TreeMenuState kPlaylist = {{"New Playlist", false},   {"New Folder", false},     {nullptr, false},
                                     {"Rename Playlist", true}, {"Delete Playlist", true}, false};
constexpr TreeMenuState kView = {{"New Tag", false},    {"New Folder", false}, {nullptr, false},
                                 {"Rename View", true}, {"Delete View", true}, false};
constexpr TreeMenuState kSearch = {{"New Tag", false},       {"New Folder", false},   {nullptr, false},
                                   {"Edit Search...", true}, {"Delete Search", true}, false};
constexpr TreeMenuState kViews = {{"New View", false},    {"New Folder", false},  {nullptr, false},
                                  {"Rename View", false}, {"Delete View", false}, false};
constexpr TreeMenuState kSearches = {{"New Search...", true}, {"New Folder", false},  {nullptr, false},
                                     {"Rename View", false},  {"Delete View", false}, false};
constexpr TreeMenuState kFixedGroup = {{"New Search...", false}, {"New Folder", false},  {nullptr, false},
                                       {"Rename View", false},   {"Delete View", false}, false};
constexpr TreeMenuState kDevice = {{"New Search...", false},          {"New Folder", false},  {nullptr, false},
                                   {"Assign 'Friendly' Name", true}, {"Delete View", false}, false};

// The state for a node, tested in this order; none for a kind the menu
// leaves as it was. Dates are fixed groups like the others: none of the six
// commands acts on them.
std::optional<TreeMenuState> StateFor(const ctl::Node* node) {
  if (!node) return kNoNode;
  if (node->Key() == QLatin1String("ID-1")) return kUntagged;
  const QString& image = node->Image();
  const auto is = [&](std::initializer_list<const char*> images) {
    for (const char* name : images) {
      if (image == QLatin1String(name)) return true;
    }
    return false;
  };
  if (is({"FOLDEROPEN", "FOLDERCLOSED"})) return kFolder;
  if (is({"CATEGORY"})) return kCategory;
  if (is({"TAG"})) return kTag;
  if (is({"LINK"})) return kLink;
  if (is({"AKA"})) return kSynonym;
  if (is({"PLFOLDER"})) return kPlaylists;
  if (is({"PLAYLIST"})) return kPlaylist;
  if (is({"VIEW"})) return kView;
  if (is({"SEARCH"})) return kSearch;
  if (is({"VIEWFOLDER"})) return kViews;
  if (is({"SEARCHFOLDER"})) return kSearches;
  if (is({"RATINGFOLDER", "FORMATS", "STAR", "UNSTAR", "COG", "MEDIAFOLDER", "UNPLAYABLE", "DATEFOLDER", "DATE"})) {
    return kFixedGroup;
  }
  if (is({"DISK", "DISK-CD", "DISK-STICK"})) return kDevice;
  return std::nullopt;
}

// What empty tree space offers, the keyboard reaches on any node: "New Tag
// Category" is always at the top level, so every node offers it; a node
// that can hold no folder offers "New Folder" for one at the top level.
TreeMenuState WithTopLevelItems(TreeMenuState state) {
  if (!state.folder.enabled) state.folder = kNoNode.folder;
  state.category = kNoNode.category;
  return state;
}

void Apply(QAction* item, const ItemState& state) {
  if (state.caption) item->setText(QLatin1String(state.caption));
  item->setEnabled(state.enabled);
}

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* item = menu->addAction(QLatin1String(caption));
  item->setObjectName(QLatin1String(name));
  return item;
}

}  // namespace

void LibraryTreePane::CreateTreeMenu() {
  mnuCollapseAll = AddItem(mnuTree, "mnuCollapseAll", "Collapse All");
  mnuExpandAll = AddItem(mnuTree, "mnuExpandAll", "Expand All");
  mnuTree->addSeparator();
  mnuRenameTag = AddItem(mnuTree, "mnuRenameTag", "Rename Tag");
  mnuDeleteTag = AddItem(mnuTree, "mnuDeleteTag", "Delete Tag");
  mnuTree->addSeparator();
  mnuCreateTag = AddItem(mnuTree, "mnuCreateTag", "New Tag");
  mnuNewFolder = AddItem(mnuTree, "mnuNewFolder", "New Folder");
  mnuTree->addSeparator();
  mnuNewCategory = AddItem(mnuTree, "mnuNewCategory", "New Tag Category");
  mnuMakeRoot = AddItem(mnuTree, "mnuMakeRoot", "Move to Root");
}

void LibraryTreePane::WireTreeEvents() {
  const std::pair<QAction*, void (LibraryTreePane::*)()> items[] = {
      {mnuCollapseAll, &LibraryTreePane::mnuCollapseAll_Click}, {mnuExpandAll, &LibraryTreePane::mnuExpandAll_Click},
      {mnuRenameTag, &LibraryTreePane::mnuRenameTag_Click},     {mnuDeleteTag, &LibraryTreePane::mnuDeleteTag_Click},
      {mnuCreateTag, &LibraryTreePane::mnuCreateTag_Click},     {mnuNewFolder, &LibraryTreePane::mnuNewFolder_Click},
      {mnuNewCategory, &LibraryTreePane::mnuNewCategory_Click}, {mnuMakeRoot, &LibraryTreePane::mnuMakeRoot_Click}};
  for (const auto& [item, handler] : items) {
    // A change the library refuses is told naming the command.
    QObject::connect(item, &QAction::triggered, item, [this, item, handler = handler] {
      ErrorGuard({.command = item->text().remove(QLatin1Char('&')), .owner = tvwLibrary->window()}).Run([&] {
        (this->*handler)();
      });
    });
  }
  ctl::TreeView& tree = *tvwLibrary;
  tree.MouseDown = [this](int b, int s, double x, double y) { tvwLibrary_MouseDown(b, s, x, y); };
  tree.MouseMove = [this](int b, int s, double x, double y) { tvwLibrary_MouseMove(b, s, x, y); };
  tree.Expand = [this](ctl::Node* node) { tvwLibrary_Expand(node); };
  tree.Collapse = [this](ctl::Node* node) { tvwLibrary_Collapse(node); };
  tree.KeyDown = [this](int& key, int shift) { tvwLibrary_KeyDown(key, shift); };
  tree.KeyPress = [this](int& key) { tvwLibrary_KeyPress(key); };
  tree.DragOver = [this](ctl::Control& s, double x, double y, int st) { tvwLibrary_DragOver(s, x, y, st); };
  tree.DragDrop = [this](ctl::Control& s, double x, double y) { tvwLibrary_DragDrop(s, x, y); };
  tree.KeyUp = [this](int& key, int shift) { tvwLibrary_KeyUp(key, shift); };
  tree.NodeClick = [this](ctl::Node* node) { tvwLibrary_NodeClick(node); };
  tree.GotFocus = [this] { tvwLibrary_GotFocus(); };
  tree.LostFocus = [this] { tvwLibrary_LostFocus(); };
}

// The six node-dependent items as the selected node (or its absence) wants
// them; a kind the table does not name leaves them as they were.
void LibraryTreePane::PrepareTreeMenu() {
  std::optional<TreeMenuState> state = StateFor(tvwLibrary->SelectedItem());
  if (state) state = WithTopLevelItems(*state);
  mnuCollapseAll->setEnabled(true);
  mnuExpandAll->setEnabled(true);
  if (!state) return;
  Apply(mnuCreateTag, state->create);
  Apply(mnuNewFolder, state->folder);
  Apply(mnuNewCategory, state->category);
  Apply(mnuRenameTag, state->rename);
  Apply(mnuDeleteTag, state->remove);
  mnuMakeRoot->setEnabled(state->root);
}
