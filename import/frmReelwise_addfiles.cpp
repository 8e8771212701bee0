// The Add Files command of the main window. So far it does nothing: the
// add-files dialog and the run come with the import's own work.
#include "mainwindow/frmReelwise.h"

// Shows the add-files dialog, then adds or relocates the queued files.
void frmReelwise::AddScannedFiles() {}
