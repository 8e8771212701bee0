#pragma once
// The library tree pane of the main window: the tree of tags, playlists,
// views, searches, ratings, formats, dates and devices in its framed pane
// with the splitter grip and the loading animation, the tree's context menu
// and its commands, renaming nodes in place, the tree as a drag source and a
// drop target, and opening its nodes as search steps. What it needs of the
// result browser it asks through IResultsLink.
#include "browser/BrowserHosts.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TimerControl.h"
#include "platform/controls/TreeView.h"
#include "ui/AnimatedPicture.h"

#include <QPointF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

class ErrorGuard;
class InspectorPane;
class QAction;
class QMenu;
struct DragState;

// The library tree.
extern ctl::TreeView* gTreeHwnd;

class LibraryTreePane final : public ILibraryTreeLink {
 public:
  // Makes the tree pane, its edit timer and its context menu in `window` as
  // they stand before any code runs.
  LibraryTreePane(IBrowserHost& host, QWidget* window, DragState& drag);
  ~LibraryTreePane() override;
  LibraryTreePane(const LibraryTreePane&) = delete;
  LibraryTreePane& operator=(const LibraryTreePane&) = delete;
  // The inspector the tree's drops and commands reach, and the result
  // browser it asks for its history; before any event arrives.
  void Attach(InspectorPane& inspector, IResultsLink& results);

  // ---- Controls ----
  ctl::PictureBox* picLeft;
  ctl::PictureBox* picLeftFrame;
  ctl::TreeView* tvwLibrary;
  ctl::AnimatedPicture* gifTreeLoading;
  ctl::PictureBox* picGrip;
  // Hidden; the speed-tagging drag over the tree drags it.
  ctl::Label* lblRepeatTagging;
  // The tree's label-edit timer.
  ctl::TimerControl* tvwEditTimer;
  // The tree's context menu.
  QMenu* mnuTree;
  QAction* mnuCollapseAll;
  QAction* mnuExpandAll;
  QAction* mnuRenameTag;
  QAction* mnuDeleteTag;
  QAction* mnuCreateTag;
  QAction* mnuNewFolder;
  QAction* mnuNewCategory;
  QAction* mnuMakeRoot;

  // Set-up when the main window loads.
  void InitTree();
  // The loading animation over the tree pane (see ILibraryView).
  void SetLoadingState(bool& starting);
  // Adds a node to the library tree with the program's look (see
  // modReelwise::AddTreeNode).
  ctl::Node* AddTreeNode(const QString& sText, const QString& sKey, const QString& sParentKey,
                         const QString& sImageKey, uint32_t lColour, bool bBold);

  // ---- Opening nodes as searches (ILibraryTreeLink) ----
  void OpenNodeAsSearch(QString op) override;
  void ShowSearchDragIcon() override;
  void ShowFrameUnfocused() override;

  // ---- Events ----
  void tvwLibrary_MouseDown(int Button, int Shift, double X, double Y);
  void tvwLibrary_MouseMove(int Button, int Shift, double X, double Y);
  void tvwLibrary_Expand(ctl::Node* Node);
  void tvwLibrary_Collapse(ctl::Node* Node);
  void tvwLibrary_KeyDown(int& KeyCode, int Shift);
  void tvwLibrary_KeyPress(int& KeyAscii);
  void tvwLibrary_KeyUp(int& KeyCode, int Shift);
  void tvwLibrary_NodeClick(ctl::Node* Node);
  void tvwLibrary_GotFocus();
  void tvwLibrary_LostFocus();

  // ---- The tree's context menu and its commands ----
  void mnuCollapseAll_Click();
  void mnuExpandAll_Click();
  void mnuCreateTag_Click();
  void mnuNewFolder_Click();
  void mnuNewCategory_Click();
  void mnuMakeRoot_Click();
  void mnuDeleteTag_Click();
  // The inspector's tag list: shows its selected tag in the tree.
  void mnuLocateTag_Click();
  // Makes Node the selected, highlighted and first visible node of TV.
  void SetTreeViewFirstVisibleNode(ctl::TreeView& TV, ctl::Node* Node);
  void tvwLibrary_DragOver(ctl::Control& Source, double X, double Y, int State);
  void tvwLibrary_DragDrop(ctl::Control& Source, double X, double Y);

  // ---- Renaming tree items ----
  // Starts renaming the selected node (menu item and F2).
  void mnuRenameTag_Click();
  // One-shot: starts the label edit of the node a rename waits on.
  void tvwEditTimer_Timer();
  // The end of a label edit (also Esc from the tree's KeyUp): checks the
  // name, writes it and re-sorts the tree, or restarts the edit.
  void tvwLibrary_AfterLabelEdit(int& Cancel, QString& NewString);
  // Writes the new name of the node keyed sKey to the library.
  void RenameTreeItem(const QString& sKey, const QString& sNewName);
  // True when no other node of the tree has Node's full path.
  bool IsUniqueTreeNode(const ctl::Node& Node);
  // The edit timer's tick and the tree's end of a label edit.
  void WireRenameEvents();
  // The inspector's tag list shows a renamed tag under its new name.
  void ShowRenamedFileTag(const QString& sKey, const QString& sNewName);

 private:
  void CreateTreePane(QWidget* window);
  void CreateTimerAndMenu(QWidget* window);

  // The tree's events and context menu (LibraryTreePane_drag.cpp,
  // LibraryTreePane_menu.cpp): the menu's items and their handlers, the
  // other tree events, the captions and enabled states for the selected node.
  void CreateTreeMenu();
  void WireTreeEvents();
  void PrepareTreeMenu();
  // The menu a right click on the selected node shows, under that node.
  void ShowTreeMenuByKey();
  void DeleteSelectedNode();
  // True when the pointer, the left button held since a press on a node,
  // has gone the drag distance from the press (wherever it is now).
  bool TreeNodeDraggedAway(double X, double Y) const;

  // The tree's drag and drop (LibraryTreePane_drop.cpp). The node a drag
  // last hovered and the tick (ms) at which it expands.
  struct TreeHover {
    QString Key;
    uint64_t ExpandAt = 0;
  };
  void HoverExpand(ctl::Node* node);
  void FileDragOver(ctl::Control& Source, const ctl::Node* node, int State);
  void NodeDragOver(const ctl::Node* node);
  void ShowDragStatus(const QString& text);
  // Each drop reports through one guard (see DropStep); true when the drop
  // changed the library.
  bool DropFiles(const ctl::Node& target, ErrorGuard& report);
  bool DropTreeNode(ctl::Node& target, ErrorGuard& report);
  bool LinkTreeNodes(ctl::Node& dragged, ctl::Node& target, ErrorGuard& report);
  bool MoveTreeNode(ctl::Node& dragged, ctl::Node& target, ErrorGuard& report);
  bool DropAutoTag(ctl::Node& target, ErrorGuard& report);

  IBrowserHost& host_;
  DragState& drag_;
  InspectorPane* inspector_ = nullptr;
  IResultsLink* results_ = nullptr;
  // The Index of the node whose tool tip the tree's mouse move set last
  // (-1 none, 0 before the first move).
  int32_t m_TreeTipIndex = 0;
  // Where the left button was last pressed on a node (not its expand icon),
  // in twips, while it may still start that node's drag; none otherwise.
  std::optional<QPointF> m_TreeNodePress;
  TreeHover m_TreeHover;
};
