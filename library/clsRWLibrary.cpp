// The library object's creation and the state it shares with the program.
#include "library/clsRWLibrary.h"

#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/HistoryEntry.h"
#include "library/ResultItem.h"
#include "library/cFactory.h"

std::unique_ptr<clsRWLibrary> gLibrary;

std::vector<ResultItem> gResults(1);
SelectionFlags gSelectedById;
ResultItem gCurrentItem;
ResultItem gInspectedItem;
ResultItem gSavedItem;
ResultItem gHoverItem;
std::vector<HistoryEntry> gHistory(1);
QString gViewDescription;

namespace {

constexpr int kTileWidth = 100;
constexpr int kTileHeight = 75;

}  // namespace

clsRWLibrary::clsRWLibrary() {
  gHistory.assign(1, HistoryEntry{});
  m_HistoryIndex = 0;
  m_RecordHistory = true;
  LibraryPath = gPlaceholderLibraryPath;
  ThumbnailPolicy = static_cast<int16_t>(modRegistry::GetSettingLong(kRegOther, QStringLiteral("ThumbnailPolicy")));
  m_Connection = gFactory.OpenConnection(LibraryPath);
  m_TileSurface = gFactory.NewSurface(kTileWidth, kTileHeight);
  m_JpegCodec = gFactory.NewJpegCodec();
  m_TileWidth = m_TileSurface->Width();
  m_TileArea = m_TileSurface->Width() * m_TileSurface->Height();
}

clsRWLibrary::~clsRWLibrary() = default;

bool clsRWLibrary::Unsaved() const { return LibraryPath == gPlaceholderLibraryPath; }
