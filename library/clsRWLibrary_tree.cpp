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
#include "library/TagStore.h"
#include "library/TagStore_Placement.h"
#include "platform/LongWork.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/TreeView.h"
#include "ui/SchemeColours.h"
#include "ui/modReelwise_drawing.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kRed = 255;
constexpr int64_t kSavedPlaylists = 2;  // the fixed node every playlist hangs below

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
// build goes on with its next step. A fault of the disk or the file ends the
// build and goes to the command, told once: the tree is never shown with
// parts left out that the library holds.
void TreeStep(const std::function<void()>& work) {
  std::optional<StorageFault> fault;
  ErrorGuard({.owner = ProgramMessageOwner(), .text = ErrorGuard::Numbered(QStringLiteral(" - "))}).Run([&] {
    try {
      work();
    } catch (const StorageFault& met) {
      fault = met;
    }
  });
  if (fault) throw *fault;
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
  int64_t tagId = 0;
  QString tag;
  QString type;
  bool hasParentLink = false;  // it hangs below another tag (or below nothing)
  bool hasChildren = false;    // some parent link names it, even one from a missing tag
  uint32_t place = 0;          // in the order of type and name
  ctl::Node* node = nullptr;   // once a level has shown it
};

constexpr uint32_t kNoTag = std::numeric_limits<uint32_t>::max();

// The tag hierarchy read once: every tag in the order of TagID, the parent
// links between tags in the order a level shows the children (the child's
// type and name, then parent, then child), and the 'L' links between tags.
// Links name their tags by their index in `tags`, so the build looks nothing
// up by number after the read.
struct TagHierarchy {
  std::vector<int64_t> tagIds;  // each tag's TagID, for the look-ups of the read
  std::vector<TagText> tags;
  std::vector<std::pair<uint32_t, uint32_t>> childParent;
  // The links naming tag i as parent: their places in childParent, in their
  // order there, are parentLinks[firstLink[i]] up to parentLinks[firstLink[i + 1]].
  std::vector<uint32_t> firstLink;
  std::vector<uint32_t> parentLinks;
  std::vector<std::pair<uint32_t, uint32_t>> crossLinks;  // tag, linked tag; in the order of the file
  // Some parent link has an end that is not a tag: only the library file can
  // then tell whether the links go round in a circle.
  bool linksOutsideTags = false;
  // Each tag's row as the levels are derived from it (its type, behaviour and
  // category as stored, its lowest parent), in the order of `tags`; empty
  // when the file's Tags lack the columns of the levels.
  std::vector<TagStore::LevelTag> levels;

  // The index of the tag of that number; kNoTag when there is none.
  uint32_t Find(int64_t tagId) const {
    const auto found = std::ranges::lower_bound(tagIds, tagId);
    return found != tagIds.end() && *found == tagId ? static_cast<uint32_t>(found - tagIds.begin()) : kNoTag;
  }
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
  uint32_t tag;
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
// is ranked once. `typesAndNames` holds the tags' keys in the order of `tags`.
void PlaceByTypeAndName(std::vector<TagText>& tags,
                        const std::vector<std::pair<SqlOrderKey, SqlOrderKey>>& typesAndNames) {
  const auto keyLess = [](const SqlOrderKey& a, const SqlOrderKey& b) { return Compare(a, b) < 0; };
  std::map<SqlOrderKey, uint64_t, decltype(keyLess)> typeRanks(keyLess);
  for (const auto& key : typesAndNames) typeRanks.try_emplace(key.first, 0);
  uint64_t rank = 0;
  for (auto& entry : typeRanks) entry.second = rank++;
  std::vector<PlaceEntry> entries;
  entries.reserve(typesAndNames.size());
  for (uint32_t i = 0; i < typesAndNames.size(); ++i) {
    const auto& [type, name] = typesAndNames[i];
    const std::u16string_view units(reinterpret_cast<const char16_t*>(name.units.constData()),
                                    static_cast<size_t>(name.units.size()));
    std::array<uint64_t, 2> head{};
    for (size_t u = 0; u < kHeadUnits; ++u) head[u / 4] = head[u / 4] << 16 | (u < units.size() ? units[u] : 0);
    entries.push_back({typeRanks.find(type)->second << 2 | static_cast<uint64_t>(name.storageClass), head, units, i});
  }
  std::ranges::sort(entries, PlaceBefore);
  uint32_t place = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0 && PlaceBefore(entries[i - 1], entries[i])) ++place;
    tags[entries[i].tag].place = place;
  }
}

// Puts the parent links in the order a level shows the children (the
// child's place, then parent, then child: the order of the indexes is that
// of the TagIDs) and lists each parent's links.
void OrderParentLinks(TagHierarchy& hierarchy) {
  std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> ordered;  // the child's place, parent, child
  ordered.reserve(hierarchy.childParent.size());
  for (const auto& [child, parent] : hierarchy.childParent) {
    ordered.emplace_back(hierarchy.tags[child].place, parent, child);
  }
  std::ranges::sort(ordered);
  hierarchy.firstLink.assign(hierarchy.tags.size() + 1, 0);
  for (size_t i = 0; i < ordered.size(); ++i) {
    hierarchy.childParent[i] = {std::get<2>(ordered[i]), std::get<1>(ordered[i])};
    ++hierarchy.firstLink[std::get<1>(ordered[i]) + 1];
  }
  for (size_t i = 1; i < hierarchy.firstLink.size(); ++i) hierarchy.firstLink[i] += hierarchy.firstLink[i - 1];
  hierarchy.parentLinks.resize(ordered.size());
  std::vector<uint32_t> next(hierarchy.firstLink.begin(), hierarchy.firstLink.end() - 1);
  for (uint32_t i = 0; i < ordered.size(); ++i) hierarchy.parentLinks[next[hierarchy.childParent[i].second]++] = i;
}

// Two plain reads, the tags and every link, put in order here: sorting the
// links in the query by their child's type and name cost more than all the
// rest of the tree. A link's end is a tag only when it is an integer that is
// some tag's number. The rows are stepped through, not held in a recordset:
// each goes straight into the hierarchy.
TagHierarchy ReadTagHierarchy(SqlConnection& db) {
  TransactionGuard guard(db, QStringLiteral("PT"));
  TagHierarchy hierarchy;
  std::vector<std::pair<SqlOrderKey, SqlOrderKey>> typesAndNames;
  // The levels' columns come in the same read; a file whose Tags lack them
  // (its upgrade failed) still shows its tree.
  std::unique_ptr<SqlCommand> read;
  bool withLevels = true;
  try {
    read = std::make_unique<SqlCommand>(
        db, QStringLiteral("SELECT TagID, Tag, Type, Behaviour, CategoryID FROM Tags ORDER BY TagID"));
  } catch (const RWError& error) {
    if (error.Kind() != FaultKind::Mismatch) throw;
    withLevels = false;
    read = std::make_unique<SqlCommand>(db, QStringLiteral("SELECT TagID, Tag, Type FROM Tags ORDER BY TagID"));
  }
  SqlCommand& tags = *read;
  while (tags.Step()) {
    const SqlValue name = tags.Value(1);
    const SqlValue type = tags.Value(2);
    hierarchy.tagIds.push_back(tags.ColumnInt(0));
    hierarchy.tags.push_back({.tagId = hierarchy.tagIds.back(), .tag = name.toString(), .type = type.toString()});
    typesAndNames.emplace_back(OrderKey(type), OrderKey(name));
    if (withLevels) {
      hierarchy.levels.push_back(
          {static_cast<int32_t>(hierarchy.tagIds.back()), type, tags.Value(3), tags.Value(4)});
    }
  }
  SqlCommand rows(db, QStringLiteral("SELECT TagID, LinkedTag, Relationship = 'P', Relationship = 'L' FROM TagLinks"));
  const auto tagOf = [&](const SqlValue& end) {
    return end.type() == SqlValue::Type::Integer ? hierarchy.Find(end.toInt64()) : kNoTag;
  };
  while (rows.Step()) {
    const uint32_t child = tagOf(rows.Value(0));
    const uint32_t parent = tagOf(rows.Value(1));
    if (rows.ColumnInt(2) == 0) {
      if (rows.ColumnInt(3) != 0 && child != kNoTag && parent != kNoTag) {
        hierarchy.crossLinks.emplace_back(child, parent);
      }
      continue;
    }
    if (child != kNoTag) hierarchy.tags[child].hasParentLink = true;
    if (parent != kNoTag) hierarchy.tags[parent].hasChildren = true;
    if (child != kNoTag && parent != kNoTag) {
      hierarchy.childParent.emplace_back(child, parent);
      // The tags are in the order of their numbers: the lowest place is the
      // lowest TagID, the parent the levels derive from.
      if (!hierarchy.levels.empty()) {
        uint32_t& lowest = hierarchy.levels[child].parent;
        lowest = std::min(lowest, parent);
      }
    } else {
      hierarchy.linksOutsideTags = true;
    }
  }
  PlaceByTypeAndName(hierarchy.tags, typesAndNames);
  OrderParentLinks(hierarchy);
  guard.Commit();
  return hierarchy;
}

// A big tree's nodes are made a few hundred at a time between looks at the
// window (clsRWLibrary::WorkGoesOn).
constexpr size_t kNodesPerTick = 256;

// A tag waiting on a level, with the tag it is shown below (kNoTag: the top).
struct LevelRow {
  uint32_t tag;
  uint32_t parent;
};

// The TagID of the row's parent, 0 at the top. A link to a tag numbered 0
// counts as one to the top, as the number alone tells.
int64_t ParentId(const TagHierarchy& hierarchy, const LevelRow& row) {
  return row.parent == kNoTag ? 0 : hierarchy.tags[row.parent].tagId;
}

// One level into the tree. A tag met a second time (a second parent, or a
// circle of parent links) keeps its first node (of two parents on one level,
// the lower TagID's, as the tag's derived category has it); its repeated rows
// leave the level, so the build cannot go round a circle for ever. A row whose
// parent has no node stays without one. Each tag's node is kept with the tag
// (the tree holds no other tag nodes yet); `shown` counts them. True when a
// tag was met again.
bool AddTagLevel(TagHierarchy& hierarchy, std::vector<LevelRow>& level, ctl::TreeView& tree, size_t& shown,
                 const std::function<void()>& goOn) {
  bool repeated = false;
  std::vector<LevelRow> waiting;
  waiting.reserve(level.size());
  for (const LevelRow& row : level) {
    if (shown % kNodesPerTick == 0) goOn();
    TagText& tag = hierarchy.tags[row.tag];
    if (tag.node) {
      repeated = true;
      continue;
    }
    waiting.push_back(row);
    // Playlists hang below the playlists' folder, whatever their parent.
    const bool playlist = Units(tag.type) == u"L";
    const int64_t parentId = playlist ? kSavedPlaylists : ParentId(hierarchy, row);
    const uint32_t parentTag = playlist ? hierarchy.Find(kSavedPlaylists) : row.parent;
    ctl::Node* parent = parentId == 0 || parentTag == kNoTag ? nullptr : hierarchy.tags[parentTag].node;
    if (parentId != 0 && !parent) continue;
    tag.node = tree.Nodes.Add(parent, parent ? ctl::tvwChild : ctl::tvwLast, TagKey(tag.tagId), tag.tag,
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
  std::erase_if(level, [&](const LevelRow& row) { return !hierarchy.tags[row.tag].hasChildren; });
  std::unordered_set<uint32_t> onLevel;
  std::vector<uint32_t> links;
  for (const LevelRow& row : level) {
    if (!onLevel.insert(row.tag).second) continue;
    links.insert(links.end(), hierarchy.parentLinks.begin() + hierarchy.firstLink[row.tag],
                 hierarchy.parentLinks.begin() + hierarchy.firstLink[row.tag + 1]);
  }
  std::ranges::sort(links);
  for (const uint32_t link : links) {
    const auto& [child, parent] = hierarchy.childParent[link];
    level.push_back({child, parent});
  }
  std::unordered_set<int64_t> parents;
  for (const LevelRow& row : level) parents.insert(ParentId(hierarchy, row));
  std::erase_if(level, [&](const LevelRow& row) {
    return ParentId(hierarchy, row) == 0 || parents.contains(hierarchy.tags[row.tag].tagId);
  });
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
  std::vector<int> childLinks(hierarchy.tags.size(), 0);  // links naming the tag as parent
  std::vector<std::vector<uint32_t>> parents(hierarchy.tags.size());
  for (const auto& [child, parent] : hierarchy.childParent) {
    ++childLinks[parent];
    parents[child].push_back(parent);
  }
  std::vector<uint32_t> free;
  for (uint32_t tag = 0; tag < hierarchy.tags.size(); ++tag) {
    if (childLinks[tag] == 0) free.push_back(tag);
  }
  size_t taken = 0;
  while (!free.empty()) {
    const uint32_t tag = free.back();
    free.pop_back();
    ++taken;
    for (const uint32_t parent : parents[tag]) {
      if (--childLinks[parent] == 0) free.push_back(parent);
    }
  }
  return taken < hierarchy.tags.size();
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
void AddTagLevels(SqlConnection& db, TagHierarchy& hierarchy, ctl::TreeView& tree, const std::function<void()>& goOn) {
  tree.Nodes.Reserve(static_cast<int>(hierarchy.tags.size() + std::size(kGroups)));
  std::vector<LevelRow> level;
  for (uint32_t tag = 0; tag < hierarchy.tags.size(); ++tag) {
    if (!hierarchy.tags[tag].hasParentLink) level.push_back({tag, kNoTag});
  }
  bool repeated = false;
  size_t shown = 0;
  for (size_t depth = 0; !level.empty() && depth <= hierarchy.tags.size() + 1; ++depth) {
    if (AddTagLevel(hierarchy, level, tree, shown, goOn)) repeated = true;
    DescendLevel(hierarchy, level);
  }
  // A circle of parent links shows as a repeated tag when the circle hangs
  // below the top level, and as tags without a node when it does not.
  if ((repeated || shown < hierarchy.tags.size()) && LinksMayCircle(hierarchy)) {
    ReportCircles(TagsInCircles(db));
  }
}

// One node per 'L' link under the tag that hosts it, named after the linked
// tag; a pair of links in both directions (synonyms) shows AKA on both nodes,
// a one-way link LINK.
void AddLinkNodes(const TagHierarchy& hierarchy, ctl::TreeView& tree) {
  for (const auto& [host, target] : hierarchy.crossLinks) {
    const QString tag = QString::number(hierarchy.tags[host].tagId);
    const QString linked = QString::number(hierarchy.tags[target].tagId);
    ctl::Node* node = AddNode(tree, TagKey(hierarchy.tags[host].tagId), QStringLiteral("LINK%1-%2").arg(tag, linked),
                              hierarchy.tags[target].tag, QStringLiteral("AKA"));
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

// The order of a level sorted as if each node's text began with its kind's
// prefix, the levels being sorted in the order of the nodes, parent first,
// and each node's prefix coming off once its own turn is past: on a level
// sorted after that (below a parent added after the node, as a move leaves
// it) the node counts by its text alone. `stage` is the index of the level's
// parent (0 for the top level).
std::function<bool(const ctl::Node*, const ctl::Node*)> KindThenText(const std::vector<const QString*>& prefixes,
                                                                     int stage) {
  return [&prefixes, stage](const ctl::Node* a, const ctl::Node* b) {
    const QStringView kindA = a->Index() > stage ? QStringView(*prefixes[a->Index() - 1]) : QStringView();
    const QStringView kindB = b->Index() > stage ? QStringView(*prefixes[b->Index() - 1]) : QStringView();
    if (kindA.size() == kindB.size()) {
      // Prefixes of spaces and digits, all of one length, tell the kinds
      // apart as the whole texts would.
      const int kinds = kindA.compare(kindB);
      return kinds != 0 ? kinds < 0 : ctl::TreeView::TextBefore(a->Text(), b->Text());
    }
    return ctl::TreeView::TextBefore(kindA.toString() + a->Text(), kindB.toString() + b->Text());
  };
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
  // Outside an open the build is paced by its own pacer, which paints the
  // progress past the grace (a short build's caption is never painted).
  LongWork::Pacer own;
  ShowProgress(QStringLiteral("Processing Library Structure..."));
  gPendingRenameNode = nullptr;
  const TreeUpdate update(tree);
  tree.Nodes.Clear();
  tree.SetSorted(false);
  TagHierarchy hierarchy;
  const auto goOn = [this, &own] { WorkGoesOn(own); };
  TreeStep([&] {
    hierarchy = ReadTagHierarchy(db);
    goOn();
    AddTagLevels(db, hierarchy, tree, goOn);
  });
  TreeStep([&] { AddLinkNodes(hierarchy, tree); });
  TreeStep([&] { AddFixedGroups(tree); });
  TreeStep([&] { AddFormatNodes(db, tree); });
  TreeStep([&] { TagSavedSearches(db, tree); });
  TreeStep([&] { FinishNodes(tree); });
  LoadStorageDeviceNodes();
  // Every tag's behaviour and category, derived again at every build
  // (another program may have moved a tag), from the hierarchy read above:
  // only where a parent link's end is no tag, or the file lacks the levels'
  // columns, are the rows read again, as TagStore reads them. The open's
  // upkeep may have stored them with its own writes.
  if (!std::exchange(m_BehavioursStored, false)) {
    TreeStep([&] {
      if (hierarchy.linksOutsideTags || hierarchy.levels.size() != hierarchy.tags.size()) {
        SetNodeBehaviours(false);
        return;
      }
      // A big tree's first levels take seconds: they show as a bar.
      bool counted = false;
      TagStore::WriteTagLevels(*m_Connection, hierarchy.levels, [&](int done) {
        if (!ProgressDue(own)) return;
        if (!counted) SetProgressMax(static_cast<int32_t>(hierarchy.levels.size()));
        counted = true;
        ShowProgress(QStringLiteral("Processing Library Structure..."), done);
      });
      if (counted) SetProgressMax(0);
    });
  }
  // Outside an open (whose next step reports its own), the progress goes
  // with the tree built.
  if (!m_OpenPacer) ProgressOff();
}

void clsRWLibrary::SortTree() {
  if (!View().LibraryTree()) return;
  ctl::TreeView& tree = *View().LibraryTree();
  if (!gTVOutMode) modReelwise::SetWindowRedraw(&tree, true);
  {
    const TreeUpdate update(tree);
    // The tree sorts every level by text with the kind's prefix in front, so
    // the kinds come in their order and each kind alphabetically.
    static const QString kNoKind = QStringLiteral(" 999");
    std::vector<const QString*> prefixes;  // by the nodes' indexes
    prefixes.reserve(static_cast<size_t>(tree.Nodes.Count()));
    const QString* prefix = &kNoKind;
    for (const auto& node : tree.Nodes) {
      prefix = &SortPrefix(node->Image(), *prefix);
      prefixes.push_back(prefix);
    }
    tree.SortLevelBy(nullptr, KindThenText(prefixes, 0));
    // Parents come before their children in the collection, so each level is
    // sorted while its nodes still count with their prefix.
    LongWork::Pacer own;
    size_t sorted = 0;
    for (const auto& node : tree.Nodes) {
      if (++sorted % kNodesPerTick == 0) WorkGoesOn(own);
      const bool fixedOrder =
          node->Image() == QLatin1String("DATEFOLDER") || node->Image() == QLatin1String("RATINGFOLDER");
      if (fixedOrder) {
        node->SetSorted(false);
      } else {
        tree.SortLevelBy(node.get(), KindThenText(prefixes, node->Index()));
      }
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
