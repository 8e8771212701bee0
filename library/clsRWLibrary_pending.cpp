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

// Adds a Tags row (and its parent link) and returns its TagID.
int32_t clsRWLibrary::CreateTag(const QString&, const QString&, const QVariant&) { return 0; }

// Deletes a tag with its descendants, their links, segment tags and views.
void clsRWLibrary::DeleteTreeNode(QString&) {}

// Links two tags and removes the linked tag from segments carrying both.
void clsRWLibrary::CreateTagRelationship(int32_t, int32_t, const QString&) {}

// Deletes the link between two tags, in either direction.
void clsRWLibrary::DeleteTagRelationship(int32_t, int32_t) {}

// Gives tags without a behaviour or category those of their category.
void clsRWLibrary::SetNodeBehaviours(bool) {}

// Upper case, letters as their keypad digits, everything else unchanged.
QString clsRWLibrary::ConvertToT9(const QString& Text) {
  static const char kDigits[] = "22233344455566677778889999";
  QString t9 = Text.toUpper();
  for (QChar& c : t9) {
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QLatin1Char(kDigits[c.unicode() - 'A']);
  }
  return t9;
}

// Adds or removes a tag of a segment and redraws the tag cloud when shown.
void clsRWLibrary::TagSegment(int32_t, int32_t, bool) {}

// Stores a segment's rating and updates the rating the browsers show.
void clsRWLibrary::RateSegment(int16_t, int32_t) {}

// Adds a segment of a file (replacing one with the same points).
void clsRWLibrary::CreateSegment(double, double, int32_t, int32_t SegmentID, int32_t& Result) { Result = SegmentID; }

// Stores the start and end of a segment.
void clsRWLibrary::UpdateSegmentAB(int32_t, double, double) {}

// Deletes a segment with its thumbnail, tags and result rows.
void clsRWLibrary::RemoveSegment(int32_t) {}

// Removes files from the library (and from the disk when asked).
void clsRWLibrary::RemoveFile(int32_t, bool) {}

// Builds the tag structure of a file or segment and renders it as text.
QString clsRWLibrary::GetSegmentTags(bool, int32_t, int32_t, bool, bool) { return QStringLiteral("--No Tags"); }

// Runs one tag step of a view spec on SearchResults and records it.
void clsRWLibrary::BuildSearchResults(const QString&, const QString&, bool, const QString&) {}

// Runs one attribute or text step of a view spec and records it.
void clsRWLibrary::ExecuteSearch(const QString&, const QString&, const QString&) {}

// Empties SearchResults in the transaction "DSR".
void clsRWLibrary::DeleteSearchResults() {
  RunInTransaction(QStringLiteral("DSR"), [this] { m_Connection->Execute(QStringLiteral("DELETE FROM SearchResults")); });
}

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

// True when the current view has two or more steps.
bool clsRWLibrary::ViewModified() const { return gViewSpec.count(QLatin1Char('|')) >= 2; }

// The view spec saved under a tree key ("ID" and a TagID).
QString clsRWLibrary::GetViewSpec(QString& Key) {
  Key.remove(QStringLiteral("ID"));
  return QString();
}

// Saves a view or search with its tree node.
void clsRWLibrary::SaveView(const QString&, const QString&, bool) {}

// Rebuilds the whole library tree.
void clsRWLibrary::PopulateTree() {}

// Sorts the tree's nodes by kind and text.
void clsRWLibrary::SortTree() {}

// Rebuilds the tree's storage-device nodes.
void clsRWLibrary::LoadStorageDeviceNodes() {}

// Recounts (when asked) and draws the tag cloud of the current results.
void clsRWLibrary::ShowTagCloud(bool) {}

// Rebuilds TagCloud from SearchResults.
void clsRWLibrary::PopulateTagCloudTable() {}

// The total playing time of the results or of the library as text.
QString clsRWLibrary::GetPlayListStats(bool) { return QStringLiteral("0h:00m:00s"); }

// Prepares one library check; nothing calls it.
void clsRWLibrary::LibraryAnalysis() {}

// Fills the thumbnail cache with every stored thumbnail.
void clsRWLibrary::LoadThumbnails() {
  ThumbnailCache.Clear();
  ThumbnailCache.Add(LoadResData(QStringLiteral("NO_THUMB"), kResCustom), 0);
}

// Paints the thumbnails of the visible results of the browser view.
void clsRWLibrary::DrawGridImages() {}

// Decodes the cached thumbnail of the segment (or its file) into the tile.
void clsRWLibrary::ThumbnailToPicture(int32_t, int32_t, QImage& Picture) {
  Picture = LoadResPicture(QStringLiteral("NO_THUMB"), kResCustom);
}

// Shows the files that may be duplicates.
void clsRWLibrary::GetPotentialDuplicates() {}

// Shows the files without a thumbnail.
void clsRWLibrary::GetMissingThumnails() {}

// Shows the files that cannot be found.
void clsRWLibrary::GetMissingFiles() {}

// Empties the current view.
void clsRWLibrary::ClearSearch() {}
