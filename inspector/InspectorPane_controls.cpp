// The inspector's own controls: the rating stars and the back-up note's
// Delete, Restore and Swap.
#include "inspector/InspectorPane.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/OwnFileWrites.h"
#include "platform/WholeFile.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Toolbar.h"
#include "player/clsRWPlayer.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

namespace {

// Renames in one step, replacing what is at `to`; why it failed, in the
// program's words, or empty.
QString Rename(const QString& from, const QString& to) {
  if (OwnFileWrites::Rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return {};
  const int error = errno;
  return QStringLiteral("'%1' could not be renamed to '%2': %3").arg(from, to, FileErrorText(error));
}

// A name beside `file` that nothing uses yet.
QString FreshName(const QString& file) {
  for (int n = 0;; ++n) {
    const QString candidate = file + QStringLiteral(".RWSWAP%1").arg(n);
    if (!QFileInfo::exists(candidate)) return candidate;
  }
}

}  // namespace

void InspectorPane::ConnectControls() {
  for (int i = 1; i <= 3; ++i) lblRemoveBackup[i]->Click = [this, i] { lblRemoveBackup_Click(i); };
  for (int i = 0; i <= 1; ++i) {
    lblSegmentsScroll[i]->MouseDown = [this, i](int, int, double, double) { lblSegmentsScroll_MouseDown(i); };
    lblSegmentsScroll[i]->MouseUp = [this](int, int, double, double) { lblSegmentsScroll_MouseUp(); };
  }
  // A tab's heading picture toggles it as its arrow does; both show the hand
  // under the pointer (the hand cursor exists once the program has started).
  for (int i = 1; i <= 4; ++i) {
    imgTab[i]->Click = [this, i] { lblCollapseTab_Click(static_cast<int16_t>(i)); };
    lblCollapseTab[i]->Click = [this, i] { lblCollapseTab_Click(static_cast<int16_t>(i)); };
    imgTab[i]->MouseMove = [this, i](int, int, double, double) { imgTab[i]->setCursor(gHandCursor); };
    lblCollapseTab[i]->MouseMove = [this, i](int, int, double, double) { lblCollapseTab[i]->setCursor(gHandCursor); };
  }
  ConnectPointerControls();
  ConnectTransportControls();
  ConnectEditingControls();
  Timer2->Timer = [this] { Timer2_Timer(); };
  timerFilePreview->Timer = [this] { timerFilePreview_Timer(); };
  for (int i = 0; i <= 1; ++i) {
    lblTagListScroll[i]->MouseDown = [this, i](int, int, double, double) { lblTagListScroll_MouseDown(i); };
    lblTagListScroll[i]->MouseUp = [this](int, int, double, double) { lblTagListScroll_MouseUp(); };
  }
  for (int i = 0; i <= 5; ++i) {
    imgRating[i]->MouseDown = [this, i](int button, int shift, double x, double y) {
      imgRating_MouseDown(i, button, shift, x, y);
    };
  }
}

// Only the left button rates the segment shown; clicking the current rating
// stores it again. The stars change once the rating is stored.
void InspectorPane::imgRating_MouseDown(int Index, int Button, int, double, double) {
  if (gInspectedItem.FileName.isEmpty() || Button != 1 || !gLibrary) return;
  gLibrary->RateSegment(static_cast<int16_t>(Index), picThumbnail->Tag().toInt());
  ShowRating(static_cast<int16_t>(Index));
  if (gAutoRefresh) gLibrary->RefreshResults();
  gEditedSegment.Rating = static_cast<int16_t>(Index);
  UpdateResultRowFromEdit();
}

void InspectorPane::lblRemoveBackup_Click(int Index) {
  const QString file = gInspectedItem.CurrentPath + gInspectedItem.FileName;
  const QString backup = file + QStringLiteral(".RWBAK");
  QString failure;
  switch (Index) {
    case 1:
      if (QFileInfo::exists(backup) && !QFile::remove(backup)) failure = QStringLiteral("Cannot delete ") + backup;
      if (failure.isEmpty()) frameBackupOptions->SetVisible(false);
      break;
    case 2:
      if (gPlayer) gPlayer->CleanUp();
      // The back-up takes the file's place in one step: the file is never
      // gone before the back-up stands in its stead.
      failure = Rename(backup, file);
      if (failure.isEmpty()) frameBackupOptions->SetVisible(false);
      break;
    case 3:
      if (gPlayer) gPlayer->CleanUp();
      failure = SwapWithBackup(file, backup);
      break;
    default:
      return;
  }
  if (!failure.isEmpty()) {
    ShowProgramMessage(failure, vbExclamation, QStringLiteral("Backup"), picBottom->window());
    return;
  }
  if (Index >= 2) {
    ResultItem item = gInspectedItem;
    bool loaded = false;
    LoadInspector(item, loaded);
  }
}

// The file and its back-up change places through a name nothing uses; a
// step that fails undoes the steps done, so both files stay as they were.
QString InspectorPane::SwapWithBackup(const QString& file, const QString& backup) {
  const QString parked = FreshName(file);
  QString failure = Rename(file, parked);
  if (!failure.isEmpty()) return failure;
  failure = Rename(backup, file);
  if (!failure.isEmpty()) {
    Rename(parked, file);
    return failure;
  }
  failure = Rename(parked, backup);
  if (!failure.isEmpty()) {
    Rename(file, backup);
    Rename(parked, file);
  }
  return failure;
}

namespace {

// A copy of a tag-list item (text, tag, and its one sub-item's text, colour,
// tool tip, weight and tag) at `index` (0: the end).
void CopyTagItem(ctl::ListView& list, const ctl::ListItem& from, int index) {
  ctl::ListItem& copy = list.ListItems.Add(index, QString(), from.Text());
  copy.SetTag(from.Tag());
  const ctl::ListSubItem& sub = from.ListSubItems.Item(1);
  ctl::ListSubItem& subCopy = copy.ListSubItems.Add(0, QString(), sub.Text());
  subCopy.SetForeColor(sub.ForeColor());
  subCopy.SetToolTipText(sub.ToolTipText());
  subCopy.SetBold(sub.Bold());
  subCopy.SetTag(sub.Tag());
}

int PositionOf(const ctl::ListView& list, const ctl::ListItem* item) {
  for (int i = 1; i <= list.ListItems.Count(); ++i) {
    if (&list.ListItems.Item(i) == item) return i;
  }
  return 0;
}

}  // namespace

// The tag list has no scroll bar: Down on the last visible item brings the
// next tag in by moving the first item to the end, Up on the first item
// the other way; the first and the last tag of the list stop it.
void InspectorPane::lstFileTags_KeyDown(int KeyCode, int) {
  ctl::ListView& list = *lstFileTags;
  const int count = list.ListItems.Count();
  const int fit = list.CountPerPage();
  if (count <= fit || count == 0) return;
  const int selected = PositionOf(list, list.SelectedItem());
  if (KeyCode == 40 && selected == fit) {
    if (list.ListItems.Item(fit).ListSubItems.Item(1).Tag().toInt() == count) {
      list.SetSelectedItem(&list.ListItems.Item(fit - 1));
      return;
    }
    CopyTagItem(list, list.ListItems.Item(1), 0);
    list.ListItems.Remove(1);
  } else if (KeyCode == 38 && selected == 1) {
    if (list.ListItems.Item(1).ListSubItems.Item(1).Tag().toInt() == 1) return;
    CopyTagItem(list, list.ListItems.Item(count), 1);
    list.ListItems.Remove(count + 1);
  }
}

// Holding an arrow over the tag list pages it, a step every 200 ms, until
// the button is let go.
void InspectorPane::lblTagListScroll_MouseDown(int Index) {
  m_MouseHeld = true;
  flexSegments->setFocus();
  RepeatWhileHeld(200, [this, Index] { TagListStep(Index); }, [this] { return m_MouseHeld; });
}

void InspectorPane::TagListStep(int Index) {
  ctl::ListView& list = *lstFileTags;
  const int fit = std::min(list.CountPerPage(), list.ListItems.Count());
  if (fit <= 0) return;
  list.SetSelectedItem(&list.ListItems.Item(Index == 0 ? fit : 1));
  lstFileTags_KeyDown(Index == 0 ? 40 : 38, 0);
}

void InspectorPane::lblTagListScroll_MouseUp() {
  m_MouseHeld = false;
  held_.Stop();
}
