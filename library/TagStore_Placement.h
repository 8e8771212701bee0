#pragma once
// Where each Tags row sits in the library tree, read from the Tags and
// TagLinks rows instead of the tree window, so behaviours and categories can
// be derived (and tested) without one. Internal to the TagStore functions.
#include "platform/SqlValue.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class SqlCommand;
class SqlConnection;

namespace TagStore {

// "Saved Playlists", the fixed node every playlist is shown under.
inline constexpr int32_t kSavedPlaylistsTag = 2;

// The fixed nodes 1 to 4 ("Unplayable" and the three saved-item folders).
inline bool IsFixedNode(int32_t tagId) { return tagId >= 1 && tagId <= 4; }

class TagPlacement {
 public:
  // Every tag, read at once: for callers that ask about most of them.
  explicit TagPlacement(SqlConnection& db);

  struct Derived {
    bool underTag = false;   // a tag is above the node
    int32_t categoryId = 0;  // the outermost category above it; 0 for none
  };
  // What the node's ancestors make of it. Answers are kept: the placement
  // stands for the rows as they were read.
  Derived Derive(int32_t tagId) const;
  // Name of the category at the root of the node's branch (the node itself
  // when it is at the top level), "Orphan Tag" when that root is no category.
  QString CategoryName(int32_t tagId) const;
  // The node the tree shows this one under; 0 at the top level.
  int32_t Parent(int32_t tagId) const;

  struct Node {
    QString name;
    QString type;
    int32_t parent = 0;       // lowest TagID among the 'P' links
    bool exists = false;      // false: no Tags row has this TagID
    bool typeIsNull = false;  // no type at all, which counts as a tag's
  };
  // The nodes the caller has read already; any other tag asked about is
  // read when first needed. For callers that ask about a few tags of a
  // large library.
  TagPlacement(SqlConnection& db, QHash<int32_t, Node> known);
  // The node's Tags row; nullptr when there is none. The pointer holds until
  // the next question put to the placement.
  const Node* Find(int32_t tagId) const;

 private:
  // Reads the node's row, through one statement prepared for every look-up.
  void ReadNode(int32_t tagId) const;
  bool IsCategory(int32_t tagId) const;
  bool IsTag(int32_t tagId) const;
  // Calls `visit` for each ancestor from the parent upwards; stops at the top
  // or where 'P' links of an old library run in a circle.
  template <typename Visit>
  void ForEachAncestor(int32_t tagId, Visit visit) const;
  // Derive by a walk over every ancestor.
  Derived WalkUp(int32_t tagId) const;

  SqlConnection* lazyDb_ = nullptr;  // set when tags are read as needed
  mutable std::shared_ptr<SqlCommand> lookup_;
  mutable QHash<int32_t, Node> nodes_;
  mutable QHash<int32_t, Derived> derived_;
};

// A tag as the levels of every tag are derived at once: its row as read and
// the tag its lowest parent link names, by their place in one list, so that
// nothing is looked up by number.
inline constexpr uint32_t kNoParentTag = UINT32_MAX;
struct LevelTag {
  int32_t tagId = 0;
  SqlValue type;
  SqlValue behaviour;
  SqlValue categoryId;
  // The place in the list of the tag named by the lowest TagID among its 'P'
  // links; kNoParentTag for none, or for one that names no tag.
  uint32_t parent = kNoParentTag;
};

// What TagPlacement::Derive answers for each tag of the list, by the same
// rules (a playlist under "Saved Playlists", the fixed nodes at the top and
// counting as neither tag nor category, a circle of parent links walked
// node by node), derived in one pass over the list.
std::vector<TagPlacement::Derived> DeriveLevels(const std::vector<LevelTag>& tags);

}  // namespace TagStore
