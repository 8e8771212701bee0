// The commands of the library tree's context menu: collapse and expand the
// whole tree, new tags, playlists, saved searches, folders and categories,
// moving an item to the top level, deleting; the inspector's "Locate this
// Tag in the Tree"; and the two tree helpers the rest of the program uses,
// AddTreeNode and SetTreeViewFirstVisibleNode.
//
// A new item is made in the library first under its placeholder name, then
// shown bold in the label colour and put straight into label editing, so the
// user types its name at once. What a command writes is stored whole before
// the tree changes: a command the library refuses leaves the tree as it was.
#include "browser/LibraryTreePane.h"

#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/controls/ListView.h"
#include "ui/SchemeColours.h"
#include "ui/modReelwise_drawing.h"

#include <optional>

namespace {

// The TagID of a key "ID" & TagID; none for any other key.
std::optional<int32_t> TagIdOf(const QString& key) {
  if (!key.startsWith(QLatin1String("ID"))) return std::nullopt;
  bool ok = false;
  const int32_t id = key.mid(2).toInt(&ok);
  return ok ? std::optional<int32_t>(id) : std::nullopt;
}

QString TagKey(int32_t id) { return QStringLiteral("ID") + QString::number(id); }

// Folders, categories and tags hold folders; other nodes do not.
bool HoldsFolders(const ctl::Node& node) {
  for (const char* image : {"FOLDEROPEN", "FOLDERCLOSED", "CATEGORY", "TAG"}) {
    if (node.Image() == QLatin1String(image)) return true;
  }
  return false;
}

// A new item's rows: the tag (with its parent link) and the behaviours and
// categories it implies, stored together before the tree shows it.
int32_t StoreNewItem(const QString& name, const QString& type, const QVariant& parent) {
  TransactionGuard guard(gLibrary->Connection(), QStringLiteral("NewItem"));
  const int32_t id = gLibrary->CreateTag(name, type, parent);
  gLibrary->SetNodeBehaviours(true);
  guard.Commit();
  return id;
}

// The node's label edit starts once the edit timer ticks.
void StartRename(ctl::TimerControl& timer, ctl::Node* node) {
  gPendingRenameNode = node;
  timer.SetEnabled(true);
}

}  // namespace

// ---- Collapse and expand ----

void LibraryTreePane::mnuCollapseAll_Click() {
  ctl::TreeView& tree = *tvwLibrary;
  modReelwise::SetWindowRedraw(&tree, true);
  for (const auto& node : tree.Nodes) node->SetExpanded(false);
  modReelwise::SetWindowRedraw(&tree, false);
  if (tree.Nodes.Count() > 0) tree.Nodes(1).FirstSibling()->SetSelected(true);
}

// A node without children cannot stay open, so only parents are opened.
void LibraryTreePane::mnuExpandAll_Click() {
  modReelwise::SetWindowRedraw(picLeft, true);
  for (const auto& node : tvwLibrary->Nodes) {
    if (node->Children() > 0) node->SetExpanded(true);
  }
  modReelwise::SetWindowRedraw(picLeft, false);
}

// ---- New items ----

// "New Tag", "New Sub-Tag", "New Playlist" or "New Search..." by the
// selected node: a saved search is made by the Find dialog, a playlist
// under "Saved Playlists", a tag below the selected item.
void LibraryTreePane::mnuCreateTag_Click() {
  ctl::TreeView& tree = *tvwLibrary;
  ctl::Node* selected = tree.SelectedItem();
  if (!selected) return;
  tree.SetSorted(false);
  selected->SetSorted(false);
  if (selected->Image() == QLatin1String("SEARCHFOLDER")) {
    gFindFilesMode = QStringLiteral("SAVE");
    host_.MainToolbarHandler(QStringLiteral("mnuToolsFindFiles"));
    gFindFilesMode.clear();
    return;
  }
  ctl::Node* node = nullptr;
  if (selected->Image() == QLatin1String("PLFOLDER")) {
    // A playlist has no parent link; the tree shows it under "Saved Playlists".
    const int32_t id = StoreNewItem(QStringLiteral("New Playlist"), QStringLiteral("L"), QVariant());
    node = AddTreeNode(QStringLiteral("New Playlist"), TagKey(id), selected->Key(), QStringLiteral("PLAYLIST"),
                       gSchemeColour4, true);
  } else {
    const std::optional<int32_t> parent = TagIdOf(selected->Key());
    if (!parent) return;
    const int32_t id = StoreNewItem(QStringLiteral("New Tag"), QStringLiteral("T"), *parent);
    node = AddTreeNode(QStringLiteral("New Tag"), TagKey(id), selected->Key(), QStringLiteral("TAG"), gSchemeColour4,
                       true);
  }
  node->EnsureVisible();
  StartRename(*tvwEditTimer, node);
}

// "New Folder" or "New Sub-Folder": below the selected item, or at the top
// level when nothing is selected or the item holds no folders (a fixed
// group, a playlist, a saved view or search, a link).
void LibraryTreePane::mnuNewFolder_Click() {
  ctl::Node* selected = tvwLibrary->SelectedItem();
  std::optional<int32_t> parent;
  if (selected && HoldsFolders(*selected)) {
    parent = TagIdOf(selected->Key());
    if (!parent) return;
  }
  const int32_t id =
      StoreNewItem(QStringLiteral("New Folder"), QStringLiteral("F"), parent ? QVariant(*parent) : QVariant());
  ctl::Node* node = AddTreeNode(QStringLiteral("New Folder"), TagKey(id), parent ? TagKey(*parent) : QString(),
                                QStringLiteral("FOLDERCLOSED"), gSchemeColour4, true);
  node->EnsureVisible();
  tvwLibrary->Refresh();
  gLibrary->SortTree();
  StartRename(*tvwEditTimer, node);
}

// "New Tag Category": always at the top level.
void LibraryTreePane::mnuNewCategory_Click() {
  const int32_t id = StoreNewItem(QStringLiteral("New Tag Category"), QStringLiteral("C"), QVariant());
  ctl::Node* node = AddTreeNode(QStringLiteral("New Tag Category"), TagKey(id), QString(), QStringLiteral("CATEGORY"),
                                gSchemeColour4, true);
  node->EnsureVisible();
  gLibrary->SortTree();
  StartRename(*tvwEditTimer, node);
}

// ---- Moving and deleting ----

// "Move to Root": the item loses its parent link (its children keep theirs
// and move with it), and every item's category and behaviour is derived
// afresh. Once that is stored the item's node moves to the top level, where
// it is shown selected: the tree never shows a move the library did not
// keep, nor is it read again (a read that failed would leave parts out).
void LibraryTreePane::mnuMakeRoot_Click() {
  ctl::Node* selected = tvwLibrary->SelectedItem();
  if (!selected) return;
  const QString key = selected->Key();
  const std::optional<int32_t> id = TagIdOf(key);
  if (!id) return;
  {
    // The link goes with the categories it gave the tag and those below,
    // which the tags' behaviours set again: both or neither are stored.
    TransactionGuard move(gLibrary->Connection(), QStringLiteral("MakeRoot"));
    auto unlink =
        gLibrary->Connection().Prepare(QStringLiteral("DELETE FROM TagLinks WHERE Relationship = 'P' AND TagID = ?"));
    unlink->Bind(1, *id);
    unlink->Execute();
    gLibrary->SetNodeBehaviours(false);
    move.Commit();
  }
  ctl::Node* oldParent = selected->Parent();
  selected->SetParent(nullptr);
  gLibrary->SortTree();
  int16_t state = 0;
  if (oldParent) modReelwise::UpdateNodeExpandIcon(tvwLibrary, oldParent, state);
  SetTreeViewFirstVisibleNode(*tvwLibrary, selected);
}

// The menu and the Delete key share one path.
void LibraryTreePane::mnuDeleteTag_Click() {
  int key = ctl::vbKeyDelete;
  tvwLibrary_KeyDown(key, 0);
}

// ---- Finding a tag ----

void LibraryTreePane::mnuLocateTag_Click() {
  if (!inspector_) return;
  const ctl::ListItem* item = inspector_->lstFileTags->SelectedItem();
  if (!item) return;
  bool ok = false;
  const int32_t id = item->Tag().toInt(&ok);
  ctl::Node* node = ok ? tvwLibrary->Nodes.Find(TagKey(id)) : nullptr;
  if (node) SetTreeViewFirstVisibleNode(*tvwLibrary, node);
}

// ---- Tree helpers ----

ctl::Node* LibraryTreePane::AddTreeNode(const QString& sText, const QString& sKey, const QString& sParentKey,
                                    const QString& sImageKey, uint32_t lColour, bool bBold) {
  return modReelwise::AddTreeNode(*tvwLibrary, sText, sKey, sParentKey, sImageKey, lColour, bBold);
}

void LibraryTreePane::SetTreeViewFirstVisibleNode(ctl::TreeView& TV, ctl::Node* Node) {
  if (!Node) return;
  Node->EnsureVisible();
  TV.SetSelectedItem(Node);
  TV.SetFirstVisible(Node);
  TV.SetDropHighlight(Node);
}
