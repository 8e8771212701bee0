// Renaming items of the library tree. A rename starts from the menu, F2 or a
// node just made, waits for the edit timer, and ends only when a name passes
// the checks (at most 30 characters, not blank, no other node with the same
// full path): each refusal restarts the edit with the refused text. Tags,
// folders, playlists, views and searches keep their names in Tags, a storage
// device its friendly name in FileLocations; a saved search is edited in the
// Find dialog instead.
#include "browser/LibraryTreePane.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "library/clsRWLibrary.h"
#include "platform/InputGate.h"
#include "platform/MessageBoxSeam.h"
#include "platform/SqlConnection.h"
#include "platform/controls/ListView.h"

#include <optional>

namespace {

constexpr int kNameLimit = 30;

bool IsDevice(const QString& image) {
  return image == QLatin1String("DISK") || image == QLatin1String("DISK-CD") || image == QLatin1String("DISK-STICK");
}

// The TagID of an "ID" key: only a whole number above 0 is one.
std::optional<qint64> TagIdOf(const QString& key) {
  bool isNumber = false;
  const qint64 id = key.mid(2).toLongLong(&isNumber);
  if (!isNumber || id <= 0 || key.mid(2) != QString::number(id)) return std::nullopt;
  return id;
}

// Why a name cannot be taken, as text and title of the refusal; empty when
// it can. Characters are counted as the user sees them.
struct Refusal {
  QString text;
  QString title;
};

std::optional<Refusal> NameRefusal(const QString& name, bool unique) {
  if (name.toUcs4().size() > kNameLimit) {
    return Refusal{QStringLiteral("Name is restricted to 30 characters maximum"), QStringLiteral("Label too long!")};
  }
  if (name.trimmed().isEmpty()) {
    return Refusal{QStringLiteral("Please type a name: an item cannot be left without one"),
                   QStringLiteral("Invalid Name")};
  }
  if (!unique) return Refusal{QStringLiteral("An item with that name already exists"), QStringLiteral("Invalid Name")};
  return std::nullopt;
}

}  // namespace

void LibraryTreePane::WireRenameEvents() {
  tvwEditTimer->Timer = [this] { tvwEditTimer_Timer(); };
  tvwLibrary->AfterLabelEdit = [this](int& cancel, QString& newString) {
    tvwLibrary_AfterLabelEdit(cancel, newString);
  };
}

void LibraryTreePane::mnuRenameTag_Click() {
  ctl::Node* node = tvwLibrary->SelectedItem();
  if (!node) return;
  if (node->Image() == QLatin1String("SEARCH")) {
    // The Find dialog edits the search and replaces it under its new name.
    gFindFilesMode = node->Tag();
    host_.MainToolbarHandler(QStringLiteral("mnuToolsFindFiles"));
    gFindFilesMode.clear();
    return;
  }
  gPendingRenameNode = node;
  if (IsDevice(node->Image())) {
    tvwLibrary->StartLabelEdit();
  } else {
    tvwEditTimer->SetEnabled(true);
  }
}

// One-shot. A rename whose node has gone since (deleted, or the tree
// rebuilt) has nothing to edit.
void LibraryTreePane::tvwEditTimer_Timer() {
  tvwEditTimer->SetEnabled(false);
  ctl::Node* node = gPendingRenameNode.In(*tvwLibrary);
  if (!node) return;
  tvwLibrary->SetSelectedItem(node);
  tvwLibrary->SetDropHighlight(node);
  tvwLibrary->StartLabelEdit();
}

// Only the node of a rename under way is checked: an Esc on the tree with no
// rename under way changes nothing, and one while the node is not selected
// checks the node's own text.
void LibraryTreePane::tvwLibrary_AfterLabelEdit(int& Cancel, QString& NewString) {
  ctl::Node* node = gPendingRenameNode.In(*tvwLibrary);
  // An edit that ends while work holds the input gate (its box lost the
  // focus to the work) renames nothing; the node keeps its name.
  if (!node || !InputGate::Admits()) {
    Cancel = 1;
    return;
  }
  if (node != tvwLibrary->SelectedItem()) NewString = node->Text();
  // The name stays visible even when refused, so that the user corrects it.
  node->SetText(NewString);
  const std::optional<Refusal> refusal = NameRefusal(NewString, IsUniqueTreeNode(*node));
  if (refusal) {
    ShowProgramMessage(refusal->text, vbExclamation, refusal->title, tvwLibrary->window());
    Cancel = 1;
    tvwEditTimer->SetEnabled(true);
    return;
  }
  const QString key = node->Key();
  try {
    RenameTreeItem(key, NewString);
  } catch (...) {
    // The library keeps the name it had, and the tree shows it again; the
    // failure is told by the event's guard.
    node->SetText(gPendingRenameNode.NameBefore());
    gPendingRenameNode = nullptr;
    Cancel = 1;
    throw;
  }
  gPendingRenameNode = nullptr;
  node->SetText(NewString);
  if (gLibrary) gLibrary->SortTree();
  // The new name may sort the node out of sight: the user sees where it went.
  if (ctl::Node* renamed = tvwLibrary->Nodes.Find(key)) renamed->EnsureVisible();
}

// The name and the key are values of the statements, never part of their
// text; a key that names no TagID or device writes nothing.
void LibraryTreePane::RenameTreeItem(const QString& sKey, const QString& sNewName) {
  if (!gLibrary) return;
  const QString prefix = sKey.left(2);
  std::optional<SqlCommand> update;
  if (prefix == QLatin1String("ID")) {
    const std::optional<qint64> tagId = TagIdOf(sKey);
    if (!tagId) return;
    gSQL = QStringLiteral("UPDATE Tags SET Tag = ?, T9Text = ? WHERE TagID = ?");
    update.emplace(gLibrary->Connection(), gSQL);
    update->Bind(1, sNewName);
    update->Bind(2, clsRWLibrary::ConvertToT9(sNewName));
    update->Bind(3, *tagId);
  } else if (prefix == QLatin1String("M-")) {
    const QString serial = sKey.mid(2);
    if (serial.isEmpty()) return;
    gSQL = QStringLiteral("UPDATE FileLocations SET FriendlyName = ? WHERE DiskSerialNo = ?");
    update.emplace(gLibrary->Connection(), gSQL);
    update->Bind(1, sNewName);
    update->Bind(2, serial);
  } else {
    return;
  }
  update->Execute();
  if (gTagCloudShown) gLibrary->ShowTagCloud(false);
  ShowRenamedFileTag(sKey, sNewName);
}

// The full path of every other node is compared only where it can be equal:
// a path ends with its node's text.
bool LibraryTreePane::IsUniqueTreeNode(const ctl::Node& Node) {
  const QString path = Node.FullPath();
  for (const auto& other : tvwLibrary->Nodes) {
    if (other->Key() == Node.Key() || !path.endsWith(other->Text())) continue;
    if (other->FullPath() == path) return false;
  }
  return true;
}

// The inspector's tag list shows the tag by its TagID (or by the tree key);
// a tag it does not show is passed over.
void LibraryTreePane::ShowRenamedFileTag(const QString& sKey, const QString& sNewName) {
  if (!inspector_) return;
  const std::optional<qint64> tagId = sKey.startsWith(QLatin1String("ID")) ? TagIdOf(sKey) : std::optional<qint64>();
  ctl::ListItemCollection& items = inspector_->lstFileTags->ListItems;
  for (int i = 1; i <= items.Count(); ++i) {
    ctl::ListItem& item = items.Item(i);
    const bool byKey = item.Key() == sKey;
    const bool byTag = tagId && item.Tag() == QString::number(*tagId);
    if (byKey || byTag) item.SetSubItems(1, sNewName);
  }
}
