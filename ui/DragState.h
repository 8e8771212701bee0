#pragma once
// The main window's drag state: what a drag inside the window carries,
// written where a drag starts (a result grid, the carousel, the inspector's
// thumbnail, a tree node) and read by the drop handlers of the tree and the
// browsers together with the modifier keys held at the drop.
#include <QString>

#include <cstdint>

struct DragState {
  // Where the dragged files come from: "Browser" a result browser,
  // "Inspector" the inspector's thumbnail, empty otherwise.
  QString Source;
  // The dragged segment, and whether it was selected (the drop then acts on
  // every selected result).
  int32_t SegmentID = 0;
  int16_t ItemSelected = 0;
  // The speed-tagging flag (a repeated tagging drag).
  int16_t SpeedTagging = 0;

  // Empties the drag source and clears the speed-tagging flag.
  void Clear() {
    SpeedTagging = 0;
    Source.clear();
  }
};
