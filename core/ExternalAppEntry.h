#pragma once
// One outside program the user hooked into the menus, as "ExternalApps.ini"
// holds it in the section "App" followed by its number.
#include <QString>

#include <cstdint>

struct ExternalAppEntry {
  QString AppPath;      // the program file
  QString CommandLine;  // the command line with its placeholders
  QString MenuText;     // the menu caption; empty means the entry is not in use
  QString Extensions;   // file extensions separated by ";", "*" for every file
  int16_t Contexts = 0; // menus: 1 inspector, 2 browser, 4 Tools
  int16_t Enabled = 0;  // non-zero: enabled
};
