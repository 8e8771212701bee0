#pragma once
// The options subsystem's part of the main window: running the user's
// external applications on a file (frmReelwise_externalapps.cpp).
#include <cstdint>

class OptionsPane {
 public:
  // 1 to 30: runs that entry of gExternalApps on gSavedItem's file; -1: opens
  // the file with its default program.
  void LaunchExternalApp(int16_t& Index);
};
