// Browser procedures that are least versions until they are built. Each does
// the least its callers rely on, and its comment says what it does today.
#include "browser/BrowserPane.h"

#include "browser/ResultGrids.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"

// Until the tree's drag and drop is built: no feedback and no drop.
void BrowserPane::tvwLibrary_DragOver(ctl::Control&, double, double, int) {}
void BrowserPane::tvwLibrary_DragDrop(ctl::Control&, double, double) {}
