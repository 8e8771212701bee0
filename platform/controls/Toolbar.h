#pragma once
// The toolbar: a row of keyed buttons showing pictures of the toolbar's image
// list by key. Check buttons toggle Value (0 up, 1 pressed); a button of a
// group, once pressed, releases the other buttons of its group; a drop-down
// button opens its ButtonMenus from its arrow. Placeholders keep room for
// controls the form puts over them. Button geometry is in pixels.
//
// A caption's letter after "&" is drawn underlined, without the "&" ("&&"
// draws one "&"); it is the key the form gives the button, if any.
//
// A click raises ButtonClick with the button, a menu entry ButtonMenuClick
// with the entry; setting Value from code raises nothing.
#include "platform/controls/Control.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/ItemCollection.h"

#include <QPixmap>

namespace ctl {

inline constexpr int tbrDefault = 0;
inline constexpr int tbrCheck = 1;
inline constexpr int tbrButtonGroup = 2;
inline constexpr int tbrSeparator = 3;
inline constexpr int tbrPlaceholder = 4;
inline constexpr int tbrDropdown = 5;

inline constexpr int tbrUnpressed = 0;
inline constexpr int tbrPressed = 1;

class Toolbar;
class Button;

class ButtonMenu : public KeyedItem {
 public:
  const QString& Text() const { return text_; }
  void SetText(const QString& text) { text_ = text; }
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  Button* Parent() const { return parent_; }

 private:
  friend class ButtonMenuCollection;
  Button* parent_ = nullptr;
  QString text_;
  QString tag_;
  bool enabled_ = true;
  bool visible_ = true;
};

class ButtonMenuCollection : public ItemCollection<ButtonMenu> {
 public:
  explicit ButtonMenuCollection(Button* owner) : ItemCollection(QStringLiteral("ButtonMenus")), owner_(owner) {}

  // Adds at the end (index 0) or before the 1-based index.
  ButtonMenu& Add(int index, const QString& key, const QString& text);
  void Remove(const ItemRef& ref) { Erase(Position(ref)); }
  void Clear() { items_.clear(); }

 private:
  Button* owner_;
};

class Button : public KeyedItem {
 public:
  explicit Button(Toolbar* toolbar) : toolbar_(toolbar) {}

  ButtonMenuCollection ButtonMenus{this};

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  // The key of the picture in the toolbar's image list.
  const QString& Image() const { return image_; }
  void SetImage(const QString& imageKey);
  int Value() const { return value_; }
  void SetValue(int value);
  int Style() const { return style_; }
  void SetStyle(int style);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const QString& ToolTipText() const { return toolTip_; }
  void SetToolTipText(const QString& text) { toolTip_ = text; }
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  // Pixels within the toolbar; Width keeps the value it was given.
  double Left() const;
  double Top() const;
  double Width() const;
  double Height() const;
  void SetWidth(double width);

 private:
  friend class Toolbar;
  friend class ButtonCollection;

  Toolbar* toolbar_;
  QString caption_;
  QString image_;
  QString toolTip_;
  QString tag_;
  int value_ = tbrUnpressed;
  int style_ = tbrDefault;
  bool enabled_ = true;
  bool visible_ = true;
  double width_ = -1;  // -1: the width the button's contents need
};

class ButtonCollection : public ItemCollection<Button> {
 public:
  explicit ButtonCollection(Toolbar* toolbar) : ItemCollection(QStringLiteral("Buttons")), toolbar_(toolbar) {}

  // Adds at the end (index 0) or before the 1-based index.
  Button& Add(int index, const QString& key, const QString& caption = QString(), int style = tbrDefault,
              const QString& image = QString());
  void Remove(const ItemRef& ref);
  void Clear();

 private:
  Toolbar* toolbar_;
};

class Toolbar : public Control {
 public:
  explicit Toolbar(QWidget* parent = nullptr);

  ButtonCollection Buttons{this};

  ImageList* Images() const { return imageList_; }
  void SetImageList(ImageList* images);
  // The pattern every toolbar paints its background with (none: the plain
  // face colour); toolbars show a new pattern when they next repaint.
  static void SetClassBackground(const QPixmap& pattern);

  std::function<void(Button& button)> ButtonClick;
  std::function<void(Button& button)> ButtonDropDown;
  std::function<void(ButtonMenu& menu)> ButtonMenuClick;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  friend class Button;
  friend class ButtonCollection;

  QRect ButtonRect(const Button& button) const;
  int NaturalWidth(const Button& button) const;
  int ButtonHeight() const;
  Button* ButtonAt(const QPoint& point) const;
  bool OnArrow(const Button& button, const QPoint& point) const;
  void PaintButton(QPainter& painter, const Button& button) const;
  void ReleaseGroup(const Button& pressed);
  void Activate(Button& button);
  void DropDown(Button& button);

  ImageList* imageList_ = nullptr;
  Button* hot_ = nullptr;
  Button* down_ = nullptr;
};

}  // namespace ctl
