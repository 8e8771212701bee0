#include "ui/modReelwise_drawing.h"

#include "platform/controls/TreeView.h"
#include "resources/Resources.h"
#include "ui/CairoContext.h"
#include "ui/CairoObject.h"
#include "ui/modCairo.h"
#include "ui/modCustomTreeIcons.h"

#include <algorithm>

namespace modReelwise {

bool UpdateNodeExpandIcon(ctl::TreeView* tree, ctl::Node* node, int16_t& state) {
  if (!node) return false;
  if (node->Children() == 0) node->SetExpanded(false);
  state = node->Expanded() ? 2 : (node->Children() > 0 ? 1 : 3);
  ctl::Node* item = GetTreeItemHandle(tree, node);
  return item ? SetNodeStateImage(tree, item, state) : false;
}

ctl::Node* AddTreeNode(ctl::TreeView& tree, const QString& sText, const QString& sKey, const QString& sParentKey,
                       const QString& sImageKey, uint32_t lColour, bool bBold) {
  ctl::Node* node = tree.Nodes.Add(sParentKey, sParentKey.isEmpty() ? 0 : ctl::tvwChild, sKey, sText, sImageKey);
  node->SetForeColor(lColour);
  node->SetBold(bBold);
  int16_t state = 0;
  UpdateNodeExpandIcon(&tree, node, state);
  if (node->Parent()) UpdateNodeExpandIcon(&tree, node->Parent(), state);
  return node;
}

QPixmap DrawLogo(int width, int height) {
  CairoObject& cairo = *modCairo::GetCairo();
  cairo.ImageList().AddFromBytes(QStringLiteral("TMP"), LoadResData(QStringLiteral("LOGO"), kResCustom));
  auto surface = cairo.CreateSurface(std::max(width, 1), std::max(height, 1));
  auto cc = surface->Context();
  cc->SetSourceColour(RGB(255, 255, 255), 1.0);
  cc->Paint(1.0);
  cc->RenderSurface(QStringLiteral("TMP"), 0, 0, width, height);
  cairo.ImageList().Remove(QStringLiteral("TMP"));
  surface->Surface().Flush();
  return QPixmap::fromImage(surface->Surface().Image().copy());
}

}  // namespace modReelwise
