#include "options/OptionsPane.h"

// Until the launcher is built: runs nothing.
void OptionsPane::LaunchExternalApp(int16_t&) {}
