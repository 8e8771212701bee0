// The view history behind Back, Forward and the "HISTORY" menu, and the
// operations that run a whole view: ShowView (a view spec), HistoryIndex (an
// entry of the history), RefreshResults (the current view again) and
// ClearSearch (a new view).
#include "library/clsRWLibrary.h"

#include "core/modReelwise.h"
#include "library/HistoryEntry.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "platform/RWError.h"

namespace {

const QString kPlusFilters = QStringLiteral("  [plus Filters]");

// The busy display for the length of a scope.
class BusyScope {
 public:
  explicit BusyScope(ILibraryView& view) : view_(view) { view_.ShowBusyIndicator(true); }
  ~BusyScope() { view_.ShowBusyIndicator(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  ILibraryView& view_;
};

// A replay does not touch the history; recording is back on however the
// replay ends.
class RecordingOff {
 public:
  explicit RecordingOff(bool& record) : record_(record) { record_ = false; }
  ~RecordingOff() { record_ = true; }
  RecordingOff(const RecordingOff&) = delete;
  RecordingOff& operator=(const RecordingOff&) = delete;

 private:
  bool& record_;
};

// The segment of the carousel's front card; 0 outside the carousel.
int32_t FrontCardSegment() {
  if (gBrowserMode != 3 || gBrowserIndex < 1 || static_cast<size_t>(gBrowserIndex) >= gResults.size()) return 0;
  return gResults[static_cast<size_t>(gBrowserIndex)].SegmentID;
}

// The front card on the segment's result among the rows fetched anew, where
// it is one of them; else the carousel starts from the first, as it does
// for new results.
void PutFrontCardOn(int32_t segmentId) {
  for (size_t i = 1; i < gResults.size(); ++i) {
    if (gResults[i].SegmentID == segmentId) {
      gBrowserIndex = static_cast<int32_t>(i);
      return;
    }
  }
}

bool HasEntry(int index) { return index > 0 && static_cast<size_t>(index) < gHistory.size(); }

// The entry at `index`; entry 0 when the history was emptied under us.
HistoryEntry& EntryAt(int index) {
  if (gHistory.empty()) gHistory.resize(1);
  return gHistory[HasEntry(index) ? static_cast<size_t>(index) : 0];
}

}  // namespace

// A "_" step opens a new entry; the steps after it update that entry. The
// first step of an empty history opens one whatever its operator, so every
// step lands in an entry the menu shows.
void clsRWLibrary::RecordHistoryStep(const QString& op, const QString& caption) {
  if (op == QLatin1String("_") || !HasEntry(m_HistoryIndex)) {
    const auto n = static_cast<int16_t>(gHistory.size());
    gHistory.emplace_back();
    m_HistoryIndex = n;
    m_LastHistoryIndex = n;
    View().AddHistoryMenuItem(QStringLiteral("Item%1").arg(n), caption, gViewSpec);
  }
  HistoryEntry& entry = EntryAt(m_HistoryIndex);
  if (!caption.isEmpty()) {
    entry.Caption = caption;
  } else {
    entry.Caption.remove(kPlusFilters);
    entry.Caption += kPlusFilters;
  }
  entry.ViewSpec = gViewSpec;
  entry.Description = gViewDescription;
  View().SetHistoryMenuCaption(m_HistoryIndex, entry.Caption);
}

void clsRWLibrary::ShowView(const QString& Spec, const QString& Caption) {
  QString caption = Caption;
  RunView(Spec, caption);
}

// Every step of the spec in one transaction, then the rows fetched and
// shown. The caption passes from step to step: a text step replaces it.
void clsRWLibrary::RunView(const QString& spec, QString& caption) {
  const BusyScope busy(View());
  TransactionGuard transaction(*m_Connection, QStringLiteral("SV"));
  for (const QString& step : ViewSpec::Steps(spec)) {
    const QString op = step.left(1);
    const QString kind = step.mid(1, 1);
    if (kind == QLatin1String("T")) {
      BuildSearchResults(op, QStringLiteral("ID") + step.mid(3), false, caption);
    } else if (kind == QLatin1String("?")) {
      SearchStep(op, step.mid(1), caption);
    }
  }
  FetchSearchResults();
  ShowSearchResults();
  transaction.Commit();
  View().AlignBrowserHistory();
}

void clsRWLibrary::SetHistoryIndex(int16_t& n) {
  const auto last = static_cast<int16_t>(gHistory.size() - 1);
  if (n < 1) n = 1;
  if (n > last) n = last;
  if (n == m_HistoryIndex) return;
  m_HistoryIndex = n;
  const RecordingOff replay(m_RecordHistory);
  gViewSpec = EntryAt(n).ViewSpec;
  // A text step of the view rewrites the entry's caption; its menu item
  // keeps the text it has.
  QString caption = EntryAt(n).Caption;
  RunView(gViewSpec, caption);
  EntryAt(n).Caption = caption;
}

bool clsRWLibrary::NoFurtherHistory() const { return m_HistoryIndex == static_cast<int>(gHistory.size()) - 1; }

// Runs the current view again up to the step selected in the history combo,
// keeping the selection and the scroll position. The steps and the fetch
// report their own errors; nothing else here is worth a message.
void clsRWLibrary::RefreshResults(bool keepFrontCard) {
  if (View().HistoryComboCount() == 0) return;
  const int32_t front = keepFrontCard ? FrontCardSegment() : 0;
  const ErrorReport nothing{.quiet = true};
  ErrorGuard(nothing).Run([&] {
    int last = 1;
    ErrorGuard(nothing).Run([&] { last = View().HistoryComboSelectedIndex(); });
    const QStringList steps = ViewSpec::Steps(gViewSpec);
    const int topRow = View().BrowserTopRow();
    {
      const BusyScope busy(View());
      TransactionGuard transaction(*m_Connection, QStringLiteral("RR"));
      QString caption = EntryAt(m_HistoryIndex).Caption;
      {
        const RecordingOff replay(m_RecordHistory);
        for (int i = 1; i <= steps.size() && i <= last; ++i) {
          const QString& step = steps[i - 1];
          const QString op = step.left(1);
          if (step.mid(1, 1) == QLatin1String("?")) {
            SearchStep(op, step.mid(1), caption);
          } else {
            BuildSearchResults(op, QStringLiteral("ID") + step.mid(3), true, caption);
          }
        }
      }
      EntryAt(m_HistoryIndex).Caption = caption;
      FetchSearchResults();
      if (front != 0) PutFrontCardOn(front);
      ShowSearchResults();
      transaction.Commit();
      View().AlignBrowserHistory();
    }
    if (topRow >= 0) View().SetBrowserTopRow(topRow);
  });
}

void clsRWLibrary::ClearSearch() {
  gViewSpec.clear();
  gViewDescription.clear();
  View().ClearHistoryCombo();
  m_SQL = QStringLiteral("DELETE FROM SearchResults");
  m_Connection->Execute(m_SQL);
  View().CarouselNewResults();
}
