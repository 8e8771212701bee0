// The library tree as a drop target. Files and segments dragged from the
// result browsers, the carousel or the inspector are tagged, untagged or
// rated by the node they are dropped on (folders, categories and playlists
// are tags too); a tree node dropped on a tag, category or folder moves
// there, or with Ctrl held on another tag links to it (a link, or a synonym
// made both ways); the inspector's tag suggestion becomes a new tag. While a
// drag is over the tree, the node under the pointer is highlighted, the tree
// scrolls near its top and bottom edges, a collapsed node opens after the
// pointer has rested on it for a second, and the drag icon and the progress
// strip say what a drop would do.
#include <functional>
#include <optional>
#include <vector>

#include "browser/LibraryTreePane.h"
#include "carousel/cCarousel.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "library/TagStore.h"
#include "library/clsRWLibrary.h"
#include "platform/DragController.h"
#include "platform/ErrorGuard.h"
#include "platform/InputGate.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/controls/ControlErrors.h"
#include "ui/DragState.h"
#include "ui/SchemeColours.h"
#include "ui/cwProgress.h"
#include "ui/modReelwise_drawing.h"

namespace {

constexpr int kVkControl = 17;
constexpr int kScrollEdgePixels = 20;
constexpr uint64_t kHoverExpandMs = 1000;

const QString kTree = QStringLiteral("tvwLibrary");
const QString kAutoTag = QStringLiteral("picAutoTag");
const QString kDummy = QStringLiteral("DUMMY");
const QString kIllegalMove = QStringLiteral("Illegal Move");

bool CtrlHeld() { return ctl::GetKeyState(kVkControl) < 0; }

bool OneOf(const QString& text, std::initializer_list<const char*> values) {
  for (const char* value : values) {
    if (text == QLatin1String(value)) return true;
  }
  return false;
}

bool StartsWithOneOf(const QString& text, std::initializer_list<const char*> prefixes) {
  for (const char* prefix : prefixes) {
    if (text.startsWith(QLatin1String(prefix))) return true;
  }
  return false;
}

bool IsFileSource(const QString& name) {
  return OneOf(name, {"flexThumbsTiled", "flexThumbsList", "lblRepeatTagging", "picThumbnail", "ucCarouselCanvas"});
}

// The TagID of a key "ID" and a number; nullopt for any other key.
std::optional<int32_t> TagIdOf(const ctl::Node& node) {
  if (!node.Key().startsWith(QLatin1String("ID"))) return std::nullopt;
  bool ok = false;
  const int32_t id = node.Key().mid(2).toInt(&ok);
  return ok ? std::optional<int32_t>(id) : std::nullopt;
}

// Nodes that take no drop of any kind: links, groups, saved views and
// searches, dates, formats, devices and the Untagged node.
bool RefusesEveryDrop(const ctl::Node& target) {
  if (OneOf(target.Image(), {"LINK", "AKA", "FORMATS", "PLFOLDER", "VIEWFOLDER", "DATEFOLDER", "SEARCHFOLDER",
                             "MEDIAFOLDER", "RATINGFOLDER", "VIEW", "SEARCH"})) {
    return true;
  }
  if (StartsWithOneOf(target.Key(), {"V", "PL", "F-", "M-", "D-"})) return true;
  if (target.Key().startsWith(QLatin1String("R-"))) return false;
  const std::optional<int32_t> id = TagIdOf(target);
  return !id || *id == -1;
}

// Nodes that cannot be moved or linked by a drag.
bool RefusedAsDragged(const ctl::Node& dragged) {
  return OneOf(dragged.Image(), {"PLAYLIST", "UNTAGGED", "UNPLAYABLE", "PLFOLDER", "VIEWFOLDER", "STAR", "UNSTAR",
                                 "COG", "FORMATS", "RATINGFOLDER", "CATEGORY", "LINK", "AKA", "SEARCH"}) ||
         dragged.Image().startsWith(QLatin1String("DISK")) || !TagIdOf(dragged);
}

bool RefusedAsNodeTarget(const ctl::Node& target, const ctl::Node& dragged) {
  return StartsWithOneOf(target.Image(), {"PL", "VIEW", "SEARCH"}) || target.Key().startsWith(QLatin1String("R-")) ||
         target.Image() == QLatin1String("UNPLAYABLE") || &target == &dragged;
}

// What a file drop on a node would do: the drag icon's key and the status.
struct FileDropFeedback {
  const char* icon = "FILE";
  QString status;
};

FileDropFeedback FeedbackOver(const ctl::Node& node, bool remove) {
  const QString& image = node.Image();
  const QString quoted = QStringLiteral("'") + node.Text() + QStringLiteral("'");
  if (image == QLatin1String("STAR"))
    return {"RATE", QStringLiteral("Assign ") + node.Text() + QStringLiteral(" star rating")};
  if (image == QLatin1String("UNSTAR")) return {"UNRATE", QStringLiteral("Remove Rating")};
  if (image == QLatin1String("PLAYLIST")) {
    return remove ? FileDropFeedback{"PL_REMOVE", QStringLiteral("Remove from this playlist")}
                  : FileDropFeedback{"PL_ADD", QStringLiteral("Add to the playlist ") + quoted};
  }
  if (image == QLatin1String("FOLDEROPEN") || image == QLatin1String("FOLDERCLOSED")) {
    return remove ? FileDropFeedback{"REMOVE_FROM", QStringLiteral("Remove from folder ") + quoted}
                  : FileDropFeedback{"PLACE_IN", QStringLiteral("Place in Folder ") + quoted};
  }
  if (image == QLatin1String("CATEGORY")) {
    return remove ? FileDropFeedback{"REMOVE_FROM", QStringLiteral("Remove from Category ") + quoted}
                  : FileDropFeedback{"PLACE_IN", QStringLiteral("Place in Category ") + quoted};
  }
  if (image == QLatin1String("TAG") || image == QLatin1String("UNPLAYABLE")) {
    // The blank after the quote is the program's own text.
    return remove ? FileDropFeedback{"UNTAGFILE", QStringLiteral("Remove tag ' ") + node.Text() + QStringLiteral("'")}
                  : FileDropFeedback{"TAGFILE", QStringLiteral("Tag with ") + quoted};
  }
  return {"NO_DROP", QString()};
}

// How a drop reports a failure: "number - description", style 0 (a fault of
// the library's file, or a change its rules refused naming the drop, in a
// titled sentence of the program's own; after a storage fault the drop says
// nothing more).
ErrorGuard DropReport() {
  return ErrorGuard({.command = QStringLiteral("Drag and Drop"),
                     .style = vbOKOnly,
                     .owner = ProgramMessageOwner(),
                     .text = ErrorGuard::Numbered(QStringLiteral(" - "))});
}

// One step of a drop: a failure is shown through the drop's report and the
// drop goes on with its next step. A node key in use (35602) ends the whole
// drop, so it is passed up to tvwLibrary_DragDrop.
void DropStep(ErrorGuard& report, const std::function<void()>& step) {
  try {
    step();
  } catch (const RWError& error) {
    if (error.Number() == ctl::kErrKeyNotUnique) throw;
    report.Failed(error);
  } catch (const StorageFault& fault) {
    // Told once; the drop's later steps meet it too and say nothing more.
    report.Failed(fault.Error());
  } catch (const std::exception& error) {
    report.Failed(RWError(kErrInternal, QString::fromLocal8Bit(error.what())));
  }
}

// What a drop writes to the library, in one named transaction: the first
// failure ends it, rolled back whole, so the tree and the windows change
// only after it was stored. True then.
bool DropWrites(ErrorGuard& report, const QString& transaction, const std::function<void()>& writes) {
  bool stored = false;
  DropStep(report, [&] {
    TransactionGuard guard(gLibrary->Connection(), transaction);
    writes();
    guard.Commit();
    stored = true;
  });
  return stored;
}

// The segments of a file drop: a selected result dragged stands for every
// selected result, an unselected one (or the inspector's) for itself.
std::vector<int32_t> DroppedSegments(const DragState& drag) {
  if (drag.Source == QLatin1String("Inspector") || drag.ItemSelected == 0) return {drag.SegmentID};
  std::vector<int32_t> segments;
  for (size_t i = 1; i < gResults.size(); ++i) {
    if (gResults[i].Selected) segments.push_back(gResults[i].SegmentID);
  }
  return segments;
}

// A stored rating shown in the results and wherever else the segments are
// held; the inspector's stars follow when it shows a rated segment.
void ShowDroppedRating(int16_t rating, const std::vector<int32_t>& segments, const DragState& drag,
                       InspectorPane& inspector, ErrorGuard& report) {
  for (int32_t segment : segments) {
    gLibrary->ShowStoredRating(segment, rating);
    const bool shown =
        drag.Source == QLatin1String("Inspector") || inspector.picThumbnail->Tag() == QString::number(segment);
    if (shown) DropStep(report, [&] { inspector.ShowRating(rating); });
  }
}

void IllegalMove(const QString& text) { ShowProgramMessage(text, vbExclamation, kIllegalMove, ProgramMessageOwner()); }

void UpdateExpandIcon(ctl::TreeView& tree, ctl::Node* node) {
  if (!node) return;
  int16_t state = 0;
  modReelwise::UpdateNodeExpandIcon(&tree, node, state);
}

// Stops drawing the tree for its scope.
class FrozenTree {
 public:
  explicit FrozenTree(ctl::TreeView& tree) : tree_(&tree) { modReelwise::SetWindowRedraw(tree_, true); }
  ~FrozenTree() { modReelwise::SetWindowRedraw(tree_, false); }
  FrozenTree(const FrozenTree&) = delete;
  FrozenTree& operator=(const FrozenTree&) = delete;

 private:
  ctl::TreeView* tree_;
};

// A temporary child "DUMMY" with `text` under `parent`, to test a name
// against the tree; it goes when the scope ends.
class DummyNode {
 public:
  DummyNode(ctl::TreeView& tree, const ctl::Node& parent, const QString& text)
      : tree_(tree), node_(tree.Nodes.Add(parent.Key(), ctl::tvwChild, kDummy, text)) {}
  ~DummyNode() {
    if (tree_.Nodes.Exists(kDummy)) tree_.Nodes.Remove(kDummy);
  }
  DummyNode(const DummyNode&) = delete;
  DummyNode& operator=(const DummyNode&) = delete;
  const ctl::Node& Node() const { return *node_; }

 private:
  ctl::TreeView& tree_;
  ctl::Node* node_;
};

}  // namespace

// ---- Drag over ----

// A drag that leaves the tree, or ends over it without a drop (cancelled),
// takes its highlight along, wherever the pointer stands.
void LibraryTreePane::tvwLibrary_DragOver(ctl::Control& Source, double X, double Y, int State) {
  ctl::TreeView& tree = *tvwLibrary;
  const bool leaving = State == ctl::vbLeave;
  ctl::Node* node = leaving ? nullptr : tree.HitTest(X, Y);
  tree.SetDropHighlight(node);
  const double y = Y / gTwipsPerPixelY;
  if (!leaving && y < kScrollEdgePixels) {
    tree.ScrollLines(-1);
  } else if (!leaving && y > tree.Viewport()->height() - kScrollEdgePixels) {
    tree.ScrollLines(1);
  }
  HoverExpand(node);
  const QString name = Source.objectName();
  if (IsFileSource(name)) {
    FileDragOver(Source, node, State);
  } else if (name == kTree) {
    NodeDragOver(node);
  } else if (name == kAutoTag && node) {
    // The drop makes the new tag under the selected node.
    tree.SetSelectedItem(node);
  }
}

// A collapsed node with children opens once the pointer has stayed on it
// for kHoverExpandMs.
void LibraryTreePane::HoverExpand(ctl::Node* node) {
  const uint64_t now = ctl::GetTickCount64();
  if (!node) {
    m_TreeHover.Key.clear();
    return;
  }
  if (node->Key() != m_TreeHover.Key) {
    m_TreeHover.Key = node->Key();
    m_TreeHover.ExpandAt = now + kHoverExpandMs;
  }
  if (now > m_TreeHover.ExpandAt && !node->Expanded() && node->Children() > 0) node->SetExpanded(true);
}

void LibraryTreePane::ShowDragStatus(const QString& text) { host_.Progress().BroadcastProgress(text, 0, gSchemeColour4); }

// Files over the tree: the icon and status say what a drop on the node
// would do (Ctrl held removes).
void LibraryTreePane::FileDragOver(ctl::Control& Source, const ctl::Node* node, int State) {
  FileDropFeedback feedback;
  if (State != ctl::vbOver) {
    Source.SetDragIcon(host_.imglstDragIcons().DragCursor(QStringLiteral("FILE")));
    return;
  }
  if (!node) {
    if (drag_.SpeedTagging) feedback.status = QStringLiteral("Speed Tagging Active...");
  } else {
    feedback = FeedbackOver(*node, CtrlHeld());
  }
  const QCursor icon = host_.imglstDragIcons().DragCursor(QLatin1String(feedback.icon));
  Source.SetDragIcon(icon);
  if (QLatin1String(feedback.icon) == QLatin1String("TAGFILE")) inspector_->picThumbnail->SetDragIcon(icon);
  ShowDragStatus(feedback.status);
}

// A tree node over the tree: the icon says whether it would move, link or
// not drop.
void LibraryTreePane::NodeDragOver(const ctl::Node* node) {
  const ctl::Node* dragged = tvwLibrary->SelectedItem();
  const char* key = "NO_DROP";
  if (!node || node == dragged) {
    key = "FILES";
  } else if (!OneOf(node->Image(), {"CATEGORY", "TAG", "FOLDEROPEN", "FOLDERCLOSED"}) || !dragged) {
    key = "NO_DROP";
  } else if (dragged->Image() == QLatin1String("TAG")) {
    key = CtrlHeld() ? "LINKTAG" : "MOVETAG";
  } else if (dragged->Image().startsWith(QLatin1String("FOLDER"))) {
    key = "MOVEFOLDER";
  } else if (dragged->Image() == QLatin1String("VIEW")) {
    key = "MOVEVIEW";
  }
  tvwLibrary->SetDragIcon(host_.imglstDragIcons().DragCursor(QLatin1String(key)));
}

// ---- Drop ----

void LibraryTreePane::tvwLibrary_DragDrop(ctl::Control& Source, double X, double Y) {
  // A drop is a command: none runs while work holds the input gate.
  if (!InputGate::Admits()) return;
  ctl::TreeView& tree = *tvwLibrary;
  tree.SetDropHighlight(nullptr);
  m_TreeHover.Key.clear();
  ctl::Node* target = tree.HitTest(X, Y);
  ErrorGuard report = DropReport();
  try {
    if (!target) {
      ShowDragStatus(QString());
      return;
    }
    if (RefusesEveryDrop(*target)) return;
    const QString name = Source.objectName();
    bool changed = false;
    if (drag_.Source == QLatin1String("Inspector") || drag_.Source == QLatin1String("Browser")) {
      changed = DropFiles(*target, report);
    } else if (name == kTree) {
      changed = DropTreeNode(*target, report);
    } else if (name == kAutoTag) {
      changed = DropAutoTag(*target, report);
    }
    if (changed) DropStep(report, [this] { inspector_->ShowFileTags(gEditedSegment); });
    DropStep(report, [this] { ShowDragStatus(QString()); });
  } catch (const RWError& error) {
    if (error.Number() != ctl::kErrKeyNotUnique) throw;
    ShowDragStatus(QString());
  }
}

// Files and segments dropped on a rating, tag, folder, category or playlist,
// in the one transaction "Tagging": a failure leaves every file as it was.
bool LibraryTreePane::DropFiles(const ctl::Node& target, ErrorGuard& report) {
  const std::vector<int32_t> segments = DroppedSegments(drag_);
  bool stored = false;
  if (target.Key().startsWith(QLatin1String("R-"))) {
    const auto rating = static_cast<int16_t>(target.Key().right(1).toInt());
    stored = DropWrites(report, QStringLiteral("Tagging"), [&] {
      for (int32_t segment : segments) TagStore::RateSegment(gLibrary->Connection(), rating, segment);
    });
    if (stored) ShowDroppedRating(rating, segments, drag_, *inspector_, report);
  } else {
    const int32_t tagId = *TagIdOf(target);
    const bool remove = CtrlHeld();
    // The tag cloud is counted once, after the last; not at all when the
    // tagging was undone.
    clsRWLibrary::TagCloudDeferral oneRedraw(*gLibrary);
    stored = DropWrites(report, QStringLiteral("Tagging"), [&] {
      for (int32_t segment : segments) gLibrary->TagSegment(segment, tagId, remove);
    });
    if (!stored) oneRedraw.Undone();
  }
  if (gBrowserMode == 3 && gCarousel) DropStep(report, [] { gCarousel->SetCarouselIndex(gBrowserIndex, true, false); });
  if (gAutoRefresh) {
    drag_.Clear();
    DropStep(report, [] { gLibrary->RefreshResults(); });
  }
  return stored;
}

// A tree node dropped on a tag, category or folder: with Ctrl held and both
// tags a link, else a move.
bool LibraryTreePane::DropTreeNode(ctl::Node& target, ErrorGuard& report) {
  ctl::Node* dragged = tvwLibrary->SelectedItem();
  if (!dragged || RefusedAsDragged(*dragged) || RefusedAsNodeTarget(target, *dragged) || !TagIdOf(target)) {
    return false;
  }
  const bool bothTags = dragged->Image() == QLatin1String("TAG") && target.Image() == QLatin1String("TAG");
  if (CtrlHeld() && bothTags) return LinkTreeNodes(*dragged, target, report);
  return MoveTreeNode(*dragged, target, report);
}

// A link of the dragged tag to the target; within one top-level category
// the user may make it a synonym, linked both ways. A node shows a link only
// when its row was stored (the pair may be related already); a synonym's
// two links are stored together or not at all.
bool LibraryTreePane::LinkTreeNodes(ctl::Node& dragged, ctl::Node& target, ErrorGuard& report) {
  ctl::TreeView& tree = *tvwLibrary;
  const int32_t draggedId = *TagIdOf(dragged);
  const int32_t targetId = *TagIdOf(target);
  const QString draggedPath = dragged.FullPath();
  const QString targetPath = target.FullPath();
  const qsizetype p = targetPath.indexOf(tree.PathSeparator()) + 1;
  QString kind = QStringLiteral("LINK");
  if (draggedPath.left(p) == targetPath.left(p)) {
    const int answer =
        ShowProgramMessage(QStringLiteral("You have linked this Tag to another in the same Tag Category\r\n"
                                          "Would you like to represent this relationship as a synonym?"),
                           vbQuestion | vbYesNo, QStringLiteral("Create Synonym?"), ProgramMessageOwner());
    if (answer == vbYes) kind = QStringLiteral("AKA");
  }
  const bool synonym = kind == QLatin1String("AKA");
  const QString mirrorKey = QStringLiteral("LINK%1-%2").arg(targetId).arg(draggedId);
  ctl::Node* mirror = synonym ? tree.Nodes.Find(mirrorKey) : nullptr;
  bool stored = false;
  bool mirrored = false;
  const bool written = DropWrites(report, QStringLiteral("Link"), [&] {
    stored = gLibrary->CreateTagRelationship(draggedId, targetId, QStringLiteral("L"));
    if (stored && synonym && !mirror) {
      mirrored = gLibrary->CreateTagRelationship(targetId, draggedId, QStringLiteral("L"));
    }
  });
  if (!written || !stored) return false;
  ctl::Node* link = AddTreeNode(target.Text(), QStringLiteral("LINK%1-%2").arg(draggedId).arg(targetId), dragged.Key(),
                                kind, gSchemeColour4, false);
  if (synonym) {
    if (mirror) {
      mirror->SetImage(QStringLiteral("AKA"));
      mirror->SetForeColor(gSchemeColour4);
    } else if (mirrored) {
      AddTreeNode(dragged.Text(), mirrorKey, target.Key(), QStringLiteral("AKA"), gSchemeColour4, false);
    }
    target.EnsureVisible();
  }
  UpdateExpandIcon(tree, &dragged);
  UpdateExpandIcon(tree, &target);
  if (link) link->EnsureVisible();
  dragged.EnsureVisible();
  return true;
}

// The dragged tag, folder or view placed under the target, its parent link
// and the categories it implies stored together. A target below the dragged
// node is refused before anything changes (the parent links would run in a
// circle); so is a name the target holds already, except that a drop on the
// present parent says nothing.
bool LibraryTreePane::MoveTreeNode(ctl::Node& dragged, ctl::Node& target, ErrorGuard& report) {
  ctl::TreeView& tree = *tvwLibrary;
  const int32_t draggedId = *TagIdOf(dragged);
  const int32_t targetId = *TagIdOf(target);
  const TagStore::ParentLinkCheck check = TagStore::CheckParentLink(gLibrary->Connection(), draggedId, targetId, true);
  if (check != TagStore::ParentLinkCheck::Allowed) {
    const QString refusal = TagStore::ParentLinkRefusal(check);
    if (!refusal.isEmpty()) IllegalMove(refusal);
    return false;
  }
  ctl::Node* oldParent = dragged.Parent();
  FrozenTree frozen(tree);
  bool unique = false;
  {
    DummyNode dummy(tree, target, dragged.Text());
    unique = IsUniqueTreeNode(dummy.Node());
  }
  bool moved = false;
  if (unique) {
    const QString id = QString::number(draggedId);
    const QString parent = QString::number(targetId);
    SqlConnection& db = gLibrary->Connection();
    // The key of TagLinks refuses a parent the tag is linked to already.
    bool related = false;
    moved = DropWrites(report, QStringLiteral("Move"), [&] {
      try {
        db.Execute(QStringLiteral("UPDATE TagLinks Set LinkedTag = %1 WHERE TagID = %2 AND Relationship = 'P'")
                       .arg(parent, id));
      } catch (const RWError& error) {
        if (!SqlConnection::IsKeyConflict(error)) throw;
        related = true;
        return;
      }
      if (db.RowsChanged() == 0) {
        db.Execute(QStringLiteral("INSERT INTO TagLinks (LinkedTag, TagID, Relationship) VALUES (%1, %2,'P')")
                       .arg(parent, id));
      }
      // Every row, so the moved item takes the category of its new place.
      gLibrary->SetNodeBehaviours(false);
    });
    if (related) {
      IllegalMove(QStringLiteral("This operation has been denied as the items are already related"));
      return false;
    }
    if (moved) {
      dragged.SetParent(&target);
      dragged.SetBold(true);
      target.SetSorted(true);
      dragged.EnsureVisible();
    }
  } else if (dragged.Parent() != &target) {
    IllegalMove(QStringLiteral("This operation has been denied as it would create a duplicate entry"));
  }
  for (ctl::Node* node : {&dragged, &target, oldParent, target.Parent()}) UpdateExpandIcon(tree, node);
  return moved;
}

// The inspector's suggestion made a tag under the target and put on the
// inspected segment, unless the target holds that name already; the tag is
// shown once it and its use are stored.
bool LibraryTreePane::DropAutoTag(ctl::Node& target, ErrorGuard& report) {
  ctl::TreeView& tree = *tvwLibrary;
  const std::optional<int32_t> parentId = TagIdOf(target);
  if (!parentId) return false;
  const QString name = inspector_->lblAutoTag->Caption();
  FrozenTree frozen(tree);
  bool unique = false;
  {
    DummyNode dummy(tree, target, name);
    unique = IsUniqueTreeNode(dummy.Node());
  }
  if (!unique) {
    ShowProgramMessage(QStringLiteral("An item with that name already exists"), vbExclamation,
                       QStringLiteral("Invalid Name"), ProgramMessageOwner());
    return false;
  }
  int32_t id = 0;
  const bool stored = DropWrites(report, QStringLiteral("AutoTag"), [&] {
    id = gLibrary->CreateTag(name, QStringLiteral("T"), QString::number(*parentId));
    gLibrary->TagSegment(gInspectedItem.SegmentID, id, false);
    gLibrary->SetNodeBehaviours(true);
  });
  if (!stored || id == 0) return false;
  ctl::Node* node =
      AddTreeNode(name, QStringLiteral("ID%1").arg(id), target.Key(), QStringLiteral("TAG"), gSchemeColour4, true);
  node->EnsureVisible();
  tree.SetSelectedItem(node);
  return true;
}
