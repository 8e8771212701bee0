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
int32_t gBrowserMode = 1;
int32_t gBrowserIndex = 0;
bool gPlayQueueBuilt = false;
ResultItem gCurrentItem;
ResultItem gInspectedItem;
ResultItem gSavedItem;
ResultItem gHoverItem;
std::vector<HistoryEntry> gHistory(1);
QString gViewDescription;
bool gCategoryMenuBuilt = false;
QString gTagCloudCategories;


namespace {

// The view of a library object that no window shows: it shows nothing and
// has no tree.
class NoLibraryView final : public ILibraryView {
 public:
  void ShowProgress(const QString&, int32_t) override {}
  void SetProgressMax(int32_t) override {}
  void ProgressOff() override {}
  void ShowBusyIndicator(bool) override {}
  void SetBrowserControlsEnabled(bool) override {}
  void Repaint() override {}
  void ShowLibraryCaption(const QString&) override {}
  void ShowLibraryLoaded(bool) override {}
  void SetLoadingState(bool&) override {}
  ctl::TreeView* LibraryTree() override { return nullptr; }
  void StartTreeEditTimer() override {}
  void ClearHistoryCombo() override {}
  void SetHistoryComboText(const QString&) override {}
  void AddHistoryComboItem(const QString&, const QString&) override {}
  int HistoryComboCount() override { return 0; }
  int HistoryComboSelectedIndex() override { return 0; }
  void AlignBrowserHistory() override {}
  void ClearHistoryMenu() override {}
  void AddHistoryMenuItem(const QString&, const QString&, const QString&) override {}
  void SetHistoryMenuCaption(int, const QString&) override {}
  void LayoutThumbnailGrid(int32_t) override {}
  void ShowSearchResults() override {}
  void DrawGridImages() override {}
  int BrowserTopRow() override { return -1; }
  void SetBrowserTopRow(int) override {}
  void ClearInspector() override {}
  void ResetInspectorHistory() override {}
  void ReleaseInspectedFile() override {}
  void ShowSegmentRating(int32_t, int16_t) override {}
  void CarouselNewResults() override {}
  void CarouselAppStartUp(bool, bool) override {}
  void CarouselSaveContext() override {}
  void ShowCarouselBusy() override {}
  void HideCarouselBusy() override {}
  void ShowTagCloud(const std::vector<TagCloudEntry>&, int32_t, const std::function<void(int)>&) override {}
};

}  // namespace

clsRWLibrary::clsRWLibrary() {
  gHistory.assign(1, HistoryEntry{});
  m_HistoryIndex = 0;
  m_RecordHistory = true;
  LibraryPath = gPlaceholderLibraryPath;
  ThumbnailPolicy = static_cast<int16_t>(modRegistry::GetSettingLong(kRegOther, QStringLiteral("ThumbnailPolicy")));
  UseConnection(gFactory.OpenConnection(LibraryPath));
  UseWorkTables();
  // Pictures are decoded into surfaces of their own, so a caller may keep one
  // while the next is decoded; no shared tile surface is needed.
  m_JpegCodec = gFactory.NewJpegCodec();
}

// The open library is remembered as upkept when the program leaves it unchanged.
clsRWLibrary::~clsRWLibrary() {
  try {
    ReleaseUpkeptFile();
  } catch (...) {
    // Without the record the next open runs the whole upkeep.
  }
  // The cache's statement goes before the connection it runs on.
  ThumbnailCache.Attach(nullptr);
}

void clsRWLibrary::UseConnection(std::unique_ptr<SqlConnection> connection) {
  // A rename begun in the tree names its node by key in the library open
  // until now; it ends here, so that its name, handed on by the tree once
  // its editor has gone, is never written into another library.
  gPendingRenameNode = nullptr;
  ThumbnailCache.Attach(nullptr);
  m_Connection = std::move(connection);
  ++m_ConnectionCount;
  m_SearchIndexesMade = false;
  ThumbnailCache.Attach(m_Connection.get());
}

void clsRWLibrary::SetView(ILibraryView* view) { m_View = view; }

ILibraryView& clsRWLibrary::View() const {
  static NoLibraryView none;
  return m_View ? *m_View : none;
}

bool clsRWLibrary::Unsaved() const { return LibraryPath == gPlaceholderLibraryPath; }
