#include "ui/modTvwBackColor.h"

#include "ui/SchemeColours.h"
#include "platform/controls/TreeView.h"

void SetTreeViewBackColour(ctl::TreeView* tree) {
  if (tree) tree->SetBackColor(gSchemeColour2);
}
