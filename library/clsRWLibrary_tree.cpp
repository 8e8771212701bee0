// The library tree: every node rebuilt from the library file (the tag
// hierarchy, links and synonyms, and the fixed groups made up from the
// catalogue), the display order, and the storage-device nodes.
//
// A node's key names its family ("ID" & TagID, "LINK" & TagID & "-" &
// LinkedTag, "R-", "D-", "F-", "M-" and the group keys); its image key names
// its kind. Other parts of the program find nodes by key and act by image.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "devices/StorageDevice.h"
#include "library/FormatIndex.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/TreeView.h"
#include "ui/SchemeColours.h"
#include "ui/modReelwise_drawing.h"

#include <QStringBuilder>
#include <QStringList>

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <map>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kRed = 255;

struct FixedNode {
  const char* parent;  // empty: the top level
  const char* key;
  const char* text;
  const char* image;
};

// The fixed groups in the order they are added; dates and ratings keep it.
constexpr FixedNode kGroups[] = {{"", "ID-1", "Untagged", "UNTAGGED"},
                                 {"", "DISKS", "Storage Devices", "MEDIAFOLDER"},
                                 {"", "DATES", "Date Added", "DATEFOLDER"},
                                 {"DATES", "D-00d", "Today", "DATE"},
                                 {"DATES", "D-03d", "Past 3 Days", "DATE"},
                                 {"DATES", "D-07d", "Past Week", "DATE"},
                                 {"DATES", "D-01m", "Past Month", "DATE"},
                                 {"DATES", "D-03m", "Past 3 Months", "DATE"},
                                 {"DATES", "D-06m", "Past 6 Months", "DATE"},
                                 {"DATES", "D-01yyyy", "Past Year", "DATE"},
                                 {"DATES", "D-02yyyy", "Past 2 Years", "DATE"},
                                 {"DATES", "D-03yyyy", "Past 3 Years", "DATE"},
                                 {"", "RATINGS", "Ratings", "RATINGFOLDER"},
                                 {"RATINGS", "R-5", "5", "STAR"},
                                 {"RATINGS", "R-4", "4", "STAR"},
                                 {"RATINGS", "R-3", "3", "STAR"},
                                 {"RATINGS", "R-2", "2", "STAR"},
                                 {"RATINGS", "R-1", "1", "STAR"},
                                 {"RATINGS", "R-0", "Unrated", "UNSTAR"}};

// Made in one piece, as every tag of the tree needs its key.
QString TagKey(int64_t tagId) {
  char key[24] = "ID";
  const char* end = std::to_chars(key + 2, key + sizeof key, tagId).ptr;
  return QString::fromLatin1(key, end - key);
}

// A text's units, compared in line: the build looks at the type and the
// image of every tag more than once.
std::u16string_view Units(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.constData()), static_cast<size_t>(text.size())};
}

QString ImageOfTagType(const QString& type) {
  const std::u16string_view units = Units(type);
  if (units == u"F") return QStringLiteral("FOLDERCLOSED");
  if (units == u"C") return QStringLiteral("CATEGORY");
  if (units == u"L") return QStringLiteral("PLAYLIST");
  if (units == u"S") return QStringLiteral("SEARCH");
  if (units == u"V") return QStringLiteral("VIEW");
  return QStringLiteral("TAG");
}

// An error of the tree build is shown as "number - description", and the
// build goes on with its next step.
void TreeStep(const std::function<void()>& work) {
  ErrorGuard({.owner = ProgramMessageOwner(), .text = ErrorGuard::Numbered(QStringLiteral(" - "))}).Run(work);
}

// Adds a node at the top level (empty parent) or under `parent`. A node whose
// parent is not in the tree, or whose key is taken, is left out: one bad row
// must not cost the rest of the tree.
ctl::Node* AddNode(ctl::TreeView& tree, const QString& parent, const QString& key, const QString& text,
                   const QString& image) {
  if (tree.Nodes.Exists(key)) return nullptr;
  if (parent.isEmpty()) return tree.Nodes.Add(QString(), ctl::tvwLast, key, text, image);
  if (!tree.Nodes.Exists(parent)) return nullptr;
  return tree.Nodes.Add(parent, ctl::tvwChild, key, text, image);
}

void SetImage(ctl::TreeView& tree, const QString& key, const QString& image) {
  if (ctl::Node* node = tree.Nodes.Find(key)) node->SetImage(image);
}

void SetForeColor(ctl::TreeView& tree, const QString& key, COLORREF colour) {
  if (ctl::Node* node = tree.Nodes.Find(key)) node->SetForeColor(colour);
}

void UpdateExpandIcon(ctl::TreeView& tree, ctl::Node* node) {
  int16_t state = 0;
  modReelwise::UpdateNodeExpandIcon(&tree, node, state);
}

// A tag as the tree shows it.
struct TagText {
  QString tag;
  QString type;
  bool hasParentLink = false;  // it hangs below another tag (or below nothing)
  bool hasChildren = false;    // some parent link names it, even one from a missing tag
  uint32_t place = 0;          // in the order of type and name
  ctl::Node* node = nullptr;   // once a level has shown it
};

// The tag hierarchy read once: every tag by TagID, the parent links between
// existing tags in the order a level shows the children (the child's type and
// name, then parent, then child), and the 'L' links between existing tags.
struct TagHierarchy {
  std::vector<int64_t> tagIds;  // by TagID
  std::unordered_map<int64_t, TagText> tags;
  std::vector<std::pair<int64_t, int64_t>> childParent;
  // The places in childParent of each parent's links, in their order there:
  // a level finds its children without a pass over every link.
  std::unordered_map<int64_t, std::vector<uint32_t>> linksOfParent;
  std::vector<std::pair<int64_t, int64_t>> crossLinks;  // tag, linked tag; in the order of the file
  // Some parent link has an end that is not a tag: only the library file can
  // then tell whether the links go round in a circle.
  bool linksOutsideTags = false;
};

// A tag's type and name as the places are sorted: the type by its rank
// among the types, the name by its units, of which the first eight are also
// held in two numbers. Most names differ within their first eight units, and
// names that share them are compared from the ninth on.
constexpr size_t kHeadUnits = 8;

struct PlaceEntry {
  uint64_t group;                // the type's rank, then the name's storage class
  std::array<uint64_t, 2> head;  // the first eight units, four to a number, missing ones as 0
  std::u16string_view name;
  TagText* tag;
};

bool PlaceBefore(const PlaceEntry& a, const PlaceEntry& b) {
  if (a.group != b.group) return a.group < b.group;
  if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
  if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
  // Missing units count as 0 in the heads, so a short name needs the whole
  // comparison, its length included.
  if (a.name.size() < kHeadUnits || b.name.size() < kHeadUnits) return a.name < b.name;
  return a.name.substr(kHeadUnits) < b.name.substr(kHeadUnits);
}

// Gives each tag its place in the order of type and name, as SQLite orders
// them; tags of one type and name share a place. The types are few, so each
// is ranked once.
void PlaceByTypeAndName(const std::vector<std::pair<TagText*, std::pair<SqlOrderKey, SqlOrderKey>>>& typesAndNames) {
  const auto keyLess = [](const SqlOrderKey& a, const SqlOrderKey& b) { return Compare(a, b) < 0; };
  std::map<SqlOrderKey, uint64_t, decltype(keyLess)> typeRanks(keyLess);
  for (const auto& [tag, key] : typesAndNames) typeRanks.try_emplace(key.first, 0);
  uint64_t rank = 0;
  for (auto& entry : typeRanks) entry.second = rank++;
  std::vector<PlaceEntry> entries;
  entries.reserve(typesAndNames.size());
  for (const auto& [tag, key] : typesAndNames) {
    const SqlOrderKey& name = key.second;
    const std::u16string_view units(reinterpret_cast<const char16_t*>(name.units.constData()),
                                    static_cast<size_t>(name.units.size()));
    std::array<uint64_t, 2> head{};
    for (size_t i = 0; i < kHeadUnits; ++i) head[i / 4] = head[i / 4] << 16 | (i < units.size() ? units[i] : 0);
    entries.push_back(
        {typeRanks.find(key.first)->second << 2 | static_cast<uint64_t>(name.storageClass), head, units, tag});
  }
  std::ranges::sort(entries, PlaceBefore);
  uint32_t place = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0 && PlaceBefore(entries[i - 1], entries[i])) ++place;
    entries[i].tag->place = place;
  }
}

// Two plain reads, the tags and every link, put in order here: sorting the
// links in the query by their child's type and name cost more than all the
// rest of the tree. A link's end is a tag only when it is an integer that is
// some tag's number. The rows are stepped through, not held in a recordset:
// each goes straight into the hierarchy.
TagHierarchy ReadTagHierarchy(SqlConnection& db) {
  TransactionGuard guard(db, QStringLiteral("PT"));
  TagHierarchy hierarchy;
  std::vector<std::pair<TagText*, std::pair<SqlOrderKey, SqlOrderKey>>> typesAndNames;
  SqlCommand tags(db, QStringLiteral("SELECT TagID, Tag, Type FROM Tags ORDER BY TagID"));
  while (tags.Step()) {
    const int64_t tagId = tags.ColumnInt(0);
    const SqlValue name = tags.Value(1);
    const SqlValue type = tags.Value(2);
    hierarchy.tagIds.push_back(tagId);
    TagText& text = hierarchy.tags[tagId];  // stays where it is as the map grows
    text.tag = name.toString();
    text.type = type.toString();
    typesAndNames.emplace_back(&text, std::pair(OrderKey(type), OrderKey(name)));
  }
  SqlCommand rows(db, QStringLiteral("SELECT TagID, LinkedTag, Relationship = 'P', Relationship = 'L' FROM TagLinks"));
  const auto tagOf = [&](const SqlValue& end) {
    return end.type() == SqlValue::Type::Integer ? hierarchy.tags.find(end.toInt64()) : hierarchy.tags.end();
  };
  while (rows.Step()) {
    const SqlValue child = rows.Value(0);
    const SqlValue parent = rows.Value(1);
    const auto childTag = tagOf(child);
    const auto parentTag = tagOf(parent);
    const bool childIsTag = childTag != hierarchy.tags.end();
    const bool parentIsTag = parentTag != hierarchy.tags.end();
    if (rows.ColumnInt(2) == 0) {
      if (rows.ColumnInt(3) != 0 && childIsTag && parentIsTag) {
        hierarchy.crossLinks.emplace_back(child.toInt64(), parent.toInt64());
      }
      continue;
    }
    if (childIsTag) childTag->second.hasParentLink = true;
    if (parentIsTag) parentTag->second.hasChildren = true;
    if (childIsTag && parentIsTag) {
      hierarchy.childParent.emplace_back(child.toInt64(), parent.toInt64());
    } else {
      hierarchy.linksOutsideTags = true;
    }
  }
  PlaceByTypeAndName(typesAndNames);
  std::vector<std::tuple<uint32_t, int64_t, int64_t>> ordered;  // the child's place, parent, child
  ordered.reserve(hierarchy.childParent.size());
  for (const auto& [child, parent] : hierarchy.childParent) {
    ordered.emplace_back(hierarchy.tags.at(child).place, parent, child);
  }
  std::ranges::sort(ordered);
  for (size_t i = 0; i < ordered.size(); ++i) {
    hierarchy.childParent[i] = {std::get<2>(ordered[i]), std::get<1>(ordered[i])};
    hierarchy.linksOfParent[std::get<1>(ordered[i])].push_back(static_cast<uint32_t>(i));
  }
  guard.Commit();
  return hierarchy;
}

// A tag waiting on a level, with the parent it is shown below (0: the top).
struct LevelRow {
  int64_t tagId;
  int64_t parentId;
};

// One level into the tree. A tag met a second time (a second parent, or a
// circle of parent links) keeps its first node (of two parents on one level,
// the lower TagID's, as the tag's derived category has it); its repeated rows
// leave the level, so the build cannot go round a circle for ever. A row whose
// parent has no node stays without one. Each tag's node is kept with the tag
// (the tree holds no other tag nodes yet); `shown` counts them. True when a
// tag was met again.
bool AddTagLevel(TagHierarchy& hierarchy, std::vector<LevelRow>& level, ctl::TreeView& tree, size_t& shown) {
  bool repeated = false;
  std::vector<LevelRow> waiting;
  waiting.reserve(level.size());
  const auto nodeOf = [&](int64_t tagId) {
    const auto found = hierarchy.tags.find(tagId);
    return found == hierarchy.tags.end() ? nullptr : found->second.node;
  };
  for (const LevelRow& row : level) {
    TagText& tag = hierarchy.tags.at(row.tagId);
    if (tag.node) {
      repeated = true;
      continue;
    }
    waiting.push_back(row);
    // Playlists hang below the playlists' folder, whatever their parent.
    const int64_t parentId = Units(tag.type) == u"L" ? 2 : row.parentId;
    ctl::Node* parent = parentId == 0 ? nullptr : nodeOf(parentId);
    if (parentId != 0 && !parent) continue;
    tag.node = tree.Nodes.Add(parent, parent ? ctl::tvwChild : ctl::tvwLast, TagKey(row.tagId), tag.tag,
                              ImageOfTagType(tag.type));
    ++shown;
  }
  level = std::move(waiting);
  return repeated;
}

// The next level: the children of the level's tags that have any, after the
// rows still waiting, in the order of the links. A row leaves when it is at
// the top, or when its tag is the parent of a waiting row (its children are
// on their way). Only the level's own links are visited, so a hierarchy
// costs the same whether its tags stand side by side or one below another.
void DescendLevel(const TagHierarchy& hierarchy, std::vector<LevelRow>& level) {
  std::erase_if(level, [&](const LevelRow& row) { return !hierarchy.tags.at(row.tagId).hasChildren; });
  std::unordered_set<int64_t> onLevel;
  std::vector<uint32_t> links;
  for (const LevelRow& row : level) {
    if (!onLevel.insert(row.tagId).second) continue;
    const auto found = hierarchy.linksOfParent.find(row.tagId);
    if (found != hierarchy.linksOfParent.end()) links.insert(links.end(), found->second.begin(), found->second.end());
  }
  std::ranges::sort(links);
  for (const uint32_t link : links) {
    const auto& [child, parent] = hierarchy.childParent[link];
    level.push_back({child, parent});
  }
  std::unordered_set<int64_t> parents;
  for (const LevelRow& row : level) parents.insert(row.parentId);
  std::erase_if(level, [&](const LevelRow& row) { return row.parentId == 0 || parents.contains(row.tagId); });
}

// The tags that are their own ancestor over parent links.
QStringList TagsInCircles(SqlConnection& db) {
  SqlRecordset rows(
      db, QStringLiteral("WITH RECURSIVE Up(TagID, Above) AS (SELECT TagID, LinkedTag FROM TagLinks WHERE "
                         "Relationship = 'P' UNION SELECT Up.TagID, TL.LinkedTag FROM Up, TagLinks TL WHERE "
                         "TL.TagID = Up.Above AND TL.Relationship = 'P') "
                         "SELECT T.Tag FROM Tags T WHERE T.TagID IN (SELECT TagID FROM Up WHERE TagID = Above) "
                         "ORDER BY T.Tag"));
  QStringList names;
  for (; !rows.Eof(); rows.MoveNext()) names << rows.Value(0).toString();
  return names;
}

// Whether the parent links may go round in a circle. Between tags only, they
// do when not every tag can be taken away child first (a tag is taken once no
// link names it as parent any more).
bool LinksMayCircle(const TagHierarchy& hierarchy) {
  if (hierarchy.linksOutsideTags) return true;
  std::unordered_map<int64_t, int> childLinks;  // links naming the tag as parent
  std::unordered_map<int64_t, std::vector<int64_t>> parents;
  for (const auto& [child, parent] : hierarchy.childParent) {
    ++childLinks[parent];
    parents[child].push_back(parent);
  }
  std::vector<int64_t> free;
  for (const int64_t tagId : hierarchy.tagIds) {
    if (!childLinks.contains(tagId)) free.push_back(tagId);
  }
  size_t taken = 0;
  while (!free.empty()) {
    const int64_t tagId = free.back();
    free.pop_back();
    ++taken;
    for (const int64_t parent : parents[tagId]) {
      if (--childLinks[parent] == 0) free.push_back(parent);
    }
  }
  return taken < hierarchy.tagIds.size();
}

void ReportCircles(const QStringList& names) {
  if (names.isEmpty()) return;
  ShowProgramMessage(QStringLiteral("The tag hierarchy of this Library links these items below themselves:\r\n\r\n") +
                         names.join(QStringLiteral(", ")) +
                         QStringLiteral("\r\n\r\nThe tree shows each item once at most."),
                     vbExclamation, QString(), ProgramMessageOwner());
}

// The tag levels, top level first, built from the hierarchy read once: each
// pass shows its level's tags and replaces them by their children. The top
// level is every tag without a parent link (a tag that only hosts 'L' links
// is still a top-level tag). A path down the levels that does not come back
// to a tag is no longer than the number of tags; only rows that cannot get a
// node could go on past that, and they stop there.
void AddTagLevels(SqlConnection& db, TagHierarchy& hierarchy, ctl::TreeView& tree) {
  tree.Nodes.Reserve(static_cast<int>(hierarchy.tagIds.size() + std::size(kGroups)));
  std::vector<LevelRow> level;
  for (const int64_t tagId : hierarchy.tagIds) {
    if (!hierarchy.tags.at(tagId).hasParentLink) level.push_back({tagId, 0});
  }
  bool repeated = false;
  size_t shown = 0;
  for (size_t depth = 0; !level.empty() && depth <= hierarchy.tagIds.size() + 1; ++depth) {
    if (AddTagLevel(hierarchy, level, tree, shown)) repeated = true;
    DescendLevel(hierarchy, level);
  }
  // A circle of parent links shows as a repeated tag when the circle hangs
  // below the top level, and as tags without a node when it does not.
  if ((repeated || shown < hierarchy.tagIds.size()) && LinksMayCircle(hierarchy)) {
    ReportCircles(TagsInCircles(db));
  }
}

// One node per 'L' link under the tag that hosts it, named after the linked
// tag; a pair of links in both directions (synonyms) shows AKA on both nodes,
// a one-way link LINK.
void AddLinkNodes(const TagHierarchy& hierarchy, ctl::TreeView& tree) {
  for (const auto& [tagId, linkedId] : hierarchy.crossLinks) {
    const QString tag = QString::number(tagId);
    const QString linked = QString::number(linkedId);
    ctl::Node* node = AddNode(tree, TagKey(tagId), QStringLiteral("LINK%1-%2").arg(tag, linked),
                              hierarchy.tags.at(linkedId).tag, QStringLiteral("AKA"));
    if (!node) continue;
    ctl::Node* opposite = tree.Nodes.Find(QStringLiteral("LINK%1-%2").arg(linked, tag));
    if (opposite) {
      opposite->SetImage(QStringLiteral("AKA"));
    } else {
      node->SetImage(QStringLiteral("LINK"));
    }
  }
}

void AddFixedGroups(ctl::TreeView& tree) {
  for (const FixedNode& group : kGroups) {
    AddNode(tree, QLatin1String(group.parent), QLatin1String(group.key), QLatin1String(group.text),
            QLatin1String(group.image));
  }
}

// The distinct formats of the files, NULL read as the empty text, in the order
// of the first file having each (a scan of the files meets them so). With the
// format index the query steps from each format to the next and looks up the
// first file of each, so it does not grow with the number of files; a file
// opened without the index (its upkeep skipped, or refused) is scanned whole.
QString FormatsQuery(SqlConnection& db) {
  if (!FormatIndex::Exists(db)) {
    return QStringLiteral("Select DISTINCT ifnull(FileFormat,'') as FileFormat from VideoFiles");
  }
  return QStringLiteral(
      "WITH RECURSIVE Formats(Format) AS (SELECT (SELECT min(FileFormat) FROM VideoFiles) UNION ALL "
      "SELECT (SELECT min(FileFormat) FROM VideoFiles WHERE FileFormat > Formats.Format) FROM Formats "
      "WHERE Format IS NOT NULL), "
      "Firsts(Format, FirstFile) AS (SELECT Format, (SELECT min(FileID) FROM VideoFiles WHERE FileFormat = "
      "Formats.Format) FROM Formats WHERE Format IS NOT NULL UNION ALL "
      "SELECT NULL, (SELECT min(FileID) FROM VideoFiles WHERE FileFormat IS NULL)) "
      "SELECT ifnull(Format, '') AS FileFormat FROM Firsts WHERE FirstFile IS NOT NULL GROUP BY 1 "
      "ORDER BY min(FirstFile)");
}

// One node per file format; files without one share "Undetermined".
void AddFormatNodes(SqlConnection& db, ctl::TreeView& tree) {
  AddNode(tree, QString(), QStringLiteral("FORMATS"), QStringLiteral("File Formats"), QStringLiteral("FORMATS"));
  SqlRecordset rows(db, FormatsQuery(db));
  for (; !rows.Eof(); rows.MoveNext()) {
    const QString format = rows.Value(0).toString();
    const QString text = format.isEmpty() ? QStringLiteral("Undetermined") : format;
    AddNode(tree, QStringLiteral("FORMATS"), QStringLiteral("F-") + text, text, QStringLiteral("COG"));
  }
}

// A saved search's node carries its view spec (its tool tip shows it).
void TagSavedSearches(SqlConnection& db, ctl::TreeView& tree) {
  SqlRecordset rows(db, QStringLiteral("Select * from Views"));
  for (; !rows.Eof(); rows.MoveNext()) {
    if (rows.Value(QStringLiteral("Type")).toString() == QLatin1String("V")) continue;
    if (ctl::Node* node = tree.Nodes.Find(TagKey(rows.Value(QStringLiteral("TagID")).toInt64()))) {
      node->SetTag(rows.Value(QStringLiteral("ViewSpec")).toString());
    }
  }
}

void FinishNodes(ctl::TreeView& tree) {
  SetImage(tree, QStringLiteral("ID1"), QStringLiteral("UNPLAYABLE"));
  SetImage(tree, QStringLiteral("ID2"), QStringLiteral("PLFOLDER"));
  SetImage(tree, QStringLiteral("ID3"), QStringLiteral("SEARCHFOLDER"));
  SetImage(tree, QStringLiteral("ID4"), QStringLiteral("VIEWFOLDER"));
  for (const auto& node : tree.Nodes) {
    node->SetBold(Units(node->Image()) != u"LINK" && Units(node->Image()) != u"AKA");
    node->SetForeColor(gSchemeColour4);
    UpdateExpandIcon(tree, node.get());
  }
  SetForeColor(tree, QStringLiteral("ID1"), kRed);
  SetForeColor(tree, QStringLiteral("F-Undetermined"), kRed);
}

// The sort prefix of a node's kind; kinds without one of their own take the
// prefix of the node added before them, so a run of dates, formats or devices
// sorts with the group it belongs to.
// The kinds are few: a look down the list costs less than hashing the image
// key of every node.
const QString& SortPrefix(const QString& image, const QString& previous) {
  static const std::pair<std::u16string_view, QString> prefixes[] = {
      {u"TAG", QStringLiteral(" 222")},          {u"CATEGORY", QStringLiteral(" 000")},
      {u"FOLDEROPEN", QStringLiteral(" 111")},   {u"FOLDERCLOSED", QStringLiteral(" 111")},
      {u"AKA", QStringLiteral(" 333")},          {u"LINK", QStringLiteral(" 444")},
      {u"UNPLAYABLE", QStringLiteral(" 555")},   {u"UNTAGGED", QStringLiteral(" 666")},
      {u"FORMATS", QStringLiteral(" 777")},      {u"RATINGFOLDER", QStringLiteral(" 777")},
      {u"MEDIAFOLDER", QStringLiteral(" 777")},  {u"PLFOLDER", QStringLiteral(" 888")},
      {u"SEARCHFOLDER", QStringLiteral(" 888")}, {u"VIEWFOLDER", QStringLiteral(" 888")}};
  const std::u16string_view kind = Units(image);
  for (const auto& [known, prefix] : prefixes) {
    if (kind == known) return prefix;
  }
  return previous;
}

QString DeviceText(SqlRecordset& row) {
  for (const char* field : {"FriendlyName", "DiskLabel"}) {
    const SqlValue& value = row.Value(QLatin1String(field));
    if (!value.IsNull() && !value.toString().isEmpty()) return value.toString();
  }
  return row.Value(QStringLiteral("DiskSerialNo")).toString();
}

QString DeviceImage(const QString& diskType) {
  if (diskType == QLatin1String(DriveType::kOptical)) return QStringLiteral("DISK-CD");
  if (diskType == QLatin1String(DriveType::kRemovable)) return QStringLiteral("DISK-STICK");
  return QStringLiteral("DISK");
}

void ShowDevice(SqlRecordset& row, ctl::TreeView& tree) {
  const QString serial = row.Value(QStringLiteral("DiskSerialNo")).toString();
  const QString key = QStringLiteral("M-") + serial;
  const QString text = DeviceText(row);
  ctl::Node* node = tree.Nodes.Find(key);
  if (!node) {
    node = AddNode(tree, QStringLiteral("DISKS"), key, text,
                   DeviceImage(row.Value(QStringLiteral("DiskType")).toString()));
    if (!node) return;
    UpdateExpandIcon(tree, node);
  }
  node->SetForeColor(row.Value(QStringLiteral("Online")).toBool() ? gSchemeColour4 : kRed);
  node->SetText(text);
  node->SetTag(serial);
  node->SetBold(true);
}

// The tree is rebuilt or re-sorted as one update of its view.
class TreeUpdate {
 public:
  explicit TreeUpdate(ctl::TreeView& tree) : tree_(tree) { tree_.BeginUpdate(); }
  ~TreeUpdate() { tree_.EndUpdate(); }
  TreeUpdate(const TreeUpdate&) = delete;
  TreeUpdate& operator=(const TreeUpdate&) = delete;

 private:
  ctl::TreeView& tree_;
};

}  // namespace

void clsRWLibrary::PopulateTree() {
  if (!View().LibraryTree()) return;
  ctl::TreeView& tree = *View().LibraryTree();
  SqlConnection& db = *m_Connection;
  // SortTree, which the caller runs next, unlocks the drawing.
  if (!gTVOutMode) modReelwise::SetWindowRedraw(&tree, true);
  ShowProgress(QStringLiteral("Processing Library Structure..."));
  gPendingRenameNode = nullptr;
  const TreeUpdate update(tree);
  tree.Nodes.Clear();
  tree.SetSorted(false);
  TagHierarchy hierarchy;
  TreeStep([&] {
    hierarchy = ReadTagHierarchy(db);
    AddTagLevels(db, hierarchy, tree);
  });
  TreeStep([&] { AddLinkNodes(hierarchy, tree); });
  TreeStep([&] { AddFixedGroups(tree); });
  TreeStep([&] { AddFormatNodes(db, tree); });
  TreeStep([&] { TagSavedSearches(db, tree); });
  TreeStep([&] { FinishNodes(tree); });
  LoadStorageDeviceNodes();
  TreeStep([&] { SetNodeBehaviours(false); });
}

void clsRWLibrary::SortTree() {
  if (!View().LibraryTree()) return;
  ctl::TreeView& tree = *View().LibraryTree();
  if (!gTVOutMode) modReelwise::SetWindowRedraw(&tree, true);
  {
    const TreeUpdate update(tree);
    // The tree sorts every level by text: with the kind's prefix in front, the
    // kinds come in their order and each kind alphabetically.
    QString prefix = QStringLiteral(" 999");
    std::vector<QString> texts;  // given back as they were, not cut out again
    texts.reserve(static_cast<size_t>(tree.Nodes.Count()));
    for (const auto& node : tree.Nodes) {
      prefix = SortPrefix(node->Image(), prefix);
      texts.push_back(node->Text());
      node->SetText(prefix % node->Text());
    }
    tree.SetSorted(true);
    // Parents come before their children in the collection, so each level is
    // sorted while its texts still carry the prefix.
    auto text = texts.cbegin();
    for (const auto& node : tree.Nodes) {
      node->SetText(*text++);
      const bool fixedOrder =
          node->Image() == QLatin1String("DATEFOLDER") || node->Image() == QLatin1String("RATINGFOLDER");
      node->SetSorted(!fixedOrder);
    }
  }
  if (!gTVOutMode) modReelwise::SetWindowRedraw(&tree, false);
}

void clsRWLibrary::LoadStorageDeviceNodes() {
  if (!View().LibraryTree()) return;
  ctl::TreeView& tree = *View().LibraryTree();
  TreeStep([&] {
    // The devices holding files; each is looked up in the files' device
    // index, so the query does not grow with the number of files.
    SqlRecordset rows(*m_Connection,
                      QStringLiteral("SELECT DISTINCT SD.* FROM FileLocations SD WHERE EXISTS (SELECT 1 FROM VideoFiles "
                                     "VF WHERE VF.DiskSerialNo = SD.DiskSerialNo) ORDER BY SD.DiskSerialNo, SD.Online "
                                     "DESC, SD.FriendlyName"));
    for (; !rows.Eof(); rows.MoveNext()) TreeStep([&] { ShowDevice(rows, tree); });
  });
  if (ctl::Node* disks = tree.Nodes.Find(QStringLiteral("DISKS"))) UpdateExpandIcon(tree, disks);
}
