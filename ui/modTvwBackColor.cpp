#include "ui/modTvwBackColor.h"

#include "platform/controls/TreeView.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

const char* const kColouringName = "TreeColouring";

// Sees each paint of the tree's drawing area before the tree draws into it.
class TreeColouring : public QObject {
 public:
  explicit TreeColouring(ctl::TreeView* tree) : QObject(tree), tree_(tree) { setObjectName(kColouringName); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) PaintBackground(static_cast<QPaintEvent*>(event)->rect());
    return false;
  }

 private:
  // The background that Qt filled before this paint may be of an older
  // scheme: it is filled again in the current colour, and the tree's own
  // colour follows for whatever it fills itself (its back colour, editors).
  void PaintBackground(const QRect& area) {
    const auto colour = static_cast<COLORREF>(TranslateColor(gSchemeColour2));
    if (tree_->BackColor() != colour) tree_->SetBackColor(colour);
    QPainter(tree_->Viewport()).fillRect(area, ColorRefToQColor(colour));
  }

  ctl::TreeView* tree_;
};

}  // namespace

void SetTreeViewBackColour(ctl::TreeView* TreeView) {
  if (!TreeView || TreeView->findChild<QObject*>(kColouringName, Qt::FindDirectChildrenOnly)) return;
  TreeView->Viewport()->installEventFilter(new TreeColouring(TreeView));
}
