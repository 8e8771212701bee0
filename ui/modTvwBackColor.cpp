#include "ui/modTvwBackColor.h"

#include "platform/controls/TreeView.h"
#include "ui/SchemeColours.h"

void SetTreeViewBackColour(ctl::TreeView* tree) {
  if (tree) tree->SetBackColor(gSchemeColour2);
}
