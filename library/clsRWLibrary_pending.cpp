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
