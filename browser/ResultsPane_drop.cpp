// Drops on a result browser: the library tree's selected node dropped on it
// opens as a search step (the tree pane makes the step, its operator from
// the modifier keys held at the drop); a result dragged from a browser and
// released on itself opens in the inspector. BrowserDragOver shows which of
// these a drop would do.
#include "browser/ResultsPane.h"

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

namespace {

constexpr int32_t kErrFail = static_cast<int32_t>(0x80004005u);
constexpr int kInspectorShownHeight = 338;
constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkAlt = 18;

const QString kTree = QStringLiteral("tvwLibrary");
const QString kTiles = QStringLiteral("flexThumbsTiled");
const QString kList = QStringLiteral("flexThumbsList");
const QString kCarousel = QStringLiteral("ucCarouselCanvas");

bool AltHeld(int16_t altState) { return (altState & 0x80) != 0; }
bool Held(int virtualKey) { return ctl::GetKeyState(virtualKey) < 0; }

QString OperatorFromKeys() {
  if (AltHeld(ctl::GetKeyState(kVkAlt))) return QStringLiteral("-");
  if (Held(kVkControl)) return QStringLiteral("+");
  if (Held(kVkShift)) return QStringLiteral("&");
  return QStringLiteral("_");
}

// One step of a drop: a failure is shown as number and description and the
// next step runs; the generic failure E_FAIL is passed over.
void DropStep(const std::function<void()>& step) {
  ErrorGuard({.owner = ProgramMessageOwner(),
              .text = ErrorGuard::Numbered(QStringLiteral(" ")),
              .passOver = {kErrFail}})
      .Run(step);
}

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
