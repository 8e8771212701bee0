// Running the user's external applications on a file. So far it does
// nothing: the launcher comes with the external applications' own work.
#include "mainwindow/frmReelwise.h"

// 1 to 30: runs that entry of gExternalApps on gSavedItem's file; -1: opens
// the file with its default program.
void frmReelwise::LaunchExternalApp(int16_t&) {}
