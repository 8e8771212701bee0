// The library tree pane's controls as they stand before any code runs, their
// set-up when the main window loads, and the loading animation over the pane.
#include "browser/LibraryTreePane.h"

#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "resources/Resources.h"
#include "ui/FormDesign.h"
#include "ui/modCustomTreeIcons.h"

#include <QMenu>

using FormDesign::Make;
using FormDesign::MakeLabel;
using modReelwise::ScaledFont;

ctl::TreeView* gTreeHwnd = nullptr;

LibraryTreePane::LibraryTreePane(IBrowserHost& host, QWidget* window, DragState& drag) : host_(host), drag_(drag) {
  CreateTreePane(window);
  CreateTimerAndMenu(window);
  WireTreeEvents();
  WireRenameEvents();
}

LibraryTreePane::~LibraryTreePane() {
  if (gTreeHwnd == tvwLibrary) gTreeHwnd = nullptr;
}

void LibraryTreePane::Attach(InspectorPane& inspector, IResultsLink& results) {
  inspector_ = &inspector;
  results_ = &results;
}

void LibraryTreePane::CreateTreePane(QWidget* window) {
  picLeft = Make<ctl::PictureBox>(window, "picLeft");
  picLeft->Move(0, 81, 256, 300);
  picLeftFrame = Make<ctl::PictureBox>(picLeft, "picLeftFrame");
  picLeftFrame->Move(3, 4, 246, 292);
  tvwLibrary = Make<ctl::TreeView>(picLeftFrame, "tvwLibrary");
  static_cast<ctl::Control*>(tvwLibrary)->Move(2, 2, 242, 288);
  gifTreeLoading = Make<ctl::AnimatedPicture>(picLeftFrame, "gifTreeLoading");
  gifTreeLoading->LoadAnimation(QStringLiteral("TREE_LOADING"));
  gifTreeLoading->SetVisible(false);
  lblRepeatTagging = MakeLabel(picLeftFrame, QStringLiteral("lblRepeatTagging"), QString(), 0, 0, 16, 16);
  lblRepeatTagging->SetVisible(false);
  picGrip = Make<ctl::PictureBox>(window, "picGrip");
  picGrip->SetPicture(QPixmap::fromImage(LoadResPicture(QStringLiteral("GRIPPER"), kResCustom)));
  picGrip->Move(250, 200, 6, 40);
  // The grip marks the splitter at the tree pane's edge; a press on it is a
  // press on that edge.
  picGrip->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LibraryTreePane::CreateTimerAndMenu(QWidget* window) {
  tvwEditTimer = Make<ctl::TimerControl>(window, "tvwEditTimer");
  tvwEditTimer->SetInterval(100);
  tvwEditTimer->SetEnabled(false);
  mnuTree = Make<QMenu>(window, "mnuTree");
  CreateTreeMenu();
}

void LibraryTreePane::InitTree() {
  tvwLibrary->SetFontSize(ScaledFont(10));
  tvwLibrary->SetImageList(&host_.imglstReelwise());
  gTreeHwnd = tvwLibrary;
  if (gLibraryTreeClassic) {
    tvwLibrary->SetStyle(ctl::tvwTreelinesPlusMinusPictureText);
  } else {
    tvwLibrary->SetStyle(ctl::tvwPictureText);
    SetTreeImageList(gTreeHwnd, &host_.ilStateIcons(), TVSIL_STATE);
  }
}

void LibraryTreePane::SetLoadingState(bool& starting) {
  if (gTVOutMode) return;
  ctl::AnimatedPicture& animation = *gifTreeLoading;
  const ctl::PictureBox& pane = *picLeftFrame;
  animation.Move((pane.Width() - animation.Width()) / 2, (pane.Height() - animation.Height()) / 2);
  // A pane too narrow shows no animation and keeps its tree.
  if (animation.Width() + 10 > pane.Width()) starting = false;
  if (starting) {
    tvwLibrary->Nodes.Clear();
    tvwLibrary->Refresh();
    animation.Start();
  } else {
    animation.Stop();
  }
  modReelwise::SetWindowRedraw(tvwLibrary, true);
  animation.SetVisible(starting);
  animation.raise();
  picLeft->window()->repaint();
  modReelwise::SetWindowRedraw(tvwLibrary, false);
}
