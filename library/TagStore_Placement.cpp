#include "library/TagStore_Placement.h"

#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace TagStore {

namespace {

// A node's row: its name, type and lowest parent over 'P' links.
const QString kNodeColumns = QStringLiteral(
    "SELECT T.TagID, T.Tag, T.Type, (SELECT MIN(LinkedTag) FROM TagLinks TL WHERE TL.TagID = T.TagID AND "
    "TL.Relationship = 'P') FROM Tags T");

}  // namespace

TagPlacement::TagPlacement(SqlConnection& db) {
  SqlRecordset tags(db, QStringLiteral("SELECT TagID, Tag, Type FROM Tags"));
  nodes_.reserve(tags.RecordCount());
  for (; !tags.Eof(); tags.MoveNext()) {
    nodes_.insert(tags.Value(0).toInt(),
                  Node{tags.Value(1).toString(), tags.Value(2).toString(), 0, true, tags.Value(2).IsNull()});
  }
  SqlRecordset parents(
      db, QStringLiteral("SELECT TagID, MIN(LinkedTag) FROM TagLinks WHERE Relationship = 'P' GROUP BY TagID"));
  for (; !parents.Eof(); parents.MoveNext()) {
    auto node = nodes_.find(parents.Value(0).toInt());
    if (node != nodes_.end()) node->parent = parents.Value(1).toInt();
  }
}

TagPlacement::TagPlacement(SqlConnection& db, QHash<int32_t, Node> known) : lazyDb_(&db), nodes_(std::move(known)) {}

void TagPlacement::ReadNode(int32_t tagId) const {
  if (!lookup_) lookup_ = std::make_shared<SqlCommand>(*lazyDb_, kNodeColumns + QStringLiteral(" WHERE T.TagID = ?"));
  SqlCommand& row = *lookup_;
  row.Bind(1, tagId);
  while (row.Step()) {
    nodes_.insert(row.toInt(0), Node{row.toString(1), row.toString(2), row.toInt(3), true, row.IsNull(2)});
  }
}

const TagPlacement::Node* TagPlacement::Find(int32_t tagId) const {
  auto node = nodes_.constFind(tagId);
  if (node == nodes_.cend() && lazyDb_) {
    ReadNode(tagId);
    node = nodes_.constFind(tagId);
    // A TagID without a row is remembered as such, so it is read once.
    if (node == nodes_.cend()) node = nodes_.insert(tagId, Node{});
  }
  return node != nodes_.cend() && node->exists ? &*node : nullptr;
}

int32_t TagPlacement::Parent(int32_t tagId) const {
  if (IsFixedNode(tagId)) return 0;
  const Node* node = Find(tagId);
  if (!node) return 0;
  if (node->type == QLatin1String("L")) return kSavedPlaylistsTag;
  return node->parent;
}

template <typename Visit>
void TagPlacement::ForEachAncestor(int32_t tagId, Visit visit) const {
  QSet<int32_t> seen{tagId};
  for (int32_t id = Parent(tagId); id != 0 && !seen.contains(id); id = Parent(id)) {
    seen.insert(id);
    visit(id);
  }
}

bool TagPlacement::IsCategory(int32_t tagId) const {
  if (IsFixedNode(tagId)) return false;
  const Node* node = Find(tagId);
  return node && node->type == QLatin1String("C");
}

// The tree shows every type but these as a tag.
bool TagPlacement::IsTag(int32_t tagId) const {
  if (IsFixedNode(tagId)) return false;
  const Node* node = Find(tagId);
  if (!node) return false;
  static const QSet<QString> kNotTags = {QStringLiteral("F"), QStringLiteral("C"), QStringLiteral("L"),
                                         QStringLiteral("S"), QStringLiteral("V")};
  return !kNotTags.contains(node->type);
}

TagPlacement::Derived TagPlacement::WalkUp(int32_t tagId) const {
  Derived derived;
  ForEachAncestor(tagId, [&](int32_t id) {
    if (IsTag(id)) derived.underTag = true;
    if (IsCategory(id)) derived.categoryId = id;  // higher ones overwrite lower ones
  });
  return derived;
}

// A node off any circle sees its parent and what its parent sees, so each
// answer is made once from the one above it, and a whole branch costs one
// step per node however deep it goes. On a circle of parent links each
// node sees the others from its own place, so those walk up on their own.
TagPlacement::Derived TagPlacement::Derive(int32_t tagId) const {
  if (const auto known = derived_.constFind(tagId); known != derived_.cend()) return *known;
  // The path up to the first node already answered, or to the top.
  std::vector<int32_t> path{tagId};
  QHash<int32_t, size_t> onPath{{tagId, 0}};
  int32_t id = Parent(tagId);
  while (id != 0 && !derived_.contains(id) && !onPath.contains(id)) {
    onPath.insert(id, path.size());
    path.push_back(id);
    id = Parent(id);
  }
  if (const auto circle = onPath.constFind(id); circle != onPath.cend()) {
    for (size_t i = *circle; i < path.size(); ++i) derived_.insert(path[i], WalkUp(path[i]));
    path.resize(*circle);
  }
  for (auto node = path.rbegin(); node != path.rend(); ++node) {
    const int32_t parent = Parent(*node);
    Derived derived;
    if (parent != 0) {
      const Derived above = derived_.value(parent);
      derived.underTag = above.underTag || IsTag(parent);
      derived.categoryId = above.categoryId != 0 ? above.categoryId : IsCategory(parent) ? parent : 0;
    }
    derived_.insert(*node, derived);
  }
  return derived_.value(tagId);
}

// A category filed in a folder names no tags below it: the branch's root is
// the folder.
QString TagPlacement::CategoryName(int32_t tagId) const {
  int32_t root = tagId;
  ForEachAncestor(tagId, [&](int32_t id) { root = id; });
  return IsCategory(root) ? Find(root)->name : QStringLiteral("Orphan Tag");
}

namespace {

// What a node counts as for the nodes below it.
enum class LevelKind : uint8_t { Neither, Tag, Category };

LevelKind KindOf(const LevelTag& tag) {
  if (IsFixedNode(tag.tagId)) return LevelKind::Neither;
  const QString type = tag.type.toString();
  if (type == QLatin1String("C")) return LevelKind::Category;
  static const QSet<QString> kNotTags = {QStringLiteral("F"), QStringLiteral("L"), QStringLiteral("S"),
                                         QStringLiteral("V")};
  return kNotTags.contains(type) ? LevelKind::Neither : LevelKind::Tag;
}

// TagPlacement::Parent by places: a fixed node sits at the top, a playlist
// under "Saved Playlists", which is a fixed node: what is above it counts
// for nothing, as if it were at the top.
uint32_t UpOf(const LevelTag& tag) {
  if (IsFixedNode(tag.tagId) || tag.type.toString() == QLatin1String("L")) return kNoParentTag;
  return tag.parent;
}

}  // namespace

std::vector<TagPlacement::Derived> DeriveLevels(const std::vector<LevelTag>& tags) {
  const size_t count = tags.size();
  std::vector<LevelKind> kinds(count);
  std::vector<uint32_t> up(count);
  for (size_t i = 0; i < count; ++i) {
    kinds[i] = KindOf(tags[i]);
    up[i] = UpOf(tags[i]);
  }
  // A node on a circle of parent links sees the others from its own place.
  const auto walkUp = [&](uint32_t node) {
    TagPlacement::Derived derived;
    std::vector<uint32_t> seen{node};
    for (uint32_t id = up[node]; id != kNoParentTag && std::find(seen.begin(), seen.end(), id) == seen.end();
         id = up[id]) {
      seen.push_back(id);
      if (kinds[id] == LevelKind::Tag) derived.underTag = true;
      if (kinds[id] == LevelKind::Category) derived.categoryId = tags[id].tagId;  // higher ones overwrite lower ones
    }
    return derived;
  };
  enum : uint8_t { kNew, kOnPath, kDone };
  std::vector<uint8_t> state(count, kNew);
  std::vector<TagPlacement::Derived> derived(count);
  std::vector<uint32_t> path;
  for (uint32_t start = 0; start < count; ++start) {
    if (state[start] != kNew) continue;
    // The path up to the first node already answered, or to the top; a node
    // answers from the one above it, so a branch costs one step a node.
    path.clear();
    uint32_t id = start;
    for (; id != kNoParentTag && state[id] == kNew; id = up[id]) {
      state[id] = kOnPath;
      path.push_back(id);
    }
    size_t below = path.size();
    if (id != kNoParentTag && state[id] == kOnPath) {
      below = static_cast<size_t>(std::find(path.begin(), path.end(), id) - path.begin());
      for (size_t k = below; k < path.size(); ++k) derived[path[k]] = walkUp(path[k]);
      for (size_t k = below; k < path.size(); ++k) state[path[k]] = kDone;
    }
    for (size_t k = below; k-- > 0;) {
      const uint32_t node = path[k];
      const uint32_t parent = up[node];
      TagPlacement::Derived d;
      if (parent != kNoParentTag) {
        const TagPlacement::Derived& above = derived[parent];
        d.underTag = above.underTag || kinds[parent] == LevelKind::Tag;
        d.categoryId = above.categoryId != 0                       ? above.categoryId
                       : kinds[parent] == LevelKind::Category ? tags[parent].tagId
                                                              : 0;
      }
      derived[node] = d;
      state[node] = kDone;
    }
  }
  return derived;
}

}  // namespace TagStore
