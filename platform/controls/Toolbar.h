#pragma once
// The toolbar: a row of keyed buttons showing pictures of the toolbar's image
// list by key. Check buttons toggle Value (0 up, 1 pressed); a button of a
// group, once pressed, releases the other buttons of its group; a drop-down
// button opens its ButtonMenus from its arrow. Placeholders keep room for
// controls the form puts over them. Button geometry is in pixels.
//
// A click raises ButtonClick with the button, a menu entry ButtonMenuClick
// with the entry; setting Value from code raises nothing.
#include "platform/controls/Control.h"
#include "platform/controls/ImageList.h"

#include <QPixmap>

#include <memory>
#include <vector>

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

class ButtonMenu {
 public:
  int Index() const { return index_; }
  const QString& Key() const { return key_; }
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
  int index_ = 0;
  QString key_;
  QString text_;
  QString tag_;
  bool enabled_ = true;
  bool visible_ = true;
};

class ButtonMenuCollection {
 public:
  explicit ButtonMenuCollection(Button* owner) : owner_(owner) {}

  int Count() const { return static_cast<int>(items_.size()); }
  // Adds at the end (index 0) or before the 1-based index; a used key raises 35602.
  ButtonMenu& Add(int index, const QString& key, const QString& text);
  ButtonMenu& Item(const ItemRef& ref) const;
  ButtonMenu& operator()(const ItemRef& ref) const { return Item(ref); }
  void Remove(const ItemRef& ref);
  void Clear() { items_.clear(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  size_t Position(const ItemRef& ref) const;

  Button* owner_;
  std::vector<std::unique_ptr<ButtonMenu>> items_;
};

class Button {
 public:
  explicit Button(Toolbar* toolbar) : toolbar_(toolbar) {}

  ButtonMenuCollection ButtonMenus{this};

  int Index() const { return index_; }
  const QString& Key() const { return key_; }
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
  int index_ = 0;
  QString key_;
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

class ButtonCollection {
 public:
  explicit ButtonCollection(Toolbar* toolbar) : toolbar_(toolbar) {}

  int Count() const { return static_cast<int>(items_.size()); }
  // Adds at the end (index 0) or before the 1-based index; a used key raises 35602.
  Button& Add(int index, const QString& key, const QString& caption = QString(), int style = tbrDefault,
              const QString& image = QString());
  Button& Item(const ItemRef& ref) const;
  Button& operator()(const ItemRef& ref) const { return Item(ref); }
  Button* Find(const QString& key) const;
  void Remove(const ItemRef& ref);
  void Clear();
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  size_t Position(const ItemRef& ref) const;
  void Renumber();

  Toolbar* toolbar_;
  std::vector<std::unique_ptr<Button>> items_;
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
