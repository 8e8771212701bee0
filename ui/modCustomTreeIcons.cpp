#include "ui/modCustomTreeIcons.h"

#include "platform/controls/TreeView.h"

ctl::Node* GetTreeItemHandle(ctl::TreeView* tree, ctl::Node* node) {
  if (!tree || !node || tree->Nodes.Count() == 0) return nullptr;
  const int index = node->Index();
  return index >= 1 && index <= tree->Nodes.Count() && &tree->Nodes.Item(index) == node ? node : nullptr;
}

bool SetNodeStateImage(ctl::TreeView* tree, ctl::Node* item, int index) {
  if (!GetTreeItemHandle(tree, item)) return false;
  return item->SetStateImage(index);
}

ctl::ImageList* SetTreeImageList(ctl::TreeView* tree, ctl::ImageList* images, int type) {
  if (!tree) return nullptr;
  ctl::ImageList* previous = type == TVSIL_STATE ? tree->StateImages() : tree->Images();
  if (type == TVSIL_STATE) {
    tree->SetStateImageList(images);
  } else {
    tree->SetImageList(images);
  }
  return previous;
}

ctl::Node* TreeHitTest(ctl::TreeView* tree, TVHITTESTINFO& hitInfo) {
  hitInfo.hItem = tree ? tree->HitTestInfo(hitInfo.x, hitInfo.y, &hitInfo.flags) : nullptr;
  return hitInfo.hItem;
}
