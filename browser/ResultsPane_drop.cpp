// Drops on a result browser: the library tree's selected node dropped on it
// opens as a search step (the tree pane makes the step, its operator from
// the modifier keys held at the drop); a result dragged from a browser and
// released on itself opens in the inspector. BrowserDragOver shows which of
// these a drop would do.
#include "browser/ResultsPane.h"

#include "browser/DropSteps.h"
#include "browser/ResultGrids.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "library/clsRWLibrary.h"
#include "platform/DragController.h"
#include "platform/RWError.h"

#include <functional>
#include <optional>

using namespace ResultGrids;
using namespace DropSteps;

namespace {

constexpr int kInspectorShownHeight = 338;

const QString kTree = QStringLiteral("tvwLibrary");
const QString kTiles = QStringLiteral("flexThumbsTiled");
const QString kList = QStringLiteral("flexThumbsList");
const QString kCarousel = QStringLiteral("ucCarouselCanvas");

}  // namespace

void ResultsPane::BrowserDragDrop(int32_t iRow, int32_t iCol, const QString& sSource, QString sMode) {
  DropStep([&] {
    if (sMode.isEmpty()) sMode = OperatorFromKeys();
  });
  if (sSource == kTree) {
    tree_->OpenNodeAsSearch(sMode);
  } else if (sSource == kTiles || sSource == kList) {
    int64_t index = 0;
    if (gBrowserMode == 1) {
      index = TileIndex(iRow, iCol);
    } else if (gBrowserMode == 2) {
      if (iRow == 0) return;
      DropStep([&] { index = ListIndex(*flexThumbsList, iRow); });
    }
    if (!IsResult(index) || gResults[static_cast<size_t>(index)].SegmentID != gCurrentItem.SegmentID) return;
    OpenInInspector(true);
  } else if (sSource == kCarousel) {
    OpenInInspector(false);
  }
}

// A result released on itself: the inspector is shown when it is collapsed,
// then loads the result.
void ResultsPane::OpenInInspector(bool repaintFirst) {
  DropStep([&] {
    if (inspector_->picBottom->Height() < kInspectorShownHeight) {
      host_.MainToolbarHandler(QStringLiteral("mnuViewInspector"));
    }
  });
  if (repaintFirst) DropStep([&] { picRight->window()->repaint(); });
  DropStep([&] {
    bool loaded = false;
    inspector_->LoadInspector(gCurrentItem, loaded);
  });
}

void ResultsPane::BrowserDragOver(const QString& sSource, int State) {
  if (sSource == kTree) {
    tree_->ShowSearchDragIcon();
  } else if (sSource == kTiles || sSource == kList) {
    int64_t index = 0;
    if (gBrowserMode == 1) {
      index = TileIndex(flexThumbsTiled->MouseRow(), flexThumbsTiled->MouseCol());
    } else if (gBrowserMode == 2 && flexThumbsList->MouseRow() >= 1) {
      index = ListIndex(*flexThumbsList, flexThumbsList->MouseRow());
    }
    const bool itself = IsResult(index) && gResults[static_cast<size_t>(index)].SegmentID == gCurrentItem.SegmentID;
    const QCursor icon = host_.imglstDragIcons().DragCursor(itself ? QStringLiteral("OPENFILE") : QStringLiteral("FILE"));
    flexThumbsList->SetDragIcon(icon);
    flexThumbsTiled->SetDragIcon(icon);
    if (State == ctl::vbLeave) {
      const QCursor file = host_.imglstDragIcons().DragCursor(QStringLiteral("FILE"));
      flexThumbsList->SetDragIcon(file);
      flexThumbsTiled->SetDragIcon(file);
    }
  }
}
