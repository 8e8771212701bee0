// The inspector's pointer gestures and toolbars: the preview's double click
// and presses, the drags of the thumbnail and of the auto-tag suggestion
// towards the library tree, the tag list's menu and the two toolbars.
#include "inspector/InspectorPane.h"

#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Toolbar.h"
#include "player/clsRWPlayer.h"
#include "ui/cWindowMgr.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

void InspectorPane::ConnectPointerControls() {
  // The video area lies over the panel: its presses are the panel's.
  for (ctl::Control* surface : std::initializer_list<ctl::Control*>{picOpenFile, framPreview}) {
    surface->MouseDown = [this](int button, int shift, double x, double y) {
      picOpenFile_MouseDown(button, shift, x, y);
    };
    surface->DblClick = [this] { picOpenFile_DblClick(); };
  }
  picThumbnail->MouseMove = [this](int button, int shift, double x, double y) {
    picThumbnail_MouseMove(button, shift, x, y);
  };
  picAutoTag->MouseDown = [this](int button, int shift, double x, double y) {
    picAutoTag_MouseDown(button, shift, x, y);
  };
  lblAutoTag->MouseDown = [this](int button, int shift, double x, double y) {
    lblAutoTag_MouseDown(button, shift, x, y);
  };
  lstFileTags->MouseDown = [this](int button, int shift, double x, double y) {
    lstFileTags_MouseDown(button, shift, x, y);
  };
  lstFileTags->KeyDown = [this](int &keyCode, int shift) {
    lstFileTags_KeyDown(keyCode, shift);
  };
  tbCataloguing->ButtonClick = [this](ctl::Button &button) {
    tbCataloguing_ButtonClick(button.Index());
  };
  tbFileSpecs->ButtonClick = [this](ctl::Button &button) {
    tbFileSpecs_ButtonClick(button.Index());
  };
}

void InspectorPane::picOpenFile_DblClick() {
  if (gPlayer)
    gPlayer->OverlayText(QString(), 0, QString(), true);
  if (gWindowMode != 1) {
    host_.picCaption_DblClick();
    return;
  }
  host_.SetWindowMode(QStringLiteral("COMPACT"));
  if (const QScreen *screen = QGuiApplication::primaryScreen())
    QCursor::setPos(screen->geometry().center());
}

// Left in compact mode: the window follows the pointer. Right: the results'
// menu acts on the segment shown with its A and B points, not on the
// browser's current item.
void InspectorPane::picOpenFile_MouseDown(int Button, int, double, double) {
  if (Button == 1 && gWindowMode == 2) {
    if (gWindowMgr)
      gWindowMgr->DragWindow();
    return;
  }
  if (Button != 2)
    return;
  gSavedItem = gInspectedItem;
  gSavedItem.SegmentID = gEditedSegment.SegmentID;
  gSavedItem.IsFileRow = gEditedSegment.IsFileRow;
  gSavedItem.SelectionStart = m_SegmentStart;
  gSavedItem.SelectionEnd = m_SegmentEnd;
  host_.ShowInspectorPopup();
}

// The tree's drop handler reads what the drag state says: a file drag from
// the inspector of the segment the thumbnail shows.
void InspectorPane::picThumbnail_MouseMove(int Button, int, double, double) {
  if (picThumbnail->Tag() == QLatin1String("0") || Button != 1)
    return;
  DragState &drag = host_.Drag();
  drag.Source = QStringLiteral("Inspector");
  drag.SegmentID = picThumbnail->Tag().toInt();
  drag.ItemSelected = 0;
  picThumbnail->SetDragIcon(
      host_.imglstDragIcons().DragCursor(QStringLiteral("FILE")));
  picThumbnail->Drag(ctl::vbBeginDrag);
}

void InspectorPane::lblAutoTag_MouseDown(int Button, int Shift, double X,
                                         double Y) {
  picAutoTag_MouseDown(Button, Shift, X, Y);
}

// Any button: a drag of the suggestion with no file source recorded, so the
// tree's drop makes a tag of its text.
void InspectorPane::picAutoTag_MouseDown(int, int, double, double) {
  host_.Drag().Clear();
  picAutoTag->Drag(ctl::vbBeginDrag);
  picAutoTag->SetVisible(true);
}

void InspectorPane::lstFileTags_MouseDown(int Button, int Shift, double X,
                                          double Y) {
  if (Button != 2)
    return;
  ctl::ListView &list = *lstFileTags;
  if (Shift != 2) {
    for (int i = 1; i <= list.ListItems.Count(); ++i)
      list.ListItems.Item(i).SetSelected(false);
  }
  if (ctl::ListItem *item = list.HitTest(X, Y))
    item->SetSelected(true);
  host_.ShowFileTagsPopup();
}

// Button 1 removes the selected tags from the segment shown; button 2 edits
// the alias, then the description on the next press, and so on.
void InspectorPane::tbCataloguing_ButtonClick(int Index) {
  if (gInspectedItem.FileName.isEmpty() || !gLibrary)
    return;
  if (Index == 1) {
    const int32_t segment = picThumbnail->Tag().toInt();
    // Every selected tag goes, or none.
    TransactionGuard untagging(gLibrary->Connection(), QStringLiteral("Untag"));
    for (int i = 1; i <= lstFileTags->ListItems.Count(); ++i) {
      const ctl::ListItem &item = lstFileTags->ListItems.Item(i);
      if (item.Selected())
        gLibrary->TagSegment(segment, item.Tag().toInt(), true);
    }
    untagging.Commit();
    ShowFileTags(gEditedSegment);
    RedrawFrontCard();
  } else if (Index == 2) {
    flexFileDetails->SetTag(flexFileDetails->Tag() == QLatin1String("1")
                                ? QStringLiteral("3")
                                : QStringLiteral("1"));
    BeginCellEdit();
  }
}

void InspectorPane::tbFileSpecs_ButtonClick(int Index) {
  gSavedItem = gInspectedItem;
  if (gSavedItem.FileName.isEmpty())
    return;
  switch (Index) {
  case 1:
    host_.mnuDeleteFile_Click();
    break;
  case 2:
    host_.mnuRemoveFile_Click();
    break;
  case 3:
    host_.mnuAnalyze_Click();
    break;
  default:
    break;
  }
}
