// The tag tree's rows: tags, links between them, deleting a branch, and the
// columns derived from where each node sits.
#include "library/TagStore.h"
#include "library/TagStore_Placement.h"

#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"

namespace TagStore {

namespace {

const QString kSource = QStringLiteral("clsRWLibrary");
constexpr int32_t kErrTypeMismatch = 13;

// A TagID written as text (a tree key's rest, a parent id); anything else is a
// type mismatch, raised before any statement runs.
int32_t TagIdFromText(const QString& text) {
  bool ok = false;
  const int32_t id = text.trimmed().toInt(&ok);
  if (!ok) throw RWError(kErrTypeMismatch, QStringLiteral("Type mismatch"), kSource);
  return id;
}

bool Exists(SqlConnection& db, const QString& sql) { return SqlRecordset(db, sql).RecordCount() > 0; }

QString Number(int64_t value) { return QString::number(value); }

}  // namespace

// An accented letter takes the key of its base letter ("É" is E's 3), so that
// type-ahead finds a name by the keys its letters are printed on; the
// letters with a stroke, which Unicode does not decompose, are read as their
// base letter too. Any other character is left as it is.
QString ConvertToT9(const QString& text) {
  static const char kDigits[] = "22233344455566677778889999";  // A to Z
  const auto isBase = [](QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); };
  QString digits = text.toUpper();
  for (QChar& c : digits) {
    QChar base = c;
    while (!isBase(base) && base.decompositionTag() == QChar::Canonical) base = base.decomposition().at(0).toUpper();
    if (base == QChar(0x00D8)) base = QLatin1Char('O');  // Ø
    if (base == QChar(0x0141)) base = QLatin1Char('L');  // Ł
    if (base == QChar(0x0110)) base = QLatin1Char('D');  // Đ
    if (isBase(base)) c = QLatin1Char(kDigits[base.unicode() - 'A']);
  }
  return digits;
}

ParentLinkCheck CheckParentLink(SqlConnection& db, int32_t tag, int32_t parent, bool moving) {
  if (tag == parent) return ParentLinkCheck::SameTag;
  // The parent, or any node above it, being the tag itself closes a circle.
  // UNION (not UNION ALL) ends the walk even where old links already circle.
  const QString ancestors = QStringLiteral(
                                "WITH RECURSIVE Up(TagID) AS (SELECT %1 UNION SELECT TL.LinkedTag FROM TagLinks TL, Up "
                                "WHERE TL.TagID = Up.TagID AND TL.Relationship = 'P') SELECT 1 FROM Up WHERE TagID = %2")
                                .arg(Number(parent), Number(tag));
  if (Exists(db, ancestors)) return ParentLinkCheck::ClosesCycle;
  if (!moving && Exists(db, QStringLiteral("SELECT 1 FROM TagLinks WHERE TagID = %1 AND Relationship = 'P' AND "
                                           "LinkedTag <> %2")
                                .arg(Number(tag), Number(parent)))) {
    return ParentLinkCheck::SecondParent;
  }
  return ParentLinkCheck::Allowed;
}

QString ParentLinkRefusal(ParentLinkCheck check) {
  switch (check) {
    case ParentLinkCheck::ClosesCycle:
      return QStringLiteral("This operation has been denied as an item cannot be placed below itself or one of "
                            "the items it contains.");
    case ParentLinkCheck::SecondParent:
      return QStringLiteral("This operation has been denied as the item already has a parent. Move it instead.");
    default:
      return QString();
  }
}

int32_t CreateTag(SqlConnection& db, const QString& name, const QString& type, const QString& parent) {
  const bool hasParent = !parent.isEmpty();
  const int32_t parentId = hasParent ? TagIdFromText(parent) : 0;
  if (hasParent && !Exists(db, QStringLiteral("SELECT 1 FROM Tags WHERE TagID = ") + Number(parentId))) {
    throw RWError(kErrInvalidArgument, QStringLiteral("The parent item %1 does not exist").arg(parentId), kSource);
  }
  // One transaction, so a failed link never leaves a stray top-level tag.
  TransactionGuard guard(db, QStringLiteral("CreateTag"));
  SqlRecordset tag(db, QStringLiteral("SELECT * from Tags WHERE 1=0"));
  tag.AddNew();
  tag.Fields(QStringLiteral("Tag")).SetValue(name);
  tag.Fields(QStringLiteral("Type")).SetValue(type);
  tag.Fields(QStringLiteral("T9Text")).SetValue(ConvertToT9(name));
  tag.Update();
  const int32_t tagId = db.LastInsertRowNumber();
  if (hasParent) {
    const ParentLinkCheck check = CheckParentLink(db, tagId, parentId);
    if (check != ParentLinkCheck::Allowed) throw RWError(kErrInvalidArgument, ParentLinkRefusal(check), kSource);
    SqlRecordset link(db, QStringLiteral("SELECT * from TagLinks WHERE 1=0"));
    link.AddNew();
    link.Fields(QStringLiteral("TagID")).SetValue(tagId);
    link.Fields(QStringLiteral("LinkedTag")).SetValue(parentId);
    link.Fields(QStringLiteral("Relationship")).SetValue(QStringLiteral("P"));
    link.Update();
  }
  guard.Commit();
  return tagId;
}

LinkOutcome CreateTagRelationship(SqlConnection& db, int32_t tag, int32_t linked, const QString& relationship) {
  LinkOutcome outcome;
  if (tag == linked) {
    outcome.check = ParentLinkCheck::SameTag;
    return outcome;
  }
  if (relationship == QLatin1String("P")) {
    outcome.check = CheckParentLink(db, tag, linked);
    if (outcome.check != ParentLinkCheck::Allowed) return outcome;
  }
  try {
    TransactionGuard guard(db, QStringLiteral("TagLink"));
    db.Execute(QStringLiteral("INSERT INTO TagLinks (TagID, LinkedTag, Relationship) VALUES(%1, %2, %3)")
                   .arg(Number(tag), Number(linked), SqlQuote(relationship)));
    // A segment that carries both keeps only `tag`, which now implies `linked`.
    db.Execute(QStringLiteral("DELETE FROM SegmentTags WHERE TagID = %2 AND TagID IN "
                              "(SELECT LinkedTag from TagLinks WHERE TagID = %1 AND TagID IN "
                              "(SELECT TagID FROM SegmentTags ST WHERE ST.TagID = %1 AND "
                              "ST.SegmentID = SegmentTags.SegmentID));")
                   .arg(Number(tag), Number(linked)));
    guard.Commit();
    outcome.stored = true;
  } catch (const RWError& error) {
    // The pair is linked already (either letter): nothing to do, nothing to say.
    if (!SqlConnection::IsKeyConflict(error)) throw;
  }
  return outcome;
}

void DeleteTagRelationship(SqlConnection& db, int32_t a, int32_t b) {
  db.Execute(QStringLiteral("DELETE FROM TagLinks WHERE (TagID = %1 AND LinkedTag = %2) OR "
                            "(TagID = %2 AND LinkedTag = %1)")
                 .arg(Number(a), Number(b)));
}

void DeleteTreeNode(SqlConnection& db, const QString& key) {
  const int32_t tagId = TagIdFromText(key.mid(2));
  TransactionGuard guard(db, QStringLiteral("DelNode"));
  db.Execute(QStringLiteral("DELETE FROM TEMP_FileTagStructure"));
  db.Execute(QStringLiteral("INSERT INTO TEMP_FileTagStructure (TagID) VALUES (") + Number(tagId) + QLatin1Char(')'));
  // Children as the tree shows them: a playlist sits under "Saved Playlists"
  // and the fixed nodes at the top, whatever their parent links say.
  const QString children = QStringLiteral(
      "INSERT INTO TEMP_FileTagStructure (TagID) SELECT DISTINCT TL.TagID FROM TagLinks TL, "
      "TEMP_FileTagStructure FTS WHERE TL.LinkedTag = FTS.TagID AND TL.Relationship = 'P' AND TL.TagID > 4 "
      "AND NOT EXISTS (SELECT 1 FROM Tags T WHERE T.TagID = TL.TagID AND T.Type = 'L') "
      "AND NOT EXISTS (SELECT 1 FROM TEMP_FileTagStructure WHERE TagID = TL.TagID)");
  do {
    db.Execute(children);
  } while (db.RowsChanged() > 0);
  const QString inBranch = QStringLiteral(" WHERE EXISTS (SELECT 1 FROM TEMP_FileTagStructure FTS WHERE FTS.TagID = ");
  db.Execute(QStringLiteral("DELETE FROM Tags") + inBranch + QStringLiteral("Tags.TagID)"));
  db.Execute(QStringLiteral("DELETE FROM SegmentTags") + inBranch + QStringLiteral("SegmentTags.TagID)"));
  db.Execute(QStringLiteral("DELETE FROM TagLinks") + inBranch + QStringLiteral("TagLinks.TagID)"));
  db.Execute(QStringLiteral("DELETE FROM TagLinks") + inBranch + QStringLiteral("TagLinks.LinkedTag)"));
  db.Execute(QStringLiteral("DELETE FROM Views") + inBranch + QStringLiteral("Views.TagID)"));
  guard.Commit();
}

namespace {

constexpr const char* kWriteLevels = "UPDATE Tags SET Behaviour = ?, CategoryID = ? WHERE TagID = ?";

// Every tag with its row and its lowest parent over 'P' links, as
// TagPlacement reads them: a link's ends are taken as numbers, and a
// parent that names no tag leaves the tag at the top.
std::vector<LevelTag> ReadLevelTags(SqlConnection& db) {
  std::vector<LevelTag> tags;
  SqlCommand rows(db, QStringLiteral("SELECT TagID, Type, Behaviour, CategoryID FROM Tags ORDER BY TagID"));
  while (rows.Step()) {
    tags.push_back({static_cast<int32_t>(rows.ColumnInt(0)), rows.Value(1), rows.Value(2), rows.Value(3)});
  }
  const auto placeOf = [&tags](int32_t tagId) {
    const auto found = std::ranges::lower_bound(tags, tagId, {}, &LevelTag::tagId);
    return found != tags.end() && found->tagId == tagId ? static_cast<uint32_t>(found - tags.begin()) : kNoParentTag;
  };
  SqlRecordset parents(
      db, QStringLiteral("SELECT TagID, MIN(LinkedTag) FROM TagLinks WHERE Relationship = 'P' GROUP BY TagID"));
  for (; !parents.Eof(); parents.MoveNext()) {
    const uint32_t child = placeOf(parents.Value(0).toInt());
    if (child != kNoParentTag) tags[child].parent = placeOf(parents.Value(1).toInt());
  }
  return tags;
}

}  // namespace

void WriteTagLevels(SqlConnection& db, const std::vector<LevelTag>& tags, const std::function<void(int)>& progress) {
  constexpr size_t kReportEvery = 512;
  const std::vector<TagPlacement::Derived> derived = DeriveLevels(tags);
  TransactionGuard guard(db, QStringLiteral("SNB"));
  // Prepared once, at the first row that changes: a tree whose levels are as
  // stored (the usual rebuild) writes nothing.
  std::unique_ptr<SqlCommand> write;
  for (size_t i = 0; i < tags.size(); ++i) {
    if (progress && i % kReportEvery == kReportEvery - 1) progress(static_cast<int>(i));
    const LevelTag& tag = tags[i];
    const SqlValue behaviour = derived[i].underTag ? SqlValue(QStringLiteral("T")) : tag.type;
    const SqlValue category = derived[i].categoryId ? SqlValue(derived[i].categoryId) : SqlValue();
    if (tag.behaviour == behaviour && tag.categoryId == category) continue;
    if (!write) write = db.Prepare(QLatin1String(kWriteLevels));
    write->Bind(1, behaviour);
    write->Bind(2, category);
    write->Bind(3, tag.tagId);
    write->Execute();
  }
  guard.Commit();
}

void SetNodeBehaviours(SqlConnection& db, bool onlyUnset) {
  if (!onlyUnset) {
    // Every row is derived: the tags and links are read once, in two plain
    // reads, and placed by their places in the list.
    WriteTagLevels(db, ReadLevelTags(db));
    return;
  }
  TransactionGuard guard(db, QStringLiteral("SNB"));
  db.Execute(QStringLiteral("UPDATE Tags Set Behaviour = Type WHERE Behaviour IS NULL"));
  SqlRecordset rows(db, QStringLiteral("SELECT TagID, Behaviour, CategoryID FROM Tags WHERE CategoryID IS NULL"));
  // The full placement reads every tag and link at once. The few rows an open
  // usually has to place (the fixed nodes, tags new since) are followed up
  // one by one instead: the tags they ask about are read as needed.
  constexpr int kFewRows = 32;
  const TagPlacement placement = rows.RecordCount() <= kFewRows ? TagPlacement(db, {}) : TagPlacement(db);
  std::unique_ptr<SqlCommand> write;
  for (; !rows.Eof(); rows.MoveNext()) {
    const TagPlacement::Derived derived = placement.Derive(rows.Value(0).toInt());
    const SqlValue behaviour = derived.underTag ? SqlValue(QStringLiteral("T")) : rows.Value(1);
    const SqlValue category = derived.categoryId ? SqlValue(derived.categoryId) : SqlValue();
    if (rows.Value(1) == behaviour && rows.Value(2) == category) continue;
    if (!write) write = db.Prepare(QLatin1String(kWriteLevels));
    write->Bind(1, behaviour);
    write->Bind(2, category);
    write->Bind(3, rows.Value(0));
    write->Execute();
  }
  guard.Commit();
}

}  // namespace TagStore
