#pragma once
// The pointer's display counter, one for all of the program's windows: each
// hide lowers it and each show raises it; below 0 the pointer is blank over
// every window, at 0 or above it is shown again. Calls that hide the pointer
// for a while (TV-Out mode) hide it until the count is below 0 and show it
// until the count is back at 0 or above, so an earlier hide elsewhere is
// neither lost nor doubled.

// Raises (show) or lowers (hide) the count; returns the new count.
int ShowCursor(bool show);
// The count now.
int CursorDisplayCount();
