// Browser procedures that are least versions until they are built. Each does
// the least its callers rely on, and its comment says what it does today.
#include "browser/BrowserPane.h"

#include "browser/ResultGrids.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"

