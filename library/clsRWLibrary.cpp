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


clsRWLibrary::clsRWLibrary() {
  gHistory.assign(1, HistoryEntry{});
  m_HistoryIndex = 0;
  m_RecordHistory = true;
  LibraryPath = gPlaceholderLibraryPath;
  ThumbnailPolicy = static_cast<int16_t>(modRegistry::GetSettingLong(kRegOther, QStringLiteral("ThumbnailPolicy")));
  m_Connection = gFactory.OpenConnection(LibraryPath);
  // Pictures are decoded into surfaces of their own, so a caller may keep one
  // while the next is decoded; no shared tile surface is needed.
  m_JpegCodec = gFactory.NewJpegCodec();
}

clsRWLibrary::~clsRWLibrary() = default;

bool clsRWLibrary::Unsaved() const { return LibraryPath == gPlaceholderLibraryPath; }
