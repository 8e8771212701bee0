#pragma once
// Flat borders in the scheme colours around a combo box or text box. Until
// the borders are built it only holds the control and draws nothing.
#include <QPointer>
#include <QWidget>

class cFlatControl {
 public:
  void Attach(QWidget* control) { control_ = control; }
  QWidget* Control() const { return control_; }

 private:
  QPointer<QWidget> control_;
};
