#pragma once
// The floating tag-cloud window: a small frameless window, shaped by its
// picture, that shows the tags of the current results as a cloud of labels
// on the panel picTags, which scrolls inside picTagContainer; each label's
// Tag is its TagID. The library counts the tags (clsRWLibrary::ShowTagCloud)
// and the window lays their labels out.
//
// A click on a tag runs a search step with it in transaction "LTC", the
// modifier keys choosing the operator (Alt "-", Ctrl "+", Shift "&", none
// "_"); a right press shows the tag in the library tree; the category menu
// restricts the cloud to the tags of the checked categories. The body of the
// window drags it; resting the mouse on an arrow or turning the wheel
// scrolls the cloud.
#include "library/ILibraryView.h"
#include "platform/ColorRef.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "ui/cDIBSectionRegion.h"
#include "ui/cMouseTrack.h"

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QMenu;
namespace ctl {
class Node;
class TreeView;
}  // namespace ctl

// What the window asks of the main window; start-up connects them
// (app/UpwardCalls.cpp). Without them keys and the close button only hide the
// window, and a right press shows nothing.
struct TagCloudHooks {
  // The command dispatcher, with a menu key ("mnuViewTagCloud", ...).
  std::function<void(const QString& sCommand)> MainToolbarHandler;
  // Selects the node in the library tree and scrolls it to the top of the view.
  std::function<void(ctl::TreeView& TV, ctl::Node* Node)> SetTreeViewFirstVisibleNode;
};

// The search operator of a click with these keys held, the first that
// applies: Alt "-", Ctrl "+", Shift "&", none "_".
QString TagCloudOperator(bool alt, bool ctrl, bool shift);
// The main window's command a key of the cloud stands for (Ctrl+L, Ctrl+T,
// F3 to F6, F9); empty for any other key.
QString TagCloudKeyCommand(int keyCode, int shift);

class frmTagCloud : public QWidget {
 public:
  frmTagCloud();
  ~frmTagCloud() override;
  frmTagCloud(const frmTagCloud&) = delete;
  frmTagCloud& operator=(const frmTagCloud&) = delete;

  // One set for every cloud window, the one shown now and any made later.
  static void SetHooks(TagCloudHooks hooks) { m_Hooks = std::move(hooks); }

  ctl::Label* Label1;
  ctl::Image* imgCloudMenu;
  ctl::Image* imgClose;
  ctl::PictureBox* picTagContainer;
  ctl::PictureBox* picTags;
  ctl::PictureBox* picScrollUp;
  ctl::PictureBox* picScrollDown;
  // The tag labels; element 0 is the hidden pattern the others are made from.
  std::vector<ctl::Label*> lblTag;
  // The category menu: mnuCategory(0) is a hidden template, elements 1 .. n
  // the categories in name order (text the name, data the TagID, checked
  // when shown in the cloud), then mnuSep and mnuSelectAll.
  QMenu* mnuCategorySelector;
  std::vector<QAction*> mnuCategory;
  QAction* mnuSep;
  QAction* mnuSelectAll;

  // Label n, made from element 0 when it does not exist yet (together with
  // any missing elements below it); an existing one is reused as it is.
  ctl::Label& LoadTagLabel(int n);
  // The highest label index there is.
  int TagLabelUBound() const { return static_cast<int>(lblTag.size()) - 1; }
  // The categories in the menu.
  int CategoryCount() const { return static_cast<int>(mnuCategory.size()) - 1; }

  // One label per tag, in the order given, in rows centred in the panel's
  // width: size and grey by the share of `resultCount` the tag covers (up to
  // 10 per cent 8 points light grey, up to 30 10 points, up to 50 12 points,
  // up to 70 13 points, above that 14 points black). Labels left over from a
  // larger cloud are hidden.
  // `laidOut` hears how many labels are laid out as the layout goes on.
  void ShowTags(const std::vector<TagCloudEntry>& tags, int32_t resultCount,
                const std::function<void(int laidOut)>& laidOut = {});

  // The hand cursor of an operator ("_", "&", "+", "-").
  const QCursor& OperatorCursor(const QString& op) const;
  // The window's picture, whose magenta pixels are cut from its shape.
  const QImage& WindowPicture() const { return m_Picture; }
  const cDIBSectionRegion& WindowRegion() const { return m_Region; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Construction (frmTagCloud.cpp).
  void CreateControls();
  void CreateMenu();
  void Form_Load();
  void ShapeWindow();
  void AttachTrackers();
  void ConnectLabel(ctl::Label& label, int index);

  // Label layout.
  static void SetCaptionAndFont(ctl::Label& label, const QString& caption, double points);
  void ShiftRow(int first, int last, double shift);
  void HideLabelsFrom(int first);
  void LayOutLabels(const std::vector<TagCloudEntry>& tags, double width, int32_t resultCount,
                    const std::function<void(int laidOut)>& laidOut);

  // Keys, dragging, clicks and hovering (frmTagCloud_input.cpp).
  void Form_KeyDown(int keyCode, int shift);
  void Form_MouseDown(int button, const QPoint& global);
  void imgClose_Click();
  void lblTag_MouseDown(int index, int button);
  void lblTag_Click(int index);
  void lblTag_MouseMove(int index);
  void picTags_MouseMove();
  void m_Tag_MouseLeave();
  void RestoreHoveredLabel();
  void RunTagStep(const QString& op, const QString& tagId, const QString& caption);
  void SendCommand(const QString& command);

  // Scrolling (frmTagCloud_input.cpp).
  void ScrollCloud(double offset);
  void picScroll_MouseMove(cMouseTrack& tracker);
  void m_ScrollUp_MouseHover();
  void m_ScrollDown_MouseHover();
  void picScrollUp_Click();
  void picScrollDown_Click();

  // The category menu (frmTagCloud_menu.cpp).
  void BuildCategoryMenu();
  void ClearCategoryMenu();
  void AddCategory(const QString& tagId, const QString& name);
  void imgCloudMenu_Click();
  void mnuCategory_Click(int index);
  void mnuSelectAll_Click();
  void ApplyCategories();
  QString CategoryFilterText() const;

  static inline TagCloudHooks m_Hooks;
  QImage m_Picture;
  cDIBSectionRegion m_Region;
  std::unique_ptr<cMouseTrack> m_ScrollUp;
  std::unique_ptr<cMouseTrack> m_ScrollDown;
  std::unique_ptr<cMouseTrack> m_Tag;
  std::map<QString, QCursor> m_Cursors;
  // The button of the last press on a label.
  int m_Button = 0;
  // The label under the mouse (0: none) and its colour before the highlight.
  int m_HoverIndex = 0;
  COLORREF m_HoverForeColor = 0;
  // A move of the window by hand where the window system offers none.
  bool m_Dragging = false;
  QPoint m_DragOffset;
};

// The window, made on first use.
extern QPointer<frmTagCloud> gTagCloudForm;
frmTagCloud& TagCloudForm();
