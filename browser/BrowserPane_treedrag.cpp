// The library tree as the start of a search: a node dragged with the left
// button (the dragged node is always the selected one) and Enter on the
// selected node, which opens it in the browser as a drop would. Until the
// tree's own events are built, it has no tool tips, context menu, renaming or
// deleting keys.
#include "browser/BrowserPane.h"

#include "core/modReelwise.h"
#include "platform/Rounding.h"
#include "ui/DragState.h"

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
