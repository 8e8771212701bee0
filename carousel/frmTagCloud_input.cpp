// The tag-cloud window's keys, dragging, clicks on tags, hover highlight and
// hover scrolling.
#include "carousel/frmTagCloud.h"

#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/clsRWLibrary.h"
#include "platform/DragController.h"
#include "platform/ErrorGuard.h"
#include "platform/InputGate.h"
#include "platform/SqlConnection.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/VbInput.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>

namespace {

// How far one rest of the mouse on an arrow scrolls the cloud, in pixels.
constexpr double kScrollStep = 14;

bool Held(int virtualKey) { return ctl::GetKeyState(virtualKey) < 0; }

// The operator of a click made now.
QString CurrentOperator() {
  return TagCloudOperator(Held(ctl::vbKeyMenu), Held(ctl::vbKeyControl), Held(ctl::vbKeyShift));
}

}  // namespace

QString TagCloudOperator(bool alt, bool ctrl, bool shift) {
  if (alt) return QStringLiteral("-");
  if (ctrl) return QStringLiteral("+");
  if (shift) return QStringLiteral("&");
  return QStringLiteral("_");
}

QString TagCloudKeyCommand(int keyCode, int shift) {
  // Esc hides the window as its close button does.
  if (keyCode == ctl::vbKeyEscape && shift == 0) return QStringLiteral("mnuViewTagCloud");
  if (shift & ctl::vbCtrlMask) {
    if (keyCode == 'L') return QStringLiteral("mnuViewList");
    if (keyCode == 'T') return QStringLiteral("mnuViewTile");
  }
  switch (keyCode - ctl::vbKeyF1 + 1) {
    case 3:
      return QStringLiteral("mnuViewInspector");
    case 4:
      return QStringLiteral("mnuBrowserBack");
    case 5:
      return QStringLiteral("mnuBrowserRefresh");
    case 6:
      return QStringLiteral("mnuBrowserForward");
    case 9:
      return QStringLiteral("mnuViewTagCloud");
    default:
      return QString();
  }
}

// ---- Keys, dragging and closing ----

void frmTagCloud::keyPressEvent(QKeyEvent* event) {
  const int keyCode = ctl::VbKeyCode(event);
  if (keyCode == 0) return QWidget::keyPressEvent(event);
  ErrorGuard({.owner = this}).Run([&] { Form_KeyDown(keyCode, ctl::VbShift(event->modifiers())); });
}

// Any other key names no command and is left alone.
void frmTagCloud::Form_KeyDown(int keyCode, int shift) {
  const QString command = TagCloudKeyCommand(keyCode, shift);
  if (!command.isEmpty()) SendCommand(command);
}

// The dispatcher; without a main window the one command that concerns the
// cloud itself, hiding it, is done here.
void frmTagCloud::SendCommand(const QString& command) {
  if (m_Hooks.MainToolbarHandler) {
    m_Hooks.MainToolbarHandler(command);
  } else if (command == QLatin1String("mnuViewTagCloud")) {
    hide();
  }
}

void frmTagCloud::imgClose_Click() { SendCommand(QStringLiteral("mnuViewTagCloud")); }

// Closed by the window system, the cloud is hidden through the dispatcher,
// so the menu's check mark and the toolbar button follow.
void frmTagCloud::closeEvent(QCloseEvent* event) {
  if (gTagCloudShown && m_Hooks.MainToolbarHandler) {
    event->ignore();
    SendCommand(QStringLiteral("mnuViewTagCloud"));
    return;
  }
  QWidget::closeEvent(event);
}

void frmTagCloud::mousePressEvent(QMouseEvent* event) {
  Form_MouseDown(ctl::VbButton(event->button()), event->globalPosition().toPoint());
}

// The window system moves the window where it can; elsewhere the window
// follows the pointer itself until the button is let go.
void frmTagCloud::Form_MouseDown(int button, const QPoint& global) {
  if (button != ctl::vbLeftButton) return;
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  m_Dragging = true;
  m_DragOffset = global - pos();
}

void frmTagCloud::mouseMoveEvent(QMouseEvent* event) {
  if (m_Dragging) move(event->globalPosition().toPoint() - m_DragOffset);
}

void frmTagCloud::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_Dragging = false;
}

// ---- Clicks on tags ----

void frmTagCloud::lblTag_MouseDown(int index, int button) {
  m_Button = button;
  if (button != ctl::vbRightButton || !gLibrary || !m_Hooks.SetTreeViewFirstVisibleNode) return;
  ctl::TreeView* tree = gLibrary->View().LibraryTree();
  // A tag the tree does not show (renamed or deleted since) is passed over.
  ctl::Node* node = tree ? tree->Nodes.Find(QStringLiteral("ID") + lblTag[static_cast<size_t>(index)]->Tag()) : nullptr;
  if (node) m_Hooks.SetTreeViewFirstVisibleNode(*tree, node);
}

void frmTagCloud::lblTag_Click(int index) {
  if (m_Button != ctl::vbLeftButton || !gLibrary) return;
  const ctl::Label& label = *lblTag[static_cast<size_t>(index)];
  RunTagStep(CurrentOperator(), label.Tag(), label.Caption());
}

// A new result set of the tag clears the selection and is named after it;
// the other operators keep the selection and add no name. The step, the
// fetch and the display are one transaction: a failure that leaves them
// rolls everything back and is reported once, so "LTC" is never left open.
void frmTagCloud::RunTagStep(const QString& op, const QString& tagId, const QString& caption) {
  // A step of the cloud's own asks the input gate, as the dispatcher does.
  if (!InputGate::Admits()) return;
  ILibraryView& view = gLibrary->View();
  view.ShowBusyIndicator(true);
  ErrorGuard({.owner = this}).Run([&] {
    TransactionGuard ltc(gLibrary->Connection(), QStringLiteral("LTC"));
    const QString key = QStringLiteral("ID") + tagId;
    const bool fresh = op == QLatin1String("_");
    gLibrary->BuildSearchResults(op, key, !fresh, fresh ? caption : QString());
    gLibrary->FetchSearchResults();
    gLibrary->ShowSearchResults();
    ltc.Commit();
  });
  view.AlignBrowserHistory();
  view.ShowBusyIndicator(false);
}

// ---- Hover highlight ----

// The label under the mouse shows in the cursor colour, with the hand of
// the operator a click would use now.
void frmTagCloud::lblTag_MouseMove(int index) {
  RestoreHoveredLabel();
  ctl::Label& label = *lblTag[static_cast<size_t>(index)];
  m_HoverIndex = index;
  m_HoverForeColor = label.ForeColor();
  label.SetForeColor(gCursorColour);
  label.SetMouseIcon(OperatorCursor(CurrentOperator()));
  // A label reached from outside the cloud still hears of the mouse leaving.
  if (!m_Tag->Tracking()) m_Tag->StartMouseTracking();
}

void frmTagCloud::picTags_MouseMove() {
  RestoreHoveredLabel();
  m_Tag->StartMouseTracking();
}

void frmTagCloud::m_Tag_MouseLeave() { RestoreHoveredLabel(); }

void frmTagCloud::RestoreHoveredLabel() {
  if (m_HoverIndex >= 1 && m_HoverIndex <= TagLabelUBound()) {
    lblTag[static_cast<size_t>(m_HoverIndex)]->SetForeColor(m_HoverForeColor);
  }
  m_HoverIndex = 0;
}

// ---- Scrolling ----

void frmTagCloud::picScroll_MouseMove(cMouseTrack& tracker) {
  if (!tracker.Tracking()) tracker.StartMouseTracking();
}

// Moves a cloud taller than its frame by `offset` pixels (down when
// positive), its top edge never below the frame's top nor its bottom edge
// above the frame's bottom; a shorter cloud stays centred.
void frmTagCloud::ScrollCloud(double offset) {
  const double lowest = picTagContainer->Height() - picTags->Height();
  if (lowest >= 0) return;
  picTags->SetTop(std::clamp(picTags->Top() + offset, lowest, 0.0));
}

// Each rest on the arrow moves the cloud one step and asks for the next
// rest, so the cloud keeps moving while the mouse stays on the arrow.
void frmTagCloud::m_ScrollDown_MouseHover() {
  ScrollCloud(-kScrollStep);
  m_ScrollDown->StartMouseTracking();
}

void frmTagCloud::m_ScrollUp_MouseHover() {
  ScrollCloud(kScrollStep);
  m_ScrollUp->StartMouseTracking();
}

// A notch of the wheel anywhere over the window moves the cloud three steps.
void frmTagCloud::wheelEvent(QWheelEvent* event) {
  ScrollCloud(event->angleDelta().y() / 120.0 * 3 * kScrollStep);
  event->accept();
}

// The clicks go to the top and the bottom of a cloud taller than its frame;
// a shorter one stays centred.
void frmTagCloud::picScrollUp_Click() {
  if (picTags->Height() > picTagContainer->Height()) picTags->SetTop(0);
}

void frmTagCloud::picScrollDown_Click() {
  if (picTags->Height() > picTagContainer->Height()) {
    picTags->SetTop(picTagContainer->Height() - picTags->Height());
  }
}
