#pragma once
// Where each Tags row sits in the library tree, read from the Tags and
// TagLinks rows instead of the tree window, so behaviours and categories can
// be derived (and tested) without one. Internal to the TagStore functions.
#include <QHash>
#include <QString>

#include <cstdint>

class SqlConnection;

namespace TagStore {

// "Saved Playlists", the fixed node every playlist is shown under.
inline constexpr int32_t kSavedPlaylistsTag = 2;

// The fixed nodes 1 to 4 ("Unplayable" and the three saved-item folders).
inline bool IsFixedNode(int32_t tagId) { return tagId >= 1 && tagId <= 4; }

class TagPlacement {
 public:
  explicit TagPlacement(SqlConnection& db);

  struct Derived {
    bool underTag = false;   // a tag is above the node
    int32_t categoryId = 0;  // the outermost category above it; 0 for none
  };
  // What the node's ancestors make of it.
  Derived Derive(int32_t tagId) const;
  // Name of the outermost category at or above the node, "Orphan Tag" when
  // there is none.
  QString CategoryName(int32_t tagId) const;
  // The node the tree shows this one under; 0 at the top level.
  int32_t Parent(int32_t tagId) const;

 private:
  struct Node {
    QString name;
    QString type;
    int32_t parent = 0;  // lowest TagID among the 'P' links
  };
  bool IsCategory(int32_t tagId) const;
  bool IsTag(int32_t tagId) const;
  // Calls `visit` for each ancestor from the parent upwards; stops at the top
  // or where 'P' links of an old library run in a circle.
  template <typename Visit>
  void ForEachAncestor(int32_t tagId, Visit visit) const;

  QHash<int32_t, Node> nodes_;
};

}  // namespace TagStore
