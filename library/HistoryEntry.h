#pragma once
// The view history behind Back, Forward and the history menu.
#include <QString>

#include <vector>

struct HistoryEntry {
  QString ViewSpec;
  QString Description;
  QString Caption;
};

// Entries 1 to n in the order the views were opened; entry 0 is never shown.
extern std::vector<HistoryEntry> gHistory;
// The description of the current view, step by step.
extern QString gViewDescription;
