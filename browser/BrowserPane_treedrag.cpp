// The library tree as the start of a search: a node dragged with the left
// button (the dragged node is always the selected one) and Enter on the
// selected node, which opens it in the browser as a drop would. The nodes'
// expand icons (state images 1 collapsed, 2 expanded, 3 no children) open
// and close their nodes on a left press and follow every expand or collapse.
// Until the tree's own events are built, it has no tool tips, context menu,
// renaming or deleting keys.
#include "browser/BrowserPane.h"

#include "core/modReelwise.h"
#include "platform/Rounding.h"
#include "ui/DragState.h"
#include "ui/modCustomTreeIcons.h"
#include "ui/modReelwise_drawing.h"

namespace {

// Group nodes that cannot be dragged.
bool GroupNode(const QString& image) {
  static const QStringList groups = {
      QStringLiteral("SEARCHFOLDER"), QStringLiteral("VIEWFOLDER"),   QStringLiteral("PLFOLDER"),
      QStringLiteral("LINK"),         QStringLiteral("AKA"),          QStringLiteral("MEDIAFOLDER"),
      QStringLiteral("FORMATS"),      QStringLiteral("RATINGFOLDER"), QStringLiteral("DATEFOLDER")};
  return groups.contains(image);
}

}  // namespace

// A left press exactly on a node's expand icon opens or closes the node.
void BrowserPane::tvwLibrary_MouseDown(int Button, int, double X, double Y) {
  if (Button != ctl::vbLeftButton) return;
  TVHITTESTINFO hitInfo;
  hitInfo.x = CLng(X / gTwipsPerPixelX);
  hitInfo.y = CLng(Y / gTwipsPerPixelY);
  ctl::Node* node = TreeHitTest(gTreeHwnd, hitInfo);
  if (node && hitInfo.flags == ctl::tvhtOnItemStateIcon) node->SetExpanded(!node->Expanded());
}

// An opened folder shows its open picture, a closed one its closed picture;
// the expand icon shows the node's state either way.
void BrowserPane::tvwLibrary_Expand(ctl::Node* Node) {
  if (Node->Image() == QLatin1String("FOLDERCLOSED")) Node->SetImage(QStringLiteral("FOLDEROPEN"));
  int16_t state = 0;
  modReelwise::UpdateNodeExpandIcon(tvwLibrary, Node, state);
}

void BrowserPane::tvwLibrary_Collapse(ctl::Node* Node) {
  if (Node->Image() == QLatin1String("FOLDEROPEN")) Node->SetImage(QStringLiteral("FOLDERCLOSED"));
  int16_t state = 0;
  modReelwise::UpdateNodeExpandIcon(tvwLibrary, Node, state);
}

// A move with the left button held drags the selected node, unless the
// press was on a node's expand icon or the node is a group.
void BrowserPane::tvwLibrary_MouseMove(int Button, int, double X, double Y) {
  ctl::TreeView& tree = *tvwLibrary;
  if (!tree.SelectedItem()) return;
  if (Button == ctl::vbLeftButton) {
    int flags = 0;
    tree.HitTestInfo(CLng(X / gTwipsPerPixelX), CLng(Y / gTwipsPerPixelY), &flags);
    if (flags == ctl::tvhtOnItemStateIcon) return;
  }
  const ctl::Node* node = tree.HitTest(X, Y);
  if (!node && !drag_.Source.isEmpty()) return;
  if (node && GroupNode(node->Image())) return;
  if (Button == ctl::vbLeftButton) {
    drag_.Clear();
    tree.Drag(ctl::vbBeginDrag);
  }
}

void BrowserPane::tvwLibrary_KeyDown(int& KeyCode, int) {
  if (KeyCode == ctl::vbKeyReturn && tvwLibrary->SelectedItem()) {
    BrowserDragDrop(0, 0, QStringLiteral("tvwLibrary"), QString());
  }
}

void BrowserPane::tvwLibrary_KeyPress(int& KeyAscii) {
  if (KeyAscii == ctl::vbKeyReturn) KeyAscii = 0;
}

ctl::Node* BrowserPane::AddTreeNode(const QString& sText, const QString& sKey, const QString& sParentKey,
                                    const QString& sImageKey, uint32_t lColour, bool bBold) {
  return modReelwise::AddTreeNode(*tvwLibrary, sText, sKey, sParentKey, sImageKey, lColour, bBold);
}
