#include "platform/controls/TextBox.h"

#include <QEvent>

#include <algorithm>
#include <QLineEdit>
#include <QTimer>

namespace ctl {

TextBox::TextBox(QWidget* parent) : Control(parent), edit_(new QLineEdit(this)) {
  edit_->setFrame(true);
  setFocusProxy(edit_);
  WatchInput(edit_);
}

QString TextBox::Text() const { return edit_->text(); }

void TextBox::SetText(const QString& text) { edit_->setText(text); }

int TextBox::SelStart() const {
  return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
}

// Setting the start puts the cursor there and drops the selection.
void TextBox::SetSelStart(int start) {
  edit_->deselect();
  edit_->setCursorPosition(std::clamp(start, 0, static_cast<int>(edit_->text().size())));
}

int TextBox::SelLength() const { return edit_->hasSelectedText() ? edit_->selectionLength() : 0; }

void TextBox::SetSelLength(int length) {
  const int start = SelStart();
  const int end = std::clamp(start + std::max(0, length), 0, static_cast<int>(edit_->text().size()));
  edit_->setSelection(start, end - start);
}

QString TextBox::SelText() const { return edit_->selectedText(); }

bool TextBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::FocusOut) {
    bool cancel = false;
    Raise(Validate, cancel);
    if (cancel) {
      // Back into the box once the focus change has finished.
      QTimer::singleShot(0, edit_, [edit = edit_] { edit->setFocus(Qt::OtherFocusReason); });
      return false;
    }
  }
  return Control::eventFilter(watched, event);
}

void TextBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  edit_->setGeometry(rect());
}

}  // namespace ctl
