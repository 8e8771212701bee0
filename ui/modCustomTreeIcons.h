#pragma once
// The library tree's item handles, state images (the expand icons the program
// draws itself), image lists and hit tests. A node object is its own item
// handle here.
namespace ctl {
class ImageList;
class Node;
class TreeView;
}  // namespace ctl

inline constexpr int TVSIL_NORMAL = 0;
inline constexpr int TVSIL_STATE = 2;

// A point in the tree's client pixels; out: where on the item it lies.
struct TVHITTESTINFO {
  int x = 0;
  int y = 0;
  int flags = 0;
  ctl::Node* hItem = nullptr;
};

// The item of a node; nullptr when the tree is empty or the node is not in it.
ctl::Node* GetTreeItemHandle(ctl::TreeView* tree, ctl::Node* node);
// Index 0 clears the state image; true when the item took it.
bool SetNodeStateImage(ctl::TreeView* tree, ctl::Node* item, int index);
// Installs the item (TVSIL_NORMAL) or state (TVSIL_STATE) image list; returns
// the previous one.
ctl::ImageList* SetTreeImageList(ctl::TreeView* tree, ctl::ImageList* images, int type);
// The item under the point, or nullptr.
ctl::Node* TreeHitTest(ctl::TreeView* tree, TVHITTESTINFO& hitInfo);
