#pragma once
// The text box: one line of editable text with its selection (SelStart,
// SelLength, SelText), the key and mouse events of the control, and when the
// focus leaves, Validate (which may keep the focus) and then LostFocus.
#include "platform/controls/Control.h"

class QLineEdit;

namespace ctl {

class TextBox : public Control {
 public:
  explicit TextBox(QWidget* parent = nullptr);

  QString Text() const;
  void SetText(const QString& text);
  // The selection, in characters from the start of the text.
  int SelStart() const;
  void SetSelStart(int start);
  int SelLength() const;
  void SetSelLength(int length);
  QString SelText() const;

  // Raised before LostFocus when the focus leaves; setting cancel keeps the
  // focus in the box and no LostFocus follows.
  std::function<void(bool& cancel)> Validate;

  QLineEdit* Edit() const { return edit_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLineEdit* edit_;
};

}  // namespace ctl
