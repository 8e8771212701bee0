// Operations of the library object whose full versions come with their own
// work. Each does the least its callers rely on, and its comment says what
// the full version does; a full version moves to its topic's file.
#include "library/clsRWLibrary.h"

#include "carousel/cCarousel.h"
#include "core/modReelwise.h"
#include "library/HistoryEntry.h"
#include "library/ResultItem.h"
#include "mainwindow/frmReelwise.h"
#include "resources/Resources.h"

#include <algorithm>

// Runs one tag step of a view spec on SearchResults and records it.
void clsRWLibrary::BuildSearchResults(const QString&, const QString&, bool, const QString&) {}

// Runs one attribute or text step of a view spec and records it.
void clsRWLibrary::ExecuteSearch(const QString&, const QString&, const QString&) {}

// Reads vw_SearchResults into gResults with the selection flags.
void clsRWLibrary::FetchSearchResults() {
  gResults.assign(1, ResultItem{});
  ResultCount = 0;
  SelectedCount = 0;
  if (gCarousel) gCarousel->NewResults();
}

// Refills the active browser from gResults and updates the counts.
void clsRWLibrary::ShowSearchResults() {
  if (!gMainForm) return;
  gMainForm->lblResultSize->SetCaption(QStringLiteral("%1 File(s)").arg(ResultCount));
  gMainForm->lblSelectCount->SetCaption(QStringLiteral("[%1 Selected]").arg(SelectedCount));
  gMainForm->ProgressOff();
}

// Runs every step of a view spec, then fetches and shows the results.
void clsRWLibrary::ShowView(const QString&, const QString&) {
  FetchSearchResults();
  ShowSearchResults();
}

// Runs the current view spec again without recording history.
void clsRWLibrary::RefreshResults() {
  FetchSearchResults();
  ShowSearchResults();
}

// Moves to a history entry and replays its view.
void clsRWLibrary::SetHistoryIndex(int16_t& n) {
  n = static_cast<int16_t>(std::clamp<int>(n, 0, static_cast<int>(gHistory.size()) - 1));
}

// True at the last history entry.
bool clsRWLibrary::NoFurtherHistory() const { return m_HistoryIndex == static_cast<int>(gHistory.size()) - 1; }

// Prepares one library check; nothing calls it.
void clsRWLibrary::LibraryAnalysis() {}

// Empties the current view.
void clsRWLibrary::ClearSearch() {}
