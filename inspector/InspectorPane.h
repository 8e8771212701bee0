#pragma once
// The inspector's part of the main window: the inspector area along the
// bottom with its four collapsible tabs (file details, preview, segments,
// cataloguing), the preview player's transport bar, seek slider and volume,
// the inspector's content and its timers. It shows the inspected file's
// details, location, rating, tags, segments and history with the file paused
// in the preview, and answers the calls of the rest of the program.
#include "inspector/HeldRepeat.h"
#include "library/ResultItem.h"
#include "platform/controls/FlexGrid.h"
#include "platform/controls/Frame.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/Label.h"
#include "platform/controls/ListView.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBox.h"
#include "platform/controls/TimerControl.h"
#include "platform/controls/Toolbar.h"
#include "ui/AnimatedPicture.h"
#include "ui/DragState.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class SqlRecordset;
struct MediaButtonFaces;
class cMouseTrack;

// What the inspector asks of the window it sits in.
class IInspectorHost {
 public:
  virtual ~IInspectorHost() = default;
  // Flips the mark of the menu item; returns the new mark.
  virtual bool ToggleMenuCheck(const QString& key) = 0;
  // The window's image lists the inspector draws from.
  virtual ctl::ImageList& imglstMenus() = 0;
  virtual ctl::ImageList& imglstDragIcons() = 0;
  virtual ctl::ImageList& imglstReelwise() = 0;
  // The busy animation of the title bar.
  virtual void ShowBusyIndicator(bool on) = 0;
  // The submenu of recently inspected items.
  virtual QMenu* RecentMenu() = 0;
  // The results' menu for the inspected item (gSavedItem), at the pointer.
  virtual void ShowInspectorPopup() = 0;
  // Starts or stops the preview poll.
  virtual void SetPreviewTimer(bool on) = 0;
  // The story board of gSavedItem over the dimmed window, modal; true when
  // it asked to be shown again with new settings.
  virtual bool ShowStoryBoard() = 0;
  // After the story board: the focus back, the carousel's menu closed.
  virtual void AfterStoryBoard() = 0;
  // The file tags' menu at the pointer.
  virtual void ShowFileTagsPopup() = 0;
  // What a drag inside the window carries.
  virtual DragState& Drag() = 0;
  // "COMPACT" or "LIBRARY" window.
  virtual void SetWindowMode(const QString& Mode) = 0;
  // The caption's double click: full screen in compact mode, maximise or
  // restore in library mode.
  virtual void picCaption_DblClick() = 0;
  // The file commands on gSavedItem.
  virtual void mnuDeleteFile_Click() = 0;
  virtual void mnuRemoveFile_Click() = 0;
  virtual void mnuAnalyze_Click() = 0;
  // The carousel's front card, result `index`, drawn again from the results
  // (its file was edited here); nothing while the carousel is not shown.
  virtual void RedrawCarouselCard(int32_t index) = 0;
};

// The segment selected in the segments grid (SegmentID -1 when none).
extern ResultItem gEditedSegment;

// Geometry of one inspector tab in pixels, three values in record order.
struct InspectorTab {
  int32_t MinWidth = 0;
  int32_t CollapsedWidth = 0;
  int32_t FullWidth = 0;
};

class InspectorPane {
 public:
  // Makes the controls in `window` as they stand before any code runs.
  InspectorPane(IInspectorHost& host, QWidget* window);
  ~InspectorPane();
  InspectorPane(const InspectorPane&) = delete;
  InspectorPane& operator=(const InspectorPane&) = delete;

  // The inspector area and its tabs 1 to 4 (element 0 unused).
  ctl::PictureBox* picBottom;
  ctl::PictureBox* picBottomFrame;
  std::array<ctl::PictureBox*, 5> picInspector{};
  std::array<ctl::Label*, 5> lblCollapseTab{};
  std::array<ctl::Image*, 5> imgTab{};
  ctl::PictureBox* picTabBG;
  // The preview transport bar, buttons 1 to 15 (element 0 unused).
  std::array<ctl::PictureBox*, 16> picMediaControl{};
  ctl::PictureBox* picSlider;
  ctl::Image* imgSliderThumb;
  ctl::PictureBox* picVolume;
  ctl::PictureBox* picVolumeThumb;
  ctl::Image* imgSelection;
  ctl::PictureBox* picSelection;
  ctl::Label* lblStartPoint;
  ctl::Label* lblEndPoint;
  ctl::PictureBox* picMPlayerSkin;
  ctl::PictureBox* picOpenFile;
  ctl::Frame* framPreview;
  ctl::Label* lblOpenFileStatus;
  ctl::AnimatedPicture* RWLoadingInd;
  // The inspector's content.
  ctl::FlexGrid* flexFileDetails;
  std::array<ctl::Label*, 15> lblFileData{};
  std::array<ctl::Label*, 9> lblFileSpec{};
  ctl::Image* imgDeviceType;
  ctl::PictureBox* picThumbnail;
  ctl::PictureBox* picUnplayable;
  std::array<ctl::Image*, 6> imgRating{};  // 0 the margin left of star 1
  ctl::ListView* lstFileTags;
  std::array<ctl::Label*, 2> lblTagListScroll{};
  ctl::FlexGrid* flexSegments;
  std::array<ctl::Label*, 2> lblSegmentsScroll{};
  ctl::Frame* frameBackupOptions;
  std::array<ctl::Label*, 4> lblRemoveBackup{};
  ctl::PictureBox* picAutoTag;
  ctl::Label* lblAutoTag;
  ctl::Toolbar* tbFileSpecs;
  ctl::Toolbar* tbSegments;
  ctl::Toolbar* tbCataloguing;
  // The fade of the on-screen display text and the deferred story board.
  ctl::TimerControl* Timer2;
  ctl::TimerControl* timerFilePreview;

  // Leave tracking of the transport button under the mouse, hover tracking
  // of the seek slider.
  std::unique_ptr<cMouseTrack> m_picThisButton;
  std::unique_ptr<cMouseTrack> m_picScollbar;
  // The transport button whose hover picture is shown.
  int16_t m_HoverButton = 0;
  // The tabs' geometry, records 0 to 3 for tabs 1 to 4.
  std::array<InspectorTab, 4> m_InspectorTabs{};
  // The segment shown in the preview (seconds) and the open file's length in
  // hundredths of a second (10 when shorter than a second).
  double m_SegmentStart = 0;
  double m_SegmentEnd = 0;
  int32_t m_DurationHundredths = 0;

  // The set-up of the main window's loading, in its order: the inspector
  // area and the file-details tab, the transport bar, the segments tab and
  // the cataloguing tab.
  void InitInspector();
  void InitTransportBar();
  void InitSegments();
  void InitCataloguing();
  // Puts a transport button where the player skin shows it.
  void PlaceMediaControl(int Index);
  // The transport buttons take their Normal faces of the colour scheme.
  void ShowMediaButtonFaces();
  // The tabs' backgrounds, their arrows and transport faces in the scheme.
  void PaintInSchemeColours();
  void PaintTabBackground(int Index);

  // Tab widths and places after a resize of the frame (0) or after tab 1 to
  // 4 was toggled.
  void ArrangeInspector(int tab = 0);
  void picInspector_Resize(int Index);
  // The tagging tab's boxes in its width, collapsed or not.
  void FitCataloguingBoxes(double width);
  // Empties the inspector and lets the preview player's file go.
  void ClearInspector();
  // The problem text over the preview, wrapped and sized to fit its box.
  void ShowOpenFileStatus(const QString& text);
  // The history of inspected items: mnuRecent(1..10), the newest first.
  void ResetInspectorHistory();
  void AddInspectorHistory();
  void mnuRecent_Click(int Index);
  std::array<QAction*, 11> mnuRecent{};
  // Measures the item's file, opens it paused in the preview player and
  // writes what was measured into the library; Loaded is true only when the
  // file opened and shows. A file that cannot be opened is tagged
  // "Unplayable" and its problem shows under the preview. A full disk or a
  // library file that cannot be written leaves the library as it was and is
  // raised once the inspector shows the item, for the command's guard to tell.
  void LoadInspector(ResultItem& Item, bool& Loaded);
  // A load waits with the event loop running (the file's mount, the
  // player), and so does a held button's repeat; the shut-down would take
  // the library, the player and this pane from under them. While one is
  // under way the window's close is held back (a repeat ends at its next
  // turn), and asked for again once it is over. True when it was held.
  bool HoldCloseWhileBusy();
  // Where the inspected file lives, its details, alias, description,
  // thumbnail, rating and back-up note.
  void ShowFileLocation();
  // Stars 1 to 5 filled up to the rating, and the segment row's number.
  void ShowRating(int16_t rating);
  // The tags of the file, or of the segment and its file.
  void ShowFileTags(const ResultItem& segment);
  // Fills the Segments tab for the inspected file and selects the segment's
  // row (the whole-file row when it is not there).
  void LoadSegmentsGrid(const ResultItem& segment);
  void flexSegments_SelChange();
  void flexSegments_EnterCell();
  void flexSegments_LeaveCell();
  // A double click plays the segment from A to B.
  void flexSegments_DblClick();
  // EDIT_SEGMENT (a check button: while pressed the A-B changes of the
  // transport bar are stored), SAVE_SEGMENT, DELETE_SEGMENT.
  void tbSegments_ButtonClick(const QString& Key);
  // The A-B band over the position slider and the A and B labels; while the
  // segment is edited its row gets the points and, with Save, the library.
  void DrawSelectionMarkers(bool Save);
  // The in-place edit of the alias and description (flexFileDetails rows 1
  // and 3, the row to edit in its Tag), begun by a click or a double click
  // on the row or by Tab onto it.
  void flexFileDetails_Click();
  void flexFileDetails_DblClick();
  void flexFileDetails_KeyDown(int& KeyCode, int Shift);
  void EndCellEdit();
  void txtCell_LostFocus();
  void txtCell_KeyDown(int& KeyCode, int Shift);
  void txtCell_MouseUp(int Button, int Shift, double X, double Y);
  // Stores an edit still open (before the shown segment changes).
  void FinishCellEdit();
  ctl::TextBox* txtCell = nullptr;
  // The alias, else the file name without its extension.
  static QString ShownAlias(const ResultItem& item);
  // A number of seconds as the grid keeps it.
  static QString SecondsText(double seconds);

  // ---- The transport bar ----
  void picMediaControl_MouseDown(int Index, int Button, int Shift, double X, double Y);
  void picMediaControl_MouseMove(int Index, int Button, int Shift, double X, double Y);
  void picMediaControl_MouseUp(int Index, int Button, int Shift, double X, double Y);
  void m_picThisButton_MouseLeave();
  void picSlider_MouseDown(int Button, int Shift, double X, double Y);
  void picSlider_MouseMove(int Button, int Shift, double X, double Y);
  void picVolume_MouseDown(int Button, int Shift, double X, double Y);
  void picVolume_MouseMove(int Button, int Shift, double X, double Y);
  // The step of a held step button at move `count` (from 0), after `step`:
  // one frame (one second with Ctrl) for the first 15 moves, then half as
  // much again at every fifth move, never above 600 seconds.
  static double NextStep(int count, double step, double frameRate, bool ctrl);
  // The poll's share of the preview: slider thumb, play or pause button,
  // the time on the display.
  void ShowPreviewPosition();
  // Tests put a hook here: it runs at each turn of a held button's repeat
  // and at the slider's settling, in place of their wait, and each turn of
  // the event loop is then a step.
  static std::function<void(int ms)> WaitHook;
  // Whether a held button's or arrow's repeat runs, and whether the seek
  // slider's position is still settling.
  bool Repeating() const { return held_.Running(); }
  bool SliderSettling() const { return sliderSettle_.isActive(); }

  // ---- Timers ----
  // The fade of the on-screen text after a player command.
  void Timer2_Timer();
  // The story board of gSavedItem, a moment after it was asked for.
  void timerFilePreview_Timer();
  // Holding a segment arrow moves the cursor row a step every 200 ms.
  void lblSegmentsScroll_MouseDown(int Index);
  void lblSegmentsScroll_MouseUp();
  // One step of a held arrow: 1 down, 0 up.
  void SegmentScrollStep(int Index);
  // Copies the edited segment into its row of the current results.
  void UpdateResultRowFromEdit();
  // The carousel's front card again when it shows the inspected file.
  void RedrawFrontCard();
  // The stars rate the segment shown (left button only).
  void imgRating_MouseDown(int Index, int Button, int Shift, double X, double Y);
  // The tag list pages by rotating its items (Down 40 on the last visible
  // item, Up 38 on the first); the arrows repeat that while held.
  void lstFileTags_KeyDown(int KeyCode, int Shift);
  void lblTagListScroll_MouseDown(int Index);
  void lblTagListScroll_MouseUp();
  // Set while a scroll arrow is held.
  bool m_MouseHeld = false;
  // A right press on the preview opens the results' menu for the segment
  // shown, with its A and B points.
  void picOpenFile_MouseDown(int Button, int Shift, double X, double Y);
  // Double-clicking the preview: compact mode from the library window, full
  // screen on or off in compact mode.
  void picOpenFile_DblClick();
  // Dragging the thumbnail onto the tree tags the segment shown.
  void picThumbnail_MouseMove(int Button, int Shift, double X, double Y);
  // Dragging the auto-tag suggestion onto the tree tags with its text.
  void lblAutoTag_MouseDown(int Button, int Shift, double X, double Y);
  void picAutoTag_MouseDown(int Button, int Shift, double X, double Y);
  // A right press on the tag list selects the tag under the pointer (Ctrl
  // adds it to the selection) and opens the file tags' menu.
  void lstFileTags_MouseDown(int Button, int Shift, double X, double Y);
  // The cataloguing tab's toolbar: 1 removes the selected tags, 2 edits the
  // alias and the description in turn.
  void tbCataloguing_ButtonClick(int Index);
  // The details tab's toolbar: 1 deletes, 2 removes, 3 analyses the file.
  void tbFileSpecs_ButtonClick(int Index);
  // Starts the in-place edit of the details row in flexFileDetails' Tag.
  void BeginCellEdit();
  // The same for `row`, which becomes the Tag.
  void EditDetailsRow(int row);
  // The back-up note's Delete (1), Restore (2) and Swap (3).
  void lblRemoveBackup_Click(int Index);
  // The caption shortened with "..." to fit the label.
  static QString FitCaption(ctl::Label& label, const QString& caption);
  // A grabbed frame, cropped to its middle and scaled, becomes the 100 x 75
  // thumbnail picture; Shown is false for a null frame.
  void ShowGrabbedFrame(const QImage& Frame, bool& Shown);
  // Expands or collapses tab 1 to 4.
  void lblCollapseTab_Click(int16_t Index);
  // The segment list shows a segment's new rating.
  void ShowSegmentRating(int32_t SegmentID, int16_t Rating);

 private:
  void CreateInspector(QWidget* window);
  void CreateTransportBar();
  void CreateInspectorContent();

  // What loading measures of the inspected file.
  struct Measured {
    int64_t size = 0;
    QDateTime modified;
    double end = 0;
    double frameRate = 0;
    QString dimensions;
    std::optional<double> bitrate;
    QString format;
  };
  struct Load;
  // Work that runs the event loop (a load), or a held button's repeat, for
  // its scope. When the outermost ends, a close of the window held back
  // meanwhile is asked for again, from the event loop.
  class WorkUnderWay {
   public:
    explicit WorkUnderWay(InspectorPane& pane);
    ~WorkUnderWay();
    WorkUnderWay(const WorkUnderWay&) = delete;
    WorkUnderWay& operator=(const WorkUnderWay&) = delete;

   private:
    InspectorPane& pane_;
  };
  bool LoadItem(Load& load);
  void LoadStep(Load& load, const std::function<void()>& step);
  bool LoadGoesOn(const Load& load) const;
  void ShowLoading(bool on);
  void TakeMeasured(bool available, bool opened, const Measured& measured);
  bool OpenInPreview(Load& load, SqlRecordset& row, const QString& path, Measured& measured);
  void ReadMediaFormats(Load& load, const QString& path, QString& format);
  void StoreMeasured(Load& load, bool available, bool opened, const Measured& measured);
  static void WriteMeasured(int32_t fileId, bool available, bool opened, const Measured& measured);
  void TagUnplayable(Load& load);
  void MakeRecentMenu();
  void ShowDevice(const QString& diskType, const QString& diskLabel, const QString& currentPath);
  void ShowBackupNote();
  void ShowDetails();
  void CopyRow(SqlRecordset& row);
  void ConnectControls();
  void ConnectPointerControls();
  void ConnectTransportControls();
  void ConnectEditingControls();
  void SelectSegmentRow();
  void SaveSegment();
  bool SegmentEditing() const;
  void CopyEditToResults(int32_t segmentId, const QString& alias, const QString& description);
  // Starts the repeat of a held button: `step` at once and every
  // `intervalMs` while `goesOn`; a close of the window waits for its end.
  void RepeatWhileHeld(int intervalMs, std::function<void()> step, std::function<bool()> goesOn);
  bool HeldLoopGoesOn() const;
  // Ends every held button's repeat at once.
  void EndHeldLoops();
  // The seek slider's position read back once the seek has settled.
  void SliderSettled();
  void ReportPosition();
  void ShowButtonFace(int Index, const QPixmap MediaButtonFaces::*face);
  void GoToA();
  void GoToB();
  void SetA(double position);
  void SetB(double position);
  void StepWhileHeld(int Index);
  void MovePointWhileHeld(int Index);
  void OpenCurrentResult();
  void GrabThumbnail();
  static void ShowArrow(ctl::Label& arrow, const QString& caption);
  void TagListStep(int Index);
  void UseStoredPoints(SqlRecordset& row);
  static QString SwapWithBackup(const QString& file, const QString& backup);
  bool TabCollapsed(int tab) const;
  void SetTabWidth(int tab, double width);
  void PlaceTabs();
  bool MenuMarked(int tab);
  void MarkTab(int tab);
  void ResetSegmentsGrid();
  void PaintSegmentRows(int first, int last, COLORREF colour, bool clear);
  void WriteSegmentRow(int row, SqlRecordset& rs, bool wholeFile);

  IInspectorHost& host_;
  bool tabsSized_ = false;
  // Counts the loads begun and the clears: a load that finds a newer count
  // after a wait has been overtaken.
  uint64_t loadSerial_ = 0;
  // The work under way (a load may begin while another waits, or while a
  // button is held), and whether the window's close was held back meanwhile.
  int workUnderWay_ = 0;
  bool closeHeld_ = false;
  // The repeat of the button held, and the work under way for its length.
  HeldRepeat held_;
  std::optional<WorkUnderWay> heldWork_;
  // After a press or a drag on the seek slider, until the seek has settled.
  QTimer sliderSettle_;
  // The in-place edit under way: the segment and grid row it stores into.
  struct CellEdit {
    bool open = false;
    int32_t segmentId = 0;
    int row = 0;
  } cellEdit_;
  double fadeLevel_ = 0;
};
