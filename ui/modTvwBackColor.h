#pragma once
// The library tree shows the scheme colour gSchemeColour2 behind its items.
// The colour is read at every paint, so a new scheme shows at the tree's
// next repaint; the items (a selected label's highlight, pictures, expand
// boxes) are drawn over it in their own colours.
namespace ctl {
class TreeView;
}

// Installs the colouring on the tree once; it goes when the tree goes.
void SetTreeViewBackColour(ctl::TreeView* TreeView);
