// The library tree's own events: presses (the expand icon, the context
// menu), moves (the saved searches' tool tips, node drags and the
// speed-tagging drag), the keys F2 (rename), Delete (remove), Enter (open in
// the browser, a link first jumping to its tag) and Esc (end a label edit),
// node clicks, the folders' open and closed pictures and the frame colour
// that shows the tree has the focus.
//
// The nodes' expand icons are state images (1 collapsed, 2 expanded, 3 no
// children); a left press exactly on one opens or closes its node.
#include "browser/LibraryTreePane.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "inspector/InspectorPane.h"
#include "library/clsRWLibrary.h"
#include "platform/Rounding.h"
#include "ui/DragState.h"
#include "ui/SchemeColours.h"
#include "ui/modCustomTreeIcons.h"
#include "ui/modReelwise_drawing.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>

#include <optional>

namespace {

bool IsOneOf(const QString& image, std::initializer_list<const char*> images) {
  for (const char* name : images) {
    if (image == QLatin1String(name)) return true;
  }
  return false;
}

// Group nodes: no tool tip and no drag.
bool GroupNode(const QString& image) {
  return IsOneOf(image, {"SEARCHFOLDER", "VIEWFOLDER", "PLFOLDER", "LINK", "AKA", "MEDIAFOLDER", "FORMATS",
                         "RATINGFOLDER", "DATEFOLDER"});
}

bool IsLink(const ctl::Node& node) { return IsOneOf(node.Image(), {"LINK", "AKA"}); }

// The two tag ids of a link key "LINK" & a & "-" & b; none when the key is
// not of that form.
std::optional<std::pair<int32_t, int32_t>> LinkEnds(const QString& key) {
  const int dash = key.indexOf(QLatin1Char('-'), 4);
  if (!key.startsWith(QLatin1String("LINK")) || dash < 0) return std::nullopt;
  bool okA = false;
  bool okB = false;
  const int32_t a = key.mid(4, dash - 4).toInt(&okA);
  const int32_t b = key.mid(dash + 1).toInt(&okB);
  if (!okA || !okB) return std::nullopt;
  return std::make_pair(a, b);
}

QString LinkKey(int32_t a, int32_t b) { return QStringLiteral("LINK%1-%2").arg(a).arg(b); }

// The tool tip of a saved search: the fields its look-in flags tick
// (characters 4 to 6 of the spec) and its text (from character 8).
QString SearchToolTip(const QString& spec) {
  QString fields;
  if (spec.mid(3, 1) == QLatin1String("F")) fields += QStringLiteral(", Filenames");
  if (spec.mid(4, 1) == QLatin1String("A")) fields += QStringLiteral(", Aliases");
  if (spec.mid(5, 1) == QLatin1String("D")) fields += QStringLiteral(", Descriptions");
  if (fields.startsWith(QLatin1String(", "))) fields.remove(0, 2);
  return QStringLiteral("Search ") + fields + QStringLiteral(" for '") + spec.mid(7) + QLatin1Char('\'');
}

void UpdateIcon(ctl::TreeView* tree, ctl::Node* node) {
  int16_t state = 0;
  if (node) modReelwise::UpdateNodeExpandIcon(tree, node, state);
}

// A point of the tree in twips, in pixels.
QPoint PixelsOf(double X, double Y) { return {CLng(X / gTwipsPerPixelX), CLng(Y / gTwipsPerPixelY)}; }

// The node under a point in twips when the point lies exactly on its
// expand icon.
ctl::Node* StateIconAt(double X, double Y) {
  TVHITTESTINFO hitInfo;
  hitInfo.x = PixelsOf(X, Y).x();
  hitInfo.y = PixelsOf(X, Y).y();
  ctl::Node* node = TreeHitTest(gTreeHwnd, hitInfo);
  return node && hitInfo.flags == ctl::tvhtOnItemStateIcon ? node : nullptr;
}

// The tag ids of a node and of every "ID" node below it.
void CollectTagIds(const ctl::Node& node, QList<int32_t>& ids) {
  bool ok = false;
  const int32_t id = node.Key().startsWith(QLatin1String("ID")) ? node.Key().mid(2).toInt(&ok) : 0;
  if (ok) ids << id;
  for (const ctl::Node* child = node.Child(); child; child = child->Next()) CollectTagIds(*child, ids);
}

// True while a label editor is open on the tree: the keys it passes on
// (Enter, F2) are the editor's, not commands of the tree.
bool LabelEditOpen(const ctl::TreeView& tree) {
  for (const QLineEdit* editor : tree.findChildren<QLineEdit*>()) {
    if (editor->isVisible()) return true;
  }
  return false;
}

}  // namespace

// ---- The mouse ----

// The left button opens or closes a node by its expand icon and does nothing
// else. The right button selects and highlights the node under the pointer
// and pops the menu up for it; button 0 (from F2) only prepares the menu.
// A right press on empty space selects nothing, so that its menu offers what
// belongs at the top level (a new folder or tag category) whatever node was
// clicked before.
void LibraryTreePane::tvwLibrary_MouseDown(int Button, int, double X, double Y) {
  ctl::TreeView& tree = *tvwLibrary;
  if (Button == ctl::vbLeftButton) {
    m_TreeNodePress.reset();
    if (ctl::Node* node = StateIconAt(X, Y)) {
      node->SetExpanded(!node->Expanded());
    } else if (tree.HitTest(X, Y)) {
      m_TreeNodePress = QPointF(X, Y);
    }
    return;
  }
  if (Button != ctl::vbRightButton && Button != 0) return;
  if (Button == ctl::vbRightButton) {
    ctl::Node* hit = tree.HitTest(X, Y);
    tree.SetSelectedItem(hit);
    tree.SetDropHighlight(hit);
  }
  PrepareTreeMenu();
  if (Button == ctl::vbRightButton) mnuTree->popup(tree.Viewport()->mapToGlobal(PixelsOf(X, Y)));
}

// Moves over nodes set the tool tip (a saved search names what it looks for)
// and, with the left button held, drag the selected node; group nodes and a
// press on an expand icon drag nothing. Over empty space while the last file
// drag is still recorded, a left-button move more than 50 pixels from the
// tree's left edge starts the speed-tagging drag. A press on a node drags
// it once the pointer has gone the drag distance, even where the first moves
// left the node's label at once.
void LibraryTreePane::tvwLibrary_MouseMove(int Button, int, double X, double Y) {
  ctl::TreeView& tree = *tvwLibrary;
  if (!tree.SelectedItem()) return;
  const bool leftHeld = Button == ctl::vbLeftButton;
  if (leftHeld && StateIconAt(X, Y)) return;
  ctl::Node* node = tree.HitTest(X, Y);
  if (!node && leftHeld && TreeNodeDraggedAway(X, Y)) node = tree.SelectedItem();
  if (!node && !drag_.Source.isEmpty()) {
    if (!leftHeld || X <= 50 * gTwipsPerPixelX) return;
    drag_.SpeedTagging = 1;
    const QPoint at = tree.Viewport()->mapTo(lblRepeatTagging->parentWidget(), PixelsOf(X, Y));
    lblRepeatTagging->Move(at.x(), at.y());
    if (inspector_) lblRepeatTagging->SetDragIcon(inspector_->picThumbnail->DragIcon());
    lblRepeatTagging->Drag(ctl::vbBeginDrag);
    return;
  }
  if (!node || GroupNode(node->Image())) {
    m_TreeTipIndex = -1;
    tree.SetToolTipText(QString());
    return;
  }
  if (node->Image() != QLatin1String("SEARCH")) {
    tree.SetToolTipText(QString());
  } else if (node->Index() != m_TreeTipIndex) {
    tree.SetToolTipText(SearchToolTip(node->Tag()));
  }
  if (leftHeld) {
    m_TreeNodePress.reset();
    drag_.Clear();
    tree.Drag(ctl::vbBeginDrag);
  }
  m_TreeTipIndex = node->Index();
}

bool LibraryTreePane::TreeNodeDraggedAway(double X, double Y) const {
  if (!m_TreeNodePress) return false;
  const QPoint moved = PixelsOf(X, Y) - PixelsOf(m_TreeNodePress->x(), m_TreeNodePress->y());
  return moved.manhattanLength() >= QApplication::startDragDistance();
}

// A click moves the highlight to the clicked node, which it selects: the
// highlight left by a right press or a jump goes, and the selection shows
// as such (lit while the tree has the focus).
void LibraryTreePane::tvwLibrary_NodeClick(ctl::Node*) { tvwLibrary->SetDropHighlight(nullptr); }

// ---- Expanding and collapsing ----

// An opened folder shows its open picture, a closed one its closed picture;
// the expand icon shows the node's state either way.
void LibraryTreePane::tvwLibrary_Expand(ctl::Node* Node) {
  if (Node->Image() == QLatin1String("FOLDERCLOSED")) Node->SetImage(QStringLiteral("FOLDEROPEN"));
  UpdateIcon(tvwLibrary, Node);
}

void LibraryTreePane::tvwLibrary_Collapse(ctl::Node* Node) {
  if (Node->Image() == QLatin1String("FOLDEROPEN")) Node->SetImage(QStringLiteral("FOLDERCLOSED"));
  UpdateIcon(tvwLibrary, Node);
}

// ---- The keys ----

void LibraryTreePane::tvwLibrary_KeyDown(int& KeyCode, int Shift) {
  ctl::TreeView& tree = *tvwLibrary;
  if (LabelEditOpen(tree)) return;
  if (KeyCode == ctl::vbKeyApps || (KeyCode == ctl::vbKeyF10 && Shift == ctl::vbShiftMask)) {
    ShowTreeMenuByKey();
  } else if (KeyCode == ctl::vbKeyF2) {
    // F2 renames exactly what the menu would offer to rename.
    tvwLibrary_MouseDown(0, 0, 0, 0);
    if (mnuRenameTag->isEnabled()) mnuRenameTag_Click();
  } else if (KeyCode == ctl::vbKeyDelete) {
    DeleteSelectedNode();
  } else if (KeyCode == ctl::vbKeyReturn && tree.SelectedItem()) {
    // A link or synonym stands for its tag: the tag is opened.
    if (IsLink(*tree.SelectedItem())) {
      if (const auto ends = LinkEnds(tree.SelectedItem()->Key())) {
        if (ctl::Node* tag = tree.Nodes.Find(QStringLiteral("ID%1").arg(ends->second))) {
          SetTreeViewFirstVisibleNode(tree, tag);
        }
      }
    }
    OpenNodeAsSearch(QString());
  }
}

// The keyboard's way to the menu (the menu key, or Shift+F10): without a
// selected node it offers what a right click on empty space offers.
void LibraryTreePane::ShowTreeMenuByKey() {
  ctl::TreeView& tree = *tvwLibrary;
  PrepareTreeMenu();
  const QRect row = tree.NodeRect(tree.SelectedItem());
  mnuTree->popup(tree.Viewport()->mapToGlobal(row.isEmpty() ? QPoint(0, 0) : row.bottomLeft()));
}

void LibraryTreePane::tvwLibrary_KeyPress(int& KeyAscii) {
  if (KeyAscii == ctl::vbKeyReturn) KeyAscii = 0;
}

// Esc ends a label edit with the node's current text, through the same
// checks as any other end of an edit.
void LibraryTreePane::tvwLibrary_KeyUp(int& KeyCode, int) {
  ctl::Node* node = tvwLibrary->SelectedItem();
  if (KeyCode != ctl::vbKeyEscape || !node) return;
  int cancel = 0;
  QString text = node->Text();
  tvwLibrary_AfterLabelEdit(cancel, text);
}

// Removes the selected item after the user's consent (OK only; a box closed
// unanswered is no consent): a tag, category, folder, playlist, view or
// search with everything below it, or a link (a synonym with its twin).
void LibraryTreePane::DeleteSelectedNode() {
  ctl::TreeView& tree = *tvwLibrary;
  ctl::Node* node = tree.SelectedItem();
  if (!node || !IsOneOf(node->Image(), {"TAG", "CATEGORY", "FOLDERCLOSED", "FOLDEROPEN", "SEARCH", "PLAYLIST",
                                        "VIEW", "AKA", "LINK"})) {
    return;
  }
  const QString question =
      QStringLiteral("Are you sure you want to delete the item\r\n'") + node->Text() + QLatin1Char('\'');
  if (ShowProgramMessage(question, vbOKCancel | vbQuestion, QStringLiteral("Confirm Delete"), tree.window()) != vbOK) {
    return;
  }
  std::vector<QString> gone;
  if (IsLink(*node)) {
    const auto ends = LinkEnds(node->Key());
    if (!ends) return;
    gLibrary->DeleteTagRelationship(ends->first, ends->second);
    // A synonym's twin goes with it, when the tree shows one.
    if (node->Image() == QLatin1String("AKA")) gone.push_back(LinkKey(ends->second, ends->first));
  } else {
    QList<int32_t> ids;
    CollectTagIds(*node, ids);
    QString key = node->Key();
    gLibrary->DeleteTreeNode(key);
    // The links that pointed at a deleted tag went with it in the library.
    for (const auto& other : tree.Nodes) {
      const auto ends = LinkEnds(other->Key());
      if (ends && ids.contains(ends->second)) gone.push_back(other->Key());
    }
  }
  gone.push_back(node->Key());
  for (const QString& key : gone) {
    ctl::Node* doomed = tree.Nodes.Find(key);
    if (!doomed) continue;
    ctl::Node* parent = doomed->Parent();
    tree.Nodes.Remove(key);
    UpdateIcon(&tree, parent);
  }
}

// ---- Focus ----

void LibraryTreePane::tvwLibrary_GotFocus() { picLeftFrame->SetBackColor(gCursorColour); }

void LibraryTreePane::tvwLibrary_LostFocus() { picLeftFrame->SetBackColor(gSchemeColour3); }

void LibraryTreePane::ShowFrameUnfocused() { picLeftFrame->SetBackColor(gSchemeColour3); }
