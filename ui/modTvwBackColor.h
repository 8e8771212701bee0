#pragma once
// The library tree paints its background in the scheme colour gSchemeColour2.
namespace ctl {
class TreeView;
}

void SetTreeViewBackColour(ctl::TreeView* tree);
