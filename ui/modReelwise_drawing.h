#pragma once
// The procedures of the program's main module that draw: a tree node's
// expand icon and the program logo. They sit with the drawing layer, which
// the main module's own folder lies below.
#include <QPixmap>
#include <QString>

#include <cstdint>

namespace ctl {
class Node;
class TreeView;
}  // namespace ctl

namespace modReelwise {

// Collapses a node without children and shows its expand state (2 expanded,
// 1 collapsed with children, 3 none) as its state image.
bool UpdateNodeExpandIcon(ctl::TreeView* tree, ctl::Node* node, int16_t& state);
// Adds a node with the program's look: under sParentKey (top level when it
// is empty), in the colour and weight given, and the expand icons of the
// node and its parent brought up to date. A used key raises 35602.
ctl::Node* AddTreeNode(ctl::TreeView& tree, const QString& sText, const QString& sKey, const QString& sParentKey,
                       const QString& sImageKey, uint32_t lColour, bool bBold);
// The program logo on white at the requested size.
QPixmap DrawLogo(int width, int height);

}  // namespace modReelwise
