// The steps of a view: a tag step (BuildSearchResults) or an attribute or
// text step (ExecuteSearch) changes SearchResults with one statement, adds
// itself to the view spec, the view description and the history combo, and
// is recorded in the view history. Fetching and showing the rows is left to
// the caller.
#include "library/clsRWLibrary.h"

#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "library/HistoryEntry.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "platform/RWError.h"
#include "platform/controls/TreeView.h"

namespace {

const QString kIdentifying = QStringLiteral("Identifying Requested Files...");

// The text of the library tree's node under `key`; a missing node raises
// the tree's own error (35601).
QString TreeNodeText(ctl::TreeView* tree, const QString& key) {
  if (!tree) return QString();
  return tree->Nodes.Item(key).Text();
}

// What a search step is called in the view description and the history
// combo. A text step's description also becomes its caption.
QString SearchDescription(ctl::TreeView* tree, const QString& searchSpec, QString& caption) {
  const QString kind = searchSpec.mid(1, 1);
  if (kind == QLatin1String("D")) {
    const QDate since = ViewSpec::DateAddedSince(searchSpec, ViewSpec::SearchToday());
    return QStringLiteral("Files added to Library since ") + ShownNumbers::Date(since);
  }
  if (kind == QLatin1String("I")) return caption;
  if (kind == QLatin1String("C") || kind == QLatin1String("R")) return searchSpec.mid(3);
  if (kind == QLatin1String("M")) return TreeNodeText(tree, QStringLiteral("M-") + searchSpec.mid(3));
  caption = ViewSpec::TextDescription(ViewSpec::ParseTextSearch(searchSpec));
  return caption;
}

void AddHistoryComboItem(ILibraryView& view, const QString& description, const QString& op, int64_t changed,
                         const QString& letter) {
  const QString image = ViewSpec::IsOperator(op) ? op + letter : QString();
  view.AddHistoryComboItem(ViewSpec::HistoryComboText(description, op, changed), image);
}

}  // namespace

void clsRWLibrary::BuildSearchResults(const QString& Op, const QString& Key, bool KeepSelection,
                                      const QString& Caption) {
  ResultCount = 0;
  gCurrentItem.SegmentID = 0;
  if (!Key.startsWith(QLatin1String("ID"))) return;
  ShowProgress(kIdentifying, 0);
  ctl::TreeView* tree = View().LibraryTree();
  const ctl::Node* node = tree ? tree->Nodes.Find(Key) : nullptr;
  QString tagId = Key;
  tagId.remove(QStringLiteral("ID"));
  // A step that cannot be read is reported once and changes no rows; it is
  // still added to the view, as every step is.
  QString statement;
  ErrorGuard step(Reporting());
  const bool ready = step.Run([&] {
    statement = ViewSpec::TagStatement(Op, tagId, gResultKind, gOnlineFilter);
    GatherTagFamily(tagId);
  });
  if (Op == QLatin1String("_")) step.Run([this] { ClearSearch(); });
  if (!KeepSelection) gSelectedById.Reset();
  int64_t changed = 0;
  if (ready) {
    step.Run([&] {
      m_SQL = statement;
      m_Connection->Execute(m_SQL);
      changed = m_Connection->RowsChanged();
    });
  }
  const QString description =
      node ? QStringLiteral(" '") + node->Text() + QStringLiteral("'") : QStringLiteral("Unable to Refresh this View!");
  AddHistoryComboItem(View(), description, Op, changed, QStringLiteral("T"));
  gViewSpec += QStringLiteral("|") + Op + QStringLiteral("T:") + tagId;
  gViewDescription += ViewSpec::TagSeparator(Op) + description;
  if (m_RecordHistory) RecordHistoryStep(Op, Caption);
}

// The tag and every tag below it, over parent and cross links alike, in one
// recursive statement (a statement per tree level joined the whole work
// table against every link once per level).
void clsRWLibrary::GatherTagFamily(const QString& tagId) {
  EnsureSearchIndexes();
  m_Connection->Execute(QStringLiteral("DELETE FROM TEMP_FileTagStructure"));
  // The tag is bound, so the statement's text is the same for every tag.
  m_SQL = QStringLiteral(
      "INSERT INTO TEMP_FileTagStructure (TagID) WITH RECURSIVE Family(TagID) AS (SELECT ?1 UNION SELECT "
      "TL.TagID FROM TagLinks TL, Family F WHERE TL.LinkedTag = F.TagID) SELECT TagID FROM Family");
  auto gather = m_Connection->Prepare(m_SQL);
  gather->Bind(1, SqlValue(tagId.toLongLong()));
  gather->Execute();
}

// Indexes of our own for the tag steps (other programs reading the file do
// not use them, though one older than SQLite 3.8 cannot read the partial
// one's definition; a file that cannot take them, read-only or locked, is
// searched without). The first lets a step start from the segments of the
// tags it looks for, holding the segment numbers themselves so the step does
// not visit the tag table's rows (a file given the one-column index earlier
// keeps that one). The second holds the whole-file row of each file, so a
// step finds a file's row with one look-up instead of reading every segment
// of the file. It is kept for the term "FileFlag IS 'Y'", which only the tag
// steps write: SQLite uses a partial index only for statements whose terms
// imply its condition, and the program's many "FileFlag = 'Y'" statements
// keep the plans and the row order they had. Once both are made for a
// connection, later steps do not ask again; a file that refused one is
// asked again at the next step (it may have been locked only for a while).
void clsRWLibrary::EnsureSearchIndexes() {
  if (m_SearchIndexesMade) return;
  bool made = true;
  for (const char* index :
       {"CREATE INDEX IF NOT EXISTS rw2_SegmentTags_TagID ON SegmentTags (TagID, SegmentID)",
        "CREATE INDEX IF NOT EXISTS rw2_VideoSegments_WholeFile ON VideoSegments (FileID, FileFlag) WHERE FileFlag IS 'Y'"}) {
    const ErrorReport passedOver{.quiet = true, .passOverFaults = {FaultKind::Busy, FaultKind::ReadOnly}};
    if (!ErrorGuard(passedOver).Run([this, index] { m_Connection->Execute(QString::fromLatin1(index)); })) {
      made = false;
    }
  }
  m_SearchIndexesMade = made;
}

void clsRWLibrary::ExecuteSearch(const QString& Op, const QString& Step, const QString& Caption) {
  QString caption = Caption;
  SearchStep(Op, Step, caption);
}

void clsRWLibrary::SearchStep(const QString& op, const QString& searchSpec, QString& caption) {
  QString description;
  ErrorGuard step(Reporting());
  step.Run([&] { description = SearchDescription(View().LibraryTree(), searchSpec, caption); });
  if (op == QLatin1String("_")) step.Run([this] { ClearSearch(); });
  ShowProgress(kIdentifying, 0);
  gViewSpec += QStringLiteral("|") + op + searchSpec;
  gViewDescription += QStringLiteral(" '") + description + QStringLiteral("'");
  if (m_RecordHistory) RecordHistoryStep(op, caption);
  const bool ready = step.Run([&] {
    m_SQL = ViewSpec::SearchStatement(op, searchSpec, gResultKind, gOnlineFilter, ViewSpec::SearchToday());
  });
  gSelectedById.Reset();
  int64_t changed = 0;
  // A text step without any place to look in matches nothing.
  if (ready && !m_SQL.isEmpty()) {
    step.Run([&] {
      m_Connection->Execute(m_SQL);
      changed = m_Connection->RowsChanged();
    });
  }
  AddHistoryComboItem(View(), description, op, changed, ViewSpec::SearchImageLetter(searchSpec));
  ProgressOff();
}
