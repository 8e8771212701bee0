#include "platform/controls/Toolbar.h"

#include "platform/Rounding.h"

#include <qdrawutil.h>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace ctl {

namespace {

constexpr int kSeparatorWidth = 8;
constexpr int kArrowWidth = 12;
constexpr int kPadding = 3;

QPixmap& ClassBackground() {
  static QPixmap pattern;
  return pattern;
}

}  // namespace

// --- ButtonMenuCollection ----------------------------------------------------------

ButtonMenu& ButtonMenuCollection::Add(int index, const QString& key, const QString& text) {
  auto menu = std::make_unique<ButtonMenu>();
  menu->parent_ = owner_;
  menu->text_ = text;
  return Insert(index, key, std::move(menu));
}

// --- Button ------------------------------------------------------------------------

void Button::SetCaption(const QString& caption) {
  caption_ = caption;
  toolbar_->update();
}

void Button::SetImage(const QString& imageKey) {
  image_ = imageKey;
  toolbar_->update();
}

void Button::SetValue(int value) {
  value_ = value;
  if (value_ == tbrPressed && style_ == tbrButtonGroup) toolbar_->ReleaseGroup(*this);
  toolbar_->update();
}

void Button::SetStyle(int style) {
  style_ = style;
  toolbar_->update();
}

void Button::SetEnabled(bool enabled) {
  enabled_ = enabled;
  toolbar_->update();
}

void Button::SetVisible(bool visible) {
  visible_ = visible;
  toolbar_->update();
}

double Button::Left() const { return toolbar_->ButtonRect(*this).left(); }
double Button::Top() const { return toolbar_->ButtonRect(*this).top(); }
double Button::Height() const { return toolbar_->ButtonRect(*this).height(); }
double Button::Width() const { return width_ >= 0 ? width_ : toolbar_->NaturalWidth(*this); }

void Button::SetWidth(double width) {
  width_ = std::max(0.0, width);
  toolbar_->update();
}

// --- ButtonCollection ----------------------------------------------------------------

Button& ButtonCollection::Add(int index, const QString& key, const QString& caption, int style, const QString& image) {
  auto button = std::make_unique<Button>(toolbar_);
  button->caption_ = caption;
  button->style_ = style;
  button->image_ = image;
  Button& added = Insert(index, key, std::move(button));
  toolbar_->update();
  return added;
}

void ButtonCollection::Remove(const ItemRef& ref) {
  const size_t at = Position(ref);
  if (toolbar_->hot_ == items_[at].get()) toolbar_->hot_ = nullptr;
  if (toolbar_->down_ == items_[at].get()) toolbar_->down_ = nullptr;
  Erase(at);
  toolbar_->update();
}

void ButtonCollection::Clear() {
  toolbar_->hot_ = toolbar_->down_ = nullptr;
  items_.clear();
  toolbar_->update();
}

// --- Toolbar -----------------------------------------------------------------------

Toolbar::Toolbar(QWidget* parent) : Control(parent) {
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  setFocusPolicy(Qt::NoFocus);
}

void Toolbar::SetImageList(ImageList* images) {
  imageList_ = images;
  update();
}

void Toolbar::SetClassBackground(const QPixmap& pattern) { ClassBackground() = pattern; }

int Toolbar::ButtonHeight() const { return (imageList_ ? imageList_->ImageHeight() : 16) + 2 * kPadding; }

int Toolbar::NaturalWidth(const Button& button) const {
  switch (button.style_) {
    case tbrSeparator:
      return kSeparatorWidth;
    case tbrPlaceholder:
      return 0;
    default:
      break;
  }
  int width = (imageList_ ? imageList_->ImageWidth() : 16) + 2 * kPadding + 1;
  if (!button.caption_.isEmpty()) {
    width += fontMetrics().size(Qt::TextShowMnemonic, button.caption_).width() + kPadding;
  }
  if (button.style_ == tbrDropdown) width += kArrowWidth;
  return width;
}

QRect Toolbar::ButtonRect(const Button& button) const {
  int x = 0;
  for (const auto& each : Buttons) {
    if (!each->visible_) continue;
    const int width = static_cast<int>(RoundHalfEven(each->Width()));
    if (each.get() == &button) return QRect(x, 0, width, ButtonHeight());
    x += width;
  }
  return QRect(x, 0, 0, ButtonHeight());
}

Button* Toolbar::ButtonAt(const QPoint& point) const {
  for (const auto& button : Buttons) {
    if (button->visible_ && ButtonRect(*button).contains(point)) return button.get();
  }
  return nullptr;
}

bool Toolbar::OnArrow(const Button& button, const QPoint& point) const {
  return button.style_ == tbrDropdown && point.x() >= ButtonRect(button).right() - kArrowWidth;
}

void Toolbar::ReleaseGroup(const Button& pressed) {
  // The group is the run of group buttons around the pressed one.
  for (int i = pressed.Index() - 1; i >= 1 && Buttons.Item(i).style_ == tbrButtonGroup; --i) {
    Buttons.Item(i).value_ = tbrUnpressed;
  }
  for (int i = pressed.Index() + 1; i <= Buttons.Count() && Buttons.Item(i).style_ == tbrButtonGroup; ++i) {
    Buttons.Item(i).value_ = tbrUnpressed;
  }
}

void Toolbar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (ClassBackground().isNull()) {
    painter.fillRect(rect(), palette().color(QPalette::Button));
  } else {
    painter.drawTiledPixmap(rect(), ClassBackground());
  }
  for (const auto& button : Buttons) {
    if (button->visible_) PaintButton(painter, *button);
  }
}

void Toolbar::PaintButton(QPainter& painter, const Button& button) const {
  const QRect box = ButtonRect(button);
  if (button.style_ == tbrPlaceholder) return;
  if (button.style_ == tbrSeparator) {
    qDrawShadeLine(&painter, box.center().x(), box.top() + 2, box.center().x(), box.bottom() - 2, palette());
    return;
  }
  const bool sunken = button.value_ == tbrPressed || (&button == down_ && &button == hot_);
  if (sunken || (&button == hot_ && button.enabled_)) {
    if (sunken) painter.fillRect(box.adjusted(1, 1, -1, -1), palette().color(QPalette::Midlight));
    qDrawShadePanel(&painter, box, palette(), sunken, 1);
  }
  const int imageSize = imageList_ ? imageList_->ImageWidth() : 16;
  const QRect imageBox(box.left() + kPadding + (sunken ? 1 : 0), box.top() + kPadding + (sunken ? 1 : 0), imageSize,
                       box.height() - 2 * kPadding);
  if (imageList_ && !button.image_.isEmpty()) {
    if (const ListImage* image = imageList_->ListImages.Find(button.image_)) {
      const QIcon icon(image->Picture());
      icon.paint(&painter, imageBox, Qt::AlignCenter, button.enabled_ ? QIcon::Normal : QIcon::Disabled);
    }
  }
  if (!button.caption_.isEmpty()) {
    painter.setPen(palette().color(button.enabled_ ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QRect text(imageBox.right() + kPadding, box.top(), box.width(), box.height());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, button.caption_);
  }
  if (button.style_ == tbrDropdown) {
    const int x = box.right() - kArrowWidth / 2;
    const int y = box.center().y();
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.setBrush(palette().color(QPalette::ButtonText));
    painter.drawPolygon(QPolygon({QPoint(x - 2, y - 1), QPoint(x + 2, y - 1), QPoint(x, y + 1)}));
  }
}

bool Toolbar::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const Button* button = ButtonAt(help->pos());
    if (button && !button->toolTip_.isEmpty()) {
      QToolTip::showText(help->globalPos(), button->toolTip_, this, ButtonRect(*button));
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return Control::event(event);
}

void Toolbar::mousePressEvent(QMouseEvent* event) {
  Control::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  Button* button = ButtonAt(event->position().toPoint());
  if (!button || !button->enabled_ || button->style_ == tbrSeparator || button->style_ == tbrPlaceholder) return;
  if (OnArrow(*button, event->position().toPoint())) {
    DropDown(*button);
    return;
  }
  down_ = button;
  update();
}

void Toolbar::mouseReleaseEvent(QMouseEvent* event) {
  Button* released = down_;
  down_ = nullptr;
  update();
  Control::mouseReleaseEvent(event);
  if (released && event->button() == Qt::LeftButton && ButtonAt(event->position().toPoint()) == released) {
    Activate(*released);
  }
}

void Toolbar::mouseMoveEvent(QMouseEvent* event) {
  Control::mouseMoveEvent(event);
  Button* button = ButtonAt(event->position().toPoint());
  if (button != hot_) {
    hot_ = button;
    update();
  }
}

void Toolbar::leaveEvent(QEvent* event) {
  Control::leaveEvent(event);
  hot_ = nullptr;
  update();
}

void Toolbar::Activate(Button& button) {
  if (button.style_ == tbrCheck) button.SetValue(button.value_ == tbrPressed ? tbrUnpressed : tbrPressed);
  if (button.style_ == tbrButtonGroup) button.SetValue(tbrPressed);
  Raise(ButtonClick, button);
}

void Toolbar::DropDown(Button& button) {
  Raise(ButtonDropDown, button);
  QMenu menu(this);
  for (const auto& entry : button.ButtonMenus) {
    if (!entry->Visible()) continue;
    QAction* action = menu.addAction(entry->Text());
    action->setEnabled(entry->Enabled());
    action->setData(entry->Index());
  }
  if (menu.isEmpty()) return;
  const QRect box = ButtonRect(button);
  QAction* chosen = menu.exec(mapToGlobal(box.bottomLeft() + QPoint(0, 1)));
  // The entries may have changed while the menu was open; find it again by position.
  if (chosen && chosen->data().toInt() <= button.ButtonMenus.Count()) {
    Raise(ButtonMenuClick, button.ButtonMenus.Item(chosen->data().toInt()));
  }
}

}  // namespace ctl
